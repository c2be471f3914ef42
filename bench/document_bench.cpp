// Loading, saving, editing and wrapping a large document; the recovery copy's hold on the window
// and the look at a file's stamp.
#include "../tests/support/fake_editor.h"
#include "app/main_window_editor.h"
#include "app/recovery_copy.h"
#include "document/editor_strings.h"
#include "hostile_shapes.h"
#include "lists/row_text_io.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>

namespace kst {
namespace {

constexpr int kBigLines = 2'500'000;

// Line I of a generated Shift-JIS script: mostly short lines, every eighth one longer than a
// row of 80 columns; about 40 bytes a line on average.
std::string GeneratedLine(int I) {
    static const std::string pieces[] = {
        "Dim value",    " = ",      "\x93\xfa\x96\x7b\x8c\xea", "\t",
        "WScript.Echo", "(",        "\x82\xa0\x82\xa2",         ")",
        " ' ",          "count + 1"};
    const int target = I % 8 == 0 ? 100 + I % 60 : (I * 7919) % 50;
    std::string line;
    for (int k = I; static_cast<int>(line.size()) < target; k += 3) {
        line += pieces[k % 10];
    }
    return line;
}

std::string GeneratedText(int Lines) {
    std::string text;
    text.reserve(static_cast<std::size_t>(Lines) * 44);
    for (int i = 0; i < Lines; ++i) {
        text += GeneratedLine(i);
        text += "\r\n";
    }
    return text;
}

const std::string& BigFile() {
    static const std::string path = [] {
        const std::string p =
            (std::filesystem::temp_directory_path() / "kst_document_bench.txt").string();
        std::ofstream(p, std::ios::binary) << GeneratedText(kBigLines);
        return p;
    }();
    return path;
}

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM"); 0 when it cannot be read.
double StatusBytes(std::string_view Field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(Field) && line.size() > Field.size() && line[Field.size()] == ':') {
            return std::stod(line.substr(Field.size() + 1)) * 1024; // given in kB
        }
    }
    return 0;
}

// Restarts the peak resident memory (VmHWM) from the memory resident now.
void ResetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Document {
    FakeEditor Editor;
    TEditorStrings Lines{Editor};
    TEditorScreenStrings& Rows = *Editor.Store;
};

// Reports the memory held for rows and texts, the resident memory the load added and the peak of
// resident memory while loading, each per byte of the file.
void BM_LoadFromFile(benchmark::State& State) {
    const std::string& path = BigFile();
    const double fileBytes = static_cast<double>(std::filesystem::file_size(path));
    for (auto _ : State) {
        State.PauseTiming();
        auto doc = std::make_unique<Document>();
        const double before = StatusBytes("VmRSS");
        ResetPeakResident();
        State.ResumeTiming();
        doc->Lines.LoadFromFile(path);
        State.PauseTiming();
        const TEditorScreenStrings& rows = doc->Rows;
        const double held =
            static_cast<double>(rows.TextBytesAllocated() + rows.RowBytesAllocated());
        // Later loads reuse memory the earlier ones gave back: the first one counts.
        const auto keepLargest = [&State](const char* Name, double Value) {
            State.counters[Name] = std::max(static_cast<double>(State.counters[Name]), Value);
        };
        keepLargest("held_per_file_byte", held / fileBytes);
        keepLargest("rss_per_file_byte", (StatusBytes("VmRSS") - before) / fileBytes);
        keepLargest("peak_rss_per_file_byte", (StatusBytes("VmHWM") - before) / fileBytes);
        State.counters["rows"] = rows.GetCount();
        doc.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// The parts of loading: reading the file, and resetting the start states of every row.
void BM_ReadWholeFile(benchmark::State& State) {
    for (auto _ : State) {
        benchmark::DoNotOptimize(ReadWholeFile(BigFile()).Size);
    }
}
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_InitStartStates(benchmark::State& State) {
    Document doc;
    doc.Lines.LoadFromFile(BigFile());
    for (auto _ : State) {
        doc.Rows.InitStartStates();
    }
}
BENCHMARK(BM_InitStartStates)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveToFile(benchmark::State& State) {
    Document doc;
    doc.Lines.LoadFromFile(BigFile());
    const std::string out = BigFile() + ".saved";
    for (auto _ : State) {
        doc.Lines.SaveToFile(out);
    }
    std::filesystem::remove(out);
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// About 100 MB in UTF-16.
constexpr int kUnicodeLines = 1'300'000;

// The same generated text in each encoding, with its mark.
const std::string& EncodedFile(TTextEncoding Encoding) {
    static std::map<TTextEncoding, std::string> paths;
    std::string& path = paths[Encoding];
    if (path.empty()) {
        path = (std::filesystem::temp_directory_path() /
                ("kst_encoding_bench_" + std::string(EncodingName(Encoding)) + ".txt"))
                   .string();
        std::ofstream file(path, std::ios::binary);
        WriteEncoded(Encoding, GeneratedText(kUnicodeLines), [&file](std::string_view Bytes) {
            file.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
        });
    }
    return path;
}

// Loading one text from CP932, UTF-16 and UTF-8: decoding is to cost at most half the CP932 load.
void BM_LoadEncodedFile(benchmark::State& State) {
    const auto encoding = static_cast<TTextEncoding>(State.range(0));
    const std::string& path = EncodedFile(encoding);
    for (auto _ : State) {
        State.PauseTiming();
        auto doc = std::make_unique<Document>();
        State.ResumeTiming();
        doc->Lines.LoadFromFile(path);
        State.PauseTiming();
        doc.reset();
        State.ResumeTiming();
    }
    State.SetLabel(std::string(EncodingName(encoding)));
    State.counters["file_mb"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_LoadEncodedFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SaveEncodedFile(benchmark::State& State) {
    const auto encoding = static_cast<TTextEncoding>(State.range(0));
    Document doc;
    const TFileFormat format = doc.Lines.LoadFromFile(EncodedFile(encoding));
    const std::string out = EncodedFile(encoding) + ".saved";
    for (auto _ : State) {
        doc.Lines.SaveToFile(out, format);
    }
    std::filesystem::remove(out);
    State.SetLabel(std::string(EncodingName(encoding)));
}
BENCHMARK(BM_SaveEncodedFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);

// One typed character, then its deletion, in the middle row: one UpdateRows each.
void BM_TypeCharacter(benchmark::State& State) {
    Document doc;
    const int lines = static_cast<int>(State.range(0));
    doc.Lines.SetTextStr(GeneratedText(lines));
    doc.Rows.SetWordWrap(State.range(1) != 0);
    const int row = doc.Rows.GetCount() / 2 + 1;
    const std::string text(doc.Rows.GetView(row));
    const std::string suffix = doc.Rows.GetRowAttribute(row) == raLineBreak ? "\r\n" : "";
    const std::string typed =
        text.substr(0, 2) + "x" + text.substr(std::min<std::size_t>(2, text.size())) + suffix;
    const std::string original = text + suffix;
    doc.Rows.UpdateRows(row, 1, original); // the first edit after loading is measured on its own
    bool type = true;
    for (auto _ : State) {
        doc.Rows.UpdateRows(row, 1, type ? typed : original);
        type = !type;
    }
}
BENCHMARK(BM_TypeCharacter)
    ->ArgsProduct({{10'000, 100'000, kBigLines}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// Enter at the end of row 1: one row inserted per call.
void BM_EnterAtRow1(benchmark::State& State) {
    Document doc;
    doc.Lines.SetTextStr(GeneratedText(static_cast<int>(State.range(0))));
    doc.Rows.UpdateRows(1, 1, std::string(doc.Rows.GetView(1)) + "\r\n\r\n");
    for (auto _ : State) {
        const std::string text = std::string(doc.Rows.GetView(1)) + "\r\n\r\n";
        doc.Rows.UpdateRows(1, 1, text);
    }
}
BENCHMARK(BM_EnterAtRow1)->Arg(kBigLines)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// The first Enter after loading: the row array gets room to insert, and its gap moves to the
// place of the change.
void BM_FirstEditAfterLoad(benchmark::State& State) {
    for (auto _ : State) {
        State.PauseTiming();
        auto doc = std::make_unique<Document>();
        doc->Lines.LoadFromFile(BigFile());
        const int row = doc->Rows.GetCount() / 2;
        const std::string text = std::string(doc->Rows.GetView(row)) + "\r\n\r\n";
        State.ResumeTiming();
        doc->Rows.UpdateRows(row, 1, text);
        State.PauseTiming();
        doc.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_FirstEditAfterLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

// The colouring states a paint wants after the first jump to the end of a freshly loaded script
// (no bracket regions), with word wrap off and on (rows of 80 columns).
void BM_FirstStatesAtTheEnd(benchmark::State& State) {
    constexpr int kScreenRows = 50;
    Document doc;
    ApplyMainWindowColouring(*doc.Editor.Fountain);
    doc.Editor.Screen = kScreenRows;
    doc.Lines.LoadFromFile(BigFile());
    doc.Rows.GetWrapOption().SetWrapByte(80);
    doc.Rows.SetWordWrap(State.range(0) != 0);
    const int count = doc.Rows.GetCount();
    for (auto _ : State) {
        State.PauseTiming();
        doc.Rows.InitStartStates();
        State.ResumeTiming();
        for (int row = count - kScreenRows; row < count; ++row) {
            if (doc.Rows.GetBracketIndex(row) == kStateNotComputed) {
                doc.Rows.UpdateStartStates(row, false);
            }
        }
    }
    State.counters["rows"] = count;
}
BENCHMARK(BM_FirstStatesAtTheEnd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GetEveryLineWrapOn(benchmark::State& State) {
    Document doc;
    doc.Lines.SetTextStr(GeneratedText(1'000'000));
    doc.Rows.SetWordWrap(true);
    for (auto _ : State) {
        const int count = doc.Lines.GetCount();
        std::size_t bytes = 0;
        for (int i = 0; i < count; ++i) {
            bytes += doc.Lines.Get(i).size();
        }
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_GetEveryLineWrapOn)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WrapAll(benchmark::State& State) {
    Document doc;
    doc.Lines.LoadFromFile(BigFile());
    doc.Rows.GetWrapOption().SetWrapByte(80);
    for (auto _ : State) {
        doc.Rows.WrapAll();
        State.PauseTiming();
        State.counters["rows"] = doc.Rows.GetCount();
        State.counters["text_bytes"] = static_cast<double>(doc.Rows.TextBytesAllocated());
        doc.Rows.UnwrapAll();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_WrapAll)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UnwrapAll(benchmark::State& State) {
    Document doc;
    doc.Lines.LoadFromFile(BigFile());
    doc.Rows.GetWrapOption().SetWrapByte(80);
    for (auto _ : State) {
        State.PauseTiming();
        doc.Rows.WrapAll();
        State.ResumeTiming();
        doc.Rows.UnwrapAll();
    }
}
BENCHMARK(BM_UnwrapAll)->Unit(benchmark::kMillisecond)->Iterations(3);

// The window's longest hold for one recovery copy: the idle steps that copy the text into the
// snapshot, about kRecoveryBytesPerStep each, and the last one, which also hands the snapshot to
// the writer while the writer's thread may still write the previous one (as when typing pauses
// again before a large copy is on the disk). Each repetition reports its longest step; the
// statistics give their median, the shortest and the longest.
void RecoveryCopyHold(benchmark::State& State, const std::string& Text) {
    Document doc;
    doc.Lines.SetTextStr(Text);
    const std::string path =
        (std::filesystem::temp_directory_path() / "kst_recovery_bench.rcv").string();
    RecoveryWriter writer;
    for (auto _ : State) {
        std::string snapshot =
            RecoveryHeader("C:\\scripts\\a.vbs", 0, "2026-01-01 00:00:00", std::nullopt);
        snapshot.reserve(snapshot.size() + Text.size());
        double longest = 0;
        TRowTextPlace at;
        for (bool done = false; !done;) {
            const auto start = std::chrono::steady_clock::now();
            done = AppendRowsTextPart(doc.Rows, at, kRecoveryBytesPerStep, snapshot);
            if (done) {
                writer.Write(path, std::move(snapshot));
            }
            longest = std::max(
                longest,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        State.SetIterationTime(longest);
    }
    writer.Wait();
    std::filesystem::remove(path);
}

// Scripts of 1, 10 or 100 MB.
void BM_RecoveryCopyHold(benchmark::State& State) {
    constexpr int kLinesPerMegabyte = kBigLines / 100;
    RecoveryCopyHold(State, GeneratedText(static_cast<int>(State.range(0)) * kLinesPerMegabyte));
}

// 100 MB in lines of 25 KB, and in one line.
void BM_RecoveryCopyHoldLongLines(benchmark::State& State) {
    RecoveryCopyHold(
        State,
        shapes::FindHostileShape(State.range(0) == 0 ? "lines-25kb" : "line-100mb")->Generate());
}

void AsLongestHolds(benchmark::internal::Benchmark* Each) {
    Each->UseManualTime()
        ->Iterations(1)
        ->Repetitions(9)
        ->ComputeStatistics(
            "min", [](const std::vector<double>& V) { return *std::ranges::min_element(V); })
        ->ComputeStatistics(
            "max", [](const std::vector<double>& V) { return *std::ranges::max_element(V); })
        ->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_RecoveryCopyHold)->Arg(1)->Arg(10)->Arg(100)->Apply(AsLongestHolds);
BENCHMARK(BM_RecoveryCopyHoldLongLines)->ArgName("one_line")->Arg(0)->Arg(1)->Apply(AsLongestHolds);

// What an activation costs the window: the file's stamp, asked on a thread of its own with a
// bounded wait.
void BM_FileStampCheck(benchmark::State& State) {
    const std::string& path = BigFile();
    for (auto _ : State) {
        benchmark::DoNotOptimize(FileStampWithin(path, 300));
    }
}
BENCHMARK(BM_FileStampCheck)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kst
