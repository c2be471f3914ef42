// The view's geometry: metrics, the areas of the client rectangle, scroll bars and scrolling, and
// measuring rows in display columns for the caret and the painter.
#include "core/messages.h"
#include "display/editor_view.h"
#include "document/wrap.h"
#include "fountain/fountain.h"

#include <algorithm>
#include <cstdlib>

namespace kst {

namespace {

constexpr int kRulerHeightWithEdge = 11;
constexpr int kRulerHeightPlain = 10;
constexpr int kLeftbarEdgeWidth = 2;
constexpr int kMaxLeftbarDigits = 8;
// Pixels below the last whole row that the row count leaves free.
constexpr int kBottomSlack = 5;
// Bytes of a row measured for caret columns: they take at least kMaxCol + 2 columns, more than a
// caret column can be, so a long row costs no more than a short one.
constexpr std::size_t kMeasuredBytes = kMaxCol + 2;

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
    FMaxCol = kMaxCol;
    FTopCol = std::max(0, std::min(FTopCol, kMaxCol - FVisibleCols / 2));
    FLeftOffset = FTopCol * FCharWidth;
    if (ShowsScrollBar(TScrollBarKind::Vertical)) {
        FHost->SetScrollRange(TScrollBarKind::Vertical,
                              {0, std::max(FVisibleRows, FMaxTopRow), FVisibleRows, FTopRow});
    }
    if (ShowsScrollBar(TScrollBarKind::Horizontal)) {
        FHost->SetScrollRange(TScrollBarKind::Horizontal,
                              {0, FVisibleCols / 2 + kMaxCol, FVisibleCols, FTopCol});
    }
}

void TEditorView::Relayout() {
    FRowIndex.Reset();
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
    const int col = std::clamp(Col, 0, std::max(0, FMaxCol - FVisibleCols / 2));
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
    return {FTopCol, FVisibleCols, FVisibleCols / 2 + kMaxCol};
}

// The vertical thumb's position is asked of the scroll bar, whose range can pass the 16 bits of the
// message's position.
int TEditorView::ScrollDelta(TScrollBarKind Bar, unsigned Request, unsigned ThumbPosition) const {
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
        const int thumb = Bar == TScrollBarKind::Vertical ? FHost->TrackPosition(Bar)
                                                          : static_cast<int>(ThumbPosition);
        return thumb - axis.Position;
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
    return RowText(Row).substr(0, std::min(Bytes, kMeasuredBytes));
}

std::string TEditorView::RowClasses(int Row) const {
    return ColumnClassesOf(CurrentWrapContext(), MeasuredText(Row, kMeasuredBytes));
}

// The row's width, or some width beyond the last caret column for a longer row.
int TEditorView::RowWidth(int Row) const {
    return DisplayWidth(CurrentWrapContext(), MeasuredText(Row, kMeasuredBytes));
}

int TEditorView::RowLength(int Row) const {
    return static_cast<int>(RowText(Row).size());
}

// The row after a final line break is a caret row; after a last row without one there is none.
int TEditorView::LastCaretRow() const {
    const int count = RowCount();
    return count > 0 && RowAttributeOf(count - 1) == raEndOfText ? count - 1 : count;
}

int TEditorView::ByteOfCol(int Row, int Col) const {
    const std::string classes = RowClasses(Row);
    const auto end = classes.begin() + std::clamp(Col + 1, 0, static_cast<int>(classes.size()));
    return Col - static_cast<int>(std::count(classes.begin(), end, kClassTabFill));
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
