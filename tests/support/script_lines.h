// The lines of a script text as the editor splits them (at CR LF, CR or LF), as views into it.
#pragma once

#include "core/strings.h"

#include <string_view>
#include <vector>

namespace kst {

inline std::vector<std::string_view> LinesOf(std::string_view Text) {
    std::vector<std::string_view> lines;
    ForEachLine(Text, [&lines](std::string_view Line) { lines.push_back(Line); });
    return lines;
}

} // namespace kst
