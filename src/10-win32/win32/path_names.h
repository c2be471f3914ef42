// The forms of a path that the system resolves: full (relative to the current folder) and long
// (short 8.3 names replaced).
#pragma once

#include <string>

namespace kst::win32 {

// The full form of Path; Path itself when the system cannot form it.
std::wstring FullPathName(const std::wstring& Path);
// The full form of Path with the short names of existing folders and files made long.
std::wstring FullLongPathName(const std::wstring& Path);

} // namespace kst::win32
