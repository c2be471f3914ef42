#include "document/wrap.h"
#include "document/wrap_option.h"
#include "lists/string_list.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace kst {
namespace {

// CP932 characters used below.
const std::string kA = "\x82\xA0";           // あ
const std::string kOpenBracket = "\x81\x75"; // 「
const std::string kIdeoComma = "\x81\x41";   // 、
const std::string kIdeoPeriod = "\x81\x42";  // 。
const std::string kLongVowel = "\x81\x5B";   // ー

std::string Repeat(std::string_view Piece, int Times) {
    std::string s;
    for (int i = 0; i < Times; ++i) {
        s += Piece;
    }
    return s;
}

struct OwnedRow {
    std::string Text;
    TRowAttribute Attribute;
};

class WrapTest : public ::testing::Test {
protected:
    WrapContext Context(bool WordWrap = true, int TabSpaceCount = 4) const {
        return {&Options, TabSpaceCount, WordWrap, &Delimiters};
    }

    // The rows of Line, as copies.
    std::vector<OwnedRow> RowsOf(std::string_view Line, bool WordWrap = true) const {
        std::vector<OwnedRow> rows;
        LineWrapper wrapper(Context(WordWrap), Line);
        WrappedRow row;
        while (wrapper.Next(row)) {
            rows.push_back({std::string(row.Text), row.Attribute});
        }
        return rows;
    }

    std::vector<int> RowWidths(std::string_view Line) const {
        std::vector<int> widths;
        for (const OwnedRow& row : RowsOf(Line)) {
            widths.push_back(DisplayWidth(Context(), row.Text));
        }
        return widths;
    }

    TEditorWrapOption Options;
    TCharSet Delimiters = DefaultDelimiters();
};

using Widths = std::vector<int>;

TEST_F(WrapTest, ColumnClassesOfMixedTextWithTabs) {
    EXPECT_EQ(ColumnClassesOf(Context(false), "a\t" + kA + " b_9"), "12334521"
                                                                    "11");
    EXPECT_EQ(ColumnClassesOf(Context(false), "\tx"), "23331");
    EXPECT_EQ(ColumnClassesOf(Context(false, 8), Repeat("a", 18) + "\t"),
              Repeat("1", 18) + "2" + "33333");
    Options.SetWrapByte(20);
    // With wrap on a tab never runs past the wrap column.
    EXPECT_EQ(ColumnClassesOf(Context(true, 8), Repeat("a", 18) + "\tb"), Repeat("1", 18) + "231");
    // The second byte of a double-byte character is taken whatever its value; a lead byte that
    // ends the text is an ordinary byte; NUL is a delimiter.
    EXPECT_EQ(ColumnClassesOf(Context(), "\x82\t"), "45");
    EXPECT_EQ(ColumnClassesOf(Context(), std::string("a\0b\x82", 4)), "1211");
}

TEST_F(WrapTest, ColumnClassesStopAtTheLimitWithoutSplittingACharacter) {
    Options.SetWrapByte(20);
    EXPECT_EQ(ColumnClassesOf(Context(), Repeat("a", 100)).size(), 23u);
    EXPECT_EQ(ColumnClassesOf(Context(), Repeat("a", 22) + kA + "bb"), Repeat("1", 22) + "45");
    EXPECT_EQ(ColumnClassesOf(Context(false), Repeat("a", 1500)).size(), 1000u);
}

TEST_F(WrapTest, DisplayWidthCountsTabStopsAndDoubleByteCharacters) {
    EXPECT_EQ(DisplayWidth(Context(false), "abc" + kA), 5);
    EXPECT_EQ(DisplayWidth(Context(false), "a\tb"), 5);
    EXPECT_EQ(DisplayWidth(Context(false), kA + "\t"), 4);
    EXPECT_EQ(DisplayWidth(Context(false), "\x82\t\t"), 4);
    EXPECT_EQ(DisplayWidth(Context(false), "ab\x82"), 3);
    EXPECT_EQ(DisplayWidth(Context(false), ""), 0);
    Options.SetWrapByte(20);
    EXPECT_EQ(DisplayWidth(Context(false, 8), Repeat("a", 18) + "\t"), 24);
    EXPECT_EQ(DisplayWidth(Context(true, 8), Repeat("a", 18) + "\t"), 20);
    EXPECT_EQ(DisplayWidth(Context(true, 8), Repeat("a", 18) + "\t\t"), 24);
}

TEST_F(WrapTest, CursorStepsByColumnsAndCountsBytes) {
    const std::string text = "a" + kA + "\tb";
    const std::string classes = ColumnClassesOf(Context(false, 6), text);
    ASSERT_EQ(classes, "1452331");
    TEditorAttributeArray c;
    c.Init(text, classes);
    EXPECT_EQ(c.ColumnCount(), 7);
    EXPECT_EQ(c.Position(), 1);
    EXPECT_EQ(c.ByteCount(), 1);
    EXPECT_EQ(c.PeekNextChar(), kA);
    c.MoveTo(3);
    EXPECT_EQ(c.Current(), kClassTrailByte);
    EXPECT_EQ(c.CurrentChar(), kA);
    EXPECT_EQ(c.ByteCount(), 3);
    c.MoveTo(5);
    EXPECT_EQ(c.CurrentChar(), "\t");
    EXPECT_EQ(c.ByteCount(), 4);
    c.MoveTo(100);
    EXPECT_EQ(c.Current(), kClassEnd);
    EXPECT_EQ(c.Position(), 8);
    EXPECT_EQ(c.ByteCount(), 5);
    EXPECT_EQ(c.CurrentChar(), "");
    c.Next();
    EXPECT_EQ(c.Position(), 8);
    c.MoveTo(4);
    EXPECT_EQ(c.ByteCount(), 4);
    c.StepBack(); // from the tab onto the double-byte character's second byte
    EXPECT_EQ(c.Position(), 3);
    c.StepBack(); // over the whole character
    EXPECT_EQ(c.Position(), 1);
    EXPECT_EQ(c.ByteCount(), 1);
    c.Prev();
    EXPECT_EQ(c.Position(), 1);
    c.Init("", "");
    EXPECT_EQ(c.Current(), kClassEnd);
    EXPECT_EQ(c.CurrentChar(), "");
}

TEST(CharList, MatchesWholeCharactersOnly) {
    EXPECT_TRUE(IsCharInList(kIdeoComma, kDefaultFollowStr));
    EXPECT_TRUE(IsCharInList(")", kDefaultFollowStr));
    // "A" is 0x41, the second byte of "、" (0x81 0x41).
    EXPECT_FALSE(IsCharInList("A", kDefaultFollowStr));
    EXPECT_FALSE(IsCharInList("\x81", kDefaultFollowStr));
    EXPECT_FALSE(IsCharInList("", kDefaultFollowStr));
}

TEST_F(WrapTest, LinesThatFitOrFillARowExactly) {
    EXPECT_EQ(RowWidths(Repeat("a", 79)), Widths({79}));
    const std::vector<OwnedRow> rows = RowsOf(Repeat("a", 80));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Attribute, raWrap);
    EXPECT_EQ(rows[0].Text.size(), 80u);
    EXPECT_EQ(rows[1].Attribute, raLineBreak);
    EXPECT_TRUE(rows[1].Text.empty());
    EXPECT_EQ(WrapLineCount(Context(), Repeat("a", 80)), 2);

    Options.SetFollowRetMark(true);
    const std::vector<OwnedRow> kept = RowsOf(Repeat("a", 80));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].Attribute, raLineBreak);
    EXPECT_EQ(WrapLineCount(Context(), Repeat("a", 80)), 1);
    EXPECT_EQ(WrapLineCount(Context(), Repeat("a", 160)), 2);
    EXPECT_EQ(WrapLineCount(Context(false), Repeat("a", 500)), 1);
    EXPECT_EQ(RowWidths(""), Widths({0}));
}

TEST_F(WrapTest, DoubleByteCharacterOnTheWrapColumnMovesDown) {
    EXPECT_EQ(RowWidths(Repeat("a", 79) + kA + "b"), Widths({79, 3}));
    // A lead byte that ends the line is one column of its own.
    EXPECT_EQ(RowWidths(Repeat("a", 79) + "\x82"), Widths({80, 0}));
    EXPECT_EQ(RowWidths(Repeat(kA, 50)), Widths({80, 20}));
}

TEST_F(WrapTest, WordBreakCutsAfterADelimiterOrAtAThird) {
    Options.SetWordBreak(true);
    EXPECT_EQ(RowWidths(Repeat("a", 100)), Widths({26, 74}));
    EXPECT_EQ(RowWidths(Repeat("a", 49) + " " + Repeat("b", 60)), Widths({50, 60}));
    EXPECT_EQ(RowWidths(Repeat("a", 40) + kA + Repeat("b", 60)), Widths({42, 60}));
    EXPECT_EQ(RowWidths(Repeat("a", 40) + "\t" + Repeat("b", 60)), Widths({44, 60}));
    // No break before the wrap column if the line ends right after it.
    EXPECT_EQ(RowWidths(Repeat("a", 80)), Widths({80, 0}));
}

TEST_F(WrapTest, FollowPunctuationHangsAtMostTwoColumns) {
    const std::string line = Repeat("a", 80) + kIdeoPeriod + "bbb";
    EXPECT_EQ(RowWidths(line), Widths({80, 5}));
    Options.SetFollowPunctuation(true);
    EXPECT_EQ(RowWidths(line), Widths({82, 3}));
    EXPECT_EQ(RowWidths(Repeat("a", 80) + ",." + "bbb"), Widths({82, 3}));
    EXPECT_EQ(RowWidths(Repeat("a", 80) + "," + kIdeoComma + "bbb"), Widths({81, 5}));
    EXPECT_EQ(RowWidths(Repeat("a", 79) + kIdeoComma + "bbb"), Widths({81, 3}));
}

TEST_F(WrapTest, LeadingKeepsBracketsAndFollowersWithTheirNeighbours) {
    Options.SetLeading(true);
    EXPECT_EQ(RowWidths(Repeat("a", 78) + kOpenBracket + "bbbb"), Widths({78, 6}));
    // "、" would begin the next row: the character before it goes down with it.
    const std::vector<OwnedRow> rows = RowsOf(Repeat("a", 79) + "b" + kIdeoComma + "cc");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Text, Repeat("a", 79));
    EXPECT_EQ(rows[1].Text, "b" + kIdeoComma + "cc");
    // Pulled down onto a bracket, the row gives up the bracket too.
    EXPECT_EQ(RowWidths(Repeat("a", 77) + kOpenBracket + "b" + kIdeoComma + "cc"), Widths({77, 7}));
    // A run of followers is not pulled down below four fifths of the wrap column.
    EXPECT_EQ(RowWidths(Repeat("a", 50) + Repeat(kLongVowel, 40)), Widths({64, 66}));
    EXPECT_EQ(RowWidths(Repeat(kLongVowel, 50)), Widths({64, 36}));
    Options.SetLeading(false);
    EXPECT_EQ(RowWidths(Repeat("a", 78) + kOpenBracket + "bbbb"), Widths({80, 4}));
}

TEST_F(WrapTest, TabOnTheWrapColumnEndsThereAndTheNextRowHasItsOwnTabStops) {
    const std::string line = Repeat("a", 78) + "\t" + "b\tc";
    const WrapContext context = Context(true, 6);
    EXPECT_EQ(ColumnClassesOf(context, line).substr(76, 6), "112312");
    LineWrapper wrapper(context, line);
    WrappedRow first, second;
    ASSERT_TRUE(wrapper.Next(first));
    ASSERT_TRUE(wrapper.Next(second));
    EXPECT_EQ(first.Text, Repeat("a", 78) + "\t");
    EXPECT_EQ(DisplayWidth(context, first.Text), 80);
    EXPECT_EQ(second.Text, "b\tc");
    EXPECT_EQ(ColumnClassesOf(context, second.Text), "1233331");
}

TEST_F(WrapTest, WrapLineSplitsTextIntoLinesButNeverAtANul) {
    TEditorStringList rows;
    rows.Add("left over");
    WrapLine(Context(false), std::string("a\0b\r\nc\rd\ne\r\n", 12), rows);
    ASSERT_EQ(rows.GetCount(), 4);
    EXPECT_EQ(rows.Get(0), std::string("a\0b", 3));
    EXPECT_EQ(rows.Get(1) + rows.Get(2) + rows.Get(3), "cde");
    EXPECT_EQ(rows.GetRowAttribute(3), raLineBreak);

    WrapLine(Context(false), "", rows);
    ASSERT_EQ(rows.GetCount(), 1);
    EXPECT_EQ(rows.Get(0), "");

    Options.SetWrapByte(20);
    const std::string nuls(45, '\0');
    WrapLine(Context(true), nuls + "\r\nshort", rows);
    ASSERT_EQ(rows.GetCount(), 4);
    EXPECT_EQ(rows.Get(0).size(), 20u);
    EXPECT_EQ(rows.GetRowAttribute(0), raWrap);
    EXPECT_EQ(rows.GetRowAttribute(1), raWrap);
    EXPECT_EQ(rows.Get(2).size(), 5u);
    EXPECT_EQ(rows.GetRowAttribute(2), raLineBreak);
    EXPECT_EQ(rows.Get(3), "short");
}

// Random lines of ASCII, double-byte characters, tabs, punctuation, brackets, NULs and lone lead
// bytes, wrapped under random options.
class WrapProperty : public WrapTest {
protected:
    std::string RandomLine() {
        static const std::vector<std::string> pieces = {
            "a",    "Dim",        "_x1",      " ",         ",",
            ".",    "(",          ")",        "\t",        std::string(1, '\0'),
            kA,     kOpenBracket, kIdeoComma, kIdeoPeriod, kLongVowel,
            "\xA4", "\xA2",       "\x83"};
        const int count = std::uniform_int_distribution<int>(0, 400)(Random);
        std::string line;
        for (int i = 0; i < count; ++i) {
            line +=
                pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(Random)];
        }
        if (Chance()) {
            line += "\x83";
        }
        return line;
    }

    bool Chance() { return std::uniform_int_distribution<int>(0, 1)(Random) == 1; }

    void RandomizeOptions() {
        Options.SetWrapByte(std::uniform_int_distribution<int>(20, 120)(Random));
        Options.SetFollowRetMark(Chance());
        Options.SetFollowPunctuation(Chance());
        Options.SetLeading(Chance());
        Options.SetWordBreak(Chance());
    }

    static std::set<std::size_t> CharacterStarts(std::string_view Line) {
        std::set<std::size_t> starts;
        for (std::size_t i = 0; i <= Line.size();
             i += i < Line.size() ? CharLengthAt(Line, i) : 1) {
            starts.insert(i);
        }
        return starts;
    }

    std::mt19937 Random{20261207};
};

TEST_F(WrapProperty, RowsRebuildTheLineAndRespectTheWrapColumn) {
    for (int round = 0; round < 3000; ++round) {
        RandomizeOptions();
        const WrapContext context =
            Context(true, 2 * std::uniform_int_distribution<int>(1, 4)(Random));
        const std::string line = RandomLine();
        const int wrapByte = Options.GetWrapByte();
        SCOPED_TRACE(::testing::Message() << "round " << round << " wrap " << wrapByte);

        LineWrapper wrapper(context, line);
        const std::set<std::size_t> starts = CharacterStarts(line);
        std::string joined;
        std::vector<WrappedRow> rows;
        WrappedRow row;
        while (wrapper.Next(row)) {
            ASSERT_TRUE(starts.contains(joined.size()));
            joined += row.Text;
            rows.push_back(row);
        }
        ASSERT_EQ(joined, line);
        ASSERT_EQ(static_cast<int>(rows.size()), WrapLineCount(context, line));
        for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
            ASSERT_EQ(rows[i].Attribute, raWrap);
            ASSERT_FALSE(rows[i].Text.empty());
            ASSERT_LE(DisplayWidth(context, rows[i].Text), wrapByte + 2);
        }
        ASSERT_EQ(rows.back().Attribute, raLineBreak);
        const int lastWidth = DisplayWidth(context, rows.back().Text);
        ASSERT_LE(lastWidth, Options.GetFollowRetMark() ? wrapByte + 2 : wrapByte - 1);
        if (FitsInOneRow(context, line)) {
            ASSERT_EQ(rows.size(), 1u);
        } else if (!Options.GetFollowRetMark()) {
            ASSERT_GE(rows.size(), 2u);
        }
    }
}

TEST_F(WrapProperty, WithoutRulesEveryWrappedRowEndsOnTheWrapColumn) {
    for (int round = 0; round < 1000; ++round) {
        Options.SetWrapByte(std::uniform_int_distribution<int>(20, 120)(Random));
        const WrapContext context =
            Context(true, 2 * std::uniform_int_distribution<int>(1, 4)(Random));
        const std::string line = RandomLine();
        const int wrapByte = Options.GetWrapByte();
        LineWrapper wrapper(context, line);
        WrappedRow row;
        std::string_view rest = line;
        while (wrapper.Next(row) && row.Attribute == raWrap) {
            rest.remove_prefix(row.Text.size());
            const int width = DisplayWidth(context, row.Text);
            // One column short only when a double-byte character straddles the wrap column.
            if (width != wrapByte) {
                ASSERT_EQ(width, wrapByte - 1);
                ASSERT_FALSE(rest.empty());
                ASSERT_EQ(CharLengthAt(rest, 0), 2u);
            }
        }
    }
}

TEST_F(WrapProperty, WithWrapOffEachLineIsOneRow) {
    for (int round = 0; round < 200; ++round) {
        const std::string line = RandomLine();
        const std::vector<OwnedRow> rows = RowsOf(line, false);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].Text, line);
        EXPECT_EQ(rows[0].Attribute, raLineBreak);
    }
}

} // namespace
} // namespace kst
