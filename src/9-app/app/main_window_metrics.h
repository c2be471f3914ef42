// The main window's sizes in pixels on a screen of a given density: its design sizes, made for
// 96 dots per inch, scaled to the window's. The Windows layer lays the window out by them and
// takes them anew when the window moves to a screen of another density.
#pragma once

#include "platform/geometry.h"

namespace kst {

struct TMainWindowMetrics {
    // Where the window first appears, before the settings give its size.
    TPoint Position;
    TSize Size;
    // The window font's height ("ＭＳ Ｐゴシック", 9 points), negative: without internal leading.
    int FontHeight;
    // The side of the tool bar and menu pictures: 16, 24 or 32 for those drawn for 100 %, 150 % or
    // 200 % (DrawnScalePercent).
    int ImageSize;
    int StatusBoxWidth;
    // The status bar's parts of the caret's place and of the encoding.
    int StatusCaretPartWidth;
    int StatusEncodingPartWidth;
    // The search results list: its height when first shown and its items' height.
    int ListHeight;
    int ListItemHeight;
    int SplitterHeight;
    // After a move of the splitter the list is at least MinListHeight high and leaves
    // PanelAboveList of the client panel above it.
    int MinListHeight;
    int PanelAboveList;

    bool operator==(const TMainWindowMetrics&) const = default;
};

TMainWindowMetrics MainWindowMetrics(int Dpi);

} // namespace kst
