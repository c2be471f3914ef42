#include "core/messages.h"
#include "input/editor.h"
#include "support/recording_host.h"
#include "support/soak.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace kst {
namespace {

class MouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        Editor->SetHost(&Host);
        Editor->GetCaret().SetFreeCaret(false);
        Editor->GetCaret().SetSelDragMode(dmAutomatic);
    }
    void Open(std::string_view Text) { Editor->GetLines().SetTextStr(Text); }
    std::string Text() const { return Editor->GetLines().GetTextStr(); }

    // The client point of a column's left edge plus Dx pixels, in the middle of a row.
    TPoint At(int Row, int Col, int Dx = 1) const {
        return {Editor->GetTextLeft() + Col * Editor->GetCharWidth() + Dx,
                Editor->GetTextTop() + Row * Editor->GetRowHeight() + Editor->GetRowHeight() / 2};
    }
    TPoint InLeftbar(int Row) const { return {2, At(Row, 0).Y}; }
    static std::intptr_t Packed(TPoint Point) {
        return MakeLong(static_cast<unsigned>(Point.X), static_cast<unsigned>(Point.Y));
    }
    std::uintptr_t Keys(TShiftState Shift) {
        Host.KeysDown.erase(VK_CONTROL);
        if ((Shift & ssCtrl) != 0) {
            Host.KeysDown.insert(VK_CONTROL);
        }
        return ((Shift & ssShift) != 0 ? MK_SHIFT : 0) | ((Shift & ssCtrl) != 0 ? MK_CONTROL : 0);
    }
    void Press(TPoint Point, TShiftState Shift = 0) {
        Host.KeysDown.insert(VK_LBUTTON);
        Editor->WndProc(WM_LBUTTONDOWN, Keys(Shift), Packed(Point));
    }
    void Move(TPoint Point, TShiftState Shift = 0) {
        Host.Pointer = Point;
        Editor->WndProc(WM_MOUSEMOVE, Keys(Shift), Packed(Point));
    }
    void Release(TPoint Point, TShiftState Shift = 0) {
        Host.Pointer = Point;
        Host.KeysDown.erase(VK_LBUTTON);
        Editor->WndProc(WM_LBUTTONUP, Keys(Shift), Packed(Point));
    }
    // The first move past the threshold starts dragging a selection; the next one carries it.
    void Drag(TPoint From, TPoint To, TShiftState Shift = 0) {
        Press(From, Shift);
        Move(To, Shift);
        Move(To, Shift);
        Release(To, Shift);
    }
    std::pair<int, int> Caret() const { return {Editor->GetRow(), Editor->GetCol()}; }

    RecordingHost Host{{400, 300}};
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

TEST_F(MouseTest, EscapeCancelsADragAndCtrlSwitchesItsCursor) {
    Open("abcd\r\nefgh\r\n");
    Drag(At(0, 0), At(0, 3));
    Press(At(0, 1));
    EXPECT_TRUE(Host.Focused()) << "a press focuses the control";
    Move(At(1, 2));
    EXPECT_EQ(Host.Cursor, crDrag);
    Editor->WndProc(WM_KEYDOWN, VK_CONTROL, 0);
    EXPECT_EQ(Host.Cursor, crDragSelCopy);
    Editor->WndProc(WM_KEYUP, VK_CONTROL, 0);
    EXPECT_EQ(Host.Cursor, crDrag);
    EXPECT_EQ(Editor->WndProc(WM_CHAR, 'x', 0), 0) << "characters are swallowed while dragging";
    Editor->WndProc(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(Editor->GetDragState(), kDragNone);
    EXPECT_EQ(Editor->GetSelectionState(), kSelectionNone);
    Release(At(1, 2));
    EXPECT_EQ(Text(), "abcd\r\nefgh\r\n");
}

TEST_F(MouseTest, TheCursorFollowsTheZoneOnlyWithAutoCursor) {
    Open("abcd\r\n");
    Move(InLeftbar(0));
    EXPECT_EQ(Editor->GetCursor(), crRightArrow);
    Move({At(0, 1).X, 0});
    EXPECT_EQ(Editor->GetCursor(), crDefault);
    Move(At(0, 1));
    EXPECT_EQ(Editor->GetCursor(), crIBeam);
    Drag(At(0, 0), At(0, 3));
    Move(At(0, 1));
    EXPECT_EQ(Editor->GetCursor(), crDefault) << "over a draggable selection";
    Editor->GetCaret().SetAutoCursor(false);
    Move(InLeftbar(0));
    EXPECT_EQ(Editor->GetCursor(), crDefault);
}

// A random text of ASCII letters and double-byte characters, one row per line; every row ends with
// a line break.
struct TDropText {
    std::vector<std::string> Rows;
    // For each row the columns where a character starts, and its end.
    std::vector<std::vector<int>> Boundaries;

    std::string Text() const {
        std::string text;
        for (const std::string& row : Rows) {
            text += row + "\r\n";
        }
        return text;
    }
    // Columns are bytes: the text has no tabs.
    int OffsetOf(int Row, int Col) const {
        int offset = 0;
        for (int r = 0; r < Row; ++r) {
            offset += static_cast<int>(Rows[r].size()) + 2;
        }
        return offset + Col;
    }
};

TDropText RandomDropText(std::mt19937& Random) {
    static const std::vector<std::string> characters{"a", "b", "c", "d", "\x82\xa0", "\x88\x9f"};
    TDropText text;
    text.Rows.resize(1 + Random() % 4);
    for (std::string& row : text.Rows) {
        std::vector<int> boundaries{0};
        for (std::size_t count = Random() % 8; count > 0; --count) {
            row += characters[Random() % characters.size()];
            boundaries.push_back(static_cast<int>(row.size()));
        }
        text.Boundaries.push_back(std::move(boundaries));
    }
    return text;
}

// Random normal and box selections dropped at random character boundaries, checked against a
// string model: a drop onto the selection, or of a box (never dragged), changes nothing, and one
// Undo restores the text.
TEST_F(MouseTest, RandomDropsMatchAStringModelAndUndoInOneStep) {
    std::mt19937 random(7);
    const auto randomPosition = [&random](const TDropText& Text) {
        const int row = static_cast<int>(random() % Text.Rows.size());
        const std::vector<int>& columns = Text.Boundaries[row];
        return std::pair{row, columns[random() % columns.size()]};
    };
    for (int round = 0; round < 300 * SoakFactor(); ++round) {
        const TDropText dropText = RandomDropText(random);
        const std::string text = dropText.Text();
        Open(text);
        const auto [rowA, colA] = randomPosition(dropText);
        const auto [rowB, colB] = randomPosition(dropText);
        const int a = dropText.OffsetOf(rowA, colA);
        const int b = dropText.OffsetOf(rowB, colB);
        if (a == b) {
            continue;
        }
        Editor->SetSelStart(std::min(a, b));
        Editor->SetSelLength(std::abs(a - b)); // switches box selection off
        const bool box = random() % 4 == 0;
        Editor->SetBoxSelection(box);
        const int start = std::min(a, b);
        const int length = std::abs(a - b);
        const auto [dropRow, dropCol] = randomPosition(dropText);
        const int drop = dropText.OffsetOf(dropRow, dropCol);
        const bool copy = random() % 2 == 0;
        copy ? Editor->CopyDrop(dropRow, dropCol) : Editor->MoveDrop(dropRow, dropCol);

        std::string expected = text;
        const bool ontoSelection = drop >= start && drop < start + length;
        if (!box && !ontoSelection) {
            const std::string sel = text.substr(start, length);
            if (copy) {
                expected.insert(drop, sel);
            } else if (drop < start) {
                expected.erase(start, length);
                expected.insert(drop, sel);
            } else {
                expected.insert(drop, sel);
                expected.erase(start, length);
            }
        }
        ASSERT_EQ(Text(), expected)
            << "round " << round << (copy ? " copy" : " move") << (box ? " box" : "");
        EXPECT_EQ(Editor->GetSelectionState(), kSelectionNone) << "round " << round;
        if (Text() != text) {
            Editor->Undo();
            ASSERT_EQ(Text(), text) << "round " << round;
        }
    }
}

} // namespace
} // namespace kst
