#include "document/search_engine.h"
#include "exact_bytes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

// Shift-JIS texts used below.
constexpr std::string_view kA = "\x82\x60";      // Ａ
constexpr std::string_view kB = "\x82\x61";      // Ｂ
constexpr std::string_view kSmallA = "\x82\x81"; // ａ
constexpr std::string_view kSmallB = "\x82\x82"; // ｂ
constexpr std::string_view kKa = "\x83\x4A";     // カ
constexpr std::string_view kGa = "\x83\x4B";     // ガ
constexpr std::string_view kHalfKa = "\xB6";     // ｶ
constexpr std::string_view kVoiced = "\xDE";     // ﾞ
constexpr std::string_view kSemiVoiced = "\xDF"; // ﾟ

std::string Cat(std::initializer_list<std::string_view> Parts) {
    std::string text;
    for (std::string_view part : Parts) {
        text += part;
    }
    return text;
}

struct SearchCase {
    const char* What;
    std::string Text;
    std::string Pattern;
    TSearchOptions Options;
    int Start;
    int Length;
    int ExpectedStart; // -1: no hit
    int ExpectedLength;
};

void ExpectSearch(const SearchCase& Case) {
    const ExactBytes text(Case.Text);
    const ExactBytes pattern(Case.Pattern);
    int start = Case.Start;
    int length = Case.Length;
    const bool found = SearchBuffer(text.View(), start, length, pattern.View(), Case.Options);
    EXPECT_EQ(found, Case.ExpectedStart >= 0) << Case.What;
    if (found && Case.ExpectedStart >= 0) {
        EXPECT_EQ(start, Case.ExpectedStart) << Case.What;
        EXPECT_EQ(length, Case.ExpectedLength) << Case.What;
    }
}

TEST(JisToSjis, ConvertsOddEvenAndUpperRows) {
    struct {
        std::uint16_t Jis;
        std::uint16_t Sjis;
    } const cases[] = {{0x2121, 0x8140}, {0x2422, 0x82A0}, {0x255F, 0x837E}, {0x2560, 0x8380},
                       {0x3021, 0x889F}, {0x5F21, 0xE040}, {0x7426, 0xEAA4}};
    for (const auto& c : cases) {
        EXPECT_EQ(JisToSjis(c.Jis), c.Sjis) << std::hex << c.Jis;
    }
    EXPECT_EQ(CodeToText(0x834B), kGa);
}

TEST(ToFullWidth, GivesEachByteItsFullWidthFormAndMergesSoundMarks) {
    struct {
        std::string In;
        std::string Out;
    } const cases[] = {
        {"Az09", "\x82\x60\x82\x9A\x82\x4F\x82\x58"},
        {" \"'\\`~", "\x81\x40\x81\x68\x81\x66\x81\x8F\x81\x4D\x81\x50"},
        {"!-_@", "\x81\x49\x81\x7C\x81\x51\x81\x97"},
        {Cat({kHalfKa, kVoiced}), std::string(kGa)},
        {"\xCA\xDF", "\x83\x70"},                              // ﾊﾟ: パ
        {"\xB3\xDE", "\x83\x94"},                              // ｳﾞ: ヴ
        {Cat({kHalfKa, kSemiVoiced}), Cat({kKa, "\x81\x4B"})}, // カ takes no semi-voiced mark
        {"\xB1\xDE", "\x83\x41\x81\x4A"},                      // ｱﾞ: ア and ゛
        {"\xA1\xA2\xA3\xA4\xA5\xB0", "\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45\x81\x5B"},
        {"\xA6\xA7\xAF\xDD", "\x83\x92\x83\x40\x83\x62\x83\x93"},  // ｦｧｯﾝ
        {"\x82\xA0\t\xA0\x80\xFD", "\x82\xA0\t\xA0\x80\xFD"},      // あ and bytes without a form
        {std::string("a\x82", 2), std::string("\x82\x81\x82", 3)}, // a lead byte at the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToFullWidth(c.In), c.Out) << c.In;
    }
}

TEST(WideCharMatches, SmallTextLettersMatchTheirCapitals) {
    struct {
        std::uint16_t Pattern;
        std::uint16_t Text;
        bool Matches;
    } const cases[] = {
        {0x8260, 0x8281, true},  {0x8279, 0x829A, true},  {0x839F, 0x83BF, true},
        {0x83B6, 0x83D6, true},  {0x8440, 0x8470, true},  {0x844F, 0x8480, true},
        {0x8460, 0x8491, true},  {0x8754, 0xEEEF, true},  {0x875D, 0xEEF8, true},
        {0x82A0, 0x82A0, true},  {0x8281, 0x8260, false}, {0x8260, 0x8282, false},
        {0x8260, 0x82A0, false}, {0x8754, 0x8754, true},  {0x8440, 0x847F, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideCharMatches(c.Pattern, c.Text), c.Matches)
            << std::hex << c.Pattern << " " << c.Text;
    }
}

TEST(SkipToWordStart, MovesToTheNearestWordStartInRange) {
    struct {
        const char* Text;
        int Pos;
        int Direction;
        int Remaining;
        bool Found;
        int To;
    } const cases[] = {
        {"ab cd", 1, 1, 3, true, 3},  {"ab cd", 0, 1, 4, true, 0},  {"concat", 1, 1, 3, false, 0},
        {"ab,,cd", 2, 1, 3, true, 4}, {"ab cd", 4, -1, 4, true, 3}, {"ab cd", 2, -1, 2, true, 0},
        {",cat", 3, -1, 3, true, 1},  {",,x", 1, -1, 1, false, 0},  {"a_b c", 2, -1, 2, true, 2},
    };
    for (const auto& c : cases) {
        int pos = c.Pos;
        EXPECT_EQ(SkipToWordStart(c.Text, pos, c.Direction, c.Remaining), c.Found) << c.Text;
        if (c.Found) {
            EXPECT_EQ(pos, c.To) << c.Text;
        }
    }
}

constexpr TSearchOptions kForward = sxForward;
constexpr TSearchOptions kMatchCase = sxForward | sxMatchCase;
constexpr TSearchOptions kWidth = sxForward | sxIgnoreWidth;
constexpr TSearchOptions kWord = sxForward | sxWholeWord;

TEST(SearchBuffer, FindsWhatEachOptionAllows) {
    const SearchCase cases[] = {
        {"a letter never matches a second byte", "\x83\x41", "A", kMatchCase, 0, 0, -1, 0},
        {"nor without case", "\x83\x41\x83\x61", "a", kForward, 0, 0, -1, 0},
        {"but the letter after it",
         "\x83\x41"
         "A",
         "A", kMatchCase, 0, 0, 2, 1},
        {"full-width capitals find small letters", Cat({kSmallA, kSmallB}), Cat({kA, kB}), kForward,
         0, 0, 0, 4},
        {"and capitals", Cat({"x", kA, kB}), Cat({kA, kB}), kForward, 0, 0, 1, 4},
        {"a small pattern is upper-cased", Cat({kA, kB}), Cat({kSmallA, kSmallB}), kForward, 0, 0,
         0, 4},
        {"case matters with sxMatchCase", Cat({kSmallA, kSmallB}), Cat({kA, kB}), kMatchCase, 0, 0,
         -1, 0},
        {"ASCII case", "xABC", "abc", kForward, 0, 0, 1, 3},
        {"ASCII case with sxMatchCase", "xABC", "abc", kMatchCase, 0, 0, -1, 0},
        {"full-width kana finds half-width", Cat({"x", kHalfKa}), std::string(kKa), kWidth, 0, 0, 1,
         1},
        {"a voiced kana finds kana and mark", Cat({kHalfKa, kVoiced}), std::string(kGa), kWidth, 0,
         0, 0, 2},
        {"a kana does not match half a voiced pair", Cat({kHalfKa, kVoiced}), std::string(kKa),
         kWidth, 0, 0, -1, 0},
        {"half-width letters find full-width ones", Cat({kSmallA, "b"}), "AB", kWidth, 0, 0, 0, 3},
        {"blanks skipped inside a match", "a b", "ab", kForward | sxIgnoreBlanks, 0, 0, 0, 3},
        {"a match never begins with a blank",
         " a\t\x81\x40"
         "b",
         "ab", kForward | sxIgnoreBlanks, 0, 0, 1, 5},
        {"blanks count only with sxIgnoreBlanks", "a b", "ab", kForward, 0, 0, -1, 0},
        {"line breaks skipped", "a\r\nb", "ab", kForward | sxAcrossLines, 0, 0, 0, 4},
        {"blanks are no line breaks", "a \nb", "ab", kForward | sxAcrossLines, 0, 0, -1, 0},
        {"not inside a word", "concat", "cat", kWord, 0, 0, -1, 0},
        {"not at the start of a word", "cats", "cat", kWord, 0, 0, -1, 0},
        {"the underscore ends a word", "cat_1", "cat", kWord, 0, 0, 0, 3},
        {"a later whole word", "concat cat.", "cat", kWord, 0, 0, 7, 3},
        // 表, あ and the full-width space end in a delimiter byte, 亜 and ア in a letter.
        {"a double-byte character is a word character",
         "\x95\x5C"
         "abc \x82\xA0"
         "abc \x81\x40"
         "abc \x88\x9F"
         "abc \x83\x41"
         "abc abc",
         "abc", kWord, 0, 0, 30, 3},
        {"backwards too",
         "abc \x95\x5C"
         "abc \x82\xA0"
         "abc \x81\x40"
         "abc \x88\x9F"
         "abc \x83\x41"
         "abc",
         "abc", sxWholeWord, 33, 0, 0, 3},
        {"backwards not inside a word", "concat", "con", sxWholeWord, 6, 0, -1, 0},
        {"backwards a whole word", "cat concat", "cat", sxWholeWord, 10, 0, 0, 3},
        {"from a hit the next one", "abab", "ab", kForward, 0, 2, 2, 2},
        {"from a second byte onwards",
         "\x82\x60"
         "a",
         "a", kForward, 1, 0, 2, 1},
        {"backwards the last hit before the start", "ab ab ab", "ab", 0, 6, 0, 3, 2},
        {"backwards over a voiced pair", Cat({kHalfKa, kVoiced, "x"}), std::string(kGa),
         sxIgnoreWidth, 2, 0, 0, 2},
        {"backwards from the end of the text", "xab", "ab", 0, 3, 0, 1, 2},
    };
    for (const SearchCase& c : cases) {
        ExpectSearch(c);
    }
}

TEST(SearchBuffer, EdgesOfTextAndPatternAreReadSafely) {
    const std::string loneLead("a\x82", 2);
    const SearchCase cases[] = {
        {"empty pattern", "abc", "", kForward, 0, 0, -1, 0},
        {"empty text", "", "a", kForward, 0, 0, -1, 0},
        {"start past the end", "abc", "a", kForward, 4, 0, -1, 0},
        {"negative start", "abc", "a", kForward, -1, 0, -1, 0},
        {"negative length", "abc", "a", kForward, 0, -1, -1, 0},
        {"pattern longer than the text", "ab", "abc", kForward | sxIgnoreBlanks, 0, 0, -1, 0},
        {"pattern longer backwards", "ab", "abc", sxIgnoreWidth, 2, 0, -1, 0},
        {"lead byte ending the text", loneLead, "\x82", kMatchCase, 0, 0, 1, 1},
        {"lead byte ending the pattern", "a\x82\xA0", loneLead, kMatchCase, 0, 0, -1, 0},
        {"lead byte ending both", loneLead, loneLead, kWidth | sxWholeWord, 0, 0, 0, 2},
        {"kana ending the text", "x\xB6", std::string(kGa), kWidth, 0, 0, -1, 0},
        {"skip at the end of the text", "a ", "ab", kForward | sxIgnoreBlanks, 0, 0, -1, 0},
        {"full-width space cut by the end", "a\x81", "ab", kForward | sxIgnoreBlanks, 0, 0, -1, 0},
    };
    for (const SearchCase& c : cases) {
        ExpectSearch(c);
    }
}

} // namespace
} // namespace kst
