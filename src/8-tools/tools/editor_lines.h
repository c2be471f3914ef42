// The editor's document lines for the tools that read a whole script, as views that stay valid
// while the text does not change.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

class TEditor;

class EditorLines {
public:
    explicit EditorLines(TEditor& Editor);
    EditorLines(const EditorLines&) = delete;
    EditorLines& operator=(const EditorLines&) = delete;

    std::span<const std::string_view> Lines() const { return FLines; }

private:
    std::string FText;
    std::vector<std::string_view> FLines;
};

// The document lines a selection covers: from the line of its first row to the line of its last
// row, which a selection ending at the start of a line does not take.
struct TLineSpan {
    int First = 0;
    int Last = -1;
    // Of the first line's start in the text.
    int FirstLineOffset = 0;
};

TLineSpan SelectedLines(const TEditor& Editor);

// The offset of a position (Row, Byte of the row) from the start of its document line: with word
// wrap a row's columns are not the line's.
int ByteInLine(const TEditor& Editor, int Row, int Byte);

bool HasSelection(const TEditor& Editor);

} // namespace kst
