// The caret: legal positions, moves by row and column, the system caret and its hiding.
#include "core/messages.h"
#include "display/editor.h"
#include "document/wrap.h"

#include <algorithm>

namespace kst {

namespace {

constexpr int kCaretBarWidth = 2;
constexpr int kBriefCaretHeight = 2;
// Bytes of a row measured for caret columns: they take at least kMaxCol + 2 columns, more than a
// caret column can be, so a long row costs no more than a short one.
constexpr std::size_t kMeasuredBytes = kMaxCol + 2;
constexpr std::string_view kLineBreak = "\r\n";

} // namespace

// Rows and columns

WrapContext TEditor::CurrentWrapContext() const {
    return FScreenStrings->GetWrapContext();
}

int TEditor::RowCount() const {
    return FScreenStrings->GetCount();
}

std::string_view TEditor::RowText(int Row) const {
    return Row >= 0 && Row < RowCount() ? FScreenStrings->GetView(Row) : std::string_view();
}

TRowAttribute TEditor::RowAttributeOf(int Row) const {
    return Row >= 0 && Row < RowCount() ? FScreenStrings->GetRowAttribute(Row) : raNone;
}

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

std::string_view TEditor::MeasuredText(int Row, std::size_t Bytes) const {
    return RowText(Row).substr(0, std::min(Bytes, kMeasuredBytes));
}

std::string TEditor::RowClasses(int Row) const {
    return ColumnClassesOf(CurrentWrapContext(), MeasuredText(Row, kMeasuredBytes));
}

// The row's width, or some width beyond the last caret column for a longer row.
int TEditor::RowWidth(int Row) const {
    return DisplayWidth(CurrentWrapContext(), MeasuredText(Row, kMeasuredBytes));
}

int TEditor::RowLength(int Row) const {
    return static_cast<int>(RowText(Row).size());
}

// The row after a final line break is a caret row; after a last row without one there is none.
int TEditor::LastCaretRow() const {
    const int count = RowCount();
    return count > 0 && RowAttributeOf(count - 1) == raEndOfText ? count - 1 : count;
}

int TEditor::ByteOfCol(int Row, int Col) const {
    const std::string classes = RowClasses(Row);
    const auto end = classes.begin() + std::clamp(Col + 1, 0, static_cast<int>(classes.size()));
    return Col - static_cast<int>(std::count(classes.begin(), end, kClassTabFill));
}

int TEditor::ClampedByteOfCol(int Row, int Col) const {
    return std::clamp(ByteOfCol(Row, Col), 0, RowLength(Row));
}

int TEditor::ColOfByte(int Row, int Byte) const {
    return DisplayWidth(CurrentWrapContext(),
                        MeasuredText(Row, static_cast<std::size_t>(std::max(0, Byte))));
}

int TEditor::LineCountBefore(int Rows) const {
    if (!GetWordWrap()) {
        return Rows;
    }
    return FScreenStrings->LineOfRow(std::clamp(Rows, 0, RowCount()));
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
    const int col = std::clamp(Col, 0, kMaxCol + 1);
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
        const std::string classes = RowClasses(FRow);
        int col = Col;
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
    const char caretClass = ClassAt(RowClasses(FRow), FCol);
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
// at the end of a wrapped row, and 1001 only right after a double-byte character in columns
// 999-1000. Step is the direction a bad column is left in.
void TEditor::AdjustCol(bool Vertical, int Step) {
    if (!Vertical) {
        FColRemembered = false;
    } else if (FColRemembered) {
        FCol = FRememberedCol;
    }
    const std::string classes = RowClasses(FRow);
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
    if (FCol > kMaxCol && ClassAt(classes, kMaxCol - 1) != kClassLeadByte) {
        FCol = kMaxCol;
    }
    if (!FRefreshSuspended) {
        RefreshCaret();
    }
}

// The system caret

TPoint TEditor::CaretPixel() const {
    const int briefDrop = FCaret->GetStyle() == csBrief ? FFontHeight - kBriefCaretHeight : 0;
    return {ColumnLeft(FCol), RowTop(FRow) + briefDrop};
}

void TEditor::RefreshCaret() {
    if (FRefreshSuspended) {
        return;
    }
    if (Focused()) {
        CreateCaretShape();
        ScrollCaretIntoView();
        PlaceSystemCaret();
    }
    ShowCaretIfAllowed();
}

void TEditor::CreateCaretShape() {
    TSize size{kCaretBarWidth, FFontHeight};
    if (FCaret->GetStyle() == csBrief) {
        const int cell = FCharWidth - FMargin->GetCharacter();
        const bool wide = ClassAt(RowClasses(FRow), FCol) == kClassLeadByte;
        size = {wide ? 2 * cell : cell, kBriefCaretHeight};
    }
    CreateSystemCaret(size);
}

// The caret is refreshed on every keystroke, and creating one is a round trip to the window
// system (a Wine server request): a caret of the same size is kept.
void TEditor::CreateSystemCaret(TSize Size) {
    if (FCaretCreated && FCaretSize == Size) {
        return;
    }
    HideSystemCaret();
    if (FCaretCreated) {
        FHost->DestroyCaret();
    }
    FHost->CreateCaret(Size);
    FCaretCreated = true;
    FCaretSize = Size;
}

void TEditor::PlaceSystemCaret() {
    FHost->SetCaretPos(CaretPixel());
    MoveCompositionWindow();
    if (OnCaretMoved) {
        OnCaretMoved(*this);
    }
}

// Shown only when no hide is open, the window has the focus and the caret is on screen. The
// position is set again because scrolling may have moved the text under it.
void TEditor::ShowCaretIfAllowed() {
    if (FCaretHideCount > 0 || FCaretShown || !FCaretCreated || !Focused() || CaretOutOfView()) {
        return;
    }
    FHost->SetCaretPos(CaretPixel());
    FHost->ShowCaret();
    FCaretShown = true;
}

void TEditor::HideSystemCaret() {
    if (FCaretShown) {
        FHost->HideCaret();
        FCaretShown = false;
    }
}

void TEditor::BeginCaretHide() {
    if (++FCaretHideCount == 1) {
        HideSystemCaret();
    }
}

void TEditor::EndCaretHide() {
    if (FCaretHideCount > 0 && --FCaretHideCount == 0) {
        ShowCaretIfAllowed();
    }
}

bool TEditor::UnderlineShown() const {
    return HasWindow() && FMarks->GetUnderline().GetVisible() && !SomethingSelected();
}

void TEditor::BeginUnderlineHide() {
    if (FUnderlineHideCount++ == 0 && UnderlineShown()) {
        EraseUnderline(FRow);
    }
}

void TEditor::EndUnderlineHide() {
    if (FUnderlineHideCount > 0 && --FUnderlineHideCount == 0 && UnderlineShown()) {
        DrawUnderline(FRow);
    }
}

bool TEditor::CaretOutOfView() const {
    return FRow < FTopRow || FRow > FTopRow + FVisibleRows || FCol < FTopCol ||
           FCol > FTopCol + FVisibleCols;
}

// Horizontal scrolling moves at least a quarter of the visible width.
void TEditor::ScrollCaretIntoView() {
    if (FRow < FTopRow) {
        SetTopRow(FRow);
    } else if (FRow > FTopRow + FVisibleRows - 1) {
        SetTopRow(FRow - FVisibleRows + 1);
    }
    const int quarter = FVisibleCols / 4;
    if (FCol < FTopCol) {
        SetTopCol(std::max(0, std::min(FCol, FTopCol - quarter)));
    } else if (FCol > FTopCol + FVisibleCols - 1) {
        SetTopCol(std::min(std::max(FCol - FVisibleCols + 1, FTopCol + quarter),
                           kMaxCol - FVisibleCols / 2));
    }
}

TPoint TEditor::PosToRowCol(TPoint Point, bool Rounding) const {
    const int left = GetTextLeft();
    const int width = FCharWidth;
    const int x = Point.X < left ? Point.X - (width - 1) : Point.X;
    const int cells = Rounding ? (x - left + width / 2 - 1) / width : (x - left) / width;
    const int row = (Point.Y - GetTextTop()) / std::max(1, GetRowHeight()) + FTopRow;
    return {std::max(0, cells + FTopCol), row};
}

} // namespace kst
