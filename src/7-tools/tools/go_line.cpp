#include "tools/go_line.h"

#include "core/errors.h"
#include "input/editor.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace kst {

namespace {

// Rows up to this one scroll the text to its top.
constexpr int kTopRowsShownWhole = 5;
constexpr int kRowsAboveCaret = 2;

} // namespace

int LineNumberFromText(std::string_view Text) {
    std::string digits;
    std::ranges::copy_if(Text, std::back_inserter(digits),
                         [](char Ch) { return Ch >= '0' && Ch <= '9'; });
    if (digits.empty()) {
        return -1;
    }
    int number = 0;
    if (std::from_chars(digits.data(), digits.data() + digits.size(), number).ec != std::errc()) {
        RaiseInvalidInteger(digits);
    }
    return number;
}

void GoToLine(TEditor& Editor, int LineNumber) {
    if (LineNumber < 1) {
        return;
    }
    const int lineCount = Editor.GetLines().GetCount();
    const int row =
        lineCount == 0 ? 0 : Editor.GetLines().LineToRow(std::min(LineNumber, lineCount) - 1);
    Editor.SetRowCol(row, 0);
    Editor.SetTopRow(Editor.GetRow() <= kTopRowsShownWhole ? 0 : Editor.GetRow() - kRowsAboveCaret);
}

} // namespace kst
