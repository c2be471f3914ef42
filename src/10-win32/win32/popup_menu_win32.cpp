#include "win32/popup_menu_win32.h"

#include "win32/utf.h"

#include <memory>
#include <string>
#include <type_traits>

namespace kst::win32 {

namespace {

struct MenuDestroyer {
    void operator()(HMENU Menu) const { DestroyMenu(Menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

void NumberFrom(TMenuItem& Item, int& Next) {
    for (const auto& child : Item.Items) {
        child->Tag = Next++;
        NumberFrom(*child, Next);
    }
}

// The caption, and the shortcut's text after a tab so that the menu aligns it at the right.
std::wstring MenuText(const TMenuItem& Item) {
    std::string text = Item.Caption;
    if (!Item.ShortCut.IsNone()) {
        text += '\t';
        text += ShortCutToText(Item.ShortCut);
    }
    return Utf8ToWide(text);
}

UINT StateFlags(const TMenuItem& Item) {
    return (Item.Checked ? MF_CHECKED : MF_UNCHECKED) | (Item.Enabled ? MF_ENABLED : MF_GRAYED);
}

void AppendSubMenu(HMENU Menu, TMenuItem& Item) {
    if (Item.OnPopup) {
        Item.OnPopup();
    }
    MenuHandle subMenu(::CreatePopupMenu());
    FillMenu(subMenu.get(), Item);
    if (AppendMenuW(Menu, MF_POPUP | StateFlags(Item), reinterpret_cast<UINT_PTR>(subMenu.get()),
                    MenuText(Item).c_str()) != FALSE) {
        subMenu.release(); // the parent menu owns it now
    }
}

void AppendItem(HMENU Menu, TMenuItem& Item) {
    if (Item.IsSeparator()) {
        AppendMenuW(Menu, MF_SEPARATOR, 0, nullptr);
    } else if (!Item.Items.empty()) {
        AppendSubMenu(Menu, Item);
    } else {
        AppendMenuW(Menu, MF_STRING | StateFlags(Item), static_cast<UINT_PTR>(Item.Tag),
                    MenuText(Item).c_str());
    }
}

} // namespace

void NumberMenuItems(TMenuItem& Root) {
    int next = 1;
    NumberFrom(Root, next);
}

void FillMenu(HMENU Menu, TMenuItem& Item) {
    while (GetMenuItemCount(Menu) > 0) {
        DeleteMenu(Menu, 0, MF_BYPOSITION);
    }
    for (const auto& child : Item.Items) {
        if (child->Visible) {
            AppendItem(Menu, *child);
        }
    }
}

TMenuItem* FindMenuCommand(TMenuItem& Root, UINT Command) {
    for (const auto& child : Root.Items) {
        if (static_cast<UINT>(child->Tag) == Command) {
            return child.get();
        }
        if (TMenuItem* found = FindMenuCommand(*child, Command)) {
            return found;
        }
    }
    return nullptr;
}

bool ShowPopupMenu(HWND Owner, TPopupMenu& Menu, POINT ScreenPoint) {
    Menu.Popup();
    NumberMenuItems(Menu.Items);
    UINT command = 0;
    {
        const MenuHandle popup(::CreatePopupMenu());
        FillMenu(popup.get(), Menu.Items);
        command = static_cast<UINT>(
            TrackPopupMenu(popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                           ScreenPoint.x, ScreenPoint.y, 0, Owner, nullptr));
    }
    TMenuItem* chosen = command != 0 ? FindMenuCommand(Menu.Items, command) : nullptr;
    if (chosen == nullptr) {
        return false;
    }
    chosen->Click();
    return true;
}

} // namespace kst::win32
