#include "app/file_names.h"
#include "app/option_dialogs.h"
#include "app_test_support.h"
#include "core/errors.h"
#include "support/fake_desktop.h"

#include <gtest/gtest.h>
#include <tuple>

namespace kst {
namespace {

class OptionDialogsTest : public ::testing::Test {
protected:
    TempProgramFolder Folder;
    FakeDesktop Desk{Folder.ProgramPath()};
    TSettings Settings{.gFontSize = 14, .gTabSize = 6, .gBaseDir = "C:\\base"};
    TLauncherTable Table = {{"Editor", "C:\\e.exe"}, {"-", ""}, {"Shell", "C:\\s.exe"}};
    TfrmSetting Dialog{Desk, Settings, Table};
};

TEST_F(OptionDialogsTest, StartsWithTheCurrentValues) {
    EXPECT_EQ(Dialog.FontSize(), 14);
    EXPECT_EQ(Dialog.TabSizeText(), "6");
    EXPECT_EQ(Dialog.BaseDir(), "C:\\base");
    EXPECT_EQ(Dialog.Names(), (std::vector<std::string>{"Editor", "-", "Shell"}));
    EXPECT_EQ(Dialog.Paths(), (std::vector<std::string>{"C:\\e.exe", "", "C:\\s.exe"}));
    EXPECT_EQ(Dialog.ItemIndex(), -1);
    EXPECT_EQ(Dialog.PathText(), "");
    EXPECT_EQ(TfrmSetting::TabSizeChoices, (std::array<std::string_view, 4>{"2", "4", "6", "8"}));
}

// The choice shown for each unit, and the unit each choice stores.
TEST_F(OptionDialogsTest, TheIndentChoiceShowsAndStoresTheUnit) {
    const std::vector<std::string> choices = TfrmSetting::IndentChoices();
    const std::vector<std::tuple<std::optional<TIndentUnit>, int, std::string>> cases = {
        {std::nullopt, 0, "自動"},
        {TIndentUnit{}, 1, "タブ"},
        {TIndentUnit{4}, 5, "空白 4"},
        {TIndentUnit{16}, 17, "空白 16"},
    };
    for (const auto& [unit, index, choice] : cases) {
        Settings.gIndent = unit;
        TfrmSetting dialog{Desk, Settings, Table};
        EXPECT_EQ(dialog.IndentIndex(), index) << choice;
        EXPECT_EQ(choices.at(static_cast<std::size_t>(index)), choice);
        Settings.gIndent = TIndentUnit{2};
        dialog.SetIndentIndex(index);
        dialog.Accept();
        EXPECT_EQ(Settings.gIndent, unit) << choice;
    }
    EXPECT_EQ(choices.size(), 18U);
}

TEST_F(OptionDialogsTest, TheFontSizeSpinStaysWithinTenToThirty) {
    Dialog.SetFontSize(9);
    EXPECT_EQ(Dialog.FontSize(), 10);
    Dialog.SetFontSize(31);
    EXPECT_EQ(Dialog.FontSize(), 30);
    Dialog.SetFontSize(18);
    EXPECT_EQ(Dialog.FontSize(), 18);
}

TEST_F(OptionDialogsTest, OkStoresTheEditedValues) {
    Dialog.SetFontSize(20);
    Dialog.SetTabSizeText("3");
    Dialog.SetBaseDir("D:\\scripts");
    Dialog.SelectLauncher(0);
    Dialog.DeleteLauncher();
    TfrmLcAdd added = Dialog.NewLauncherDialog();
    added.SetName("Calc");
    added.SetPath("C:\\calc.exe");
    ASSERT_TRUE(added.ConfirmAdd());
    Dialog.AddLauncher(added);
    EXPECT_EQ(Settings.gFontSize, 14) << "nothing is stored before OK";

    Dialog.Accept();
    EXPECT_EQ(Settings.gFontSize, 20);
    EXPECT_EQ(Settings.gTabSize, 3);
    EXPECT_EQ(Settings.gBaseDir, "D:\\scripts");
    EXPECT_EQ(Table, (TLauncherTable{{"-", ""}, {"Shell", "C:\\s.exe"}, {"Calc", "C:\\calc.exe"}}));
}

TEST_F(OptionDialogsTest, ATabWidthThatIsNoNumberStoresNothing) {
    Dialog.SetFontSize(20);
    Dialog.SetTabSizeText("4x");
    EXPECT_THROW(Dialog.Accept(), EConvertError);
    EXPECT_EQ(Settings.gFontSize, 14);
    EXPECT_EQ(Settings.gTabSize, 6);
    Dialog.SetTabSizeText("");
    EXPECT_THROW(Dialog.Accept(), EConvertError);
}

TEST_F(OptionDialogsTest, SelectingAndDeletingLaunchers) {
    Dialog.DeleteLauncher();
    ASSERT_EQ(Desk.Messages.size(), 1U);
    EXPECT_EQ(Desk.Messages[0],
              (FakeDesktop::TMessage{"\rランチャーが選ばれていません", "警告",
                                     TMessageType::Warning, TMessageButtons::Ok}));
    Dialog.SelectLauncher(2);
    EXPECT_EQ(Dialog.PathText(), "C:\\s.exe");
    Dialog.DeleteLauncher();
    EXPECT_EQ(Dialog.Names(), (std::vector<std::string>{"Editor", "-"}));
    EXPECT_EQ(Dialog.Paths(), (std::vector<std::string>{"C:\\e.exe", ""}));
    EXPECT_EQ(Dialog.PathText(), "");
    EXPECT_EQ(Dialog.ItemIndex(), -1);
    Dialog.SelectLauncher(5);
    EXPECT_EQ(Dialog.ItemIndex(), -1);
}

TEST_F(OptionDialogsTest, TheFolderButtonBrowsesForFileSystemFolders) {
    Dialog.BrowseBaseDir();
    EXPECT_EQ(Dialog.BaseDir(), "C:\\base") << "cancelled";
    Desk.FolderResults.push_back("E:\\work");
    Dialog.BrowseBaseDir();
    EXPECT_EQ(Dialog.BaseDir(), "E:\\work");
    EXPECT_EQ(Desk.FolderBrowses, (std::vector<unsigned>{0x1, 0x1}));
}

TEST_F(OptionDialogsTest, FolderDialogOptionsMapToTheShellsFlags) {
    TFolderDialog folder(Desk);
    folder.Options = (1U << bifBrowseForComputer) | (1U << bifBrowseForPrinter) |
                     (1U << bifDontGoBelowDomain) | (1U << bifReturnFSAncestors) |
                     (1U << bifStatusText);
    EXPECT_EQ(folder.BrowseFlags(), 0x1000U | 0x2000U | 0x2U | 0x8U | 0x4U);
    EXPECT_FALSE(folder.Execute());
    Desk.FolderResults.push_back("F:\\");
    EXPECT_TRUE(folder.Execute());
    EXPECT_EQ(folder.Directory(), "F:\\");
}

TEST_F(OptionDialogsTest, RegistrationNeedsANameAndAPath) {
    TfrmLcAdd add = Dialog.NewLauncherDialog();
    EXPECT_FALSE(add.AddEnabled());
    add.SetName("Tool");
    EXPECT_FALSE(add.AddEnabled());
    add.SetPath("C:\\tool.exe");
    EXPECT_TRUE(add.AddEnabled());
    add.SetName("");
    EXPECT_FALSE(add.AddEnabled());
}

TEST_F(OptionDialogsTest, RegistrationRefusesANameRegisteredAlready) {
    TfrmLcAdd add = Dialog.NewLauncherDialog();
    add.SetName("Editor");
    add.SetPath("C:\\x.exe");
    EXPECT_FALSE(add.ConfirmAdd());
    ASSERT_EQ(Desk.Messages.size(), 1U);
    EXPECT_EQ(Desk.Messages[0],
              (FakeDesktop::TMessage{"\r\n登録名は既に登録されています", "警告",
                                     TMessageType::Warning, TMessageButtons::Ok}));
    add.SetName("editor");
    EXPECT_TRUE(add.ConfirmAdd()) << "another letter case is another name";
}

TEST_F(OptionDialogsTest, RegistrationBrowsesFromTheProgramsFolder) {
    TfrmLcAdd add = Dialog.NewLauncherDialog();
    add.SetPath("old");
    add.BrowsePath();
    EXPECT_EQ(add.Path(), "old");
    Desk.OpenDialogResults.push_back("C:\\new.exe");
    add.BrowsePath();
    EXPECT_EQ(add.Path(), "C:\\new.exe");
    ASSERT_EQ(Desk.OpenDialogs.size(), 2U);
    EXPECT_EQ(Desk.OpenDialogs[1].InitialDir, ProgramFolder(Desk));
    EXPECT_EQ(Desk.OpenDialogs[1].FileName, "");
}

TEST(FileNamesTest, KindFolderAndExtension) {
    EXPECT_EQ(FileKindOf("C:\\a\\b.vbs"), fkVbs);
    EXPECT_EQ(FileKindOf("C:\\a\\B.VBS"), fkVbs);
    EXPECT_EQ(FileKindOf("C:\\a\\b.TXT"), fkText);
    EXPECT_EQ(FileKindOf("C:\\a.vbs\\b"), fkOther);
    EXPECT_EQ(FileKindOf("C:\\a\\b.vbs.bak"), fkOther);
    EXPECT_EQ(FileKindOf(""), fkOther);

    EXPECT_EQ(ExtractFileDir("C:\\a\\b.vbs"), "C:\\a");
    EXPECT_EQ(ExtractFileDir("C:\\b.vbs"), "C:\\");
    EXPECT_EQ(ExtractFileDir("\\\\server\\share\\b.vbs"), "\\\\server\\share");
    EXPECT_EQ(ExtractFileDir("/tmp/b.vbs"), "/tmp");
    EXPECT_EQ(ExtractFileDir("b.vbs"), "");
    EXPECT_EQ(ExtractFileDir(""), "");
    EXPECT_EQ(ExtractFilePath("C:\\a\\b.vbs"), "C:\\a\\");
}

TEST(FileNamesTest, EnvFilesLieBesideTheProgram) {
    FakeDesktop windows("C:\\Tools\\Kestrane.exe");
    EXPECT_EQ(ProgramFolder(windows), "C:\\Tools\\");
    EXPECT_EQ(EnvFilePath(windows, "kst.ini"), "C:\\Tools\\Env\\kst.ini");
    FakeDesktop posix("/opt/kst/Kestrane.exe");
    EXPECT_EQ(EnvFilePath(posix, "Lc.dat"), "/opt/kst/Env/Lc.dat");
}

} // namespace
} // namespace kst
