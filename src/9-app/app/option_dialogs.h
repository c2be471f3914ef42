// The logic of the options dialog (TfrmSetting), of the launcher registration dialog (TfrmLcAdd)
// and of the folder browser (TFolderDialog). The Windows layer shows the controls, passes the
// user's input to these models and shows what they hold.
#pragma once

#include "app/env_files.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

class Desktop;

enum TBrowseInfoOption : std::uint8_t {
    bifBrowseForComputer,
    bifBrowseForPrinter,
    bifDontGoBelowDomain,
    bifReturnFSAncestors,
    bifReturnOnlyFSDirs,
    bifStatusText,
};

// The shell's folder browser.
class TFolderDialog {
public:
    explicit TFolderDialog(Desktop& Desk) : FDesktop(Desk) {}

    // Options as a set: one bit (1 << option) per TBrowseInfoOption.
    unsigned Options = 1U << bifReturnOnlyFSDirs;

    // The shell's browse flags for Options.
    unsigned BrowseFlags() const;
    // True when a folder was chosen; Directory then holds it.
    bool Execute();
    const std::string& Directory() const { return FDirectory; }

private:
    Desktop& FDesktop;
    std::string FDirectory;
};

// The registration of one launcher entry.
class TfrmLcAdd {
public:
    static constexpr std::string_view Caption = "ランチャー登録";
    static constexpr std::string_view NameLabel = "登録名：";
    static constexpr std::string_view PathLabel = "パス：";
    static constexpr std::string_view BrowseButton = "...";
    static constexpr std::string_view AddButton = "追加";

    TfrmLcAdd(Desktop& Desk, std::vector<std::string> RegisteredNames);

    const std::string& Name() const { return FName; }
    void SetName(std::string Value) { FName = std::move(Value); }
    const std::string& Path() const { return FPath; }
    void SetPath(std::string Value) { FPath = std::move(Value); }
    // "追加" is enabled while both boxes hold text.
    bool AddEnabled() const { return !FName.empty() && !FPath.empty(); }

    // "...": an open dialog in the program's folder; a chosen file goes into the path box.
    void BrowsePath();
    // "追加": true closes the dialog with OK; a name registered already (same letter case) is
    // refused with a warning.
    bool ConfirmAdd();

private:
    Desktop& FDesktop;
    std::vector<std::string> FRegisteredNames;
    std::string FName;
    std::string FPath;
};

// The options dialog: font size, tab width, the indent unit of automatic formatting, the dialogs'
// start folder and the launcher list. It
// works on copies; Accept stores them into the settings and the launcher table.
class TfrmSetting {
public:
    static constexpr std::string_view Caption = "オプション";
    static constexpr std::string_view EditorPage = "エディター";
    static constexpr std::string_view FolderPage = "フォルダ";
    static constexpr std::string_view LauncherPage = "ランチャー";
    static constexpr std::string_view FontSizeLabel = "フォントサイズ（10～30）：";
    static constexpr std::string_view TabSizeLabel = "タブ幅：";
    static constexpr std::string_view IndentLabel = "インデント：";
    static constexpr std::string_view CodePageLabel = "文字コード：";
    static constexpr std::string_view BaseDirLabel = "標準スクリプト保存先：";
    static constexpr std::string_view BrowseButton = "...";
    static constexpr std::string_view AddButton = "追加";
    static constexpr std::string_view DeleteButton = "削除";
    static constexpr std::string_view OkButton = "OK";
    static constexpr std::array<std::string_view, 4> TabSizeChoices = {"2", "4", "6", "8"};
    static constexpr int MinFontSize = 10;
    static constexpr int MaxFontSize = 30;

    TfrmSetting(Desktop& Desk, TSettings& Settings, TLauncherTable& LauncherTable);

    int FontSize() const { return FFontSize; }
    // The spin box: clamped to MinFontSize..MaxFontSize.
    void SetFontSize(int Value);
    const std::string& TabSizeText() const { return FTabSizeText; }
    void SetTabSizeText(std::string Value) { FTabSizeText = std::move(Value); }
    // The indent unit of automatic formatting: 自動 (the script's own), タブ, 空白 1 … 空白 16,
    // in this order.
    static std::vector<std::string> IndentChoices();
    int IndentIndex() const { return FIndentIndex; }
    void SetIndentIndex(int Value);
    const std::string& BaseDir() const { return FBaseDir; }
    void SetBaseDir(std::string Value) { FBaseDir = std::move(Value); }
    // The chosen entry of kCodePageChoices; 自動 for a setting that names none of them.
    int CodePageIndex() const { return FCodePageIndex; }
    void SetCodePageIndex(int Value);
    // "..." of the folder page: a chosen folder goes into the folder box.
    void BrowseBaseDir();

    const std::vector<std::string>& Names() const { return FNames; }
    const std::vector<std::string>& Paths() const { return FPaths; }
    // The selected name, -1 for none.
    int ItemIndex() const { return FItemIndex; }
    // The read-only box: the selected entry's path.
    const std::string& PathText() const { return FPathText; }
    // A click on a name.
    void SelectLauncher(int Index);
    // "追加": the registration dialog to show; after it ends with OK, AddLauncher.
    TfrmLcAdd NewLauncherDialog() const;
    void AddLauncher(const TfrmLcAdd& Registered);
    // "削除": removes the selected entry; without one, a warning.
    void DeleteLauncher();

    // "OK": raises EConvertError, storing nothing, when the tab width is not a decimal integer.
    void Accept();

private:
    Desktop& FDesktop;
    TSettings& FSettings;
    TLauncherTable& FLauncherTable;
    int FFontSize;
    std::string FTabSizeText;
    int FIndentIndex;
    std::string FBaseDir;
    int FCodePageIndex = 0;
    std::vector<std::string> FNames;
    std::vector<std::string> FPaths;
    int FItemIndex = -1;
    std::string FPathText;
};

} // namespace kst
