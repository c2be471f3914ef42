#include "core/messages.h"
#include "display/editor.h"
#include "fountain/editor_fountain.h"
#include "support/recording_host.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

// The recording surface's font: 16 pixels high, 8 wide. With the default margins (left 19, top
// 2) and the default image bar (12 pixels) the text starts at x 31, y 2.
constexpr int kRowHeight = 16;
constexpr int kCharWidth = 8;
constexpr int kTextLeft = 31;
constexpr int kTextTop = 2;

std::string NumberedLines(int Count) {
    std::string text;
    for (int i = 0; i < Count; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
    }
    return text;
}

class EditorTest : public ::testing::Test {
protected:
    std::intptr_t Send(unsigned Msg, std::uintptr_t WParam = 0, std::intptr_t LParam = 0) {
        const auto answer = Editor->WndProc(Msg, WParam, LParam);
        EXPECT_TRUE(answer.has_value()) << "message " << Msg << " not handled";
        return answer.value_or(0);
    }
    std::intptr_t SetSel(std::int32_t A, std::int32_t B) {
        return Send(EM_SETSEL, static_cast<std::uintptr_t>(static_cast<std::uint32_t>(A)),
                    static_cast<std::intptr_t>(B));
    }
    std::pair<std::uint32_t, std::uint32_t> GetSel() {
        std::uint32_t start = 0;
        std::uint32_t end = 0;
        Send(EM_GETSEL, reinterpret_cast<std::uintptr_t>(&start),
             reinterpret_cast<std::intptr_t>(&end));
        return {start, end};
    }
    std::string Text() {
        std::vector<char> buffer(static_cast<std::size_t>(Send(WM_GETTEXTLENGTH)) + 1);
        Send(WM_GETTEXT, buffer.size(), reinterpret_cast<std::intptr_t>(buffer.data()));
        return buffer.data();
    }
    void Open(std::string_view Text) {
        Editor->GetLines().SetTextStr(Text);
        Host.ClearRecords();
    }
    void Focus() {
        Host.HasFocus = true;
        Send(WM_SETFOCUS);
    }

    RecordingHost Host{{400, 300}};
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

class EditorInWindowTest : public EditorTest {
protected:
    void SetUp() override { Editor->SetHost(&Host); }
};

TEST_F(EditorTest, NewEditorHasTheClassDefaults) {
    EXPECT_EQ(Editor->GetScrollBars(), ssNone);
    EXPECT_FALSE(Editor->GetWordWrap());
    EXPECT_EQ(Editor->GetUndoListMax(), 64);
    EXPECT_EQ(Editor->GetFont().Name, "FixedSys");
    EXPECT_EQ(Editor->GetFont().Color, clBlack);
    EXPECT_EQ(Editor->GetColor(), clWhite);
    EXPECT_EQ(Editor->GetWidth(), 185);
    EXPECT_EQ(Editor->GetHeight(), 89);
    EXPECT_EQ(Editor->GetCursor(), crIBeam);
    EXPECT_EQ(Editor->GetBorderStyle(), bsSingle);
    EXPECT_TRUE(Editor->GetTabStop());
    EXPECT_TRUE(Editor->GetWantReturns());
    EXPECT_TRUE(Editor->GetWantTabs());
    EXPECT_FALSE(Editor->GetReadOnly());
    EXPECT_FALSE(Editor->GetModified());
    EXPECT_EQ(Editor->GetHitStyle(), hsSelect);
    EXPECT_EQ(Editor->Delimiters(), DefaultDelimiters());
    EXPECT_EQ(Editor->GetFountain(), nullptr);
    EXPECT_EQ(&Editor->EffectiveFountain(), &Editor->GetView().GetFountain());
    EXPECT_EQ(Editor->GetScreenStringsPtr()->EditorCount(), 1);
}

TEST_F(EditorTest, UndoListMaxNeverGoesBelow64) {
    Editor->SetUndoListMax(10);
    EXPECT_EQ(Editor->GetUndoListMax(), 64);
    Editor->SetUndoListMax(200);
    EXPECT_EQ(Editor->GetUndoListMax(), 200);
}

TEST_F(EditorInWindowTest, MeasuresTheFontWhenTheWindowExists) {
    EXPECT_EQ(Host.Canvas.SelectedFont.Name, "FixedSys");
    EXPECT_EQ(Editor->GetRowHeight(), kRowHeight);
    EXPECT_EQ(Editor->GetCharWidth(), kCharWidth);
    EXPECT_EQ(Editor->GetTextLeft(), kTextLeft);
    EXPECT_EQ(Editor->GetTextTop(), kTextTop);
    EXPECT_EQ(Editor->GetVisibleRows(), (300 - kTextTop - 5) / kRowHeight);
    EXPECT_EQ(Editor->GetVisibleCols(), (400 - kTextLeft - kCharWidth / 2) / kCharWidth);

    Editor->GetMarks().GetUnderline().SetVisible(true);
    EXPECT_EQ(Editor->GetRowHeight(), kRowHeight + 1);
    Editor->GetRuler().SetVisible(true);
    EXPECT_EQ(Editor->GetTextTop(), kTextTop + 11);
    Editor->SetScrollBars(ssBoth);
    EXPECT_TRUE(Host.Bars(TScrollBarKind::Vertical).Shown);
    EXPECT_TRUE(Host.Bars(TScrollBarKind::Horizontal).Shown);
    EXPECT_EQ(Editor->GetVisibleRows(), (300 - kTextTop - 11 - 5 - 16) / (kRowHeight + 1));
}

TEST_F(EditorInWindowTest, TopRowIsClampedToTheRows) {
    Open(NumberedLines(100));
    Editor->SetTopRow(-5);
    EXPECT_EQ(Editor->GetTopRow(), 0);
    Editor->SetTopRow(500);
    EXPECT_EQ(Editor->GetTopRow(), 100);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 100);
}

TEST_F(EditorInWindowTest, ScrollingOneRowMovesPixelsAndRepaintsOneRow) {
    Open(NumberedLines(100));
    Editor->SetScrollBars(ssVertical);
    Editor->SetRowCol(5, 3);
    int topRowChanges = 0;
    Editor->OnTopRowChange = [&](TEditor&) { ++topRowChanges; };
    Host.ClearRecords();

    Send(WM_VSCROLL, SB_LINEDOWN);

    EXPECT_EQ(Editor->GetTopRow(), 1);
    ASSERT_EQ(Host.Scrolls.size(), 1u);
    EXPECT_EQ(Host.Scrolls[0].Dy, -kRowHeight);
    EXPECT_EQ(Host.Scrolls[0].Scroll.Top, kTextTop);
    EXPECT_EQ(Host.WholeInvalidations, 0);
    EXPECT_EQ(Host.InvalidatedBounds().Height(), kRowHeight);
    EXPECT_EQ(Host.Bars(TScrollBarKind::Vertical).Range.Position, 1);
    EXPECT_EQ(topRowChanges, 1);
    // The input method's window follows the caret.
    EXPECT_EQ(Host.CompositionPos, (TPoint{kTextLeft + 3 * kCharWidth, kTextTop + 4 * kRowHeight}));
    EXPECT_EQ(Host.CompositionFont.Name, "FixedSys");

    // A jump of more than a screen keeps no pixels: the text area is repainted once.
    Host.ClearRecords();
    Editor->SetTopRow(60);
    EXPECT_TRUE(Host.Scrolls.empty());
    EXPECT_EQ(Host.InvalidatedBounds().Top, kTextTop);
    EXPECT_EQ(Host.InvalidatedBounds().Bottom, Host.Client.Height);

    // Scrolling up at the top does nothing.
    Editor->SetTopRow(0);
    Host.ClearRecords();
    Send(WM_VSCROLL, SB_LINEUP);
    EXPECT_TRUE(Host.Scrolls.empty());
    EXPECT_EQ(topRowChanges, 3);
}

TEST_F(EditorInWindowTest, ScrollBarRequestsMoveTheView) {
    Open(NumberedLines(100));
    Editor->SetScrollBars(ssBoth);
    const int rows = Editor->GetVisibleRows();
    Send(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(Editor->GetTopRow(), rows);
    Send(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(Editor->GetTopRow(), 100);
    Send(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(Editor->GetTopRow(), 0);
    Send(WM_VSCROLL, SB_ENDSCROLL);
    EXPECT_EQ(Editor->GetTopRow(), 0);
    const TScrollRange vertical = Host.Bars(TScrollBarKind::Vertical).Range;
    EXPECT_EQ(vertical.Max, 100 + rows - 1);
    EXPECT_EQ(vertical.Page, rows);

    Send(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(Editor->GetTopCol(), 1);
    EXPECT_EQ(Editor->GetLeftOffset(), kCharWidth);
    Send(WM_HSCROLL, SB_THUMBTRACK | (20u << 16));
    EXPECT_EQ(Editor->GetTopCol(), 20);
    Send(WM_HSCROLL, SB_RIGHT);
    EXPECT_EQ(Editor->GetTopCol(), kMaxCol - Editor->GetVisibleCols() / 2);
    EXPECT_EQ(Host.Bars(TScrollBarKind::Horizontal).Range.Position, Editor->GetTopCol());

    // With LockScroll the caret row moves along.
    Editor->GetCaret().SetLockScroll(true);
    Editor->SetRowCol(5, 0);
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(Editor->GetRow(), 6);
}

TEST_F(EditorInWindowTest, ThumbTrackingUsesTheFullTrackPosition) {
    std::string text;
    for (int i = 0; i < 70000; ++i) {
        text += "x\r\n";
    }
    Open(text);
    Editor->SetScrollBars(ssVertical);
    Host.Bars(TScrollBarKind::Vertical).TrackPosition = 69000;
    Send(WM_VSCROLL, SB_THUMBTRACK | ((69000u & 0xFFFF) << 16));
    EXPECT_EQ(Editor->GetTopRow(), 69000);
    EXPECT_EQ(Host.Bars(TScrollBarKind::Vertical).Range.Position, 69000);
}

// The line numbers below an edit are repainted only when lines may have moved; the row past the
// text, whose number goes when the last line (row 9) loses its line break, is repainted with the
// edit.
TEST_F(EditorInWindowTest, LineNumbersBelowAnEditRepaintOnlyWhenLinesMayMove) {
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
        Editor->SetWordWrap(each.WordWrap);
        Editor->GetLeftbar().SetVisible(true);
        Editor->GetLeftbar().SetShowNumberMode(nmLine);
        Open(NumberedLines(10));
        Editor->ScreenStrings().UpdateRows(each.Row, 1, each.Text);
        const int barLeft = Editor->GetImagebarWidth();
        const int barRight = barLeft + Editor->GetLeftbarWidth();
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
        const int pastText = kTextTop + Editor->ScreenStrings().GetCount() * kRowHeight;
        EXPECT_TRUE(repainted([&](const TRect& Area) {
            return Area.Left <= barLeft && Area.Right >= barRight && Area.Top <= pastText &&
                   Area.Bottom > pastText;
        })) << "the row past the text";
    }
}

TEST_F(EditorInWindowTest, OneCharacterEditInvalidatesOnlyItsRow) {
    Open(NumberedLines(50));
    int changes = 0;
    Editor->OnChange = [&](TEditor&) { ++changes; };

    Editor->ScreenStrings().UpdateRows(3, 1, "line 3x\r\n");

    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(Editor->GetModified());
    EXPECT_TRUE(Host.Scrolls.empty());
    EXPECT_EQ(Host.WholeInvalidations, 0);
    const TRect bounds = Host.InvalidatedBounds();
    EXPECT_EQ(bounds.Top, kTextTop + 3 * kRowHeight);
    EXPECT_LE(bounds.Bottom, kTextTop + 5 * kRowHeight);

    // Inserting a row scrolls the rows below it instead of repainting them.
    Host.ClearRecords();
    Editor->ScreenStrings().UpdateRows(10, 1, "line 10\r\nnew\r\n");
    ASSERT_FALSE(Host.Scrolls.empty());
    EXPECT_EQ(Host.Scrolls[0].Dy, kRowHeight);
    EXPECT_EQ(Host.WholeInvalidations, 0);

    Editor->Loaded();
    EXPECT_FALSE(Editor->GetModified());
}

TEST_F(EditorInWindowTest, SetSelSelectsByteRanges) {
    Open("abc\r\ndef\r\ngh");
    SetSel(0, -1);
    EXPECT_EQ(Editor->GetSelectionState(), kSelectionSelected);
    EXPECT_EQ(GetSel(), std::make_pair(0u, 12u));

    SetSel(7, 3);
    EXPECT_EQ(GetSel(), std::make_pair(3u, 7u));
    EXPECT_EQ(Editor->GetSelLength(), 4);
    EXPECT_EQ(Editor->GetRow(), 1);
    EXPECT_EQ(Editor->GetCol(), 2);

    SetSel(6, -1);
    EXPECT_EQ(GetSel(), std::make_pair(6u, 12u));

    SetSel(-1, 0);
    EXPECT_EQ(Editor->GetSelectionState(), kSelectionNone);
    const auto [start, end] = GetSel();
    EXPECT_EQ(start, end);

    // Indexes past the text select up to its end.
    SetSel(10, 400);
    EXPECT_EQ(GetSel(), std::make_pair(10u, 12u));
}

TEST_F(EditorInWindowTest, GetSelPacksSixteenBitsAndWritesFullValues) {
    Open(NumberedLines(8000)); // about 100 000 bytes
    const auto start = static_cast<std::uint32_t>(Send(EM_LINEINDEX, 7000));
    const auto end = static_cast<std::uint32_t>(Send(EM_LINEINDEX, 7900) + 2);
    ASSERT_GT(start, 65535u);
    SetSel(static_cast<std::int32_t>(start), static_cast<std::int32_t>(end));
    EXPECT_EQ(GetSel(), std::make_pair(start, end));
    const std::intptr_t packed = Send(EM_GETSEL);
    EXPECT_EQ(LoWord(static_cast<std::uintptr_t>(packed)), start & 0xFFFF);
    EXPECT_EQ(HiWord(static_cast<std::uintptr_t>(packed)), end & 0xFFFF);
}

TEST_F(EditorInWindowTest, LineQueriesCountLineBreaksAsTwoBytes) {
    Open("abc\r\ndefg\r\nhi");
    EXPECT_EQ(Send(EM_GETLINECOUNT), 3);
    EXPECT_EQ(Send(EM_LINEINDEX, 0), 0);
    EXPECT_EQ(Send(EM_LINEINDEX, 1), 5);
    EXPECT_EQ(Send(EM_LINEINDEX, 2), 11);
    EXPECT_EQ(Send(EM_LINEINDEX, 3), -1);
    EXPECT_EQ(Send(EM_LINELENGTH, 0), 3);
    EXPECT_EQ(Send(EM_LINELENGTH, 4), 3);
    EXPECT_EQ(Send(EM_LINELENGTH, 5), 4);
    EXPECT_EQ(Send(EM_LINELENGTH, 12), 2);
    EXPECT_EQ(Send(EM_LINEFROMCHAR, 0), 0);
    EXPECT_EQ(Send(EM_LINEFROMCHAR, 4), 0);
    EXPECT_EQ(Send(EM_LINEFROMCHAR, 5), 1);
    EXPECT_EQ(Send(EM_LINEFROMCHAR, 10), 1);
    EXPECT_EQ(Send(EM_LINEFROMCHAR, 11), 2);
    EXPECT_EQ(Send(EM_LINEFROMCHAR, 500), 2);

    // -1 asks about the caret row, or about the selection.
    Editor->SetRowCol(1, 2);
    EXPECT_EQ(Send(EM_LINEINDEX, static_cast<std::uintptr_t>(-1)), 5);
    EXPECT_EQ(Send(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(-1)), 1);
    EXPECT_EQ(Send(EM_LINELENGTH, static_cast<std::uintptr_t>(-1)), 4);
    SetSel(1, 7); // "bc", CR LF, "de"
    EXPECT_EQ(Send(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(-1)), 0);
    EXPECT_EQ(Send(EM_LINELENGTH, static_cast<std::uintptr_t>(-1)), 1 + 2);

    // Answers follow edits.
    Editor->GetLines().Insert(0, "zz");
    EXPECT_EQ(Send(EM_LINEINDEX, 1), 4);
    EXPECT_EQ(Send(EM_LINEFROMCHAR, 9), 2);

    // The empty line after a final line break has an index of its own.
    Open("ab\r\n");
    EXPECT_EQ(Send(EM_LINEINDEX, 1), 4);
    EXPECT_EQ(Send(EM_LINEINDEX, 2), -1);
}

TEST_F(EditorInWindowTest, LineIndexesAgreeWithTheLineLengthsInAnyOrder) {
    std::vector<std::string> lines;
    std::string text;
    for (int i = 0; i < 300; ++i) {
        lines.push_back(std::string(static_cast<std::size_t>(i * 7 % 23), 'q'));
        text += lines.back() + "\r\n";
    }
    Open(text);
    std::vector<std::intptr_t> starts(1, 0);
    for (const std::string& line : lines) {
        starts.push_back(starts.back() + static_cast<std::intptr_t>(line.size()) + 2);
    }
    for (int step = 0; step < 600; ++step) {
        const int row = (step * 137 + step / 3) % 300;
        ASSERT_EQ(Send(EM_LINEINDEX, static_cast<std::uintptr_t>(row)), starts[row]);
        ASSERT_EQ(Send(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(starts[row] + 1)), row);
        ASSERT_EQ(Send(EM_LINELENGTH, static_cast<std::uintptr_t>(starts[row])),
                  static_cast<std::intptr_t>(lines[row].size()));
    }
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), starts.back());
}

// The line starts of a text as the edit-control messages count them.
std::vector<std::intptr_t> LineStarts(const std::string& Text) {
    std::vector<std::intptr_t> starts(1, 0);
    for (std::size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] == '\r' && Text[i + 1] == '\n') {
            starts.push_back(static_cast<std::intptr_t>(i) + 2);
        }
    }
    return starts;
}

TEST_F(EditorInWindowTest, IndexesStayRightAcrossEditsAboveAndBelowEarlierQueries) {
    Open(NumberedLines(400));
    unsigned seed = 7;
    const auto next = [&seed](unsigned Limit) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % Limit;
    };
    for (int step = 0; step < 300; ++step) {
        // Remember a selection start and end, as the commenting commands do, then edit a line.
        const int line = static_cast<int>(next(400));
        SetSel(static_cast<std::int32_t>(Send(EM_LINEINDEX, next(400))),
               static_cast<std::int32_t>(Send(EM_LINEINDEX, next(400))));
        Editor->GetLines().Put(line, std::string(next(30), 'e'));
        const std::vector<std::intptr_t> starts = LineStarts(Text());
        for (int probe = 0; probe < 4; ++probe) {
            const int row = static_cast<int>(next(400));
            ASSERT_EQ(Send(EM_LINEINDEX, static_cast<std::uintptr_t>(row)), starts[row])
                << "step " << step << " row " << row;
            ASSERT_EQ(Send(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(starts[row])), row);
        }
    }
}

TEST_F(EditorInWindowTest, GetLineCopiesWholeCharactersUpToTheBufferSize) {
    Open("abc\r\n\x82\xA0\x82\xA2z");
    char buffer[16] = {};
    const std::uint16_t room = 3;
    std::memcpy(buffer, &room, sizeof room);
    EXPECT_EQ(Send(EM_GETLINE, 1, reinterpret_cast<std::intptr_t>(buffer)), 2);
    EXPECT_EQ(std::string(buffer, 2), "\x82\xA0");

    const std::uint16_t large = sizeof buffer;
    std::memcpy(buffer, &large, sizeof large);
    EXPECT_EQ(Send(EM_GETLINE, 0, reinterpret_cast<std::intptr_t>(buffer)), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");

    std::memcpy(buffer, &large, sizeof large);
    EXPECT_EQ(Send(EM_GETLINE, 2, reinterpret_cast<std::intptr_t>(buffer)), 0);
    EXPECT_EQ(
        Send(EM_GETLINE, static_cast<std::uintptr_t>(-3), reinterpret_cast<std::intptr_t>(buffer)),
        0);
}

TEST_F(EditorInWindowTest, SetTextThenGetText) {
    const std::string text = "one\r\n\x93\xFA\x96\x7B\r\nthree";
    EXPECT_EQ(Send(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(text.c_str())), 1);
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), static_cast<std::intptr_t>(text.size()));
    EXPECT_EQ(Text(), text);

    char small[4];
    EXPECT_EQ(Send(WM_GETTEXT, sizeof small, reinterpret_cast<std::intptr_t>(small)), 3);
    EXPECT_STREQ(small, "one");
    // A buffer that would end inside a double-byte character stops before it.
    char cut[7];
    EXPECT_EQ(Send(WM_GETTEXT, sizeof cut, reinterpret_cast<std::intptr_t>(cut)), 5);
    EXPECT_EQ(std::string(cut), "one\r\n");
    EXPECT_EQ(Send(WM_GETTEXT, 0, reinterpret_cast<std::intptr_t>(cut)), 0);
}

TEST_F(EditorInWindowTest, ReadOnlyBlocksEditingMessages) {
    Open("abc\r\n");
    Editor->GetLines().Add("def");
    ASSERT_EQ(Send(EM_CANUNDO), 1);
    Send(EM_SETREADONLY, 1);
    EXPECT_TRUE(Editor->GetReadOnly());

    const char* replacement = "x";
    EXPECT_EQ(Send(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(replacement)), 0);
    EXPECT_EQ(Send(EM_CANUNDO), 0);
    EXPECT_EQ(Send(EM_UNDO), 0);
    Send(EM_SETMODIFY, 0);
    EXPECT_EQ(Send(EM_GETMODIFY), 1);
    Send(EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(Text(), "abc\r\ndef\r\n");

    Send(EM_SETREADONLY, 0);
    EXPECT_EQ(Send(EM_UNDO), 1);
    EXPECT_EQ(Text(), "abc\r\n");
    Send(EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(Send(EM_CANUNDO), 0);
    Send(EM_SETMODIFY, 0);
    EXPECT_EQ(Send(EM_GETMODIFY), 0);
}

TEST_F(EditorInWindowTest, EditorsSharingARowStoreAllSeeChanges) {
    RecordingHost otherHost{{300, 200}};
    auto other = CreateComponent<TEditor>(nullptr);
    other->SetHost(&otherHost);
    other->AttachTo(*Editor);
    EXPECT_EQ(Editor->GetScreenStringsPtr(), other->GetScreenStringsPtr());
    EXPECT_EQ(Editor->GetScreenStringsPtr()->EditorCount(), 2);

    int changes = 0;
    int otherChanges = 0;
    Editor->OnChange = [&](TEditor&) { ++changes; };
    other->OnChange = [&](TEditor&) { ++otherChanges; };
    otherHost.ClearRecords();
    Editor->GetLines().Add("shared");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(otherChanges, 1);
    EXPECT_TRUE(other->GetModified());
    EXPECT_FALSE(otherHost.Invalidations.empty());
    EXPECT_EQ(other->GetLines().Get(0), "shared");

    // The store outlives the editor that created it.
    Editor.reset();
    EXPECT_EQ(other->GetScreenStringsPtr()->EditorCount(), 1);
    EXPECT_EQ(other->GetLines().Get(0), "shared");
}

TEST_F(EditorInWindowTest, FocusCreatesAndDestroysTheSystemCaret) {
    Open("abc\r\ndef");
    Editor->SetRowCol(1, 2);
    int caretMoves = 0;
    Editor->OnCaretMoved = [&](TEditor&) { ++caretMoves; };
    EXPECT_FALSE(Host.CaretExists);

    Focus();
    EXPECT_TRUE(Host.CaretVisible());
    EXPECT_EQ(Host.CaretSize, (TSize{2, kRowHeight}));
    EXPECT_EQ(Host.CaretPos, (TPoint{kTextLeft + 2 * kCharWidth, kTextTop + kRowHeight}));
    EXPECT_EQ(caretMoves, 1);

    // Hides nest: the caret shows again when the last one closes.
    Editor->BeginCaretHide();
    Editor->BeginCaretHide();
    EXPECT_FALSE(Host.CaretVisible());
    Editor->EndCaretHide();
    EXPECT_FALSE(Host.CaretVisible());
    Editor->EndCaretHide();
    EXPECT_TRUE(Host.CaretVisible());
    Editor->EndCaretHide();
    EXPECT_TRUE(Host.CaretVisible());

    Editor->GetCaret().SetStyle(csBrief);
    EXPECT_EQ(Host.CaretSize, (TSize{kCharWidth, 2}));
    EXPECT_EQ(Host.CaretPos.Y, kTextTop + kRowHeight + kRowHeight - 2);

    // Typing and moving keep the caret: creating one costs a round trip to the window system.
    const int creates = Host.CaretCreates;
    Send(WM_CHAR, 'x');
    Editor->SetRowCol(0, 1);
    EXPECT_EQ(Host.CaretCreates, creates);
    EXPECT_TRUE(Host.CaretVisible());

    Host.HasFocus = false;
    Send(WM_KILLFOCUS);
    EXPECT_FALSE(Host.CaretExists);
    Editor->SetRowCol(0, 0);
    EXPECT_EQ(caretMoves, 4);
}

TEST_F(EditorInWindowTest, CaretStaysOnWholeCharactersAndScrollsIntoView) {
    Open("\x82\xA0\x82\xA2\x82\xA4\r\n" + std::string(300, 'w'));
    Editor->GetCaret().SetFreeCaret(false);
    Focus();
    Editor->SetRowCol(0, 3);
    EXPECT_EQ(Editor->GetCol(), 2);
    Editor->SetRowCol(0, 50);
    EXPECT_EQ(Editor->GetCol(), 6);

    Editor->SetRowCol(1, 200);
    EXPECT_EQ(Editor->GetCol(), 200);
    EXPECT_GT(Editor->GetTopCol(), 0);
    EXPECT_LE(Editor->GetTopCol(), 200);
    EXPECT_GE(Editor->GetTopCol() + Editor->GetVisibleCols(), 200);
    EXPECT_TRUE(Host.CaretVisible());
}

TEST_F(EditorInWindowTest, FontChangeWhileScrolledSidewaysPutsTheCaretInColumnZero) {
    Open(std::string(300, 'w'));
    Focus();
    Editor->SetRowCol(0, 150);
    ASSERT_GT(Editor->GetTopCol(), 0);

    TEditorFont font = Editor->GetFont();
    font.Name = "IPAGothic";
    font.Height = -16;
    Editor->SetFont(font);

    EXPECT_EQ(Editor->GetCol(), 0);
    EXPECT_EQ(Editor->GetTopCol(), 0);
    EXPECT_EQ(Host.Canvas.SelectedFont.Name, "IPAGothic");
    EXPECT_GE(Host.WholeInvalidations, 1);
    EXPECT_EQ(Host.CaretSize.Height, Editor->GetFontHeight());
    EXPECT_TRUE(Host.CaretVisible());

    // Without sideways scrolling the caret keeps its column.
    Editor->SetRowCol(0, 10);
    font.Height = -12;
    Editor->SetFont(font);
    EXPECT_EQ(Editor->GetCol(), 10);
}

TEST_F(EditorInWindowTest, PositionsAndCharacterIndexesConvert) {
    Open("abc\r\n\tx");
    // Index 6 is the x after the tab, in column 8.
    const std::intptr_t pos = Send(EM_POSFROMCHAR, 6);
    EXPECT_EQ(static_cast<int>(LoWord(static_cast<std::uintptr_t>(pos))),
              kTextLeft + 8 * kCharWidth);
    EXPECT_EQ(static_cast<int>(HiWord(static_cast<std::uintptr_t>(pos))), kTextTop + kRowHeight);

    const auto point = [](int X, int Y) {
        return static_cast<std::intptr_t>(
            MakeLong(static_cast<unsigned>(X), static_cast<unsigned>(Y)));
    };
    // On x: index 6, row 1. Inside the tab: back to the tab itself.
    EXPECT_EQ(Send(EM_CHARFROMPOS, 0, point(kTextLeft + 8 * kCharWidth + 1, kTextTop + 20)),
              MakeLong(6, 1));
    EXPECT_EQ(Send(EM_CHARFROMPOS, 0, point(kTextLeft + 3 * kCharWidth + 1, kTextTop + 20)),
              MakeLong(5, 1));
    // Past the end of a row: its last position.
    EXPECT_EQ(Send(EM_CHARFROMPOS, 0, point(300, kTextTop + 2)), MakeLong(3, 0));
    EXPECT_EQ(Send(EM_CHARFROMPOS, 0, point(500, 10)), -1);
}

TEST_F(EditorInWindowTest, DialogCodeFollowsWantTabsAndWantReturns) {
    EXPECT_EQ(Send(WM_GETDLGCODE),
              DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB | DLGC_WANTALLKEYS);
    Editor->SetWantTabs(false);
    Editor->SetWantReturns(false);
    EXPECT_EQ(Send(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTCHARS);
    EXPECT_FALSE(Editor->WndProc(WM_PAINT, 0, 0).has_value());
}

TEST_F(EditorInWindowTest, ScrollCaretBringsTheCaretBackIntoView) {
    Open(NumberedLines(200));
    Focus();
    Editor->SetRowCol(150, 0);
    Editor->SetTopRow(0);
    EXPECT_FALSE(Host.CaretVisible());
    Send(EM_SCROLLCARET);
    const int top = 150 - Editor->GetVisibleRows() / 3;
    EXPECT_EQ(Editor->GetTopRow(), top);
    EXPECT_TRUE(Host.CaretVisible());
    EXPECT_EQ(Host.CaretPos, (TPoint{kTextLeft, kTextTop + (150 - top) * kRowHeight}));
}

TEST_F(EditorInWindowTest, LinesUpdateBracketStopsRedrawingUntilItCloses) {
    Open(NumberedLines(3));
    Editor->GetLines().BeginUpdate();
    EXPECT_FALSE(Host.Redrawing);
    Editor->GetLines().Add("four");
    Editor->GetLines().Add("five");
    EXPECT_FALSE(Host.Redrawing);
    Editor->GetLines().EndUpdate();
    EXPECT_TRUE(Host.Redrawing);
    EXPECT_GE(Host.WholeInvalidations, 1);
    EXPECT_EQ(Send(EM_LINEINDEX, 4), 3 * 8 + 6);

    Editor->SetBorderStyle(bsNone);
    EXPECT_FALSE(Host.SingleBorder);
}

TEST_F(EditorInWindowTest, FountainIsFollowedUntilItGoesAway) {
    auto fountain = CreateComponent<TEditorFountain>(nullptr);
    Editor->SetFountain(fountain.get());
    EXPECT_EQ(&Editor->EffectiveFountain(), fountain.get());
    EXPECT_EQ(fountain->GetNotifyEventList().SubscriberCount(), 1);

    Host.ClearRecords();
    fountain->GetReserve().SetColor(clFuchsia);
    EXPECT_EQ(Host.WholeInvalidations, 1);

    fountain.reset();
    EXPECT_EQ(Editor->GetFountain(), nullptr);
    EXPECT_EQ(&Editor->EffectiveFountain(), &Editor->GetView().GetFountain());

    // Leaving a fountain unsubscribes from it.
    auto other = CreateComponent<TEditorFountain>(nullptr);
    Editor->SetFountain(other.get());
    Editor->SetFountain(nullptr);
    EXPECT_EQ(other->GetNotifyEventList().SubscriberCount(), 0);
    Host.ClearRecords();
    other->GetReserve().SetColor(clTeal);
    EXPECT_EQ(Host.WholeInvalidations, 0);
}

TEST_F(EditorInWindowTest, SettingsChangesRelayoutAndRepaint) {
    Open("abc\r\n");
    Editor->GetLines().Add("def");
    ASSERT_TRUE(Editor->CanUndo());

    Editor->GetLeftbar().SetVisible(true);
    EXPECT_EQ(Editor->GetLeftbarDigits(), 4);
    EXPECT_EQ(Editor->GetTextLeft(), kTextLeft + 8 + 4 * kCharWidth + 4 + 2);
    EXPECT_GE(Host.WholeInvalidations, 1);
    EXPECT_TRUE(Editor->CanUndo());

    // A caret option change clears the undo history.
    Editor->GetCaret().SetTabSpaceCount(4);
    EXPECT_FALSE(Editor->CanUndo());

    // The reserved words live in the view's fountain; a different list repaints.
    TStringList words;
    words.Add("Dim");
    Host.ClearRecords();
    Editor->SetReserveWordList(words);
    EXPECT_EQ(Editor->GetReserveWordList().GetTextStr(), words.GetTextStr());
    EXPECT_EQ(Host.WholeInvalidations, 1);
    Host.ClearRecords();
    Editor->SetReserveWordList(words);
    EXPECT_EQ(Host.WholeInvalidations, 0);
}

TEST_F(EditorInWindowTest, LeftbarWidensWhenTheNumbersNeedMoreDigits) {
    Editor->GetLeftbar().SetColumn(1);
    Editor->GetLeftbar().SetVisible(true);
    Open(NumberedLines(8));
    EXPECT_EQ(Editor->GetLeftbarDigits(), 1);
    const int narrow = Editor->GetTextLeft();
    Editor->GetLines().Add("ninth");
    Editor->GetLines().Add("tenth");
    EXPECT_EQ(Editor->GetLeftbarDigits(), 2);
    EXPECT_EQ(Editor->GetTextLeft(), narrow + kCharWidth);
    // Nine lines and the empty line after the last line break still need 2 digits.
    Editor->GetLines().Delete(9);
    EXPECT_EQ(Editor->GetLeftbarDigits(), 2);
    Editor->GetLines().Delete(8);
    EXPECT_EQ(Editor->GetLeftbarDigits(), 1);
    EXPECT_EQ(Editor->GetTextLeft(), narrow);
}

} // namespace
} // namespace kst
