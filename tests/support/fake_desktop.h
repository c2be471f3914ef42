// A desktop for tests: scripted top-level windows, message-box answers, dialog results and
// processes that end after a number of waits; it records what the program asks of it (windows
// brought forward or closed, processes started, waited for and terminated, shell opens, message
// boxes, beeps, dialogs). INI files are kept in memory; file and folder
// tests look at the real file system, so tests work with files in a temporary folder. The code
// page conversion writes every byte from 0x80 up as "<XX>" (hex) and reads it back, so text
// that skipped a conversion shows; the console's code page is UTF-8.
#pragma once

#include "platform/desktop.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kst {

// A script engine that answers with Verdict at once, or, while Deferred, when the test delivers.
class FakeScriptEngine final : public ScriptEngine {
public:
    void Compile(std::string Script, TVerdictHandler Done) override;
    // Hands Verdict to the newest compile's handler, as the window's message loop would.
    void Deliver();

    TEngineVerdict Verdict;
    bool Deferred = false;
    // The scripts it was given, in order.
    std::vector<std::string> Scripts;

private:
    TVerdictHandler FDone;
};

class FakeDesktop : public Desktop {
public:
    struct TProcessStart {
        std::string CommandLine;
        TShowState Show = TShowState::Show;

        bool operator==(const TProcessStart&) const = default;
    };

    struct TMessage {
        std::string Text;
        std::string Caption;
        TMessageType Type = TMessageType::Information;
        TMessageButtons Buttons = TMessageButtons::Ok;

        bool operator==(const TMessage&) const = default;
    };

    // A process started to be waited for; its handle is its position in WaitedProcesses plus 1.
    struct TWaitedProcess {
        std::string CommandLine;
        // Waits that still see a message before one sees the process end by itself.
        int WaitsLeft = 0;
        bool Ended = false;
        std::optional<unsigned> TerminatedWith;
        std::optional<int> InputIdleBound;
        bool Closed = false;
    };

    // A console program: each wait lets its next chunk of output arrive; after the last one
    // the next wait ends it, unless it runs until terminated.
    struct TConsoleRun {
        std::string CommandLine;
        std::deque<std::string> Output;
        std::uint32_t ExitCode = 0;
        bool RunsUntilTerminated = false;
        // Whether a read also takes the next chunk, as from a program that writes as fast as
        // it is read.
        bool WritesWhileRead = false;
        // Runs as each read begins.
        std::function<void()> OnRead;
        // Arrived and not yet read.
        std::string Arrived;
        bool Ended = false;
        int Waits = 0;
        std::optional<std::uint32_t> TerminatedWith;
        bool Released = false;
    };

    explicit FakeDesktop(std::string ProgramPath) : FProgramPath(std::move(ProgramPath)) {}

    // Adds a top-level window behind the others and returns its handle.
    TWindowHandle AddWindow(std::string Title, bool Visible = true, bool Owned = false,
                            std::string ClassName = "TForm1");
    // Adds a visible editor window titled Name + " - Kestrane".
    TWindowHandle AddEditorWindow(const std::string& Name);

    std::vector<TTopLevelWindow> TopLevelWindows() override { return Windows; }
    void BringToFront(TWindowHandle Window) override { BroughtToFront.push_back(Window); }
    void SendClose(TWindowHandle Window) override;
    void AskToShowLine(TWindowHandle Window, int Line) override {
        LinesAsked.emplace_back(Window, Line);
    }
    void WakeMessageLoop() override { ++Wakes; }
    void StartProcess(const std::string& CommandLine, TShowState Show) override;
    TStartedProcess StartProcessToWait(const std::string& CommandLine) override;
    // Takes the next of ConsolePrograms (a program that writes nothing and exits with 0 when
    // none is left) and records it in ConsoleRuns.
    TStartedConsole StartConsoleProcess(const std::string& CommandLine) override;
    void WaitForInputIdle(TProcessHandle Process, int Milliseconds) override;
    // A wait (not a look, of 0 ms) counts down the process's WaitsLeft.
    bool WaitForProcessOrMessage(TProcessHandle Process, std::optional<int> Milliseconds) override;
    void TerminateProcess(TProcessHandle Process, unsigned ExitCode) override;
    TProcessIdentity OwnProcess() override { return Own; }
    bool ProcessRunning(const TProcessIdentity& Process) override {
        return Process == Own ||
               std::ranges::find(RunningProcesses, Process) != RunningProcesses.end();
    }
    std::uint64_t TickCount() override { return Now; }
    void CloseProcess(TProcessHandle Process) override;
    bool ShellOpen(const std::string& Path) override;
    bool FileExists(const std::string& Path) override;
    bool DirectoryExists(const std::string& Path) override;
    // The real file's stamp, unless StampAnswered says the system does not answer in time.
    std::optional<TFileStamp> FileStamp(const std::string& Path, int Milliseconds) override;
    bool CreateFolder(const std::string& Path) override;
    // Full paths compared ignoring the case of ASCII letters.
    bool SameFileName(const std::string& A, const std::string& B) override;
    // A relative path's absolute, normal form (there are no short names to make long).
    std::string FullFileName(const std::string& Path) override;
    std::string ProgramPath() override { return FProgramPath; }
    std::string ProgramVersion() override { return Version; }
    TMessageAnswer MessageBox(const std::string& Text, const std::string& Caption,
                              TMessageType Type, TMessageButtons Buttons) override;
    TMessageAnswer MessageBoxAt(const std::string& Text, const std::string& Caption,
                                TMessageType Type, TMessageButtons Buttons,
                                TPoint TopLeft) override;
    void Beep() override { ++Beeps; }
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
    // SystemAnsiCodePage; the system knows only the built-in code pages.
    int AnsiCodePage() override { return SystemAnsiCodePage; }
    std::optional<TCodePage> SystemCodePage(int Number) override;
    ScriptEngine& SystemScriptEngine() override { return Engine; }

    // The message texts shown so far, in order.
    std::vector<std::string> MessageTexts() const;

    // Scripted
    TProcessIdentity Own{1, 1000};
    // Other processes that run: a process is the same only with the same id and start time.
    std::vector<TProcessIdentity> RunningProcesses;
    std::uint64_t Now = 0;
    std::vector<TTopLevelWindow> Windows;
    // Runs when a close message is sent; by default the window disappears.
    std::function<void(TWindowHandle)> OnClose;
    // Answers of the next message boxes; without one a box answers OK or Cancel.
    std::deque<TMessageAnswer> Answers;
    // Results of the next dialogs; without one a dialog is cancelled.
    std::deque<std::string> OpenDialogResults;
    std::deque<std::string> SaveDialogResults;
    std::deque<std::string> FolderResults;
    std::string Version = "1.0.0.0";
    int SystemAnsiCodePage = kJapaneseCodePage;
    // The error code with which starts to wait for fail; 0: they succeed.
    unsigned long StartError = 0;
    // The waits that a started process outlasts.
    int ProcessWaits = 2;
    // The console programs that the next starts run.
    std::deque<TConsoleRun> ConsolePrograms;
    // Paths that the shell fails to open.
    std::set<std::string> UnopenablePaths;
    // Whether each of the next stamp questions is answered in time; once none is left, all are.
    std::deque<bool> StampAnswered;
    // Files reported as existing though they are not on disk.
    std::set<std::string> PretendedFiles;
    // INI files whose writing fails.
    std::set<std::string> ReadOnlyIniFiles;
    FakeScriptEngine Engine;
    // In-memory INI files: file, section, key, value.
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> IniFiles;
    // The keys in the order written, as "section/key".
    std::vector<std::string> IniWrites;

    // Recorded
    std::vector<TWindowHandle> BroughtToFront;
    std::vector<TWindowHandle> ClosesSent;
    std::vector<std::pair<TWindowHandle, int>> LinesAsked;
    std::atomic<int> Wakes = 0;
    std::vector<TProcessStart> ProcessStarts;
    std::vector<TWaitedProcess> WaitedProcesses;
    // Started console programs (references to them stay valid).
    std::deque<TConsoleRun> ConsoleRuns;
    std::vector<std::string> ShellOpened;
    std::vector<TMessage> Messages;
    // Per message: where its top-left corner was asked to be; none for a box placed as usual.
    std::vector<std::optional<TPoint>> MessageCorners;
    int Beeps = 0;
    std::vector<TFileDialogOptions> OpenDialogs;
    std::vector<TFileDialogOptions> SaveDialogs;
    std::vector<unsigned> FolderBrowses;

private:
    TWaitedProcess& WaitedProcess(TProcessHandle Process);
    TMessageAnswer NextAnswer(TMessageButtons Buttons);

    std::string FProgramPath;
    TWindowHandle FNextHandle = 100;
};

} // namespace kst
