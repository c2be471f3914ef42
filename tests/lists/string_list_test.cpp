#include "core/errors.h"
#include "lists/string_list.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace kst {
namespace {

TEST(TheStringList, CapacityGrowsInTheClassicSteps) {
    TheStringList list;
    std::vector<int> capacities;
    for (int i = 0; i < 76 + 1; ++i) {
        list.Add("x");
        if (capacities.empty() || capacities.back() != list.GetCapacity()) {
            capacities.push_back(list.GetCapacity());
        }
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95}));
}

TEST(TheStringList, IndexErrorsLeaveTheListUnchanged) {
    TheStringList list;
    list.Add("a");
    list.Insert(1, "b"); // Count appends
    EXPECT_EQ(list.Get(1), "b");
    for (int bad : {-1, 3}) {
        try {
            list.Insert(bad, "x");
            FAIL() << bad;
        } catch (const EStringListError& e) {
            EXPECT_STREQ(e.what(), "リストのインデックスが範囲を超えています");
        }
    }
    EXPECT_THROW(list.Get(2), EStringListError);
    EXPECT_THROW(list.Put(-1, "x"), EStringListError);
    EXPECT_THROW(list.Delete(2), EStringListError);
    EXPECT_THROW(list.Exchange(0, 2), EStringListError);
    EXPECT_THROW(list.SetRowValue(2, 1), EStringListError);
    EXPECT_THROW(list.GetMarkWord(-1), EStringListError);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetTextStr(), "a\r\nb\r\n");
}

struct EventLog {
    int Changing = 0;
    int Change = 0;
    void Attach(TheStringList& list) {
        list.OnChanging = [this](TPersistent*) { ++Changing; };
        list.OnChange = [this](TPersistent*) { ++Change; };
    }
};

TEST(TheStringList, EventsFireAroundChangesAndOnceAroundAnUpdateBracket) {
    TheStringList list;
    EventLog log;
    log.Attach(list);
    list.Clear(); // empty: nothing happens
    EXPECT_EQ(log.Changing + log.Change, 0);

    list.Add("a");
    list.Put(0, "b");
    list.Insert(0, "c");
    list.Delete(1);
    EXPECT_EQ(log.Changing, 4);
    EXPECT_EQ(log.Change, 4);

    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("d");
    list.Put(0, "e");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(log.Changing, 5);
    EXPECT_EQ(log.Change, 4);
    list.EndUpdate();
    EXPECT_EQ(log.Change, 5);

    list.SetRowValue(0, 7); // per-item data fires nothing
    list.SetAttrWord(0, 1);
    EXPECT_EQ(log.Change, 5);
}

TEST(TheStringList, ExchangeSwapsWholeItems) {
    TRowAttributeStringList list;
    list.Add("first");
    list.Add("second");
    list.SetRowMarks(0, 0x0005);
    list.SetRowValue(0, 42);
    list.SetParseString(0, "state");
    list.SetBracketIndex(0, 3);
    list.SetRowAttribute(0, raWrap);
    list.Exchange(0, 1);
    EXPECT_EQ(list.Get(1), "first");
    EXPECT_EQ(list.GetRowMarks(1), 0x0005);
    EXPECT_EQ(list.GetRowValue(1), 42);
    EXPECT_EQ(list.GetParseString(1), "state");
    EXPECT_EQ(list.GetBracketIndex(1), 3);
    EXPECT_EQ(list.GetRowAttribute(1), raWrap);
    EXPECT_EQ(list.Get(0), "second");
    EXPECT_EQ(list.GetRowMarks(0), 0);
    EXPECT_EQ(list.GetParseString(0), "");
    EXPECT_EQ(list.GetRowAttribute(0), raLineBreak);
    EXPECT_EQ(list.LineCount(), 2); // the wrapped row is last now: it still ends a line
    EXPECT_EQ(list.LineEndRow(0), 0);
}

TEST(TRowAttributeStringList, FieldsArePackedWithoutDisturbingEachOther) {
    TRowAttributeStringList list;
    list.Add("");
    list.SetAttrWord(0, 0xFFFFFFFF);
    list.SetMarkWord(0, 0xFFFFFFFF);
    list.SetBracketIndex(0, -2);
    EXPECT_EQ(list.GetAttrWord(0), 0xFFFFFF0Fu);
    EXPECT_EQ(list.GetBracketIndex(0), -2);
    list.SetBracketIndex(0, -1);
    EXPECT_EQ(list.GetBracketIndex(0), -1);
    list.SetBracketIndex(0, 13);
    EXPECT_EQ(list.GetBracketIndex(0), 13);
    list.SetWrappedBytes(0, 0x1A5); // only the low 8 bits are kept
    EXPECT_EQ(list.GetWrappedBytes(0), 0xA5);
    EXPECT_EQ(list.GetAttrWord(0) & ~0x00FF00F0u, 0xFF00FF0Fu);
    list.SetRowMarks(0, 0x1234);
    EXPECT_EQ(list.GetMarkWord(0), 0x1234FFFFu);
    list.SetWrappedToken(0, 7);
    list.SetParserValue3(0, 9);
    EXPECT_EQ(list.GetMarkWord(0), 0x12340907u);
    EXPECT_EQ(list.GetRowAttribute(0), 3);
    EXPECT_EQ(list.GetPrevRowAttribute(0), 3);
    EXPECT_EQ(list.GetParserValue1(0), 0xFF);
    EXPECT_EQ(list.GetParserValue2(0), 0xFF);
}

TEST(TRowAttributeStringList, StartStateRoundTripsAndKeepsRowAttributeAndMarks) {
    TRowAttributeStringList list;
    list.Add("x");
    list.SetRowAttribute(0, raEndOfText);
    list.SetRowMarks(0, 0x8001);
    TRowAttributeData state;
    state.PrevRowAttribute = raWrap;
    state.BracketIndex = 5;
    state.ParserValue1 = 11;
    state.WrappedBytes = 3;
    state.ParserValue2 = 200;
    state.WrappedToken = 8;
    state.ParserValue3 = 4;
    state.ParseString = "abc";
    list.SetStartState(0, state);
    TRowAttributeData read = list.GetRowData(0);
    EXPECT_EQ(read.RowAttribute, raEndOfText);
    read.RowAttribute = state.RowAttribute;
    EXPECT_EQ(read, state);
    EXPECT_EQ(list.GetRowMarks(0), 0x8001);
}

TEST(TheStringList, TextsSurviveGapMovesCopiesAndCompaction) {
    TEditorStringList list;
    std::vector<std::string> model;
    for (int i = 0; i < 500; ++i) {
        std::string s(static_cast<std::size_t>(i % 17), static_cast<char>('a' + i % 26));
        s += std::to_string(i);
        const int at = (i * 7) % (static_cast<int>(model.size()) + 1);
        list.Insert(at, s);
        model.insert(model.begin() + at, s);
    }
    // Most rows are rewritten often, a few seldom: every storage chunk keeps a little live text,
    // so memory is only bounded if the store compacts.
    std::string text(1000, 'z');
    for (int step = 0; step < 40000; ++step) {
        const int row = step % 64 == 0 ? 100 + (step / 64) % 400 : step % 100;
        text.replace(0, 8, std::to_string(10000000 + step));
        list.Put(row, text);
        model[static_cast<std::size_t>(row)] = text;
    }
    list.CopyItem(3, list, 5);
    model[3] = model[5];
    list.Delete(10);
    model.erase(model.begin() + 10);
    ASSERT_EQ(list.GetCount(), static_cast<int>(model.size()));
    for (int i = 0; i < list.GetCount(); ++i) {
        ASSERT_EQ(list.Get(i), model[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_LT(list.TextBytesAllocated(), 20u << 20);
}

// Rows are stored packed unless some data does not fit (marks, the free integer, a parse string,
// a carried start state, a long text); a row moves between the two forms as its data changes.
TEST(TheStringList, EveryRowKeepsAllItsDataPackedOrNot) {
    struct Row {
        std::string Text;
        std::int32_t Value = 0;
        std::uint32_t Attr = 0;
        std::uint32_t Mark = 0;
        std::string Parse;
    };
    std::mt19937 random(11);
    const std::string longText(300'000, 'L');
    const auto pick = [&random](auto... Choices) {
        const std::uint32_t all[] = {static_cast<std::uint32_t>(Choices)...};
        return all[random() % sizeof...(Choices)];
    };
    TEditorStringList list;
    std::vector<Row> model;
    for (int step = 0; step < 4000; ++step) {
        const int count = list.GetCount();
        const int at = count == 0 ? 0 : static_cast<int>(random() % count);
        switch (count == 0 ? 0 : random() % 8) {
        case 0:
            list.Insert(at, std::to_string(step));
            model.insert(model.begin() + at, Row{std::to_string(step), 0, 0, 0, ""});
            break;
        case 1:
            list.Delete(at);
            model.erase(model.begin() + at);
            break;
        case 2: {
            const std::string text = random() % 10 == 0 ? longText : std::to_string(step);
            list.Put(at, text);
            model[at].Text = text;
            break;
        }
        case 3: {
            const auto value = static_cast<std::int32_t>(pick(0, 0, -5, 70000));
            list.SetRowValue(at, value);
            model[at].Value = value;
            break;
        }
        case 4: {
            const std::uint32_t attr = pick(0, 0x11, 0x16, 0x1F, 0x21, 0x30405, random());
            list.SetAttrWord(at, attr);
            model[at].Attr = attr;
            break;
        }
        case 5: {
            const std::uint32_t mark = pick(0, 0, 0x10000, 0x0102);
            list.SetMarkWord(at, mark);
            model[at].Mark = mark;
            break;
        }
        case 6: {
            const std::string parse = random() % 2 == 0 ? "" : "p" + std::to_string(step);
            list.SetParseString(at, parse);
            model[at].Parse = parse;
            break;
        }
        default: {
            const int other = static_cast<int>(random() % count);
            list.Exchange(at, other);
            std::swap(model[at], model[other]);
        }
        }
    }
    ASSERT_EQ(list.GetCount(), static_cast<int>(model.size()));
    for (int i = 0; i < list.GetCount(); ++i) {
        const Row& row = model[static_cast<std::size_t>(i)];
        ASSERT_EQ(list.Get(i), row.Text) << i;
        ASSERT_EQ(list.GetRowValue(i), row.Value) << i;
        ASSERT_EQ(list.GetAttrWord(i), row.Attr) << i;
        ASSERT_EQ(list.GetMarkWord(i), row.Mark) << i;
        ASSERT_EQ(list.GetParseString(i), row.Parse) << i;
    }
}

TEST(TheStringList, AssigningAListToItselfKeepsItsStrings) {
    TheStringList list;
    list.Add("a");
    list.Add("b");
    list.Assign(list);
    EXPECT_EQ(list.GetTextStr(), "a\r\nb\r\n");
}

TEST(TheStringList, NulBytesAreOrdinaryText) {
    TheStringList list;
    const std::string text("a\0b\0", 4);
    list.Add(text);
    EXPECT_EQ(list.Get(0), text);
    EXPECT_EQ(list.GetView(0).size(), 4u);
}

} // namespace
} // namespace kst
