#include "core/code_page.h"
#include "core/cp932_unicode.h"

#include <gtest/gtest.h>

namespace kst {
namespace {

TEST(Cp932, LeadBytesAreExactlyTheTwoShiftJisRanges) {
    for (unsigned b = 0; b < 256; ++b) {
        bool expected = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(b)), expected) << b;
    }
}

TEST(Cp932, LoneLeadByteAtTheEndIsOneCharacter) {
    std::string_view text("a\x82\xA0\x82", 4);
    EXPECT_EQ(CharLengthAt(text, 0), 1u);
    EXPECT_EQ(CharLengthAt(text, 1), 2u);
    EXPECT_EQ(CharLengthAt(text, 3), 1u);
}

TEST(Cp932, DefaultDelimitersLeaveWordCharactersOut) {
    TCharSet d = DefaultDelimiters();
    for (unsigned char b : {'0', '9', 'A', 'Z', 'a', 'z', '_'}) {
        EXPECT_FALSE(d[b]) << b;
    }
    for (unsigned b = 0xA6; b <= 0xDF; ++b) {
        EXPECT_FALSE(d[b]) << "half-width katakana " << b;
    }
    for (unsigned b : {0x00u, 0x09u, 0x20u, 0x2Fu, 0x3Au, 0x40u, 0x5Bu, 0x5Eu, 0x60u, 0x7Bu, 0x80u,
                       0xA0u, 0xA5u, 0xFDu, 0xFFu}) {
        EXPECT_TRUE(d[b]) << b;
    }
    EXPECT_FALSE(d[0x5F]);
    EXPECT_FALSE(d[0x81]);
    EXPECT_FALSE(d[0xE0]);
}

TEST(Cp932, EveryCharacterIsWrittenWithACodeThatReadsBackAsIt) {
    const TCp932Codes& codes = Cp932Codes();
    int characters = 0;
    const auto check = [&](char16_t Character, unsigned Code) {
        if (Character == kNoUnicode) {
            return;
        }
        ++characters;
        const unsigned written = codes[Character];
        const char16_t readBack =
            written < 0x100 ? UnicodeOfSingleByte(static_cast<unsigned char>(written))
                            : UnicodeOfDoubleByte(static_cast<unsigned char>(written >> 8),
                                                  static_cast<unsigned char>(written & 0xFF));
        EXPECT_EQ(readBack, Character) << std::hex << Code;
    };
    for (unsigned code = 0; code < 0x10000; ++code) {
        check(code < 0x100 ? UnicodeOfSingleByte(static_cast<unsigned char>(code))
                           : UnicodeOfDoubleByte(static_cast<unsigned char>(code >> 8),
                                                 static_cast<unsigned char>(code & 0xFF)),
              code);
    }
    EXPECT_EQ(characters, 191 + 9604);
}

TEST(Cp932, CharactersTakeTheCodesWindowsWrites) {
    const std::vector<std::pair<char16_t, unsigned>> cases = {
        {u'A', 0x41},          {u'ｱ', 0xB1},          {u'　', 0x8140},        {u'◯', 0x81FC},
        {u'≒', 0x81E0},        {u'￢', 0x81CA},       {u'Ⅰ', 0x8754},         {u'№', 0x8782},
        {u'纊', 0xFA5C},       {u'ⅰ', 0xFA40},        {u'～', 0x8160},        {u'＼', 0x815F},
        {u'黑', 0xFC4B},       {u'', 0xF040},        {u'', 0xF9FC},         {u'¥', kNoCp932Code},
        {u'가', kNoCp932Code}, {u'', kNoCp932Code}, {u'￿', kNoCp932Code},
    };
    for (const auto& [character, code] : cases) {
        EXPECT_EQ(Cp932Codes()[character], code) << std::hex << static_cast<unsigned>(character);
    }
    EXPECT_EQ(UnicodeOfSingleByte(0xA0), kNoUnicode);
    EXPECT_EQ(UnicodeOfDoubleByte(0x81, 0x7F), kNoUnicode);
    EXPECT_EQ(UnicodeOfDoubleByte(0xEF, 0x40), kNoUnicode);
}

} // namespace
} // namespace kst
