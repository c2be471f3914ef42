#include "document/row_index_cache.h"

#include "document/screen_strings.h"

#include <algorithm>
#include <cstdlib>

namespace kst {

namespace {

std::int64_t RowSpan(const TEditorScreenStrings& Rows, int Row) {
    const auto length = static_cast<std::int64_t>(Rows.GetView(Row).size());
    return Rows.GetRowAttribute(Row) == raLineBreak ? length + 2 : length;
}

} // namespace

void TRowIndexCache::Reset() {
    FSlots = {};
}

void TRowIndexCache::RowsChangedFrom(int Row) {
    for (TSlot& slot : FSlots) {
        if (slot && slot->Row > Row) {
            slot.reset();
        }
    }
}

TRowIndexCache::TSlot* TRowIndexCache::NearestToRow(int Row) {
    TSlot* nearest = nullptr;
    int distance = Row;
    for (TSlot& slot : FSlots) {
        if (slot && std::abs(slot->Row - Row) < distance) {
            nearest = &slot;
            distance = std::abs(slot->Row - Row);
        }
    }
    return nearest;
}

TRowIndexCache::TSlot* TRowIndexCache::NearestToIndex(std::int64_t Index) {
    TSlot* nearest = nullptr;
    std::int64_t distance = Index;
    for (TSlot& slot : FSlots) {
        if (slot && std::abs(slot->Index - Index) < distance) {
            nearest = &slot;
            distance = std::abs(slot->Index - Index);
        }
    }
    return nearest;
}

// The checkpoint replaces the slot the walk started from when it lies in the same block; else it
// goes to the other slot (an empty one, or the one farther from it). Row 0 needs no slot.
void TRowIndexCache::Remember(const TEditorScreenStrings& Rows, TSlot* From, TAnchor Position) {
    const int checkpoint =
        std::max(0, Position.Row - kCheckpointMargin) / kCheckpointRows * kCheckpointRows;
    if (checkpoint == 0 || (From != nullptr && (*From)->Row == checkpoint)) {
        return;
    }
    while (Position.Row > checkpoint) {
        --Position.Row;
        Position.Index -= RowSpan(Rows, Position.Row);
    }
    if (From != nullptr && std::abs((*From)->Row - checkpoint) <= kCheckpointRows) {
        *From = Position;
        return;
    }
    TSlot* target = nullptr;
    for (TSlot& slot : FSlots) {
        if (!slot) {
            slot = Position;
            return;
        }
        const auto distance = [checkpoint](const TSlot& Slot) {
            return std::abs(Slot->Row - checkpoint);
        };
        if (&slot != From && (target == nullptr || distance(slot) > distance(*target))) {
            target = &slot;
        }
    }
    *target = Position;
}

std::int64_t TRowIndexCache::IndexOfRow(const TEditorScreenStrings& Rows, int Row) {
    const int row = std::clamp(Row, 0, Rows.GetCount());
    TSlot* from = NearestToRow(row);
    TAnchor position = from != nullptr ? **from : TAnchor{};
    for (; position.Row < row; ++position.Row) {
        position.Index += RowSpan(Rows, position.Row);
    }
    while (position.Row > row) {
        --position.Row;
        position.Index -= RowSpan(Rows, position.Row);
    }
    Remember(Rows, from, position);
    return position.Index;
}

int TRowIndexCache::RowOfIndex(const TEditorScreenStrings& Rows, std::int64_t Index) {
    TSlot* from = NearestToIndex(Index);
    TAnchor position = from != nullptr ? **from : TAnchor{};
    while (position.Row > 0 && position.Index > Index) {
        --position.Row;
        position.Index -= RowSpan(Rows, position.Row);
    }
    const int count = Rows.GetCount();
    while (position.Row < count && Index >= position.Index + RowSpan(Rows, position.Row)) {
        position.Index += RowSpan(Rows, position.Row);
        ++position.Row;
    }
    Remember(Rows, from, position);
    return position.Row;
}

} // namespace kst
