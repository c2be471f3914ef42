#include "win32/desktop_win32.h"

#include "win32/dialogs_win32.h"
#include "win32/utf.h"

#include <algorithm>
#include <commdlg.h>
#include <cwchar>
#include <shellapi.h>
#include <shlobj.h>

namespace kst::win32 {

namespace {

constexpr int kTitleCapacity = 256; // 255 characters and the terminating zero
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

std::wstring WindowText(HWND Window) {
    wchar_t Text[kTitleCapacity] = {};
    GetWindowTextW(Window, Text, kTitleCapacity);
    return Text;
}

std::wstring ClassNameOf(HWND Window) {
    wchar_t Name[kTitleCapacity] = {};
    GetClassNameW(Window, Name, kTitleCapacity);
    return Name;
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
    std::wstring Path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD Length =
            GetModuleFileNameW(nullptr, Path.data(), static_cast<DWORD>(Path.size()));
        if (Length < Path.size()) {
            Path.resize(Length);
            return Path;
        }
        Path.resize(Path.size() * 2);
    }
}

DWORD FileAttributes(const std::string& Path) {
    return GetFileAttributesW(Utf8ToWide(Path).c_str());
}

UINT IconOf(TMessageType Type) {
    switch (Type) {
    case TMessageType::Warning:
        return MB_ICONWARNING;
    case TMessageType::Error:
        return MB_ICONERROR;
    case TMessageType::Information:
        return MB_ICONINFORMATION;
    case TMessageType::Confirmation:
        break;
    }
    return MB_ICONQUESTION;
}

UINT ButtonsOf(TMessageButtons Buttons) {
    switch (Buttons) {
    case TMessageButtons::YesNo:
        return MB_YESNO;
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
    std::wstring Text = Utf8ToWide(Filter);
    std::ranges::replace(Text, L'|', L'\0');
    Text.push_back(L'\0');
    return Text;
}

std::optional<std::string> RunFileDialog(HWND Owner, const TFileDialogOptions& Options, bool Save) {
    const std::wstring Filter = DialogFilter(Options.Filter);
    const std::wstring InitialDir = Utf8ToWide(Options.InitialDir);
    const std::wstring DefaultExt = Utf8ToWide(Options.DefaultExt);
    std::wstring FileName = Utf8ToWide(Options.FileName);
    FileName.resize(std::max<std::size_t>(FileName.size() + 1, kFileNameCapacity), L'\0');

    OPENFILENAMEW Dialog{};
    Dialog.lStructSize = sizeof(Dialog);
    Dialog.hwndOwner = Owner;
    Dialog.lpstrFilter = Filter.c_str();
    Dialog.nFilterIndex = static_cast<DWORD>(Options.FilterIndex);
    Dialog.lpstrFile = FileName.data();
    Dialog.nMaxFile = static_cast<DWORD>(FileName.size());
    Dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    Dialog.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    Dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                   (Save ? 0 : OFN_FILEMUSTEXIST);
    const BOOL Chosen = Save ? GetSaveFileNameW(&Dialog) : GetOpenFileNameW(&Dialog);
    if (Chosen == FALSE) {
        return std::nullopt;
    }
    return WideToUtf8(FileName.c_str());
}

} // namespace

// Windows

std::vector<TTopLevelWindow> Win32Desktop::TopLevelWindows() {
    std::vector<HWND> Handles;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&Handles));
    std::vector<TTopLevelWindow> Windows;
    Windows.reserve(Handles.size());
    for (const HWND Window : Handles) {
        Windows.push_back(DescribeWindow(Window));
    }
    return Windows;
}

void Win32Desktop::BringToFront(TWindowHandle Window) {
    SetForegroundWindow(WindowOf(Window));
}

void Win32Desktop::SendClose(TWindowHandle Window) {
    if (IsWindow(WindowOf(Window)) != FALSE) {
        SendMessageW(WindowOf(Window), WM_CLOSE, 0, 0);
    }
}

// Processes and the shell

void Win32Desktop::StartProcess(const std::string& CommandLine, TShowState Show) {
    std::wstring Command = Utf8ToWide(CommandLine);
    STARTUPINFOW Startup{};
    Startup.cb = sizeof(Startup);
    Startup.dwFlags = STARTF_USESHOWWINDOW;
    Startup.wShowWindow = static_cast<WORD>(ShowCommandOf(Show));
    PROCESS_INFORMATION Process{};
    if (CreateProcessW(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &Startup, &Process) != FALSE) {
        CloseHandle(Process.hThread);
        CloseHandle(Process.hProcess);
    }
}

void Win32Desktop::ShellOpen(const std::string& Path) {
    ShellExecuteW(FOwner, L"open", Utf8ToWide(Path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// Files

bool Win32Desktop::FileExists(const std::string& Path) {
    const DWORD Attributes = FileAttributes(Path);
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Desktop::DirectoryExists(const std::string& Path) {
    const DWORD Attributes = FileAttributes(Path);
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string Win32Desktop::ProgramPath() {
    return WideToUtf8(ModulePath());
}

std::string Win32Desktop::ProgramVersion() {
    const std::wstring Path = ModulePath();
    DWORD Unused = 0;
    const DWORD Size = GetFileVersionInfoSizeW(Path.c_str(), &Unused);
    std::vector<std::byte> Data(Size);
    if (Size == 0 || GetFileVersionInfoW(Path.c_str(), 0, Size, Data.data()) == FALSE) {
        return {};
    }
    void* Value = nullptr;
    UINT Length = 0;
    if (VerQueryValueW(Data.data(), kFileVersionKey, &Value, &Length) == FALSE || Length == 0) {
        return {};
    }
    const auto* Text = static_cast<const wchar_t*>(Value);
    return WideToUtf8(std::wstring_view(Text, wcsnlen(Text, Length)));
}

// Message boxes and dialogs

// The system's message box has no Yes/Cancel set; that question has a dialog of its own.
TMessageAnswer Win32Desktop::MessageBox(const std::string& Text, const std::string& Caption,
                                        TMessageType Type, TMessageButtons Buttons) {
    if (Buttons == TMessageButtons::YesCancel) {
        return YesCancelBox(FOwner, Text, Caption, Type);
    }
    return AnswerOf(MessageBoxW(FOwner, Utf8ToWide(Text).c_str(), Utf8ToWide(Caption).c_str(),
                                IconOf(Type) | ButtonsOf(Buttons)));
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
    wchar_t DisplayName[MAX_PATH] = {};
    BROWSEINFOW Browse{};
    Browse.hwndOwner = FOwner;
    Browse.pszDisplayName = DisplayName;
    Browse.ulFlags = Flags;
    const PIDLIST_ABSOLUTE Chosen = SHBrowseForFolderW(&Browse);
    if (Chosen == nullptr) {
        return std::nullopt;
    }
    wchar_t Path[MAX_PATH] = {};
    const BOOL HasPath = SHGetPathFromIDListW(Chosen, Path);
    CoTaskMemFree(Chosen);
    if (HasPath == FALSE) {
        return std::nullopt;
    }
    return WideToUtf8(Path);
}

// INI files

std::string Win32Desktop::ReadProfileString(const std::string& Section, const std::string& Key,
                                            const std::string& Default, const std::string& File) {
    const std::wstring WideSection = Utf8ToWide(Section);
    const std::wstring WideKey = Utf8ToWide(Key);
    const std::wstring WideDefault = Utf8ToWide(Default);
    const std::wstring WideFile = Utf8ToWide(File);
    std::wstring Value(kProfileValueCapacity, L'\0');
    for (;;) {
        const DWORD Length = GetPrivateProfileStringW(
            WideSection.c_str(), WideKey.c_str(), WideDefault.c_str(), Value.data(),
            static_cast<DWORD>(Value.size()), WideFile.c_str());
        // A value that filled the buffer may have been cut.
        if (Length + 1 < Value.size()) {
            Value.resize(Length);
            return WideToUtf8(Value);
        }
        Value.resize(Value.size() * 2);
    }
}

bool Win32Desktop::WriteProfileString(const std::string& Section, const std::string& Key,
                                      const std::string& Value, const std::string& File) {
    return WritePrivateProfileStringW(Utf8ToWide(Section).c_str(), Utf8ToWide(Key).c_str(),
                                      Utf8ToWide(Value).c_str(), Utf8ToWide(File).c_str()) != FALSE;
}

std::string Win32Desktop::Cp932ToUtf8(std::string_view Text) {
    return WideToUtf8(Cp932ToWide(Text));
}

std::string Win32Desktop::Utf8ToCp932(std::string_view Text) {
    return WideToCp932(Utf8ToWide(Text));
}

} // namespace kst::win32
