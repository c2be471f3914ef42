// The desktop over the real Windows API: top-level windows, processes and the shell, files, the
// program's path and version resource, message boxes and the common dialogs, the private-profile
// functions and the conversions of code page 932 and of console output.
#pragma once

#include "platform/desktop.h"
#include "win32/script_engine_win32.h"
#include "win32/windows_api.h"

namespace kst::win32 {

// How a message of one type looks: the message box's icon style and the system icon the own
// question dialog shows.
struct TMessageIcon {
    UINT BoxStyle;
    LPCWSTR SystemIcon;
};
TMessageIcon MessageIconOf(TMessageType Type);

// The message by which another process of this program asks the main window to put its caret on
// the document line in its WPARAM.
UINT ShowLineMessage();

class Win32Desktop final : public Desktop {
public:
    // The window that owns the message boxes, the dialogs and what the shell opens; none until
    // the main window exists.
    void SetOwner(HWND Owner) { FOwner = Owner; }
    HWND Owner() const { return FOwner; }

    std::vector<TTopLevelWindow> TopLevelWindows() override;
    void BringToFront(TWindowHandle Window) override;
    void SendClose(TWindowHandle Window) override;
    void AskToShowLine(TWindowHandle Window, int Line) override;
    void WakeMessageLoop() override;

    void StartProcess(const std::string& CommandLine, TShowState Show) override;
    TStartedProcess StartProcessToWait(const std::string& CommandLine) override;
    TStartedConsole StartConsoleProcess(const std::string& CommandLine) override;
    void WaitForInputIdle(TProcessHandle Process, int Milliseconds) override;
    bool WaitForProcessOrMessage(TProcessHandle Process, std::optional<int> Milliseconds) override;
    void TerminateProcess(TProcessHandle Process, unsigned ExitCode) override;
    void CloseProcess(TProcessHandle Process) override;
    TProcessIdentity OwnProcess() override;
    bool ProcessRunning(const TProcessIdentity& Process) override;
    std::uint64_t TickCount() override;
    bool ShellOpen(const std::string& Path) override;

    bool FileExists(const std::string& Path) override;
    bool DirectoryExists(const std::string& Path) override;
    std::optional<TFileStamp> FileStamp(const std::string& Path, int Milliseconds) override;
    bool CreateFolder(const std::string& Path) override;
    bool SameFileName(const std::string& A, const std::string& B) override;
    std::string FullFileName(const std::string& Path) override;
    std::string ProgramPath() override;
    std::string ProgramVersion() override;

    TMessageAnswer MessageBox(const std::string& Text, const std::string& Caption,
                              TMessageType Type, TMessageButtons Buttons) override;
    TMessageAnswer MessageBoxAt(const std::string& Text, const std::string& Caption,
                                TMessageType Type, TMessageButtons Buttons,
                                TPoint TopLeft) override;
    void Beep() override;
    std::optional<std::string> OpenFileDialog(const TFileDialogOptions& Options) override;
    std::optional<std::string> SaveFileDialog(const TFileDialogOptions& Options) override;
    std::optional<std::string> BrowseForFolder(unsigned Flags) override;

    std::string ReadProfileString(const std::string& Section, const std::string& Key,
                                  const std::string& Default, const std::string& File) override;
    bool RemoveProfileKey(const std::string& Section, const std::string& Key,
                          const std::string& File) override;
    bool WriteProfileString(const std::string& Section, const std::string& Key,
                            const std::string& Value, const std::string& File) override;

    std::string TextToUtf8(std::string_view Text) override;
    std::string Utf8ToText(std::string_view Text) override;
    std::optional<std::string> ConsoleTextToUtf8(std::string_view Text) override;
    int AnsiCodePage() override;
    std::optional<TCodePage> SystemCodePage(int Number) override;
    ScriptEngine& SystemScriptEngine() override { return FScriptEngine; }

private:
    HWND FOwner = nullptr;
    // The thread of the message loop, the one that makes the desktop.
    DWORD FLoopThread = GetCurrentThreadId();
    Win32ScriptEngine FScriptEngine;
};

} // namespace kst::win32
