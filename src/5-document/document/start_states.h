// The colouring parser's start state of every row: computed from the row before it, stored with
// the row, and recomputed after an edit only as far as the states change. Rows whose state is
// not computed (BracketIndex -2) are computed when they are painted.
//
// Where a row's state can depend on the rows above it, the computed rows always form a prefix of
// the text, apart from rows an edit has just put in (which the refresh after that edit computes):
// every computation resumes after the nearest computed row, and every invalidation runs to the
// end of the computed prefix. Where it cannot (no bracket region can run on over a line end), the
// state of a line's first row follows from the attribute of the row before it alone, and any row
// is computed from the start of its own line.
#pragma once

#include "lists/row_attribute.h"

#include <functional>

namespace kst {

class TFountain;
class TRowAttributeStringList;

// The state before the first row: outside brackets, nothing carried.
TRowAttributeData InitialStartState();

// Computes rows 0..LastRow and marks the rows after them not computed.
void ComputeStartStates(TRowAttributeStringList& Rows, TFountain& Fountain, int LastRow);

// Whether a row's state follows from the start of its line alone (no bracket region can run on
// over a line end), word wrap or not.
bool StatesFollowLineStartOnly(const TFountain& Fountain);

// Recomputes states from FromRow until a stored state agrees with the computed one, at most up to
// Limit; if the states still differ there, the rows after Limit are marked not computed. Calls
// RowChanged (when set) for every row whose state was rewritten, and returns their number.
int RefreshStartStates(TRowAttributeStringList& Rows, TFountain& Fountain, int FromRow, int Limit,
                       const std::function<void(int Row)>& RowChanged);

// Computes up to Count rows after the computed prefix of the text, whose end lies at or before
// Hint (a row number from an earlier call); returns the prefix's new end, the row count when all
// rows are computed.
int ComputeStartStatesAhead(TRowAttributeStringList& Rows, TFountain& Fountain, int Hint,
                            int Count);

// Marks rows FromRow..ToRow not computed.
void MarkStartStatesNotComputed(TRowAttributeStringList& Rows, int FromRow, int ToRow);

} // namespace kst
