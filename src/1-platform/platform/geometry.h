// Pixel geometry shared by the drawing surface, the editor's window host and the painter.
#pragma once

#include <algorithm>

namespace kst {

struct TPoint {
    int X = 0;
    int Y = 0;

    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int Width = 0;
    int Height = 0;

    bool operator==(const TSize&) const = default;
};

// A rectangle with exclusive right and bottom edges, as the window system keeps them.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(TPoint P) const {
        return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom;
    }
    bool Intersects(const TRect& Other) const { return !Intersection(*this, Other).IsEmpty(); }

    bool operator==(const TRect&) const = default;

    // The common part of A and B; empty (all zero) when they do not meet.
    static TRect Intersection(const TRect& A, const TRect& B) {
        const TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
                      std::min(A.Bottom, B.Bottom)};
        return r.IsEmpty() ? TRect{} : r;
    }
};

} // namespace kst
