#include "tools/editor_lines.h"

#include "input/editor.h"

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

} // namespace kst
