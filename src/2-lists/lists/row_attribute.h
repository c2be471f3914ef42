// How a row ends, and the per-row start state the colouring parser carries from row to row.
#pragma once

#include <cstdint>
#include <string>

namespace kst {

enum TRowAttribute : std::uint8_t {
    raLineBreak = 0, // the row ends a document line; CR LF follows it
    raWrap = 1,      // the row goes on in the next row (word wrap)
    raEndOfText = 2, // the last row, with no line break after it
    raNone = 3,      // no row: the attribute of an empty run of rows
};

// A row's start state: the parser's state at the row's first byte.
struct TRowAttributeData {
    std::uint8_t RowAttribute = raLineBreak;
    std::uint8_t PrevRowAttribute = raLineBreak;
    std::int32_t BracketIndex = -1; // -2 not computed, -1 outside brackets, 0..13 inside item k
    std::int32_t ParserValue1 = 0;
    std::int32_t WrappedBytes = 0;
    std::int32_t ParserValue2 = 0;
    std::uint8_t WrappedToken = 0;
    std::uint8_t ParserValue3 = 0;
    std::string ParseString;

    bool operator==(const TRowAttributeData&) const = default;
};

// BracketIndex of a row whose start state has not been computed yet.
constexpr std::int32_t kStateNotComputed = -2;

} // namespace kst
