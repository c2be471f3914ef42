// Searching a text of 100 MB (script lines with Japanese comments) for a 6-byte pattern that it
// does not hold, forwards and backwards, with and without case; and the editor's SearchText over
// a text of about 20 MB, which copies it window by window from the rows.
#include "document/search_engine.h"
#include "input/editor.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace kst {
namespace {

// Words without the letter q, which the pattern holds; the Japanese ones hold no q or Q byte.
const std::vector<std::string> kWords = {
    "Dim",
    "If",
    "Then",
    "End",
    "Sub",
    "Function",
    "strName",
    "WScript.Echo",
    "Set",
    "objFSO",
    "CreateObject(\"Scripting.FileSystemObject\")",
    "For",
    "Each",
    "Next",
    "=",
    "(",
    ")",
    ",",
    "1024",
    "i + 1",
    "\x83\x74\x83\x40\x83\x43\x83\x8B",
    "\x82\xF0",
    "\x8A\x4A\x82\xAD",
    "\x93\xC7\x82\xDD\x8D\x9E\x82\xDD",
    "\x8F\x88\x97\x9D",
};
constexpr std::string_view kAbsent = "equals";

std::string ScriptText(std::size_t Bytes) {
    std::mt19937 random(7);
    std::string text;
    text.reserve(Bytes + 200);
    while (text.size() < Bytes) {
        const int words = 3 + static_cast<int>(random() % 10);
        text += random() % 5 == 0 ? "' " : "    ";
        for (int w = 0; w < words; ++w) {
            text += kWords[random() % kWords.size()];
            text += ' ';
        }
        text += "\r\n";
    }
    return text;
}

const std::string& HundredMegabytes() {
    static const std::string text = ScriptText(100'000'000);
    return text;
}

void BM_SearchBuffer(benchmark::State& State, TSearchOptions Options, std::string_view Pattern) {
    const std::string& text = HundredMegabytes();
    const int from = (Options & sxForward) != 0 ? 0 : static_cast<int>(text.size());
    for (auto _ : State) {
        int start = from;
        int length = 0;
        benchmark::DoNotOptimize(SearchBuffer(text, start, length, Pattern, Options));
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

BENCHMARK_CAPTURE(BM_SearchBuffer, ForwardMatchCase, sxForward | sxMatchCase, kAbsent)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchBuffer, Forward, sxForward, kAbsent)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchBuffer, BackwardMatchCase, sxMatchCase, kAbsent)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchBuffer, Backward, TSearchOptions{0}, kAbsent)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchBuffer, ForwardWholeWord, sxForward | sxWholeWord, kAbsent)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchBuffer, ForwardIgnoreWidthAndBlanks,
                  sxForward | sxIgnoreWidth | sxIgnoreBlanks, kAbsent)
    ->Unit(benchmark::kMillisecond);

void BM_SearchText(benchmark::State& State, TSearchOptions Options) {
    const std::unique_ptr<TEditor> editor = CreateComponent<TEditor>(nullptr);
    const std::string text = ScriptText(20'000'000);
    editor->GetLines().SetTextStr(text);
    const int from = (Options & sxForward) != 0 ? 0 : static_cast<int>(editor->TextLength());
    for (auto _ : State) {
        editor->SetSelStart(from);
        benchmark::DoNotOptimize(editor->SearchText(kAbsent, Options));
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

BENCHMARK_CAPTURE(BM_SearchText, Forward, sxForward)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchText, Backward, TSearchOptions{0})->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kst
