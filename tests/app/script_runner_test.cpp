#include "core/errors.h"
#include "main_form_fixture.h"

namespace kst {
namespace {

using TMessage = FakeDesktop::TMessage;

class ScriptRunnerTest : public MainFormTest {
protected:
    // Opens a script whose path has blanks and Japanese characters.
    void SetUp() override { Create({Script}); }

    FakeDesktop::TWaitedProcess& LastProcess() { return Desk.WaitedProcesses.back(); }
    std::string State() {
        Form->AppIdle();
        return Form->Menus.ToolBar1.StatusText;
    }
    // Run, Stop, Save and run, Options after the Tool menu's enabling.
    std::vector<bool> ToolMenu() {
        Form->mnuToolClick();
        const TMainMenus& menus = Form->Menus;
        return {menus.mnuRun->Enabled, menus.mnuStop->Enabled, menus.mnuSaveRun->Enabled,
                menus.mnuOption->Enabled};
    }

    const std::string Script = File("my scripts/実行 テスト.vbs", "MsgBox 1\r\n");
};

TEST_F(ScriptRunnerTest, RunStartsTheHostOnTheQuotedPathAndRestoresTheWindowAtTheEnd) {
    Clip.Content = "x";
    Form->ClipboardChanged();
    EXPECT_EQ(State(), "VBSファイル");
    ASSERT_TRUE(Form->Menus.tbPaste->Enabled);
    struct TSeen {
        bool Running, ReadOnly, RunButton, PasteButton;
        std::string Status;
        bool Shown;
        bool operator==(const TSeen&) const = default;
    };
    std::vector<TSeen> seen;
    View.OnProcessMessages = [&] {
        const TMainMenus& menus = Form->Menus;
        seen.push_back({Form->ScriptRunning, Editor->GetReadOnly(), menus.tbRun->Enabled,
                        menus.tbPaste->Enabled, menus.ToolBar1.StatusText,
                        View.ToolBarRefreshes > 0});
    };
    Form->mnuWSHRunClick();

    ASSERT_EQ(Desk.WaitedProcesses.size(), 1U);
    EXPECT_EQ(LastProcess().CommandLine, "wscript.exe \"" + Script + "\"");
    const std::optional<int> inputIdleBound = LastProcess().InputIdleBound;
    EXPECT_TRUE(inputIdleBound && *inputIdleBound > 0 && *inputIdleBound <= 10000)
        << "the first wait is made and bounded (INFINITE reads as -1)";
    const TSeen running{true, true, false, false, "スクリプト実行中", true};
    EXPECT_EQ(seen, std::vector<TSeen>(Desk.ProcessWaits, running));
    EXPECT_FALSE(Form->ScriptRunning);
    EXPECT_FALSE(Editor->GetReadOnly());
    EXPECT_TRUE(LastProcess().Closed);
    EXPECT_EQ(State(), "VBSファイル");
    EXPECT_TRUE(Form->Menus.tbRun->Enabled);
    EXPECT_TRUE(Form->Menus.tbPaste->Enabled);
}

TEST_F(ScriptRunnerTest, WhileAScriptRunsOnlyStopAndNoCloseAreOffered) {
    const std::vector<bool> idle = {true, false, true, true};
    EXPECT_EQ(ToolMenu(), idle);
    const auto shortCut = [this](const char* Text) {
        return Form->Menus.MainMenu.FindShortCut(TextToShortCut(Text));
    };
    Desk.ProcessWaits = 1;
    View.OnProcessMessages = [&] {
        EXPECT_EQ(ToolMenu(), (std::vector<bool>{false, true, false, false}));
        EXPECT_EQ(shortCut("F8"), nullptr);
        EXPECT_EQ(shortCut("F9"), nullptr);
        EXPECT_EQ(shortCut("Ctrl+Q"), Form->Menus.mnuStop);
        bool canClose = true;
        Form->FormCloseQuery(canClose);
        EXPECT_FALSE(canClose);
    };
    Form->mnuWSHRunClick();
    EXPECT_EQ(Desk.MessageTexts(), std::vector<std::string>{"\r\nスクリプト実行中です"});
    EXPECT_EQ(ToolMenu(), idle);
}

TEST_F(ScriptRunnerTest, StopAsksAndTerminatesOnlyOnYes) {
    const TMessage question{"\r\nスクリプトを強制終了させますか？", "警告", TMessageType::Warning,
                            TMessageButtons::YesNo};
    for (const TMessageAnswer answer : {TMessageAnswer::No, TMessageAnswer::Yes}) {
        SCOPED_TRACE(answer == TMessageAnswer::Yes ? "Yes" : "No");
        Desk.Messages.clear();
        Desk.Beeps = 0;
        View.MessagePumps = 0;
        bool runningAfterStop = false;
        View.OnProcessMessages = [&] {
            if (View.MessagePumps == 1) {
                Desk.Answers = {answer};
                Form->Menus.MainMenu.FindShortCut(TextToShortCut("Ctrl+Q"))->Click();
                runningAfterStop = !LastProcess().Ended && Form->ScriptRunning;
            }
        };
        Form->mnuWSHRunClick();
        EXPECT_EQ(Desk.Messages, std::vector<TMessage>{question});
        EXPECT_EQ(Desk.Beeps, 1);
        const bool yes = answer == TMessageAnswer::Yes;
        EXPECT_EQ(runningAfterStop, !yes);
        EXPECT_EQ(LastProcess().TerminatedWith, yes ? std::optional<unsigned>(0) : std::nullopt);
        EXPECT_EQ(View.MessagePumps, yes ? 1 : Desk.ProcessWaits);
        EXPECT_FALSE(Form->ScriptRunning);
    }
}

TEST_F(ScriptRunnerTest, TheQuitMessageEndsTheWaitAndLeavesTheScriptToItself) {
    View.QuitArrived = true;
    Form->mnuWSHRunClick();
    EXPECT_EQ(View.MessagePumps, 1);
    EXPECT_FALSE(LastProcess().Ended);
    EXPECT_FALSE(Form->ScriptRunning);
    EXPECT_FALSE(Editor->GetReadOnly());
}

TEST_F(ScriptRunnerTest, AHostThatCannotStartRaisesAndChangesNothing) {
    Desk.StartError = 2;
    try {
        Form->mnuWSHRunClick();
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "Exec Error 2");
    }
    EXPECT_FALSE(Form->ScriptRunning);
    EXPECT_FALSE(Editor->GetReadOnly());
    EXPECT_EQ(View.MessagePumps, 0);
}

TEST_F(ScriptRunnerTest, SaveAndRunSavesAndRunsAScriptButNotWhileOneRuns) {
    Editor->GetLines().SetTextStr("saved\r\n");
    View.OnProcessMessages = [&] {
        Editor->GetLines().SetTextStr("changed\r\n");
        Form->mnuWSHRun2Click();
    };
    Form->Menus.MainMenu.FindShortCut(TextToShortCut("F9"))->Click();
    EXPECT_EQ(Desk.WaitedProcesses.size(), 1U);
    EXPECT_EQ(Folder.ReadFile("files/my scripts/実行 テスト.vbs"), "saved\r\n");
}

TEST_F(MainFormTest, SaveAndRunOnATextSavesNothing) {
    Create({File("notes.txt", "old\r\n")});
    Editor->GetLines().SetTextStr("new\r\n");
    Form->Menus.MainMenu.FindShortCut(TextToShortCut("F9"))->Click();
    const TMessage notScript{"\r\nVBSファイルでありません", "エラー", TMessageType::Error,
                             TMessageButtons::Ok};
    EXPECT_EQ(Desk.Messages, std::vector<TMessage>{notScript});
    EXPECT_EQ(Folder.ReadFile("files/notes.txt"), "old\r\n");
    EXPECT_TRUE(Desk.WaitedProcesses.empty());
}

TEST_F(ScriptRunnerTest, TheVersionScriptIsWrittenAndStartedWithoutWaiting) {
    Form->mnuWSHinfoClick();
    EXPECT_EQ(Folder.ReadFile("Env/kst.vbs"),
              "strVer   = WScript.Name & \" \" & WScript.Version\r\n"
              "strBuild = WScript.BuildVersion\r\n"
              "strPath  = WScript.FullName\r\n"
              "Rt = vbCrLf & vbCrLf\r\n"
              "x = strVer & \" ( Build : \" & strBuild & \" )\" & Rt & strPath\r\n"
              "msgbox x\r\n");
    const std::string start = "wscript \"" + Folder.EnvPath("kst.vbs") + "\"";
    EXPECT_EQ(Desk.ProcessStarts, std::vector<FakeDesktop::TProcessStart>{{start}});
    EXPECT_TRUE(Desk.WaitedProcesses.empty());
    EXPECT_FALSE(Form->ScriptRunning);

    // Without the "Env" folder the error is shown and the host is started all the same.
    Folder.RemoveEnv();
    Form->mnuWSHinfoClick();
    ASSERT_EQ(Desk.Messages.size(), 1U);
    EXPECT_TRUE(Desk.Messages[0].Text.starts_with("バッチファイル作成中のエラー：\r\n"));
    EXPECT_EQ(Desk.Messages[0].Type, TMessageType::Error);
    EXPECT_EQ(Desk.ProcessStarts.size(), 2U);
}

} // namespace
} // namespace kst
