// What the program keeps between runs, in the folder "Env" beside its executable: the settings
// file "kst.ini" (through the desktop's INI functions), the launcher list "Lc.dat", the file
// history "FHist.dat", the search-word history "FindHist.dat" and the user's shortcut keys
// "keys.ini". The list files are CP932 text
// with CR LF line ends; names and paths are converted to UTF-8 when read.
#pragma once

#include "app/folder_search.h"
#include "app/main_commands.h"
#include "script/indent_unit.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

class Desktop;

struct TSettings {
    int gFontSize = 12;
    int gTabSize = 4;
    // The folder the open and save dialogs start in; empty means the program's folder.
    std::string gBaseDir;
    int gWidth = 600;
    int gHeight = 500;
    bool SearchCase = false;
    bool SearchRegex = false;
    // The folder search's last folder (empty: the edited file's), file names and subfolders.
    std::string FolderSearchFolder{};
    std::string FolderSearchFiles{kDefaultFolderSearchFiles};
    bool FolderSearchSubfolders = true;
    // The editor wraps its rows at the window's width (the control's own word wrap).
    bool gWordWrap = false;
    // The unit automatic formatting indents by where no .editorconfig says; none for the
    // script's own.
    std::optional<TIndentUnit> gIndent = std::nullopt;
    // The text's code page: 0 for the system's, or a number of kCodePageChoices.
    int gCodePage = 0;

    bool operator==(const TSettings&) const = default;
};

// A launcher menu entry; the name "-" is a separator line.
struct TLauncherEntry {
    std::string Name;
    std::string Path;

    bool operator==(const TLauncherEntry&) const = default;
};

using TLauncherTable = std::vector<TLauncherEntry>;

inline constexpr std::size_t kFileHistoryMax = 10;

// A decimal integer with an optional sign and nothing else; none for any other text.
std::optional<int> ParseDecimal(std::string_view Text);

class TEnvFiles {
public:
    explicit TEnvFiles(Desktop& Desk) : FDesktop(Desk) {}

    // Creates the "Env" folder when it is missing, as it is after the program has been unpacked
    // somewhere new. Where it cannot be made (a read-only folder) the writes report it later.
    void CreateFolder();

    // A missing file or key, or a number that does not read as one, gives the default.
    TSettings LoadSettings();
    // Writes every key; raises EFileError "<path> に書き込めません" when the file cannot be
    // written.
    void SaveSettings(const TSettings& Settings);

    // A missing file gives an empty table; a read error is shown in an error box and also gives
    // an empty table.
    TLauncherTable LoadLauncherFile();
    // A write error is shown in an error box.
    void SaveLauncherFile(const TLauncherTable& Table);

    // The history's paths, oldest first; none when the file does not exist. Raises when it
    // cannot be read.
    std::optional<std::vector<std::string>> ReadFileHistory();
    // Puts Path at the end of the history (dropping the oldest past 10), or removes it when it
    // no longer exists. Nothing happens unless CurrentFileName names an existing file. Errors are
    // shown in an error box.
    void AddToFileHistory(const std::string& CurrentFileName, const std::string& Path);

    // The search words (CP932), newest first; empty when the file does not exist.
    std::vector<std::string> LoadFindHistory();
    // Raises when the file cannot be written.
    void SaveFindHistory(const std::vector<std::string>& FindHistory);

    // The user's shortcut keys; the defaults when there is no file. The lines it ignores are
    // listed in one warning; a read error is shown in an error box and gives the defaults.
    TKeyBindings LoadKeyBindings();
    // Writes the keys that differ from the defaults, or removes the file when none do. An error
    // is shown in an error box.
    void SaveKeyBindings(const TKeyBindings& Bindings);

    // Writes the script "kst.vbs" that shows the script host's name, version, build and path,
    // and answers its path. A write error is shown in an error box.
    std::string WriteVersionScript();

private:
    std::vector<std::string> ReadUtf8Lines(const std::string& Path);
    void WriteUtf8Lines(const std::string& Path, const std::vector<std::string>& Lines);
    int ReadInteger(const std::string& Section, const std::string& Key, int Default);
    void WriteString(const std::string& Section, const std::string& Key, const std::string& Value);
    void RemoveKey(const std::string& Section, const std::string& Key);
    void UpdateFileHistory(const std::string& Path);

    Desktop& FDesktop;
};

} // namespace kst
