// The kinds of token the colouring parser returns. A row's start state stores a kind, so the
// values are fixed; 2, 5, 10 and 13 are not used.
#pragma once

#include <bitset>
#include <cstdint>

namespace kst {

enum TTokenKind : std::uint8_t {
    tokEndOfRow = 0,
    tokSymbol = 1,
    tokInteger = 3,
    tokFloat = 4,
    tokBracket = 6,
    tokComment = 7,
    tokReserved = 8,
    tokTab = 9,
    tokAnkWord = 11,
    tokWideSymbol = 12,
    tokWideDigits = 14,
    tokWideLetters = 15,
    tokHiragana = 16,
    tokKatakana = 17,
    tokKanji = 18,
    tokNarrowKanaSymbol = 19,
    tokNarrowKana = 20,
    tokUrl = 21,
    tokMail = 22,
    tokHexNumber = 23,
    tokSingleQuoted = 24,
    tokDoubleQuoted = 25,
    tokQuoted = 26,
    tokControlCode = 27,
    tokHexControlCode = 28,
};

// A set of token kinds.
using TTokenKinds = std::bitset<256>;

} // namespace kst
