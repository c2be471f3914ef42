// The editor's automatic formatting: its whole text re-indented by the formatter and written back
// as one change, which Undo takes back, with the caret's byte offset and the top row kept.
#pragma once

namespace kst {

class TEditor;

// Formats the editor's text. A text that formatting leaves as it is is not touched, and does not
// become modified.
void FormatEditorText(TEditor& Editor);

} // namespace kst
