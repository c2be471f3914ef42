// The rule of a quoted string, shared by the colouring tokenizer and the script tools: a string
// runs to the next quote that is not doubled (a doubled quote stands for one quote inside it),
// stepping over double-byte characters whole; a line break or the end of the text leaves it open.
#pragma once

#include <cstddef>
#include <string_view>

namespace kst {

struct TQuotedEnd {
    // Bytes from the start of the scan to just past the closing quote, or to where the string
    // stays open (a CR, an LF or the end of the text).
    std::size_t Length = 0;
    bool Closed = false;
};

// Scans Text, which begins just after an opening Quote, to the end of the string.
TQuotedEnd QuotedStringEnd(std::string_view Text, char Quote);

} // namespace kst
