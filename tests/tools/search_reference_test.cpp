// The engine finds candidates by scanning for the bytes a match can start and end with; this
// checks it against the candidate loop taken step by step: a class map of the text, one candidate
// after another, word starts found by skipping, and the character comparison of each option.
#include "exact_bytes.h"
#include "tools/search_engine.h"

#include <gtest/gtest.h>
#include <iomanip>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace kst {
namespace {

bool IsSearchDelimiter(unsigned char Byte) {
    return Byte <= 0x2F || (Byte >= 0x3A && Byte <= 0x40) || (Byte >= 0x5B && Byte <= 0x60) ||
           (Byte >= 0x7B && Byte <= 0x80) || (Byte >= 0xA0 && Byte <= 0xA5) || Byte >= 0xFD;
}

bool CarriesMark(unsigned char Kana, unsigned char Mark) {
    const bool halfVoiced = Kana >= 0xCA && Kana <= 0xCE;
    if (Mark == 0xDF) {
        return halfVoiced;
    }
    return Mark == 0xDE && (halfVoiced || Kana == 0xB3 || (Kana >= 0xB6 && Kana <= 0xC4));
}

std::uint16_t CodeOf(std::string_view Char) {
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
    bool IsDelimiter(int Pos) const { return IsSearchDelimiter(At(Pos)); }
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

// Pieces of text that meet the options: letters in both cases and widths, a letter's code as a
// second byte, kana with and without sound marks, blanks, line breaks and delimiters.
const std::vector<std::string> kPieces = {
    "a",        "A",        "b",        "c",        "_",        " ",        "\t",       "\r",
    "\n",       ".",        "\x81\x40", "\x82\x60", "\x82\x81", "\x82\x61", "\x83\x41", "\x83\x4A",
    "\x83\x4B", "\x83\x94", "\xB6",     "\xB3",     "\xCA",     "\xDE",     "\xDF",     "\x83\x9F",
    "\x83\xBF", "\x87\x54", "\xEE\xEF", "\x81",     "\xE0",     "\xB1",     "\x81\x81",
};

std::string Hex(std::string_view Bytes) {
    std::ostringstream out;
    for (const char c : Bytes) {
        out << std::hex << std::setw(2) << std::setfill('0')
            << static_cast<unsigned>(static_cast<unsigned char>(c)) << ' ';
    }
    return out.str();
}

struct SearchCase {
    std::string Text;
    std::string Pattern;
    TSearchOptions Options = 0;
    int Start = 0;
    int Length = 0;
};

class RandomCases {
public:
    explicit RandomCases(unsigned Seed) : FRandom(Seed) {}

    SearchCase Next() {
        SearchCase c;
        c.Text = Text();
        c.Pattern = PatternFor(c.Text);
        c.Options = Options();
        const int size = static_cast<int>(c.Text.size());
        // Mostly from the half of the text the search runs away from; now and then out of range.
        const int offset = Below(size / 2 + 1);
        c.Start = Below(20) == 0 ? Below(3) * (size + 2) - 1
                                 : ((c.Options & sxForward) != 0 ? offset : size - offset);
        c.Length = Below(4) == 0 ? Below(5) - 1 : 0;
        return c;
    }

private:
    std::string Text() {
        std::string text;
        const int pieces = Below(Below(4) == 0 ? 60 : 16);
        for (int i = 0; i < pieces; ++i) {
            text += kPieces[static_cast<std::size_t>(Below(static_cast<int>(kPieces.size())))];
        }
        return text;
    }
    // Mostly a part of Text without its blanks and line breaks, so that hits are common, else
    // text of its own.
    std::string PatternFor(const std::string& Text) {
        if (Text.empty() || Below(4) == 0) {
            return this->Text().substr(0, 1 + static_cast<std::size_t>(Below(5)));
        }
        const auto start = static_cast<std::size_t>(Below(static_cast<int>(Text.size())));
        std::string pattern = Text.substr(start, 1 + static_cast<std::size_t>(Below(6)));
        if (Below(2) == 0) {
            std::erase_if(pattern,
                          [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
        }
        return pattern;
    }
    TSearchOptions Options() {
        constexpr TSearchOptions bits[] = {sxForward,     sxMatchCase,   sxWholeWord,
                                           sxIgnoreWidth, sxAcrossLines, sxIgnoreBlanks};
        TSearchOptions options = 0;
        for (const TSearchOptions bit : bits) {
            if (Below(2) == 0) {
                options |= bit;
            }
        }
        return options;
    }
    int Below(int Bound) { return std::uniform_int_distribution<int>(0, Bound - 1)(FRandom); }

    std::mt19937 FRandom;
};

TEST(SearchBufferReference, TheScanFindsWhatTheCandidateLoopFinds) {
    RandomCases random(20240614);
    for (int n = 0; n < 100000; ++n) {
        const SearchCase c = random.Next();
        const ExactBytes text(c.Text);
        const ExactBytes pattern(c.Pattern);
        int engineStart = c.Start;
        int engineLength = c.Length;
        const bool engineFound =
            SearchBuffer(text.View(), engineStart, engineLength, pattern.View(), c.Options);
        int referenceStart = c.Start;
        int referenceLength = c.Length;
        const bool referenceFound =
            !c.Pattern.empty() && !c.Text.empty() && c.Start >= 0 &&
            c.Start <= static_cast<int>(c.Text.size()) && c.Length >= 0 &&
            ReferenceSearch(c.Text, c.Pattern, c.Options).Run(referenceStart, referenceLength);
        const auto described = [&] {
            return "text " + Hex(c.Text) + "pattern " + Hex(c.Pattern) + "options " +
                   std::to_string(c.Options) + " start " + std::to_string(c.Start) + " length " +
                   std::to_string(c.Length);
        };
        ASSERT_EQ(engineFound, referenceFound) << described();
        if (engineFound) {
            ASSERT_EQ(engineStart, referenceStart) << described();
            ASSERT_EQ(engineLength, referenceLength) << described();
        }
    }
}

} // namespace
} // namespace kst
