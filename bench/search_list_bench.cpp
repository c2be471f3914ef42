// The search commands on large texts: the results list of a million lines, and replacing 100,000
// occurrences in 10 MB without asking, and its undo.
#include "input/editor.h"
#include "tools/replace.h"
#include "tools/search_results.h"
#include "tools/word_matcher.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace kst {
namespace {

// Lines of script; every Every-th one calls MsgBox, the others do not.
std::string ScriptLines(int Lines, int Every) {
    std::string text;
    text.reserve(static_cast<std::size_t>(Lines) * 40);
    for (int i = 0; i < Lines; ++i) {
        text += i % Every == 0 ? "\tMsgBox \"line " : "\tDim value = \"line ";
        text += std::to_string(i) + "\" ' note\r\n";
    }
    return text;
}

void BM_ResultsListOfAMillionLines(benchmark::State& State) {
    std::unique_ptr<TEditor> editor = CreateComponent<TEditor>(nullptr);
    editor->GetLines().SetTextStr(ScriptLines(1'000'000, static_cast<int>(State.range(0))));
    const TWordMatcher matcher("msgbox", false);
    std::size_t entries = 0;
    for (auto _ : State) {
        entries = ResultEntries(editor->ScreenStrings(), matcher).size();
        benchmark::DoNotOptimize(entries);
    }
    State.counters["hit lines"] = static_cast<double>(entries);
}
// The word on every line, and on one line in a hundred.
BENCHMARK(BM_ResultsListOfAMillionLines)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

// 100,000 lines of 100 bytes, each with one occurrence: 10 MB.
std::string TenMegabytes() {
    std::string line = "\tx = MsgBox(\"text\")";
    line.resize(98, '.');
    line += "\r\n";
    std::string text;
    text.reserve(line.size() * 100'000);
    for (int i = 0; i < 100'000; ++i) {
        text += line;
    }
    return text;
}

const TReplaceRequest kReplaceAll{.Word = "msgbox",
                                  .Replacement = "Echo",
                                  .MatchCase = false,
                                  .Confirm = false,
                                  .ReplaceAll = true};

// Replace all without asking, or (undo:1) the one undo that takes it back.
void BM_ReplaceAllOf100000Hits(benchmark::State& State) {
    const bool undo = State.range(0) != 0;
    std::unique_ptr<TEditor> editor = CreateComponent<TEditor>(nullptr);
    const std::string text = TenMegabytes();
    for (auto _ : State) {
        State.PauseTiming();
        editor->GetLines().SetTextStr(text);
        if (undo) {
            ReplaceOccurrences(*editor, kReplaceAll, nullptr);
        }
        State.ResumeTiming();
        if (undo) {
            editor->Undo();
        } else {
            ReplaceOccurrences(*editor, kReplaceAll, nullptr);
        }
    }
}
BENCHMARK(BM_ReplaceAllOf100000Hits)
    ->ArgName("undo")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kst
