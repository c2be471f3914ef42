// A unified diff, in the form "diff -u" prints, of a text whose lines change in place (as
// formatting changes them: the same number of lines, none moved), so that a build log shows what
// a fix would be and patch can apply it.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace kst {

// The diff from Old to New, line for line, under the header "--- Path" and "+++ Path", each line
// ended by LF; empty when no line changes. New has as many lines as Old.
std::string UnifiedDiff(std::string_view Path, std::span<const std::string_view> Old,
                        std::span<const std::string> New);

} // namespace kst
