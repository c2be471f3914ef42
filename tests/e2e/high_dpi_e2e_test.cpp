// kestrane.exe on a screen scaled to 150 % (144 dots per inch) beside one at 100 %: the text and
// the tool bar's pictures are drawn 1.5 times larger, and every dialog shows all its controls
// and texts whole. Wine gives a program the dots per inch of the LogPixels value under
// HKCU\Control Panel\Desktop as it starts; the test sets it for the program it starts and puts it
// back as soon as the program's window is there. Screenshots: dpi144_main_window.png and one per
// dialog beside the test program.
#include "kestrane_driver.h"
#include "screenshot.h"

#include <commctrl.h>
#include <optional>

namespace kst::e2e {

namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";
// The dialogs' font ("ＭＳ Ｐゴシック", 9 points) at 144 dots per inch.
constexpr int kDialogFontHeight = -18;

// Sets the screen's dots per inch for programs started from now on, and puts the value back.
class LogPixelsSetting {
public:
    explicit LogPixelsSetting(DWORD Dpi) : FPrevious(Read()) { Write(Dpi); }
    ~LogPixelsSetting() {
        if (FPrevious) {
            Write(*FPrevious);
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels);
        }
    }
    LogPixelsSetting(const LogPixelsSetting&) = delete;
    LogPixelsSetting& operator=(const LogPixelsSetting&) = delete;

private:
    static std::optional<DWORD> Read() {
        DWORD value = 0;
        DWORD size = sizeof(value);
        if (RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, RRF_RT_REG_DWORD, nullptr,
                         &value, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return value;
    }
    static void Write(DWORD Dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &Dpi, sizeof(Dpi));
    }

    std::optional<DWORD> FPrevious;
};

// What the test measures of a window: the editor's row pitch and column width, and the side of
// the tool bar's pictures (a button without its padding).
struct TMeasures {
    int RowPitch = 0;
    int ColumnWidth = 0;
    int ToolImageHeight = 0;
};

TMeasures Measure(HWND Window) {
    const HWND Editor = EditorOf(Window);
    const HWND ToolBar = FindWindowExW(Window, nullptr, TOOLBARCLASSNAMEW, nullptr);
    const LRESULT First = SendMessageW(Editor, EM_POSFROMCHAR, 0, 0);
    const LRESULT Second = SendMessageW(Editor, EM_POSFROMCHAR, 1, 0);
    return {RowPitch(Editor),
            static_cast<short>(LOWORD(Second)) - static_cast<short>(LOWORD(First)),
            HIWORD(SendMessageW(ToolBar, TB_GETBUTTONSIZE, 0, 0)) -
                HIWORD(SendMessageW(ToolBar, TB_GETPADDING, 0, 0))};
}

RECT ScreenRect(HWND Window) {
    RECT Bounds{};
    GetWindowRect(Window, &Bounds);
    return Bounds;
}

RECT ClientOnScreen(HWND Window) {
    RECT Client{};
    GetClientRect(Window, &Client);
    MapWindowPoints(Window, nullptr, reinterpret_cast<POINT*>(&Client), 2);
    return Client;
}

bool Inside(const RECT& Inner, const RECT& Outer) {
    return Inner.left >= Outer.left && Inner.top >= Outer.top && Inner.right <= Outer.right &&
           Inner.bottom <= Outer.bottom;
}

std::wstring ClassOf(HWND Window) {
    wchar_t Name[64] = {};
    GetClassNameW(Window, Name, static_cast<int>(std::size(Name)));
    return Name;
}

// The width a control's caption takes in the dialogs' font, with the box of a check box.
int CaptionWidth(HWND Control, HDC Measuring) {
    const std::wstring Caption = WindowText(Control);
    SIZE Extent{};
    GetTextExtentPoint32W(Measuring, Caption.c_str(), static_cast<int>(Caption.size()), &Extent);
    const auto Style = static_cast<DWORD>(GetWindowLongPtrW(Control, GWL_STYLE)) & BS_TYPEMASK;
    const bool Boxed =
        ClassOf(Control) == L"Button" && (Style == BS_AUTOCHECKBOX || Style == BS_CHECKBOX ||
                                          Style == BS_AUTORADIOBUTTON || Style == BS_RADIOBUTTON);
    return Extent.cx + (Boxed ? GetSystemMetricsForDpi(SM_CXMENUCHECK, 144) : 0);
}

// Every visible control of Dialog (and of its pages) lies inside the client area of the window it
// belongs to, and the caption of a label or button fits its width.
void ExpectNothingCutOff(HWND Dialog) {
    const HFONT Font = CreateFontW(kDialogFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH, L"ＭＳ Ｐゴシック");
    const HDC Measuring = CreateCompatibleDC(nullptr);
    const HGDIOBJ Previous = SelectObject(Measuring, Font);
    struct TVisit {
        HDC Measuring;
        int Controls = 0;
    } Visit{Measuring};
    EnumChildWindows(
        Dialog,
        [](HWND Control, LPARAM Data) -> BOOL {
            auto& Visit = *reinterpret_cast<TVisit*>(Data);
            if (IsWindowVisible(Control) == FALSE) {
                return TRUE;
            }
            ++Visit.Controls;
            const std::wstring Name = ClassOf(Control);
            SCOPED_TRACE(Name + L" " + WindowText(Control));
            EXPECT_TRUE(Inside(ScreenRect(Control), ClientOnScreen(GetParent(Control))));
            if (Name == L"Static" || Name == L"Button") {
                RECT Client{};
                GetClientRect(Control, &Client);
                EXPECT_LE(CaptionWidth(Control, Visit.Measuring), Client.right);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&Visit));
    EXPECT_GE(Visit.Controls, 2);
    SelectObject(Measuring, Previous);
    DeleteDC(Measuring);
    DeleteObject(Font);
}

class HighDpiTest : public KestraneTest {
protected:
    void SetUp() override {
        KestraneTest::SetUp();
        Script = CreateTextFile(L"dpi.vbs", "Dim wide\r\nwide = 1\r\n");
    }

    // The program on the script with the screen at Dpi; its main window.
    HWND StartAt(DWORD Dpi) {
        const LogPixelsSetting Setting(Dpi);
        Start({Script});
        return WaitForMainWindow(TitleFor(Script));
    }

    std::wstring Script;
};

TEST_F(HighDpiTest, TextAndToolBarAreDrawnOneAndAHalfTimesLarger) {
    const HWND Normal = StartAt(96);
    ASSERT_NE(Normal, nullptr);
    const TMeasures AtNormal = Measure(Normal);
    PostMessageW(Normal, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntilClosed(Normal));

    const HWND Scaled = StartAt(144);
    ASSERT_NE(Scaled, nullptr);
    const TMeasures AtScaled = Measure(Scaled);
    EXPECT_EQ(AtNormal.ToolImageHeight, 16);
    EXPECT_EQ(AtScaled.ToolImageHeight, 24);
    EXPECT_NEAR(AtScaled.RowPitch, AtNormal.RowPitch * 3 / 2, 1);
    EXPECT_NEAR(AtScaled.ColumnWidth, AtNormal.ColumnWidth * 3 / 2, 1);

    // The screen is 1280 x 1024; the window is placed at its top left, where Wine draws it whole.
    SetWindowPos(Scaled, nullptr, 0, 0, 840, 660, SWP_NOZORDER);
    BringForward(Scaled);
    RedrawWindow(Scaled, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(SaveDrawnWindow(Scaled, L"dpi144_main_window.png", 8));
}

TEST_F(HighDpiTest, NothingIsCutOffInTheDialogs) {
    const HWND Window = StartAt(144);
    ASSERT_NE(Window, nullptr);
    SetWindowPos(Window, nullptr, 0, 0, 840, 660, SWP_NOZORDER);
    const auto Check = [&](std::initializer_list<std::initializer_list<WORD>> Keys,
                           const wchar_t* Screenshot) {
        SCOPED_TRACE(Screenshot);
        HWND Dialog = nullptr;
        ASSERT_TRUE(PressUntil(
            Window, Keys, [&] { return (Dialog = MessageBoxOf(ProcessOf(Window))) != nullptr; }));
        ExpectNothingCutOff(Dialog);
        EXPECT_TRUE(SaveDrawnWindow(Dialog, Screenshot, 4));
        PostMessageW(Dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntilClosed(Dialog));
    };
    // About, options, search, replace and go to line, through the menus' keys.
    Check({{VK_MENU, 'H'}, {'A'}}, L"dpi144_about_box.png");
    Check({{VK_MENU, 'T'}, {'O'}}, L"dpi144_options.png");
    Check({{VK_CONTROL, 'F'}}, L"dpi144_search.png");
    Check({{VK_MENU, 'S'}, {'R'}}, L"dpi144_replace.png");
    Check({{VK_CONTROL, 'G'}}, L"dpi144_go_line.png");
}

} // namespace

} // namespace kst::e2e
