#include "app/option_dialogs.h"

#include "app/file_names.h"
#include "app/message_boxes.h"
#include "app/text_code_page.h"
#include "core/errors.h"
#include "platform/desktop.h"

#include <algorithm>

namespace kst {

namespace {

// The shell's flag of each TBrowseInfoOption, in the enumeration's order.
constexpr std::array<unsigned, 6> kBrowseFlags = {0x1000, 0x2000, 0x2, 0x8, 0x1, 0x4};

// 自動 and タブ come before the spaces.
constexpr int kAutomaticIndex = 0;
constexpr int kTabIndex = 1;

int IndentIndexOf(const std::optional<TIndentUnit>& Unit) {
    if (!Unit) {
        return kAutomaticIndex;
    }
    return Unit->Spaces > 0 ? kTabIndex + Unit->Spaces : kTabIndex;
}

std::optional<TIndentUnit> IndentUnitAt(int Index) {
    if (Index == kAutomaticIndex) {
        return std::nullopt;
    }
    return TIndentUnit{Index - kTabIndex};
}

} // namespace

unsigned TFolderDialog::BrowseFlags() const {
    unsigned flags = 0;
    for (std::size_t option = 0; option < kBrowseFlags.size(); ++option) {
        if ((Options & (1U << option)) != 0) {
            flags |= kBrowseFlags[option];
        }
    }
    return flags;
}

bool TFolderDialog::Execute() {
    std::optional<std::string> chosen = FDesktop.BrowseForFolder(BrowseFlags());
    if (!chosen) {
        return false;
    }
    FDirectory = std::move(*chosen);
    return true;
}

TfrmLcAdd::TfrmLcAdd(Desktop& Desk, std::vector<std::string> RegisteredNames)
    : FDesktop(Desk), FRegisteredNames(std::move(RegisteredNames)) {}

void TfrmLcAdd::BrowsePath() {
    TFileDialogOptions options;
    options.InitialDir = ProgramFolder(FDesktop);
    if (std::optional<std::string> chosen = FDesktop.OpenFileDialog(options)) {
        FPath = std::move(*chosen);
    }
}

bool TfrmLcAdd::ConfirmAdd() {
    if (std::ranges::find(FRegisteredNames, FName) != FRegisteredNames.end()) {
        ShowWarning(FDesktop, kNameRegisteredText);
        return false;
    }
    return true;
}

TfrmSetting::TfrmSetting(Desktop& Desk, TSettings& Settings, TLauncherTable& LauncherTable)
    : FDesktop(Desk), FSettings(Settings), FLauncherTable(LauncherTable),
      FFontSize(Settings.gFontSize), FTabSizeText(std::to_string(Settings.gTabSize)),
      FIndentIndex(IndentIndexOf(Settings.gIndent)), FBaseDir(Settings.gBaseDir) {
    const auto chosen =
        std::ranges::find(kCodePageChoices, Settings.gCodePage, &TCodePageChoice::Number);
    FCodePageIndex =
        chosen != kCodePageChoices.end() ? static_cast<int>(chosen - kCodePageChoices.begin()) : 0;
    for (const TLauncherEntry& entry : LauncherTable) {
        FNames.push_back(entry.Name);
        FPaths.push_back(entry.Path);
    }
}

void TfrmSetting::SetFontSize(int Value) {
    FFontSize = std::clamp(Value, MinFontSize, MaxFontSize);
}

std::vector<std::string> TfrmSetting::IndentChoices() {
    std::vector<std::string> choices = {"自動", "タブ"};
    for (int spaces = 1; spaces <= kMaxIndentSpaces; ++spaces) {
        choices.push_back("空白 " + std::to_string(spaces));
    }
    return choices;
}

void TfrmSetting::SetIndentIndex(int Value) {
    FIndentIndex = std::clamp(Value, kAutomaticIndex, kTabIndex + kMaxIndentSpaces);
}

void TfrmSetting::SetCodePageIndex(int Value) {
    if (Value >= 0 && Value < static_cast<int>(kCodePageChoices.size())) {
        FCodePageIndex = Value;
    }
}

void TfrmSetting::BrowseBaseDir() {
    TFolderDialog dialog(FDesktop);
    if (dialog.Execute()) {
        FBaseDir = dialog.Directory();
    }
}

void TfrmSetting::SelectLauncher(int Index) {
    if (Index < 0 || Index >= static_cast<int>(FNames.size())) {
        return;
    }
    FItemIndex = Index;
    FPathText = FPaths[static_cast<std::size_t>(Index)];
}

TfrmLcAdd TfrmSetting::NewLauncherDialog() const {
    return TfrmLcAdd(FDesktop, FNames);
}

void TfrmSetting::AddLauncher(const TfrmLcAdd& Registered) {
    FNames.push_back(Registered.Name());
    FPaths.push_back(Registered.Path());
}

void TfrmSetting::DeleteLauncher() {
    if (FItemIndex < 0) {
        ShowWarning(FDesktop, kNoLauncherSelectedText);
        return;
    }
    FNames.erase(FNames.begin() + FItemIndex);
    FPaths.erase(FPaths.begin() + FItemIndex);
    FItemIndex = -1;
    FPathText.clear();
}

void TfrmSetting::Accept() {
    const std::optional<int> tabSize = ParseDecimal(FTabSizeText);
    if (!tabSize) {
        RaiseInvalidInteger(FTabSizeText);
    }
    FSettings.gFontSize = FFontSize;
    FSettings.gBaseDir = FBaseDir;
    FSettings.gTabSize = *tabSize;
    FSettings.gIndent = IndentUnitAt(FIndentIndex);
    FSettings.gCodePage = kCodePageChoices[static_cast<std::size_t>(FCodePageIndex)].Number;
    FLauncherTable.clear();
    for (std::size_t i = 0; i < FNames.size(); ++i) {
        FLauncherTable.push_back({FNames[i], FPaths[i]});
    }
}

} // namespace kst
