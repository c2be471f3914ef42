// The problems of a script kept current while it is edited. Every line keeps the blocks open at
// its start and the problems found on it; an edit is read again from the statement holding its
// first line until a line's start where the open blocks are again those stored there (so a key
// inside a procedure reads its line, and a key that opens or closes a block reads on to where the
// structure is unchanged). A new text, and any reading longer than a step, goes on in steps of a
// bounded size, each resuming where the last one stopped.
#pragma once

#include "script/script_parser.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace kst {

class TLiveProblems {
public:
    TLiveProblems();

    // The text is new, with LineCount lines: all of it is to be read.
    void Reset(int LineCount);
    // Lines First..First+OldCount-1 became NewCount lines.
    void LinesReplaced(int First, int OldCount, int NewCount);

    // Reads on where the text has changed since it was last read, about Budget bytes of lines
    // (at least one statement); answers whether more is to be read.
    bool Read(const ScriptLines& Lines, std::size_t Budget);
    bool Current() const { return FResume < 0; }

    int LineCount() const { return static_cast<int>(FRecords.size()) - 1; }
    // The problems found on Line when it was last read, in the order found: those of its
    // statements, then the blocks it opened that the script leaves open.
    std::vector<TScriptProblem> ProblemsOf(int Line) const;
    // Every problem, by line and column.
    std::vector<TScriptProblem> AllProblems() const;

private:
    class Reading;

    enum class TLineStart : std::uint8_t {
        Unread,
        // The line continues the statement of the line before it: reading cannot begin there.
        Continuation,
        Statement
    };

    struct TLineRecord {
        TBlockState Blocks;
        // The line number the blocks' lines count from: the line's own number when it was read
        // (the lines above it may have grown or shrunk since, and its blocks with it).
        int ReadAs = 0;
        TLineStart Start = TLineStart::Unread;
        // With its own line 0; a problem naming a block holds, as BlockLine, the distance back to
        // it.
        std::unique_ptr<std::vector<TScriptProblem>> Problems;
    };

    // The lines the records of Line count their blocks' lines after.
    int ShiftOf(int Line) const { return Line - FRecords[static_cast<std::size_t>(Line)].ReadAs; }
    void AddProblem(int Line, const TScriptProblem& Problem);
    // The blocks left open at the end, as problems by line (cached while the end stays).
    const std::vector<TScriptProblem>& LeftOpen() const;
    void Placed(int Line, std::vector<TScriptProblem>& Problems) const;

    std::vector<TLineRecord> FRecords;
    // Where reading must resume (-1 when all is read); from FTrustedFrom on a line whose stored
    // start agrees with the one read ends the reading; while FShifted (lines came or went) only
    // where no block is open, so that every block stands where its lines were counted from.
    int FResume = -1;
    int FTrustedFrom = 0;
    bool FShifted = false;

    struct TLeftOpenCache {
        TBlockState Blocks;
        int Shift = 0;
        bool Valid = false;
        std::vector<TScriptProblem> Problems;
    };
    mutable TLeftOpenCache FLeftOpen;
};

} // namespace kst
