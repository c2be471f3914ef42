// Random model tests run longer when KESTRANE_SOAK names a factor: KESTRANE_SOAK=100 multiplies
// their steps by 100. Without it, or with anything but a positive number, the factor is 1.
#pragma once

#include <cstdlib>
#include <string>

namespace kst {

inline int SoakFactor() {
    const char* value = std::getenv("KESTRANE_SOAK");
    if (value == nullptr) {
        return 1;
    }
    const int factor = std::atoi(value);
    return factor > 0 ? factor : 1;
}

} // namespace kst
