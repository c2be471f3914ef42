// Finding a word in CP932 text: a match starts and ends on character boundaries, so the bytes of
// a word never match across two characters. Without match case the single-byte letters A-Z and
// a-z are equal; the bytes of double-byte characters always compare exactly.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kst {

class TWordMatcher {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    TWordMatcher(std::string_view Word, bool MatchCase);

    std::size_t Length() const { return FWord.size(); }
    // The first match at or after From, which must be a character boundary of Text; npos when
    // there is none. An empty word matches nowhere.
    std::size_t Find(std::string_view Text, std::size_t From = 0) const;
    bool Occurs(std::string_view Text) const { return Find(Text) != npos; }

private:
    bool MatchesAt(std::string_view Text, std::size_t Position) const;

    // The word with its single-byte letters in lower case unless case matters.
    std::string FWord;
    // One flag per byte of the word: 1 where a single-byte letter matches either case.
    std::string FCaseless;
    // The word ends with a lead byte: it can only match where the text ends.
    bool FEndsOnLeadByte = false;
    char FFirst = 0;
    char FFirstOtherCase = 0;
};

// Text with its single-byte letters A-Z in lower case; double-byte characters keep their bytes.
std::string FoldSingleByteCase(std::string_view Text);

} // namespace kst
