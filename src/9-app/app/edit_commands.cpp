#include "app/edit_commands.h"

#include "input/editor.h"

namespace kst {

namespace {

class TEditorCommands : public EditorCommands {
public:
    explicit TEditorCommands(TEditor& Editor) : FEditor(Editor) {}

    bool HasSelection() const override { return FEditor.GetSelLength() > 0; }
    bool CanUndo() const override { return FEditor.CanUndo(); }
    bool CanRedo() const override { return FEditor.CanRedo(); }
    void Undo() override { FEditor.Undo(); }
    void Redo() override { FEditor.Redo(); }
    void Cut() override { FEditor.CutToClipboard(); }
    void Copy() override { FEditor.CopyToClipboard(); }
    void Paste() override { FEditor.PasteFromClipboard(); }
    void DeleteSelection() override { FEditor.ClearSelection(); }
    void SelectAll() override { FEditor.SelectAll(); }

private:
    TEditor& FEditor;
};

} // namespace

std::unique_ptr<EditorCommands> CreateEditorCommands(TEditor& Editor) {
    return std::make_unique<TEditorCommands>(Editor);
}

} // namespace kst
