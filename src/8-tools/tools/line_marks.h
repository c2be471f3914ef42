// The main window's marks over a drawn row: string literals grey on white and double-byte
// characters on yellow in scripts, the search word's occurrences on lime, and the script's
// problems underlined with a red wavy line.
#pragma once

#include "lists/string_list.h"
#include "platform/geometry.h"
#include "script/script_parser.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace kst {

class TEditor;
class TEditorScreenStrings;
class TWordMatcher;

struct TLineMarkOptions {
    // Strings and double-byte characters (a script, not a text file).
    bool MarkScript = true;
    // Finds the search word while its occurrences are marked (the results list is shown); none
    // otherwise.
    const TWordMatcher* Hits = nullptr;
    // The problems of the row's document line, each underlined with a wavy line from its place
    // to the end of the word there.
    std::span<const TScriptProblem> Problems;
};

// Where a row of a script starts: in code, in a string, or in a comment that runs to the end of
// its line.
enum class TScriptState : std::uint8_t { Code, String, Comment };

// The state at the start of each row of the wrapped line marked last, kept while the rows' texts
// stay as they are, so that the marks of a row far down a long wrapped line walk only the rows
// that no row marked before has walked.
class TLineMarkStates {
public:
    TScriptState StateAt(const TEditorScreenStrings& Rows, int Index);

private:
    TTextVersion FVersion;
    int FLineStart = -1;
    // At the start of rows FLineStart, FLineStart + 1, ...
    std::vector<TScriptState> FStates;
};

// Draws the marks over row Index as Editor's OnDrawLine reports it: LineStr as drawn, X the x of
// its column 0, Y its top, ARect the part just painted. A part drawn as selected gets no marks.
// Only the row's own columns are marked, never the next row's text that a wrapped row's LineStr
// carries; a string or comment that the rows before it in its document line open goes on in it.
// Hits are found in the document line, so one that runs over a wrap is marked on both
// rows, and their columns are those of the row as drawn (its tab width, its wrap). States keeps
// what the rows before Index give for the next calls.
void DrawLineMarks(TEditor& Editor, std::string_view LineStr, int X, int Y, int Index,
                   const TRect& ARect, bool Selected, const TLineMarkOptions& Options,
                   TLineMarkStates& States);

} // namespace kst
