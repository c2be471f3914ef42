// Computing the colouring start states of a large document, and refreshing them after an edit.
#include "../tests/support/fake_editor.h"
#include "app/main_window_editor.h"
#include "lists/row_text_io.h"

#include <benchmark/benchmark.h>
#include <string>

namespace kst {
namespace {

// A script of Rows lines with block comments in braces: brackets configured and used.
struct BracketedDocument {
    explicit BracketedDocument(int Rows) {
        ApplyMainWindowColouring(*Editor.Fountain);
        auto* item = Editor.Fountain->GetBrackets().Add();
        item->SetLeftBracket("{");
        item->SetRightBracket("}");
        Editor.BracketsFull = true;
        Editor.Screen = 50;
        std::string text;
        for (int i = 0; i < Rows; ++i) {
            text += i % 40 == 0 ? "{ note " : i % 40 == 3 ? "} " : "";
            text += "Dim value" + std::to_string(i % 97) + " = Array(1, 2.5, \"s\") ' c\r\n";
        }
        LoadRowsFromText(*Editor.Store, text);
    }

    FakeEditor Editor;
};

void BM_InitStartStatesFull(benchmark::State& State) {
    BracketedDocument doc(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        doc.Editor.Store->InitStartStates();
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_InitStartStatesFull)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Typing one character in the middle (one UpdateRows, which refreshes the start states): the next
// row's state does not change, so the refresh stops at once whatever the document's size.
void BM_UpdateStartStatesAfterTyping(benchmark::State& State) {
    const int rows = static_cast<int>(State.range(0));
    BracketedDocument doc(rows);
    TEditorScreenStrings& store = *doc.Editor.Store;
    store.InitStartStates();
    const int row = rows / 2 + 1;
    for (auto _ : State) {
        store.UpdateRows(row, 1, "Dim x = 1 ' typed\r\n");
        benchmark::DoNotOptimize(store.GetUpdateInfo());
    }
}
BENCHMARK(BM_UpdateStartStatesAfterTyping)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kst
