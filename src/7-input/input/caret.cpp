// The caret: legal positions and moves by row and column. The view shows it as the system caret.
#include "core/messages.h"
#include "document/wrap.h"
#include "input/editor.h"

#include <algorithm>

namespace kst {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

} // namespace

// Rows and columns

std::string_view TEditor::LineBreakSuffix(int Row) const {
    return RowAttributeOf(Row) == raLineBreak ? kLineBreak : std::string_view();
}

int TEditor::EditFrame(int Row) const {
    if (Row <= 0) {
        return 0;
    }
    if (Row >= RowCount()) {
        return Row;
    }
    return std::max(FScreenStrings->LineStartRow(Row), Row - 1);
}

// Caret placement

void TEditor::SetRow(int Row) {
    if (Row == FRow && FRow != RowCount()) {
        return;
    }
    BeginUnderlineHide();
    auto underlineShown = ScopeEnd([this] { EndUnderlineHide(); });
    FRow = std::clamp(Row, 0, LastCaretRow());
    const int oldCol = FCol;
    AdjustCol(true, -1);
    if (FCol != oldCol && HasWindow() && FRuler->GetVisible()) {
        EraseRulerMark(oldCol);
        DrawRulerMark(FCol);
    }
}

void TEditor::SetCol(int Col) {
    const int col = std::clamp(Col, 0, LastCaretCol(RowWidth(FRow)) + 1);
    const bool ruler = HasWindow() && FRuler->GetVisible();
    const int oldCol = FCol;
    if (ruler) {
        EraseRulerMark(oldCol);
    }
    FCol = col;
    AdjustCol(false, oldCol < col ? 1 : -1);
    if (ruler) {
        DrawRulerMark(FCol);
    }
}

// Unlike a Col write, a bad column is always resolved backwards here. A caret asked to stay where
// it is still moves when an edit has put the inside of a character under it.
void TEditor::SetRowCol(int Row, int Col) {
    if (Row == FRow && Col == FCol && !CaretInsideCharacter()) {
        return;
    }
    {
        const bool wasSuspended = FRefreshSuspended;
        FRefreshSuspended = true;
        auto resume = ScopeEnd([this, wasSuspended] { FRefreshSuspended = wasSuspended; });
        SetRow(Row);
        int col = Col;
        const TColumnStretch classes = RowClasses(FRow, col);
        if (ClassAt(classes, col) == kClassTrailByte) {
            --col;
        }
        while (!FCaret->GetInTab() && ClassAt(classes, col) == kClassTabFill) {
            --col;
        }
        SetCol(col);
    }
    RefreshCaret();
}

bool TEditor::CaretInsideCharacter() const {
    const char caretClass = ClassAt(RowClasses(FRow, FCol), FCol);
    return caretClass == kClassTrailByte || (caretClass == kClassTabFill && !FCaret->GetInTab());
}

// Remembers Col as the column a following vertical move returns to, unless one is remembered.
void TEditor::RememberCol(bool Vertical, int Col) {
    if (Vertical && !FColRemembered) {
        FRememberedCol = Col;
        FColRemembered = true;
    }
}

// Makes Col legal in the caret row: within the row unless the caret may stand past its end,
// never on the second byte of a double-byte character, never inside a tab unless allowed, never
// at the end of a wrapped row, and one past the last caret column only right after a double-byte
// character that ends there. Step is the direction a bad column is left in.
void TEditor::AdjustCol(bool Vertical, int Step) {
    if (!Vertical) {
        FColRemembered = false;
    } else if (FColRemembered) {
        FCol = FRememberedCol;
    }
    const int width = RowWidth(FRow);
    const bool keepCaret = FCaret->GetKeepCaret();
    const bool inTab = FCaret->GetInTab();
    if (!FCaret->GetFreeCaret() && FCol > width) {
        const bool leftButton = HasWindow() && FHost->KeyDown(VK_LBUTTON);
        if (keepCaret) {
            RememberCol(Vertical, leftButton ? width : FCol);
        }
        if (!(FCaret->GetFreeRow() && Vertical && !leftButton)) {
            FCol = width;
            if (!keepCaret) {
                FColRemembered = false;
            }
        }
    }
    const TColumnStretch classes = RowClasses(FRow, FCol);
    if (ClassAt(classes, FCol) == kClassTrailByte) {
        RememberCol(Vertical, FCol);
        FCol += Step;
    }
    if (!inTab && ClassAt(classes, FCol) == kClassTabFill) {
        RememberCol(Vertical, FCol);
        while (ClassAt(classes, FCol) == kClassTabFill) {
            FCol += Step;
        }
    }
    if (GetWordWrap() && FCol >= width) {
        RememberCol(Vertical, FCol);
        const int wrapByte = GetWrapOption().GetWrapByte();
        if (RowAttributeOf(FRow) == raWrap) {
            FCol = std::max(0, width - 1);
        } else if (FCol >= wrapByte) {
            FCol = std::max(width, wrapByte - 1);
        }
        if (ClassAt(classes, FCol) == kClassTrailByte) {
            --FCol;
        }
        while (!inTab && ClassAt(classes, FCol) == kClassTabFill) {
            --FCol;
        }
    }
    const int lastCol = LastCaretCol(width);
    if (FCol > lastCol && ClassAt(RowClasses(FRow, lastCol), lastCol - 1) != kClassLeadByte) {
        FCol = lastCol;
    }
    if (!FRefreshSuspended) {
        RefreshCaret();
    }
}

} // namespace kst
