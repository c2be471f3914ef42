// End-to-end tests of the script tools in kestrane.exe: formatting with Ctrl+T and its undo,
// commenting and uncommenting with F5 and F6, the syntax check (F7) and the procedure list (F2).
#include "host_process.h"
#include "kestrane_driver.h"
#include "win32/utf.h"

namespace kst::e2e {

namespace {

using win32::TextToWide;
using win32::WideToText;

TEST_F(KestraneTest, FormattingIsSavedAndCtrlZTakesItBack) {
    const std::string messy = "Sub Main()\r\n\tIf a Then\r\nb = 1  \r\n   End If\r\nEnd Sub";
    const std::string formatted =
        "Sub Main()\r\n\tIf a Then\r\n\t\tb = 1\r\n\tEnd If\r\nEnd Sub\r\n";
    const std::wstring path = CreateTextFile(L"messy.vbs", messy);
    Start({path});
    const HWND window = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(window, nullptr);
    const HWND editor = EditorOf(window);

    ASSERT_TRUE(PressUntil(window, {{VK_CONTROL, 'T'}}, [&] {
        return WindowText(editor) == TextToWide(formatted);
    })) << WideToText(WindowText(editor));
    EXPECT_TRUE(WaitForText(StatusBoxOf(window), L"変更あり"));
    ASSERT_TRUE(
        PressUntil(window, {{VK_CONTROL, 'S'}}, [&] { return ReadBytes(path) == formatted; }));
    ASSERT_TRUE(PressUntil(window, {{VK_CONTROL, 'Z'}}, [&] {
        return WindowText(editor) == TextToWide(messy);
    })) << WideToText(WindowText(editor));
}

TEST_F(KestraneTest, F5AndF6CommentAndUncommentTheSelectedLines) {
    const std::string original = "Dim a\r\nDim b\r\nDim c\r\n";
    const std::wstring path = CreateTextFile(L"lines.vbs", original);
    Start({path});
    const HWND window = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(window, nullptr);
    const HWND editor = EditorOf(window);
    // From the start of the first line into the second.
    SendMessageW(editor, EM_SETSEL, 0, 10);

    PostMessageW(editor, WM_KEYDOWN, VK_F5, 0);
    EXPECT_TRUE(WaitForText(editor, L"'Dim a\r\n'Dim b\r\nDim c\r\n"));
    EXPECT_EQ(EditorSelection(editor), (std::pair<DWORD, DWORD>{1, 12}));
    PostMessageW(editor, WM_KEYDOWN, VK_F6, 0);
    EXPECT_TRUE(WaitForText(editor, TextToWide(original)));
    EXPECT_EQ(EditorSelection(editor), (std::pair<DWORD, DWORD>{0, 10}));
}

// Typed, a line's problem is found after a pause and told in the status bar's last part while
// the caret stands on its line.
TEST_F(KestraneTest, ATypedMistakeIsToldInTheStatusBarOnItsLine) {
    const std::wstring path = CreateTextFile(L"typed.vbs", "");
    Start({path});
    const HWND window = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(window, nullptr);
    const HWND editor = EditorOf(window);
    constexpr int kProblemPart = 3;

    ASSERT_TRUE(Type(editor, L"If x = 1"));
    PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(WaitForText(editor, L"If x = 1\r\n"));
    SendMessageW(editor, EM_SETSEL, 0, 0);
    EXPECT_TRUE(WaitUntil(
        [&] { return StatusBarText(window, kProblemPart) == L"'Then' がありません"; }, kTimeout))
        << win32::WideToUtf8(StatusBarText(window, kProblemPart));
}

TEST_F(KestraneTest, F7AndF2ListTheProblemsAndTheProceduresAndAJumpGoesToTheLine) {
    const std::wstring path = CreateTextFile(L"structure.vbs", "Sub Main()\r\n"
                                                               "\tIf InStr(s, \"then\") Then\r\n"
                                                               "End Sub\r\n"
                                                               "Function F()\r\n"
                                                               "End Function\r\n");
    Start({path});
    const HWND window = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(window, nullptr);
    const HWND editor = EditorOf(window);
    const HWND list = ResultsListOf(window);
    const auto caretOnLine = [editor](int Line) {
        const auto start = static_cast<DWORD>(SendMessageW(editor, EM_LINEINDEX, Line, 0));
        return WaitUntil(
            [&] {
                return EditorSelection(editor) == std::pair{start, start};
            },
            kTimeout);
    };

    // The engine's error first, in the words of the own problem at its place (Wine's engine
    // gives no descriptions).
    const std::vector<std::wstring> problems = {
        L"[0003] : (エンジン) 2行目の If が閉じられる前に End Sub があります",
        L"[0003] : 2行目の If が閉じられる前に End Sub があります", L"> [2]件の問題"};
    ASSERT_TRUE(PressUntil(window, {{VK_F7}}, [&] { return ListItems(list) == problems; }))
        << WideToText(ListItem(list, 0));
    DoubleClickItem(list, 1);
    EXPECT_TRUE(caretOnLine(2));

    const std::vector<std::wstring> procedures = {L"[0001] : Sub Main()", L"[0004] : Function F()",
                                                  L"> [2]件"};
    ASSERT_TRUE(PressUntil(window, {{VK_F2}}, [&] { return ListItems(list) == procedures; }));
    DoubleClickItem(list, 1);
    EXPECT_TRUE(caretOnLine(3));
}

TEST_F(KestraneTest, F7CompilesTheScriptWithTheEngineAndRunsNoneOfIt) {
    const std::wstring made = PathOf(L"made.txt");
    const std::wstring path =
        CreateTextFile(L"creates.vbs", "Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
                                       "fso.CreateTextFile(\"" +
                                           WideToText(made) + "\").Close\r\n");
    Start({path});
    const HWND window = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(window, nullptr);
    // The summary comes with the engine's verdict.
    ASSERT_TRUE(PressUntil(window, {{VK_F7}}, [&] {
        return ListItems(ResultsListOf(window)) == std::vector<std::wstring>{L"> 問題はありません"};
    }));
    EXPECT_EQ(GetFileAttributesW(made.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace

} // namespace kst::e2e
