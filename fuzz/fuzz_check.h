// What the fuzz targets share: a check that stops the run with a message, so that libFuzzer keeps
// the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kst::fuzz {

inline void Check(bool Holds, std::string_view What) {
    if (!Holds) {
        std::fprintf(stderr, "broken: %.*s\n", static_cast<int>(What.size()), What.data());
        std::abort();
    }
}

} // namespace kst::fuzz
