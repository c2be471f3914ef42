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
    for (const auto& Child : Item.Items) {
        Child->Tag = Next++;
        NumberFrom(*Child, Next);
    }
}

// The caption, and the shortcut's text after a tab so that the menu aligns it at the right.
std::wstring MenuText(const TMenuItem& Item) {
    std::string Text = Item.Caption;
    if (!Item.ShortCut.IsNone()) {
        Text += '\t';
        Text += ShortCutToText(Item.ShortCut);
    }
    return Utf8ToWide(Text);
}

UINT StateFlags(const TMenuItem& Item) {
    return (Item.Checked ? MF_CHECKED : MF_UNCHECKED) | (Item.Enabled ? MF_ENABLED : MF_GRAYED);
}

void AppendSubMenu(HMENU Menu, TMenuItem& Item) {
    if (Item.OnPopup) {
        Item.OnPopup();
    }
    MenuHandle SubMenu(::CreatePopupMenu());
    FillMenu(SubMenu.get(), Item);
    if (AppendMenuW(Menu, MF_POPUP | StateFlags(Item), reinterpret_cast<UINT_PTR>(SubMenu.get()),
                    MenuText(Item).c_str()) != FALSE) {
        SubMenu.release(); // the parent menu owns it now
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
    int Next = 1;
    NumberFrom(Root, Next);
}

void FillMenu(HMENU Menu, TMenuItem& Item) {
    while (GetMenuItemCount(Menu) > 0) {
        DeleteMenu(Menu, 0, MF_BYPOSITION);
    }
    for (const auto& Child : Item.Items) {
        if (Child->Visible) {
            AppendItem(Menu, *Child);
        }
    }
}

TMenuItem* FindMenuCommand(TMenuItem& Root, UINT Command) {
    for (const auto& Child : Root.Items) {
        if (static_cast<UINT>(Child->Tag) == Command) {
            return Child.get();
        }
        if (TMenuItem* Found = FindMenuCommand(*Child, Command)) {
            return Found;
        }
    }
    return nullptr;
}

bool ShowPopupMenu(HWND Owner, TPopupMenu& Menu, POINT ScreenPoint) {
    Menu.Popup();
    NumberMenuItems(Menu.Items);
    UINT Command = 0;
    {
        const MenuHandle Popup(::CreatePopupMenu());
        FillMenu(Popup.get(), Menu.Items);
        Command = static_cast<UINT>(
            TrackPopupMenu(Popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                           ScreenPoint.x, ScreenPoint.y, 0, Owner, nullptr));
    }
    TMenuItem* Chosen = Command != 0 ? FindMenuCommand(Menu.Items, Command) : nullptr;
    if (Chosen == nullptr) {
        return false;
    }
    Chosen->Click();
    return true;
}

} // namespace kst::win32
