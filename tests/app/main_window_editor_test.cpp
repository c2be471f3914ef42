#include "app/main_window_editor.h"
#include "core/messages.h"
#include "fountain/editor_parser.h"
#include "input/editor.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

struct Drawn {
    std::string Text;
    TColor Color;
    bool Bold;
    bool operator==(const Drawn&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Drawn& d) {
    return out << "{" << d.Text << ", " << std::hex << d.Color << (d.Bold ? ", bold}" : "}");
}

// Each token with the foreground colour and boldness it is drawn with.
std::vector<Drawn> Colouring(TEditorFountain& Fountain, const std::string& Text) {
    auto parser = Fountain.NewParser();
    parser->BeginRow(Text, {});
    std::vector<Drawn> drawn;
    while (parser->ReadToken() != tokEndOfRow) {
        const TFountainColor* color = parser->TokenColor();
        drawn.push_back({parser->TokenText(), color ? color->GetColor() : clNone,
                         color != nullptr && color->GetStyle().Contains(fsBold)});
    }
    return drawn;
}

class MainWindowColouringTest : public ::testing::Test {
protected:
    void SetUp() override {
        Fountain->GetNotifyEventList().Add(
            MakeNotifyMethod<&MainWindowColouringTest::Changed>(this));
        ApplyMainWindowColouring(*Fountain);
    }
    void Changed(TPersistent*) { ++Calls; }

    std::unique_ptr<TEditorFountain> Fountain = CreateComponent<TEditorFountain>(nullptr);
    int Calls = 0;
};

TEST_F(MainWindowColouringTest, ScriptValues) {
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(Fountain->GetCommenter(), "'");
    EXPECT_EQ(Fountain->GetBrackets().Count(), 0);
    EXPECT_FALSE(Fountain->GetMail() || Fountain->GetUrl() || Fountain->GetControlCode());
    EXPECT_TRUE(Fountain->GetQuotation().empty() && Fountain->GetHexPrefix().empty());

    const TStringList& words = Fountain->GetReserveWordList();
    EXPECT_EQ(words.GetCount(), 41);
    for (const char* word : {"And", "CALL", "createobject", "ElseIf", "InputBox", "MsgBox", "ReDim",
                             "With", "explicit", "goto"}) {
        EXPECT_GE(words.IndexOf(word), 0) << word;
    }
    EXPECT_EQ(words.IndexOf("wend"), -1);

    TEditorColors& colors = Fountain->GetColors();
    EXPECT_EQ(colors.GetComment().GetColor(), clFuchsia);
    EXPECT_EQ(colors.GetReserve().GetColor(), clTeal);
    EXPECT_TRUE(colors.GetReserve().GetStyle() == TFontStyles({fsBold}));
    EXPECT_EQ(colors.GetSelect().GetBkColor(), clNavy);
    EXPECT_EQ(colors.GetSelect().GetColor(), clWhite);
    EXPECT_EQ(colors.GetAnk().GetColor(), clNone);

    EXPECT_EQ(Colouring(*Fountain, "Set o = CREATEOBJECT(x) ' make it"),
              (std::vector<Drawn>{{"Set", clTeal, true},
                                  {"o", clNone, false},
                                  {"=", clNone, false},
                                  {"CREATEOBJECT", clTeal, true},
                                  {"(", clNone, false},
                                  {"x", clNone, false},
                                  {")", clNone, false},
                                  {"' make it", clFuchsia, false}}));
}

TEST_F(MainWindowColouringTest, PlainTextForFilesThatAreNotScripts) {
    EXPECT_TRUE(IsScriptFileName("C:\\work\\a.VBS"));
    EXPECT_FALSE(IsScriptFileName("C:\\work.vbs\\readme"));
    EXPECT_FALSE(IsScriptFileName("a.vbs.txt"));

    ApplyOpenedFileColouring(*Fountain, "C:\\x\\run.Vbs", clBlack);
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(Fountain->GetReserve().GetColor(), clTeal);

    ApplyOpenedFileColouring(*Fountain, "C:\\x\\notes.txt", clBlack);
    EXPECT_EQ(Calls, 2);
    EXPECT_TRUE(Fountain->GetCommenter().empty());
    EXPECT_EQ(Colouring(*Fountain, "' dim"),
              (std::vector<Drawn>{{"'", clNone, false}, {"dim", clBlack, false}}));
    EXPECT_EQ(Fountain->GetReserveWordList().GetCount(), 41);

    ApplySavedAsFileColouring(*Fountain, "C:\\x\\notes.vbs", clBlack);
    EXPECT_EQ(Calls, 3);
    EXPECT_EQ(Colouring(*Fountain, "dim ' c"),
              (std::vector<Drawn>{{"dim", clGreen, true}, {"' c", clFuchsia, false}}));

    ApplySavedAsFileColouring(*Fountain, "C:\\x\\notes.log", clBlack);
    EXPECT_EQ(Calls, 4);
    EXPECT_TRUE(Fountain->GetCommenter().empty());
    EXPECT_TRUE(Fountain->GetReserve().GetStyle().Empty());
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

    // The view holds the script colouring, whose values MainWindowColouringTest checks.
    EXPECT_EQ(View->GetFountain().GetCommenter(), "'");
}

TEST(WrapOption, MainWindowValuesAreTheDefaultRulesOffAtColumn250InOneReport) {
    TEditorWrapOption options;
    options.SetFollowRetMark(true);
    options.SetFollowPunctuation(true);
    options.SetFollowStr("f");
    options.SetLeading(true);
    options.SetLeadStr("l");
    options.SetPunctuationStr("p");
    options.SetWordBreak(true);
    int changes = 0;
    options.OnChange = [&](TPersistent*) { ++changes; };
    ApplyMainWindowWrapOptions(options);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(options.GetWrapByte(), 250);
    EXPECT_FALSE(options.GetFollowRetMark() || options.GetFollowPunctuation() ||
                 options.GetLeading() || options.GetWordBreak());
    const TEditorWrapOption defaults;
    EXPECT_EQ(options.GetFollowStr(), defaults.GetFollowStr());
    EXPECT_EQ(options.GetLeadStr(), defaults.GetLeadStr());
    EXPECT_EQ(options.GetPunctuationStr(), defaults.GetPunctuationStr());
}

TEST(MainWindowMouse, DoubleClickSelectsATokenAndTheWheelScrollsByNotches) {
    RecordingHost host{{400, 300}};
    auto editor = CreateComponent<TEditor>(nullptr);
    editor->SetHost(&host);
    InstallMainWindowMouseHandlers(*editor);
    std::string text = "Dim value = 1\r\n";
    for (int i = 0; i < 60; ++i) {
        text += "row\r\n";
    }
    editor->GetLines().SetTextStr(text);
    host.HasFocus = true;
    const TPoint at{editor->ColumnLeft(5) + 1, editor->RowTop(0) + editor->GetRowHeight() / 2};
    const auto point = static_cast<std::intptr_t>(
        MakeLong(static_cast<unsigned>(at.X), static_cast<unsigned>(at.Y)));
    for (const unsigned message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}) {
        editor->WndProc(message, 0, point);
    }
    EXPECT_EQ(editor->GetSelText(), "value");
    EXPECT_EQ(editor->GetCol(), 9);

    editor->WndProc(WM_MOUSEWHEEL, MakeLong(0, static_cast<unsigned>(-240)), 0);
    EXPECT_EQ(editor->GetTopRow(), 2) << "two notches down";
    editor->WndProc(WM_MOUSEWHEEL, MakeLong(0, 100), 0);
    EXPECT_EQ(editor->GetTopRow(), 2) << "less than a notch scrolls nothing";
    editor->WndProc(WM_MOUSEWHEEL, MakeLong(0, 120), 0);
    EXPECT_EQ(editor->GetTopRow(), 1);
    EXPECT_EQ(editor->GetRow(), 0) << "the caret stays";
}

} // namespace
} // namespace kst
