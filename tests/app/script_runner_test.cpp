#include "app/console_output.h"
#include "core/errors.h"
#include "core/messages.h"
#include "main_form_fixture.h"

#include <algorithm>

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
    // Run, Run at a console, Stop, Save and run, Options after the Tool menu's enabling.
    std::vector<bool> ToolMenu() {
        Form->mnuToolClick();
        const TMainMenus& menus = Form->Menus;
        return {menus.MenuItem(cmRun)->Enabled, menus.MenuItem(cmConsoleRun)->Enabled,
                menus.MenuItem(cmStop)->Enabled, menus.MenuItem(cmSaveRun)->Enabled,
                menus.MenuItem(cmOptions)->Enabled};
    }

    const std::string Script = File("my scripts/実行 テスト.vbs", "MsgBox 1\r\n");
};

TEST_F(ScriptRunnerTest, RunStartsTheHostOnTheQuotedPathAndRestoresTheWindowAtTheEnd) {
    Clip.Content = "x";
    Form->ClipboardChanged();
    EXPECT_EQ(State(), "VBSファイル");
    ASSERT_TRUE(Form->Menus.Button(cmPaste)->Enabled);
    struct TSeen {
        bool Running, ReadOnly, RunButton, PasteButton;
        std::string Status;
        bool Shown;
        bool operator==(const TSeen&) const = default;
    };
    std::vector<TSeen> seen;
    View.OnProcessMessages = [&] {
        const TMainMenus& menus = Form->Menus;
        seen.push_back({Form->ScriptRunning, Editor->GetReadOnly(), menus.Button(cmRun)->Enabled,
                        menus.Button(cmPaste)->Enabled, menus.ToolBar1.StatusText,
                        View.ToolBarRefreshes > 0});
    };
    Form->mnuWSHRunClick();

    ASSERT_EQ(Desk.WaitedProcesses.size(), 1U);
    EXPECT_EQ(LastProcess().CommandLine, "wscript.exe \"" + Script + "\"");
    const std::optional<int> inputIdleBound = LastProcess().InputIdleBound;
    EXPECT_TRUE(inputIdleBound && *inputIdleBound > 0 && *inputIdleBound <= 10000)
        << "the first wait is made and bounded (INFINITE reads as -1)";
    const TSeen running{true, true, false, false, "スクリプト実行中", true};
    EXPECT_GE(seen.size(), static_cast<std::size_t>(Desk.ProcessWaits));
    EXPECT_EQ(seen, std::vector<TSeen>(seen.size(), running));
    EXPECT_FALSE(Form->ScriptRunning);
    EXPECT_FALSE(Editor->GetReadOnly());
    EXPECT_TRUE(LastProcess().Closed);
    EXPECT_EQ(State(), "VBSファイル");
    EXPECT_TRUE(Form->Menus.Button(cmRun)->Enabled);
    EXPECT_TRUE(Form->Menus.Button(cmPaste)->Enabled);
}

// A search started while the script waits lists every row before the script ends.
TEST_F(ScriptRunnerTest, TheIdleWorkGoesOnWhileAScriptRuns) {
    std::string text;
    for (int line = 0; line < 100'000; ++line) {
        text += "MsgBox " + std::to_string(line) + "\r\n";
    }
    Editor->GetLines().SetTextStr(text);
    Desk.ProcessWaits = 1;
    View.OnSearchDialog = [](TfrmSearch& Dialog) {
        Dialog.SetWord("MsgBox");
        return true;
    };
    View.OnProcessMessages = [&] {
        if (View.MessagePumps == 1) {
            Form->mnuFindClick();
        }
    };
    Form->mnuWSHRunClick();
    ASSERT_FALSE(View.Results.empty());
    EXPECT_EQ(View.Results.back(), "> [100000]行ヒット");
}

TEST_F(ScriptRunnerTest, WhileAScriptRunsOnlyStopAndNoCloseAreOffered) {
    const std::vector<bool> idle = {true, true, false, true, true};
    EXPECT_EQ(ToolMenu(), idle);
    const auto shortCut = [this](const char* Text) {
        return Form->Menus.MainMenu.FindShortCut(TextToShortCut(Text));
    };
    Desk.ProcessWaits = 1;
    View.OnProcessMessages = [&] {
        if (View.MessagePumps > 1) {
            return;
        }
        EXPECT_EQ(ToolMenu(), (std::vector<bool>{false, false, true, false, false}));
        EXPECT_EQ(shortCut("F8"), nullptr);
        EXPECT_EQ(shortCut("Shift+F8"), nullptr);
        EXPECT_EQ(shortCut("F9"), nullptr);
        EXPECT_EQ(shortCut("Ctrl+Q"), Form->Menus.MenuItem(cmStop));
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
        if (yes) {
            EXPECT_EQ(View.MessagePumps, 1);
        } else {
            EXPECT_GE(View.MessagePumps, Desk.ProcessWaits);
        }
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

class ConsoleRunTest : public ScriptRunnerTest {
protected:
    // The next console program writes these chunks and exits with ExitCode, or runs until
    // terminated.
    void WillWrite(std::deque<std::string> Chunks, std::uint32_t ExitCode = 0,
                   bool RunsUntilTerminated = false) {
        FakeDesktop::TConsoleRun& program = Desk.ConsolePrograms.emplace_back();
        program.Output = std::move(Chunks);
        program.ExitCode = ExitCode;
        program.RunsUntilTerminated = RunsUntilTerminated;
    }
    // Shift+F8, then the idle steps until the list is complete.
    void RunAtConsole() {
        Form->Menus.MainMenu.FindShortCut(TextToShortCut("Shift+F8"))->Click();
        while (Form->AppIdle()) {
        }
    }
    FakeDesktop::TConsoleRun& LastRun() { return Desk.ConsoleRuns.back(); }
};

// The list is cleared, takes the lines while the script runs, and ends with the exit code.
TEST_F(ConsoleRunTest, TheOutputStreamsIntoTheListAndTheWindowIsRestoredAtTheEnd) {
    View.Results = {"an old search"};
    WillWrite({"first\r", "\n日本語\tline\r\nbad \xFF", " byte\r\nno line break"}, 3);
    std::vector<std::vector<std::string>> seen;
    View.OnProcessMessages = [&] {
        EXPECT_TRUE(Form->ScriptRunning);
        EXPECT_TRUE(Editor->GetReadOnly());
        EXPECT_EQ(Form->Menus.ToolBar1.StatusText, "スクリプト実行中");
        if (seen.empty() || seen.back() != View.Results) {
            seen.push_back(View.Results);
        }
    };
    RunAtConsole();

    EXPECT_EQ(LastRun().CommandLine, "cscript.exe //nologo \"" + Script + "\"");
    EXPECT_TRUE(View.ResultsShown);
    const std::vector<std::string> lines = {"first", "日本語  line", "bad \\xFF byte",
                                            "no line break"};
    EXPECT_EQ(seen, (std::vector<std::vector<std::string>>{
                        {}, {lines[0]}, {lines[0], lines[1]}, {lines[0], lines[1], lines[2]}}));
    std::vector<std::string> all = lines;
    all.push_back("> 終了コード 3");
    EXPECT_EQ(View.Results, all);
    EXPECT_FALSE(Form->ScriptRunning);
    EXPECT_FALSE(Editor->GetReadOnly());
    EXPECT_TRUE(LastRun().Released);
    EXPECT_EQ(State(), "VBSファイル");
}

// Stop (after its question) and the quit message end the script with all it started.
TEST_F(ConsoleRunTest, StopAndTheWindowsEndEndTheWholeRun) {
    for (const bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit" : "stop");
        WillWrite({"tick\r\n"}, 0, true);
        View.QuitArrived = false;
        View.MessagePumps = 0;
        View.OnProcessMessages = [&] {
            if (View.MessagePumps == 3) {
                View.QuitArrived = quit;
                Desk.Answers = {TMessageAnswer::Yes};
                if (!quit) {
                    Form->Menus.MainMenu.FindShortCut(TextToShortCut("Ctrl+Q"))->Click();
                }
            }
        };
        RunAtConsole();
        EXPECT_EQ(LastRun().TerminatedWith, std::optional<std::uint32_t>(1));
        EXPECT_EQ(View.Results.back(), quit ? "tick" : "> 終了コード 1");
        EXPECT_FALSE(Form->ScriptRunning);
    }
    EXPECT_EQ(Desk.MessageTexts(),
              std::vector<std::string>{"\r\nスクリプトを強制終了させますか？"});
}

// An error line naming the edited file, in any letter case, jumps to its line and character.
TEST_F(ConsoleRunTest, AnErrorLineJumpsToItsPlaceAndOtherLinesMoveNothing) {
    Editor->GetLines().SetTextStr("first\r\nx = \x91\x53\x8A\x70 + y\r\n"); // "全角"
    Editor->SetModified(false);
    std::string upper = Script;
    std::ranges::transform(upper, upper.begin(), [](char C) {
        return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C;
    });
    WillWrite({upper + "(2, 7) Microsoft VBScript runtime error: Type mismatch\r\n" +
               "C:\\other.vbs(1, 1) elsewhere\r\n"});
    RunAtConsole();
    ASSERT_EQ(View.Results.size(), 3U);
    Editor->SetRowCol(0, 2);
    View.SelectedIndex = 1;
    Form->ListBox1DblClick();
    EXPECT_EQ((std::pair{Editor->GetRow(), Editor->GetCol()}), (std::pair{0, 2}));
    View.SelectedIndex = 0;
    Form->ListBox1KeyUp(VK_RETURN);
    EXPECT_EQ((std::pair{Editor->GetRow(), Editor->GetCol()}), (std::pair{1, 8}));
}

// A program that writes faster than the list takes its lines is not read while many wait; a
// search replaces its output, and what it writes afterwards is not shown.
TEST_F(ConsoleRunTest, ReadingWaitsForTheListAndASearchReplacesTheOutput) {
    std::string many;
    for (int line = 0; line < 25'000; ++line) {
        many += "line\r\n";
    }
    WillWrite({many, "more\r\n", "after the search\r\n"});
    std::size_t linesRead = 0;
    std::size_t mostWaiting = 0;
    bool searched = false;
    Desk.ConsolePrograms.back().OnRead = [&] {
        if (!searched) {
            mostWaiting = std::max(mostWaiting, linesRead - View.Results.size());
        }
        linesRead += static_cast<std::size_t>(std::ranges::count(LastRun().Arrived, '\n'));
    };
    View.OnProcessMessages = [&] {
        if (!searched && LastRun().Output.size() == 1 && View.Results.back() == "more") {
            searched = true;
            Editor->SetSelStart(0);
            Editor->SetSelLength(2);
            Form->mnuFindNextClick();
        }
    };
    RunAtConsole();
    EXPECT_LE(mostWaiting, kMaxConsoleLinesWaiting);
    EXPECT_EQ(View.Results.back(), "> [1]行ヒット");
}

// A program that writes as fast as it is read, more lines at a time than a step shows: it is read
// again only once few lines wait.
TEST_F(ConsoleRunTest, AFastWriterIsReadOnlyWhileFewLinesWait) {
    constexpr std::size_t kChunkLines = 100'000;
    std::string chunk;
    for (std::size_t line = 0; line < kChunkLines; ++line) {
        chunk += "x\n";
    }
    WillWrite({chunk, chunk, chunk});
    FakeDesktop::TConsoleRun& program = Desk.ConsolePrograms.back();
    program.WritesWhileRead = true;
    std::size_t mostWaiting = 0;
    program.OnRead = [&] {
        const FakeDesktop::TConsoleRun& run = LastRun();
        const std::size_t handed = 3 - run.Output.size() - (run.Arrived.empty() ? 0 : 1);
        mostWaiting = std::max(mostWaiting, handed * kChunkLines - View.Results.size());
    };
    RunAtConsole();
    EXPECT_LE(mostWaiting, kMaxConsoleLinesWaiting);
    EXPECT_EQ(View.Results.size(), 3 * kChunkLines + 1);
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
