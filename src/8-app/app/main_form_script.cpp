// The script runner: the edited script runs under the script host while the window keeps working
// with its editor read-only; it can be stopped, saved and run in one step, and the script host's
// version can be shown.
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

} // namespace

void TForm1::mnuWSHRunClick() {
    if (ScriptRunning) {
        return;
    }
    const TStartedProcess started =
        FDesktop.StartProcessToWait("wscript.exe " + Quoted(CurrentFileName));
    if (started.Process == 0) {
        throw Exception("Exec Error " + std::to_string(started.ErrorCode));
    }
    ScriptProcess = started.Process;
    BeginScriptRun();
    // The window is restored however the wait ends.
    struct TRunEnd {
        TForm1& Form;
        ~TRunEnd() { Form.EndScriptRun(); }
    } const runEnd{*this};
    WaitForScriptEnd();
}

void TForm1::BeginScriptRun() {
    ScriptRunning = true;
    ApplyReadOnly();
    for (TToolButton* button : {Menus.tbRun, Menus.tbPaste, Menus.tbtnCanCom, Menus.tbtnUNCanCom}) {
        button->Enabled = false;
    }
    FView.RefreshToolBar();
}

// Each pass blocks until the script ends or a message arrives. A modal loop inside the messages
// (a message box, a dialog, a menu) returns here, where an end it outlasted is seen at once.
void TForm1::WaitForScriptEnd() {
    FDesktop.WaitForInputIdle(ScriptProcess, kInputIdleMilliseconds);
    Menus.ToolBar1.StatusText = "スクリプト実行中";
    FView.RefreshToolBar();
    while (!FDesktop.WaitForProcessOrMessage(ScriptProcess) && FView.ProcessMessages()) {
    }
}

// The run and paste buttons and the state text follow at the next idle update.
void TForm1::EndScriptRun() {
    EnableCommand(*Menus.tbtnCanCom, true);
    EnableCommand(*Menus.tbtnUNCanCom, true);
    ScriptRunning = false;
    ApplyReadOnly();
    FDesktop.CloseProcess(std::exchange(ScriptProcess, 0));
}

void TForm1::mnuWSHStopClick() {
    if (!ScriptRunning) {
        return;
    }
    FDesktop.Beep();
    if (ShowMessageBox(FDesktop, kStopScriptText, TMessageType::Warning, TMessageButtons::YesNo) ==
        TMessageAnswer::Yes) {
        FDesktop.TerminateProcess(ScriptProcess, 0);
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
