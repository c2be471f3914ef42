// Starts the test host program on a file and finds its windows; closes it when done.
#pragma once

#include "win32/windows_api.h"

#include <chrono>
#include <functional>
#include <string>
#include <utility>

namespace kst::e2e {

// The folder of the running test program, with a trailing backslash.
std::wstring ProgramFolder();

// Polls Condition until it holds or Timeout has passed; answers whether it held.
bool WaitUntil(const std::function<bool()>& Condition, std::chrono::milliseconds Timeout);

// A window's whole text (WM_GETTEXT), and an editor's selection in CP932 bytes (EM_GETSEL).
std::wstring WindowText(HWND Window);
std::pair<DWORD, DWORD> EditorSelection(HWND Editor);
// An entry of a list box in another process (LB_GETTEXT), empty when there is none.
std::wstring ListItem(HWND List, LRESULT Index);

class TestHostProcess {
public:
    // Starts the host on File and waits until its editor window exists.
    explicit TestHostProcess(const std::wstring& File);
    ~TestHostProcess();
    TestHostProcess(const TestHostProcess&) = delete;
    TestHostProcess& operator=(const TestHostProcess&) = delete;

    // Null when the host did not show its window in time.
    HWND TopWindow() const { return FTopWindow; }
    HWND EditorWindow() const { return FEditorWindow; }

private:
    HWND FindTopWindow() const;

    PROCESS_INFORMATION FProcess{};
    HWND FTopWindow = nullptr;
    HWND FEditorWindow = nullptr;
};

} // namespace kst::e2e
