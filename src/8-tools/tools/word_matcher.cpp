#include "tools/word_matcher.h"

#include "core/cp932.h"

namespace kst {

namespace {

bool IsUpperLetter(char Ch) {
    return Ch >= 'A' && Ch <= 'Z';
}

bool IsLetter(char Ch) {
    return IsUpperLetter(Ch) || (Ch >= 'a' && Ch <= 'z');
}

char LowerLetter(char Ch) {
    return IsUpperLetter(Ch) ? static_cast<char>(Ch - 'A' + 'a') : Ch;
}

char OtherCase(char Ch) {
    if (IsUpperLetter(Ch)) {
        return LowerLetter(Ch);
    }
    return Ch >= 'a' && Ch <= 'z' ? static_cast<char>(Ch - 'a' + 'A') : Ch;
}

} // namespace

std::string FoldSingleByteCase(std::string_view Text) {
    std::string folded(Text);
    for (std::size_t i = 0; i < folded.size(); i += CharLengthAt(folded, i)) {
        folded[i] = LowerLetter(folded[i]);
    }
    return folded;
}

TWordMatcher::TWordMatcher(std::string_view Word, bool MatchCase)
    : FWord(MatchCase ? std::string(Word) : FoldSingleByteCase(Word)), FCaseless(Word.size(), 0) {
    std::size_t i = 0;
    while (i < FWord.size()) {
        const std::size_t length = CharLengthAt(FWord, i);
        FCaseless[i] = static_cast<char>(!MatchCase && length == 1 && IsLetter(FWord[i]));
        FEndsOnLeadByte = length == 1 && IsLeadByte(FWord[i]) && i + 1 == FWord.size();
        i += length;
    }
    if (!FWord.empty()) {
        FFirst = FWord[0];
        FFirstOtherCase = FCaseless[0] != 0 ? OtherCase(FFirst) : FFirst;
    }
}

bool TWordMatcher::MatchesAt(std::string_view Text, std::size_t Position) const {
    if (Text.size() - Position < FWord.size()) {
        return false;
    }
    for (std::size_t k = 1; k < FWord.size(); ++k) {
        const char ch = Text[Position + k];
        if (ch != FWord[k] && (FCaseless[k] == 0 || LowerLetter(ch) != FWord[k])) {
            return false;
        }
    }
    return !FEndsOnLeadByte || Position + FWord.size() == Text.size();
}

// Walks the text character by character, so every candidate starts on a boundary; the word's
// bytes then cover whole characters of the text, since lead bytes are the same bytes in both.
std::size_t TWordMatcher::Find(std::string_view Text, std::size_t From) const {
    if (FWord.empty()) {
        return npos;
    }
    for (std::size_t i = From; i < Text.size(); i += CharLengthAt(Text, i)) {
        const char ch = Text[i];
        if ((ch == FFirst || ch == FFirstOtherCase) && MatchesAt(Text, i)) {
            return i;
        }
    }
    return npos;
}

} // namespace kst
