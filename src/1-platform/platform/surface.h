// The drawing interface the editor paints through: a window's client area during a paint, or an
// off-screen bitmap. Colours are Windows colour values (0x00BBGGRR); clNone is never passed here.
#pragma once

#include "core/colors.h"
#include "platform/geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kst {

// Character set numbers of the fonts the editor uses.
constexpr std::uint8_t kDefaultCharset = 1;
constexpr std::uint8_t kShiftJisCharset = 128;

// A font as the editor asks for it. Height follows the Windows rule: negative is the character
// height in pixels, positive the cell height.
struct TFontSpec {
    std::string Name; // UTF-8
    int Height = -12;
    std::uint8_t Charset = kDefaultCharset;
    TFontStyles Style;

    bool operator==(const TFontSpec&) const = default;
};

// The metrics of the selected font, in pixels.
struct TFontMetrics {
    int Height = 0;
    int ExternalLeading = 0;
    int AveCharWidth = 0;
    bool Italic = false;

    bool operator==(const TFontMetrics&) const = default;
};

// One run of text in fixed cells. Text is CP932 bytes; every byte advances exactly CellWidth
// pixels, so a double-byte character takes two cells. The run is drawn in the selected font with
// Style, clipped to Clip. Opaque fills Clip with BkColor first; otherwise only the glyphs are
// drawn.
struct TTextCells {
    int X = 0;
    int Y = 0;
    std::string_view Text;
    int CellWidth = 0;
    TColor Color = clBlack;
    TColor BkColor = clWhite;
    TFontStyles Style;
    bool Opaque = true;
    TRect Clip;
};

class Surface {
public:
    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    virtual ~Surface() = default;

    // The drawable size: the bitmap's, or the window's client area.
    virtual TSize Size() const = 0;

    virtual void FillRect(const TRect& Rect, TColor Color) = 0;
    virtual void TextOut(const TTextCells& Run) = 0;

    // The font of the following text runs; FontMetrics describes it.
    virtual void SelectFont(const TFontSpec& Font) = 0;
    virtual TFontMetrics FontMetrics() const = 0;

    // A 1-pixel line from From to To, To itself not drawn.
    virtual void Line(TPoint From, TPoint To, TColor Color) = 0;
    virtual void SetPixel(TPoint At, TColor Color) = 0;
    virtual TColor GetPixel(TPoint At) const = 0;

    // A new off-screen bitmap compatible with this surface, filled with white.
    virtual std::unique_ptr<Surface> CreateBitmap(TSize Size) const = 0;
    // Copies Dest's size of pixels from Source at SourceOrigin to Dest.
    virtual void CopyFrom(const TRect& Dest, const Surface& Source, TPoint SourceOrigin) = 0;
    // The same, leaving out the source pixels of colour Key.
    virtual void CopyTransparent(const TRect& Dest, const Surface& Source, TPoint SourceOrigin,
                                 TColor Key) = 0;
};

} // namespace kst
