// End-to-end tests of running scripts from kestrane.exe under the system's own script hosts:
// running, running at a console with the output in the results list, stopping, and the script
// host's version.
#include "kestrane_driver.h"
#include "win32/utf.h"

#include <chrono>
#include <filesystem>
#include <iostream>

namespace kst::e2e {

namespace {

using namespace std::chrono_literals;

class ScriptRunnerTest : public KestraneTest {
protected:
    // Starts the program on Script and answers its window once it shows the script idle.
    HWND Open(const std::wstring& Script) {
        Start({Script});
        const HWND window = WaitForMainWindow(TitleFor(Script));
        if (window != nullptr) {
            EXPECT_TRUE(WaitForText(StatusBoxOf(window), L"VBSファイル"));
        }
        return window;
    }
    // The script host the program started; 0 while none runs.
    DWORD ScriptHost() const {
        const std::vector<DWORD> hosts = ChildProcesses(L"wscript.exe");
        return hosts.empty() ? 0 : hosts.front();
    }
    // Shift+F8 until the results list holds Count entries, the last one the exit code's.
    static bool RunAtConsole(HWND Window, std::size_t Count) {
        return PressUntil(Window, {{VK_SHIFT, VK_F8}}, [&] { return OutputEnded(Window, Count); });
    }
    static bool OutputEnded(HWND Window, std::size_t Count) {
        const std::vector<std::wstring> items = ListItems(ResultsListOf(Window));
        return items.size() == Count && items.back().starts_with(L"> 終了コード ");
    }
    // F8 until the script host runs; answers it.
    DWORD Run(HWND Window) const {
        DWORD host = 0;
        PressUntil(Window, {{VK_F8}}, [&] { return (host = ScriptHost()) != 0; });
        return host;
    }
    // Whether the editor takes a character sent to it (answered once it has handled it).
    static bool TakesCharacter(HWND Editor) {
        const std::wstring before = WindowText(Editor);
        SendMessageTimeoutW(Editor, WM_CHAR, L'x', 1, SMTO_BLOCK, 5000, nullptr);
        return WindowText(Editor) != before;
    }
    // The window that shows the caret of Window's thread; null when there is none.
    static HWND CaretOf(HWND Window) {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        GetGUIThreadInfo(GetWindowThreadProcessId(Window, nullptr), &thread);
        return thread.hwndCaret;
    }
    static bool HasEnded(DWORD ProcessId) {
        const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, ProcessId);
        if (process == nullptr) {
            return true;
        }
        const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        CloseHandle(process);
        return ended;
    }
    // Presses Ctrl+Q and answers the question that follows.
    static void AnswerStop(HWND Window, int Answer) {
        HWND question = nullptr;
        ASSERT_TRUE(PressUntil(Window, {{VK_CONTROL, 'Q'}}, [&] {
            return (question = MessageBoxOf(ProcessOf(Window))) != nullptr;
        }));
        EXPECT_NE(DialogText(question).find(L"スクリプトを強制終了させますか？"),
                  std::wstring::npos);
        Click(question, Answer);
        ASSERT_TRUE(WaitUntilClosed(question));
    }
};

// The script ends while the window's own message box is up; the window is restored when the box
// is closed.
TEST_F(ScriptRunnerTest, TheEditorIsReadOnlyWhileAScriptRunsAndWritableAfterItsEnd) {
    const std::wstring script = CreateTextFile(
        L"実行 テスト.vbs", "Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
                            "folder = fso.GetParentFolderName(WScript.ScriptFullName)\r\n"
                            "fso.CreateTextFile(folder & \"\\marker.txt\", True).Close\r\n"
                            "MsgBox \"running\"\r\n");
    const HWND window = Open(script);
    ASSERT_NE(window, nullptr);
    const DWORD host = Run(window);
    ASSERT_NE(host, 0U);
    EXPECT_TRUE(WaitUntil(
        [&] { return std::filesystem::exists(std::filesystem::path(PathOf(L"marker.txt"))); },
        kTimeout));
    const HWND scriptBox = WaitForMessageBox(host);
    ASSERT_NE(scriptBox, nullptr);
    EXPECT_TRUE(WaitForText(StatusBoxOf(window), L"スクリプト実行中"));
    EXPECT_FALSE(TakesCharacter(EditorOf(window)));

    PostMessageW(window, WM_CLOSE, 0, 0);
    const HWND refusal = WaitForMessageBox(ProcessOf(window));
    ASSERT_NE(refusal, nullptr);
    EXPECT_NE(DialogText(refusal).find(L"スクリプト実行中です"), std::wstring::npos);
    Click(scriptBox, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return HasEnded(host); }, kTimeout));
    Click(refusal, IDOK);

    EXPECT_TRUE(WaitForText(StatusBoxOf(window), L"VBSファイル"));
    EXPECT_TRUE(TakesCharacter(EditorOf(window)));
    EXPECT_EQ(VisibleMainWindow(TitleFor(script)), window);
}

TEST_F(ScriptRunnerTest, StopEndsARunningScriptOnlyWhenAnsweredYes) {
    const HWND window = Open(CreateTextFile(L"loop.vbs", "Do\r\nLoop\r\n"));
    ASSERT_NE(window, nullptr);
    const DWORD host = Run(window);
    ASSERT_NE(host, 0U);
    EXPECT_TRUE(WaitForText(StatusBoxOf(window), L"スクリプト実行中"));

    AnswerStop(window, IDNO);
    // A message the window answers after the Stop command has returned.
    WindowText(EditorOf(window));
    EXPECT_FALSE(HasEnded(host));
    EXPECT_EQ(WindowText(StatusBoxOf(window)), L"スクリプト実行中");

    AnswerStop(window, IDYES);
    EXPECT_TRUE(WaitUntil([&] { return HasEnded(host); }, kTimeout));
    EXPECT_TRUE(WaitForText(StatusBoxOf(window), L"VBSファイル"));
    EXPECT_TRUE(TakesCharacter(EditorOf(window)));
}

// Japanese text comes through where the script host and the console share the Japanese code
// page.
TEST_F(ScriptRunnerTest, AConsoleRunListsTheOutputAndAnErrorLineJumpsToItsPlace) {
    const std::wstring error = L"(2, 3) Microsoft VBScript runtime error: test";
    const std::wstring script = CreateTextFile(
        L"console.vbs", win32::WideToText(L"WScript.Echo \"first line\"\r\n"
                                          L"WScript.Echo \"日本語の行\"\r\n"
                                          L"WScript.Echo WScript.ScriptFullName & \"" +
                                          error +
                                          L"\"\r\n"
                                          L"WScript.Quit 3\r\n"));
    const HWND window = Open(script);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(RunAtConsole(window, 4));
    const HWND list = ResultsListOf(window);
    const std::vector<std::wstring> items = ListItems(list);
    EXPECT_EQ(items[0], L"first line");
    if (GetOEMCP() == 932 && GetACP() == 932) {
        EXPECT_EQ(items[1], L"日本語の行");
    }
    EXPECT_TRUE(items[2].ends_with(L"console.vbs" + error)) << items[2];
    EXPECT_EQ(items[3], L"> 終了コード 3");
    EXPECT_TRUE(WaitForText(StatusBoxOf(window), L"VBSファイル"));

    const HWND editor = EditorOf(window);
    const auto place = static_cast<DWORD>(SendMessageW(editor, EM_LINEINDEX, 1, 0)) + 2;
    DoubleClickItem(list, 2);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return EditorSelection(editor) == std::pair{place, place};
        },
        kTimeout));
}

// The script waits for a child that never ends.
TEST_F(ScriptRunnerTest, StopEndsAConsoleRunWithTheProcessesItStarted) {
    CreateTextFile(L"child.vbs", "Do\r\nLoop\r\n");
    const std::wstring script = CreateTextFile(
        L"parent.vbs", "Set shell = CreateObject(\"WScript.Shell\")\r\n"
                       "child = Replace(WScript.ScriptFullName, \"parent.vbs\", \"child.vbs\")\r\n"
                       "WScript.Echo \"started\"\r\n"
                       "shell.Run \"cscript.exe //nologo \"\"\" & child & \"\"\"\", 0, True\r\n");
    const HWND window = Open(script);
    ASSERT_NE(window, nullptr);
    std::vector<DWORD> hosts;
    ASSERT_TRUE(PressUntil(window, {{VK_SHIFT, VK_F8}},
                           [&] { return (hosts = ChildProcesses(L"cscript.exe")).size() == 2; }));
    const HWND list = ResultsListOf(window);
    EXPECT_TRUE(WaitUntil([&] { return ListItems(list) == std::vector<std::wstring>{L"started"}; },
                          kTimeout));
    EXPECT_EQ(WindowText(StatusBoxOf(window)), L"スクリプト実行中");

    AnswerStop(window, IDYES);
    for (const DWORD host : hosts) {
        EXPECT_TRUE(WaitUntil([&] { return HasEnded(host); }, kTimeout)) << "process " << host;
        // A child that outlived its parent is no longer known as the program's.
        EndProcess(host);
    }
    EXPECT_TRUE(WaitUntil([&] { return OutputEnded(window, 2); }, kTimeout));
    EXPECT_EQ(ListItem(list, 1), L"> 終了コード 1");
    EXPECT_TRUE(WaitForText(StatusBoxOf(window), L"VBSファイル"));
    EXPECT_TRUE(TakesCharacter(EditorOf(window)));
}

// The window is killed, so that nothing of its own ends the scripts: what a console run started
// ends with it, while what an ended run left behind runs on. The child is a windowed host, which
// shares no console with the run's; the scripts wait without WScript.Sleep, on which Wine's
// script hosts end silently.
TEST_F(ScriptRunnerTest, TheEditorsEndEndsWhatAConsoleRunStartedButNotWhatAnEndedOneLeft) {
    CreateTextFile(L"child.vbs", "Do\r\nLoop\r\n");
    const std::wstring script = CreateTextFile(
        L"parent.vbs",
        "Set shell = CreateObject(\"WScript.Shell\")\r\n"
        "Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
        "folder = fso.GetParentFolderName(WScript.ScriptFullName)\r\n"
        "shell.Run \"wscript.exe //nologo \"\"\" & folder & \"\\child.vbs\"\"\", 0, False\r\n"
        "Do Until fso.FileExists(folder & \"\\go.txt\")\r\n"
        "Loop\r\n");
    // The program with the script's child running; answers the child.
    const auto runAtConsole = [&](HANDLE& Editor, HWND& Window) {
        Editor = Start({script});
        Window = WaitForMainWindow(TitleFor(script));
        std::vector<DWORD> children;
        if (Window != nullptr) {
            PressUntil(Window, {{VK_SHIFT, VK_F8}},
                       [&] { return !(children = ChildProcesses(L"wscript.exe")).empty(); });
        }
        return children.empty() ? 0 : children.front();
    };
    const auto kill = [](HANDLE Editor) {
        return TerminateProcess(Editor, 1) != FALSE && WaitForExit(Editor);
    };
    HANDLE editor = nullptr;
    HWND window = nullptr;
    DWORD child = runAtConsole(editor, window);
    ASSERT_NE(child, 0U);
    ASSERT_TRUE(kill(editor));
    EXPECT_TRUE(WaitUntil([&] { return HasEnded(child); }, kTimeout));
    EndProcess(child);

    child = runAtConsole(editor, window);
    ASSERT_NE(child, 0U);
    WriteBytes(PathOf(L"go.txt"), "");
    ASSERT_TRUE(WaitUntil([&] { return OutputEnded(window, 1); }, kTimeout));
    const HANDLE running = OpenProcess(SYNCHRONIZE, FALSE, child);
    ASSERT_TRUE(kill(editor));
    EXPECT_EQ(WaitForSingleObject(running, 2000), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(running);
    EndProcess(child);
}

// A million short lines: the host can end only once the window has read them, and nothing but
// the pipe wakes the window meanwhile (the test waits on the host without a message).
TEST_F(ScriptRunnerTest, AConsoleRunReadsAFloodOfBareLineFeedsAsItArrives) {
    const HWND window = Open(CreateTextFile(L"flood.vbs", "WScript.Echo String(999999, vbLf)\r\n"));
    ASSERT_NE(window, nullptr);
    // With the focus in the list and the window minimized, no caret blinks and no list repaints
    // to wake it.
    ASSERT_TRUE(PressUntil(window, {{VK_CONTROL, 'M'}, {VK_F12}},
                           [&] { return CaretOf(window) == nullptr; }));
    std::vector<DWORD> hosts;
    ASSERT_TRUE(PressUntil(window, {{VK_SHIFT, VK_F8}},
                           [&] { return !(hosts = ChildProcesses(L"cscript.exe")).empty(); }));
    ShowWindow(window, SW_MINIMIZE);
    const auto start = std::chrono::steady_clock::now();
    const HANDLE host = OpenProcess(SYNCHRONIZE, FALSE, hosts.front());
    if (host != nullptr) {
        EXPECT_EQ(WaitForSingleObject(host, 5000), WAIT_OBJECT_0) << "the host waits on its pipe";
        CloseHandle(host);
    }
    std::cout << "A million bare line feeds read in "
              << std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - start)
                     .count()
              << " ms\n";
    const HWND list = ResultsListOf(window);
    constexpr LRESULT kEntries = 1'000'000 + 1;
    EXPECT_TRUE(
        WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == kEntries; }, kTimeout));
    EXPECT_EQ(ListItem(list, kEntries - 1), L"> 終了コード 0");
}

TEST_F(ScriptRunnerTest, TheVersionCommandShowsTheScriptHostsBox) {
    Start({});
    const HWND window = WaitForMainWindow(L"新規[1]" + std::wstring(kTitleSuffix));
    ASSERT_NE(window, nullptr);
    DWORD host = 0;
    // "WSHのバージョン等の表示(&V)" through the menu's access keys: Alt+T, then V.
    ASSERT_TRUE(
        PressUntil(window, {{VK_MENU, 'T'}, {'V'}}, [&] { return (host = ScriptHost()) != 0; }));
    const HWND box = WaitForMessageBox(host);
    ASSERT_NE(box, nullptr);
    const std::wstring text = DialogText(box);
    EXPECT_NE(text.find(L" ( Build : "), std::wstring::npos);
    EXPECT_NE(text.find(L"wscript.exe"), std::wstring::npos);
    Click(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return HasEnded(host); }, kTimeout));
    EXPECT_TRUE(WaitForText(StatusBoxOf(window), L"新規ファイル"));
}

} // namespace

} // namespace kst::e2e
