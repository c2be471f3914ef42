#include "tools/editor_lines.h"

#include "input/editor.h"

#include <algorithm>

namespace kst {

// Without word wrap a row is a line, and the rows' own text serves; a wrapped line is joined from
// its rows in a copy of the text.
EditorLines::EditorLines(TEditor& Editor) {
    const TEditorScreenStrings& rows = Editor.ScreenStrings();
    if (rows.GetWordWrap()) {
        FText = Editor.GetLines().GetTextStr();
        ForEachLine(FText, [this](std::string_view Line) { FLines.push_back(Line); });
        return;
    }
    FLines.reserve(static_cast<std::size_t>(rows.GetCount()));
    for (int row = 0; row < rows.GetCount(); ++row) {
        FLines.push_back(rows.GetView(row));
    }
}

int ByteInLine(const TEditor& Editor, int Row, int Byte) {
    const int lineStart = Editor.GetScreenStringsPtr()->LineStartRow(Row);
    return Editor.OffsetFromRow(lineStart, Row, 0) + Byte;
}

// A box selection can end past the last line.
TLineSpan SelectedLines(const TEditor& Editor) {
    const TSelectionRange& range = Editor.GetSelection();
    const TEditorScreenStrings& rows = *Editor.GetScreenStringsPtr();
    const bool endsAtLineStart =
        range.EndCol == 0 &&
        (range.EndRow >= rows.GetCount() || rows.LineStartRow(range.EndRow) == range.EndRow);
    const int last = Editor.LineCountBefore(range.EndRow) - (endsAtLineStart ? 1 : 0);
    return {Editor.LineCountBefore(range.StartRow), std::min(last, Editor.GetLines().Count() - 1),
            Editor.GetSelStart() - ByteInLine(Editor, range.StartRow, Editor.GetSelStartByte())};
}

bool HasSelection(const TEditor& Editor) {
    return Editor.GetSelectionState() == kSelectionSelected;
}

} // namespace kst
