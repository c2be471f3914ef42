#include "tools/console_output.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

using TLines = std::vector<std::string>;

TLines Split(const std::vector<std::string>& Chunks) {
    OutputLineSplitter splitter;
    TLines lines;
    for (const std::string& chunk : Chunks) {
        splitter.Add(chunk, lines);
    }
    splitter.Finish(lines);
    return lines;
}

TEST(OutputLineSplitterTest, LinesEndAtEveryLineBreakWhereverTheChunksEnd) {
    struct TCase {
        std::vector<std::string> Chunks;
        TLines Lines;
    };
    const TCase cases[] = {
        {{"one\r\ntwo\r\n"}, {"one", "two"}},
        {{"one\r", "\ntwo\r", "\n"}, {"one", "two"}},
        {{"on", "e\r\n\r\n", "", "two"}, {"one", "", "two"}},
        {{"a\rb\nc\r\rd"}, {"a", "b", "c", "", "d"}},
        {{"cr at the end\r"}, {"cr at the end"}},
        {{}, {}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Split(c.Chunks), c.Lines) << ::testing::PrintToString(c.Chunks);
    }
}

// A line longer than an entry holds keeps its start and stays one line, however it arrives.
TEST(OutputLineSplitterTest, ALongLineIsCutAndCountsOnce) {
    const std::string longLine(kOutputLineMaxBytes + 100, 'x');
    const TLines expected = {longLine.substr(0, kOutputLineMaxBytes), "next"};
    EXPECT_EQ(Split({longLine + "\r\nnext"}), expected);
    EXPECT_EQ(Split({longLine.substr(0, 10), longLine.substr(10), "\r", "\nnext\r\n"}), expected);
}

// A code page in which "\x82" followed by one of "\xA0"-"\xA2" is one character.
std::optional<std::string> Decode(std::string_view Bytes) {
    std::string text;
    for (std::size_t pos = 0; pos < Bytes.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(Bytes[pos]);
        if (byte < 0x80) {
            text += Bytes[pos];
        } else if (byte == 0x82 && pos + 1 < Bytes.size() &&
                   static_cast<unsigned char>(Bytes[pos + 1]) - 0xA0U < 3) {
            text.append("[").append(1, static_cast<char>('0' + (Bytes[++pos] & 0xF))).append("]");
        } else {
            return std::nullopt;
        }
    }
    return text;
}

TEST(ConsoleEntryTest, InvalidBytesAreShownNotDropped) {
    EXPECT_EQ(DecodeShowingInvalid("a\x82\xA1z", Decode), "a[1]z");
    EXPECT_EQ(DecodeShowingInvalid("a\xFF\x82\xA2\x82", Decode), "a\\xFF[2]\\x82");
    EXPECT_EQ(DecodeShowingInvalid("\x82\x82\xA0", Decode), "\\x82[0]");
    EXPECT_EQ(DecodeShowingInvalid("", Decode), "");
}

TEST(ConsoleEntryTest, TabsAndNulsAreShownAndLongLinesCutAtACharacter) {
    EXPECT_EQ(ConsoleEntryText(std::string("a\tb\0c", 5)), "a  b\\x00c");
    std::string wide;
    for (std::size_t i = 0; i <= kConsoleEntryMaxCharacters; ++i) {
        wide += "語";
    }
    EXPECT_EQ(ConsoleEntryText(wide), wide.substr(0, wide.size() - std::string("語").size()));
}

TEST(ConsoleEntryTest, AnErrorLineNamesItsPlaceInTheEditedFile) {
    const std::string file = "C:\\my scripts (old)\\実行 テスト.vbs";
    const auto placeOf = [&](const std::string& Line) {
        return ErrorLinePlace(Line, [&](std::string_view Path) { return Path == file; });
    };
    struct TCase {
        std::string Line;
        std::optional<TTextPlace> Place;
    };
    const TCase cases[] = {
        {file + "(12, 5) Microsoft VBScript runtime error: Type mismatch", TTextPlace{12, 5}},
        {file + "(3,1)", TTextPlace{3, 1}},
        {file + "(3, 0) column 0", TTextPlace{3, 1}},
        {file + "(2, 1) text (7, 8) after", TTextPlace{2, 1}},
        {"C:\\other.vbs(12, 5) Microsoft VBScript runtime error", std::nullopt},
        {file + "(0, 5) no line", std::nullopt},
        {file + "(12 5) no comma", std::nullopt},
        {file + "(12, x) no column", std::nullopt},
        {file + "(12, 5 unclosed", std::nullopt},
        {file + "(-1, 5) negative", std::nullopt},
        {file + "(99999999999, 5) too large", std::nullopt},
        {"(12, 5) no path", std::nullopt},
        {"plain output", std::nullopt},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(placeOf(c.Line), c.Place) << c.Line;
    }
}

TEST(ConsoleEntryTest, TheExitCodeIsSignedAsTheCommandPromptShowsIt) {
    EXPECT_EQ(ExitCodeEntry(3), "> 終了コード 3");
    EXPECT_EQ(ExitCodeEntry(0xFFFFFFFF), "> 終了コード -1");
}

} // namespace
} // namespace kst
