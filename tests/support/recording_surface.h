// A drawing surface for tests: it keeps the pixels of fills, lines, pixel writes and copies, and
// records every call so that a test can ask what was drawn where. Text is recorded, and an opaque
// run fills its clip rectangle, but glyphs leave no pixels.
#pragma once

#include "platform/surface.h"

#include <memory>
#include <string>
#include <vector>

namespace kst {

class RecordingSurface : public Surface {
public:
    enum class TOpKind { Fill, Text, Line, Pixel, Copy, CopyTransparent };

    struct TDrawOp {
        TOpKind Kind = TOpKind::Fill;
        TRect Rect; // filled, clipped to (text), or destination (copies)
        TPoint From;
        TPoint To;
        std::string Text;
        int CellWidth = 0;
        TColor Color = 0;
        TColor BkColor = 0;
        TFontStyles Style;
        bool Opaque = false;
        const Surface* Source = nullptr;
        TPoint SourceOrigin;
    };

    explicit RecordingSurface(TSize Size);

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

    // The metrics every selected font reports; an italic font reports Italic as well.
    TFontMetrics Metrics{16, 0, 8, false};
    TFontSpec SelectedFont;
    std::vector<TDrawOp> Ops;

    void ClearOps() { Ops.clear(); }

private:
    bool Inside(TPoint At) const;
    void Put(TPoint At, TColor Color);
    void CopyPixels(const TRect& Dest, const Surface& Source, TPoint SourceOrigin,
                    const TColor* Key);

    TSize FSize;
    std::vector<TColor> FPixels;
};

} // namespace kst
