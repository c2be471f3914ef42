#include "win32/desktop_win32.h"

#include "win32/console_process_win32.h"
#include "win32/dialogs_win32.h"
#include "win32/path_names.h"
#include "win32/utf.h"

#include <algorithm>
#include <commdlg.h>
#include <cwchar>
#include <shellapi.h>
#include <shlobj.h>

namespace kst::win32 {

namespace {

constexpr int kClassNameCapacity = 256; // the longest class name and the terminating zero
// How long a close message waits for a program that has stopped answering.
constexpr UINT kHungWindowTimeout = 5000;
constexpr std::size_t kProfileValueCapacity = 256;
constexpr DWORD kFileNameCapacity = 32768;
constexpr wchar_t kFileVersionKey[] = L"\\StringFileInfo\\041103A4\\FileVersion";

int ShowCommandOf(TShowState Show) {
    switch (Show) {
    case TShowState::Show:
        break;
    }
    return SW_SHOW;
}

HWND WindowOf(TWindowHandle Window) {
    return reinterpret_cast<HWND>(Window);
}

HANDLE ProcessOf(TProcessHandle Process) {
    return reinterpret_cast<HANDLE>(Process);
}

// The whole title; the length is only a hint, since the title can change meanwhile.
std::wstring WindowText(HWND Window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    for (;;) {
        const int length = GetWindowTextW(Window, text.data(), static_cast<int>(text.size()));
        if (static_cast<std::size_t>(length) + 1 < text.size()) {
            text.resize(static_cast<std::size_t>(length));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

std::wstring ClassNameOf(HWND Window) {
    wchar_t name[kClassNameCapacity] = {};
    GetClassNameW(Window, name, kClassNameCapacity);
    return name;
}

BOOL CALLBACK CollectWindow(HWND Window, LPARAM Windows) {
    reinterpret_cast<std::vector<HWND>*>(Windows)->push_back(Window);
    return TRUE;
}

TTopLevelWindow DescribeWindow(HWND Window) {
    return {.Handle = reinterpret_cast<TWindowHandle>(Window),
            .Title = WideToUtf8(WindowText(Window)),
            .ClassName = WideToUtf8(ClassNameOf(Window)),
            .Visible = IsWindowVisible(Window) != FALSE,
            .Owned = GetWindow(Window, GW_OWNER) != nullptr};
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

DWORD FileAttributes(const std::string& Path) {
    return GetFileAttributesW(Utf8ToWide(Path).c_str());
}

UINT ButtonsOf(TMessageButtons Buttons) {
    switch (Buttons) {
    case TMessageButtons::YesNo:
        return MB_YESNO;
    case TMessageButtons::YesNoNoDefault:
        return MB_YESNO | MB_DEFBUTTON2;
    case TMessageButtons::YesNoCancel:
        return MB_YESNOCANCEL;
    case TMessageButtons::Ok:
    case TMessageButtons::YesCancel:
        break;
    }
    return MB_OK;
}

TMessageAnswer AnswerOf(int Pressed) {
    switch (Pressed) {
    case IDYES:
        return TMessageAnswer::Yes;
    case IDNO:
        return TMessageAnswer::No;
    case IDCANCEL:
        return TMessageAnswer::Cancel;
    default:
        return TMessageAnswer::Ok;
    }
}

// Where the next message box of this thread goes: its top-left corner, moved into the work area
// of its monitor. A CBT hook moves the box as it is activated and removes itself.
struct TBoxPlacement {
    POINT TopLeft{};
    HHOOK Hook = nullptr;
};

thread_local TBoxPlacement gBoxPlacement;

void MoveBoxTo(HWND Box, POINT TopLeft) {
    RECT bounds{};
    GetWindowRect(Box, &bounds);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint(TopLeft, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    const LONG width = bounds.right - bounds.left;
    const LONG height = bounds.bottom - bounds.top;
    SetWindowPos(Box, nullptr, std::max(area.left, std::min(TopLeft.x, area.right - width)),
                 std::max(area.top, std::min(TopLeft.y, area.bottom - height)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK PlaceBoxHook(int Code, WPARAM WParam, LPARAM LParam) {
    if (Code == HCBT_ACTIVATE && gBoxPlacement.Hook != nullptr) {
        UnhookWindowsHookEx(gBoxPlacement.Hook);
        gBoxPlacement.Hook = nullptr;
        MoveBoxTo(reinterpret_cast<HWND>(WParam), gBoxPlacement.TopLeft);
    }
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

// "description|patterns|..." as the dialogs want it: zero-separated, ending with two zeros.
std::wstring DialogFilter(const std::string& Filter) {
    std::wstring text = Utf8ToWide(Filter);
    std::ranges::replace(text, L'|', L'\0');
    text.push_back(L'\0');
    return text;
}

std::optional<std::string> RunFileDialog(HWND Owner, const TFileDialogOptions& Options, bool Save) {
    const std::wstring filter = DialogFilter(Options.Filter);
    const std::wstring initialDir = Utf8ToWide(Options.InitialDir);
    const std::wstring defaultExt = Utf8ToWide(Options.DefaultExt);
    std::wstring fileName = Utf8ToWide(Options.FileName);
    fileName.resize(std::max<std::size_t>(fileName.size() + 1, kFileNameCapacity), L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(Options.FilterIndex);
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    dialog.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    // The dialogs leave the process's current folder where it was.
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                   OFN_NOCHANGEDIR | (Save ? 0 : OFN_FILEMUSTEXIST);
    const BOOL chosen = Save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (chosen == FALSE) {
        return std::nullopt;
    }
    return WideToUtf8(fileName.c_str());
}

} // namespace

TMessageIcon MessageIconOf(TMessageType Type) {
    switch (Type) {
    case TMessageType::Warning:
        return {MB_ICONWARNING, IDI_WARNING};
    case TMessageType::Error:
        return {MB_ICONERROR, IDI_ERROR};
    case TMessageType::Information:
        return {MB_ICONINFORMATION, IDI_INFORMATION};
    case TMessageType::Confirmation:
        break;
    }
    return {MB_ICONQUESTION, IDI_QUESTION};
}

// Windows

std::vector<TTopLevelWindow> Win32Desktop::TopLevelWindows() {
    std::vector<HWND> handles;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&handles));
    std::vector<TTopLevelWindow> windows;
    windows.reserve(handles.size());
    for (const HWND window : handles) {
        windows.push_back(DescribeWindow(window));
    }
    return windows;
}

void Win32Desktop::BringToFront(TWindowHandle Window) {
    SetForegroundWindow(WindowOf(Window));
}

void Win32Desktop::SendClose(TWindowHandle Window) {
    if (IsWindow(WindowOf(Window)) != FALSE) {
        // A window that goes on answering (while it asks about its changes) is waited for.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(WindowOf(Window), WM_CLOSE, 0, 0,
                            SMTO_ABORTIFHUNG | SMTO_NOTIMEOUTIFNOTHUNG, kHungWindowTimeout,
                            &ignored);
    }
}

UINT ShowLineMessage() {
    static const UINT message = RegisterWindowMessageW(L"Kestrane.ShowLine");
    return message;
}

void Win32Desktop::AskToShowLine(TWindowHandle Window, int Line) {
    PostMessageW(WindowOf(Window), ShowLineMessage(), static_cast<WPARAM>(Line), 0);
}

// A thread message without a window: the loop's wait ends, and nothing handles it.
void Win32Desktop::WakeMessageLoop() {
    PostThreadMessageW(FLoopThread, WM_NULL, 0, 0);
}

// Processes and the shell

void Win32Desktop::StartProcess(const std::string& CommandLine, TShowState Show) {
    std::wstring command = Utf8ToWide(CommandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(ShowCommandOf(Show));
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process) != FALSE) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

TStartedProcess Win32Desktop::StartProcessToWait(const std::string& CommandLine) {
    std::wstring command = Utf8ToWide(CommandLine);
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE,
                       nullptr, nullptr, &startup, &process) == FALSE) {
        return {.Process = 0, .ErrorCode = GetLastError()};
    }
    CloseHandle(process.hThread);
    return {.Process = reinterpret_cast<TProcessHandle>(process.hProcess), .ErrorCode = 0};
}

TStartedConsole Win32Desktop::StartConsoleProcess(const std::string& CommandLine) {
    return StartConsoleProgram(CommandLine);
}

void Win32Desktop::WaitForInputIdle(TProcessHandle Process, int Milliseconds) {
    ::WaitForInputIdle(ProcessOf(Process), static_cast<DWORD>(Milliseconds));
}

// Messages already in the queue count as arrived. A handle that cannot be waited for counts as
// ended, so that the caller never spins on it.
bool Win32Desktop::WaitForProcessOrMessage(TProcessHandle Process,
                                           std::optional<int> Milliseconds) {
    const HANDLE process = ProcessOf(Process);
    const DWORD answer = MsgWaitForMultipleObjectsEx(1, &process, WaitMilliseconds(Milliseconds),
                                                     QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    return answer != WAIT_OBJECT_0 + 1 && answer != WAIT_TIMEOUT;
}

void Win32Desktop::TerminateProcess(TProcessHandle Process, unsigned ExitCode) {
    ::TerminateProcess(ProcessOf(Process), ExitCode);
}

void Win32Desktop::CloseProcess(TProcessHandle Process) {
    if (Process != 0) {
        CloseHandle(ProcessOf(Process));
    }
}

// ShellExecuteW answers a value above 32 on success.
bool Win32Desktop::ShellOpen(const std::string& Path) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(FOwner, L"open", Utf8ToWide(Path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

// Files

bool Win32Desktop::FileExists(const std::string& Path) {
    const DWORD attributes = FileAttributes(Path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<TFileStamp> Win32Desktop::FileStamp(const std::string& Path, int Milliseconds) {
    return FileStampWithin(Path, Milliseconds);
}

std::string Win32Desktop::FullFileName(const std::string& Path) {
    return WideToUtf8(FullLongPathName(Utf8ToWide(Path)));
}

bool Win32Desktop::SameFileName(const std::string& A, const std::string& B) {
    const std::wstring a = FullLongPathName(Utf8ToWide(A));
    const std::wstring b = FullLongPathName(Utf8ToWide(B));
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool Win32Desktop::DirectoryExists(const std::string& Path) {
    const DWORD attributes = FileAttributes(Path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Desktop::CreateFolder(const std::string& Path) {
    return CreateDirectoryW(Utf8ToWide(Path).c_str(), nullptr) != FALSE || DirectoryExists(Path);
}

std::string Win32Desktop::ProgramPath() {
    return WideToUtf8(ModulePath());
}

namespace {

// The process's start time; 0 when the system does not tell.
std::uint64_t StartTimeOf(HANDLE Process) {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (GetProcessTimes(Process, &created, &exited, &kernel, &user) == FALSE) {
        return 0;
    }
    return FromHalves(created.dwHighDateTime, created.dwLowDateTime);
}

} // namespace

TProcessIdentity Win32Desktop::OwnProcess() {
    return {GetCurrentProcessId(), StartTimeOf(GetCurrentProcess())};
}

// A process that may not be looked at (another user's) is taken as running.
bool Win32Desktop::ProcessRunning(const TProcessIdentity& Process) {
    const HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, Process.Id);
    if (handle == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD exitCode = 0;
    const bool running = GetExitCodeProcess(handle, &exitCode) != FALSE &&
                         exitCode == STILL_ACTIVE && StartTimeOf(handle) == Process.StartTime;
    CloseHandle(handle);
    return running;
}

std::uint64_t Win32Desktop::TickCount() {
    return GetTickCount64();
}

std::string Win32Desktop::ProgramVersion() {
    const std::wstring path = ModulePath();
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &unused);
    std::vector<std::byte> data(size);
    if (size == 0 || GetFileVersionInfoW(path.c_str(), 0, size, data.data()) == FALSE) {
        return {};
    }
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), kFileVersionKey, &value, &length) == FALSE || length == 0) {
        return {};
    }
    const auto* text = static_cast<const wchar_t*>(value);
    return WideToUtf8(std::wstring_view(text, wcsnlen(text, length)));
}

// Message boxes and dialogs

// The system's message box has no Yes/Cancel set; that question has a dialog of its own.
TMessageAnswer Win32Desktop::MessageBox(const std::string& Text, const std::string& Caption,
                                        TMessageType Type, TMessageButtons Buttons) {
    if (Buttons == TMessageButtons::YesCancel) {
        return YesCancelBox(FOwner, Text, Caption, Type);
    }
    return AnswerOf(MessageBoxW(FOwner, Utf8ToWide(Text).c_str(), Utf8ToWide(Caption).c_str(),
                                MessageIconOf(Type).BoxStyle | ButtonsOf(Buttons)));
}

TMessageAnswer Win32Desktop::MessageBoxAt(const std::string& Text, const std::string& Caption,
                                          TMessageType Type, TMessageButtons Buttons,
                                          TPoint TopLeft) {
    gBoxPlacement.TopLeft = {TopLeft.X, TopLeft.Y};
    gBoxPlacement.Hook = SetWindowsHookExW(WH_CBT, PlaceBoxHook, nullptr, GetCurrentThreadId());
    const TMessageAnswer answer = MessageBox(Text, Caption, Type, Buttons);
    if (gBoxPlacement.Hook != nullptr) {
        UnhookWindowsHookEx(gBoxPlacement.Hook);
        gBoxPlacement.Hook = nullptr;
    }
    return answer;
}

void Win32Desktop::Beep() {
    MessageBeep(MB_OK);
}

std::optional<std::string> Win32Desktop::OpenFileDialog(const TFileDialogOptions& Options) {
    return RunFileDialog(FOwner, Options, false);
}

std::optional<std::string> Win32Desktop::SaveFileDialog(const TFileDialogOptions& Options) {
    return RunFileDialog(FOwner, Options, true);
}

std::optional<std::string> Win32Desktop::BrowseForFolder(unsigned Flags) {
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.hwndOwner = FOwner;
    browse.pszDisplayName = displayName;
    browse.ulFlags = Flags;
    const PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (chosen == nullptr) {
        return std::nullopt;
    }
    wchar_t path[MAX_PATH] = {};
    const BOOL hasPath = SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    if (hasPath == FALSE) {
        return std::nullopt;
    }
    return WideToUtf8(path);
}

// INI files

std::string Win32Desktop::ReadProfileString(const std::string& Section, const std::string& Key,
                                            const std::string& Default, const std::string& File) {
    const std::wstring wideSection = Utf8ToWide(Section);
    const std::wstring wideKey = Utf8ToWide(Key);
    const std::wstring wideDefault = Utf8ToWide(Default);
    const std::wstring wideFile = Utf8ToWide(File);
    std::wstring value(kProfileValueCapacity, L'\0');
    for (;;) {
        const DWORD length = GetPrivateProfileStringW(
            wideSection.c_str(), wideKey.c_str(), wideDefault.c_str(), value.data(),
            static_cast<DWORD>(value.size()), wideFile.c_str());
        // A value that filled the buffer may have been cut.
        if (length + 1 < value.size()) {
            value.resize(length);
            return WideToUtf8(value);
        }
        value.resize(value.size() * 2);
    }
}

bool Win32Desktop::WriteProfileString(const std::string& Section, const std::string& Key,
                                      const std::string& Value, const std::string& File) {
    return WritePrivateProfileStringW(Utf8ToWide(Section).c_str(), Utf8ToWide(Key).c_str(),
                                      Utf8ToWide(Value).c_str(), Utf8ToWide(File).c_str()) != FALSE;
}

bool Win32Desktop::RemoveProfileKey(const std::string& Section, const std::string& Key,
                                    const std::string& File) {
    return WritePrivateProfileStringW(Utf8ToWide(Section).c_str(), Utf8ToWide(Key).c_str(), nullptr,
                                      Utf8ToWide(File).c_str()) != FALSE;
}

std::string Win32Desktop::TextToUtf8(std::string_view Text) {
    return WideToUtf8(TextToWide(Text));
}

std::string Win32Desktop::Utf8ToText(std::string_view Text) {
    return WideToText(Utf8ToWide(Text));
}

std::optional<std::string> Win32Desktop::ConsoleTextToUtf8(std::string_view Text) {
    const std::optional<std::wstring> wide = StrictToWide(GetOEMCP(), Text);
    return wide ? std::optional<std::string>(WideToUtf8(*wide)) : std::nullopt;
}

int Win32Desktop::AnsiCodePage() {
    return static_cast<int>(GetACP());
}

std::optional<TCodePage> Win32Desktop::SystemCodePage(int Number) {
    const auto number = static_cast<UINT>(Number);
    CPINFOEXW info{};
    if (GetCPInfoExW(number, 0, &info) == FALSE) {
        return std::nullopt;
    }
    TCharSet leadBytes;
    for (std::size_t range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0;
         range += 2) {
        for (unsigned byte = info.LeadByte[range]; byte <= info.LeadByte[range + 1]; ++byte) {
            leadBytes.set(byte);
        }
    }
    return TCodePage(Number, leadBytes, [number](std::string_view Code) {
        wchar_t units[2] = {};
        const int count = MultiByteToWideChar(number, MB_ERR_INVALID_CHARS, Code.data(),
                                              static_cast<int>(Code.size()), units, 2);
        return count == 1 ? static_cast<char16_t>(units[0]) : kNoUnicode;
    });
}

} // namespace kst::win32
