// End-to-end tests of kestrane.exe. Each test runs a copy of the program in a folder of its own
// (with its "Env" folder, so settings and histories start empty) and drives it as a user and
// other programs would: command lines, window titles, keys, the editor's edit-control messages,
// message boxes and the files on disk. Every process of the copy is ended when the test ends.
#include "host_process.h"
#include "platform/geometry.h"
#include "screenshot.h"
#include "win32/utf.h"

#include <commctrl.h>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <tlhelp32.h>

namespace kst::e2e {

namespace {

using namespace std::chrono_literals;
using win32::Cp932ToWide;
using win32::WideToCp932;

constexpr auto kTimeout = 20s;
constexpr wchar_t kMainWindowClass[] = L"TForm1";
constexpr wchar_t kEditorClass[] = L"TEditor";
constexpr wchar_t kTitleSuffix[] = L" - Kestrane";

// Files

std::string ReadBytes(const std::wstring& Path) {
    std::ifstream File(std::filesystem::path(Path), std::ios::binary);
    return {std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::wstring& Path, std::string_view Bytes) {
    std::ofstream File(std::filesystem::path(Path), std::ios::binary);
    File.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

std::wstring UniqueFolder() {
    static int Count = 0;
    std::wstring Temp(MAX_PATH, L'\0');
    Temp.resize(GetTempPathW(static_cast<DWORD>(Temp.size()), Temp.data()));
    return Temp + L"kestrane-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++Count) + L"\\";
}

// Windows

std::wstring TitleOf(HWND Window) {
    wchar_t Title[256] = {};
    GetWindowTextW(Window, Title, static_cast<int>(std::size(Title)));
    return Title;
}

DWORD ProcessOf(HWND Window) {
    DWORD ProcessId = 0;
    GetWindowThreadProcessId(Window, &ProcessId);
    return ProcessId;
}

// The visible top-level windows of a class, front to back.
std::vector<HWND> VisibleWindows(const wchar_t* ClassName) {
    struct Search {
        const wchar_t* ClassName;
        std::vector<HWND> Found;
    } Wanted{ClassName, {}};
    EnumWindows(
        [](HWND Window, LPARAM Data) -> BOOL {
            auto& Search = *reinterpret_cast<struct Search*>(Data);
            wchar_t Name[64] = {};
            GetClassNameW(Window, Name, static_cast<int>(std::size(Name)));
            if (IsWindowVisible(Window) != FALSE && std::wstring_view(Name) == Search.ClassName) {
                Search.Found.push_back(Window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&Wanted));
    return Wanted.Found;
}

std::set<std::wstring> MainWindowTitles() {
    std::set<std::wstring> Titles;
    for (const HWND Window : VisibleWindows(kMainWindowClass)) {
        Titles.insert(TitleOf(Window));
    }
    return Titles;
}

std::wstring JoinedTitles() {
    std::wstring Joined;
    for (const std::wstring& Title : MainWindowTitles()) {
        Joined += Title + L"; ";
    }
    return Joined;
}

HWND VisibleMainWindow(const std::wstring& Title) {
    const HWND Window = FindWindowW(kMainWindowClass, Title.c_str());
    return Window != nullptr && IsWindowVisible(Window) != FALSE ? Window : nullptr;
}

HWND WaitForMainWindow(const std::wstring& Title) {
    HWND Window = nullptr;
    WaitUntil([&] { return (Window = VisibleMainWindow(Title)) != nullptr; }, kTimeout);
    return Window;
}

bool WaitUntilClosed(HWND Window) {
    return WaitUntil([&] { return IsWindow(Window) == FALSE; }, kTimeout);
}

// The message box (dialog class "#32770") that a process shows; null when none.
HWND MessageBoxOf(DWORD ProcessId) {
    for (const HWND Box : VisibleWindows(L"#32770")) {
        if (ProcessOf(Box) == ProcessId) {
            return Box;
        }
    }
    return nullptr;
}

HWND WaitForMessageBox(DWORD ProcessId) {
    HWND Box = nullptr;
    WaitUntil([&] { return (Box = MessageBoxOf(ProcessId)) != nullptr; }, kTimeout);
    return Box;
}

// The texts of a dialog's controls, one per line.
std::wstring DialogText(HWND Dialog) {
    std::wstring Text;
    for (HWND Child = GetWindow(Dialog, GW_CHILD); Child != nullptr;
         Child = GetWindow(Child, GW_HWNDNEXT)) {
        Text += WindowText(Child) + L"\n";
    }
    return Text;
}

void Click(HWND Dialog, int ButtonId) {
    PostMessageW(GetDlgItem(Dialog, ButtonId), BM_CLICK, 0, 0);
}

HWND EditorOf(HWND MainWindow) {
    return FindWindowExW(MainWindow, nullptr, kEditorClass, nullptr);
}

// The tool bar's state box.
HWND StatusBoxOf(HWND MainWindow) {
    const HWND ToolBar = FindWindowExW(MainWindow, nullptr, L"ToolbarWindow32", nullptr);
    return FindWindowExW(ToolBar, nullptr, L"Edit", nullptr);
}

bool WaitForText(HWND Control, const std::wstring& Text) {
    return WaitUntil([&] { return WindowText(Control) == Text; }, kTimeout);
}

// Characters typed into the editor; answers when the editor shows them.
bool Type(HWND Editor, std::wstring_view Characters) {
    const std::wstring Before = WindowText(Editor);
    for (const wchar_t Character : Characters) {
        PostMessageW(Editor, WM_CHAR, Character, 1);
    }
    return WaitUntil([&] { return WindowText(Editor).size() == Before.size() + Characters.size(); },
                     kTimeout);
}

bool BringForward(HWND Window) {
    return WaitUntil(
        [&] {
            SetForegroundWindow(Window);
            return GetForegroundWindow() == Window;
        },
        5s);
}

INPUT KeyInput(WORD Key, bool Up) {
    INPUT Input{};
    Input.type = INPUT_KEYBOARD;
    Input.ki.wVk = Key;
    Input.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    return Input;
}

// Presses the keys in order and releases them in reverse order, as a user types Ctrl+N.
void PressKeys(std::initializer_list<WORD> Keys) {
    std::vector<INPUT> Inputs;
    for (const WORD Key : Keys) {
        Inputs.push_back(KeyInput(Key, false));
    }
    for (auto Key = std::rbegin(Keys); Key != std::rend(Keys); ++Key) {
        Inputs.push_back(KeyInput(*Key, true));
    }
    SendInput(static_cast<UINT>(Inputs.size()), Inputs.data(), sizeof(INPUT));
}

TSize WindowSizeOf(HWND Window) {
    RECT Area{};
    GetWindowRect(Window, &Area);
    return {Area.right - Area.left, Area.bottom - Area.top};
}

// The distance between the tops of the editor's first two rows, in pixels.
int RowPitch(HWND Editor) {
    const auto Second = static_cast<WPARAM>(SendMessageW(Editor, EM_LINEINDEX, 1, 0));
    const LRESULT First = SendMessageW(Editor, EM_POSFROMCHAR, 0, 0);
    return static_cast<short>(HIWORD(SendMessageW(Editor, EM_POSFROMCHAR, Second, 0))) -
           static_cast<short>(HIWORD(First));
}

bool SameText(std::wstring_view A, std::wstring_view B) {
    return CompareStringOrdinal(A.data(), static_cast<int>(A.size()), B.data(),
                                static_cast<int>(B.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ProcessImagePath(DWORD ProcessId) {
    const HANDLE Process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessId);
    if (Process == nullptr) {
        return {};
    }
    std::wstring Path(MAX_PATH * 4, L'\0');
    auto Size = static_cast<DWORD>(Path.size());
    Path.resize(QueryFullProcessImageNameW(Process, 0, Path.data(), &Size) != FALSE ? Size : 0);
    CloseHandle(Process);
    return Path;
}

class KestraneTest : public ::testing::Test {
protected:
    void SetUp() override {
        Folder = UniqueFolder();
        ASSERT_TRUE(std::filesystem::create_directories(std::filesystem::path(Folder) / L"Env"));
        ASSERT_NE(CopyFileW((ProgramFolder() + L"kestrane.exe").c_str(), Program().c_str(), TRUE),
                  FALSE);
    }

    void TearDown() override {
        EndPrograms();
        std::error_code Ignored;
        std::filesystem::remove_all(std::filesystem::path(Folder), Ignored);
    }

    std::wstring Program() const { return Folder + L"kestrane.exe"; }
    std::wstring PathOf(const std::wstring& Name) const { return Folder + Name; }
    std::wstring EnvPath(const std::wstring& Name) const { return Folder + L"Env\\" + Name; }
    static std::wstring TitleFor(const std::wstring& Path) { return Path + kTitleSuffix; }

    std::wstring CreateTextFile(const std::wstring& Name, std::string_view Bytes) const {
        WriteBytes(PathOf(Name), Bytes);
        return PathOf(Name);
    }

    // Starts the program with these parameters; answers its process (closed by the fixture).
    HANDLE Start(const std::vector<std::wstring>& Parameters) {
        std::wstring CommandLine = L"\"" + Program() + L"\"";
        for (const std::wstring& Parameter : Parameters) {
            CommandLine += L" \"" + Parameter + L"\"";
        }
        STARTUPINFOW Startup{};
        Startup.cb = sizeof(Startup);
        PROCESS_INFORMATION Process{};
        // Under a loaded emulator a start can fail now and then; it is tried again.
        if (!WaitUntil(
                [&] {
                    return CreateProcessW(Program().c_str(), CommandLine.data(), nullptr, nullptr,
                                          FALSE, 0, nullptr, Folder.c_str(), &Startup,
                                          &Process) != FALSE;
                },
                5s)) {
            ADD_FAILURE() << "kestrane.exe could not be started: error " << GetLastError();
            return nullptr;
        }
        CloseHandle(Process.hThread);
        FStarted.push_back(Process.hProcess);
        return Process.hProcess;
    }

    static bool WaitForExit(HANDLE Process) {
        return WaitForSingleObject(Process, static_cast<DWORD>(kTimeout / 1ms)) == WAIT_OBJECT_0;
    }

    // Every running process of this test's copy of the program, also those it started itself.
    std::vector<DWORD> RunningPrograms() const {
        std::vector<DWORD> Found;
        const HANDLE Snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W Entry{};
        Entry.dwSize = sizeof(Entry);
        for (BOOL More = Process32FirstW(Snapshot, &Entry); More != FALSE;
             More = Process32NextW(Snapshot, &Entry)) {
            if (SameText(ProcessImagePath(Entry.th32ProcessID), Program())) {
                Found.push_back(Entry.th32ProcessID);
            }
        }
        CloseHandle(Snapshot);
        return Found;
    }

    void EndPrograms() {
        for (const DWORD ProcessId : RunningPrograms()) {
            const HANDLE Process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ProcessId);
            if (Process != nullptr) {
                TerminateProcess(Process, 1);
                WaitForSingleObject(Process, static_cast<DWORD>(kTimeout / 1ms));
                CloseHandle(Process);
            }
        }
        for (const HANDLE Process : FStarted) {
            CloseHandle(Process);
        }
        FStarted.clear();
    }

    // Ctrl+N in Window until one more process of the program runs: synthetic keys that arrive
    // while the foreground changes hands can be lost.
    bool PressNewFile(HWND Window) const {
        const std::size_t Before = RunningPrograms().size();
        return WaitUntil(
            [&] {
                BringForward(Window);
                PressKeys({VK_CONTROL, 'N'});
                return WaitUntil([&] { return RunningPrograms().size() > Before; }, 5s);
            },
            kTimeout);
    }

    std::wstring Folder;

private:
    std::vector<HANDLE> FStarted;
};

TEST_F(KestraneTest, ThreeFilesOnTheCommandLineOpenInThreeWindows) {
    const std::wstring First = CreateTextFile(L"first.vbs", "Dim first\r\n");
    const std::wstring Second = CreateTextFile(L"second.vbs", "Dim second\r\n");
    const std::wstring Third = CreateTextFile(L"三番目.TXT", "third\r\n");
    Start({First, Second, Third});

    for (const std::wstring& Path : {First, Second, Third}) {
        EXPECT_NE(WaitForMainWindow(TitleFor(Path)), nullptr) << WideToCp932(Path);
    }
    EXPECT_EQ(MainWindowTitles(),
              (std::set<std::wstring>{TitleFor(First), TitleFor(Second), TitleFor(Third)}));
    EXPECT_EQ(RunningPrograms().size(), 3U);
    const HWND ThirdWindow = VisibleMainWindow(TitleFor(Third));
    ASSERT_NE(ThirdWindow, nullptr);
    EXPECT_EQ(WindowText(EditorOf(ThirdWindow)), L"third\r\n");
    EXPECT_TRUE(WaitForText(StatusBoxOf(ThirdWindow), L"テキストファイル"));
}

TEST_F(KestraneTest, AFileThatCannotBeReadIsReportedAndANewFileStarts) {
    const HANDLE Process = Start({PathOf(L"missing.vbs")});
    const HWND Error = WaitForMessageBox(GetProcessId(Process));
    ASSERT_NE(Error, nullptr);
    EXPECT_EQ(TitleOf(Error), L"Kestrane");
    Click(Error, IDOK);
    const HWND Window = WaitForMainWindow(L"新規[1]" + std::wstring(kTitleSuffix));
    ASSERT_NE(Window, nullptr);
    EXPECT_TRUE(WaitForText(StatusBoxOf(Window), L"新規ファイル"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(PathOf(L"missing.vbs"))));
}

// The tool bar's paste button follows the clipboard through its change notifications: another
// program putting text there or emptying it is seen without the window polling the clipboard.
TEST_F(KestraneTest, ThePasteButtonFollowsTheClipboardOfOtherPrograms) {
    constexpr WPARAM kPasteButtonId = 7; // the data's seventh button, "貼り付け"
    const auto setClipboard = [](const wchar_t* Text) {
        if (OpenClipboard(nullptr) == FALSE) {
            return false;
        }
        EmptyClipboard();
        if (Text != nullptr) {
            const std::size_t bytes = (std::wcslen(Text) + 1) * sizeof(wchar_t);
            const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
            std::memcpy(GlobalLock(memory), Text, bytes);
            GlobalUnlock(memory);
            SetClipboardData(CF_UNICODETEXT, memory);
        }
        CloseClipboard();
        return true;
    };
    ASSERT_TRUE(setClipboard(nullptr));
    const std::wstring path = CreateTextFile(L"clip.vbs", "Dim clip\r\n");
    Start({path});
    const HWND window = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(window, nullptr);
    const HWND toolBar = FindWindowExW(window, nullptr, L"ToolbarWindow32", nullptr);
    const auto pasteEnabledBecomes = [toolBar](bool Enabled) {
        return WaitUntil(
            [&] {
                return (SendMessageW(toolBar, TB_ISBUTTONENABLED, kPasteButtonId, 0) != 0) ==
                       Enabled;
            },
            kTimeout);
    };
    EXPECT_TRUE(pasteEnabledBecomes(false));
    ASSERT_TRUE(setClipboard(L"text"));
    EXPECT_TRUE(pasteEnabledBecomes(true));
    ASSERT_TRUE(setClipboard(nullptr));
    EXPECT_TRUE(pasteEnabledBecomes(false));
}

TEST_F(KestraneTest, AFileShownElsewhereIsBroughtForwardAndTheNewProcessEnds) {
    const std::wstring Shown = CreateTextFile(L"shown.vbs", "Dim shown\r\n");
    const std::wstring Other = CreateTextFile(L"other.vbs", "Dim other\r\n");
    Start({Shown});
    const HWND ShownWindow = WaitForMainWindow(TitleFor(Shown));
    ASSERT_NE(ShownWindow, nullptr);
    Start({Other});
    const HWND OtherWindow = WaitForMainWindow(TitleFor(Other));
    ASSERT_NE(OtherWindow, nullptr);
    ASSERT_TRUE(BringForward(OtherWindow));

    const HANDLE Again = Start({Shown});
    ASSERT_TRUE(WaitForExit(Again));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == ShownWindow; }, kTimeout));
    EXPECT_EQ(MainWindowTitles(), (std::set<std::wstring>{TitleFor(Shown), TitleFor(Other)}));
    EXPECT_EQ(RunningPrograms().size(), 2U);
}

TEST_F(KestraneTest, NewFilesTakeTheFirstFreeNumber) {
    const auto NewFileTitle = [](int Number) {
        return L"新規[" + std::to_wstring(Number) + L"]" + kTitleSuffix;
    };
    Start({});
    const HWND FirstWindow = WaitForMainWindow(NewFileTitle(1));
    ASSERT_NE(FirstWindow, nullptr);
    EXPECT_TRUE(WaitForText(StatusBoxOf(FirstWindow), L"新規ファイル"));

    // Ctrl+N asks for a new process, which takes the next free number.
    for (const int Number : {2, 3}) {
        ASSERT_TRUE(PressNewFile(FirstWindow));
        ASSERT_NE(WaitForMainWindow(NewFileTitle(Number)), nullptr)
            << Number << ": " << RunningPrograms().size() << " processes, windows "
            << WideToCp932(JoinedTitles());
    }
    const HWND SecondWindow = VisibleMainWindow(NewFileTitle(2));
    PostMessageW(SecondWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntilClosed(SecondWindow));

    ASSERT_TRUE(PressNewFile(FirstWindow));
    EXPECT_NE(WaitForMainWindow(NewFileTitle(2)), nullptr);
    EXPECT_EQ(MainWindowTitles(),
              (std::set<std::wstring>{NewFileTitle(1), NewFileTitle(2), NewFileTitle(3)}));
}

TEST_F(KestraneTest, ClosingWithUnsavedChangesAsksWhetherToSave) {
    const std::string Original = "Dim a\r\nDim b\r\n";
    for (const int Answer : {IDNO, IDYES}) {
        SCOPED_TRACE(Answer == IDYES ? "Yes" : "No");
        const std::wstring Path =
            CreateTextFile(Answer == IDYES ? L"saved.vbs" : L"kept.vbs", Original);
        const HANDLE Process = Start({Path});
        const HWND Window = WaitForMainWindow(TitleFor(Path));
        ASSERT_NE(Window, nullptr);
        ASSERT_TRUE(Type(EditorOf(Window), L"x"));
        EXPECT_TRUE(WaitForText(StatusBoxOf(Window), L"変更あり"));
        const std::wstring Edited = WindowText(EditorOf(Window));

        PostMessageW(Window, WM_CLOSE, 0, 0);
        const HWND Question = WaitForMessageBox(ProcessOf(Window));
        ASSERT_NE(Question, nullptr);
        EXPECT_NE(DialogText(Question).find(L"このファイルの変更を保存しますか？"),
                  std::wstring::npos);
        Click(Question, Answer);
        ASSERT_TRUE(WaitForExit(Process));
        EXPECT_EQ(ReadBytes(Path), Answer == IDYES ? WideToCp932(Edited) : Original);
    }
}

TEST_F(KestraneTest, ASaveThatFailsWhileClosingIsShownAndTheWindowStaysOpen) {
    std::filesystem::create_directory(std::filesystem::path(PathOf(L"gone")));
    const std::wstring Path = CreateTextFile(L"gone\\script.vbs", "Dim a\r\n");
    Start({Path});
    const HWND Window = WaitForMainWindow(TitleFor(Path));
    ASSERT_NE(Window, nullptr);
    ASSERT_TRUE(Type(EditorOf(Window), L"x"));
    std::filesystem::remove_all(std::filesystem::path(PathOf(L"gone")));

    PostMessageW(Window, WM_CLOSE, 0, 0);
    const HWND Question = WaitForMessageBox(ProcessOf(Window));
    ASSERT_NE(Question, nullptr);
    Click(Question, IDYES);
    ASSERT_TRUE(WaitUntilClosed(Question));
    const HWND Error = WaitForMessageBox(ProcessOf(Window));
    ASSERT_NE(Error, nullptr);
    EXPECT_EQ(TitleOf(Error), L"Kestrane");
    Click(Error, IDOK);
    ASSERT_TRUE(WaitUntilClosed(Error));

    EXPECT_EQ(VisibleMainWindow(TitleFor(Path)), Window);
    EXPECT_TRUE(WaitForText(StatusBoxOf(Window), L"変更あり"));
}

TEST_F(KestraneTest, QuitAllClosesEveryWindowAndEachAsksAboutItsChanges) {
    const std::wstring First = CreateTextFile(L"first.vbs", "Dim first\r\n");
    const std::wstring Changed = CreateTextFile(L"changed.vbs", "Dim changed\r\n");
    Start({First, Changed});
    const HWND FirstWindow = WaitForMainWindow(TitleFor(First));
    const HWND ChangedWindow = WaitForMainWindow(TitleFor(Changed));
    Start({});
    const HWND NewWindow = WaitForMainWindow(L"新規[1]" + std::wstring(kTitleSuffix));
    ASSERT_TRUE(FirstWindow != nullptr && ChangedWindow != nullptr && NewWindow != nullptr);
    ASSERT_TRUE(Type(EditorOf(ChangedWindow), L"x"));

    // "全て終了(&Q)" through the menu's access keys: Alt+F, then Q.
    ASSERT_TRUE(BringForward(FirstWindow));
    PressKeys({VK_MENU, 'F'});
    PressKeys({'Q'});
    const HWND Question = WaitForMessageBox(ProcessOf(ChangedWindow));
    ASSERT_NE(Question, nullptr);
    EXPECT_NE(DialogText(Question).find(L"このファイルの変更を保存しますか？"), std::wstring::npos);
    Click(Question, IDCANCEL);

    EXPECT_TRUE(WaitUntilClosed(FirstWindow));
    EXPECT_TRUE(WaitUntilClosed(NewWindow));
    EXPECT_EQ(MainWindowTitles(), std::set<std::wstring>{TitleFor(Changed)});
    EXPECT_EQ(ReadBytes(Changed), "Dim changed\r\n");
}

TEST_F(KestraneTest, SettingsWrittenAtExitAreReadAtTheNextStart) {
    const std::wstring Script = CreateTextFile(L"rows.vbs", "Dim a\r\nDim b\r\n");
    const std::wstring Settings = EnvPath(L"kst.ini");

    const HANDLE First = Start({Script});
    const HWND FirstWindow = WaitForMainWindow(TitleFor(Script));
    ASSERT_NE(FirstWindow, nullptr);
    EXPECT_EQ(WindowSizeOf(FirstWindow), (TSize{600, 500}));
    const int DefaultPitch = RowPitch(EditorOf(FirstWindow));
    SetWindowPos(FirstWindow, nullptr, 0, 0, 640, 420, SWP_NOMOVE | SWP_NOZORDER);
    PostMessageW(FirstWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForExit(First));
    EXPECT_EQ(GetPrivateProfileIntW(L"Wind", L"gWidth", 0, Settings.c_str()), 640U);
    EXPECT_EQ(GetPrivateProfileIntW(L"Wind", L"gHeight", 0, Settings.c_str()), 420U);
    EXPECT_EQ(GetPrivateProfileIntW(L"Option", L"gFontSize", 0, Settings.c_str()), 12U);
    EXPECT_EQ(ReadBytes(EnvPath(L"FHist.dat")), WideToCp932(Script) + "\r\n");

    ASSERT_NE(WritePrivateProfileStringW(L"Option", L"gFontSize", L"24", Settings.c_str()), FALSE);
    Start({Script});
    const HWND SecondWindow = WaitForMainWindow(TitleFor(Script));
    ASSERT_NE(SecondWindow, nullptr);
    EXPECT_EQ(WindowSizeOf(SecondWindow), (TSize{640, 420}));
    EXPECT_GE(RowPitch(EditorOf(SecondWindow)), DefaultPitch * 3 / 2);
}

TEST_F(KestraneTest, SavesAScreenshotOfTheMainWindow) {
    const std::wstring Sample = PathOf(L"sample.vbs");
    ASSERT_NE(CopyFileW((ProgramFolder() + L"sample.vbs").c_str(), Sample.c_str(), FALSE), FALSE);
    Start({Sample});
    const HWND Window = WaitForMainWindow(TitleFor(Sample));
    ASSERT_NE(Window, nullptr);
    EXPECT_EQ(WindowText(EditorOf(Window)), Cp932ToWide(ReadBytes(Sample)));
    EXPECT_TRUE(WaitForText(StatusBoxOf(Window), L"VBSファイル"));

    BringForward(Window);
    RedrawWindow(Window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    TImage Image;
    EXPECT_TRUE(WaitUntil(
        [&] {
            Image = CaptureWindow(Window);
            return ColourCount(Image) > 8;
        },
        10s));
    EXPECT_TRUE(WritePng(ProgramFolder() + L"main_window.png", Image));
}

} // namespace

} // namespace kst::e2e
