// Text conversions at the Windows boundary: UTF-8 (the program's own user-interface strings) and
// the text's code page (document text) to and from UTF-16 (the wide Windows API).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kst::win32 {

std::wstring Utf8ToWide(std::string_view Utf8);
std::string WideToUtf8(std::wstring_view Wide);

// Bytes that are no character of the text's code page become its default character.
std::wstring TextToWide(std::string_view Text);
// Characters that the text's code page lacks become "?".
std::string WideToText(std::wstring_view Wide);

// Text in a code page to UTF-16; none when a byte is not valid in it.
std::optional<std::wstring> StrictToWide(unsigned CodePage, std::string_view Text);

} // namespace kst::win32
