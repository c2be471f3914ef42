// <windows.h> for the Windows layer, without the ANSI/wide alias macros whose names the editor
// uses for its own members (Surface::TextOut, TEditor::GetCharWidth, the desktop's functions).
#pragma once

// The portable code's message and key constants have the names of <windows.h> macros, so they are
// declared before the macros exist, whatever a file includes first.
#include "core/messages.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <windows.h>

#undef GetCharWidth
#undef TextOut
#undef MessageBox
#undef WriteProfileString

namespace kst::win32 {

// A 64-bit value that the API hands over in two 32-bit halves (a size, a FILETIME).
inline std::uint64_t FromHalves(DWORD High, DWORD Low) {
    return (std::uint64_t{High} << 32) | Low;
}

// A wait's bound as the API takes it: none is INFINITE, a negative one looks only.
inline DWORD WaitMilliseconds(std::optional<int> Milliseconds) {
    return Milliseconds ? static_cast<DWORD>(std::max(0, *Milliseconds)) : INFINITE;
}

} // namespace kst::win32
