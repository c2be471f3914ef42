#include "document/start_states.h"

#include "fountain/fountain.h"
#include "fountain/fountain_parser.h"
#include "lists/string_list.h"

#include <algorithm>

namespace kst {

namespace {

TRowAttributeData NotComputedState() {
    TRowAttributeData state;
    state.BracketIndex = kStateNotComputed;
    return state;
}

bool IsComputed(const TRowAttributeStringList& Rows, int Row) {
    return Rows.GetBracketIndex(Row) != kStateNotComputed;
}

// Walks the rows forward, carrying the state of the row at hand to the next one.
class StateWalk {
public:
    StateWalk(TRowAttributeStringList& Rows, TFountain& Fountain)
        : FRows(Rows), FParser(Fountain.NewParser()) {}

    // Starts at Row, or at the nearest row before it whose state is missing, with the state the
    // rows before that give. Where states follow the line start alone (FromLineStart), the walk
    // back stops at the start of Row's line, so a far row costs no more than its own line.
    void ResumeAt(int Row, bool FromLineStart) {
        int known = Row - 1;
        while (known >= 0 && !IsComputed(FRows, known)) {
            if (FromLineStart && FRows.GetRowAttribute(known) != raWrap) {
                StartAt(known + 1);
                return;
            }
            --known;
        }
        if (known < 0) {
            StartAt(0);
            return;
        }
        FRow = known;
        FState = FRows.GetRowData(known);
        Advance();
    }

    int Row() const { return FRow; }
    const TRowAttributeData& State() const { return FState; }

    // Whether the row at hand already holds the state the walk carries.
    bool RowAgrees() const {
        TRowAttributeData stored = FRows.GetRowData(FRow);
        stored.RowAttribute = FState.RowAttribute;
        return stored == FState;
    }

    void StoreAndAdvance() {
        FState.RowAttribute = FRows.GetRowAttribute(FRow);
        FRows.SetStartState(FRow, FState);
        Advance();
    }

private:
    // Starts at the first row of a line, whose state the row before it alone gives.
    void StartAt(int Row) {
        FRow = Row;
        FState = InitialStartState();
        if (Row > 0) {
            FState.PrevRowAttribute = static_cast<std::uint8_t>(FRows.GetRowAttribute(Row - 1));
        }
    }

    void Advance() {
        const auto attribute = static_cast<std::uint8_t>(FRows.GetRowAttribute(FRow));
        FState.RowAttribute = attribute;
        FParser->AdvanceRowState(FRow, FRows, FState);
        FState.PrevRowAttribute = attribute;
        ++FRow;
    }

    TRowAttributeStringList& FRows;
    std::unique_ptr<TFountainParser> FParser;
    TRowAttributeData FState;
    int FRow = 0;
};

} // namespace

TRowAttributeData InitialStartState() {
    return TRowAttributeData{};
}

void ComputeStartStates(TRowAttributeStringList& Rows, TFountain& Fountain, int LastRow) {
    const int last = std::min(LastRow, Rows.GetCount() - 1);
    StateWalk walk(Rows, Fountain);
    walk.ResumeAt(0, false);
    while (walk.Row() <= last) {
        walk.StoreAndAdvance();
    }
    MarkStartStatesNotComputed(Rows, last + 1, Rows.GetCount() - 1);
}

bool StatesFollowLineStartOnly(const TFountain& Fountain) {
    return !Fountain.StateRunsAcrossLines();
}

int RefreshStartStates(TRowAttributeStringList& Rows, TFountain& Fountain, int FromRow, int Limit,
                       const std::function<void(int Row)>& RowChanged) {
    if (FromRow < 0 || FromRow >= Rows.GetCount()) {
        return 0;
    }
    const int limit = std::min(Limit, Rows.GetCount() - 1);
    StateWalk walk(Rows, Fountain);
    walk.ResumeAt(FromRow, StatesFollowLineStartOnly(Fountain));
    int rewritten = 0;
    while (walk.Row() <= limit) {
        if (walk.RowAgrees()) {
            return rewritten;
        }
        if (RowChanged) {
            RowChanged(walk.Row());
        }
        ++rewritten;
        walk.StoreAndAdvance();
    }
    // Only the computed prefix can hold states that no longer follow.
    int computedEnd = walk.Row();
    while (computedEnd < Rows.GetCount() && IsComputed(Rows, computedEnd)) {
        ++computedEnd;
    }
    MarkStartStatesNotComputed(Rows, walk.Row(), computedEnd - 1);
    return rewritten;
}

int ComputeStartStatesAhead(TRowAttributeStringList& Rows, TFountain& Fountain, int Hint,
                            int Count) {
    // Edits since the last call can only have shortened the prefix.
    int end = std::clamp(Hint, 0, Rows.GetCount());
    while (end > 0 && !IsComputed(Rows, end - 1)) {
        --end;
    }
    while (end < Rows.GetCount() && IsComputed(Rows, end)) {
        ++end;
    }
    if (end == Rows.GetCount()) {
        return end;
    }
    StateWalk walk(Rows, Fountain);
    walk.ResumeAt(end, false);
    const int last = std::min(Rows.GetCount(), end + Count);
    while (walk.Row() < last) {
        walk.StoreAndAdvance();
    }
    return last;
}

void MarkStartStatesNotComputed(TRowAttributeStringList& Rows, int FromRow, int ToRow) {
    const TRowAttributeData notComputed = NotComputedState();
    // Reading a row is much cheaper than writing one, and after loading no row is computed.
    for (int row = std::max(FromRow, 0); row <= ToRow; ++row) {
        if (IsComputed(Rows, row)) {
            Rows.SetStartState(row, notComputed);
        }
    }
}

} // namespace kst
