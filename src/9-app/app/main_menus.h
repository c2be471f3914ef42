// The main window's menus, tool bar and status bar as data: the Windows layer builds the real menu
// bar, the pop-up menu and the tool bar from them, runs OnPopup before a menu opens and Click when
// an item or button is chosen, and shows Enabled, Checked, Visible, the tool bar's state text and
// the status bar's texts.
#pragma once

#include "app/main_commands.h"
#include "core/menu.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace kst {

struct TToolButton {
    std::string Hint;
    int ImageIndex = -1;
    bool Separator = false;
    bool Enabled = true;
    std::function<void()> OnClick;

    // Runs the action of an enabled button.
    void Click();
};

struct TToolBar {
    static constexpr std::string_view StatusHint = "状態の表示";

    // Appends a button and returns it (buttons never move).
    TToolButton& Add(std::string Hint, int ImageIndex, std::function<void()> OnClick);
    void AddSeparator();

    std::deque<TToolButton> Buttons;
    // The text of the disabled edit box after the last button.
    std::string StatusText;
};

// The status bar's parts, in this order: the caret's line and column ("12 行, 5 桁"), the file's
// encoding ("SJIS", "UTF-16LE", "UTF-8"), "読み取り専用" while the text is read-only, the first
// problem of a script on the caret's line, and the progress of a search through a folder.
struct TStatusBar {
    enum TPart : std::uint8_t {
        spCaret,
        spEncoding,
        spReadOnly,
        spProblem,
        spFolderSearch,
        kPartCount
    };

    std::array<std::string, kPartCount> Parts;
};

// The menu bar, the editor's pop-up menu, the tool bar, the status bar, and the items the
// window's logic enables, fills or checks. The pointers point into the trees.
class TMainMenus {
public:
    // The picture of a main-menu item; -1 for none.
    int ImageIndexOf(const TMenuItem& Item) const;

    TMenuItem MainMenu;
    TPopupMenu PopupMenu1;
    TToolBar ToolBar1;
    TStatusBar StatusBar1;
    std::map<const TMenuItem*, int> ImageIndexes;

    // The item or button of each command; null where it has none.
    TMenuItem* MenuItem(TCommandId Id) const { return FMenuItems[Id]; }
    TMenuItem* PopupItem(TCommandId Id) const { return FPopupItems[Id]; }
    TToolButton* Button(TCommandId Id) const { return FButtons[Id]; }
    void SetMenuItem(TCommandId Id, TMenuItem& Item) { FMenuItems[Id] = &Item; }
    void SetPopupItem(TCommandId Id, TMenuItem& Item) { FPopupItems[Id] = &Item; }
    void SetButton(TCommandId Id, TToolButton& Button) { FButtons[Id] = &Button; }

    // The drop-downs of the menu bar and the items that are not commands.
    TMenuItem* mnuFile = nullptr;
    TMenuItem* mnuFileEndSP = nullptr;
    TMenuItem* mnuEdit = nullptr;
    TMenuItem* mnuSearch = nullptr;
    TMenuItem* mnuTool = nullptr;
    TMenuItem* mnuLauncher = nullptr;
    TMenuItem* mnuWind = nullptr;
    TMenuItem* mnuWindEndSp = nullptr;
    TMenuItem* mnuHelp = nullptr;

private:
    std::array<TMenuItem*, kCommandCount> FMenuItems{};
    std::array<TMenuItem*, kCommandCount> FPopupItems{};
    std::array<TToolButton*, kCommandCount> FButtons{};
};

// Removes every item of Menu after Separator.
void DeleteItemsAfter(TMenuItem& Menu, const TMenuItem& Separator);

// Enables a command when Rule holds and it has an action; a command without one (of a part of
// the program not present) stays disabled.
template <class TCommand>
void EnableCommand(TCommand& Command, bool Rule) {
    Command.Enabled = Rule && Command.OnClick != nullptr;
}

} // namespace kst
