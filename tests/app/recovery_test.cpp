// Recovery copies: written a pause after typing, removed when the changes are saved or given up,
// and offered to the next process on the same file (or the next new window) once their own
// process is gone.
#include "main_form_fixture.h"
#include "support/temp_folder.h"
#include "support/unicode_files.h"

#include <chrono>
#include <filesystem>
#include <fstream>

namespace kst {
namespace {

const FakeDesktop::TMessage kRecover{"前回保存されなかった変更があります。復元しますか？", "確認",
                                     TMessageType::Confirmation, TMessageButtons::YesNo};
const FakeDesktop::TMessage kRecoverChanged{
    "前回保存されなかった変更があります。ファイルはその後、他のプログラムで変更されています。"
    "復元しますか？",
    "確認", TMessageType::Confirmation, TMessageButtons::YesNo};
const FakeDesktop::TMessage kOverwrite{
    "ファイルが他のプログラムで変更されています。上書きしますか？", "確認",
    TMessageType::Confirmation, TMessageButtons::YesNoNoDefault};

class RecoveryTest : public MainFormTest {
protected:
    // A process with this id (and start time id * 1000) starts with these parameters.
    void StartProcess(std::uint32_t Id, std::vector<std::string> Parameters,
                      std::deque<TMessageAnswer> Answers = {}) {
        Desk.Own = {Id, Id * 1000};
        Desk.Messages.clear();
        Desk.Answers = std::move(Answers);
        Editor->SetModified(false);
        Create(std::move(Parameters));
    }
    // Types a line, and lets the pause after it pass.
    void TypeAndPause(const std::string& Line) {
        Editor->GetLines().Add(Line);
        Editor->SetModified(true);
        Form->AppIdle();
        Desk.Now += 2000;
        Form->AppIdle();
        Form->FlushRecoveryCopy();
    }
    // The copies' names and contents, once the copy's writing is done.
    std::map<std::string, std::string> Copies() {
        Form->FlushRecoveryCopy();
        std::map<std::string, std::string> copies;
        const std::filesystem::path folder = Folder.EnvPath("recover");
        if (std::filesystem::exists(folder)) {
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                copies[entry.path().filename().string()] =
                    Folder.ReadFile("Env/recover/" + entry.path().filename().string());
            }
        }
        return copies;
    }
    // The text after a copy's header.
    static std::string TextOf(const std::string& Copy) {
        return Copy.substr(Copy.find("\n\n") + 2);
    }
};

TEST_F(RecoveryTest, TheCopyFollowsPausesAndGoesWhenTheChangesAreSavedOrGivenUp) {
    const std::string file = File("a.vbs", "one\r\n");
    StartProcess(1, {file});
    Editor->GetLines().Add("two");
    Editor->SetModified(true);
    Desk.Now = 1500;
    Form->AppIdle();
    EXPECT_EQ(Form->IdleWakeDelay(), 500);
    EXPECT_TRUE(Copies().empty()) << "typing has not paused long enough";
    Desk.Now = 2000;
    Form->AppIdle();
    Form->FlushRecoveryCopy();
    EXPECT_EQ(Form->IdleWakeDelay(), std::nullopt);
    const std::map<std::string, std::string> copies = Copies();
    ASSERT_EQ(copies.size(), 1u);
    const std::string& copy = copies.at("1-1000.rcv");
    EXPECT_TRUE(copy.starts_with("Kestrane recovery\nfile=" + file + "\nnew=0\ntime=")) << copy;
    EXPECT_EQ(TextOf(copy), "one\r\ntwo\r\n");
    TypeAndPause("three");
    EXPECT_EQ(TextOf(Copies().at("1-1000.rcv")), "one\r\ntwo\r\nthree\r\n");

    // Saved, back to unmodified, closed without saving: each removes the copy.
    Form->mnuSaveFileClick();
    EXPECT_TRUE(Copies().empty());
    TypeAndPause("four");
    EXPECT_EQ(Copies().size(), 1u);
    Editor->SetModified(false);
    Form->AppIdle();
    EXPECT_TRUE(Copies().empty());
    TypeAndPause("five");
    Desk.Answers = {TMessageAnswer::No};
    bool canClose = false;
    Form->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(Copies().empty());
}

TEST_F(RecoveryTest, ALargeTextIsCopiedInStepsAndAChangeMeanwhileStartsTheCopyAgain) {
    const std::string line(99, 'x');
    std::string text;
    while (text.size() <= 2 * kRecoveryBytesPerStep) {
        text += line + "\r\n";
    }
    StartProcess(1, {File("big.vbs", text)});
    Editor->GetLines().Add("typed");
    Editor->SetModified(true);
    Desk.Now = 2000;
    EXPECT_TRUE(Form->AppIdle()) << "rows remain to be copied";
    Editor->GetLines().Insert(0, "typed above");
    EXPECT_FALSE(Form->AppIdle()) << "the change waits for its own pause";
    Desk.Now = 4000;
    while (Form->AppIdle()) {
    }
    EXPECT_EQ(TextOf(Copies().at("1-1000.rcv")), "typed above\r\n" + text + "typed\r\n");
}

TEST_F(RecoveryTest, TheNextProcessOnTheFileIsOfferedACopyWhoseProcessIsGone) {
    const std::string file = File("a.vbs", "one\r\n");
    StartProcess(1, {file});
    TypeAndPause("typed");

    // While its process runs, the copy is not offered.
    Desk.RunningProcesses = {{1, 1000}};
    StartProcess(2, {file});
    EXPECT_TRUE(Desk.Messages.empty());

    // Once it is gone (its id now another process's, started later): Yes shows the typed text
    // as changes, the file stays as it was, and the copy is this process's now.
    Desk.RunningProcesses = {{1, 5000}};
    StartProcess(3, {file}, {TMessageAnswer::Yes});
    EXPECT_EQ(Desk.Messages, std::vector<FakeDesktop::TMessage>{kRecover});
    EXPECT_EQ(Text(), "one\r\ntyped\r\n");
    EXPECT_TRUE(Editor->GetModified());
    EXPECT_EQ(Folder.ReadFile("files/a.vbs"), "one\r\n");
    const std::map<std::string, std::string> copies = Copies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(copies.contains("3-3000.rcv"));
    Editor->Undo();
    EXPECT_EQ(Text(), "one\r\n") << "the restore is one change";

    // No deletes the copy.
    StartProcess(4, {file}, {TMessageAnswer::No});
    EXPECT_EQ(Desk.Messages, std::vector<FakeDesktop::TMessage>{kRecover});
    EXPECT_EQ(Text(), "one\r\n");
    EXPECT_TRUE(Copies().empty());
}

TEST_F(RecoveryTest, NewWindowsCopiesAreOfferedToTheNextStartWithoutAFile) {
    const std::string file = File("a.vbs", "one\r\n");
    StartProcess(1, {});
    TypeAndPause("new text");
    EXPECT_TRUE(Copies().at("1-1000.rcv").starts_with("Kestrane recovery\nfile=\nnew=1\n"));

    StartProcess(2, {file});
    EXPECT_TRUE(Desk.Messages.empty()) << "a file's window is not offered a new file's copy";
    StartProcess(3, {}, {TMessageAnswer::Yes});
    EXPECT_EQ(Desk.Messages, std::vector<FakeDesktop::TMessage>{kRecover});
    EXPECT_EQ(Text(), "new text\r\n");
}

TEST_F(RecoveryTest, TwoProcessesKeepCopiesOfTheirOwnAndNeverTakeEachOthers) {
    StartProcess(1, {});
    TypeAndPause("first");

    // A second process, running beside the first, with an editor of its own.
    FakeDesktop otherDesk{Folder.ProgramPath()};
    otherDesk.Own = {2, 2000};
    otherDesk.RunningProcesses = {{1, 1000}};
    Desk.RunningProcesses = {{2, 2000}};
    std::unique_ptr<TEditor> otherEditor = CreateComponent<TEditor>(nullptr);
    TForm1 other(otherDesk, View, *otherEditor, Commands, {});
    other.FormCreate();
    EXPECT_TRUE(otherDesk.Messages.empty());
    otherEditor->GetLines().Add("second");
    otherEditor->SetModified(true);
    otherDesk.Now = 2000;
    other.AppIdle();
    other.FlushRecoveryCopy();
    TypeAndPause("first again");

    const std::map<std::string, std::string> copies = Copies();
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(TextOf(copies.at("1-1000.rcv")), "first\r\nfirst again\r\n");
    EXPECT_EQ(TextOf(copies.at("2-2000.rcv")), "second\r\n");
}

// A copy's text came from the file as it was then: a file changed since is said in the question,
// and the first save after the restore asks before it overwrites the change.
TEST_F(RecoveryTest, ACopyOfAFileChangedSinceSaysSoAndItsFirstSaveAsks) {
    struct TCase {
        bool ChangedSince;
        FakeDesktop::TMessage Question;
        std::vector<FakeDesktop::TMessage> AskedBySave;
        std::string OnDiskAfterSave;
    };
    const TCase cases[] = {
        {false, kRecover, {}, "one\r\ntyped\r\n"},
        {true, kRecoverChanged, {kOverwrite}, "theirs\r\n"},
    };
    for (const TCase& c : cases) {
        const std::string file = File("a.vbs", "one\r\n");
        StartProcess(1, {file});
        TypeAndPause("typed");
        if (c.ChangedSince) {
            const auto before = std::filesystem::last_write_time(file);
            Folder.WriteFile("files/a.vbs", "theirs\r\n");
            std::filesystem::last_write_time(file, before + std::chrono::seconds(2));
        }
        StartProcess(2, {file}, {TMessageAnswer::Yes});
        EXPECT_EQ(Desk.Messages, std::vector<FakeDesktop::TMessage>{c.Question});
        EXPECT_EQ(Text(), "one\r\ntyped\r\n");
        Form->FormActivate();
        Form->AppIdle();
        Desk.Messages.clear();
        Desk.Answers = {TMessageAnswer::No};
        Form->mnuSaveFileClick();
        EXPECT_EQ(Desk.Messages, c.AskedBySave);
        EXPECT_EQ(Folder.ReadFile("files/a.vbs"), c.OnDiskAfterSave);
        Editor->SetModified(false);
        Form->AppIdle();
    }
}

// A lossy text's "?" must not reach a saveable window through a copy: none is kept of it, and a
// copy of another text waits while the file opens lossy.
TEST_F(RecoveryTest, NoCopyIsKeptOfALossyTextNorRestoredIntoOne) {
    const std::string lossy = Utf8File(u"MsgBox \"가\"\r\n");
    const std::string file = File("a.vbs", lossy);
    StartProcess(1, {file});
    TempProgramFolder::Remove(file);
    Form->FormActivate();
    Desk.Now += 2000;
    Form->AppIdle();
    Desk.Now += 2000;
    Form->AppIdle();
    EXPECT_TRUE(Editor->GetModified()) << "the file is gone";
    EXPECT_TRUE(Copies().empty());

    File("a.vbs", "one\r\n");
    StartProcess(2, {file});
    TypeAndPause("typed");
    File("a.vbs", lossy);
    StartProcess(3, {file}, {TMessageAnswer::Yes});
    EXPECT_EQ(Text(), "MsgBox \"?\"\r\n");
    EXPECT_EQ(Copies().size(), 1u) << "kept for the file's next opening";
    File("a.vbs", "one\r\n");
    StartProcess(4, {file}, {TMessageAnswer::Yes});
    EXPECT_EQ(Text(), "one\r\ntyped\r\n");
}

// A folder that cannot be made, or a copy that cannot be written, is told once per process: the
// user then knows that a crash would lose the changes.
TEST_F(RecoveryTest, ACopyThatCannotBeKeptIsToldOncePerProcess) {
    namespace fs = std::filesystem;
    enum class TBlock : std::uint8_t { FileInPlaceOfTheFolder, ReadOnlyCopy };
    const std::string copy = Folder.EnvPath("recover/1-1000.rcv");
    for (const TBlock block : {TBlock::FileInPlaceOfTheFolder, TBlock::ReadOnlyCopy}) {
        SCOPED_TRACE(static_cast<int>(block));
        if (block == TBlock::FileInPlaceOfTheFolder) {
            Folder.WriteFile("Env/recover", "");
        } else {
            Folder.WriteFile("Env/recover/1-1000.rcv", "");
            fs::permissions(
                copy, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                fs::perm_options::remove);
        }
        StartProcess(1, {});
        TypeAndPause("first");
        TypeAndPause("second");
        Form->AppIdle();
        ASSERT_EQ(Desk.Messages.size(), 1u);
        EXPECT_TRUE(Desk.Messages[0].Text.starts_with("\r\n復元用のコピーを保存できません。異常終了"
                                                      "したときは、保存していない変更が失われます。"
                                                      "\r\n"))
            << Desk.Messages[0].Text;
        EXPECT_EQ(Desk.Messages[0].Type, TMessageType::Warning);
        if (block == TBlock::ReadOnlyCopy) {
            fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
        }
        fs::remove_all(Folder.EnvPath("recover"));
    }
}

// A copy names its file in full: a process in another folder, given the same relative name, is not
// offered it, and the file's own process, given the full name, is.
TEST_F(RecoveryTest, ACopyOfAFileOpenedByARelativeNameNamesItInFull) {
    namespace fs = std::filesystem;
    const fs::path before = fs::current_path();
    const std::string file = File("a.vbs", "one\r\n");
    fs::current_path(Folder.Path(""));
    StartProcess(1, {"files/a.vbs"});
    EXPECT_TRUE(Desk.SameFileName(Form->CurrentFileName, file));
    EXPECT_EQ(Form->CurrentFileName, Desk.FullFileName(Form->CurrentFileName)) << "full";
    TypeAndPause("typed");
    EXPECT_TRUE(Copies()
                    .at("1-1000.rcv")
                    .starts_with("Kestrane recovery\nfile=" + Form->CurrentFileName + "\n"));

    const TempFolder elsewhere("kst_elsewhere_");
    fs::create_directories(elsewhere.Path() / "files");
    std::ofstream(elsewhere.Path() / "files" / "a.vbs", std::ios::binary) << "other\r\n";
    fs::current_path(elsewhere.Path());
    StartProcess(2, {"files/a.vbs"}, {TMessageAnswer::Yes});
    EXPECT_TRUE(Desk.Messages.empty()) << "another file of that name";
    EXPECT_EQ(Text(), "other\r\n");
    fs::current_path(before);

    StartProcess(3, {file}, {TMessageAnswer::Yes});
    EXPECT_EQ(Desk.Messages, std::vector<FakeDesktop::TMessage>{kRecover});
    EXPECT_EQ(Text(), "one\r\ntyped\r\n");
}

} // namespace
} // namespace kst
