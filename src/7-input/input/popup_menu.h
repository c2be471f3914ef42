// The editor's own pop-up menu: row marks, undo and redo, the clipboard, select all and box mode.
// It enables and checks its items each time it opens.
#pragma once

#include "core/menu.h"

namespace kst {

class TEditor;

class TEditorPopupMenu : public TPopupMenu {
public:
    explicit TEditorPopupMenu(TEditor& Editor);

    // The entries, for callers that look at one of them.
    TMenuItem& MarkSetItem() const { return Items[kMarkSet]; }
    TMenuItem& MarkJumpItem() const { return Items[kMarkJump]; }
    TMenuItem& UndoItem() const { return Items[kUndo]; }
    TMenuItem& RedoItem() const { return Items[kRedo]; }
    TMenuItem& CutItem() const { return Items[kCut]; }
    TMenuItem& CopyItem() const { return Items[kCopy]; }
    TMenuItem& PasteItem() const { return Items[kPaste]; }
    TMenuItem& BoxPasteItem() const { return Items[kBoxPaste]; }
    TMenuItem& DeleteItem() const { return Items[kDelete]; }
    TMenuItem& SelectAllItem() const { return Items[kSelectAll]; }
    TMenuItem& BoxModeItem() const { return Items[kBoxMode]; }

private:
    // Positions of the entries among the root's items, separators counted.
    static constexpr int kMarkSet = 0;
    static constexpr int kMarkJump = 1;
    static constexpr int kUndo = 3;
    static constexpr int kRedo = 4;
    static constexpr int kCut = 6;
    static constexpr int kCopy = 7;
    static constexpr int kPaste = 8;
    static constexpr int kBoxPaste = 9;
    static constexpr int kDelete = 10;
    static constexpr int kSelectAll = 12;
    static constexpr int kBoxMode = 14;

    void AddMarkMenus();
    void AddEditItems();
    // Removes Mark from the caret row when it is there, else puts it there.
    void ToggleMark(int Mark);
    // Enables and checks the items for the editor's state; runs as the menu opens.
    void UpdateItems();

    TEditor& FEditor;
};

} // namespace kst
