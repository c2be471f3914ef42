#include "win32/path_names.h"

#include <windows.h>

namespace kst::win32 {

namespace {

// Calls Resolve(buffer, size) until the buffer holds the whole answer; Path when it fails.
template <class F>
std::wstring Resolved(const std::wstring& Path, F&& Resolve) {
    std::wstring result(Path.size() + 1, L'\0');
    for (;;) {
        const DWORD length = Resolve(result.data(), static_cast<DWORD>(result.size()));
        if (length == 0) {
            return Path;
        }
        if (length < result.size()) {
            result.resize(length);
            return result;
        }
        result.resize(length);
    }
}

} // namespace

std::wstring FullPathName(const std::wstring& Path) {
    return Resolved(Path, [&Path](wchar_t* Buffer, DWORD Size) {
        return GetFullPathNameW(Path.c_str(), Size, Buffer, nullptr);
    });
}

std::wstring FullLongPathName(const std::wstring& Path) {
    const std::wstring full = FullPathName(Path);
    return Resolved(full, [&full](wchar_t* Buffer, DWORD Size) {
        return GetLongPathNameW(full.c_str(), Buffer, Size);
    });
}

} // namespace kst::win32
