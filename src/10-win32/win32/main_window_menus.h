// The main window's menu bar, built from the main menu's data. A drop-down menu is filled from
// its items each time it opens, right after its OnPopup ran, so that enabling, the file history,
// the window list and the launcher are always current; items show the pictures shared with the
// tool bar.
#pragma once

#include "app/main_menus.h"
#include "win32/windows_api.h"

#include <commctrl.h>
#include <utility>
#include <vector>

namespace kst::win32 {

class MainMenuBar {
public:
    // Gives Window its menu bar (destroyed with the window).
    MainMenuBar(HWND Window, TMainMenus& Menus, HIMAGELIST Images);
    MainMenuBar(const MainMenuBar&) = delete;
    MainMenuBar& operator=(const MainMenuBar&) = delete;

    // Renumbers the items and refills every drop-down menu from the data.
    void Refresh();
    // WM_INITMENUPOPUP: when Menu is one of the bar's drop-downs, its OnPopup runs and the
    // drop-downs are refilled. Sub-menus inside a drop-down are filled with it.
    void InitPopup(HMENU Menu);
    // WM_COMMAND from the menu: runs the item with this number; false when there is none.
    bool Command(UINT Id);

    // The pictures, after the window has moved to a screen of other dots per inch.
    void SetImages(HIMAGELIST Images) { FImages = Images; }
    // WM_MEASUREITEM and WM_DRAWITEM for the items' pictures, at the pictures' size.
    bool MeasurePicture(MEASUREITEMSTRUCT& Item) const;
    bool DrawPicture(const DRAWITEMSTRUCT& Item) const;

private:
    void ShowPictures(HMENU Menu, const TMenuItem& Item) const;
    int PictureSize() const;

    TMainMenus& FMenus;
    HIMAGELIST FImages;
    // The bar's drop-down menus and the items they show.
    std::vector<std::pair<HMENU, TMenuItem*>> FDropDowns;
};

} // namespace kst::win32
