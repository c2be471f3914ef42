#include "win32/main_window_toolbar.h"

#include "win32/resources/resource_ids.h"
#include "win32/utf.h"

#include <algorithm>
#include <vector>

namespace kst::win32 {

namespace {

// The edit box sits on a separator of its own width after the data's buttons.
constexpr int kStatusBoxWidth = 120;
constexpr int kStatusBoxMargin = 1;
constexpr UINT_PTR kStatusToolId = 0x7FFF;

// Button ids count the data's buttons from 1.
int ButtonId(std::size_t Index) {
    return static_cast<int>(Index) + 1;
}

TBBUTTON ButtonOfData(const TToolButton& Button, std::size_t Index) {
    TBBUTTON Shown{};
    Shown.idCommand = ButtonId(Index);
    if (Button.Separator) {
        Shown.fsStyle = BTNS_SEP;
    } else {
        Shown.iBitmap = Button.ImageIndex;
        Shown.fsStyle = BTNS_BUTTON;
        Shown.fsState = Button.Enabled ? TBSTATE_ENABLED : 0;
    }
    return Shown;
}

TBBUTTON StatusPlaceholder() {
    TBBUTTON Placeholder{};
    Placeholder.iBitmap = kStatusBoxWidth; // a separator's width
    Placeholder.fsStyle = BTNS_SEP;
    return Placeholder;
}

} // namespace

HIMAGELIST LoadToolBarImages() {
    const auto Strip =
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_TOOLBAR),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    const HIMAGELIST Images = ImageList_Create(TOOLBAR_IMAGE_SIZE, TOOLBAR_IMAGE_SIZE,
                                               ILC_COLOR24 | ILC_MASK, kImageCount, 0);
    if (Strip != nullptr) {
        ImageList_AddMasked(Images, Strip, TOOLBAR_MASK_COLOR);
        DeleteObject(Strip);
    }
    return Images;
}

MainToolBar::MainToolBar(HWND Parent, TToolBar& Bar, HIMAGELIST Images, HFONT Font) : FBar(Bar) {
    FToolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0,
                               0, 0, 0, Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    AddButtons(Images);
    CreateStatusBox(Font);
    Resize();
}

void MainToolBar::AddButtons(HIMAGELIST Images) {
    SendMessageW(FToolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(FToolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(TOOLBAR_IMAGE_SIZE, TOOLBAR_IMAGE_SIZE));
    SendMessageW(FToolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images));
    std::vector<TBBUTTON> Buttons;
    for (std::size_t Index = 0; Index < FBar.Buttons.size(); ++Index) {
        Buttons.push_back(ButtonOfData(FBar.Buttons[Index], Index));
    }
    Buttons.push_back(StatusPlaceholder());
    SendMessageW(FToolBar, TB_ADDBUTTONSW, Buttons.size(),
                 reinterpret_cast<LPARAM>(Buttons.data()));
}

// The box is disabled, so the mouse over it reaches the bar, whose tooltip shows the box's hint.
void MainToolBar::CreateStatusBox(HFONT Font) {
    FStatusBox = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | WS_DISABLED | ES_AUTOHSCROLL, 0, 0, 0, 0,
                                 FToolBar, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(FStatusBox, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    const auto Tips = reinterpret_cast<HWND>(SendMessageW(FToolBar, TB_GETTOOLTIPS, 0, 0));
    if (Tips == nullptr) {
        return;
    }
    // The tooltip keeps its own copy of the text.
    std::wstring Hint = Utf8ToWide(TToolBar::StatusHint);
    TOOLINFOW Tool{};
    Tool.cbSize = sizeof(Tool);
    Tool.hwnd = FToolBar;
    Tool.uId = kStatusToolId;
    Tool.lpszText = Hint.data();
    SendMessageW(Tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
}

void MainToolBar::PlaceStatusBox() {
    const auto Placeholder = SendMessageW(FToolBar, TB_BUTTONCOUNT, 0, 0) - 1;
    RECT Area{};
    SendMessageW(FToolBar, TB_GETITEMRECT, static_cast<WPARAM>(Placeholder),
                 reinterpret_cast<LPARAM>(&Area));
    MoveWindow(FStatusBox, Area.left, Area.top + kStatusBoxMargin, Area.right - Area.left,
               Area.bottom - Area.top - 2 * kStatusBoxMargin, TRUE);
    const auto Tips = reinterpret_cast<HWND>(SendMessageW(FToolBar, TB_GETTOOLTIPS, 0, 0));
    if (Tips != nullptr) {
        TOOLINFOW Tool{};
        Tool.cbSize = sizeof(Tool);
        Tool.hwnd = FToolBar;
        Tool.uId = kStatusToolId;
        Tool.rect = Area;
        SendMessageW(Tips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&Tool));
    }
}

int MainToolBar::Resize() {
    SendMessageW(FToolBar, TB_AUTOSIZE, 0, 0);
    PlaceStatusBox();
    RECT Area{};
    GetWindowRect(FToolBar, &Area);
    return Area.bottom - Area.top;
}

// Only what changed is sent, so that an idle update causes no further messages.
void MainToolBar::Refresh() {
    for (std::size_t Index = 0; Index < FBar.Buttons.size(); ++Index) {
        const TToolButton& Button = FBar.Buttons[Index];
        if (Button.Separator) {
            continue;
        }
        const auto Id = static_cast<WPARAM>(ButtonId(Index));
        const bool Shown = SendMessageW(FToolBar, TB_ISBUTTONENABLED, Id, 0) != 0;
        if (Shown != Button.Enabled) {
            SendMessageW(FToolBar, TB_ENABLEBUTTON, Id, MAKELPARAM(Button.Enabled ? 1 : 0, 0));
        }
    }
    const std::wstring Status = Utf8ToWide(FBar.StatusText);
    if (Status != FShownStatus) {
        FShownStatus = Status;
        SetWindowTextW(FStatusBox, FShownStatus.c_str());
    }
}

TToolButton* MainToolBar::ButtonOf(UINT_PTR Id) {
    if (Id == 0 || Id > FBar.Buttons.size()) {
        return nullptr;
    }
    TToolButton& Button = FBar.Buttons[Id - 1];
    return Button.Separator ? nullptr : &Button;
}

bool MainToolBar::Command(UINT Id) {
    TToolButton* Button = ButtonOf(Id);
    if (Button == nullptr) {
        return false;
    }
    Button->Click();
    return true;
}

bool MainToolBar::Notify(NMHDR& Header) {
    if (Header.code == TTN_GETDISPINFOW) {
        auto& Info = reinterpret_cast<NMTTDISPINFOW&>(Header);
        const TToolButton* Button = ButtonOf(Header.idFrom);
        if (Button == nullptr) {
            return false;
        }
        FHint = Utf8ToWide(Button->Hint);
        Info.lpszText = FHint.data();
        return true;
    }
    if (Header.code == TBN_GETINFOTIPW && Header.hwndFrom == FToolBar) {
        auto& Tip = reinterpret_cast<NMTBGETINFOTIPW&>(Header);
        const TToolButton* Button = ButtonOf(static_cast<UINT_PTR>(Tip.iItem));
        if (Button == nullptr || Tip.pszText == nullptr || Tip.cchTextMax <= 0) {
            return false;
        }
        const std::wstring Hint = Utf8ToWide(Button->Hint);
        const auto Count = std::min<std::size_t>(Hint.size(), Tip.cchTextMax - 1);
        std::copy_n(Hint.begin(), Count, Tip.pszText);
        Tip.pszText[Count] = L'\0';
        return true;
    }
    return false;
}

} // namespace kst::win32
