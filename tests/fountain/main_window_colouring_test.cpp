#include "fountain/editor_parser.h"
#include "fountain/main_window_colouring.h"

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

} // namespace
} // namespace kst
