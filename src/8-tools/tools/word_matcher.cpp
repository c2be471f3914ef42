#include "tools/word_matcher.h"

#include "core/code_page.h"

#include <algorithm>

namespace kst {

namespace {

bool IsUpperLetter(char Ch) {
    return Ch >= 'A' && Ch <= 'Z';
}

bool IsLetter(char Ch) {
    return IsUpperLetter(Ch) || (Ch >= 'a' && Ch <= 'z');
}

char OtherCase(char Ch) {
    if (IsUpperLetter(Ch)) {
        return LowerAscii(Ch);
    }
    return Ch >= 'a' && Ch <= 'z' ? static_cast<char>(Ch - 'a' + 'A') : Ch;
}

} // namespace

std::string FoldSingleByteCase(std::string_view Text) {
    std::string folded(Text);
    for (std::size_t i = 0; i < folded.size(); i += CharLengthAt(folded, i)) {
        folded[i] = LowerAscii(folded[i]);
    }
    return folded;
}

TWordMatcher::TWordMatcher(std::string_view Word, bool MatchCase, bool Regex)
    : FWord(MatchCase ? std::string(Word) : FoldSingleByteCase(Word)), FCaseless(Word.size(), 0) {
    if (Regex && !Word.empty()) {
        FRegex.emplace(Word, MatchCase);
    }
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
        if (ch != FWord[k] && (FCaseless[k] == 0 || LowerAscii(ch) != FWord[k])) {
            return false;
        }
    }
    return !FEndsOnLeadByte || Position + FWord.size() == Text.size();
}

// Walks the text character by character, so every candidate starts on a boundary; the word's
// bytes then cover whole characters of the text, since lead bytes are the same bytes in both.
std::size_t TWordMatcher::FindWord(std::string_view Text, std::size_t From) const {
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

std::string TTextMatch::Replacement(std::string_view Template) const {
    return Groups != nullptr ? ExpandReplacement(Template, Line, *Groups) : std::string(Template);
}

std::size_t TWordMatcher::Reach() const {
    if (FRegex) {
        return npos / 2;
    }
    return FWord.empty() ? 0 : FWord.size() - 1;
}

std::size_t TWordMatcher::Find(std::string_view Text, std::size_t From) const {
    if (!FRegex) {
        return FindWord(Text, From);
    }
    std::size_t found = npos;
    ForEachRegexMatch(Text, From, [&](const TTextMatch& Match) {
        found = Match.Start;
        return false;
    });
    return found;
}

void TWordMatcher::ForEachMatch(std::string_view Text, std::size_t From, const TMatchVisitor& Visit,
                                bool Overlapping) const {
    if (FRegex) {
        ForEachRegexMatch(Text, From, Visit);
        return;
    }
    for (std::size_t at = FindWord(Text, From); at != npos;
         at = FindWord(Text, at + (Overlapping ? CharLengthAt(Text, at) : FWord.size()))) {
        if (!Visit({.Start = at, .Length = FWord.size(), .Line = Text})) {
            return;
        }
    }
}

// Each line is converted once, however many matches it holds.
void TWordMatcher::ForEachRegexMatch(std::string_view Text, std::size_t From,
                                     const TMatchVisitor& Visit) const {
    TUtf16Line units;
    TMatchGroups groups;
    for (TByteSpan line = LineAt(Text, From);;) {
        const std::string_view lineText = Text.substr(line.Start, line.Length);
        units.Assign(lineText);
        std::optional<std::size_t> from = From > line.Start ? From - line.Start : 0;
        while (from) {
            const std::optional<TByteSpan> match = FRegex->Find(units, *from, &groups);
            if (!match) {
                break;
            }
            if (!Visit({.Start = line.Start + match->Start,
                        .Length = match->Length,
                        .Line = lineText,
                        .LineStart = line.Start,
                        .Groups = &groups})) {
                return;
            }
            from = SearchOnFrom(units, *match);
        }
        const std::optional<std::size_t> next = LineAfter(Text, line);
        if (!next) {
            return;
        }
        line = LineAt(Text, *next);
    }
}

} // namespace kst
