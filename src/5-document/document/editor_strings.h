// The editor's Lines: the rows of its row store presented as document lines. Every change goes
// through the row store's UpdateRows, so wrapping, undo and the caret stay right.
#pragma once

#include "core/strings.h"
#include "document/editor_link.h"
#include "lists/text_encoding.h"

#include <string>
#include <string_view>

namespace kst {

class TEditorScreenStrings;

class TEditorStrings : public TStrings {
public:
    explicit TEditorStrings(TEditorLink& Editor);

    const char* ClassName() const override { return "TEditorStrings"; }

    int GetCount() const override;
    std::string Get(int Index) const override;
    // Replaces the line, keeping its line break (or its absence).
    void Put(int Index, std::string_view S) override;
    // Inserts a line before line Index; Index equal to the line count appends.
    void Insert(int Index, std::string_view S) override;
    // Appends a line; returns the line count before the call.
    int Add(std::string_view S) override;
    void Delete(int Index) override;
    void Clear() override;

    std::string GetTextStr() const override;
    void SetTextStr(std::string_view S) override;
    // Replaces the whole text by S as one change, which Undo takes back; SetTextStr instead starts
    // a new history. The caret goes to the start of the text.
    void ReplaceWholeText(std::string_view S);
    // From another string list: its whole text, with the caret after the last row.
    void Assign(const TPersistent& Source) override;

    // Reads the whole file (CR LF, lone CR and lone LF end lines, a final Ctrl-Z of a CP932 file
    // is dropped), decoded when it is in Unicode, and answers its format, which saving it back
    // needs. If it cannot be read the lines are left empty and EFileError is raised.
    TFileFormat LoadFromFile(const std::string& FileName);
    // Reads the file as LoadFromFile does, but replaces the text as one change, which Undo takes
    // back (the caret goes to the start of the text). If it cannot be read nothing changes and
    // EFileError is raised.
    TFileFormat ReloadFromFile(const std::string& FileName);
    // Writes GetTextStr's bytes, encoded as Format says; a failed save raises and leaves the old
    // file as it was. A lossy format is refused before the file is touched.
    void SaveToFile(const std::string& FileName, const TFileFormat& Format = {}) const;

    // First row of document line Index.
    int LineToRow(int Index) const;

protected:
    void SetUpdateState(bool Updating) override;

private:
    TEditorScreenStrings& Rows() const;
    // One change: selection cleared, caret hidden, the rows replaced, the caret put CaretOffset
    // bytes after the start of StartRow.
    void ChangeRows(int StartRow, int RowCount, std::string_view Text, int CaretOffset);
    // After the rows were replaced by a whole new text.
    void TextReplaced();

    TEditorLink& FEditor;
};

} // namespace kst
