// The view's drawing: the bars, the ruler, the text rows in token colours and the marks, the cached
// bitmaps, and the repaint after an edit.
#include "core/code_page.h"
#include "display/editor_view.h"
#include "display/image_list.h"
#include "display/paint_bitmaps.h"
#include "document/wrap.h"
#include "fountain/fountain.h"
#include "fountain/fountain_parser.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace kst {

namespace {

constexpr std::string_view kEofText = "[EOF]";
constexpr int kEofColumns = 6;
// Drawn in place of a NUL byte and of bytes that do not form a character, so that every byte
// the surface gets is printable: the half-width middle dot.
constexpr char kPlaceholder = '\xA5';
constexpr std::uint16_t kDigitMarks = 0x03FF;
constexpr int kShapeMarkShift = 10;
constexpr int kMarkImageTop = 2;
constexpr int kProblemMarkWidth = 2;

// The mark image to draw: from the list when it holds the index, else the built-in one.
struct TMarkImage {
    const Surface& Image;
    TSize Size;
    TColor Key;
};

TMarkImage ChooseMarkImage(const TImageList* List, int Index, const Surface& Builtin,
                           TSize BuiltinSize, TColor BuiltinKey) {
    if (List != nullptr && List->Holds(Index)) {
        return {List->Image(Index), {List->Width(), List->Height()}, List->TransparentColor};
    }
    return {Builtin, BuiltinSize, BuiltinKey};
}

void DrawMarkImage(Surface& Canvas, const TRect& Cell, int X, int Y, const TMarkImage& Mark) {
    Canvas.CopyTransparent(
        TRect::Intersection(Cell, {X, Y, X + Mark.Size.Width, Y + Mark.Size.Height}), Mark.Image,
        {0, 0}, Mark.Key);
}

bool IsPlainDrawnByte(unsigned char Byte) {
    return Byte != 0 && Byte != '\t' && Byte < 0x80;
}

// Appends Row as it is drawn: tabs as blanks up to their stop, NUL bytes and bytes that do not
// form a character as placeholders, so that bytes and columns coincide. Stops once the row's part
// has Limit bytes or more; runs of plain single bytes are copied whole.
void AppendDrawnText(std::string& Out, std::string_view Row, const WrapContext& Context,
                     std::size_t Limit) {
    const std::size_t start = Out.size();
    for (std::size_t i = 0; i < Row.size() && Out.size() - start < Limit;) {
        std::size_t plain = i;
        const std::size_t plainLimit = std::min(Row.size(), i + Limit - (Out.size() - start));
        while (plain < plainLimit && IsPlainDrawnByte(static_cast<unsigned char>(Row[plain]))) {
            ++plain;
        }
        if (plain > i) {
            Out.append(Row.substr(i, plain - i));
            i = plain;
            continue;
        }
        const std::size_t length = CharLengthAt(Row, i);
        const unsigned char byte = static_cast<unsigned char>(Row[i]);
        if (length == 2) {
            if (TextCodePage().IsTrailByte(static_cast<unsigned char>(Row[i + 1]))) {
                Out.append(Row.substr(i, 2));
            } else {
                Out.append(2, kPlaceholder);
            }
        } else if (byte == '\t') {
            const auto column = static_cast<std::int64_t>(Out.size() - start);
            Out.append(static_cast<std::size_t>(TabWidthAt(Context, column)), ' ');
        } else if (byte == 0 || IsLeadByte(byte)) {
            Out.push_back(kPlaceholder);
        } else {
            Out.push_back(static_cast<char>(byte));
        }
        i += length;
    }
}

// Whether a character of drawn Text begins at Pos. The bytes that can lead a double-byte character
// just before Pos pair up from the last byte that cannot, so that only they are read.
bool StartsCharacterAt(std::string_view Text, std::size_t Pos) {
    std::size_t leads = 0;
    while (leads < Pos && IsLeadByte(Text[Pos - leads - 1])) {
        ++leads;
    }
    return leads % 2 == 0;
}

// Whether column Col falls between the two bytes of a double-byte character of Text.
bool SplitsCharacter(std::string_view Text, int Col) {
    return Col > 0 && static_cast<std::size_t>(Col) < Text.size() &&
           !StartsCharacterAt(Text, static_cast<std::size_t>(Col));
}

// The part of drawn Text written from X that can show in Rect, in whole characters: from a column
// left of the left edge (for an italic overhang) to two past the right edge. First is its first
// column in Text.
struct TVisibleText {
    std::size_t First = 0;
    std::string_view Text;
};

TVisibleText VisiblePart(const TRect& Rect, int X, int CharWidth, std::string_view Text) {
    const auto clampToText = [&Text](std::int64_t Column) {
        return static_cast<std::size_t>(
            std::clamp<std::int64_t>(Column, 0, static_cast<std::int64_t>(Text.size())));
    };
    std::size_t first = clampToText((std::int64_t{Rect.Left} - X) / CharWidth - 1);
    if (!StartsCharacterAt(Text, first)) {
        --first;
    }
    std::size_t last = std::max(first, clampToText((std::int64_t{Rect.Right} - X) / CharWidth + 2));
    if (last < Text.size() && !StartsCharacterAt(Text, last)) {
        ++last;
    }
    return {first, Text.substr(first, last - first)};
}

TFontStyles WithoutUnderline(TFontStyles Styles) {
    static constexpr TFontStyles kStyles[] = {{},
                                              {fsBold},
                                              {fsItalic},
                                              {fsBold, fsItalic},
                                              {fsStrikeOut},
                                              {fsBold, fsStrikeOut},
                                              {fsItalic, fsStrikeOut},
                                              {fsBold, fsItalic, fsStrikeOut}};
    const int index = (Styles.Contains(fsBold) ? 1 : 0) + (Styles.Contains(fsItalic) ? 2 : 0) +
                      (Styles.Contains(fsStrikeOut) ? 4 : 0);
    return kStyles[index];
}

// The number a left-bar cell shows, right-aligned in Digits characters.
std::string LeftbarNumberText(int Number, int Digits, bool ZeroLead) {
    std::string digits = std::to_string(Number);
    const int padding = Digits - static_cast<int>(digits.size());
    if (padding > 0) {
        digits.insert(0, static_cast<std::size_t>(padding), ZeroLead ? '0' : ' ');
    }
    return digits;
}

// Copies the digits of Number from the glyph strip Glyphs of Digits to Target, starting at X.
void DrawRulerLabel(Surface& Target, const Surface& Glyphs, const TRulerDigits& Digits, int Number,
                    int X) {
    for (char digitChar : std::to_string(Number)) {
        const int digit = digitChar - '0';
        const int advance = Digits.Advance(digit);
        Target.CopyFrom({X, 0, X + advance, Digits.StripSize.Height}, Glyphs,
                        {digit * Digits.Width, 0});
        X += advance;
    }
}

// A bar down the image bar's left margin, left of the row marks, so that it never hides one.
void DrawProblemMark(Surface& Canvas, const TRect& Cell, TProblemMark Mark) {
    if (Mark == TProblemMark::None) {
        return;
    }
    const TColor color = Mark == TProblemMark::Problem ? clRed : clOlive;
    Canvas.FillRect({Cell.Left, Cell.Top + 1, Cell.Left + kProblemMarkWidth, Cell.Bottom - 1},
                    color);
}

} // namespace

int DrawnLength(std::string_view Text, int Limit) {
    const auto limit = static_cast<std::size_t>(std::max(Limit, 0));
    if (Text.size() <= limit) {
        return static_cast<int>(Text.size());
    }
    return static_cast<int>(StartsCharacterAt(Text, limit) ? limit : limit + 1);
}

// Colours

TColor TEditorView::BackgroundOf(TColor Color) const {
    return Color == clNone ? FColor : Color;
}

TColor TEditorView::ForegroundOf(TColor Color) const {
    return Color == clNone ? FFont.Color : Color;
}

TTextLook TEditorView::DefaultLook() const {
    return {FFont.Color, FColor, FFont.Style, true};
}

TTextLook TEditorView::SelectionLook() const {
    TEditorColors& colors = FView->GetColors();
    const TFountainColor& color =
        GetSelectionState() == kSelectionHit ? colors.GetHit() : colors.GetSelect();
    const TColor text = color.GetColor() == clNone ? FColor : color.GetColor();
    const TColor back = color.GetBkColor() == clNone ? FFont.Color : color.GetBkColor();
    return {text, back, FFont.Style, true};
}

// The look of a token: its fountain colour over the row's look; a selected row keeps its colours
// and takes only the token's style.
TTextLook TEditorView::TokenLook(const TFountainColor* Color, const TTextLook& RowLook,
                                 bool Selected) const {
    if (Color == nullptr) {
        return RowLook;
    }
    TTextLook look = RowLook;
    look.Style = Color->GetStyle();
    if (!Selected) {
        look.Color = ForegroundOf(Color->GetColor());
        look.BkColor = BackgroundOf(Color->GetBkColor());
    }
    return look;
}

// Drawing surface and guards

bool TEditorView::CanDraw() const {
    return HasWindow() && FHost->Showing();
}

Surface& TEditorView::PaintSurface() const {
    return FCanvas != nullptr ? *FCanvas : FHost->ClientSurface();
}

// Paint

void TEditorView::Paint(Surface& Canvas, const TRect& Clip) {
    if (!CanDraw()) {
        return;
    }
    FCanvas = &Canvas;
    const ScopeEnd canvasGone([this] { FCanvas = nullptr; });
    Canvas.SelectFont(FFont.Spec());
    {
        const auto caretHide = ScopedCaretHide(this);
        PaintAreas(Clip);
    }
    const int row = GetRow();
    if (FMarks->GetUnderline().GetVisible() && FUnderlineHideCount == 0 && row >= FTopRow &&
        row <= FTopRow + FVisibleRows) {
        DrawUnderline(row);
    }
}

void TEditorView::PaintAreas(const TRect& Clip) {
    const int textTop = GetTextTop();
    const int textLeft = GetTextLeft();
    const int width = ClientRect().Right;
    const int height = ClientRect().Bottom;
    const int rowHeight = GetRowHeight();

    const int left =
        std::max(textLeft, textLeft + FCharWidth * ((Clip.Left - textLeft) / FCharWidth));
    const int top = textTop + rowHeight * ((std::max(textTop, Clip.Top) - textTop) / rowHeight);
    const int bottom = textTop + rowHeight * ((Clip.Bottom - textTop + rowHeight - 1) / rowHeight);
    const int firstRow = (top - textTop) / rowHeight + FTopRow;
    const int lastRow = firstRow + (bottom - top) / rowHeight - 1;

    if (Clip.Intersects({0, 0, textLeft, textTop}) && FBackgroundBitmap != nullptr) {
        FCanvas->CopyFrom({0, 0, textLeft, textTop}, *FBackgroundBitmap, {0, 0});
    }
    if (FRuler->GetVisible() && Clip.Intersects({textLeft, 0, width, FRulerHeight})) {
        PaintRuler();
    }
    if (lastRow < firstRow) {
        return;
    }
    if (FLeftbar->GetVisible() &&
        Clip.Intersects({FImagebarWidth, textTop, FImagebarWidth + FLeftbarWidth, height})) {
        PaintLeftbar(firstRow, lastRow);
    }
    if (FImagebar->GetVisible() && Clip.Intersects({0, textTop, FImagebarWidth, height})) {
        PaintImagebar(firstRow, lastRow);
    }
    if (Clip.Intersects({textLeft, textTop, width, height})) {
        PaintTextRows({left, top, Clip.Right, bottom}, firstRow, lastRow);
    }
}

// Paints rows FirstRow..LastRow in Area, one row height each.
void TEditorView::PaintTextRows(const TRect& Area, int FirstRow, int LastRow) {
    std::unique_ptr<TFountainParser> parser = EffectiveFountain().NewParser();
    const TEditorScreenStrings& rows = *FScreenStrings;
    const WrapContext context = CurrentWrapContext();
    const std::uint8_t selectionState = GetSelectionState();
    const bool selectionShown = selectionState == kSelectionSelected ||
                                (selectionState == kSelectionHit && FHitStyle == hsDraw);
    const bool selectionExists = SomethingSelected();
    const int rowHeight = GetRowHeight();
    const int textHeight = FFontHeight + (selectionExists ? FMargin->GetUnderlinePixel() : 0);
    const int x0 = GetTextLeft() - FLeftOffset;
    // Enough columns to reach the area's right edge and to know that a row goes on past it.
    const auto columns = static_cast<std::size_t>(
        std::min<std::int64_t>((std::int64_t{Area.Right} - x0) / FCharWidth, ColumnLimit()) + 2);

    std::string text;
    TRect rect{Area.Left, Area.Top, Area.Right, Area.Top + textHeight};
    for (int row = FirstRow; row <= LastRow; ++row) {
        if (row < rows.GetCount()) {
            text.clear();
            AppendDrawnText(text, rows.GetView(row), context, columns);
            if (selectionShown) {
                PaintRowWithSelection(rect, x0, *parser, row, text, rect.Top);
            } else {
                PaintRow(rect, x0, *parser, row, text, rect.Top);
            }
        } else {
            PaintRowPastEnd(rect, x0, row);
        }
        const TRect gap{rect.Left, rect.Bottom, rect.Right, rect.Top + rowHeight};
        if (!gap.IsEmpty()) {
            FCanvas->FillRect(gap, FColor);
        }
        rect.Top += rowHeight;
        rect.Bottom += rowHeight;
    }
}

// A row after the text: empty, with "[EOF]" on the first one when the text ends with a line
// break (or is empty).
void TEditorView::PaintRowPastEnd(const TRect& Rect, int X0, int Row) {
    FCanvas->FillRect(Rect, FColor);
    const TEditorScreenStrings& rows = *FScreenStrings;
    const int count = rows.GetCount();
    if (FMarks->GetEofMark().GetVisible() && Row == count &&
        (count == 0 || rows.GetRowAttribute(count - 1) != raEndOfText)) {
        DrawEofMark(X0, Rect.Top, false);
    }
}

// Rows

void TEditorView::PaintRow(const TRect& Rect, int X0, TFountainParser& Parser, int Row,
                           std::string_view Text, int Y) {
    PaintRowAs(Rect, X0, Parser, Row, Text, Y, false);
}

void TEditorView::PaintRowSelected(const TRect& Rect, int X0, TFountainParser& Parser, int Row,
                                   std::string_view Text, int Y) {
    PaintRowAs(Rect, X0, Parser, Row, Text, Y, true);
}

void TEditorView::PaintRowAs(const TRect& Rect, int X0, TFountainParser& Parser, int Row,
                             std::string_view Text, int Y, bool Selected) {
    TEditorScreenStrings& rows = *FScreenStrings;
    if (rows.GetBracketIndex(Row) == kStateNotComputed) {
        rows.UpdateStartStates(Row, false);
    }
    const TTextLook rowLook = Selected ? SelectionLook() : DefaultLook();
    if (FItalicMode) {
        FCanvas->FillRect(Rect, rowLook.BkColor);
    } else {
        DrawTextAt(Rect, X0, Y, Text, rowLook);
    }
    const bool inView = (static_cast<std::int64_t>(Text.size()) + 5) * FCharWidth >= FLeftOffset;
    if (inView) {
        const std::string line = DrawnLine(Row, Text);
        if (!Text.empty()) {
            DrawTokens(Rect, X0, Parser, Row, Text, line, Y, rowLook, Selected);
        }
        DoDrawLine(line, X0, Y, Row, Rect, Selected);
    }
    DrawEndMark(Rect, X0, Row, Text, Y, Selected);
}

// Text, followed by the next row's drawn text when word wrap continues the row there.
std::string TEditorView::DrawnLine(int Row, std::string_view Text) const {
    const TEditorScreenStrings& rows = *FScreenStrings;
    std::string line(Text);
    if (rows.GetWordWrap() && rows.GetRowAttribute(Row) == raWrap && Row + 1 < rows.GetCount()) {
        AppendDrawnText(line, rows.GetView(Row + 1), CurrentWrapContext(),
                        static_cast<std::size_t>(ColumnLimit()));
    }
    return line;
}

// Redraws the tokens of the row that differ from RowLook (in italic mode every visible token,
// transparently where it has the row's background). Line is the text the parser reads: the row's
// own Text, plus the next row's when the row is continued.
void TEditorView::DrawTokens(const TRect& Rect, int X0, TFountainParser& Parser, int Row,
                             std::string_view Text, std::string_view Line, int Y,
                             const TTextLook& RowLook, bool Selected) {
    const int length = static_cast<int>(Text.size());
    const int drawn = DrawnLength(Text, ColumnLimit());
    int rightLimit = std::min(Rect.Right, X0 + drawn * FCharWidth);
    if (Line.size() > Text.size()) {
        rightLimit = std::min(rightLimit, X0 + length * FCharWidth);
    }
    const int textLeft = GetTextLeft();
    const WrapContext context = CurrentWrapContext();
    const auto firstInView = static_cast<std::size_t>(
        std::max<std::int64_t>(0, (std::int64_t{std::max(Rect.Left, textLeft)} - X0) / FCharWidth));
    const std::size_t base =
        FTokenCheckpoints.BeginRow(Parser, Line,
                                   {FScreenStrings->GetTextVersion(), Row, context.TabSpaceCount,
                                    context.WordWrap, FScreenStrings->GetRowData(Row)},
                                   firstInView);
    while (Parser.ReadToken() != tokEndOfRow) {
        FTokenCheckpoints.Passed(Parser, base);
        const int start = static_cast<int>(base) + Parser.TokenStart();
        const int x = X0 + start * FCharWidth;
        if (start >= length || x >= rightLimit) {
            break;
        }
        const int size = std::min(Parser.TokenSize(), drawn - start);
        if (x + size * FCharWidth <= textLeft) {
            continue;
        }
        TTextLook look = TokenLook(Parser.TokenColor(), RowLook, Selected);
        const std::string_view token = Parser.TokenView().substr(0, static_cast<std::size_t>(size));
        // An opaque run fills its clip: a token's run must cover only its own cells.
        const TRect cells{std::max(Rect.Left, x), Rect.Top,
                          std::min(Rect.Right, x + size * FCharWidth), Rect.Bottom};
        if (FItalicMode) {
            look.Opaque = look.BkColor != RowLook.BkColor;
            DrawTextAt(cells, x, Y, token, look);
        } else if (look != RowLook) {
            DrawTextAt(cells, x, Y, token, look);
        }
    }
}

// The mark after the row's text: the hide mark when the row is cut at the column limit, else the
// end-of-file, return or wrap mark by how the row ends.
void TEditorView::DrawEndMark(const TRect& Rect, int X0, int Row, std::string_view Text, int Y,
                              bool Selected) {
    const int drawn = DrawnLength(Text, ColumnLimit());
    const int x = X0 + drawn * FCharWidth;
    if (x < Rect.Left || x >= Rect.Right) {
        return;
    }
    if (drawn < static_cast<int>(Text.size())) {
        if (FMarks->GetHideMark().GetVisible()) {
            DrawHideMark(x, Y, Selected);
        }
        return;
    }
    const TRowAttribute attribute = FScreenStrings->GetRowAttribute(Row);
    if (FMarks->GetEofMark().GetVisible() && attribute == raEndOfText) {
        DrawEofMark(x, Y, Selected);
    } else if (FMarks->GetRetMark().GetVisible() && attribute == raLineBreak) {
        DrawRetMark(x, Y, Selected);
    } else if (FMarks->GetWrapMark().GetVisible() && attribute == raWrap) {
        DrawWrapMark(x, Y, Selected);
    }
}

void TEditorView::PaintRowWithSelection(const TRect& Rect, int X0, TFountainParser& Parser, int Row,
                                        std::string_view Text, int Y) {
    const TSelectionRange& selection = GetSelection();
    if (Row < selection.StartRow || Row > selection.EndRow) {
        PaintRow(Rect, X0, Parser, Row, Text, Y);
        return;
    }
    const bool box = GetBoxSelection();
    const bool fromStart = box || Row == selection.StartRow;
    const bool toEnd = box || Row == selection.EndRow;
    const int selLeft = fromStart ? SelectionEdgeX(Text, selection.StartCol) : Rect.Left;
    const int selRight =
        std::max(selLeft, toEnd ? SelectionEdgeX(Text, selection.EndCol) : Rect.Right);
    const TRect parts[] = {
        {Rect.Left, Rect.Top, std::min(selLeft, Rect.Right), Rect.Bottom},
        {std::max(selLeft, Rect.Left), Rect.Top, std::min(selRight, Rect.Right), Rect.Bottom},
        {std::max(selRight, Rect.Left), Rect.Top, Rect.Right, Rect.Bottom}};
    for (int i = 0; i < 3; ++i) {
        if (parts[i].IsEmpty()) {
            continue;
        }
        PaintRowAs(parts[i], X0, Parser, Row, Text, Y, i == 1);
    }
}

// The x of a selection edge at column Col, one column further when Col would cut a double-byte
// character of Text.
int TEditorView::SelectionEdgeX(std::string_view Text, int Col) const {
    const int col = SplitsCharacter(Text, Col) ? Col + 1 : Col;
    const int textLeft = GetTextLeft();
    return std::max(textLeft, textLeft + col * FCharWidth - FLeftOffset);
}

// Text

void TEditorView::DrawTextAt(const TRect& Rect, int X, int Y, std::string_view Text,
                             const TTextLook& Look) {
    Surface& canvas = PaintSurface();
    const TVisibleText visible =
        VisiblePart(Rect, X, FCharWidth,
                    Text.substr(0, static_cast<std::size_t>(DrawnLength(Text, ColumnLimit()))));
    const std::string_view text = visible.Text;
    const int x = X + static_cast<int>(visible.First) * FCharWidth;
    if (text.empty()) {
        if (Look.Opaque) {
            canvas.FillRect(Rect, Look.BkColor);
        }
        return;
    }
    const bool underlined = Look.Style.Contains(fsUnderline);
    canvas.TextOut({x, Y, text, FCharWidth, Look.Color, Look.BkColor,
                    underlined ? WithoutUnderline(Look.Style) : Look.Style, Look.Opaque, Rect});
    if (underlined) {
        DrawDottedUnderline(Rect, x, Y, static_cast<int>(text.size()), Look);
    }
}

// A dotted line under Columns cells from X, in the text colour on the background colour, with
// its dots on even pixels of the window.
void TEditorView::DrawDottedUnderline(const TRect& Rect, int X, int Y, int Columns,
                                      const TTextLook& Look) {
    Surface& canvas = PaintSurface();
    const int left = std::max(X, Rect.Left);
    const int right = std::min(X + Columns * FCharWidth, Rect.Right);
    if (left >= right) {
        return;
    }
    const TDotLineItem& line = TDotLineCollection::Global().Find(canvas, Look.Color, Look.BkColor,
                                                                 FHost->ScreenSize().Width + 1);
    const int y = Y + FFontHeight - 1;
    canvas.CopyFrom({left, y, right, y + 1}, line.Line(), {left & 1, 0});
}

// Marks

TColor TEditorView::MarkColorOf(const TEditorMark& Mark, bool Selected) const {
    return Selected ? SelectionLook().Color : ForegroundOf(Mark.GetColor());
}

void TEditorView::DrawEofMark(int X, int Y, bool Selected) {
    const int textLeft = GetTextLeft();
    const TRect box{std::max(X, textLeft), Y,
                    std::min(X + kEofColumns * FCharWidth, ClientRect().Right), Y + FFontHeight};
    if (box.IsEmpty()) {
        return;
    }
    TTextLook look = Selected ? SelectionLook() : DefaultLook();
    look.Color = MarkColorOf(FMarks->GetEofMark(), Selected);
    DrawTextAt(box, X, Y, kEofText, look);
}

void TEditorView::DrawRetMark(int X, int Y, bool Selected) {
    if (X < GetTextLeft()) {
        return;
    }
    const TColor color = MarkColorOf(FMarks->GetRetMark(), Selected);
    const int d = std::max(1, FFontHeight / 8);
    const int f = std::max(d, 3);
    const int x = X + FCharWidth / 2;
    const int bottom = Y + FFontHeight - 2 * d;
    Surface& canvas = PaintSurface();
    canvas.Line({x, Y + 2 * d}, {x, bottom}, color);
    canvas.Line({x, bottom}, {x - f, bottom - f}, color);
    canvas.Line({x, bottom}, {x + f, bottom - f}, color);
}

void TEditorView::DrawWrapMark(int X, int Y, bool Selected) {
    if (X < GetTextLeft()) {
        return;
    }
    const TColor color = MarkColorOf(FMarks->GetWrapMark(), Selected);
    const int e = std::max(2, FCharWidth * 3 / 5);
    const int m = Y + FFontHeight / 2;
    const int right = X + FCharWidth;
    Surface& canvas = PaintSurface();
    canvas.Line({right, m - e}, {right - e, m}, color);
    canvas.Line({right - e, m}, {right + 1, m + e + 1}, color);
}

void TEditorView::DrawHideMark(int X, int Y, bool Selected) {
    if (X < GetTextLeft()) {
        return;
    }
    const TColor color = MarkColorOf(FMarks->GetHideMark(), Selected);
    const int e = std::max(2, FCharWidth * 3 / 5);
    const int m = Y + FFontHeight / 2;
    const int right = X + FCharWidth;
    Surface& canvas = PaintSurface();
    canvas.Line({right - e, m - e}, {right, m}, color);
    canvas.Line({right, m}, {right - e - 1, m + e + 1}, color);
}

void TEditorView::DrawUnderline(int Row) {
    DrawUnderlineIn(Row, ForegroundOf(FMarks->GetUnderline().GetColor()));
}

void TEditorView::EraseUnderline(int Row) {
    DrawUnderlineIn(Row, FColor);
}

void TEditorView::DrawUnderlineIn(int Row, TColor Color) {
    if (!CanDraw()) {
        return;
    }
    const int y = RowTop(Row) + FFontHeight;
    if (y <= GetTextTop() || y >= ClientRect().Bottom) {
        return;
    }
    PaintSurface().Line({GetTextLeft(), y}, {ClientRect().Right, y}, Color);
}

// Bars

void TEditorView::PaintLeftbar(int FromRow, int ToRow) {
    Surface& canvas = PaintSurface();
    const int rowHeight = GetRowHeight();
    const int top = RowTop(FromRow);
    const int bottom = RowTop(ToRow) + rowHeight;
    const int edgeX = FImagebarWidth + FLeftbarWidth - 2;
    if (FLeftbarEdgeBitmap != nullptr) {
        canvas.CopyFrom({edgeX, top, edgeX + 2, bottom}, *FLeftbarEdgeBitmap,
                        {0, top - GetTextTop()});
    }
    const TColor back = BackgroundOf(FLeftbar->GetBkColor());
    if (!FLeftbar->GetShowNumber()) {
        canvas.FillRect({FImagebarWidth, top, edgeX, bottom}, back);
        return;
    }
    const TTextLook look{ForegroundOf(FLeftbar->GetColor()), back, FFont.Style, true};
    const int textX = FImagebarWidth + Scaled(FLeftbar->GetLeftMargin());
    const TEditorScreenStrings& rows = *FScreenStrings;
    int line = rows.LineOfRow(std::min(FromRow, rows.GetCount()));
    for (int row = FromRow; row <= ToRow; ++row) {
        const int y = RowTop(row);
        const std::optional<int> index = LeftbarIndex(row, line);
        const std::string text = index
                                     ? LeftbarNumberText(*index + (FLeftbar->GetZeroBase() ? 0 : 1),
                                                         FLeftbarDigits, FLeftbar->GetZeroLead())
                                     : std::string();
        DrawTextAt({FImagebarWidth, y, edgeX, y + rowHeight}, textX, y, text, look);
        if (row < rows.GetCount() && rows.GetRowAttribute(row) != raWrap) {
            ++line;
        }
    }
}

// The index the left bar shows for Row (Line is its document line), or none for a blank cell.
std::optional<int> TEditorView::LeftbarIndex(int Row, int Line) const {
    const TEditorScreenStrings& rows = *FScreenStrings;
    const int count = rows.GetCount();
    if (Row > count) {
        return std::nullopt;
    }
    if (FLeftbar->GetShowNumberMode() == nmRow) {
        const bool numbered =
            Row < count || count == 0 || rows.GetRowAttribute(count - 1) != raEndOfText;
        return numbered ? std::optional<int>(Row) : std::nullopt;
    }
    if (Row > 0 && rows.GetRowAttribute(Row - 1) != raLineBreak) {
        return std::nullopt;
    }
    return Line;
}

void TEditorView::PaintImagebar(int FromRow, int ToRow) {
    Surface& canvas = PaintSurface();
    const int rowHeight = GetRowHeight();
    const bool leftbarColour = FLeftbar->GetVisible() && FLeftbar->GetBkColor() != clNone;
    canvas.FillRect({0, RowTop(FromRow), FImagebarWidth, RowTop(ToRow) + rowHeight},
                    leftbarColour ? FLeftbar->GetBkColor() : FColor);
    const TEditorScreenStrings& rows = *FScreenStrings;
    const TBuiltinMarkImages& images = TBuiltinMarkImages::Get(canvas);
    const int digitX = FImagebar->GetLeftMargin();
    const int shapeX = digitX + FImagebar->GetDigitWidth();
    for (int row = FromRow; row <= std::min(ToRow, rows.GetCount() - 1); ++row) {
        const TRect cell{0, RowTop(row), FImagebarWidth, RowTop(row) + rowHeight};
        if (ProblemMarkOf) {
            DrawProblemMark(canvas, cell, ProblemMarkOf(row));
        }
        const std::uint16_t marks = rows.GetRowMarks(row);
        if (marks == 0) {
            continue;
        }
        const int y = cell.Top + kMarkImageTop;
        const auto digits = static_cast<std::uint16_t>(marks & kDigitMarks);
        if (digits != 0) {
            const int digit = std::countr_zero(digits);
            DrawMarkImage(canvas, cell, digitX, y,
                          ChooseMarkImage(FImageDigits, digit, images.Digit(digit), kDigitMarkSize,
                                          kDigitMarkKey));
        }
        const auto shapes = static_cast<std::uint16_t>(marks >> kShapeMarkShift);
        if (shapes != 0) {
            const int shape = std::countr_zero(shapes);
            DrawMarkImage(canvas, cell, shapeX, y,
                          ChooseMarkImage(FImageMarks, shape, images.Shape(shape), kShapeMarkSize,
                                          kShapeMarkKey));
        }
    }
}

// Ruler

void TEditorView::PaintRuler() {
    if (FRulerBitmap == nullptr) {
        return;
    }
    RenderRulerImages();
    const int gaugeRange = FRuler->GetGaugeRange();
    PaintSurface().CopyFrom({GetTextLeft(), 0, ClientRect().Right, FRulerHeight}, *FRulerBitmap,
                            {FCharWidth * (FTopCol % gaugeRange), 0});
    DrawRulerMark(GetCol());
}

// The ruler and its mark image: the gauge, then a label every GaugeRange columns from the first
// unit on screen. The label past 999 stands on a cleared background and is the last.
void TEditorView::RenderRulerImages() {
    const int width = FRulerBitmap->Size().Width;
    const int gaugeRange = FRuler->GetGaugeRange();
    const int clearHeight = FRulerHeight - (FRuler->GetEdge() ? 2 : 1);
    const TColor back = BackgroundOf(FRuler->GetBkColor());
    const TRulerDigits digits = RulerDigitsAt(DrawnScalePercent(FDpi));
    FRulerBitmap->CopyFrom({0, 0, width, FRulerHeight}, *FGaugeBitmap, {0, 0});
    FRulerMarkBitmap->FillRect({0, 0, width, FRulerHeight}, ForegroundOf(FRuler->GetMarkColor()));
    int column = gaugeRange * (FTopCol / gaugeRange);
    for (int x = 1; x < width; x += gaugeRange * FCharWidth, column += gaugeRange) {
        const bool last = column > 999;
        if (last) {
            FRulerBitmap->FillRect({x, 0, width, clearHeight}, back);
        }
        DrawRulerLabel(*FRulerBitmap, *FRulerGlyphBitmap, digits, column, x);
        DrawRulerLabel(*FRulerMarkBitmap, *FMarkGlyphBitmap, digits, column, x);
        if (last) {
            break;
        }
    }
}

void TEditorView::DrawRulerMark(int Col) {
    CopyRulerCell(Col, FRulerMarkBitmap.get());
}

void TEditorView::EraseRulerMark(int Col) {
    CopyRulerCell(Col, FRulerBitmap.get());
}

// Copies the ruler cell of column Col from Source (the ruler image or its mark image).
void TEditorView::CopyRulerCell(int Col, const Surface* Source) {
    if (!CanDraw() || !FRuler->GetVisible() || Source == nullptr || Col < FTopCol) {
        return;
    }
    const int offset = FCharWidth * (Col - FTopCol) + 1;
    const int x = GetTextLeft() + offset;
    if (x >= ClientRect().Right) {
        return;
    }
    const int height = FRulerHeight - (FRuler->GetEdge() ? 2 : 1);
    const int unitShift = FCharWidth * (FTopCol % FRuler->GetGaugeRange());
    PaintSurface().CopyFrom({x, 0, x + FCharWidth - 1, height}, *Source, {offset + unitShift, 0});
}

// Cached bitmaps

std::unique_ptr<Surface> TEditorView::NewBitmap(TSize Size) const {
    return FHost->ClientSurface().CreateBitmap({std::max(1, Size.Width), std::max(1, Size.Height)});
}

void TEditorView::BuildBitmaps() {
    RebuildLeftbarEdge();
    RebuildRulerBitmaps();
    RebuildBackground();
}

void TEditorView::RebuildLeftbarEdge() {
    if (!HasWindow()) {
        return;
    }
    const int height = FHost->ScreenSize().Height;
    FLeftbarEdgeBitmap = NewBitmap({2, height});
    const bool edge = FLeftbar->GetEdge();
    FLeftbarEdgeBitmap->FillRect({0, 0, 1, height},
                                 edge ? clWhite : BackgroundOf(FLeftbar->GetBkColor()));
    FLeftbarEdgeBitmap->FillRect({1, 0, 2, height},
                                 edge ? clGray : ForegroundOf(FLeftbar->GetColor()));
}

void TEditorView::RebuildBackground() {
    if (!HasWindow()) {
        return;
    }
    const int textLeft = GetTextLeft();
    FBackgroundBitmap = NewBitmap({textLeft, GetTextTop()});
    Surface& background = *FBackgroundBitmap;
    const TSize size = background.Size();
    background.FillRect({0, 0, size.Width, size.Height}, FColor);
    int rulerLeft = 0;
    if (FLeftbar->GetVisible()) {
        rulerLeft = FImagebarWidth + FLeftbarWidth;
        background.FillRect({0, 0, rulerLeft, size.Height}, BackgroundOf(FLeftbar->GetBkColor()));
        if (FLeftbar->GetEdge() && FLeftbarEdgeBitmap != nullptr) {
            background.CopyFrom({rulerLeft - 2, 0, rulerLeft, size.Height}, *FLeftbarEdgeBitmap,
                                {0, 0});
        }
    }
    if (FRuler->GetVisible()) {
        background.FillRect({rulerLeft, 0, textLeft, FRulerHeight},
                            BackgroundOf(FRuler->GetBkColor()));
        if (FRuler->GetEdge() && FRulerEdgeBitmap != nullptr) {
            background.CopyFrom({rulerLeft, FRulerHeight - 2, textLeft, FRulerHeight},
                                *FRulerEdgeBitmap, {0, 0});
        }
    }
}

void TEditorView::RebuildRulerBitmaps() {
    if (!HasWindow()) {
        return;
    }
    const int screenWidth = FHost->ScreenSize().Width;
    FRulerEdgeBitmap = NewBitmap({screenWidth, 2});
    FRulerEdgeBitmap->FillRect({0, 0, screenWidth, 1}, clWhite);
    FRulerEdgeBitmap->FillRect({0, 1, screenWidth, 2}, clGray);
    if (FRulerHeight == 0) {
        FGaugeBitmap.reset();
        FRulerBitmap.reset();
        FRulerMarkBitmap.reset();
        return;
    }
    const TColor back = BackgroundOf(FRuler->GetBkColor());
    const TColor mark = ForegroundOf(FRuler->GetMarkColor());
    const TRulerDigits digits = RulerDigitsAt(DrawnScalePercent(FDpi));
    FRulerGlyphBitmap = NewBitmap(digits.StripSize);
    RenderDigitStrip(*FRulerGlyphBitmap, digits, ForegroundOf(FRuler->GetColor()), back);
    FMarkGlyphBitmap = NewBitmap(digits.StripSize);
    RenderDigitStrip(*FMarkGlyphBitmap, digits, back, mark);

    const int unitWidth = FRuler->GetGaugeRange() * FCharWidth;
    const TSize size{unitWidth * (screenWidth / unitWidth + 2), FRulerHeight};
    FGaugeBitmap = NewBitmap(size);
    RenderGauge(*FGaugeBitmap);
    FRulerBitmap = NewBitmap(size);
    FRulerMarkBitmap = NewBitmap(size);
}

// Gauge units side by side: a long tick at each unit's start, a middle one at its half, short ones
// at the other columns, and the edge or a line along the bottom.
void TEditorView::RenderGauge(Surface& Gauge) const {
    const TSize size = Gauge.Size();
    const int gaugeRange = FRuler->GetGaugeRange();
    const TColor color = ForegroundOf(FRuler->GetColor());
    Gauge.FillRect({0, 0, size.Width, size.Height}, BackgroundOf(FRuler->GetBkColor()));
    for (int column = 0; column * FCharWidth < size.Width; ++column) {
        const int step = column % gaugeRange;
        const int top = step == 0 ? 0 : Scaled(step == gaugeRange / 2 ? 3 : 6);
        Gauge.Line({column * FCharWidth, top}, {column * FCharWidth, FRulerHeight - 1}, color);
    }
    if (FRuler->GetEdge()) {
        Gauge.CopyFrom({0, FRulerHeight - 2, size.Width, FRulerHeight}, *FRulerEdgeBitmap, {0, 0});
    } else {
        Gauge.Line({0, FRulerHeight - 1}, {size.Width, FRulerHeight - 1}, color);
    }
}

// Invalidation and scrolling

// Rows FromRow..ToRow clipped to the visible ones, from Left to Right; empty when none is visible.
TRect TEditorView::VisibleRowsRect(int FromRow, int ToRow, int Left, int Right) const {
    const int first = std::max(FromRow, FTopRow);
    const int last = std::min(ToRow, FTopRow + FVisibleRows);
    if (last < first) {
        return {};
    }
    return {Left, RowTop(first), Right,
            std::min(RowTop(last) + GetRowHeight(), ClientRect().Bottom)};
}

void TEditorView::InvalidateRow(int Row) {
    if (!HasWindow()) {
        return;
    }
    const TRect rect = VisibleRowsRect(Row, Row, 0, ClientRect().Right);
    if (!rect.IsEmpty()) {
        FHost->Invalidate(rect);
    }
}

void TEditorView::InvalidateRows(int FromRow, int ToRow) {
    if (!HasWindow()) {
        return;
    }
    const TRect rect = VisibleRowsRect(FromRow, ToRow, 0, ClientRect().Right);
    if (!rect.IsEmpty()) {
        FHost->Invalidate(rect);
    }
}

void TEditorView::InvalidateLeftbar(int FromRow, int ToRow) {
    if (!HasWindow()) {
        return;
    }
    const TRect rect =
        VisibleRowsRect(FromRow, ToRow, FImagebarWidth, FImagebarWidth + FLeftbarWidth);
    if (!rect.IsEmpty()) {
        FHost->Invalidate(rect);
    }
}

void TEditorView::ScrollRows(int FromRow, int Delta) {
    ScrollRowPixels(FromRow, Delta, GetTextLeft(), ClientRect().Right);
}

void TEditorView::ScrollImagebarRows(int FromRow, int Delta) {
    ScrollRowPixels(FromRow, Delta, 0, FImagebarWidth);
}

// Moves the pixels between Left and Right from FromRow's top to the bottom by Delta rows (at most
// a screen and a row).
void TEditorView::ScrollRowPixels(int FromRow, int Delta, int Left, int Right) {
    if (!HasWindow()) {
        return;
    }
    const int limit = FVisibleRows + 1;
    const int delta = std::clamp(Delta, -limit, limit);
    const TRect area{Left, std::max(GetTextTop(), RowTop(FromRow)), Right, ClientRect().Bottom};
    if (delta == 0 || area.IsEmpty()) {
        return;
    }
    FHost->ScrollPixels(0, delta * GetRowHeight(), area, area);
}

// TEditorScreen

void TEditorScreen::Update(const TUpdateInfo& Info) {
    if (!Info.UpdatePending || !FEditor.HasWindow()) {
        return;
    }
    EditorHost& host = *FEditor.GetHost();
    const TSize client = host.ClientSize();
    const int start = Info.UpdateStartRow;
    const int oldRows = Info.UpdateOldRows;
    const int newRows = Info.UpdateNewRows;
    if (std::abs(newRows - oldRows) > FEditor.GetVisibleRows()) {
        host.Invalidate({0, FEditor.GetTextTop(), client.Width, client.Height});
        host.Update();
        return;
    }
    const int end = start + std::max(newRows, Info.UpdateParsedRows);
    const bool pastLastRow = end >= FEditor.ScreenStrings().GetCount();
    if (oldRows == newRows) {
        FEditor.InvalidateRows(start, pastLastRow ? end + 1 : end - 1);
    } else {
        // The edited rows are painted before the rows below them move.
        FEditor.InvalidateRows(start, end - 1);
        host.Update();
        if (FEditor.GetImagebar().GetVisible()) {
            FEditor.ScrollImagebarRows(end, newRows - oldRows);
        }
        FEditor.ScrollRows(end, newRows - oldRows);
        if (pastLastRow) {
            FEditor.InvalidateRows(end, end + 1);
        }
    }
    // Without word wrap, an edit that keeps the row count leaves every line where it was: the
    // numbers below it stand, and the one row past the text that may gain or lose its number is
    // repainted with the edited rows above. Repainting them all made a typed character cost
    // twice as much under Wine.
    const bool linesMayMove = oldRows != newRows || FEditor.GetWordWrap();
    if (linesMayMove) {
        InvalidateLeftbarNumbers(end, oldRows != newRows);
    }
    host.Update();
}

// The left bar's numbers from row End to the bottom of the view: line numbers shift after every
// edit, row numbers only where the rows past the text come into view.
void TEditorScreen::InvalidateLeftbarNumbers(int End, bool RowCountChanged) {
    const TEditorLeftbar& leftbar = FEditor.GetLeftbar();
    if (!leftbar.GetVisible() || !leftbar.GetShowNumber()) {
        return;
    }
    const int bottomRow = FEditor.GetTopRow() + FEditor.GetVisibleRows();
    const bool pastText = bottomRow >= FEditor.ScreenStrings().GetCount();
    if (leftbar.GetShowNumberMode() == nmLine || (RowCountChanged && pastText)) {
        FEditor.InvalidateLeftbar(End, bottomRow);
    }
}

void TEditorScreen::LeftbarWidthChanged(int OldWidth) {
    const int newWidth = FEditor.GetLeftbarWidth();
    if (!FEditor.HasWindow() || newWidth == OldWidth) {
        return;
    }
    EditorHost& host = *FEditor.GetHost();
    const TSize client = host.ClientSize();
    const int barLeft = FEditor.GetImagebarWidth();
    const TRect area{barLeft, 0, client.Width, client.Height};
    host.ScrollPixels(newWidth - OldWidth, 0, area, area);
    host.Invalidate({0, 0, barLeft + std::max(OldWidth, newWidth), client.Height});
    host.Update();
}

} // namespace kst
