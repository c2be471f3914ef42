#include "document/editor_strings.h"

#include "core/errors.h"
#include "document/screen_strings.h"
#include "lists/row_text_io.h"
#include "platform/files.h"

namespace kst {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

} // namespace

TEditorStrings::TEditorStrings(TEditorLink& Editor) : FEditor(Editor) {}

TEditorScreenStrings& TEditorStrings::Rows() const {
    return FEditor.ScreenStrings();
}

int TEditorStrings::LineToRow(int Index) const {
    return Rows().GetWordWrap() ? Rows().LineFirstRow(Index) : Index;
}

int TEditorStrings::GetCount() const {
    return Rows().LineCount();
}

std::string TEditorStrings::Get(int Index) const {
    const TEditorScreenStrings& rows = Rows();
    const int first = LineToRow(Index);
    const int last = rows.LineEndRow(first);
    std::string line(rows.GetView(first));
    for (int row = first + 1; row <= last; ++row) {
        line += rows.GetView(row);
    }
    return line;
}

void TEditorStrings::ChangeRows(int StartRow, int RowCount, std::string_view Text,
                                int CaretOffset) {
    FEditor.CancelSelection();
    auto caretHide = ScopedCaretHide(&FEditor);
    Rows().UpdateRows(StartRow, RowCount, Text);
    FEditor.SetCaretByOffset(StartRow, CaretOffset);
}

void TEditorStrings::Put(int Index, std::string_view S) {
    const int first = LineToRow(Index);
    const int last = Rows().LineEndRow(first);
    std::string text(S);
    if (Rows().GetRowAttribute(last) == raLineBreak) {
        text += kLineBreak;
    }
    ChangeRows(first, last - first + 1, text, static_cast<int>(text.size()));
}

void TEditorStrings::Insert(int Index, std::string_view S) {
    const int lines = GetCount();
    if (Index < 0 || Index > lines) {
        RaiseListIndexError();
    }
    if (Index == lines) {
        Add(S);
        return;
    }
    const int row = LineToRow(Index);
    const std::string text = std::string(S) + std::string(kLineBreak);
    ChangeRows(row, 0, text, static_cast<int>(text.size()));
}

int TEditorStrings::Add(std::string_view S) {
    const int lines = GetCount();
    const int rowCount = Rows().GetCount();
    if (rowCount > 0 && Rows().GetRowAttribute(rowCount - 1) != raLineBreak) {
        // The last line has no line break yet: it gets one, and S becomes the new last line.
        const std::string text =
            std::string(Rows().GetView(rowCount - 1)) + std::string(kLineBreak) + std::string(S);
        ChangeRows(rowCount - 1, 1, text, static_cast<int>(text.size()));
    } else {
        const std::string text = std::string(S) + std::string(kLineBreak);
        ChangeRows(rowCount, 0, text, static_cast<int>(text.size()));
    }
    return lines;
}

void TEditorStrings::Delete(int Index) {
    const int first = LineToRow(Index);
    const int last = Rows().LineEndRow(first);
    ChangeRows(first, last - first + 1, {}, 0);
}

void TEditorStrings::Clear() {
    Rows().Clear();
}

std::string TEditorStrings::GetTextStr() const {
    return RowsTextStr(Rows());
}

void TEditorStrings::TextReplaced() {
    if (Rows().GetWordWrap()) {
        Rows().WrapAll();
    }
    Rows().InitStartStates();
}

void TEditorStrings::SetTextStr(std::string_view S) {
    auto update = ScopedUpdate(*this);
    LoadRowsFromText(Rows(), S);
    TextReplaced();
}

void TEditorStrings::ReplaceWholeText(std::string_view S) {
    ChangeRows(0, Rows().GetCount(), S, 0);
}

void TEditorStrings::Assign(const TPersistent& Source) {
    const auto* source = dynamic_cast<const TStrings*>(&Source);
    if (source == nullptr) {
        TStrings::Assign(Source);
        return;
    }
    SetTextStr(source->GetTextStr());
    FEditor.SetRowCol(Rows().GetCount(), 0);
}

TFileFormat TEditorStrings::LoadFromFile(const std::string& FileName) {
    auto update = ScopedUpdate(*this);
    Rows().Clear();
    const TFileFormat format = LoadRowsFromFile(Rows(), FileName);
    TextReplaced();
    Rows().RelayoutEditors();
    return format;
}

TFileFormat TEditorStrings::ReloadFromFile(const std::string& FileName) {
    const TDecodedFile decoded = ReadTextFile(FileName);
    ReplaceWholeText(DocumentText(decoded));
    return decoded.Format;
}

void TEditorStrings::SaveToFile(const std::string& FileName, const TFileFormat& Format) const {
    CheckWritable(Format);
    WriteFileSafely(FileName,
                    [&](const ChunkSink& Sink) { WriteRows(Rows(), Format.Encoding, Sink); });
}

void TEditorStrings::SetUpdateState(bool Updating) {
    if (Updating) {
        Rows().BeginUpdate();
        FEditor.BeginLinesUpdate();
        return;
    }
    auto editorSide = ScopeEnd([this] { FEditor.EndLinesUpdate(); });
    Rows().EndUpdate();
}

} // namespace kst
