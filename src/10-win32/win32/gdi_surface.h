// The drawing surface over a Windows device context, and off-screen bitmaps for it.
#pragma once

#include "platform/surface.h"
#include "win32/windows_api.h"

#include <string>
#include <string_view>
#include <vector>

namespace kst::win32 {

// CP932 bytes as UTF-16 with one advance per UTF-16 unit, so that every byte takes one cell: a
// double-byte character's unit advances two cells.
struct TCellText {
    std::wstring Text;
    std::vector<INT> Advances;
};
TCellText CellText(std::string_view Text, int CellWidth);

// The font handle for Font, created on first use and kept until the program ends.
HFONT FontHandle(const TFontSpec& Font);

// Draws on a device context it does not own; the context's original font is restored when the
// surface goes.
class GdiSurface : public Surface {
public:
    GdiSurface(HDC DC, TSize Size);
    ~GdiSurface() override;

    HDC DC() const { return FDC; }

    TSize Size() const override { return FSize; }
    void FillRect(const TRect& Rect, TColor Color) override;
    void TextOut(const TTextCells& Run) override;
    void SelectFont(const TFontSpec& Font) override;
    TFontMetrics FontMetrics() const override;
    void Line(TPoint From, TPoint To, TColor Color) override;
    void SetPixel(TPoint At, TColor Color) override;
    TColor GetPixel(TPoint At) const override;
    std::unique_ptr<Surface> CreateBitmap(TSize Size) const override;
    void CopyFrom(const TRect& Dest, const Surface& Source, TPoint SourceOrigin) override;
    void CopyTransparent(const TRect& Dest, const Surface& Source, TPoint SourceOrigin,
                         TColor Key) override;

private:
    void UseFont(HFONT Font);

    HDC FDC;
    TSize FSize;
    TFontSpec FFont;
    HGDIOBJ FOriginalFont = nullptr;
};

// A 32-bit colour bitmap in its own memory device context.
class BitmapCanvas {
public:
    explicit BitmapCanvas(TSize Size);
    ~BitmapCanvas();
    BitmapCanvas(const BitmapCanvas&) = delete;
    BitmapCanvas& operator=(const BitmapCanvas&) = delete;

    HDC CanvasDC() const { return FDC; }

private:
    HDC FDC;
    HBITMAP FBitmap;
    HGDIOBJ FOriginalBitmap;
};

// An off-screen surface: a bitmap canvas drawn through GdiSurface, white when created.
class GdiBitmap final : private BitmapCanvas, public GdiSurface {
public:
    explicit GdiBitmap(TSize Size);
};

} // namespace kst::win32
