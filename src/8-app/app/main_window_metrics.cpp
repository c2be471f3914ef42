#include "app/main_window_metrics.h"

#include "platform/dpi.h"

namespace kst {

namespace {

constexpr int kFontPoints = 9;
// The sides of the pictures drawn for 100 %, 150 % and 200 %, smallest first.
constexpr int kDrawnImageSizes[] = {16, 24, 32};

int DrawnImageSize(int Wanted) {
    int chosen = kDrawnImageSizes[0];
    for (const int size : kDrawnImageSizes) {
        if (size <= Wanted) {
            chosen = size;
        }
    }
    return chosen;
}

} // namespace

// The numbers are the sizes at 96 dots per inch.
TMainWindowMetrics MainWindowMetrics(int Dpi) {
    const auto scaled = [Dpi](int Pixels) { return ScalePixels(Pixels, kDesignDpi, Dpi); };
    return {.Position = {scaled(302), scaled(113)},
            .Size = {scaled(600), scaled(500)},
            .FontHeight = -ScalePixels(kFontPoints, kPointsPerInch, Dpi),
            .ImageSize = DrawnImageSize(scaled(kDrawnImageSizes[0])),
            .StatusBoxWidth = scaled(120),
            .ListHeight = scaled(95),
            .ListItemHeight = scaled(12),
            .SplitterHeight = scaled(3),
            .MinListHeight = scaled(80),
            .PanelAboveList = scaled(100)};
}

} // namespace kst
