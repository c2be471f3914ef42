// The bytes of files in Unicode, with their marks, made from UTF-16 text of the basic plane (and
// lone surrogates, which UTF-16 files may hold and UTF-8 files cannot).
#pragma once

#include <string>
#include <string_view>

namespace kst {

inline std::string Utf16LeFile(std::u16string_view Text) {
    std::string file = "\xFF\xFE";
    for (const char16_t unit : Text) {
        file += static_cast<char>(unit & 0xFF);
        file += static_cast<char>(unit >> 8);
    }
    return file;
}

inline std::string Utf8File(std::u16string_view Text) {
    std::string file = "\xEF\xBB\xBF";
    for (const char16_t c : Text) {
        if (c < 0x80) {
            file += static_cast<char>(c);
        } else if (c < 0x800) {
            file += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            file += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                     static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return file;
}

} // namespace kst
