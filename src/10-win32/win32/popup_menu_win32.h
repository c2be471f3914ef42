// Real Windows menus built from the portable menu model: the items of a menu (a pop-up menu's or a
// menu bar's) filled from a TMenuItem tree, and pop-up menus shown at a point.
#pragma once

#include "core/menu.h"
#include "win32/windows_api.h"

namespace kst::win32 {

// Gives every item of Root's tree its command number as Tag: 1, 2, ... in tree order, hidden
// items and separators included, so that the numbers stay when items are shown or hidden.
void NumberMenuItems(TMenuItem& Root);

// Empties Menu and fills it with Item's visible sub-items: caption and shortcut text, the checked
// and grayed states, separators, and a sub-menu for every item that has sub-items, whose OnPopup
// runs before it is filled. The items must have been numbered.
void FillMenu(HMENU Menu, TMenuItem& Item);

// The item of Root's tree with this command number; null when none.
TMenuItem* FindMenuCommand(TMenuItem& Root, UINT Command);

// Runs Menu's OnPopup, shows it for Owner with its top-left corner at a screen point and runs
// the action of the item chosen. Answers whether one was chosen.
bool ShowPopupMenu(HWND Owner, TPopupMenu& Menu, POINT ScreenPoint);

} // namespace kst::win32
