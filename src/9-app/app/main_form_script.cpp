// The script runner: the edited script runs under the script host while the window keeps working
// with its editor read-only, either in its windows or at a console whose output fills the
// results list; it can be stopped, saved and run in one step, and the script host's version can
// be shown.
#include "app/console_output.h"
#include "app/main_form.h"
#include "app/main_view.h"
#include "app/message_boxes.h"
#include "core/errors.h"
#include "input/editor.h"

#include <utility>

namespace kst {

namespace {

// The host's first wait for input is bounded, so that a host that never gets there cannot hold
// the window.
constexpr int kInputIdleMilliseconds = 2000;
// A stopped console run ends with this exit code, which its last entry shows: not success.
constexpr std::uint32_t kStoppedExitCode = 1;

std::string StartError(unsigned long ErrorCode) {
    return "Exec Error " + std::to_string(ErrorCode);
}

// Runs Action as the scope ends, however it ends: the window is restored after every run.
template <class F>
struct TAtScopeEnd {
    F Action;
    ~TAtScopeEnd() { Action(); }
};
template <class F>
TAtScopeEnd(F) -> TAtScopeEnd<F>;

} // namespace

void TForm1::mnuWSHRunClick() {
    if (ScriptRunning) {
        return;
    }
    const TStartedProcess started =
        FDesktop.StartProcessToWait("wscript.exe " + Quoted(CurrentFileName));
    if (started.Process == 0) {
        throw Exception(StartError(started.ErrorCode));
    }
    ScriptProcess = started.Process;
    BeginScriptRun();
    const TAtScopeEnd runEnd{[this] { EndScriptRun(); }};
    WaitForScriptEnd();
}

void TForm1::BeginScriptRun() {
    ScriptRunning = true;
    ApplyReadOnly();
    EnableButtons();
    FView.RefreshToolBar();
}

void TForm1::ShowRunningState() {
    Menus.ToolBar1.StatusText = StateText();
    FView.RefreshToolBar();
}

// Messages come first, then a step of the idle work; the loop blocks until the script ends, a
// message arrives or timed idle work is due only when there is none, and otherwise only looks
// whether the script has ended. A modal loop inside the messages (a message box, a dialog, a
// menu) returns here, where an end it outlasted is seen at once.
void TForm1::WaitForScriptEnd() {
    FDesktop.WaitForInputIdle(ScriptProcess, kInputIdleMilliseconds);
    ShowRunningState();
    while (FView.ProcessMessages()) {
        const bool busy = IdleTurnDuringRun();
        if (FDesktop.WaitForProcessOrMessage(ScriptProcess, busy ? 0 : IdleWakeDelay())) {
            return;
        }
    }
}

// The idle work goes on while a script runs, as it does between runs: a search fills the list,
// the status bar and the tool bar follow the caret and the clipboard.
bool TForm1::IdleTurnDuringRun() {
    const bool busy = AppIdle();
    FView.RefreshToolBar();
    return busy;
}

// The list is cleared and takes the output as it arrives. When the window closes meanwhile (the
// quit message came) the host is ended with all it started; otherwise the rest of the output and
// the exit code are added, and the list shows them in the idle steps that follow.
void TForm1::mnuConsoleRunClick() {
    if (ScriptRunning) {
        return;
    }
    const TStartedConsole started =
        FDesktop.StartConsoleProcess("cscript.exe //nologo " + Quoted(CurrentFileName));
    if (started.Process == nullptr) {
        throw Exception(StartError(started.ErrorCode));
    }
    ConsoleProcess& process = *started.Process;
    ShowResults({}, false);
    FView.RepaintEditor();
    ConsoleOutput output(FDesktop, FResults, CurrentFileName);
    FConsole = &process;
    BeginScriptRun();
    const TAtScopeEnd runEnd{[this] { EndScriptRun(); }};
    ShowRunningState();
    if (!WaitForConsoleEnd(process, output)) {
        process.Terminate(kStoppedExitCode);
        return;
    }
    for (std::string chunk = process.ReadOutput(); !chunk.empty(); chunk = process.ReadOutput()) {
        output.Add(chunk);
    }
    output.Finish(process.ExitCode());
}

// Messages come first, then one piece of work: a chunk of output read, and the idle work (a step
// of lines shown, the tool bar's states). The loop blocks only when there is none, and reads
// nothing while many lines wait to be shown. False when the quit message came.
bool TForm1::WaitForConsoleEnd(ConsoleProcess& Process, ConsoleOutput& Output) {
    while (FView.ProcessMessages()) {
        if (Process.HasEnded()) {
            return true;
        }
        bool busy = false;
        if (Output.HasRoom()) {
            const std::string chunk = Process.ReadOutput();
            busy = !chunk.empty();
            Output.Add(chunk);
        }
        busy = IdleTurnDuringRun() || busy;
        if (!busy) {
            Process.Wait(IdleWakeDelay());
        }
    }
    return false;
}

// The buttons and the state text follow at the next idle update.
void TForm1::EndScriptRun() {
    ScriptRunning = false;
    ApplyReadOnly();
    FDesktop.CloseProcess(std::exchange(ScriptProcess, 0));
    FConsole = nullptr;
}

void TForm1::mnuWSHStopClick() {
    if (!ScriptRunning) {
        return;
    }
    FDesktop.Beep();
    if (ShowMessageBox(FDesktop, kStopScriptText, TMessageType::Warning, TMessageButtons::YesNo) ==
        TMessageAnswer::Yes) {
        if (FConsole != nullptr) {
            FConsole->Terminate(kStoppedExitCode);
        } else {
            FDesktop.TerminateProcess(ScriptProcess, 0);
        }
    }
}

// Refused while a script runs: the saved text would be the one running, and a second host's
// wait would run inside the first one's.
void TForm1::mnuWSHRun2Click() {
    if (ScriptRunning) {
        return;
    }
    if (FileKind != fkVbs) {
        ShowMessageBox(FDesktop, kNotScriptText, TMessageType::Error, TMessageButtons::Ok);
        return;
    }
    if (SaveToCurrentFile()) {
        mnuWSHRunClick();
    }
}

void TForm1::mnuWSHinfoClick() {
    FDesktop.StartProcess("wscript " + Quoted(FEnv.WriteVersionScript()), TShowState::Show);
}

} // namespace kst
