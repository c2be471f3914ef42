#include "core/quoted_string.h"

#include "core/code_page.h"

namespace kst {

TQuotedEnd QuotedStringEnd(std::string_view Text, char Quote) {
    std::size_t pos = 0;
    while (pos < Text.size() && Text[pos] != '\r' && Text[pos] != '\n') {
        if (Text[pos] != Quote) {
            pos += CharLengthAt(Text, pos);
            continue;
        }
        ++pos;
        if (pos == Text.size() || Text[pos] != Quote) {
            return {pos, true};
        }
        ++pos;
    }
    return {pos, false};
}

} // namespace kst
