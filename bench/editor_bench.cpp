// The editor's per-keystroke costs on a text of two million lines: an edit with its change
// handling, the selection start read after it (as the main window's idle handler does), the
// edit-control position queries, and scrolling by one row. None of them may grow with the text.
#include "app/main_window_editor.h"
#include "core/messages.h"
#include "input/editor.h"
#include "recording_host.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace kst {
namespace {

constexpr int kLines = 2'000'000;

std::string ManyLines() {
    std::string text;
    text.reserve(static_cast<std::size_t>(kLines) * 12);
    for (int i = 0; i < kLines; ++i) {
        text += "line ";
        text += std::to_string(i);
        text += "\r\n";
    }
    return text;
}

// One editor with the main window's settings in a recording window, holding the big text; made
// once for all benchmarks.
struct BigEditor {
    BigEditor() {
        TEditor& e = *Editor;
        ApplyMainWindowViewSettings({e.GetCaret(), e.GetMargin(), e.GetMarks(), e.GetView(),
                                     e.GetRuler(), e.GetLeftbar(), e.GetImagebar(), e.GetSpeed()});
        e.SetScrollBars(ssBoth);
        Editor->SetHost(&Host);
        Editor->GetLines().SetTextStr(ManyLines());
        Host.HasFocus = true;
        Editor->WndProc(WM_SETFOCUS, 0, 0);
    }

    RecordingHost Host{{800, 600}};
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

BigEditor& Big() {
    static BigEditor big;
    return big;
}

void BM_EditNearTheEndThenReadSelStart(benchmark::State& State) {
    TEditor& editor = *Big().Editor;
    const int line = kLines - 100;
    editor.SetRowCol(line, 0);
    std::string text = "line x";
    for (auto _ : State) {
        text.back() = text.back() == 'x' ? 'y' : 'x';
        editor.GetLines().Put(line, text);
        benchmark::DoNotOptimize(editor.GetSelStart());
        Big().Host.ClearRecords();
    }
}
BENCHMARK(BM_EditNearTheEndThenReadSelStart);

void BM_LineIndexOfConsecutiveRows(benchmark::State& State) {
    TEditor& editor = *Big().Editor;
    std::uintptr_t row = kLines / 2;
    for (auto _ : State) {
        benchmark::DoNotOptimize(editor.WndProc(EM_LINEINDEX, row, 0));
        row = row + 1 < kLines ? row + 1 : kLines / 2;
    }
}
BENCHMARK(BM_LineIndexOfConsecutiveRows);

void BM_SelStartAndEndOfALargeSelection(benchmark::State& State) {
    TEditor& editor = *Big().Editor;
    editor.SelectAll();
    for (auto _ : State) {
        std::uint32_t start = 0;
        std::uint32_t end = 0;
        editor.WndProc(EM_GETSEL, reinterpret_cast<std::uintptr_t>(&start),
                       reinterpret_cast<std::intptr_t>(&end));
        benchmark::DoNotOptimize(end);
    }
    editor.CancelSelection();
}
BENCHMARK(BM_SelStartAndEndOfALargeSelection);

void BM_ScrollOneRow(benchmark::State& State) {
    TEditor& editor = *Big().Editor;
    editor.SetTopRow(kLines / 2);
    int step = 1;
    for (auto _ : State) {
        editor.WndProc(WM_VSCROLL, step > 0 ? SB_LINEDOWN : SB_LINEUP, 0);
        step = -step;
        Big().Host.ClearRecords();
    }
}
BENCHMARK(BM_ScrollOneRow);

} // namespace
} // namespace kst
