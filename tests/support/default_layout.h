// An editor with its default settings on the recording surface, whose font is 16 pixels high and
// 8 wide: with the default margins (left 19, top 2) and the default image bar (12 pixels) the text
// starts at x 31, y 2.
#pragma once

#include <string>

namespace kst {

constexpr int kRowHeight = 16;
constexpr int kCharWidth = 8;
constexpr int kTextLeft = 31;
constexpr int kTextTop = 2;

// "line 0", "line 1", ... each followed by CR LF.
inline std::string NumberedLines(int Count) {
    std::string text;
    for (int i = 0; i < Count; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
    }
    return text;
}

} // namespace kst
