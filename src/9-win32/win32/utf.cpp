#include "win32/utf.h"

#include "win32/windows_api.h"

namespace kst::win32 {

namespace {

constexpr UINT kCodePage932 = 932;

std::wstring ToWide(UINT CodePage, std::string_view Text) {
    if (Text.empty()) {
        return {};
    }
    const int Size = static_cast<int>(Text.size());
    const int Length = MultiByteToWideChar(CodePage, 0, Text.data(), Size, nullptr, 0);
    std::wstring Wide(static_cast<std::size_t>(Length), L'\0');
    MultiByteToWideChar(CodePage, 0, Text.data(), Size, Wide.data(), Length);
    return Wide;
}

std::string FromWide(UINT CodePage, DWORD Flags, std::wstring_view Wide) {
    if (Wide.empty()) {
        return {};
    }
    const int Size = static_cast<int>(Wide.size());
    const int Length =
        WideCharToMultiByte(CodePage, Flags, Wide.data(), Size, nullptr, 0, nullptr, nullptr);
    std::string Text(static_cast<std::size_t>(Length), '\0');
    WideCharToMultiByte(CodePage, Flags, Wide.data(), Size, Text.data(), Length, nullptr, nullptr);
    return Text;
}

} // namespace

std::wstring Utf8ToWide(std::string_view Utf8) {
    return ToWide(CP_UTF8, Utf8);
}

std::string WideToUtf8(std::wstring_view Wide) {
    return FromWide(CP_UTF8, 0, Wide);
}

std::wstring Cp932ToWide(std::string_view Cp932) {
    return ToWide(kCodePage932, Cp932);
}

std::string WideToCp932(std::wstring_view Wide) {
    // No best-fit look-alikes: a character CP932 lacks must not turn into another one.
    return FromWide(kCodePage932, WC_NO_BEST_FIT_CHARS, Wide);
}

} // namespace kst::win32
