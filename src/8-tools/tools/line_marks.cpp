#include "tools/line_marks.h"

#include "core/code_page.h"
#include "document/wrap.h"
#include "input/editor.h"
#include "script/script_text.h"
#include "tools/word_matcher.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kst {

namespace {

constexpr TColor kStringColor = clGray;
constexpr TColor kStringBkColor = clWhite;
constexpr TColor kDoubleByteBkColor = 0x00FFFF; // yellow
constexpr TColor kHitBkColor = clLime;
constexpr TColor kProblemColor = clRed;
// The wavy underline rises and falls by this many pixels over as many columns of pixels.
constexpr int kWaveHeight = 2;
// How far past a row the marks look for the end of a regular expression's match, so that a paint
// never reads a whole long line.
constexpr std::size_t kRegexMarkReach = 4096;

// The double-byte characters marked in scripts: in Japanese text those whose lead byte is
// 0x81-0x9F or 0xE0-0xEF, in other text all.
bool IsMarkedLeadByte(unsigned char Byte) {
    return !TextCodePage().HasJapaneseRules() || (Byte >= 0x81 && Byte <= 0x9F) ||
           (Byte >= 0xE0 && Byte <= 0xEF);
}

// A run of columns of LineStr drawn in one look.
struct TMarkRun {
    int Start = 0;
    int End = 0;
    TColor Color = clBlack;
    TColor BkColor = clWhite;
};

class RowMarker {
public:
    RowMarker(TEditor& Editor, std::string_view LineStr, int X, int Y, const TRect& ARect)
        : FCanvas(*Editor.GetCanvas()), FLineStr(LineStr), FX(X), FY(Y), FRect(ARect),
          FCharWidth(Editor.GetCharWidth()) {}

    // Draws LineStr's columns Start..End-1 opaque, clipped to their own cells and the part.
    void Draw(const TMarkRun& Run) const {
        DrawCells(Run.Start, Run.End,
                  FLineStr.substr(static_cast<std::size_t>(Run.Start),
                                  static_cast<std::size_t>(Run.End - Run.Start)),
                  Run.Color, Run.BkColor);
    }
    // A blank cell at column Col.
    void DrawBlank(int Col, TColor Color, TColor BkColor) const {
        DrawCells(Col, Col + 1, " ", Color, BkColor);
    }

private:
    void DrawCells(int Start, int End, std::string_view Text, TColor Color, TColor BkColor) const {
        const int left = FX + Start * FCharWidth;
        const int right = FX + End * FCharWidth;
        const TRect cells{std::max(FRect.Left, left), FRect.Top, std::min(FRect.Right, right),
                          FRect.Bottom};
        if (cells.IsEmpty()) {
            return;
        }
        FCanvas.TextOut({.X = left,
                         .Y = FY,
                         .Text = Text,
                         .CellWidth = FCharWidth,
                         .Color = Color,
                         .BkColor = BkColor,
                         .Style = {},
                         .Opaque = true,
                         .Clip = cells});
    }

public:
    // A wavy line under columns Start..End-1, along the bottom of the row, clipped to the part.
    void Underline(int Start, int End, TColor Color) const {
        const int left = std::max(FRect.Left, FX + Start * FCharWidth);
        const int right = std::min(FRect.Right, FX + End * FCharWidth);
        const int bottom = FRect.Bottom - 1;
        for (int x = left; x + 1 < right; x += kWaveHeight) {
            const bool rising = ((x - FX) / kWaveHeight) % 2 == 0;
            const int from = rising ? bottom : bottom - kWaveHeight;
            const int to = rising ? bottom - kWaveHeight : bottom;
            FCanvas.Line({x, from}, {std::min(x + kWaveHeight, right - 1), to}, Color);
        }
    }

private:
    Surface& FCanvas;
    std::string_view FLineStr;
    int FX;
    int FY;
    TRect FRect;
    int FCharWidth;
};

// Walks Text as a script from State, character by character: a quote toggles the string state
// and is part of the string, "'" outside a string starts the comment that ends the walk. Visit
// gets each character's bytes and whether it belongs to a string. Returns the state after Text.
template <class F>
TScriptState WalkScript(std::string_view Text, TScriptState State, F&& Visit) {
    for (std::size_t i = 0; i < Text.size() && State != TScriptState::Comment;) {
        const char ch = Text[i];
        const std::size_t length = CharLengthAt(Text, i);
        if (ch == kCommentMark && State == TScriptState::Code) {
            return TScriptState::Comment;
        }
        if (ch == '"') {
            State = State == TScriptState::String ? TScriptState::Code : TScriptState::String;
        }
        Visit(i, length, State == TScriptState::String || ch == '"');
        i += length;
    }
    return State;
}

// Whether the byte at At begins a character of Text rather than ending a double-byte one: the
// lead bytes right before it pair up from the first, and a byte that is no lead byte always ends
// a character.
bool BeginsCharacter(std::string_view Text, std::size_t At) {
    std::size_t leads = 0;
    while (leads < At && IsLeadByte(Text[At - leads - 1])) {
        ++leads;
    }
    return leads % 2 == 0;
}

// The first Char at or after From that is a character of its own; npos when there is none.
std::size_t NextCharacter(std::string_view Text, char Char, std::size_t From) {
    std::size_t at = Text.find(Char, From);
    while (at != std::string_view::npos && !BeginsCharacter(Text, at)) {
        at = Text.find(Char, at + 1);
    }
    return at;
}

// The state WalkScript leaves after Text, found by looking for quotes and comment marks alone:
// neither is ever the second byte of a double-byte character, so the bytes between them need no
// walk.
TScriptState StateAfter(std::string_view Text, TScriptState State) {
    std::size_t mark = 0;
    bool markFound = false;
    for (std::size_t at = 0; State != TScriptState::Comment;) {
        const std::size_t quote = NextCharacter(Text, '"', at);
        if (State == TScriptState::Code) {
            if (!markFound || mark < at) {
                mark = NextCharacter(Text, kCommentMark, at);
                markFound = true;
            }
            if (mark < quote) {
                return TScriptState::Comment;
            }
        }
        if (quote == std::string_view::npos) {
            return State;
        }
        State = State == TScriptState::String ? TScriptState::Code : TScriptState::String;
        at = quote + 1;
    }
    return State;
}

// Pass 1: runs of string characters and of marked double-byte characters outside strings.
std::vector<TMarkRun> ScriptRuns(std::string_view Text, TScriptState State, TColor FontColor) {
    std::vector<TMarkRun> runs;
    const auto add = [&runs](std::size_t Start, std::size_t End, TColor Color, TColor BkColor) {
        if (!runs.empty() && runs.back().End == static_cast<int>(Start) &&
            runs.back().BkColor == BkColor) {
            runs.back().End = static_cast<int>(End);
        } else {
            runs.push_back({static_cast<int>(Start), static_cast<int>(End), Color, BkColor});
        }
    };
    WalkScript(Text, State, [&](std::size_t At, std::size_t Length, bool InString) {
        const int start = static_cast<int>(At);
        const int end = static_cast<int>(At + Length);
        if (InString) {
            add(start, end, kStringColor, kStringBkColor);
        } else if (Length == 2 && IsMarkedLeadByte(static_cast<unsigned char>(Text[At]))) {
            add(start, end, FontColor, kDoubleByteBkColor);
        }
    });
    return runs;
}

// Byte ranges [First, Second) of a row.
using TByteRange = std::pair<std::size_t, std::size_t>;

// The text around row Index that a hit touching its first RowBytes bytes can lie in: the rows of
// its document line before it as far as a match can reach back, Reach bytes, and after it as far
// as one can reach on. Offset is where the row starts in it. Only a window that takes in
// other rows is copied.
struct THitWindow {
    std::string_view Text;
    std::size_t Offset = 0;
    std::string Joined;
};

void HitWindow(const TEditorScreenStrings& Rows, int Index, std::size_t RowBytes, std::size_t Reach,
               THitWindow& Window) {
    const std::string_view row = Rows.GetView(Index);
    const std::size_t wanted = RowBytes + Reach;
    if (!Rows.GetWordWrap()) {
        Window.Text = row.substr(0, wanted);
        return;
    }
    int first = Index;
    for (const int lineStart = Rows.LineStartRow(Index);
         first > lineStart && Window.Offset < Reach;) {
        Window.Offset += Rows.GetView(--first).size();
    }
    int last = Index;
    const int lineEnd = Rows.LineEndRow(Index);
    for (std::size_t after = row.size(); after < wanted && last < lineEnd;) {
        after += Rows.GetView(++last).size();
    }
    if (first == Index && last == Index) {
        Window.Text = row.substr(0, wanted);
        return;
    }
    for (int joined = first; joined <= last; ++joined) {
        Window.Joined.append(Rows.GetView(joined));
    }
    Window.Text = std::string_view(Window.Joined).substr(0, Window.Offset + wanted);
}

// Every occurrence of the word that touches the row's first RowBytes bytes, as merged byte ranges
// of the row; overlapping occurrences of a word are all marked. The search ends with the first
// occurrence that starts StopAt bytes or more into the row. A regular expression's matches are
// found in a window of the row's line that reaches kRegexMarkReach bytes past the row.
std::vector<TByteRange> HitRanges(const TEditorScreenStrings& Rows, int Index, std::size_t RowBytes,
                                  std::size_t StopAt, const TWordMatcher& Matcher) {
    THitWindow window;
    HitWindow(Rows, Index, RowBytes, std::min(Matcher.Reach(), kRegexMarkReach), window);
    const std::size_t rowStart = window.Offset;
    const std::size_t rowEnd = window.Offset + RowBytes;
    std::vector<TByteRange> ranges;
    const auto mark = [&](const TTextMatch& Match) {
        if (Match.Start >= rowEnd) {
            return false;
        }
        if (Match.Start + Match.Length <= rowStart) {
            return true;
        }
        const std::size_t first = std::max(Match.Start, rowStart) - rowStart;
        const std::size_t last = std::min(Match.Start + Match.Length, rowEnd) - rowStart;
        if (!ranges.empty() && first <= ranges.back().second) {
            ranges.back().second = std::max(ranges.back().second, last);
        } else {
            ranges.emplace_back(first, last);
        }
        return first < StopAt;
    };
    try {
        Matcher.ForEachMatch(window.Text, 0, mark, true);
    } catch (const ESearchAborted&) {
        // The marks drawn so far stay; a paint never fails on a pattern.
    }
    return ranges;
}

// Display columns of a row's bytes, walked forward: tabs to their stop, double-byte characters
// two columns, as the row is drawn.
class ColumnWalker {
public:
    ColumnWalker(std::string_view Row, const WrapContext& Context) : FRow(Row), FContext(Context) {}

    // Bytes must not decrease from one call to the next.
    int ColumnOf(std::size_t Bytes) {
        while (FByte < Bytes && FByte < FRow.size()) {
            const std::size_t length = CharLengthAt(FRow, FByte);
            FColumn +=
                FRow[FByte] == '\t' ? TabWidthAt(FContext, FColumn) : static_cast<int>(length);
            FByte += length;
        }
        return FColumn;
    }

private:
    std::string_view FRow;
    const WrapContext& FContext;
    std::size_t FByte = 0;
    int FColumn = 0;
};

// The columns of LineStr that are drawn for row Index itself: a wrapped row's LineStr goes on
// with the next row's text, and the editor draws no column past Limit.
int OwnColumns(TEditorScreenStrings& Rows, int Index, std::string_view LineStr, int Limit) {
    std::size_t own = LineStr.size();
    if (Rows.GetWordWrap() && Rows.GetRowAttribute(Index) == raWrap) {
        own = std::min(own, static_cast<std::size_t>(
                                DisplayWidth(Rows.GetWrapContext(), Rows.GetView(Index))));
    }
    return DrawnLength(LineStr.substr(0, own), Limit);
}

// Hits past the drawn columns cannot be marked, as their text is not drawn: the blank cell right
// of the last drawn column is drawn lime instead, to show that the row holds more of them.
void DrawHits(TEditor& Editor, const RowMarker& Marker, int Index, int OwnColumns,
              const TWordMatcher& Matcher) {
    if (Matcher.Empty()) {
        return;
    }
    TEditorScreenStrings& rows = Editor.ScreenStrings();
    const std::string_view row = rows.GetView(Index);
    const WrapContext context = rows.GetWrapContext();
    const TColor color = Editor.GetFont().Color;
    ColumnWalker columns(row, context);
    bool pastTheLimit = false;
    // A byte takes one column at least, so a hit from byte OwnColumns on is not drawn.
    for (const auto& [first, last] :
         HitRanges(rows, Index, row.size(), static_cast<std::size_t>(OwnColumns), Matcher)) {
        const int start = columns.ColumnOf(first);
        const int end = columns.ColumnOf(last);
        pastTheLimit = end > OwnColumns;
        if (start < OwnColumns) {
            Marker.Draw({start, std::min(end, OwnColumns), color, kHitBkColor});
        }
    }
    if (pastTheLimit) {
        Marker.DrawBlank(OwnColumns, color, kHitBkColor);
    }
}

// Where a problem's word ends in Line: at the next blank, at least one byte on (a problem at the
// line's end marks the cell after it).
std::size_t ProblemEnd(std::string_view Line, std::size_t Start) {
    std::size_t end = Start;
    while (end < Line.size() && !IsBlank(Line[end])) {
        end += CharLengthAt(Line, end);
    }
    return std::max(end, Start + 1);
}

// The problems' words that lie in row Index, among the rows of its document line: their bytes
// are counted from the line's start, so the rows before Index in the line are counted off.
void DrawProblems(TEditor& Editor, const RowMarker& Marker, int Index, int OwnColumns,
                  std::span<const TScriptProblem> Problems) {
    if (Problems.empty()) {
        return;
    }
    TEditorScreenStrings& rows = Editor.ScreenStrings();
    std::size_t rowStart = 0;
    for (int row = rows.LineStartRow(Index); row < Index; ++row) {
        rowStart += rows.GetView(row).size();
    }
    const std::string_view row = rows.GetView(Index);
    const bool lastRowOfLine = rows.LineEndRow(Index) == Index;
    const WrapContext context = rows.GetWrapContext();
    for (const TScriptProblem& problem : Problems) {
        const auto start = static_cast<std::size_t>(problem.Column);
        if (start < rowStart || start > rowStart + row.size() ||
            (start == rowStart + row.size() && !lastRowOfLine)) {
            continue;
        }
        ColumnWalker columns(row, context);
        const int first = columns.ColumnOf(start - rowStart);
        const std::size_t end = std::min(ProblemEnd(row, start - rowStart), row.size());
        const int last = std::max(columns.ColumnOf(end), first + 1);
        if (first <= OwnColumns) {
            Marker.Underline(first, std::min(last, OwnColumns + 1), kProblemColor);
        }
    }
}

} // namespace

TScriptState TLineMarkStates::StateAt(const TEditorScreenStrings& Rows, int Index) {
    const int lineStart = Rows.LineStartRow(Index);
    if (Index == lineStart) {
        return TScriptState::Code;
    }
    if (Rows.GetTextVersion() != FVersion || lineStart != FLineStart) {
        FVersion = Rows.GetTextVersion();
        FLineStart = lineStart;
        FStates.assign(1, TScriptState::Code);
    }
    for (auto known = static_cast<int>(FStates.size()); known <= Index - lineStart; ++known) {
        FStates.push_back(StateAfter(Rows.GetView(lineStart + known - 1), FStates.back()));
    }
    return FStates[static_cast<std::size_t>(Index - lineStart)];
}

void DrawLineMarks(TEditor& Editor, std::string_view LineStr, int X, int Y, int Index,
                   const TRect& ARect, bool Selected, const TLineMarkOptions& Options,
                   TLineMarkStates& States) {
    if (Selected || Editor.GetCanvas() == nullptr) {
        return;
    }
    const RowMarker marker(Editor, LineStr, X, Y, ARect);
    const int ownColumns = OwnColumns(Editor.ScreenStrings(), Index, LineStr, Editor.ColumnLimit());
    if (Options.MarkScript) {
        const TScriptState state = States.StateAt(Editor.ScreenStrings(), Index);
        for (const TMarkRun& run :
             ScriptRuns(LineStr.substr(0, static_cast<std::size_t>(ownColumns)), state,
                        Editor.GetFont().Color)) {
            marker.Draw(run);
        }
    }
    if (Options.Hits != nullptr) {
        DrawHits(Editor, marker, Index, ownColumns, *Options.Hits);
    }
    DrawProblems(Editor, marker, Index, ownColumns, Options.Problems);
}

} // namespace kst
