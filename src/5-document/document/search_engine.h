// The editor's search engine over Shift-JIS bytes. A match never starts inside a double-byte
// character and a text character is compared whole, so a pattern never matches half of one.
#pragma once

#include "core/code_page.h"
#include "core/search_options.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// Shift-JIS code of a JIS X 0208 code (row in the high byte, cell in the low byte).
constexpr std::uint16_t JisToSjis(std::uint16_t Code) {
    const unsigned row = Code >> 8;
    const unsigned cell = Code & 0xFF;
    const unsigned lead = (row + 1) / 2 + (row <= 0x5E ? 0x70 : 0xB0);
    const unsigned trail = row % 2 == 1 ? cell + (cell >= 0x60 ? 0x20 : 0x1F) : cell + 0x7E;
    return static_cast<std::uint16_t>(lead << 8 | trail);
}

// The two bytes of a double-byte code, high byte first.
std::string CodeToText(std::uint16_t Code);

// Each double-byte character copied, every other byte replaced by its full-width form; a
// half-width kana followed by a sound mark it takes becomes one voiced kana.
std::string ToFullWidth(std::string_view S);

// True when TextChar equals PatternChar or is a small letter whose capital is PatternChar.
bool WideCharMatches(std::uint16_t PatternChar, std::uint16_t TextChar);

// The pattern as a search compares it: upper-cased without sxMatchCase, in full-width forms with
// sxIgnoreWidth.
std::string PreparedPattern(std::string_view Pattern, TSearchOptions Options);

// Moves Pos to the nearest word start in Direction (+1 or -1), at most Remaining bytes away;
// false when there is none. A word starts with a word character at the start of Text or after a
// delimiter character; the search's delimiters are the editor's default ones and the underscore,
// and every double-byte character is a word character.
bool SkipToWordStart(std::string_view Text, int& Pos, int Direction, int Remaining);

// Searches Text from byte Start after a hit of Length bytes (0 for none). On success Start is the
// byte offset of the match and Length the number of text bytes it covers, skipped blanks and line
// breaks included. False when Pattern or Text is empty, Start lies outside Text, Length < 0, Text
// is longer than an int counts, or nothing matches. With sxRegExp the pattern is a regular
// expression matched in each line (see document/regex_search.h), an empty match at the start of
// a forward search passed over; a pattern that does not compile raises ERegexError, a match too
// complex to decide ESearchAborted.
bool SearchBuffer(std::string_view Text, int& Start, int& Length, std::string_view Pattern,
                  TSearchOptions Options);

// What a search of one part of a longer text found.
enum class TFindStatus : std::uint8_t {
    NotFound,
    Found,
    // The candidate at Start needs the text after the part to be decided; every candidate before
    // it in the search direction failed.
    NeedsMore,
};

struct TFindResult {
    TFindStatus Status = TFindStatus::NotFound;
    int Start = 0;
    int Length = 0;
};

// The bytes that may stand at one position of a match.
class TMatchBytes {
public:
    static constexpr std::size_t kFew = 4;

    void Add(unsigned char Byte);
    bool Has(unsigned char Byte) const { return FSet[Byte]; }
    // The members, repeated to fill kFew entries, when there are at most kFew of them.
    bool IsFew() const { return FCount <= kFew; }
    const std::array<unsigned char, kFew>& Few() const { return FFew; }

private:
    TCharSet FSet;
    std::size_t FCount = 0;
    std::array<unsigned char, kFew> FFew{};
};

// A pattern prepared once for the searches of many parts of a text.
class TSearchPattern {
public:
    TSearchPattern(std::string_view Pattern, TSearchOptions Options);

    bool Empty() const { return FChars.empty(); }
    // The fewest text bytes a match covers.
    int MinMatchBytes() const { return FMinMatchBytes; }
    // The first candidate of a search of Text from Start after a hit of Length bytes; outside
    // Text's candidates when there is none.
    int FirstCandidate(std::string_view Text, int Start, int Length) const;
    // Tries the candidates from First on in the search direction. TextEnds tells that nothing
    // follows Text; otherwise Text ends with a line break, and a candidate whose match or word end
    // runs to its end stops the search with NeedsMore.
    TFindResult Find(std::string_view Text, int First, bool TextEnds) const;

private:
    bool Forward() const { return (FOptions & sxForward) != 0; }
    // The text bytes a match from Pos covers; kNoMatch, or kNeedsMore when Text ends first.
    int MatchAt(std::string_view Text, int Pos, bool TextEnds) const;
    // The text bytes the character at Pos takes when it matches Char, else 0.
    int CoveredBy(std::uint16_t Char, std::string_view Text, int Pos) const;
    // The blank or line break at Pos that a match may pass over: its bytes, else 0.
    int SkippableAt(std::string_view Text, int Pos) const;
    struct TEdgeBytes {
        TMatchBytes First;
        TMatchBytes Last;
    };
    // The first and the last bytes of every text character that matches Char: one byte, a kana
    // with its sound mark, or a double-byte character.
    TEdgeBytes EdgeBytesOf(std::uint16_t Char) const;
    void CollectMatchBytes(const std::string& Prepared);

    TSearchOptions FOptions;
    std::vector<std::uint16_t> FChars; // the prepared pattern's characters as codes
    int FMinMatchBytes = 0;
    TMatchBytes FFirstBytes;
    // With a match that takes one text byte per pattern byte, the bytes of its last position.
    TMatchBytes FLastBytes;
    int FLastOffset = 0; // 0: no check of the last position
};

} // namespace kst
