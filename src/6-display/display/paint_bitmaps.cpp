#include "display/paint_bitmaps.h"

#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <span>

namespace kst {

namespace {

// A digit's pixels row by row, "#" set.
using GlyphPattern = std::span<const char* const>;

// Each digit is 4 pixels wide ("1" 2) and 7 high.
constexpr std::array<std::array<const char*, 7>, 10> kDigitPatterns{{
    {".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."},
    {".#..", "##..", ".#..", ".#..", ".#..", ".#..", ".#.."},
    {".##.", "#..#", "...#", "..#.", ".#..", "#...", "####"},
    {"###.", "...#", "...#", ".##.", "...#", "...#", "###."},
    {"..#.", ".##.", "#.#.", "#.#.", "####", "..#.", "..#."},
    {"####", "#...", "###.", "...#", "...#", "#..#", ".##."},
    {".##.", "#...", "#...", "###.", "#..#", "#..#", ".##."},
    {"####", "...#", "..#.", "..#.", ".#..", ".#..", ".#.."},
    {".##.", "#..#", "#..#", ".##.", "#..#", "#..#", ".##."},
    {".##.", "#..#", "#..#", ".###", "...#", "...#", ".##."},
}};

// The digits for 150 %: 5 pixels wide ("1" 2) and 10 high, their strokes one pixel wide.
constexpr std::array<std::array<const char*, 10>, 10> kDigitPatterns150{{
    {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},
    {".#", "##", ".#", ".#", ".#", ".#", ".#", ".#", ".#", ".#"},
    {".###.", "#...#", "....#", "....#", "...#.", "..#..", ".#...", "#....", "#....", "#####"},
    {"####.", "....#", "....#", "....#", ".###.", "....#", "....#", "....#", "....#", "####."},
    {"...#.", "..##.", ".#.#.", ".#.#.", "#..#.", "#..#.", "#####", "...#.", "...#.", "...#."},
    {"#####", "#....", "#....", "####.", "....#", "....#", "....#", "....#", "#...#", ".###."},
    {".###.", "#....", "#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#", ".###."},
    {"#####", "....#", "....#", "...#.", "...#.", "..#..", "..#..", "..#..", ".#...", ".#..."},
    {".###.", "#...#", "#...#", "#...#", ".###.", "#...#", "#...#", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", "#...#", "#...#", ".####", "....#", "....#", "....#", ".###."},
}};

// Sets the pixels of Pattern in Color, each as a square of Pixel x Pixel, with the top-left
// corner at Origin.
void DrawGlyph(Surface& Target, GlyphPattern Pattern, TPoint Origin, int Pixel, TColor Color) {
    for (std::size_t y = 0; y < Pattern.size(); ++y) {
        const std::string_view row = Pattern[y];
        for (std::size_t x = 0; x < row.size(); ++x) {
            if (row[x] != '#') {
                continue;
            }
            const int left = Origin.X + static_cast<int>(x) * Pixel;
            const int top = Origin.Y + static_cast<int>(y) * Pixel;
            Target.FillRect({left, top, left + Pixel, top + Pixel}, Color);
        }
    }
}

// How a scale's digits are drawn: from which patterns, each pattern pixel as how many pixels, and
// how far below the strip's top.
struct TDigitDrawing {
    TRulerDigits Digits;
    GlyphPattern (*Pattern)(int Digit);
    int Pixel;
    int Top;
};

const TDigitDrawing& DigitDrawingAt(int ScalePercent) {
    static const TDigitDrawing kDrawings[] = {
        {{100, {56, 9}, 5, 3}, [](int D) -> GlyphPattern { return kDigitPatterns.at(D); }, 1, 1},
        {{150, {66, 13}, 6, 3},
         [](int D) -> GlyphPattern { return kDigitPatterns150.at(D); },
         1,
         2},
        {{200, {112, 18}, 10, 6}, [](int D) -> GlyphPattern { return kDigitPatterns.at(D); }, 2, 2},
    };
    for (const TDigitDrawing& drawing : kDrawings) {
        if (drawing.Digits.ScalePercent == ScalePercent) {
            return drawing;
        }
    }
    return kDrawings[0];
}

constexpr TColor kBadgeColor = 0x800000; // navy
constexpr TColor kBadgeDigitColor = clWhite;

std::unique_ptr<Surface> MakeDigitMark(const Surface& Like, int Digit) {
    std::unique_ptr<Surface> image = Like.CreateBitmap(kDigitMarkSize);
    const int right = kDigitMarkSize.Width - 1;
    const int bottom = kDigitMarkSize.Height - 1;
    image->FillRect({0, 0, kDigitMarkSize.Width, kDigitMarkSize.Height}, kBadgeColor);
    for (TPoint corner :
         {TPoint{0, 0}, TPoint{right, 0}, TPoint{0, bottom}, TPoint{right, bottom}}) {
        image->SetPixel(corner, kDigitMarkKey);
    }
    DrawGlyph(*image, kDigitPatterns.at(static_cast<std::size_t>(Digit)), {2, 2}, 1,
              kBadgeDigitColor);
    return image;
}

// A shape given by the pixels it covers, with its centre at (0, 0) and a radius of 5.
struct ShapeMark {
    TColor Color;
    bool (*Covers)(int X, int Y);
};

const std::array<ShapeMark, kShapeMarkCount>& ShapeMarks() {
    static const std::array<ShapeMark, kShapeMarkCount> shapes{{
        {0x0000C0, [](int X, int Y) { return X * X + Y * Y <= 26; }},                  // circle
        {0x008000, [](int X, int Y) { return std::abs(X) <= 4 && std::abs(Y) <= 4; }}, // square
        {0xC00000, [](int X, int Y) { return Y >= -4 && 2 * std::abs(X) <= Y + 5; }},  // triangle
        {0x800080, [](int X, int Y) { return std::abs(X) + std::abs(Y) <= 5; }},       // diamond
        {0x0080FF,
         [](int X, int Y) { return Y <= 4 && 2 * std::abs(X) <= 5 - Y; }}, // down triangle
        {0x808000, [](int X, int Y) { return std::abs(X) <= 1 || std::abs(Y) <= 1; }}, // cross
    }};
    return shapes;
}

std::unique_ptr<Surface> MakeShapeMark(const Surface& Like, const ShapeMark& Shape) {
    std::unique_ptr<Surface> image = Like.CreateBitmap(kShapeMarkSize);
    image->FillRect({0, 0, kShapeMarkSize.Width, kShapeMarkSize.Height}, kShapeMarkKey);
    const int centre = kShapeMarkSize.Width / 2;
    for (int y = 0; y < kShapeMarkSize.Height; ++y) {
        for (int x = 0; x < kShapeMarkSize.Width; ++x) {
            if (Shape.Covers(x - centre, y - centre)) {
                image->SetPixel({x, y}, Shape.Color);
            }
        }
    }
    return image;
}

} // namespace

TRulerDigits RulerDigitsAt(int ScalePercent) {
    return DigitDrawingAt(ScalePercent).Digits;
}

void RenderDigitStrip(Surface& Strip, const TRulerDigits& Digits, TColor Color, TColor BkColor) {
    const TDigitDrawing& drawing = DigitDrawingAt(Digits.ScalePercent);
    Strip.FillRect({0, 0, Digits.StripSize.Width, Digits.StripSize.Height}, BkColor);
    for (int digit = 0; digit < 10; ++digit) {
        DrawGlyph(Strip, drawing.Pattern(digit), {digit * Digits.Width, drawing.Top}, drawing.Pixel,
                  Color);
    }
}

TBuiltinMarkImages::TBuiltinMarkImages(const Surface& Like) {
    for (int digit = 0; digit < kDigitMarkCount; ++digit) {
        FDigits.push_back(MakeDigitMark(Like, digit));
    }
    for (const ShapeMark& shape : ShapeMarks()) {
        FShapes.push_back(MakeShapeMark(Like, shape));
    }
}

const TBuiltinMarkImages& TBuiltinMarkImages::Get(const Surface& Like) {
    static const TBuiltinMarkImages images(Like);
    return images;
}

TDotLineItem::TDotLineItem(const Surface& Like, TColor DotColor, TColor GapColor, int Width)
    : FDotColor(DotColor), FGapColor(GapColor), FLine(Like.CreateBitmap({Width, 1})) {
    FLine->FillRect({0, 0, Width, 1}, GapColor);
    for (int x = 0; x < Width; x += 2) {
        FLine->SetPixel({x, 0}, DotColor);
    }
}

TDotLineCollection& TDotLineCollection::Global() {
    static TDotLineCollection lines;
    return lines;
}

const TDotLineItem& TDotLineCollection::Find(const Surface& Like, TColor DotColor, TColor GapColor,
                                             int Width) {
    for (std::unique_ptr<TDotLineItem>& item : FItems) {
        if (item->DotColor() == DotColor && item->GapColor() == GapColor) {
            if (item->Width() < Width) {
                item = std::make_unique<TDotLineItem>(Like, DotColor, GapColor, Width);
            }
            return *item;
        }
    }
    FItems.push_back(std::make_unique<TDotLineItem>(Like, DotColor, GapColor, Width));
    return *FItems.back();
}

} // namespace kst
