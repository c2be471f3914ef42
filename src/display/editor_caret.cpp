#include "display/editor.h"
#include "display/wrap.h"

#include <algorithm>
#include <limits>

namespace kst {

namespace {

constexpr int kCaretBarWidth = 2;
constexpr int kBriefCaretHeight = 2;
// Bytes of a row measured for caret columns: they take at least kMaxCol + 2 columns, more than a
// caret column can be, so a long row costs no more than a short one.
constexpr std::size_t kMeasuredBytes = kMaxCol + 2;

char ClassAt(const std::string& Classes, int Col) {
    return Col >= 0 && Col < static_cast<int>(Classes.size()) ? Classes[Col] : kClassEnd;
}

int SaturatedInt(std::int64_t Value) {
    return static_cast<int>(std::clamp<std::int64_t>(Value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

} // namespace

// Rows and columns

WrapContext TEditor::CurrentWrapContext() const {
    return FScreenStrings->GetWrapContext();
}

std::string_view TEditor::MeasuredText(int Row, std::size_t Bytes) const {
    if (Row < 0 || Row >= FScreenStrings->GetCount()) {
        return {};
    }
    return FScreenStrings->GetView(Row).substr(0, std::min(Bytes, kMeasuredBytes));
}

std::string TEditor::RowClasses(int Row) const {
    return ColumnClassesOf(CurrentWrapContext(), MeasuredText(Row, kMeasuredBytes));
}

// The row's width, or some width beyond the last caret column for a longer row.
int TEditor::RowWidth(int Row) const {
    return DisplayWidth(CurrentWrapContext(), MeasuredText(Row, kMeasuredBytes));
}

int TEditor::RowLength(int Row) const {
    if (Row < 0 || Row >= FScreenStrings->GetCount()) {
        return 0;
    }
    return static_cast<int>(FScreenStrings->GetView(Row).size());
}

// The row after a final line break is a caret row; after a last row without one there is none.
int TEditor::LastCaretRow() const {
    const int count = FScreenStrings->GetCount();
    return count > 0 && FScreenStrings->GetRowAttribute(count - 1) == raEndOfText ? count - 1
                                                                                  : count;
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

// Col made a legal caret column of Row: within the row unless the caret may stand past its end,
// never on the second byte of a double-byte character or inside a tab, never at the end of a
// wrapped row, and 1001 only right after a double-byte character in columns 999-1000.
int TEditor::LegalCol(int Row, int Col) const {
    const std::string classes = RowClasses(Row);
    const int width = RowWidth(Row);
    int col = std::clamp(Col, 0, kMaxCol + 1);
    if (!FCaret->GetFreeCaret()) {
        col = std::min(col, width);
    }
    if (GetWordWrap() && col >= width && Row < FScreenStrings->GetCount() &&
        FScreenStrings->GetRowAttribute(Row) == raWrap) {
        col = std::max(0, width - 1);
    }
    if (ClassAt(classes, col) == kClassTrailByte) {
        --col;
    }
    while (!FCaret->GetInTab() && col > 0 && ClassAt(classes, col) == kClassTabFill) {
        --col;
    }
    if (col > kMaxCol && ClassAt(classes, kMaxCol - 1) != kClassLeadByte) {
        col = kMaxCol;
    }
    return col;
}

// Caret placement

void TEditor::SetRow(int Row) {
    if (Row == FRow && FRow != FScreenStrings->GetCount()) {
        return;
    }
    MoveCaret(Row, FCol);
}

void TEditor::SetCol(int Col) {
    MoveCaret(FRow, Col);
}

void TEditor::SetRowCol(int Row, int Col) {
    if (Row == FRow && Col == FCol) {
        return;
    }
    MoveCaret(Row, Col);
}

void TEditor::MoveCaret(int Row, int Col) {
    const bool ruler = HasWindow() && FRuler->GetVisible();
    const int oldCol = FCol;
    BeginUnderlineHide();
    auto underlineShown = ScopeEnd([this] { EndUnderlineHide(); });
    FRow = std::clamp(Row, 0, LastCaretRow());
    FCol = LegalCol(FRow, Col);
    if (ruler && FCol != oldCol) {
        EraseRulerMark(oldCol);
        DrawRulerMark(FCol);
    }
    RefreshCaret();
}

void TEditor::SetCaretByOffset(int StartRow, int Offset) {
    const TEditorScreenStrings& rows = *FScreenStrings;
    int offset = std::max(0, Offset);
    for (int row = std::max(0, StartRow); row < rows.GetCount(); ++row) {
        const TRowAttribute attribute = rows.GetRowAttribute(row);
        const int span = RowLength(row) + (attribute == raLineBreak   ? 2
                                           : attribute == raEndOfText ? 1
                                                                      : 0);
        if (offset < span || attribute == raEndOfText) {
            SetRowCol(row, std::min(ColOfByte(row, offset), RowWidth(row)));
            return;
        }
        offset -= span;
    }
    const int last = LastCaretRow();
    SetRowCol(last, RowWidth(last));
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
    HideSystemCaret();
    if (FCaretCreated) {
        FHost->DestroyCaret();
    }
    TSize size{kCaretBarWidth, FFontHeight};
    if (FCaret->GetStyle() == csBrief) {
        const int cell = FCharWidth - FMargin->GetCharacter();
        const bool wide = ClassAt(RowClasses(FRow), FCol) == kClassLeadByte;
        size = {wide ? 2 * cell : cell, kBriefCaretHeight};
    }
    FHost->CreateCaret(size);
    FCaretCreated = true;
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

// Offsets

std::int64_t TEditor::IndexOfPosition(int Row, int Byte) const {
    return FRowIndex.IndexOfRow(*FScreenStrings, Row) + Byte;
}

std::int64_t TEditor::TextLength() const {
    return FRowIndex.IndexOfRow(*FScreenStrings, FScreenStrings->GetCount());
}

bool TEditor::SomethingSelected() const {
    return FSelectionState == kSelectionSelected || FSelectionState == kSelectionHit;
}

int TEditor::GetSelStart() const {
    if (SomethingSelected()) {
        return SaturatedInt(IndexOfPosition(FSelection.StartRow, FSelStartByte));
    }
    return SaturatedInt(IndexOfPosition(FRow, ClampedByteOfCol(FRow, FCol)));
}

void TEditor::SetSelStart(int Value) {
    CancelSelection();
    if (FScreenStrings->GetCount() == 0) {
        return;
    }
    if (Value <= 0) {
        SetRowCol(0, 0);
        return;
    }
    const int row = FRowIndex.RowOfIndex(*FScreenStrings, Value);
    SetCaretByOffset(row, SaturatedInt(Value - FRowIndex.IndexOfRow(*FScreenStrings, row)));
}

// Normal (not box) selections: the bytes between the start and the end position, the line breaks
// of the rows in between counted.
int TEditor::GetSelLength() const {
    if (FSelectionState != kSelectionSelected) {
        return 0;
    }
    const int endRow = FSelection.EndRow;
    const int endByte = std::min(FSelEndByte + 1, RowLength(endRow));
    const std::int64_t length =
        IndexOfPosition(endRow, endByte) - IndexOfPosition(FSelection.StartRow, FSelStartByte);
    return SaturatedInt(std::max<std::int64_t>(0, length));
}

void TEditor::SetSelLength(int Value) {
    if (FScreenStrings->GetCount() == 0) {
        return;
    }
    if (FBoxSelection) {
        FBoxSelection = false;
        if (OnSelectionModeChange) {
            OnSelectionModeChange(*this);
        }
    }
    if (Value <= 0) {
        if (SomethingSelected()) {
            SetRowCol(FSelection.StartRow, FSelection.StartCol);
            CancelSelection();
        }
        return;
    }
    {
        FRefreshSuspended = true;
        auto resume = ScopeEnd([this] { FRefreshSuspended = false; });
        if (SomethingSelected()) {
            SetRowCol(FSelection.StartRow, FSelection.StartCol);
        }
        StartSelection();
        SetCaretByOffset(FRow, SaturatedInt(std::int64_t{ClampedByteOfCol(FRow, FCol)} + Value));
    }
    RefreshCaret();
    ExtendSelection();
}

void TEditor::SelectAll() {
    SetSelStart(0);
    SetSelLength(SaturatedInt(TextLength()));
}

// Selection

void TEditor::StartSelection() {
    if (SomethingSelected()) {
        CancelSelection();
    }
    if (FScreenStrings->GetCount() == 0) {
        return;
    }
    FSelectionState = kSelectionAnchored;
    FAnchorRow = FRow;
    FAnchorByte = ClampedByteOfCol(FRow, FCol);
    FAnchorCol = FBoxSelection ? FCol : std::min(FCol, RowWidth(FRow));
    FSelection = {FAnchorRow, FAnchorRow, FAnchorCol, FAnchorCol};
    FSelStartByte = FAnchorByte;
    FSelEndByte = FAnchorByte;
    FPaintedRange = FSelection;
}

void TEditor::ExtendSelection() {
    if (FSelectionState == kSelectionAnchored) {
        ActivateSelection();
    } else if (FSelectionState == kSelectionSelected) {
        UpdateSelection();
    }
}

void TEditor::ActivateSelection() {
    if (FSelectionState != kSelectionAnchored) {
        return;
    }
    BeginUnderlineHide();
    FSelectionState = kSelectionSelected;
    UpdateSelection();
}

void TEditor::UpdateSelection() {
    if (!SomethingSelected()) {
        return;
    }
    const int caretByte = ClampedByteOfCol(FRow, FCol);
    const bool anchorFirst = FAnchorRow < FRow || (FAnchorRow == FRow && FAnchorByte < caretByte);
    FSelection.StartRow = std::min(FAnchorRow, FRow);
    FSelection.EndRow = std::max(FAnchorRow, FRow);
    FSelStartByte = anchorFirst ? FAnchorByte : caretByte;
    FSelEndByte = (anchorFirst ? caretByte : FAnchorByte) - 1;
    if (FBoxSelection || FAnchorRow == FRow) {
        FSelection.StartCol = std::min(FAnchorCol, FCol);
        FSelection.EndCol = std::max(FAnchorCol, FCol);
    } else {
        FSelection.StartCol = FAnchorRow < FRow ? FAnchorCol : FCol;
        FSelection.EndCol = FAnchorRow < FRow ? FCol : FAnchorCol;
    }
    if (!FBoxSelection) {
        FSelection.StartCol = std::min(FSelection.StartCol, RowWidth(FSelection.StartRow));
        FSelection.EndCol = std::min(FSelection.EndCol, RowWidth(FSelection.EndRow));
    }
    if (FSelectionState == kSelectionSelected || FHitStyle == hsDraw) {
        RepaintSelectionRows(FPaintedRange);
        FPaintedRange = FSelection;
    }
    if (OnSelectionChange) {
        OnSelectionChange(*this, true);
    }
}

// Repaints the rows that were or now are selected.
void TEditor::RepaintSelectionRows(const TSelectionRange& Old) {
    if (HasWindow()) {
        InvalidateRows(std::min(Old.StartRow, FSelection.StartRow),
                       std::max(Old.EndRow, FSelection.EndRow));
    }
}

void TEditor::CancelSelection() {
    if (!SomethingSelected()) {
        return;
    }
    const bool wasHit = FSelectionState == kSelectionHit;
    const TSelectionRange old = FSelection;
    FSelectionState = kSelectionNone;
    FHitLength = 0;
    if (wasHit && FHitStyle == hsCaret) {
        RefreshCaret();
    }
    if (old.StartRow != old.EndRow || old.StartCol != old.EndCol) {
        InvalidateCancelledSelection(old);
    }
    EndUnderlineHide();
    if (OnSelectionChange) {
        OnSelectionChange(*this, false);
    }
}

// The text area from the row above the old selection through its last row, one pixel taller so
// that the underline pixel loses the selection colour too, painted at once.
void TEditor::InvalidateCancelledSelection(const TSelectionRange& Old) {
    if (!HasWindow()) {
        return;
    }
    const int first = std::max(Old.StartRow - 1, FTopRow);
    const int last = std::min(Old.EndRow, FTopRow + FVisibleRows);
    if (first > last) {
        return;
    }
    FHost->Invalidate(
        {GetTextLeft(), RowTop(first), ClientRect().Right, RowTop(last) + GetRowHeight() + 1});
    FHost->Update();
}

} // namespace kst
