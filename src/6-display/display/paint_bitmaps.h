// The painter's built-in images: the ruler's digit glyphs, the row-mark images shown in the image
// bar when no image list supplies one, and the cache of dotted lines used for underlined text.
#pragma once

#include "platform/surface.h"

#include <memory>
#include <vector>

namespace kst {

// Ruler digits, drawn for screens at 100 %, 150 % and 200 % (DrawnScalePercent): a strip of
// StripSize pixels holding the digits 0 to 9, digit d at x = d x Width. A digit takes Width
// pixels on the ruler, the narrow "1" only NarrowOneWidth. At 100 % the strip is 56 x 9 and a
// digit 5 pixels wide.
struct TRulerDigits {
    int ScalePercent;
    TSize StripSize;
    int Width;
    int NarrowOneWidth;

    // Pixels a digit advances on the ruler.
    int Advance(int Digit) const { return Digit == 1 ? NarrowOneWidth : Width; }
};

// The digits drawn for ScalePercent: 100, 150 or 200.
TRulerDigits RulerDigitsAt(int ScalePercent);

// Draws the ten digits in Color on BkColor into Strip's top-left Digits.StripSize pixels.
void RenderDigitStrip(Surface& Strip, const TRulerDigits& Digits, TColor Color, TColor BkColor);

// Built-in row-mark images: marks 0..9 as digit badges, marks 10..15 as six shapes.
constexpr TSize kDigitMarkSize{8, 11};
constexpr TSize kShapeMarkSize{11, 11};
constexpr TColor kDigitMarkKey = 0x0000FF; // red: transparent in the digit badges
constexpr TColor kShapeMarkKey = clWhite;  // transparent in the shapes
constexpr int kDigitMarkCount = 10;
constexpr int kShapeMarkCount = 6;

// The built-in mark images, made once from the first surface that asks and kept until the
// program ends.
class TBuiltinMarkImages {
public:
    // The images, made compatible with Like on first use.
    static const TBuiltinMarkImages& Get(const Surface& Like);

    // Digit 0..9 ("DD00".."DD09") and shape 0..5 ("DM00".."DM05").
    const Surface& Digit(int Index) const { return *FDigits.at(static_cast<std::size_t>(Index)); }
    const Surface& Shape(int Index) const { return *FShapes.at(static_cast<std::size_t>(Index)); }

private:
    explicit TBuiltinMarkImages(const Surface& Like);

    std::vector<std::unique_ptr<Surface>> FDigits;
    std::vector<std::unique_ptr<Surface>> FShapes;
};

// A 1-pixel-high line of alternating pixels, the first one in the dot colour.
class TDotLineItem {
public:
    TDotLineItem(const Surface& Like, TColor DotColor, TColor GapColor, int Width);

    TColor DotColor() const { return FDotColor; }
    TColor GapColor() const { return FGapColor; }
    const Surface& Line() const { return *FLine; }
    int Width() const { return FLine->Size().Width; }

private:
    TColor FDotColor;
    TColor FGapColor;
    std::unique_ptr<Surface> FLine;
};

// The dotted lines drawn so far, one per colour pair, kept until the program ends.
class TDotLineCollection {
public:
    static TDotLineCollection& Global();

    // The line for the pair, at least Width pixels wide; made on first use.
    const TDotLineItem& Find(const Surface& Like, TColor DotColor, TColor GapColor, int Width);

private:
    std::vector<std::unique_ptr<TDotLineItem>> FItems;
};

} // namespace kst
