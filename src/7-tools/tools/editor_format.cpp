#include "tools/editor_format.h"

#include "input/editor.h"
#include "tools/formatter.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

namespace {

// The whole text formatted as one change, with the caret's offset and the top row kept.
void ReplaceWithFormatted(TEditor& Editor) {
    TEditorStrings& lines = Editor.GetLines();
    const std::string text = lines.GetTextStr();
    std::vector<std::string_view> source;
    ForEachLine(text, [&source](std::string_view Line) { source.push_back(Line); });
    const std::optional<std::string> formatted = FormatScript(source);
    if (!formatted) {
        return;
    }
    const int selStart = Editor.GetSelStart();
    const int topRow = Editor.GetTopRow();
    lines.ReplaceWholeText(*formatted);
    Editor.SetModified(true);
    Editor.SetSelStart(selStart);
    Editor.SetTopRow(topRow);
}

} // namespace

// Formatting is a user edit: a read-only editor (a running script's) is left as it is.
void FormatEditorText(TEditor& Editor) {
    Editor.UserEdit([&Editor] { ReplaceWithFormatted(Editor); });
}

} // namespace kst
