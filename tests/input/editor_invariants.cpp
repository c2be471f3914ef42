#include "editor_invariants.h"

#include "document/wrap.h"

namespace kst {

std::string CaretProblem(const TEditor& Editor) {
    TEditorScreenStrings& rows = *Editor.GetScreenStringsPtr();
    const int count = rows.GetCount();
    const int row = Editor.GetRow();
    const bool afterText =
        row == count && (count == 0 || rows.GetRowAttribute(count - 1) == raLineBreak);
    if (row < 0 || (row >= count && !afterText)) {
        return "row " + std::to_string(row) + " of " + std::to_string(count);
    }
    const std::string_view text = row < count ? rows.GetView(row) : std::string_view();
    const std::string classes = ColumnClassesOf(rows.GetWrapContext(), text);
    const int col = Editor.GetCol();
    const int end = static_cast<int>(classes.size());
    // A free caret stands anywhere past the end; with FreeRow, Up and Down keep the column there.
    const bool free = Editor.GetCaret().GetFreeCaret() || Editor.GetCaret().GetFreeRow();
    if (col < 0 || (col > end && !free)) {
        return "column " + std::to_string(col) + " past the row's end " + std::to_string(end);
    }
    if (col < end && classes[col] == kClassTrailByte) {
        return "column " + std::to_string(col) + " inside a double-byte character";
    }
    if (col < end && classes[col] == kClassTabFill) {
        return "column " + std::to_string(col) + " inside a tab";
    }
    if (row < count && rows.GetRowAttribute(row) == raWrap && col == end && !free) {
        return "at the end of a wrapped row";
    }
    return {};
}

} // namespace kst
