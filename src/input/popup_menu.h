// The editor's own pop-up menu: row marks, undo and redo, the clipboard, select all and box mode.
// It enables and checks its items each time it opens.
#pragma once

#include "core/menu.h"

namespace kst {

class TEditor;

class TEditorPopupMenu : public TPopupMenu {
public:
    explicit TEditorPopupMenu(TEditor& Editor);

private:
    TEditor& FEditor;
};

} // namespace kst
