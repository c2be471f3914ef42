#include "tools/comment.h"

#include "input/editor.h"
#include "tools/script_text.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace kst {

namespace {

bool IsCommentable(std::string_view Line) {
    const std::string_view text = TrimLeadingBlanks(Line);
    return !text.empty() && text.front() != kCommentMark;
}

bool IsCommented(std::string_view Line) {
    const std::string_view text = TrimLeadingBlanks(Line);
    return !text.empty() && text.front() == kCommentMark;
}

std::string Commented(std::string_view Line) {
    return kCommentMark + std::string(Line);
}

std::string Uncommented(std::string_view Line) {
    std::string text(Line);
    text.erase(Line.size() - TrimLeadingBlanks(Line).size(), 1);
    return text;
}

// What a command does to one line, and by how many bytes that moves the text after the change.
struct TLineEdit {
    bool (*Applies)(std::string_view Line);
    std::string (*Apply)(std::string_view Line);
    int Delta;
};

constexpr TLineEdit kComment{IsCommentable, Commented, 1};
constexpr TLineEdit kUncomment{IsCommented, Uncommented, -1};

struct TLineSpan {
    int First = 0;
    int Last = -1;
};

// From the line of the selection's first row to the line of its last row, which a selection
// ending in column 0 does not take; a box selection can end past the last line.
TLineSpan SelectedLines(const TEditor& Editor) {
    const TSelectionRange& range = Editor.GetSelection();
    const int last = Editor.LineCountBefore(range.EndRow) - (range.EndCol == 0 ? 1 : 0);
    return {Editor.LineCountBefore(range.StartRow), std::min(last, Editor.GetLines().Count() - 1)};
}

// A change of the first line moves the selection's start when FirstLineMovesStart is set; every
// other change lengthens or shortens it. The selection is set again once, after all lines:
// setting it after each line would walk the whole selection once per line.
void EditSelectedLines(TEditor& Editor, const TLineEdit& Edit, bool FirstLineMovesStart) {
    TEditorStrings& lines = Editor.GetLines();
    int selStart = Editor.GetSelStart();
    int selLength = Editor.GetSelLength();
    const TLineSpan span = SelectedLines(Editor);
    for (int line = span.First; line <= span.Last; ++line) {
        const std::string text = lines.Get(line);
        if (Edit.Applies(text)) {
            lines.Put(line, Edit.Apply(text));
            (line == span.First && FirstLineMovesStart ? selStart : selLength) += Edit.Delta;
        }
    }
    Editor.SetSelStart(selStart);
    Editor.SetSelLength(selLength);
}

// The caret's line; none on the empty position after the last line break or in an empty text.
std::optional<int> CaretLine(const TEditor& Editor) {
    const int line = Editor.LineCountBefore(Editor.GetRow());
    return line < Editor.GetLines().Count() ? std::optional(line) : std::nullopt;
}

void EditCaretLine(TEditor& Editor, const TLineEdit& Edit, int NewSelStart) {
    const std::optional<int> line = CaretLine(Editor);
    if (!line) {
        return;
    }
    TEditorStrings& lines = Editor.GetLines();
    const std::string text = lines.Get(*line);
    if (Edit.Applies(text)) {
        lines.Put(*line, Edit.Apply(text));
        Editor.SetSelStart(NewSelStart);
    }
}

bool HasSelection(const TEditor& Editor) {
    return Editor.GetSelectionState() == kSelectionSelected;
}

} // namespace

// Both commands are user edits: a read-only editor (a running script's) is left as it is.
void CommentLines(TEditor& Editor) {
    Editor.UserEdit([&Editor] {
        if (HasSelection(Editor)) {
            EditSelectedLines(Editor, kComment, true);
        } else {
            EditCaretLine(Editor, kComment, Editor.GetSelStart() + kComment.Delta);
        }
    });
}

// Without a selection the caret moves left with the removed mark, unless it stands in column 0.
void UncommentLines(TEditor& Editor) {
    Editor.UserEdit([&Editor] {
        if (HasSelection(Editor)) {
            EditSelectedLines(Editor, kUncomment, Editor.GetSelection().StartCol > 0);
        } else {
            EditCaretLine(Editor, kUncomment,
                          Editor.GetSelStart() + (Editor.GetCol() > 0 ? kUncomment.Delta : 0));
        }
    });
}

} // namespace kst
