#include "core/messages.h"
#include "fountain/editor_fountain.h"
#include "input/editor.h"
#include "support/default_layout.h"
#include "support/recording_host.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

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

// Another program selects and replaces bytes anywhere in a long row, the caret and the view follow,
// and the scroll range spans the longest row, narrowing again once it is gone.
TEST_F(EditorInWindowTest, EveryByteOfALongRowIsReachable) {
    const struct {
        std::string Row;
        std::int32_t Start;
        int Col;
    } cases[] = {
        {std::string(1200, 'a'), 1103, 1103},
        {std::string(200, '\t') + std::string(1000, 'a'), 1103, 200 * 8 + 903},
        {std::string(2'000'000, 'a'), 1'999'990, 1'999'990},
    };
    Editor->SetScrollBars(ssBoth);
    Focus();
    for (const auto& c : cases) {
        Open("x\r\n" + c.Row + "\r\ny");
        const int row = static_cast<int>(c.Row.size());
        EXPECT_EQ(Host.Bars(TScrollBarKind::Horizontal).Range.Max,
                  Editor->GetVisibleCols() / 2 + row);
        SetSel(3 + c.Start, 3 + c.Start + 10);
        EXPECT_EQ(GetSel(), std::make_pair(3u + c.Start, 13u + c.Start)) << row;
        Send(EM_REPLACESEL, 0, reinterpret_cast<std::intptr_t>("Z"));
        std::string expected = "x\r\n" + c.Row + "\r\ny";
        expected.replace(3 + static_cast<std::size_t>(c.Start), 10, "Z");
        EXPECT_EQ(Text(), expected) << row;
        EXPECT_EQ(Editor->GetCol(), c.Col + 1) << row;
        EXPECT_LE(Editor->GetTopCol(), Editor->GetCol()) << row;
        EXPECT_GT(Editor->GetTopCol() + Editor->GetVisibleCols(), Editor->GetCol()) << row;
        SetSel(0, -1);
        Send(EM_REPLACESEL, 0, reinterpret_cast<std::intptr_t>("short"));
        EXPECT_EQ(Host.Bars(TScrollBarKind::Horizontal).Range.Max,
                  Editor->GetVisibleCols() / 2 + kMaxCol);
    }
}

// A start inside a line break moves off it; the end stays where it was asked, -1 being the end of
// the text.
TEST_F(EditorInWindowTest, SetSelKeepsTheEndWhenTheStartMovesOffALineBreak) {
    const struct {
        std::int32_t A, B;
        std::uint32_t Start, End;
    } cases[] = {{3, -1, 2, 6}, {3, 5, 2, 5}, {5, 3, 2, 5}};
    for (const auto& c : cases) {
        Open("ab\r\ncd");
        SetSel(c.A, c.B);
        EXPECT_EQ(GetSel(), std::make_pair(c.Start, c.End)) << c.A << ", " << c.B;
    }
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

// EM_LINELENGTH measures the row that EM_LINEFROMCHAR names, the end of the text included.
TEST_F(EditorInWindowTest, LineLengthMeasuresTheRowLineFromCharNames) {
    const struct {
        const char* Text;
        std::uintptr_t Index;
        std::intptr_t Row, Length;
    } cases[] = {
        {"a\r\nbc", 5, 1, 2}, {"a\r\nbc", 900, 1, 2}, {"abc", 3, 0, 3}, {"a\r\nbc", 1, 0, 1}};
    for (const auto& c : cases) {
        Open(c.Text);
        EXPECT_EQ(Send(EM_LINEFROMCHAR, c.Index), c.Row) << c.Text << " @" << c.Index;
        EXPECT_EQ(Send(EM_LINELENGTH, c.Index), c.Length) << c.Text << " @" << c.Index;
    }
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

    // Typing keeps the caret: creating one costs a round trip to the window system.
    const int creates = Host.CaretCreates;
    Send(WM_CHAR, 'x');
    EXPECT_EQ(Host.CaretCreates, creates);
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
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), top);
    EXPECT_TRUE(Host.CaretVisible());
    EXPECT_EQ(Host.CaretPos, (TPoint{kTextLeft, kTextTop + (150 - top) * kRowHeight}));
}

} // namespace
} // namespace kst
