#include "tools/editor_format.h"

#include "input/editor.h"
#include "script/formatter.h"
#include "tools/editor_lines.h"

#include <optional>
#include <string>

namespace kst {

namespace {

// The whole text formatted as one change, with the caret's offset and the top row kept.
void ReplaceWithFormatted(TEditor& Editor) {
    std::optional<std::string> formatted;
    {
        const EditorLines source(Editor);
        formatted = FormatScript(source.Lines());
    }
    if (!formatted) {
        return;
    }
    const int selStart = Editor.GetSelStart();
    const int topRow = Editor.GetTopRow();
    Editor.GetLines().ReplaceWholeText(*formatted);
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
