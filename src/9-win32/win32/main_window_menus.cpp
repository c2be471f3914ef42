#include "win32/main_window_menus.h"

#include "win32/popup_menu_win32.h"
#include "win32/resources/resource_ids.h"
#include "win32/utf.h"

#include <algorithm>

namespace kst::win32 {

namespace {

// Any item of the tree, hidden or disabled, with this shortcut.
bool HasShortCut(const TMenuItem& Menu, TShortCut Key) {
    return std::ranges::any_of(Menu.Items, [Key](const auto& Item) {
        return Item->ShortCut == Key || HasShortCut(*Item, Key);
    });
}

} // namespace

MainMenuBar::MainMenuBar(HWND Window, TMainMenus& Menus, HIMAGELIST Images)
    : FMenus(Menus), FImages(Images) {
    const HMENU Bar = CreateMenu();
    for (const auto& Item : FMenus.MainMenu.Items) {
        if (!Item->Visible) {
            continue;
        }
        const HMENU DropDown = CreatePopupMenu();
        AppendMenuW(Bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(DropDown),
                    Utf8ToWide(Item->Caption).c_str());
        FDropDowns.emplace_back(DropDown, Item.get());
    }
    SetMenu(Window, Bar);
    Refresh();
}

// Every drop-down is refilled, not only the one that opens, so that the item numbers in all of
// them agree with the data when an item was added or removed.
void MainMenuBar::Refresh() {
    NumberMenuItems(FMenus.MainMenu);
    for (const auto& [DropDown, Item] : FDropDowns) {
        FillMenu(DropDown, *Item);
        ShowPictures(DropDown, *Item);
    }
}

void MainMenuBar::InitPopup(HMENU Menu) {
    const auto DropDown = std::ranges::find(FDropDowns, Menu, &std::pair<HMENU, TMenuItem*>::first);
    if (DropDown == FDropDowns.end()) {
        return;
    }
    if (DropDown->second->OnPopup) {
        DropDown->second->OnPopup();
    }
    Refresh();
}

bool MainMenuBar::Command(UINT Id) {
    TMenuItem* Item = FindMenuCommand(FMenus.MainMenu, Id);
    if (Item == nullptr) {
        return false;
    }
    Item->Click();
    return true;
}

bool MainMenuBar::ShortCut(TShortCut Key) {
    if (!HasShortCut(FMenus.MainMenu, Key)) {
        return false;
    }
    if (TMenuItem* Item = FMenus.MainMenu.FindShortCut(Key)) {
        Item->Click();
    }
    return true;
}

// A picture is drawn by the window (HBMMENU_CALLBACK); the item's data is its image index.
void MainMenuBar::ShowPictures(HMENU Menu, const TMenuItem& Item) const {
    UINT Position = 0;
    for (const auto& Child : Item.Items) {
        if (!Child->Visible) {
            continue;
        }
        if (const int Image = FMenus.ImageIndexOf(*Child); Image >= 0) {
            MENUITEMINFOW Info{};
            Info.cbSize = sizeof(Info);
            Info.fMask = MIIM_BITMAP | MIIM_DATA;
            Info.hbmpItem = HBMMENU_CALLBACK;
            Info.dwItemData = static_cast<ULONG_PTR>(Image);
            SetMenuItemInfoW(Menu, Position, TRUE, &Info);
        }
        ++Position;
    }
}

bool MainMenuBar::MeasurePicture(MEASUREITEMSTRUCT& Item) const {
    if (Item.CtlType != ODT_MENU) {
        return false;
    }
    Item.itemWidth = TOOLBAR_IMAGE_SIZE;
    Item.itemHeight = TOOLBAR_IMAGE_SIZE;
    return true;
}

// A disabled item's picture is drawn embossed, as the tool bar draws a disabled button.
bool MainMenuBar::DrawPicture(const DRAWITEMSTRUCT& Item) const {
    if (Item.CtlType != ODT_MENU || Item.itemData >= kImageCount) {
        return false;
    }
    const int Image = static_cast<int>(Item.itemData);
    const int Left = Item.rcItem.left;
    const int Top =
        Item.rcItem.top + (Item.rcItem.bottom - Item.rcItem.top - TOOLBAR_IMAGE_SIZE) / 2;
    if ((Item.itemState & (ODS_GRAYED | ODS_DISABLED)) == 0) {
        ImageList_Draw(FImages, Image, Item.hDC, Left, Top, ILD_TRANSPARENT);
        return true;
    }
    const HICON Icon = ImageList_GetIcon(FImages, Image, ILD_TRANSPARENT);
    DrawStateW(Item.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(Icon), 0, Left, Top,
               TOOLBAR_IMAGE_SIZE, TOOLBAR_IMAGE_SIZE, DST_ICON | DSS_DISABLED);
    DestroyIcon(Icon);
    return true;
}

} // namespace kst::win32
