// The editor's construction, its own properties, and the view's notices raised as its events.
#include "input/editor.h"

namespace kst {

TEditor::TEditor(TCreateKey Key, TPersistent* Owner) : TEditorView(Key, Owner) {}

// The view detaches from the row store after this; the store must see a destroyed editor by then.
TEditor::~TEditor() {
    FDestroying = true;
}

void TEditor::AfterConstruction() {
    TEditorView::AfterConstruction();
    FOwnPopupMenu = CreatePopupMenu();
    FPopupMenu = FOwnPopupMenu.get();
}

void TEditor::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (Value && FSelectionState == kSelectionSelected) {
        SetCursor(FCaret->GetCursors().GetDefaultCursor());
    }
}

void TEditor::DoChange() {
    if (OnChange) {
        OnChange(*this);
    }
}

void TEditor::DoDrawLine(const std::string& LineStr, int X, int Y, int Index, const TRect& ARect,
                         bool Selected) {
    if (OnDrawLine) {
        OnDrawLine(*this, LineStr, X, Y, Index, ARect, Selected);
    }
}

void TEditor::DoTopRowChange() {
    if (OnTopRowChange) {
        OnTopRowChange(*this);
    }
}

void TEditor::DoTopColChange() {
    if (OnTopColChange) {
        OnTopColChange(*this);
    }
}

void TEditor::DoCaretMoved() {
    if (OnCaretMoved) {
        OnCaretMoved(*this);
    }
}

} // namespace kst
