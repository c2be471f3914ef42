// The main window's menus, tool bar and status bar as data: the Windows layer builds the real menu
// bar, the pop-up menu and the tool bar from them, runs OnPopup before a menu opens and Click when
// an item or button is chosen, and shows Enabled, Checked, Visible, the tool bar's state text and
// the status bar's texts.
#pragma once

#include "core/menu.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace kst {

// The 16 x 16 pictures shared by the tool bar and the main menu, in image-list order.
enum TImageIndex : int {
    imNewFile,
    imOpenFile,
    imSaveFile,
    imSaveAsFile,
    imExit,
    imAllQuit,
    imUndo,
    imRedo,
    imCut,
    imCopy,
    imPaste,
    imDelete,
    imSelectAll,
    imFind,
    imReplace,
    imGoLine,
    imSearchList,
    imRun,
    imStop,
    imOpenDir,
    imComment,
    imUnComment,
    imFormat,
    imWshVersion,
    imLauncher,
    imOption,
    imAbout,
    kImageCount
};

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
// encoding ("SJIS", "UTF-16LE", "UTF-8") and "読み取り専用" while the text is read-only.
struct TStatusBar {
    enum TPart : std::uint8_t { spCaret, spEncoding, spReadOnly, kPartCount };

    std::array<std::string, kPartCount> Parts;
};

// The menu bar, the editor's pop-up menu, the tool bar, the status bar, and the items the
// window's logic enables, fills or checks. The pointers point into the trees.
struct TMainMenus {
    // The picture of a main-menu item; -1 for none.
    int ImageIndexOf(const TMenuItem& Item) const;

    TMenuItem MainMenu;
    TPopupMenu PopupMenu1;
    TToolBar ToolBar1;
    TStatusBar StatusBar1;
    std::map<const TMenuItem*, int> ImageIndexes;

    TMenuItem* mnuFile = nullptr;
    TMenuItem* mnuNewFile = nullptr;
    TMenuItem* mnuOpenFile = nullptr;
    TMenuItem* mnuSaveFile = nullptr;
    TMenuItem* mnuSaveAsFile = nullptr;
    TMenuItem* mnuExit = nullptr;
    TMenuItem* mnuAllQuit = nullptr;
    TMenuItem* mnuFileEndSP = nullptr;

    TMenuItem* mnuEdit = nullptr;
    TMenuItem* mnuUndo = nullptr;
    TMenuItem* mnuRedo = nullptr;
    TMenuItem* mnuCut = nullptr;
    TMenuItem* mnuCopy = nullptr;
    TMenuItem* mnuPaste = nullptr;
    TMenuItem* mnuDelete = nullptr;
    TMenuItem* mnuAllSelect = nullptr;

    TMenuItem* mnuSearch = nullptr;
    TMenuItem* mnuFind = nullptr;
    TMenuItem* mnuFindNext = nullptr;
    TMenuItem* mnuReplace = nullptr;
    TMenuItem* mnuGoLine = nullptr;
    TMenuItem* mnuSearchList = nullptr;
    TMenuItem* mnuGoSearchList = nullptr;

    TMenuItem* mnuTool = nullptr;
    TMenuItem* mnuSaveRun = nullptr;
    TMenuItem* mnuRun = nullptr;
    TMenuItem* mnuConsoleRun = nullptr;
    TMenuItem* mnuStop = nullptr;
    TMenuItem* mnuOpenDir = nullptr;
    TMenuItem* mnuCanCom = nullptr;
    TMenuItem* mnuUNCanCom = nullptr;
    TMenuItem* mnuCheckSentences = nullptr;
    TMenuItem* mnuSyntaxCheck = nullptr;
    TMenuItem* mnuProcedureList = nullptr;
    TMenuItem* mnuWshVersion = nullptr;
    TMenuItem* mnuLauncher = nullptr;
    TMenuItem* mnuOption = nullptr;

    TMenuItem* mnuWind = nullptr;
    TMenuItem* mnuWindEndSp = nullptr;

    TMenuItem* mnuHelp = nullptr;
    TMenuItem* mnuAbout = nullptr;

    TMenuItem* pmnUndo = nullptr;
    TMenuItem* pmnCut = nullptr;
    TMenuItem* pmnCopy = nullptr;
    TMenuItem* pmnPaste = nullptr;
    TMenuItem* pmnDelete = nullptr;
    TMenuItem* pmnAllSelect = nullptr;

    TToolButton* tbNewFile = nullptr;
    TToolButton* tbOpenFile = nullptr;
    TToolButton* tbSaveFile = nullptr;
    TToolButton* tbCut = nullptr;
    TToolButton* tbCopy = nullptr;
    TToolButton* tbPaste = nullptr;
    TToolButton* tbUndo = nullptr;
    TToolButton* tbRedo = nullptr;
    TToolButton* tbtnCanCom = nullptr;
    TToolButton* tbtnUNCanCom = nullptr;
    TToolButton* tbtnBuildStyle = nullptr;
    TToolButton* tbRun = nullptr;
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
