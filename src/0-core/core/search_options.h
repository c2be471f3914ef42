// The options of a text search, a 16-bit set.
#pragma once

#include <cstdint>

namespace kst {

using TSearchOptions = std::uint16_t;

// Towards the end of the text; without it, towards the start.
constexpr TSearchOptions sxForward = 0x0001;
// Letters compare with their case; without it letters compare through their capitals.
constexpr TSearchOptions sxMatchCase = 0x0002;
// The match starts a word and a delimiter or the end of the text follows it.
constexpr TSearchOptions sxWholeWord = 0x0004;
// Half-width and full-width forms of a character are equal.
constexpr TSearchOptions sxIgnoreWidth = 0x0008;
// After the first matched character, CR and LF in the text are skipped.
constexpr TSearchOptions sxAcrossLines = 0x0080;
// After the first matched character, tabs, spaces and full-width spaces in the text are skipped.
constexpr TSearchOptions sxIgnoreBlanks = 0x0100;
// The pattern is a regular expression, matched in each line of the text; with it only
// sxForward and sxMatchCase apply.
constexpr TSearchOptions sxRegExp = 0x0200;

} // namespace kst
