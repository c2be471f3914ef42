#include "app/main_window_metrics.h"

#include <gtest/gtest.h>

namespace kst {
namespace {

// The design sizes at 100 %, 125 %, 150 %, 175 % and 200 %: lengths keep their size on the
// screen, and the pictures are those drawn for 100 %, 150 % or 200 %, never stretched.
TEST(MainWindowMetrics, ScaleWithTheScreensDotsPerInch) {
    const TMainWindowMetrics kTable[] = {
        {{302, 113}, {600, 500}, -12, 16, 120, 170, 90, 95, 12, 3, 80, 100},
        {{378, 141}, {750, 625}, -15, 16, 150, 213, 113, 119, 15, 4, 100, 125},
        {{453, 170}, {900, 750}, -18, 24, 180, 255, 135, 143, 18, 5, 120, 150},
        {{529, 198}, {1050, 875}, -21, 24, 210, 298, 158, 166, 21, 5, 140, 175},
        {{604, 226}, {1200, 1000}, -24, 32, 240, 340, 180, 190, 24, 6, 160, 200},
    };
    const int kDpis[] = {96, 120, 144, 168, 192};
    for (std::size_t row = 0; row < std::size(kDpis); ++row) {
        EXPECT_EQ(MainWindowMetrics(kDpis[row]), kTable[row]) << kDpis[row] << " dpi";
    }
}

} // namespace
} // namespace kst
