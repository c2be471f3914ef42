#include "input/editor.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace kst {
namespace {

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        Editor->SetHost(&Host);
        Editor->GetCaret().SetFreeCaret(false);
    }
    void Open(std::string_view Text) {
        Editor->GetLines().SetTextStr(Text);
        Host.ClearRecords();
    }
    // Anchors at (Row, Col) and stretches to (ToRow, ToCol) as Shift+caret keys do.
    void Select(int Row, int Col, int ToRow, int ToCol) {
        Editor->SetRowCol(Row, Col);
        Editor->StartSelection();
        Editor->SetRowCol(ToRow, ToCol);
        Editor->ExtendSelection();
    }
    std::string RowsWithoutSelection() {
        TEditorStringList rows;
        Editor->RowsWithoutSelection(rows);
        std::string described;
        for (int i = 0; i < rows.GetCount(); ++i) {
            described += std::string(rows.GetView(i)) + "@" + std::to_string(rows.GetRowValue(i)) +
                         (rows.GetRowAttribute(i) == raLineBreak ? "|" : ";");
        }
        return described;
    }

    RecordingHost Host{{400, 300}};
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

TEST_F(SelectionTest, SelectingEverythingByOffsetsEndsAtTheTextEnd) {
    Open("abc\r\n\x82\xa0x\r\nlast");
    Editor->SetSelStart(0);
    Editor->SetSelLength(static_cast<int>(Editor->TextLength()));
    EXPECT_EQ(Editor->GetSelText(), "abc\r\n\x82\xa0x\r\nlast");
    EXPECT_EQ(Editor->GetSelLength(), 14);
    EXPECT_EQ(Editor->GetRow(), 2);
    EXPECT_EQ(Editor->GetCol(), 4);
}

TEST_F(SelectionTest, ASelectionAcrossALineBreakCountsItAsTwoBytes) {
    Open("abc\r\ndef\r\n");
    Select(0, 1, 1, 1);
    EXPECT_EQ(Editor->GetSelLength(), 5);
    EXPECT_EQ(Editor->GetSelText(), "bc\r\nd");
    EXPECT_EQ(Editor->GetSelStart(), 1);
    EXPECT_EQ(RowsWithoutSelection(), "aef@2|");
    Select(1, 2, 0, 2) /* backwards */;
    EXPECT_EQ(Editor->GetSelText(), "c\r\nde");
    EXPECT_EQ(Editor->GetSelStart(), 2);
}

TEST_F(SelectionTest, ABoxHoldsTheCharactersWhoseFirstColumnItCovers) {
    Editor->GetCaret().SetTabSpaceCount(4);
    Open("a\tb\r\na\tb\r\n");
    Editor->SetBoxSelection(true);
    Editor->GetCaret().SetInTab(true);
    Select(0, 2, 1, 5);
    EXPECT_EQ(Editor->GetSelText(), "b\r\nb\r\n");
    EXPECT_EQ(Editor->GetSelLength(), 6);
    Select(0, 0, 1, 2);
    EXPECT_EQ(Editor->GetSelText(), "a\t\r\na\t\r\n") << "a tab cut by the right edge is inside";
    EXPECT_EQ(RowsWithoutSelection(), "b@1|b@1|");
}

TEST_F(SelectionTest, ABoxCutsDoubleByteCharactersByTheirFirstColumn) {
    Open("abcdz\r\n\x82\xa0\x82\xa2z\r\n");
    Editor->SetBoxSelection(true);
    Select(0, 1, 1, 4);
    // On the second row column 1 is the second half of あ (outside); column 2 starts い (inside).
    EXPECT_EQ(Editor->GetSelText(), "bcd\r\n\x82\xa2\r\n");
    EXPECT_EQ(RowsWithoutSelection(), "az@2|\x82\xa0z@3|");
}

TEST_F(SelectionTest, BoxModeChangesFireTheEventAndRepaintOnlyWithASelection) {
    Open("abc\r\n");
    int modeChanges = 0;
    Editor->OnSelectionModeChange = [&](TEditor&) { ++modeChanges; };
    Editor->SetBoxSelection(true);
    EXPECT_EQ(modeChanges, 1);
    EXPECT_EQ(Host.WholeInvalidations, 0);
    Editor->SetBoxSelection(true);
    EXPECT_EQ(modeChanges, 1);
    Select(0, 0, 0, 2);
    Editor->SetBoxSelection(false);
    EXPECT_EQ(modeChanges, 2);
    EXPECT_EQ(Host.WholeInvalidations, 1);
    Editor->SetBoxSelection(true);
    Editor->SetSelLength(1);
    EXPECT_FALSE(Editor->GetBoxSelection()) << "a length write leaves box mode";
    EXPECT_EQ(modeChanges, 4);
}

TEST_F(SelectionTest, StretchingRepaintsOnlyTheChangedRowsAndCancellingRepaintsTheSelection) {
    std::string text;
    for (int i = 0; i < 10; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
    }
    Open(text);
    std::vector<bool> events;
    Editor->OnSelectionChange = [&](TEditor&, bool Selected) { events.push_back(Selected); };
    Select(2, 1, 4, 3);
    Host.ClearRecords();
    Editor->SetRowCol(4, 4);
    Editor->ExtendSelection();
    ASSERT_EQ(Host.Invalidations.size(), 1u);
    const int rowHeight = Editor->GetRowHeight();
    EXPECT_EQ(Host.Invalidations[0].Top, Editor->RowTop(4));
    EXPECT_EQ(Host.Invalidations[0].Bottom, Editor->RowTop(4) + rowHeight);
    EXPECT_LT(Host.Invalidations[0].Right - Host.Invalidations[0].Left, 4 * Editor->GetCharWidth());
    Host.ClearRecords();
    Editor->CancelSelection();
    const TRect bounds = Host.InvalidatedBounds();
    EXPECT_EQ(bounds.Top, Editor->RowTop(1));
    EXPECT_EQ(bounds.Bottom, Editor->RowTop(4) + rowHeight + 1);
    EXPECT_EQ(events, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(Editor->GetSelLength(), 0);
    EXPECT_EQ(Editor->GetSelText(), "");
}

TEST_F(SelectionTest, HitsShowAsTheirStyleSays) {
    Open("find the word here\r\n");
    Host.HasFocus = true;
    Editor->WndProc(WM_SETFOCUS, 0, 0);
    Editor->SetRowCol(0, 5);
    Editor->SetHitStyle(hsDraw);
    Editor->SetHitSelection(3);
    EXPECT_EQ(Editor->GetSelectionState(), kSelectionHit);
    EXPECT_EQ(Editor->GetSelLength(), 0) << "a hit is not a selection";
    EXPECT_EQ(Editor->GetHitLength(), 3);
    EXPECT_EQ(Editor->GetSelStart(), 5);

    Editor->SetHitStyle(hsCaret);
    EXPECT_EQ(Editor->GetSelectionState(), kSelectionNone) << "changing the style cancels the hit";
    Editor->SetRowCol(0, 9);
    Editor->SetHitSelection(4);
    EXPECT_EQ(Editor->GetCol(), 9) << "the caret stays at the hit's start";
    EXPECT_EQ(Host.CaretSize.Width, 4 * Editor->GetCharWidth());
    EXPECT_EQ(Host.CaretSize.Height, Editor->GetFontHeight());
    Editor->CancelSelection();
    EXPECT_EQ(Host.CaretSize.Width, 2) << "the normal caret comes back";

    Editor->SetHitStyle(hsSelect);
    Editor->SetHitSelection(4);
    EXPECT_EQ(Editor->GetSelectionState(), kSelectionSelected);
    EXPECT_EQ(Editor->GetSelText(), "word");
}

TEST_F(SelectionTest, CaretMovesAreReportedOnlyWithTheFocus) {
    Open("abc\r\ndef\r\n");
    int moves = 0;
    Editor->OnCaretMoved = [&](TEditor&) { ++moves; };
    Editor->SetRowCol(1, 2);
    EXPECT_EQ(moves, 0);
    Host.HasFocus = true;
    Editor->WndProc(WM_SETFOCUS, 0, 0);
    moves = 0;
    Editor->SetRowCol(0, 1);
    EXPECT_EQ(moves, 1) << "one refresh for a row and column move";
}

TEST_F(SelectionTest, InSelectionFollowsTheNormalRange) {
    Open("abcdef\r\nabcdef\r\n");
    Select(0, 2, 1, 3);
    EXPECT_FALSE(Editor->IsInSelection(0, 1));
    EXPECT_TRUE(Editor->IsInSelection(0, 2));
    EXPECT_TRUE(Editor->IsInSelection(0, 5));
    EXPECT_TRUE(Editor->IsInSelection(1, 0));
    EXPECT_TRUE(Editor->IsInSelection(1, 2));
    EXPECT_FALSE(Editor->IsInSelection(1, 3));
}

TEST_F(SelectionTest, OffsetsCountLineBreaksAndMapBackToPositions) {
    Editor->GetWrapOption().SetWrapByte(20);
    Editor->SetWordWrap(true);
    Open(std::string(25, 'a') + "\r\nxyz");
    EXPECT_EQ(Editor->OffsetFromRow(0, 1, 2), 22);
    EXPECT_EQ(Editor->OffsetFromRow(0, 2, 1), 25 + 2 + 1);
    EXPECT_EQ(Editor->OffsetFromRow(2, 1, 1), 0);
    Editor->SetCaretByOffset(0, 25);
    EXPECT_EQ(Editor->GetRow(), 1) << "a line break offset lands at its row's end";
    EXPECT_EQ(Editor->GetCol(), 5);
    Editor->SetCaretByOffset(0, 1000);
    EXPECT_EQ(Editor->GetRow(), 2);
    EXPECT_EQ(Editor->GetCol(), 3);
    EXPECT_EQ(Editor->TextLength(), 30);
    EXPECT_EQ(Editor->LineCountBefore(2), 1);
}

} // namespace
} // namespace kst
