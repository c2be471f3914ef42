// Operations that change text. Each change is exactly one UpdateRows of the row store, so it is
// re-wrapped locally, recorded as one undo step and repainted once. An edit touches only the rows
// it changes and the rows of their document lines, whatever the length of the text.
#include "document/wrap.h"
#include "input/editor.h"
#include "platform/clipboard.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace kst {

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kFullWidthSpace = "\x81\x40";
constexpr std::size_t kWholeRow = std::numeric_limits<std::size_t>::max();

// The tab's own column when Col is one of its extra columns, else Col.
int TabColumnOf(const TColumnStretch& Classes, int Col) {
    while (Col > 0 && ClassAt(Classes, Col) == kClassTabFill) {
        --Col;
    }
    return Col;
}

// The first column after the extra tab columns at Col, else Col.
int PastTabFill(const TColumnStretch& Classes, int Col) {
    while (ClassAt(Classes, Col) == kClassTabFill) {
        ++Col;
    }
    return Col;
}

std::string Spaces(int Count) {
    return std::string(static_cast<std::size_t>(std::max(0, Count)), ' ');
}

int SizeOf(std::string_view Text) {
    return static_cast<int>(std::min<std::size_t>(Text.size(), std::numeric_limits<int>::max()));
}

// Text with Insert put in front of byte Position; a shorter Text is first filled with spaces up
// to Position.
std::string InsertedAt(std::string_view Text, int Position, std::string_view Insert) {
    const auto position = static_cast<std::size_t>(std::max(0, Position));
    std::string result(Text.substr(0, position));
    result.append(position - result.size(), ' ');
    result.append(Insert);
    if (position < Text.size()) {
        result.append(Text.substr(position));
    }
    return result;
}

// Text with every lone CR or LF made a CR LF: the row store breaks lines at all three, and caret
// offsets count each line break as two bytes.
std::string WithCrLf(std::string_view Text) {
    std::string result;
    result.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char ch = Text[i];
        if (ch != '\r' && ch != '\n') {
            result.push_back(ch);
            continue;
        }
        result.append(kLineBreak);
        if (ch == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') {
            ++i;
        }
    }
    return result;
}

// The lines of Text, split at CR LF, CR or LF; a final line break adds no line.
std::vector<std::string_view> SplitLines(std::string_view Text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < Text.size()) {
        const std::size_t end = std::min(Text.find_first_of(kLineBreak, start), Text.size());
        lines.push_back(Text.substr(start, end - start));
        start = end + (Text.compare(end, kLineBreak.size(), kLineBreak) == 0 ? 2 : 1);
    }
    return lines;
}

// Bytes JoinRows gives for the entries before Count.
int JoinedLength(const TEditorStringList& Rows, int Count) {
    std::int64_t length = 0;
    for (int i = 0; i < Count; ++i) {
        length += SizeOf(Rows.GetView(i));
        length += Rows.GetRowAttribute(i) == raLineBreak ? SizeOf(kLineBreak) : 0;
    }
    return static_cast<int>(std::min<std::int64_t>(length, std::numeric_limits<int>::max()));
}

} // namespace

// The edit transaction

int TEditor::StoredRowsIn(int First, int Last) const {
    return std::max(0, std::min(Last, RowCount() - 1) - First + 1);
}

// The caret (and the caret-row underline) stay hidden from before the selection is cancelled
// until the caret stands at its new place, also when the change fails.
void TEditor::ReplaceRows(int First, int Last, std::string_view Text, TCaretTarget Target,
                          bool HideUnderline) {
    const int count = StoredRowsIn(First, Last);
    BeginCaretHide();
    auto caretShown = ScopeEnd([this] { EndCaretHide(); });
    if (HideUnderline) {
        BeginUnderlineHide();
    }
    auto underlineShown = ScopeEnd([this, HideUnderline] {
        if (HideUnderline) {
            EndUnderlineHide();
        }
    });
    CancelSelection();
    FScreenStrings->UpdateRows(First, count, Text);
    SetCaretByOffset(Target.Frame, Target.Offset);
}

// Typing in free space after a row's end fills the gap with spaces.
void TEditor::ReplaceAtCaret(const std::string& Text, bool HideUnderline) {
    if (FSelectionState == kSelectionSelected) {
        TEditorStringList rows;
        RowsWithoutSelection(rows);
        ReplaceSelection(rows, Text, true, HideUnderline);
        return;
    }
    const int frame = EditFrame(FRow);
    const int byte = ByteOfCol(FRow, FCol);
    std::string row = InsertedAt(RowText(FRow), byte, Text);
    row.append(LineBreakSuffix(FRow));
    ReplaceRows(FRow, FRow, row, {frame, OffsetFromRow(frame, FRow, 0) + byte + SizeOf(Text)},
                HideUnderline);
}

// Rows holds the selected rows without the selected part; Text goes into the first of them where
// the selection began, so a box loses its parts on the other rows. PadToPosition fills a gap
// before a box that begins past the row's end; otherwise Text goes to the row's end.
void TEditor::ReplaceSelection(TEditorStringList& Rows, std::string_view Text, bool PadToPosition,
                               bool HideUnderline) {
    const int first = FSelection.StartRow;
    const int frame = EditFrame(first);
    int position = Rows.GetRowValue(0) - 1;
    if (!PadToPosition) {
        position = std::min(position, SizeOf(Rows.GetView(0)));
    }
    Rows.SetText(0, InsertedAt(Rows.GetView(0), position, Text));
    const int target = OffsetFromRow(frame, first, 0) + position + SizeOf(Text);
    ReplaceRows(first, FSelection.EndRow, JoinRows(Rows), {frame, target}, HideUnderline);
}

void TEditor::InsertText(std::string_view Text) {
    if (!Text.empty()) {
        ReplaceAtCaret(WithCrLf(Text), false);
    }
}

void TEditor::SetSelTextBuf(std::string_view Text) {
    UserEdit([&] {
        if (Text.empty()) {
            if (FSelectionState == kSelectionSelected) {
                DeleteSelection();
            } else {
                CancelSelection();
            }
            return;
        }
        const std::string text = WithCrLf(Text);
        ReplaceAtCaret(text, text.find('\r') != std::string::npos);
    });
}

// The caret lands where the selection began; at the box's left edge even when that lies past the
// end of the first row.
void TEditor::DeleteSelection() {
    if (FSelectionState != kSelectionSelected) {
        return;
    }
    TEditorStringList rows;
    RowsWithoutSelection(rows);
    const TSelectionRange range = FSelection;
    const int frame = EditFrame(range.StartRow);
    const int startByte = ByteOfCol(range.StartRow, range.StartCol);
    const int restLength = SizeOf(rows.GetView(0));
    const int target = OffsetFromRow(frame, range.StartRow, 0) + std::min(startByte, restLength);
    ReplaceRows(range.StartRow, range.EndRow, JoinRows(rows), {frame, target},
                range.StartRow != range.EndRow);
    if (startByte > restLength && FRow == range.StartRow) {
        SetCol(range.StartCol);
    }
}

// Box insertion

// The byte of Row where a box beginning at Col begins: a double-byte character or a tab that Col
// cuts is passed. Past the row's end, the byte Col would be if the row were filled with spaces.
int TEditor::BoxStartByte(int Row, int Col) const {
    const TColumnStretch classes = RowClasses(Row, Col);
    int col = Col;
    if (ClassAt(classes, col) == kClassTrailByte) {
        ++col;
    }
    return ByteOfCol(Row, PastTabFill(classes, col));
}

// Each line goes into its own row at the box's left edge: into the selected rows first, then into
// the rows below, then into new rows below the text. The caret ends after the last line.
void TEditor::SetSelTextBox(std::string_view Text) {
    UserEdit([&] {
        if (Text.empty()) {
            DeleteSelection();
            return;
        }
        const std::vector<std::string_view> lines = SplitLines(Text);
        const int lineCount = static_cast<int>(lines.size());
        const bool selected = FSelectionState == kSelectionSelected;
        TEditorStringList rows;
        RowsWithoutSelection(rows);
        const int first = selected ? FSelection.StartRow : FRow;
        const int col = selected ? FSelection.StartCol : FCol;
        const int last = std::max(first + lineCount - 1, selected ? FSelection.EndRow : first);
        int next = selected ? FSelection.EndRow + 1 : FRow;
        int caretByte = 0;
        for (int i = 0; i < lineCount; ++i) {
            int position = col;
            if (i < rows.GetCount()) {
                position = rows.GetRowValue(i) - 1;
            } else if (next < RowCount()) {
                position = BoxStartByte(next, col);
                rows.SetRowAttribute(rows.Add(RowText(next)), RowAttributeOf(next));
                ++next;
            } else {
                rows.SetRowAttribute(rows.Add(""), raLineBreak);
            }
            rows.SetText(i, InsertedAt(rows.GetView(i), position, lines[i]));
            caretByte = position + SizeOf(lines[i]);
        }
        for (int i = 0; i < rows.GetCount(); ++i) {
            if (rows.GetRowAttribute(i) == raEndOfText) {
                rows.SetRowAttribute(i, raLineBreak);
            }
        }
        const int frame = EditFrame(first);
        const int target =
            OffsetFromRow(frame, first, 0) + JoinedLength(rows, lineCount - 1) + caretByte;
        ReplaceRows(first, last, JoinRows(rows), {frame, target}, true);
    });
}

// Backspace

void TEditor::BackSpaceAtCaret() {
    UserEdit([this] {
        if (FSelectionState == kSelectionSelected) {
            DeleteSelection();
            return;
        }
        if (RowCount() == 0) {
            SetCol(FCol - 1);
            return;
        }
        CancelSelection();
        if (FCol == 0) {
            JoinWithRowAbove();
        } else if (FCaret->GetBackSpaceUnIndent() && CaretInIndentation()) {
            UnIndentAtCaret();
        } else {
            DeleteCharBeforeCaret();
        }
    });
}

// At the start of a row: the last character of a wrapped row above goes, or else the line break
// between the rows (the text's final one on the empty row after the text).
void TEditor::JoinWithRowAbove() {
    if (FRow == 0) {
        return;
    }
    const int above = FRow - 1;
    const int frame = EditFrame(above);
    std::string text(RowText(above));
    if (RowAttributeOf(above) == raWrap) {
        int col = RowWidth(above) - 1;
        const TColumnStretch classes = RowClasses(above, col);
        if (ClassAt(classes, col) == kClassTrailByte) {
            --col;
        }
        text.resize(static_cast<std::size_t>(
            std::clamp(ByteOfCol(above, TabColumnOf(classes, col)), 0, SizeOf(text))));
    }
    const int target = OffsetFromRow(frame, above, 0) + SizeOf(text);
    text.append(RowText(FRow));
    text.append(LineBreakSuffix(FRow));
    ReplaceRows(above, FRow, text, {frame, target}, true);
}

// The character before the caret goes whole: both bytes of a double-byte character, the tab the
// caret stands in or after. In free space after the row's end the caret only moves left.
void TEditor::DeleteCharBeforeCaret() {
    const TColumnStretch classes = RowClasses(FRow, FCol);
    const std::string_view text = RowText(FRow);
    int col = FCol - 1;
    if (ClassAt(classes, FCol) == kClassTabFill || ClassAt(classes, col) == kClassTabFill) {
        col = TabColumnOf(classes, col);
    } else if (ClassAt(classes, col) == kClassTrailByte) {
        --col;
    } else if (ByteOfCol(FRow, FCol) > SizeOf(text)) {
        SetCol(FCol - 1);
        return;
    }
    const int byte = ByteOfCol(FRow, col);
    const int bytes = ClassAt(classes, col) == kClassLeadByte ? 2 : 1;
    std::string row(text.substr(0, static_cast<std::size_t>(byte)));
    row.append(text.substr(std::min(text.size(), static_cast<std::size_t>(byte + bytes))));
    row.append(LineBreakSuffix(FRow));
    const int frame = EditFrame(FRow);
    ReplaceRows(FRow, FRow, row, {frame, OffsetFromRow(frame, FRow, 0) + byte}, false);
}

// Blanks at the start of a text: a space counts 1, a full-width space 2, a tab runs to its tab
// stop. An empty text has width -1.
int TEditor::LeadingBlankWidth(std::string_view Text) const {
    if (Text.empty()) {
        return -1;
    }
    const WrapContext context = CurrentWrapContext();
    int width = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == ' ') {
            ++width;
        } else if (Text[i] == '\t') {
            width += TabWidthAt(context, width);
        } else if (Text.substr(i, kFullWidthSpace.size()) == kFullWidthSpace) {
            width += 2;
            ++i;
        } else {
            break;
        }
    }
    return width;
}

bool TEditor::CaretInIndentation() const {
    const int width = LeadingBlankWidth(MeasuredText(FRow, kWholeRow));
    return width == -1 || width == RowWidth(FRow) || width == FCol;
}

// The indentation of the nearest row above that is indented less than the caret column. Empty
// rows, and rows of the caret's own line that start without blanks, tell nothing and are passed.
int TEditor::UnIndentTarget() const {
    const int lineStart = FRow < RowCount() ? FScreenStrings->LineStartRow(FRow) : FRow;
    for (int row = FRow - 1; row >= 0; --row) {
        const int width = LeadingBlankWidth(MeasuredText(row, kWholeRow));
        if (width == -1 || (width == 0 && row >= lineStart)) {
            continue;
        }
        if (width < FCol) {
            return width;
        }
    }
    return 0;
}

// Row's bytes before column Col; a double-byte blank or a tab that Col cuts becomes spaces up to
// Col.
std::string TEditor::TextBeforeColumn(int Row, const TColumnStretch& Classes, int Col) const {
    int start = Col;
    if (ClassAt(Classes, Col) == kClassTrailByte) {
        start = Col - 1;
    } else if (ClassAt(Classes, Col) == kClassTabFill) {
        start = TabColumnOf(Classes, Col);
    }
    const std::string_view text = RowText(Row);
    std::string before(text.substr(
        0, static_cast<std::size_t>(std::clamp(ByteOfCol(Row, start), 0, SizeOf(text)))));
    before.append(Spaces(Col - start));
    return before;
}

// Removes the blanks between the target indentation and the caret; a tab the caret stands in is
// replaced by the spaces after the caret.
void TEditor::UnIndentAtCaret() {
    const int target = UnIndentTarget();
    if (target >= RowWidth(FRow)) {
        SetCol(target);
        return;
    }
    const TColumnStretch atCaret = RowClasses(FRow, FCol);
    const std::string_view text = RowText(FRow);
    std::string row = TextBeforeColumn(FRow, RowClasses(FRow, target), target);
    const int targetByte = SizeOf(row);
    int rest = ByteOfCol(FRow, FCol);
    if (ClassAt(atCaret, FCol) == kClassTabFill) {
        row.append(Spaces(PastTabFill(atCaret, FCol) - FCol));
        ++rest;
    }
    row.append(text.substr(std::min(text.size(), static_cast<std::size_t>(std::max(0, rest)))));
    row.append(LineBreakSuffix(FRow));
    const int frame = EditFrame(FRow);
    ReplaceRows(FRow, FRow, row, {frame, OffsetFromRow(frame, FRow, 0) + targetByte}, false);
}

// Delete

// At the row's end the next row is joined to it, after spaces up to a caret in free space; the
// caret stays where it is.
void TEditor::DeleteAtCaret() {
    UserEdit([this] {
        if (FSelectionState == kSelectionSelected) {
            DeleteSelection();
            return;
        }
        CancelSelection();
        if (FRow >= RowCount()) {
            return;
        }
        const std::string_view text = RowText(FRow);
        const int byte = ByteOfCol(FRow, FCol);
        const int frame = EditFrame(FRow);
        if (byte < SizeOf(text)) {
            const TColumnStretch classes = RowClasses(FRow, FCol);
            const int bytes = ClassAt(classes, FCol) == kClassLeadByte ? 2 : 1;
            std::string row(text.substr(0, static_cast<std::size_t>(byte)));
            row.append(text.substr(std::min(text.size(), static_cast<std::size_t>(byte + bytes))));
            row.append(LineBreakSuffix(FRow));
            ReplaceRows(FRow, FRow, row,
                        {frame, OffsetFromRow(frame, FRow, TabColumnOf(classes, FCol))}, false);
            return;
        }
        if (RowAttributeOf(FRow) == raEndOfText) {
            return;
        }
        const int target = OffsetFromRow(frame, FRow, FCol);
        std::string row = InsertedAt(text, byte, RowText(FRow + 1));
        row.append(LineBreakSuffix(FRow + 1));
        ReplaceRows(FRow, FRow + 1, row, {frame, target}, true);
    });
}

// Enter

std::string TEditor::IndentString(int Width) const {
    if (!FCaret->GetTabIndent()) {
        return Spaces(Width);
    }
    const int tab = TabSpaceCount();
    return std::string(static_cast<std::size_t>(std::max(0, Width / tab)), '\t') +
           Spaces(Width % tab);
}

// The indentation of the first row of the nearest line above Row whose first row is not empty.
int TEditor::PreviousLineIndent(int Row) const {
    for (int row = Row - 1; row >= 0; --row) {
        const bool lineStart = row == 0 || RowAttributeOf(row - 1) != raWrap;
        if (lineStart && !RowText(row).empty()) {
            return std::max(0, LeadingBlankWidth(MeasuredText(row, kWholeRow)));
        }
    }
    return 0;
}

// The width of the blanks a new line starts with: those of the line's first row, fewer when the
// caret stands inside them; on an empty line with PrevSpaceIndent those of the line above.
int TEditor::EnterIndentWidth(int LineStart, int Row, int Col,
                              std::string_view FirstRowText) const {
    if (!FCaret->GetAutoIndent()) {
        return 0;
    }
    const int width = LeadingBlankWidth(FirstRowText);
    if (width >= 1) {
        return Row == LineStart && Col < width ? Col : width;
    }
    if (FCaret->GetPrevSpaceIndent() && Row == LineStart && FirstRowText.empty()) {
        return PreviousLineIndent(LineStart);
    }
    return 0;
}

void TEditor::AppendLineBreak() {
    const int count = RowCount();
    ReplaceRows(count, count - 1, kLineBreak, {count, SizeOf(kLineBreak)}, true);
}

// Enter over a selection: the selection is replaced by the line break and the new line's
// indentation, as one change.
void TEditor::SplitSelection() {
    TEditorStringList rows;
    RowsWithoutSelection(rows);
    const int row = FSelection.StartRow;
    const int lineStart = row < RowCount() ? FScreenStrings->LineStartRow(row) : row;
    const std::string_view firstRowText =
        lineStart == row ? rows.GetView(0) : MeasuredText(lineStart, kWholeRow);
    const int indent = EnterIndentWidth(lineStart, row, FSelection.StartCol, firstRowText);
    ReplaceSelection(rows, std::string(kLineBreak) + IndentString(indent), false, true);
}

void TEditor::EnterAtCaret(bool OpenLineAbove) {
    UserEdit([&] {
        if (FSelectionState == kSelectionSelected) {
            if (!OpenLineAbove) {
                SplitSelection();
            }
            return;
        }
        CancelSelection();
        if (FRow >= RowCount()) {
            AppendLineBreak();
            return;
        }
        const int lineStart = FScreenStrings->LineStartRow(FRow);
        const std::string indent = IndentString(
            EnterIndentWidth(lineStart, FRow, FCol, MeasuredText(lineStart, kWholeRow)));
        if (OpenLineAbove) {
            const int frame = EditFrame(lineStart);
            const int target = OffsetFromRow(frame, lineStart, 0) + SizeOf(indent);
            ReplaceRows(lineStart, lineStart - 1, indent + std::string(kLineBreak), {frame, target},
                        true);
            return;
        }
        const std::string_view text = RowText(FRow);
        const auto split =
            static_cast<std::size_t>(std::clamp(ByteOfCol(FRow, FCol), 0, SizeOf(text)));
        std::string row(text.substr(0, split));
        row.append(kLineBreak)
            .append(indent)
            .append(text.substr(split))
            .append(LineBreakSuffix(FRow));
        const int target = OffsetFromRow(lineStart, FRow, 0) + static_cast<int>(split) +
                           SizeOf(kLineBreak) + SizeOf(indent);
        ReplaceRows(FRow, FRow, row, {lineStart, target}, true);
    });
}

// Tab: to the next tab stop, with word wrap never past the next multiple of the wrap column.
void TEditor::TabAtCaret() {
    if (!FWantTabs) {
        return;
    }
    UserEdit([this] {
        const int tab = TabSpaceCount();
        int distance = tab - FCol % tab;
        if (GetWordWrap()) {
            const int wrapByte = GetWrapOption().GetWrapByte();
            distance = std::min(distance, wrapByte - FCol % wrapByte);
        }
        InsertText(FCaret->GetSoftTab() ? Spaces(distance) : std::string("\t"));
    });
}

// Select all, undo and redo

void TEditor::SelectAll() {
    BeginCaretHide();
    auto shown = ScopeEnd([this] { EndCaretHide(); });
    SetSelStart(0);
    SetSelLength(
        static_cast<int>(std::min<std::int64_t>(TextLength(), std::numeric_limits<int>::max())));
}

bool TEditor::CanUndo() const {
    return FScreenStrings->GetUndoObj().CanUndo();
}

bool TEditor::CanRedo() const {
    return FScreenStrings->GetUndoObj().CanRedo();
}

void TEditor::Undo() {
    CancelSelection();
    ScreenStrings().Undo();
}

void TEditor::Redo() {
    CancelSelection();
    ScreenStrings().Redo();
}

// Clipboard

void TEditor::CopyToClipboard() {
    if (FClipboard != nullptr && FSelectionState == kSelectionSelected) {
        FClipboard->SetText(GetSelText(), FBoxSelection);
    }
}

// The text is on the clipboard before anything is deleted: a clipboard that fails leaves the
// text as it was.
void TEditor::CutToClipboard() {
    if (FClipboard != nullptr && FSelectionState == kSelectionSelected) {
        CopyToClipboard();
        DeleteSelection();
    }
}

// A rectangle copied by an editor pastes as a rectangle, any other text as a stream.
void TEditor::PasteFromClipboard() {
    if (FClipboard == nullptr) {
        return;
    }
    const bool box = FClipboard->HasBoxText();
    if (const std::optional<std::string> text = FClipboard->GetText()) {
        if (box) {
            SetSelTextBox(*text);
        } else {
            SetSelTextBuf(*text);
        }
    }
}

void TEditor::PasteBoxFromClipboard() {
    if (FClipboard == nullptr) {
        return;
    }
    if (const std::optional<std::string> text = FClipboard->GetText()) {
        SetSelTextBox(*text);
    }
}

} // namespace kst
