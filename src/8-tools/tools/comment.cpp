#include "tools/comment.h"

#include "input/editor.h"
#include "script/script_text.h"
#include "tools/editor_lines.h"

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

// Comment puts its mark in front of the line, uncomment takes the one after the leading blanks.
int LineFront(std::string_view /*Line*/) {
    return 0;
}

int FirstNonBlank(std::string_view Line) {
    return static_cast<int>(Line.size() - TrimLeadingBlanks(Line).size());
}

std::string Commented(std::string_view Line) {
    return kCommentMark + std::string(Line);
}

std::string Uncommented(std::string_view Line) {
    std::string text(Line);
    text.erase(static_cast<std::size_t>(FirstNonBlank(Line)), 1);
    return text;
}

// What a command does to one line: where the mark goes in or out, and by how many bytes that
// moves the text after it.
struct TLineEdit {
    bool (*Applies)(std::string_view Line);
    std::string (*Apply)(std::string_view Line);
    int (*MarkAt)(std::string_view Line);
    int Delta;
};

constexpr TLineEdit kComment{IsCommentable, Commented, LineFront, 1};
constexpr TLineEdit kUncomment{IsCommented, Uncommented, FirstNonBlank, -1};

// A text range [Start, End) that stays on the same characters while marks go in or out: a mark
// before it moves it, one inside it changes its length. A mark put in at its start goes before
// it.
struct TextRange {
    int Start = 0;
    int End = 0;
};

void MoveForMark(const TextRange& Before, TextRange& After, int Mark, int Delta) {
    if (Mark < Before.Start || (Delta > 0 && Mark == Before.Start)) {
        After.Start += Delta;
        After.End += Delta;
    } else if (Mark < Before.End) {
        After.End += Delta;
    }
}

// The selection is set again once, after all lines: setting it after each line would walk the
// whole selection once per line.
void EditSelectedLines(TEditor& Editor, const TLineEdit& Edit) {
    TEditorStrings& lines = Editor.GetLines();
    const int start = Editor.GetSelStart();
    const TextRange before{start, start + Editor.GetSelLength()};
    TextRange after = before;
    const TLineSpan span = SelectedLines(Editor);
    int lineOffset = span.FirstLineOffset;
    for (int line = span.First; line <= span.Last; ++line) {
        const std::string text = lines.Get(line);
        if (Edit.Applies(text)) {
            lines.Put(line, Edit.Apply(text));
            MoveForMark(before, after, lineOffset + Edit.MarkAt(text), Edit.Delta);
        }
        lineOffset += static_cast<int>(text.size()) + 2;
    }
    Editor.SetSelStart(after.Start);
    Editor.SetSelLength(after.End - after.Start);
}

// The caret's line; none on the empty position after the last line break or in an empty text.
std::optional<int> CaretLine(const TEditor& Editor) {
    const int line = Editor.LineCountBefore(Editor.GetRow());
    return line < Editor.GetLines().Count() ? std::optional(line) : std::nullopt;
}

void EditCaretLine(TEditor& Editor, const TLineEdit& Edit) {
    const std::optional<int> line = CaretLine(Editor);
    if (!line) {
        return;
    }
    TEditorStrings& lines = Editor.GetLines();
    const std::string text = lines.Get(*line);
    if (!Edit.Applies(text)) {
        return;
    }
    const int caret = Editor.GetSelStart();
    const int row = Editor.GetRow();
    const int rowBytes = static_cast<int>(Editor.GetScreenStringsPtr()->GetView(row).size());
    const int byte = std::clamp(Editor.OffsetFromRow(row, row, Editor.GetCol()), 0, rowBytes);
    const TextRange before{caret, caret};
    TextRange after = before;
    MoveForMark(before, after, caret - ByteInLine(Editor, row, byte) + Edit.MarkAt(text),
                Edit.Delta);
    lines.Put(*line, Edit.Apply(text));
    Editor.SetSelStart(after.Start);
}

} // namespace

// Both commands are user edits: a read-only editor (a running script's) is left as it is.
void CommentLines(TEditor& Editor) {
    Editor.UserEdit([&Editor] {
        if (HasSelection(Editor)) {
            EditSelectedLines(Editor, kComment);
        } else {
            EditCaretLine(Editor, kComment);
        }
    });
}

void UncommentLines(TEditor& Editor) {
    Editor.UserEdit([&Editor] {
        if (HasSelection(Editor)) {
            EditSelectedLines(Editor, kUncomment);
        } else {
            EditCaretLine(Editor, kUncomment);
        }
    });
}

} // namespace kst
