#include "app/main_window_editor.h"
#include "fountain/editor_fountain.h"
#include "fountain/editor_parser.h"
#include "lists/string_list.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <random>
#include <string>
#include <tuple>
#include <utility>

namespace kst {
namespace {

class RowStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ApplyMainWindowColouring(*Fountain);
        TFountainBracketItem* item = Fountain->GetBrackets().Add();
        item->SetLeftBracket("/*");
        item->SetRightBracket("*/");
        Parser = Fountain->NewParser();
    }

    // Rows with their attributes.
    void SetRows(std::initializer_list<std::pair<const char*, TRowAttribute>> Rows) {
        for (const auto& [text, attribute] : Rows) {
            const int index = List.Add(text);
            List.SetRowAttribute(index, attribute);
        }
    }

    // The start state of row Row, advanced from a cleared state at row 0.
    TRowAttributeData StateOfRow(int Row) {
        TRowAttributeData state;
        for (int i = 0; i < Row; ++i) {
            Parser->AdvanceRowState(i, List, state);
            state.PrevRowAttribute = List.GetRowAttribute(i);
            state.RowAttribute = List.GetRowAttribute(i + 1);
        }
        return state;
    }

    // The first token of row Row parsed from its start state: kind, start, size.
    std::tuple<int, int, int> FirstToken(int Row) {
        const TRowAttributeData state = StateOfRow(Row);
        Parser->BeginRow(List.GetView(Row), state);
        const int kind = Parser->ReadToken();
        return {kind, Parser->TokenStart(), Parser->TokenSize()};
    }

    std::unique_ptr<TEditorFountain> Fountain = CreateComponent<TEditorFountain>(nullptr);
    std::unique_ptr<TFountainParser> Parser;
    TEditorStringList List;
};

TEST_F(RowStateTest, ReservedWordCutByTheWrapIsCarriedByItsByteCount) {
    SetRows({{"a = Sel", raWrap}, {"ect b", raLineBreak}, {"c", raEndOfText}});
    const TRowAttributeData state = StateOfRow(1);
    EXPECT_EQ(state.WrappedToken, tokReserved);
    EXPECT_EQ(state.WrappedBytes, 3);
    EXPECT_EQ(FirstToken(1), std::make_tuple(int(tokReserved), 0, 3));
    EXPECT_EQ(StateOfRow(2).WrappedToken, 0);
}

TEST_F(RowStateTest, NumberCutByTheWrap) {
    // The number reaches the end of the joined text, and the next row ends its line.
    SetRows({{"x = 12", raWrap}, {"34.5", raLineBreak}});
    TRowAttributeData state = StateOfRow(1);
    EXPECT_EQ(state.WrappedToken, tokFloat);
    EXPECT_EQ(state.WrappedBytes, 4);
    EXPECT_EQ(FirstToken(1), std::make_tuple(int(tokFloat), 0, 4));

    // When the next row is wrapped again the number may go on: it is continued by scanning.
    List.Clear();
    SetRows({{"x = 12", raWrap}, {"34", raWrap}, {".5 y", raLineBreak}});
    state = StateOfRow(1);
    EXPECT_EQ(state.WrappedToken, tokInteger);
    EXPECT_EQ(state.WrappedBytes, 0);
    EXPECT_EQ(FirstToken(1), std::make_tuple(int(tokInteger), 0, 2));
    state = StateOfRow(2);
    EXPECT_EQ(state.WrappedToken, tokFloat);
    EXPECT_EQ(state.WrappedBytes, 2);
}

TEST_F(RowStateTest, CommentRunsOverWrappedRowsToTheEndOfTheLine) {
    SetRows({{"x ' ab", raWrap},
             {"cd", raWrap},
             {"  ", raWrap},
             {"ef", raLineBreak},
             {"dim", raEndOfText}});
    for (int row = 1; row <= 3; ++row) {
        const TRowAttributeData state = StateOfRow(row);
        EXPECT_EQ(state.WrappedToken, tokComment) << row;
        EXPECT_EQ(state.WrappedBytes, 0) << row;
        EXPECT_EQ(std::get<0>(FirstToken(row)), row == 2 ? tokEndOfRow : tokComment) << row;
    }
    EXPECT_EQ(StateOfRow(4).WrappedToken, 0);
    EXPECT_EQ(FirstToken(4), std::make_tuple(int(tokAnkWord), 0, 3));
}

TEST_F(RowStateTest, BracketRegionsAndCutClosingDelimiters) {
    SetRows({{"a /* b", raLineBreak}, {"  c *", raWrap}, {"/ d", raLineBreak}, {"e", raEndOfText}});
    EXPECT_EQ(StateOfRow(1).BracketIndex, 0);
    EXPECT_EQ(FirstToken(1), std::make_tuple(int(tokBracket), 2, 3));
    // The closing delimiter is cut: its rest is carried, and the region is open where row 2 starts.
    const TRowAttributeData state = StateOfRow(2);
    EXPECT_EQ(state.BracketIndex, 0);
    EXPECT_EQ(state.WrappedToken, tokBracket);
    EXPECT_EQ(state.WrappedBytes, 1);
    Parser->BeginRow(List.GetView(2), state);
    EXPECT_EQ(Parser->ReadToken(), tokBracket);
    EXPECT_EQ(Parser->TokenSize(), 1);
    EXPECT_EQ(Parser->ReadToken(), tokAnkWord);
    EXPECT_EQ(StateOfRow(3).BracketIndex, -1);
}

TEST_F(RowStateTest, BlankRowsAndTokensThatStartOnTheNextRow) {
    Fountain->SetQuotation("\"");
    SetRows({{"s = \"ab", raWrap}, {"    ", raWrap}, {"cd\" x", raLineBreak}});
    // A row of spaces passes the state through, carried token included.
    const TRowAttributeData before = StateOfRow(1);
    EXPECT_EQ(before.WrappedToken, tokQuoted);
    EXPECT_EQ(before.WrappedBytes, 0);
    EXPECT_EQ(StateOfRow(2).WrappedToken, tokQuoted);
    EXPECT_EQ(StateOfRow(2).WrappedBytes, 0);
    EXPECT_EQ(FirstToken(2), std::make_tuple(int(tokQuoted), 0, 3));

    List.Clear();
    SetRows({{"abc ", raWrap}, {"def", raLineBreak}});
    const TRowAttributeData state = StateOfRow(1);
    EXPECT_EQ(state.WrappedToken, 0);
    EXPECT_EQ(state.WrappedBytes, 0);
    EXPECT_EQ(state.BracketIndex, -1);
}

TEST_F(RowStateTest, CarriedBytesNeverExceedTheNextRow) {
    Fountain->SetQuotation("\"");
    std::mt19937 random(3);
    const std::string alphabet = "ab1.e \"'/*\x82\xA0\x83\x41\x88";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 6);
    for (int i = 0; i < 400; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n) {
            text += alphabet[pick(random)];
        }
        const int index = List.Add(text);
        List.SetRowAttribute(index, i % 4 == 3 ? raLineBreak : raWrap);
    }
    TRowAttributeData state;
    for (int i = 0; i + 1 < List.GetCount(); ++i) {
        Parser->AdvanceRowState(i, List, state);
        ASSERT_LE(state.WrappedBytes, static_cast<int>(List.GetView(i + 1).size())) << i;
        ASSERT_GE(state.BracketIndex, -1);
        ASSERT_LE(state.BracketIndex, 0);
        Parser->BeginRow(List.GetView(i + 1), state);
        while (Parser->ReadToken() != tokEndOfRow) {
            ASSERT_LE(Parser->TokenStart() + Parser->TokenSize(),
                      static_cast<int>(List.GetView(i + 1).size()));
        }
    }
}

} // namespace
} // namespace kst
