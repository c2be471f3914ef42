#include "core/messages.h"
#include "display/paint_bitmaps.h"
#include "display/test_view.h"
#include "fountain/editor_fountain.h"
#include "support/default_layout.h"
#include "support/recording_host.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace kst {
namespace {

class ViewTest : public ::testing::Test {
protected:
    void Send(unsigned Msg, std::uintptr_t WParam = 0) {
        EXPECT_TRUE(View->WndProc(Msg, WParam, 0).has_value()) << "message " << Msg;
    }
    void Open(std::string_view Text) {
        View->GetLines().SetTextStr(Text);
        Host.ClearRecords();
    }
    void Focus() {
        Host.HasFocus = true;
        Send(WM_SETFOCUS);
    }

    RecordingHost Host{{400, 300}};
    std::unique_ptr<TTestView> View = CreateComponent<TTestView>(nullptr);
};

class ViewInWindowTest : public ViewTest {
protected:
    void SetUp() override { View->SetHost(&Host); }
};

TEST_F(ViewTest, UndoListMaxNeverGoesBelow64) {
    View->SetUndoListMax(10);
    EXPECT_EQ(View->GetUndoListMax(), 64);
    View->SetUndoListMax(200);
    EXPECT_EQ(View->GetUndoListMax(), 200);
}

TEST_F(ViewInWindowTest, MeasuresTheFontWhenTheWindowExists) {
    EXPECT_EQ(Host.Canvas.SelectedFont.Name, "FixedSys");
    EXPECT_EQ(View->GetRowHeight(), kRowHeight);
    EXPECT_EQ(View->GetCharWidth(), kCharWidth);
    EXPECT_EQ(View->GetTextLeft(), kTextLeft);
    EXPECT_EQ(View->GetTextTop(), kTextTop);
    EXPECT_EQ(View->GetVisibleRows(), (300 - kTextTop - 5) / kRowHeight);
    EXPECT_EQ(View->GetVisibleCols(), (400 - kTextLeft - kCharWidth / 2) / kCharWidth);

    View->GetMarks().GetUnderline().SetVisible(true);
    EXPECT_EQ(View->GetRowHeight(), kRowHeight + 1);
    View->GetRuler().SetVisible(true);
    EXPECT_EQ(View->GetTextTop(), kTextTop + 11);
    View->SetScrollBars(ssBoth);
    EXPECT_TRUE(Host.Bars(TScrollBarKind::Vertical).Shown);
    EXPECT_TRUE(Host.Bars(TScrollBarKind::Horizontal).Shown);
    EXPECT_EQ(View->GetVisibleRows(), (300 - kTextTop - 11 - 5 - 16) / (kRowHeight + 1));
}

// On a screen scaled to 150 % or 200 % the design's pixels grow with it: the margins (left 19,
// top 2, and line 2 set here), the left bar's (8 and 4), the ruler and the caret, and the ruler's
// digits are those drawn for the scale. The font is sized by its owner in points; the image bar
// (12) and the one-pixel lines stay as they are.
TEST_F(ViewInWindowTest, PixelSizesFollowTheScreensDotsPerInch) {
    struct TScaled {
        int Dpi;
        int RulerHeight;
        int TextTop;
        int TextLeft;
        int RowHeight;
        int CaretWidth;
    };
    const TScaled kTable[] = {
        {144, 17, 3 + 17, 29 + 12 + 12 + 4 * kCharWidth + 6 + 2, kRowHeight + 3, 3},
        {192, 22, 4 + 22, 38 + 12 + 16 + 4 * kCharWidth + 8 + 2, kRowHeight + 4, 4},
        {96, 11, 2 + 11, 19 + 12 + 8 + 4 * kCharWidth + 4 + 2, kRowHeight + 2, 2},
    };
    View->GetMargin().SetLine(2);
    View->GetRuler().SetVisible(true);
    View->GetLeftbar().SetVisible(true);
    Focus();
    for (const TScaled& scaled : kTable) {
        SCOPED_TRACE(scaled.Dpi);
        Host.DotsPerInch = scaled.Dpi;
        Send(WM_DPICHANGED_AFTERPARENT);
        EXPECT_EQ(View->GetRulerHeight(), scaled.RulerHeight);
        EXPECT_EQ(View->GetTextTop(), scaled.TextTop);
        EXPECT_EQ(View->GetTextLeft(), scaled.TextLeft);
        EXPECT_EQ(View->GetRowHeight(), scaled.RowHeight);
        EXPECT_EQ(Host.CaretSize, (TSize{scaled.CaretWidth, kRowHeight}));
        // The digits fit above the ruler's edge.
        EXPECT_LE(RulerDigitsAt(DrawnScalePercent(scaled.Dpi)).StripSize.Height,
                  scaled.RulerHeight - 2);
    }
}

TEST_F(ViewInWindowTest, TopRowIsClampedToTheRows) {
    Open(NumberedLines(100));
    View->SetTopRow(-5);
    EXPECT_EQ(View->GetTopRow(), 0);
    View->SetTopRow(500);
    EXPECT_EQ(View->GetTopRow(), 100);
}

TEST_F(ViewInWindowTest, ScrollingOneRowMovesPixelsAndRepaintsOneRow) {
    Open(NumberedLines(100));
    View->SetScrollBars(ssVertical);
    View->SetRowCol(5, 3);
    Host.ClearRecords();

    Send(WM_VSCROLL, SB_LINEDOWN);

    EXPECT_EQ(View->GetTopRow(), 1);
    ASSERT_EQ(Host.Scrolls.size(), 1u);
    EXPECT_EQ(Host.Scrolls[0].Dy, -kRowHeight);
    EXPECT_EQ(Host.Scrolls[0].Scroll.Top, kTextTop);
    EXPECT_EQ(Host.WholeInvalidations, 0);
    EXPECT_EQ(Host.InvalidatedBounds().Height(), kRowHeight);
    EXPECT_EQ(Host.Bars(TScrollBarKind::Vertical).Range.Position, 1);
    EXPECT_EQ(View->TopRowChanges, 1);
    // The input method's window follows the caret.
    EXPECT_EQ(Host.CompositionPos, (TPoint{kTextLeft + 3 * kCharWidth, kTextTop + 4 * kRowHeight}));
    EXPECT_EQ(Host.CompositionFont.Name, "FixedSys");

    // A jump of more than a screen keeps no pixels: the text area is repainted once.
    Host.ClearRecords();
    View->SetTopRow(60);
    EXPECT_TRUE(Host.Scrolls.empty());
    EXPECT_EQ(Host.InvalidatedBounds().Top, kTextTop);
    EXPECT_EQ(Host.InvalidatedBounds().Bottom, Host.Client.Height);

    // Scrolling up at the top does nothing.
    View->SetTopRow(0);
    Host.ClearRecords();
    Send(WM_VSCROLL, SB_LINEUP);
    EXPECT_TRUE(Host.Scrolls.empty());
    EXPECT_EQ(View->TopRowChanges, 3);
}

TEST_F(ViewInWindowTest, ScrollBarRequestsMoveTheView) {
    Open(NumberedLines(100));
    View->SetScrollBars(ssBoth);
    const int rows = View->GetVisibleRows();
    Send(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(View->GetTopRow(), rows);
    Send(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(View->GetTopRow(), 100);
    Send(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(View->GetTopRow(), 0);
    Send(WM_VSCROLL, SB_ENDSCROLL);
    EXPECT_EQ(View->GetTopRow(), 0);
    const TScrollRange vertical = Host.Bars(TScrollBarKind::Vertical).Range;
    EXPECT_EQ(vertical.Max, 100 + rows - 1);
    EXPECT_EQ(vertical.Page, rows);

    Send(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(View->GetTopCol(), 1);
    EXPECT_EQ(View->GetLeftOffset(), kCharWidth);
    Host.Bars(TScrollBarKind::Horizontal).TrackPosition = 20;
    Send(WM_HSCROLL, SB_THUMBTRACK | (20u << 16));
    EXPECT_EQ(View->GetTopCol(), 20);
    Send(WM_HSCROLL, SB_RIGHT);
    EXPECT_EQ(View->GetTopCol(), kMaxCol - View->GetVisibleCols() / 2);
    EXPECT_EQ(Host.Bars(TScrollBarKind::Horizontal).Range.Position, View->GetTopCol());

    // With LockScroll the caret row moves along.
    View->GetCaret().SetLockScroll(true);
    View->SetRowCol(5, 0);
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(View->GetRow(), 6);
}

TEST_F(ViewInWindowTest, ThumbTrackingUsesTheFullTrackPosition) {
    std::string text;
    for (int i = 0; i < 70000; ++i) {
        text += "x\r\n";
    }
    Open(text);
    View->SetScrollBars(ssVertical);
    Host.Bars(TScrollBarKind::Vertical).TrackPosition = 69000;
    Send(WM_VSCROLL, SB_THUMBTRACK | ((69000u & 0xFFFF) << 16));
    EXPECT_EQ(View->GetTopRow(), 69000);
    EXPECT_EQ(Host.Bars(TScrollBarKind::Vertical).Range.Position, 69000);
}

// The line numbers below an edit are repainted only when lines may have moved; the row past the
// text, whose number goes when the last line (row 9) loses its line break, is repainted with the
// edit.
TEST_F(ViewInWindowTest, LineNumbersBelowAnEditRepaintOnlyWhenLinesMayMove) {
    struct TCase {
        const char* Name;
        bool WordWrap;
        int Row;
        const char* Text;
        bool NumbersRepainted;
    };
    const TCase cases[] = {
        {"typing inside a line", false, 3, "line 3x\r\n", false},
        {"the last line losing its line break", false, 9, "line 9x", false},
        {"a new line", false, 3, "line 3\r\nx\r\n", true},
        {"typing with word wrap", true, 3, "line 3x\r\n", true},
    };
    for (const TCase& each : cases) {
        SCOPED_TRACE(each.Name);
        View->SetWordWrap(each.WordWrap);
        View->GetLeftbar().SetVisible(true);
        View->GetLeftbar().SetShowNumberMode(nmLine);
        Open(NumberedLines(10));
        View->ScreenStrings().UpdateRows(each.Row, 1, each.Text);
        const int barLeft = View->GetImagebarWidth();
        const int barRight = barLeft + View->GetLeftbarWidth();
        const auto repainted = [&](auto Covers) {
            return std::ranges::any_of(Host.Invalidations, Covers);
        };
        EXPECT_EQ(repainted([&](const TRect& Area) {
                      return Area.Left == barLeft && Area.Right == barRight;
                  }),
                  each.NumbersRepainted);
        if (each.Row != 9) {
            continue;
        }
        const int pastText = kTextTop + View->ScreenStrings().GetCount() * kRowHeight;
        EXPECT_TRUE(repainted([&](const TRect& Area) {
            return Area.Left <= barLeft && Area.Right >= barRight && Area.Top <= pastText &&
                   Area.Bottom > pastText;
        })) << "the row past the text";
    }
}

TEST_F(ViewInWindowTest, OneCharacterEditInvalidatesOnlyItsRow) {
    Open(NumberedLines(50));

    View->ScreenStrings().UpdateRows(3, 1, "line 3x\r\n");

    EXPECT_EQ(View->Changes, 1);
    EXPECT_TRUE(View->GetModified());
    EXPECT_TRUE(Host.Scrolls.empty());
    EXPECT_EQ(Host.WholeInvalidations, 0);
    const TRect bounds = Host.InvalidatedBounds();
    EXPECT_EQ(bounds.Top, kTextTop + 3 * kRowHeight);
    EXPECT_LE(bounds.Bottom, kTextTop + 5 * kRowHeight);

    // Inserting a row scrolls the rows below it instead of repainting them.
    Host.ClearRecords();
    View->ScreenStrings().UpdateRows(10, 1, "line 10\r\nnew\r\n");
    ASSERT_FALSE(Host.Scrolls.empty());
    EXPECT_EQ(Host.Scrolls[0].Dy, kRowHeight);
    EXPECT_EQ(Host.WholeInvalidations, 0);

    View->Loaded();
    EXPECT_FALSE(View->GetModified());
}

TEST_F(ViewInWindowTest, EditorsSharingARowStoreAllSeeChanges) {
    RecordingHost otherHost{{300, 200}};
    auto other = CreateComponent<TTestView>(nullptr);
    other->SetHost(&otherHost);
    other->AttachTo(*View);
    EXPECT_EQ(View->GetScreenStringsPtr(), other->GetScreenStringsPtr());
    EXPECT_EQ(View->GetScreenStringsPtr()->EditorCount(), 2);

    otherHost.ClearRecords();
    View->GetLines().Add("shared");
    EXPECT_EQ(View->Changes, 1);
    EXPECT_EQ(other->Changes, 1);
    EXPECT_TRUE(other->GetModified());
    EXPECT_FALSE(otherHost.Invalidations.empty());
    EXPECT_EQ(other->GetLines().Get(0), "shared");

    // The store outlives the editor that created it.
    View.reset();
    EXPECT_EQ(other->GetScreenStringsPtr()->EditorCount(), 1);
    EXPECT_EQ(other->GetLines().Get(0), "shared");
}

TEST_F(ViewInWindowTest, FocusCreatesAndDestroysTheSystemCaret) {
    Open("abc\r\ndef");
    View->SetRowCol(1, 2);
    EXPECT_FALSE(Host.CaretExists);

    Focus();
    EXPECT_TRUE(Host.CaretVisible());
    EXPECT_EQ(Host.CaretSize, (TSize{2, kRowHeight}));
    EXPECT_EQ(Host.CaretPos, (TPoint{kTextLeft + 2 * kCharWidth, kTextTop + kRowHeight}));
    EXPECT_EQ(View->CaretMoves, 1);

    View->GetCaret().SetStyle(csBrief);
    EXPECT_EQ(Host.CaretSize, (TSize{kCharWidth, 2}));
    EXPECT_EQ(Host.CaretPos.Y, kTextTop + kRowHeight + kRowHeight - 2);

    // Moving keeps the caret: creating one costs a round trip to the window system.
    const int creates = Host.CaretCreates;
    View->SetRowCol(0, 1);
    EXPECT_EQ(Host.CaretCreates, creates);
    EXPECT_TRUE(Host.CaretVisible());

    Host.HasFocus = false;
    Send(WM_KILLFOCUS);
    EXPECT_FALSE(Host.CaretExists);
    View->SetRowCol(0, 0);
    EXPECT_EQ(View->CaretMoves, 3);
}

// A change leaves the caret shown, also while the ruler's mark and the underline beside it are
// drawn; when the last of nested changes ends, the caret stands at its new place, or is hidden
// once it has left the screen.
TEST_F(ViewInWindowTest, AChangeLeavesTheCaretShownAndPlacesItAtItsEnd) {
    Open(NumberedLines(100));
    View->GetMarks().GetUnderline().SetVisible(true);
    View->GetRuler().SetVisible(true);
    Focus();
    View->BeginCaretHide();
    View->BeginCaretHide();
    View->SetRowCol(1, 1);
    EXPECT_TRUE(Host.CaretVisible());
    View->EndCaretHide();
    View->EndCaretHide();
    EXPECT_EQ(Host.CaretPos, (TPoint{kTextLeft + kCharWidth, View->RowTop(1)}));
    View->BeginCaretHide();
    View->SetTopRow(50);
    View->EndCaretHide();
    EXPECT_FALSE(Host.CaretVisible()) << "row 1 is off screen";
}

TEST_F(ViewInWindowTest, LinesUpdateBracketStopsRedrawingUntilItCloses) {
    Open(NumberedLines(3));
    View->GetLines().BeginUpdate();
    EXPECT_FALSE(Host.Redrawing);
    View->GetLines().Add("four");
    View->GetLines().Add("five");
    EXPECT_FALSE(Host.Redrawing);
    View->GetLines().EndUpdate();
    EXPECT_TRUE(Host.Redrawing);
    EXPECT_GE(Host.WholeInvalidations, 1);
    EXPECT_EQ(View->GetLines().Count(), 5);

    View->SetBorderStyle(bsNone);
    EXPECT_FALSE(Host.SingleBorder);
}

TEST_F(ViewInWindowTest, FountainIsFollowedUntilItGoesAway) {
    auto fountain = CreateComponent<TEditorFountain>(nullptr);
    View->SetFountain(fountain.get());
    EXPECT_EQ(&View->EffectiveFountain(), fountain.get());
    EXPECT_EQ(fountain->GetNotifyEventList().SubscriberCount(), 1);

    Host.ClearRecords();
    fountain->GetReserve().SetColor(clFuchsia);
    EXPECT_EQ(Host.WholeInvalidations, 1);

    fountain.reset();
    EXPECT_EQ(View->GetFountain(), nullptr);
    EXPECT_EQ(&View->EffectiveFountain(), &View->GetView().GetFountain());

    // Leaving a fountain unsubscribes from it.
    auto other = CreateComponent<TEditorFountain>(nullptr);
    View->SetFountain(other.get());
    View->SetFountain(nullptr);
    EXPECT_EQ(other->GetNotifyEventList().SubscriberCount(), 0);
    Host.ClearRecords();
    other->GetReserve().SetColor(clTeal);
    EXPECT_EQ(Host.WholeInvalidations, 0);
}

TEST_F(ViewInWindowTest, SettingsChangesRelayoutAndRepaint) {
    Open("abc\r\n");
    View->GetLines().Add("def");
    ASSERT_TRUE(View->ScreenStrings().GetUndoObj().CanUndo());

    View->GetLeftbar().SetVisible(true);
    EXPECT_EQ(View->GetLeftbarDigits(), 4);
    EXPECT_EQ(View->GetTextLeft(), kTextLeft + 8 + 4 * kCharWidth + 4 + 2);
    EXPECT_GE(Host.WholeInvalidations, 1);
    EXPECT_TRUE(View->ScreenStrings().GetUndoObj().CanUndo());

    // A caret option change clears the undo history.
    View->GetCaret().SetTabSpaceCount(4);
    EXPECT_FALSE(View->ScreenStrings().GetUndoObj().CanUndo());

    // The reserved words live in the view's fountain; a different list repaints.
    TStringList words;
    words.Add("Dim");
    Host.ClearRecords();
    View->SetReserveWordList(words);
    EXPECT_EQ(View->GetReserveWordList().GetTextStr(), words.GetTextStr());
    EXPECT_EQ(Host.WholeInvalidations, 1);
    Host.ClearRecords();
    View->SetReserveWordList(words);
    EXPECT_EQ(Host.WholeInvalidations, 0);
}

TEST_F(ViewInWindowTest, LeftbarWidensWhenTheNumbersNeedMoreDigits) {
    View->GetLeftbar().SetColumn(1);
    View->GetLeftbar().SetVisible(true);
    Open(NumberedLines(8));
    EXPECT_EQ(View->GetLeftbarDigits(), 1);
    const int narrow = View->GetTextLeft();
    View->GetLines().Add("ninth");
    View->GetLines().Add("tenth");
    EXPECT_EQ(View->GetLeftbarDigits(), 2);
    EXPECT_EQ(View->GetTextLeft(), narrow + kCharWidth);
    // Nine lines and the empty line after the last line break still need 2 digits.
    View->GetLines().Delete(9);
    EXPECT_EQ(View->GetLeftbarDigits(), 2);
    View->GetLines().Delete(8);
    EXPECT_EQ(View->GetLeftbarDigits(), 1);
    EXPECT_EQ(View->GetTextLeft(), narrow);
}

} // namespace
} // namespace kst
