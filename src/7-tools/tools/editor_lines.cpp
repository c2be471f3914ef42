#include "tools/editor_lines.h"

#include "input/editor.h"

namespace kst {

EditorLines::EditorLines(const TEditor& Editor) : FText(Editor.GetLines().GetTextStr()) {
    ForEachLine(FText, [this](std::string_view Line) { FLines.push_back(Line); });
}

} // namespace kst
