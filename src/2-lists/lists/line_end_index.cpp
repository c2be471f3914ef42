#include "lists/line_end_index.h"

#include <algorithm>

namespace kst {

void LineEndIndex::RowsInserted(int Row, int Count) {
    if (Count <= 0) {
        return;
    }
    MoveGapTo(Row);
    FRows += Count;
}

void LineEndIndex::RowsDeleted(int Row, int Count) {
    if (Count <= 0) {
        return;
    }
    MoveGapTo(Row);
    // The wrapped rows among the deleted ones now stand right after the gap.
    const int end = static_cast<int>(FWrapped.size());
    while (FGapEnd < end && FRows - FWrapped[FGapEnd] < Row + Count) {
        ++FGapEnd;
    }
    FRows -= Count;
}

void LineEndIndex::SetLineEnd(int Row, bool IsLineEnd) {
    MoveGapTo(Row);
    const bool wrapped =
        FGapEnd < static_cast<int>(FWrapped.size()) && FRows - FWrapped[FGapEnd] == Row;
    if (wrapped != IsLineEnd) {
        return;
    }
    if (IsLineEnd) {
        ++FGapEnd;
    } else {
        ReserveGap(1);
        FWrapped[FGapStart++] = Row;
    }
}

void LineEndIndex::Clear() {
    FWrapped.clear();
    FWrapped.shrink_to_fit();
    FGapStart = FGapEnd = FRows = 0;
}

int LineEndIndex::LineEndRow(int K) const {
    // A wrapped row J lies before the K-th line end exactly when at most K line ends precede it,
    // that is when WrappedRow(J) - J <= K; those rows come before it besides the K line ends.
    int low = 0;
    int high = WrappedCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (WrappedRow(middle) - middle <= K) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return K + low;
}

int LineEndIndex::LineStart(int Row) const {
    int j = WrappedBefore(Row);
    while (j > 0 && WrappedRow(j - 1) == Row - 1) {
        --j;
        --Row;
    }
    return Row;
}

int LineEndIndex::LineEnd(int Row) const {
    int j = WrappedBefore(Row);
    while (j < WrappedCount() && WrappedRow(j) == Row && Row < FRows - 1) {
        ++j;
        ++Row;
    }
    return Row;
}

int LineEndIndex::WrappedRow(int J) const {
    return J < FGapStart ? FWrapped[J] : FRows - FWrapped[J + GapLength()];
}

int LineEndIndex::WrappedBefore(int Row) const {
    // Entries before the gap are absolute; after it they count down from the end.
    if (FGapStart > 0 && FWrapped[FGapStart - 1] >= Row) {
        return static_cast<int>(
            std::lower_bound(FWrapped.begin(), FWrapped.begin() + FGapStart, Row) -
            FWrapped.begin());
    }
    const auto after = FWrapped.begin() + FGapEnd;
    const auto found = std::lower_bound(after, FWrapped.end(), Row, [this](int Stored, int Target) {
        return FRows - Stored < Target;
    });
    return FGapStart + static_cast<int>(found - after);
}

void LineEndIndex::MoveGapTo(int Row) {
    // Entries < Row belong before the gap, the others after it.
    while (FGapStart > 0 && FWrapped[FGapStart - 1] >= Row) {
        FWrapped[--FGapEnd] = FRows - FWrapped[--FGapStart];
    }
    const int end = static_cast<int>(FWrapped.size());
    while (FGapEnd < end && FRows - FWrapped[FGapEnd] < Row) {
        FWrapped[FGapStart++] = FRows - FWrapped[FGapEnd++];
    }
}

void LineEndIndex::ReserveGap(int Count) {
    if (GapLength() >= Count) {
        return;
    }
    const int used = WrappedCount();
    const int tail = static_cast<int>(FWrapped.size()) - FGapEnd;
    const int newSize = std::max(used + Count, used + used / 2 + 16);
    std::vector<std::int32_t> entries(static_cast<std::size_t>(newSize));
    std::copy(FWrapped.begin(), FWrapped.begin() + FGapStart, entries.begin());
    std::copy(FWrapped.begin() + FGapEnd, FWrapped.end(), entries.end() - tail);
    FWrapped.swap(entries);
    FGapEnd = newSize - tail;
}

} // namespace kst
