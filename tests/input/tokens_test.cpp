#include "document/wrap.h"
#include "fountain/token_kind.h"
#include "input/editor.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kst {
namespace {

using Position = std::pair<int, int>;

// "あいう" in CP932.
const std::string kAiu = "\x82\xa0\x82\xa2\x82\xa4";

class TokensTest : public ::testing::Test {
protected:
    void SetUp() override { Editor->SetHost(&Host); }
    void Open(std::string_view Text) { Editor->GetLines().SetTextStr(Text); }
    void Wrap() {
        Editor->GetWrapOption().SetWrapByte(20);
        Editor->SetWordWrap(true);
    }
    std::string Row(int Index) const { return Editor->ScreenStrings().Get(Index); }
    Position Caret() const { return {Editor->GetRow(), Editor->GetCol()}; }

    // The stops Ctrl+Right (Direction 1) or Ctrl+Left (-1) visits from a position until none.
    std::vector<Position> Stops(Position From, int Direction) {
        std::vector<Position> stops;
        auto [row, col] = From;
        while (Editor->NextTokenPos(row, col, Direction) && stops.size() < 100) {
            stops.emplace_back(row, col);
        }
        return stops;
    }

    // A client point on the left half of a cell.
    TPoint PointAt(int Row, int Col) const {
        return {Editor->ColumnLeft(Col) + 1, Editor->RowTop(Row) + 1};
    }
    std::pair<std::string, int> TokenAt(int Row, int Col, bool UseFountain = true) {
        std::string text = "stale";
        int kind = -1;
        Editor->TokenFromPos(PointAt(Row, Col), UseFountain, text, false, kind);
        return {text, kind};
    }

    RecordingHost Host{{400, 300}};
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

TEST_F(TokensTest, CtrlRightPassesOperatorsUnlessTokenEndsAreStops) {
    Open("x = foo(bar) + 12\r\nnext\r\n");
    EXPECT_EQ(Stops({0, 0}, 1),
              (std::vector<Position>{{0, 4}, {0, 8}, {0, 15}, {0, 17}, {1, 0}, {1, 4}, {2, 0}}));
    Editor->GetCaret().SetTokenEndStop(true);
    EXPECT_EQ(Stops({0, 0}, 1), (std::vector<Position>{{0, 1},
                                                       {0, 2},
                                                       {0, 3},
                                                       {0, 4},
                                                       {0, 7},
                                                       {0, 8},
                                                       {0, 11},
                                                       {0, 12},
                                                       {0, 13},
                                                       {0, 14},
                                                       {0, 15},
                                                       {0, 17},
                                                       {1, 0},
                                                       {1, 4},
                                                       {2, 0}}));
}

TEST_F(TokensTest, CtrlLeftStopsAtTokenStartsOrAlsoAtTheirEnds) {
    Open("x = foo(bar)");
    EXPECT_EQ(Stops({0, 12}, -1), (std::vector<Position>{{0, 8}, {0, 4}, {0, 0}}));
    Editor->GetCaret().SetTokenEndStop(true);
    EXPECT_EQ(
        Stops({0, 12}, -1),
        (std::vector<Position>{{0, 11}, {0, 8}, {0, 7}, {0, 4}, {0, 3}, {0, 2}, {0, 1}, {0, 0}}));
}

TEST_F(TokensTest, TheEndOfTheTextStopsCtrlRightOnlyWithoutAFinalLineBreak) {
    Open("abc");
    int row = 0;
    int col = 3;
    EXPECT_FALSE(Editor->NextTokenPos(row, col, 1));
    EXPECT_EQ((Position{row, col}), (Position{0, 3}));

    Open("abc\r\n");
    EXPECT_TRUE(Editor->NextTokenPos(row, col, 1));
    EXPECT_EQ((Position{row, col}), (Position{1, 0})) << "the empty row after the line break";
    EXPECT_FALSE(Editor->NextTokenPos(row, col, 1)) << "that row is past the stored rows";
}

TEST_F(TokensTest, CtrlLeftAtColumnZeroStopsAtALineEndButEntersAWrappedRow) {
    Open("abc def\r\n  xyz\r\n");
    EXPECT_EQ(Stops({1, 0}, -1), (std::vector<Position>{{0, 7}, {0, 4}, {0, 0}}));
    EXPECT_EQ(Stops({1, 2}, -1), (std::vector<Position>{{0, 7}, {0, 4}, {0, 0}}))
        << "before the first token of a row Ctrl+Left goes to the end of the row above";

    Open("alpha beta gamma delta epsilon\r\n");
    Wrap();
    ASSERT_EQ(Row(0), "alpha beta gamma del");
    ASSERT_EQ(Row(1), "ta epsilon");
    EXPECT_EQ(Stops({1, 0}, -1), (std::vector<Position>{{0, 17}, {0, 11}, {0, 6}, {0, 0}}));
    EXPECT_EQ(Stops({0, 17}, 1), (std::vector<Position>{{1, 0}, {1, 3}, {1, 10}, {2, 0}}))
        << "the tokens of a wrapped row go on at the start of its continuation";
}

TEST_F(TokensTest, StopsAreDisplayColumnsWithTabsExpanded) {
    Editor->GetCaret().SetTabSpaceCount(4);
    Open("\tfoo\tbar\r\n");
    EXPECT_EQ(Stops({0, 0}, 1), (std::vector<Position>{{0, 4}, {0, 8}, {0, 11}, {1, 0}}));
    Open(kAiu + " abc\r\n");
    EXPECT_EQ(Stops({0, 0}, 1), (std::vector<Position>{{0, 7}, {0, 10}, {1, 0}}));
}

TEST_F(TokensTest, TheTokenUnderAPointIsTheWholeWordOfItsLine) {
    Open("dim value = 10\r\n");
    EXPECT_EQ(TokenAt(0, 6), (std::pair<std::string, int>{"value", tokAnkWord}));
    EXPECT_EQ(TokenAt(0, 12), (std::pair<std::string, int>{"10", tokInteger}));
    EXPECT_EQ(TokenAt(0, 3), (std::pair<std::string, int>{"", 0})) << "a blank is no token";
    EXPECT_EQ(TokenAt(0, 14), (std::pair<std::string, int>{"", 0})) << "past the row's end";
    EXPECT_EQ(TokenAt(3, 0), (std::pair<std::string, int>{"", 0})) << "below the rows";

    Open(std::string(26, 'w') + "\r\n");
    Wrap();
    ASSERT_EQ(Row(1).size(), 6U);
    EXPECT_EQ(TokenAt(1, 2).first, std::string(26, 'w'))
        << "a word cut by word wrap is read from its whole line";
}

TEST_F(TokensTest, TheFountainDecidesTokensOnlyWhenAskedTo) {
    Editor->GetView().SetCommenter("'");
    Open("x = 1 ' note\r\n");
    EXPECT_EQ(TokenAt(0, 9, true), (std::pair<std::string, int>{"' note", tokComment}));
    EXPECT_EQ(TokenAt(0, 9, false), (std::pair<std::string, int>{"note", tokAnkWord}));
}

TEST_F(TokensTest, PointsOnTheSecondHalfOfACharacterOrInATabFindThatCharacter) {
    Editor->GetCaret().SetTabSpaceCount(4);
    Open(kAiu + "\tx\r\n");
    EXPECT_EQ(TokenAt(0, 3), (std::pair<std::string, int>{kAiu, tokHiragana}));
    EXPECT_EQ(TokenAt(0, 7), (std::pair<std::string, int>{"\t", tokTab}));
    EXPECT_EQ(TokenAt(0, 8), (std::pair<std::string, int>{"x", tokAnkWord}));
}

TEST_F(TokensTest, SelectingATokenLeavesTheCaretAtItsEnd) {
    Open("dim value = 10\r\nnext line\r\n");
    Editor->SelectTokenFromPos(PointAt(0, 6), true, false);
    EXPECT_EQ(Editor->GetSelText(), "value");
    EXPECT_EQ(Caret(), (Position{0, 9}));

    Editor->SelectTokenFromPos(PointAt(1, 2), true, false);
    EXPECT_EQ(Editor->GetSelText(), "next") << "an earlier selection does not shift the new one";
    EXPECT_EQ(Caret(), (Position{1, 4}));

    Editor->SelectTokenFromPos(PointAt(1, 20), true, false);
    EXPECT_EQ(Editor->GetSelText(), "next") << "a point past the row's end changes nothing";

    Editor->CancelSelection();
    Editor->SetRowCol(0, 12);
    Editor->SelectTokenAtCaret();
    EXPECT_EQ(Editor->GetSelText(), "10");
    EXPECT_EQ(Caret(), (Position{0, 14}));
}

TEST_F(TokensTest, SelectingATokenOfAWrappedLineCountsTheRowsBeforeIt) {
    Open("alpha beta gamma delta epsilon\r\n");
    Wrap();
    ASSERT_EQ(Row(1), "ta epsilon");
    Editor->SelectTokenFromPos(PointAt(1, 5), true, false);
    EXPECT_EQ(Editor->GetSelText(), "epsilon");
    EXPECT_EQ(Editor->GetSelStart(), 23);
    EXPECT_EQ(Caret(), (Position{1, 10}));
    Editor->SelectTokenFromPos(PointAt(1, 0), true, false);
    EXPECT_EQ(Editor->GetSelText(), "delta") << "a word cut by the wrap is selected whole";
    EXPECT_EQ(Caret(), (Position{1, 2}));
}

TEST_F(TokensTest, MalformedBytesNeitherStopTheStepsNorSplitCharacters) {
    const std::vector<std::string> rows{std::string("ab\0cd", 5), "ab\x81", "\x81\tz q",
                                        "x\x82 y\x82", std::string("\0\0", 2)};
    for (const std::string& text : rows) {
        Open(text + "\r\nend\r\n");
        const std::string classes = ColumnClassesOf(Editor->ScreenStrings().GetWrapContext(),
                                                    Editor->ScreenStrings().GetView(0));
        for (const int direction : {1, -1}) {
            const Position from = direction > 0 ? Position{0, 0} : Position{1, 0};
            const std::vector<Position> stops = Stops(from, direction);
            ASSERT_LT(stops.size(), 100U) << "steps must end";
            for (const auto& [row, col] : stops) {
                Editor->SetRowCol(row, col);
                const int caret = Editor->GetCol();
                EXPECT_TRUE(caret >= static_cast<int>(classes.size()) || row != 0 ||
                            classes[caret] != kClassTrailByte);
            }
        }
        for (int col = 0; col < static_cast<int>(classes.size()); ++col) {
            Editor->CancelSelection();
            Editor->SelectTokenFromPos(PointAt(0, col), true, true);
            EXPECT_NE(classes[Editor->GetCol()], kClassTrailByte);
        }
    }
    Open(std::string("ab\0cd", 5));
    EXPECT_EQ(Stops({0, 0}, 1), (std::vector<Position>{{0, 3}, {0, 5}}))
        << "a NUL byte is an ordinary symbol";
}

TEST_F(TokensTest, GotoRowMarkBringsAnOffScreenMarkToTheMiddle) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "row " + std::to_string(i) + "\r\n";
    }
    Open(text);
    const int visible = Editor->GetVisibleRows();
    ASSERT_GT(visible, 6);
    ASSERT_LT(visible, 100);
    Editor->SetRowCol(2, 5);

    Editor->GotoRowMark(4);
    EXPECT_EQ(Caret(), (Position{2, 5})) << "no row carries mark 4";
    EXPECT_EQ(Editor->GetTopRow(), 0);

    Editor->PutRowMark(150, 4);
    Editor->GotoRowMark(4);
    EXPECT_EQ(Editor->GetTopRow(), 150 - visible / 2);
    EXPECT_EQ(Caret(), (Position{150, 5}));

    Editor->PutRowMark(152, 12);
    Editor->GotoRowMark(12);
    EXPECT_EQ(Editor->GetTopRow(), 150 - visible / 2) << "a visible mark does not scroll";
    EXPECT_EQ(Editor->GetRow(), 152);

    Editor->GotoRowMark(16);
    Editor->GotoRowMark(-1);
    EXPECT_EQ(Editor->GetRow(), 152) << "no such marks";
}

TEST_F(TokensTest, DigitMarksLiveOnOneRowOtherMarksOnMany) {
    Open("a\r\nb\r\nc\r\nd\r\n");
    TEditorScreenStrings& rows = Editor->ScreenStrings();
    Editor->PutRowMark(1, 3);
    Editor->PutRowMark(2, 3);
    EXPECT_EQ(rows.GetRowMarks(1), 0);
    EXPECT_EQ(rows.GetRowMarks(2), 1 << 3);
    EXPECT_EQ(rows.GetUsedMarks(), 1 << 3);

    Editor->PutRowMark(0, 10);
    Editor->PutRowMark(3, 10);
    Editor->PutRowMark(3, 15);
    EXPECT_EQ(rows.GetRowMarks(0), 1 << 10);
    EXPECT_EQ(rows.GetRowMarks(3), (1 << 10) | (1 << 15));

    Editor->DeleteRowMark(3, 10);
    EXPECT_EQ(rows.GetRowMarks(3), 1 << 15);
    EXPECT_EQ(rows.GetRowMarks(0), 1 << 10);

    Editor->PutRowMark(9, 3);
    EXPECT_EQ(rows.GetRowMarks(2), 0) << "a digit mark leaves its row even for an invalid one";
    Editor->PutRowMark(0, 16);
    Editor->PutRowMark(-1, 11);
    Editor->DeleteRowMark(7, 15);
    EXPECT_EQ(rows.GetRowMarks(0), 1 << 10);
    EXPECT_EQ(rows.GetRowMarks(3), 1 << 15);
}

TEST_F(TokensTest, MarkChangesRepaintTheImageBar) {
    Open("a\r\nb\r\n");
    Editor->GetImagebar().SetVisible(true);
    Host.ClearRecords();
    const int before = Host.WholeInvalidations;
    Editor->PutRowMark(1, 2);
    EXPECT_GT(Host.WholeInvalidations, before);
    const int afterPut = Host.WholeInvalidations;
    Editor->PutRowMark(1, 2);
    Editor->DeleteRowMark(0, 2);
    EXPECT_EQ(Host.WholeInvalidations, afterPut) << "nothing changed, nothing repainted";
    Editor->DeleteRowMark(1, 2);
    EXPECT_GT(Host.WholeInvalidations, afterPut);
}

} // namespace
} // namespace kst
