// End-to-end latency of kestrane.exe as another program sees it: the program is started on
// generated VBScript files of several sizes and driven through its windows (typing, saving, the
// results lists of F3, F7 and F2), and each step is timed from here. Prints the median, minimum
// and maximum of every step per file size, and the targets as ratios to floors measured in the
// same run: the load beyond the smallest file against the engine's own load of the largest in a
// native process (bench/load_floor, named by KESTRANE_LOAD_FLOOR), the peak working set against
// the file's size, and a typed character and a caret move against a bare WM_NULL round trip.
//
// Usage: e2e_latency_bench [RUNS]   (runs per file size, default 3)
// kestrane.exe is taken from the folder of this program (its "Env" folder is made there); the
// files are written to a temporary folder and removed at the end.
#include "host_process.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <psapi.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using kst::e2e::ProgramFolder;
using kst::e2e::WaitUntil;

constexpr auto kTimeout = 60s;
constexpr int kTypedCharacters = 200;
constexpr int kCaretMoves = 200;
constexpr int kRepaints = 50;
constexpr int kRoundTrips = 200;
// The tool bar's save button: the data's third button ("上書保存"), ids counting from 1.
constexpr WPARAM kSaveButtonId = 3;

double MillisecondsSince(Clock::time_point Start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - Start).count();
}

std::string ToCp932(const std::wstring& Text) {
    const int size = WideCharToMultiByte(932, 0, Text.data(), static_cast<int>(Text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(932, 0, Text.data(), static_cast<int>(Text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

// A script of LineCount lines of about 42 bytes with their line breaks (2.5 million lines make
// 100 MiB), comments and strings in Japanese.
void WriteScript(const std::wstring& Path, int LineCount) {
    const std::vector<std::wstring> lines = {
        L"Option Explicit",
        L"' 設定ファイルを読み込んで件数を数える処理",
        L"Dim objShell, objFile, strPath, nCount, i",
        L"Set objShell = CreateObject(\"WScript.Shell\")",
        L"strPath = \"C:\\Temp\\データ\\\" & CStr(nCount) & \".txt\"",
        L"If nCount > 10 Then MsgBox \"件数が多すぎます\", vbOKOnly",
        L"For i = 1 To 100: nCount = nCount + i * 2: Next",
        L"    strPath = Replace(strPath, \"\\\", \"/\")",
        L"End If ' 件数の確認はここまで",
    };
    std::vector<std::string> encoded;
    for (const std::wstring& line : lines) {
        encoded.push_back(ToCp932(line) + "\r\n");
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(LineCount) * 42);
    for (int line = 0; line < LineCount; ++line) {
        text += encoded[static_cast<std::size_t>(line) % encoded.size()];
    }
    std::ofstream file(std::filesystem::path(Path), std::ios::binary);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// The processor time a process has used so far (user and kernel), in milliseconds. On a machine
// busy with other work the wall times scatter; this shows what the program itself spent.
double ProcessorMilliseconds(HANDLE Process) {
    FILETIME creation{};
    FILETIME exit{};
    FILETIME kernel{};
    FILETIME user{};
    GetProcessTimes(Process, &creation, &exit, &kernel, &user);
    const auto ticks = [](FILETIME Time) {
        return static_cast<double>((static_cast<std::uint64_t>(Time.dwHighDateTime) << 32) |
                                   Time.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10'000;
}

struct Measure {
    std::string Name;
    std::vector<double> Samples;
    // The program's processor time over all samples.
    double Processor = 0;
    const char* Unit = "ms";

    double Median() {
        if (Samples.empty()) {
            return 0;
        }
        std::sort(Samples.begin(), Samples.end());
        const std::size_t half = Samples.size() / 2;
        return Samples.size() % 2 == 1 ? Samples[half] : (Samples[half - 1] + Samples[half]) / 2;
    }

    void Print() {
        if (Samples.empty()) {
            std::printf("  %-28s no samples\n", Name.c_str());
            return;
        }
        const double median = Median();
        std::printf("  %-28s median %9.3f %s   min %9.3f   max %9.3f   (n %zu)   processor %8.3f "
                    "ms each\n",
                    Name.c_str(), median, Unit, Samples.front(), Samples.back(), Samples.size(),
                    Processor / static_cast<double>(Samples.size()));
    }
};

// A command that fills the results list.
struct ListMeasures {
    explicit ListMeasures(const std::string& Key)
        : Shown{Key + ": first entries", {}}, Held{Key + ": longest window hold", {}},
          Complete{Key + ": results list complete", {}} {}

    Measure Shown;
    Measure Held;
    Measure Complete;
};

struct Results {
    Measure EngineLoad{"native engine: load", {}};
    Measure Usable{"usable window", {}};
    Measure PeakMemory{"peak working set", {}, 0, "MB"};
    Measure RoundTrip{"bare WM_NULL round trip", {}};
    Measure JumpToEnd{"first jump to end + paint", {}};
    Measure TypedCharacter{"typed character + paint", {}};
    Measure CaretMove{"caret move + paint", {}};
    Measure Repaint{"full repaint", {}};
    Measure Save{"save", {}};
    ListMeasures Search{"F3"};
    ListMeasures SyntaxCheck{"F7"};
    ListMeasures ProcedureList{"F2"};
    double FileBytes = 0;
};

HWND VisibleWindow(const wchar_t* Class, const std::wstring& Title) {
    const HWND window = FindWindowW(Class, Title.c_str());
    return window != nullptr && IsWindowVisible(window) != FALSE ? window : nullptr;
}

void Repeat(HANDLE Process, int Count, Measure& Into, const std::function<void(int)>& Step) {
    const double processorBefore = ProcessorMilliseconds(Process);
    for (int index = 0; index < Count; ++index) {
        const auto start = Clock::now();
        Step(index);
        Into.Samples.push_back(MillisecondsSince(start));
    }
    Into.Processor += ProcessorMilliseconds(Process) - processorBefore;
}

// Presses Key in the editor and times the wait for the results list's first entries (when the list
// was empty before; a list shown before keeps its entries until the command clears it), the longest
// the window takes to answer a message until the list is complete (the command itself, then each
// step that fills the list in), and the time until it is: its last entry, the summary, ends with
// Summary. False, with nothing recorded, when the list is not complete within the timeout.
bool TimeListCommand(HWND Editor, HWND MainWindow, WORD Key, std::wstring_view Summary,
                     ListMeasures& Into) {
    const HWND list = FindWindowExW(MainWindow, nullptr, L"ListBox", nullptr);
    const auto complete = [list, Summary] {
        const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        wchar_t last[64] = {};
        return count > 0 && SendMessageW(list, LB_GETTEXTLEN, count - 1, 0) < 64 &&
               SendMessageW(list, LB_GETTEXT, count - 1, reinterpret_cast<LPARAM>(last)) > 0 &&
               std::wstring_view(last).ends_with(Summary);
    };
    const bool wasEmpty = SendMessageW(list, LB_GETCOUNT, 0, 0) == 0;
    const auto pressed = Clock::now();
    PostMessageW(Editor, WM_KEYDOWN, Key, 1);
    PostMessageW(Editor, WM_KEYUP, Key, 1);
    double shown = -1;
    double held = 0;
    for (bool done = false; !done;) {
        if (MillisecondsSince(pressed) >= kTimeout / 1ms) {
            std::printf("the results list did not complete within the timeout\n");
            return false;
        }
        const auto asked = Clock::now();
        SendMessageW(MainWindow, WM_NULL, 0, 0);
        done = complete();
        held = std::max(held, MillisecondsSince(asked));
        if (wasEmpty && shown < 0 && SendMessageW(list, LB_GETCOUNT, 0, 0) > 0) {
            shown = MillisecondsSince(pressed);
        }
        Sleep(1);
    }
    if (shown >= 0) {
        Into.Shown.Samples.push_back(shown);
    }
    Into.Held.Samples.push_back(held);
    Into.Complete.Samples.push_back(MillisecondsSince(pressed));
    return true;
}

// F3 on "strPath", selected on the fifth line, which is a third of the lines; F7, which finds the
// stray End If of every ninth line; F2, which finds no procedure.
bool TimeResultsLists(HWND Editor, HWND MainWindow, Results& Into) {
    const auto start = static_cast<LPARAM>(SendMessageW(Editor, EM_LINEINDEX, 4, 0));
    SendMessageW(Editor, EM_SETSEL, static_cast<WPARAM>(start), start + 7);
    return TimeListCommand(Editor, MainWindow, VK_F3, L"行ヒット", Into.Search) &&
           TimeListCommand(Editor, MainWindow, VK_F7, L"件の問題", Into.SyntaxCheck) &&
           TimeListCommand(Editor, MainWindow, VK_F2, L"]件", Into.ProcedureList);
}

// Starts Program with Arguments; null on failure (and for a Linux program under Wine).
HANDLE StartProcess(const std::wstring& Program, const std::wstring& Arguments) {
    std::wstring commandLine = L"\"" + Program + L"\" " + Arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(Program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process) == FALSE) {
        std::printf("%ls could not be started: error %lu\n", Program.c_str(), GetLastError());
        return nullptr;
    }
    if (process.hThread != nullptr) {
        CloseHandle(process.hThread);
    }
    return process.hProcess;
}

// The Unix path of a Windows path, from Wine's kernel32; empty elsewhere.
std::string UnixPath(const std::wstring& Path) {
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* const unix = convert != nullptr ? convert(Path.c_str()) : nullptr;
    if (unix == nullptr) {
        return {};
    }
    std::string path(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

// The native engine's load of File, by the program named in KESTRANE_LOAD_FLOOR (a Linux
// program, which Wine starts without a handle to wait on): it writes its time to a result file.
bool TimeEngineLoad(const std::wstring& File, Measure& Into) {
    const char* floorProgram = std::getenv("KESTRANE_LOAD_FLOOR");
    if (floorProgram == nullptr || *floorProgram == '\0') {
        return true;
    }
    std::wstring program = L"Z:";
    for (const char* at = floorProgram; *at != '\0'; ++at) {
        program += *at == '/' ? L'\\' : static_cast<wchar_t>(*at);
    }
    const std::wstring result = File + L".floor";
    DeleteFileW(result.c_str());
    const std::string unixFile = UnixPath(File);
    const std::string unixResult = UnixPath(result);
    const std::wstring arguments = L"\"" + std::wstring(unixFile.begin(), unixFile.end()) +
                                   L"\" \"" + std::wstring(unixResult.begin(), unixResult.end()) +
                                   L"\"";
    StartProcess(program, arguments);
    if (!WaitUntil([&] { return GetFileAttributesW(result.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   kTimeout)) {
        std::printf("the native load floor wrote no result\n");
        return false;
    }
    double milliseconds = 0;
    std::ifstream(std::filesystem::path(result)) >> milliseconds;
    Into.Samples.push_back(milliseconds);
    return true;
}

double PeakWorkingSetMegabytes(HANDLE Process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(Process, &counters, sizeof(counters));
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024 * 1024);
}

// One run: start the program on File, time each step, close it. False when a step did not
// finish in time.
bool RunOnce(const std::wstring& File, Results& Into) {
    const std::wstring title = File + L" - Kestrane";
    const auto start = Clock::now();
    PROCESS_INFORMATION process{};
    process.hProcess = StartProcess(ProgramFolder() + L"kestrane.exe", L"\"" + File + L"\"");
    if (process.hProcess == nullptr) {
        return false;
    }
    HWND mainWindow = nullptr;
    HWND editor = nullptr;
    bool completed = false;
    const bool usable = WaitUntil(
        [&] {
            mainWindow = VisibleWindow(L"TForm1", title);
            editor = mainWindow != nullptr ? FindWindowExW(mainWindow, nullptr, L"TEditor", nullptr)
                                           : nullptr;
            return editor != nullptr && SendMessageW(editor, EM_GETLINECOUNT, 0, 0) > 0;
        },
        kTimeout);
    if (usable) {
        Into.Usable.Samples.push_back(MillisecondsSince(start));
        Into.Usable.Processor += ProcessorMilliseconds(process.hProcess);
        const auto length = static_cast<LPARAM>(SendMessageW(editor, WM_GETTEXTLENGTH, 0, 0));
        Repeat(process.hProcess, 1, Into.JumpToEnd, [&](int) {
            SendMessageW(editor, EM_SETSEL, static_cast<WPARAM>(length), length);
            SendMessageW(editor, EM_SCROLLCARET, 0, 0);
            UpdateWindow(editor);
        });
        Into.PeakMemory.Samples.push_back(PeakWorkingSetMegabytes(process.hProcess));
        Repeat(process.hProcess, kRoundTrips, Into.RoundTrip,
               [&](int) { SendMessageW(mainWindow, WM_NULL, 0, 0); });
        Repeat(process.hProcess, kTypedCharacters, Into.TypedCharacter, [&](int) {
            SendMessageW(editor, WM_CHAR, L'a', 1);
            UpdateWindow(editor);
        });
        Repeat(process.hProcess, kCaretMoves, Into.CaretMove, [&](int Index) {
            SendMessageW(editor, WM_KEYDOWN, Index % 2 == 0 ? VK_LEFT : VK_RIGHT, 1);
            UpdateWindow(editor);
        });
        Repeat(process.hProcess, kRepaints, Into.Repaint, [&](int) {
            InvalidateRect(editor, nullptr, FALSE);
            UpdateWindow(editor);
        });
        const HWND toolBar = FindWindowExW(mainWindow, nullptr, L"ToolbarWindow32", nullptr);
        Repeat(process.hProcess, 1, Into.Save, [&](int) {
            SendMessageW(mainWindow, WM_COMMAND, kSaveButtonId, reinterpret_cast<LPARAM>(toolBar));
        });
        completed = TimeResultsLists(editor, mainWindow, Into);
        PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    } else {
        wchar_t shown[512] = {};
        GetWindowTextW(FindWindowW(L"TForm1", nullptr), shown, 512);
        std::printf("the window did not become usable; its title: %ls\n", shown);
    }
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(kTimeout / 1ms)) !=
        WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
    }
    CloseHandle(process.hProcess);
    return completed;
}

// The targets as ratios to their floors: the load beyond the smallest file against the native
// engine's load of the largest, the peak working set against the file, typing and caret moves
// against a bare round trip.
void PrintTargets(std::map<int, Results>& BySize) {
    Results& smallest = BySize.begin()->second;
    Results& largest = BySize.rbegin()->second;
    const double load = largest.Usable.Median() - smallest.Usable.Median();
    const double engine = largest.EngineLoad.Median();
    std::printf("targets (medians)\n");
    std::printf(
        "  load beyond the smallest file  %9.3f ms = %5.2f x the native engine's %9.3f ms\n", load,
        load / engine, engine);
    std::printf("  peak working set, largest file %9.3f MB = %5.2f x the file\n",
                largest.PeakMemory.Median(),
                largest.PeakMemory.Median() * 1024 * 1024 / largest.FileBytes);
    for (auto& [lineCount, measured] : BySize) {
        const double roundTrip = measured.RoundTrip.Median();
        std::printf("  %8d lines: typed character %5.2f x, caret move %5.2f x a round trip of "
                    "%6.3f ms\n",
                    lineCount, measured.TypedCharacter.Median() / roundTrip,
                    measured.CaretMove.Median() / roundTrip, roundTrip);
    }
}

std::wstring TemporaryFolder() {
    std::wstring temp(MAX_PATH, L'\0');
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    return temp + L"kestrane-latency-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
}

} // namespace

int main(int ArgumentCount, char** Arguments) {
    const int runs = ArgumentCount > 1 ? std::max(1, std::atoi(Arguments[1])) : 3;
    const std::wstring folder = TemporaryFolder();
    std::filesystem::create_directories(std::filesystem::path(folder));
    // The program keeps its settings and histories in "Env" beside itself.
    std::filesystem::create_directories(std::filesystem::path(ProgramFolder() + L"Env"));
    bool failed = false;
    std::map<int, Results> bySize;
    for (const int lineCount : {100, 100'000, 2'500'000}) {
        const std::wstring pristine = folder + L"pristine-" + std::to_wstring(lineCount) + L".vbs";
        const std::wstring file = folder + L"lines-" + std::to_wstring(lineCount) + L".vbs";
        WriteScript(pristine, lineCount);
        Results& measured = bySize[lineCount];
        for (int run = 0; run < runs; ++run) {
            CopyFileW(pristine.c_str(), file.c_str(), FALSE);
            failed = !TimeEngineLoad(file, measured.EngineLoad) || failed;
            failed = !RunOnce(file, measured) || failed;
        }
        measured.FileBytes = static_cast<double>(std::filesystem::file_size(pristine));
        std::printf("%d lines, %llu bytes, %d runs\n", lineCount,
                    static_cast<unsigned long long>(std::filesystem::file_size(pristine)), runs);
        for (Measure* step : {&measured.EngineLoad, &measured.Usable, &measured.PeakMemory,
                              &measured.RoundTrip, &measured.JumpToEnd, &measured.TypedCharacter,
                              &measured.CaretMove, &measured.Repaint, &measured.Save}) {
            step->Print();
        }
        for (ListMeasures* list :
             {&measured.Search, &measured.SyntaxCheck, &measured.ProcedureList}) {
            list->Shown.Print();
            list->Held.Print();
            list->Complete.Print();
        }
        std::fflush(stdout);
    }
    PrintTargets(bySize);
    std::filesystem::remove_all(std::filesystem::path(folder));
    return failed ? 1 : 0;
}
