#include "input/editor.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace kst {
namespace {

// "あいう" in CP932.
const std::string kAiu = "\x82\xa0\x82\xa2\x82\xa4";

class CaretTest : public ::testing::Test {
protected:
    void SetUp() override { Editor->SetHost(&Host); }
    void Open(std::string_view Text) { Editor->GetLines().SetTextStr(Text); }
    void Options(bool FreeCaret, bool FreeRow, bool KeepCaret) {
        TEditorCaret& caret = Editor->GetCaret();
        caret.SetFreeCaret(FreeCaret);
        caret.SetFreeRow(FreeRow);
        caret.SetKeepCaret(KeepCaret);
    }
    std::pair<int, int> Caret() const { return {Editor->GetRow(), Editor->GetCol()}; }

    RecordingHost Host{{400, 300}};
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

TEST_F(CaretTest, DoubleByteCharactersAreSteppedOverWhole) {
    Options(false, false, false);
    Open(kAiu + "\r\n");
    Editor->SetCol(1);
    EXPECT_EQ(Caret(), (std::pair{0, 2})) << "moving right off column 0 lands after the character";
    Editor->SetCol(1);
    EXPECT_EQ(Caret(), (std::pair{0, 0})) << "moving left lands before it";
    Editor->SetRowCol(0, 3);
    EXPECT_EQ(Caret(), (std::pair{0, 2})) << "SetRowCol resolves backwards";
}

TEST_F(CaretTest, RulerMarkFollowsTheCaretColumn) {
    Editor->GetRuler().SetVisible(true);
    Editor->GetRuler().SetMarkColor(clNavy);
    Open("abcdefghij");
    Editor->SetRowCol(0, 3);
    Editor->Paint(Host.Canvas, {0, 0, 400, 300});
    const int y = 2;
    const TColor unmarked = Host.Canvas.GetPixel({Editor->ColumnLeft(2) + 3, y});
    ASSERT_EQ(Host.Canvas.GetPixel({Editor->ColumnLeft(3) + 3, y}), clNavy);

    Editor->SetCol(5);
    EXPECT_EQ(Host.Canvas.GetPixel({Editor->ColumnLeft(3) + 3, y}), unmarked);
    EXPECT_EQ(Host.Canvas.GetPixel({Editor->ColumnLeft(5) + 3, y}), clNavy);
}

TEST_F(CaretTest, TabColumnsAreLegalOnlyWithInTab) {
    Options(false, false, false);
    Editor->GetCaret().SetTabSpaceCount(4);
    Open("\tx\r\n");
    for (int col = 0; col <= 6; ++col) {
        Editor->SetRowCol(0, 0);
        Editor->SetRowCol(0, col);
        const int expected = col == 0 ? 0 : col < 4 ? 0 : std::min(col, 5);
        EXPECT_EQ(Editor->GetCol(), expected) << "column " << col;
    }
    Editor->GetCaret().SetInTab(true);
    Editor->SetRowCol(0, 2);
    EXPECT_EQ(Editor->GetCol(), 2);
}

TEST_F(CaretTest, FreeRowKeepsTheColumnOnVerticalMovesOnly) {
    Options(false, true, false);
    Open(std::string(30, 'a') + "\r\nshort\r\n" + std::string(30, 'b') + "\r\n");
    Editor->SetRowCol(0, 20);
    Editor->SetRow(1);
    EXPECT_EQ(Caret(), (std::pair{1, 20})) << "Down keeps column 20 past the short row's end";
    Editor->SetCol(21);
    EXPECT_EQ(Caret(), (std::pair{1, 5})) << "a horizontal move clamps to the row's end";
}

TEST_F(CaretTest, KeepCaretReturnsToTheColumnBeforeAShortRow) {
    Options(false, false, true);
    Open(std::string(30, 'a') + "\r\nshort\r\n" + std::string(30, 'b') + "\r\n");
    Editor->SetRowCol(0, 20);
    Editor->SetRow(1);
    EXPECT_EQ(Caret(), (std::pair{1, 5}));
    Editor->SetRow(2);
    EXPECT_EQ(Caret(), (std::pair{2, 20}));
}

TEST_F(CaretTest, VerticalMovesAcrossADoubleByteCharacterReturnToTheirColumn) {
    Options(false, false, false);
    Open("abcd\r\n" + kAiu + "\r\nabcd\r\n");
    Editor->SetRowCol(0, 3);
    Editor->SetRow(1);
    EXPECT_EQ(Caret(), (std::pair{1, 2}));
    Editor->SetRow(2);
    EXPECT_EQ(Caret(), (std::pair{2, 3}));
}

TEST_F(CaretTest, TheRowAfterTheTextExistsOnlyAfterAFinalLineBreak) {
    Options(false, false, false);
    Open("ab\r\ncd");
    Editor->SetRow(5);
    EXPECT_EQ(Editor->GetRow(), 1);
    Open("ab\r\ncd\r\n");
    Editor->SetRow(5);
    EXPECT_EQ(Caret(), (std::pair{2, 0}));
}

// A free caret goes as far as the longest row, and at least to column 1000.
TEST_F(CaretTest, ColumnLimitFollowsTheLongestRow) {
    Options(true, false, false);
    Open("x\r\n");
    Editor->SetRowCol(0, 5000);
    EXPECT_EQ(Editor->GetCol(), 1000);
    Open("x\r\n" + std::string(1999, 'a') + kAiu.substr(0, 2) + "\r\n");
    Editor->SetRowCol(0, 5000);
    EXPECT_EQ(Editor->GetCol(), 2001);
    Editor->SetRowCol(1, 2000);
    EXPECT_EQ(Editor->GetCol(), 1999) << "never inside a double-byte character";
}

TEST_F(CaretTest, WrappedRowsNeverHoldTheCaretAtTheirEnd) {
    Options(false, false, false);
    Editor->GetWrapOption().SetWrapByte(20);
    Editor->SetWordWrap(true);
    Open(std::string(30, 'a') + "\r\n");
    ASSERT_EQ(Editor->GetScreenStringsPtr()->GetRowAttribute(0), raWrap);
    Editor->SetRowCol(0, 25);
    EXPECT_EQ(Caret(), (std::pair{0, 19}));
    Editor->SetCaretByOffset(0, 20);
    EXPECT_EQ(Caret(), (std::pair{1, 0}))
        << "the offset after a wrapped row is the next row's start";
}

} // namespace
} // namespace kst
