// The desktop the main window lives on: other top-level windows, processes, the shell, files and
// folders, the program's own path and version, message boxes, the common dialogs, the INI
// functions, the system's text conversion and its script engine. Text is UTF-8 unless a function
// says otherwise.
#pragma once

#include "core/code_page.h"
#include "platform/console_process.h"
#include "platform/files.h"
#include "platform/geometry.h"
#include "platform/script_engine.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// Identifies a top-level window for as long as it exists; 0 is none.
using TWindowHandle = std::uintptr_t;

struct TTopLevelWindow {
    TWindowHandle Handle = 0;
    std::string Title;
    std::string ClassName;
    bool Visible = false;
    bool Owned = false;
};

// How a started program shows its first window.
enum class TShowState : std::uint8_t { Show };

// A started process that the program waits for; 0 is none.
using TProcessHandle = std::uintptr_t;

// A process started to be waited for: its handle, or 0 and the system's error code.
struct TStartedProcess {
    TProcessHandle Process = 0;
    unsigned long ErrorCode = 0;
};

// A console program started to be waited for, or none and the system's error code.
struct TStartedConsole {
    std::unique_ptr<ConsoleProcess> Process;
    unsigned long ErrorCode = 0;
};

// A process as long as the system knows it: its id, and its start time (in the system's units),
// which tells it apart from a later process that gets the same id.
struct TProcessIdentity {
    std::uint32_t Id = 0;
    std::uint64_t StartTime = 0;

    bool operator==(const TProcessIdentity&) const = default;
};

enum class TMessageType : std::uint8_t { Warning, Error, Information, Confirmation };
// YesNoNoDefault: Yes and No with No as the default button, for questions whose Yes loses work.
enum class TMessageButtons : std::uint8_t { Ok, YesNo, YesNoNoDefault, YesCancel, YesNoCancel };
enum class TMessageAnswer : std::uint8_t { Ok, Yes, No, Cancel };

// An open or save dialog. Filter is "description|patterns|description|patterns...";
// FilterIndex counts its pairs from 1. An empty InitialDir lets the system choose.
struct TFileDialogOptions {
    std::string Filter;
    int FilterIndex = 1;
    std::string InitialDir;
    std::string FileName;
    std::string DefaultExt;
};

class Desktop {
public:
    Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    virtual ~Desktop() = default;

    // Windows

    // Every top-level window in the system's order (front to back).
    virtual std::vector<TTopLevelWindow> TopLevelWindows() = 0;
    virtual void BringToFront(TWindowHandle Window) = 0;
    // Sends (not posts) the close message: returns after the window has handled it, or after a
    // few seconds when its program does not answer. A window that no longer exists is ignored.
    virtual void SendClose(TWindowHandle Window) = 0;
    // Asks another editor window of this program to put its caret on document line Line (from
    // 1), without waiting for it.
    virtual void AskToShowLine(TWindowHandle Window, int Line) = 0;
    // From any thread: the message loop, waiting for messages, looks at its idle work again.
    virtual void WakeMessageLoop() = 0;

    // Processes and the shell

    // Starts a program from a full command line and does not wait for it; a failure is ignored.
    virtual void StartProcess(const std::string& CommandLine, TShowState Show) = 0;
    // Starts a program from a full command line (the program is searched for on the path) with
    // this process's environment, folder and startup information. The handle is released with
    // CloseProcess.
    virtual TStartedProcess StartProcessToWait(const std::string& CommandLine) = 0;
    // Starts a console program as StartProcessToWait does, without a console window, in a job of
    // its own: its standard input is empty (it reads the end at once), its standard output and
    // standard error go into one pipe.
    virtual TStartedConsole StartConsoleProcess(const std::string& CommandLine) = 0;
    // Waits until Process first waits for user input, at most Milliseconds.
    virtual void WaitForInputIdle(TProcessHandle Process, int Milliseconds) = 0;
    // Blocks until Process has ended, a message has arrived for this program or Milliseconds have
    // passed (none: no limit; 0 only looks); answers whether Process has ended.
    virtual bool WaitForProcessOrMessage(TProcessHandle Process,
                                         std::optional<int> Milliseconds) = 0;
    virtual void TerminateProcess(TProcessHandle Process, unsigned ExitCode) = 0;
    virtual void CloseProcess(TProcessHandle Process) = 0;
    // This process.
    virtual TProcessIdentity OwnProcess() = 0;
    // Whether that process still runs.
    virtual bool ProcessRunning(const TProcessIdentity& Process) = 0;
    // Milliseconds on a clock that only goes forward (since the system started).
    virtual std::uint64_t TickCount() = 0;
    // Asks the shell to open a file or folder as a double click would (a program runs, a
    // document opens in its program, a folder in a window), owned by the main window. Answers
    // false when the shell could not.
    virtual bool ShellOpen(const std::string& Path) = 0;

    // Files

    // True for an existing file, false for a folder or nothing.
    virtual bool FileExists(const std::string& Path) = 0;
    virtual bool DirectoryExists(const std::string& Path) = 0;
    // The file's stamp, or none when the system does not tell within Milliseconds (a slow or
    // missing drive), as FileStampWithin answers.
    virtual std::optional<TFileStamp> FileStamp(const std::string& Path, int Milliseconds) = 0;
    // Creates the folder unless it exists (its parent must); answers whether it exists now.
    virtual bool CreateFolder(const std::string& Path) = 0;
    // Whether two paths name the same file as the system compares file names: their full forms
    // (relative to the current folder, with short names made long) are equal ignoring case.
    virtual bool SameFileName(const std::string& A, const std::string& B) = 0;
    // Path's full form (relative to the current folder) with the short names of existing folders
    // and files made long.
    virtual std::string FullFileName(const std::string& Path) = 0;
    // The running program's full path.
    virtual std::string ProgramPath() = 0;
    // The FileVersion string of the program's version resource; empty when it has none.
    virtual std::string ProgramVersion() = 0;

    // Message boxes and dialogs

    virtual TMessageAnswer MessageBox(const std::string& Text, const std::string& Caption,
                                      TMessageType Type, TMessageButtons Buttons) = 0;
    // The same box with its top-left corner at a point of the screen.
    virtual TMessageAnswer MessageBoxAt(const std::string& Text, const std::string& Caption,
                                        TMessageType Type, TMessageButtons Buttons,
                                        TPoint TopLeft) = 0;
    virtual void Beep() = 0;
    // The chosen path, none when cancelled.
    virtual std::optional<std::string> OpenFileDialog(const TFileDialogOptions& Options) = 0;
    virtual std::optional<std::string> SaveFileDialog(const TFileDialogOptions& Options) = 0;
    // The shell's folder browser with its browse flags; the chosen folder, none when cancelled.
    virtual std::optional<std::string> BrowseForFolder(unsigned Flags) = 0;

    // INI files, with the semantics of the private-profile functions: a missing file, section
    // or key reads as Default; writing creates the file and the section as needed and returns
    // false when the file cannot be written.
    virtual std::string ReadProfileString(const std::string& Section, const std::string& Key,
                                          const std::string& Default, const std::string& File) = 0;
    virtual bool WriteProfileString(const std::string& Section, const std::string& Key,
                                    const std::string& Value, const std::string& File) = 0;
    // Removes the key, so that it reads as Default again; false when the file cannot be written.
    virtual bool RemoveProfileKey(const std::string& Section, const std::string& Key,
                                  const std::string& File) = 0;

    // Text conversion between bytes of the text's code page (the list files, lines of the text) and
    // UTF-8.
    virtual std::string TextToUtf8(std::string_view Text) = 0;
    virtual std::string Utf8ToText(std::string_view Text) = 0;
    // Text in the code page of console programs' output (the OEM code page) to UTF-8; none when
    // a byte is not valid in it.
    virtual std::optional<std::string> ConsoleTextToUtf8(std::string_view Text) = 0;
    // The system's ANSI code page, the one the script host reads scripts in.
    virtual int AnsiCodePage() = 0;
    // Code page Number by the system's own tables: its lead-byte ranges and its characters; none
    // when the system does not know it.
    virtual std::optional<TCodePage> SystemCodePage(int Number) = 0;

    // The system's VBScript engine, which compiles scripts without running them.
    virtual ScriptEngine& SystemScriptEngine() = 0;
};

} // namespace kst
