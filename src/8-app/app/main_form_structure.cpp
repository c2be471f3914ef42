// The Tool menu's syntax check and procedure list: the script's structure as the script parser
// reads it, listed in the results list, from which a jump goes to the line as from a search hit.
#include "app/main_form.h"
#include "app/main_view.h"
#include "tools/editor_lines.h"
#include "tools/script_parser.h"

namespace kst {

namespace {

std::string ProblemSummary(std::size_t Problems) {
    return Problems == 0 ? "> 問題はありません" : "> [" + std::to_string(Problems) + "]件の問題";
}

std::string DefinitionSummary(std::size_t Definitions) {
    return "> [" + std::to_string(Definitions) + "]件";
}

} // namespace

void TForm1::mnuSyntaxCheckClick() {
    const EditorLines lines(FEditor);
    const TScriptStructure structure = ParseScript(lines.Lines());
    std::vector<TResultEntry> entries = ProblemEntries(structure);
    entries.push_back({ProblemSummary(structure.Problems.size()), {}});
    ShowResults(std::move(entries), false);
    FView.RepaintEditor();
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
