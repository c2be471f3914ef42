// The main window's answers to the editor's double click and wheel: a double click selects the
// token under the caret that the first click placed, and each wheel notch scrolls one row without
// moving the caret.
#pragma once

namespace kst {

class TEditor;

void InstallMainWindowMouseHandlers(TEditor& Editor);

} // namespace kst
