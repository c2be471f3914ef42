#include "platform/memory.h"

#include <cstdint>
#include <sys/mman.h>

namespace kst {

namespace {

constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;

} // namespace

void AdviseLargeBuffer(void* Data, std::size_t Size) {
    const auto start = reinterpret_cast<std::uintptr_t>(Data);
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (start + Size) & ~(kLargePage - 1);
    if (last > first) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

} // namespace kst
