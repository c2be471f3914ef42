// The editor's automatic formatting: its text re-indented by the formatter and written back as
// one change, which Undo takes back. Without a selection the whole text is formatted, with the
// caret's byte offset and the top row kept; with one, only the lines it covers, at the levels
// the whole text gives them, and those lines stay selected.
#pragma once

#include "script/indent_unit.h"

namespace kst {

class TEditor;

// Formats the editor's text in Style. A text that formatting leaves as it is is not touched, and
// does not become modified.
void FormatEditorText(TEditor& Editor, const TIndentStyle& Style = {});

} // namespace kst
