// The main window's modal dialogs on Windows: the about box, the options dialog with its launcher
// registration dialog, and a Yes/Cancel question. Each is built from an in-memory dialog template,
// centred on its owner, and shows the state of the portable dialog model it is given.
#pragma once

#include "app/key_dialog.h"
#include "app/main_view.h"
#include "app/option_dialogs.h"
#include "app/search_dialogs.h"
#include "platform/desktop.h"
#include "win32/windows_api.h"

#include <string>

namespace kst::win32 {

// Control ids, for the code that drives the dialogs from outside (the end-to-end tests).
enum TDialogControlId : int {
    // The about box: the program icon, the product name and the version line; IDOK closes it.
    idAboutIcon = 100,
    idAboutProduct,
    idAboutVersion,

    // The options dialog: its tab control and the controls of its three pages; IDOK is "OK".
    idOptionsTabs = 200,
    idFontSizeLabel,
    idFontSizeEdit,
    idFontSizeSpin,
    idTabSizeLabel,
    idTabSizeCombo,
    idIndentLabel,
    idIndentCombo,
    idBaseDirLabel,
    idBaseDirEdit,
    idBaseDirBrowse,
    idLauncherList,
    idLauncherPath,
    idLauncherAdd,
    idLauncherDelete,
    idCodePageLabel,
    idCodePageCombo,

    // The launcher registration dialog; IDOK is "追加".
    idLcAddNameLabel = 300,
    idLcAddNameEdit,
    idLcAddPathLabel,
    idLcAddPathEdit,
    idLcAddBrowse,

    // The Yes/Cancel question: its icon and text; IDYES and IDCANCEL are its buttons.
    idQuestionIcon = 400,
    idQuestionText,

    // The search and replace dialogs: the word box and the match-case box; IDOK is "検索" or
    // "置換", IDCANCEL "キャンセル".
    idSearchWordLabel = 500,
    idSearchWord,
    idSearchCase,
    // The replace dialog's own controls.
    idReplaceLabel,
    idReplaceText,
    idSearchOptions,
    idAnswerOptions,
    idReplaceAnswer,
    idReplaceAll,
    // Both dialogs' regular-expression box.
    idSearchRegex,
    // The folder search dialog's own controls; IDOK is "検索".
    idFolderLabel,
    idFolderEdit,
    idFolderBrowse,
    idFilesLabel,
    idFilesEdit,
    idSubfolders,

    // The go-to-line dialog's number box; IDOK is "OK".
    idGoLineNumber = 600,

    // The key-assignment dialog: the list of commands and keys (one row each, caption TAB key),
    // the hot-key box, "割り当て", "削除" and "既定に戻す"; IDOK is "OK", IDCANCEL "キャンセル".
    idKeysList = 700,
    idKeysLabel,
    idKeysHotKey,
    idKeysAssign,
    idKeysRemove,
    idKeysDefaults,
};

// Modal, titled About.Caption and centred on Owner: the program icon, the product name, the
// version line and an OK button.
void ShowAboutBox(HWND Owner, const TAboutBox& About);

// The options dialog, modal and centred on Owner, showing and editing Dialog. "OK" calls
// Dialog.Accept and closes (when Accept raises, the error is shown and the dialog stays open);
// the close box discards the changes. Message boxes and the common dialogs go through Desk.
// Answers whether the dialog ended with OK.
bool ShowOptionsDialog(HWND Owner, TfrmSetting& Dialog, Desktop& Desk);

// The search, replace and go-to-line dialogs, modal and centred on Owner, showing and editing
// Dialog; each answers whether it ended with OK (for replace: "置換" or "全置換"). The go-to-line
// dialog's "OK" calls Dialog.Accept; when that raises, the error is shown and the dialog stays.
bool ShowSearchDialog(HWND Owner, TfrmSearch& Dialog);
bool ShowReplaceDialog(HWND Owner, TfrmReplace& Dialog);
bool ShowGoLineDialog(HWND Owner, TfrmGoLine& Dialog);
// The folder search's dialog; "..." shows the folder browser. Answers whether "検索" ended it.
bool ShowFolderSearchDialog(HWND Owner, TfrmFolderSearch& Dialog);
bool ShowKeysDialog(HWND Owner, TfrmKeys& Dialog);

// A question with the buttons "はい(&Y)" and "キャンセル" and the system icon of Type, centred on
// Owner. Escape and the close box answer Cancel.
TMessageAnswer YesCancelBox(HWND Owner, const std::string& Text, const std::string& Caption,
                            TMessageType Type);

} // namespace kst::win32
