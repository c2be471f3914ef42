// Reading arbitrary lines as a script: the parser and the analysis of names read every input to
// its end in a time that grows with its size alone, place every line, report problems and
// warnings in the order of their places inside the text and definitions in line order, and
// formatting changes nothing of what they find.
#include "fuzz_check.h"
#include "script/formatter.h"
#include "script/name_analysis.h"
#include "script/script_parser.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using kst::fuzz::Check;
using kst::fuzz::LinesOf;

// A problem without its column, which formatting moves.
kst::TScriptProblem WithoutColumn(kst::TScriptProblem Problem) {
    Problem.Column = 0;
    return Problem;
}

kst::TNameWarning WarningWithoutColumn(kst::TNameWarning Warning) {
    Warning.Column = 0;
    return Warning;
}

void CheckNames(std::span<const std::string_view> Lines, const kst::TScriptNames& Names) {
    Check(std::ranges::is_sorted(Names.Warnings, {},
                                 [](const kst::TNameWarning& Warning) {
                                     return std::pair(Warning.Line, Warning.Column);
                                 }),
          "warnings out of order");
    for (const kst::TNameWarning& warning : Names.Warnings) {
        Check(warning.Line >= 0 && static_cast<std::size_t>(warning.Line) < Lines.size() &&
                  static_cast<std::size_t>(warning.Column) + warning.Name.size() <=
                      Lines[static_cast<std::size_t>(warning.Line)].size(),
              "a warning outside the text");
    }
    for (const kst::TDeclaration& declaration : Names.Declarations) {
        Check(declaration.Scope >= 0 &&
                  static_cast<std::size_t>(declaration.Scope) < Names.Scopes.size(),
              "a declaration outside every scope");
    }
}

void CheckStructure(std::span<const std::string_view> Lines,
                    const kst::TScriptStructure& Structure) {
    Check(Structure.Levels.size() == Lines.size(), "not every line has a level");
    Check(std::ranges::all_of(Structure.Levels,
                              [](int Level) { return Level >= kst::TScriptStructure::kKeepLine; }),
          "a line left unplaced");
    Check(std::ranges::is_sorted(Structure.Definitions), "definitions out of order");
    Check(std::ranges::is_sorted(Structure.Problems, {},
                                 [](const kst::TScriptProblem& Problem) {
                                     return std::pair(Problem.Line, Problem.Column);
                                 }),
          "problems out of order");
    for (const kst::TScriptProblem& problem : Structure.Problems) {
        Check(problem.Line >= 0 && static_cast<std::size_t>(problem.Line) < Lines.size() &&
                  static_cast<std::size_t>(problem.Column) <=
                      Lines[static_cast<std::size_t>(problem.Line)].size(),
              "a problem outside the text");
        Check(!kst::ProblemMessage(problem).empty(), "a problem without a message");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::vector<std::string_view> source =
        LinesOf(std::string_view(reinterpret_cast<const char*>(Data), Size));
    const auto start = std::chrono::steady_clock::now();
    const kst::TScriptAnalysis analysis = kst::AnalyseScript(source);
    const kst::TScriptStructure& structure = analysis.Structure;
    // Far above what a linear parse takes under the sanitizers, far below a quadratic one on the
    // inputs the fuzzer makes.
    const auto bound = std::chrono::milliseconds(200) + std::chrono::microseconds(20) * Size;
    Check(std::chrono::steady_clock::now() - start < bound, "the parse took too long");
    CheckStructure(source, structure);
    CheckNames(source, analysis.Names);

    const std::vector<std::string> formatted = kst::FormatLines(source);
    const std::vector<std::string_view> views(formatted.begin(), formatted.end());
    const kst::TScriptAnalysis reformatted = kst::AnalyseScript(views);
    const kst::TScriptStructure& after = reformatted.Structure;
    Check(after.Definitions == structure.Definitions, "formatting moved a definition");
    Check(std::ranges::equal(after.Problems, structure.Problems, {}, WithoutColumn, WithoutColumn),
          "formatting changed the problems");
    Check(std::ranges::equal(reformatted.Names.Warnings, analysis.Names.Warnings, {},
                             WarningWithoutColumn, WarningWithoutColumn),
          "formatting changed the warnings");
    return 0;
}
