#include "document/regex_search.h"
#include "document/search_engine.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

constexpr std::string_view kKanji = "\x8A\xBF";     // 漢, trail byte 0xBF
constexpr std::string_view kKatakanaA = "\x83\x41"; // ア, trail byte 'A'
constexpr std::string_view kSo = "\x83\x5C";        // ソ, trail byte '\'
constexpr std::string_view kHalfKa = "\xB6";        // ｶ

std::string Cat(std::initializer_list<std::string_view> Parts) {
    std::string text;
    for (const std::string_view part : Parts) {
        text += part;
    }
    return text;
}

// Every match from byte From on, as the commands walk them.
std::vector<TByteSpan> AllMatches(const TRegexPattern& Pattern, std::string_view Line,
                                  std::size_t From) {
    TUtf16Line units;
    units.Assign(Line);
    std::vector<TByteSpan> matches;
    for (std::optional<std::size_t> from = From; from;) {
        const std::optional<TByteSpan> match = Pattern.Find(units, *from);
        if (!match) {
            break;
        }
        matches.push_back(*match);
        from = SearchOnFrom(units, *match);
    }
    return matches;
}

// A fault in the mapping from UTF-16 units back to bytes shows as a match that starts or ends
// inside a double-byte character, or one a byte off after the first double-byte character.
TEST(RegexSearch, MatchesCharactersAndMapsThemBackToTheLinesBytes) {
    struct TCase {
        const char* What;
        std::string Line;
        std::string Pattern;
        bool MatchCase;
        std::size_t From;
        std::vector<TByteSpan> Expected;
    };
    const TCase cases[] = {
        {"a dot is one character, double-byte or not",
         Cat({kKanji, "a", kHalfKa}),
         ".",
         true,
         0,
         {{0, 2}, {2, 1}, {3, 1}}},
        {"a letter never matches a trail byte", Cat({kKatakanaA, "A"}), "A", true, 0, {{2, 1}}},
        {"a backslash never matches a trail byte", Cat({kSo, "\\"}), "\\\\", true, 0, {{2, 1}}},
        {"a double-byte pattern character",
         Cat({"x", kKanji, kKanji}),
         Cat({kKanji, "+"}),
         true,
         0,
         {{1, 4}}},
        {"a match at the line's end", Cat({kKanji, "end"}), "end$", true, 0, {{2, 3}}},
        {"the end after a double-byte character", Cat({"ab", kKanji}), ".$", true, 0, {{2, 2}}},
        {"^ is the line's start, not the search's", "abab", "^ab", true, 1, {}},
        {"a word boundary looks before the search's start", "xab ab", "\\bab", true, 1, {{4, 2}}},
        {"empty matches advance one character",
         Cat({kKanji, "b"}),
         "x*",
         true,
         0,
         {{0, 0}, {2, 0}, {3, 0}}},
        {"case is ignored unless asked for", "MsgBox msgbox", "msgbox", false, 0, {{0, 6}, {7, 6}}},
        {"case matches when asked for", "MsgBox msgbox", "msgbox", true, 0, {{7, 6}}},
        {"a byte that names no character is one", "a\x80z", "a.z", true, 0, {{0, 3}}},
        {"a lead byte at the line's end is one", "ab\x8A", "b.$", true, 0, {{1, 2}}},
        {"a search from a byte inside a character starts at the next",
         Cat({kKanji, "ab"}),
         ".",
         true,
         1,
         {{2, 1}, {3, 1}}},
        {"groups around double-byte text",
         Cat({"CreateObject(\"", kKanji, "\")"}),
         "CreateObject\\(\"[^\"]*\"\\)",
         false,
         0,
         {{0, 18}}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(AllMatches(TRegexPattern(c.Pattern, c.MatchCase), c.Line, c.From), c.Expected)
            << c.What;
    }
}

TEST(RegexSearch, PutsTheGroupsIntoTheReplacement) {
    struct TCase {
        std::string Template;
        std::string Expected;
    };
    // "(\w+)=(\d+)?(x)?" on "ab=12": $1 "ab", $2 "12", $3 took no part.
    const TCase cases[] = {
        {"$2=$1", "12=ab"},
        {"[$&]", "[ab=12]"},
        {"$$1", "$1"},
        {"$3|$9", "|"},
        {"$0 $x $", "$0 $x $"},
        {Cat({kKanji, "$1", kSo}), Cat({kKanji, "ab", kSo})},
        {"", ""},
    };
    TUtf16Line line;
    line.Assign("ab=12");
    TMatchGroups groups;
    ASSERT_TRUE(TRegexPattern("(\\w+)=(\\d+)?(x)?", true).Find(line, 0, &groups));
    for (const TCase& c : cases) {
        EXPECT_EQ(ExpandReplacement(c.Template, "ab=12", groups), c.Expected) << c.Template;
    }
}

TEST(RegexSearch, APatternThatDoesNotCompileSaysWhatIsWrongAndWhere) {
    struct TCase {
        std::string Pattern;
        std::string Message;
    };
    const TCase cases[] = {
        {"(ab", "正規表現が正しくありません：( に対応する ) がありません（4 文字目）"},
        {"a[b", "正規表現が正しくありません：[ に対応する ] がありません（4 文字目）"},
        {"*a", "正規表現が正しくありません：繰り返しの記号 (* + ? {) "
               "の前に繰り返すものがありません（1 文字目）"},
    };
    for (const TCase& c : cases) {
        try {
            TRegexPattern(c.Pattern, true);
            ADD_FAILURE() << c.Pattern << " compiled";
        } catch (const ERegexError& error) {
            EXPECT_EQ(std::string(error.what()), c.Message) << c.Pattern;
        }
    }
}

TEST(RegexSearch, AMatchThatExplodesStopsTheSearch) {
    const TRegexPattern pattern("(a+)+b", true);
    TUtf16Line line;
    line.Assign(std::string(5000, 'a'));
    EXPECT_THROW(pattern.Find(line, 0), ESearchAborted);
}

// Forward from a hit finds the next one, backward the one before; lines are searched one by one.
TEST(RegexSearch, SearchesABufferOfLinesBothWays) {
    struct TCase {
        const char* What;
        TSearchOptions Options;
        int Start;
        int Length;
        int ExpectedStart; // -1: none
        int ExpectedLength;
    };
    const std::string text = "ab1\r\nx22\r\n\r\nab333";
    const TCase cases[] = {
        {"the first", sxForward, 0, 0, 2, 1},
        {"after a hit", sxForward, 2, 1, 6, 2},
        {"never across a line break", sxForward, 8, 0, 14, 3},
        {"backward from the end", 0, 17, 0, 14, 3},
        {"backward over an empty line", 0, 14, 0, 6, 2},
        {"backward before the first", 0, 2, 0, -1, 0},
    };
    for (const TCase& c : cases) {
        int start = c.Start;
        int length = c.Length;
        const bool found = SearchBuffer(text, start, length, "\\d+", c.Options | sxRegExp);
        EXPECT_EQ(found, c.ExpectedStart >= 0) << c.What;
        if (found) {
            EXPECT_EQ(start, c.ExpectedStart) << c.What;
            EXPECT_EQ(length, c.ExpectedLength) << c.What;
        }
    }
    int start = 0;
    int length = 0;
    EXPECT_TRUE(SearchBuffer(text, start, length, "^$", sxForward | sxRegExp));
    EXPECT_EQ(start, 10) << "the empty line";
    EXPECT_FALSE(SearchBuffer(text, start, length, "^$", sxForward | sxRegExp))
        << "an empty hit is passed over";
}

} // namespace
} // namespace kst
