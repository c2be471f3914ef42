#include "tools/editor_format.h"

#include "display/editor.h"
#include "tools/formatter.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// A read-only editor (a running script's) is left as it is, as it is for typing.
void FormatEditorText(TEditor& Editor) {
    if (Editor.GetReadOnly()) {
        return;
    }
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

} // namespace kst
