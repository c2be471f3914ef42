// The program: one main window on the file named on the command line (or a new file), and its
// message loop, which carries out menu shortcuts before the controls see the keys and updates the
// commands whenever the application becomes idle.
#include "win32/editor_window.h"
#include "win32/main_window.h"
#include "win32/utf.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <string>
#include <vector>

namespace {

using namespace kst::win32;

// The command line's parameters after the program's own path.
std::vector<std::string> CommandLineParameters() {
    int Count = 0;
    LPWSTR* Arguments = CommandLineToArgvW(GetCommandLineW(), &Count);
    std::vector<std::string> Parameters;
    for (int Index = 1; Index < Count; ++Index) {
        Parameters.push_back(WideToUtf8(Arguments[Index]));
    }
    LocalFree(Arguments);
    return Parameters;
}

void InitializeCommonControls() {
    INITCOMMONCONTROLSEX Controls{};
    Controls.dwSize = sizeof(Controls);
    Controls.dwICC = ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&Controls);
}

// Idle work runs each time the queue has been emptied, before waiting for the next message; while
// steps of it remain, the queue is looked at again after each step.
int RunMessageLoop(MainWindow& Window) {
    MSG Message{};
    for (;;) {
        while (PeekMessageW(&Message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
            if (Message.message == WM_QUIT) {
                return static_cast<int>(Message.wParam);
            }
            if (!Window.HandleShortCut(Message)) {
                TranslateMessage(&Message);
                DispatchMessageW(&Message);
            }
        }
        if (!Window.Idle()) {
            WaitMessage();
        }
    }
}

int RunProgram(int Show) {
    RegisterEditorWindowClass();
    RegisterMainWindowClass();
    Win32Desktop Desk;
    MainWindow Window(Desk, CommandLineParameters());
    Window.Create();
    Window.Show(Show);
    return RunMessageLoop(Window);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int Show) {
    InitializeCommonControls();
    // The shell's folder browser needs COM on this thread.
    const HRESULT Com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int ExitCode = 1;
    try {
        ExitCode = RunProgram(Show);
    } catch (const std::exception& Error) {
        MessageBoxW(nullptr, Utf8ToWide(Error.what()).c_str(), L"Kestrane", MB_OK | MB_ICONERROR);
    }
    if (SUCCEEDED(Com)) {
        CoUninitialize();
    }
    return ExitCode;
}
