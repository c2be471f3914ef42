// Word wrap of VBScript text at wrap column 80: the per-line work of re-wrapping a whole document,
// and wrapping a pasted block into a row list.
#include "document/wrap.h"
#include "document/wrap_option.h"
#include "lists/string_list.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace kst {
namespace {

// CP932 words: 設定 ファイル を 読み込む 。 、 「 」
const std::vector<std::string> kJapanese = {"\x90\xDD\x92\xE8", "\x83\x74\x83\x40\x83\x43\x83\x8B",
                                            "\x82\xF0",         "\x93\xC7\x82\xDD\x8D\x9E\x82\xDE",
                                            "\x81\x42",         "\x81\x41",
                                            "\x81\x75",         "\x81\x76"};
const std::vector<std::string> kScript = {
    "Dim", " ",    "objFso",     " = ",  "CreateObject(\"Scripting.FileSystemObject\")",
    "If",  "Then", "strPath",    ".",    "WScript.Echo",
    "(",   ")",    ", ",         "Call", "End If",
    "' ",  "\"",   "& vbCrLf &", "1234"};

// Lines of MinColumns..MaxColumns bytes: tab indents, script words and Japanese comments.
std::vector<std::string> MakeLines(int Count, int MinColumns, int MaxColumns) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> length(MinColumns, MaxColumns);
    std::uniform_int_distribution<int> indent(0, 3);
    std::uniform_int_distribution<int> kind(0, 3);
    std::vector<std::string> lines;
    for (int i = 0; i < Count; ++i) {
        std::string line(indent(random), '\t');
        const auto target = static_cast<std::size_t>(length(random));
        while (line.size() < target) {
            const auto& words = kind(random) == 0 ? kJapanese : kScript;
            line += words[random() % words.size()];
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

WrapContext Context(const TEditorWrapOption& Options, const TCharSet& Delimiters) {
    return {&Options, 4, true, &Delimiters};
}

// What re-wrapping a document does per line: one row for a narrow line, else its cut positions.
void WrapEveryLine(benchmark::State& State, const std::vector<std::string>& Lines) {
    TEditorWrapOption options;
    options.SetFollowPunctuation(true);
    options.SetLeading(true);
    const TCharSet delimiters = DefaultDelimiters();
    const WrapContext context = Context(options, delimiters);
    std::int64_t bytes = 0;
    for (const std::string& line : Lines) {
        bytes += static_cast<std::int64_t>(line.size());
    }
    for (auto _ : State) {
        std::int64_t rows = 0;
        for (const std::string& line : Lines) {
            if (FitsInOneRow(context, line)) {
                ++rows;
                continue;
            }
            LineWrapper wrapper(context, line);
            WrappedRow row;
            while (wrapper.Next(row)) {
                ++rows;
            }
        }
        benchmark::DoNotOptimize(rows);
    }
    State.SetBytesProcessed(State.iterations() * bytes);
    State.SetItemsProcessed(State.iterations() * static_cast<std::int64_t>(Lines.size()));
}

void BM_WrapLongLines(benchmark::State& State) {
    static const std::vector<std::string> lines = MakeLines(20000, 40, 200);
    WrapEveryLine(State, lines);
}
BENCHMARK(BM_WrapLongLines);

// A typical document: most lines narrower than the wrap column.
void BM_WrapDocumentLines(benchmark::State& State) {
    static const std::vector<std::string> lines = MakeLines(100000, 5, 90);
    WrapEveryLine(State, lines);
}
BENCHMARK(BM_WrapDocumentLines);

// Wrapping a pasted block of 200 lines into a row list.
void BM_WrapLineIntoRows(benchmark::State& State) {
    std::string text;
    for (const std::string& line : MakeLines(200, 40, 200)) {
        text += line + "\r\n";
    }
    TEditorWrapOption options;
    const TCharSet delimiters = DefaultDelimiters();
    TEditorStringList rows;
    for (auto _ : State) {
        WrapLine(Context(options, delimiters), text, rows);
        benchmark::DoNotOptimize(rows.GetCount());
    }
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(text.size()));
    State.SetItemsProcessed(State.iterations() * 200);
}
BENCHMARK(BM_WrapLineIntoRows);

} // namespace
} // namespace kst
