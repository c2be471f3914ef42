// Automatic formatting and the syntax check of long scripts: the formatter on 1 million lines in
// memory, the editor's command on a text of 1 million lines (one change that can be undone), and
// kestrane-format --check and --syntax on a file of about 100 MB and 2.5 million lines, in this
// process; the script parser, and the syntax check's and procedure list's entries from an
// editor's text, on 2.5 million lines. Also commenting every line of a long text, which must grow
// with the line count alone.
#include "input/editor.h"
#include "recording_host.h"
#include "script/format_cli.h"
#include "script/formatter.h"
#include "script/script_parser.h"
#include "script_lines.h"
#include "tools/comment.h"
#include "tools/editor_format.h"
#include "tools/editor_lines.h"
#include "tools/search_results.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace kst {
namespace {

// A script of nested blocks with careless indentation; its lines take 40 bytes on average.
std::string MessyScript(int LineCount) {
    static const std::vector<std::string> kBlock = {
        "Sub ComputeTotals(argument1, argument2, argument3)   ",
        "  Dim counter, total, message, resultValue, limitValue",
        "For counter = 1 To 100 Step 1 ' every value in the range",
        "        If counter Mod 3 = 0 And total < limitValue Then",
        "  total = total + counter * argument1 + argument3",
        "   ElseIf counter > argument2 Or total = 0 Then",
        "total = total - 1  ' keeps the sum above zero",
        "      Else   ",
        "  message = \"value \" & CStr(counter) & \" is fine\"",
        "    End If",
        "    ' the loop ends here, as it always should do  ",
        " Next",
        "",
        "End Sub ' ComputeTotals ends here, with a total",
    };
    std::string text;
    text.reserve(static_cast<std::size_t>(LineCount) * 41);
    for (int line = 0; line < LineCount; ++line) {
        text += kBlock[static_cast<std::size_t>(line) % kBlock.size()];
        text += "\r\n";
    }
    return text;
}

void BM_FormatLines(benchmark::State& State) {
    const std::string text = MessyScript(static_cast<int>(State.range(0)));
    const std::vector<std::string_view> lines = LinesOf(text);
    for (auto _ : State) {
        benchmark::DoNotOptimize(FormatLines(lines));
    }
}
BENCHMARK(BM_FormatLines)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_ParseScript(benchmark::State& State) {
    const std::string text = MessyScript(static_cast<int>(State.range(0)));
    const std::vector<std::string_view> lines = LinesOf(text);
    for (auto _ : State) {
        benchmark::DoNotOptimize(ParseScript(lines));
    }
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseScript)->Arg(2'500'000)->Unit(benchmark::kMillisecond);

// Blocks left open by the thousand: Count lines "If a Then", then Count lines "Next", none of
// which finds its For. Must grow with the line count alone.
void BM_ParseOpenBlocks(benchmark::State& State) {
    const auto count = static_cast<std::size_t>(State.range(0));
    std::string text;
    for (std::size_t line = 0; line < count; ++line) {
        text += "If a Then\r\n";
    }
    for (std::size_t line = 0; line < count; ++line) {
        text += "Next\r\n";
    }
    const std::vector<std::string_view> lines = LinesOf(text);
    for (auto _ : State) {
        benchmark::DoNotOptimize(ParseScript(lines));
    }
}
BENCHMARK(BM_ParseOpenBlocks)->Arg(80'000)->Unit(benchmark::kMillisecond);

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
    TimeOnFreshText(State, FormatEditorText);
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

} // namespace
} // namespace kst
