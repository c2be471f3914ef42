// The main window with files in Unicode: saving keeps the encoding, a lossy file stays read-only
// and unsaved, and the status bar shows the caret's place, the encoding and the read-only mark.
#include "app/option_dialogs.h"
#include "app/text_code_page.h"
#include "core/errors.h"
#include "document/wrap_option.h"
#include "main_form_fixture.h"
#include "support/recording_host.h"
#include "support/text_code_page.h"
#include "support/unicode_files.h"

#include <algorithm>

namespace kst {
namespace {

class FileFormatTest : public MainFormTest {
protected:
    std::string Part(TStatusBar::TPart Part) {
        Form->AppIdle();
        return Form->Menus.StatusBar1.Parts[Part];
    }
};

TEST_F(FileFormatTest, SaveAndSaveAsKeepTheFilesEncoding) {
    const std::string file = File("wide.vbs", Utf16LeFile(u"Dim あ\r\n"));
    Create({file});
    EXPECT_EQ(Text(), "Dim \x82\xA0\r\n");
    EXPECT_EQ(Part(TStatusBar::spEncoding), "UTF-16LE");
    EXPECT_EQ(Part(TStatusBar::spReadOnly), "");
    Editor->GetLines().Add("' \x82\xA2");
    Editor->SetModified(true);
    Form->mnuSaveFileClick();
    EXPECT_EQ(Folder.ReadFile("files/wide.vbs"), Utf16LeFile(u"Dim あ\r\n' い\r\n"));

    Desk.SaveDialogResults = {Folder.Path("files/copy.vbs")};
    EXPECT_TRUE(Form->SaveAsFile());
    EXPECT_EQ(Folder.ReadFile("files/copy.vbs"), Utf16LeFile(u"Dim あ\r\n' い\r\n"));
    EXPECT_EQ(Part(TStatusBar::spEncoding), "UTF-16LE");
}

// Big-endian UTF-16 is read and saved in its own order; without a mark it is shown but never
// saved.
TEST_F(FileFormatTest, Utf16OfEitherOrderKeepsItsOrderAndAMarklessOneIsReadOnly) {
    const std::string bigEndian = File("big.vbs", Utf16BeFile(u"Dim あ\r\n"));
    Create({bigEndian});
    EXPECT_EQ(Text(), "Dim \x82\xA0\r\n");
    EXPECT_EQ(Part(TStatusBar::spEncoding), "UTF-16BE");
    Editor->GetLines().Add("x");
    Editor->SetModified(true);
    Form->mnuSaveFileClick();
    EXPECT_EQ(Folder.ReadFile("files/big.vbs"), Utf16BeFile(u"Dim あ\r\nx\r\n"));

    const std::string unmarked = Utf16BeFile(u"Dim a\r\n").substr(2);
    Editor->SetModified(false);
    Create({File("unmarked.vbs", unmarked)});
    EXPECT_EQ(Text(), "Dim a\r\n");
    EXPECT_TRUE(Editor->GetReadOnly());
    EXPECT_EQ(Desk.MessageTexts().back(),
              "\r\nこのファイルは BOM のない UTF-16 のため、読み取り専用で開きました。");
    EXPECT_THROW(Form->mnuSaveFileClick(), EFileError);
    EXPECT_EQ(Folder.ReadFile("files/unmarked.vbs"), unmarked);
}

TEST_F(FileFormatTest, ALossyFileOpensReadOnlyAndIsNeverSaved) {
    const std::string original = Utf8File(u"MsgBox \"가\"\r\n");
    const std::string file = File("korean.vbs", original);
    Create({file});
    const FakeDesktop::TMessage warning{
        "\r\nこのファイルには Shift-JIS "
        "で表せない文字が含まれているため、読み取り専用で開きました。",
        "警告", TMessageType::Warning, TMessageButtons::Ok};
    EXPECT_EQ(Desk.Messages, std::vector<FakeDesktop::TMessage>{warning});
    EXPECT_EQ(Text(), "MsgBox \"?\"\r\n");
    EXPECT_TRUE(Editor->GetReadOnly());
    EXPECT_EQ(Part(TStatusBar::spEncoding), "UTF-8");
    EXPECT_EQ(Part(TStatusBar::spReadOnly), "読み取り専用");

    EXPECT_THROW(Form->SaveAsFile(), EFileError);
    EXPECT_TRUE(Desk.SaveDialogs.empty()) << "refused before the dialog";
    // Another program may clear the read-only state; the text is still never saved.
    Editor->SetReadOnly(false);
    Editor->GetLines().Add("x");
    Editor->SetModified(true);
    EXPECT_THROW(Form->mnuSaveFileClick(), EFileError);
    EXPECT_EQ(Folder.ReadFile("files/korean.vbs"), original);

    // A script run ends with the text read-only again.
    Editor->SetModified(false);
    std::vector<std::string> marksWhileRunning;
    View.OnProcessMessages = [&] {
        marksWhileRunning.push_back(Form->Menus.StatusBar1.Parts[TStatusBar::spReadOnly]);
    };
    Form->mnuWSHRunClick();
    EXPECT_GE(marksWhileRunning.size(), static_cast<std::size_t>(Desk.ProcessWaits));
    EXPECT_EQ(marksWhileRunning,
              std::vector<std::string>(marksWhileRunning.size(), "読み取り専用"));
    EXPECT_TRUE(Editor->GetReadOnly());
}

TEST_F(FileFormatTest, TheStatusBarShowsTheCaretsLineAndColumnAsDrawn) {
    RecordingHost host({400, 200});
    host.HasFocus = true;
    Editor->SetHost(&host);
    Create();
    EXPECT_EQ(Part(TStatusBar::spEncoding), "SJIS");
    EXPECT_EQ(Part(TStatusBar::spCaret), "1 行, 1 桁");
    Editor->GetWrapOption().SetWrapByte(20);
    Editor->SetWordWrap(true);
    Editor->GetLines().SetTextStr("\tx\r\n\x82\xA0\x82\xA2y\r\n" + std::string(50, 'w'));
    const auto caretText = [&](int Row, int Col) {
        Editor->SetRowCol(Row, Col);
        Desk.Now += 1000;
        Form->AppIdle();
        return Form->Menus.StatusBar1.Parts[TStatusBar::spCaret];
    };
    EXPECT_EQ(caretText(0, 4), "1 行, 5 桁") << "after a tab";
    EXPECT_EQ(caretText(1, 4), "2 行, 5 桁") << "after two double-byte characters";
    EXPECT_EQ(caretText(3, 7), "3 行, 8 桁") << "on the second row of a wrapped line";
    // Shown when the program is next idle, after any number of moves, and held back for a while
    // after it was shown: the message loop is woken when it may be shown.
    const int refreshes = View.StatusBarRefreshes;
    Editor->SetRowCol(4, 2);
    Editor->SetRowCol(4, 3);
    EXPECT_EQ(View.StatusBarRefreshes, refreshes);
    Desk.Now += 1000;
    Form->AppIdle();
    EXPECT_EQ(View.StatusBarRefreshes, refreshes + 1);
    Editor->SetRowCol(4, 4);
    Desk.Now += 30;
    Form->AppIdle();
    EXPECT_EQ(View.StatusBarRefreshes, refreshes + 1);
    EXPECT_LE(Form->IdleWakeDelay().value_or(1000), 70);
    Desk.Now += 70;
    Form->AppIdle();
    EXPECT_EQ(Part(TStatusBar::spCaret), "3 行, 5 桁");
    Editor->SetHost(nullptr);
}

// A code page chosen in the options reads an open file again in it, after a Yes: the "é" that
// Japanese text lacks comes back, writable; after a No the text stays as it is. A system of code
// page 1252 takes it without any option.
TEST_F(FileFormatTest, AnotherCodePageReadsTheFileAgainInItAfterAYes) {
    const ScopedTextCodePage restored(TCodePage::Japanese());
    const struct {
        TMessageAnswer Answer;
        int CodePage;
        std::string Text;
    } tests[] = {
        {TMessageAnswer::Yes, 1252, "s = \"caf\xE9\"\r\n"},
        {TMessageAnswer::No, 932, "s = \"caf?\"\r\n"},
    };
    for (const auto& test : tests) {
        const std::string file = File("cafe.vbs", Utf8File(u"s = \"café\"\r\n"));
        Create({file});
        Desk.Answers = {test.Answer};
        View.OnOptionsDialog = [](TfrmSetting& Dialog) {
            Dialog.SetCodePageIndex(static_cast<int>(
                std::ranges::find(kCodePageChoices, 1252, &TCodePageChoice::Number) -
                kCodePageChoices.begin()));
            Dialog.Accept();
        };
        Form->mnuOptionClick();
        EXPECT_EQ(Desk.Messages.back().Text,
                  "文字コードを切り替えて、ファイルを読み込み直しますか？");
        EXPECT_EQ(TextCodePage().Number(), test.CodePage);
        EXPECT_EQ(Text(), test.Text);
        EXPECT_EQ(Editor->GetReadOnly(), test.CodePage == 932);
        EXPECT_EQ(Desk.IniFiles[Folder.EnvPath("kst.ini")]["Option"]["gCodePage"], "1252");
        UseTextCodePage(TCodePage::Japanese());
        Desk.IniFiles.clear();
    }
    Desk.SystemAnsiCodePage = 1252;
    Create({File("cafe.vbs", Utf8File(u"é"))});
    EXPECT_EQ(Text(), "\xE9");
}

} // namespace
} // namespace kst
