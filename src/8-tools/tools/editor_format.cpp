#include "tools/editor_format.h"

#include "input/editor.h"
#include "script/formatter.h"
#include "tools/editor_lines.h"

#include <optional>
#include <string>

namespace kst {

namespace {

// The whole text formatted as one change, with the caret's offset and the top row kept.
void ReplaceWithFormatted(TEditor& Editor, const TIndentStyle& Style) {
    std::optional<std::string> formatted;
    {
        const EditorLines source(Editor);
        formatted = FormatScript(source.Lines(), Style);
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

// The selected lines, from the first one's start to the last one's end, replaced as one change
// and selected again.
void ReplaceSelectedLines(TEditor& Editor, const TIndentStyle& Style) {
    const TLineSpan span = SelectedLines(Editor);
    std::optional<std::string> formatted;
    int length = 0;
    {
        const EditorLines source(Editor);
        formatted = FormatLineRange(source.Lines(), Style, span.First, span.Last);
        for (int line = span.First; line <= span.Last; ++line) {
            length += static_cast<int>(source.Lines()[static_cast<std::size_t>(line)].size()) +
                      (line < span.Last ? 2 : 0);
        }
    }
    if (!formatted) {
        return;
    }
    Editor.SetSelStart(span.FirstLineOffset);
    Editor.SetSelLength(length);
    Editor.SetSelTextBuf(*formatted);
    Editor.SetSelStart(span.FirstLineOffset);
    Editor.SetSelLength(static_cast<int>(formatted->size()));
}

} // namespace

// Formatting is a user edit: a read-only editor (a running script's) is left as it is.
void FormatEditorText(TEditor& Editor, const TIndentStyle& Style) {
    Editor.UserEdit([&Editor, &Style] {
        if (HasSelection(Editor)) {
            ReplaceSelectedLines(Editor, Style);
        } else {
            ReplaceWithFormatted(Editor, Style);
        }
    });
}

} // namespace kst
