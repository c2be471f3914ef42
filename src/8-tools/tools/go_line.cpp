#include "tools/go_line.h"

#include "core/code_page.h"
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

// The byte where character Column (from 1) of Text starts; the text's length past its end.
int ByteOfCharacter(std::string_view Text, int Column) {
    std::size_t byte = 0;
    for (int character = 1; character < Column && byte < Text.size(); ++character) {
        byte += CharLengthAt(Text, byte);
    }
    return static_cast<int>(byte);
}

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

void GoToLine(TEditor& Editor, int LineNumber, int Column) {
    if (LineNumber < 1) {
        return;
    }
    const TEditorStrings& lines = Editor.GetLines();
    const int lineCount = lines.GetCount();
    if (lineCount == 0) {
        Editor.SetRowCol(0, 0);
    } else {
        const int line = std::min(LineNumber, lineCount) - 1;
        const int byte = Column > 1 ? ByteOfCharacter(lines.Get(line), Column) : 0;
        Editor.SetCaretByOffset(lines.LineToRow(line), byte);
    }
    Editor.SetTopRow(Editor.GetRow() <= kTopRowsShownWhole ? 0 : Editor.GetRow() - kRowsAboveCaret);
}

} // namespace kst
