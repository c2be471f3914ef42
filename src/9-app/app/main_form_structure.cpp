// The Tool menu's syntax check and procedure list: the script's structure as the script parser
// reads it, listed in the results list, from which a jump goes to the line as from a search hit.
#include "app/main_form.h"
#include "app/main_view.h"
#include "input/editor.h"
#include "script/name_analysis.h"
#include "script/script_parser.h"
#include "tools/editor_lines.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace kst {

namespace {

std::string ProblemSummary(std::size_t Problems) {
    return Problems == 0 ? "> 問題はありません" : "> [" + std::to_string(Problems) + "]件の問題";
}

std::string DefinitionSummary(std::size_t Definitions) {
    return "> [" + std::to_string(Definitions) + "]件";
}

// The check's own problems, then its warnings.
std::vector<TResultEntry> OwnEntries(std::span<const TPlacedProblem> Problems,
                                     std::span<const TPlacedProblem> Warnings) {
    std::vector<TResultEntry> entries = ProblemEntries(Problems);
    std::ranges::move(ProblemEntries(Warnings), std::back_inserter(entries));
    return entries;
}

} // namespace

// The list shows the own problems and warnings at once; the engine compiles the text meanwhile,
// and its verdict puts its error first and the summary last.
void TForm1::mnuSyntaxCheckClick() {
    const EditorLines lines(FEditor);
    const TScriptAnalysis analysis = AnalyseScript(lines.Lines());
    FSyntaxCheck =
        TSyntaxCheck{PlacedProblems(analysis.Structure, lines.Lines()),
                     PlacedWarnings(analysis.Names, lines.Lines(), [this](std::string_view Name) {
                         return FDesktop.TextToUtf8(Name);
                     })};
    ShowResults(OwnEntries(FSyntaxCheck->Problems, FSyntaxCheck->Warnings), false);
    FSyntaxCheck->List = FResults.ListNumber();
    FView.RepaintEditor();
    FDesktop.SystemScriptEngine().Compile(
        FEditor.GetLines().GetTextStr(),
        [this](const TEngineVerdict& Verdict) { EngineVerdictArrived(Verdict); });
}

void TForm1::EngineVerdictArrived(const TEngineVerdict& Verdict) {
    const std::optional<TSyntaxCheck> check = std::exchange(FSyntaxCheck, std::nullopt);
    if (!check || check->List != FResults.ListNumber()) {
        return;
    }
    const std::optional<TResultEntry> engine = EngineEntry(Verdict, check->Problems);
    const std::size_t problems = check->Problems.size() + check->Warnings.size() + (engine ? 1 : 0);
    if (!engine) {
        FResults.Append({{ProblemSummary(problems), {}}});
        return;
    }
    std::vector<TResultEntry> entries{*engine};
    std::ranges::move(OwnEntries(check->Problems, check->Warnings), std::back_inserter(entries));
    entries.push_back({ProblemSummary(problems), {}});
    ShowResults(std::move(entries), false);
}

void TForm1::mnuProcedureListClick() {
    const EditorLines lines(FEditor);
    const TScriptStructure structure = ParseScript(lines.Lines());
    std::vector<TResultEntry> entries = DefinitionEntries(structure, lines.Lines());
    ConvertToUtf8(entries);
    entries.push_back({DefinitionSummary(structure.Definitions.size()), {}});
    ShowResults(std::move(entries), false);
    FView.RepaintEditor();
}

} // namespace kst
