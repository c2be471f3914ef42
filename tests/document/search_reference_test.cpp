// The engine's scan for candidates against the reference candidate loop, on random cases.
#include "document/search_engine.h"
#include "exact_bytes.h"
#include "search_reference.h"

#include <gtest/gtest.h>
#include <iomanip>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace kst {
namespace {

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
        const bool referenceFound = !c.Pattern.empty() && !c.Text.empty() && c.Start >= 0 &&
                                    c.Start <= static_cast<int>(c.Text.size()) && c.Length >= 0 &&
                                    search_reference::ReferenceSearch(c.Text, c.Pattern, c.Options)
                                        .Run(referenceStart, referenceLength);
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
