// The bytes of files in Unicode, with their marks, made from UTF-16 text. A lone surrogate goes
// into a UTF-8 file as the three bytes that decoders refuse.
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

inline std::string Utf16BeFile(std::u16string_view Text) {
    std::string file = "\xFE\xFF";
    for (const char16_t unit : Text) {
        file += static_cast<char>(unit >> 8);
        file += static_cast<char>(unit & 0xFF);
    }
    return file;
}

inline std::string Utf8File(std::u16string_view Text) {
    std::string file = "\xEF\xBB\xBF";
    const auto put = [&file](unsigned Lead, unsigned Bits, int Continuations) {
        file += static_cast<char>(Lead | Bits >> (6 * Continuations));
        for (int i = Continuations - 1; i >= 0; --i) {
            file += static_cast<char>(0x80 | (Bits >> (6 * i) & 0x3F));
        }
    };
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char32_t c = Text[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < Text.size() &&
                          Text[i + 1] >= 0xDC00 && Text[i + 1] <= 0xDFFF;
        if (pair) {
            put(0xF0, 0x10000 + ((c - 0xD800) << 10 | (Text[++i] - 0xDC00)), 3);
        } else if (c < 0x80) {
            put(0, c, 0);
        } else if (c < 0x800) {
            put(0xC0, c, 1);
        } else {
            put(0xE0, c, 2);
        }
    }
    return file;
}

} // namespace kst
