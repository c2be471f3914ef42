#include "app/main_window_editor.h"
#include "input/editor.h"
#include "support/recording_host.h"
#include "support/recording_surface.h"
#include "tools/line_marks.h"
#include "tools/word_matcher.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kst {
namespace {

using TDrawOp = RecordingSurface::TDrawOp;

const std::string kA = "\x82\xa0";
const std::string kWideSpace = "\x81\x40";

class LineMarksTest : public ::testing::Test {
protected:
    LineMarksTest() {
        ApplyMainWindowViewSettings({Editor->GetCaret(), Editor->GetMargin(), Editor->GetMarks(),
                                     Editor->GetView(), Editor->GetRuler(), Editor->GetLeftbar(),
                                     Editor->GetImagebar(), Editor->GetSpeed()});
        Editor->SetHost(&Host);
        Editor->OnDrawLine = [this](TEditor& Sender, const std::string& LineStr, int X, int Y,
                                    int Index, const TRect& ARect, bool Selected) {
            const std::size_t before = Canvas.Ops.size();
            DrawLineMarks(Sender, LineStr, X, Y, Index, ARect, Selected, Options, States);
            MarkOps.insert(MarkOps.end(), Canvas.Ops.begin() + static_cast<long>(before),
                           Canvas.Ops.end());
        };
    }

    // The marks drawn on each row, as "S" (string), "Y" (double-byte) or "H" (hit), the column
    // and the text: "S@7:\"x\"".
    std::vector<std::vector<std::string>> Paint(std::string_view Text, int Rows) {
        Editor->GetLines().SetTextStr(Text);
        return PaintAgain(Rows);
    }
    std::vector<std::vector<std::string>> PaintAgain(int Rows) {
        Canvas.ClearOps();
        MarkOps.clear();
        Editor->Paint(Canvas, {0, 0, kClient.Width, kClient.Height});
        std::vector<std::vector<std::string>> marks(static_cast<std::size_t>(Rows));
        for (const TDrawOp& op : MarkOps) {
            const int row = (op.From.Y - Editor->GetTextTop()) / Editor->GetRowHeight();
            const int column = (op.From.X - Editor->ColumnLeft(0)) / Editor->GetCharWidth();
            if (row < Rows) {
                marks[static_cast<std::size_t>(row)].push_back(
                    Kind(op) + "@" + std::to_string(column) + ":" + op.Text);
            }
        }
        return marks;
    }

    std::string Kind(const TDrawOp& Op) const {
        const TColor font = Editor->GetFont().Color;
        if (Op.Color == clGray && Op.BkColor == clWhite) {
            return "S";
        }
        if (Op.Color == font && Op.BkColor == 0x00FFFF) {
            return "Y";
        }
        return Op.Color == font && Op.BkColor == clLime ? "H" : "?";
    }

    static constexpr TSize kClient{600, 13 + 10 * 19};
    RecordingHost Host{kClient};
    RecordingSurface Canvas{kClient};
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
    TLineMarkOptions Options;
    TLineMarkStates States;
    std::vector<TDrawOp> MarkOps;
};

using TRowMarks = std::vector<std::vector<std::string>>;

TEST_F(LineMarksTest, StringsAreGreyOnWhiteAndDoubleByteCharactersYellowOutsideThem) {
    const std::string text = "MsgBox \"" + kA + "\"\r\n" +             // closing quote too
                             "a = \"x\"\"y\" & b\r\n" +                // doubled quote
                             "a" + kWideSpace + "b\r\n" +              // between statements
                             "x ' c" + kWideSpace + "\"q\"\r\n" +      // a comment
                             "\"s\" " + kWideSpace + "'" + kWideSpace; // string, space, comment
    EXPECT_EQ(Paint(text, 5), (TRowMarks{{"S@7:\"" + kA + "\""},
                                         {"S@4:\"x\"\"y\""},
                                         {"Y@1:" + kWideSpace},
                                         {},
                                         {"S@0:\"s\"", "Y@4:" + kWideSpace}}));
    Options.MarkScript = false;
    EXPECT_EQ(PaintAgain(5), TRowMarks(5)) << "not in a text file";
}

TEST_F(LineMarksTest, AWrappedRowGoesOnInTheStringOrCommentOfTheRowBefore) {
    Editor->SetWordWrap(true);
    Editor->GetWrapOption().SetWrapByte(20);
    const std::string text = "x = \"" + std::string(15, 'a') + kA + "b\" " + kA + "\r\n" + "' " +
                             std::string(18, 'c') + "\"" + kA + "\"\r\n";
    EXPECT_EQ(
        Paint(text, 4),
        (TRowMarks{{"S@4:\"" + std::string(15, 'a')}, {"S@0:" + kA + "b\"", "Y@5:" + kA}, {}, {}}));
}

// The third row of a line wrapped every 20 columns starts in the state the two rows before leave:
// a comment mark inside a string starts no comment, a quote that ends a double-byte character
// (in bytes that are not Shift-JIS) is no quote, and one after a double-byte character whose
// second byte could start one is; an edit of the first row changes the third row's marks.
TEST_F(LineMarksTest, AWrappedRowStartsInTheStateOfAllTheRowsBeforeIt) {
    const std::string kAsia = "\x88\x9f"; // its second byte is a lead byte's value
    const std::string third = "b\" " + kA;
    const struct {
        std::string FirstRows;
        std::vector<std::string> Marks;
    } cases[] = {
        {"x = \"" + std::string(15, 'a') + std::string(20, 'b'), {"S@0:b\"", "Y@3:" + kA}},
        {"s = \"a'" + std::string(13, 'a') + std::string(20, 'b'), {"S@0:b\"", "Y@3:" + kA}},
        {"a=\x82\"" + std::string(16, 'b') + std::string(20, 'c'), {"S@1:\" " + kA}},
        {"a=" + kAsia + "\"" + std::string(15, 'b') + std::string(20, 'c'),
         {"S@0:b\"", "Y@3:" + kA}},
        {"x = " + std::string(16, 'a') + std::string(20, 'b'), {"S@1:\" " + kA}},
    };
    Editor->SetWordWrap(true);
    Editor->GetWrapOption().SetWrapByte(20);
    for (const auto& each : cases) {
        EXPECT_EQ(Paint(each.FirstRows + third + "\r\n", 3).at(2), each.Marks) << each.FirstRows;
    }
    Paint(cases[0].FirstRows + third + "\r\n", 3);
    Editor->GetLines().Put(0, cases[4].FirstRows + third);
    EXPECT_EQ(PaintAgain(3).at(2), cases[4].Marks) << "after the edit";
}

TEST_F(LineMarksTest, HitsAreLimeWhileTheListIsShownAndMatchCaseDecides) {
    const TWordMatcher anyCase("msgbox", false);
    const TWordMatcher exactCase("msgbox", true);
    Options = {.MarkScript = false, .Hits = &anyCase, .Problems = {}};
    const std::string text = "MsgBox 1 : MSGBOX 2\r\nmsgboxmsgbox\r\n";
    EXPECT_EQ(Paint(text, 2), (TRowMarks{{"H@0:MsgBox", "H@11:MSGBOX"}, {"H@0:msgboxmsgbox"}}));
    Options.Hits = &exactCase;
    EXPECT_EQ(PaintAgain(2), (TRowMarks{{}, {"H@0:msgboxmsgbox"}}));
    Options.Hits = nullptr;
    EXPECT_EQ(PaintAgain(2), TRowMarks(2));
}

TEST_F(LineMarksTest, SelectedPartsGetNoMarks) {
    const TWordMatcher word("b", true);
    Options = {.MarkScript = true, .Hits = &word, .Problems = {}};
    Editor->GetLines().SetTextStr("\"a\" b\r\n\"a\" b\r\n");
    Editor->SetSelStart(0);
    Editor->SetSelLength(7);
    EXPECT_EQ(PaintAgain(2), (TRowMarks{{}, {"S@0:\"a\"", "H@4:b"}}));
}

TEST_F(LineMarksTest, HitsSitOnTheColumnsOfTheRowAsDrawn) {
    const TWordMatcher needle("needle", true);
    Options = {.MarkScript = true, .Hits = &needle, .Problems = {}};
    Editor->GetCaret().SetTabSpaceCount(8);
    EXPECT_EQ(Paint("\tneedle\ta needle\r\n", 1), (TRowMarks{{"H@8:needle", "H@18:needle"}}));

    Editor->SetWordWrap(true);
    Editor->GetWrapOption().SetWrapByte(20);
    EXPECT_EQ(Paint(std::string(18, 'x') + "needle \"str\"\r\n", 2),
              (TRowMarks{{"H@18:ne"}, {"S@5:\"str\"", "H@0:edle"}}))
        << "the next row's text that a wrapped row carries is not marked on it";
}

// Hits far into long rows are marked where they are drawn, whole.
TEST_F(LineMarksTest, HitsFarIntoLongRowsAreMarkedWhole) {
    const TWordMatcher needle("needle", true);
    Options = {.MarkScript = true, .Hits = &needle, .Problems = {}};
    const std::string text = std::string(996, 'x') + "needle\r\n" + std::string(996, 'x') +
                             "\"needle\"\r\n" + std::string(1010, 'x') + "needle\r\n" +
                             std::string(990, 'x') + "needle" + std::string(30, 'x');
    Editor->GetLines().SetTextStr(text);
    Editor->SetTopCol(kMaxCol);
    EXPECT_EQ(PaintAgain(4), (TRowMarks{{"H@996:needle"},
                                        {"S@996:\"needle\"", "H@997:needle"},
                                        {"H@1010:needle"},
                                        {"H@990:needle"}}));
}

} // namespace
} // namespace kst
