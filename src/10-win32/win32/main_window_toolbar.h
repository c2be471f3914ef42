// The main window's tool bar, built from the tool bar data: picture buttons and separators with
// their hints as tooltips, then the disabled edit box that shows the state text.
#pragma once

#include "app/main_menus.h"
#include "win32/windows_api.h"

#include <commctrl.h>
#include <string>

namespace kst::win32 {

// The pictures of the program's resources drawn at Size x Size (16, 24 or 32), in TImageIndex
// order, with the strip's background colour as mask. The caller destroys the list.
HIMAGELIST LoadToolBarImages(int Size);

class MainToolBar {
public:
    // The state box is StatusBoxWidth wide and shows its text in Font.
    MainToolBar(HWND Parent, TToolBar& Bar, HIMAGELIST Images, HFONT Font, int StatusBoxWidth);
    ~MainToolBar();
    MainToolBar(const MainToolBar&) = delete;
    MainToolBar& operator=(const MainToolBar&) = delete;

    HWND Handle() const { return FToolBar; }
    HWND StatusBox() const { return FStatusBox; }
    // Fits the bar to its parent's width; answers its height.
    int Resize();
    // Shows the buttons' enabled states and the state text as the data holds them.
    void Refresh();
    // A WM_COMMAND from the bar: runs the button's action; false when Id is no button's.
    bool Command(UINT Id);
    // The tooltip of a button (TTN_GETDISPINFOW, TBN_GETINFOTIPW); false for other
    // notifications.
    bool Notify(NMHDR& Header);

private:
    void AddButtons(HIMAGELIST Images, int StatusBoxWidth);
    void CreateStatusBox(HFONT Font);
    void PlaceStatusBox();
    TToolButton* ButtonOf(UINT_PTR Id);

    TToolBar& FBar;
    HWND FToolBar = nullptr;
    HWND FStatusBox = nullptr;
    std::wstring FShownStatus;
    std::wstring FHint;
};

} // namespace kst::win32
