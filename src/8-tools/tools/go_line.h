// Going to a document line: the number typed into the go-to-line box, the caret's move, and the
// places that the results list's entries jump to.
#pragma once

#include <string_view>

namespace kst {

class TEditor;

// The number of a typed text: its digits '0'-'9' in order (so "1,234" is 1234); -1 when it has
// none. Raises EConvertError when the digits exceed a 32-bit signed integer.
int LineNumberFromText(std::string_view Text);

// A place in the text: a document line and a column counted in characters (a double-byte
// character is one), both from 1. Line 0 is nowhere.
struct TTextPlace {
    int Line = 0;
    int Column = 1;

    bool operator==(const TTextPlace&) const = default;
};

// Puts the caret at character Column of document line LineNumber (the line clamped to the last
// one, the column to the line's end) and scrolls so that two rows stay visible above it (none
// near the top). Nothing for a line number below 1.
void GoToLine(TEditor& Editor, int LineNumber, int Column = 1);

} // namespace kst
