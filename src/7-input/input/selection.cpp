// Byte offsets of caret positions and the selection: anchoring, stretching, reading out in normal
// and box form, cancelling, and search hits.
#include "document/wrap.h"
#include "input/editor.h"

#include <algorithm>
#include <limits>

namespace kst {

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr int kLineBreakBytes = 2;
constexpr int kMinHitCaretWidth = 2;

int SaturatedInt(std::int64_t Value) {
    return static_cast<int>(std::clamp<std::int64_t>(Value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// The bytes Offset counts for a row: its text, and the line break or the end of the text.
int OffsetSpan(int Length, TRowAttribute Attribute) {
    switch (Attribute) {
    case raLineBreak:
        return Length + kLineBreakBytes;
    case raEndOfText:
        return Length + 1;
    default:
        return Length;
    }
}

// Bytes First..Last of Text, clamped to it.
std::string_view BytesBetween(std::string_view Text, int First, int Last) {
    const auto first =
        static_cast<std::size_t>(std::clamp(First, 0, static_cast<int>(Text.size())));
    const auto end =
        static_cast<std::size_t>(std::clamp(Last + 1, 0, static_cast<int>(Text.size())));
    return first < end ? Text.substr(first, end - first) : std::string_view();
}

// The columns of a row that a range covers: [Start, End), End unbounded for the row's rest.
struct TColumnSpan {
    int Start = 0;
    int End = 0;

    bool Empty() const { return Start >= End; }
    bool operator==(const TColumnSpan&) const = default;
};

TColumnSpan SelectedColumns(const TSelectionRange& Range, bool Box, int Row) {
    if (Row < Range.StartRow || Row > Range.EndRow) {
        return {};
    }
    if (Box) {
        return {Range.StartCol, Range.EndCol};
    }
    constexpr int kRowEnd = std::numeric_limits<int>::max();
    const int start = Row == Range.StartRow ? Range.StartCol : 0;
    const int end = Row == Range.EndRow ? Range.EndCol : kRowEnd;
    return {start, end};
}

} // namespace

// Offsets

int TEditor::OffsetFromRow(int StartRow, int Row, int Col) const {
    if (Row < StartRow) {
        return 0;
    }
    std::int64_t offset = ByteOfCol(Row, Col);
    for (int row = std::max(0, StartRow); row < Row; ++row) {
        offset += OffsetSpan(RowLength(row), RowAttributeOf(row));
    }
    return SaturatedInt(offset);
}

// An offset equal to a raWrap row's length lands at the start of the next row; one equal to a
// raLineBreak row's length at that row's end.
void TEditor::SetCaretByOffset(int StartRow, int Offset) {
    int offset = std::max(0, Offset);
    for (int row = std::max(0, StartRow); row < RowCount(); ++row) {
        const TRowAttribute attribute = RowAttributeOf(row);
        const int span = OffsetSpan(RowLength(row), attribute);
        if (offset < span || attribute == raEndOfText) {
            SetRowCol(row, std::min(ColOfByte(row, offset), RowWidth(row)));
            return;
        }
        offset -= span;
    }
    const int last = LastCaretRow();
    SetRowCol(last, RowWidth(last));
}

std::int64_t TEditor::IndexOfPosition(int Row, int Byte) const {
    return FRowIndex.IndexOfRow(*FScreenStrings, Row) + Byte;
}

std::int64_t TEditor::TextLength() const {
    return FRowIndex.IndexOfRow(*FScreenStrings, RowCount());
}

int TEditor::GetSelStart() const {
    if (SomethingSelected()) {
        return SaturatedInt(IndexOfPosition(FSelection.StartRow, FSelStartByte));
    }
    return SaturatedInt(IndexOfPosition(FRow, ClampedByteOfCol(FRow, FCol)));
}

void TEditor::SetSelStart(int Value) {
    CancelSelection();
    if (RowCount() == 0) {
        return;
    }
    if (Value <= 0) {
        SetRowCol(0, 0);
        return;
    }
    const int row = FRowIndex.RowOfIndex(*FScreenStrings, Value);
    SetCaretByOffset(row, SaturatedInt(Value - FRowIndex.IndexOfRow(*FScreenStrings, row)));
}

int TEditor::GetSelLength() const {
    if (FSelectionState != kSelectionSelected) {
        return 0;
    }
    const int startRow = FSelection.StartRow;
    const int endRow = FSelection.EndRow;
    if (startRow == endRow) {
        return static_cast<int>(BytesBetween(RowText(startRow), FSelStartByte, FSelEndByte).size());
    }
    if (FBoxSelection) {
        std::int64_t length = 0;
        for (int row = startRow; row <= endRow; ++row) {
            const auto [first, last] = BoxBytes(row);
            length += static_cast<std::int64_t>(BytesBetween(RowText(row), first, last).size()) +
                      kLineBreakBytes;
        }
        return SaturatedInt(length);
    }
    const int endByte = std::clamp(FSelEndByte + 1, 0, RowLength(endRow));
    const std::int64_t length =
        IndexOfPosition(endRow, endByte) - IndexOfPosition(startRow, FSelStartByte);
    return SaturatedInt(std::max<std::int64_t>(0, length));
}

// Selects Value bytes from the selection's start, or from the caret; the caret ends at the end.
// A box selection becomes a normal one.
void TEditor::SetSelLength(int Value) {
    if (RowCount() == 0) {
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
        const bool wasSuspended = FRefreshSuspended;
        FRefreshSuspended = true;
        auto resume = ScopeEnd([this, wasSuspended] { FRefreshSuspended = wasSuspended; });
        if (SomethingSelected()) {
            SetRowCol(FSelection.StartRow, FSelection.StartCol);
        }
        StartSelection();
        SetCaretByOffset(FRow, SaturatedInt(std::int64_t{ClampedByteOfCol(FRow, FCol)} + Value));
    }
    RefreshCaret();
    ExtendSelection();
}

// Readout

std::pair<int, int> TEditor::BoxBytes(int Row) const {
    const TColumnStretch atStart = RowClasses(Row, FSelection.StartCol);
    int first = FSelection.StartCol;
    if (ClassAt(atStart, first) == kClassTrailByte) {
        ++first;
    }
    while (ClassAt(atStart, first) == kClassTabFill) {
        ++first;
    }
    int last = FSelection.EndCol - 1;
    const TColumnStretch atEnd = RowClasses(Row, last);
    if (ClassAt(atEnd, last) == kClassLeadByte) {
        ++last;
    } else {
        while (last > 0 && ClassAt(atEnd, last) == kClassTabFill) {
            --last;
        }
    }
    return {first - atStart.TabFillsBefore(first), last - atEnd.TabFillsBefore(last)};
}

std::string TEditor::GetSelText() const {
    if (FSelectionState != kSelectionSelected) {
        return {};
    }
    const int startRow = FSelection.StartRow;
    const int endRow = FSelection.EndRow;
    if (startRow == endRow) {
        return std::string(BytesBetween(RowText(startRow), FSelStartByte, FSelEndByte));
    }
    std::string text;
    if (FBoxSelection) {
        for (int row = startRow; row <= endRow; ++row) {
            const auto [first, last] = BoxBytes(row);
            text.append(BytesBetween(RowText(row), first, last)).append(kLineBreak);
        }
        return text;
    }
    text.reserve(static_cast<std::size_t>(std::max(0, GetSelLength())));
    text.append(RowText(startRow).substr(std::min<std::size_t>(
        static_cast<std::size_t>(std::max(0, FSelStartByte)), RowText(startRow).size())));
    for (int row = startRow; row < endRow; ++row) {
        if (row > startRow) {
            text.append(RowText(row));
        }
        if (RowAttributeOf(row) == raLineBreak || row == RowCount() - 1) {
            text.append(kLineBreak);
        }
    }
    text.append(BytesBetween(RowText(endRow), 0, FSelEndByte));
    return text;
}

void TEditor::RowsWithoutSelection(TEditorStringList& Rows) const {
    Rows.Clear();
    if (FSelectionState != kSelectionSelected) {
        return;
    }
    const auto addRow = [&Rows](std::string_view Text, TRowAttribute Attribute, int Value) {
        const int index = Rows.Add(Text);
        Rows.SetRowAttribute(index, Attribute);
        Rows.SetRowValue(index, Value);
    };
    const auto attributeOf = [this](int Row) {
        return Row < RowCount() ? RowAttributeOf(Row) : raEndOfText;
    };
    if (FBoxSelection) {
        for (int row = FSelection.StartRow; row <= FSelection.EndRow; ++row) {
            const std::string_view text = RowText(row);
            const auto [first, last] = BoxBytes(row);
            const std::string_view cut = BytesBetween(text, first, last);
            const std::size_t head = std::min(text.size(), static_cast<std::size_t>(first));
            std::string rest(text.substr(0, head));
            rest.append(text.substr(std::min(text.size(), head + cut.size())));
            addRow(rest, attributeOf(row), first + 1);
        }
        return;
    }
    const std::string_view startText = RowText(FSelection.StartRow);
    const std::string_view endText = RowText(FSelection.EndRow);
    std::string joined(startText.substr(
        0, std::min(startText.size(), static_cast<std::size_t>(std::max(0, FSelStartByte)))));
    joined.append(endText.substr(
        std::min(endText.size(), static_cast<std::size_t>(std::max(0, FSelEndByte + 1)))));
    addRow(joined, attributeOf(FSelection.EndRow), FSelStartByte + 1);
}

std::string TEditor::JoinRows(const TEditorStringList& Rows) {
    std::string text;
    for (int i = 0; i < Rows.GetCount(); ++i) {
        text.append(Rows.GetView(i));
        if (Rows.GetRowAttribute(i) == raLineBreak) {
            text.append(kLineBreak);
        }
    }
    return text;
}

// Life cycle

void TEditor::StartSelection() {
    if (SomethingSelected()) {
        CancelSelection();
    }
    if (RowCount() == 0) {
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
    FSelectionState = FMakingHit ? kSelectionHit : kSelectionSelected;
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
        RepaintSelectionChange(FPaintedRange);
        FPaintedRange = FSelection;
    }
    if (OnSelectionChange) {
        OnSelectionChange(*this, true);
    }
}

// Repaints, on the visible rows, only the columns whose selected state changed; one column more on
// each side covers a double-byte character cut by an edge.
void TEditor::RepaintSelectionChange(const TSelectionRange& Old) {
    if (!HasWindow()) {
        return;
    }
    const int first = std::max({std::min(Old.StartRow, FSelection.StartRow), FTopRow});
    const int last = std::min(std::max(Old.EndRow, FSelection.EndRow), FTopRow + FVisibleRows);
    const int right = ClientRect().Right;
    const auto xOf = [this, right](int Col) {
        const std::int64_t x =
            GetTextLeft() + std::int64_t{Col} * FCharWidth - FLeftOffset - FTopCol * FCharWidth;
        return static_cast<int>(std::clamp<std::int64_t>(x, GetTextLeft(), right));
    };
    bool changed = false;
    for (int row = first; row <= last; ++row) {
        const TColumnSpan before = SelectedColumns(Old, FBoxSelection, row);
        const TColumnSpan after = SelectedColumns(FSelection, FBoxSelection, row);
        if (before == after || (before.Empty() && after.Empty())) {
            continue;
        }
        int from = std::min(before.Empty() ? after.Start : before.Start,
                            after.Empty() ? before.Start : after.Start);
        int to = std::max(before.Empty() ? after.End : before.End,
                          after.Empty() ? before.End : after.End);
        if (!before.Empty() && !after.Empty()) {
            from = before.Start == after.Start ? std::min(before.End, after.End) : from;
            to = before.End == after.End ? std::max(before.Start, after.Start) : to;
        }
        const int top = RowTop(row);
        FHost->Invalidate({xOf(from - 1), top,
                           xOf(to == std::numeric_limits<int>::max() ? to : to + 1),
                           top + GetRowHeight()});
        changed = true;
    }
    if (changed) {
        FHost->Update();
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
    FColRemembered = false;
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

void TEditor::SetBoxSelection(bool Value) {
    if (Value == FBoxSelection || FDragState == kDragMoving) {
        return;
    }
    FBoxSelection = Value;
    if (SomethingSelected()) {
        if (Value) {
            SetCursor(FCaret->GetCursors().GetDefaultCursor());
        }
        UpdateSelection();
        InvalidateAll();
    }
    if (OnSelectionModeChange) {
        OnSelectionModeChange(*this);
    }
}

// Box selections are never dragged, so only the normal form is tested.
bool TEditor::IsInSelection(int Row, int Col) const {
    if (FSelectionState != kSelectionSelected || Row < FSelection.StartRow ||
        Row > FSelection.EndRow) {
        return false;
    }
    if (FBoxSelection) {
        return Col >= FSelection.StartCol && Col < FSelection.EndCol;
    }
    return !((Row == FSelection.StartRow && Col < FSelection.StartCol) ||
             (Row == FSelection.EndRow && Col >= FSelection.EndCol));
}

// Hits

void TEditor::SetHitSelection(int Length) {
    if (FHitStyle == hsSelect || (FHitStyle == hsCaret && Length <= 0)) {
        SetSelLength(Length);
        FHitLength = Length;
        return;
    }
    const int row = FRow;
    const int col = FCol;
    {
        FMakingHit = true;
        auto done = ScopeEnd([this] { FMakingHit = false; });
        SetSelLength(Length);
    }
    if (FHitStyle == hsCaret) {
        SetRowCol(row, col);
        ShowHitCaret();
    }
    FHitLength = Length;
}

// The caret becomes a block over the hit: the hit's columns on one row, else to the row's end.
void TEditor::ShowHitCaret() {
    if (!Focused() || !SomethingSelected()) {
        return;
    }
    const int columns = FSelection.StartRow == FSelection.EndRow
                            ? FSelection.EndCol - FSelection.StartCol
                            : RowWidth(FRow) - FSelection.StartCol;
    CreateSystemCaret({std::max(kMinHitCaretWidth, FCharWidth * columns), FFontHeight});
    FHost->SetCaretPos(CaretPixel());
    ShowCaretIfAllowed();
}

} // namespace kst
