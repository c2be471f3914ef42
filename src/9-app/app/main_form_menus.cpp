// The construction of the main window's menus and tool bar.
#include "app/main_form.h"

namespace kst {

TMenuItem& TForm1::AddItem(TMenuItem& Menu, std::string Caption, std::string_view ShortCut,
                           void (TForm1::*Handler)(), int ImageIndex) {
    std::function<void()> action;
    if (Handler != nullptr) {
        action = [this, Handler] { (this->*Handler)(); };
    }
    TMenuItem& item = Menu.Add(std::move(Caption), TextToShortCut(ShortCut), std::move(action));
    item.Enabled = item.OnClick != nullptr;
    if (ImageIndex >= 0) {
        Menus.ImageIndexes[&item] = ImageIndex;
    }
    return item;
}

// An item that only carries a shortcut.
TMenuItem& TForm1::AddHiddenItem(TMenuItem& Menu, std::string Caption, std::string_view ShortCut,
                                 void (TForm1::*Handler)()) {
    TMenuItem& item = AddItem(Menu, std::move(Caption), ShortCut, Handler);
    item.Visible = false;
    return item;
}

void TForm1::BuildMainMenu() {
    TMenuItem& root = Menus.MainMenu;
    Menus.mnuFile = &root.Add("ファイル(&F)");
    BuildFileMenu(*Menus.mnuFile);
    Menus.mnuEdit = &root.Add("編集(&E)");
    BuildEditMenu(*Menus.mnuEdit);
    Menus.mnuSearch = &root.Add("検索(&S)");
    BuildSearchMenu(*Menus.mnuSearch);
    Menus.mnuTool = &root.Add("ツール(&T)");
    BuildToolMenu(*Menus.mnuTool);
    Menus.mnuWind = &root.Add("ウインドウ(&W)");
    Menus.mnuWind->OnPopup = [this] { mnuWindClick(); };
    Menus.mnuWindEndSp = &Menus.mnuWind->AddSeparator();
    Menus.mnuHelp = &root.Add("ヘルプ(&H)");
    Menus.mnuAbout =
        &AddItem(*Menus.mnuHelp, "バージョン情報(&A)", "", &TForm1::mnuAboutClick, imAbout);
}

void TForm1::BuildFileMenu(TMenuItem& Menu) {
    Menu.OnPopup = [this] { mnuFileClick(); };
    Menus.mnuNewFile =
        &AddItem(Menu, "新規作成(&N)", "Ctrl+N", &TForm1::mnuNewFileClick, imNewFile);
    Menus.mnuOpenFile = &AddItem(Menu, "開く(&O)", "Ctrl+O", &TForm1::mnuOpenFileClick, imOpenFile);
    Menus.mnuSaveFile =
        &AddItem(Menu, "上書き保存(&S)", "Ctrl+S", &TForm1::mnuSaveFileClick, imSaveFile);
    Menus.mnuSaveAsFile =
        &AddItem(Menu, "名前を付けて保存", "", &TForm1::mnuSaveAsFileClick, imSaveAsFile);
    Menu.AddSeparator();
    Menus.mnuExit = &AddItem(Menu, "このファイルを終了(&X)", "", &TForm1::mnuExitClick, imExit);
    Menus.mnuAllQuit = &AddItem(Menu, "全て終了(&Q)", "", &TForm1::mnuAllQuitClick, imAllQuit);
    Menus.mnuFileEndSP = &Menu.AddSeparator();
}

void TForm1::BuildEditMenu(TMenuItem& Menu) {
    Menu.OnPopup = [this] { mnuEditClick(); };
    Menus.mnuUndo = &AddItem(Menu, "元に戻る(&U)", "Ctrl+Z", &TForm1::mnuUndoClick, imUndo);
    Menus.mnuRedo = &AddItem(Menu, "やり直し(&R)", "Ctrl+Y", &TForm1::mnuRedoClick, imRedo);
    Menus.mnuCut = &AddItem(Menu, "切り取り(&T)", "Ctrl+X", &TForm1::mnuCutClick, imCut);
    Menus.mnuCopy = &AddItem(Menu, "コピー(&C)", "Ctrl+C", &TForm1::mnuCopyClick, imCopy);
    Menus.mnuPaste = &AddItem(Menu, "貼り付け(&P)", "Ctrl+V", &TForm1::mnuPasteClick, imPaste);
    Menus.mnuDelete = &AddItem(Menu, "削除", "", &TForm1::mnuDeleteClick, imDelete);
    Menus.mnuAllSelect =
        &AddItem(Menu, "全て選択(&L)", "Ctrl+A", &TForm1::mnuAllSelectClick, imSelectAll);
}

void TForm1::BuildSearchMenu(TMenuItem& Menu) {
    Menus.mnuFind = &AddItem(Menu, "検索(&F)", "Ctrl+F", &TForm1::mnuFindClick, imFind);
    Menus.mnuFindNext = &AddHiddenItem(Menu, "ワンタッチ検索", "F3", &TForm1::mnuFindNextClick);
    Menus.mnuReplace = &AddItem(Menu, "置換(&R)", "", &TForm1::mnuReplaceClick, imReplace);
    Menus.mnuGoLine =
        &AddItem(Menu, "指定行に移動(&G)", "Ctrl+G", &TForm1::mnuGoLineClick, imGoLine);
    Menus.mnuSearchList =
        &AddItem(Menu, "検索情報ウインドウ", "Ctrl+M", &TForm1::mnuSearchListClick, imSearchList);
    Menus.mnuGoSearchList =
        &AddHiddenItem(Menu, "検索情報へ移動", "F12", &TForm1::mnuGoSearchListClick);
}

void TForm1::BuildToolMenu(TMenuItem& Menu) {
    Menu.OnPopup = [this] { mnuToolClick(); };
    Menus.mnuSaveRun = &AddHiddenItem(Menu, "保存して実行", "F9", &TForm1::mnuWSHRun2Click);
    Menus.mnuRun = &AddItem(Menu, "スクリプト実行(&R)", "F8", &TForm1::mnuWSHRunClick, imRun);
    Menus.mnuConsoleRun =
        &AddItem(Menu, "コンソールで実行(&E)", "Shift+F8", &TForm1::mnuConsoleRunClick);
    Menus.mnuStop = &AddItem(Menu, "スクリプ停止(&S)", "Ctrl+Q", &TForm1::mnuWSHStopClick, imStop);
    Menus.mnuOpenDir = &AddItem(Menu, "編集中ファイルの格納フォルダを開く", "",
                                &TForm1::mnuOpenDirClick, imOpenDir);
    Menus.mnuCanCom = &AddHiddenItem(Menu, "コメント化", "F5", &TForm1::mnuCanComClick);
    Menus.mnuUNCanCom = &AddHiddenItem(Menu, "非コメント化", "F6", &TForm1::mnuUNCanComClick);
    Menus.mnuCheckSentences =
        &AddItem(Menu, "自動整形処理(&C)", "Ctrl+T", &TForm1::mnuBuildStyle, imFormat);
    Menus.mnuSyntaxCheck = &AddItem(Menu, "構文チェック(&K)", "F7", &TForm1::mnuSyntaxCheckClick);
    Menus.mnuProcedureList =
        &AddItem(Menu, "プロシージャ一覧(&P)", "F2", &TForm1::mnuProcedureListClick);
    Menus.mnuWshVersion =
        &AddItem(Menu, "WSHのバージョン等の表示(&V)", "", &TForm1::mnuWSHinfoClick, imWshVersion);
    Menus.mnuLauncher = &Menu.Add("ランチャー項目");
    Menus.ImageIndexes[Menus.mnuLauncher] = imLauncher;
    Menus.mnuOption = &AddItem(Menu, "オプション(&O)", "", &TForm1::mnuOptionClick, imOption);
}

void TForm1::BuildPopupMenu() {
    TMenuItem& menu = Menus.PopupMenu1.Items;
    menu.OnPopup = [this] { PopupMenu1Popup(); };
    Menus.pmnUndo = &AddItem(menu, "元に戻る(&Z)", "", &TForm1::mnuUndoClick);
    menu.AddSeparator();
    Menus.pmnCut = &AddItem(menu, "切り取り(&X)", "", &TForm1::mnuCutClick);
    Menus.pmnCopy = &AddItem(menu, "コピー(&C)", "", &TForm1::mnuCopyClick);
    Menus.pmnPaste = &AddItem(menu, "貼り付け(&V)", "", &TForm1::mnuPasteClick);
    Menus.pmnDelete = &AddItem(menu, "削除", "", &TForm1::mnuDeleteClick);
    menu.AddSeparator();
    Menus.pmnAllSelect = &AddItem(menu, "全て選択(&A)", "", &TForm1::mnuAllSelectClick);
}

void TForm1::BuildToolBar() {
    TToolBar& bar = Menus.ToolBar1;
    const auto action = [this](void (TForm1::*Handler)()) {
        return [this, Handler] { (this->*Handler)(); };
    };
    Menus.tbNewFile = &bar.Add("新規作成", imNewFile, action(&TForm1::mnuNewFileClick));
    Menus.tbOpenFile = &bar.Add("開く", imOpenFile, action(&TForm1::mnuOpenFileClick));
    Menus.tbSaveFile = &bar.Add("上書保存", imSaveFile, action(&TForm1::mnuSaveFileClick));
    bar.AddSeparator();
    Menus.tbCut = &bar.Add("切り取り", imCut, action(&TForm1::mnuCutClick));
    Menus.tbCopy = &bar.Add("コピー", imCopy, action(&TForm1::mnuCopyClick));
    Menus.tbPaste = &bar.Add("貼り付け", imPaste, action(&TForm1::mnuPasteClick));
    bar.AddSeparator();
    Menus.tbUndo = &bar.Add("元に戻る", imUndo, action(&TForm1::mnuUndoClick));
    Menus.tbRedo = &bar.Add("やり直し", imRedo, action(&TForm1::mnuRedoClick));
    bar.AddSeparator();
    Menus.tbtnCanCom = &bar.Add("コメント化", imComment, action(&TForm1::mnuCanComClick));
    Menus.tbtnUNCanCom = &bar.Add("非コメント化", imUnComment, action(&TForm1::mnuUNCanComClick));
    bar.AddSeparator();
    Menus.tbtnBuildStyle = &bar.Add("自動整形処理", imFormat, action(&TForm1::mnuBuildStyle));
    bar.AddSeparator();
    Menus.tbRun = &bar.Add("スクリプトの実行", imRun, action(&TForm1::mnuWSHRunClick));
    bar.AddSeparator();
}

} // namespace kst
