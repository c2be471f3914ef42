// The editing keys in the middle of texts of 10 thousand to 2 million lines, with word wrap off
// and on: none of them may cost more as the text grows. Each key is timed alone; the undo that
// puts the text back is not timed. Also: select all and copy of a text of about 100 MB, and the
// selection queries near the end of a long text right after an edit; and the mouse: a click and a
// drag selection, and dragging a selection three rows down.
#include "app/main_window_editor.h"
#include "core/messages.h"
#include "input/editor.h"
#include "memory_clipboard.h"
#include "recording_host.h"

#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace kst {
namespace {

// Lines of about 40 bytes; every fourth one is 120 bytes, so that it wraps at 80.
std::string Lines(int Count) {
    std::string text;
    text.reserve(static_cast<std::size_t>(Count) * 64);
    for (int i = 0; i < Count; ++i) {
        text += "    line ";
        text += std::to_string(i);
        text.append(i % 4 == 0 ? 110 : 30, i % 2 == 0 ? 'x' : ' ');
        text += "\r\n";
    }
    return text;
}

// An editor with the main window's settings in a recording window with the focus.
struct BenchEditor {
    BenchEditor(int LineCount, bool Wrap) : BenchEditor(Lines(LineCount), Wrap) {}
    BenchEditor(const std::string& Text, bool Wrap) {
        TEditor& e = *Editor;
        ApplyMainWindowViewSettings({e.GetCaret(), e.GetMargin(), e.GetMarks(), e.GetView(),
                                     e.GetRuler(), e.GetLeftbar(), e.GetImagebar(), e.GetSpeed()});
        e.SetScrollBars(ssBoth);
        e.SetHost(&Host);
        e.SetClipboard(&Clip);
        e.GetWrapOption().SetWrapByte(80);
        e.SetWordWrap(Wrap);
        e.GetLines().SetTextStr(Text);
        Host.HasFocus = true;
        e.WndProc(WM_SETFOCUS, 0, 0);
    }

    // A row in the middle of the text that starts a line.
    int MiddleRow() const {
        int row = Editor->GetScreenStringsPtr()->GetCount() / 2;
        return Editor->GetScreenStringsPtr()->LineStartRow(row);
    }

    RecordingHost Host{{800, 600}};
    MemoryClipboard Clip;
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

// One editor per text size and wrap setting, made once and kept.
BenchEditor& EditorFor(const benchmark::State& State) {
    static std::map<std::pair<int, bool>, std::unique_ptr<BenchEditor>> editors;
    const std::pair key{static_cast<int>(State.range(0)), State.range(1) != 0};
    auto& editor = editors[key];
    if (!editor) {
        editor = std::make_unique<BenchEditor>(key.first, key.second);
    }
    return *editor;
}

// Times Key with the caret at column 6 of the middle row, after the untimed Prepare; an untimed
// Undo puts the text back. A key that leaves nothing to undo stops the benchmark.
template <class Prepare, class Key>
void TimeKey(benchmark::State& State, Prepare&& Untimed, Key&& TimedKey) {
    BenchEditor& bench = EditorFor(State);
    TEditor& editor = *bench.Editor;
    const int row = bench.MiddleRow();
    for (auto _ : State) {
        State.PauseTiming();
        editor.CancelSelection();
        editor.SetRowCol(row, 6);
        Untimed(editor);
        bench.Host.ClearRecords();
        State.ResumeTiming();
        TimedKey(editor);
        State.PauseTiming();
        if (!editor.CanUndo()) {
            State.SkipWithError("the key changed nothing");
            break;
        }
        editor.Undo();
        State.ResumeTiming();
    }
}

template <class Key>
void TimeKey(benchmark::State& State, Key&& TimedKey) {
    TimeKey(
        State, [](TEditor&) {}, TimedKey);
}

void BM_TypeCharacter(benchmark::State& State) {
    TimeKey(State, [](TEditor& e) { e.InsertText("x"); });
}

void BM_Backspace(benchmark::State& State) {
    TimeKey(State, [](TEditor& e) { e.BackSpaceAtCaret(); });
}

void BM_Enter(benchmark::State& State) {
    TimeKey(State, [](TEditor& e) { e.EnterAtCaret(false); });
}

void BM_Delete(benchmark::State& State) {
    TimeKey(State, [](TEditor& e) { e.DeleteAtCaret(); });
}

void TextSizes(benchmark::internal::Benchmark* Bench) {
    Bench->ArgNames({"lines", "wrap"});
    for (const int wrap : {0, 1}) {
        for (const int lines : {10'000, 100'000, 2'000'000}) {
            Bench->Args({lines, wrap});
        }
    }
    Bench->Unit(benchmark::kMicrosecond);
}
BENCHMARK(BM_TypeCharacter)->Apply(TextSizes);
BENCHMARK(BM_Backspace)->Apply(TextSizes);
BENCHMARK(BM_Enter)->Apply(TextSizes);
BENCHMARK(BM_Delete)->Apply(TextSizes);

// A selection of ten bytes in the middle row, made untimed, moved three rows down as one drop
// does it.
void BM_MoveDrop(benchmark::State& State) {
    TimeKey(
        State,
        [](TEditor& e) {
            e.StartSelection();
            e.SetRowCol(e.GetRow(), 16);
            e.ExtendSelection();
        },
        [](TEditor& e) { e.MoveDrop(e.GetRow() + 3, 2); });
}
BENCHMARK(BM_MoveDrop)->Apply(TextSizes);

std::intptr_t ClientPoint(int X, int Y) {
    return MakeLong(static_cast<unsigned>(X), static_cast<unsigned>(Y));
}

// A press, a move along the row and the release: the caret moves and a selection of ten columns
// is made. The selection is cancelled untimed, so that the next press does not land in it and
// start dragging it.
void BM_DragSelect(benchmark::State& State) {
    BenchEditor& bench = EditorFor(State);
    TEditor& editor = *bench.Editor;
    editor.SetTopRow(bench.MiddleRow());
    const int y = editor.RowTop(editor.GetTopRow() + 2) + 2;
    for (auto _ : State) {
        editor.WndProc(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(editor.ColumnLeft(2) + 1, y));
        editor.WndProc(WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(editor.ColumnLeft(12) + 1, y));
        editor.WndProc(WM_LBUTTONUP, 0, ClientPoint(editor.ColumnLeft(12) + 1, y));
        State.PauseTiming();
        if (editor.GetSelLength() != 10) {
            State.SkipWithError("the drag selected something else");
            break;
        }
        editor.CancelSelection();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_DragSelect)->Apply(TextSizes);

// A text of about 100 MB: 1.5 million lines of about 68 bytes.
BenchEditor& HundredMegabytes() {
    static BenchEditor bench(1'500'000, false);
    return bench;
}

void BM_SelectAll(benchmark::State& State) {
    BenchEditor& bench = HundredMegabytes();
    for (auto _ : State) {
        bench.Editor->SelectAll();
    }
}
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond);

void BM_SelectAllAndCopy(benchmark::State& State) {
    BenchEditor& bench = HundredMegabytes();
    State.counters["bytes"] = static_cast<double>(bench.Editor->TextLength());
    for (auto _ : State) {
        bench.Editor->SelectAll();
        bench.Editor->CopyToClipboard();
        benchmark::DoNotOptimize(bench.Clip.Content->size());
    }
}
BENCHMARK(BM_SelectAllAndCopy)->Unit(benchmark::kMillisecond);

// The idle handler's reads after a keystroke near the end of a long text, with a small selection
// there.
void BM_SelStartAndLengthAfterAnEditNearTheEnd(benchmark::State& State) {
    BenchEditor& bench = EditorFor(State);
    TEditor& editor = *bench.Editor;
    const int row = editor.GetScreenStringsPtr()->GetCount() - 100;
    for (auto _ : State) {
        State.PauseTiming();
        editor.SetRowCol(row, 6);
        editor.InsertText("x");
        editor.Undo();
        editor.StartSelection();
        editor.SetRowCol(row + 1, 6);
        editor.ExtendSelection();
        State.ResumeTiming();
        benchmark::DoNotOptimize(editor.GetSelStart());
        benchmark::DoNotOptimize(editor.GetSelLength());
    }
}
BENCHMARK(BM_SelStartAndLengthAfterAnEditNearTheEnd)
    ->Args({2'000'000, 0})
    ->Args({2'000'000, 1})
    ->Unit(benchmark::kMicrosecond);

// A character typed at the end of a row of 20 MB, and the caret's step back over it: the caret's
// columns that far into a row must cost no more than a walk of its bytes.
void BM_TypeAtEndOfLongRow(benchmark::State& State) {
    static BenchEditor bench(std::string(20 << 20, 'x'), false);
    TEditor& editor = *bench.Editor;
    for (auto _ : State) {
        State.PauseTiming();
        editor.SetRowCol(0, 20 << 20);
        State.ResumeTiming();
        editor.InsertText("x");
        editor.SetCol(editor.GetCol() - 1);
        State.PauseTiming();
        editor.Undo();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_TypeAtEndOfLongRow)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kst
