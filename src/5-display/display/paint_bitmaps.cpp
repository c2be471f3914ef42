#include "display/paint_bitmaps.h"

#include <array>
#include <cstddef>
#include <cstdlib>

namespace kst {

namespace {

// Each digit is 4 pixels wide ("1" 2) and 7 high, drawn from row kGlyphTop of its cell.
constexpr int kGlyphRows = 7;
constexpr int kGlyphColumns = 4;
constexpr int kGlyphTop = 1;

using GlyphPattern = std::array<const char*, kGlyphRows>;

constexpr std::array<GlyphPattern, 10> kDigitPatterns{{
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

// Sets the pixels of Digit's pattern in Color with its top-left corner at Origin.
void DrawGlyph(Surface& Target, int Digit, TPoint Origin, TColor Color) {
    const GlyphPattern& pattern = kDigitPatterns[static_cast<std::size_t>(Digit)];
    for (int y = 0; y < kGlyphRows; ++y) {
        for (int x = 0; x < kGlyphColumns; ++x) {
            if (pattern[static_cast<std::size_t>(y)][x] == '#') {
                Target.SetPixel({Origin.X + x, Origin.Y + y}, Color);
            }
        }
    }
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
    DrawGlyph(*image, Digit, {2, 2}, kBadgeDigitColor);
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

void RenderDigitStrip(Surface& Strip, TColor Color, TColor BkColor) {
    Strip.FillRect({0, 0, kDigitStripWidth, kDigitGlyphHeight}, BkColor);
    for (int digit = 0; digit < 10; ++digit) {
        DrawGlyph(Strip, digit, {digit * kDigitGlyphWidth, kGlyphTop}, Color);
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
