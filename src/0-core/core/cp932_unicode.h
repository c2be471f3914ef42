// Code page 932 characters and their Unicode characters, by Windows' own table (the NEC and IBM
// extensions and the user-defined area included), for reading and writing files in Unicode.
#pragma once

#include "core/code_page.h"

#include <array>
#include <cstdint>

namespace kst {

// Marks a character without a CP932 code.
inline constexpr std::uint16_t kNoCp932Code = kNoCode;

// True when Byte starts a CP932 double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsCp932LeadByte(unsigned char Byte) {
    return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

// The Unicode character of a single byte that is not a lead byte: ASCII and the half-width
// katakana; kNoUnicode for the bytes 0x80, 0xA0 and 0xFD-0xFF, which name no character.
char16_t UnicodeOfSingleByte(unsigned char Byte);

// The Unicode character of a double-byte code; kNoUnicode when the code has none.
char16_t UnicodeOfDoubleByte(unsigned char Lead, unsigned char Trail);

// The CP932 code of every character of the basic plane: a single byte (below 0x100), a lead byte
// and a trail byte (lead byte high), or kNoCp932Code. A character that several codes share maps
// to the one Windows writes.
using TCp932Codes = std::array<std::uint16_t, 0x10000>;
const TCp932Codes& Cp932Codes();

} // namespace kst
