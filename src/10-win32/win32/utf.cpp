#include "win32/utf.h"

#include "core/code_page.h"
#include "win32/windows_api.h"

namespace kst::win32 {

namespace {

// None when Flags ask for invalid bytes to fail and there is one.
std::optional<std::wstring> ToWide(UINT CodePage, DWORD Flags, std::string_view Text) {
    if (Text.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(Text.size());
    const int length = MultiByteToWideChar(CodePage, Flags, Text.data(), size, nullptr, 0);
    if (length == 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CodePage, Flags, Text.data(), size, wide.data(), length);
    return wide;
}

std::string FromWide(UINT CodePage, DWORD Flags, std::wstring_view Wide) {
    if (Wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(Wide.size());
    const int length =
        WideCharToMultiByte(CodePage, Flags, Wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CodePage, Flags, Wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

} // namespace

std::wstring Utf8ToWide(std::string_view Utf8) {
    return ToWide(CP_UTF8, 0, Utf8).value_or(std::wstring());
}

std::string WideToUtf8(std::wstring_view Wide) {
    return FromWide(CP_UTF8, 0, Wide);
}

UINT TextCodePageNumber() {
    return static_cast<UINT>(TextCodePage().Number());
}

std::wstring TextToWide(std::string_view Text) {
    return ToWide(TextCodePageNumber(), 0, Text).value_or(std::wstring());
}

std::string WideToText(std::wstring_view Wide) {
    // No best-fit look-alikes: a character the code page lacks must not turn into another one.
    return FromWide(TextCodePageNumber(), WC_NO_BEST_FIT_CHARS, Wide);
}

// Code pages for which the system cannot tell invalid bytes are taken as they decode.
std::optional<std::wstring> StrictToWide(unsigned CodePage, std::string_view Text) {
    std::optional<std::wstring> wide = ToWide(CodePage, MB_ERR_INVALID_CHARS, Text);
    if (!wide && GetLastError() == ERROR_INVALID_FLAGS) {
        wide = ToWide(CodePage, 0, Text);
    }
    return wide;
}

} // namespace kst::win32
