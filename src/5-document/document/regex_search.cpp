#include "document/regex_search.h"

#include "core/code_page.h"

// The engine counts the states it visits in a line and gives up past a bound that grows with the
// square of the line's length. This cap keeps a give-up within about 20 ms, so that a pattern
// whose matching explodes never holds the window for long.
#define BOOST_REGEX_MAX_STATE_COUNT 1000000
#include <algorithm>
#include <array>
#include <boost/regex.hpp>
#include <utility>

namespace kst {

namespace {

using TUnitRegex = boost::wregex;
using TUnitMatch = boost::match_results<const char16_t*>;

constexpr char kNoCharacter = '\0';

// What the engine found wrong with a pattern, in the words the user reads.
struct TPatternProblem {
    boost::regex_constants::error_type Code;
    const char* Text;
};

constexpr std::array<TPatternProblem, 17> kPatternProblems = {{
    {boost::regex_constants::error_collate, "照合要素が正しくありません"},
    {boost::regex_constants::error_ctype, "文字クラスの名前が正しくありません"},
    {boost::regex_constants::error_escape, "\\ の後に文字がないか、その組み合わせは使えません"},
    {boost::regex_constants::error_backref, "存在しないグループを参照しています"},
    {boost::regex_constants::error_brack, "[ に対応する ] がありません"},
    {boost::regex_constants::error_paren, "( に対応する ) がありません"},
    {boost::regex_constants::error_brace, "{ に対応する } がありません"},
    {boost::regex_constants::error_badbrace, "{ } の中の回数が正しくありません"},
    {boost::regex_constants::error_range, "文字の範囲が正しくありません"},
    {boost::regex_constants::error_space, "パターンが大きすぎて扱えません"},
    {boost::regex_constants::error_badrepeat,
     "繰り返しの記号 (* + ? {) の前に繰り返すものがありません"},
    {boost::regex_constants::error_end, "パターンが途中で終わっています"},
    {boost::regex_constants::error_size, "パターンが長すぎます"},
    {boost::regex_constants::error_right_paren, ") に対応する ( がありません"},
    {boost::regex_constants::error_empty, "パターンが空です"},
    {boost::regex_constants::error_perl_extension, "( ? の後の拡張の書き方が正しくありません"},
    {boost::regex_constants::error_complexity, "パターンが複雑すぎます"},
}};

std::string PatternProblemMessage(const boost::regex_error& Error) {
    std::string problem = "書き方が正しくありません";
    for (const TPatternProblem& row : kPatternProblems) {
        if (row.Code == Error.code()) {
            problem = row.Text;
        }
    }
    return "正規表現が正しくありません：" + problem + "（" + std::to_string(Error.position() + 1) +
           " 文字目）";
}

std::wstring PatternUnits(std::string_view Pattern) {
    std::wstring units;
    for (std::size_t i = 0; i < Pattern.size();) {
        const std::size_t length = CharLengthAt(Pattern, i);
        units.push_back(static_cast<wchar_t>(UnicodeAt(Pattern, i, length)));
        i += length;
    }
    return units;
}

std::optional<TByteSpan> SpanOf(const TUtf16Line& Line, const TUnitMatch::value_type& Group) {
    if (!Group.matched) {
        return std::nullopt;
    }
    const char16_t* base = Line.Units().data();
    const std::size_t first = Line.ByteOf(static_cast<std::size_t>(Group.first - base));
    const std::size_t last = Line.ByteOf(static_cast<std::size_t>(Group.second - base));
    return TByteSpan{first, last - first};
}

} // namespace

const char* const kSearchAbortedText = "検索を中止しました";

ESearchAborted::ESearchAborted() : Exception(kSearchAbortedText) {}

void TUtf16Line::Assign(std::string_view Line) {
    FUnits.clear();
    FByteOf.clear();
    FUnits.reserve(Line.size());
    FByteOf.reserve(Line.size() + 1);
    for (std::size_t i = 0; i < Line.size();) {
        const std::size_t length = CharLengthAt(Line, i);
        FUnits.push_back(UnicodeAt(Line, i, length));
        FByteOf.push_back(static_cast<std::uint32_t>(i));
        i += length;
    }
    FByteOf.push_back(static_cast<std::uint32_t>(Line.size()));
}

std::size_t TUtf16Line::UnitAtOrAfter(std::size_t Byte) const {
    const auto it = std::lower_bound(FByteOf.begin(), FByteOf.end(), Byte);
    return it == FByteOf.end() ? FUnits.size() : static_cast<std::size_t>(it - FByteOf.begin());
}

struct TRegexPattern::TCompiled {
    TUnitRegex Regex;
};

TRegexPattern::TRegexPattern(std::string_view Pattern, bool MatchCase) {
    const boost::regex_constants::syntax_option_type flags =
        MatchCase ? boost::regex_constants::perl
                  : boost::regex_constants::perl | boost::regex_constants::icase;
    try {
        FCompiled =
            std::make_shared<const TCompiled>(TCompiled{TUnitRegex(PatternUnits(Pattern), flags)});
    } catch (const boost::regex_error& error) {
        throw ERegexError(PatternProblemMessage(error));
    }
}

std::optional<TByteSpan> TRegexPattern::Find(const TUtf16Line& Line, std::size_t From,
                                             TMatchGroups* Groups) const {
    const char16_t* begin = Line.Units().data();
    const char16_t* end = begin + Line.Units().size();
    const char16_t* first = begin + Line.UnitAtOrAfter(From);
    TUnitMatch match;
    bool found = false;
    try {
        // The line's start is the start for "^" and for looking back, wherever the search starts.
        found = boost::regex_search(first, end, match, FCompiled->Regex,
                                    boost::regex_constants::match_single_line, begin);
    } catch (const std::runtime_error&) {
        throw ESearchAborted();
    }
    if (!found) {
        return std::nullopt;
    }
    if (Groups != nullptr) {
        Groups->clear();
        for (const auto& group : match) {
            Groups->push_back(SpanOf(Line, group));
        }
    }
    return SpanOf(Line, match[0]);
}

std::optional<TByteSpan> TRegexPattern::FindLast(const TUtf16Line& Line, std::size_t Before) const {
    std::optional<TByteSpan> last;
    std::size_t from = 0;
    while (from < Before) {
        const std::optional<TByteSpan> match = Find(Line, from);
        if (!match || match->Start >= Before) {
            break;
        }
        last = match;
        const std::optional<std::size_t> next = SearchOnFrom(Line, *match);
        if (!next) {
            break;
        }
        from = *next;
    }
    return last;
}

std::optional<std::size_t> SearchOnFrom(const TUtf16Line& Line, TByteSpan Match) {
    if (Match.Length > 0) {
        return Match.End();
    }
    const std::size_t unit = Line.UnitAtOrAfter(Match.Start);
    if (unit >= Line.Units().size()) {
        return std::nullopt;
    }
    return Line.ByteOf(unit + 1);
}

TByteSpan LineAt(std::string_view Text, std::size_t Pos) {
    const std::size_t before =
        Pos == 0 ? std::string_view::npos : Text.find_last_of("\r\n", Pos - 1);
    const std::size_t start = before == std::string_view::npos ? 0 : before + 1;
    const std::size_t end = std::min(Text.find_first_of("\r\n", start), Text.size());
    return {start, end - start};
}

std::optional<std::size_t> LineAfter(std::string_view Text, TByteSpan Line) {
    if (Line.End() >= Text.size()) {
        return std::nullopt;
    }
    return Line.End() + (Text.compare(Line.End(), 2, "\r\n") == 0 ? 2 : 1);
}

namespace {

std::optional<TByteSpan> FindForward(const TRegexPattern& Pattern, std::string_view Text,
                                     std::size_t From) {
    TUtf16Line units;
    for (TByteSpan line = LineAt(Text, From);;) {
        units.Assign(Text.substr(line.Start, line.Length));
        const std::size_t from = From > line.Start ? From - line.Start : 0;
        std::optional<TByteSpan> match = Pattern.Find(units, from);
        if (match && match->Length == 0 && line.Start + match->Start == From) {
            const std::optional<std::size_t> next = SearchOnFrom(units, *match);
            match = next ? Pattern.Find(units, *next) : std::nullopt;
        }
        if (match) {
            return TByteSpan{line.Start + match->Start, match->Length};
        }
        const std::optional<std::size_t> next = LineAfter(Text, line);
        if (!next) {
            return std::nullopt;
        }
        line = LineAt(Text, *next);
    }
}

std::optional<TByteSpan> FindBackward(const TRegexPattern& Pattern, std::string_view Text,
                                      std::size_t From) {
    TUtf16Line units;
    TByteSpan line = LineAt(Text, From);
    // Matches count that start before this byte of the line.
    std::size_t before = From - line.Start;
    while (true) {
        units.Assign(Text.substr(line.Start, line.Length));
        if (const std::optional<TByteSpan> match = Pattern.FindLast(units, before)) {
            return TByteSpan{line.Start + match->Start, match->Length};
        }
        if (line.Start == 0) {
            return std::nullopt;
        }
        const bool crLf = line.Start >= 2 && Text.compare(line.Start - 2, 2, "\r\n") == 0;
        line = LineAt(Text, line.Start - (crLf ? 2 : 1));
        // Every match of a line before From's, an empty one at its end too.
        before = line.Length + 1;
    }
}

} // namespace

std::optional<TByteSpan> FindInLines(const TRegexPattern& Pattern, std::string_view Text,
                                     std::size_t From, bool Forward) {
    return Forward ? FindForward(Pattern, Text, From) : FindBackward(Pattern, Text, From);
}

std::string ExpandReplacement(std::string_view Template, std::string_view Line,
                              const TMatchGroups& Groups) {
    const auto appendGroup = [&](std::string& Into, std::size_t Index) {
        if (Index < Groups.size() && Groups[Index]) {
            Into.append(Line.substr(Groups[Index]->Start, Groups[Index]->Length));
        }
    };
    std::string result;
    for (std::size_t i = 0; i < Template.size(); ++i) {
        const char next = i + 1 < Template.size() ? Template[i + 1] : kNoCharacter;
        if (Template[i] != '$' || (next != '$' && next != '&' && (next < '1' || next > '9'))) {
            result.push_back(Template[i]);
            continue;
        }
        ++i;
        if (next == '$') {
            result.push_back('$');
        } else {
            appendGroup(result, next == '&' ? 0 : static_cast<std::size_t>(next - '0'));
        }
    }
    return result;
}

} // namespace kst
