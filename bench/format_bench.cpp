// Automatic formatting and the syntax check of long scripts: the formatter on 1 and 2.5 million
// lines in memory (2.5 million: about 100 MB), the unit detection alone, the editor's command on a
// text of 1 million lines (one change that can be undone), and kestrane-format --check and
// --syntax on a file of about 100 MB and 2.5 million lines, in this process; the syntax check's
// and procedure list's entries from an editor's text, on 2.5 million lines; the kept problems
// read again after one typed key, on 2.5 million lines and on 100, and their first reading after a
// load. Also commenting every line of a long text, which must grow with the line count alone. The
// script parser and the analysis of names have their own, script_bench.
#include "input/editor.h"
#include "messy_script.h"
#include "recording_host.h"
#include "script/format_cli.h"
#include "script/formatter.h"
#include "script/indent_unit.h"
#include "script/script_parser.h"
#include "script_lines.h"
#include "tools/comment.h"
#include "tools/editor_format.h"
#include "tools/editor_lines.h"
#include "tools/editor_problems.h"
#include "tools/search_results.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace kst {
namespace {

void BM_FormatLines(benchmark::State& State) {
    const std::string text = MessyScript(static_cast<int>(State.range(0)));
    const std::vector<std::string_view> lines = LinesOf(text);
    for (auto _ : State) {
        benchmark::DoNotOptimize(FormatLines(lines));
    }
}
BENCHMARK(BM_FormatLines)->Arg(1'000'000)->Arg(2'500'000)->Unit(benchmark::kMillisecond);

// Finding the script's own indent unit, once the script is parsed: its first few thousand block
// bodies, so the same on any length.
void BM_DetectIndentUnit(benchmark::State& State) {
    const std::string text = MessyScript(static_cast<int>(State.range(0)));
    const std::vector<std::string_view> lines = LinesOf(text);
    const TScriptStructure structure = ParseScript(lines);
    for (auto _ : State) {
        benchmark::DoNotOptimize(DetectIndentUnit(lines, structure, kDefaultTabWidth));
    }
}
BENCHMARK(BM_DetectIndentUnit)->Arg(2'500'000)->Unit(benchmark::kMicrosecond);

// What F7 and F2 do before the list shows: the editor's lines, the parse, the entries (a
// definition every 14 lines: 178,572 of them for F2).
void BM_StructureListsOfTheEditorText(benchmark::State& State) {
    const std::unique_ptr<TEditor> editor = CreateComponent<TEditor>(nullptr);
    editor->GetLines().SetTextStr(MessyScript(static_cast<int>(State.range(0))));
    const bool definitions = State.range(1) != 0;
    for (auto _ : State) {
        const EditorLines lines(*editor);
        const TScriptStructure structure = ParseScript(lines.Lines());
        benchmark::DoNotOptimize(definitions
                                     ? DefinitionEntries(structure, lines.Lines())
                                     : ProblemEntries(PlacedProblems(structure, lines.Lines())));
    }
}
BENCHMARK(BM_StructureListsOfTheEditorText)
    ->Args({2'500'000, 0})
    ->Args({2'500'000, 1})
    ->Unit(benchmark::kMillisecond);

// Command on an editor whose whole text is selected; putting the text back is not timed.
void TimeOnFreshText(benchmark::State& State, void (*Command)(TEditor&)) {
    RecordingHost host{{800, 600}};
    const std::unique_ptr<TEditor> editor = CreateComponent<TEditor>(nullptr);
    editor->SetHost(&host);
    const std::string text = MessyScript(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        State.PauseTiming();
        editor->GetLines().SetTextStr(text);
        editor->SelectAll();
        State.ResumeTiming();
        Command(*editor);
    }
}

// The command, with its write-back as one change.
void BM_FormatEditorText(benchmark::State& State) {
    TimeOnFreshText(State, [](TEditor& Editor) { FormatEditorText(Editor); });
}
BENCHMARK(BM_FormatEditorText)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Commenting every line of a long text: one change per line, each near the one before.
void BM_CommentAllLines(benchmark::State& State) {
    TimeOnFreshText(State, CommentLines);
}
BENCHMARK(BM_CommentAllLines)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

class SilentConsole : public FormatConsole {
public:
    std::string ReadInput() override { return {}; }
    void WriteOutput(std::string_view) override {}
    void PrintLine(std::string_view) override {}
    void PrintErrorLine(std::string_view) override {}
};

// Reading, formatting and comparing a file that would change; with --syntax, reading and checking
// it (its last blocks are left open).
void BM_CheckLargeFile(benchmark::State& State) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "kst_format_bench.vbs";
    std::ofstream(path, std::ios::binary) << MessyScript(static_cast<int>(State.range(0)));
    const std::string mode = State.range(1) != 0 ? "--syntax" : "--check";
    SilentConsole console;
    for (auto _ : State) {
        if (RunFormatCli({mode, path.string()}, console) != fsFound) {
            State.SkipWithError("the script should need formatting and have problems");
        }
    }
    State.SetBytesProcessed(State.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
    std::filesystem::remove(path);
}
BENCHMARK(BM_CheckLargeFile)
    ->Args({2'500'000, 0})
    ->Args({2'500'000, 1})
    ->Unit(benchmark::kMillisecond);

// The first reading of a script's problems after it was loaded, in the steps the idle handler
// takes (the first also makes the records of every line); the longest step's processor time is a
// counter, in ms, as the machine's load stretches the steps' wall-clock times.
void BM_ProblemsFirstReading(benchmark::State& State) {
    const std::string text = MessyScript(static_cast<int>(State.range(0)));
    const std::vector<std::string_view> lines = LinesOf(text);
    double longest = 0;
    int steps = 0;
    for (auto _ : State) {
        TLiveProblems problems;
        for (bool first = true, more = true; more; first = false, ++steps) {
            const std::clock_t start = std::clock();
            if (first) {
                problems.Reset(static_cast<int>(lines.size()));
            }
            more = problems.Read(SpanLines(lines), EditorProblems::kStepBytes);
            longest = std::max(longest,
                               1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
        }
    }
    State.counters["longest_step_ms"] = longest;
    State.counters["steps"] = benchmark::Counter(steps, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ProblemsFirstReading)->Arg(2'500'000)->Unit(benchmark::kMillisecond);

// One key typed into a script whose problems are all read: the line is read again, and as many
// lines after it as the key changes the blocks open at their starts. Arg 1 picks the key: 0 one
// inside a procedure's statement, 1 the "f" that completes an "End If" (typed and taken back in
// turn, so that every key changes the structure).
void BM_ProblemsAfterAKey(benchmark::State& State) {
    const std::string text = MessyScript(static_cast<int>(State.range(0)));
    std::vector<std::string_view> lines = LinesOf(text);
    // The middle procedure's "End If" and the statement before it.
    const std::size_t procedure = lines.size() / 2 / 14 * 14;
    const std::size_t line = procedure + (State.range(1) != 0 ? 9 : 8);
    const std::string before(lines[line]);
    const std::string after = State.range(1) != 0 ? before.substr(0, before.size() - 1)
                                                  : before.substr(0, 10) + "x" + before.substr(10);
    TLiveProblems problems;
    problems.Reset(static_cast<int>(lines.size()));
    while (problems.Read(SpanLines(lines), std::size_t{1} << 30)) {
    }
    bool typed = false;
    for (auto _ : State) {
        typed = !typed;
        lines[line] = typed ? after : before;
        problems.LinesReplaced(static_cast<int>(line), 1, 1);
        problems.Read(SpanLines(lines), std::size_t{1} << 30);
        if (!problems.Current()) {
            State.SkipWithError("one key should be read in one reading");
        }
    }
}
BENCHMARK(BM_ProblemsAfterAKey)
    ->Args({2'500'000, 0})
    ->Args({2'500'000, 1})
    ->Args({100, 0})
    ->Args({100, 1})
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kst
