#include "win32/window_host.h"

#include "display/caret_options.h"
#include "platform/dpi.h"
#include "win32/utf.h"

#include <algorithm>
#include <array>
#include <imm.h>

namespace kst::win32 {

namespace {

int BarCode(TScrollBarKind Bar) {
    return Bar == TScrollBarKind::Horizontal ? SB_HORZ : SB_VERT;
}

// Setting a scroll bar redraws it at once, which takes milliseconds under Wine, and an edit sets
// both bars: values the bar already shows are not set again.
void SetChangedScrollInfo(HWND Window, int Bar, SCROLLINFO& Wanted) {
    SCROLLINFO shown{};
    shown.cbSize = sizeof(shown);
    shown.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    const bool known = GetScrollInfo(Window, Bar, &shown) != FALSE;
    const bool rangeShown =
        (Wanted.fMask & SIF_RANGE) == 0 || (shown.nMin == Wanted.nMin && shown.nMax == Wanted.nMax);
    const bool pageShown = (Wanted.fMask & SIF_PAGE) == 0 || shown.nPage == Wanted.nPage;
    const bool positionShown = (Wanted.fMask & SIF_POS) == 0 || shown.nPos == Wanted.nPos;
    if (!known || !rangeShown || !pageShown || !positionShown) {
        SetScrollInfo(Window, Bar, &Wanted, TRUE);
    }
}

RECT WinRect(const TRect& Rect) {
    return RECT{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
}

// The cursor numbers the editor uses for the system's own cursors. Cursors without a system
// counterpart show the arrow.
struct TSystemCursor {
    std::int16_t Number;
    LPCWSTR Id;
};
const std::array<TSystemCursor, 13> kSystemCursors{{
    {-2, IDC_ARROW},
    {-3, IDC_CROSS},
    {crIBeam, IDC_IBEAM},
    {-6, IDC_SIZENESW},
    {-7, IDC_SIZENS},
    {-8, IDC_SIZENWSE},
    {-9, IDC_SIZEWE},
    {-10, IDC_UPARROW},
    {-11, IDC_WAIT},
    {-18, IDC_NO},
    {-19, IDC_APPSTARTING},
    {-21, IDC_HAND},
    {-22, IDC_SIZEALL},
}};

// The program's own cursors come from its resources.
HCURSOR ProgramCursor(LPCWSTR Name) {
    const HCURSOR cursor = LoadCursorW(GetModuleHandleW(nullptr), Name);
    return cursor != nullptr ? cursor : LoadCursorW(nullptr, IDC_ARROW);
}

HCURSOR CursorHandle(std::int16_t Cursor) {
    if (Cursor == crRightArrow) {
        return ProgramCursor(L"RightArrow");
    }
    if (Cursor == crDragSelCopy) {
        return ProgramCursor(L"DragSelCopy");
    }
    const auto found =
        std::find_if(kSystemCursors.begin(), kSystemCursors.end(),
                     [&](const TSystemCursor& System) { return System.Number == Cursor; });
    return LoadCursorW(nullptr, found != kSystemCursors.end() ? found->Id : IDC_ARROW);
}

// The text's bytes of a typed UTF-16 unit; empty when its code page has no such character, so that
// the user sees nothing typed rather than a "?" that would be saved as one.
std::string TypedText(wchar_t Unit) {
    const std::wstring_view wide(&Unit, 1);
    std::string bytes = WideToText(wide);
    return TextToWide(bytes) == wide ? bytes : std::string();
}

} // namespace

WindowHost::ClientAreaSurface::ClientAreaSurface(HWND Window)
    : WindowDC(Window), GdiSurface(FHandle, TSize{}) {}

TSize WindowHost::ClientAreaSurface::Size() const {
    RECT client{};
    GetClientRect(FOwner, &client);
    return TSize{client.right - client.left, client.bottom - client.top};
}

WindowHost::WindowHost(HWND Window) : FWindow(Window), FClient(Window) {}

bool WindowHost::HasWindow() const {
    return IsWindow(FWindow) != FALSE;
}

bool WindowHost::Showing() const {
    return IsWindowVisible(FWindow) != FALSE;
}

bool WindowHost::Focused() const {
    return FFocused;
}

void WindowHost::SetFocus() {
    ::SetFocus(FWindow);
}

TSize WindowHost::ClientSize() const {
    return FClient.Size();
}

// No window answers 0: the design's.
int WindowHost::Dpi() const {
    const UINT dpi = GetDpiForWindow(FWindow);
    return dpi != 0 ? static_cast<int>(dpi) : kDesignDpi;
}

TSize WindowHost::ScreenSize() const {
    return TSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void WindowHost::SetBorder(bool Single) {
    const LONG_PTR style = GetWindowLongPtrW(FWindow, GWL_EXSTYLE);
    const LONG_PTR newStyle = Single ? style | WS_EX_CLIENTEDGE : style & ~WS_EX_CLIENTEDGE;
    SetWindowLongPtrW(FWindow, GWL_EXSTYLE, newStyle);
    SetWindowPos(FWindow, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowHost::Invalidate(const TRect& Rect) {
    const RECT area = WinRect(Rect);
    InvalidateRect(FWindow, &area, FALSE);
}

void WindowHost::InvalidateAll() {
    InvalidateRect(FWindow, nullptr, FALSE);
}

void WindowHost::Update() {
    UpdateWindow(FWindow);
}

void WindowHost::ScrollPixels(int Dx, int Dy, const TRect& Scroll, const TRect& Clip) {
    FCaretPosition.reset(); // scrolling takes the caret along
    const RECT scrollArea = WinRect(Scroll);
    const RECT clipArea = WinRect(Clip);
    ScrollWindowEx(FWindow, Dx, Dy, &scrollArea, &clipArea, nullptr, nullptr, SW_INVALIDATE);
}

void WindowHost::SetRedraw(bool Redraw) {
    SendMessageW(FWindow, WM_SETREDRAW, Redraw ? TRUE : FALSE, 0);
}

void WindowHost::CreateCaret(TSize Size) {
    FCaretPosition.reset();
    ::CreateCaret(FWindow, nullptr, Size.Width, Size.Height);
}

void WindowHost::DestroyCaret() {
    FCaretPosition.reset();
    ::DestroyCaret();
}

void WindowHost::ShowCaret() {
    ::ShowCaret(FWindow);
}

void WindowHost::HideCaret() {
    ::HideCaret(FWindow);
}

// The editor places the caret again wherever it may have moved; placing it where it stands is a
// round trip to the Wine server that changes nothing.
void WindowHost::SetCaretPos(TPoint Position) {
    if (FCaretPosition == Position) {
        return;
    }
    FCaretPosition = Position;
    ::SetCaretPos(Position.X, Position.Y);
}

void WindowHost::SetCursor(std::int16_t Cursor) {
    ::SetCursor(CursorHandle(Cursor));
}

void WindowHost::SetMouseCapture(bool Capture) {
    if (Capture) {
        SetCapture(FWindow);
    } else if (GetCapture() == FWindow) {
        ReleaseCapture();
    }
}

TPoint WindowHost::CursorPos() const {
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(FWindow, &point);
    return {point.x, point.y};
}

void WindowHost::SetScrollRange(TScrollBarKind Bar, const TScrollRange& Range) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = Range.Min;
    info.nMax = Range.Max;
    info.nPage = static_cast<UINT>(std::max(0, Range.Page));
    info.nPos = Range.Position;
    SetChangedScrollInfo(FWindow, BarCode(Bar), info);
}

void WindowHost::SetScrollPosition(TScrollBarKind Bar, int Position) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS | SIF_DISABLENOSCROLL;
    info.nPos = Position;
    SetChangedScrollInfo(FWindow, BarCode(Bar), info);
}

void WindowHost::ShowScrollBar(TScrollBarKind Bar, bool Show) {
    ::ShowScrollBar(FWindow, BarCode(Bar), Show ? TRUE : FALSE);
}

int WindowHost::TrackPosition(TScrollBarKind Bar) const {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(FWindow, BarCode(Bar), &info);
    return info.nTrackPos;
}

int WindowHost::ScrollBarSize(TScrollBarKind Bar) const {
    return GetSystemMetricsForDpi(Bar == TScrollBarKind::Horizontal ? SM_CYHSCROLL : SM_CXVSCROLL,
                                  GetDpiForWindow(FWindow));
}

void WindowHost::SetCompositionWindow(TPoint Position, const TFontSpec& Font) {
    const HIMC context = ImmGetContext(FWindow);
    if (context == nullptr) {
        return;
    }
    LOGFONTW log{};
    GetObjectW(FontHandle(Font), sizeof(log), &log);
    ImmSetCompositionFontW(context, &log);
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = POINT{Position.X, Position.Y};
    ImmSetCompositionWindow(context, &form);
    ImmReleaseContext(FWindow, context);
}

std::string WindowHost::ImeResultString() {
    const HIMC context = ImmGetContext(FWindow);
    if (context == nullptr) {
        return {};
    }
    std::wstring result;
    const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    if (bytes > 0) {
        result.resize(static_cast<std::size_t>(bytes) / sizeof(wchar_t));
        ImmGetCompositionStringW(context, GCS_RESULTSTR, result.data(), static_cast<DWORD>(bytes));
    }
    ImmReleaseContext(FWindow, context);
    std::string text;
    for (const wchar_t unit : result) {
        text += TypedText(unit);
    }
    return text;
}

std::optional<std::uint16_t> WindowHost::PeekNextChar() {
    if (FQueuedBytes.empty()) {
        return std::nullopt;
    }
    return static_cast<unsigned char>(FQueuedBytes.front());
}

void WindowHost::RemoveNextChar() {
    if (!FQueuedBytes.empty()) {
        FQueuedBytes.erase(0, 1);
    }
}

void WindowHost::QueueCharacter(wchar_t Unit) {
    FQueuedBytes += TypedText(Unit);
}

std::optional<std::uint8_t> WindowHost::TakeQueuedByte() {
    if (FQueuedBytes.empty()) {
        return std::nullopt;
    }
    const auto byte = static_cast<std::uint8_t>(FQueuedBytes.front());
    FQueuedBytes.erase(0, 1);
    return byte;
}

bool WindowHost::KeyDown(int VirtualKey) const {
    return GetKeyState(VirtualKey) < 0;
}

TShiftState WindowHost::ShiftState() const {
    return KeyboardShiftState();
}

// Each GetKeyState is a round trip to the Wine server; GetKeyboardState reads every key in one.
TShiftState KeyboardShiftState() {
    BYTE keys[256] = {};
    if (GetKeyboardState(keys) == FALSE) {
        return ShiftStateFrom([](int VirtualKey) { return GetKeyState(VirtualKey) < 0; });
    }
    return ShiftStateFrom([&keys](int VirtualKey) { return (keys[VirtualKey] & 0x80) != 0; });
}

} // namespace kst::win32
