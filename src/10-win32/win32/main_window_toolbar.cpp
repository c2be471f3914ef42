#include "win32/main_window_toolbar.h"

#include "win32/resources/resource_ids.h"
#include "win32/utf.h"

#include <algorithm>
#include <vector>

namespace kst::win32 {

namespace {

// The edit box sits on a separator of its own width after the data's buttons.
constexpr int kStatusBoxMargin = 1;
constexpr UINT_PTR kStatusToolId = 0x7FFF;

// Button ids count the data's buttons from 1.
int ButtonId(std::size_t Index) {
    return static_cast<int>(Index) + 1;
}

TBBUTTON ButtonOfData(const TToolButton& Button, std::size_t Index) {
    TBBUTTON shown{};
    shown.idCommand = ButtonId(Index);
    if (Button.Separator) {
        shown.fsStyle = BTNS_SEP;
    } else {
        shown.iBitmap = Button.ImageIndex;
        shown.fsStyle = BTNS_BUTTON;
        shown.fsState = Button.Enabled ? TBSTATE_ENABLED : 0;
    }
    return shown;
}

TBBUTTON StatusPlaceholder(int Width) {
    TBBUTTON placeholder{};
    placeholder.iBitmap = Width; // a separator's width
    placeholder.fsStyle = BTNS_SEP;
    return placeholder;
}

} // namespace

HIMAGELIST LoadToolBarImages(int Size) {
    const int stripId = Size >= 32 ? IDB_TOOLBAR_200 : Size >= 24 ? IDB_TOOLBAR_150 : IDB_TOOLBAR;
    const auto strip =
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(stripId),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    const HIMAGELIST images = ImageList_Create(Size, Size, ILC_COLOR24 | ILC_MASK, kImageCount, 0);
    if (strip != nullptr) {
        ImageList_AddMasked(images, strip, TOOLBAR_MASK_COLOR);
        DeleteObject(strip);
    }
    return images;
}

MainToolBar::MainToolBar(HWND Parent, TToolBar& Bar, HIMAGELIST Images, HFONT Font,
                         int StatusBoxWidth)
    : FBar(Bar) {
    FToolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0,
                               0, 0, 0, Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    AddButtons(Images, StatusBoxWidth);
    CreateStatusBox(Font);
    Resize();
}

// The bar may already be gone with its parent.
MainToolBar::~MainToolBar() {
    if (IsWindow(FToolBar) != FALSE) {
        DestroyWindow(FToolBar);
    }
}

void MainToolBar::AddButtons(HIMAGELIST Images, int StatusBoxWidth) {
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(Images, &width, &height);
    SendMessageW(FToolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(FToolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    SendMessageW(FToolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images));
    std::vector<TBBUTTON> buttons;
    for (std::size_t index = 0; index < FBar.Buttons.size(); ++index) {
        buttons.push_back(ButtonOfData(FBar.Buttons[index], index));
    }
    buttons.push_back(StatusPlaceholder(StatusBoxWidth));
    SendMessageW(FToolBar, TB_ADDBUTTONSW, buttons.size(),
                 reinterpret_cast<LPARAM>(buttons.data()));
}

// The box is disabled, so the mouse over it reaches the bar, whose tooltip shows the box's hint.
void MainToolBar::CreateStatusBox(HFONT Font) {
    FStatusBox = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | WS_DISABLED | ES_AUTOHSCROLL, 0, 0, 0, 0,
                                 FToolBar, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(FStatusBox, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    const auto tips = reinterpret_cast<HWND>(SendMessageW(FToolBar, TB_GETTOOLTIPS, 0, 0));
    if (tips == nullptr) {
        return;
    }
    // The tooltip keeps its own copy of the text.
    std::wstring hint = Utf8ToWide(TToolBar::StatusHint);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = FToolBar;
    tool.uId = kStatusToolId;
    tool.lpszText = hint.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainToolBar::PlaceStatusBox() {
    const auto placeholder = SendMessageW(FToolBar, TB_BUTTONCOUNT, 0, 0) - 1;
    RECT area{};
    SendMessageW(FToolBar, TB_GETITEMRECT, static_cast<WPARAM>(placeholder),
                 reinterpret_cast<LPARAM>(&area));
    MoveWindow(FStatusBox, area.left, area.top + kStatusBoxMargin, area.right - area.left,
               area.bottom - area.top - 2 * kStatusBoxMargin, TRUE);
    const auto tips = reinterpret_cast<HWND>(SendMessageW(FToolBar, TB_GETTOOLTIPS, 0, 0));
    if (tips != nullptr) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = FToolBar;
        tool.uId = kStatusToolId;
        tool.rect = area;
        SendMessageW(tips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

int MainToolBar::Resize() {
    SendMessageW(FToolBar, TB_AUTOSIZE, 0, 0);
    PlaceStatusBox();
    RECT area{};
    GetWindowRect(FToolBar, &area);
    return area.bottom - area.top;
}

// Only what changed is sent, so that an idle update causes no further messages.
void MainToolBar::Refresh() {
    for (std::size_t index = 0; index < FBar.Buttons.size(); ++index) {
        const TToolButton& button = FBar.Buttons[index];
        if (button.Separator) {
            continue;
        }
        const auto id = static_cast<WPARAM>(ButtonId(index));
        const bool shown = SendMessageW(FToolBar, TB_ISBUTTONENABLED, id, 0) != 0;
        if (shown != button.Enabled) {
            SendMessageW(FToolBar, TB_ENABLEBUTTON, id, MAKELPARAM(button.Enabled ? 1 : 0, 0));
        }
    }
    const std::wstring status = Utf8ToWide(FBar.StatusText);
    if (status != FShownStatus) {
        FShownStatus = status;
        SetWindowTextW(FStatusBox, FShownStatus.c_str());
    }
}

TToolButton* MainToolBar::ButtonOf(UINT_PTR Id) {
    if (Id == 0 || Id > FBar.Buttons.size()) {
        return nullptr;
    }
    TToolButton& button = FBar.Buttons[Id - 1];
    return button.Separator ? nullptr : &button;
}

bool MainToolBar::Command(UINT Id) {
    TToolButton* button = ButtonOf(Id);
    if (button == nullptr) {
        return false;
    }
    button->Click();
    return true;
}

bool MainToolBar::Notify(NMHDR& Header) {
    if (Header.code == TTN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(Header);
        const TToolButton* button = ButtonOf(Header.idFrom);
        if (button == nullptr) {
            return false;
        }
        FHint = Utf8ToWide(button->Hint);
        info.lpszText = FHint.data();
        return true;
    }
    if (Header.code == TBN_GETINFOTIPW && Header.hwndFrom == FToolBar) {
        auto& tip = reinterpret_cast<NMTBGETINFOTIPW&>(Header);
        const TToolButton* button = ButtonOf(static_cast<UINT_PTR>(tip.iItem));
        if (button == nullptr || tip.pszText == nullptr || tip.cchTextMax <= 0) {
            return false;
        }
        const std::wstring hint = Utf8ToWide(button->Hint);
        const auto count = std::min<std::size_t>(hint.size(), tip.cchTextMax - 1);
        std::copy_n(hint.begin(), count, tip.pszText);
        tip.pszText[count] = L'\0';
        return true;
    }
    return false;
}

} // namespace kst::win32
