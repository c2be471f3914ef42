// End-to-end latency of kestrane.exe as another program sees it: the program is started on
// generated VBScript files of several sizes and driven through its windows, and each step is
// timed from here. Prints the median, minimum and maximum of every step per file size.
//
// Usage: e2e_latency_bench [RUNS]   (runs per file size, default 3)
// kestrane.exe is taken from the folder of this program (its "Env" folder is made there); the
// files are written to a temporary folder and removed at the end.
#include "host_process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
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
// The tool bar's save button: the data's third button ("上書保存"), ids counting from 1.
constexpr WPARAM kSaveButtonId = 3;

double MillisecondsSince(Clock::time_point Start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - Start).count();
}

std::string ToCp932(const std::wstring& Text) {
    const int Size = WideCharToMultiByte(932, 0, Text.data(), static_cast<int>(Text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string Bytes(static_cast<std::size_t>(Size), '\0');
    WideCharToMultiByte(932, 0, Text.data(), static_cast<int>(Text.size()), Bytes.data(), Size,
                        nullptr, nullptr);
    return Bytes;
}

// A script of LineCount lines of about 42 bytes with their line breaks (2.5 million lines make
// 100 MiB), comments and strings in Japanese.
void WriteScript(const std::wstring& Path, int LineCount) {
    const std::vector<std::wstring> Lines = {
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
    std::vector<std::string> Encoded;
    for (const std::wstring& Line : Lines) {
        Encoded.push_back(ToCp932(Line) + "\r\n");
    }
    std::string Text;
    Text.reserve(static_cast<std::size_t>(LineCount) * 42);
    for (int Line = 0; Line < LineCount; ++Line) {
        Text += Encoded[static_cast<std::size_t>(Line) % Encoded.size()];
    }
    std::ofstream File(std::filesystem::path(Path), std::ios::binary);
    File.write(Text.data(), static_cast<std::streamsize>(Text.size()));
}

struct Measure {
    const char* Name;
    std::vector<double> Samples;

    void Print() {
        if (Samples.empty()) {
            std::printf("  %-28s no samples\n", Name);
            return;
        }
        std::sort(Samples.begin(), Samples.end());
        const double Median = Samples.size() % 2 == 1
                                  ? Samples[Samples.size() / 2]
                                  : (Samples[Samples.size() / 2 - 1] + Samples[Samples.size() / 2]) / 2;
        std::printf("  %-28s median %9.3f ms   min %9.3f   max %9.3f   (n %zu)\n", Name, Median,
                    Samples.front(), Samples.back(), Samples.size());
    }
};

struct Results {
    Measure Usable{"usable window", {}};
    Measure JumpToEnd{"first jump to end + paint", {}};
    Measure TypedCharacter{"typed character + paint", {}};
    Measure CaretMove{"caret move + paint", {}};
    Measure Repaint{"full repaint", {}};
    Measure Save{"save", {}};
};

HWND VisibleWindow(const wchar_t* Class, const std::wstring& Title) {
    const HWND Window = FindWindowW(Class, Title.c_str());
    return Window != nullptr && IsWindowVisible(Window) != FALSE ? Window : nullptr;
}

void Repeat(int Count, Measure& Into, const std::function<void(int)>& Step) {
    for (int Index = 0; Index < Count; ++Index) {
        const auto Start = Clock::now();
        Step(Index);
        Into.Samples.push_back(MillisecondsSince(Start));
    }
}

// One run: start the program on File, time each step, close it. False when something failed.
bool RunOnce(const std::wstring& File, Results& Into) {
    const std::wstring Program = ProgramFolder() + L"kestrane.exe";
    std::wstring CommandLine = L"\"" + Program + L"\" \"" + File + L"\"";
    const std::wstring Title = File + L" - Kestrane";
    STARTUPINFOW Startup{};
    Startup.cb = sizeof(Startup);
    PROCESS_INFORMATION Process{};
    const auto Start = Clock::now();
    if (CreateProcessW(Program.c_str(), CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &Startup, &Process) == FALSE) {
        std::printf("kestrane.exe could not be started: error %lu\n", GetLastError());
        return false;
    }
    CloseHandle(Process.hThread);
    HWND Main = nullptr;
    HWND Editor = nullptr;
    const bool Usable = WaitUntil(
        [&] {
            Main = VisibleWindow(L"TForm1", Title);
            Editor = Main != nullptr ? FindWindowExW(Main, nullptr, L"TEditor", nullptr) : nullptr;
            return Editor != nullptr && SendMessageW(Editor, EM_GETLINECOUNT, 0, 0) > 0;
        },
        kTimeout);
    if (Usable) {
        Into.Usable.Samples.push_back(MillisecondsSince(Start));
        const auto Length = static_cast<LPARAM>(SendMessageW(Editor, WM_GETTEXTLENGTH, 0, 0));
        Repeat(1, Into.JumpToEnd, [&](int) {
            SendMessageW(Editor, EM_SETSEL, static_cast<WPARAM>(Length), Length);
            SendMessageW(Editor, EM_SCROLLCARET, 0, 0);
            UpdateWindow(Editor);
        });
        Repeat(kTypedCharacters, Into.TypedCharacter, [&](int) {
            SendMessageW(Editor, WM_CHAR, L'a', 1);
            UpdateWindow(Editor);
        });
        Repeat(kCaretMoves, Into.CaretMove, [&](int Index) {
            SendMessageW(Editor, WM_KEYDOWN, Index % 2 == 0 ? VK_LEFT : VK_RIGHT, 1);
            UpdateWindow(Editor);
        });
        Repeat(kRepaints, Into.Repaint, [&](int) {
            InvalidateRect(Editor, nullptr, FALSE);
            UpdateWindow(Editor);
        });
        const HWND ToolBar = FindWindowExW(Main, nullptr, L"ToolbarWindow32", nullptr);
        Repeat(1, Into.Save, [&](int) {
            SendMessageW(Main, WM_COMMAND, kSaveButtonId, reinterpret_cast<LPARAM>(ToolBar));
        });
        PostMessageW(Main, WM_CLOSE, 0, 0);
    } else {
        wchar_t Shown[512] = {};
        GetWindowTextW(FindWindowW(L"TForm1", nullptr), Shown, 512);
        std::printf("the window did not become usable; its title: %ls\n", Shown);
    }
    if (WaitForSingleObject(Process.hProcess, static_cast<DWORD>(kTimeout / 1ms)) !=
        WAIT_OBJECT_0) {
        TerminateProcess(Process.hProcess, 1);
        WaitForSingleObject(Process.hProcess, INFINITE);
    }
    CloseHandle(Process.hProcess);
    return Usable;
}

std::wstring TemporaryFolder() {
    std::wstring Temp(MAX_PATH, L'\0');
    Temp.resize(GetTempPathW(static_cast<DWORD>(Temp.size()), Temp.data()));
    return Temp + L"kestrane-latency-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
}

} // namespace

int main(int ArgumentCount, char** Arguments) {
    const int Runs = ArgumentCount > 1 ? std::max(1, std::atoi(Arguments[1])) : 3;
    const std::wstring Folder = TemporaryFolder();
    std::filesystem::create_directories(std::filesystem::path(Folder));
    // The program keeps its settings and histories in "Env" beside itself.
    std::filesystem::create_directories(std::filesystem::path(ProgramFolder() + L"Env"));
    bool Failed = false;
    for (const int LineCount : {100, 100'000, 2'500'000}) {
        const std::wstring Pristine = Folder + L"pristine-" + std::to_wstring(LineCount) + L".vbs";
        const std::wstring File = Folder + L"lines-" + std::to_wstring(LineCount) + L".vbs";
        WriteScript(Pristine, LineCount);
        Results Measured;
        for (int Run = 0; Run < Runs; ++Run) {
            CopyFileW(Pristine.c_str(), File.c_str(), FALSE);
            Failed = !RunOnce(File, Measured) || Failed;
        }
        std::printf("%d lines, %llu bytes, %d runs\n", LineCount,
                    static_cast<unsigned long long>(std::filesystem::file_size(Pristine)), Runs);
        for (Measure* Step : {&Measured.Usable, &Measured.JumpToEnd, &Measured.TypedCharacter,
                              &Measured.CaretMove, &Measured.Repaint, &Measured.Save}) {
            Step->Print();
        }
        std::fflush(stdout);
    }
    std::filesystem::remove_all(std::filesystem::path(Folder));
    return Failed ? 1 : 0;
}
