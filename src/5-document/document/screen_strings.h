// The row store: the text of one or more editors as screen rows. With word wrap off a row is a
// document line; with it on a document line takes one or more rows. Every edit is one UpdateRows
// call, which re-wraps only the lines it touches and records one undo step.
#pragma once

#include "document/editor_link.h"
#include "document/undo.h"
#include "document/wrap.h"
#include "document/wrap_option.h"
#include "lists/string_list.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// The text of a run of rows, each raLineBreak row followed by CR LF.
struct TRowsText {
    std::string Text;
    TRowAttribute LastAttribute = raNone; // of the last row of the run
    int RowCount = 0;
};

// True when Text ends with CR or LF.
bool EndsWithLineBreak(std::string_view Text);

// Editors share a store through std::shared_ptr: each attached editor holds one, so the store
// lives exactly as long as some editor refers to it. AddEditor/RemoveEditor keep the list of
// editors to notify; they do not own anything.
class TEditorScreenStrings : public TEditorStringList {
public:
    TEditorScreenStrings();
    ~TEditorScreenStrings() override;

    const char* ClassName() const override { return "TEditorScreenStrings"; }

    void AddEditor(TEditorLink* Editor);
    void RemoveEditor(TEditorLink* Editor);
    int EditorCount() const { return static_cast<int>(FEditors.size()); }
    // The first attached editor with the input focus, else the first one; null when none.
    TEditorLink* ActiveEditor() const;
    // Every attached editor recomputes its layout and repaints.
    void RelayoutEditors();

    const TUpdateInfo& GetUpdateInfo() const { return FUpdateInfo; }
    void SetUpdateInfo(const TUpdateInfo& Info) { FUpdateInfo = Info; }

    std::uint16_t GetUsedMarks() const { return FUsedMarks; }
    void AddUsedMarks(std::uint16_t Marks) { FUsedMarks |= Marks; }
    void RemoveUsedMarks(std::uint16_t Marks) { FUsedMarks &= static_cast<std::uint16_t>(~Marks); }
    // Sets a row's marks and keeps UsedMarks up to date (new bits added, dropped ones removed).
    void SetRowMarks(int Index, std::uint16_t Marks);

    TEditorUndoObj& GetUndoObj();
    TEditorWrapOption& GetWrapOption();
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // The wrap options changed: re-wrap everything when word wrap is on.
    void Rewrap();

    // Replaces rows StartRow..StartRow+RowCount-1 by Text (lines separated by CR LF, CR or LF;
    // RowCount 0 inserts in front of StartRow). The only editing primitive: one undo step, one
    // change notification. An invalid range, or no rows and no text, does nothing.
    void UpdateRows(int StartRow, int RowCount, std::string_view Text);

    // The text of Count rows from StartRow (-1: up to the end of StartRow's document line).
    // An invalid start gives an empty text, no rows and raNone.
    TRowsText RowsText(int StartRow, int Count) const;
    // Deletes Count rows; returns the union of their marks.
    std::uint16_t DeleteRows(int StartRow, int Count);
    // Deletes Count rows; their marks go to the row that then stands at StartRow (the last row
    // past the end), or leave UsedMarks when no row is left.
    TRemovedRows DeleteRowsKeepingMarks(int StartRow, int Count);
    // Inserts NewRows in front of StartRow giving them back the marks Removed recorded when they
    // were deleted, and takes those marks back from the row that had received them.
    void RestoreRows(int StartRow, const TEditorStringList& NewRows, const TRemovedRows& Removed);
    // Puts NewRows in place of OldCount rows from Start; row marks stay with their text.
    void StoreRows(int Start, int OldCount, const TEditorStringList& NewRows);

    // Splits Text into rows, wrapped when word wrap is on; see WrapLine in display/wrap.h.
    virtual void WrapLine(std::string_view Text, TEditorStringList& Rows);
    // Rows one document line takes.
    virtual int WrapLineCount(std::string_view Text);
    WrapContext GetWrapContext();

    void WrapAll();
    void UnwrapAll();

    // Clears the rows, the undo history, every editor's selection and the used marks; carets go
    // to row 0, column 0.
    void Clear() override;

    void Undo();
    void Redo();

    // Start states of the colouring parser, computed with the active editor's effective fountain
    // (display/start_states.h). InitStartStates resets them all and computes the first rows (all
    // of them with InitBracketsFull); UpdateStartStates recomputes from FromRow until they agree
    // again and returns the number of changed rows. With Notify, the caller's update info covers
    // FromRow and that many rows after it, and the changed rows above FromRow are repainted in
    // every attached editor.
    void InitStartStates();
    int UpdateStartStates(int FromRow, bool Notify);
    // Computes the states of about RowCount more rows after those already computed, where a
    // state can depend on the rows above (so that a jump far down need not compute them all at
    // once); answers whether rows remain to be computed.
    bool ComputeStartStatesAhead(int RowCount);
    // Last row a full reset computes: the last row with InitBracketsFull, else two screens below
    // the active editor's top row.
    int InitStartStatesLimit() const;
    // Last row a refresh from FromRow computes: two screens below it.
    int UpdateStartStatesLimit(int FromRow) const;

protected:
    virtual std::unique_ptr<TEditorUndoObj> CreateUndoObj();
    virtual std::unique_ptr<TEditorWrapOption> CreateWrapOption();

    void Changed() override;
    void Changing() override;
    void SetUpdateState(bool Updating) override;

private:
    class NotificationPause;

    bool OwnerLoading() const;
    void NotifyEditors();
    void ClampEditors();
    void CancelSelections();
    void ResetAfterRewrap();
    void ReflowAll(const WrapContext& Context);
    int ReflowLine(const WrapContext& Context, int First, int Last);
    void DeleteWholeLines(int StartRow, int Count);
    void ReplaceRows(int First, int Last, int StartRow, int RowCount, std::string_view Text);
    void PlaceMarks(int Index, std::uint16_t Marks);

    std::vector<TEditorLink*> FEditors;
    TUpdateInfo FUpdateInfo;
    std::uint16_t FUsedMarks = 0;
    std::unique_ptr<TEditorUndoObj> FUndo;
    bool FWordWrap = false;
    // Where the computed rows ended after the last ComputeStartStatesAhead.
    int FStatesAheadEnd = 0;
    std::unique_ptr<TEditorWrapOption> FWrapOption;
    int FNotificationPauses = 0;
    // Scratch of ReplaceRows and ReflowLine, kept so that their storage is reused.
    TEditorStringList FNewRows;
    std::vector<std::uint32_t> FRowLengths;
};

} // namespace kst
