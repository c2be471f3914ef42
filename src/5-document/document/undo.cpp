#include "document/undo.h"

#include "document/screen_strings.h"

#include <algorithm>
#include <utility>

namespace kst {

TUndoData& TUndoDataList::Add(std::unique_ptr<TUndoData> Data) {
    FItems.push_back(std::move(Data));
    return *FItems.back();
}

std::unique_ptr<TUndoData> TUndoDataList::TakeLast() {
    std::unique_ptr<TUndoData> last = std::move(FItems.back());
    FItems.pop_back();
    return last;
}

TEditorUndoObj::TEditorUndoObj(TEditorScreenStrings& Owner) : FOwner(Owner) {}

TEditorUndoObj::~TEditorUndoObj() = default;

void TEditorUndoObj::RecordCaret(TUndoData& Data) const {
    if (const TEditorLink* editor = FOwner.ActiveEditor()) {
        Data.CaretRow = editor->GetRow();
        Data.CaretCol = editor->GetCol();
    }
}

void TEditorUndoObj::MoveCaret(const TUndoData& Data) {
    if (TEditorLink* editor = FOwner.ActiveEditor()) {
        editor->SetRowCol(Data.CaretRow, Data.CaretCol);
    }
}

TUndoData& TEditorUndoObj::NewUndoData() {
    auto data = std::make_unique<TUndoData>();
    RecordCaret(*data);
    TUndoData& added = FUndoList.Add(std::move(data));
    if (FUndoList.Count() > FUndoListMax) {
        FUndoList.DeleteFirst();
    }
    if (!FRedoing) {
        FRedoList.Clear();
    }
    return added;
}

bool TEditorUndoObj::CanRedo() const {
    return !FRedoList.Empty();
}

bool TEditorUndoObj::CanUndo() const {
    return !FUndoList.Empty();
}

void TEditorUndoObj::PushRedo(const TUndoData& Data) {
    auto copy = std::make_unique<TUndoData>(Data);
    RecordCaret(*copy);
    FRedoList.Add(std::move(copy));
}

void TEditorUndoObj::Clear() {
    FUndoList.Clear();
    FRedoList.Clear();
}

void TEditorUndoObj::SetUndoListMax(int Value) {
    FUndoListMax = std::max(Value, kMinUndoListMax);
    while (FUndoList.Count() > FUndoListMax) {
        FUndoList.DeleteFirst();
    }
}

// Puts the rows Data removed back in place of the rows it inserted, and reports what stood there.
TEditorUndoObj::TReplay TEditorUndoObj::Replay(const TUndoData& Data) {
    TReplay replay;
    if (Data.InsertedRows > 0) {
        TRowsText current = FOwner.RowsText(Data.FirstRow, Data.InsertedRows);
        replay.CurrentText = std::move(current.Text);
        replay.CurrentAttribute = current.LastAttribute;
        replay.CurrentRows = current.RowCount;
    }
    if (Data.LastAttribute == raNone) {
        replay.Removed = FOwner.DeleteRowsKeepingMarks(Data.FirstRow, replay.CurrentRows);
    } else {
        TEditorStringList& rows = FRestoredRows;
        FOwner.WrapLine(Data.RemovedText, rows);
        const int last = rows.GetCount() - 1;
        if (Data.LastAttribute == raWrap && last > 0 && rows.GetView(last).empty()) {
            rows.Delete(last);
        } else if (Data.LastAttribute != raLineBreak && EndsWithLineBreak(Data.RemovedText)) {
            rows.Add(""); // an empty last row that wrapping drops after a final line break
        }
        rows.SetRowAttribute(rows.GetCount() - 1, static_cast<TRowAttribute>(Data.LastAttribute));
        if (replay.CurrentRows == 0) {
            FOwner.RestoreRows(Data.FirstRow, rows, Data.RemovedRows);
        } else {
            FOwner.StoreRows(Data.FirstRow, replay.CurrentRows, rows);
        }
        replay.RestoredRows = rows.GetCount();
    }
    const int parsed = FOwner.UpdateStartStates(Data.FirstRow, true);
    FOwner.SetUpdateInfo({Data.FirstRow, replay.CurrentRows, replay.RestoredRows, parsed, true});
    return replay;
}

// The step leaves the undo list first, so that a failure on the way never leaves a half-replayed
// record to be replayed again.
void TEditorUndoObj::Undo() {
    if (FUndoList.Empty()) {
        return;
    }
    const std::unique_ptr<TUndoData> data = FUndoList.TakeLast();
    auto caretHide = ScopedCaretHide(FOwner.ActiveEditor());
    auto update = ScopedUpdate(FOwner);
    TReplay replay = Replay(*data);
    data->InsertedRows = replay.RestoredRows;
    data->LastAttribute = replay.CurrentAttribute;
    data->RemovedText = std::move(replay.CurrentText);
    data->RemovedRows = std::move(replay.Removed);
    PushRedo(*data);
    update.Run();
    MoveCaret(*data);
}

void TEditorUndoObj::Redo() {
    if (FRedoList.Empty()) {
        return;
    }
    const std::unique_ptr<TUndoData> data = FRedoList.TakeLast();
    auto caretHide = ScopedCaretHide(FOwner.ActiveEditor());
    auto update = ScopedUpdate(FOwner);
    TReplay replay = Replay(*data);
    FRedoing = true;
    auto endRedoing = ScopeEnd([this] { FRedoing = false; });
    TUndoData& inverse = NewUndoData();
    endRedoing.Run();
    inverse.FirstRow = data->FirstRow;
    inverse.InsertedRows = replay.RestoredRows;
    inverse.LastAttribute = replay.CurrentAttribute;
    inverse.RemovedText = std::move(replay.CurrentText);
    inverse.RemovedRows = std::move(replay.Removed);
    update.Run();
    MoveCaret(*data);
}

} // namespace kst
