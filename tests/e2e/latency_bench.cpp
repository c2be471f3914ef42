// End-to-end latency of kestrane.exe as another program sees it: the program is started on
// generated VBScript files of several sizes and driven through its windows (typing, the recovery
// copy after the pause, activation, saving, the results lists of F3, F7 and F2), and each step is
// timed from here; then a script that echoes 100,000 lines is run at the console. Prints the
// median, minimum and maximum of every step per file size, and the targets as ratios to floors
// measured in the same run: the load beyond the smallest file against the engine's own load of the
// largest in a native process (bench/load_floor, named by KESTRANE_LOAD_FLOOR), the peak working
// set against the file's size, and a typed character and a caret move against a bare WM_NULL
// round trip.
//
// Usage: e2e_latency_bench [RUNS] [console | shapes [NAME...]]   (runs per file size, default 3;
// "console" times the console run alone; "shapes" times instead the longest hold of the window per
// operation on the hostile shapes of text, all of them or those named)
// kestrane.exe is taken from the folder of this program (its "Env" folder is made there); the
// files are written to a temporary folder and removed at the end.
#include "host_process.h"
#include "hostile_shapes.h"
#include "win32/dialogs_win32.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <optional>
#include <psapi.h>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <tlhelp32.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using kst::e2e::ListItem;
using kst::e2e::ProgramFolder;
using kst::e2e::WaitUntil;

constexpr auto kTimeout = 60s;
constexpr int kTypedCharacters = 200;
constexpr int kCaretMoves = 200;
constexpr int kRepaints = 50;
constexpr int kConsoleLines = 100'000;
constexpr int kActivations = 20;
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

// A folder of 2,000 scripts of about 50 KB (100 MB in all), half of them in a subfolder.
void WriteScriptFolder(const std::wstring& Folder) {
    constexpr int kScripts = 2'000;
    constexpr int kLinesEach = 1'190;
    std::filesystem::create_directories(std::filesystem::path(Folder + L"\\sub"));
    const std::wstring first = Folder + L"\\script0.vbs";
    WriteScript(first, kLinesEach);
    for (int index = 1; index < kScripts; ++index) {
        const std::wstring name =
            (index % 2 == 0 ? L"\\script" : L"\\sub\\script") + std::to_wstring(index) + L".vbs";
        CopyFileW(first.c_str(), (Folder + name).c_str(), FALSE);
    }
}

// Under Wine, the Linux accounting of the newest process named kestrane.exe, read through the Z:
// drive: Wine's GetProcessTimes overstates another process's time several times (a load that
// Linux charged 0.35 s was reported as 2.1 s). None elsewhere.
std::optional<double> LinuxProcessorMilliseconds() {
    constexpr double kMillisecondsPerTick = 10; // Linux counts in hundredths of a second
    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::optional<double> newest;
    unsigned long long newestStart = 0;
    do {
        std::ifstream stat(std::filesystem::path(L"Z:\\proc") / entry.cFileName / L"stat");
        std::string line;
        if (!std::getline(stat, line) || line.find("(kestrane.exe) ") == std::string::npos) {
            continue;
        }
        // The fields after the name: state, then 10 more before user and kernel time, then 6
        // more before the start time.
        std::istringstream fields(line.substr(line.find(") ") + 2));
        std::string skipped;
        unsigned long long user = 0;
        unsigned long long kernel = 0;
        unsigned long long start = 0;
        for (int field = 0; field < 11; ++field) {
            fields >> skipped;
        }
        fields >> user >> kernel;
        for (int field = 0; field < 6; ++field) {
            fields >> skipped;
        }
        fields >> start;
        if (fields && (!newest || start > newestStart)) {
            newest = static_cast<double>(user + kernel) * kMillisecondsPerTick;
            newestStart = start;
        }
    } while (FindNextFileW(search, &entry) != FALSE);
    FindClose(search);
    return newest;
}

// The processor time the program has used so far (user and kernel), in milliseconds. On a
// machine busy with other work the wall times scatter; this shows what the program itself spent.
double ProcessorMilliseconds(HANDLE Process) {
    if (const std::optional<double> accounted = LinuxProcessorMilliseconds()) {
        return *accounted;
    }
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
        std::printf("  %-28s median %9.3f %s   min %9.3f   max %9.3f   (n %zu)", Name.c_str(),
                    median, Unit, Samples.front(), Samples.back(), Samples.size());
        if (Processor > 0) {
            std::printf("   processor %8.3f ms each",
                        Processor / static_cast<double>(Samples.size()));
        }
        std::printf("\n");
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
    Measure RecoveryHold{"recovery copy: longest hold", {}};
    Measure RecoveryWritten{"recovery copy on the disk", {}};
    Measure Activation{"activation + file look", {}};
    Measure CaretMove{"caret move + paint", {}};
    Measure Repaint{"full repaint", {}};
    Measure Save{"save", {}};
    ListMeasures Search{"F3"};
    ListMeasures RegexSearch{"regex search"};
    ListMeasures SyntaxCheck{"F7"};
    ListMeasures ProcedureList{"F2"};
    ListMeasures FolderSearch{"folder of 2,000 scripts"};
    double FileBytes = 0;
};

struct ConsoleResults {
    Measure LinesPerSecond{"lines per second", {}, 0, "lines/s"};
    Measure Stall{"longest stall", {}};
    Measure ControlStall{"longest stall, script apart", {}};
    Measure EndToEditable{"host end to editable", {}};
    Measure EndToComplete{"host end to complete list", {}};
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
// one of Summaries. False, with nothing recorded, when the list is not complete within the timeout.
bool TimeListCommand(HWND MainWindow, const std::function<void()>& Start,
                     std::initializer_list<std::wstring_view> Summaries, ListMeasures& Into) {
    const HWND list = FindWindowExW(MainWindow, nullptr, L"ListBox", nullptr);
    const auto complete = [list, Summaries] {
        const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        return count > 0 && std::ranges::any_of(Summaries, [&](std::wstring_view Summary) {
                   return ListItem(list, count - 1).ends_with(Summary);
               });
    };
    const bool wasEmpty = SendMessageW(list, LB_GETCOUNT, 0, 0) == 0;
    const auto pressed = Clock::now();
    Start();
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

bool TimeListCommand(HWND Editor, HWND MainWindow, WORD Key,
                     std::initializer_list<std::wstring_view> Summaries, ListMeasures& Into) {
    return TimeListCommand(
        MainWindow,
        [Editor, Key] {
            PostMessageW(Editor, WM_KEYDOWN, Key, 1);
            PostMessageW(Editor, WM_KEYUP, Key, 1);
        },
        Summaries, Into);
}

// Presses the keys in order and releases them in reverse order, as a user types a chord.
void PressChord(std::initializer_list<WORD> Keys) {
    std::vector<INPUT> inputs;
    for (const WORD key : Keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = std::rbegin(Keys); key != std::rend(Keys); ++key) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The dialog of the Search menu's item with access key Key (pressed again while none appears,
// since keys sent while the foreground changes hands can be lost), its word box set to Word and
// its regular-expression box to Regex, and its other boxes by Fill; the time from its "検索" as
// TimeListCommand times it. Another process cannot read the menus under Wine, so they are typed.
bool TimeSearchDialog(HWND MainWindow, WORD Key, const std::wstring& Title,
                      const std::wstring& Word, bool Regex, const std::function<void(HWND)>& Fill,
                      std::initializer_list<std::wstring_view> Summaries, ListMeasures& Into) {
    HWND dialog = nullptr;
    const auto shown = [&] {
        dialog = FindWindowW(L"#32770", Title.c_str());
        return dialog != nullptr && IsWindowVisible(dialog) != FALSE;
    };
    WaitUntil(
        [&] {
            SetForegroundWindow(MainWindow);
            PressChord({VK_MENU, 'S'});
            PressChord({Key});
            return WaitUntil(shown, 3s);
        },
        kTimeout);
    if (!shown()) {
        std::printf("a search dialog did not appear\n");
        return false;
    }
    SetWindowTextW(GetDlgItem(dialog, kst::win32::idSearchWord), Word.c_str());
    SendMessageW(GetDlgItem(dialog, kst::win32::idSearchRegex), BM_SETCHECK,
                 Regex ? BST_CHECKED : BST_UNCHECKED, 0);
    Fill(dialog);
    // The window's holds are counted once the dialog has gone, so that they are the command's;
    // the complete list's time counts from the button.
    return TimeListCommand(
        MainWindow,
        [dialog] {
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            WaitUntil([dialog] { return IsWindow(dialog) == FALSE; }, kTimeout);
        },
        Summaries, Into);
}

// The size of the largest finished recovery copy in the program's "Env\recover" folder; 0 when
// there is none.
std::uintmax_t RecoveryCopySize() {
    std::error_code error;
    std::uintmax_t largest = 0;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(ProgramFolder() + L"Env\\recover"), error)) {
        if (entry.path().extension() == L".rcv") {
            largest = std::max(largest, entry.file_size(error));
        }
    }
    return largest;
}

// After typing: the longest the window takes to answer a message while the pause passes and the
// text of TextLength bytes is copied for the recovery copy, and the time from the last key until
// the copy is on the disk.
void TimeRecoveryCopy(HWND MainWindow, std::uintmax_t TextLength, Results& Into) {
    const auto typed = Clock::now();
    double held = 0;
    bool written = false;
    while (!written && MillisecondsSince(typed) < kTimeout / 1ms) {
        const auto asked = Clock::now();
        SendMessageW(MainWindow, WM_NULL, 0, 0);
        held = std::max(held, MillisecondsSince(asked));
        written = RecoveryCopySize() > TextLength;
        Sleep(1);
    }
    Into.RecoveryHold.Samples.push_back(held);
    if (written) {
        Into.RecoveryWritten.Samples.push_back(MillisecondsSince(typed));
    }
}

// F3 on "strPath", selected on the fifth line, which is a third of the lines; the search dialog
// with the regular expression CreateObject\("[^"]*"\), a ninth of the lines; F7, which finds the
// stray End If of every ninth line; F2, which finds no procedure; the folder search of the word in
// Scripts.
bool TimeResultsLists(HWND Editor, HWND MainWindow, const std::wstring& Scripts, Results& Into) {
    const auto start = static_cast<LPARAM>(SendMessageW(Editor, EM_LINEINDEX, 4, 0));
    SendMessageW(Editor, EM_SETSEL, static_cast<WPARAM>(start), start + 7);
    const auto noMore = [](HWND) {};
    const auto inScripts = [&Scripts](HWND Dialog) {
        SetWindowTextW(GetDlgItem(Dialog, kst::win32::idFolderEdit), Scripts.c_str());
    };
    return TimeListCommand(Editor, MainWindow, VK_F3, {L"行ヒット"}, Into.Search) &&
           TimeSearchDialog(MainWindow, 'F', L"検索", L"CreateObject\\(\"[^\"]*\"\\)", true, noMore,
                            {L"行ヒット"}, Into.RegexSearch) &&
           TimeSearchDialog(MainWindow, 'I', L"フォルダから検索", L"CreateObject", false, inScripts,
                            {L"]ファイル"}, Into.FolderSearch) &&
           TimeListCommand(Editor, MainWindow, VK_F7, {L"件の問題"}, Into.SyntaxCheck) &&
           TimeListCommand(Editor, MainWindow, VK_F2, {L"]件"}, Into.ProcedureList);
}

// The first process that Parent started with this image name; null when none runs.
HANDLE StartedProcess(DWORD Parent, std::wstring_view ImageName) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    HANDLE found = nullptr;
    for (BOOL more = Process32FirstW(snapshot, &entry); more != FALSE && found == nullptr;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == Parent &&
            CompareStringOrdinal(entry.szExeFile, -1, ImageName.data(),
                                 static_cast<int>(ImageName.size()), TRUE) == CSTR_EQUAL) {
            found = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return found;
}

// Shift+F8 (pressed again while no script host appears, since a key sent while the foreground
// changes hands can be lost) on a script that echoes kConsoleLines lines. Times the lines per
// second until the list is complete (the lines and the exit code), the longest answer to a message
// meanwhile, and from the host's end the time until the editor takes a character and until the
// list is complete.
bool TimeConsoleRun(const PROCESS_INFORMATION& Program, HWND Editor, HWND MainWindow,
                    ConsoleResults& Into) {
    const HWND list = FindWindowExW(MainWindow, nullptr, L"ListBox", nullptr);
    const auto complete = [list] {
        return SendMessageW(list, LB_GETCOUNT, 0, 0) == kConsoleLines + 1;
    };
    INPUT keys[4] = {};
    for (int index = 0; index < 4; ++index) {
        keys[index].type = INPUT_KEYBOARD;
        keys[index].ki.wVk = index == 0 || index == 3 ? VK_SHIFT : VK_F8;
        keys[index].ki.dwFlags = index >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    const double processorBefore = ProcessorMilliseconds(Program.hProcess);
    auto pressed = Clock::now();
    HANDLE host = nullptr;
    WaitUntil(
        [&] {
            SetForegroundWindow(MainWindow);
            pressed = Clock::now();
            SendInput(4, keys, sizeof(INPUT));
            return WaitUntil(
                [&] {
                    return (host = StartedProcess(Program.dwProcessId, L"cscript.exe")) != nullptr;
                },
                5s);
        },
        kTimeout);
    double stall = 0;
    std::optional<Clock::time_point> hostEnd;
    std::optional<double> editable;
    const auto length = [Editor] { return SendMessageW(Editor, WM_GETTEXTLENGTH, 0, 0); };
    const auto before = length();
    while (host != nullptr && (!complete() || !editable) &&
           MillisecondsSince(pressed) < kTimeout / 1ms) {
        const auto asked = Clock::now();
        SendMessageW(MainWindow, WM_NULL, 0, 0);
        stall = std::max(stall, MillisecondsSince(asked));
        if (!hostEnd && WaitForSingleObject(host, 0) == WAIT_OBJECT_0) {
            hostEnd = Clock::now();
        }
        if (hostEnd && !editable) {
            SendMessageW(Editor, WM_CHAR, L'a', 1);
            if (length() != before) {
                editable = MillisecondsSince(*hostEnd);
            }
        }
        Sleep(1);
    }
    if (host != nullptr) {
        CloseHandle(host);
    }
    if (!hostEnd || !editable || !complete()) {
        std::printf("the console run did not end in time\n");
        return false;
    }
    Into.LinesPerSecond.Samples.push_back(kConsoleLines / (MillisecondsSince(pressed) / 1000));
    Into.LinesPerSecond.Processor += ProcessorMilliseconds(Program.hProcess) - processorBefore;
    Into.Stall.Samples.push_back(stall);
    Into.EndToEditable.Samples.push_back(*editable);
    Into.EndToComplete.Samples.push_back(MillisecondsSince(*hostEnd));
    SendMessageW(Editor, EM_SETMODIFY, FALSE, 0);
    return true;
}

// The same script run by this program into a pipe of its own while the window is idle: how long
// a message to the window waits meanwhile when the window has nothing to do with the script (the
// Wine server serves every write to a pipe).
void TimeScriptApart(HWND MainWindow, const std::wstring& Script, ConsoleResults& Into) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    CreatePipe(&reader, &writer, &inheritable, 64 * 1024);
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer;
    startup.hStdError = writer;
    std::wstring commandLine = L"cscript.exe //nologo \"" + Script + L"\"";
    PROCESS_INFORMATION host{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &host);
    CloseHandle(writer);
    std::thread drain([reader] {
        std::vector<char> buffer(64 * 1024);
        DWORD read = 0;
        while (ReadFile(reader, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) !=
                   FALSE &&
               read > 0) {
        }
    });
    double stall = 0;
    while (started != FALSE && WaitForSingleObject(host.hProcess, 0) == WAIT_TIMEOUT) {
        const auto asked = Clock::now();
        SendMessageW(MainWindow, WM_NULL, 0, 0);
        stall = std::max(stall, MillisecondsSince(asked));
        Sleep(1);
    }
    drain.join();
    CloseHandle(reader);
    if (started != FALSE) {
        CloseHandle(host.hThread);
        CloseHandle(host.hProcess);
        Into.ControlStall.Samples.push_back(stall);
    }
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

// Starts the program on File; answers its process, main window and editor once it is usable.
struct Started {
    PROCESS_INFORMATION Process{};
    HWND MainWindow = nullptr;
    HWND Editor = nullptr;
};

std::optional<Started> StartOn(const std::wstring& File) {
    const std::wstring title = File + L" - Kestrane";
    Started started;
    started.Process.hProcess =
        StartProcess(ProgramFolder() + L"kestrane.exe", L"\"" + File + L"\"");
    if (started.Process.hProcess == nullptr) {
        return std::nullopt;
    }
    started.Process.dwProcessId = GetProcessId(started.Process.hProcess);
    const bool usable = WaitUntil(
        [&] {
            started.MainWindow = VisibleWindow(L"TForm1", title);
            started.Editor = started.MainWindow != nullptr
                                 ? FindWindowExW(started.MainWindow, nullptr, L"TEditor", nullptr)
                                 : nullptr;
            return started.Editor != nullptr &&
                   SendMessageW(started.Editor, EM_GETLINECOUNT, 0, 0) > 0;
        },
        kTimeout);
    if (!usable) {
        wchar_t shown[512] = {};
        GetWindowTextW(FindWindowW(L"TForm1", nullptr), shown, 512);
        std::printf("the window did not become usable; its title: %ls\n", shown);
    }
    return started;
}

// Closes the program's window and waits for the process's end.
void Close(Started& Program) {
    PostMessageW(Program.MainWindow, WM_CLOSE, 0, 0);
    const HANDLE process = Program.Process.hProcess;
    if (WaitForSingleObject(process, static_cast<DWORD>(kTimeout / 1ms)) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, INFINITE);
    }
    CloseHandle(process);
}

bool RunConsoleOnce(const std::wstring& File, ConsoleResults& Into) {
    std::optional<Started> program = StartOn(File);
    if (!program) {
        return false;
    }
    const bool completed =
        program->Editor != nullptr &&
        TimeConsoleRun(program->Process, program->Editor, program->MainWindow, Into);
    if (completed) {
        TimeScriptApart(program->MainWindow, File, Into);
    }
    Close(*program);
    return completed;
}

// One run: start the program on File, time each step, close it. False when a step did not
// finish in time.
bool RunOnce(const std::wstring& File, const std::wstring& Scripts, Results& Into) {
    const auto start = Clock::now();
    std::optional<Started> program = StartOn(File);
    if (!program) {
        return false;
    }
    const PROCESS_INFORMATION process = program->Process;
    const HWND mainWindow = program->MainWindow;
    const HWND editor = program->Editor;
    bool completed = false;
    if (editor != nullptr) {
        Into.Usable.Samples.push_back(MillisecondsSince(start));
        Into.Usable.Processor += ProcessorMilliseconds(process.hProcess);
        Into.PeakMemory.Samples.push_back(PeakWorkingSetMegabytes(process.hProcess));
        Repeat(process.hProcess, kRoundTrips, Into.RoundTrip,
               [&](int) { SendMessageW(mainWindow, WM_NULL, 0, 0); });
        const auto length = static_cast<LPARAM>(SendMessageW(editor, WM_GETTEXTLENGTH, 0, 0));
        Repeat(process.hProcess, 1, Into.JumpToEnd, [&](int) {
            SendMessageW(editor, EM_SETSEL, static_cast<WPARAM>(length), length);
            SendMessageW(editor, EM_SCROLLCARET, 0, 0);
            UpdateWindow(editor);
        });
        Repeat(process.hProcess, kTypedCharacters, Into.TypedCharacter, [&](int) {
            SendMessageW(editor, WM_CHAR, L'a', 1);
            UpdateWindow(editor);
        });
        TimeRecoveryCopy(mainWindow,
                         static_cast<std::uintmax_t>(SendMessageW(editor, WM_GETTEXTLENGTH, 0, 0)),
                         Into);
        // The window looks at its file when it has become active and the program is idle.
        Repeat(process.hProcess, kActivations, Into.Activation, [&](int) {
            SendMessageW(mainWindow, WM_ACTIVATE, WA_ACTIVE, 0);
            SendMessageW(mainWindow, WM_NULL, 0, 0);
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
        completed = TimeResultsLists(editor, mainWindow, Scripts, Into);
    }
    Close(*program);
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
    const double word = largest.Search.Complete.Median();
    std::printf("  regex list, largest file       %9.3f ms = %5.2f x F3's word list of %9.3f ms\n",
                largest.RegexSearch.Complete.Median(), largest.RegexSearch.Complete.Median() / word,
                word);
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

// The hostile shapes: each operation's longest hold of the window, from the message that starts
// it until the program has settled (its idle steps included).
constexpr auto kSettle = 300ms;

struct ShapeResults {
    Measure Usable{"open: usable window", {}};
    Measure JumpToEnd{"jump to end + paint", {}};
    Measure PageLastScreen{"page through the last screen", {}};
    Measure TypedInMiddle{"typed character, middle", {}};
    Measure TypedAtEnd{"typed character, end", {}};
    Measure RecoveryHold{"recovery copy", {}};
    ListMeasures Search{"F3, frequent word"};
    ListMeasures SyntaxCheck{"F7"};
    ListMeasures ProcedureList{"F2"};
    Measure Save{"save", {}};
    Measure DeleteAll{"select all + delete", {}};
    Measure Undo{"undo", {}};
    Measure Format{"Ctrl+T", {}};
};

// The longest the window takes to answer a message from now until Period has passed.
double LongestHoldFor(HWND MainWindow, std::chrono::milliseconds Period) {
    const auto start = Clock::now();
    double held = 0;
    while (MillisecondsSince(start) < Period / 1ms) {
        const auto asked = Clock::now();
        SendMessageW(MainWindow, WM_NULL, 0, 0);
        held = std::max(held, MillisecondsSince(asked));
        Sleep(1);
    }
    return held;
}

// Action, sent to the program, holds the window as long as it takes; then the idle steps it
// leaves hold it in turn.
void TimeHold(HWND MainWindow, Measure& Into, const std::function<void()>& Action) {
    const auto start = Clock::now();
    Action();
    const double action = MillisecondsSince(start);
    Into.Samples.push_back(std::max(action, LongestHoldFor(MainWindow, kSettle)));
}

// The command of the menu item with that caption (its text before the shortcut); 0 when there is
// none.
UINT MenuCommand(HMENU Menu, std::wstring_view Caption) {
    for (int index = 0; index < GetMenuItemCount(Menu); ++index) {
        wchar_t text[256] = {};
        GetMenuStringW(Menu, static_cast<UINT>(index), text, 256, MF_BYPOSITION);
        if (const HMENU sub = GetSubMenu(Menu, index)) {
            if (const UINT found = MenuCommand(sub, Caption)) {
                return found;
            }
        } else if (std::wstring_view(text).substr(0, std::wstring_view(text).find(L'\t')) ==
                   Caption) {
            return GetMenuItemID(Menu, index);
        }
    }
    return 0;
}

void PressKey(HWND Editor, WORD Key) {
    SendMessageW(Editor, WM_KEYDOWN, Key, 1);
    SendMessageW(Editor, WM_KEYUP, Key, 1);
    UpdateWindow(Editor);
}

void TypeAt(HWND Editor, LPARAM Offset) {
    SendMessageW(Editor, EM_SETSEL, static_cast<WPARAM>(Offset), Offset);
    SendMessageW(Editor, EM_SCROLLCARET, 0, 0);
    UpdateWindow(Editor);
    SendMessageW(Editor, WM_CHAR, L'a', 1);
    UpdateWindow(Editor);
}

bool RunShapeOnce(const std::wstring& File, const kst::shapes::THostileShape& Shape,
                  std::size_t WordOffset, ShapeResults& Into) {
    const auto start = Clock::now();
    std::optional<Started> program = StartOn(File);
    if (!program) {
        return false;
    }
    const HWND mainWindow = program->MainWindow;
    const HWND editor = program->Editor;
    bool completed = false;
    if (editor != nullptr) {
        Into.Usable.Samples.push_back(MillisecondsSince(start));
        const auto length = [editor] {
            return static_cast<LPARAM>(SendMessageW(editor, WM_GETTEXTLENGTH, 0, 0));
        };
        TimeHold(mainWindow, Into.JumpToEnd, [&] {
            SendMessageW(editor, EM_SETSEL, static_cast<WPARAM>(length()), length());
            SendMessageW(editor, EM_SCROLLCARET, 0, 0);
            UpdateWindow(editor);
        });
        TimeHold(mainWindow, Into.PageLastScreen, [&] {
            for (const WORD key : {VK_PRIOR, VK_PRIOR, VK_NEXT, VK_NEXT}) {
                PressKey(editor, key);
            }
        });
        TimeHold(mainWindow, Into.TypedInMiddle, [&] { TypeAt(editor, length() / 2); });
        TimeHold(mainWindow, Into.TypedAtEnd, [&] { TypeAt(editor, length()); });
        Results recovery;
        TimeRecoveryCopy(mainWindow, static_cast<std::uintmax_t>(length()), recovery);
        Into.RecoveryHold.Samples.push_back(recovery.RecoveryHold.Samples.front());
        completed = true;
        if (!Shape.FrequentWord.empty()) {
            const auto at = static_cast<LPARAM>(WordOffset);
            SendMessageW(editor, EM_SETSEL, static_cast<WPARAM>(at),
                         at + static_cast<LPARAM>(Shape.FrequentWord.size()));
            completed = TimeListCommand(editor, mainWindow, VK_F3, {L"行ヒット"}, Into.Search);
        }
        completed = completed &&
                    TimeListCommand(editor, mainWindow, VK_F7, {L"件の問題", L"問題はありません"},
                                    Into.SyntaxCheck) &&
                    TimeListCommand(editor, mainWindow, VK_F2, {L"]件"}, Into.ProcedureList);
        const HWND toolBar = FindWindowExW(mainWindow, nullptr, L"ToolbarWindow32", nullptr);
        TimeHold(mainWindow, Into.Save, [&] {
            SendMessageW(mainWindow, WM_COMMAND, kSaveButtonId, reinterpret_cast<LPARAM>(toolBar));
        });
        TimeHold(mainWindow, Into.DeleteAll, [&] {
            SendMessageW(editor, EM_SETSEL, 0, -1);
            PressKey(editor, VK_DELETE);
        });
        TimeHold(mainWindow, Into.Undo, [&] {
            SendMessageW(editor, EM_UNDO, 0, 0);
            UpdateWindow(editor);
        });
        // The formatting may answer with a message box, so it is posted, and the program closed
        // by force when it does not end in time.
        const UINT format = MenuCommand(GetMenu(mainWindow), L"自動整形処理(&C)");
        TimeHold(mainWindow, Into.Format, [&] {
            PostMessageW(mainWindow, WM_COMMAND, format, 0);
            SendMessageW(mainWindow, WM_NULL, 0, 0);
        });
        SendMessageW(editor, EM_SETMODIFY, FALSE, 0);
    }
    Close(*program);
    return completed;
}

// Writes each shape named (every one when Names is empty) and times its operations RUNS times.
bool RunShapes(const std::wstring& Folder, int Runs, const std::vector<std::string_view>& Names) {
    bool failed = false;
    for (const kst::shapes::THostileShape& shape : kst::shapes::HostileShapes()) {
        if (!Names.empty() && std::ranges::find(Names, shape.Name) == Names.end()) {
            continue;
        }
        const std::wstring name(shape.Name.begin(), shape.Name.end());
        const std::wstring pristine = Folder + L"pristine-" + name + L".vbs";
        const std::wstring file = Folder + name + L".vbs";
        std::size_t wordOffset = 0;
        {
            const std::string text = shape.Generate();
            wordOffset = shape.FrequentWord.empty() ? 0 : text.find(shape.FrequentWord);
            std::ofstream(std::filesystem::path(pristine), std::ios::binary)
                .write(text.data(), static_cast<std::streamsize>(text.size()));
        }
        ShapeResults measured;
        for (int run = 0; run < Runs; ++run) {
            CopyFileW(pristine.c_str(), file.c_str(), FALSE);
            failed = !RunShapeOnce(file, shape, wordOffset, measured) || failed;
        }
        std::printf("shape %s, %llu bytes, %d runs: longest hold of the window\n",
                    std::string(shape.Name).c_str(),
                    static_cast<unsigned long long>(std::filesystem::file_size(pristine)), Runs);
        for (Measure* step :
             {&measured.Usable, &measured.JumpToEnd, &measured.PageLastScreen,
              &measured.TypedInMiddle, &measured.TypedAtEnd, &measured.RecoveryHold,
              &measured.Search.Held, &measured.SyntaxCheck.Held, &measured.ProcedureList.Held,
              &measured.Save, &measured.DeleteAll, &measured.Undo, &measured.Format}) {
            step->Print();
        }
        std::fflush(stdout);
        DeleteFileW(pristine.c_str());
        DeleteFileW(file.c_str());
    }
    return !failed;
}

} // namespace

int main(int ArgumentCount, char** Arguments) {
    const int runs = ArgumentCount > 1 ? std::max(1, std::atoi(Arguments[1])) : 3;
    const bool consoleOnly = ArgumentCount > 2 && std::string_view(Arguments[2]) == "console";
    const std::wstring folder = TemporaryFolder();
    std::filesystem::create_directories(std::filesystem::path(folder));
    // The program keeps its settings and histories in "Env" beside itself.
    std::filesystem::create_directories(std::filesystem::path(ProgramFolder() + L"Env"));
    if (ArgumentCount > 2 && std::string_view(Arguments[2]) == "shapes") {
        const bool passed = RunShapes(
            folder, runs, std::vector<std::string_view>(Arguments + 3, Arguments + ArgumentCount));
        std::filesystem::remove_all(std::filesystem::path(folder));
        return passed ? 0 : 1;
    }
    bool failed = false;
    const std::wstring scripts = folder + L"scripts";
    if (!consoleOnly) {
        WriteScriptFolder(scripts);
    }
    std::map<int, Results> bySize;
    for (const int lineCount :
         consoleOnly ? std::vector<int>{} : std::vector{100, 100'000, 2'500'000}) {
        const std::wstring pristine = folder + L"pristine-" + std::to_wstring(lineCount) + L".vbs";
        const std::wstring file = folder + L"lines-" + std::to_wstring(lineCount) + L".vbs";
        WriteScript(pristine, lineCount);
        Results& measured = bySize[lineCount];
        for (int run = 0; run < runs; ++run) {
            CopyFileW(pristine.c_str(), file.c_str(), FALSE);
            failed = !TimeEngineLoad(file, measured.EngineLoad) || failed;
            failed = !RunOnce(file, scripts, measured) || failed;
        }
        measured.FileBytes = static_cast<double>(std::filesystem::file_size(pristine));
        std::printf("%d lines, %llu bytes, %d runs\n", lineCount,
                    static_cast<unsigned long long>(std::filesystem::file_size(pristine)), runs);
        for (Measure* step :
             {&measured.EngineLoad, &measured.Usable, &measured.PeakMemory, &measured.RoundTrip,
              &measured.JumpToEnd, &measured.TypedCharacter, &measured.RecoveryHold,
              &measured.RecoveryWritten, &measured.Activation, &measured.CaretMove,
              &measured.Repaint, &measured.Save}) {
            step->Print();
        }
        for (ListMeasures* list : {&measured.Search, &measured.RegexSearch, &measured.SyntaxCheck,
                                   &measured.ProcedureList, &measured.FolderSearch}) {
            list->Shown.Print();
            list->Held.Print();
            list->Complete.Print();
        }
        std::fflush(stdout);
    }
    if (!bySize.empty()) {
        PrintTargets(bySize);
    }
    const std::wstring echo = folder + L"echo.vbs";
    std::ofstream(std::filesystem::path(echo), std::ios::binary)
        << "For i = 1 To " << kConsoleLines << "\r\n    WScript.Echo \"line \" & i\r\nNext\r\n";
    ConsoleResults console;
    for (int run = 0; run < runs; ++run) {
        failed = !RunConsoleOnce(echo, console) || failed;
    }
    std::printf("console run of %d lines, %d runs\n", kConsoleLines, runs);
    for (Measure* step : {&console.LinesPerSecond, &console.Stall, &console.ControlStall,
                          &console.EndToEditable, &console.EndToComplete}) {
        step->Print();
    }
    std::filesystem::remove_all(std::filesystem::path(folder));
    return failed ? 1 : 0;
}
