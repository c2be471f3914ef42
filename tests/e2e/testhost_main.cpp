// A test-only program: a top-level window holding one "TEditor" control with the main window's
// values, showing the file named on the command line. The end-to-end tests drive it.
#include "app/main_window_editor.h"
#include "win32/editor_window.h"
#include "win32/utf.h"

#include <shellapi.h>

namespace {

using namespace kst;
using namespace kst::win32;

constexpr wchar_t kHostClassName[] = L"KestraneTestHost";
constexpr int kEditorId = 1;

HWND EditorChild(HWND Host) {
    return GetDlgItem(Host, kEditorId);
}

// Test-only: the editor's selection becomes the box between two corners, each packed as the row
// (high word) and the column (low word) of WParam and LParam.
UINT SelectBoxMessage() {
    static const UINT Message = RegisterWindowMessageW(L"KestraneTestHost.SelectBox");
    return Message;
}

void SelectBox(HWND Host, WPARAM From, LPARAM To) {
    TEditor& Editor = *EditorOfWindow(EditorChild(Host));
    Editor.SetBoxSelection(true);
    Editor.SetRowCol(HIWORD(From), LOWORD(From));
    Editor.StartSelection();
    Editor.SetRowCol(HIWORD(To), LOWORD(To));
    Editor.ExtendSelection();
}

LRESULT CALLBACK HostWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == SelectBoxMessage()) {
        SelectBox(Window, WParam, LParam);
        return 0;
    }
    switch (Msg) {
    case WM_SIZE:
        MoveWindow(EditorChild(Window), 0, 0, LOWORD(LParam), HIWORD(LParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(EditorChild(Window));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(Window, Msg, WParam, LParam);
    }
}

void RegisterHostClass() {
    WNDCLASSEXW Class{};
    Class.cbSize = sizeof(Class);
    Class.lpfnWndProc = HostWindowProc;
    Class.hInstance = GetModuleHandleW(nullptr);
    Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Class.lpszClassName = kHostClassName;
    RegisterClassExW(&Class);
}

// The values the main window gives its editor.
void ApplyMainWindowValues(TEditor& Editor) {
    Editor.BeginLoading();
    ApplyMainWindowEditorValues(Editor);
    Editor.Loaded();
}

std::wstring FileArgument() {
    int Count = 0;
    LPWSTR* Arguments = CommandLineToArgvW(GetCommandLineW(), &Count);
    std::wstring File = Count > 1 ? Arguments[1] : L"";
    LocalFree(Arguments);
    return File;
}

HWND CreateHostWindow(const std::wstring& File) {
    const std::wstring Title = (File.empty() ? L"新規" : File) + L" - Kestrane test host";
    const HWND Host =
        CreateWindowExW(0, kHostClassName, Title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    RECT Client{};
    GetClientRect(Host, &Client);
    CreateWindowExW(WS_EX_CLIENTEDGE, kEditorClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0,
                    0, Client.right, Client.bottom, Host,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
                    GetModuleHandleW(nullptr), nullptr);
    return Host;
}

void OpenFile(HWND Host, const std::wstring& File) {
    TEditor& Editor = *EditorOfWindow(EditorChild(Host));
    ApplyMainWindowValues(Editor);
    try {
        if (!File.empty()) {
            Editor.GetLines().LoadFromFile(WideToUtf8(File));
        }
    } catch (const std::exception& Error) {
        ShowException(Host, Error);
    }
    Editor.SetModified(false);
}

int RunMessageLoop() {
    MSG Message{};
    while (GetMessageW(&Message, nullptr, 0, 0) > 0) {
        TranslateMessage(&Message);
        DispatchMessageW(&Message);
    }
    return static_cast<int>(Message.wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int Show) {
    RegisterEditorWindowClass();
    RegisterHostClass();
    const std::wstring File = FileArgument();
    const HWND Host = CreateHostWindow(File);
    OpenFile(Host, File);
    ShowWindow(Host, Show);
    UpdateWindow(Host);
    SetFocus(EditorChild(Host));
    return RunMessageLoop();
}
