#include "app/env_files.h"
#include "app_test_support.h"
#include "core/errors.h"
#include "support/fake_desktop.h"

#include <gtest/gtest.h>

namespace kst {
namespace {

class EnvFilesTest : public ::testing::Test {
protected:
    std::string ErrorText(std::string_view Heading, const std::string& Message) {
        return std::string(Heading) + "\r\n" + Message;
    }

    TempProgramFolder Folder;
    FakeDesktop Desk{Folder.ProgramPath()};
    TEnvFiles Env{Desk};
};

TEST_F(EnvFilesTest, MissingSettingsGiveTheDefaults) {
    const TSettings settings = Env.LoadSettings();
    EXPECT_EQ(settings.gFontSize, 12);
    EXPECT_EQ(settings.gTabSize, 4);
    EXPECT_EQ(settings.gBaseDir, "");
    EXPECT_EQ(settings.gWidth, 600);
    EXPECT_EQ(settings.gHeight, 500);
    EXPECT_FALSE(settings.SearchCase);
}

TEST_F(EnvFilesTest, SettingsRoundTripThroughTheIniFile) {
    const TSettings saved{.gFontSize = 24,
                          .gTabSize = 8,
                          .gBaseDir = "C:\\スクリプト",
                          .gWidth = 1024,
                          .gHeight = 768,
                          .SearchCase = true,
                          .SearchRegex = true,
                          .FolderSearchFolder = "C:\\スクリプト\\共有",
                          .FolderSearchFiles = "*.vbs; *.js",
                          .FolderSearchSubfolders = false};
    Env.SaveSettings(saved);

    const std::string ini = Folder.EnvPath("kst.ini");
    EXPECT_EQ(Desk.IniWrites, (std::vector<std::string>{
                                  "Option/gFontSize", "Option/gBaseDir", "Option/gTabSize",
                                  "Wind/gWidth", "Wind/gHeight", "Search/Case", "Search/RegExp",
                                  "Search/Folder", "Search/Files", "Search/Subfolders"}));
    EXPECT_EQ(Desk.IniFiles[ini]["Option"]["gFontSize"], "24");
    EXPECT_EQ(Desk.IniFiles[ini]["Search"]["Case"], "1");
    EXPECT_EQ(Env.LoadSettings(), saved);

    Env.SaveSettings(TSettings{});
    EXPECT_EQ(Desk.IniFiles[ini]["Search"]["Case"], "0");
    EXPECT_EQ(Env.LoadSettings(), TSettings{});
}

// Word wrap and a chosen code page are written only while set, and going back to the default
// takes them away again rather than leaving the file saying otherwise.
TEST_F(EnvFilesTest, WordWrapAndTheCodePageAreWrittenOnlyWhileSet) {
    const std::string ini = Folder.EnvPath("kst.ini");
    TSettings wrapping;
    wrapping.gWordWrap = true;
    TSettings western;
    western.gCodePage = 1252;
    const struct {
        std::string Key;
        TSettings Set;
        std::string Written;
    } tests[] = {{"gWordWrap", wrapping, "1"}, {"gCodePage", western, "1252"}};
    for (const auto& test : tests) {
        Env.SaveSettings(test.Set);
        EXPECT_EQ(Desk.IniFiles[ini]["Option"][test.Key], test.Written);
        EXPECT_EQ(Env.LoadSettings(), test.Set);
        Env.SaveSettings({});
        EXPECT_FALSE(Desk.IniFiles[ini]["Option"].contains(test.Key));
        EXPECT_EQ(Env.LoadSettings(), TSettings{});
    }
}

// The indent unit is written only when it is not the script's own; a value that reads as no unit
// is the script's own.
TEST_F(EnvFilesTest, TheIndentUnitIsWrittenOnlyWhenChosen) {
    const std::string ini = Folder.EnvPath("kst.ini");
    const std::vector<std::pair<std::optional<TIndentUnit>, std::optional<std::string>>> cases = {
        {TIndentUnit{}, "tab"}, {TIndentUnit{3}, "3"}, {std::nullopt, std::nullopt}};
    for (const auto& [unit, text] : cases) {
        TSettings settings;
        settings.gIndent = unit;
        Env.SaveSettings(settings);
        auto& option = Desk.IniFiles[ini]["Option"];
        EXPECT_EQ(option.contains("gIndent") ? std::optional(option["gIndent"]) : std::nullopt,
                  text);
        EXPECT_EQ(Env.LoadSettings().gIndent, unit);
    }
    Desk.IniFiles[ini]["Option"]["gIndent"] = "3 spaces";
    EXPECT_EQ(Env.LoadSettings().gIndent, std::nullopt);
}

TEST_F(EnvFilesTest, SettingsAreUsedAsTheyAreUnlessTheyAreNoNumber) {
    auto& ini = Desk.IniFiles[Folder.EnvPath("kst.ini")];
    ini["Option"]["gFontSize"] = "99";
    ini["Option"]["gTabSize"] = "four";
    ini["Wind"]["gWidth"] = "-5";
    ini["Wind"]["gHeight"] = "12px";
    ini["Search"]["Case"] = "2";
    const TSettings settings = Env.LoadSettings();
    EXPECT_EQ(settings.gFontSize, 99);
    EXPECT_EQ(settings.gTabSize, 4);
    EXPECT_EQ(settings.gWidth, -5);
    EXPECT_EQ(settings.gHeight, 500);
    EXPECT_TRUE(settings.SearchCase);
}

TEST_F(EnvFilesTest, AnUnwritableSettingsFileRaisesNamingIt) {
    const std::string ini = Folder.EnvPath("kst.ini");
    Desk.ReadOnlyIniFiles.insert(ini);
    try {
        Env.SaveSettings(TSettings{});
        FAIL() << "no error raised";
    } catch (const EFileError& error) {
        EXPECT_EQ(std::string(error.what()), ini + " に書き込めません");
    }
}

TEST_F(EnvFilesTest, LauncherLinesSplitAtTheFirstTab) {
    Folder.WriteFile("Env/Lc.dat", "道具\tC:\\Tools\\tool.exe\r\n"
                                   "-\r\n"
                                   "Tabbed\tC:\\a\tb.exe\n"
                                   "\tC:\\lost.exe\r"
                                   "\x83\x65\x83\x58\x83\x67\tC:\\\x95\x5C.exe\r\n");
    const TLauncherTable table = Env.LoadLauncherFile();
    const TLauncherTable expected = {
        {"<E9><81><93><E5><85><B7>", "C:\\Tools\\tool.exe"},
        {"-", ""},
        {"Tabbed", "C:\\a\tb.exe"},
        {"-", ""},
        {"<83>e<83>X<83>g", "C:\\<95>\\.exe"},
    };
    EXPECT_EQ(table, expected);
    EXPECT_TRUE(Desk.Messages.empty());
}

TEST_F(EnvFilesTest, LauncherFileRoundTripWritesSeparatorsWithATab) {
    const std::string original = "Editor\tC:\\e.exe\r\n-\r\nTabbed\tC:\\a\tb.exe\r\n"
                                 "\x83\x65\x83\x58\x83\x67\tC:\\\x95\x5C.exe\r\n";
    Folder.WriteFile("Env/Lc.dat", original);
    Env.SaveLauncherFile(Env.LoadLauncherFile());
    EXPECT_EQ(Folder.ReadFile("Env/Lc.dat"), "Editor\tC:\\e.exe\r\n-\t\r\nTabbed\tC:\\a\tb.exe\r\n"
                                             "\x83\x65\x83\x58\x83\x67\tC:\\\x95\x5C.exe\r\n");
}

TEST_F(EnvFilesTest, LauncherFileErrorsAreShownAndLeaveAnEmptyTable) {
    EXPECT_TRUE(Env.LoadLauncherFile().empty());
    EXPECT_TRUE(Desk.Messages.empty()) << "a missing file is no error";

    Desk.PretendedFiles.insert(Folder.EnvPath("Lc.dat"));
    EXPECT_TRUE(Env.LoadLauncherFile().empty());
    ASSERT_EQ(Desk.Messages.size(), 1U);
    const FakeDesktop::TMessage& read = Desk.Messages[0];
    EXPECT_TRUE(read.Text.starts_with("設定ファイル\"Lc.dat\"読み込み中のエラー：\r\n"));
    EXPECT_NE(read.Text.find("Lc.dat", 40), std::string::npos) << "the reason names the file";
    EXPECT_EQ(read.Type, TMessageType::Error);
    EXPECT_EQ(read.Caption, "エラー");
    EXPECT_EQ(read.Buttons, TMessageButtons::Ok);

    Folder.RemoveEnv();
    Env.SaveLauncherFile({{"a", "b"}});
    ASSERT_EQ(Desk.Messages.size(), 2U);
    EXPECT_TRUE(Desk.Messages[1].Text.starts_with("設定ファイル\"Lc.dat\"保存中のエラー：\r\n"));
    EXPECT_EQ(Desk.Messages[1].Type, TMessageType::Error);
}

class FileHistoryTest : public EnvFilesTest {
protected:
    std::string Existing(int Number) {
        return Folder.WriteFile("f" + std::to_string(Number) + ".vbs", "x");
    }
    std::vector<std::string> History() { return Env.ReadFileHistory().value(); }
};

TEST_F(FileHistoryTest, KeepsTheTenNewestAndMovesAReopenedFileToTheEnd) {
    EXPECT_FALSE(Env.ReadFileHistory().has_value());
    std::vector<std::string> files;
    for (int i = 1; i <= 11; ++i) {
        files.push_back(Existing(i));
        Env.AddToFileHistory(files.back(), files.back());
    }
    std::vector<std::string> expected(files.begin() + 1, files.end());
    EXPECT_EQ(History(), expected);

    Env.AddToFileHistory(files[0], files[3]);
    expected.erase(expected.begin() + 2);
    expected.push_back(files[3]);
    EXPECT_EQ(History(), expected);
    EXPECT_TRUE(Folder.ReadFile("Env/FHist.dat").ends_with(".vbs\r\n"));
}

TEST_F(FileHistoryTest, AMissingFileLeavesTheHistory) {
    const std::string kept = Existing(1);
    const std::string deleted = Existing(2);
    Env.AddToFileHistory(kept, deleted);
    Env.AddToFileHistory(kept, kept);
    TempProgramFolder::Remove(deleted);
    Env.AddToFileHistory(kept, deleted);
    EXPECT_EQ(History(), std::vector<std::string>{kept});
}

TEST_F(FileHistoryTest, NothingChangesUnlessTheCurrentFileExists) {
    const std::string file = Existing(1);
    Env.AddToFileHistory("", file);
    Env.AddToFileHistory(Folder.Path("gone.vbs"), file);
    EXPECT_FALSE(Env.ReadFileHistory().has_value());
}

TEST_F(FileHistoryTest, PathsAreStoredInTheSystemCodePage) {
    Folder.WriteFile("Env/FHist.dat", "C:\\\x83\x65.vbs\r\n");
    EXPECT_EQ(History(), std::vector<std::string>{"C:\\<83>e.vbs"});
}

TEST_F(FileHistoryTest, AWriteErrorIsShown) {
    const std::string file = Existing(1);
    Folder.RemoveEnv();
    Env.AddToFileHistory(file, file);
    ASSERT_EQ(Desk.Messages.size(), 1U);
    EXPECT_TRUE(Desk.Messages[0].Text.starts_with("設定ファイル\"FHist.dat\"保存中のエラー：\r\n"));
    EXPECT_EQ(Desk.Messages[0].Type, TMessageType::Error);
}

TEST_F(EnvFilesTest, SearchWordsRoundTripAsTheyAre) {
    EXPECT_TRUE(Env.LoadFindHistory().empty());
    const std::vector<std::string> words = {"\x83\x65\x83\x58\x83\x67", "Dim", "a b"};
    Env.SaveFindHistory(words);
    EXPECT_EQ(Folder.ReadFile("Env/FindHist.dat"), "\x83\x65\x83\x58\x83\x67\r\nDim\r\na b\r\n");
    EXPECT_EQ(Env.LoadFindHistory(), words);

    Folder.RemoveEnv();
    EXPECT_THROW(Env.SaveFindHistory(words), EFileError);
}

} // namespace
} // namespace kst
