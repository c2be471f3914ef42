// Token stops for Ctrl+Left and Ctrl+Right, the token under a point, and the row marks. Every call
// tokenizes one row or one document line with a parser of its own.
#include "core/code_page.h"
#include "document/wrap.h"
#include "fountain/fountain.h"
#include "fountain/fountain_parser.h"
#include "input/editor.h"

#include <memory>
#include <optional>

namespace kst {

namespace {

constexpr int kRowMarkCount = 16;
// Marks 0..9 are the numbered bookmarks, each on one row at most.
constexpr int kDigitMarkCount = 10;

// A start state that carries nothing from a row before.
TRowAttributeData ClearedState() {
    TRowAttributeData state;
    state.BracketIndex = kStateNotComputed;
    return state;
}

// Text with each tab widened to the blanks it takes on screen, so that offsets are columns.
std::string ExpandTabs(const WrapContext& Context, std::string_view Text) {
    std::string expanded;
    expanded.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size();) {
        const std::size_t length = CharLengthAt(Text, i);
        if (length == 1 && Text[i] == '\t') {
            expanded.append(static_cast<std::size_t>(
                                TabWidthAt(Context, static_cast<std::int64_t>(expanded.size()))),
                            ' ');
        } else {
            expanded.append(Text.substr(i, length));
        }
        i += length;
    }
    return expanded;
}

// The first stop right of Col among the parser's tokens: every token start and end with EndStop,
// else the start of every token but a single-byte symbol.
std::optional<int> StopAfter(TFountainParser& Parser, int Col, bool EndStop) {
    for (TTokenKind kind = Parser.ReadToken(); kind != tokEndOfRow; kind = Parser.ReadToken()) {
        const int start = Parser.TokenStart();
        const int end = start + Parser.TokenSize();
        if (EndStop) {
            if (Col < start) {
                return start;
            }
            if (Col < end) {
                return end;
            }
        } else if (kind != tokSymbol && start > Col) {
            return start;
        }
    }
    return std::nullopt;
}

// The last stop left of Col among the parser's tokens: with EndStop the start of the token Col is
// in or just after, else the end of the token before; without it the start of a token that is not
// a single-byte symbol.
std::optional<int> StopBefore(TFountainParser& Parser, int Col, bool EndStop) {
    std::optional<int> last;
    for (TTokenKind kind = Parser.ReadToken(); kind != tokEndOfRow; kind = Parser.ReadToken()) {
        const int start = Parser.TokenStart();
        const int end = start + Parser.TokenSize();
        if (!EndStop && kind == tokSymbol) {
            continue;
        }
        if (EndStop && start < Col && Col <= end) {
            return start;
        }
        if (start >= Col && last && *last < Col) {
            return last;
        }
        last = EndStop ? end : start;
    }
    if (last && *last < Col) {
        return last;
    }
    return std::nullopt;
}

bool IsRowMark(int Mark) {
    return Mark >= 0 && Mark < kRowMarkCount;
}

std::uint16_t MarkBit(int Mark) {
    return static_cast<std::uint16_t>(1U << Mark);
}

// The first row that carries Mark; -1 when none does.
int FirstRowWithMark(const TEditorScreenStrings& Rows, int Mark) {
    for (int row = 0; row < Rows.GetCount(); ++row) {
        if ((Rows.GetRowMarks(row) & MarkBit(Mark)) != 0) {
            return row;
        }
    }
    return -1;
}

// Adds Mark to or removes it from a stored row; answers whether the row's marks changed.
bool ChangeRowMark(TEditorScreenStrings& Rows, int Row, int Mark, bool On) {
    if (Row < 0 || Row >= Rows.GetCount()) {
        return false;
    }
    const std::uint16_t marks = Rows.GetRowMarks(Row);
    const auto changed =
        static_cast<std::uint16_t>(On ? marks | MarkBit(Mark) : marks & ~MarkBit(Mark));
    if (changed == marks) {
        return false;
    }
    Rows.SetRowMarks(Row, changed);
    return true;
}

} // namespace

// Token stops

bool TEditor::NextTokenPos(int& Row, int& Col, int Direction) {
    if (Row < 0 || Row >= RowCount()) {
        return false;
    }
    const int oldRow = Row;
    const int oldCol = Col;
    if (Direction > 0) {
        NextTokenStop(Row, Col);
    } else {
        PreviousTokenStop(Row, Col);
    }
    return Row != oldRow || Col != oldCol;
}

// The row is read only a stretch past Col, so that a step in a huge row costs no walk of its
// whole text.
std::optional<int> TEditor::TokenStopInRow(int Row, int Col, int Direction) const {
    const auto end =
        static_cast<std::size_t>(ClampedByteOfCol(Row, std::max(Col, 0))) + TColumnStretch::kMargin;
    const std::string text = ExpandTabs(CurrentWrapContext(), MeasuredText(Row, end));
    const std::unique_ptr<TFountainParser> parser = EffectiveFountain().NewParser();
    parser->BeginRow(text, ClearedState());
    const bool endStop = FCaret->GetTokenEndStop();
    return Direction > 0 ? StopAfter(*parser, Col, endStop) : StopBefore(*parser, Col, endStop);
}

// From the end of a row the search goes on in the next one, unless the text ends there without a
// line break; a wrapped row's tokens go on at the start of its continuation.
void TEditor::NextTokenStop(int& Row, int& Col) const {
    if (Col >= RowWidth(Row)) {
        if (RowAttributeOf(Row) == raEndOfText) {
            return;
        }
        ++Row;
        Col = -1;
    }
    if (const std::optional<int> stop = TokenStopInRow(Row, Col, 1)) {
        Col = *stop;
    } else if (RowAttributeOf(Row) == raWrap) {
        ++Row;
        Col = 0;
    } else {
        Col = RowWidth(Row);
    }
}

// From column 0 the search goes on at the end of the row before, which is a stop of its own when
// that row ends a line.
void TEditor::PreviousTokenStop(int& Row, int& Col) const {
    if (Col == 0) {
        if (Row == 0) {
            return;
        }
        --Row;
        Col = RowWidth(Row);
        if (RowAttributeOf(Row) == raLineBreak) {
            return;
        }
    }
    if (const std::optional<int> stop = TokenStopInRow(Row, Col, -1)) {
        Col = *stop;
    } else if (Row == 0) {
        Col = 0;
    } else {
        --Row;
        Col = RowWidth(Row);
    }
}

// Tokens at a point

std::optional<TLineToken> TEditor::LineTokenAt(TPoint Point, bool UseFountain,
                                               bool UseRowState) const {
    if (RowCount() == 0 || FCharWidth == 0 || Point.X < GetTextLeft() || Point.Y < GetTextTop()) {
        return std::nullopt;
    }
    const TPoint position = PosToRowCol(Point, true);
    const int row = position.Y;
    int col = position.X;
    if (row < 0 || row >= RowCount() || col >= RowWidth(row)) {
        return std::nullopt;
    }
    const TColumnStretch classes = RowClasses(row, col);
    if (ClassAt(classes, col) == kClassTrailByte) {
        --col;
    }
    while (ClassAt(classes, col) == kClassTabFill) {
        --col;
    }
    const int lineRow = FScreenStrings->LineStartRow(row);
    const int offset = OffsetFromRow(lineRow, row, col);
    const std::string line = FScreenStrings->RowsText(lineRow, -1).Text;

    std::unique_ptr<TFountainParser> parser;
    TRowAttributeData state = ClearedState();
    if (UseFountain) {
        parser = EffectiveFountain().NewParser();
        state = FScreenStrings->GetRowData(lineRow);
        if (!UseRowState) {
            state.BracketIndex = kStateNotComputed;
        }
    } else {
        parser = std::make_unique<TTokenParser>();
    }
    parser->BeginRow(line, state);
    for (TTokenKind kind = parser->ReadToken(); kind != tokEndOfRow; kind = parser->ReadToken()) {
        const int start = parser->TokenStart();
        if (start > offset) {
            break;
        }
        if (offset < start + parser->TokenSize()) {
            return TLineToken{lineRow, start, parser->TokenText(), kind};
        }
    }
    return std::nullopt;
}

void TEditor::TokenFromPos(TPoint Point, bool UseFountain, std::string& Text, bool UseRowState,
                           int& Kind) {
    const std::optional<TLineToken> token = LineTokenAt(Point, UseFountain, UseRowState);
    Text = token ? token->Text : std::string();
    Kind = token ? token->Kind : tokEndOfRow;
}

// The token becomes the selection with the caret at its end; a selection made before is dropped
// first, so that the new one starts at the token.
void TEditor::SelectTokenFromPos(TPoint Point, bool UseFountain, bool UseRowState) {
    const std::optional<TLineToken> token = LineTokenAt(Point, UseFountain, UseRowState);
    if (!token) {
        return;
    }
    BeginCaretHide();
    auto shown = ScopeEnd([this] { EndCaretHide(); });
    CancelSelection();
    SetCaretByOffset(token->LineRow, token->Start);
    SetSelLength(static_cast<int>(token->Text.size()));
}

void TEditor::SelectTokenAtCaret() {
    SelectTokenFromPos(CaretPixel(), true, false);
}

// Row marks

void TEditor::PutRowMark(int Row, int Mark) {
    if (!IsRowMark(Mark)) {
        return;
    }
    TEditorScreenStrings& rows = *FScreenStrings;
    bool changed = false;
    if (Mark < kDigitMarkCount) {
        const int holder = FirstRowWithMark(rows, Mark);
        changed = holder != Row && ChangeRowMark(rows, holder, Mark, false);
    }
    changed = ChangeRowMark(rows, Row, Mark, true) || changed;
    if (changed) {
        InvalidateImagebar();
    }
}

void TEditor::DeleteRowMark(int Row, int Mark) {
    if (IsRowMark(Mark) && ChangeRowMark(*FScreenStrings, Row, Mark, false)) {
        InvalidateImagebar();
    }
}

// A mark off screen is brought to the middle of the view.
void TEditor::GotoRowMark(int Mark) {
    if (!IsRowMark(Mark)) {
        return;
    }
    const int row = FirstRowWithMark(*FScreenStrings, Mark);
    if (row < 0) {
        return;
    }
    if (row < FTopRow || row > FTopRow + FVisibleRows - 1) {
        SetTopRow(row - FVisibleRows / 2);
    }
    SetRow(row);
}

} // namespace kst
