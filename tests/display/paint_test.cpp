#include "app/main_window_editor.h"
#include "core/errors.h"
#include "display/image_list.h"
#include "display/paint_bitmaps.h"
#include "display/test_view.h"
#include "support/default_layout.h"
#include "support/recording_host.h"
#include "support/recording_surface.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kst {
namespace {

using TDrawOp = RecordingSurface::TDrawOp;
using TOpKind = RecordingSurface::TOpKind;

struct DrawLineCall {
    std::string LineStr;
    int X = 0;
    int Y = 0;
    int Index = 0;
    TRect ARect;
    bool Selected = false;
};

// The main window's editor in a window whose text area ends exactly at a row boundary.
class PaintTest : public ::testing::Test {
protected:
    PaintTest() {
        ApplyMainWindowViewSettings({Editor->GetCaret(), Editor->GetMargin(), Editor->GetMarks(),
                                     Editor->GetView(), Editor->GetRuler(), Editor->GetLeftbar(),
                                     Editor->GetImagebar(), Editor->GetSpeed()});
        Editor->SetHost(&Host);
        Editor->DrawLine = [this](const std::string& LineStr, int X, int Y, int Index,
                                  const TRect& ARect, bool Selected) {
            DrawLines.push_back({LineStr, X, Y, Index, ARect, Selected});
        };
    }

    void SetText(std::string_view Text) { Editor->GetLines().SetTextStr(Text); }

    void PaintClip(const TRect& Clip) {
        Canvas.ClearOps();
        DrawLines.clear();
        Editor->Paint(Canvas, Clip);
    }
    void PaintAll() { PaintClip({0, 0, kClient.Width, kClient.Height}); }

    // Text runs drawn in the text area at the top of Row, in drawing order.
    std::vector<TDrawOp> RowTexts(int Row) const {
        std::vector<TDrawOp> texts;
        for (const TDrawOp& op : Canvas.Ops) {
            if (op.Kind == TOpKind::Text && op.From.Y == Editor->RowTop(Row) &&
                op.Rect.Left >= Editor->GetTextLeft()) {
                texts.push_back(op);
            }
        }
        return texts;
    }

    // The left bar's number texts by row; "" where none was drawn.
    std::vector<std::string> LeftbarTexts(int Rows) const {
        std::vector<std::string> numbers(static_cast<std::size_t>(Rows));
        const int barRight = Editor->GetImagebarWidth() + Editor->GetLeftbarWidth();
        for (const TDrawOp& op : Canvas.Ops) {
            if (op.Kind != TOpKind::Text || op.Rect.Right > barRight) {
                continue;
            }
            const int row = (op.From.Y - Editor->GetTextTop()) / Editor->GetRowHeight();
            if (row >= 0 && row < Rows) {
                numbers[static_cast<std::size_t>(row)] = op.Text;
            }
        }
        return numbers;
    }

    std::vector<TDrawOp> TextsNamed(std::string_view Text) const {
        std::vector<TDrawOp> texts;
        for (const TDrawOp& op : Canvas.Ops) {
            if (op.Kind == TOpKind::Text && op.Text == Text) {
                texts.push_back(op);
            }
        }
        return texts;
    }

    std::vector<TDrawOp> LinesIn(TColor Color, int Row) const {
        std::vector<TDrawOp> lines;
        for (const TDrawOp& op : Canvas.Ops) {
            if (op.Kind == TOpKind::Line && op.Color == Color && op.From.Y >= Editor->RowTop(Row) &&
                op.From.Y < Editor->RowTop(Row + 1)) {
                lines.push_back(op);
            }
        }
        return lines;
    }

    static constexpr TSize kClient{400, 13 + 15 * 19};
    RecordingHost Host{kClient};
    RecordingSurface Canvas{kClient};
    std::unique_ptr<TTestView> Editor = CreateComponent<TTestView>(nullptr);
    std::vector<DrawLineCall> DrawLines;
};

TEST_F(PaintTest, EofMarkFollowsTheLastCharacterOrStandsOnTheEmptyLastLine) {
    SetText("");
    PaintAll();
    ASSERT_EQ(TextsNamed("[EOF]").size(), 1u);
    EXPECT_EQ(TextsNamed("[EOF]")[0].From, (TPoint{Editor->ColumnLeft(0), Editor->RowTop(0)}));
    EXPECT_EQ(LeftbarTexts(2), (std::vector<std::string>{"  1", ""}));

    SetText("abc\r\n");
    PaintAll();
    ASSERT_EQ(TextsNamed("[EOF]").size(), 1u);
    EXPECT_EQ(TextsNamed("[EOF]")[0].From, (TPoint{Editor->ColumnLeft(0), Editor->RowTop(1)}));
    EXPECT_EQ(TextsNamed("[EOF]")[0].Color, clGray);
    EXPECT_FALSE(LinesIn(clGray, 0).empty()) << "the return mark ends row 0";

    SetText("abc");
    PaintAll();
    ASSERT_EQ(TextsNamed("[EOF]").size(), 1u);
    EXPECT_EQ(TextsNamed("[EOF]")[0].From, (TPoint{Editor->ColumnLeft(3), Editor->RowTop(0)}));
    EXPECT_TRUE(LinesIn(clGray, 0).empty()) << "no return mark without a line break";
}

TEST_F(PaintTest, LeftbarNumbersLinesRowsAndLeadingZeros) {
    Editor->GetWrapOption().SetWrapByte(20);
    Editor->SetWordWrap(true);
    SetText(std::string(30, 'a') + "\r\nb\r\n");
    PaintAll();
    EXPECT_EQ(LeftbarTexts(5), (std::vector<std::string>{"  1", "", "  2", "  3", ""}));

    Editor->GetLeftbar().SetShowNumberMode(nmRow);
    PaintAll();
    EXPECT_EQ(LeftbarTexts(5), (std::vector<std::string>{"  1", "  2", "  3", "  4", ""}));

    Editor->SetWordWrap(false);
    Editor->GetLeftbar().SetZeroLead(true);
    Editor->GetLeftbar().SetZeroBase(true);
    SetText(NumberedLines(8));
    PaintAll();
    EXPECT_EQ(LeftbarTexts(9)[7], "007");
    Editor->GetLeftbar().SetZeroBase(false);
    PaintAll();
    EXPECT_EQ(LeftbarTexts(9)[6], "007");
    EXPECT_EQ(LeftbarTexts(9)[8], "009");
}

TEST_F(PaintTest, LeftbarWidensWhenTheThousandthLineArrives) {
    SetText(NumberedLines(998) + "x");
    ASSERT_EQ(Editor->GetLeftbarDigits(), 3);
    const int oldTextLeft = Editor->GetTextLeft();
    Host.ClearRecords();

    Editor->ScreenStrings().UpdateRows(998, 1, "x\r\nx");
    EXPECT_EQ(Editor->GetLeftbarDigits(), 4);
    EXPECT_EQ(Editor->GetTextLeft(), oldTextLeft + Editor->GetCharWidth());
    ASSERT_FALSE(Host.Scrolls.empty());
    EXPECT_EQ(Host.Scrolls.back().Dx, Editor->GetCharWidth());
    EXPECT_EQ(Host.Scrolls.back().Scroll.Left, Editor->GetImagebarWidth());

    Editor->SetTopRow(995);
    PaintAll();
    EXPECT_EQ(LeftbarTexts(5)[4], "1000");
    EXPECT_EQ(LeftbarTexts(5)[0], " 996");
}

// A long row is drawn to its end, and only its columns in view are expanded and drawn: a row's
// first text run starts at most a character left of the area and ends at most two right of it.
TEST_F(PaintTest, LongRowsAreDrawnToTheirEndOnlyWhereInView) {
    constexpr TColor kHideColor = 0x123456;
    Editor->GetMarks().GetHideMark().SetColor(kHideColor);
    Editor->GetMarks().GetHideMark().SetVisible(true);
    const std::string wide = std::string(1099, 'a') + "\x88\x9f" + std::string(9, 'a');
    SetText(wide + "\r\n" + std::string(2'000'000, 'b') + "\r\n");
    const int cols = Editor->GetVisibleCols();
    // Row RowWithEnd ends in view; the rows above it are left of the view.
    const struct {
        int TopCol;
        int RowWithEnd;
    } cases[] = {{1100, 0}, {2'000'000 - cols / 2, 1}};
    for (const auto& c : cases) {
        Editor->SetTopCol(c.TopCol);
        ASSERT_EQ(Editor->GetTopCol(), c.TopCol);
        PaintAll();
        for (int row = c.RowWithEnd; row < 2; ++row) {
            const auto texts = RowTexts(row);
            ASSERT_FALSE(texts.empty()) << c.TopCol << " row " << row;
            const TDrawOp& run = texts[0];
            const int firstCol = (run.From.X - Editor->ColumnLeft(0)) / Editor->GetCharWidth();
            EXPECT_GE(firstCol, c.TopCol - 2) << c.TopCol << " row " << row;
            EXPECT_LE(static_cast<int>(run.Text.size()), cols + 5) << c.TopCol << " row " << row;
            EXPECT_TRUE(LinesIn(kHideColor, row).empty()) << c.TopCol << " row " << row;
        }
        if (c.RowWithEnd == 0) {
            EXPECT_EQ(RowTexts(0)[0].Text.substr(0, 2), "\x88\x9f")
                << "a double-byte character cut by the edge is drawn whole";
        }
        EXPECT_FALSE(LinesIn(clGray, c.RowWithEnd).empty()) << c.TopCol << " return mark";
        ASSERT_FALSE(DrawLines.empty());
        EXPECT_EQ(DrawLines.back().Index, 1);
        EXPECT_LE(DrawLines.back().LineStr.size(), static_cast<std::size_t>(c.TopCol + cols + 10))
            << "a huge row is expanded only as far as drawn";
    }
}

TEST_F(PaintTest, MarksWithoutAColourTakeTheFontColour) {
    TEditorMarks& marks = Editor->GetMarks();
    for (TEditorMark* mark : {&marks.GetEofMark(), &marks.GetRetMark(), &marks.GetWrapMark(),
                              &marks.GetHideMark(), &marks.GetUnderline()}) {
        mark->SetColor(clNone);
        mark->SetVisible(true);
    }
    Editor->GetWrapOption().SetWrapByte(20);
    const TColor font = Editor->GetFont().Color;
    // Rows 0-2 show the hide (or wrap), return and end marks; the caret row gets the underline.
    for (const bool wordWrap : {false, true}) {
        Editor->SetWordWrap(wordWrap);
        SetText(std::string(wordWrap ? 30 : 1200, 'a') + "\r\nabc\r\nx");
        PaintAll();
        for (const TDrawOp& op : Canvas.Ops) {
            EXPECT_NE(op.Color, clNone) << "drawing at " << op.From.X << "," << op.From.Y;
        }
        const int lastRow = Editor->GetScreenStringsPtr()->GetCount() - 1;
        ASSERT_EQ(TextsNamed("[EOF]").size(), 1u);
        EXPECT_EQ(TextsNamed("[EOF]")[0].Color, font);
        EXPECT_FALSE(LinesIn(font, 0).empty()) << "hide or wrap mark";
        EXPECT_FALSE(LinesIn(font, lastRow - 1).empty()) << "return mark";
        EXPECT_TRUE(std::ranges::any_of(Canvas.Ops, [&](const TDrawOp& Op) {
            return Op.Kind == TOpKind::Line && Op.Color == font && Op.To.X == kClient.Width;
        })) << "caret-row underline";
    }
}

TEST_F(PaintTest, TokensOfAScriptLineInTheMainWindowColours) {
    SetText("Dim x ' note\r\n");
    PaintAll();
    const std::vector<TDrawOp> texts = RowTexts(0);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].Text, "Dim x ' note");
    EXPECT_EQ(texts[0].Color, clBlack);
    EXPECT_EQ(texts[0].BkColor, clWhite);
    EXPECT_TRUE(texts[0].Opaque);
    EXPECT_EQ(texts[1].Text, "Dim");
    EXPECT_EQ(texts[1].Color, clTeal);
    EXPECT_EQ(texts[1].Style, (TFontStyles{fsBold}));
    EXPECT_EQ(texts[1].From.X, Editor->ColumnLeft(0));
    EXPECT_EQ(texts[2].Text, "' note");
    EXPECT_EQ(texts[2].Color, clFuchsia);
    EXPECT_EQ(texts[2].From.X, Editor->ColumnLeft(6));
    // A redrawn token fills only its own cells, never the plain text around it.
    for (std::size_t i = 1; i < texts.size(); ++i) {
        EXPECT_GE(texts[i].Rect.Left, texts[i].From.X) << texts[i].Text;
        EXPECT_LE(texts[i].Rect.Right,
                  texts[i].From.X + static_cast<int>(texts[i].Text.size()) * texts[i].CellWidth)
            << texts[i].Text;
    }

    ASSERT_EQ(DrawLines.size(), 1u);
    EXPECT_EQ(DrawLines[0].LineStr, "Dim x ' note");
    EXPECT_EQ(DrawLines[0].X, Editor->GetTextLeft());
    EXPECT_EQ(DrawLines[0].Y, Editor->RowTop(0));
    EXPECT_FALSE(DrawLines[0].Selected);
}

TEST_F(PaintTest, SelectedPartIsDrawnInSelectColoursWithItsOwnDrawLine) {
    SetText("Dim x ' note\r\nnext");
    Editor->Select({0, 0, 4, 5});
    PaintAll();

    std::vector<DrawLineCall> row0;
    for (const DrawLineCall& call : DrawLines) {
        if (call.Index == 0) {
            row0.push_back(call);
        }
    }
    ASSERT_EQ(row0.size(), 3u);
    EXPECT_FALSE(row0[0].Selected);
    EXPECT_TRUE(row0[1].Selected);
    EXPECT_FALSE(row0[2].Selected);
    EXPECT_EQ(row0[1].ARect.Left, Editor->ColumnLeft(4));
    EXPECT_EQ(row0[1].ARect.Right, Editor->ColumnLeft(5));
    EXPECT_EQ(row0[0].ARect.Right, row0[1].ARect.Left);
    EXPECT_EQ(row0[2].ARect.Left, row0[1].ARect.Right);

    bool selectedRun = false;
    for (const TDrawOp& op : RowTexts(0)) {
        if (op.Rect == row0[1].ARect) {
            selectedRun = true;
            EXPECT_EQ(op.Color, clWhite);
            EXPECT_EQ(op.BkColor, clNavy);
        }
    }
    EXPECT_TRUE(selectedRun);
    EXPECT_EQ(Canvas.GetPixel({Editor->ColumnLeft(4) + 1, Editor->RowTop(0) + 3}), clNavy);
    EXPECT_EQ(std::count_if(DrawLines.begin(), DrawLines.end(),
                            [](const DrawLineCall& call) { return call.Index == 1; }),
              1);
}

TEST_F(PaintTest, WrappedRowsShowTheirContinuationAndItalicRowsDrawEveryToken) {
    constexpr TColor kWrapColor = 0x204060;
    Editor->GetMarks().GetWrapMark().SetColor(kWrapColor);
    Editor->GetMarks().GetWrapMark().SetVisible(true);
    Editor->GetWrapOption().SetWrapByte(20);
    Editor->SetWordWrap(true);
    const std::string line = "Dim abcdefghijklmnopqrstuvwxyz";
    SetText(line + "\r\n");
    PaintAll();
    ASSERT_EQ(DrawLines.size(), 2u);
    EXPECT_EQ(DrawLines[0].LineStr, line) << "a continued row is followed by the next one";
    EXPECT_EQ(DrawLines[1].LineStr, line.substr(RowTexts(0)[0].Text.size()));
    const int rowEnd = Editor->ColumnLeft(static_cast<int>(RowTexts(0)[0].Text.size()));
    const std::vector<TDrawOp> wrapMark = LinesIn(kWrapColor, 0);
    ASSERT_EQ(wrapMark.size(), 2u);
    EXPECT_EQ(wrapMark[0].From.X, rowEnd + Editor->GetCharWidth());
    EXPECT_TRUE(LinesIn(kWrapColor, 1).empty());

    Editor->SetWordWrap(false);
    TEditorFont font = Editor->GetFont();
    font.Style = {fsItalic};
    Editor->SetFont(font);
    ASSERT_TRUE(Editor->GetItalicMode());
    SetText("Dim x\r\n");
    PaintAll();
    const std::vector<TDrawOp> texts = RowTexts(0);
    ASSERT_EQ(texts.size(), 2u) << "each token once, no opaque run of the whole row";
    EXPECT_EQ(texts[0].Text, "Dim");
    EXPECT_EQ(texts[1].Text, "x");
    for (const TDrawOp& text : texts) {
        EXPECT_FALSE(text.Opaque);
    }
}

TEST_F(PaintTest, UnderlinedTokenGetsADottedLineInItsColour) {
    Editor->GetView().GetColors().GetComment().SetStyle({fsUnderline});
    SetText("x ' c\r\n");
    PaintAll();
    const std::vector<TDrawOp> texts = RowTexts(0);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_FALSE(texts[1].Style.Contains(fsUnderline));

    const int y = Editor->RowTop(0) + Editor->GetFontHeight() - 1;
    for (int x = Editor->ColumnLeft(2); x < Editor->ColumnLeft(5); ++x) {
        EXPECT_EQ(Canvas.GetPixel({x, y}), x % 2 == 0 ? clFuchsia : clWhite) << "x " << x;
    }
    EXPECT_EQ(Canvas.GetPixel({Editor->ColumnLeft(1), y}), clWhite);
}

// Far into a long row, tokens are coloured as read from the row's start, across an edit of it too.
TEST_F(PaintTest, TokensFarIntoALongRowKeepTheirColours) {
    constexpr TColor kCommentColor = 0x00AA00;
    Editor->GetView().GetColors().GetComment().SetColor(kCommentColor);
    const std::string row = std::string(100'000, '.') + "' c" + std::string(100'000, 'd');
    SetText(row + "\r\n");
    const struct {
        int TopCol;
        std::string Row;
        bool Comment;
    } cases[] = {
        {150'000, row, true},
        {80'000, row, false},
        {80'000, "'" + row, true},
    };
    for (const auto& c : cases) {
        if (Editor->GetLines().Get(0) != c.Row) {
            Editor->GetLines().Put(0, c.Row);
        }
        Editor->SetTopCol(c.TopCol);
        PaintAll();
        const std::vector<TDrawOp> texts = RowTexts(0);
        EXPECT_EQ(
            std::ranges::any_of(texts, [](const TDrawOp& Op) { return Op.Color == kCommentColor; }),
            c.Comment)
            << c.TopCol << " " << c.Row.substr(0, 2);
    }
}

TEST_F(PaintTest, PaintingTheStripUncoveredByAOneRowScrollPaintsOneRow) {
    SetText(NumberedLines(40));
    Host.ClearRecords();
    Editor->SetTopRow(1);
    const TRect uncovered = Host.InvalidatedBounds();
    PaintClip(uncovered);
    ASSERT_EQ(DrawLines.size(), 1u);
    EXPECT_EQ(DrawLines[0].Y, uncovered.Top);
    EXPECT_EQ(DrawLines[0].Index, Editor->GetTopRow() + Editor->GetVisibleRows());
    EXPECT_EQ(DrawLines[0].LineStr, "line " + std::to_string(DrawLines[0].Index));
    EXPECT_EQ(std::stoi(LeftbarTexts(Editor->GetVisibleRows() + 1).back()), DrawLines[0].Index + 1);
}

TEST_F(PaintTest, RepaintAfterAnEditMovesTheRowsBelowAndRenumbersLines) {
    SetText(NumberedLines(40));
    const int barLeft = Editor->GetImagebarWidth();

    Host.ClearRecords();
    Editor->ScreenStrings().UpdateRows(2, 1, "lineX 2\r\n");
    TUpdateInfo edit = Editor->LastUpdate;
    ASSERT_EQ(edit.UpdateStartRow, 2);
    ASSERT_EQ(edit.UpdateOldRows, edit.UpdateNewRows);
    const int end = 2 + edit.UpdateNewRows;
    EXPECT_TRUE(Host.Scrolls.empty());
    const std::vector<TRect> editedRows{{0, Editor->RowTop(2), kClient.Width, Editor->RowTop(end)}};
    EXPECT_EQ(Host.Invalidations, editedRows)
        << "no line moved: the line numbers below the edit stand, and the edited rows and those "
           "whose colouring it changed are repainted in one request";

    Editor->GetLeftbar().SetShowNumberMode(nmRow);
    Host.ClearRecords();
    Editor->ScreenStrings().UpdateRows(2, 1, "lineY 2\r\n");
    EXPECT_EQ(Host.Invalidations, editedRows) << "row numbers stay where they are";

    Host.ClearRecords();
    Editor->ScreenStrings().UpdateRows(2, 1, "li\r\nneX 2\r\n");
    edit = Editor->LastUpdate;
    ASSERT_EQ(edit.UpdateNewRows, edit.UpdateOldRows + 1);
    const int firstMoved = 2 + edit.UpdateNewRows;
    ASSERT_FALSE(Host.Invalidations.empty());
    EXPECT_EQ(Host.Invalidations[0],
              (TRect{0, Editor->RowTop(2), kClient.Width, Editor->RowTop(firstMoved)}));
    ASSERT_EQ(Host.Scrolls.size(), 2u) << "the image bar and the text area";
    EXPECT_EQ(Host.Scrolls[0].Scroll,
              (TRect{0, Editor->RowTop(firstMoved), barLeft, kClient.Height}));
    EXPECT_EQ(Host.Scrolls[1].Scroll, (TRect{Editor->GetTextLeft(), Editor->RowTop(firstMoved),
                                             kClient.Width, kClient.Height}));
    for (const RecordingHost::TScroll& scroll : Host.Scrolls) {
        EXPECT_EQ(scroll.Dy, Editor->GetRowHeight());
    }
}

TEST_F(PaintTest, BytesThatAreNoCharacterAreDrawnAsPlaceholders) {
    Editor->GetCaret().SetTabSpaceCount(4);
    SetText(std::string("a\0b\r\n", 5) + "ab\x88\r\n\x88 z\r\n\xB1\xB2\r\n\t\x88\x9f");
    PaintAll();
    EXPECT_EQ(RowTexts(0)[0].Text, "a\xA5"
                                   "b");
    EXPECT_EQ(RowTexts(1)[0].Text, "ab\xA5");
    EXPECT_EQ(RowTexts(2)[0].Text, "\xA5\xA5z");
    EXPECT_EQ(RowTexts(3)[0].Text, "\xB1\xB2") << "single bytes past 0x7F are characters";
    EXPECT_EQ(RowTexts(4)[0].Text, "    \x88\x9f");
    EXPECT_EQ(TextsNamed("[EOF]")[0].From.X, Editor->ColumnLeft(6));
}

TEST_F(PaintTest, RulerShowsLabelsAndMarksTheCaretColumn) {
    Editor->GetRuler().SetMarkColor(clNavy);
    SetText("abcdefghij");
    Editor->SetRowCol(0, 3);
    PaintAll();
    const int y = 2;
    EXPECT_EQ(Canvas.GetPixel({Editor->ColumnLeft(3) + 3, y}), clNavy);
    EXPECT_EQ(Canvas.GetPixel({Editor->ColumnLeft(2) + 3, y}), clSilver);
    // The label "8" over column 8: its top row is ".##.".
    EXPECT_EQ(Canvas.GetPixel({Editor->ColumnLeft(8) + 1, 1}), clSilver);
    EXPECT_EQ(Canvas.GetPixel({Editor->ColumnLeft(8) + 2, 1}), clBlack);
}

TEST_F(PaintTest, ImagebarShowsTheLowestMarkOfEachKind) {
    Editor->GetImagebar().SetMarkWidth(11);
    SetText("a\r\nb\r\nc");
    Editor->ScreenStrings().SetRowMarks(1, (1u << 5) | (1u << 3) | (1u << 14) | (1u << 12));
    PaintAll();
    const TBuiltinMarkImages& images = TBuiltinMarkImages::Get(Canvas);
    std::vector<TDrawOp> copies;
    for (const TDrawOp& op : Canvas.Ops) {
        if (op.Kind == TOpKind::CopyTransparent) {
            copies.push_back(op);
        }
    }
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].Source, &images.Digit(3));
    EXPECT_EQ(copies[0].Rect.Left, 2);
    EXPECT_EQ(copies[0].Rect.Top, Editor->RowTop(1) + 2);
    EXPECT_EQ(copies[0].Color, kDigitMarkKey);
    const TPoint badge{copies[0].Rect.Left, copies[0].Rect.Top};
    EXPECT_EQ(Canvas.GetPixel(badge), clSilver) << "the badge's corner is transparent";
    const TColor inside = Canvas.GetPixel({badge.X + 1, badge.Y + 1});
    EXPECT_NE(inside, clSilver);
    EXPECT_NE(inside, kDigitMarkKey);
    EXPECT_EQ(copies[1].Source, &images.Shape(2));
    EXPECT_EQ(copies[1].Rect.Left, 2 + 4);
    EXPECT_LE(copies[1].Rect.Right, Editor->GetImagebarWidth());
}

TEST_F(PaintTest, ImagebarDrawsFromAssignedImageListsAndForgetsDestroyedOnes) {
    Editor->GetImagebar().SetMarkWidth(11);
    SetText("a\r\nb\r\nc");
    Editor->ScreenStrings().SetRowMarks(1, (1u << 3) | (1u << 12));
    const auto makeList = [this](int Images) {
        auto list = CreateComponent<TImageList>(nullptr, TSize{7, 9});
        list->TransparentColor = clLime;
        for (int i = 0; i < Images; ++i) {
            list->Add(Canvas.CreateBitmap({7, 9}));
        }
        return list;
    };
    const auto transparentCopies = [this] {
        std::vector<TDrawOp> copies;
        for (const TDrawOp& op : Canvas.Ops) {
            if (op.Kind == TOpKind::CopyTransparent) {
                copies.push_back(op);
            }
        }
        return copies;
    };
    const TBuiltinMarkImages& builtin = TBuiltinMarkImages::Get(Canvas);
    auto digits = makeList(4);
    auto shortMarks = makeList(2);
    EXPECT_THROW(shortMarks->Add(Canvas.CreateBitmap({8, 9})), Exception);
    ASSERT_EQ(shortMarks->Count(), 2);
    Host.WholeInvalidations = 0;
    Editor->SetImageDigits(digits.get());
    Editor->SetImageMarks(shortMarks.get());
    EXPECT_EQ(Host.WholeInvalidations, 2);
    PaintAll();
    std::vector<TDrawOp> copies = transparentCopies();
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].Source, &digits->Image(3));
    EXPECT_EQ(copies[0].Color, clLime);
    EXPECT_EQ(copies[0].Rect, (TRect{2, Editor->RowTop(1) + 2, 2 + 7, Editor->RowTop(1) + 2 + 9}));
    EXPECT_EQ(copies[1].Source, &builtin.Shape(2)) << "the list has no image 2";
    EXPECT_EQ(copies[1].Color, kShapeMarkKey);

    Editor->SetImageMarks(digits.get());
    digits.reset();
    EXPECT_EQ(Editor->GetImageDigits(), nullptr);
    EXPECT_EQ(Editor->GetImageMarks(), nullptr);
    EXPECT_EQ(Host.WholeInvalidations, 4);
    PaintAll();
    copies = transparentCopies();
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].Source, &builtin.Digit(3));
    EXPECT_EQ(copies[1].Source, &builtin.Shape(2));

    shortMarks.reset();
    EXPECT_EQ(Host.WholeInvalidations, 4) << "a list the editor let go of is no concern of it";
    Editor->GetImagebar().SetVisible(false);
    auto hidden = makeList(1);
    Host.WholeInvalidations = 0;
    Editor->SetImageDigits(hidden.get());
    EXPECT_EQ(Host.WholeInvalidations, 0) << "no image bar to repaint";
    Editor.reset();
    hidden.reset();
}

} // namespace
} // namespace kst
