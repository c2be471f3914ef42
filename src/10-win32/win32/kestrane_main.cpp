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
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> parameters;
    for (int index = 1; index < count; ++index) {
        parameters.push_back(WideToUtf8(arguments[index]));
    }
    LocalFree(arguments);
    return parameters;
}

void InitializeCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

// Idle work runs each time the queue has been emptied, before waiting for the next message; while
// steps of it remain, the queue is looked at again after each step. Timed idle work (the recovery
// copy after a pause in typing) bounds the wait.
int RunMessageLoop(MainWindow& Window) {
    for (;;) {
        if (const std::optional<int> exitCode = Window.HandlePendingMessages()) {
            return *exitCode;
        }
        if (!Window.Idle()) {
            MsgWaitForMultipleObjectsEx(0, nullptr, WaitMilliseconds(Window.IdleWakeDelay()),
                                        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
}

int RunProgram(int Show) {
    RegisterEditorWindowClass();
    RegisterMainWindowClass();
    Win32Desktop desk;
    MainWindow window(desk, CommandLineParameters());
    window.Create();
    window.Show(Show);
    return RunMessageLoop(window);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int Show) {
    InitializeCommonControls();
    // The shell's folder browser needs COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int exitCode = 1;
    try {
        exitCode = RunProgram(Show);
    } catch (const std::exception& error) {
        MessageBoxW(nullptr, Utf8ToWide(error.what()).c_str(), L"Kestrane", MB_OK | MB_ICONERROR);
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return exitCode;
}
