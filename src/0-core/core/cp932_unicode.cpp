#include "core/cp932_unicode.h"

#include <cstddef>

namespace kst {

namespace {

constexpr unsigned char kFirstTrailByte = 0x40;
constexpr unsigned char kLastTrailByte = 0xFC;
constexpr unsigned char kLastLeadByte = 0xFC;
constexpr std::size_t kTrailBytes = kLastTrailByte - kFirstTrailByte + 1;
constexpr std::size_t kLeadBytes = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);
constexpr unsigned char kFirstKatakana = 0xA1;
constexpr unsigned char kLastKatakana = 0xDF;
constexpr char16_t kHalfWidthKatakana = 0xFF61;

// One row per lead byte, one character per trail byte, and the literal's terminating 0.
constexpr char16_t kDoubleByteCharacters[kLeadBytes][kTrailBytes + 1] = {
#include "core/cp932_unicode_table.inc"
};

std::size_t LeadIndex(unsigned char Lead) {
    return Lead <= 0x9F ? Lead - 0x81u : Lead - 0xE0u + (0x9F - 0x81 + 1);
}

constexpr bool IsNecSelectedIbmExtension(unsigned char Lead) {
    return Lead == 0xED || Lead == 0xEE;
}

TCp932Codes BuildCp932Codes() {
    TCp932Codes codes;
    codes.fill(kNoCp932Code);
    for (unsigned byte = 0; byte < 0x100; ++byte) {
        const char16_t character = UnicodeOfSingleByte(static_cast<unsigned char>(byte));
        if (character != kNoUnicode) {
            codes[character] = static_cast<std::uint16_t>(byte);
        }
    }
    // Windows writes a character that several codes share with the first of them, except that
    // the NEC-selected IBM extensions give way to the IBM extensions of the same characters.
    for (const bool necSelected : {false, true}) {
        for (unsigned lead = 0x81; lead <= kLastLeadByte; ++lead) {
            if (!IsCp932LeadByte(static_cast<unsigned char>(lead)) ||
                IsNecSelectedIbmExtension(static_cast<unsigned char>(lead)) != necSelected) {
                continue;
            }
            for (unsigned trail = kFirstTrailByte; trail <= kLastTrailByte; ++trail) {
                const char16_t character = UnicodeOfDoubleByte(static_cast<unsigned char>(lead),
                                                               static_cast<unsigned char>(trail));
                if (character != kNoUnicode && codes[character] == kNoCp932Code) {
                    codes[character] = static_cast<std::uint16_t>(lead << 8 | trail);
                }
            }
        }
    }
    return codes;
}

} // namespace

char16_t UnicodeOfSingleByte(unsigned char Byte) {
    if (Byte < 0x80) {
        return Byte;
    }
    if (Byte >= kFirstKatakana && Byte <= kLastKatakana) {
        return static_cast<char16_t>(kHalfWidthKatakana + (Byte - kFirstKatakana));
    }
    return kNoUnicode;
}

char16_t UnicodeOfDoubleByte(unsigned char Lead, unsigned char Trail) {
    if (!IsCp932LeadByte(Lead) || Trail < kFirstTrailByte || Trail > kLastTrailByte) {
        return kNoUnicode;
    }
    return kDoubleByteCharacters[LeadIndex(Lead)][Trail - kFirstTrailByte];
}

const TCp932Codes& Cp932Codes() {
    static const TCp932Codes codes = BuildCp932Codes();
    return codes;
}

} // namespace kst
