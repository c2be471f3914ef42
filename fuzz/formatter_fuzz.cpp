// Formatting arbitrary lines, in the unit the first byte picks (the script's own, a tab, two or
// four spaces): formatting twice is formatting once, a comment line stays as it is, other lines
// stay as they are (those the parser cannot place) or change only in the blanks around them, the
// checks agree with the formatting, and formatting the middle third of the lines gives those
// lines as formatting the whole script does.
#include "fuzz_check.h"
#include "script/formatter.h"
#include "script/script_parser.h"
#include "script/script_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using kst::fuzz::Check;
using kst::fuzz::LinesOf;

const std::array<kst::TIndentStyle, 4> kStyles = {
    kst::TIndentStyle{}, kst::TIndentStyle{kst::TIndentUnit{}},
    kst::TIndentStyle{kst::TIndentUnit{2}}, kst::TIndentStyle{kst::TIndentUnit{4}}};

std::vector<std::string_view> Views(const std::vector<std::string>& Lines) {
    return {Lines.begin(), Lines.end()};
}

void CheckLine(std::string_view Source, std::string_view Formatted) {
    if (kst::TrimBlanks(Source).starts_with(kst::kCommentMark)) {
        Check(Formatted == Source, "a comment line changed");
        return;
    }
    Check(kst::TrimBlanks(Formatted) == kst::TrimBlanks(Source), "more than blanks changed");
}

// Lines First..Last of the whole script's formatting, as FormatLineRange answers them, from the
// first line of the statement at First (a range that starts inside a statement leaves its first
// line, and so its continuation lines, where they are).
void CheckRange(const std::vector<std::string_view>& Source, const std::vector<std::string>& Once,
                const kst::TIndentStyle& Style, int First, int Last) {
    const std::vector<int> continuations = kst::ParseScript(Source).Continuations;
    while (First > 0 && std::ranges::binary_search(continuations, First)) {
        --First;
    }
    std::string expected;
    bool changed = false;
    for (int line = First; line <= Last; ++line) {
        const auto index = static_cast<std::size_t>(line);
        expected += (line > First ? "\r\n" : "") + Once[index];
        changed = changed || Once[index] != Source[index];
    }
    const std::optional<std::string> range = kst::FormatLineRange(Source, Style, First, Last);
    Check(range.has_value() == changed, "FormatLineRange disagrees on a change");
    Check(!range || *range == expected, "a line range formatted otherwise than in the whole");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const kst::TIndentStyle& style = kStyles[Size > 0 ? Data[0] % kStyles.size() : 0];
    const std::vector<std::string_view> source =
        LinesOf(std::string_view(reinterpret_cast<const char*>(Data), Size));
    const std::vector<std::string> once = kst::FormatLines(source, style);
    Check(once.size() == source.size(), "the line count changed");
    Check(kst::FormatLines(Views(once), style) == once, "formatting twice differs from once");
    for (std::size_t i = 0; i < source.size(); ++i) {
        CheckLine(source[i], once[i]);
    }
    const bool unchanged = std::equal(once.begin(), once.end(), source.begin(), source.end());
    Check(kst::IsFormatted(source, style) == unchanged,
          "IsFormatted disagrees with the formatting");
    Check(kst::FormatScript(source, style).has_value() != unchanged, "FormatScript disagrees");
    const int count = static_cast<int>(source.size());
    if (count > 0) {
        CheckRange(source, once, style, count / 3, 2 * count / 3);
    }
    return 0;
}
