// The main window's menus, pop-up menu and tool bar made from the command table, their enabling,
// the shortcut keys and the dispatcher.
#include "app/main_form.h"
#include "core/messages.h"

#include <algorithm>
#include <vector>

namespace kst {

namespace {

// The commands that have a place on a bar (the pop-up menu or the tool bar), in its order.
std::vector<const TCommandRow*> CommandsOn(TBarPlace TCommandRow::*Bar) {
    std::vector<const TCommandRow*> rows;
    for (const TCommandRow& row : MainCommands()) {
        if (!(row.*Bar).IsNone()) {
            rows.push_back(&row);
        }
    }
    std::ranges::stable_sort(rows, {}, [Bar](const TCommandRow* Row) { return (Row->*Bar).Place; });
    return rows;
}

} // namespace

void TForm1::BuildMainMenu() {
    TMenuItem& root = Menus.MainMenu;
    Menus.mnuFile = &root.Add("ファイル(&F)");
    Menus.mnuFile->OnPopup = [this] { mnuFileClick(); };
    AddMenuCommands(*Menus.mnuFile, mnFile);
    Menus.mnuFileEndSP = &Menus.mnuFile->AddSeparator();
    Menus.mnuEdit = &root.Add("編集(&E)");
    Menus.mnuEdit->OnPopup = [this] { mnuEditClick(); };
    AddMenuCommands(*Menus.mnuEdit, mnEdit);
    Menus.mnuSearch = &root.Add("検索(&S)");
    Menus.mnuSearch->OnPopup = [this] { EnableMenu(mnSearch); };
    AddMenuCommands(*Menus.mnuSearch, mnSearch);
    Menus.mnuTool = &root.Add("ツール(&T)");
    Menus.mnuTool->OnPopup = [this] { mnuToolClick(); };
    AddMenuCommands(*Menus.mnuTool, mnTool);
    Menus.mnuWind = &root.Add("ウインドウ(&W)");
    Menus.mnuWind->OnPopup = [this] { mnuWindClick(); };
    Menus.mnuWindEndSp = &Menus.mnuWind->AddSeparator();
    Menus.mnuHelp = &root.Add("ヘルプ(&H)");
    Menus.mnuHelp->OnPopup = [this] { EnableMenu(mnHelp); };
    AddMenuCommands(*Menus.mnuHelp, mnHelp);
}

// The launcher's sub-menu, which is no command, comes right before the options.
void TForm1::AddMenuCommands(TMenuItem& Menu, TMainMenuId Id) {
    const TCommandRow* previous = nullptr;
    for (const TCommandRow& row : MainCommands()) {
        if (row.Menu.Menu != Id) {
            continue;
        }
        if (previous != nullptr && previous->Menu.Group != row.Menu.Group) {
            Menu.AddSeparator();
        }
        if (row.Id == cmOptions) {
            Menus.mnuLauncher = &Menu.Add("ランチャー項目");
            Menus.ImageIndexes[Menus.mnuLauncher] = imLauncher;
        }
        TMenuItem& item = Menu.Add(std::string(row.Caption), FKeyBindings.KeyOf(row.Id),
                                   [this, id = row.Id] { Execute(id); });
        item.Visible = row.Menu.Shown;
        if (row.Picture != imNone) {
            Menus.ImageIndexes[&item] = row.Picture;
        }
        Menus.SetMenuItem(row.Id, item);
        previous = &row;
    }
}

void TForm1::BuildPopupMenu() {
    TMenuItem& menu = Menus.PopupMenu1.Items;
    menu.OnPopup = [this] { PopupMenu1Popup(); };
    const TCommandRow* previous = nullptr;
    for (const TCommandRow* row : CommandsOn(&TCommandRow::PopUp)) {
        if (previous != nullptr && row->PopUp.StartsGroupAfter(previous->PopUp)) {
            menu.AddSeparator();
        }
        Menus.SetPopupItem(row->Id, menu.Add(std::string(row->PopUp.Caption), {},
                                             [this, id = row->Id] { Execute(id); }));
        previous = row;
    }
}

// The bar ends with a line before the state box.
void TForm1::BuildToolBar() {
    TToolBar& bar = Menus.ToolBar1;
    const TCommandRow* previous = nullptr;
    for (const TCommandRow* row : CommandsOn(&TCommandRow::Button)) {
        if (previous != nullptr && row->Button.StartsGroupAfter(previous->Button)) {
            bar.AddSeparator();
        }
        Menus.SetButton(row->Id, bar.Add(std::string(row->Button.Caption), row->Picture,
                                         [this, id = row->Id] { Execute(id); }));
        previous = row;
    }
    bar.AddSeparator();
}

bool TForm1::CommandEnabled(TCommandId Id) const {
    return (this->*CommandRow(Id).Rule)();
}

// The rules read the clipboard's state as ClipboardChanged saw it; a menu asks it afresh.
void TForm1::EnableMenu(TMainMenuId Id) {
    ClipboardChanged();
    for (const TCommandRow& row : MainCommands()) {
        if (row.Menu.Menu == Id) {
            EnableCommand(*Menus.MenuItem(row.Id), CommandEnabled(row.Id));
        }
    }
}

void TForm1::PopupMenu1Popup() {
    ClipboardChanged();
    for (const TCommandRow& row : MainCommands()) {
        if (TMenuItem* item = Menus.PopupItem(row.Id)) {
            EnableCommand(*item, CommandEnabled(row.Id));
        }
    }
}

void TForm1::EnableButtons() {
    for (const TCommandRow& row : MainCommands()) {
        if (TToolButton* button = Menus.Button(row.Id)) {
            EnableCommand(*button, CommandEnabled(row.Id));
        }
    }
}

void TForm1::Execute(TCommandId Id) {
    const TCommandRow& row = CommandRow(Id);
    // A read-only lossy text brought in by a reload may still be taken back.
    if (row.Text == tuEdits && !MayChangeText() && !(Id == cmUndo && ReloadUndoable())) {
        return;
    }
    (this->*row.Handler)();
}

// Esc stops a folder search before any binding sees it: no command may have the key, which the
// editor and the list would otherwise take.
bool TForm1::ShortCut(TShortCut Key) {
    if (FFolderSearch && Key == TShortCut{VK_ESCAPE, 0}) {
        mnuStopFolderSearchClick();
        return true;
    }
    const std::optional<TCommandId> id = FKeyBindings.CommandOf(Key);
    if (!id) {
        return false;
    }
    ClipboardChanged();
    if (CommandEnabled(*id)) {
        Execute(*id);
    }
    return true;
}

void TForm1::SetKeyBindings(const TKeyBindings& Bindings) {
    FKeyBindings = Bindings;
    for (const TCommandRow& row : MainCommands()) {
        Menus.MenuItem(row.Id)->ShortCut = FKeyBindings.KeyOf(row.Id);
    }
}

} // namespace kst
