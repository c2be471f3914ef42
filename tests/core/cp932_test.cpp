#include "core/cp932.h"

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

} // namespace
} // namespace kst
