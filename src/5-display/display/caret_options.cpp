#include "display/caret_options.h"

#include "display/settings_notify.h"

namespace kst {

void TEditorCursors::SetDefaultCursor(TCursor Value) {
    StoreSetting(*this, FDefaultCursor, Value);
}

void TEditorCursors::SetDragSelCursor(TCursor Value) {
    StoreSetting(*this, FDragSelCursor, Value);
}

void TEditorCursors::SetDragSelCopyCursor(TCursor Value) {
    StoreSetting(*this, FDragSelCopyCursor, Value);
}

void TEditorCursors::SetInSelCursor(TCursor Value) {
    StoreSetting(*this, FInSelCursor, Value);
}

void TEditorCursors::SetLeftMarginCursor(TCursor Value) {
    StoreSetting(*this, FLeftMarginCursor, Value);
}

void TEditorCursors::SetTopMarginCursor(TCursor Value) {
    StoreSetting(*this, FTopMarginCursor, Value);
}

void TEditorCursors::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorCursors*>(&Source);
    if (other == nullptr) {
        AssignError(Source);
    }
    FDefaultCursor = other->FDefaultCursor;
    FDragSelCursor = other->FDragSelCursor;
    FDragSelCopyCursor = other->FDragSelCopyCursor;
    FInSelCursor = other->FInSelCursor;
    FLeftMarginCursor = other->FLeftMarginCursor;
    FTopMarginCursor = other->FTopMarginCursor;
    Changed();
}

std::vector<TPropInfo> TEditorCursors::PublishedProperties() {
    return {
        {"DefaultCursor", TPropertyKind::Integer},     {"DragSelCursor", TPropertyKind::Integer},
        {"DragSelCopyCursor", TPropertyKind::Integer}, {"InSelCursor", TPropertyKind::Integer},
        {"LeftMarginCursor", TPropertyKind::Integer},  {"TopMarginCursor", TPropertyKind::Integer}};
}

TEditorCaret::TEditorCaret() {
    FCursors.OnChange = [this](TPersistent* Sender) { SubObjectChanged(Sender); };
}

void TEditorCaret::SetAutoCursor(bool Value) {
    StoreSetting(*this, FAutoCursor, Value);
}

void TEditorCaret::SetAutoIndent(bool Value) {
    StoreSetting(*this, FAutoIndent, Value);
}

void TEditorCaret::SetBackSpaceUnIndent(bool Value) {
    StoreSetting(*this, FBackSpaceUnIndent, Value);
}

void TEditorCaret::SetFreeCaret(bool Value) {
    StoreSetting(*this, FFreeCaret, Value);
}

void TEditorCaret::SetFreeRow(bool Value) {
    StoreSetting(*this, FFreeRow, Value);
}

void TEditorCaret::SetInTab(bool Value) {
    StoreSetting(*this, FInTab, Value);
}

void TEditorCaret::SetKeepCaret(bool Value) {
    StoreSetting(*this, FKeepCaret, Value);
}

void TEditorCaret::SetLockScroll(bool Value) {
    StoreSetting(*this, FLockScroll, Value);
}

void TEditorCaret::SetNextLine(bool Value) {
    StoreSetting(*this, FNextLine, Value);
}

void TEditorCaret::SetPrevSpaceIndent(bool Value) {
    StoreSetting(*this, FPrevSpaceIndent, Value);
}

void TEditorCaret::SetRowSelect(bool Value) {
    StoreSetting(*this, FRowSelect, Value);
}

void TEditorCaret::SetSelDragMode(TDragMode Value) {
    StoreSetting(*this, FSelDragMode, Value);
}

void TEditorCaret::SetSelMove(bool Value) {
    StoreSetting(*this, FSelMove, Value);
}

void TEditorCaret::SetSoftTab(bool Value) {
    StoreSetting(*this, FSoftTab, Value);
}

void TEditorCaret::SetStyle(TEditorCaretStyle Value) {
    StoreSetting(*this, FStyle, Value);
}

void TEditorCaret::SetTabIndent(bool Value) {
    StoreSetting(*this, FTabIndent, Value);
}

void TEditorCaret::SetTabSpaceCount(int Value) {
    StoreSetting(*this, FTabSpaceCount, ClampEven(Value, kMinTabSpaceCount, kMaxTabSpaceCount));
}

void TEditorCaret::SetTokenEndStop(bool Value) {
    StoreSetting(*this, FTokenEndStop, Value);
}

void TEditorCaret::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorCaret*>(&Source);
    if (other == nullptr) {
        AssignError(Source);
    }
    ChangeInOneUpdate(*this, [this, other] {
        FAutoCursor = other->FAutoCursor;
        FAutoIndent = other->FAutoIndent;
        FBackSpaceUnIndent = other->FBackSpaceUnIndent;
        FCursors.Assign(other->FCursors);
        FFreeCaret = other->FFreeCaret;
        FFreeRow = other->FFreeRow;
        FInTab = other->FInTab;
        FKeepCaret = other->FKeepCaret;
        FLockScroll = other->FLockScroll;
        FNextLine = other->FNextLine;
        FPrevSpaceIndent = other->FPrevSpaceIndent;
        FRowSelect = other->FRowSelect;
        FSelDragMode = other->FSelDragMode;
        FSelMove = other->FSelMove;
        FSoftTab = other->FSoftTab;
        FStyle = other->FStyle;
        FTabIndent = other->FTabIndent;
        FTabSpaceCount = other->FTabSpaceCount;
        FTokenEndStop = other->FTokenEndStop;
    });
}

std::vector<TPropInfo> TEditorCaret::PublishedProperties() {
    return {{"AutoCursor", TPropertyKind::Boolean},
            {"AutoIndent", TPropertyKind::Boolean},
            {"BackSpaceUnIndent", TPropertyKind::Boolean},
            {"Cursors", TPropertyKind::Class, &FCursors},
            {"FreeCaret", TPropertyKind::Boolean},
            {"FreeRow", TPropertyKind::Boolean},
            {"InTab", TPropertyKind::Boolean},
            {"KeepCaret", TPropertyKind::Boolean},
            {"LockScroll", TPropertyKind::Boolean},
            {"NextLine", TPropertyKind::Boolean},
            {"PrevSpaceIndent", TPropertyKind::Boolean},
            {"RowSelect", TPropertyKind::Boolean},
            {"SelDragMode", TPropertyKind::Integer},
            {"SelMove", TPropertyKind::Boolean},
            {"SoftTab", TPropertyKind::Boolean},
            {"Style", TPropertyKind::Integer},
            {"TabIndent", TPropertyKind::Boolean},
            {"TabSpaceCount", TPropertyKind::Integer},
            {"TokenEndStop", TPropertyKind::Boolean}};
}

} // namespace kst
