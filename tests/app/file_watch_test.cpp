// Another program's changes to the open file: the questions on activation and before a save, and
// what each answer does to the text and the file.
#include "main_form_fixture.h"
#include "support/unicode_files.h"

#include <chrono>
#include <filesystem>

namespace kst {
namespace {

using TMessage = FakeDesktop::TMessage;

enum class TOutside : std::uint8_t { Untouched, Rewritten, Deleted };

class FileWatchTest : public MainFormTest {
protected:
    // Opens "a.vbs" holding two lines (or Bytes); Edited types a line into it.
    void Open(bool Edited, const std::string& Bytes = "one\r\ntwo\r\n") {
        FilePath = File("a.vbs", Bytes);
        Editor->SetModified(false);
        Create({FilePath});
        if (Edited) {
            Editor->GetLines().Add("mine");
            Editor->SetModified(true);
        }
    }
    // Another program rewrites the file (with a new write time, whatever the clock's step) or
    // deletes it.
    void Outside(TOutside What, const std::string& Bytes = "new\r\n") {
        if (What == TOutside::Rewritten) {
            const auto before = std::filesystem::last_write_time(FilePath);
            Folder.WriteFile("files/a.vbs", Bytes);
            std::filesystem::last_write_time(FilePath, before + std::chrono::seconds(2));
        } else if (What == TOutside::Deleted) {
            TempProgramFolder::Remove(FilePath);
        }
    }
    void Activate() {
        Form->FormActivate();
        Form->AppIdle();
    }
    std::string OnDisk() const { return Folder.ReadFile("files/a.vbs"); }

    std::string FilePath;
};

const TMessage kChanged{"ファイルが他のプログラムで変更されました。読み込み直しますか？", "確認",
                        TMessageType::Confirmation, TMessageButtons::YesNo};
const TMessage kChangedUnderEdits{
    "ファイルが他のプログラムで変更されました。編集中の内容を捨てて読み込み直しますか？", "確認",
    TMessageType::Confirmation, TMessageButtons::YesNoNoDefault};
const TMessage kDeleted{"ファイルが他のプログラムで削除されました。", "警告", TMessageType::Warning,
                        TMessageButtons::Ok};
const TMessage kOverwrite{"ファイルが他のプログラムで変更されています。上書きしますか？", "確認",
                          TMessageType::Confirmation, TMessageButtons::YesNoNoDefault};
const TMessage kOverwriteUnknown{
    "ファイルが他のプログラムで変更されたかどうかを確かめられません。上書きしますか？", "確認",
    TMessageType::Confirmation, TMessageButtons::YesNoNoDefault};

TEST_F(FileWatchTest, ActivationAsksOnceForEachChangeAndAnswersAsTheTableSays) {
    struct TCase {
        bool Edited;
        TOutside What;
        TMessageAnswer Answer;
        std::vector<TMessage> Asked;
        std::string TextAfter;
        bool ModifiedAfter;
    };
    const std::string mine = "one\r\ntwo\r\nmine\r\n";
    const std::vector<TCase> cases = {
        {false, TOutside::Untouched, TMessageAnswer::Yes, {}, "one\r\ntwo\r\n", false},
        {true, TOutside::Untouched, TMessageAnswer::Yes, {}, mine, true},
        {false, TOutside::Rewritten, TMessageAnswer::Yes, {kChanged}, "new\r\n", false},
        {false, TOutside::Rewritten, TMessageAnswer::No, {kChanged}, "one\r\ntwo\r\n", false},
        {true, TOutside::Rewritten, TMessageAnswer::Yes, {kChangedUnderEdits}, "new\r\n", false},
        {true, TOutside::Rewritten, TMessageAnswer::No, {kChangedUnderEdits}, mine, true},
        {false, TOutside::Deleted, TMessageAnswer::Ok, {kDeleted}, "one\r\ntwo\r\n", true},
        {true, TOutside::Deleted, TMessageAnswer::Ok, {kDeleted}, mine, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "edited " << c.Edited << ", outside " << static_cast<int>(c.What));
        Desk.Messages.clear();
        Open(c.Edited);
        Activate();
        EXPECT_TRUE(Desk.Messages.empty()) << "nothing changed yet";
        Outside(c.What);
        Desk.Answers = {c.Answer};
        Activate();
        Activate();
        EXPECT_EQ(Desk.Messages, c.Asked) << "asked once";
        EXPECT_EQ(Text(), c.TextAfter);
        EXPECT_EQ(Editor->GetModified(), c.ModifiedAfter);
        if (c.What == TOutside::Rewritten) {
            Outside(TOutside::Rewritten, "newer\r\n");
            Desk.Answers = {TMessageAnswer::No};
            Activate();
            EXPECT_EQ(Desk.Messages.size(), 2u) << "asked again after a further change";
        }
    }
}

// A reload keeps the caret's line, or puts the caret on the last line of a shorter file.
TEST_F(FileWatchTest, AReloadKeepsTheCaretsLineAndIsOneUndoStep) {
    struct TCase {
        std::string Theirs;
        int RowAfter;
    };
    const TCase cases[] = {{"first\r\nsecond\r\nthird\r\n", 1}, {"only", 0}};
    for (const TCase& c : cases) {
        Open(false);
        Editor->SetRowCol(1, 2);
        Outside(TOutside::Rewritten, c.Theirs);
        Desk.Answers = {TMessageAnswer::Yes};
        Activate();
        EXPECT_EQ(Text(), c.Theirs);
        EXPECT_EQ(Editor->GetRow(), c.RowAfter) << c.Theirs;
        Editor->Undo();
        EXPECT_EQ(Text(), "one\r\ntwo\r\n");
    }
}

// A text that CP932 cannot hold is read-only; Undo and Redo across a reload must neither bring it
// into a writable window nor lose the lines typed before a mistaken Yes.
TEST_F(FileWatchTest, UndoAndRedoOfAReloadNeverMakeALossyTextSaveable) {
    const std::string lossy = Utf8File(u"MsgBox \"가\"\r\n");
    struct TCase {
        std::string Ours;
        bool Edited;
        std::string Theirs;
        bool ReadOnlyAfterReload;
        std::string TextAfterUndoAndRedo;
    };
    const TCase cases[] = {
        {"one\r\ntwo\r\n", true, lossy, true, "one\r\ntwo\r\nmine\r\n"},
        {lossy, false, "new\r\n", false, "new\r\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Ours);
        Open(c.Edited, c.Ours);
        Outside(TOutside::Rewritten, c.Theirs);
        Desk.Answers = {TMessageAnswer::Yes};
        Activate();
        EXPECT_EQ(Editor->GetReadOnly(), c.ReadOnlyAfterReload);
        Form->mnuUndoClick();
        EXPECT_EQ(Text(), c.TextAfterUndoAndRedo) << "after Undo";
        Form->mnuRedoClick();
        EXPECT_EQ(Text(), c.TextAfterUndoAndRedo) << "after Redo";
        EXPECT_FALSE(Editor->GetReadOnly());
        Form->mnuSaveFileClick();
        EXPECT_EQ(OnDisk(), c.TextAfterUndoAndRedo);
    }
}

TEST_F(FileWatchTest, NoQuestionWhileAScriptRunsItComesAfter) {
    Open(false);
    Outside(TOutside::Rewritten);
    Form->ScriptRunning = true;
    Activate();
    EXPECT_TRUE(Desk.Messages.empty());
    Form->ScriptRunning = false;
    Desk.Answers = {TMessageAnswer::No};
    Form->AppIdle();
    EXPECT_EQ(Desk.Messages, std::vector<TMessage>{kChanged});
}

TEST_F(FileWatchTest, SavingOverAnotherProgramsChangeAsksAndNoWritesNothing) {
    Open(true);
    Outside(TOutside::Rewritten, "theirs\r\n");
    Desk.Answers = {TMessageAnswer::No};
    Form->mnuSaveFileClick();
    EXPECT_EQ(Desk.Messages, std::vector<TMessage>{kOverwrite});
    EXPECT_EQ(OnDisk(), "theirs\r\n");
    EXPECT_TRUE(Editor->GetModified());

    // Closing with "save" answered Yes, then "overwrite" answered No, keeps the window.
    Desk.Answers = {TMessageAnswer::Yes, TMessageAnswer::No};
    bool canClose = true;
    Form->FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
    EXPECT_EQ(OnDisk(), "theirs\r\n");

    Desk.Answers = {TMessageAnswer::Yes};
    Form->mnuSaveFileClick();
    EXPECT_EQ(OnDisk(), "one\r\ntwo\r\nmine\r\n");
    // Once saved, the file is ours again: the next save asks nothing, and neither does a file
    // that was deleted meanwhile.
    Desk.Messages.clear();
    Form->mnuSaveFileClick();
    Outside(TOutside::Deleted);
    Form->mnuSaveFileClick();
    EXPECT_TRUE(Desk.Messages.empty());
    EXPECT_EQ(OnDisk(), "one\r\ntwo\r\nmine\r\n");
}

// A stamp the system did not give in time leaves the file watched: the next save asks, and the
// next look takes the stamp, after which changes are told again.
TEST_F(FileWatchTest, AStampReadTooSlowlyIsLookedForAgainAndASaveMeanwhileAsks) {
    enum class TSlowAfter : std::uint8_t { Load, Save, Reload };
    for (const TSlowAfter slow : {TSlowAfter::Load, TSlowAfter::Save, TSlowAfter::Reload}) {
        SCOPED_TRACE(static_cast<int>(slow));
        Desk.StampAnswered = {slow != TSlowAfter::Load};
        Open(true);
        if (slow == TSlowAfter::Save) {
            Desk.StampAnswered = {true, false};
            Form->mnuSaveFileClick();
        } else if (slow == TSlowAfter::Reload) {
            Outside(TOutside::Rewritten, "reloaded\r\n");
            Desk.StampAnswered = {true, false};
            Desk.Answers = {TMessageAnswer::Yes};
            Activate();
            Editor->GetLines().Add("mine");
            Editor->SetModified(true);
        }
        Desk.Messages.clear();
        Outside(TOutside::Rewritten, "theirs\r\n");
        Desk.Answers = {TMessageAnswer::No};
        Form->mnuSaveFileClick();
        EXPECT_EQ(Desk.Messages, std::vector<TMessage>{kOverwriteUnknown});
        EXPECT_EQ(OnDisk(), "theirs\r\n");

        Activate();
        Outside(TOutside::Rewritten, "theirs again\r\n");
        Desk.Answers = {TMessageAnswer::No};
        Form->mnuSaveFileClick();
        EXPECT_EQ(Desk.Messages, (std::vector<TMessage>{kOverwriteUnknown, kOverwrite}));
        EXPECT_EQ(OnDisk(), "theirs again\r\n");
    }
}

// Save As onto the open file itself is a save over it: another program's change is asked about.
TEST_F(FileWatchTest, SaveAsOntoTheOpenFileAsksAsASaveDoes) {
    struct TCase {
        TOutside What;
        TMessageAnswer Answer;
        std::string Question;
        std::string OnDiskAfter;
    };
    const TCase cases[] = {
        {TOutside::Rewritten, TMessageAnswer::No, kOverwrite.Text, "new\r\n"},
        {TOutside::Untouched, TMessageAnswer::Yes, "\r\nは存在します。上書きしますか",
         "one\r\ntwo\r\nmine\r\n"},
    };
    for (const TCase& c : cases) {
        Open(true);
        Outside(c.What);
        Desk.Messages.clear();
        Desk.Answers = {c.Answer};
        Desk.SaveDialogResults = {FilePath};
        Form->SaveAsFile();
        ASSERT_EQ(Desk.Messages.size(), 1u);
        EXPECT_TRUE(Desk.Messages[0].Text.ends_with(c.Question)) << Desk.Messages[0].Text;
        EXPECT_EQ(OnDisk(), c.OnDiskAfter);
    }
}

} // namespace
} // namespace kst
