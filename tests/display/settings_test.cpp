#include "core/errors.h"
#include "display/caret_options.h"
#include "display/view_settings.h"
#include "document/wrap_option.h"
#include "fountain/editor_parser.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace kst {
namespace {

// Records every report of the objects it listens to.
struct ChangeLog {
    void Listen(TNotifyPersistent& Object) {
        Object.OnChange = [this](TPersistent* Sender) { Senders.push_back(Sender); };
    }
    int Count() const { return static_cast<int>(Senders.size()); }
    // The number of reports since the last call.
    int Take() {
        const int count = Count();
        Senders.clear();
        return count;
    }

    std::vector<TPersistent*> Senders;
};

template <class T>
constexpr bool Reports = std::is_base_of_v<TNotifyPersistent, T>;

template <class T>
std::unique_ptr<T> NewSettings() {
    return std::make_unique<T>();
}

template <>
std::unique_ptr<TEditorViewInfo> NewSettings() {
    return MakeViewInfo();
}

// The reports Object makes while Action runs; a plain TPersistent makes none.
template <class T, class F>
int ReportsDuring(T& Object, F&& Action) {
    ChangeLog log;
    if constexpr (Reports<T>) {
        log.Listen(Object);
    }
    Action();
    return log.Count();
}

template <class T>
constexpr TPropertyKind KindOf() {
    if constexpr (std::is_same_v<T, bool>) {
        return TPropertyKind::Boolean;
    } else if constexpr (std::is_same_v<T, std::string>) {
        return TPropertyKind::String;
    } else {
        return TPropertyKind::Integer;
    }
}

// One published property of T: its kind, the owned object a Class property publishes, and the
// check of its default, a change and its copy.
template <class T>
struct PropertyRow {
    std::string Name;
    TPropertyKind Kind;
    std::function<TPersistent*(T&)> Part;
    std::function<void()> Check;
};

template <class T, class TGet>
using ValueOf = std::remove_cvref_t<std::invoke_result_t<TGet, const T&>>;

// A fresh T reads Default through Get. Set to Other, it reads Other and reports once (a plain
// TPersistent not at all); set to Other again, it reports nothing. Assign copies Other into a
// fresh T and reports once.
template <class T, class TGet, class TSet>
PropertyRow<T> Row(const char* Name, TPropertyKind Kind, std::function<TPersistent*(T&)> Part,
                   TGet Get, TSet Set, ValueOf<T, TGet> Default, ValueOf<T, TGet> Other) {
    return {Name, Kind, Part, [Get, Set, Default, Other] {
                const int onceIfReporting = Reports<T> ? 1 : 0;
                auto object = NewSettings<T>();
                EXPECT_EQ(Get(*object), Default) << "class default";
                EXPECT_EQ(ReportsDuring(*object, [&] { Set(*object, Other); }), onceIfReporting)
                    << "reports of a change";
                EXPECT_EQ(Get(*object), Other) << "stored";
                EXPECT_EQ(ReportsDuring(*object, [&] { Set(*object, Other); }), 0)
                    << "reports of the same value";
                auto copy = NewSettings<T>();
                EXPECT_EQ(ReportsDuring(*copy, [&] { copy->Assign(*object); }), onceIfReporting)
                    << "reports of Assign";
                EXPECT_EQ(Get(*copy), Other) << "copied by Assign";
            }};
}

// A property stored in the object.
#define VALUE_ROW(Owner, Property, Default, Other)                                                 \
    Row<Owner>(                                                                                    \
        #Property, KindOf<ValueOf<Owner, decltype(&Owner::Get##Property)>>(), nullptr,             \
        [](const Owner& Object) { return Object.Get##Property(); },                                \
        [](Owner& Object, const auto& Value) { Object.Set##Property(Value); }, Default, Other)

// An owned settings object, checked through one of its own properties.
#define PART_ROW(Owner, Part, Property, Default, Other)                                            \
    Row<Owner>(                                                                                    \
        #Part, TPropertyKind::Class,                                                               \
        [](Owner& Object) -> TPersistent* { return &Object.Get##Part(); },                         \
        [](const Owner& Object) { return Object.Get##Part().Get##Property(); },                    \
        [](Owner& Object, const auto& Value) { Object.Get##Part().Set##Property(Value); },         \
        Default, Other)

// The rows of T in published order: the published names and kinds match, and each row's check
// holds. Assign refuses an object of another class.
template <class T>
void ExpectSettings(const std::vector<PropertyRow<T>>& Rows) {
    auto object = NewSettings<T>();
    SCOPED_TRACE(object->ClassName());
    const std::vector<TPropInfo> properties = object->PublishedProperties();
    std::vector<std::string> published;
    std::vector<std::string> rows;
    for (const TPropInfo& property : properties) {
        published.push_back(property.Name);
    }
    for (const PropertyRow<T>& row : Rows) {
        rows.push_back(row.Name);
    }
    ASSERT_EQ(published, rows);
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        SCOPED_TRACE(Rows[i].Name);
        EXPECT_EQ(properties[i].Kind, Rows[i].Kind);
        EXPECT_EQ(properties[i].Object, Rows[i].Part ? Rows[i].Part(*object) : nullptr);
        Rows[i].Check();
    }
    TPersistent other;
    EXPECT_THROW(object->Assign(other), EConvertError);
}

// CP932 texts of the line-breaking rules.
// 、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ
const std::string kNoRowStart = "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4a"
                                "\x81\x4b\x81\x52\x81\x53\x81\x54\x81\x55\x81\x58\x81\x5b\x81\x6a"
                                "\x81\x6e\x81\x70\x81\x76\x81\x78\x21\x29\x2c\x2e\x3a\x3b\x3f\x5d"
                                "\x7d\xa1\xa3\xa4\xa5\xb0\xde\xdf";
// （［｛「『([{｢
const std::string kNoRowEnd = "\x81\x69\x81\x6d\x81\x6f\x81\x75\x81\x77\x28\x5b\x7b\xa2";
// 、。，．,.｡､
const std::string kHanging = "\x81\x41\x81\x42\x81\x43\x81\x44\x2c\x2e\xa1\xa4";

TEST(Settings, EveryPropertyHasItsDefaultReportsARealChangeOnceAndIsCopiedByAssign) {
    ExpectSettings<TEditorCursors>({
        VALUE_ROW(TEditorCursors, DefaultCursor, -4, 0),
        VALUE_ROW(TEditorCursors, DragSelCursor, -12, -4),
        VALUE_ROW(TEditorCursors, DragSelCopyCursor, 1959, -12),
        VALUE_ROW(TEditorCursors, InSelCursor, 0, 1958),
        VALUE_ROW(TEditorCursors, LeftMarginCursor, 1958, 1959),
        VALUE_ROW(TEditorCursors, TopMarginCursor, 0, -4),
    });
    ExpectSettings<TEditorCaret>({
        VALUE_ROW(TEditorCaret, AutoCursor, true, false),
        VALUE_ROW(TEditorCaret, AutoIndent, true, false),
        VALUE_ROW(TEditorCaret, BackSpaceUnIndent, true, false),
        PART_ROW(TEditorCaret, Cursors, InSelCursor, 0, -12),
        VALUE_ROW(TEditorCaret, FreeCaret, true, false),
        VALUE_ROW(TEditorCaret, FreeRow, false, true),
        VALUE_ROW(TEditorCaret, InTab, false, true),
        VALUE_ROW(TEditorCaret, KeepCaret, false, true),
        VALUE_ROW(TEditorCaret, LockScroll, false, true),
        VALUE_ROW(TEditorCaret, NextLine, false, true),
        VALUE_ROW(TEditorCaret, PrevSpaceIndent, false, true),
        VALUE_ROW(TEditorCaret, RowSelect, true, false),
        VALUE_ROW(TEditorCaret, SelDragMode, dmAutomatic, dmManual),
        VALUE_ROW(TEditorCaret, SelMove, true, false),
        VALUE_ROW(TEditorCaret, SoftTab, false, true),
        VALUE_ROW(TEditorCaret, Style, csDefault, csBrief),
        VALUE_ROW(TEditorCaret, TabIndent, false, true),
        VALUE_ROW(TEditorCaret, TabSpaceCount, 8, 4),
        VALUE_ROW(TEditorCaret, TokenEndStop, false, true),
    });
    ExpectSettings<TEditorMargin>({
        VALUE_ROW(TEditorMargin, Character, 0, 3),
        VALUE_ROW(TEditorMargin, Left, 19, 4),
        VALUE_ROW(TEditorMargin, Line, 0, 2),
        VALUE_ROW(TEditorMargin, Top, 2, 5),
    });
    ExpectSettings<TEditorMark>({
        VALUE_ROW(TEditorMark, Color, 0x808080, 0x00FF00),
        VALUE_ROW(TEditorMark, Visible, false, true),
    });
    ExpectSettings<TEditorMarks>({
        PART_ROW(TEditorMarks, EofMark, Visible, false, true),
        PART_ROW(TEditorMarks, RetMark, Visible, false, true),
        PART_ROW(TEditorMarks, WrapMark, Visible, false, true),
        PART_ROW(TEditorMarks, HideMark, Visible, false, true),
        PART_ROW(TEditorMarks, Underline, Color, 0x808080, 0x00FF00),
    });
    ExpectSettings<TEditorViewInfo>({
        Row<TEditorViewInfo>(
            "Brackets", TPropertyKind::Class,
            [](TEditorViewInfo& View) -> TPersistent* { return &View.GetBrackets(); },
            [](const TEditorViewInfo& View) { return View.GetBrackets().Count(); },
            [](TEditorViewInfo& View, int Count) {
                while (View.GetBrackets().Count() < Count) {
                    View.GetBrackets().Add();
                }
            },
            0, 1),
        Row<TEditorViewInfo>(
            "Colors", TPropertyKind::Class,
            [](TEditorViewInfo& View) -> TPersistent* { return &View.GetColors(); },
            [](const TEditorViewInfo& View) { return View.GetColors().GetStr().GetColor(); },
            [](TEditorViewInfo& View, TColor Color) { View.GetColors().GetStr().SetColor(Color); },
            0x1FFFFFFF, 0x800000),
        VALUE_ROW(TEditorViewInfo, Commenter, "", "'"),
        VALUE_ROW(TEditorViewInfo, ControlCode, false, true),
        VALUE_ROW(TEditorViewInfo, HexPrefix, "", "&h"),
        VALUE_ROW(TEditorViewInfo, Mail, false, true),
        VALUE_ROW(TEditorViewInfo, Quotation, "", "\""),
        VALUE_ROW(TEditorViewInfo, Url, false, true),
    });
    ExpectSettings<TEditorRuler>({
        VALUE_ROW(TEditorRuler, BkColor, 0xC0C0C0, 0xFFFFFF),
        VALUE_ROW(TEditorRuler, Color, 0x000000, 0x800000),
        VALUE_ROW(TEditorRuler, Edge, true, false),
        VALUE_ROW(TEditorRuler, GaugeRange, 10, 8),
        VALUE_ROW(TEditorRuler, MarkColor, 0x000000, 0x808000),
        VALUE_ROW(TEditorRuler, Visible, false, true),
    });
    ExpectSettings<TEditorLeftbar>({
        VALUE_ROW(TEditorLeftbar, BkColor, 0xC0C0C0, 0xFFFFFF),
        VALUE_ROW(TEditorLeftbar, Color, 0x000000, 0x800000),
        VALUE_ROW(TEditorLeftbar, Column, 4, 3),
        VALUE_ROW(TEditorLeftbar, Edge, true, false),
        VALUE_ROW(TEditorLeftbar, LeftMargin, 8, 0),
        VALUE_ROW(TEditorLeftbar, RightMargin, 4, 6),
        VALUE_ROW(TEditorLeftbar, ShowNumber, true, false),
        VALUE_ROW(TEditorLeftbar, ShowNumberMode, nmRow, nmLine),
        VALUE_ROW(TEditorLeftbar, Visible, false, true),
        VALUE_ROW(TEditorLeftbar, ZeroBase, false, true),
        VALUE_ROW(TEditorLeftbar, ZeroLead, false, true),
    });
    ExpectSettings<TEditorImagebar>({
        VALUE_ROW(TEditorImagebar, DigitWidth, 8, 4),
        VALUE_ROW(TEditorImagebar, LeftMargin, 2, 3),
        VALUE_ROW(TEditorImagebar, MarkWidth, 0, 16),
        VALUE_ROW(TEditorImagebar, RightMargin, 2, 0),
        VALUE_ROW(TEditorImagebar, Visible, true, false),
    });
    ExpectSettings<TEditorSpeed>({
        VALUE_ROW(TEditorSpeed, CaretVerticalAc, 2, 4),
        VALUE_ROW(TEditorSpeed, InitBracketsFull, false, true),
        VALUE_ROW(TEditorSpeed, PageVerticalRange, 2, 1),
        VALUE_ROW(TEditorSpeed, PageVerticalRangeAc, 2, 3),
    });
    ExpectSettings<TEditorWrapOption>({
        VALUE_ROW(TEditorWrapOption, FollowRetMark, false, true),
        VALUE_ROW(TEditorWrapOption, FollowPunctuation, false, true),
        VALUE_ROW(TEditorWrapOption, FollowStr, kNoRowStart, "x"),
        VALUE_ROW(TEditorWrapOption, Leading, false, true),
        VALUE_ROW(TEditorWrapOption, LeadStr, kNoRowEnd, "("),
        VALUE_ROW(TEditorWrapOption, PunctuationStr, kHanging, ","),
        VALUE_ROW(TEditorWrapOption, WordBreak, false, true),
        VALUE_ROW(TEditorWrapOption, WrapByte, 80, 250),
    });
}

// The values T stores after being set to each of Given in turn. Exactly the settings that
// changed the stored value are reported (none by a plain TPersistent).
template <class T>
std::vector<int> StoredValues(void (T::*Set)(int), int (T::*Get)() const, std::vector<int> Given) {
    T object;
    std::vector<int> stored;
    int changes = 0;
    int reports = 0;
    for (int value : Given) {
        const int before = (object.*Get)();
        reports += ReportsDuring(object, [&] { (object.*Set)(value); });
        stored.push_back((object.*Get)());
        changes += stored.back() != before ? 1 : 0;
    }
    EXPECT_EQ(reports, Reports<T> ? changes : 0);
    return stored;
}

#define STORED(Owner, Property, ...)                                                               \
    StoredValues(&Owner::Set##Property, &Owner::Get##Property, __VA_ARGS__)

using Ints = std::vector<int>;

TEST(Settings, IntegerSettersClampAndReportOnlyAChangeOfTheStoredValue) {
    EXPECT_EQ(STORED(TEditorCaret, TabSpaceCount, {5, 1, 9, 2, 7, 6, -100, 1000, 9}),
              Ints({4, 2, 8, 2, 6, 6, 2, 8, 8}));
    EXPECT_EQ(STORED(TEditorRuler, GaugeRange, {9, 12, 7, 10, 8, 11}), Ints({8, 10, 8, 10, 8, 10}));
    EXPECT_EQ(STORED(TEditorLeftbar, Column, {0, -7, 12, 5}), Ints({1, 1, 8, 5}));
    EXPECT_EQ(STORED(TEditorWrapOption, WrapByte, {10, 300, 999, 33}), Ints({20, 250, 250, 33}));
    const Ints pixels = {-3, 150, 1000, 7};
    const Ints storedPixels = {0, 100, 100, 7};
    EXPECT_EQ(STORED(TEditorMargin, Character, pixels), storedPixels);
    EXPECT_EQ(STORED(TEditorMargin, Left, pixels), storedPixels);
    EXPECT_EQ(STORED(TEditorMargin, Line, pixels), storedPixels);
    EXPECT_EQ(STORED(TEditorMargin, Top, pixels), storedPixels);
    EXPECT_EQ(STORED(TEditorLeftbar, LeftMargin, pixels), storedPixels);
    EXPECT_EQ(STORED(TEditorLeftbar, RightMargin, pixels), storedPixels);
    EXPECT_EQ(STORED(TEditorImagebar, DigitWidth, pixels), storedPixels);
    EXPECT_EQ(STORED(TEditorImagebar, LeftMargin, pixels), storedPixels);
    EXPECT_EQ(STORED(TEditorImagebar, MarkWidth, pixels), storedPixels);
    EXPECT_EQ(STORED(TEditorImagebar, RightMargin, pixels), storedPixels);
    const Ints speeds = {0, 5, 3};
    const Ints storedSpeeds = {1, 4, 3};
    EXPECT_EQ(STORED(TEditorSpeed, CaretVerticalAc, speeds), storedSpeeds);
    EXPECT_EQ(STORED(TEditorSpeed, PageVerticalRange, speeds), storedSpeeds);
    EXPECT_EQ(STORED(TEditorSpeed, PageVerticalRangeAc, speeds), storedSpeeds);
}

TEST(Settings, UnderlinePixelIsSetSilentlyAndNotCopied) {
    TEditorMargin margin;
    ChangeLog log;
    log.Listen(margin);
    margin.SetUnderlinePixel(true);
    EXPECT_EQ(margin.GetUnderlinePixel(), 1);
    EXPECT_EQ(log.Count(), 0);
    margin.Assign(TEditorMargin());
    EXPECT_EQ(margin.GetUnderlinePixel(), 1);
    margin.SetUnderlinePixel(false);
    EXPECT_EQ(margin.GetUnderlinePixel(), 0);
}

TEST(Settings, ImagebarWidthIsItsMarginsAndImagesWhileVisible) {
    TEditorImagebar imagebar;
    imagebar.SetMarkWidth(16);
    EXPECT_EQ(imagebar.Width(), 2 + 8 + 16 + 2);
    imagebar.SetVisible(false);
    EXPECT_EQ(imagebar.Width(), 0);
}

TEST(Settings, PartsReportThroughTheirOwner) {
    ChangeLog log;
    TEditorCaret caret;
    log.Listen(caret);
    TEditorCursors cursors;
    cursors.SetLeftMarginCursor(crIBeam);
    caret.SetCursors(cursors);
    EXPECT_EQ(log.Senders, std::vector<TPersistent*>({&caret}));
    EXPECT_EQ(caret.GetCursors().GetLeftMarginCursor(), crIBeam);
    log.Take();

    TEditorMarks marks;
    log.Listen(marks);
    TEditorMark mark;
    mark.SetVisible(true);
    marks.SetWrapMark(mark);
    EXPECT_EQ(log.Senders, std::vector<TPersistent*>({&marks}));
    EXPECT_TRUE(marks.GetWrapMark().GetVisible());
    log.Take();

    auto view = MakeViewInfo();
    log.Listen(*view);
    view->GetFountain().GetReserve().SetColor(clTeal);
    EXPECT_EQ(log.Take(), 1);
    TStringList words;
    words.Add("dim");
    view->GetFountain().SetReserveWordList(words);
    EXPECT_EQ(log.Take(), 1);

    auto other = MakeViewInfo();
    other->GetColors().GetHit().SetBkColor(clLime);
    view->SetColors(other->GetColors());
    EXPECT_EQ(log.Take(), 1);
    EXPECT_EQ(view->GetColors().GetHit().GetBkColor(), clLime);
    other->GetBrackets().Add()->SetLeftBracket("{");
    other->GetBrackets().Items(0)->SetRightBracket("}");
    view->SetBrackets(other->GetBrackets());
    EXPECT_EQ(log.Take(), 1);
    view->GetBrackets().Items(0)->GetItemColor().SetStyle({fsBold});
    EXPECT_EQ(log.Count(), 1);
    EXPECT_EQ(log.Senders.front(), view.get());
}

TEST(Settings, ViewAssignCopiesTheFountainsReserveColourAndBracketsAlsoIntoItself) {
    auto viewSource = MakeViewInfo();
    viewSource->GetFountain().GetReserve().SetStyle({fsItalic});
    TFountainBracketItem* bracket = viewSource->GetBrackets().Add();
    bracket->SetLeftBracket("(*");
    bracket->SetRightBracket("*)");
    auto view = MakeViewInfo();
    ChangeLog log;
    log.Listen(*view);
    view->Assign(*viewSource);
    EXPECT_EQ(log.Take(), 1);
    EXPECT_TRUE(view->GetFountain().GetReserve().GetStyle().Contains(fsItalic));
    ASSERT_EQ(view->GetBrackets().Count(), 1);
    EXPECT_EQ(view->GetBrackets().Items(0)->GetRightBracket(), "*)");
    view->Assign(*view);
    EXPECT_EQ(log.Take(), 1);
    EXPECT_EQ(view->GetBrackets().Count(), 1);
}

TEST(Settings, QuotationKeepsOneSingleByteCharacter) {
    auto view = MakeViewInfo();
    view->SetQuotation("\"abc");
    EXPECT_EQ(view->GetQuotation(), "\"");
    view->SetQuotation("'");
    EXPECT_EQ(view->GetFountain().GetQuotation(), "'");
    view->SetQuotation("");
    EXPECT_EQ(view->GetQuotation(), "");
    // A double-byte character cannot quote: its lead byte alone would match inside other
    // characters of the same lead byte.
    view->SetQuotation("\x81\x68"); // ”
    EXPECT_EQ(view->GetQuotation(), "");

    view->SetQuotation("\"");
    auto parser = view->GetFountain().NewParser();
    const std::string row = "x = \"\x82\xA0\"";
    parser->BeginRow(row, {});
    std::vector<TTokenKind> kinds;
    while (parser->ReadToken() != tokEndOfRow) {
        kinds.push_back(parser->TokenKind());
    }
    EXPECT_EQ(kinds.back(), tokQuoted);
}

// A view that makes a fountain of its own kind.
class TPlainFountain : public TEditorFountain {
public:
    using TEditorFountain::TEditorFountain;
    const char* ClassName() const override { return "TPlainFountain"; }
};

class TPlainView : public TEditorViewInfo {
public:
    using TEditorViewInfo::TEditorViewInfo;

protected:
    std::unique_ptr<TEditorFountain> NewFountain() override {
        return CreateComponent<TPlainFountain>(nullptr);
    }
};

TEST(Settings, ViewUsesItsFountainFactoryAndSubscribesOnce) {
    auto view = MakeViewInfo<TPlainView>();
    EXPECT_STREQ(view->GetFountain().ClassName(), "TPlainFountain");
    EXPECT_EQ(view->GetFountain().GetNotifyEventList().SubscriberCount(), 1);
    ChangeLog log;
    log.Listen(*view);
    view->GetFountain().SetAllColor(clBlack);
    EXPECT_EQ(log.Count(), 1);
}

} // namespace
} // namespace kst
