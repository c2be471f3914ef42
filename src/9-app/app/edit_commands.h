// What the main window's Edit commands and their enabling ask of the editor control. The control's
// implementation is in edit_commands.cpp; tests use a fake.
#pragma once

#include <memory>

namespace kst {

class TEditor;

class EditorCommands {
public:
    EditorCommands() = default;
    EditorCommands(const EditorCommands&) = delete;
    EditorCommands& operator=(const EditorCommands&) = delete;
    virtual ~EditorCommands() = default;

    virtual bool HasSelection() const = 0;
    virtual bool CanUndo() const = 0;
    virtual bool CanRedo() const = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    virtual void Cut() = 0;
    virtual void Copy() = 0;
    virtual void Paste() = 0;
    virtual void DeleteSelection() = 0;
    virtual void SelectAll() = 0;
};

// The commands carried out by Editor.
std::unique_ptr<EditorCommands> CreateEditorCommands(TEditor& Editor);

} // namespace kst
