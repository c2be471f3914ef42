// Commenting and uncommenting whole document lines with the script's comment mark "'". Each
// changed line is one Lines.Put, so Undo takes the lines back one by one; the caret or the
// selection ends on the same text as before.
#pragma once

namespace kst {

class TEditor;

// Puts "'" in column 0 of every selected line, or of the caret's line. A selection that ends at
// the start of a line leaves that line out; blank and already commented lines stay as they are.
void CommentLines(TEditor& Editor);

// Removes the first "'" of every selected line, or of the caret's line, whose first non-blank
// character it is.
void UncommentLines(TEditor& Editor);

} // namespace kst
