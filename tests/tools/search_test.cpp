#include "core/errors.h"
#include "input/editor.h"
#include "support/recording_host.h"
#include "tools/go_line.h"
#include "tools/search_results.h"
#include "tools/word_matcher.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kst {
namespace {

// "表" ends with the byte of "\", "ア" (0x8341) holds "A" as its second byte, "ａ" is 0x8281.
const std::string kHyo = "\x95\x5c";
const std::string kKatakanaA = "\x83\x41";
const std::string kKatakanaSmallA = "\x83\x40";

TEST(WordMatcherTest, MatchesWholeCharactersWithSingleByteCaseFolding) {
    struct TCase {
        std::string Word;
        bool MatchCase;
        std::string Text;
        std::size_t Expected;
    };
    const TCase cases[] = {
        {"msgbox", false, "x = MsgBox(1)", 4},
        {"msgbox", true, "x = MsgBox(1)", TWordMatcher::npos},
        {"MSGBOX", false, "msgbox", 0},
        // A pattern whose bytes lie across two characters is not a hit.
        {"\x5c", true, kHyo + "\x5c", 2},
        {"\x5c"
         "A",
         false, kHyo + "a", TWordMatcher::npos},
        {"A", true, kKatakanaA + "A", 2},
        // The second byte of a double-byte character is never folded.
        {"a", false, kKatakanaA, TWordMatcher::npos},
        {kKatakanaA, false, "\x83\x61", TWordMatcher::npos},
        {kKatakanaA, false, "x" + kKatakanaA, 1},
        {"", false, "anything", TWordMatcher::npos},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Word + " in " + c.Text);
        EXPECT_EQ(TWordMatcher(c.Word, c.MatchCase).Find(c.Text), c.Expected);
    }
}

class ResultsTest : public ::testing::Test {
protected:
    std::vector<TResultEntry> Entries(std::string_view Text, const std::string& Word,
                                      bool MatchCase) {
        Editor->GetLines().SetTextStr(Text);
        return ResultEntries(Editor->ScreenStrings(), TWordMatcher(Word, MatchCase));
    }

    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

TEST_F(ResultsTest, ListsTheHitLinesWithTheirNumbersAndTabsAsTwoSpaces) {
    std::string text;
    for (int line = 1; line <= 7; ++line) {
        text += line == 7 ? "\tMsgBox \"seven\"\r\n" : "Dim a" + std::to_string(line) + "\r\n";
    }
    EXPECT_EQ(Entries(text, "msgbox", false),
              (std::vector<TResultEntry>{{"[0007] :   MsgBox \"seven\"", {.Line = 7}}}));
    EXPECT_TRUE(Entries(text, "msgbox", true).empty());
    EXPECT_EQ(Entries(text, "dim", false).size(), 6U);
    EXPECT_TRUE(Entries(text, "nowhere", false).empty());
    EXPECT_TRUE(Entries(kHyo + "\r\n", "\x5c", true).empty());
}

TEST_F(ResultsTest, AWrappedLineIsOneLineAndFindsWordsAcrossItsRows) {
    Editor->SetWordWrap(true);
    Editor->GetWrapOption().SetWrapByte(20);
    const std::string longLine = std::string(18, 'x') + "needle" + std::string(30, 'y');
    EXPECT_EQ(Entries("first\r\n" + longLine + "\r\nneedle\r\n", "needle", true),
              (std::vector<TResultEntry>{{"[0002] : " + longLine, {.Line = 2}},
                                         {"[0003] : needle", {.Line = 3}}}));
}

// Steps of any size, from any row, list what the whole search lists.
TEST_F(ResultsTest, ASteppedSearchListsWhatTheWholeSearchLists) {
    Editor->GetWrapOption().SetWrapByte(20);
    const std::string longLine = std::string(18, 'x') + "needle" + std::string(30, 'y');
    const std::string text = "needle\r\n" + longLine + "\r\nfirst\r\n" + longLine + "\r\nneedle";
    const TWordMatcher matcher("needle", true);
    for (const bool wrap : {false, true}) {
        Editor->SetWordWrap(wrap);
        Editor->GetLines().SetTextStr(text);
        const TEditorScreenStrings& rows = Editor->ScreenStrings();
        const std::vector<TResultEntry> whole = ResultEntries(rows, matcher);
        ASSERT_EQ(whole.size(), 4U);
        for (const int rowsPerStep : {1, 2, 1000}) {
            SCOPED_TRACE(testing::Message() << "wrap " << wrap << ", step " << rowsPerStep);
            std::vector<TResultEntry> stepped;
            for (int row = 0, steps = 0; row < rows.GetCount(); ++steps) {
                ASSERT_LT(steps, rows.GetCount());
                row = AppendResultEntries(rows, matcher, row, rowsPerStep, stepped);
            }
            EXPECT_EQ(stepped, whole);
        }
        // A row inside a line goes back to the line's start; rows beyond the text read nothing.
        std::vector<TResultEntry> fromWithin;
        EXPECT_EQ(AppendResultEntries(rows, matcher, rows.GetCount() - 2, 1000, fromWithin),
                  rows.GetCount());
        EXPECT_EQ(fromWithin, std::vector<TResultEntry>(whole.end() - 2, whole.end()));
        EXPECT_EQ(AppendResultEntries(rows, matcher, rows.GetCount() + 5, 1, fromWithin),
                  rows.GetCount());
        EXPECT_EQ(fromWithin.size(), 2U);
    }
}

TEST(ResultsEntryTest, NumbersHaveFourDigitsOrAllTheirs) {
    EXPECT_EQ(HitLineEntry(7, "a"), "[0007] : a");
    EXPECT_EQ(HitLineEntry(9999, ""), "[9999] : ");
    EXPECT_EQ(HitLineEntry(12345, "\tb"), "[12345] :   b");
}

TEST(EngineEntryTest, TheEnginesErrorInItsWordsOrInThoseOfTheOwnProblemAtItsPlace) {
    const std::vector<TPlacedProblem> own{{{.Line = 2, .Column = 1}, "first"},
                                          {{.Line = 2, .Column = 9}, "second"},
                                          {{.Line = 5, .Column = 1}, "third"}};
    for (const TEngineVerdict::TOutcome outcome :
         {TEngineVerdict::evCompiled, TEngineVerdict::evUnavailable}) {
        TEngineVerdict verdict;
        verdict.Outcome = outcome;
        EXPECT_EQ(EngineEntry(verdict, own), std::nullopt);
    }
    struct TCase {
        std::optional<TEnginePlace> Place;
        std::string Description;
        TResultEntry Entry;
    };
    const std::vector<TCase> errors = {
        {TEnginePlace{1, 7},
         "Expected 'Then'",
         {"[0002] : (エンジン) Expected 'Then'", {.Line = 2, .Column = 8}}},
        {TEnginePlace{1, 6}, "", {"[0002] : (エンジン) second", {.Line = 2, .Column = 7}}},
        {TEnginePlace{2, 0},
         "",
         {"[0003] : (エンジン) コンパイル エラー", {.Line = 3, .Column = 1}}},
        {std::nullopt, "", {"(エンジン) コンパイル エラー", {}}},
    };
    for (const auto& [place, description, entry] : errors) {
        TEngineVerdict verdict;
        verdict.Outcome = TEngineVerdict::evError;
        verdict.Place = place;
        verdict.Description = description;
        EXPECT_EQ(EngineEntry(verdict, own), entry) << entry.Text;
    }
}

TEST(FindHistoryTest, ReusedWordsMoveToTheTopAndTwentyAreKept) {
    std::vector<std::string> history;
    for (int word = 1; word <= 21; ++word) {
        AddToFindHistory(history, std::string("w").append(std::to_string(word)));
    }
    ASSERT_EQ(history.size(), kFindHistoryMax);
    EXPECT_EQ(history.front(), "w21");
    EXPECT_EQ(history.back(), "w2");

    AddToFindHistory(history, "W10");
    EXPECT_EQ(history.size(), kFindHistoryMax);
    EXPECT_EQ(history[0], "w10") << "the entry keeps its spelling";
    EXPECT_EQ(history[1], "w21");
    EXPECT_EQ(std::ranges::count(history, "w10"), 1);

    AddToFindHistory(history, kKatakanaA);
    AddToFindHistory(history, kKatakanaSmallA);
    EXPECT_EQ(history[0], kKatakanaSmallA) << "double-byte characters have no case";
    EXPECT_EQ(history[1], kKatakanaA);
}

TEST(GoLineTest, TheNumberIsTheDigitsOfTheText) {
    const std::pair<std::string, int> cases[] = {
        {"1,234", 1234}, {"12", 12}, {"abc", -1}, {"", -1}, {"0", 0}, {"2147483647", 2147483647}};
    for (const auto& [text, number] : cases) {
        EXPECT_EQ(LineNumberFromText(text), number) << text;
    }
    EXPECT_THROW(LineNumberFromText("2,147,483,648"), EConvertError);
}

TEST(GoLineTest, GoesToTheLineStartAndKeepsTwoRowsAboveIt) {
    RecordingHost host({400, 13 + 10 * 19});
    std::unique_ptr<TEditor> editor = CreateComponent<TEditor>(nullptr);
    editor->SetHost(&host);
    std::string text;
    for (int line = 1; line <= 40; ++line) {
        text += "  line " + std::to_string(line) + "\r\n";
    }
    editor->GetLines().SetTextStr(text);
    struct TCase {
        int Line;
        int Row;
        int TopRow;
    };
    for (const TCase& c : {TCase{6, 5, 0}, TCase{7, 6, 4}, TCase{1000, 39, 37}}) {
        editor->SetRowCol(20, 3);
        GoToLine(*editor, c.Line);
        EXPECT_EQ((std::pair{editor->GetRow(), editor->GetCol()}), (std::pair{c.Row, 0})) << c.Line;
        EXPECT_EQ(editor->GetTopRow(), c.TopRow) << c.Line;
    }
    editor->SetRowCol(20, 3);
    GoToLine(*editor, 0);
    EXPECT_EQ((std::pair{editor->GetRow(), editor->GetCol()}), (std::pair{20, 3}));
}

// Line 2, "\tx表yz", starts at byte 7; a double-byte character is one column of the count.
TEST(GoLineTest, TheColumnCountsCharactersAndStopsAtTheLineEnd) {
    std::unique_ptr<TEditor> editor = CreateComponent<TEditor>(nullptr);
    editor->GetLines().SetTextStr("first\r\n\tx" + kHyo + "yz\r\nlast\r\n");
    for (const auto& [column, offset] : {std::pair{1, 7}, {4, 11}, {5, 12}, {99, 13}}) {
        GoToLine(*editor, 2, column);
        EXPECT_EQ(editor->GetSelStart(), offset) << column;
    }
}

} // namespace
} // namespace kst
