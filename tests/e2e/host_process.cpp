#include "host_process.h"

#include <algorithm>
#include <thread>

namespace kst::e2e {

namespace {

using namespace std::chrono_literals;

constexpr auto kStartTimeout = 20s;
constexpr auto kCloseTimeout = 5s;
constexpr auto kPollInterval = 20ms;

struct WindowSearch {
    DWORD ProcessId;
    HWND Found;
};

BOOL CALLBACK MatchProcessWindow(HWND Window, LPARAM Search) {
    auto& Wanted = *reinterpret_cast<WindowSearch*>(Search);
    DWORD ProcessId = 0;
    GetWindowThreadProcessId(Window, &ProcessId);
    if (ProcessId != Wanted.ProcessId || IsWindowVisible(Window) == FALSE) {
        return TRUE;
    }
    Wanted.Found = Window;
    return FALSE;
}

DWORD Milliseconds(std::chrono::milliseconds Duration) {
    return static_cast<DWORD>(Duration.count());
}

} // namespace

std::wstring ProgramFolder() {
    std::wstring Path(MAX_PATH, L'\0');
    const DWORD Length = GetModuleFileNameW(nullptr, Path.data(), static_cast<DWORD>(Path.size()));
    Path.resize(Length);
    return Path.substr(0, Path.find_last_of(L"\\/") + 1);
}

bool WaitUntil(const std::function<bool()>& Condition, std::chrono::milliseconds Timeout) {
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    while (!Condition()) {
        if (std::chrono::steady_clock::now() >= Deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

std::wstring WindowText(HWND Window) {
    std::wstring Buffer(static_cast<std::size_t>(SendMessageW(Window, WM_GETTEXTLENGTH, 0, 0)) + 1,
                        L'\0');
    Buffer.resize(static_cast<std::size_t>(
        SendMessageW(Window, WM_GETTEXT, Buffer.size(), reinterpret_cast<LPARAM>(Buffer.data()))));
    return Buffer;
}

// LB_GETTEXT takes no buffer size: the system copies the entry as it is when the list's process
// answers, into a buffer sized by the LB_GETTEXTLEN before it. A list being refilled can lengthen
// the entry in between, so the buffer has room to spare far beyond any entry these tests make.
std::wstring ListItem(HWND List, LRESULT Index) {
    constexpr std::size_t kRoomToSpare = 4096;
    const LRESULT Length = SendMessageW(List, LB_GETTEXTLEN, Index, 0);
    if (Length == LB_ERR) {
        return {};
    }
    std::wstring Item(static_cast<std::size_t>(Length) + kRoomToSpare, L'\0');
    const LRESULT Copied =
        SendMessageW(List, LB_GETTEXT, Index, reinterpret_cast<LPARAM>(Item.data()));
    Item.resize(static_cast<std::size_t>(std::max<LRESULT>(Copied, 0)));
    return Item;
}

std::pair<DWORD, DWORD> EditorSelection(HWND Editor) {
    DWORD Start = 0;
    DWORD End = 0;
    SendMessageW(Editor, EM_GETSEL, reinterpret_cast<WPARAM>(&Start),
                 reinterpret_cast<LPARAM>(&End));
    return {Start, End};
}

TestHostProcess::TestHostProcess(const std::wstring& File) {
    const std::wstring Program = ProgramFolder() + L"kestrane_testhost.exe";
    std::wstring CommandLine = L"\"" + Program + L"\" \"" + File + L"\"";
    STARTUPINFOW Startup{};
    Startup.cb = sizeof(Startup);
    if (CreateProcessW(Program.c_str(), CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &Startup, &FProcess) == FALSE) {
        return;
    }
    WaitForInputIdle(FProcess.hProcess, Milliseconds(kStartTimeout));
    WaitUntil(
        [&] {
            FTopWindow = FindTopWindow();
            FEditorWindow = FTopWindow != nullptr
                                ? FindWindowExW(FTopWindow, nullptr, L"TEditor", nullptr)
                                : nullptr;
            return FEditorWindow != nullptr;
        },
        kStartTimeout);
}

TestHostProcess::~TestHostProcess() {
    if (FProcess.hProcess == nullptr) {
        return;
    }
    if (FTopWindow != nullptr) {
        PostMessageW(FTopWindow, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(FProcess.hProcess, Milliseconds(kCloseTimeout)) != WAIT_OBJECT_0) {
        TerminateProcess(FProcess.hProcess, 1);
    }
    CloseHandle(FProcess.hThread);
    CloseHandle(FProcess.hProcess);
}

HWND TestHostProcess::FindTopWindow() const {
    WindowSearch Search{FProcess.dwProcessId, nullptr};
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&Search));
    return Search.Found;
}

} // namespace kst::e2e
