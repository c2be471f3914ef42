// Maps between rows and document lines without walking the rows. A row ends a line unless it is
// wrapped, and wrapped rows are the rare ones (none at all without word wrap), so the index keeps
// the sorted row numbers of the wrapped rows and counts the line ends from them. The entries sit
// in a gap buffer; those after the gap are stored as distances from the end of the rows, so
// inserting or deleting rows at the gap changes no stored entry. Moving the gap costs the number
// of wrapped rows it passes.
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
    int LineEndCount() const { return FRows - WrappedCount(); }
    // Row of the K-th line end (K from 0).
    int LineEndRow(int K) const;
    // Number of line ends before Row.
    int LineEndsBefore(int Row) const { return Row - WrappedBefore(Row); }
    // First and last row of the line that contains Row (0..RowCount()-1); the last row ends a
    // line even when it is wrapped.
    int LineStart(int Row) const;
    int LineEnd(int Row) const;

private:
    int GapLength() const { return FGapEnd - FGapStart; }
    int WrappedCount() const { return static_cast<int>(FWrapped.size()) - GapLength(); }
    // The J-th wrapped row (J from 0).
    int WrappedRow(int J) const;
    int WrappedBefore(int Row) const;
    // Moves the gap so that exactly the wrapped rows before Row stand before it.
    void MoveGapTo(int Row);
    void ReserveGap(int Count);

    std::vector<std::int32_t> FWrapped;
    int FGapStart = 0;
    int FGapEnd = 0;
    int FRows = 0;
};

} // namespace kst
