#include "win32/editor_window.h"

#include "win32/clipboard_win32.h"
#include "win32/gdi_surface.h"
#include "win32/popup_menu_win32.h"
#include "win32/utf.h"
#include "win32/window_host.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace kst::win32 {

namespace {

// What one "TEditor" window holds: its host services and the editor.
struct EditorWindowState {
    explicit EditorWindowState(HWND Window)
        : Host(Window), Editor(CreateComponent<TEditor>(nullptr)) {}

    WindowHost Host;
    std::unique_ptr<TEditor> Editor;
};

EditorWindowState* StateOf(HWND Window) {
    return reinterpret_cast<EditorWindowState*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
}

std::intptr_t Ask(TEditor& Editor, unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    return Editor.WndProc(Msg, WParam, LParam).value_or(0);
}

// Copies as much of Text as Capacity units allow; answers the count copied.
LRESULT CopyUnits(std::wstring_view Text, std::size_t Capacity, wchar_t* Buffer) {
    const std::size_t count = std::min(Text.size(), Capacity);
    std::copy_n(Text.begin(), count, Buffer);
    return static_cast<LRESULT>(count);
}

std::string EditorText(TEditor& Editor) {
    const auto length = static_cast<std::size_t>(Ask(Editor, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length + 1, '\0');
    const auto copied = static_cast<std::size_t>(
        Ask(Editor, WM_GETTEXT, text.size(), reinterpret_cast<std::intptr_t>(text.data())));
    text.resize(std::min(copied, length));
    return text;
}

LRESULT GetText(TEditor& Editor, WPARAM Capacity, LPARAM Buffer) {
    if (Capacity == 0 || Buffer == 0) {
        return 0;
    }
    auto* units = reinterpret_cast<wchar_t*>(Buffer);
    const LRESULT count = CopyUnits(TextToWide(EditorText(Editor)), Capacity - 1, units);
    units[count] = L'\0';
    return count;
}

// The row's bytes from the editor's EM_GETLINE, whose buffer starts with a 16-bit capacity.
std::string RowBytes(TEditor& Editor, WPARAM Row) {
    constexpr WORD kCapacity = std::numeric_limits<WORD>::max();
    std::string bytes(kCapacity, '\0');
    std::memcpy(bytes.data(), &kCapacity, sizeof(kCapacity));
    bytes.resize(static_cast<std::size_t>(
        Ask(Editor, EM_GETLINE, Row, reinterpret_cast<std::intptr_t>(bytes.data()))));
    return bytes;
}

LRESULT GetLine(TEditor& Editor, WPARAM Row, LPARAM Buffer) {
    auto* units = reinterpret_cast<wchar_t*>(Buffer);
    const WORD capacity = *reinterpret_cast<const WORD*>(units);
    return CopyUnits(TextToWide(RowBytes(Editor, Row)), capacity, units);
}

LRESULT PassText(TEditor& Editor, UINT Msg, WPARAM WParam, LPARAM Text) {
    const auto* wide = reinterpret_cast<const wchar_t*>(Text);
    const std::string bytes = wide != nullptr ? WideToText(wide) : std::string();
    return Ask(Editor, Msg, WParam, reinterpret_cast<std::intptr_t>(bytes.c_str()));
}

// A UTF-16 character reaches the editor as its CP932 bytes, one WM_CHAR each; the editor takes a
// lead byte's second byte itself through the host while it handles the first.
LRESULT PassCharacter(EditorWindowState& State, WPARAM Character, LPARAM KeyData) {
    State.Host.QueueCharacter(static_cast<wchar_t>(Character));
    while (const std::optional<std::uint8_t> byte = State.Host.TakeQueuedByte()) {
        State.Editor->WndProc(WM_CHAR, *byte, KeyData);
    }
    return 0;
}

// The system's own handling runs first (it turns a composition result into character messages
// and keeps the input method's windows going); then the editor inserts the result or hides its
// caret under the candidate list.
LRESULT PassImeMessage(HWND Window, TEditor& Editor, UINT Msg, WPARAM WParam, LPARAM LParam) {
    const LRESULT answer = DefWindowProcW(Window, Msg, WParam, LParam);
    Editor.WndProc(Msg, WParam, LParam);
    return answer;
}

// Below the caret, inside the client area: where a menu asked for from the keyboard opens.
POINT CaretMenuPoint(HWND Window, const TEditor& Editor) {
    RECT client{};
    GetClientRect(Window, &client);
    POINT at{
        std::clamp<LONG>(Editor.ColumnLeft(Editor.GetCol()), 0, client.right),
        std::clamp<LONG>(Editor.RowTop(Editor.GetRow()) + Editor.GetRowHeight(), 0, client.bottom)};
    ClientToScreen(Window, &at);
    return at;
}

// The editor's pop-up menu at the mouse, or below the caret for the keyboard's (-1, -1). A point
// outside the client area (on a scroll bar) is left to the system.
bool ShowContextMenu(HWND Window, TEditor& Editor, LPARAM Point) {
    TPopupMenu* menu = Editor.GetPopupMenu();
    if (menu == nullptr) {
        return false;
    }
    POINT at{static_cast<short>(LOWORD(Point)), static_cast<short>(HIWORD(Point))};
    if (at.x == -1 && at.y == -1) {
        at = CaretMenuPoint(Window, Editor);
    } else {
        POINT inClient = at;
        ScreenToClient(Window, &inClient);
        RECT client{};
        GetClientRect(Window, &client);
        if (PtInRect(&client, inClient) == FALSE) {
            return false;
        }
    }
    ShowPopupMenu(Window, *menu, at);
    return true;
}

// Paints through the editor; EndPaint runs even when painting fails.
class PaintScope {
public:
    explicit PaintScope(HWND Window) : FWindow(Window) { BeginPaint(Window, &FPaint); }
    ~PaintScope() { EndPaint(FWindow, &FPaint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC DC() const { return FPaint.hdc; }
    TRect Area() const {
        const RECT& r = FPaint.rcPaint;
        return TRect{r.left, r.top, r.right, r.bottom};
    }

private:
    HWND FWindow;
    PAINTSTRUCT FPaint{};
};

LRESULT Paint(HWND Window, EditorWindowState& State) {
    const PaintScope scope(Window);
    GdiSurface canvas(scope.DC(), State.Host.ClientSize());
    State.Editor->Paint(canvas, scope.Area());
    return 0;
}

LRESULT Dispatch(HWND Window, EditorWindowState& State, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TEditor& editor = *State.Editor;
    switch (Msg) {
    case WM_CREATE:
        editor.SetHost(&State.Host);
        editor.SetClipboard(&ProcessClipboard());
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        State.Host.FocusChanged(Msg == WM_SETFOCUS);
        break;
    case WM_PAINT:
        return Paint(Window, State);
    case WM_ERASEBKGND:
        return 1;
    case WM_CHAR:
        return PassCharacter(State, WParam, LParam);
    case WM_IME_COMPOSITION:
    case WM_IME_NOTIFY:
        return PassImeMessage(Window, editor, Msg, WParam, LParam);
    case WM_CONTEXTMENU:
        if (ShowContextMenu(Window, editor, LParam)) {
            return 0;
        }
        break;
    case WM_GETTEXT:
        return GetText(editor, WParam, LParam);
    case EM_GETLINE:
        return GetLine(editor, WParam, LParam);
    case WM_SETTEXT:
    case EM_REPLACESEL:
        return PassText(editor, Msg, WParam, LParam);
    default:
        break;
    }
    if (const std::optional<std::intptr_t> answer = editor.WndProc(Msg, WParam, LParam)) {
        return *answer;
    }
    return DefWindowProcW(Window, Msg, WParam, LParam);
}

// The window owns its state from WM_NCCREATE to WM_NCDESTROY.
void AttachState(HWND Window) {
    SetWindowLongPtrW(Window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(new EditorWindowState(Window)));
}

void DetachState(HWND Window, EditorWindowState* State) {
    SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
    const std::unique_ptr<EditorWindowState> owned(State);
    owned->Editor->SetHost(nullptr);
}

LRESULT HandleMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
        AttachState(Window);
    }
    EditorWindowState* state = StateOf(Window);
    if (state != nullptr && Msg == WM_NCDESTROY) {
        DetachState(Window, state);
    } else if (state != nullptr) {
        return Dispatch(Window, *state, Msg, WParam, LParam);
    }
    return DefWindowProcW(Window, Msg, WParam, LParam);
}

// No exception may leave a window procedure: it is shown, and a window being created fails.
LRESULT CALLBACK EditorWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    try {
        return HandleMessage(Window, Msg, WParam, LParam);
    } catch (const std::exception& error) {
        ShowException(Window, error);
        return Msg == WM_NCCREATE ? FALSE : 0;
    }
}

} // namespace

void RegisterEditorWindowClass() {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kEditorClassName, &windowClass) != FALSE) {
        return;
    }
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = EditorWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kEditorClassName;
    RegisterClassExW(&windowClass);
}

TEditor* EditorOfWindow(HWND Window) {
    wchar_t className[std::size(kEditorClassName) + 1] = {};
    GetClassNameW(Window, className, static_cast<int>(std::size(className)));
    if (std::wstring_view(className) != kEditorClassName) {
        return nullptr;
    }
    const EditorWindowState* state = StateOf(Window);
    return state != nullptr ? state->Editor.get() : nullptr;
}

void ShowException(HWND Window, const std::exception& Error) {
    MessageBoxW(GetAncestor(Window, GA_ROOT), Utf8ToWide(Error.what()).c_str(), L"Kestrane",
                MB_OK | MB_ICONERROR);
}

} // namespace kst::win32
