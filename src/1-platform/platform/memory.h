// Hints for large buffers. Filling a buffer of many megabytes costs one page fault per page; where
// the system can back the buffer with large pages, asking for them before the first touch saves
// most of those faults.
#pragma once

#include <cstddef>

namespace kst {

// Call right after allocating Size bytes at Data, before writing them. Only a hint: it may do
// nothing, and it never changes the buffer's content or lifetime.
void AdviseLargeBuffer(void* Data, std::size_t Size);

} // namespace kst
