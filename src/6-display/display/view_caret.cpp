// The system caret: its shape, its place at the caret position the editor above keeps, the counted
// hides of the caret and of the caret row's underline, scrolling the caret into view, and the input
// method's composition window.
#include "display/editor_view.h"
#include "document/wrap.h"

#include <algorithm>

namespace kst {

namespace {

constexpr int kCaretBarWidth = 2;
constexpr int kBriefCaretHeight = 2;

} // namespace

bool TEditorView::SomethingSelected() const {
    const std::uint8_t state = GetSelectionState();
    return state == kSelectionSelected || state == kSelectionHit;
}

TPoint TEditorView::CaretPixel() const {
    const int briefDrop =
        FCaret->GetStyle() == csBrief ? FFontHeight - Scaled(kBriefCaretHeight) : 0;
    return {ColumnLeft(GetCol()), RowTop(GetRow()) + briefDrop};
}

void TEditorView::RefreshCaret() {
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

void TEditorView::CreateCaretShape() {
    TSize size{Scaled(kCaretBarWidth), FFontHeight};
    if (FCaret->GetStyle() == csBrief) {
        const int cell = FCharWidth - Scaled(FMargin->GetCharacter());
        const bool wide = ClassAt(RowClasses(GetRow(), GetCol()), GetCol()) == kClassLeadByte;
        size = {wide ? 2 * cell : cell, Scaled(kBriefCaretHeight)};
    }
    CreateSystemCaret(size);
}

// The caret is refreshed on every keystroke, and creating one is a round trip to the window
// system (a Wine server request): a caret of the same size is kept.
void TEditorView::CreateSystemCaret(TSize Size) {
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

void TEditorView::PlaceSystemCaret() {
    FHost->SetCaretPos(CaretPixel());
    MoveCompositionWindow();
    DoCaretMoved();
}

// Shown when the candidate list does not hold it hidden, the window has the focus and the caret is
// on screen, and hidden when it is off screen. The position is set again because scrolling may
// have moved the text under it; the host skips a position that did not change.
void TEditorView::ShowCaretIfAllowed() {
    if (FCaretSuppressed || !FCaretCreated || !Focused()) {
        return;
    }
    if (CaretOutOfView()) {
        HideSystemCaret();
        return;
    }
    FHost->SetCaretPos(CaretPixel());
    if (!FCaretShown) {
        FHost->ShowCaret();
        FCaretShown = true;
    }
}

void TEditorView::HideSystemCaret() {
    if (FCaretShown) {
        FHost->HideCaret();
        FCaretShown = false;
    }
}

// A change leaves the caret shown: the window system hides it while the window paints or
// scrolls, and what is drawn outside a paint (the ruler's mark, the caret row's underline) lies
// beside the caret. Under Wine a hide and a show would cost each typed key four round trips to
// its server. When the last change ends, the caret is placed, or hidden if it left the screen.
void TEditorView::BeginCaretHide() {
    ++FCaretHideCount;
}

void TEditorView::EndCaretHide() {
    if (FCaretHideCount > 0 && --FCaretHideCount == 0) {
        ShowCaretIfAllowed();
    }
}

void TEditorView::SetCaretSuppressed(bool Suppressed) {
    if (Suppressed == FCaretSuppressed) {
        return;
    }
    FCaretSuppressed = Suppressed;
    if (Suppressed) {
        HideSystemCaret();
    } else {
        ShowCaretIfAllowed();
    }
}

bool TEditorView::UnderlineShown() const {
    return HasWindow() && FMarks->GetUnderline().GetVisible() && !SomethingSelected();
}

void TEditorView::BeginUnderlineHide() {
    if (FUnderlineHideCount++ == 0 && UnderlineShown()) {
        EraseUnderline(GetRow());
    }
}

void TEditorView::EndUnderlineHide() {
    if (FUnderlineHideCount > 0 && --FUnderlineHideCount == 0 && UnderlineShown()) {
        DrawUnderline(GetRow());
    }
}

bool TEditorView::CaretOutOfView() const {
    const int row = GetRow();
    const int col = GetCol();
    return row < FTopRow || row > FTopRow + FVisibleRows || col < FTopCol ||
           col > FTopCol + FVisibleCols;
}

// Horizontal scrolling moves at least a quarter of the visible width.
void TEditorView::ScrollCaretIntoView() {
    const int row = GetRow();
    const int col = GetCol();
    if (row < FTopRow) {
        SetTopRow(row);
    } else if (row > FTopRow + FVisibleRows - 1) {
        SetTopRow(row - FVisibleRows + 1);
    }
    const int quarter = FVisibleCols / 4;
    if (col < FTopCol) {
        SetTopCol(std::max(0, std::min(col, FTopCol - quarter)));
    } else if (col > FTopCol + FVisibleCols - 1) {
        SetTopCol(std::min(std::max(col - FVisibleCols + 1, FTopCol + quarter),
                           std::max(GetMaxCol(), col) - FVisibleCols / 2));
    }
}

void TEditorView::MoveCompositionWindow() {
    if (FKeyRepeating) {
        FImePositionPending = true;
        return;
    }
    FHost->SetCompositionWindow({ColumnLeft(GetCol()), RowTop(GetRow())}, FFont.Spec());
    FImePositionPending = false;
}

// Focus

// A candidate list open when the focus left may have closed without a notification: the input
// method starts afresh on the focus's return, so the caret is no longer held hidden.
void TEditorView::FocusReceived() {
    if (!HasWindow()) {
        return;
    }
    FCaretSuppressed = false;
    CreateCaretShape();
    PlaceSystemCaret();
    ShowCaretIfAllowed();
}

void TEditorView::FocusLost() {
    if (!HasWindow() || !FCaretCreated) {
        return;
    }
    HideSystemCaret();
    FHost->DestroyCaret();
    FCaretCreated = false;
}

} // namespace kst
