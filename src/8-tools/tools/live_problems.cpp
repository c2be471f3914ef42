#include "tools/live_problems.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace kst {

namespace {

bool NamesBlock(TProblemKind Kind) {
    return Kind == TProblemKind::LeftOpen || Kind == TProblemKind::Interrupted ||
           Kind == TProblemKind::DefinitionInside;
}

// Count unread records go in before At.
template <class TRecord>
void InsertUnread(std::vector<TRecord>& Records, std::size_t At, std::size_t Count) {
    if (Count == 0) {
        return;
    }
    Records.resize(Records.size() + Count);
    const auto at = Records.begin() + static_cast<std::ptrdiff_t>(At);
    std::move_backward(at, Records.end() - static_cast<std::ptrdiff_t>(Count), Records.end());
    std::for_each(at, at + static_cast<std::ptrdiff_t>(Count),
                  [](TRecord& Record) { Record = {}; });
}

void SortByColumn(std::vector<TScriptProblem>& Problems) {
    std::ranges::stable_sort(Problems, {}, &TScriptProblem::Column);
}

} // namespace

// One reading from a line on: stores what it finds line by line, clearing what each line held
// before, and stops where the stored starts agree again, at the end of the budget, or at the end.
class TLiveProblems::Reading final : public ScriptReader {
public:
    Reading(TLiveProblems& Owner, const ScriptLines& Lines, int Start, std::size_t Budget)
        : FOwner(Owner), FLines(Lines), FShift(Owner.ShiftOf(Start)), FClearedTo(Start),
          FLastStart(Start), FBudget(Budget) {}

    int Shift() const { return FShift; }

    void Problem(const TScriptProblem& Problem) override {
        ClearTo(Problem.Line + 1);
        FOwner.AddProblem(Problem.Line, Problem);
    }

    bool StatementLine(int Line, const TBlockState& Blocks) override {
        ClearTo(Line);
        Continued(Line);
        TLineRecord& record = Record(Line);
        if (Line >= FOwner.FTrustedFrom && record.Start == TLineStart::Statement &&
            record.Blocks == Blocks && (!FOwner.FShifted || Blocks.Empty())) {
            FOwner.FResume = -1;
            return false;
        }
        Started(Line, Blocks);
        if (FBytes >= FBudget) {
            // Line's start is new but its problems are not: only a line after it may end the
            // next reading.
            FOwner.FResume = Line;
            FOwner.FTrustedFrom = std::max(FOwner.FTrustedFrom, Line + 1);
            return false;
        }
        return true;
    }

    void ScriptEnded(const TBlockState& Blocks) override {
        const int end = FOwner.LineCount();
        ClearTo(end);
        const bool midStatement = FLastStart < end;
        Continued(end);
        Started(end, Blocks);
        // Lines added after a line that continues its statement continue it.
        if (midStatement) {
            Record(end).Start = TLineStart::Continuation;
        }
        FOwner.FResume = -1;
    }

private:
    TLineRecord& Record(int Line) { return FOwner.FRecords[static_cast<std::size_t>(Line)]; }

    // The lines before Line are read: what they held before goes.
    void ClearTo(int Line) {
        for (; FClearedTo < Line; ++FClearedTo) {
            Record(FClearedTo).Problems.reset();
            FBytes += FLines.Line(static_cast<std::size_t>(FClearedTo)).size() + 1;
        }
    }

    // A statement begins at Line: the lines since the last one continue the statement before.
    void Continued(int Line) {
        for (int line = FLastStart + 1; line < Line; ++line) {
            TLineRecord& continued = Record(line);
            continued.Blocks = {};
            continued.Start = TLineStart::Continuation;
        }
        FLastStart = Line;
    }

    void Started(int Line, const TBlockState& Blocks) {
        TLineRecord& record = Record(Line);
        record.Blocks = Blocks;
        record.ReadAs = Line - FShift;
        record.Start = TLineStart::Statement;
    }

    TLiveProblems& FOwner;
    const ScriptLines& FLines;
    const int FShift;
    int FClearedTo;
    int FLastStart;
    const std::size_t FBudget;
    std::size_t FBytes = 0;
};

TLiveProblems::TLiveProblems() {
    Reset(0);
}

void TLiveProblems::Reset(int LineCount) {
    FRecords.clear();
    FRecords.resize(static_cast<std::size_t>(std::max(LineCount, 0)) + 1);
    FRecords.front().Start = TLineStart::Statement;
    FResume = 0;
    FTrustedFrom = static_cast<int>(FRecords.size());
    FShifted = false;
}

void TLiveProblems::LinesReplaced(int First, int OldCount, int NewCount) {
    const int lines = LineCount();
    First = std::clamp(First, 0, lines);
    OldCount = std::clamp(OldCount, 0, lines - First);
    NewCount = std::max(NewCount, 0);
    const auto first = FRecords.begin() + First;
    if (NewCount == 0) {
        FRecords.erase(first + 1, first + 1 + OldCount);
    } else if (OldCount == 0) {
        // The lines go in before First: its start is also theirs.
        InsertUnread(FRecords, static_cast<std::size_t>(First), static_cast<std::size_t>(NewCount));
        TLineRecord& moved = FRecords[static_cast<std::size_t>(First + NewCount)];
        TLineRecord& start = FRecords[static_cast<std::size_t>(First)];
        start.Blocks = moved.Blocks;
        start.ReadAs = moved.ReadAs;
        start.Start = moved.Start;
    } else {
        FRecords.erase(first + 1, first + OldCount);
        InsertUnread(FRecords, static_cast<std::size_t>(First) + 1,
                     static_cast<std::size_t>(NewCount - 1));
    }
    const auto moved = [=](int Line) {
        return Line <= First              ? Line
               : Line >= First + OldCount ? Line + NewCount - OldCount
                                          : First + NewCount;
    };
    // The first line after the new ones, whose stored start is the one after the old ones; when
    // lines only went, the line after First, First's own start being that of a line gone.
    const int unchanged = First + std::max(NewCount, 1);
    if (FResume >= 0) {
        FResume = std::min(moved(FResume), First);
        FTrustedFrom = std::max(moved(FTrustedFrom), unchanged);
    } else {
        FResume = First;
        FTrustedFrom = unchanged;
    }
    FShifted = FShifted || NewCount != OldCount;
}

bool TLiveProblems::Read(const ScriptLines& Lines, std::size_t Budget) {
    if (FResume < 0) {
        return false;
    }
    if (static_cast<int>(Lines.Count()) != LineCount()) {
        // Told of the text's changes wrongly: all of it is read again rather than shown wrong.
        Reset(static_cast<int>(Lines.Count()));
    }
    int start = FResume;
    while (FRecords[static_cast<std::size_t>(start)].Start != TLineStart::Statement) {
        --start;
    }
    const TBlockState blocks = FRecords[static_cast<std::size_t>(start)].Blocks;
    Reading reading(*this, Lines, start, Budget);
    ReadScript(Lines, start, blocks, reading.Shift(), reading);
    if (FResume < 0) {
        FShifted = false;
    }
    return FResume >= 0;
}

void TLiveProblems::AddProblem(int Line, const TScriptProblem& Problem) {
    auto& problems = FRecords[static_cast<std::size_t>(Line)].Problems;
    if (!problems) {
        problems = std::make_unique<std::vector<TScriptProblem>>();
    }
    TScriptProblem& stored = problems->emplace_back(Problem);
    stored.Line = 0;
    if (NamesBlock(Problem.Kind)) {
        stored.BlockLine = Problem.Line - Problem.BlockLine;
    }
}

const std::vector<TScriptProblem>& TLiveProblems::LeftOpen() const {
    const int end = LineCount();
    const TLineRecord& record = FRecords.back();
    const int shift = ShiftOf(end);
    if (!FLeftOpen.Valid || !(FLeftOpen.Blocks == record.Blocks) || FLeftOpen.Shift != shift) {
        FLeftOpen = {record.Blocks, shift, true, LeftOpenProblems(record.Blocks, shift)};
    }
    return FLeftOpen.Problems;
}

// Problems of Line stored with line 0 get their line, and the distance to their block its line.
void TLiveProblems::Placed(int Line, std::vector<TScriptProblem>& Problems) const {
    for (TScriptProblem& problem : Problems) {
        problem.Line = Line;
        if (NamesBlock(problem.Kind)) {
            problem.BlockLine = Line - problem.BlockLine;
        }
    }
}

std::vector<TScriptProblem> TLiveProblems::ProblemsOf(int Line) const {
    std::vector<TScriptProblem> problems;
    if (Line < 0 || Line >= LineCount()) {
        return problems;
    }
    if (const auto& stored = FRecords[static_cast<std::size_t>(Line)].Problems) {
        problems = *stored;
        Placed(Line, problems);
    }
    const std::vector<TScriptProblem>& open = LeftOpen();
    problems.insert(problems.end(), std::ranges::lower_bound(open, Line, {}, &TScriptProblem::Line),
                    std::ranges::upper_bound(open, Line, {}, &TScriptProblem::Line));
    return problems;
}

std::vector<TScriptProblem> TLiveProblems::AllProblems() const {
    std::vector<TScriptProblem> all;
    const std::vector<TScriptProblem>& open = LeftOpen();
    auto nextOpen = open.begin();
    for (int line = 0; line < LineCount(); ++line) {
        const auto& stored = FRecords[static_cast<std::size_t>(line)].Problems;
        if (!stored && (nextOpen == open.end() || nextOpen->Line != line)) {
            continue;
        }
        std::vector<TScriptProblem> problems = ProblemsOf(line);
        SortByColumn(problems);
        while (nextOpen != open.end() && nextOpen->Line == line) {
            ++nextOpen;
        }
        std::ranges::move(problems, std::back_inserter(all));
    }
    return all;
}

} // namespace kst
