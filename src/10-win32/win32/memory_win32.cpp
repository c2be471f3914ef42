#include "platform/memory.h"

namespace kst {

// Windows backs committed memory with large pages only for privileged processes; ordinary pages
// it is.
void AdviseLargeBuffer(void*, std::size_t) {}

} // namespace kst
