#include "core/errors.h"
#include "main_form_fixture.h"

namespace kst {
namespace {

using TMessage = FakeDesktop::TMessage;

TEST_F(MainFormTest, ANewFileTakesTheFirstFreeNumber) {
    Desk.AddEditorWindow("新規[1]");
    Desk.AddEditorWindow("新規[3]");
    Desk.AddWindow("新規[2] - Kestrane", false);
    Desk.AddWindow("新規[2] - Kestrane", true, true);
    Create();
    EXPECT_EQ(Form->Title(), "新規[2] - Kestrane");
    EXPECT_EQ(View.Titles, std::vector<std::string>{"新規[2] - Kestrane"});
    EXPECT_EQ(Form->CurrentFileName, "");
    EXPECT_EQ(Form->FileKind, fkOther);
    EXPECT_FALSE(Form->ScriptRunning);
    EXPECT_TRUE(Desk.ProcessStarts.empty());
}

TEST_F(MainFormTest, NewFileTitlesStopAtElevenAndNewRefusesTheTenth) {
    Create();
    for (int number = 1; number <= 8; ++number) {
        Desk.AddEditorWindow("新規[" + std::to_string(number) + "]");
    }
    EXPECT_EQ(Form->NextNewFileTitle(), "新規[9] - Kestrane");
    Form->mnuNewFileClick();
    EXPECT_EQ(Desk.ProcessStarts,
              (std::vector<FakeDesktop::TProcessStart>{{ProgramInQuotes(), TShowState::Show}}));

    Desk.AddEditorWindow("新規[9]");
    EXPECT_EQ(Form->NextNewFileTitle(), "新規[10] - Kestrane");
    Form->mnuNewFileClick();
    const TMessage tooMany{"\r\n新規ファイルが多すぎます。", "警告", TMessageType::Warning,
                           TMessageButtons::Ok};
    EXPECT_EQ(Desk.Messages, std::vector<TMessage>{tooMany});

    Desk.AddEditorWindow("新規[10]");
    EXPECT_EQ(Form->NextNewFileTitle(), "新規[11] - Kestrane");
    Form->mnuNewFileClick();
    Desk.AddEditorWindow("新規[11]");
    EXPECT_EQ(Form->NextNewFileTitle(), "新規[11] - Kestrane");
    EXPECT_EQ(Desk.Messages.size(), 2U);
    EXPECT_EQ(Desk.ProcessStarts.size(), 1U);
}

TEST_F(MainFormTest, OpeningAFileShownElsewhereOnlyBringsItForward) {
    const std::string file = File("a.vbs");
    Desk.AddEditorWindow("新規[1]");
    const TWindowHandle other = Desk.AddEditorWindow(file);
    Create();
    // The other window's title spells the path its own way; the system says it is one file.
    std::string upperCase = file;
    std::ranges::transform(upperCase, upperCase.begin(), [](char C) {
        return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C;
    });
    const std::string dotted = Folder.Path("files/./a.vbs");
    for (const std::string& spelling : {file, upperCase, dotted}) {
        Form->OpenFile(spelling);
        EXPECT_EQ(Desk.BroughtToFront.back(), other) << spelling;
    }
    EXPECT_EQ(Desk.BroughtToFront.size(), 3U);
    EXPECT_TRUE(Desk.ProcessStarts.empty());
    EXPECT_EQ(Form->CurrentFileName, "");
    EXPECT_FALSE(Desk.FileExists(Folder.EnvPath("FHist.dat"))) << "the history is not touched";
}

TEST_F(MainFormTest, AFileIsLoadedIntoAnUnchangedNewWindow) {
    Create();
    const std::string file = File("plain.TXT", "Dim a\r\n' note\r\n");
    Form->OpenFile(file);
    EXPECT_EQ(Form->CurrentFileName, file);
    EXPECT_EQ(Form->FileKind, fkText);
    EXPECT_EQ(Form->Title(), file + " - Kestrane");
    EXPECT_EQ(View.Titles.back(), file + " - Kestrane");
    EXPECT_EQ(Text(), "Dim a\r\n' note\r\n");
    EXPECT_FALSE(Editor->GetModified());
    EXPECT_EQ(Editor->GetView().GetCommenter(), "") << "plain text shows no comments";
    EXPECT_EQ(Editor->GetView().GetFountain().GetReserve().GetColor(), Editor->GetFont().Color);
    EXPECT_FALSE(Editor->GetView().GetFountain().GetReserve().GetStyle().Contains(fsBold));
    EXPECT_EQ(HistoryCaptions(), std::vector<std::string>{file});
}

TEST_F(MainFormTest, AScriptKeepsTheWindowsColouring) {
    Create();
    Form->OpenFile(File("run.vbs"));
    EXPECT_EQ(Form->FileKind, fkVbs);
    EXPECT_EQ(Editor->GetView().GetCommenter(), "'");
    EXPECT_EQ(Editor->GetView().GetFountain().GetReserve().GetColor(), clTeal);
    EXPECT_TRUE(Editor->GetView().GetFountain().GetReserve().GetStyle().Contains(fsBold));
}

TEST_F(MainFormTest, FurtherFilesGoToNewProcesses) {
    Create();
    const std::string first = File("first.vbs", "first\r\n");
    const std::string second = File("second.vbs");
    Form->OpenFile(first);
    Form->OpenFile(second);
    const std::string expected = ProgramInQuotes() + " \"" + second + "\"";
    EXPECT_EQ(Desk.ProcessStarts,
              (std::vector<FakeDesktop::TProcessStart>{{expected, TShowState::Show}}));
    EXPECT_EQ(Form->CurrentFileName, first);
    EXPECT_EQ(Text(), "first\r\n");
    EXPECT_EQ(HistoryCaptions(), (std::vector<std::string>{second, first}));
}

TEST_F(MainFormTest, ChangedNewTextStaysWhenAFileIsOpened) {
    Create();
    Editor->GetLines().SetTextStr("typed");
    Editor->SetModified(true);
    const std::string file = File("a.vbs");
    Form->OpenFile(file);
    EXPECT_EQ(Desk.ProcessStarts.size(), 1U);
    EXPECT_EQ(Text(), "typed");
    EXPECT_EQ(Form->CurrentFileName, "");
    EXPECT_EQ(Form->Title(), "新規[1] - Kestrane");
}

TEST_F(MainFormTest, AFileThatCannotBeReadLeavesTheWindowAsItWas) {
    Create();
    const std::string missing = Missing("gone.vbs");
    try {
        Form->OpenFile(missing);
        FAIL() << "no error raised";
    } catch (const EFileError& error) {
        EXPECT_NE(std::string(error.what()).find("gone.vbs"), std::string::npos);
    }
    EXPECT_EQ(Form->CurrentFileName, "");
    EXPECT_EQ(Form->FileKind, fkOther);
    EXPECT_EQ(Form->Title(), "新規[1] - Kestrane");
    EXPECT_TRUE(Desk.ProcessStarts.empty());

    const std::string file = File("next.txt", "ok");
    Form->OpenFile(file);
    EXPECT_EQ(Form->CurrentFileName, file) << "the window is still a new-file window";
    EXPECT_EQ(Text(), "ok");
}

TEST_F(MainFormTest, TheCommandLinePassesFurtherFilesOnToOneProcess) {
    const std::string a = File("a.vbs", "A");
    const std::string b = File("b b.vbs");
    const std::string c = File("c.txt");
    Create({a, b, c});
    EXPECT_EQ(Form->CurrentFileName, a);
    EXPECT_EQ(Text(), "A");
    const std::string expected = ProgramInQuotes() + " \"" + b + "\" \"" + c + "\" ";
    EXPECT_EQ(Desk.ProcessStarts,
              (std::vector<FakeDesktop::TProcessStart>{{expected, TShowState::Show}}));
    EXPECT_EQ(View.Terminated, 0);
}

TEST_F(MainFormTest, StartingWithAFileShownElsewhereEndsThisProcess) {
    const std::string a = File("a.vbs");
    const std::string b = File("b.vbs");
    const TWindowHandle other = Desk.AddEditorWindow(a);
    Create({a, b});
    EXPECT_EQ(Desk.BroughtToFront, std::vector<TWindowHandle>{other});
    EXPECT_EQ(View.Terminated, 1);
    EXPECT_EQ(Desk.ProcessStarts.size(), 1U) << "the other files are still passed on";
    EXPECT_FALSE(Desk.FileExists(Folder.EnvPath("FHist.dat")));
}

TEST_F(MainFormTest, AnUnreadableFirstFileStillPassesTheOthersOn) {
    const std::string b = File("b.vbs");
    EXPECT_THROW(Create({Missing("a.vbs"), b}), EFileError);
    EXPECT_EQ(Form->Title(), "新規[1] - Kestrane");
    EXPECT_EQ(Form->CurrentFileName, "");
    ASSERT_EQ(Desk.ProcessStarts.size(), 1U);
    EXPECT_EQ(Desk.ProcessStarts[0].CommandLine, ProgramInQuotes() + " \"" + b + "\" ");
}

TEST_F(MainFormTest, DroppedFilesOpenInTurn) {
    Desk.AddWindow("Other", true, false, "OtherProgram");
    const TWindowHandle self = Desk.AddWindow("新規[1] - Kestrane");
    Create();
    const std::string a = File("a.vbs", "A");
    const std::string b = File("b.vbs");
    Form->WMDropFiles({a, b});
    EXPECT_EQ(Desk.BroughtToFront, std::vector<TWindowHandle>{self});
    EXPECT_EQ(Form->CurrentFileName, a);
    ASSERT_EQ(Desk.ProcessStarts.size(), 1U);
    EXPECT_EQ(Desk.ProcessStarts[0].CommandLine, ProgramInQuotes() + " \"" + b + "\"");
}

TEST_F(MainFormTest, ADroppedFileThatCannotBeReadDoesNotStopTheOthers) {
    Create();
    const std::string b = File("b.vbs", "B");
    EXPECT_THROW(Form->WMDropFiles({Missing("a.vbs"), b}), EFileError);
    EXPECT_EQ(Form->CurrentFileName, b);
}

TEST_F(MainFormTest, StartReadsTheSettingsAndSizesTheWindow) {
    Create();
    EXPECT_EQ(View.Size, (TSize{600, 500}));
    EXPECT_EQ(Editor->GetFont().Height, -16);
    EXPECT_EQ(Editor->GetFont().Name, "ＭＳ ゴシック");
    EXPECT_EQ(Editor->GetCaret().GetTabSpaceCount(), 4);
    EXPECT_EQ(Editor->GetPopupMenu(), &Form->Menus.PopupMenu1);

    auto& ini = Desk.IniFiles[Folder.EnvPath("kst.ini")];
    ini["Option"]["gFontSize"] = "24";
    ini["Option"]["gTabSize"] = "2";
    ini["Wind"]["gWidth"] = "800";
    ini["Wind"]["gHeight"] = "640";
    Folder.WriteFile("Env/FindHist.dat", "w1\r\nw2\r\n");
    // The settings' size is at 96 dots per inch, the screen's is at 120.
    View.Ppi = 120;
    Create();
    EXPECT_EQ(View.Size, (TSize{1000, 800}));
    EXPECT_EQ(Editor->GetFont().Height, -40);
    EXPECT_EQ(Editor->GetCaret().GetTabSpaceCount(), 2);
    EXPECT_EQ(Form->FindHistory, (std::vector<std::string>{"w1", "w2"}));

    // On a screen of 144 dots per inch the font keeps its 24 points.
    View.Ppi = 144;
    Form->DpiChanged();
    EXPECT_EQ(Editor->GetFont().Height, -48);
}

// The word-wrap command wraps the editor's rows, shows its check mark and is kept for the next
// start.
TEST_F(MainFormTest, WordWrapIsAToggleKeptForTheNextStart) {
    Create();
    Form->mnuEditClick();
    TMenuItem& item = *Form->Menus.MenuItem(cmWordWrap);
    EXPECT_FALSE(Editor->GetWordWrap());
    item.Click();
    EXPECT_TRUE(Editor->GetWordWrap());
    EXPECT_TRUE(item.Checked);
    Form->FormDestroy();
    EXPECT_EQ(Desk.IniFiles[Folder.EnvPath("kst.ini")]["Option"]["gWordWrap"], "1");

    Create();
    EXPECT_TRUE(Editor->GetWordWrap());
    EXPECT_TRUE(Form->Menus.MenuItem(cmWordWrap)->Checked);
    Form->mnuEditClick();
    Form->Menus.MenuItem(cmWordWrap)->Click();
    EXPECT_FALSE(Editor->GetWordWrap());
    EXPECT_FALSE(Form->Menus.MenuItem(cmWordWrap)->Checked);
}

TEST_F(MainFormTest, DestroyKeepsTheSizeOfANormalWindowAndWritesTheFiles) {
    // A program unpacked somewhere new has no "Env" folder yet: start creates it.
    Folder.RemoveEnv();
    Create();
    Form->LauncherTable = {{"Tool", "C:\\t.exe"}};
    Form->FindHistory = {"word"};
    View.Size = {700, 450};
    View.State = TWindowState::Maximized;
    Form->FormDestroy();
    EXPECT_EQ(Form->Settings.gWidth, 600);
    auto& ini = Desk.IniFiles[Folder.EnvPath("kst.ini")];
    EXPECT_EQ(ini["Wind"]["gWidth"], "600");
    EXPECT_EQ(Folder.ReadFile("Env/Lc.dat"), "Tool\tC:\\t.exe\r\n");
    EXPECT_EQ(Folder.ReadFile("Env/FindHist.dat"), "word\r\n");

    View.State = TWindowState::Normal;
    Form->FormDestroy();
    EXPECT_EQ(ini["Wind"]["gWidth"], "700");
    EXPECT_EQ(ini["Wind"]["gHeight"], "450");

    // Kept at 96 dots per inch.
    View.Ppi = 144;
    View.Size = {1050, 675};
    Form->FormDestroy();
    EXPECT_EQ(ini["Wind"]["gWidth"], "700");
    EXPECT_EQ(ini["Wind"]["gHeight"], "450");
}

class CloseQueryTest : public MainFormTest {
protected:
    bool CloseQuery() {
        bool canClose = true;
        Form->FormCloseQuery(canClose);
        return canClose;
    }
    const TMessage Question{"このファイルの変更を保存しますか？", "確認",
                            TMessageType::Confirmation, TMessageButtons::YesNoCancel};
};

TEST_F(CloseQueryTest, ARunningScriptKeepsTheWindowOpen) {
    Create();
    Form->ScriptRunning = true;
    EXPECT_FALSE(CloseQuery());
    const TMessage running{"\r\nスクリプト実行中です", "警告", TMessageType::Warning,
                           TMessageButtons::Ok};
    EXPECT_EQ(Desk.Messages, std::vector<TMessage>{running});
    EXPECT_EQ(Desk.Beeps, 1);

    Editor->SetModified(true);
    Desk.Answers = {TMessageAnswer::Ok, TMessageAnswer::No};
    EXPECT_FALSE(CloseQuery()) << "no answer about the changes closes it under the script";
    EXPECT_EQ(Desk.Messages.size(), 2U);
}

TEST_F(CloseQueryTest, AnUnchangedWindowClosesWithoutAQuestion) {
    Create();
    EXPECT_TRUE(CloseQuery());
    EXPECT_TRUE(Desk.Messages.empty());
    EXPECT_EQ(Desk.Beeps, 0);
}

TEST_F(CloseQueryTest, TheAnswersAboutChanges) {
    const std::string file = File("a.vbs", "old\r\n");
    Create({file});
    Editor->GetLines().SetTextStr("new\r\n");
    Editor->SetModified(true);

    Desk.Answers = {TMessageAnswer::Cancel};
    EXPECT_FALSE(CloseQuery());
    EXPECT_EQ(Desk.Messages.back(), Question);
    EXPECT_EQ(Desk.Beeps, 1);
    Desk.Answers = {TMessageAnswer::No};
    EXPECT_TRUE(CloseQuery());
    EXPECT_EQ(Folder.ReadFile("files/a.vbs"), "old\r\n");

    Desk.Answers = {TMessageAnswer::Yes};
    EXPECT_TRUE(CloseQuery());
    EXPECT_EQ(Folder.ReadFile("files/a.vbs"), "new\r\n");
    EXPECT_FALSE(Editor->GetModified());
    EXPECT_TRUE(Desk.SaveDialogs.empty());
}

TEST_F(CloseQueryTest, YesForANewFileRunsSaveAs) {
    Create();
    Editor->GetLines().SetTextStr("text");
    Editor->SetModified(true);
    Desk.Answers = {TMessageAnswer::Yes};
    EXPECT_FALSE(CloseQuery()) << "Save As cancelled";
    EXPECT_TRUE(Editor->GetModified());

    const std::string target = Folder.Path("saved.vbs");
    Desk.Answers = {TMessageAnswer::Yes};
    Desk.SaveDialogResults = {target};
    EXPECT_TRUE(CloseQuery());
    EXPECT_EQ(Folder.ReadFile("saved.vbs"), "text");
    EXPECT_EQ(Form->Title(), target + " - Kestrane");
}

TEST_F(CloseQueryTest, AFailedSaveKeepsTheWindowOpenAndChanged) {
    const std::string file = Folder.WriteFile("doomed/a.vbs", "old");
    Create({file});
    Editor->GetLines().SetTextStr("new");
    Editor->SetModified(true);
    TempProgramFolder::Remove(Folder.Path("doomed"));
    Desk.Answers = {TMessageAnswer::Yes};
    bool canClose = true;
    EXPECT_THROW(Form->FormCloseQuery(canClose), EFileError);
    EXPECT_FALSE(canClose);
    EXPECT_TRUE(Editor->GetModified());
    EXPECT_EQ(Form->Title(), file + " - Kestrane");
}

class SaveTest : public MainFormTest {};

TEST_F(SaveTest, SaveWritesTheCurrentFileAndKeepsTheTitle) {
    const std::string file = File("a.txt", "old");
    Create({file});
    Editor->GetLines().SetTextStr("a\r\nb");
    Editor->SetModified(true);
    const std::size_t titles = View.Titles.size();
    Form->mnuSaveFileClick();
    EXPECT_EQ(Folder.ReadFile("files/a.txt"), "a\r\nb");
    EXPECT_FALSE(Editor->GetModified());
    EXPECT_EQ(View.Titles.size(), titles);
    EXPECT_TRUE(Desk.SaveDialogs.empty());
}

TEST_F(SaveTest, SaveAsSwitchesColouringByTheNewName) {
    Create();
    File("other.txt");
    Editor->GetLines().SetTextStr("x");
    Desk.SaveDialogResults = {Folder.Path("files/notes.txt")};
    Form->mnuSaveFileClick();
    EXPECT_EQ(Form->FileKind, fkText);
    EXPECT_EQ(Editor->GetView().GetCommenter(), "");
    EXPECT_EQ(Editor->GetView().GetFountain().GetReserve().GetColor(), Editor->GetFont().Color);

    Desk.SaveDialogResults = {Folder.Path("files/script.VBS")};
    EXPECT_TRUE(Form->SaveAsFile());
    EXPECT_EQ(Form->FileKind, fkVbs);
    EXPECT_EQ(Editor->GetView().GetCommenter(), "'");
    EXPECT_EQ(Editor->GetView().GetFountain().GetReserve().GetColor(), clGreen);
    EXPECT_TRUE(Editor->GetView().GetFountain().GetReserve().GetStyle().Contains(fsBold));
    EXPECT_EQ(Form->CurrentFileName, Folder.Path("files/script.VBS"));
    EXPECT_EQ(HistoryCaptions(), (std::vector<std::string>{Folder.Path("files/script.VBS"),
                                                           Folder.Path("files/notes.txt")}));

    ASSERT_EQ(Desk.SaveDialogs.size(), 2U);
    const TFileDialogOptions& options = Desk.SaveDialogs[1];
    EXPECT_EQ(options.Filter, "VBScriptファイル(*.vbs)|*.vbs|テキストファイル(*.txt)|*.txt|"
                              "全てのファイル(*.*)|*.*");
    EXPECT_EQ(options.DefaultExt, "vbs");
    EXPECT_EQ(options.InitialDir, Folder.Path(""));
    EXPECT_EQ(options.FileName, Folder.Path("files/notes.txt")) << "the name chosen last";
}

TEST_F(SaveTest, SaveAsOverAnExistingFileAsksFirst) {
    Create();
    const std::string existing = File("there.vbs", "keep");
    Editor->GetLines().SetTextStr("new");
    Editor->SetModified(true);
    Desk.SaveDialogResults = {existing};
    EXPECT_FALSE(Form->SaveAsFile());
    const TMessage question{existing + "\r\nは存在します。上書きしますか", "確認",
                            TMessageType::Confirmation, TMessageButtons::YesCancel};
    EXPECT_EQ(Desk.Messages, std::vector<TMessage>{question});
    EXPECT_EQ(Folder.ReadFile("files/there.vbs"), "keep");
    EXPECT_TRUE(Editor->GetModified());
    EXPECT_EQ(Form->CurrentFileName, "");
    EXPECT_EQ(Form->Title(), "新規[1] - Kestrane");

    Desk.SaveDialogResults = {existing};
    Desk.Answers = {TMessageAnswer::Yes};
    EXPECT_TRUE(Form->SaveAsFile());
    EXPECT_EQ(Folder.ReadFile("files/there.vbs"), "new");
}

TEST_F(SaveTest, AFailedSaveAsChangesNothing) {
    Create();
    Editor->GetLines().SetTextStr("new");
    Editor->SetModified(true);
    Desk.SaveDialogResults = {Missing("a.txt")};
    EXPECT_THROW(Form->SaveAsFile(), EFileError);
    EXPECT_TRUE(Editor->GetModified());
    EXPECT_EQ(Form->CurrentFileName, "");
    EXPECT_EQ(Form->FileKind, fkOther);
    EXPECT_EQ(Form->Title(), "新規[1] - Kestrane");
    EXPECT_EQ(Editor->GetView().GetCommenter(), "'");
    EXPECT_FALSE(Desk.FileExists(Folder.EnvPath("FHist.dat")));
}

TEST_F(SaveTest, TheOpenDialogStartsInTheBaseFolder) {
    Create();
    const std::string file = File("picked.vbs", "P");
    Desk.OpenDialogResults = {file};
    Form->mnuOpenFileClick();
    EXPECT_EQ(Form->CurrentFileName, file);
    Form->Settings.gBaseDir = "D:\\base";
    Form->mnuOpenFileClick();
    ASSERT_EQ(Desk.OpenDialogs.size(), 2U);
    EXPECT_EQ(Desk.OpenDialogs[0].InitialDir, Folder.Path(""));
    EXPECT_EQ(Desk.OpenDialogs[1].InitialDir, "D:\\base");
    EXPECT_EQ(Desk.OpenDialogs[1].FileName, "");
    EXPECT_EQ(Desk.OpenDialogs[1].FilterIndex, 1);
    EXPECT_EQ(Desk.OpenDialogs[1].Filter,
              "KST対応ファイル(*.vbs;*.txt)|*.vbs;*.txt|VBScriptファイル(*.vbs)|*.vbs|"
              "テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*");
}

} // namespace
} // namespace kst
