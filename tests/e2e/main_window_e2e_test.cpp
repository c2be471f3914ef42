// End-to-end tests of kestrane.exe: the main window, the one-file-per-process rules, the close
// query and the settings, driven as a user and other programs would: command lines, window
// titles, keys, the editor's edit-control messages, message boxes and the files on disk.
#include "../support/unicode_files.h"
#include "kestrane_driver.h"
#include "kestrane_version.h"
#include "platform/geometry.h"
#include "screenshot.h"
#include "win32/dialogs_win32.h"
#include "win32/utf.h"

#include <chrono>
#include <commctrl.h>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <future>
#include <set>
#include <thread>

namespace kst::e2e {

namespace {

using namespace std::chrono_literals;
using win32::TextToWide;
using win32::WideToText;

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

TSize WindowSizeOf(HWND Window) {
    RECT Area{};
    GetWindowRect(Window, &Area);
    return {Area.right - Area.left, Area.bottom - Area.top};
}

TEST_F(KestraneTest, ThreeFilesOnTheCommandLineOpenInThreeWindows) {
    const std::wstring First = CreateTextFile(L"first.vbs", "Dim first\r\n");
    const std::wstring Second = CreateTextFile(L"second.vbs", "Dim second\r\n");
    const std::wstring Third = CreateTextFile(L"三番目.TXT", "third\r\n");
    Start({First, Second, Third});

    for (const std::wstring& Path : {First, Second, Third}) {
        EXPECT_NE(WaitForMainWindow(TitleFor(Path)), nullptr) << WideToText(Path);
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

    // The same file however its path is spelt: the system compares file names ignoring case.
    std::wstring upperCase = Shown;
    CharUpperBuffW(upperCase.data(), static_cast<DWORD>(upperCase.size()));
    for (const std::wstring& spelling : {Shown, upperCase}) {
        ASSERT_TRUE(BringForward(OtherWindow));
        const HANDLE again = Start({spelling});
        ASSERT_TRUE(WaitForExit(again));
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == ShownWindow; }, kTimeout));
        EXPECT_EQ(MainWindowTitles(), (std::set<std::wstring>{TitleFor(Shown), TitleFor(Other)}));
        EXPECT_EQ(RunningPrograms().size(), 2U);
    }
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
            << WideToText(JoinedTitles());
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
        EXPECT_EQ(ReadBytes(Path), Answer == IDYES ? WideToText(Edited) : Original);
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
    // The window notices the deleted file when it is next activated, which other windows on the
    // display can make happen at any time: it is made to happen here, before the close.
    SendMessageW(Window, WM_ACTIVATE, WA_ACTIVE, 0);
    const HWND Notice = WaitForMessageBox(ProcessOf(Window));
    ASSERT_NE(Notice, nullptr);
    EXPECT_NE(DialogText(Notice).find(L"削除されました"), std::wstring::npos);
    Click(Notice, IDOK);
    ASSERT_TRUE(WaitUntilClosed(Notice));

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

TEST_F(KestraneTest, EndingTheSessionAsksAboutChangesAndSavesTheSettings) {
    const std::wstring path = CreateTextFile(L"session.vbs", "Dim a\r\n");
    Start({path});
    const HWND window = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Type(EditorOf(window), L"x"));
    const std::wstring edited = WindowText(EditorOf(window));
    for (const int answer : {IDCANCEL, IDYES}) {
        std::future<LRESULT> reply = std::async(std::launch::async, [window] {
            return SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        });
        const HWND question = WaitForMessageBox(ProcessOf(window));
        ASSERT_NE(question, nullptr);
        EXPECT_NE(DialogText(question).find(L"このファイルの変更を保存しますか？"),
                  std::wstring::npos);
        Click(question, answer);
        ASSERT_EQ(reply.wait_for(kTimeout), std::future_status::ready);
        EXPECT_EQ(reply.get(), answer == IDYES ? TRUE : FALSE);
    }
    EXPECT_EQ(ReadBytes(path), WideToText(edited));

    const std::wstring settings = EnvPath(L"kst.ini");
    ASSERT_EQ(GetPrivateProfileIntW(L"Wind", L"gWidth", 0, settings.c_str()), 0U);
    SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(GetPrivateProfileIntW(L"Wind", L"gWidth", 0, settings.c_str()), 600U);
    // Saved once: the window destroyed afterwards does not write the lists again.
    const std::filesystem::path launcher(EnvPath(L"Lc.dat"));
    ASSERT_TRUE(std::filesystem::remove(launcher));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntilClosed(window));
    EXPECT_FALSE(std::filesystem::exists(launcher));
}

TEST_F(KestraneTest, QuitAllGoesOnPastAWindowThatNoLongerAnswers) {
    // A window titled like an editor's whose thread never handles a message again.
    const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::promise<HWND> created;
    std::thread frozenThread([&] {
        const HWND frozen =
            CreateWindowExW(0, L"STATIC", L"frozen - Kestrane", WS_OVERLAPPED | WS_VISIBLE, 0, 0,
                            200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        created.set_value(frozen);
        WaitForSingleObject(release, INFINITE);
        DestroyWindow(frozen);
    });
    ASSERT_NE(created.get_future().get(), nullptr);

    Start({});
    const HWND window = WaitForMainWindow(L"新規[1]" + std::wstring(kTitleSuffix));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(BringForward(window));
    PressKeys({VK_MENU, 'F'});
    PressKeys({'Q'});
    EXPECT_TRUE(WaitUntilClosed(window));

    SetEvent(release);
    frozenThread.join();
    CloseHandle(release);
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
    EXPECT_EQ(ReadBytes(EnvPath(L"FHist.dat")), WideToText(Script) + "\r\n");

    ASSERT_NE(WritePrivateProfileStringW(L"Option", L"gFontSize", L"24", Settings.c_str()), FALSE);
    Start({Script});
    const HWND SecondWindow = WaitForMainWindow(TitleFor(Script));
    ASSERT_NE(SecondWindow, nullptr);
    EXPECT_EQ(WindowSizeOf(SecondWindow), (TSize{640, 420}));
    EXPECT_GE(RowPitch(EditorOf(SecondWindow)), DefaultPitch * 3 / 2);
}

TEST_F(KestraneTest, AUnicodeScriptIsEditedAndSavedInItsOwnEncoding) {
    const std::wstring path = CreateTextFile(L"wide.vbs", Utf16LeFile(u"Dim あ\r\nMsgBox 1\r\n"));
    Start({path});
    const HWND window = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(window, nullptr);
    const HWND editor = EditorOf(window);
    const auto statusShows = [window](int Part, const std::wstring& Text) {
        return WaitUntil([&] { return StatusBarText(window, Part) == Text; }, kTimeout);
    };
    EXPECT_TRUE(statusShows(1, L"UTF-16LE")) << StatusBarText(window, 1);
    EXPECT_TRUE(statusShows(2, L""));
    ASSERT_TRUE(BringForward(window));
    // After "Dim あ": four bytes and a double-byte character.
    SendMessageW(editor, EM_SETSEL, 6, 6);
    ASSERT_TRUE(Type(editor, L"い\t"));
    EXPECT_TRUE(statusShows(0, L"1 行, 13 桁")) << StatusBarText(window, 0);
    const std::string saved = Utf16LeFile(u"Dim あい\t\r\nMsgBox 1\r\n");
    EXPECT_TRUE(PressUntil(window, {{VK_CONTROL, 'S'}}, [&] { return ReadBytes(path) == saved; }));
}

// On a Western system the script host reads "é" as the byte 0xE9, and so does the editor; a
// folder named in Japanese is no obstacle.
TEST_F(KestraneTest, AWesternSystemsScriptInAJapaneseFolderIsEditedInItsCodePage) {
    ASSERT_EQ(GetACP(), 1252U) << "this test runs under code page 1252";
    ASSERT_TRUE(std::filesystem::remove(std::filesystem::path(EnvPath(L"kst.ini"))));
    ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::path(PathOf(L"日本語"))));
    const std::wstring path = CreateTextFile(L"日本語\\café.vbs", "s = \"caf\xE9\"\r\n");
    Start({path});
    const HWND window = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(window, nullptr);
    const HWND editor = EditorOf(window);
    EXPECT_TRUE(WaitForText(editor, L"s = \"café\"\r\n"));
    EXPECT_TRUE(WaitUntil([&] { return StatusBarText(window, 1) == L"ANSI"; }, kTimeout));
    ASSERT_TRUE(BringForward(window));
    SendMessageW(editor, EM_SETSEL, 9, 9);
    ASSERT_TRUE(Type(editor, L"é€"));
    const std::string saved = "s = \"caf\xE9\xE9\x80\"\r\n";
    EXPECT_TRUE(PressUntil(window, {{VK_CONTROL, 'S'}}, [&] { return ReadBytes(path) == saved; }));
}

TEST_F(KestraneTest, TheAboutBoxShowsTheProjectVersion) {
    Start({});
    const HWND Window = WaitForMainWindow(L"新規[1]" + std::wstring(kTitleSuffix));
    ASSERT_NE(Window, nullptr);
    HWND Box = nullptr;
    // "バージョン情報(&A)" through the menu's access keys: Alt+H, then A.
    ASSERT_TRUE(PressUntil(Window, {{VK_MENU, 'H'}, {'A'}},
                           [&] { return (Box = MessageBoxOf(ProcessOf(Window))) != nullptr; }));
    EXPECT_EQ(TitleOf(Box), L"Kestrane バージョン情報");
    EXPECT_NE(DialogText(Box).find(L"\nVersion " KESTRANE_VERSION L"\n"), std::wstring::npos)
        << DialogText(Box);
    Click(Box, IDOK);
    EXPECT_TRUE(WaitUntilClosed(Box));
}

TEST_F(KestraneTest, AShortcutMovedInTheKeyDialogWorksAndIsKeptForTheNextStart) {
    const std::wstring title = L"新規[1]" + std::wstring(kTitleSuffix);
    const HANDLE first = Start({});
    const HWND window = WaitForMainWindow(title);
    ASSERT_NE(window, nullptr);
    // Ctrl+Shift+F opens the search dialog in Window.
    const auto searchOpensOnMovedKey = [](HWND Window) {
        HWND search = nullptr;
        if (!PressUntil(Window, {{VK_CONTROL, VK_SHIFT, 'F'}}, [&] {
                search = MessageBoxOf(ProcessOf(Window));
                return search != nullptr && TitleOf(search) == L"検索";
            })) {
            return false;
        }
        Click(search, IDCANCEL);
        return WaitUntilClosed(search);
    };
    // "キーの割り当て(&A)..." through the menu's access keys: Alt+T, then A.
    HWND dialog = nullptr;
    ASSERT_TRUE(PressUntil(window, {{VK_MENU, 'T'}, {'A'}}, [&] {
        dialog = MessageBoxOf(ProcessOf(window));
        return dialog != nullptr && TitleOf(dialog) == L"キーの割り当て";
    }));
    const HWND list = GetDlgItem(dialog, win32::idKeysList);
    std::vector<std::wstring> rows = ListItems(list);
    const auto find = std::ranges::find(rows, L"検索(&F)\tCtrl+F");
    ASSERT_NE(find, rows.end());
    const auto row = static_cast<std::size_t>(find - rows.begin());
    SendMessageW(list, LB_SETCURSEL, row, 0);
    SendMessageW(GetDlgItem(dialog, win32::idKeysHotKey), HKM_SETHOTKEY,
                 MAKEWORD('F', HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0);
    Click(dialog, win32::idKeysAssign);
    EXPECT_TRUE(WaitUntil(
        [&] {
            rows = ListItems(list);
            return rows.size() > row && rows[row] == L"検索(&F)\tShift+Ctrl+F";
        },
        kTimeout));
    SaveDrawnWindow(dialog, L"key_dialog.png", 2);
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    EXPECT_EQ(ReadBytes(EnvPath(L"keys.ini")), "[Keys]\r\nFind=Shift+Ctrl+F\r\n");
    EXPECT_TRUE(searchOpensOnMovedKey(window));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForExit(first));
    Start({});
    const HWND again = WaitForMainWindow(title);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(searchOpensOnMovedKey(again));
}

// The system's menu font, in which the menu bar draws its captions.
HFONT CreateMenuFont() {
    NONCLIENTMETRICSW Metrics{};
    Metrics.cbSize = sizeof(Metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0);
    return CreateFontIndirectW(&Metrics.lfMenuFont);
}

// The rows of a captured window above its client area: its menu bar, under the caption if the
// window draws one.
int ClientTopOf(HWND Window) {
    RECT Bounds{};
    GetWindowRect(Window, &Bounds);
    POINT ClientOrigin{0, 0};
    ClientToScreen(Window, &ClientOrigin);
    return ClientOrigin.y - Bounds.top;
}

// The script's colours (reserved words teal, comments fuchsia, the caret row's lime underline, on
// white), and the first menu's caption "ファイル" as the menu font draws it, not as the boxes of
// characters that no font has (which a font without Japanese glyphs draws for it too).
TEST_F(KestraneTest, TheMainWindowShowsTheScriptsColoursAndItsMenuCaptions) {
    const std::wstring Sample = PathOf(L"sample.vbs");
    ASSERT_NE(CopyFileW((ProgramFolder() + L"sample.vbs").c_str(), Sample.c_str(), FALSE), FALSE);
    Start({Sample});
    const HWND Window = WaitForMainWindow(TitleFor(Sample));
    ASSERT_NE(Window, nullptr);
    EXPECT_EQ(WindowText(EditorOf(Window)), TextToWide(ReadBytes(Sample)));
    EXPECT_TRUE(WaitForText(StatusBoxOf(Window), L"VBSファイル"));

    const HFONT MenuFont = CreateMenuFont();
    const InkMask Caption = Trimmed(DarkPixels(DrawnText(L"ファイル", MenuFont)));
    const InkMask Boxes = Trimmed(DarkPixels(DrawnText(L"\xE000\xE000\xE000\xE000", MenuFont)));
    DeleteObject(MenuFont);
    ASSERT_GT(Boxes.Width, 0) << "characters that no font has are drawn as boxes";
    ASSERT_FALSE(Caption == Boxes) << "the menu font has no Japanese glyphs";

    BringForward(Window);
    RedrawWindow(Window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const auto Coloured = [](const TImage& Image) {
        return HasColour(Image, 0x008080) && HasColour(Image, 0xFF00FF) &&
               HasColour(Image, 0x00FF00) && HasColour(Image, 0xFFFFFF);
    };
    const auto CaptionShown = [&](const TImage& Image) {
        return Contains(DarkPixels(Image, 0, ClientTopOf(Window)), Caption);
    };
    TImage Image;
    WaitUntil(
        [&] {
            Image = CaptureWindow(Window);
            return Coloured(Image) && CaptionShown(Image);
        },
        10s);
    EXPECT_TRUE(WritePng(ProgramFolder() + L"main_window.png", Image));
    EXPECT_TRUE(Coloured(Image)) << "teal, fuchsia, lime and white";
    EXPECT_TRUE(CaptionShown(Image)) << "the menu bar draws ファイル";
}

} // namespace

} // namespace kst::e2e
