#include "app/option_dialogs.h"
#include "core/messages.h"
#include "main_form_fixture.h"

#include <set>

namespace kst {
namespace {

using TMessage = FakeDesktop::TMessage;

// Caption, shortcut text and whether the item is shown.
struct TItemLook {
    std::string Caption;
    std::string ShortCut;
    bool Visible = true;

    bool operator==(const TItemLook&) const = default;
};

std::vector<TItemLook> Looks(const TMenuItem& Menu) {
    std::vector<TItemLook> looks;
    for (const auto& item : Menu.Items) {
        looks.push_back({item->Caption, ShortCutToText(item->ShortCut), item->Visible});
    }
    return looks;
}

class MenuDataTest : public MainFormTest {
protected:
    void SetUp() override { Create(); }
};

TEST_F(MenuDataTest, TheMenuBar) {
    const TMenuItem& bar = Form->Menus.MainMenu;
    EXPECT_EQ(Captions(bar),
              (std::vector<std::string>{"ファイル(&F)", "編集(&E)", "検索(&S)", "ツール(&T)",
                                        "ウインドウ(&W)", "ヘルプ(&H)"}));
    EXPECT_EQ(Looks(bar[0]), (std::vector<TItemLook>{{"新規作成(&N)", "Ctrl+N"},
                                                     {"開く(&O)", "Ctrl+O"},
                                                     {"上書き保存(&S)", "Ctrl+S"},
                                                     {"名前を付けて保存", ""},
                                                     {"-", ""},
                                                     {"このファイルを終了(&X)", ""},
                                                     {"全て終了(&Q)", ""},
                                                     {"-", ""}}));
    EXPECT_EQ(Looks(bar[1]), (std::vector<TItemLook>{{"元に戻る(&U)", "Ctrl+Z"},
                                                     {"やり直し(&R)", "Ctrl+Y"},
                                                     {"切り取り(&T)", "Ctrl+X"},
                                                     {"コピー(&C)", "Ctrl+C"},
                                                     {"貼り付け(&P)", "Ctrl+V"},
                                                     {"削除", ""},
                                                     {"全て選択(&L)", "Ctrl+A"},
                                                     {"-", ""},
                                                     {"折り返し表示(&W)", ""}}));
    EXPECT_EQ(Looks(bar[2]), (std::vector<TItemLook>{{"検索(&F)", "Ctrl+F"},
                                                     {"ワンタッチ検索", "F3", false},
                                                     {"置換(&R)", ""},
                                                     {"フォルダから検索(&I)...", ""},
                                                     {"フォルダ検索を中止(&T)", ""},
                                                     {"指定行に移動(&G)", "Ctrl+G"},
                                                     {"検索情報ウインドウ", "Ctrl+M"},
                                                     {"検索情報へ移動", "F12", false}}));
    EXPECT_EQ(Looks(bar[3]), (std::vector<TItemLook>{{"保存して実行", "F9", false},
                                                     {"スクリプト実行(&R)", "F8"},
                                                     {"コンソールで実行(&E)", "Shift+F8"},
                                                     {"スクリプ停止(&S)", "Ctrl+Q"},
                                                     {"編集中ファイルの格納フォルダを開く", ""},
                                                     {"コメント化", "F5", false},
                                                     {"非コメント化", "F6", false},
                                                     {"自動整形処理(&C)", "Ctrl+T"},
                                                     {"構文チェック(&K)", "F7"},
                                                     {"プロシージャ一覧(&P)", "F2"},
                                                     {"WSHのバージョン等の表示(&V)", ""},
                                                     {"ランチャー項目", ""},
                                                     {"オプション(&O)", ""},
                                                     {"キーの割り当て(&A)...", ""}}));
    EXPECT_EQ(Looks(bar[4]), (std::vector<TItemLook>{{"-", ""}}));
    EXPECT_EQ(Looks(bar[5]), (std::vector<TItemLook>{{"バージョン情報(&A)", ""}}));
}

TEST_F(MenuDataTest, ThePopupMenu) {
    EXPECT_EQ(Captions(Form->Menus.PopupMenu1.Items),
              (std::vector<std::string>{"元に戻る(&Z)", "-", "切り取り(&X)", "コピー(&C)",
                                        "貼り付け(&V)", "削除", "-", "全て選択(&A)"}));
}

TEST_F(MenuDataTest, TheToolBar) {
    std::vector<std::string> hints;
    for (const TToolButton& button : Form->Menus.ToolBar1.Buttons) {
        hints.push_back(button.Separator ? "|" : button.Hint);
    }
    EXPECT_EQ(hints, (std::vector<std::string>{"新規作成", "開く", "上書保存", "|", "切り取り",
                                               "コピー", "貼り付け", "|", "元に戻る", "やり直し",
                                               "|", "コメント化", "非コメント化", "|",
                                               "自動整形処理", "|", "スクリプトの実行", "|"}));
    EXPECT_EQ(TToolBar::StatusHint, "状態の表示");
}

TEST_F(MenuDataTest, ThePicturesAreSharedByToolBarAndMenu) {
    std::set<int> images;
    const std::function<void(const TMenuItem&)> collect = [&](const TMenuItem& Menu) {
        for (const auto& item : Menu.Items) {
            if (const int image = Form->Menus.ImageIndexOf(*item); image >= 0) {
                EXPECT_TRUE(images.insert(image).second) << item->Caption << " shares a picture";
            }
            collect(*item);
        }
    };
    collect(Form->Menus.MainMenu);
    for (const TToolButton& button : Form->Menus.ToolBar1.Buttons) {
        if (!button.Separator) {
            images.insert(button.ImageIndex);
        }
    }
    std::set<int> all;
    for (int image = 0; image < 27; ++image) {
        all.insert(image);
    }
    EXPECT_EQ(images, all);
    EXPECT_EQ(Form->Menus.ImageIndexOf(*Form->Menus.MenuItem(cmSaveFile)),
              Form->Menus.Button(cmSaveFile)->ImageIndex);
    EXPECT_EQ(Form->Menus.ImageIndexOf(*Form->Menus.MenuItem(cmRun)),
              Form->Menus.Button(cmRun)->ImageIndex);
}

class EnablingTest : public MainFormTest {
protected:
    void SetUp() override { Create(); }
    std::string State() {
        Form->AppIdle();
        return Form->Menus.ToolBar1.StatusText;
    }
};

TEST_F(EnablingTest, TheStateText) {
    EXPECT_EQ(State(), "新規ファイル");
    Editor->SetModified(true);
    EXPECT_EQ(State(), "変更あり");
    Form->ScriptRunning = true;
    EXPECT_EQ(State(), "スクリプト実行中");
    Form->ScriptRunning = false;
    Editor->SetModified(false);
    const std::vector<std::pair<std::string, std::string>> kinds = {
        {"a.vbs", "VBSファイル"}, {"a.txt", "テキストファイル"}, {"a.ini", "その他のファイル"}};
    for (const auto& [name, text] : kinds) {
        Form->CurrentFileName = name;
        Form->FileKind = FileKindOf(name);
        EXPECT_EQ(State(), text);
    }
}

TEST_F(EnablingTest, IdleToolBarButtons) {
    const TMainMenus& menus = Form->Menus;
    Form->AppIdle();
    for (const TToolButton* button :
         {menus.Button(cmCut), menus.Button(cmCopy), menus.Button(cmPaste), menus.Button(cmUndo),
          menus.Button(cmRedo), menus.Button(cmSaveFile), menus.Button(cmRun)}) {
        EXPECT_FALSE(button->Enabled) << button->Hint;
    }
    EXPECT_TRUE(menus.Button(cmNewFile)->Enabled);
    EXPECT_TRUE(menus.Button(cmOpenFile)->Enabled);

    Commands.Selected = true;
    Commands.Undoable = true;
    Commands.Redoable = true;
    Clip.Content = "x";
    Editor->SetModified(true);
    Form->AppIdle();
    EXPECT_FALSE(menus.Button(cmPaste)->Enabled) << "the clipboard is not polled";
    Form->ClipboardChanged();
    Form->AppIdle();
    for (const TToolButton* button :
         {menus.Button(cmCut), menus.Button(cmCopy), menus.Button(cmPaste), menus.Button(cmUndo),
          menus.Button(cmRedo), menus.Button(cmSaveFile)}) {
        EXPECT_TRUE(button->Enabled) << button->Hint;
    }
}

TEST_F(EnablingTest, TheRunButtonWantsAnUnchangedScriptAndNoRunningOne) {
    Form->FileKind = fkVbs;
    Form->AppIdle();
    EXPECT_TRUE(Form->Menus.Button(cmRun)->Enabled);
    Form->ScriptRunning = true;
    Form->AppIdle();
    EXPECT_FALSE(Form->Menus.Button(cmRun)->Enabled);
    Form->ScriptRunning = false;
    Editor->SetModified(true);
    Form->AppIdle();
    EXPECT_FALSE(Form->Menus.Button(cmRun)->Enabled);
    Editor->SetModified(false);
    Form->FileKind = fkText;
    Form->AppIdle();
    EXPECT_FALSE(Form->Menus.Button(cmRun)->Enabled);
}

TEST_F(EnablingTest, TheEditMenuRespectsReadOnly) {
    const TMainMenus& menus = Form->Menus;
    const auto enabled = [&menus] {
        return std::vector<bool>{
            menus.MenuItem(cmUndo)->Enabled,     menus.MenuItem(cmRedo)->Enabled,
            menus.MenuItem(cmCut)->Enabled,      menus.MenuItem(cmCopy)->Enabled,
            menus.MenuItem(cmPaste)->Enabled,    menus.MenuItem(cmDelete)->Enabled,
            menus.MenuItem(cmSelectAll)->Enabled};
    };
    Form->mnuEditClick();
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false, false, false, true}));
    Commands.Selected = true;
    Commands.Undoable = true;
    Commands.Redoable = true;
    Clip.Content = "x";
    Form->mnuEditClick();
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, true, true, true}));
    Editor->SetReadOnly(true);
    Form->mnuEditClick();
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, true, false, false, true}));
}

// The pop-up menu and the tool bar share the Edit handlers; while a script runs the editor is
// read-only, and none of them may change its text.
TEST_F(EnablingTest, PopupMenuAndToolBarRespectReadOnly) {
    const TMainMenus& menus = Form->Menus;
    const auto enabled = [&menus] {
        return std::vector<bool>{
            menus.PopupItem(cmUndo)->Enabled,   menus.PopupItem(cmCut)->Enabled,
            menus.PopupItem(cmCopy)->Enabled,   menus.PopupItem(cmPaste)->Enabled,
            menus.PopupItem(cmDelete)->Enabled, menus.Button(cmUndo)->Enabled,
            menus.Button(cmRedo)->Enabled,      menus.Button(cmCut)->Enabled,
            menus.Button(cmCopy)->Enabled,      menus.Button(cmPaste)->Enabled};
    };
    const auto update = [this] {
        Form->Menus.PopupMenu1.Popup();
        Form->AppIdle();
    };
    Commands.Selected = true;
    Commands.Undoable = true;
    Commands.Redoable = true;
    Clip.Content = "x";
    Form->ClipboardChanged();
    update();
    EXPECT_EQ(enabled(), std::vector<bool>(10, true));

    Editor->SetReadOnly(true);
    update();
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, true, false, false, false, false, false,
                                            true, false}));
    for (TMenuItem* item :
         {menus.PopupItem(cmUndo), menus.PopupItem(cmCut), menus.PopupItem(cmCopy),
          menus.PopupItem(cmPaste), menus.PopupItem(cmDelete)}) {
        item->Enabled = true;
        item->Click();
    }
    EXPECT_EQ(Commands.Calls, std::vector<std::string>{"Copy"});
}

TEST_F(EnablingTest, TheFileAndToolMenus) {
    Form->mnuFileClick();
    EXPECT_FALSE(Form->Menus.MenuItem(cmSaveFile)->Enabled);
    Editor->SetModified(true);
    Form->mnuFileClick();
    EXPECT_TRUE(Form->Menus.MenuItem(cmSaveFile)->Enabled);

    Form->FileKind = fkVbs;
    Form->mnuToolClick();
    EXPECT_FALSE(Form->Menus.MenuItem(cmRun)->Enabled) << "changed";
    EXPECT_FALSE(Form->Menus.MenuItem(cmStop)->Enabled);
    EXPECT_TRUE(Form->Menus.MenuItem(cmOptions)->Enabled);
    Editor->SetModified(false);
    Form->mnuToolClick();
    EXPECT_TRUE(Form->Menus.MenuItem(cmRun)->Enabled);
    Form->ScriptRunning = true;
    Form->mnuToolClick();
    EXPECT_FALSE(Form->Menus.MenuItem(cmRun)->Enabled);
    EXPECT_TRUE(Form->Menus.MenuItem(cmStop)->Enabled);
    EXPECT_FALSE(Form->Menus.MenuItem(cmOptions)->Enabled);
}

TEST_F(EnablingTest, ShortcutsFollowTheEnablingOfTheirMenu) {
    const TShortCut ctrlS{'S', ssCtrl};
    EXPECT_EQ(Form->Menus.MainMenu.FindShortCut(ctrlS), nullptr);
    Editor->SetModified(true);
    EXPECT_EQ(Form->Menus.MainMenu.FindShortCut(ctrlS), Form->Menus.MenuItem(cmSaveFile));
    EXPECT_EQ(Form->Menus.MainMenu.FindShortCut({'C', ssCtrl}), nullptr);
    Commands.Selected = true;
    Form->Menus.MainMenu.FindShortCut({'C', ssCtrl})->Click();
    EXPECT_EQ(Commands.Calls, std::vector<std::string>{"Copy"});
}

TEST_F(EnablingTest, EditCommandsHandOverToTheEditor) {
    for (TMenuItem* item :
         {Form->Menus.MenuItem(cmUndo), Form->Menus.MenuItem(cmRedo), Form->Menus.MenuItem(cmCut),
          Form->Menus.MenuItem(cmCopy), Form->Menus.MenuItem(cmPaste),
          Form->Menus.MenuItem(cmDelete), Form->Menus.MenuItem(cmSelectAll)}) {
        item->Enabled = true;
        item->Click();
    }
    EXPECT_EQ(Commands.Calls, (std::vector<std::string>{"Undo", "Redo", "Cut", "Copy", "Paste",
                                                        "DeleteSelection", "SelectAll"}));
}

TEST_F(EnablingTest, TheWindowAnswersTheEditorsDoubleClickAndWheel) {
    EXPECT_TRUE(Editor->OnDblClick);
    EXPECT_TRUE(Editor->OnMouseWheel);
}

class HistoryMenuTest : public MainFormTest {};

TEST_F(HistoryMenuTest, ListsTheNewestFirstAndOpensAnEntry) {
    const std::string a = File("a.vbs", "A");
    const std::string b = File("b.vbs", "B");
    const std::string gone = Missing("gone.vbs");
    Folder.WriteFile("Env/FHist.dat", a + "\r\n" + gone + "\r\n" + b + "\r\n");
    Create();
    EXPECT_EQ(HistoryCaptions(), (std::vector<std::string>{b, gone, a}));

    LastItem(*Form->Menus.mnuFile).Click();
    EXPECT_EQ(Form->CurrentFileName, a);
    EXPECT_EQ(Text(), "A");
    EXPECT_EQ(HistoryCaptions(), (std::vector<std::string>{a, b, gone}));

    (*Form->Menus.mnuFile)[Form->Menus.mnuFile->Count() - 1].Click();
    const TMessage missing{"\r\nファイルが存在しません\r\n", "警告", TMessageType::Warning,
                           TMessageButtons::Ok};
    EXPECT_EQ(Desk.Messages, std::vector<TMessage>{missing});
    EXPECT_EQ(HistoryCaptions(), (std::vector<std::string>{a, b, gone})) << "the entry stays";
}

TEST_F(HistoryMenuTest, AHistoryThatCannotBeReadIsReported) {
    Create();
    Desk.PretendedFiles.insert(Folder.EnvPath("FHist.dat"));
    Form->SetHistory();
    ASSERT_EQ(Desk.Messages.size(), 1U);
    EXPECT_TRUE(
        Desk.Messages[0].Text.starts_with("設定ファイル\"FHist.dat\"読み込み中のエラー：\r\n"));
    EXPECT_EQ(Desk.Messages[0].Type, TMessageType::Error);
    EXPECT_TRUE(HistoryCaptions().empty());
}

class WindowMenuTest : public MainFormTest {};

TEST_F(WindowMenuTest, ListsEditorWindowsSortedWithThisOneChecked) {
    Create();
    Desk.AddEditorWindow("C:\\b.vbs");
    Desk.AddEditorWindow(Form->Title().substr(0, Form->Title().size() - 11));
    const TWindowHandle upper = Desk.AddEditorWindow("c:\\A.vbs");
    Desk.AddEditorWindow("新規[2]");
    Desk.AddWindow("Other - Kestrane Viewer", true, false, "Viewer");
    Desk.AddWindow("C:\\hidden.vbs - Kestrane", false);
    Desk.AddWindow("Unrelated");
    Form->Menus.mnuWind->OnPopup();
    Form->Menus.mnuWind->OnPopup();

    const TMenuItem& menu = *Form->Menus.mnuWind;
    EXPECT_EQ(
        CaptionsAfter(menu, *Form->Menus.mnuWindEndSp),
        (std::vector<std::string>{"c:\\A.vbs", "C:\\b.vbs", "Other - Kest", "新規[1]", "新規[2]"}));
    std::vector<bool> checks;
    for (int i = 1; i < menu.Count(); ++i) {
        checks.push_back(menu[i].Checked);
    }
    EXPECT_EQ(checks, (std::vector<bool>{false, false, false, true, false}));

    menu[1].Click();
    EXPECT_EQ(Desk.BroughtToFront, std::vector<TWindowHandle>{upper});
    EXPECT_TRUE(Desk.ProcessStarts.empty());
}

TEST_F(WindowMenuTest, QuitAllClosesTheOthersOneByOneAndThisOneLast) {
    Create();
    const TWindowHandle first = Desk.AddEditorWindow("C:\\z.vbs");
    Desk.AddEditorWindow("新規[1]");
    const TWindowHandle refusing = Desk.AddEditorWindow("C:\\a.vbs");
    const TWindowHandle foreign = Desk.AddWindow("Foreign - Kestrane", true, false, "Foreign");
    std::vector<TWindowHandle> closedWhileOthersOpen;
    Desk.OnClose = [&](TWindowHandle Window) {
        closedWhileOthersOpen.push_back(Window);
        if (Window != refusing) {
            std::erase_if(Desk.Windows, [Window](const auto& W) { return W.Handle == Window; });
        }
    };
    Form->Menus.MenuItem(cmAllQuit)->Click();
    const std::vector<TWindowHandle> others = {first, refusing, foreign};
    EXPECT_EQ(Desk.ClosesSent, others);
    EXPECT_EQ(Desk.BroughtToFront, others);
    EXPECT_EQ(View.BroughtToFront, 1);
    EXPECT_EQ(View.Closed, 1);
    EXPECT_EQ(Desk.Windows.size(), 2U) << "this window and the one that refused";
}

class LauncherTest : public MainFormTest {};

TEST_F(LauncherTest, AnEmptyTableShowsOneInertItem) {
    Create();
    EXPECT_EQ(Captions(*Form->Menus.mnuLauncher),
              std::vector<std::string>{"<<登録されていません>>"});
    (*Form->Menus.mnuLauncher)[0].Click();
    EXPECT_TRUE(Desk.ShellOpened.empty());
}

TEST_F(LauncherTest, EntriesStartTheirFilesThroughTheShell) {
    const std::string tool = File("tool.exe");
    const std::string gone = Missing("gone.exe");
    Folder.WriteFile("Env/Lc.dat", "Tool\t" + tool + "\r\n-\r\nGone\t" + gone + "\r\n");
    Create();
    const TMenuItem& menu = *Form->Menus.mnuLauncher;
    EXPECT_EQ(Captions(menu), (std::vector<std::string>{"Tool", "-", "Gone"}));
    EXPECT_TRUE(menu[1].IsSeparator());

    menu[0].Click();
    EXPECT_EQ(Desk.ShellOpened, std::vector<std::string>{tool});
    menu[2].Click();
    const TMessage missing{"\r\n" + gone + " はありません", "警告", TMessageType::Warning,
                           TMessageButtons::Ok};
    EXPECT_EQ(Desk.Messages, std::vector<TMessage>{missing});
}

TEST_F(LauncherTest, TheOptionsDialogAppliesAndSavesEverything) {
    Create();
    View.OnOptionsDialog = [](TfrmSetting& Dialog) {
        Dialog.SetFontSize(20);
        Dialog.SetTabSizeText("2");
        TfrmLcAdd add = Dialog.NewLauncherDialog();
        add.SetName("Calc");
        add.SetPath("C:\\calc.exe");
        Dialog.AddLauncher(add);
        Dialog.Accept();
    };
    Form->Menus.MenuItem(cmOptions)->Click();
    EXPECT_EQ(View.OptionsDialogs, 1);
    EXPECT_EQ(Editor->GetFont().Height, -27);
    EXPECT_EQ(Editor->GetCaret().GetTabSpaceCount(), 2);
    EXPECT_EQ(Desk.IniFiles[Folder.EnvPath("kst.ini")]["Option"]["gFontSize"], "20");
    EXPECT_EQ(Folder.ReadFile("Env/Lc.dat"), "Calc\tC:\\calc.exe\r\n");
    EXPECT_EQ(Captions(*Form->Menus.mnuLauncher), std::vector<std::string>{"Calc"});
}

TEST_F(LauncherTest, ClosingTheOptionsDialogChangesNothingButStillSaves) {
    Create();
    View.OnOptionsDialog = [](TfrmSetting& Dialog) { Dialog.SetFontSize(30); };
    Form->mnuOptionClick();
    EXPECT_EQ(Form->Settings, TSettings{});
    EXPECT_EQ(Desk.IniFiles[Folder.EnvPath("kst.ini")]["Option"]["gFontSize"], "12");
    EXPECT_EQ(Folder.ReadFile("Env/Lc.dat"), "");
}

TEST_F(MainFormTest, TheContainingFolderOpensInTheShell) {
    Create();
    Form->mnuOpenDirClick();
    const TMessage missing{"\r\n保存先フォルダが存在しません", "警告", TMessageType::Warning,
                           TMessageButtons::Ok};
    EXPECT_EQ(Desk.Messages, std::vector<TMessage>{missing});
    Form->OpenFile(File("a.vbs"));
    Form->mnuOpenDirClick();
    EXPECT_EQ(Desk.ShellOpened, std::vector<std::string>{Folder.Path("files")});
}

TEST_F(LauncherTest, WhatTheShellCannotOpenIsReported) {
    const std::string tool = File("tool.exe");
    Folder.WriteFile("Env/Lc.dat", "Tool\t" + tool + "\r\n");
    Create();
    Form->OpenFile(File("a.vbs"));
    const std::string folder = Folder.Path("files");
    Desk.UnopenablePaths = {tool, folder};
    (*Form->Menus.mnuLauncher)[0].Click();
    Form->mnuOpenDirClick();
    const auto failure = [](const std::string& Path) {
        return TMessage{"\r\n" + Path + " を開けません", "エラー", TMessageType::Error,
                        TMessageButtons::Ok};
    };
    EXPECT_EQ(Desk.Messages, (std::vector<TMessage>{failure(tool), failure(folder)}));
}

TEST_F(MainFormTest, LeavingAndTheAboutBox) {
    Create();
    Desk.Version = "2.1.0.7";
    Form->Menus.MenuItem(cmAbout)->Click();
    EXPECT_EQ(View.AboutBoxes,
              (std::vector<TAboutBox>{{"Kestrane バージョン情報", "Kestrane", "Version 2.1.0.7"}}));
    View.OnClose = [this] {
        bool canClose = true;
        Form->FormCloseQuery(canClose);
        return canClose;
    };
    Editor->SetModified(true);
    Form->Menus.MenuItem(cmExit)->Click();
    EXPECT_EQ(View.Closed, 0) << "the close query was cancelled";
    Editor->SetModified(false);
    Form->Menus.MenuItem(cmExit)->Click();
    EXPECT_EQ(View.Closed, 1);
}

} // namespace
} // namespace kst
