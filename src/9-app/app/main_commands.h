// The main window's commands, one row each: the menu bar, the editor's pop-up menu, the tool bar,
// the shortcut keys and the dispatcher are all made from this table.
//
//   COMMAND(Id, Caption, Keys, Menu, PopUp, Button, Picture, Text, Rule, Handler)
//     Id       the command's name (cmId in the code, Id in the keys file);
//     Caption  the main menu's caption with its access key;
//     Keys     the default shortcut ("" for none);
//     Menu     InMenu(menu, group) or HiddenIn(menu, group) for an item that is there only for
//              its shortcut; a menu lists its commands in the table's order, with a line where
//              the group changes;
//     PopUp    InPopUp(place, caption) or NoPopUp;  Button  OnToolBar(place, hint) or NoButton:
//              places are ordered and a line is drawn where their tens change;
//     Picture  the picture of the menu item and the button (imNone for none);
//     Text     tuEdits when the command changes the text: the dispatcher refuses it while the text
//              is read-only; tuReads otherwise;
//     Rule     the TForm1 member that says whether the command is enabled now;
//     Handler  the TForm1 member that carries it out.
#pragma once

#include "core/menu.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kst {

class TForm1;

// clang-format off
#define KST_MAIN_COMMANDS(COMMAND)                                                                 \
    COMMAND(NewFile, "新規作成(&N)", "Ctrl+N", InMenu(mnFile, 1), NoPopUp,                         \
            OnToolBar(11, "新規作成"), imNewFile, tuReads, Anytime, mnuNewFileClick)               \
    COMMAND(OpenFile, "開く(&O)", "Ctrl+O", InMenu(mnFile, 1), NoPopUp,                            \
            OnToolBar(12, "開く"), imOpenFile, tuReads, Anytime, mnuOpenFileClick)                 \
    COMMAND(SaveFile, "上書き保存(&S)", "Ctrl+S", InMenu(mnFile, 1), NoPopUp,                      \
            OnToolBar(13, "上書保存"), imSaveFile, tuReads, IsModified, mnuSaveFileClick)          \
    COMMAND(SaveAsFile, "名前を付けて保存", "", InMenu(mnFile, 1), NoPopUp, NoButton,              \
            imSaveAsFile, tuReads, Anytime, mnuSaveAsFileClick)                                    \
    COMMAND(Exit, "このファイルを終了(&X)", "", InMenu(mnFile, 2), NoPopUp, NoButton, imExit,      \
            tuReads, Anytime, mnuExitClick)                                                        \
    COMMAND(AllQuit, "全て終了(&Q)", "", InMenu(mnFile, 2), NoPopUp, NoButton, imAllQuit,          \
            tuReads, Anytime, mnuAllQuitClick)                                                     \
    COMMAND(Undo, "元に戻る(&U)", "Ctrl+Z", InMenu(mnEdit, 1), InPopUp(11, "元に戻る(&Z)"),        \
            OnToolBar(31, "元に戻る"), imUndo, tuEdits, CanUndo, mnuUndoClick)                     \
    COMMAND(Redo, "やり直し(&R)", "Ctrl+Y", InMenu(mnEdit, 1), NoPopUp,                            \
            OnToolBar(32, "やり直し"), imRedo, tuEdits, CanRedo, mnuRedoClick)                     \
    COMMAND(Cut, "切り取り(&T)", "Ctrl+X", InMenu(mnEdit, 1), InPopUp(21, "切り取り(&X)"),         \
            OnToolBar(21, "切り取り"), imCut, tuEdits, CanCut, mnuCutClick)                        \
    COMMAND(Copy, "コピー(&C)", "Ctrl+C", InMenu(mnEdit, 1), InPopUp(22, "コピー(&C)"),            \
            OnToolBar(22, "コピー"), imCopy, tuReads, HasSelection, mnuCopyClick)                  \
    COMMAND(Paste, "貼り付け(&P)", "Ctrl+V", InMenu(mnEdit, 1), InPopUp(23, "貼り付け(&V)"),       \
            OnToolBar(23, "貼り付け"), imPaste, tuEdits, CanPaste, mnuPasteClick)                  \
    COMMAND(Delete, "削除", "", InMenu(mnEdit, 1), InPopUp(24, "削除"), NoButton, imDelete,        \
            tuEdits, CanCut, mnuDeleteClick)                                                       \
    COMMAND(SelectAll, "全て選択(&L)", "Ctrl+A", InMenu(mnEdit, 1), InPopUp(31, "全て選択(&A)"),   \
            NoButton, imSelectAll, tuReads, Anytime, mnuAllSelectClick)                            \
    COMMAND(WordWrap, "折り返し表示(&W)", "", InMenu(mnEdit, 2), NoPopUp, NoButton, imNone,       \
            tuReads, Anytime, mnuWordWrapClick)                                                    \
    COMMAND(Find, "検索(&F)", "Ctrl+F", InMenu(mnSearch, 1), NoPopUp, NoButton, imFind, tuReads,   \
            Anytime, mnuFindClick)                                                                 \
    COMMAND(FindNext, "ワンタッチ検索", "F3", HiddenIn(mnSearch, 1), NoPopUp, NoButton, imNone,    \
            tuReads, Anytime, mnuFindNextClick)                                                    \
    COMMAND(Replace, "置換(&R)", "", InMenu(mnSearch, 1), NoPopUp, NoButton, imReplace, tuReads,   \
            Anytime, mnuReplaceClick)                                                              \
    COMMAND(FolderSearch, "フォルダから検索(&I)...", "", InMenu(mnSearch, 1), NoPopUp, NoButton,   \
            imNone, tuReads, Anytime, mnuFolderSearchClick)                                        \
    COMMAND(StopFolderSearch, "フォルダ検索を中止(&T)", "", InMenu(mnSearch, 1), NoPopUp,          \
            NoButton, imNone, tuReads, FolderSearchRuns, mnuStopFolderSearchClick)                 \
    COMMAND(GoLine, "指定行に移動(&G)", "Ctrl+G", InMenu(mnSearch, 1), NoPopUp, NoButton,          \
            imGoLine, tuReads, Anytime, mnuGoLineClick)                                            \
    COMMAND(SearchList, "検索情報ウインドウ", "Ctrl+M", InMenu(mnSearch, 1), NoPopUp, NoButton,    \
            imSearchList, tuReads, Anytime, mnuSearchListClick)                                    \
    COMMAND(GoSearchList, "検索情報へ移動", "F12", HiddenIn(mnSearch, 1), NoPopUp, NoButton,       \
            imNone, tuReads, Anytime, mnuGoSearchListClick)                                        \
    COMMAND(SaveRun, "保存して実行", "F9", HiddenIn(mnTool, 1), NoPopUp, NoButton, imNone,         \
            tuReads, NoScriptRuns, mnuWSHRun2Click)                                                \
    COMMAND(Run, "スクリプト実行(&R)", "F8", InMenu(mnTool, 1), NoPopUp,                           \
            OnToolBar(61, "スクリプトの実行"), imRun, tuReads, CanRunScript, mnuWSHRunClick)       \
    COMMAND(ConsoleRun, "コンソールで実行(&E)", "Shift+F8", InMenu(mnTool, 1), NoPopUp, NoButton,  \
            imNone, tuReads, CanRunScript, mnuConsoleRunClick)                                     \
    COMMAND(Stop, "スクリプ停止(&S)", "Ctrl+Q", InMenu(mnTool, 1), NoPopUp, NoButton, imStop,      \
            tuReads, ScriptRuns, mnuWSHStopClick)                                                  \
    COMMAND(OpenDir, "編集中ファイルの格納フォルダを開く", "", InMenu(mnTool, 1), NoPopUp,         \
            NoButton, imOpenDir, tuReads, Anytime, mnuOpenDirClick)                                \
    COMMAND(Comment, "コメント化", "F5", HiddenIn(mnTool, 1), NoPopUp,                             \
            OnToolBar(41, "コメント化"), imComment, tuEdits, NoScriptRuns, mnuCanComClick)         \
    COMMAND(Uncomment, "非コメント化", "F6", HiddenIn(mnTool, 1), NoPopUp,                         \
            OnToolBar(42, "非コメント化"), imUnComment, tuEdits, NoScriptRuns, mnuUNCanComClick)   \
    COMMAND(Format, "自動整形処理(&C)", "Ctrl+T", InMenu(mnTool, 1), NoPopUp,                      \
            OnToolBar(51, "自動整形処理"), imFormat, tuEdits, Anytime, mnuBuildStyle)              \
    COMMAND(SyntaxCheck, "構文チェック(&K)", "F7", InMenu(mnTool, 1), NoPopUp, NoButton, imNone,   \
            tuReads, Anytime, mnuSyntaxCheckClick)                                                 \
    COMMAND(ProcedureList, "プロシージャ一覧(&P)", "F2", InMenu(mnTool, 1), NoPopUp, NoButton,     \
            imNone, tuReads, Anytime, mnuProcedureListClick)                                       \
    COMMAND(WshVersion, "WSHのバージョン等の表示(&V)", "", InMenu(mnTool, 1), NoPopUp, NoButton,   \
            imWshVersion, tuReads, Anytime, mnuWSHinfoClick)                                       \
    COMMAND(Options, "オプション(&O)", "", InMenu(mnTool, 1), NoPopUp, NoButton, imOption,         \
            tuReads, NoScriptRuns, mnuOptionClick)                                                 \
    COMMAND(Keys, "キーの割り当て(&A)...", "", InMenu(mnTool, 1), NoPopUp, NoButton, imNone,       \
            tuReads, NoScriptRuns, mnuKeysClick)                                                   \
    COMMAND(About, "バージョン情報(&A)", "", InMenu(mnHelp, 1), NoPopUp, NoButton, imAbout,        \
            tuReads, Anytime, mnuAboutClick)
// clang-format on

// The 16 x 16 pictures shared by the tool bar and the main menu, in image-list order.
enum TImageIndex : int {
    imNone = -1,
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

enum TCommandId : std::uint8_t {
#define KST_COMMAND_ID(Id, ...) cm##Id,
    KST_MAIN_COMMANDS(KST_COMMAND_ID)
#undef KST_COMMAND_ID
        kCommandCount
};

// The main menu's drop-downs that hold commands, in the menu bar's order.
enum TMainMenuId : std::uint8_t { mnFile, mnEdit, mnSearch, mnTool, mnHelp };

enum TTextUse : bool { tuReads, tuEdits };

struct TMenuPlace {
    TMainMenuId Menu;
    int Group;
    bool Shown;
};

constexpr TMenuPlace InMenu(TMainMenuId Menu, int Group) {
    return {Menu, Group, true};
}
constexpr TMenuPlace HiddenIn(TMainMenuId Menu, int Group) {
    return {Menu, Group, false};
}

// A place in the pop-up menu or on the tool bar, with the caption or hint shown there; place 0 is
// none.
struct TBarPlace {
    int Place = 0;
    std::string_view Caption;

    bool IsNone() const { return Place == 0; }
    // Whether a line separates this place from the one before.
    bool StartsGroupAfter(const TBarPlace& Previous) const {
        return Previous.Place / 10 != Place / 10;
    }
};

constexpr TBarPlace InPopUp(int Place, std::string_view Caption) {
    return {Place, Caption};
}
constexpr TBarPlace OnToolBar(int Place, std::string_view Hint) {
    return {Place, Hint};
}
inline constexpr TBarPlace NoPopUp{};
inline constexpr TBarPlace NoButton{};

struct TCommandRow {
    TCommandId Id;
    std::string_view Name;
    std::string_view Caption;
    std::string_view DefaultKeys;
    TMenuPlace Menu;
    TBarPlace PopUp;
    TBarPlace Button;
    TImageIndex Picture;
    TTextUse Text;
    bool (TForm1::*Rule)() const;
    void (TForm1::*Handler)();
};

// Every command, in TCommandId order.
std::span<const TCommandRow> MainCommands();
inline const TCommandRow& CommandRow(TCommandId Id) {
    return MainCommands()[Id];
}
// The command with this name; none for an unknown name.
std::optional<TCommandId> CommandNamed(std::string_view Name);

// Whether a command may have Key: a key with a name, with Ctrl or Alt or a function key; the other
// keys type text or move the caret in the editor.
bool MayBeCommandKey(TShortCut Key);

// Each command's shortcut; a key belongs to one command at most.
class TKeyBindings {
public:
    // The default shortcuts.
    TKeyBindings();

    TShortCut KeyOf(TCommandId Id) const { return FKeys[Id]; }
    // The command Key is bound to; none when no command has it.
    std::optional<TCommandId> CommandOf(TShortCut Key) const;
    // Binds Key (none removes the shortcut) to Id; a command that had Key loses it.
    void Bind(TCommandId Id, TShortCut Key);
    bool IsDefault(TCommandId Id) const;
    bool operator==(const TKeyBindings&) const = default;

private:
    std::array<TShortCut, kCommandCount> FKeys;
};

} // namespace kst
