// What the fuzz targets share: a check that stops the run with a message, so that libFuzzer keeps
// the input that broke it, and an input's lines.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace kst::fuzz {

inline void Check(bool Holds, std::string_view What) {
    if (!Holds) {
        std::fprintf(stderr, "broken: %.*s\n", static_cast<int>(What.size()), What.data());
        std::abort();
    }
}

// The lines of Text split at LF alone, so that a CR stays inside a line; a final LF is followed
// by an empty line.
inline std::vector<std::string_view> LinesOf(std::string_view Text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start <= Text.size();) {
        const std::size_t end = std::min(Text.find('\n', start), Text.size());
        lines.push_back(Text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace kst::fuzz
