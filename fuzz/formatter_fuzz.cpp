// Formatting arbitrary lines: formatting twice is formatting once, a comment line stays as it is,
// other lines stay as they are (those the parser cannot place) or change only in the blanks around
// them and are indented with tabs alone, and the checks agree with the formatting.
#include "fuzz_check.h"
#include "script/formatter.h"
#include "script/script_text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using kst::fuzz::Check;
using kst::fuzz::LinesOf;

std::vector<std::string_view> Views(const std::vector<std::string>& Lines) {
    return {Lines.begin(), Lines.end()};
}

void CheckLine(std::string_view Source, std::string_view Formatted) {
    if (kst::TrimBlanks(Source).starts_with(kst::kCommentMark)) {
        Check(Formatted == Source, "a comment line changed");
        return;
    }
    if (Formatted == Source) {
        return;
    }
    Check(kst::TrimBlanks(Formatted) == kst::TrimBlanks(Source), "more than blanks changed");
    const std::size_t indentation = Formatted.size() - kst::TrimLeadingBlanks(Formatted).size();
    Check(Formatted.substr(0, indentation).find_first_not_of('\t') == std::string_view::npos,
          "an indentation of other blanks than tabs");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::vector<std::string_view> source =
        LinesOf(std::string_view(reinterpret_cast<const char*>(Data), Size));
    const std::vector<std::string> once = kst::FormatLines(source);
    Check(once.size() == source.size(), "the line count changed");
    Check(kst::FormatLines(Views(once)) == once, "formatting twice differs from once");
    for (std::size_t i = 0; i < source.size(); ++i) {
        CheckLine(source[i], once[i]);
    }
    const bool unchanged = std::equal(once.begin(), once.end(), source.begin(), source.end());
    Check(kst::IsFormatted(source) == unchanged, "IsFormatted disagrees with the formatting");
    Check(kst::FormatScript(source).has_value() != unchanged, "FormatScript disagrees");
    return 0;
}
