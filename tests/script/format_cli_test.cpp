#include "script/format_cli.h"
#include "support/temp_folder.h"
#include "support/unicode_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace kst {
namespace {

namespace fs = std::filesystem;
using namespace std::string_view_literals;

constexpr std::string_view kMessy = "Sub s\nx = \"\x82\xa0\" \rEnd Sub"sv;
constexpr std::string_view kFormatted = "Sub s\r\n\tx = \"\x82\xa0\"\r\nEnd Sub\r\n"sv;
// Formatted already, with other line breaks and no final one.
constexpr std::string_view kTidy = "Sub s\n\tx\0y\rEnd Sub"sv;

class RecordingConsole : public FormatConsole {
public:
    std::string ReadInput() override { return std::exchange(Input, {}); }
    void WriteOutput(std::string_view Bytes) override { Output += Bytes; }
    void PrintLine(std::string_view Text) override { Lines.emplace_back(Text); }
    void PrintErrorLine(std::string_view Text) override { Errors.emplace_back(Text); }
    void Clear() {
        Input.clear();
        Output.clear();
        Lines.clear();
        Errors.clear();
    }

    std::string Input;
    std::string Output;
    std::vector<std::string> Lines;
    std::vector<std::string> Errors;
};

std::string Utf8(const fs::path& Path) {
    const std::u8string text = Path.u8string();
    return {text.begin(), text.end()};
}

fs::path PathFromUtf8(std::string_view Text) {
    return fs::path(std::u8string(Text.begin(), Text.end()));
}

class FormatCliTest : public ::testing::Test {
protected:
    // The UTF-8 path of Name (a relative path, "/" between folders) in the test's folder.
    std::string PathOf(std::string_view Name) const {
        return Utf8((FFolder.Path() / PathFromUtf8(Name)).make_preferred());
    }
    std::string Write(std::string_view Name, std::string_view Bytes) const {
        const std::string path = PathOf(Name);
        fs::create_directories(PathFromUtf8(path).parent_path());
        std::ofstream(PathFromUtf8(path), std::ios::binary) << Bytes;
        return path;
    }
    std::string Read(std::string_view Name) const {
        std::ifstream file(PathFromUtf8(PathOf(Name)), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    TFormatStatus Run(const std::vector<std::string>& Arguments) {
        return RunFormatCli(Arguments, Console);
    }
    // Whether some error line mentions Text.
    bool ErrorMentions(std::string_view Text) const {
        return std::ranges::any_of(Console.Errors, [Text](const std::string& Line) {
            return Line.find(Text) != std::string::npos;
        });
    }

    RecordingConsole Console;

private:
    TempFolder FFolder{"kst_format_cli_"};
};

TEST_F(FormatCliTest, CheckListsWhatFormattingInPlaceChanges) {
    const std::string messy = Write("整形 テスト.vbs", kMessy);
    const std::string tidy = Write("tidy.vbs", kTidy);
    EXPECT_EQ(Run({"--check", tidy, messy}), fsFound);
    EXPECT_EQ(Console.Lines, std::vector<std::string>{messy});
    EXPECT_EQ(Read("整形 テスト.vbs"), kMessy);

    EXPECT_EQ(Run({messy, tidy}), fsDone);
    EXPECT_EQ(Read("整形 テスト.vbs"), kFormatted);
    EXPECT_EQ(Read("tidy.vbs"), kTidy) << "a formatted script is not rewritten";
    EXPECT_EQ(Run({tidy, messy, "--check"}), fsDone);
    EXPECT_EQ(Console.Lines.size(), 1U);
    EXPECT_TRUE(Console.Errors.empty());
}

TEST_F(FormatCliTest, StandardInputGoesToStandardOutput) {
    struct TCase {
        std::vector<std::string> Arguments;
        std::string_view Input;
        TFormatStatus Status;
        std::string_view Output;
        std::vector<std::string> Lines;
    };
    const std::vector<TCase> cases = {
        {{}, kMessy, fsDone, kFormatted, {}},
        {{"-"}, kTidy, fsDone, kTidy, {}},
        {{"--check"}, kMessy, fsFound, "", {"-"}},
        {{"--check", "-"}, kTidy, fsDone, "", {}},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Input);
        Console.Clear();
        Console.Input = test.Input;
        EXPECT_EQ(Run(test.Arguments), test.Status);
        EXPECT_EQ(Console.Output, test.Output);
        EXPECT_EQ(Console.Lines, test.Lines);
    }
}

TEST_F(FormatCliTest, AFolderStandsForEveryScriptBelowIt) {
    for (const char* name : {"scripts/b.vbs", "scripts/sub/a.VBS", "scripts/sub/deeper/c.vbs"}) {
        Write(name, kMessy);
    }
    Write("scripts/sub/notes.txt", kMessy);
    EXPECT_EQ(Run({"--check", PathOf("scripts")}), fsFound);
    EXPECT_EQ(Console.Lines,
              (std::vector<std::string>{PathOf("scripts/b.vbs"), PathOf("scripts/sub/a.VBS"),
                                        PathOf("scripts/sub/deeper/c.vbs")}));

    EXPECT_EQ(Run({PathOf("scripts")}), fsDone);
    for (const char* name : {"scripts/b.vbs", "scripts/sub/a.VBS", "scripts/sub/deeper/c.vbs"}) {
        EXPECT_EQ(Read(name), kFormatted) << name;
    }
    EXPECT_EQ(Read("scripts/sub/notes.txt"), kMessy);

    Write("empty/notes.txt", kMessy);
    EXPECT_EQ(Run({PathOf("empty")}), fsError);
    EXPECT_TRUE(ErrorMentions(PathOf("empty")));
}

TEST_F(FormatCliTest, AFileThatCannotBeReadIsReportedAndTheOthersAreStillFormatted) {
    const std::string missing = PathOf("missing.vbs");
    const std::string first = Write("first.vbs", kMessy);
    // Too large to be read.
    const std::string huge = Write("folder/huge.vbs", "");
    fs::resize_file(PathFromUtf8(huge), std::uintmax_t{1} << 32);
    Write("folder/second.vbs", kMessy);
    EXPECT_EQ(Run({missing, first, PathOf("folder")}), fsError);
    EXPECT_TRUE(ErrorMentions(missing));
    EXPECT_TRUE(ErrorMentions(huge));
    EXPECT_EQ(Read("first.vbs"), kFormatted);
    EXPECT_EQ(Read("folder/second.vbs"), kFormatted);
}

TEST_F(FormatCliTest, FilesThatCannotBeWrittenBackAreLeftAsTheyWere) {
    const std::string readOnly = Write("read-only.vbs", kMessy);
    fs::permissions(PathFromUtf8(readOnly), fs::perms::owner_read);
    EXPECT_EQ(Run({readOnly}), fsError);
    EXPECT_TRUE(ErrorMentions(readOnly));
    EXPECT_TRUE(ErrorMentions("読み取り専用"));
    EXPECT_EQ(Read("read-only.vbs"), kMessy);
}

// A Ctrl-Z inside a file is text, as the editor reads it; only a final one is the old end mark.
TEST_F(FormatCliTest, ACtrlZInsideAFileIsKept) {
    Write("ctrl-z.vbs", "Sub s\r\nx = \"\x1a\"\r\nEnd Sub\r\n\x1a");
    EXPECT_EQ(Run({PathOf("ctrl-z.vbs")}), fsDone);
    EXPECT_EQ(Read("ctrl-z.vbs"), "Sub s\r\n\tx = \"\x1a\"\r\nEnd Sub\r\n");
}

TEST_F(FormatCliTest, SyntaxListsTheProblemsInTheCompilerForm) {
    const std::string broken = Write("構文.vbs", "Sub s\r\n  x = \"\x82\xa0\" & \"\r\nNext\r\n");
    const std::string tidy = Write("tidy.vbs", kTidy);
    EXPECT_EQ(Run({"--syntax", tidy, broken}), fsFound);
    EXPECT_EQ(Console.Lines, (std::vector<std::string>{
                                 broken + "(1,1): 1行目の Sub が End Sub で閉じられていません",
                                 broken + "(2,13): 文字列定数が終了していません",
                                 broken + "(3,1): Next に対応する For がありません"}));
    EXPECT_EQ(Read("構文.vbs"), "Sub s\r\n  x = \"\x82\xa0\" & \"\r\nNext\r\n");

    Console.Clear();
    Console.Input = "If a Then\nEnd If";
    EXPECT_EQ(Run({"--syntax"}), fsDone);
    EXPECT_TRUE(Console.Lines.empty());
    EXPECT_TRUE(Console.Output.empty()) << "standard input is only checked";
    Console.Input = "Loop";
    EXPECT_EQ(Run({"--syntax", "-"}), fsFound);
    EXPECT_EQ(Console.Lines, std::vector<std::string>{"-(1,1): Loop に対応する Do がありません"});

    EXPECT_EQ(Run({"--syntax", PathOf("missing.vbs")}), fsError);
    EXPECT_EQ(Run({"--syntax", "--check", tidy}), fsError);
    EXPECT_TRUE(ErrorMentions("--syntax"));
}

// Scripts in Unicode keep their encoding; one with characters that CP932 lacks is refused whole.
TEST_F(FormatCliTest, MarkedScriptsAreWrittenInTheirEncodingAndLossyOnesAreRefused) {
    const std::u16string messy = u"Sub s\nx = \"あ\" \rEnd Sub";
    const std::u16string formatted = u"Sub s\r\n\tx = \"あ\"\r\nEnd Sub\r\n";
    const std::string wide = Write("wide.vbs", Utf16LeFile(messy));
    const std::string lossy = Write("lossy.vbs", Utf16LeFile(u"Sub s\nx = \"가\"\nEnd Sub"));
    EXPECT_EQ(Run({wide, lossy}), fsError);
    EXPECT_EQ(Read("wide.vbs"), Utf16LeFile(formatted));
    EXPECT_EQ(Read("lossy.vbs"), Utf16LeFile(u"Sub s\nx = \"가\"\nEnd Sub"));
    EXPECT_TRUE(ErrorMentions(lossy));
    EXPECT_TRUE(ErrorMentions("Shift-JIS で表せない文字"));

    Console.Clear();
    Console.Input = Utf8File(messy);
    EXPECT_EQ(Run({}), fsDone);
    EXPECT_EQ(Console.Output, Utf8File(formatted));
    Console.Input = Utf8File(u"가");
    EXPECT_EQ(Run({"--check"}), fsError);
    EXPECT_TRUE(ErrorMentions("標準入力"));
}

TEST_F(FormatCliTest, TheUnitComesFromIndentElseTheEditorConfigElseTheScript) {
    Write("p/.editorconfig", "root = true\n[*.vbs]\nindent_style = space\nindent_size = 2\n");
    const std::string inProject = Write("p/a.vbs", kMessy);
    const std::string own = Write("own.vbs", "Sub s\n   x\nEnd Sub\nSub t\ny\nEnd Sub\n");
    EXPECT_EQ(Run({inProject, own}), fsDone);
    EXPECT_EQ(Read("p/a.vbs"), "Sub s\r\n  x = \"\x82\xa0\"\r\nEnd Sub\r\n");
    EXPECT_EQ(Read("own.vbs"), "Sub s\r\n   x\r\nEnd Sub\r\nSub t\r\n   y\r\nEnd Sub\r\n");
    EXPECT_EQ(Run({"--indent", "tab", inProject}), fsDone);
    EXPECT_EQ(Read("p/a.vbs"), kFormatted);
    for (const char* bad : {"0", "tabs"}) {
        EXPECT_EQ(Run({"--indent", bad, inProject}), fsError);
        EXPECT_TRUE(ErrorMentions(bad));
    }
    EXPECT_EQ(Run({inProject, "--indent"}), fsError);
    EXPECT_EQ(Read("p/a.vbs"), kFormatted);
}

TEST_F(FormatCliTest, DiffShowsWhatWouldChangeAsDiffShowsIt) {
    const std::string fewApart = Write("near.vbs", "Sub s\nx\n'\n'\n'\n'\n'\n'\ny\nEnd Sub");
    const std::string farApart = Write("far.vbs", "Sub s\nx\n'\n'\n'\n'\n'\n'\n'\ny\nEnd Sub");
    const std::string tidy = Write("tidy.vbs", kTidy);
    EXPECT_EQ(Run({"--check", "--diff", tidy, fewApart, farApart}), fsFound);
    EXPECT_EQ(Console.Output,
              "--- " + fewApart + "\n+++ " + fewApart +
                  "\n@@ -1,10 +1,10 @@\n Sub s\n-x\n+\tx\n '\n '\n '\n '\n '\n '\n-y\n"
                  "+\ty\n End Sub\n--- " +
                  farApart + "\n+++ " + farApart +
                  "\n@@ -1,5 +1,5 @@\n Sub s\n-x\n+\tx\n '\n '\n '\n"
                  "@@ -7,5 +7,5 @@\n '\n '\n '\n-y\n+\ty\n End Sub\n");
    EXPECT_TRUE(Console.Lines.empty());
    EXPECT_EQ(Read("near.vbs"), "Sub s\nx\n'\n'\n'\n'\n'\n'\ny\nEnd Sub");
    EXPECT_EQ(Run({"--diff", "--syntax", tidy}), fsError);
}

TEST_F(FormatCliTest, HelpAndABadOption) {
    EXPECT_EQ(Run({"--help"}), fsDone);
    ASSERT_FALSE(Console.Lines.empty());
    EXPECT_TRUE(Console.Lines[0].starts_with("使い方: kestrane-format")) << Console.Lines[0];
    EXPECT_EQ(Run({"--bogus", PathOf("x.vbs")}), fsError);
    EXPECT_TRUE(ErrorMentions("--bogus"));
}

} // namespace
} // namespace kst
