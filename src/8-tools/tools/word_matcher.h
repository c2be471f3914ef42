// Finding the search word in CP932 text: a match starts and ends on character boundaries, so the
// bytes of a word never match across two characters. Without match case the single-byte letters
// A-Z and a-z are equal; the bytes of double-byte characters always compare exactly. The word may
// be a regular expression instead, matched line by line (see document/regex_search.h).
#pragma once

#include "document/regex_search.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kst {

// A match in a text of lines.
struct TTextMatch {
    std::size_t Start = 0;
    std::size_t Length = 0;
    // The match's line and where it starts in the text, and a regular expression's groups in
    // the line.
    std::string_view Line;
    std::size_t LineStart = 0;
    const TMatchGroups* Groups = nullptr;

    // What Template puts in place of the match: a word's template as it is, a regular
    // expression's with its groups put in (ExpandReplacement).
    std::string Replacement(std::string_view Template) const;
};

// Called with each match in turn; false stops.
using TMatchVisitor = std::function<bool(const TTextMatch&)>;

class TWordMatcher {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    // Raises ERegexError when Regex is set and Word does not compile.
    TWordMatcher(std::string_view Word, bool MatchCase, bool Regex = false);

    // Nothing to find: an empty word.
    bool Empty() const { return FWord.empty(); }
    bool IsRegex() const { return FRegex.has_value(); }
    // The most bytes a match reaches past its start, less one: a regular expression's may run to
    // the end of its line.
    std::size_t Reach() const;
    // The first match at or after From, which must be a character boundary of Text; npos when
    // there is none. An empty word matches nowhere.
    std::size_t Find(std::string_view Text, std::size_t From = 0) const;
    bool Occurs(std::string_view Text) const { return Find(Text) != npos; }
    // Visits the matches in Text from From on in order: a word's each after the one before, or
    // from the character after the one before's start when Overlapping; a regular expression's
    // in each line (lines end at CR, LF or CR LF), each after the one before and an empty one a
    // character further. A regular expression raises ESearchAborted when a match grows too
    // complex.
    void ForEachMatch(std::string_view Text, std::size_t From, const TMatchVisitor& Visit,
                      bool Overlapping = false) const;

private:
    bool MatchesAt(std::string_view Text, std::size_t Position) const;
    std::size_t FindWord(std::string_view Text, std::size_t From) const;
    void ForEachRegexMatch(std::string_view Text, std::size_t From,
                           const TMatchVisitor& Visit) const;

    // The word with its single-byte letters in lower case unless case matters.
    std::string FWord;
    // One flag per byte of the word: 1 where a single-byte letter matches either case.
    std::string FCaseless;
    // The word ends with a lead byte: it can only match where the text ends.
    bool FEndsOnLeadByte = false;
    char FFirst = 0;
    char FFirstOtherCase = 0;
    std::optional<TRegexPattern> FRegex;
};

// Text with its single-byte letters A-Z in lower case; double-byte characters keep their bytes.
std::string FoldSingleByteCase(std::string_view Text);

} // namespace kst
