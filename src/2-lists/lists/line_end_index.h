// The sorted row numbers of the rows that end a document line, so that mapping between rows and
// document lines never walks the rows. The entries sit in a gap buffer; those after the gap are
// stored as distances from the end of the rows, so inserting or deleting rows at the gap changes
// no stored entry. Moving the gap costs the number of line ends it passes.
#pragma once

#include <cstdint>
#include <vector>

namespace kst {

class LineEndIndex {
public:
    // Count rows inserted before Row; every inserted row ends a line (a new row is raLineBreak).
    void RowsInserted(int Row, int Count);
    void RowsDeleted(int Row, int Count);
    void SetLineEnd(int Row, bool IsLineEnd);
    void Clear();

    int RowCount() const { return FRows; }
    int LineEndCount() const { return static_cast<int>(FEntries.size()) - GapLength(); }
    // Row of the K-th line end (K from 0).
    int LineEndRow(int K) const;
    // Number of line ends before Row.
    int LineEndsBefore(int Row) const;

private:
    int GapLength() const { return FGapEnd - FGapStart; }
    // Moves the gap so that exactly the line ends before Row stand before it.
    void MoveGapTo(int Row);
    void ReserveGap(int Count);

    std::vector<std::int32_t> FEntries;
    int FGapStart = 0;
    int FGapEnd = 0;
    int FRows = 0;
};

} // namespace kst
