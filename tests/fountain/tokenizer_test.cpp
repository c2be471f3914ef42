#include "app/main_window_editor.h"
#include "core/errors.h"
#include "fountain/editor_fountain.h"
#include "fountain/editor_parser.h"

#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace kst {
namespace {

using namespace std::string_literals;

struct Token {
    int Kind;
    int Start;
    int Size;
    bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Token& t) {
    return out << "{kind " << t.Kind << ", start " << t.Start << ", size " << t.Size << "}";
}

std::vector<Token> ReadAll(TFountainParser& Parser, const std::string& Text,
                           const TRowAttributeData& State = {}) {
    Parser.BeginRow(Text, State);
    std::vector<Token> tokens;
    for (TTokenKind kind = Parser.ReadToken(); kind != tokEndOfRow; kind = Parser.ReadToken()) {
        tokens.push_back({kind, Parser.TokenStart(), Parser.TokenSize()});
        EXPECT_LE(Parser.TokenStart() + Parser.TokenSize(), static_cast<int>(Text.size()));
    }
    return tokens;
}

struct Case {
    std::string Text;
    std::vector<Token> Expected;
};

void ExpectTokens(TFountainParser& Parser, const std::vector<Case>& Cases) {
    for (const Case& c : Cases) {
        EXPECT_EQ(ReadAll(Parser, c.Text), c.Expected) << "text: " << c.Text;
    }
}

class TokenizerTest : public ::testing::Test {
protected:
    void SetUp() override { ApplyMainWindowColouring(*Fountain); }

    std::unique_ptr<TEditorFountain> Fountain = CreateComponent<TEditorFountain>(nullptr);
};

TEST_F(TokenizerTest, NumbersWordsSymbolsAndBlanks) {
    auto parser = Fountain->NewParser();
    ExpectTokens(*parser,
                 {
                     {"42", {{tokInteger, 0, 2}}},
                     {"12.5e-3", {{tokFloat, 0, 7}}},
                     {"12.x", {{tokFloat, 0, 2}, {tokSymbol, 2, 1}, {tokAnkWord, 3, 1}}},
                     {"1e", {{tokFloat, 0, 2}}},
                     {"1e+", {{tokFloat, 0, 3}}},
                     {"1.e5 7E+2", {{tokFloat, 0, 4}, {tokFloat, 5, 4}}},
                     {"3.25E", {{tokFloat, 0, 5}}},
                     {"a_1+b", {{tokAnkWord, 0, 3}, {tokSymbol, 3, 1}, {tokAnkWord, 4, 1}}},
                     {"\tx", {{tokTab, 0, 1}, {tokAnkWord, 1, 1}}},
                     {"  \x01 x ", {{tokAnkWord, 4, 1}}},
                     {"", {}},
                     {"   ", {}},
                 });
}

TEST_F(TokenizerTest, DoubleByteAndHalfWidthKana) {
    auto parser = Fountain->NewParser();
    ExpectTokens(
        *parser,
        {
            // half-width katakana run, then half-width punctuation one byte each
            {"\xB1\xB2\xB3\xA1\xA4",
             {{tokNarrowKana, 0, 3}, {tokNarrowKanaSymbol, 3, 1}, {tokNarrowKanaSymbol, 4, 1}}},
            // hiragana with the prolonged sound mark
            {"\x82\xA0\x81\x5B\x82\xA2", {{tokHiragana, 0, 6}}},
            // full-width digits around a full-width comma, then a full stop
            {"\x82\x50\x81\x43\x82\x51\x81\x44\x82\x52", {{tokWideDigits, 0, 10}}},
            {"\x82\x60\x82\x81x", {{tokWideLetters, 0, 4}, {tokAnkWord, 4, 1}}},
            {"\x83\x41\x81\x5B\x83\x42", {{tokKatakana, 0, 6}}},
            {"\x88\x9F\x88\xA0\x82\xA0", {{tokKanji, 0, 4}, {tokHiragana, 4, 2}}},
            {"\x81\x40\x82\x40\x83\xA0",
             {{tokWideSymbol, 0, 2}, {tokWideSymbol, 2, 2}, {tokWideSymbol, 4, 2}}},
            // a hiragana run stops at a symbol pair
            {"\x82\xA0\x81\x40", {{tokHiragana, 0, 2}, {tokWideSymbol, 2, 2}}},
        });
}

TEST_F(TokenizerTest, MalformedShiftJisNeverReadsPastTheText) {
    auto parser = Fountain->NewParser();
    ExpectTokens(*parser,
                 {
                     // invalid trail bytes: the lead byte alone is a symbol
                     {"\x82\x20"
                      "a",
                      {{tokSymbol, 0, 1}, {tokAnkWord, 2, 1}}},
                     {"\x83\xF5", {{tokSymbol, 0, 1}, {tokKanji, 1, 1}}},
                     // lone lead bytes at the end count as one byte
                     {"ab\x82", {{tokAnkWord, 0, 2}, {tokSymbol, 2, 1}}},
                     {"\x83", {{tokSymbol, 0, 1}}},
                     {"\x88", {{tokKanji, 0, 1}}},
                     {"\x81", {{tokWideSymbol, 0, 1}}},
                     // a zero byte inside the row is a symbol, not the end
                     {"a\0b"s, {{tokAnkWord, 0, 1}, {tokSymbol, 1, 1}, {tokAnkWord, 2, 1}}},
                     {"' a\0b"s, {{tokComment, 0, 5}}},
                 });
    // A text cut out of a longer buffer ends at its length.
    const std::string buffer = "abc def";
    parser->BeginRow(std::string_view(buffer).substr(0, 5), {});
    EXPECT_EQ(parser->ReadToken(), tokAnkWord);
    EXPECT_EQ(parser->ReadToken(), tokAnkWord);
    EXPECT_EQ(parser->TokenSize(), 1);
    EXPECT_EQ(parser->ReadToken(), tokEndOfRow);
    EXPECT_EQ(parser->ReadToken(), tokEndOfRow);
}

TEST_F(TokenizerTest, CommentsAndReservedWordsWithTheMainWindowValues) {
    auto parser = Fountain->NewParser();
    ExpectTokens(
        *parser,
        {
            {"x = 1 ' note",
             {{tokAnkWord, 0, 1}, {tokSymbol, 2, 1}, {tokInteger, 4, 1}, {tokComment, 6, 6}}},
            // no strings: a "'" inside quotes still starts a comment
            {"s = \"it's\"",
             {{tokAnkWord, 0, 1},
              {tokSymbol, 2, 1},
              {tokSymbol, 4, 1},
              {tokAnkWord, 5, 2},
              {tokComment, 7, 3}}},
        });
    const std::string text = "DIM x: Set o = createOBJECT(\"a\") 'Dim";
    parser->BeginRow(text, {});
    std::vector<std::string> reserved;
    while (parser->ReadToken() != tokEndOfRow) {
        if (parser->TokenIsReserved()) {
            reserved.push_back(parser->TokenText());
        }
    }
    EXPECT_EQ(reserved, (std::vector<std::string>{"DIM", "Set", "createOBJECT"}));
}

TEST_F(TokenizerTest, UrlsAndMailAddressesOnlyWhenSwitchedOn) {
    auto parser = Fountain->NewParser();
    ExpectTokens(*parser, {
                              {"http://a.b",
                               {{tokAnkWord, 0, 4},
                                {tokSymbol, 4, 1},
                                {tokSymbol, 5, 1},
                                {tokSymbol, 6, 1},
                                {tokAnkWord, 7, 1},
                                {tokSymbol, 8, 1},
                                {tokAnkWord, 9, 1}}},
                              {"me@x.jp",
                               {{tokAnkWord, 0, 2},
                                {tokSymbol, 2, 1},
                                {tokAnkWord, 3, 1},
                                {tokSymbol, 4, 1},
                                {tokAnkWord, 5, 2}}},
                          });
    Fountain->SetUrl(true);
    Fountain->SetMail(true);
    parser = Fountain->NewParser();
    ExpectTokens(
        *parser,
        {
            {"see http://a.b/c?d=1 x", {{tokAnkWord, 0, 3}, {tokUrl, 4, 16}, {tokAnkWord, 21, 1}}},
            {"https://x", {{tokUrl, 0, 9}}},
            {"ftp:f www.k.jp", {{tokUrl, 0, 5}, {tokUrl, 6, 8}}},
            // upper case prefixes are not URLs
            {"Http:", {{tokAnkWord, 0, 4}, {tokSymbol, 4, 1}}},
            {"me@host.jp;", {{tokMail, 0, 11}}},
            // an '@' without a '.' after it is no mail address
            {"me@host x.y",
             {{tokAnkWord, 0, 2},
              {tokSymbol, 2, 1},
              {tokAnkWord, 3, 4},
              {tokAnkWord, 8, 1},
              {tokSymbol, 9, 1},
              {tokAnkWord, 10, 1}}},
            {"@a.b",
             {{tokSymbol, 0, 1}, {tokAnkWord, 1, 1}, {tokSymbol, 2, 1}, {tokAnkWord, 3, 1}}},
        });
}

TEST_F(TokenizerTest, HexPrefixControlCodesAndQuotation) {
    Fountain->SetHexPrefix("&h");
    Fountain->SetControlCode(true);
    Fountain->SetQuotation("\"");
    auto parser = Fountain->NewParser();
    ExpectTokens(*parser, {
                              {"&hFF + &H1a",
                               {{tokHexNumber, 0, 4}, {tokSymbol, 5, 1}, {tokHexNumber, 7, 4}}},
                              {"&hz", {{tokHexNumber, 0, 2}, {tokAnkWord, 2, 1}}},
                              {"&", {{tokSymbol, 0, 1}}},
                              {"#$1F#13#x",
                               {{tokHexControlCode, 0, 4},
                                {tokControlCode, 4, 3},
                                {tokControlCode, 7, 1},
                                {tokAnkWord, 8, 1}}},
                              {"\"a\"\"b\" c", {{tokQuoted, 0, 6}, {tokAnkWord, 7, 1}}},
                              {"\"a\x82\"", {{tokQuoted, 0, 4}}},
                              {"\"open", {{tokQuoted, 0, 5}}},
                          });
}

TEST_F(TokenizerTest, BracketRegionsSpanRows) {
    TFountainBracketItem* item = Fountain->GetBrackets().Add();
    item->SetLeftBracket("/*");
    item->SetRightBracket("*/");
    auto parser = Fountain->NewParser();
    EXPECT_EQ(ReadAll(*parser, "a /* b"),
              (std::vector<Token>{{tokAnkWord, 0, 1}, {tokBracket, 2, 4}}));
    EXPECT_EQ(parser->BracketIndex(), 0);

    TRowAttributeData inside;
    inside.BracketIndex = 0;
    EXPECT_EQ(ReadAll(*parser, "  c \x82\xA0*/ d", inside),
              (std::vector<Token>{{tokBracket, 2, 6}, {tokAnkWord, 9, 1}}));
    EXPECT_EQ(parser->BracketIndex(), -1);
    // A trail byte is never taken for the start of the closing delimiter.
    EXPECT_EQ(ReadAll(*parser, "\x83*/", inside), (std::vector<Token>{{tokBracket, 0, 3}}));
    EXPECT_EQ(parser->BracketIndex(), 0);
    EXPECT_EQ(ReadAll(*parser, "/**/x"),
              (std::vector<Token>{{tokBracket, 0, 4}, {tokAnkWord, 4, 1}}));
    // A row that never checked its state (-2) opens no region.
    TRowAttributeData unknown;
    unknown.BracketIndex = kStateNotComputed;
    EXPECT_EQ(ReadAll(*parser, "/*", unknown),
              (std::vector<Token>{{tokSymbol, 0, 1}, {tokSymbol, 1, 1}}));
}

TEST_F(TokenizerTest, RandomBytesNeverLeaveTheText) {
    Fountain->SetUrl(true);
    Fountain->SetMail(true);
    Fountain->SetControlCode(true);
    Fountain->SetHexPrefix("&h");
    Fountain->SetQuotation("\"");
    TFountainBracketItem* item = Fountain->GetBrackets().Add();
    item->SetLeftBracket("\x82\xA0");
    item->SetRightBracket("\x83");
    auto parser = Fountain->NewParser();
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string alphabet = "\x81\x82\x83\x88\xA1\xB1\xE0\xFC'\"#$&h@.:/ 9e+ab\t\r";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 3000; ++round) {
        const std::size_t size = static_cast<std::size_t>(round % 24);
        // Exactly sized, so that reading one byte too far is caught by the address sanitizer.
        auto text = std::make_unique<char[]>(size);
        for (std::size_t i = 0; i < size; ++i) {
            text[i] = static_cast<char>(round % 2 ? byte(random) : alphabet[pick(random)]);
        }
        TRowAttributeData state;
        state.BracketIndex = round % 3 - 1;
        state.WrappedToken = static_cast<std::uint8_t>(round % 29);
        state.WrappedBytes = round % 5;
        parser->BeginRow(std::string_view(text.get(), size), state);
        int end = 0;
        for (std::size_t tokens = 0; parser->ReadToken() != tokEndOfRow; ++tokens) {
            ASSERT_LE(tokens, size) << "round " << round;
            ASSERT_GE(parser->TokenStart(), end);
            end = parser->TokenStart() + parser->TokenSize();
            ASSERT_LE(end, static_cast<int>(size));
            parser->TokenIsReserved();
            parser->TokenColor();
        }
    }
}

TEST(TokenParser, DelimitsWithoutAFountain) {
    TTokenParser parser;
    EXPECT_EQ(ReadAll(parser, "Dim x1 = 2.5 ' c"), (std::vector<Token>{{tokAnkWord, 0, 3},
                                                                       {tokAnkWord, 4, 2},
                                                                       {tokSymbol, 7, 1},
                                                                       {tokFloat, 9, 3},
                                                                       {tokSymbol, 13, 1},
                                                                       {tokAnkWord, 15, 1}}));
    parser.BeginRow("Dim", {});
    parser.ReadToken();
    EXPECT_FALSE(parser.TokenIsReserved());
    EXPECT_EQ(parser.TokenColor(), nullptr);
}

TEST(FountainParser, RefusesAMissingFountain) {
    try {
        TEditorParser parser(nullptr);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "TFountainParser.Create need instance of TFountain");
    }
}

} // namespace
} // namespace kst
