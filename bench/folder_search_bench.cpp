// Searching a folder of 2,000 scripts of 50 KB (100 MB in all) from the walk's start to its last
// hit taken, as the window takes them: for a word and for a regular expression. The files are in
// the system's cache after the first run.
#include "app/folder_search.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <semaphore>
#include <string>

namespace kst {
namespace {

constexpr int kScripts = 2'000;
constexpr std::size_t kScriptBytes = 50'000;

// The folder, made once and removed when the program ends.
class ScriptFolder {
public:
    ScriptFolder() {
        std::random_device random;
        FPath = std::filesystem::temp_directory_path() /
                ("kst_folder_bench_" + std::to_string(random()));
        std::filesystem::create_directories(FPath / "sub");
        const std::string lines[] = {
            "Option Explicit\r\n",
            "' \x90\xdd\x92\xe8\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x93\xc7\x82\xdd\r\n",
            "Dim objShell, objFile, strPath, nCount, i\r\n",
            "Set objShell = CreateObject(\"WScript.Shell\")\r\n",
            "strPath = \"C:\\Temp\\\" & CStr(nCount) & \".txt\"\r\n",
            "For i = 1 To 100: nCount = nCount + i * 2: Next\r\n",
            "\tstrPath = Replace(strPath, \"\\\", \"/\")\r\n",
        };
        std::string script;
        for (std::size_t line = 0; script.size() < kScriptBytes; ++line) {
            script += lines[line % std::size(lines)];
        }
        for (int index = 0; index < kScripts; ++index) {
            const auto folder = index % 2 == 0 ? FPath : FPath / "sub";
            std::ofstream(folder / ("script" + std::to_string(index) + ".vbs"), std::ios::binary)
                << script;
        }
        FBytes = static_cast<std::int64_t>(script.size()) * kScripts;
    }
    ~ScriptFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    ScriptFolder(const ScriptFolder&) = delete;
    ScriptFolder& operator=(const ScriptFolder&) = delete;

    std::string Path() const { return FPath.string(); }
    std::int64_t Bytes() const { return FBytes; }

private:
    std::filesystem::path FPath;
    std::int64_t FBytes = 0;
};

const ScriptFolder& Scripts() {
    static const ScriptFolder folder;
    return folder;
}

void SearchTheFolder(benchmark::State& State, const TWordMatcher& Matcher) {
    const TFolderSearchScope scope{.Folder = Scripts().Path()};
    std::size_t hits = 0;
    for (auto _ : State) {
        std::counting_semaphore<> woken(0);
        TFolderSearch search(scope, Matcher, [&woken] { woken.release(); });
        hits = 0;
        for (bool finished = false; !finished;) {
            woken.acquire();
            for (TFolderSearchNews news;;) {
                news = search.Take(5'000);
                hits += news.Hits.size();
                finished = news.Finished;
                if (!news.More) {
                    break;
                }
            }
        }
        benchmark::DoNotOptimize(hits);
    }
    State.SetBytesProcessed(State.iterations() * Scripts().Bytes());
    State.counters["hit lines"] = static_cast<double>(hits);
}

void BM_FolderOf2000ScriptsForAWord(benchmark::State& State) {
    SearchTheFolder(State, TWordMatcher("createobject", false));
}
BENCHMARK(BM_FolderOf2000ScriptsForAWord)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FolderOf2000ScriptsForARegex(benchmark::State& State) {
    SearchTheFolder(State, TWordMatcher("CreateObject\\(\"[^\"]*\"\\)", false, true));
}
BENCHMARK(BM_FolderOf2000ScriptsForARegex)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kst
