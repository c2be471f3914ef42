// Tokenizing speed of the editor's parser with the main window's VBScript colouring.
#include "app/main_window_editor.h"
#include "fountain/editor_parser.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>
#include <vector>

namespace kst {
namespace {

// About Bytes bytes of script in rows: assignments, calls, conditions, comments, Japanese text.
std::vector<std::string> ScriptRows(std::size_t Bytes) {
    const std::array<std::string, 8> samples = {
        "Option Explicit",
        "Dim objShell, strPath, intCount",
        "Set objShell = CreateObject(\"WScript.Shell\")",
        "    intCount = intCount + 12.5e-3 * (value_1 - 42) ' \x83\x4A\x83\x45\x83\x93\x83\x67",
        "    If strPath <> \"\" And Not IsNull(strPath) Then",
        "        MsgBox \"\x8A\xAE\x97\xB9\x82\xB5\x82\xDC\x82\xB5\x82\xBD\" & intCount, vbOKOnly",
        "    End If",
        "\tCall WriteLog(strPath, \"&H1F\") ' log it",
    };
    std::vector<std::string> rows;
    std::size_t total = 0;
    for (std::size_t i = 0; total < Bytes; ++i) {
        const std::string& row = samples[i % samples.size()];
        rows.push_back(row);
        total += row.size();
    }
    return rows;
}

const std::vector<std::string>& TenMegabytes() {
    static const std::vector<std::string> rows = ScriptRows(10u << 20);
    return rows;
}

std::int64_t TotalBytes(const std::vector<std::string>& Rows) {
    std::int64_t total = 0;
    for (const std::string& row : Rows) {
        total += static_cast<std::int64_t>(row.size());
    }
    return total;
}

// BeginRow and ReadToken to the end of every row; with Colours, each token's colour as well.
void Tokenize(benchmark::State& state, bool Colours) {
    auto fountain = CreateComponent<TEditorFountain>(nullptr);
    ApplyMainWindowColouring(*fountain);
    auto parser = fountain->NewParser();
    const std::vector<std::string>& rows = TenMegabytes();
    const TRowAttributeData start;
    for (auto _ : state) {
        for (const std::string& row : rows) {
            parser->BeginRow(row, start);
            while (parser->ReadToken() != tokEndOfRow) {
                if (Colours) {
                    benchmark::DoNotOptimize(parser->TokenColor());
                }
            }
        }
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes(rows));
}

void BM_ReadToken(benchmark::State& state) {
    Tokenize(state, false);
}
BENCHMARK(BM_ReadToken)->Unit(benchmark::kMillisecond);

void BM_ReadTokenWithColours(benchmark::State& state) {
    Tokenize(state, true);
}
BENCHMARK(BM_ReadTokenWithColours)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kst
