// The script language on the 100 MB script of 2.5 million lines: the floor, every token read by
// the lexer alone; the parser; the parser with the analysis of names, and the memory the analysis
// adds to the parse (the peak of the bytes it holds, counted by this program's allocator, beside
// the bytes its result and its script-level tables keep), per byte of the script. Also blocks left
// open by the thousand, which must grow with the line count alone.
#include "messy_script.h"
#include "script/name_analysis.h"
#include "script/script_lexer.h"
#include "script/script_parser.h"
#include "script_lines.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <string>
#include <vector>

namespace {

// The bytes allocated and not yet freed while counting, and their most.
long long gLiveBytes = 0;
long long gPeakBytes = 0;
bool gCounting = false;

} // namespace

// Out of line, so that the compiler sees no malloc behind a new nor free behind a delete.
[[gnu::noinline]] void* operator new(std::size_t Size) {
    void* block = std::malloc(Size == 0 ? 1 : Size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    if (gCounting) {
        gLiveBytes += static_cast<long long>(malloc_usable_size(block));
        gPeakBytes = std::max(gPeakBytes, gLiveBytes);
    }
    return block;
}

[[gnu::noinline]] void operator delete(void* Block) noexcept {
    if (gCounting && Block != nullptr) {
        gLiveBytes -= static_cast<long long>(malloc_usable_size(Block));
    }
    std::free(Block);
}

void operator delete(void* Block, std::size_t) noexcept {
    operator delete(Block);
}

namespace kst {
namespace {

// The most bytes Run holds at once.
template <class F>
long long PeakBytes(F&& Run) {
    gLiveBytes = 0;
    gPeakBytes = 0;
    gCounting = true;
    Run();
    gCounting = false;
    return gPeakBytes;
}

class SilentListener : public ScriptLexer::Listener {
public:
    void LineLeft(int, TLineContent) override {}
    void Fault(int, int, TLexFault) override {}
    bool StatementLineReached(int) override { return true; }
};

void BM_ReadTokens(benchmark::State& State) {
    const std::string text = MessyScript(static_cast<int>(State.range(0)));
    const std::vector<std::string_view> lines = LinesOf(text);
    const SpanLines script(lines);
    for (auto _ : State) {
        SilentListener listener;
        ScriptLexer lexer(script, 0, listener);
        std::size_t tokens = 0;
        while (lexer.Next().Type != TTokenType::EndOfScript) {
            ++tokens;
        }
        benchmark::DoNotOptimize(tokens);
    }
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadTokens)->Arg(2'500'000)->Unit(benchmark::kMillisecond);

void BM_ParseScript(benchmark::State& State) {
    const std::string text = MessyScript(static_cast<int>(State.range(0)));
    const std::vector<std::string_view> lines = LinesOf(text);
    for (auto _ : State) {
        benchmark::DoNotOptimize(ParseScript(lines));
    }
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseScript)->Arg(2'500'000)->Unit(benchmark::kMillisecond);

void BM_AnalyseScript(benchmark::State& State) {
    const std::string text = MessyScript(static_cast<int>(State.range(0)));
    const std::vector<std::string_view> lines = LinesOf(text);
    for (auto _ : State) {
        benchmark::DoNotOptimize(AnalyseScript(lines));
    }
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(text.size()));
    const long long parse = PeakBytes([&] { benchmark::DoNotOptimize(ParseScript(lines)); });
    // What stays for the analyses of single procedures: the names and the script-level tables.
    std::size_t kept = 0;
    const long long analysis = PeakBytes([&] {
        NameAnalysis names;
        ParseScript(lines, &names);
        ScriptLevelNames tables;
        kept = names.Finish(&tables).Bytes() + tables.Bytes();
    });
    const double size = static_cast<double>(text.size());
    State.counters["added_per_file_byte"] = static_cast<double>(analysis - parse) / size;
    State.counters["kept_per_file_byte"] = static_cast<double>(kept) / size;
}
BENCHMARK(BM_AnalyseScript)->Arg(2'500'000)->Unit(benchmark::kMillisecond);

// Count lines "If a Then", then Count lines "Next", none of which finds its For; parsed alone
// (0) and with the analysis of names (1).
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
    const bool names = State.range(1) != 0;
    for (auto _ : State) {
        if (names) {
            benchmark::DoNotOptimize(AnalyseScript(lines));
        } else {
            benchmark::DoNotOptimize(ParseScript(lines));
        }
    }
}
BENCHMARK(BM_ParseOpenBlocks)->Args({80'000, 0})->Args({80'000, 1})->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kst
