// The search commands on large texts: the results list of a million lines, the results list of
// 2.5 million lines in idle steps, for a word and for a regular expression, and replacing 100,000
// occurrences in 10 MB without asking, and its undo.
#include "document/screen_strings.h"
#include "input/editor.h"
#include "tools/replace.h"
#include "tools/search_results.h"
#include "tools/word_matcher.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

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

// The end-to-end bench's script of 2.5 million lines (100 MiB), in which "strPath" is on a third
// of the lines: nine lines repeated, comments and strings in Japanese.
const std::string& EndToEndScript() {
    static const std::string text = [] {
        const std::string lines[] = {
            "Option Explicit",
            "' \x90\xdd\x92\xe8\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x93\xc7\x82\xdd\x8d"
            "\x9e\x82\xf1\x82\xc5\x8c\x8f\x90\x94\x82\xf0\x90\x94\x82\xa6\x82\xe9\x8f\x88\x97\x9d",
            "Dim objShell, objFile, strPath, nCount, i",
            "Set objShell = CreateObject(\"WScript.Shell\")",
            "strPath = \"C:\\Temp\\\x83\x66\x81\x5b\x83\x5e\\\" & CStr(nCount) & \".txt\"",
            "If nCount > 10 Then MsgBox \"\x8c\x8f\x90\x94\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc"
            "\x82\xb7\", vbOKOnly",
            "For i = 1 To 100: nCount = nCount + i * 2: Next",
            "    strPath = Replace(strPath, \"\\\", \"/\")",
            "End If ' "
            "\x8c\x8f\x90\x94\x82\xcc\x8a\x6d\x94\x46\x82\xcd\x82\xb1\x82\xb1\x82\xdc\x82\xc5",
        };
        std::string text;
        for (int i = 0; i < 2'500'000; ++i) {
            text.append(lines[i % 9]).append("\r\n");
        }
        return text;
    }();
    return text;
}

// The results list of "strPath" in the end-to-end bench's script, searched a step of at least
// Arg rows at a time as the idle steps search it: the whole search, and the longest step.
void BM_SteppedResultsListOf2500000Lines(benchmark::State& State) {
    std::unique_ptr<TEditor> editor = CreateComponent<TEditor>(nullptr);
    editor->GetLines().SetTextStr(EndToEndScript());
    const TEditorScreenStrings& rows = editor->ScreenStrings();
    const TWordMatcher matcher("strPath", false);
    const int rowsPerStep = static_cast<int>(State.range(0));
    std::chrono::duration<double, std::milli> longest{0};
    std::size_t entries = 0;
    for (auto _ : State) {
        // Each step's entries in a vector of their own, as the idle step hands them on.
        std::vector<std::vector<TResultEntry>> steps;
        entries = 0;
        for (int row = 0; row < rows.GetCount();) {
            const auto start = std::chrono::steady_clock::now();
            row = AppendResultEntries(rows, matcher, row, rowsPerStep, steps.emplace_back());
            longest = std::max(longest, std::chrono::duration<double, std::milli>(
                                            std::chrono::steady_clock::now() - start));
            entries += steps.back().size();
        }
        benchmark::DoNotOptimize(entries);
    }
    State.counters["hit lines"] = static_cast<double>(entries);
    State.counters["longest step ms"] = longest.count();
}
BENCHMARK(BM_SteppedResultsListOf2500000Lines)
    ->Arg(10'000)
    ->Arg(25'000)
    ->Arg(50'000)
    ->Unit(benchmark::kMillisecond);

// The results list of a regular expression over the same script, in steps of 25,000 rows that end
// after 15 ms as the idle steps do: the bytes searched a second, and the longest step.
void BM_RegexResultsListOf2500000Lines(benchmark::State& State) {
    std::unique_ptr<TEditor> editor = CreateComponent<TEditor>(nullptr);
    editor->GetLines().SetTextStr(EndToEndScript());
    const TEditorScreenStrings& rows = editor->ScreenStrings();
    const TWordMatcher matcher("CreateObject\\(\"[^\"]*\"\\)", false, true);
    std::chrono::duration<double, std::milli> longest{0};
    std::size_t entries = 0;
    for (auto _ : State) {
        std::vector<TResultEntry> found;
        for (int row = 0; row < rows.GetCount();) {
            const auto start = std::chrono::steady_clock::now();
            row = AppendResultEntries(rows, matcher, row, 25'000, found,
                                      start + std::chrono::milliseconds(15));
            longest = std::max(longest, std::chrono::duration<double, std::milli>(
                                            std::chrono::steady_clock::now() - start));
        }
        entries = found.size();
        benchmark::DoNotOptimize(entries);
    }
    State.SetBytesProcessed(State.iterations() *
                            static_cast<std::int64_t>(EndToEndScript().size()));
    State.counters["hit lines"] = static_cast<double>(entries);
    State.counters["longest step ms"] = longest.count();
}
BENCHMARK(BM_RegexResultsListOf2500000Lines)->Unit(benchmark::kMillisecond);

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
