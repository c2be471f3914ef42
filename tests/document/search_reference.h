// The search engine's candidate loop taken step by step: a class map of the text, one candidate
// after another, word starts found by skipping, and the character comparison of each option. The
// engine's scan for the bytes a match can start and end with must find what this finds.
#pragma once

#include "core/code_page.h"
#include "document/search_engine.h"

#include <string>
#include <string_view>

namespace kst::search_reference {

inline bool IsSearchDelimiter(unsigned char Byte) {
    return Byte <= 0x2F || (Byte >= 0x3A && Byte <= 0x40) || (Byte >= 0x5B && Byte <= 0x60) ||
           (Byte >= 0x7B && Byte <= 0x80) || (Byte >= 0xA0 && Byte <= 0xA5) || Byte >= 0xFD;
}

inline bool CarriesMark(unsigned char Kana, unsigned char Mark) {
    const bool halfVoiced = Kana >= 0xCA && Kana <= 0xCE;
    if (Mark == 0xDF) {
        return halfVoiced;
    }
    return Mark == 0xDE && (halfVoiced || Kana == 0xB3 || (Kana >= 0xB6 && Kana <= 0xC4));
}

inline std::uint16_t CodeOf(std::string_view Char) {
    return Char.size() == 2 ? static_cast<std::uint16_t>(static_cast<unsigned char>(Char[0]) << 8 |
                                                         static_cast<unsigned char>(Char[1]))
                            : static_cast<unsigned char>(Char[0]);
}

// Every candidate must start a word with sxWholeWord, the last one too, and a delimiter or the
// end of the text must follow every whole-word match.
class ReferenceSearch {
public:
    ReferenceSearch(std::string_view Text, std::string_view Pattern, TSearchOptions Options)
        : FText(Text), FSize(static_cast<int>(Text.size())),
          FPattern(PreparedPattern(Pattern, Options)), FOptions(Options),
          FClasses(Text.size(), '0') {
        for (std::size_t i = 0; i + 1 < Text.size(); ++i) {
            if (IsLeadByte(Text[i])) {
                FClasses[i] = '1';
                FClasses[++i] = '2';
            }
        }
    }

    bool Run(int& Start, int& Length) const {
        const int direction = Has(sxForward) ? 1 : -1;
        int start = 0;
        int remaining = 0;
        if (direction > 0) {
            start = Start + Length;
            if (start < FSize && FClasses[start] == '2') {
                ++start;
            }
            remaining = FSize - start - Units();
        } else {
            start = Has(sxIgnoreWidth) ? StepBackByCharacters(Start)
                                       : Start - static_cast<int>(FPattern.size());
            if (start >= 0 && FClasses[start] == '2') {
                --start;
            }
            remaining = start;
        }
        while (remaining >= 0) {
            if (Has(sxWholeWord) && !SkipToWordStart(start, direction, remaining)) {
                return false;
            }
            if (const int covered = Compare(start)) {
                Start = start;
                Length = covered;
                return true;
            }
            start += direction;
            --remaining;
            if (remaining >= 0 && FClasses[start] == '2') {
                start += direction;
                --remaining;
            }
        }
        return false;
    }

private:
    bool Has(TSearchOptions Option) const { return (FOptions & Option) != 0; }
    int Units() const {
        int characters = 0;
        for (std::size_t j = 0; j < FPattern.size(); j += PatternCharLength(j)) {
            ++characters;
        }
        return Has(sxIgnoreWidth) ? characters : static_cast<int>(FPattern.size());
    }
    std::size_t PatternCharLength(std::size_t J) const {
        return IsLeadByte(FPattern[J]) && J + 1 < FPattern.size() ? 2 : 1;
    }
    unsigned char At(int Pos) const {
        return Pos < FSize ? static_cast<unsigned char>(FText[Pos]) : 0;
    }
    // The second byte of a double-byte character belongs to a word character.
    bool IsDelimiter(int Pos) const {
        return Pos >= FSize || (FClasses[Pos] != '2' && IsSearchDelimiter(At(Pos)));
    }
    bool IsWordStart(int Pos) const {
        return Pos < FSize && !IsDelimiter(Pos) && (Pos == 0 || IsDelimiter(Pos - 1));
    }

    int StepBackByCharacters(int Pos) const {
        for (std::size_t j = 0; j < FPattern.size(); j += PatternCharLength(j)) {
            if (Pos >= 1 && FClasses[Pos - 1] == '2') {
                Pos -= 2;
            } else if (Pos >= 2 && FClasses[Pos - 2] == '0' &&
                       CarriesMark(At(Pos - 2), At(Pos - 1))) {
                Pos -= 2;
            } else {
                Pos -= 1;
            }
        }
        return Pos;
    }

    // A word start no further than Remaining bytes on, and never behind the search.
    bool SkipToWordStart(int& Pos, int Direction, int& Remaining) const {
        const int from = Pos;
        const auto step = [&] {
            Pos += Direction;
            --Remaining;
        };
        if (Direction > 0) {
            if (IsWordStart(Pos)) {
                return true;
            }
            while (Remaining > 0 && !IsDelimiter(Pos)) {
                step();
            }
            while (Remaining > 0 && IsDelimiter(Pos)) {
                step();
            }
        } else {
            while (Remaining > 0 && IsDelimiter(Pos)) {
                step();
            }
            while (Remaining > 0 && !IsDelimiter(Pos)) {
                step();
            }
            if (IsDelimiter(Pos)) {
                ++Pos;
                ++Remaining;
            }
        }
        if (Pos < FSize && FClasses[Pos] == '2') {
            step();
        }
        return Remaining >= 0 && IsWordStart(Pos) && (Pos - from) * Direction >= 0;
    }

    // The text bytes a match at Pos covers, 0 for none.
    int Compare(int Pos) const {
        int i = Pos;
        bool matchedAny = false;
        for (std::size_t j = 0; j < FPattern.size();) {
            if (i >= FSize) {
                return 0;
            }
            const std::string_view patternChar(FPattern.data() + j, PatternCharLength(j));
            if (const int covered = CharMatches(i, patternChar)) {
                i += covered;
                j += patternChar.size();
                matchedAny = true;
            } else if (const int skipped = matchedAny ? Skippable(i) : 0) {
                i += skipped;
            } else {
                return 0;
            }
        }
        return Has(sxWholeWord) && !IsDelimiter(i) ? 0 : i - Pos;
    }

    int CharMatches(int Pos, std::string_view PatternChar) const {
        if (FClasses[Pos] == '1') {
            const std::string_view textChar = FText.substr(Pos, 2);
            if (Has(sxMatchCase)) {
                return textChar == PatternChar ? 2 : 0;
            }
            return PatternChar.size() == 2 && WideCharMatches(CodeOf(PatternChar), CodeOf(textChar))
                       ? 2
                       : 0;
        }
        if (!Has(sxIgnoreWidth)) {
            const unsigned char byte = Has(sxMatchCase) ? At(Pos) : kUpperCaseBytes[At(Pos)];
            return PatternChar.size() == 1 && byte == static_cast<unsigned char>(PatternChar[0])
                       ? 1
                       : 0;
        }
        std::string form = ToFullWidth(FText.substr(Pos, 1));
        int covered = 1;
        if (Pos + 1 < FSize) {
            const std::string pair = ToFullWidth(FText.substr(Pos, 2));
            if (pair != form + ToFullWidth(FText.substr(Pos + 1, 1))) {
                form = pair;
                covered = 2;
            }
        }
        if (!Has(sxMatchCase) && form.size() == 2 && PatternChar.size() == 2) {
            return WideCharMatches(CodeOf(PatternChar), CodeOf(form)) ? covered : 0;
        }
        return form == PatternChar ? covered : 0;
    }

    int Skippable(int Pos) const {
        const unsigned char byte = At(Pos);
        if (Has(sxAcrossLines) && (byte == '\r' || byte == '\n')) {
            return 1;
        }
        if (Has(sxIgnoreBlanks) && (byte == '\t' || byte == ' ')) {
            return 1;
        }
        return Has(sxIgnoreBlanks) && FClasses[Pos] == '1' && FText.substr(Pos, 2) == "\x81\x40"
                   ? 2
                   : 0;
    }

    std::string_view FText;
    int FSize;
    std::string FPattern;
    TSearchOptions FOptions;
    std::string FClasses;
};

} // namespace kst::search_reference
