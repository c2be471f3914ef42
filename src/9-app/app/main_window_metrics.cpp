#include "app/main_window_metrics.h"

#include "platform/dpi.h"

namespace kst {

namespace {

constexpr int kFontPoints = 9;
constexpr int kImageSize = 16;

} // namespace

// The numbers are the sizes at 96 dots per inch.
TMainWindowMetrics MainWindowMetrics(int Dpi) {
    const auto scaled = [Dpi](int Pixels) { return ScalePixels(Pixels, kDesignDpi, Dpi); };
    return {.Position = {scaled(302), scaled(113)},
            .Size = {scaled(600), scaled(500)},
            .FontHeight = -ScalePixels(kFontPoints, kPointsPerInch, Dpi),
            .ImageSize = kImageSize * DrawnScalePercent(Dpi) / 100,
            .StatusBoxWidth = scaled(120),
            .StatusCaretPartWidth = scaled(170),
            .StatusEncodingPartWidth = scaled(90),
            .ListHeight = scaled(95),
            .ListItemHeight = scaled(12),
            .SplitterHeight = scaled(3),
            .MinListHeight = scaled(80),
            .PanelAboveList = scaled(100)};
}

} // namespace kst
