// Going to a document line: the number typed into the go-to-line box, and the caret's move.
#pragma once

#include <string_view>

namespace kst {

class TEditor;

// The number of a typed text: its digits '0'-'9' in order (so "1,234" is 1234); -1 when it has
// none. Raises EConvertError when the digits exceed a 32-bit signed integer.
int LineNumberFromText(std::string_view Text);

// Puts the caret at the start of document line LineNumber (1-based, clamped to the last line)
// and scrolls so that two rows stay visible above it (none near the top). Nothing for a number
// below 1.
void GoToLine(TEditor& Editor, int LineNumber);

} // namespace kst
