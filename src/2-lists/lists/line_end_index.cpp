#include "lists/line_end_index.h"

#include <algorithm>

namespace kst {

void LineEndIndex::RowsInserted(int Row, int Count) {
    if (Count <= 0) {
        return;
    }
    MoveGapTo(Row);
    ReserveGap(Count);
    for (int i = 0; i < Count; ++i) {
        FEntries[FGapStart++] = Row + i;
    }
    FRows += Count;
}

void LineEndIndex::RowsDeleted(int Row, int Count) {
    if (Count <= 0) {
        return;
    }
    MoveGapTo(Row);
    // The line ends among the deleted rows now stand right after the gap.
    const int end = static_cast<int>(FEntries.size());
    while (FGapEnd < end && FRows - FEntries[FGapEnd] < Row + Count) {
        ++FGapEnd;
    }
    FRows -= Count;
}

void LineEndIndex::SetLineEnd(int Row, bool IsLineEnd) {
    MoveGapTo(Row);
    const bool isNow =
        FGapEnd < static_cast<int>(FEntries.size()) && FRows - FEntries[FGapEnd] == Row;
    if (isNow == IsLineEnd) {
        return;
    }
    if (IsLineEnd) {
        ReserveGap(1);
        FEntries[FGapStart++] = Row;
    } else {
        ++FGapEnd;
    }
}

void LineEndIndex::Clear() {
    FEntries.clear();
    FEntries.shrink_to_fit();
    FGapStart = FGapEnd = FRows = 0;
}

int LineEndIndex::LineEndRow(int K) const {
    return K < FGapStart ? FEntries[K] : FRows - FEntries[K + GapLength()];
}

int LineEndIndex::LineEndsBefore(int Row) const {
    // Entries before the gap are absolute; after it they count down from the end.
    if (FGapStart > 0 && FEntries[FGapStart - 1] >= Row) {
        return static_cast<int>(
            std::lower_bound(FEntries.begin(), FEntries.begin() + FGapStart, Row) -
            FEntries.begin());
    }
    const auto after = FEntries.begin() + FGapEnd;
    const auto found = std::lower_bound(after, FEntries.end(), Row, [this](int Stored, int Target) {
        return FRows - Stored < Target;
    });
    return FGapStart + static_cast<int>(found - after);
}

void LineEndIndex::MoveGapTo(int Row) {
    // Entries < Row belong before the gap, the others after it.
    while (FGapStart > 0 && FEntries[FGapStart - 1] >= Row) {
        FEntries[--FGapEnd] = FRows - FEntries[--FGapStart];
    }
    const int end = static_cast<int>(FEntries.size());
    while (FGapEnd < end && FRows - FEntries[FGapEnd] < Row) {
        FEntries[FGapStart++] = FRows - FEntries[FGapEnd++];
    }
}

void LineEndIndex::ReserveGap(int Count) {
    if (GapLength() >= Count) {
        return;
    }
    const int used = LineEndCount();
    const int tail = static_cast<int>(FEntries.size()) - FGapEnd;
    const int newSize = std::max(used + Count, used + used / 2 + 16);
    std::vector<std::int32_t> entries(static_cast<std::size_t>(newSize));
    std::copy(FEntries.begin(), FEntries.begin() + FGapStart, entries.begin());
    std::copy(FEntries.begin() + FGapEnd, FEntries.end(), entries.end() - tail);
    FEntries.swap(entries);
    FGapEnd = newSize - tail;
}

} // namespace kst
