// Operations that change text. Each change is exactly one UpdateRows of the row store, so it is
// re-wrapped locally, recorded as one undo step and repainted once.
#include "display/editor.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kst {

void TEditor::SelectAll() {
    BeginCaretHide();
    auto shown = ScopeEnd([this] { EndCaretHide(); });
    SetSelStart(0);
    SetSelLength(
        static_cast<int>(std::min<std::int64_t>(TextLength(), std::numeric_limits<int>::max())));
}

bool TEditor::CanUndo() const {
    return FScreenStrings->GetUndoObj().CanUndo();
}

bool TEditor::CanRedo() const {
    return FScreenStrings->GetUndoObj().CanRedo();
}

void TEditor::Undo() {
    CancelSelection();
    ScreenStrings().Undo();
}

void TEditor::Redo() {
    CancelSelection();
    ScreenStrings().Redo();
}

} // namespace kst
