// The main window's dialogs on the real desktop: each is shown on the test's thread while a second
// thread finds it, reads its controls, works them through window messages as a user would, and
// closes it; the test then checks what the dialog model received. Screenshots of the dialogs are
// saved beside the test program.
#include "app/env_files.h"
#include "app/option_dialogs.h"
#include "app/search_dialogs.h"
#include "host_process.h"
#include "screenshot.h"
#include "support/fake_desktop.h"
#include "win32/dialogs_win32.h"
#include "win32/utf.h"

#include <commctrl.h>
#include <functional>
#include <gtest/gtest.h>
#include <imm.h>
#include <thread>

namespace kst::win32 {
namespace {

using namespace std::chrono_literals;
using e2e::WaitUntil;

constexpr auto kDialogTimeout = 10s;

struct DialogSearch {
    std::wstring Caption;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND Window, LPARAM Search) {
    auto& Wanted = *reinterpret_cast<DialogSearch*>(Search);
    wchar_t ClassName[16] = {};
    GetClassNameW(Window, ClassName, static_cast<int>(std::size(ClassName)));
    std::wstring Title(256, L'\0');
    Title.resize(static_cast<std::size_t>(
        GetWindowTextW(Window, Title.data(), static_cast<int>(Title.size()))));
    if (std::wstring_view(ClassName) != L"#32770" || IsWindowVisible(Window) == FALSE ||
        Title != Wanted.Caption) {
        return TRUE;
    }
    Wanted.Found = Window;
    return FALSE;
}

// The visible dialog of Thread titled Caption; null when there is none.
HWND FindDialog(DWORD Thread, const std::wstring& Caption) {
    DialogSearch Search{Caption};
    EnumThreadWindows(Thread, MatchDialog, reinterpret_cast<LPARAM>(&Search));
    return Search.Found;
}

HWND WaitForDialog(DWORD Thread, const std::string& Caption) {
    HWND Dialog = nullptr;
    WaitUntil([&] { return (Dialog = FindDialog(Thread, Utf8ToWide(Caption))) != nullptr; },
              kDialogTimeout);
    return Dialog;
}

struct ControlSearch {
    int Id;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchControl(HWND Window, LPARAM Search) {
    auto& Wanted = *reinterpret_cast<ControlSearch*>(Search);
    if (GetDlgCtrlID(Window) != Wanted.Id) {
        return TRUE;
    }
    Wanted.Found = Window;
    return FALSE;
}

// The control Id of Dialog or of one of its pages.
HWND Item(HWND Dialog, int Id) {
    ControlSearch Search{Id};
    EnumChildWindows(Dialog, MatchControl, reinterpret_cast<LPARAM>(&Search));
    return Search.Found;
}

LRESULT Send(HWND Window, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) {
    return SendMessageW(Window, Msg, WParam, LParam);
}

std::string Text(HWND Window) {
    std::wstring Wide(static_cast<std::size_t>(Send(Window, WM_GETTEXTLENGTH)) + 1, L'\0');
    Wide.resize(static_cast<std::size_t>(
        Send(Window, WM_GETTEXT, Wide.size(), reinterpret_cast<LPARAM>(Wide.data()))));
    return WideToUtf8(Wide);
}

std::string ItemText(HWND Dialog, int Id) {
    return Text(Item(Dialog, Id));
}

// Typing into a box: its whole text replaced, with the change notifications of typing.
void Type(HWND Dialog, int Id, const std::string& Value) {
    Send(Item(Dialog, Id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf8ToWide(Value).c_str()));
}

void Click(HWND Dialog, int Id) {
    Send(Item(Dialog, Id), BM_CLICK);
}

// For a button that opens another modal dialog: returns at once.
void ClickLater(HWND Dialog, int Id) {
    PostMessageW(Item(Dialog, Id), BM_CLICK, 0, 0);
}

void Focus(HWND Dialog, int Id) {
    Send(Dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(Dialog, Id)), TRUE);
}

bool Enabled(HWND Dialog, int Id) {
    return IsWindowEnabled(Item(Dialog, Id)) != FALSE;
}

bool Visible(HWND Dialog, int Id) {
    return IsWindowVisible(Item(Dialog, Id)) != FALSE;
}

RECT WindowBounds(HWND Window) {
    RECT Bounds{};
    GetWindowRect(Window, &Bounds);
    return Bounds;
}

bool Inside(const RECT& Inner, const RECT& Outer) {
    return Inner.left >= Outer.left && Inner.top >= Outer.top && Inner.right <= Outer.right &&
           Inner.bottom <= Outer.bottom;
}

void ExpectCentredOn(HWND Dialog, HWND Owner) {
    const RECT Box = WindowBounds(Dialog);
    const RECT Around = WindowBounds(Owner);
    EXPECT_NEAR((Box.left + Box.right) / 2, (Around.left + Around.right) / 2, 1);
    EXPECT_NEAR((Box.top + Box.bottom) / 2, (Around.top + Around.bottom) / 2, 1);
}

// Every control of Ids lies inside the dialog's client area and overlaps none of the others.
void ExpectLaidOut(HWND Dialog, std::initializer_list<int> Ids) {
    RECT Client{};
    GetClientRect(Dialog, &Client);
    MapWindowPoints(Dialog, nullptr, reinterpret_cast<POINT*>(&Client), 2);
    std::vector<RECT> Placed;
    for (const int Id : Ids) {
        SCOPED_TRACE(Id);
        const RECT Bounds = WindowBounds(Item(Dialog, Id));
        EXPECT_TRUE(Inside(Bounds, Client));
        for (const RECT& Other : Placed) {
            RECT Common{};
            EXPECT_FALSE(IntersectRect(&Common, &Bounds, &Other));
        }
        Placed.push_back(Bounds);
    }
}

void SaveScreenshot(HWND Dialog, const std::wstring& Name) {
    // Taken once the dialog has drawn itself and two captures in a row agree.
    e2e::TImage Image;
    e2e::TImage Previous;
    EXPECT_TRUE(WaitUntil(
        [&] {
            Image = e2e::CaptureWindow(Dialog);
            const bool Settled = e2e::ColourCount(Image) > 4 && Image.Rgb == Previous.Rgb;
            Previous = Image;
            return Settled;
        },
        kDialogTimeout));
    EXPECT_TRUE(e2e::WritePng(e2e::ProgramFolder() + Name, Image));
}

// The open state and conversion mode of the input method of Edit.
struct TImeState {
    bool Open = false;
    DWORD Conversion = 0;
};

TImeState ImeState(HWND Edit) {
    TImeState State;
    const HIMC Context = ImmGetContext(Edit);
    EXPECT_NE(Context, nullptr);
    if (Context == nullptr) {
        return State;
    }
    DWORD Sentence = 0;
    State.Open = ImmGetOpenStatus(Context) != FALSE;
    ImmGetConversionStatus(Context, &State.Conversion, &Sentence);
    ImmReleaseContext(Edit, Context);
    return State;
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Owner = CreateWindowExW(0, L"STATIC", L"Owner - Kestrane", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                180, 120, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(Owner, nullptr);
    }
    void TearDown() override { DestroyWindow(Owner); }

    // Runs Show on this thread while Drive works the dialog titled Caption from a second thread;
    // Drive must close it.
    void WithDialog(const std::string& Caption, const std::function<void()>& Show,
                    const std::function<void(HWND)>& Drive) {
        const DWORD Thread = GetCurrentThreadId();
        std::thread Driver([&] {
            const HWND Dialog = WaitForDialog(Thread, Caption);
            if (Dialog == nullptr) {
                ADD_FAILURE() << "no dialog titled " << Caption;
                return;
            }
            EXPECT_FALSE(IsWindowEnabled(Owner)) << "the dialog is modal";
            Drive(Dialog);
            if (!WaitUntil([&] { return IsWindow(Dialog) == FALSE; }, kDialogTimeout)) {
                ADD_FAILURE() << "the dialog stayed open";
                PostMessageW(Dialog, WM_COMMAND, IDCANCEL, 0);
            }
        });
        Show();
        Driver.join();
    }

    void ShowOptions(const std::function<void(HWND)>& Drive) {
        WithDialog(
            std::string(TfrmSetting::Caption),
            [&] { OptionsResult = ShowOptionsDialog(Owner, Options, Desk); }, Drive);
    }

    HWND Owner = nullptr;
    FakeDesktop Desk{"C:\\Kestrane\\Kestrane.exe"};
    TSettings Settings{.gFontSize = 14, .gTabSize = 6, .gBaseDir = "C:\\base"};
    TLauncherTable Table = {{"Editor", "C:\\e.exe"}, {"-", ""}, {"Shell", "C:\\s.exe"}};
    TfrmSetting Options{Desk, Settings, Table};
    bool OptionsResult = false;
};

// The options dialog's tab control switched to a page as a click on its tab does.
void SelectPage(HWND Dialog, int Page) {
    const HWND Tabs = Item(Dialog, idOptionsTabs);
    Send(Tabs, TCM_SETCURSEL, static_cast<WPARAM>(Page));
    NMHDR Header{Tabs, idOptionsTabs, static_cast<UINT>(TCN_SELCHANGE)};
    Send(Dialog, WM_NOTIFY, idOptionsTabs, reinterpret_cast<LPARAM>(&Header));
}

std::vector<std::string> TabCaptions(HWND Dialog) {
    const HWND Tabs = Item(Dialog, idOptionsTabs);
    std::vector<std::string> Captions;
    for (LRESULT Page = 0; Page < Send(Tabs, TCM_GETITEMCOUNT); ++Page) {
        wchar_t Caption[64] = {};
        TCITEMW Item{};
        Item.mask = TCIF_TEXT;
        Item.pszText = Caption;
        Item.cchTextMax = static_cast<int>(std::size(Caption));
        Send(Tabs, TCM_GETITEMW, static_cast<WPARAM>(Page), reinterpret_cast<LPARAM>(&Item));
        Captions.push_back(WideToUtf8(Caption));
    }
    return Captions;
}

std::vector<std::string> ListItems(HWND List, UINT CountMsg, UINT TextMsg) {
    std::vector<std::string> Items;
    for (LRESULT Index = 0; Index < Send(List, CountMsg); ++Index) {
        wchar_t Item[256] = {};
        Send(List, TextMsg, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Item));
        Items.push_back(WideToUtf8(Item));
    }
    return Items;
}

std::vector<std::string> LauncherNames(HWND Dialog) {
    return ListItems(Item(Dialog, idLauncherList), LB_GETCOUNT, LB_GETTEXT);
}

void SelectLauncher(HWND Dialog, int Index) {
    const HWND List = Item(Dialog, idLauncherList);
    Send(List, LB_SETCURSEL, static_cast<WPARAM>(Index));
    Send(Dialog, WM_COMMAND, MAKEWPARAM(idLauncherList, LBN_SELCHANGE),
         reinterpret_cast<LPARAM>(List));
}

TEST_F(DialogsTest, TheAboutBoxShowsTheProgramAndClosesWithOk) {
    const TAboutBox About{"Kestrane バージョン情報", "Kestrane", "Version 2.1.0.7"};
    WithDialog(
        About.Caption, [&] { ShowAboutBox(Owner, About); },
        [&](HWND Dialog) {
            EXPECT_EQ(ItemText(Dialog, idAboutProduct), "Kestrane");
            EXPECT_EQ(ItemText(Dialog, idAboutVersion), "Version 2.1.0.7");
            EXPECT_EQ(ItemText(Dialog, IDOK), "OK");
            EXPECT_NE(Send(Item(Dialog, idAboutIcon), STM_GETICON), 0);
            ExpectCentredOn(Dialog, Owner);
            ExpectLaidOut(Dialog, {idAboutIcon, idAboutProduct, idAboutVersion, IDOK});
            SaveScreenshot(Dialog, L"about_box.png");
            Click(Dialog, IDOK);
        });
}

TEST_F(DialogsTest, TheOptionsDialogShowsTheSettingsOnThreePagesAndItsCloseBoxDiscards) {
    ShowOptions([&](HWND Dialog) {
        ExpectCentredOn(Dialog, Owner);
        EXPECT_EQ(TabCaptions(Dialog),
                  (std::vector<std::string>{"エディター", "フォルダ", "ランチャー"}));
        EXPECT_EQ(ItemText(Dialog, IDOK), "OK");

        EXPECT_EQ(ItemText(Dialog, idFontSizeLabel), "フォントサイズ（10～30）：");
        EXPECT_EQ(ItemText(Dialog, idFontSizeEdit), "14");
        int Low = 0;
        int High = 0;
        Send(Item(Dialog, idFontSizeSpin), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&Low),
             reinterpret_cast<LPARAM>(&High));
        EXPECT_EQ(Low, 10);
        EXPECT_EQ(High, 30);
        EXPECT_EQ(ItemText(Dialog, idTabSizeLabel), "タブ幅：");
        EXPECT_EQ(ListItems(Item(Dialog, idTabSizeCombo), CB_GETCOUNT, CB_GETLBTEXT),
                  (std::vector<std::string>{"2", "4", "6", "8"}));
        EXPECT_EQ(ItemText(Dialog, idTabSizeCombo), "6");
        EXPECT_EQ(ItemText(Dialog, idIndentLabel), "インデント：");
        EXPECT_EQ(ItemText(Dialog, idIndentCombo), "自動");
        EXPECT_FALSE(Visible(Dialog, idBaseDirEdit));
        EXPECT_FALSE(Visible(Dialog, idLauncherList));
        EXPECT_EQ(Send(Item(Dialog, idFontSizeSpin), UDM_GETBUDDY),
                  reinterpret_cast<LRESULT>(Item(Dialog, idFontSizeEdit)));
        EXPECT_TRUE(Visible(Dialog, idFontSizeSpin));
        ExpectLaidOut(Dialog, {idFontSizeLabel, idFontSizeEdit, idTabSizeLabel, idTabSizeCombo,
                               idIndentLabel, idIndentCombo, IDOK});
        SaveScreenshot(Dialog, L"options_editor.png");

        SelectPage(Dialog, 1);
        EXPECT_FALSE(Visible(Dialog, idFontSizeEdit));
        EXPECT_TRUE(Visible(Dialog, idBaseDirEdit));
        EXPECT_EQ(ItemText(Dialog, idBaseDirLabel), "標準スクリプト保存先：");
        EXPECT_EQ(ItemText(Dialog, idBaseDirEdit), "C:\\base");
        EXPECT_EQ(ItemText(Dialog, idBaseDirBrowse), "...");
        ExpectLaidOut(Dialog, {idBaseDirLabel, idBaseDirEdit, idBaseDirBrowse, IDOK});
        SaveScreenshot(Dialog, L"options_folder.png");

        SelectPage(Dialog, 2);
        EXPECT_FALSE(Visible(Dialog, idBaseDirEdit));
        EXPECT_TRUE(Visible(Dialog, idLauncherList));
        EXPECT_EQ(LauncherNames(Dialog), (std::vector<std::string>{"Editor", "-", "Shell"}));
        EXPECT_EQ(ItemText(Dialog, idLauncherPath), "");
        EXPECT_NE(GetWindowLongPtrW(Item(Dialog, idLauncherPath), GWL_STYLE) & ES_READONLY, 0);
        EXPECT_EQ(ItemText(Dialog, idLauncherAdd), "追加");
        EXPECT_EQ(ItemText(Dialog, idLauncherDelete), "削除");
        ExpectLaidOut(Dialog,
                      {idLauncherList, idLauncherPath, idLauncherAdd, idLauncherDelete, IDOK});
        SelectLauncher(Dialog, 0);
        SaveScreenshot(Dialog, L"options_launcher.png");

        Type(Dialog, idBaseDirEdit, "D:\\elsewhere");
        Click(Dialog, idLauncherDelete);
        PostMessageW(Dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(OptionsResult);
    EXPECT_EQ(Settings, (TSettings{.gFontSize = 14, .gTabSize = 6, .gBaseDir = "C:\\base"}));
    EXPECT_EQ(Table.size(), 3U);
}

TEST_F(DialogsTest, OkStoresWhatThePagesHold) {
    Desk.FolderResults = {"D:\\scripts"};
    ShowOptions([&](HWND Dialog) {
        const HWND FontSize = Item(Dialog, idFontSizeEdit);
        Type(Dialog, idFontSizeEdit, "19");
        Send(FontSize, WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(Text(FontSize), "20") << "the spin's arrow key steps the size";
        Send(Item(Dialog, idTabSizeCombo), CB_SETCURSEL, 3);
        EXPECT_EQ(ItemText(Dialog, idTabSizeCombo), "8");
        Send(Item(Dialog, idIndentCombo), CB_SETCURSEL, 5);
        EXPECT_EQ(ItemText(Dialog, idIndentCombo), "空白 4");

        SelectPage(Dialog, 1);
        Click(Dialog, idBaseDirBrowse);
        EXPECT_EQ(Desk.FolderBrowses, (std::vector<unsigned>{0x1}));
        EXPECT_EQ(ItemText(Dialog, idBaseDirEdit), "D:\\scripts");

        SelectPage(Dialog, 2);
        Click(Dialog, idLauncherDelete);
        EXPECT_EQ(Desk.MessageTexts(),
                  (std::vector<std::string>{"\rランチャーが選ばれていません"}));
        EXPECT_EQ(LauncherNames(Dialog).size(), 3U);
        SelectLauncher(Dialog, 2);
        EXPECT_EQ(ItemText(Dialog, idLauncherPath), "C:\\s.exe");
        Click(Dialog, idLauncherDelete);
        EXPECT_EQ(LauncherNames(Dialog), (std::vector<std::string>{"Editor", "-"}));
        EXPECT_EQ(ItemText(Dialog, idLauncherPath), "");
        EXPECT_EQ(Send(Item(Dialog, idLauncherList), LB_GETCURSEL), LB_ERR);

        Click(Dialog, IDOK);
    });
    EXPECT_TRUE(OptionsResult);
    EXPECT_EQ(
        Settings,
        (TSettings{
            .gFontSize = 20, .gTabSize = 8, .gBaseDir = "D:\\scripts", .gIndent = TIndentUnit{4}}));
    EXPECT_EQ(Table, (TLauncherTable{{"Editor", "C:\\e.exe"}, {"-", ""}}));
}

TEST_F(DialogsTest, TheFontSizeStaysInItsRangeAndATabWidthThatIsNoNumberKeepsTheDialogOpen) {
    ShowOptions([&](HWND Dialog) {
        Type(Dialog, idFontSizeEdit, "30");
        Send(Item(Dialog, idFontSizeEdit), WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(ItemText(Dialog, idFontSizeEdit), "30");
        Type(Dialog, idFontSizeEdit, "45");
        Type(Dialog, idTabSizeCombo, "4x");
        SelectPage(Dialog, 2);
        Click(Dialog, IDOK);
        EXPECT_TRUE(IsWindowVisible(Dialog));
        EXPECT_TRUE(Visible(Dialog, idTabSizeCombo)) << "the page with the wrong value is shown";
        ASSERT_EQ(Desk.Messages.size(), 1U);
        EXPECT_EQ(Desk.Messages[0],
                  (FakeDesktop::TMessage{"'4x' は有効な整数値ではありません", "エラー",
                                         TMessageType::Error, TMessageButtons::Ok}));
        EXPECT_EQ(Settings.gTabSize, 6);
        EXPECT_EQ(Settings.gFontSize, 14);

        Type(Dialog, idTabSizeCombo, "3");
        Click(Dialog, IDOK);
    });
    EXPECT_TRUE(OptionsResult);
    EXPECT_EQ(Settings.gFontSize, 30);
    EXPECT_EQ(Settings.gTabSize, 3);
}

TEST_F(DialogsTest, AddRegistersALauncherThroughTheRegistrationDialog) {
    Desk.OpenDialogResults = {"C:\\tools\\calc.exe"};
    const DWORD Thread = GetCurrentThreadId();
    ShowOptions([&](HWND Dialog) {
        SelectPage(Dialog, 2);
        ClickLater(Dialog, idLauncherAdd);
        const HWND Add = WaitForDialog(Thread, std::string(TfrmLcAdd::Caption));
        ASSERT_NE(Add, nullptr);
        ExpectCentredOn(Add, Owner);
        EXPECT_EQ(ItemText(Add, idLcAddNameLabel), "登録名：");
        EXPECT_EQ(ItemText(Add, idLcAddPathLabel), "パス：");
        EXPECT_EQ(ItemText(Add, idLcAddBrowse), "...");
        EXPECT_EQ(ItemText(Add, IDOK), "追加");
        EXPECT_FALSE(Enabled(Add, IDOK));
        ExpectLaidOut(Add, {idLcAddNameLabel, idLcAddNameEdit, idLcAddPathLabel, idLcAddPathEdit,
                            idLcAddBrowse, IDOK});

        // The name box opens the input method in full-width hiragana; the path box closes it.
        const TImeState NameIme = ImeState(Item(Add, idLcAddNameEdit));
        EXPECT_TRUE(NameIme.Open);
        EXPECT_EQ(NameIme.Conversion &
                      (IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE | IME_CMODE_KATAKANA),
                  static_cast<DWORD>(IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE));
        Focus(Add, idLcAddPathEdit);
        EXPECT_FALSE(ImeState(Item(Add, idLcAddPathEdit)).Open);
        Focus(Add, idLcAddNameEdit);
        EXPECT_TRUE(ImeState(Item(Add, idLcAddNameEdit)).Open);

        Type(Add, idLcAddNameEdit, "Editor");
        EXPECT_FALSE(Enabled(Add, IDOK)) << "the path is still empty";
        Click(Add, idLcAddBrowse);
        ASSERT_EQ(Desk.OpenDialogs.size(), 1U);
        EXPECT_EQ(Desk.OpenDialogs[0].InitialDir, "C:\\Kestrane\\");
        EXPECT_EQ(ItemText(Add, idLcAddPathEdit), "C:\\tools\\calc.exe");
        EXPECT_TRUE(Enabled(Add, IDOK));
        Type(Add, idLcAddNameEdit, "");
        EXPECT_FALSE(Enabled(Add, IDOK));
        Type(Add, idLcAddNameEdit, "Editor");
        SaveScreenshot(Add, L"launcher_add.png");

        Click(Add, IDOK);
        EXPECT_TRUE(IsWindowVisible(Add)) << "the name is registered already";
        EXPECT_EQ(Desk.MessageTexts(),
                  (std::vector<std::string>{"\r\n登録名は既に登録されています"}));
        Type(Add, idLcAddNameEdit, "editor");
        Click(Add, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return IsWindow(Add) == FALSE; }, kDialogTimeout));
        EXPECT_EQ(LauncherNames(Dialog),
                  (std::vector<std::string>{"Editor", "-", "Shell", "editor"}));

        // Closing the registration dialog adds nothing.
        ClickLater(Dialog, idLauncherAdd);
        const HWND Again = WaitForDialog(Thread, std::string(TfrmLcAdd::Caption));
        ASSERT_NE(Again, nullptr);
        Type(Again, idLcAddNameEdit, "Other");
        Type(Again, idLcAddPathEdit, "C:\\other.exe");
        PostMessageW(Again, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return IsWindow(Again) == FALSE; }, kDialogTimeout));
        EXPECT_EQ(LauncherNames(Dialog).size(), 4U);

        Click(Dialog, IDOK);
    });
    EXPECT_TRUE(OptionsResult);
    EXPECT_EQ(Table, (TLauncherTable{{"Editor", "C:\\e.exe"},
                                     {"-", ""},
                                     {"Shell", "C:\\s.exe"},
                                     {"editor", "C:\\tools\\calc.exe"}}));
}

class YesCancelBoxTest : public DialogsTest {
protected:
    TMessageAnswer Ask(const std::string& Text, TMessageType Type,
                       const std::function<void(HWND)>& Drive) {
        TMessageAnswer Answer = TMessageAnswer::Ok;
        WithDialog(
            "確認", [&] { Answer = YesCancelBox(Owner, Text, "確認", Type); }, Drive);
        return Answer;
    }
};

TEST_F(YesCancelBoxTest, AnswersYesOrCancel) {
    const std::string Question = "C:\\scripts\\a.vbs\r\nは存在します。上書きしますか";
    const auto CheckBox = [&](HWND Dialog, LPCWSTR Icon) {
        EXPECT_EQ(ItemText(Dialog, idQuestionText), Question);
        EXPECT_EQ(ItemText(Dialog, IDYES), "はい(&Y)");
        EXPECT_EQ(ItemText(Dialog, IDCANCEL), "キャンセル");
        EXPECT_EQ(Send(Item(Dialog, idQuestionIcon), STM_GETICON),
                  reinterpret_cast<LRESULT>(LoadIconW(nullptr, Icon)));
        ExpectCentredOn(Dialog, Owner);
        ExpectLaidOut(Dialog, {idQuestionIcon, idQuestionText, IDYES, IDCANCEL});
    };
    EXPECT_EQ(Ask(Question, TMessageType::Confirmation,
                  [&](HWND Dialog) {
                      CheckBox(Dialog, IDI_QUESTION);
                      SaveScreenshot(Dialog, L"yes_cancel.png");
                      Click(Dialog, IDYES);
                  }),
              TMessageAnswer::Yes);
    EXPECT_EQ(Ask(Question, TMessageType::Warning,
                  [&](HWND Dialog) {
                      CheckBox(Dialog, IDI_WARNING);
                      Click(Dialog, IDCANCEL);
                  }),
              TMessageAnswer::Cancel);
    EXPECT_EQ(Ask(Question, TMessageType::Error,
                  [&](HWND Dialog) {
                      CheckBox(Dialog, IDI_ERROR);
                      PostMessageW(Dialog, WM_CLOSE, 0, 0);
                  }),
              TMessageAnswer::Cancel);
    EXPECT_EQ(Ask(Question, TMessageType::Information,
                  [&](HWND Dialog) {
                      CheckBox(Dialog, IDI_INFORMATION);
                      PostMessageW(Item(Dialog, IDYES), WM_KEYDOWN, VK_RETURN, 0);
                  }),
              TMessageAnswer::Yes);
}

TEST_F(YesCancelBoxTest, ALongTextIsBrokenIntoLinesThatFitTheScreen) {
    const std::string Path = "C:\\" + std::string(300, 'x') + ".vbs";
    const std::string Question = "\r\n" + Path + "\r\nは存在します。上書きしますか";
    Ask(Question, TMessageType::Confirmation, [&](HWND Dialog) {
        const HWND TextBox = Item(Dialog, idQuestionText);
        EXPECT_EQ(Text(TextBox), Question);
        MONITORINFO Monitor{};
        Monitor.cbSize = sizeof(Monitor);
        GetMonitorInfoW(MonitorFromWindow(Dialog, MONITOR_DEFAULTTONEAREST), &Monitor);
        EXPECT_TRUE(Inside(WindowBounds(Dialog), Monitor.rcWork));
        const RECT Bounds = WindowBounds(TextBox);
        TEXTMETRICW Metrics{};
        const HDC Context = GetDC(TextBox);
        const HGDIOBJ Previous =
            SelectObject(Context, reinterpret_cast<HGDIOBJ>(Send(TextBox, WM_GETFONT)));
        GetTextMetricsW(Context, &Metrics);
        SelectObject(Context, Previous);
        ReleaseDC(TextBox, Context);
        EXPECT_GE(Bounds.bottom - Bounds.top, 5 * Metrics.tmHeight) << "the path takes lines";
        ExpectLaidOut(Dialog, {idQuestionIcon, idQuestionText, IDYES, IDCANCEL});
        SaveScreenshot(Dialog, L"yes_cancel_long.png");
        Click(Dialog, IDCANCEL);
    });
}

// Search, replace and go to line

// "表" (its second byte is "\\") and "ア" in CP932: document text in the boxes.
const std::string kHyo = "\x95\x5c";
const std::string kKatakanaA = "\x83\x41";

// Characters typed into the focused box of a dialog, one WM_CHAR each, as a keyboard types them.
void TypeChars(HWND Box, std::wstring_view Characters) {
    for (const wchar_t character : Characters) {
        Send(Box, WM_CHAR, character, 1);
    }
}

HWND ComboEdit(HWND Dialog, int Id) {
    return FindWindowExW(Item(Dialog, Id), nullptr, L"Edit", nullptr);
}

bool Checked(HWND Dialog, int Id) {
    return Send(Item(Dialog, Id), BM_GETCHECK) == BST_CHECKED;
}

class SearchDialogsTest : public DialogsTest {};

TEST_F(SearchDialogsTest, SearchShowsTheHistoryAndItsButtonFollowsTheWordBox) {
    TfrmSearch search({kHyo + "1", "msgbox"}, true, kKatakanaA);
    bool result = false;
    WithDialog(
        std::string(TfrmSearch::Caption), [&] { result = ShowSearchDialog(Owner, search); },
        [&](HWND Dialog) {
            ExpectCentredOn(Dialog, Owner);
            EXPECT_EQ(ItemText(Dialog, idSearchWordLabel), "検索文字列：");
            EXPECT_EQ(ItemText(Dialog, idSearchCase), "大文字・小文字を区別する");
            EXPECT_EQ(ItemText(Dialog, IDOK), "検索");
            EXPECT_EQ(ItemText(Dialog, IDCANCEL), "キャンセル");
            EXPECT_EQ(ListItems(Item(Dialog, idSearchWord), CB_GETCOUNT, CB_GETLBTEXT),
                      (std::vector<std::string>{"表1", "msgbox"}));
            EXPECT_EQ(ItemText(Dialog, idSearchWord), "ア");
            EXPECT_TRUE(Checked(Dialog, idSearchCase));
            GUITHREADINFO focus{};
            focus.cbSize = sizeof(focus);
            GetGUIThreadInfo(GetWindowThreadProcessId(Dialog, nullptr), &focus);
            EXPECT_EQ(GetParent(focus.hwndFocus), Item(Dialog, idSearchWord)) << "the word box";
            ExpectLaidOut(Dialog, {idSearchWordLabel, idSearchWord, idSearchCase, IDOK, IDCANCEL});
            SaveScreenshot(Dialog, L"search_dialog.png");

            Send(ComboEdit(Dialog, idSearchWord), EM_SETSEL, 0, -1);
            TypeChars(ComboEdit(Dialog, idSearchWord), L"\b");
            EXPECT_FALSE(Enabled(Dialog, IDOK));
            TypeChars(ComboEdit(Dialog, idSearchWord), L"x");
            EXPECT_TRUE(Enabled(Dialog, IDOK));
            TypeChars(ComboEdit(Dialog, idSearchWord), L"\b");
            EXPECT_FALSE(Enabled(Dialog, IDOK));
            Send(Item(Dialog, idSearchWord), CB_SETCURSEL, 0);
            Send(Dialog, WM_COMMAND, MAKEWPARAM(idSearchWord, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(Dialog, idSearchWord)));
            EXPECT_TRUE(Enabled(Dialog, IDOK));
            Click(Dialog, idSearchCase);
            Click(Dialog, IDOK);
        });
    EXPECT_TRUE(result);
    EXPECT_EQ(search.Word(), kHyo + "1");
    EXPECT_FALSE(search.MatchCase());
}

TEST_F(SearchDialogsTest, GoToLineTakesTheDigitsAndATooLargeNumberKeepsItOpen) {
    TfrmGoLine goLine;
    bool result = false;
    const DWORD thread = GetCurrentThreadId();
    WithDialog(
        std::string(TfrmGoLine::Caption), [&] { result = ShowGoLineDialog(Owner, goLine); },
        [&](HWND Dialog) {
            const HWND box = Item(Dialog, idGoLineNumber);
            EXPECT_EQ(ImmGetContext(box), nullptr) << "no input method";
            ExpectLaidOut(Dialog, {idGoLineNumber, IDOK});
            SaveScreenshot(Dialog, L"go_line_dialog.png");
            TypeChars(box, L"99999999999");
            PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
            const HWND error = WaitForDialog(thread, "Kestrane");
            ASSERT_NE(error, nullptr);
            PostMessageW(error, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(WaitUntil([&] { return IsWindow(error) == FALSE; }, kDialogTimeout));
            EXPECT_NE(IsWindow(Dialog), FALSE);
            Send(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1,234"));
            Click(Dialog, IDOK);
        });
    EXPECT_TRUE(result);
    EXPECT_EQ(goLine.LineNumber(), 1234);
}

} // namespace
} // namespace kst::win32
