#include "win32/main_window_menus.h"

#include "win32/popup_menu_win32.h"
#include "win32/utf.h"

#include <algorithm>

namespace kst::win32 {

MainMenuBar::MainMenuBar(HWND Window, TMainMenus& Menus, HIMAGELIST Images)
    : FMenus(Menus), FImages(Images) {
    const HMENU bar = CreateMenu();
    for (const auto& item : FMenus.MainMenu.Items) {
        if (!item->Visible) {
            continue;
        }
        const HMENU dropDown = CreatePopupMenu();
        AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropDown),
                    Utf8ToWide(item->Caption).c_str());
        FDropDowns.emplace_back(dropDown, item.get());
    }
    SetMenu(Window, bar);
    Refresh();
}

// Every drop-down is refilled, not only the one that opens, so that the item numbers in all of
// them agree with the data when an item was added or removed.
void MainMenuBar::Refresh() {
    NumberMenuItems(FMenus.MainMenu);
    for (const auto& [dropDown, item] : FDropDowns) {
        FillMenu(dropDown, *item);
        ShowPictures(dropDown, *item);
    }
}

void MainMenuBar::InitPopup(HMENU Menu) {
    const auto dropDown = std::ranges::find(FDropDowns, Menu, &std::pair<HMENU, TMenuItem*>::first);
    if (dropDown == FDropDowns.end()) {
        return;
    }
    if (dropDown->second->OnPopup) {
        dropDown->second->OnPopup();
    }
    Refresh();
}

bool MainMenuBar::Command(UINT Id) {
    TMenuItem* item = FindMenuCommand(FMenus.MainMenu, Id);
    if (item == nullptr) {
        return false;
    }
    item->Click();
    return true;
}

// A picture is drawn by the window (HBMMENU_CALLBACK); the item's data is its image index.
void MainMenuBar::ShowPictures(HMENU Menu, const TMenuItem& Item) const {
    UINT position = 0;
    for (const auto& child : Item.Items) {
        if (!child->Visible) {
            continue;
        }
        if (const int image = FMenus.ImageIndexOf(*child); image >= 0) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_BITMAP | MIIM_DATA;
            info.hbmpItem = HBMMENU_CALLBACK;
            info.dwItemData = static_cast<ULONG_PTR>(image);
            SetMenuItemInfoW(Menu, position, TRUE, &info);
        }
        ++position;
    }
}

int MainMenuBar::PictureSize() const {
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(FImages, &width, &height);
    return width;
}

bool MainMenuBar::MeasurePicture(MEASUREITEMSTRUCT& Item) const {
    if (Item.CtlType != ODT_MENU) {
        return false;
    }
    Item.itemWidth = static_cast<UINT>(PictureSize());
    Item.itemHeight = static_cast<UINT>(PictureSize());
    return true;
}

// A disabled item's picture is drawn embossed, as the tool bar draws a disabled button.
bool MainMenuBar::DrawPicture(const DRAWITEMSTRUCT& Item) const {
    if (Item.CtlType != ODT_MENU || Item.itemData >= kImageCount) {
        return false;
    }
    const int image = static_cast<int>(Item.itemData);
    const int size = PictureSize();
    const int left = Item.rcItem.left;
    const int top = Item.rcItem.top + (Item.rcItem.bottom - Item.rcItem.top - size) / 2;
    if ((Item.itemState & (ODS_GRAYED | ODS_DISABLED)) == 0) {
        ImageList_Draw(FImages, image, Item.hDC, left, top, ILD_TRANSPARENT);
        return true;
    }
    const HICON icon = ImageList_GetIcon(FImages, image, ILD_TRANSPARENT);
    DrawStateW(Item.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, left, top, size, size,
               DST_ICON | DSS_DISABLED);
    DestroyIcon(icon);
    return true;
}

} // namespace kst::win32
