#include "tools/editor_problems.h"

#include "input/editor.h"

#include <algorithm>

namespace kst {

std::size_t RowStoreLines::Count() const {
    return static_cast<std::size_t>(FRows.LineCount());
}

std::string_view RowStoreLines::Line(std::size_t Index) const {
    const int first = FRows.LineFirstRow(static_cast<int>(Index));
    const int last = FRows.LineEndRow(first);
    if (first == last) {
        return FRows.GetView(first);
    }
    FJoined.clear();
    for (int row = first; row <= last; ++row) {
        FJoined += FRows.GetView(row);
    }
    return FJoined;
}

TEditorScreenStrings& EditorProblems::Rows() const {
    return FEditor.ScreenStrings();
}

void EditorProblems::SetEnabled(bool Enabled) {
    if (Enabled != FEnabled) {
        FEnabled = Enabled;
        FTold = false;
        FProblems.Reset(0);
    }
}

void EditorProblems::Restart(std::uint64_t Now) {
    FProblems.Reset(Rows().LineCount());
    FVersion = Rows().GetTextVersion();
    FTold = true;
    FDue = Now;
}

// The edit replaced whole lines; one more line on each side is taken as replaced too, so that a
// line the edit only joined or split is read again whatever rows the store reports.
void EditorProblems::Edited(std::uint64_t Now) {
    if (!FEnabled) {
        return;
    }
    const TEditorScreenStrings& rows = Rows();
    const TUpdateInfo& info = rows.GetUpdateInfo();
    if (!FTold || !info.UpdatePending) {
        return Restart(Now);
    }
    const int lines = rows.LineCount();
    const int first = std::max(rows.LineOfRow(info.UpdateStartRow) - 1, 0);
    const int newEnd = std::min(
        rows.LineOfRow(info.UpdateStartRow + std::max(info.UpdateNewRows, 1) - 1) + 2, lines);
    const int newCount = newEnd - first;
    const int oldCount = newCount - (lines - FProblems.LineCount());
    if (oldCount < 0 || first + oldCount > FProblems.LineCount()) {
        return Restart(Now);
    }
    FProblems.LinesReplaced(first, oldCount, newCount);
    FVersion = rows.GetTextVersion();
    FDue = Now + kPauseMilliseconds;
}

bool EditorProblems::StepDue(std::uint64_t Now) const {
    if (!FEnabled) {
        return false;
    }
    if (!FTold || FVersion != Rows().GetTextVersion()) {
        return true;
    }
    return !FProblems.Current() && Now >= FDue;
}

std::optional<int> EditorProblems::WakeDelay(std::uint64_t Now) const {
    if (!FEnabled || (FTold && FProblems.Current() && FVersion == Rows().GetTextVersion())) {
        return std::nullopt;
    }
    return StepDue(Now) ? 0 : static_cast<int>(FDue - Now);
}

bool EditorProblems::Step(std::uint64_t Now) {
    if (!StepDue(Now)) {
        return false;
    }
    if (!FTold || FVersion != Rows().GetTextVersion()) {
        Restart(Now);
    }
    FProblems.Read(RowStoreLines(Rows()), kStepBytes);
    return FProblems.Current();
}

std::vector<TScriptProblem> EditorProblems::ProblemsOfRow(int Row) const {
    if (!FEnabled || !FTold) {
        return {};
    }
    return FProblems.ProblemsOf(Rows().LineOfRow(Row));
}

bool EditorProblems::LineStartHasProblem(int Row) const {
    return Rows().LineStartRow(Row) == Row && !ProblemsOfRow(Row).empty();
}

std::string EditorProblems::CaretProblemText() const {
    const std::vector<TScriptProblem> problems = ProblemsOfRow(FEditor.GetRow());
    return problems.empty() ? std::string() : ProblemMessage(problems.front());
}

} // namespace kst
