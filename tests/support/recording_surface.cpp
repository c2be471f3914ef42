#include "recording_surface.h"

#include <cstdlib>

namespace kst {

RecordingSurface::RecordingSurface(TSize Size)
    : FSize(Size), FPixels(static_cast<std::size_t>(Size.Width) * Size.Height, clWhite) {}

bool RecordingSurface::Inside(TPoint At) const {
    return At.X >= 0 && At.Y >= 0 && At.X < FSize.Width && At.Y < FSize.Height;
}

void RecordingSurface::Put(TPoint At, TColor Color) {
    if (Inside(At)) {
        FPixels[static_cast<std::size_t>(At.Y) * FSize.Width + At.X] = Color;
    }
}

void RecordingSurface::FillRect(const TRect& Rect, TColor Color) {
    TDrawOp op;
    op.Kind = TOpKind::Fill;
    op.Rect = Rect;
    op.Color = Color;
    Ops.push_back(op);
    for (int y = Rect.Top; y < Rect.Bottom; ++y) {
        for (int x = Rect.Left; x < Rect.Right; ++x) {
            Put({x, y}, Color);
        }
    }
}

void RecordingSurface::TextOut(const TTextCells& Run) {
    TDrawOp op;
    op.Kind = TOpKind::Text;
    op.Rect = Run.Clip;
    op.From = {Run.X, Run.Y};
    op.Text = std::string(Run.Text);
    op.CellWidth = Run.CellWidth;
    op.Color = Run.Color;
    op.BkColor = Run.BkColor;
    op.Style = Run.Style;
    op.Opaque = Run.Opaque;
    Ops.push_back(op);
    if (Run.Opaque) {
        for (int y = Run.Clip.Top; y < Run.Clip.Bottom; ++y) {
            for (int x = Run.Clip.Left; x < Run.Clip.Right; ++x) {
                Put({x, y}, Run.BkColor);
            }
        }
    }
}

void RecordingSurface::SelectFont(const TFontSpec& Font) {
    SelectedFont = Font;
}

TFontMetrics RecordingSurface::FontMetrics() const {
    TFontMetrics metrics = Metrics;
    metrics.Italic = metrics.Italic || SelectedFont.Style.Contains(fsItalic);
    return metrics;
}

// Bresenham's walk, the end point left out as the window system does.
void RecordingSurface::Line(TPoint From, TPoint To, TColor Color) {
    TDrawOp op;
    op.Kind = TOpKind::Line;
    op.From = From;
    op.To = To;
    op.Color = Color;
    Ops.push_back(op);
    const int dx = std::abs(To.X - From.X);
    const int dy = -std::abs(To.Y - From.Y);
    const int sx = From.X < To.X ? 1 : -1;
    const int sy = From.Y < To.Y ? 1 : -1;
    int error = dx + dy;
    TPoint p = From;
    while (p != To) {
        Put(p, Color);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.X += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.Y += sy;
        }
    }
}

void RecordingSurface::SetPixel(TPoint At, TColor Color) {
    TDrawOp op;
    op.Kind = TOpKind::Pixel;
    op.From = At;
    op.Color = Color;
    Ops.push_back(op);
    Put(At, Color);
}

TColor RecordingSurface::GetPixel(TPoint At) const {
    return Inside(At) ? FPixels[static_cast<std::size_t>(At.Y) * FSize.Width + At.X] : clNone;
}

std::unique_ptr<Surface> RecordingSurface::CreateBitmap(TSize Size) const {
    auto bitmap = std::make_unique<RecordingSurface>(Size);
    bitmap->Metrics = Metrics;
    return bitmap;
}

void RecordingSurface::CopyPixels(const TRect& Dest, const Surface& Source, TPoint SourceOrigin,
                                  const TColor* Key) {
    TDrawOp op;
    op.Kind = Key != nullptr ? TOpKind::CopyTransparent : TOpKind::Copy;
    op.Rect = Dest;
    op.Source = &Source;
    op.SourceOrigin = SourceOrigin;
    op.Color = Key != nullptr ? *Key : 0;
    Ops.push_back(op);
    for (int y = 0; y < Dest.Height(); ++y) {
        for (int x = 0; x < Dest.Width(); ++x) {
            const TColor pixel = Source.GetPixel({SourceOrigin.X + x, SourceOrigin.Y + y});
            if (pixel != clNone && (Key == nullptr || pixel != *Key)) {
                Put({Dest.Left + x, Dest.Top + y}, pixel);
            }
        }
    }
}

void RecordingSurface::CopyFrom(const TRect& Dest, const Surface& Source, TPoint SourceOrigin) {
    CopyPixels(Dest, Source, SourceOrigin, nullptr);
}

void RecordingSurface::CopyTransparent(const TRect& Dest, const Surface& Source,
                                       TPoint SourceOrigin, TColor Key) {
    CopyPixels(Dest, Source, SourceOrigin, &Key);
}

} // namespace kst
