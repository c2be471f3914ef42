#include "core/errors.h"
#include "display/caret_options.h"
#include "display/main_window_view.h"
#include "display/view_settings.h"
#include "fountain/editor_parser.h"

#include <gtest/gtest.h>
#include <string>
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

std::string PropertyNames(TPersistent& Object) {
    std::string names;
    for (const TPropInfo& property : Object.PublishedProperties()) {
        names += names.empty() ? "" : " ";
        names += property.Name;
    }
    return names;
}

TEST(DisplaySettings, PublishedPropertiesInDeclarationOrder) {
    TEditorCaret caret;
    EXPECT_EQ(PropertyNames(caret),
              "AutoCursor AutoIndent BackSpaceUnIndent Cursors FreeCaret FreeRow InTab KeepCaret "
              "LockScroll NextLine PrevSpaceIndent RowSelect SelDragMode SelMove SoftTab Style "
              "TabIndent TabSpaceCount TokenEndStop");
    EXPECT_EQ(caret.PublishedProperties()[3].Object, &caret.GetCursors());
    EXPECT_EQ(PropertyNames(caret.GetCursors()),
              "DefaultCursor DragSelCursor DragSelCopyCursor InSelCursor LeftMarginCursor "
              "TopMarginCursor");
    TEditorMargin margin;
    EXPECT_EQ(PropertyNames(margin), "Character Left Line Top");
    TEditorMarks marks;
    EXPECT_EQ(PropertyNames(marks), "EofMark RetMark WrapMark HideMark Underline");
    EXPECT_EQ(marks.PublishedProperties()[4].Object, &marks.GetUnderline());
    EXPECT_EQ(PropertyNames(marks.GetEofMark()), "Color Visible");
    auto view = MakeViewInfo();
    EXPECT_EQ(PropertyNames(*view),
              "Brackets Colors Commenter ControlCode HexPrefix Mail Quotation Url");
    EXPECT_EQ(view->PublishedProperties()[1].Object, &view->GetFountain().GetColors());
    TEditorRuler ruler;
    EXPECT_EQ(PropertyNames(ruler), "BkColor Color Edge GaugeRange MarkColor Visible");
    TEditorLeftbar leftbar;
    EXPECT_EQ(PropertyNames(leftbar), "BkColor Color Column Edge LeftMargin RightMargin "
                                      "ShowNumber ShowNumberMode Visible ZeroBase ZeroLead");
    TEditorImagebar imagebar;
    EXPECT_EQ(PropertyNames(imagebar), "DigitWidth LeftMargin MarkWidth RightMargin Visible");
    TEditorSpeed speed;
    EXPECT_EQ(PropertyNames(speed),
              "CaretVerticalAc InitBracketsFull PageVerticalRange PageVerticalRangeAc");
}

TEST(DisplaySettings, ClassDefaults) {
    TEditorCaret caret;
    EXPECT_TRUE(caret.GetAutoCursor() && caret.GetAutoIndent() && caret.GetBackSpaceUnIndent() &&
                caret.GetFreeCaret() && caret.GetRowSelect() && caret.GetSelMove());
    EXPECT_FALSE(caret.GetFreeRow() || caret.GetInTab() || caret.GetKeepCaret() ||
                 caret.GetLockScroll() || caret.GetNextLine() || caret.GetPrevSpaceIndent() ||
                 caret.GetSoftTab() || caret.GetTabIndent() || caret.GetTokenEndStop());
    EXPECT_EQ(caret.GetSelDragMode(), dmAutomatic);
    EXPECT_EQ(caret.GetStyle(), csDefault);
    EXPECT_EQ(caret.GetTabSpaceCount(), 8);
    const TEditorCursors& cursors = caret.GetCursors();
    EXPECT_EQ(std::vector<int>({cursors.GetDefaultCursor(), cursors.GetDragSelCursor(),
                                cursors.GetDragSelCopyCursor(), cursors.GetInSelCursor(),
                                cursors.GetLeftMarginCursor(), cursors.GetTopMarginCursor()}),
              std::vector<int>({-4, -12, 1959, 0, 1958, 0}));

    TEditorMargin margin;
    EXPECT_EQ(std::vector<int>({margin.GetCharacter(), margin.GetLeft(), margin.GetLine(),
                                margin.GetTop(), margin.GetUnderlinePixel()}),
              std::vector<int>({0, 19, 0, 2, 0}));
    TEditorMarks marks;
    EXPECT_EQ(marks.GetWrapMark().GetColor(), 0x808080);
    EXPECT_FALSE(marks.GetUnderline().GetVisible());

    TEditorRuler ruler;
    EXPECT_EQ(ruler.GetBkColor(), 0xC0C0C0);
    EXPECT_EQ(ruler.GetMarkColor(), clBlack);
    EXPECT_TRUE(ruler.GetEdge());
    EXPECT_EQ(ruler.GetGaugeRange(), 10);
    EXPECT_FALSE(ruler.GetVisible());

    TEditorLeftbar leftbar;
    EXPECT_EQ(leftbar.GetBkColor(), clSilver);
    EXPECT_EQ(
        std::vector<int>({leftbar.GetColumn(), leftbar.GetLeftMargin(), leftbar.GetRightMargin()}),
        std::vector<int>({4, 8, 4}));
    EXPECT_TRUE(leftbar.GetEdge() && leftbar.GetShowNumber());
    EXPECT_EQ(leftbar.GetShowNumberMode(), nmRow);
    EXPECT_FALSE(leftbar.GetVisible() || leftbar.GetZeroBase() || leftbar.GetZeroLead());

    TEditorImagebar imagebar;
    EXPECT_EQ(imagebar.Width(), 2 + 8 + 0 + 2);
    imagebar.SetMarkWidth(16);
    EXPECT_EQ(imagebar.Width(), 28);
    imagebar.SetVisible(false);
    EXPECT_EQ(imagebar.Width(), 0);

    TEditorSpeed speed;
    EXPECT_EQ(std::vector<int>({speed.GetCaretVerticalAc(), speed.GetPageVerticalRange(),
                                speed.GetPageVerticalRangeAc()}),
              std::vector<int>({2, 2, 2}));
    EXPECT_FALSE(speed.GetInitBracketsFull());
}

TEST(DisplaySettings, IntegerSettersClamp) {
    TEditorCaret caret;
    std::vector<int> tabs;
    for (int value : {5, 1, 9, 2, 7, 6, -100, 1000}) {
        caret.SetTabSpaceCount(value);
        tabs.push_back(caret.GetTabSpaceCount());
    }
    EXPECT_EQ(tabs, std::vector<int>({4, 2, 8, 2, 6, 6, 2, 8}));

    TEditorRuler ruler;
    std::vector<int> gauges;
    for (int value : {9, 12, 7, 10, 8}) {
        ruler.SetGaugeRange(value);
        gauges.push_back(ruler.GetGaugeRange());
    }
    EXPECT_EQ(gauges, std::vector<int>({8, 10, 8, 10, 8}));

    TEditorLeftbar leftbar;
    leftbar.SetColumn(0);
    EXPECT_EQ(leftbar.GetColumn(), 1);
    leftbar.SetColumn(12);
    EXPECT_EQ(leftbar.GetColumn(), 8);
    leftbar.SetLeftMargin(-1);
    leftbar.SetRightMargin(101);
    EXPECT_EQ(leftbar.GetLeftMargin(), 0);
    EXPECT_EQ(leftbar.GetRightMargin(), 100);

    TEditorMargin margin;
    margin.SetLine(-3);
    EXPECT_EQ(margin.GetLine(), 0);
    margin.SetLine(150);
    EXPECT_EQ(margin.GetLine(), 100);
    margin.SetLeft(1000);
    margin.SetCharacter(-1);
    EXPECT_EQ(margin.GetLeft(), 100);
    EXPECT_EQ(margin.GetCharacter(), 0);

    TEditorImagebar imagebar;
    imagebar.SetDigitWidth(500);
    imagebar.SetRightMargin(-5);
    EXPECT_EQ(imagebar.Width(), 2 + 100 + 0 + 0);

    TEditorSpeed speed;
    speed.SetCaretVerticalAc(0);
    speed.SetPageVerticalRange(5);
    speed.SetPageVerticalRangeAc(3);
    EXPECT_EQ(std::vector<int>({speed.GetCaretVerticalAc(), speed.GetPageVerticalRange(),
                                speed.GetPageVerticalRangeAc()}),
              std::vector<int>({1, 4, 3}));
}

TEST(DisplaySettings, SettersReportOnlyRealChanges) {
    ChangeLog log;
    TEditorCaret caret;
    log.Listen(caret);
    caret.SetAutoIndent(true);
    caret.SetTabSpaceCount(8);
    caret.SetTabSpaceCount(9); // clamps to the 8 it holds
    caret.SetStyle(csDefault);
    EXPECT_EQ(log.Take(), 0);
    caret.SetTabSpaceCount(5);
    caret.SetTabSpaceCount(4);
    EXPECT_EQ(log.Take(), 1);
    caret.SetStyle(csBrief);
    caret.SetSelDragMode(dmManual);
    EXPECT_EQ(log.Take(), 2);

    TEditorRuler ruler;
    log.Listen(ruler);
    ruler.SetGaugeRange(11);
    ruler.SetBkColor(clSilver);
    EXPECT_EQ(log.Take(), 0);
    ruler.SetGaugeRange(9);
    ruler.SetMarkColor(clNone);
    EXPECT_EQ(log.Take(), 2);

    TEditorLeftbar leftbar;
    log.Listen(leftbar);
    leftbar.SetColumn(4);
    leftbar.SetShowNumberMode(nmRow);
    EXPECT_EQ(log.Take(), 0);
    leftbar.SetColumn(0);
    leftbar.SetColumn(-7);
    leftbar.SetShowNumberMode(nmLine);
    EXPECT_EQ(log.Count(), 2);
    EXPECT_EQ(log.Senders.front(), &leftbar);
    log.Take();

    TEditorMargin margin;
    log.Listen(margin);
    margin.SetTop(2);
    margin.SetCharacter(-4);
    margin.SetUnderlinePixel(true);
    EXPECT_EQ(log.Take(), 0);
    EXPECT_EQ(margin.GetUnderlinePixel(), 1);
    margin.SetUnderlinePixel(false);
    EXPECT_EQ(margin.GetUnderlinePixel(), 0);

    auto view = MakeViewInfo();
    log.Listen(*view);
    view->SetCommenter("");
    view->SetMail(false);
    view->SetQuotation("");
    EXPECT_EQ(log.Take(), 0);
    view->SetCommenter("//");
    view->SetHexPrefix("&h");
    view->SetUrl(true);
    view->SetControlCode(true);
    view->SetCommenter("//");
    EXPECT_EQ(log.Take(), 4);
    EXPECT_EQ(view->GetFountain().GetCommenter(), "//");
    EXPECT_EQ(view->GetFountain().GetHexPrefix(), "&h");
    EXPECT_TRUE(view->GetFountain().GetUrl() && view->GetFountain().GetControlCode());
}

TEST(DisplaySettings, AssignCopiesEverythingAndReportsOnce) {
    ChangeLog log;
    TEditorCaret source;
    source.SetFreeRow(true);
    source.SetTabSpaceCount(6);
    source.SetStyle(csBrief);
    source.SetSelDragMode(dmManual);
    source.GetCursors().SetInSelCursor(crDrag);
    TEditorCaret caret;
    log.Listen(caret);
    caret.Assign(source);
    EXPECT_EQ(log.Take(), 1);
    EXPECT_TRUE(caret.GetFreeRow());
    EXPECT_EQ(caret.GetTabSpaceCount(), 6);
    EXPECT_EQ(caret.GetStyle(), csBrief);
    EXPECT_EQ(caret.GetSelDragMode(), dmManual);
    EXPECT_EQ(caret.GetCursors().GetInSelCursor(), crDrag);
    EXPECT_THROW(caret.Assign(source.GetCursors()), EConvertError);

    TEditorMarks marks;
    TEditorMarks markSource;
    markSource.GetHideMark().SetVisible(true);
    markSource.GetUnderline().SetColor(clLime);
    log.Listen(marks);
    marks.Assign(markSource);
    EXPECT_EQ(log.Take(), 1);
    EXPECT_TRUE(marks.GetHideMark().GetVisible());
    EXPECT_EQ(marks.GetUnderline().GetColor(), clLime);

    TEditorMargin margin;
    TEditorMargin marginSource;
    marginSource.SetLine(3);
    marginSource.SetUnderlinePixel(true);
    log.Listen(margin);
    margin.Assign(marginSource);
    EXPECT_EQ(log.Take(), 1);
    EXPECT_EQ(margin.GetLine(), 3);
    EXPECT_EQ(margin.GetUnderlinePixel(), 0);
    EXPECT_THROW(margin.Assign(marks), EConvertError);

    TEditorLeftbar leftbar;
    TEditorLeftbar leftSource;
    leftSource.SetZeroLead(true);
    leftSource.SetColumn(6);
    log.Listen(leftbar);
    leftbar.Assign(leftSource);
    EXPECT_EQ(log.Take(), 1);
    EXPECT_TRUE(leftbar.GetZeroLead());
    EXPECT_EQ(leftbar.GetColumn(), 6);
    EXPECT_THROW(leftbar.Assign(TEditorRuler()), EConvertError);

    TEditorSpeed speed;
    TEditorSpeed speedSource;
    speedSource.SetPageVerticalRangeAc(4);
    speedSource.SetInitBracketsFull(true);
    speed.Assign(speedSource);
    EXPECT_EQ(speed.GetPageVerticalRangeAc(), 4);
    EXPECT_TRUE(speed.GetInitBracketsFull());
    EXPECT_THROW(speed.Assign(TEditorImagebar()), EConvertError);

    auto viewSource = MakeViewInfo();
    viewSource->SetQuotation("\"");
    viewSource->SetMail(true);
    viewSource->GetColors().GetStr().SetColor(clNavy);
    viewSource->GetFountain().GetReserve().SetStyle({fsItalic});
    TFountainBracketItem* bracket = viewSource->GetBrackets().Add();
    bracket->SetLeftBracket("(*");
    bracket->SetRightBracket("*)");
    auto view = MakeViewInfo();
    log.Listen(*view);
    view->Assign(*viewSource);
    EXPECT_EQ(log.Take(), 1);
    EXPECT_EQ(view->GetQuotation(), "\"");
    EXPECT_TRUE(view->GetMail());
    EXPECT_EQ(view->GetColors().GetStr().GetColor(), clNavy);
    EXPECT_TRUE(view->GetFountain().GetReserve().GetStyle().Contains(fsItalic));
    ASSERT_EQ(view->GetBrackets().Count(), 1);
    EXPECT_EQ(view->GetBrackets().Items(0)->GetRightBracket(), "*)");
    view->Assign(*view);
    EXPECT_EQ(log.Take(), 1);
    EXPECT_EQ(view->GetBrackets().Count(), 1);
    EXPECT_THROW(view->Assign(viewSource->GetColors()), EConvertError);
}

TEST(DisplaySettings, PartsReportThroughTheirOwner) {
    ChangeLog log;
    TEditorCaret caret;
    log.Listen(caret);
    caret.GetCursors().SetDragSelCursor(crDrag);
    EXPECT_EQ(log.Count(), 0);
    caret.GetCursors().SetDragSelCursor(crDefault);
    TEditorCursors cursors;
    cursors.SetLeftMarginCursor(crIBeam);
    caret.SetCursors(cursors);
    EXPECT_EQ(log.Senders, std::vector<TPersistent*>({&caret, &caret}));
    EXPECT_EQ(caret.GetCursors().GetLeftMarginCursor(), crIBeam);
    log.Take();

    TEditorMarks marks;
    log.Listen(marks);
    marks.GetRetMark().SetVisible(false);
    marks.GetUnderline().SetVisible(true);
    marks.GetEofMark().SetColor(clTeal);
    TEditorMark mark;
    marks.SetWrapMark(mark);
    EXPECT_EQ(log.Senders, std::vector<TPersistent*>({&marks, &marks, &marks}));
    log.Take();

    auto view = MakeViewInfo();
    log.Listen(*view);
    view->GetColors().GetComment().SetColor(clFuchsia);
    EXPECT_EQ(log.Take(), 1);
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

TEST(DisplaySettings, QuotationKeepsOneSingleByteCharacter) {
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

TEST(DisplaySettings, ViewUsesItsFountainFactoryAndSubscribesOnce) {
    auto view = MakeViewInfo<TPlainView>();
    EXPECT_STREQ(view->GetFountain().ClassName(), "TPlainFountain");
    EXPECT_EQ(view->GetFountain().GetNotifyEventList().SubscriberCount(), 1);
    ChangeLog log;
    log.Listen(*view);
    view->GetFountain().SetAllColor(clBlack);
    EXPECT_EQ(log.Count(), 1);
}

class MainWindowViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (TNotifyPersistent* object : std::vector<TNotifyPersistent*>{
                 &Caret, &Margin, &Marks, View.get(), &Ruler, &Leftbar, &Imagebar}) {
            object->OnChange = [this](TPersistent* Sender) { Reports.push_back(Sender); };
        }
        ApplyMainWindowViewSettings({.Caret = Caret,
                                     .Margin = Margin,
                                     .Marks = Marks,
                                     .View = *View,
                                     .Ruler = Ruler,
                                     .Leftbar = Leftbar,
                                     .Imagebar = Imagebar,
                                     .Speed = Speed});
    }

    TEditorCaret Caret;
    TEditorMargin Margin;
    TEditorMarks Marks;
    std::unique_ptr<TEditorViewInfo> View = MakeViewInfo();
    TEditorRuler Ruler;
    TEditorLeftbar Leftbar;
    TEditorImagebar Imagebar;
    TEditorSpeed Speed;
    std::vector<TPersistent*> Reports;
};

TEST_F(MainWindowViewTest, EachObjectReportsOnce) {
    EXPECT_EQ(Reports, std::vector<TPersistent*>(
                           {&Caret, &Margin, &Marks, View.get(), &Ruler, &Leftbar, &Imagebar}));
}

TEST_F(MainWindowViewTest, ValuesThatDifferFromTheClassDefaults) {
    EXPECT_FALSE(Caret.GetBackSpaceUnIndent() || Caret.GetFreeCaret());
    EXPECT_TRUE(Caret.GetFreeRow() && Caret.GetNextLine() && Caret.GetTabIndent());
    EXPECT_TRUE(Caret.GetAutoCursor() && Caret.GetRowSelect() && Caret.GetSelMove());
    EXPECT_EQ(Caret.GetTabSpaceCount(), 4);
    EXPECT_EQ(Caret.GetCursors().GetLeftMarginCursor(), 1958);
    EXPECT_EQ(Caret.GetCursors().GetDragSelCopyCursor(), 1959);

    EXPECT_EQ(Margin.GetLeft(), 4);
    EXPECT_EQ(Margin.GetLine(), 2);
    EXPECT_EQ(Margin.GetTop(), 2);

    EXPECT_TRUE(Marks.GetEofMark().GetVisible() && Marks.GetRetMark().GetVisible() &&
                Marks.GetUnderline().GetVisible());
    EXPECT_FALSE(Marks.GetWrapMark().GetVisible() || Marks.GetHideMark().GetVisible());
    EXPECT_EQ(Marks.GetUnderline().GetColor(), 0x00FF00);
    EXPECT_EQ(Marks.GetRetMark().GetColor(), clGray);

    EXPECT_TRUE(Ruler.GetVisible());
    EXPECT_EQ(Ruler.GetGaugeRange(), 8);

    EXPECT_TRUE(Leftbar.GetVisible());
    EXPECT_EQ(Leftbar.GetColumn(), 3);
    EXPECT_EQ(Leftbar.GetLeftMargin(), 0);
    EXPECT_EQ(Leftbar.GetRightMargin(), 4);
    EXPECT_EQ(Leftbar.GetShowNumberMode(), nmLine);

    EXPECT_EQ(Imagebar.GetDigitWidth(), 4);
    EXPECT_EQ(Imagebar.Width(), 2 + 4 + 0 + 2);
    EXPECT_EQ(Speed.GetPageVerticalRange(), 2);

    EXPECT_EQ(View->GetCommenter(), "'");
    EXPECT_EQ(View->GetQuotation(), "");
    EXPECT_EQ(View->GetBrackets().Count(), 0);
    EXPECT_EQ(View->GetColors().GetComment().GetColor(), clFuchsia);
    EXPECT_EQ(View->GetColors().GetReserve().GetColor(), clTeal);
    EXPECT_TRUE(View->GetColors().GetReserve().GetStyle().Contains(fsBold));
    EXPECT_EQ(View->GetColors().GetSelect().GetBkColor(), clNavy);
    EXPECT_EQ(View->GetColors().GetSelect().GetColor(), clWhite);
    EXPECT_EQ(View->GetFountain().GetReserveWordList().Count(), 41);
}

} // namespace
} // namespace kst
