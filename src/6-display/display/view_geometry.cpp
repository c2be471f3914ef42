// The view's geometry: metrics, the areas of the client rectangle, scroll bars and scrolling, and
// measuring rows in display columns for the caret and the painter.
#include "core/messages.h"
#include "display/editor_view.h"
#include "document/wrap.h"
#include "fountain/fountain.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace kst {

namespace {

constexpr int kRulerHeightWithEdge = 11;
constexpr int kRulerHeightPlain = 10;
constexpr int kLeftbarEdgeWidth = 2;
constexpr int kMaxLeftbarDigits = 8;
// Pixels below the last whole row that the row count leaves free.
constexpr int kBottomSlack = 5;

int DecimalDigits(int Value) {
    int digits = 1;
    for (; Value >= 10; Value /= 10) {
        ++digits;
    }
    return digits;
}

} // namespace

// Areas and metrics

// The underline stays one pixel at any scale.
int TEditorView::GetRowHeight() const {
    return FFontHeight + Scaled(FMargin->GetLine()) + FMargin->GetUnderlinePixel();
}

int TEditorView::GetTextTop() const {
    return Scaled(FMargin->GetTop()) + FRulerHeight;
}

int TEditorView::GetTextLeft() const {
    return Scaled(FMargin->GetLeft()) + FImagebarWidth + FLeftbarWidth;
}

int TEditorView::RowTop(int Row) const {
    return GetTextTop() + (Row - FTopRow) * GetRowHeight();
}

int TEditorView::ColumnLeft(int Col) const {
    return GetTextLeft() + (Col - FTopCol) * FCharWidth;
}

bool TEditorView::ShowsScrollBar(TScrollBarKind Bar) const {
    if (Bar == TScrollBarKind::Vertical) {
        return FScrollBars == ssVertical || FScrollBars == ssBoth;
    }
    return FScrollBars == ssHorizontal || FScrollBars == ssBoth;
}

void TEditorView::ShowChosenScrollBars() {
    for (const TScrollBarKind bar : {TScrollBarKind::Horizontal, TScrollBarKind::Vertical}) {
        FHost->ShowScrollBar(bar, ShowsScrollBar(bar));
    }
}

// The highest number the left bar shows decides its digits: the last row (or its document line),
// one more when an empty line follows it, one more unless counting from 0.
int TEditorView::ComputeLeftbarDigits() const {
    const int column = FLeftbar->GetColumn();
    if (!HasWindow() || !FLeftbar->GetVisible() || !FLeftbar->GetShowNumber()) {
        return column;
    }
    const TEditorScreenStrings& rows = *FScreenStrings;
    const int last = rows.GetCount() - 1;
    int highest = last;
    if (last >= 0 && FLeftbar->GetShowNumberMode() == nmLine) {
        highest = rows.LineOfRow(last);
    }
    if (last < 0 || rows.GetRowAttribute(last) != raEndOfText) {
        ++highest;
    }
    if (!FLeftbar->GetZeroBase()) {
        ++highest;
    }
    return std::min(kMaxLeftbarDigits, std::max(column, DecimalDigits(std::max(0, highest))));
}

int TEditorView::LeftbarWidthFor(int Digits) const {
    if (!FLeftbar->GetVisible()) {
        return 0;
    }
    return Scaled(FLeftbar->GetLeftMargin()) + Digits * FCharWidth +
           Scaled(FLeftbar->GetRightMargin()) + kLeftbarEdgeWidth;
}

int TEditorView::ComputeVisibleCols() const {
    const int bar = ShowsScrollBar(TScrollBarKind::Vertical)
                        ? FHost->ScrollBarSize(TScrollBarKind::Vertical)
                        : 0;
    const int width = FHost->ClientSize().Width - GetTextLeft() - FCharWidth / 2 - bar;
    return std::max(1, width / FCharWidth);
}

int TEditorView::ComputeVisibleRows() const {
    const int bar = ShowsScrollBar(TScrollBarKind::Horizontal)
                        ? FHost->ScrollBarSize(TScrollBarKind::Horizontal)
                        : 0;
    const int height = FHost->ClientSize().Height - GetTextTop() - Scaled(kBottomSlack) - bar;
    return std::max(1, height / std::max(1, GetRowHeight()));
}

void TEditorView::RecalcMetrics() {
    if (!HasWindow()) {
        return;
    }
    FDpi = FHost->Dpi();
    Surface& surface = FHost->ClientSurface();
    surface.SelectFont(FFont.Spec());
    const TFontMetrics metrics = surface.FontMetrics();
    FFontHeight = std::max(1, metrics.Height + metrics.ExternalLeading);
    FCharWidth = std::max(1, metrics.AveCharWidth + Scaled(FMargin->GetCharacter()));
    FItalicMode = metrics.Italic || EffectiveFountain().UsesItalic(EffectiveFountain());
    FRulerHeight = !FRuler->GetVisible() ? 0
                   : FRuler->GetEdge()   ? Scaled(kRulerHeightWithEdge)
                                         : Scaled(kRulerHeightPlain);
    FImagebarWidth = FImagebar->Width();
    FLeftbarDigits = ComputeLeftbarDigits();
    FLeftbarWidth = LeftbarWidthFor(FLeftbarDigits);
    FVisibleRows = ComputeVisibleRows();
    FVisibleCols = ComputeVisibleCols();
}

void TEditorView::UpdateScrollBars() {
    if (!HasWindow()) {
        return;
    }
    FMaxTopRow = std::max(0, ScreenStrings().GetCount() + FVisibleRows - 1);
    FTopRow = std::min(FTopRow, FMaxTopRow);
    FTopCol = std::max(0, std::min(FTopCol, std::max(GetMaxCol(), GetCol()) - FVisibleCols / 2));
    FLeftOffset = FTopCol * FCharWidth;
    if (ShowsScrollBar(TScrollBarKind::Vertical)) {
        FHost->SetScrollRange(TScrollBarKind::Vertical,
                              {0, std::max(FVisibleRows, FMaxTopRow), FVisibleRows, FTopRow});
    }
    if (ShowsScrollBar(TScrollBarKind::Horizontal)) {
        FHost->SetScrollRange(TScrollBarKind::Horizontal,
                              {0, FVisibleCols / 2 + GetMaxCol(), FVisibleCols, FTopCol});
    }
}

int TEditorView::GetMaxCol() const {
    const auto longest = static_cast<std::int64_t>(FScreenStrings->LongestTextLength());
    return static_cast<int>(std::clamp<std::int64_t>(longest, kMaxCol, ColumnLimit()));
}

// Pixels of columns are ints: half their range is kept free for the window's own offsets.
int TEditorView::ColumnLimit() const {
    return std::numeric_limits<int>::max() / 2 / std::max(1, FCharWidth);
}

void TEditorView::Relayout() {
    FRowIndex.Reset();
    FTokenCheckpoints.Reset();
    RecalcMetrics();
    UpdateScrollBars();
    InvalidateAll();
}

void TEditorView::SetTopRow(int Row) {
    const int row = std::clamp(Row, 0, ScreenStrings().GetCount());
    if (!HasWindow()) {
        FTopRow = row;
        return;
    }
    BeginCaretHide();
    auto caretShown = ScopeEnd([this] { EndCaretHide(); });
    BeginUnderlineHide();
    auto underlineShown = ScopeEnd([this] { EndUnderlineHide(); });
    const int delta = FTopRow - row;
    FTopRow = row;
    if (delta == 0) {
        return;
    }
    const TRect client = ClientRect();
    const TRect area{0, GetTextTop(), client.Right, client.Bottom};
    // A jump of a screen or more keeps no pixels: everything is drawn again.
    if (std::abs(delta) > FVisibleRows) {
        FHost->Invalidate(area);
    } else {
        FHost->ScrollPixels(0, delta * GetRowHeight(), area, area);
    }
    if (ShowsScrollBar(TScrollBarKind::Vertical)) {
        FHost->SetScrollPosition(TScrollBarKind::Vertical, FTopRow);
    }
    MoveCompositionWindow();
    DoTopRowChange();
}

void TEditorView::SetTopCol(int Col) {
    // The caret's column stays reachable in a row wider than its bytes.
    const int col =
        std::clamp(Col, 0, std::max(0, std::max(GetMaxCol(), GetCol()) - FVisibleCols / 2));
    if (!HasWindow()) {
        FTopCol = col;
        FLeftOffset = col * FCharWidth;
        return;
    }
    const bool ruler = FRuler->GetVisible();
    if (ruler) {
        EraseRulerMark(GetCol());
    }
    BeginCaretHide();
    auto caretShown = ScopeEnd([this] { EndCaretHide(); });
    if (col == FTopCol) {
        return;
    }
    const int shift = (FTopCol - col) * FCharWidth;
    FTopCol = col;
    FLeftOffset -= shift;
    const TRect client = ClientRect();
    const TRect area{GetTextLeft(), 0, client.Right, client.Bottom};
    FHost->ScrollPixels(shift, 0, area, area);
    if (ruler) {
        DrawRulerMark(GetCol());
    }
    if (ShowsScrollBar(TScrollBarKind::Horizontal)) {
        FHost->SetScrollPosition(TScrollBarKind::Horizontal, FTopCol);
    }
    MoveCompositionWindow();
    DoTopColChange();
}

void TEditorView::ApplyLeftbarDigits() {
    const int oldWidth = FLeftbarWidth;
    FLeftbarDigits = ComputeLeftbarDigits();
    FLeftbarWidth = LeftbarWidthFor(FLeftbarDigits);
    RebuildBackground();
    FScreen->LeftbarWidthChanged(oldWidth);
    FVisibleCols = ComputeVisibleCols();
}

// Scrolling

TEditorView::TScrollAxis TEditorView::ScrollAxisOf(TScrollBarKind Bar) const {
    if (Bar == TScrollBarKind::Vertical) {
        return {FTopRow, FVisibleRows, FMaxTopRow};
    }
    return {FTopCol, FVisibleCols, FVisibleCols / 2 + GetMaxCol()};
}

// The thumb's position is asked of the scroll bar, whose range can pass the 16 bits of the
// message's position.
int TEditorView::ScrollDelta(TScrollBarKind Bar, unsigned Request) const {
    const TScrollAxis axis = ScrollAxisOf(Bar);
    switch (Request) {
    case SB_LINEUP:
        return -1;
    case SB_LINEDOWN:
        return 1;
    case SB_PAGEUP:
        return std::min(-1, -axis.Page);
    case SB_PAGEDOWN:
        return std::max(1, axis.Page);
    case SB_TOP:
        return -axis.Position;
    case SB_BOTTOM:
        return axis.Last - axis.Position;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        return FHost->TrackPosition(Bar) - axis.Position;
    }
    default:
        return 0;
    }
}

// A vertical scroll takes the caret along when LockScroll is on.
void TEditorView::ScrollBy(TScrollBarKind Bar, int Delta) {
    if (!HasWindow()) {
        return;
    }
    const TScrollAxis axis = ScrollAxisOf(Bar);
    const int delta = std::clamp(Delta, -axis.Position, std::max(0, axis.Last - axis.Position));
    if (delta == 0) {
        return;
    }
    if (Bar == TScrollBarKind::Horizontal) {
        SetTopCol(FTopCol + delta);
        return;
    }
    SetTopRow(FTopRow + delta);
    if (FCaret->GetLockScroll()) {
        SetRow(GetRow() + delta);
    }
}

// Measuring rows

WrapContext TEditorView::CurrentWrapContext() const {
    return FScreenStrings->GetWrapContext();
}

int TEditorView::RowCount() const {
    return FScreenStrings->GetCount();
}

std::string_view TEditorView::RowText(int Row) const {
    return Row >= 0 && Row < RowCount() ? FScreenStrings->GetView(Row) : std::string_view();
}

TRowAttribute TEditorView::RowAttributeOf(int Row) const {
    return Row >= 0 && Row < RowCount() ? FScreenStrings->GetRowAttribute(Row) : raNone;
}

std::string_view TEditorView::MeasuredText(int Row, std::size_t Bytes) const {
    return RowText(Row).substr(0, Bytes);
}

TColumnStretch TEditorView::RowClasses(int Row, int Col) const {
    return {CurrentWrapContext(), RowText(Row), Col};
}

int TEditorView::RowWidth(int Row) const {
    return DisplayWidth(CurrentWrapContext(), RowText(Row));
}

int TEditorView::LastCaretCol(int Width) const {
    return std::min(std::max(GetMaxCol(), Width), ColumnLimit());
}

int TEditorView::RowLength(int Row) const {
    return static_cast<int>(RowText(Row).size());
}

// The row after a final line break is a caret row; after a last row without one there is none.
int TEditorView::LastCaretRow() const {
    const int count = RowCount();
    return count > 0 && RowAttributeOf(count - 1) == raEndOfText ? count - 1 : count;
}

// A column inside a tab's extra columns is the tab's byte; past the row's end, every column is a
// byte of its own.
int TEditorView::ByteOfCol(int Row, int Col) const {
    const std::string_view text = RowText(Row);
    const TColumnWalk walk = WalkToColumn(CurrentWrapContext(), text, Col);
    const bool inTab = walk.Byte < text.size() && text[walk.Byte] == '\t' && Col > walk.Column;
    const std::int64_t fills = walk.Fills + (inTab ? Col - walk.Column : 0);
    return static_cast<int>(Col - fills);
}

int TEditorView::ClampedByteOfCol(int Row, int Col) const {
    return std::clamp(ByteOfCol(Row, Col), 0, RowLength(Row));
}

int TEditorView::ColOfByte(int Row, int Byte) const {
    return DisplayWidth(CurrentWrapContext(),
                        MeasuredText(Row, static_cast<std::size_t>(std::max(0, Byte))));
}

int TEditorView::LineCountBefore(int Rows) const {
    if (!GetWordWrap()) {
        return Rows;
    }
    return FScreenStrings->LineOfRow(std::clamp(Rows, 0, RowCount()));
}

TPoint TEditorView::PosToRowCol(TPoint Point, bool Rounding) const {
    const int left = GetTextLeft();
    const int width = FCharWidth;
    const int x = Point.X < left ? Point.X - (width - 1) : Point.X;
    const int cells = Rounding ? (x - left + width / 2 - 1) / width : (x - left) / width;
    const int row = (Point.Y - GetTextTop()) / std::max(1, GetRowHeight()) + FTopRow;
    return {std::max(0, cells + FTopCol), row};
}

} // namespace kst
