// Fixed code page 932 (Shift-JIS) byte tables. The editor always uses these, never the system's
// current code page, so it behaves the same on every Windows locale.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <string_view>

namespace kst {

// A set of byte values.
using TCharSet = std::bitset<256>;

// True when Byte starts a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsLeadByte(unsigned char Byte) {
    return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

constexpr bool IsLeadByte(char Char) {
    return IsLeadByte(static_cast<unsigned char>(Char));
}

// Byte length of the character that starts at Pos: 2 for a lead byte followed by another byte,
// otherwise 1. A lead byte at the very end of the text is one character of its own.
constexpr std::size_t CharLengthAt(std::string_view Text, std::size_t Pos) {
    return IsLeadByte(Text[Pos]) && Pos + 1 < Text.size() ? 2 : 1;
}

// Each byte upper-cased: only a-z change.
constexpr std::array<unsigned char, 256> kUpperCaseBytes = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b) {
        table[b] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - ('a' - 'A') : b);
    }
    return table;
}();

// A byte lower-cased: only A-Z change (a lead or trail byte never does).
constexpr char LowerAscii(char Byte) {
    return Byte >= 'A' && Byte <= 'Z' ? static_cast<char>(Byte - 'A' + 'a') : Byte;
}

// The editor's default word delimiters: controls, spaces and ASCII punctuation, 0x7F-0x80,
// 0xA0-0xA5 (half-width kana punctuation) and 0xFD-0xFF. Digits, ASCII letters, "_", half-width
// katakana and lead bytes are not delimiters.
TCharSet DefaultDelimiters();

} // namespace kst
