// End-to-end tests of search, replace and go to line in kestrane.exe: the dialogs driven through
// their controls, the results list read back and clicked, and the marks over the drawn rows.
#include "host_process.h"
#include "kestrane_driver.h"
#include "screenshot.h"
#include "win32/dialogs_win32.h"
#include "win32/utf.h"

namespace kst::e2e {

namespace {

using namespace std::chrono_literals;
using win32::TextToWide;
using win32::WideToText;

// Characters typed into a control of the program.
void TypeInto(HWND Control, std::wstring_view Characters) {
    for (const wchar_t character : Characters) {
        PostMessageW(Control, WM_CHAR, character, 1);
    }
}

// The edit box inside a dialog's combo box.
HWND ComboEditOf(HWND Dialog, int Id) {
    return FindWindowExW(GetDlgItem(Dialog, Id), nullptr, L"Edit", nullptr);
}

// The dialog titled Title that a process shows; null when none shows in time.
// Null when no dialog of that title came in time.
HWND WaitForDialog(DWORD ProcessId, const std::wstring& Title) {
    HWND dialog = nullptr;
    const bool came = WaitUntil(
        [&] {
            dialog = MessageBoxOf(ProcessId);
            return dialog != nullptr && TitleOf(dialog) == Title;
        },
        kTimeout);
    return came ? dialog : nullptr;
}

class SearchTest : public KestraneTest {
protected:
    // Starts the program on a script and waits for its window.
    HWND StartOn(const std::wstring& Name, const std::wstring& Text) {
        FScript = CreateTextFile(Name, WideToText(Text));
        Start({FScript});
        const HWND window = WaitForMainWindow(TitleFor(FScript));
        EXPECT_TRUE(window != nullptr && BringForward(window));
        return window;
    }

    // Ctrl+F, the word typed into the dialog's word box, then "検索".
    static bool SearchFor(HWND Window, std::wstring_view Word) {
        PressKeys({VK_CONTROL, 'F'});
        const HWND dialog = WaitForDialog(ProcessOf(Window), L"検索");
        if (dialog == nullptr) {
            return false;
        }
        TypeInto(ComboEditOf(dialog, win32::idSearchWord), Word);
        if (!WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; },
                       kTimeout)) {
            return false;
        }
        Click(dialog, IDOK);
        return WaitUntilClosed(dialog);
    }

    std::wstring FScript;
};

TEST_F(SearchTest, SearchListsTheHitLinesAndADoubleClickJumpsToOne) {
    const HWND window = StartOn(L"search.vbs", L"Dim a\r\n"
                                               L"\tMsgBox a\r\n"
                                               L"a = 1\r\n"
                                               L"msgbox \"全角\"\r\n");
    ASSERT_NE(window, nullptr);
    const HWND list = ResultsListOf(window);
    EXPECT_EQ(IsWindowVisible(list), FALSE);
    ASSERT_TRUE(SearchFor(window, L"MSGBOX"));
    ASSERT_TRUE(WaitUntil([&] { return ListItems(list).size() == 3; }, kTimeout));
    EXPECT_EQ(ListItems(list),
              (std::vector<std::wstring>{L"[0002] :   MsgBox a", L"[0004] : msgbox \"全角\"",
                                         L"> [2]行ヒット"}));
    EXPECT_NE(IsWindowVisible(list), FALSE);
    // Found as in any list of strings, case aside, by another program.
    const struct {
        UINT Message;
        WPARAM After;
        const wchar_t* Text;
        LRESULT Found;
    } finds[] = {
        {LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), L"[0004] : MSGBOX \"全角\"", 1},
        {LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), L"[0004] : msgbox", LB_ERR},
        {LB_FINDSTRING, 1, L"[0002]", 0},
        {LB_FINDSTRING, static_cast<WPARAM>(-1), L"> [2]", 2},
    };
    for (const auto& find : finds) {
        EXPECT_EQ(SendMessageW(list, find.Message, find.After, reinterpret_cast<LPARAM>(find.Text)),
                  find.Found)
            << find.Text;
    }
    // A typed character selects the next entry starting with it.
    PostMessageW(list, WM_CHAR, L'>', 1);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 2; }, kTimeout));

    const HWND editor = EditorOf(window);
    const auto fourthLine = static_cast<DWORD>(SendMessageW(editor, EM_LINEINDEX, 3, 0));
    DoubleClickItem(list, 1);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return EditorSelection(editor) == std::pair{fourthLine, fourthLine};
        },
        kTimeout));

    // Ctrl+G to line 3.
    PressKeys({VK_CONTROL, 'G'});
    const HWND goLine = WaitForDialog(ProcessOf(window), L"指定行へジャンプ");
    ASSERT_NE(goLine, nullptr);
    TypeInto(GetDlgItem(goLine, win32::idGoLineNumber), L"3");
    ASSERT_TRUE(WaitForText(GetDlgItem(goLine, win32::idGoLineNumber), L"3"));
    Click(goLine, IDOK);
    const auto thirdLine = static_cast<DWORD>(SendMessageW(editor, EM_LINEINDEX, 2, 0));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return EditorSelection(editor) == std::pair{thirdLine, thirdLine};
        },
        kTimeout));
}

// A long list fills in over several idle steps: every entry arrives once, in order.
TEST_F(SearchTest, ALongResultsListArrivesWhole) {
    std::wstring text;
    for (int line = 0; line < 12'000; ++line) {
        text += L"Dim v\r\n";
    }
    const HWND window = StartOn(L"long.vbs", text);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(SearchFor(window, L"dim"));
    const HWND list = ResultsListOf(window);
    ASSERT_TRUE(
        WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) >= 12'001; }, kTimeout));
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 12'001);
    EXPECT_EQ(ListItem(list, 0), L"[0001] : Dim v");
    EXPECT_EQ(ListItem(list, 4'999), L"[5000] : Dim v");
    EXPECT_EQ(ListItem(list, 5'000), L"[5001] : Dim v");
    EXPECT_EQ(ListItem(list, 11'999), L"[12000] : Dim v");
    EXPECT_EQ(ListItem(list, 12'000), L"> [12000]行ヒット");
}

TEST_F(SearchTest, ReplaceAllWithoutAskingThenSaveWritesTheFile) {
    const HWND window = StartOn(L"replace.vbs", L"MsgBox 1\r\nx = 2 ' msgbox\r\nMSGBOX 3\r\n");
    ASSERT_NE(window, nullptr);
    // "置換(&R)" through the menu's access keys: Alt+S, then R.
    PressKeys({VK_MENU, 'S'});
    PressKeys({'R'});
    const HWND dialog = WaitForDialog(ProcessOf(window), L"置換");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, win32::idReplaceAnswer), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    TypeInto(ComboEditOf(dialog, win32::idSearchWord), L"msgbox");
    TypeInto(GetDlgItem(dialog, win32::idReplaceText), L"WFScript.Echo");
    ASSERT_TRUE(WaitForText(GetDlgItem(dialog, win32::idReplaceText), L"WFScript.Echo"));
    Click(dialog, win32::idReplaceAnswer);
    ASSERT_TRUE(WaitUntil(
        [&] {
            return SendMessageW(GetDlgItem(dialog, win32::idReplaceAnswer), BM_GETCHECK, 0, 0) ==
                   BST_UNCHECKED;
        },
        kTimeout));
    ASSERT_TRUE(
        WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, win32::idReplaceAll)) != FALSE; },
                  kTimeout));
    Click(dialog, win32::idReplaceAll);
    ASSERT_TRUE(WaitUntilClosed(dialog));

    const std::string replaced = "WFScript.Echo 1\r\nx = 2 ' WFScript.Echo\r\nWFScript.Echo 3\r\n";
    EXPECT_TRUE(WaitForText(EditorOf(window), TextToWide(replaced)));
    PressKeys({VK_CONTROL, 'S'});
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes(FScript) == replaced; }, kTimeout));

    // One undo takes every replacement back.
    PressKeys({VK_CONTROL, 'Z'});
    EXPECT_TRUE(WaitForText(EditorOf(window), L"MsgBox 1\r\nx = 2 ' msgbox\r\nMSGBOX 3\r\n"));
}

// A folder search lists the hits of every script; a hit in another file opens that file in a
// process of its own with the caret on the hit's line, and a second hit there moves that window's
// caret.
TEST_F(SearchTest, AFolderSearchOpensAHitInTheWindowOfItsFile) {
    ASSERT_NE(CreateDirectoryW(PathOf(L"scripts").c_str(), nullptr), FALSE);
    CreateTextFile(L"scripts\\b.vbs", "' b\r\n\r\nSet x = CreateObject(\"B.One\")\r\n\r\n"
                                      "Set y = CreateObject(\"B.Two\")\r\n");
    CreateTextFile(L"scripts\\c.bin", "CreateObject(\"NotAScript\")");
    const HWND window =
        StartOn(L"scripts\\a.vbs", L"Option Explicit\r\nSet s = CreateObject(\"A.One\")\r\n");
    ASSERT_NE(window, nullptr);
    // "フォルダから検索(&I)..." through the menu's access keys: Alt+S, then I.
    PressKeys({VK_MENU, 'S'});
    PressKeys({'I'});
    const HWND dialog = WaitForDialog(ProcessOf(window), L"フォルダから検索");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(WaitForText(GetDlgItem(dialog, win32::idFilesEdit), L"*.vbs;*.wsf;*.txt"));
    TypeInto(ComboEditOf(dialog, win32::idSearchWord), L"CreateObject\\(\"[^\"]*\"\\)");
    Click(dialog, win32::idSearchRegex);
    const std::wstring folder = PathOf(L"scripts");
    SetWindowTextW(GetDlgItem(dialog, win32::idFolderEdit), folder.c_str());
    ASSERT_TRUE(
        WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; }, kTimeout));
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitUntilClosed(dialog));

    const HWND list = ResultsListOf(window);
    ASSERT_TRUE(WaitUntil([&] { return ListItems(list).size() == 4; }, kTimeout));
    const std::wstring a = folder + L"\\a.vbs";
    const std::wstring b = folder + L"\\b.vbs";
    EXPECT_EQ(ListItems(list),
              (std::vector<std::wstring>{a + L"(2): Set s = CreateObject(\"A.One\")",
                                         b + L"(3): Set x = CreateObject(\"B.One\")",
                                         b + L"(5): Set y = CreateObject(\"B.Two\")",
                                         L"> [3]件 / [2]ファイル"}));

    DoubleClickItem(list, 1);
    const HWND other = WaitForMainWindow(TitleFor(b));
    ASSERT_NE(other, nullptr);
    const HWND editor = EditorOf(other);
    const auto lineIndex = [&](int Line) {
        return static_cast<DWORD>(SendMessageW(editor, EM_LINEINDEX, Line - 1, 0));
    };
    EXPECT_TRUE(WaitUntil(
        [&] {
            return EditorSelection(editor) == std::pair{lineIndex(3), lineIndex(3)};
        },
        kTimeout));

    BringForward(window);
    DoubleClickItem(list, 2);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return EditorSelection(editor) == std::pair{lineIndex(5), lineIndex(5)};
        },
        kTimeout));
    EXPECT_EQ(RunningPrograms().size(), 2U);
}

// Strings grey on white, double-byte characters on yellow, the search word's hits on lime.
TEST_F(SearchTest, SavesAScreenshotOfTheMarks) {
    const HWND window = StartOn(L"marks.vbs", L"Option Explicit\r\n"
                                              L"Dim greeting, count\r\n"
                                              L"greeting = \"こんにちは、世界\"\r\n"
                                              L"count = 3　: MsgBox greeting & \"（\" & count\r\n"
                                              L"変数 = \"全角の\"\"名前\"\"\" ' 全角の注釈\r\n"
                                              L"\tMsgBox greeting\r\n");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(SearchFor(window, L"greeting"));
    const HWND list = ResultsListOf(window);
    ASSERT_TRUE(WaitUntil([&] { return ListItems(list).size() == 5; }, kTimeout));

    BringForward(window);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    TImage image;
    EXPECT_TRUE(WaitUntil(
        [&] {
            image = CaptureWindow(window);
            return HasColour(image, 0x00FF00) && HasColour(image, 0xFFFF00);
        },
        10s))
        << "lime and yellow marks";
    EXPECT_TRUE(WritePng(ProgramFolder() + L"search_marks.png", image));
}

} // namespace

} // namespace kst::e2e
