#include "kestrane_driver.h"

#include <algorithm>
#include <commctrl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tlhelp32.h>

namespace kst::e2e {

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kEditorClass[] = L"TEditor";

std::wstring UniqueFolder() {
    static int Count = 0;
    std::wstring Temp(MAX_PATH, L'\0');
    Temp.resize(GetTempPathW(static_cast<DWORD>(Temp.size()), Temp.data()));
    return Temp + L"kestrane-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++Count) + L"\\";
}

INPUT KeyInput(WORD Key, bool Up) {
    INPUT Input{};
    Input.type = INPUT_KEYBOARD;
    Input.ki.wVk = Key;
    Input.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    return Input;
}

std::vector<PROCESSENTRY32W> RunningProcesses() {
    std::vector<PROCESSENTRY32W> processes;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more != FALSE;
         more = Process32NextW(snapshot, &entry)) {
        processes.push_back(entry);
    }
    CloseHandle(snapshot);
    return processes;
}

} // namespace

void EndProcess(DWORD ProcessId) {
    const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ProcessId);
    if (process != nullptr) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, static_cast<DWORD>(kTimeout / 1ms));
        CloseHandle(process);
    }
}

// Files

std::string ReadBytes(const std::wstring& Path) {
    std::ifstream File(std::filesystem::path(Path), std::ios::binary);
    return {std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::wstring& Path, std::string_view Bytes) {
    std::ofstream File(std::filesystem::path(Path), std::ios::binary);
    File.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

// Windows

std::wstring TitleOf(HWND Window) {
    wchar_t Title[256] = {};
    GetWindowTextW(Window, Title, static_cast<int>(std::size(Title)));
    return Title;
}

DWORD ProcessOf(HWND Window) {
    DWORD ProcessId = 0;
    GetWindowThreadProcessId(Window, &ProcessId);
    return ProcessId;
}

std::vector<HWND> VisibleWindows(const wchar_t* ClassName) {
    struct Search {
        const wchar_t* ClassName;
        std::vector<HWND> Found;
    } Wanted{ClassName, {}};
    EnumWindows(
        [](HWND Window, LPARAM Data) -> BOOL {
            auto& Search = *reinterpret_cast<struct Search*>(Data);
            wchar_t Name[64] = {};
            GetClassNameW(Window, Name, static_cast<int>(std::size(Name)));
            if (IsWindowVisible(Window) != FALSE && std::wstring_view(Name) == Search.ClassName) {
                Search.Found.push_back(Window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&Wanted));
    return Wanted.Found;
}

HWND VisibleMainWindow(const std::wstring& Title) {
    const HWND Window = FindWindowW(kMainWindowClass, Title.c_str());
    return Window != nullptr && IsWindowVisible(Window) != FALSE ? Window : nullptr;
}

HWND WaitForMainWindow(const std::wstring& Title) {
    HWND Window = nullptr;
    WaitUntil([&] { return (Window = VisibleMainWindow(Title)) != nullptr; }, kTimeout);
    return Window;
}

bool WaitUntilClosed(HWND Window) {
    return WaitUntil([&] { return IsWindow(Window) == FALSE; }, kTimeout);
}

HWND MessageBoxOf(DWORD ProcessId) {
    for (const HWND Box : VisibleWindows(L"#32770")) {
        if (ProcessOf(Box) == ProcessId) {
            return Box;
        }
    }
    return nullptr;
}

HWND WaitForMessageBox(DWORD ProcessId) {
    HWND Box = nullptr;
    WaitUntil([&] { return (Box = MessageBoxOf(ProcessId)) != nullptr; }, kTimeout);
    return Box;
}

std::wstring DialogText(HWND Dialog) {
    std::wstring Text;
    for (HWND Child = GetWindow(Dialog, GW_CHILD); Child != nullptr;
         Child = GetWindow(Child, GW_HWNDNEXT)) {
        Text += WindowText(Child) + L"\n";
    }
    return Text;
}

void Click(HWND Dialog, int ButtonId) {
    PostMessageW(GetDlgItem(Dialog, ButtonId), BM_CLICK, 0, 0);
}

HWND EditorOf(HWND MainWindow) {
    return FindWindowExW(MainWindow, nullptr, kEditorClass, nullptr);
}

int RowPitch(HWND Editor) {
    const auto Second = static_cast<WPARAM>(SendMessageW(Editor, EM_LINEINDEX, 1, 0));
    const LRESULT First = SendMessageW(Editor, EM_POSFROMCHAR, 0, 0);
    return static_cast<short>(HIWORD(SendMessageW(Editor, EM_POSFROMCHAR, Second, 0))) -
           static_cast<short>(HIWORD(First));
}

HWND StatusBoxOf(HWND MainWindow) {
    const HWND ToolBar = FindWindowExW(MainWindow, nullptr, L"ToolbarWindow32", nullptr);
    return FindWindowExW(ToolBar, nullptr, L"Edit", nullptr);
}

HWND ResultsListOf(HWND MainWindow) {
    return FindWindowExW(MainWindow, nullptr, L"ListBox", nullptr);
}

std::vector<std::wstring> ListItems(HWND List) {
    std::vector<std::wstring> items;
    const auto count = SendMessageW(List, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        items.push_back(ListItem(List, index));
    }
    return items;
}

void DoubleClickItem(HWND List, int Index) {
    RECT item{};
    SendMessageW(List, LB_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&item));
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    for (const UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        PostMessageW(List, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
    }
}

std::wstring StatusBarText(HWND MainWindow, int Part) {
    const HWND bar = FindWindowExW(MainWindow, nullptr, STATUSCLASSNAMEW, nullptr);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                       FALSE, ProcessOf(MainWindow));
    if (bar == nullptr || process == nullptr) {
        return L"(no status bar)";
    }
    const std::size_t length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, Part, 0));
    std::wstring text(length + 1, L'\0');
    const std::size_t bytes = text.size() * sizeof(wchar_t);
    void* const buffer = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    if (buffer != nullptr) {
        SendMessageW(bar, SB_GETTEXTW, Part, reinterpret_cast<LPARAM>(buffer));
        ReadProcessMemory(process, buffer, text.data(), bytes, nullptr);
        VirtualFreeEx(process, buffer, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    text.resize(length);
    return text;
}

bool WaitForText(HWND Control, const std::wstring& Text) {
    return WaitUntil([&] { return WindowText(Control) == Text; }, kTimeout);
}

// Keys and characters

bool Type(HWND Editor, std::wstring_view Characters) {
    const std::wstring Before = WindowText(Editor);
    for (const wchar_t Character : Characters) {
        PostMessageW(Editor, WM_CHAR, Character, 1);
    }
    return WaitUntil([&] { return WindowText(Editor).size() == Before.size() + Characters.size(); },
                     kTimeout);
}

bool BringForward(HWND Window) {
    return WaitUntil(
        [&] {
            SetForegroundWindow(Window);
            return GetForegroundWindow() == Window;
        },
        5s);
}

void PressKeys(std::initializer_list<WORD> Keys) {
    std::vector<INPUT> Inputs;
    for (const WORD Key : Keys) {
        Inputs.push_back(KeyInput(Key, false));
    }
    for (auto Key = std::rbegin(Keys); Key != std::rend(Keys); ++Key) {
        Inputs.push_back(KeyInput(*Key, true));
    }
    SendInput(static_cast<UINT>(Inputs.size()), Inputs.data(), sizeof(INPUT));
}

// Processes

bool SameText(std::wstring_view A, std::wstring_view B) {
    return CompareStringOrdinal(A.data(), static_cast<int>(A.size()), B.data(),
                                static_cast<int>(B.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ProcessImagePath(DWORD ProcessId) {
    const HANDLE Process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessId);
    if (Process == nullptr) {
        return {};
    }
    std::wstring Path(MAX_PATH * 4, L'\0');
    auto Size = static_cast<DWORD>(Path.size());
    Path.resize(QueryFullProcessImageNameW(Process, 0, Path.data(), &Size) != FALSE ? Size : 0);
    CloseHandle(Process);
    return Path;
}

// The fixture

void KestraneTest::SetUp() {
    Folder = UniqueFolder();
    // Process ids come round again: a folder of this name was left by an earlier test program that
    // did not end cleanly.
    std::filesystem::remove_all(std::filesystem::path(Folder));
    ASSERT_TRUE(std::filesystem::create_directories(std::filesystem::path(Folder) / L"Env"));
    // The tests edit Japanese text: on a system of another code page they choose Japanese, as a
    // user there would in the options.
    if (GetACP() != 932) {
        ASSERT_NE(WritePrivateProfileStringW(L"Option", L"gCodePage", L"932",
                                             EnvPath(L"kst.ini").c_str()),
                  FALSE);
    }
    ASSERT_NE(CopyFileW((ProgramFolder() + L"kestrane.exe").c_str(), Program().c_str(), TRUE),
              FALSE);
}

void KestraneTest::TearDown() {
    EndPrograms();
    std::error_code Ignored;
    std::filesystem::remove_all(std::filesystem::path(Folder), Ignored);
}

std::wstring KestraneTest::CreateTextFile(const std::wstring& Name, std::string_view Bytes) const {
    WriteBytes(PathOf(Name), Bytes);
    return PathOf(Name);
}

HANDLE KestraneTest::Start(const std::vector<std::wstring>& Parameters) {
    std::wstring CommandLine = L"\"" + Program() + L"\"";
    for (const std::wstring& Parameter : Parameters) {
        CommandLine += L" \"" + Parameter + L"\"";
    }
    STARTUPINFOW Startup{};
    Startup.cb = sizeof(Startup);
    PROCESS_INFORMATION Process{};
    // Under a loaded emulator a start can fail now and then; it is tried again.
    if (!WaitUntil(
            [&] {
                return CreateProcessW(Program().c_str(), CommandLine.data(), nullptr, nullptr,
                                      FALSE, 0, nullptr, Folder.c_str(), &Startup,
                                      &Process) != FALSE;
            },
            5s)) {
        ADD_FAILURE() << "kestrane.exe could not be started: error " << GetLastError();
        return nullptr;
    }
    CloseHandle(Process.hThread);
    FStarted.push_back(Process.hProcess);
    return Process.hProcess;
}

bool KestraneTest::WaitForExit(HANDLE Process) {
    return WaitForSingleObject(Process, static_cast<DWORD>(kTimeout / 1ms)) == WAIT_OBJECT_0;
}

std::vector<DWORD> KestraneTest::RunningPrograms() const {
    std::vector<DWORD> Found;
    for (const PROCESSENTRY32W& entry : RunningProcesses()) {
        if (SameText(ProcessImagePath(entry.th32ProcessID), Program())) {
            Found.push_back(entry.th32ProcessID);
        }
    }
    return Found;
}

// Descendants are found through their parents, as long as those run.
std::vector<DWORD> KestraneTest::ChildProcesses(std::wstring_view ImageName) const {
    std::vector<DWORD> family = RunningPrograms();
    const std::size_t programs = family.size();
    const std::vector<PROCESSENTRY32W> running = RunningProcesses();
    for (std::size_t known = 0; known != family.size();) {
        known = family.size();
        for (const PROCESSENTRY32W& entry : running) {
            if (std::ranges::find(family, entry.th32ParentProcessID) != family.end() &&
                std::ranges::find(family, entry.th32ProcessID) == family.end()) {
                family.push_back(entry.th32ProcessID);
            }
        }
    }
    std::vector<DWORD> children;
    for (const PROCESSENTRY32W& entry : running) {
        const auto member = std::ranges::find(family, entry.th32ProcessID);
        const bool descendant = member != family.end() &&
                                member - family.begin() >= static_cast<std::ptrdiff_t>(programs);
        if (descendant && (ImageName.empty() || SameText(entry.szExeFile, ImageName))) {
            children.push_back(entry.th32ProcessID);
        }
    }
    return children;
}

// The children first: once their parent is gone they are no longer known as the copy's.
void KestraneTest::EndPrograms() {
    for (const DWORD ProcessId : ChildProcesses({})) {
        EndProcess(ProcessId);
    }
    for (const DWORD ProcessId : RunningPrograms()) {
        EndProcess(ProcessId);
    }
    for (const HANDLE Process : FStarted) {
        CloseHandle(Process);
    }
    FStarted.clear();
}

bool KestraneTest::PressUntil(HWND Window,
                              std::initializer_list<std::initializer_list<WORD>> Chords,
                              const std::function<bool()>& Done) {
    return WaitUntil(
        [&] {
            BringForward(Window);
            for (const std::initializer_list<WORD> chord : Chords) {
                PressKeys(chord);
            }
            return WaitUntil(Done, 5s);
        },
        kTimeout);
}

bool KestraneTest::PressNewFile(HWND Window) const {
    const std::size_t before = RunningPrograms().size();
    return PressUntil(Window, {{VK_CONTROL, 'N'}},
                      [&] { return RunningPrograms().size() > before; });
}

} // namespace kst::e2e
