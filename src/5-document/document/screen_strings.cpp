#include "document/screen_strings.h"

#include "document/start_states.h"

#include <algorithm>
#include <functional>

namespace kst {

namespace {

constexpr int kFallbackTabSpaceCount = 8;
constexpr std::string_view kLineBreak = "\r\n";

const TCharSet& FallbackDelimiters() {
    return TextCodePage().DefaultDelimiters();
}

// The text of one document line's rows as one piece. When the rows lie one after another in one
// chunk of the text store (always so after loading), the piece is a view of that chunk and rows
// cut from it become slices of it; otherwise it is a joined copy.
class LineText {
public:
    LineText(const TEditorStringList& Rows, int First, int Last) {
        bool contiguous = true;
        const char* start = nullptr;
        for (int row = First; row <= Last; ++row) {
            const TextRef ref = Rows.GetTextRef(row);
            if (ref.Length == 0) {
                continue;
            }
            if (start == nullptr) {
                start = Rows.GetView(row).data();
                FSource = ref;
                FSource.Length = 0;
            } else if (ref.Chunk != FSource.Chunk ||
                       ref.Offset != FSource.Offset + FSource.Length) {
                contiguous = false;
            }
            FSource.Length += ref.Length;
        }
        if (contiguous) {
            FSlices = start != nullptr;
            FText = std::string_view(start, FSource.Length);
            return;
        }
        for (int row = First; row <= Last; ++row) {
            FCopy += Rows.GetView(row);
        }
        FText = FCopy;
    }
    LineText(const LineText&) = delete;
    LineText& operator=(const LineText&) = delete;

    std::string_view Text() const { return FText; }

    // Row's text becomes Length bytes at Offset of the line.
    void CutInto(TEditorStringList& Rows, int Row, std::uint32_t Offset,
                 std::uint32_t Length) const {
        if (FSlices) {
            Rows.SetTextSlice(Row, FSource.Chunk, FSource.Offset + Offset, Length);
        } else {
            Rows.SetText(Row, FText.substr(Offset, Length));
        }
    }

private:
    TextRef FSource{};
    bool FSlices = false;
    std::string FCopy;
    std::string_view FText;
};

} // namespace

bool EndsWithLineBreak(std::string_view Text) {
    return !Text.empty() && (Text.back() == '\n' || Text.back() == '\r');
}

// Holds back the change notification while whole-text operations rebuild the rows.
class TEditorScreenStrings::NotificationPause {
public:
    explicit NotificationPause(TEditorScreenStrings& Rows) : FRows(Rows) {
        ++FRows.FNotificationPauses;
    }
    ~NotificationPause() { --FRows.FNotificationPauses; }
    NotificationPause(const NotificationPause&) = delete;
    NotificationPause& operator=(const NotificationPause&) = delete;

private:
    TEditorScreenStrings& FRows;
};

TEditorScreenStrings::TEditorScreenStrings() = default;

TEditorScreenStrings::~TEditorScreenStrings() = default;

// Editors

void TEditorScreenStrings::AddEditor(TEditorLink* Editor) {
    if (std::find(FEditors.begin(), FEditors.end(), Editor) == FEditors.end()) {
        FEditors.push_back(Editor);
    }
}

void TEditorScreenStrings::RemoveEditor(TEditorLink* Editor) {
    std::erase(FEditors, Editor);
}

TEditorLink* TEditorScreenStrings::ActiveEditor() const {
    const auto focused = std::find_if(FEditors.begin(), FEditors.end(),
                                      [](auto* Editor) { return Editor->Focused(); });
    if (focused != FEditors.end()) {
        return *focused;
    }
    return FEditors.empty() ? nullptr : FEditors.front();
}

void TEditorScreenStrings::RelayoutEditors() {
    for (TEditorLink* editor : std::vector(FEditors)) {
        editor->Relayout();
    }
}

bool TEditorScreenStrings::OwnerLoading() const {
    return !FEditors.empty() && FEditors.front()->IsLoading();
}

void TEditorScreenStrings::CancelSelections() {
    for (TEditorLink* editor : std::vector(FEditors)) {
        editor->CancelSelection();
    }
}

void TEditorScreenStrings::NotifyEditors() {
    for (TEditorLink* editor : std::vector(FEditors)) {
        editor->LinesChanged();
    }
}

// A caret or top row past the last row goes to the last row, or to the empty line after a final
// line break.
void TEditorScreenStrings::ClampEditors() {
    const int count = GetCount();
    const int limit = count > 0 && GetRowAttribute(count - 1) == raEndOfText ? count - 1 : count;
    for (TEditorLink* editor : std::vector(FEditors)) {
        if (editor->GetRow() > limit) {
            editor->SetRow(limit);
        }
        if (editor->GetTopRow() > limit) {
            editor->SetTopRow(limit);
        }
    }
}

// Change notification

void TEditorScreenStrings::Changed() {
    if (FNotificationPauses > 0) {
        return;
    }
    TEditorStringList::Changed();
    if (UpdateCount() == 0) {
        NotifyEditors();
    }
}

void TEditorScreenStrings::Changing() {
    if (FNotificationPauses == 0) {
        TEditorStringList::Changing();
    }
}

void TEditorScreenStrings::SetUpdateState(bool Updating) {
    TEditorStringList::SetUpdateState(Updating);
    if (!Updating) {
        FUpdateInfo = {};
        ClampEditors();
    }
}

// Marks

void TEditorScreenStrings::SetRowMarks(int Index, std::uint16_t Marks) {
    const std::uint16_t old = GetRowMarks(Index);
    TEditorStringList::SetRowMarks(Index, Marks);
    RemoveUsedMarks(static_cast<std::uint16_t>(old & ~Marks));
    AddUsedMarks(Marks);
}

// Marks that move from row to row with their text.
void TEditorScreenStrings::PlaceMarks(int Index, std::uint16_t Marks) {
    TEditorStringList::SetRowMarks(Index, Marks);
    AddUsedMarks(Marks);
}

// Parts

std::unique_ptr<TEditorUndoObj> TEditorScreenStrings::CreateUndoObj() {
    return std::make_unique<TEditorUndoObj>(*this);
}

std::unique_ptr<TEditorWrapOption> TEditorScreenStrings::CreateWrapOption() {
    return std::make_unique<TEditorWrapOption>();
}

TEditorUndoObj& TEditorScreenStrings::GetUndoObj() {
    if (!FUndo) {
        FUndo = CreateUndoObj();
    }
    return *FUndo;
}

TEditorWrapOption& TEditorScreenStrings::GetWrapOption() {
    if (!FWrapOption) {
        FWrapOption = CreateWrapOption();
        FWrapOption->OnChange = [this](TPersistent*) { Rewrap(); };
    }
    return *FWrapOption;
}

WrapContext TEditorScreenStrings::GetWrapContext() {
    const TEditorLink* editor = ActiveEditor();
    WrapContext context;
    context.Options = &GetWrapOption();
    context.TabSpaceCount = editor != nullptr ? editor->TabSpaceCount() : kFallbackTabSpaceCount;
    context.WordWrap = FWordWrap;
    context.Delimiters = editor != nullptr ? &editor->Delimiters() : &FallbackDelimiters();
    return context;
}

// Editing

void TEditorScreenStrings::UpdateRows(int StartRow, int RowCount, std::string_view Text) {
    const int count = GetCount();
    if (StartRow < 0 || RowCount < 0 || StartRow > count || RowCount > count - StartRow ||
        (RowCount == 0 && Text.empty())) {
        return;
    }
    auto update = ScopedUpdate(*this);
    // A change that starts on a continuation row starts one row back, since text may move up into
    // it (or pair with a lead byte that ended the line). Text put after a last row without a line
    // break continues that row, and so starts where a change of that row starts.
    int first = StartRow;
    if (StartRow < count) {
        first = std::max(LineStartRow(StartRow), StartRow - 1);
    } else if (count > 0 && GetRowAttribute(count - 1) != raLineBreak) {
        first = std::max(LineStartRow(count - 1), count - 2);
    }
    // An insertion re-wraps the line it is put in front of.
    const int lastOld = RowCount > 0 ? StartRow + RowCount - 1 : std::min(StartRow, count - 1);
    int last = lastOld >= first ? LineEndRow(lastOld) : lastOld;
    if (RowCount > 0 && first == StartRow && last == lastOld && Text.empty()) {
        DeleteWholeLines(StartRow, RowCount);
        return;
    }
    // Text without a final line break joins the following line.
    if (lastOld >= first && last == lastOld && last < count - 1) {
        last = LineEndRow(last + 1);
    }
    ReplaceRows(first, last, StartRow, RowCount, Text);
}

void TEditorScreenStrings::DeleteWholeLines(int StartRow, int Count) {
    TUndoData& undo = GetUndoObj().NewUndoData();
    TRowsText removed = RowsText(StartRow, Count);
    undo.FirstRow = StartRow;
    undo.LastAttribute = removed.LastAttribute;
    undo.RemovedText = std::move(removed.Text);
    undo.RemovedRows = DeleteRowsKeepingMarks(StartRow, Count);
    const int parsed = UpdateStartStates(StartRow, true);
    FUpdateInfo = {StartRow, Count, 0, parsed, true};
}

// Rows First..Last become the wrapped rows of: rows First..StartRow-1, Text, and the rows after
// the replaced ones up to Last.
void TEditorScreenStrings::ReplaceRows(int First, int Last, int StartRow, int RowCount,
                                       std::string_view Text) {
    const int afterReplaced = RowCount > 0 ? StartRow + RowCount : StartRow;
    std::string text = RowsText(First, StartRow - First).Text;
    text += Text;
    text += RowsText(afterReplaced, Last - afterReplaced + 1).Text;
    if (text.empty()) {
        // Nothing is left of the rows (the empty last row of a line that filled its rows went
        // with them): they go, rather than leave an empty row after the text's final line break.
        DeleteWholeLines(First, Last - First + 1);
        return;
    }

    TUndoData& undo = GetUndoObj().NewUndoData();
    TRowsText removed = RowsText(First, Last - First + 1);
    undo.FirstRow = First;
    undo.LastAttribute = removed.LastAttribute;
    undo.RemovedText = std::move(removed.Text);

    WrapLine(text, FNewRows);
    const int newCount = FNewRows.GetCount();
    FNewRows.SetRowAttribute(newCount - 1, EndsWithLineBreak(text) ? raLineBreak : raEndOfText);
    undo.InsertedRows = newCount;
    StoreRows(First, Last - First + 1, FNewRows);
    const int parsed = UpdateStartStates(First, true);
    FUpdateInfo = {First, Last - First + 1, newCount, parsed, true};
}

TRowsText TEditorScreenStrings::RowsText(int StartRow, int Count) const {
    TRowsText result;
    if (StartRow < 0 || StartRow >= GetCount()) {
        return result;
    }
    const int rowsLeft = GetCount() - StartRow;
    const int end = Count < 0 ? LineEndRow(StartRow) : StartRow + std::min(Count, rowsLeft) - 1;
    std::size_t length = 0;
    for (int row = StartRow; row <= end; ++row) {
        length += GetView(row).size() + kLineBreak.size();
    }
    result.Text.reserve(length);
    for (int row = StartRow; row <= end; ++row) {
        result.Text += GetView(row);
        if (GetRowAttribute(row) == raLineBreak) {
            result.Text += kLineBreak;
        }
    }
    result.RowCount = end - StartRow + 1;
    result.LastAttribute = result.RowCount > 0 ? GetRowAttribute(end) : raNone;
    return result;
}

std::uint16_t TEditorScreenStrings::DeleteRows(int StartRow, int Count) {
    std::uint16_t marks = 0;
    for (int row = StartRow; row < StartRow + Count; ++row) {
        marks |= GetRowMarks(row);
    }
    DeleteItems(StartRow, Count);
    return marks;
}

TRemovedRows TEditorScreenStrings::DeleteRowsKeepingMarks(int StartRow, int Count) {
    TRemovedRows removed;
    for (int row = StartRow; row < StartRow + Count; ++row) {
        removed.Marks.push_back(GetRowMarks(row));
    }
    const std::uint16_t marks = DeleteRows(StartRow, Count);
    if (GetCount() == 0) {
        RemoveUsedMarks(marks);
        return removed;
    }
    const int heir = std::min(StartRow, GetCount() - 1);
    const std::uint16_t own = GetRowMarks(heir);
    removed.MovedMarks = static_cast<std::uint16_t>(marks & ~own);
    PlaceMarks(heir, own | marks);
    return removed;
}

void TEditorScreenStrings::RestoreRows(int StartRow, const TEditorStringList& NewRows,
                                       const TRemovedRows& Removed) {
    if (GetCount() > 0 && Removed.MovedMarks != 0) {
        const int heir = std::min(StartRow, GetCount() - 1);
        TEditorStringList::SetRowMarks(
            heir, static_cast<std::uint16_t>(GetRowMarks(heir) & ~Removed.MovedMarks));
    }
    const int count = NewRows.GetCount();
    InsertItems(StartRow, count);
    for (int i = 0; i < count; ++i) {
        CopyItem(StartRow + i, NewRows, i);
        PlaceMarks(StartRow + i, i < static_cast<int>(Removed.Marks.size()) ? Removed.Marks[i] : 0);
    }
}

void TEditorScreenStrings::StoreRows(int Start, int OldCount, const TEditorStringList& NewRows) {
    const int newCount = NewRows.GetCount();
    std::vector<std::uint16_t> marks(newCount, 0);
    if (newCount < OldCount) {
        const int surplus = OldCount - newCount;
        for (int i = 0; i < newCount; ++i) {
            marks[i] = GetRowMarks(Start + surplus + i);
        }
        const std::uint16_t deleted = DeleteRows(Start, surplus);
        if (newCount > 0) {
            marks[0] |= deleted;
        }
    } else {
        InsertItems(Start + OldCount, newCount - OldCount);
        const int added = newCount - OldCount;
        for (int i = 1; i < OldCount; ++i) {
            marks[added + i] = GetRowMarks(Start + i);
        }
        if (OldCount > 0) {
            // A line split at its start takes its marks down with its text.
            const TEditorLink* editor = ActiveEditor();
            const bool splitAtStart = editor != nullptr && editor->GetCol() == 0;
            marks[splitAtStart ? added : 0] |= GetRowMarks(Start);
        }
    }
    for (int i = 0; i < newCount; ++i) {
        CopyItem(Start + i, NewRows, i);
        PlaceMarks(Start + i, marks[i]);
    }
}

void TEditorScreenStrings::WrapLine(std::string_view Text, TEditorStringList& Rows) {
    kst::WrapLine(GetWrapContext(), Text, Rows);
}

int TEditorScreenStrings::WrapLineCount(std::string_view Text) {
    return kst::WrapLineCount(GetWrapContext(), Text);
}

// Word wrap on and off

void TEditorScreenStrings::WrapAll() {
    WrapContext context = GetWrapContext();
    context.WordWrap = true;
    ReflowAll(context);
}

void TEditorScreenStrings::UnwrapAll() {
    WrapContext context = GetWrapContext();
    context.WordWrap = false;
    ReflowAll(context);
}

// Re-cuts every document line into rows; a line of one row that fits stays as it is.
void TEditorScreenStrings::ReflowAll(const WrapContext& Context) {
    CancelSelections();
    NotificationPause pause(*this);
    for (int row = 0; row < GetCount();) {
        int last = row;
        while (last < GetCount() - 1 && GetRowAttribute(last) == raWrap) {
            ++last;
        }
        if (last == row && GetRowAttribute(row) != raWrap && FitsInOneRow(Context, GetView(row))) {
            ++row;
            continue;
        }
        row = ReflowLine(Context, row, last) + 1;
    }
}

// Re-cuts the line in rows First..Last; returns its new last row. New row i takes old row i's
// marks, and the last new row those of the surplus old rows.
int TEditorScreenStrings::ReflowLine(const WrapContext& Context, int First, int Last) {
    const LineText line(*this, First, Last);
    FRowLengths.clear();
    LineWrapper wrapper(Context, line.Text());
    WrappedRow piece;
    while (wrapper.Next(piece)) {
        FRowLengths.push_back(static_cast<std::uint32_t>(piece.Text.size()));
    }
    const int oldCount = Last - First + 1;
    const int newCount = static_cast<int>(FRowLengths.size());
    std::vector<std::uint16_t> marks(newCount, 0);
    for (int i = 0; i < oldCount; ++i) {
        marks[std::min(i, newCount - 1)] |= GetRowMarks(First + i);
    }
    // The line's end stays; a last row that wrapped (never so in a sound text) ends the text.
    const TRowAttribute end = GetRowAttribute(Last) == raWrap ? raEndOfText : GetRowAttribute(Last);

    // New texts are set before surplus rows go, so that the line's text stays referred to.
    InsertItems(Last + 1, newCount - oldCount);
    std::uint32_t offset = 0;
    for (int i = 0; i < newCount; ++i) {
        line.CutInto(*this, First + i, offset, FRowLengths[i]);
        offset += FRowLengths[i];
        SetRowAttribute(First + i, i + 1 < newCount ? raWrap : end);
        TEditorStringList::SetRowMarks(First + i, marks[i]);
    }
    DeleteItems(First + newCount, oldCount - newCount);
    return First + newCount - 1;
}

void TEditorScreenStrings::SetWordWrap(bool Value) {
    if (Value == FWordWrap) {
        return;
    }
    FWordWrap = Value;
    if (OwnerLoading()) {
        return;
    }
    GetUndoObj().Clear();
    if (FWordWrap) {
        WrapAll();
    } else {
        UnwrapAll();
    }
    ResetAfterRewrap();
}

void TEditorScreenStrings::Rewrap() {
    if (!FWordWrap || OwnerLoading()) {
        return;
    }
    GetUndoObj().Clear();
    WrapAll();
    ResetAfterRewrap();
}

// Row numbers changed everywhere: start states, layout, caret and top row start over.
void TEditorScreenStrings::ResetAfterRewrap() {
    InitStartStates();
    RelayoutEditors();
    ClampEditors();
    for (TEditorLink* editor : std::vector(FEditors)) {
        editor->SetRowCol(editor->GetRow(), 0);
    }
}

void TEditorScreenStrings::Clear() {
    CancelSelections();
    GetUndoObj().Clear();
    FUpdateInfo = {0, GetCount(), 0, 0, false};
    TEditorStringList::Clear();
    FUpdateInfo = {};
    for (TEditorLink* editor : std::vector(FEditors)) {
        editor->SetRowCol(0, 0);
    }
    FUsedMarks = 0;
}

void TEditorScreenStrings::Undo() {
    GetUndoObj().Undo();
}

void TEditorScreenStrings::Redo() {
    GetUndoObj().Redo();
}

// Start states

void TEditorScreenStrings::InitStartStates() {
    if (OwnerLoading() || (!FEditors.empty() && FEditors.front()->IsDestroying())) {
        return;
    }
    if (const TEditorLink* editor = ActiveEditor()) {
        ComputeStartStates(*this, editor->EffectiveFountain(), InitStartStatesLimit());
    } else {
        MarkStartStatesNotComputed(*this, 0, GetCount() - 1);
    }
}

int TEditorScreenStrings::UpdateStartStates(int FromRow, bool Notify) {
    const TEditorLink* editor = ActiveEditor();
    if (editor == nullptr) {
        return 0;
    }
    // The edit's own update repaints FromRow and as many rows after it as were rewritten, in one
    // request; only rows above it, where the walk resumed from an earlier row, are repainted here.
    std::function<void(int)> repaint;
    if (Notify) {
        repaint = [this, FromRow](int Row) {
            if (Row >= FromRow) {
                return;
            }
            for (TEditorLink* each : FEditors) {
                each->InvalidateRow(Row);
            }
        };
    }
    return RefreshStartStates(*this, editor->EffectiveFountain(), FromRow,
                              UpdateStartStatesLimit(FromRow), repaint);
}

bool TEditorScreenStrings::ComputeStartStatesAhead(int RowCount) {
    const TEditorLink* editor = ActiveEditor();
    if (editor == nullptr || StatesFollowLineStartOnly(editor->EffectiveFountain())) {
        return false;
    }
    FStatesAheadEnd =
        kst::ComputeStartStatesAhead(*this, editor->EffectiveFountain(), FStatesAheadEnd, RowCount);
    return FStatesAheadEnd < GetCount();
}

int TEditorScreenStrings::InitStartStatesLimit() const {
    const TEditorLink* editor = ActiveEditor();
    const int last = GetCount() - 1;
    if (editor == nullptr || editor->InitBracketsFull()) {
        return last;
    }
    return std::min(last, editor->GetTopRow() + 2 * std::max(editor->ScreenRows(), 1));
}

int TEditorScreenStrings::UpdateStartStatesLimit(int FromRow) const {
    const TEditorLink* editor = ActiveEditor();
    const int last = GetCount() - 1;
    if (editor == nullptr) {
        return last;
    }
    return std::min(last, FromRow + 2 * std::max(editor->ScreenRows(), 1));
}

} // namespace kst
