// Undo and redo of the row store's changes. Each UpdateRows call is one step; a step keeps the
// rows the change took away and how many rows it put in their place.
#pragma once

#include "lists/row_attribute.h"
#include "lists/string_list.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace kst {

class TEditorScreenStrings;

// Rows deleted outright, whose marks went to the row that took their place.
struct TRemovedRows {
    std::vector<std::uint16_t> Marks; // each deleted row's marks
    std::uint16_t MovedMarks = 0;     // the marks the neighbouring row gained
};

// One undo step.
struct TUndoData {
    std::int32_t CaretRow = 0; // the active editor's caret when the step was recorded
    std::int32_t CaretCol = 0;
    std::int32_t FirstRow = -1;          // first row the change rewrote
    std::int32_t InsertedRows = 0;       // rows the change put in place of the removed ones
    std::uint8_t LastAttribute = raNone; // of the last removed row; raNone when none was removed
    std::string RemovedText;             // the removed rows, as RowsText gives them
    // When the change deleted rows outright: their marks, so that restoring them gives the marks
    // back to them instead of leaving them on the row that received them.
    TRemovedRows RemovedRows;
};

// Owns its records; the oldest is first.
class TUndoDataList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    bool Empty() const { return FItems.empty(); }
    TUndoData& Add(std::unique_ptr<TUndoData> Data);
    void DeleteFirst() { FItems.pop_front(); }
    // Removes the newest record and hands it over.
    std::unique_ptr<TUndoData> TakeLast();
    void Clear() { FItems.clear(); }

private:
    std::deque<std::unique_ptr<TUndoData>> FItems;
};

class TEditorUndoObj {
public:
    static constexpr int kMinUndoListMax = 64;

    explicit TEditorUndoObj(TEditorScreenStrings& Owner);
    virtual ~TEditorUndoObj();

    // A new record with the active editor's caret, appended to the undo list (dropping the oldest
    // beyond UndoListMax). Unless redoing, a new change clears the redo list.
    virtual TUndoData& NewUndoData();
    virtual bool CanRedo() const;
    virtual bool CanUndo() const;
    virtual void Redo();
    virtual void Undo();
    // Appends a copy of Data to the redo list, with the active editor's caret.
    virtual void PushRedo(const TUndoData& Data);
    virtual void Clear();
    // Forgets the changes undone, so that Redo has none to bring back.
    void ClearRedo() { FRedoList.Clear(); }

    int GetUndoListMax() const { return FUndoListMax; }
    // Never below kMinUndoListMax; older records beyond the new limit are dropped.
    void SetUndoListMax(int Value);
    int UndoCount() const { return FUndoList.Count(); }
    int RedoCount() const { return FRedoList.Count(); }

private:
    class StepGuard;

    // What a step's replay found in place of the record and put back.
    struct TReplay {
        TRemovedRows Removed; // when the replay deleted rows outright
        std::string CurrentText;
        TRowAttribute CurrentAttribute = raNone;
        int CurrentRows = 0;
        int RestoredRows = 0;
    };

    TReplay Replay(const TUndoData& Data);
    void RecordCaret(TUndoData& Data) const;
    void MoveCaret(const TUndoData& Data);

    TEditorScreenStrings& FOwner;
    int FUndoListMax = kMinUndoListMax;
    bool FRedoing = false;
    TUndoDataList FRedoList;
    TUndoDataList FUndoList;
    TEditorStringList FRestoredRows; // scratch of Replay, kept so that its storage is reused
};

} // namespace kst
