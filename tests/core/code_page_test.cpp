#include "core/code_page.h"

#include <gtest/gtest.h>
#include <string_view>

namespace kst {
namespace {

const TCodePage& J = TCodePage::Japanese();
const TCodePage& W = TCodePage::Western();

std::uint16_t CodeOfBytes(std::string_view Bytes) {
    const auto first = static_cast<unsigned char>(Bytes[0]);
    return Bytes.size() == 1
               ? first
               : static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(Bytes[1]));
}

char16_t UnicodeOfBytes(const TCodePage& Page, std::string_view Bytes) {
    const auto first = static_cast<unsigned char>(Bytes[0]);
    return Bytes.size() == 1 ? Page.UnicodeOf(first)
                             : Page.UnicodeOf(first, static_cast<unsigned char>(Bytes[1]));
}

TEST(CodePage, ReadsAndWritesEachCharacterWithItsCode) {
    const struct {
        const TCodePage& Page;
        std::string_view Code;
        char16_t Character;
    } tests[] = {
        {J, "A", u'A'},    {J, "\x82\xA0", u'あ'}, {J, "\xB1", u'ｱ'},      {J, "\xE9\x40", u'顱'},
        {W, "A", u'A'},    {W, "\xE9", u'é'},      {W, "\x80", u'€'},      {W, "\x8A", u'Š'},
        {W, "\x9F", u'Ÿ'}, {W, "\x81", u'\u0081'}, {W, "\xA0", u'\u00A0'}, {W, "\xFF", u'ÿ'},
    };
    for (const auto& test : tests) {
        EXPECT_EQ(UnicodeOfBytes(test.Page, test.Code), test.Character) << test.Page.Number();
        EXPECT_EQ(test.Page.CodeOf(test.Character), CodeOfBytes(test.Code)) << test.Page.Number();
    }
    for (const auto& [page, character] :
         {std::pair{&J, u'é'}, {&J, u'€'}, {&W, u'あ'}, {&W, u'ｱ'}}) {
        EXPECT_EQ(page->CodeOf(character), kNoCode) << page->Number();
    }
}

TEST(CodePage, WesternLettersAreWordCharactersAndItsSymbolsDelimiters) {
    const TCharSet& delimiters = W.DefaultDelimiters();
    for (const unsigned char letter : {0xE9, 0xC0, 0xFF, 0x8A, 0x9F, 0xDF}) {
        EXPECT_FALSE(delimiters[letter]) << int{letter};
    }
    for (const unsigned char symbol : {0xD7, 0xF7, 0xA0, 0x84, 0x80, 0x93, 0xBF, 0x20, 0x28}) {
        EXPECT_TRUE(delimiters[symbol]) << int{symbol};
    }
}

// A code page built from the system's tables, as the platform supplies the one of a system.
TEST(CodePage, ASystemsCodePageWritesASharedCharacterWithItsFirstCode) {
    TCharSet leads;
    leads.set(0xA1);
    const TCodePage page(936, leads, [](std::string_view Code) -> char16_t {
        if (Code.size() == 1) {
            return static_cast<unsigned char>(Code[0]) < 0x80 ? Code[0] : kNoUnicode;
        }
        const auto trail = static_cast<unsigned char>(Code[1]);
        return trail == 0xA1 || trail == 0xA2 ? u'\u3000' : kNoUnicode;
    });
    EXPECT_EQ(page.CodeOf(u'\u3000'), 0xA1A1);
    EXPECT_EQ(page.UnicodeOf(0xA1, 0xA2), u'\u3000');
    EXPECT_TRUE(page.IsTrailByte(0xA2));
    EXPECT_FALSE(page.IsTrailByte(0xA3));
    EXPECT_EQ(page.UnicodeOf(0xA1), kNoUnicode);
    EXPECT_FALSE(page.HasJapaneseRules());
}

} // namespace
} // namespace kst
