// The main window's message texts and its way of showing them: a box whose caption names its
// type, as the framework's message dialogs do.
#pragma once

#include "platform/desktop.h"

#include <string>
#include <string_view>

namespace kst {

inline constexpr std::string_view kTitleSuffix = " - Kestrane";
inline constexpr std::string_view kNewFileTitlePrefix = "新規[";

inline constexpr std::string_view kTooManyNewFilesText = "\r\n新規ファイルが多すぎます。";
inline constexpr std::string_view kScriptRunningText = "\r\nスクリプト実行中です";
inline constexpr std::string_view kSaveChangesText = "このファイルの変更を保存しますか？";
inline constexpr std::string_view kOverwriteText = "\r\nは存在します。上書きしますか";
inline constexpr std::string_view kFolderMissingText = "\r\n保存先フォルダが存在しません";
inline constexpr std::string_view kHistoryFileMissingText = "\r\nファイルが存在しません\r\n";
inline constexpr std::string_view kLauncherMissingText = " はありません";
inline constexpr std::string_view kShellOpenFailedText = " を開けません";
inline constexpr std::string_view kNoLauncherSelectedText = "\rランチャーが選ばれていません";
inline constexpr std::string_view kNameRegisteredText = "\r\n登録名は既に登録されています";
inline constexpr std::string_view kStopScriptText = "\r\nスクリプトを強制終了させますか？";
inline constexpr std::string_view kNotScriptText = "\r\nVBSファイルでありません";
inline constexpr std::string_view kUnmarkedUtf16FileText =
    "\r\nこのファイルは BOM のない UTF-16 のため、読み取り専用で開きました。";
inline constexpr std::string_view kFileChangedText =
    "ファイルが他のプログラムで変更されました。読み込み直しますか？";
inline constexpr std::string_view kFileChangedUnderEditsText =
    "ファイルが他のプログラムで変更されました。編集中の内容を捨てて読み込み直しますか？";
inline constexpr std::string_view kFileDeletedText = "ファイルが他のプログラムで削除されました。";
inline constexpr std::string_view kOverwriteChangedFileText =
    "ファイルが他のプログラムで変更されています。上書きしますか？";
inline constexpr std::string_view kKeysIgnoredText =
    "設定ファイル\"keys.ini\"の次の行は、コマンドかキーが分からないため使われません：";
inline constexpr std::string_view kOverwriteUnknownFileText =
    "ファイルが他のプログラムで変更されたかどうかを確かめられません。上書きしますか？";
inline constexpr std::string_view kRecoveryUnavailableText =
    "\r\n復元用のコピーを保存できません。異常終了したときは、保存していない変更が失われます。";
inline constexpr std::string_view kCodePageReloadText =
    "文字コードを切り替えて、ファイルを読み込み直しますか？";
inline constexpr std::string_view kCodePageReloadUnderEditsText =
    "文字コードを切り替えて、ファイルを読み込み直しますか？編集中の内容は失われます。";
inline constexpr std::string_view kCodePageNextWindowText =
    "\r\n文字コードの設定は、次に開くウィンドウから使われます。";
inline constexpr std::string_view kRecoverText =
    "前回保存されなかった変更があります。復元しますか？";
inline constexpr std::string_view kRecoverChangedFileText =
    "前回保存されなかった変更があります。ファイルはその後、他のプログラムで変更されています。"
    "復元しますか？";

// The error boxes of the list files: the text, CR LF, then the error's message.
inline constexpr std::string_view kLauncherReadError = "設定ファイル\"Lc.dat\"読み込み中のエラー：";
inline constexpr std::string_view kLauncherWriteError = "設定ファイル\"Lc.dat\"保存中のエラー：";
inline constexpr std::string_view kHistoryReadError =
    "設定ファイル\"FHist.dat\"読み込み中のエラー：";
inline constexpr std::string_view kHistoryWriteError = "設定ファイル\"FHist.dat\"保存中のエラー：";
inline constexpr std::string_view kKeysReadError = "設定ファイル\"keys.ini\"読み込み中のエラー：";
inline constexpr std::string_view kKeysWriteError = "設定ファイル\"keys.ini\"保存中のエラー：";
inline constexpr std::string_view kVersionScriptError = "バッチファイル作成中のエラー：";
inline constexpr std::string_view kFormatError = "構文チェック中のエラー：";

// The file holds characters that the text's code page lacks.
std::string LossyFileText();

// The caption of a box of this type: "警告", "エラー", "情報", "確認".
std::string MessageCaption(TMessageType Type);

TMessageAnswer ShowMessageBox(Desktop& Desk, std::string_view Text, TMessageType Type,
                              TMessageButtons Buttons);
// A warning with an OK button.
void ShowWarning(Desktop& Desk, std::string_view Text);
// An error box with an OK button: Heading, CR LF, then Message.
void ShowErrorWithMessage(Desktop& Desk, std::string_view Heading, std::string_view Message);

} // namespace kst
