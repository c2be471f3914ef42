// Character indexes of row starts (every row's bytes, plus 2 after a raLineBreak row), found
// without walking from row 0 each time. The cache keeps two checkpoints, each a row start a little
// before a row that was asked about (on a multiple of kCheckpointRows, at least kCheckpointMargin
// rows back), and walks from the nearest one. Queries that alternate between two places (a
// selection's start and end) keep one checkpoint each. A change of the rows from some row on
// forgets only the checkpoints after it; since an edit at a row starts at most one row before it,
// the checkpoint of the row being edited survives, so queries around an edit stay cheap however
// long the text is.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace kst {

class TEditorScreenStrings;

class TRowIndexCache {
public:
    static constexpr int kCheckpointRows = 64;
    static constexpr int kCheckpointMargin = 2;

    void Reset();
    // The rows from Row on changed; rows before it, and the index of Row's start, did not.
    void RowsChangedFrom(int Row);

    // Character index of Row's start; Row is clamped to 0..row count.
    std::int64_t IndexOfRow(const TEditorScreenStrings& Rows, int Row);
    // The row holding Index: the first row whose bytes and line break reach past it, or the row
    // count when Index is at or past the end of the text.
    int RowOfIndex(const TEditorScreenStrings& Rows, std::int64_t Index);

private:
    struct TAnchor {
        int Row = 0;
        std::int64_t Index = 0;
    };
    using TSlot = std::optional<TAnchor>;

    // The slot of the checkpoint nearest to Row (or to Index); none when row 0 is nearer.
    TSlot* NearestToRow(int Row);
    TSlot* NearestToIndex(std::int64_t Index);
    // Keeps the checkpoint of Position; From is the slot the walk started from.
    void Remember(const TEditorScreenStrings& Rows, TSlot* From, TAnchor Position);

    std::array<TSlot, 2> FSlots;
};

} // namespace kst
