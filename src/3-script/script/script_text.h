// What the script tools take as blanks and as the comment mark of the script language.
#pragma once

#include <string_view>

namespace kst {

inline constexpr char kCommentMark = '\'';

// Spaces, tabs and control characters: the bytes 0x00-0x20.
constexpr bool IsBlank(char Byte) {
    return static_cast<unsigned char>(Byte) <= 0x20;
}

// Text without its leading blanks.
constexpr std::string_view TrimLeadingBlanks(std::string_view Text) {
    while (!Text.empty() && IsBlank(Text.front())) {
        Text.remove_prefix(1);
    }
    return Text;
}

// The blanks that Text starts with.
constexpr std::string_view LeadingBlanks(std::string_view Text) {
    return Text.substr(0, Text.size() - TrimLeadingBlanks(Text).size());
}

// Text without its leading and trailing blanks.
constexpr std::string_view TrimBlanks(std::string_view Text) {
    Text = TrimLeadingBlanks(Text);
    while (!Text.empty() && IsBlank(Text.back())) {
        Text.remove_suffix(1);
    }
    return Text;
}

} // namespace kst
