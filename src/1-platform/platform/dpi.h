// Pixel sizes on screens of any density. The program's sizes are designed for 96 dots per inch, a
// screen at 100 %; a screen scaled to 150 % has 144 and one at 200 % has 192. Every size in
// pixels is decided by scaling its design size to the window's dots per inch, which the Windows
// layer reports through the platform interfaces.
#pragma once

namespace kst {

inline constexpr int kDesignDpi = 96;
// A font size in points is a size in pixels at 72 dots per inch.
inline constexpr int kPointsPerInch = 72;

// A size of Pixels (0 or more) at FromDpi as pixels at ToDpi, to the nearest pixel (halves up), so
// that it keeps its length on the screen: ScalePixels(16, kDesignDpi, 144) is 24.
constexpr int ScalePixels(int Pixels, int FromDpi, int ToDpi) {
    return static_cast<int>((static_cast<long long>(Pixels) * ToDpi + FromDpi / 2) / FromDpi);
}

// Pictures drawn pixel by pixel (the tool bar's, the ruler's digits) are drawn for 100 %, 150 %
// and 200 %. A screen of Dpi dots per inch shows those of the largest of these scales that is not
// above its own, so that no picture is ever stretched.
constexpr int DrawnScalePercent(int Dpi) {
    if (Dpi >= 2 * kDesignDpi) {
        return 200;
    }
    return Dpi >= kDesignDpi * 3 / 2 ? 150 : 100;
}

} // namespace kst
