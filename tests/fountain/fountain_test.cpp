#include "core/errors.h"
#include "fountain/editor_fountain.h"
#include "fountain/fountain_parser.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

// A subscriber that logs its calls under its name.
struct Subscriber {
    std::string Name;
    std::vector<std::string>* Log;
    TPersistent* LastSender = nullptr;

    void Changed(TPersistent* Sender) {
        LastSender = Sender;
        Log->push_back(Name);
    }
    TNotifyMethod Method() { return MakeNotifyMethod<&Subscriber::Changed>(this); }
};

class FountainTest : public ::testing::Test {
protected:
    void SetUp() override { Fountain->GetNotifyEventList().Add(Listener.Method()); }

    int Calls() const { return static_cast<int>(Log.size()); }

    std::unique_ptr<TEditorFountain> Fountain = CreateComponent<TEditorFountain>(nullptr);
    std::vector<std::string> Log;
    Subscriber Listener{"listener", &Log};
};

TEST_F(FountainTest, SettersNotifyOnlyOnARealChangeAndAssignAlwaysOnce) {
    TFountainColor& reserve = Fountain->GetReserve();
    reserve.SetColor(clTeal);
    EXPECT_EQ(Calls(), 1);
    EXPECT_EQ(Listener.LastSender, Fountain.get());
    reserve.SetColor(clTeal);
    reserve.SetBkColor(clNone);
    reserve.SetStyle({});
    EXPECT_EQ(Calls(), 1);
    reserve.SetStyle({fsBold});
    EXPECT_EQ(Calls(), 2);

    TFountainColor same;
    same.Assign(reserve);
    reserve.Assign(same);
    EXPECT_EQ(Calls(), 3);

    Fountain->GetColors().GetComment().SetColor(clFuchsia);
    EXPECT_EQ(Calls(), 4);
    TStringList words;
    words.Add("dim");
    Fountain->SetReserveWordList(words);
    EXPECT_EQ(Calls(), 5);
    EXPECT_EQ(Fountain->GetReserveWordList().GetCount(), 1);
}

TEST_F(FountainTest, UpdateBracketsHoldTheBroadcastUntilTheOutermostEnd) {
    TNotifyEventList& list = Fountain->GetNotifyEventList();
    list.BeginUpdate();
    list.BeginUpdate();
    Fountain->GetReserve().SetColor(clGreen);
    Fountain->GetColors().GetAnk().SetColor(clGreen);
    TFountainBracketItem* item = Fountain->GetBrackets().Add();
    item->GetItemColor().SetColor(clGreen);
    list.EndUpdate();
    EXPECT_EQ(Calls(), 0);
    list.EndUpdate();
    EXPECT_EQ(Calls(), 1);
}

TEST_F(FountainTest, RemoveTakesTheMostRecentEqualMethodOnly) {
    Subscriber other{"other", &Log};
    TNotifyEventList& list = Fountain->GetNotifyEventList();
    list.Add(other.Method());
    list.Add(Listener.Method());
    Fountain->GetReserve().SetColor(clGreen);
    EXPECT_EQ(Log, (std::vector<std::string>{"listener", "other", "listener"}));

    Log.clear();
    list.Remove(Listener.Method());
    Fountain->GetReserve().SetColor(clTeal);
    EXPECT_EQ(Log, (std::vector<std::string>{"listener", "other"}));

    Log.clear();
    list.Remove(Listener.Method());
    list.Remove(Listener.Method());
    EXPECT_EQ(list.SubscriberCount(), 1);
    Fountain->GetReserve().SetColor(clGreen);
    EXPECT_EQ(Log, (std::vector<std::string>{"other"}));
}

TEST_F(FountainTest, BracketChangesReachTheSubscribers) {
    TFountainBracketCollection& brackets = Fountain->GetBrackets();
    TFountainBracketItem* item = brackets.Add();
    EXPECT_EQ(Calls(), 1);
    item->SetLeftBracket("(*");
    item->SetRightBracket("*)");
    item->SetRightBracket("*)");
    EXPECT_EQ(Calls(), 3);
    item->GetItemColor().SetBkColor(clNavy);
    EXPECT_EQ(Calls(), 4);
    EXPECT_EQ(item->Index(), 0);

    auto source = CreateComponent<TEditorFountain>(nullptr);
    for (const char* left : {"<", "[", "{"}) {
        TFountainBracketItem* copy = source->GetBrackets().Add();
        copy->SetLeftBracket(left);
        copy->SetRightBracket(">");
        copy->GetItemColor().SetColor(clGreen);
    }
    Fountain->SetBrackets(source->GetBrackets());
    EXPECT_EQ(Calls(), 5);
    ASSERT_EQ(brackets.Count(), 3);
    EXPECT_EQ(brackets.Items(2)->GetLeftBracket(), "{");
    EXPECT_EQ(brackets.Items(2)->GetItemColor().GetColor(), clGreen);
    brackets.Delete(0);
    EXPECT_EQ(Calls(), 6);
    EXPECT_EQ(brackets.Items(1)->Index(), 1);
    EXPECT_THROW(brackets.Delete(5), EStringListError);
}

TEST_F(FountainTest, EditorBracketsSetEveryItemColourAtOnce) {
    TEditorBracketCollection& brackets = Fountain->GetBrackets();
    for (const char* left : {"<", "["}) {
        TFountainBracketItem* item = brackets.Add();
        item->SetLeftBracket(left);
        item->SetRightBracket(left[0] == '<' ? ">" : "]");
    }
    Log.clear();
    brackets.SetItemsColor(clTeal);
    brackets.SetItemsBkColor(clBlack);
    brackets.SetItemsStyle({fsItalic});
    EXPECT_EQ(Calls(), 3);
    for (int i = 0; i < brackets.Count(); ++i) {
        const TFountainColor& color = brackets.Items(i)->GetItemColor();
        EXPECT_EQ(color.GetColor(), clTeal);
        EXPECT_EQ(color.GetBkColor(), clBlack);
        EXPECT_TRUE(color.GetStyle().Contains(fsItalic));
    }

    // A bracket token is drawn in its own item's colour.
    brackets.Items(1)->GetItemColor().SetColor(clGreen);
    auto parser = Fountain->NewParser();
    parser->BeginRow("<a> [b]", {});
    ASSERT_EQ(parser->ReadToken(), tokBracket);
    EXPECT_EQ(parser->TokenColor(), &brackets.Items(0)->GetItemColor());
    ASSERT_EQ(parser->ReadToken(), tokBracket);
    EXPECT_EQ(parser->TokenColor()->GetColor(), clGreen);
}

TEST_F(FountainTest, BracketCollectionsHoldAtMostFourteenItems) {
    TFountainBracketCollection& brackets = Fountain->GetBrackets();
    for (int i = 0; i < kMaxBracketItems; ++i) {
        brackets.Add();
    }
    try {
        brackets.Add();
        FAIL() << "a 15th item was added";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "TFountainBracketCollection\r\nYou can not add item over 14");
    }
    EXPECT_EQ(brackets.Count(), 14);

    // Assign stops at the limit too, keeps what it copied and releases its update hold.
    struct Unlimited : TCollection {
        std::unique_ptr<TCollectionItem> NewItem() override {
            return std::make_unique<TFountainBracketItem>(this);
        }
    } source;
    for (int i = 0; i < 15; ++i) {
        source.Add();
    }
    Log.clear();
    EXPECT_THROW(brackets.Assign(source), Exception);
    EXPECT_EQ(brackets.Count(), 14);
    EXPECT_EQ(brackets.UpdateCount(), 0);
    EXPECT_EQ(Calls(), 1);
}

TEST_F(FountainTest, AssigningACollectionToItselfKeepsItsItems) {
    TFountainBracketCollection& brackets = Fountain->GetBrackets();
    auto* item = static_cast<TFountainBracketItem*>(brackets.Add());
    item->SetLeftBracket("{");
    item->SetRightBracket("}");
    brackets.Assign(brackets);
    ASSERT_EQ(brackets.Count(), 1);
    EXPECT_EQ(brackets.Items(0)->GetRightBracket(), "}");
}

TEST_F(FountainTest, ABracketThatOpensMustBeAbleToClose) {
    TFountainBracketItem* item = Fountain->GetBrackets().Add();
    item->SetLeftBracket("<<");
    EXPECT_THROW(item->SetRightBracket(""), Exception);

    struct Loose : TCollection {
        std::unique_ptr<TCollectionItem> NewItem() override {
            return std::make_unique<TFountainBracketItem>(this);
        }
    } source;
    auto* open = static_cast<TFountainBracketItem*>(source.Add());
    open->SetLeftBracket("<<");
    EXPECT_THROW(item->Assign(*open), Exception);
    EXPECT_THROW(Fountain->GetBrackets().Assign(source), Exception);

    // An item half filled in (left set, right not yet) does not swallow the row.
    auto parser = Fountain->NewParser();
    parser->BeginRow("a << b", {});
    std::vector<int> kinds;
    for (TTokenKind kind = parser->ReadToken(); kind != tokEndOfRow; kind = parser->ReadToken()) {
        kinds.push_back(kind);
    }
    EXPECT_EQ(kinds, (std::vector<int>{tokAnkWord, tokSymbol, tokSymbol, tokAnkWord}));
}

TEST_F(FountainTest, UsesItalicSeesEveryReachableColour) {
    EXPECT_FALSE(Fountain->UsesItalic(*Fountain));
    Fountain->GetReserve().SetStyle({fsBold, fsUnderline});
    EXPECT_FALSE(Fountain->UsesItalic(*Fountain));

    TFountainBracketItem* item = Fountain->GetBrackets().Add();
    item->GetItemColor().SetStyle({fsItalic});
    EXPECT_TRUE(Fountain->UsesItalic(*Fountain));
    item->GetItemColor().SetStyle({});
    EXPECT_FALSE(Fountain->UsesItalic(*Fountain));
    Fountain->GetColors().GetSelect().SetStyle({fsItalic, fsBold});
    EXPECT_TRUE(Fountain->UsesItalic(*Fountain));
}

TEST_F(FountainTest, SetAllSparesSelectAndHitAndBroadcastsOnce) {
    TEditorColors& colors = Fountain->GetColors();
    colors.GetHit().SetColor(clFuchsia);
    Log.clear();
    Fountain->SetAllColor(clGreen);
    EXPECT_EQ(Calls(), 1);
    for (TFountainColor* c : std::initializer_list<TFountainColor*>{
             &colors.GetAnk(), &colors.GetComment(), &colors.GetDBCS(), &colors.GetInt(),
             &colors.GetMail(), &colors.GetReserve(), &colors.GetStr(), &colors.GetSymbol(),
             &colors.GetUrl()}) {
        EXPECT_EQ(c->GetColor(), clGreen);
        EXPECT_EQ(c->GetBkColor(), clNone);
    }
    EXPECT_EQ(colors.GetSelect().GetColor(), clWhite);
    EXPECT_EQ(colors.GetHit().GetColor(), clFuchsia);

    Fountain->SetAllBkColor(clTeal);
    Fountain->SetAllStyle({fsUnderline});
    EXPECT_EQ(Calls(), 3);
    EXPECT_EQ(colors.GetInt().GetBkColor(), clTeal);
    EXPECT_TRUE(colors.GetUrl().GetStyle().Contains(fsUnderline));
    EXPECT_EQ(colors.GetSelect().GetBkColor(), clNavy);
    EXPECT_TRUE(colors.GetHit().GetStyle().Empty());
}

TEST_F(FountainTest, ColourSetsAndItemsCopyOnlyTheirOwnKind) {
    auto source = CreateComponent<TEditorFountain>(nullptr);
    source->GetColors().GetStr().SetColor(clTeal);
    source->GetReserve().SetStyle({fsBold});
    source->GetColors().GetSelect().SetBkColor(clBlack);
    Fountain->SetColors(source->GetColors());
    EXPECT_EQ(Fountain->GetColors().GetStr().GetColor(), clTeal);
    EXPECT_TRUE(Fountain->GetReserve().GetStyle().Contains(fsBold));
    EXPECT_EQ(Fountain->GetColors().GetSelect().GetBkColor(), clBlack);
    // The reserve colour reports by itself; the rest of the set once at the end.
    EXPECT_EQ(Calls(), 2);

    EXPECT_THROW(Fountain->GetReserve().Assign(source->GetColors()), EConvertError);
    EXPECT_THROW(Fountain->GetColors().Assign(source->GetReserve()), EConvertError);
    EXPECT_THROW(Fountain->GetBrackets().Assign(source->GetReserve()), EConvertError);
}

TEST_F(FountainTest, FileExtensionsAndFreeNotification) {
    TStringList extensions;
    extensions.Add(".VBS");
    extensions.Add(".js");
    Fountain->SetFileExtList(extensions);
    EXPECT_TRUE(Fountain->ServesExtension(".vbs"));
    EXPECT_FALSE(Fountain->ServesExtension(".txt"));

    std::vector<std::string> freed;
    Subscriber watcher{"watcher", &freed};
    Subscriber gone{"gone", &freed};
    Fountain->FreeNotification(watcher.Method());
    Fountain->FreeNotification(gone.Method());
    Fountain->RemoveFreeNotification(gone.Method());
    const TPersistent* destroyed = Fountain.get();
    Fountain.reset();
    EXPECT_EQ(freed, (std::vector<std::string>{"watcher"}));
    EXPECT_EQ(static_cast<const void*>(watcher.LastSender), static_cast<const void*>(destroyed));
}

TEST(StringList, SortedCaseInsensitiveWordList) {
    TStringList list;
    list.SetSorted(true);
    for (const char* word : {"then", "Dim", "and", "DIM", "CreateObject", "const"}) {
        list.Add(word);
    }
    ASSERT_EQ(list.GetCount(), 5);
    EXPECT_EQ(list.Get(0), "and");
    EXPECT_EQ(list.Get(1), "const");
    EXPECT_EQ(list.Get(2), "CreateObject");
    EXPECT_EQ(list.Get(3), "Dim");
    EXPECT_EQ(list.IndexOf("createobject"), 2);
    EXPECT_EQ(list.IndexOf("THEN"), 4);
    EXPECT_EQ(list.IndexOf("the"), -1);
    EXPECT_THROW(list.Put(0, "x"), EStringListError);
    EXPECT_THROW(list.Get(5), EStringListError);

    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add("AND"), EStringListError);
    list.SetDuplicates(dupAccept);
    list.Add("AND");
    EXPECT_EQ(list.GetCount(), 6);
    int index = -1;
    EXPECT_TRUE(list.Find("and", index));
    EXPECT_EQ(index, 0);

    // Trail bytes are not letters: two different double-byte characters stay different.
    EXPECT_NE(CompareIgnoringCase("\x83\x61", "\x83\x41"), 0);
    EXPECT_EQ(CompareIgnoringCase("a\x83\x61", "A\x83\x61"), 0);
    EXPECT_LT(CompareIgnoringCase("ab", "ABC"), 0);
}

} // namespace
} // namespace kst
