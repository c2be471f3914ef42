#include "app/env_files.h"

#include "app/file_names.h"
#include "app/keys_file.h"
#include "app/message_boxes.h"
#include "core/errors.h"
#include "core/strings.h"
#include "platform/desktop.h"
#include "platform/files.h"

#include <algorithm>
#include <charconv>
#include <exception>

namespace kst {

namespace {

constexpr std::string_view kSettingsFile = "kst.ini";
constexpr std::string_view kLauncherFile = "Lc.dat";
constexpr std::string_view kFileHistoryFile = "FHist.dat";
constexpr std::string_view kFindHistoryFile = "FindHist.dat";
constexpr std::string_view kVersionScriptFile = "kst.vbs";
constexpr std::string_view kKeysFile = "keys.ini";

constexpr std::string_view kSeparatorName = "-";

// The lines of a text file as bytes; CR LF, CR and LF end lines.
std::vector<std::string> ReadLines(const std::string& Path) {
    const FileBytes file = ReadWholeFile(Path);
    std::vector<std::string> lines;
    ForEachLine(std::string_view(file.Data.get(), file.Size),
                [&lines](std::string_view Line) { lines.emplace_back(Line); });
    return lines;
}

void WriteLines(const std::string& Path, const std::vector<std::string>& Lines) {
    WriteFileSafely(Path, [&Lines](const ChunkSink& Write) {
        for (const std::string& line : Lines) {
            Write(line);
            Write("\r\n");
        }
    });
}

// "name<TAB>path": split at the first TAB. No TAB, or nothing before it, is a separator.
TLauncherEntry LauncherEntryOf(std::string Line) {
    const std::size_t tab = Line.find('\t');
    if (tab == std::string::npos || tab == 0) {
        return {std::string(kSeparatorName), {}};
    }
    return {Line.substr(0, tab), Line.substr(tab + 1)};
}

} // namespace

std::optional<int> ParseDecimal(std::string_view Text) {
    if (Text.starts_with('+')) {
        Text.remove_prefix(1);
        if (Text.starts_with('-')) {
            return std::nullopt;
        }
    }
    int value = 0;
    const char* end = Text.data() + Text.size();
    const auto [stop, error] = std::from_chars(Text.data(), end, value);
    if (Text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> TEnvFiles::ReadUtf8Lines(const std::string& Path) {
    std::vector<std::string> lines = ReadLines(Path);
    for (std::string& line : lines) {
        line = FDesktop.TextToUtf8(line);
    }
    return lines;
}

void TEnvFiles::WriteUtf8Lines(const std::string& Path, const std::vector<std::string>& Lines) {
    std::vector<std::string> bytes;
    bytes.reserve(Lines.size());
    for (const std::string& line : Lines) {
        bytes.push_back(FDesktop.Utf8ToText(line));
    }
    WriteLines(Path, bytes);
}

int TEnvFiles::ReadInteger(const std::string& Section, const std::string& Key, int Default) {
    const std::string path = EnvFilePath(FDesktop, kSettingsFile);
    return ParseDecimal(FDesktop.ReadProfileString(Section, Key, {}, path)).value_or(Default);
}

namespace {

void RequireWritten(bool Written, const std::string& Path) {
    if (!Written) {
        throw EFileError(Path + " に書き込めません");
    }
}

} // namespace

void TEnvFiles::WriteString(const std::string& Section, const std::string& Key,
                            const std::string& Value) {
    const std::string path = EnvFilePath(FDesktop, kSettingsFile);
    RequireWritten(FDesktop.WriteProfileString(Section, Key, Value, path), path);
}

void TEnvFiles::RemoveKey(const std::string& Section, const std::string& Key) {
    const std::string path = EnvFilePath(FDesktop, kSettingsFile);
    RequireWritten(FDesktop.RemoveProfileKey(Section, Key, path), path);
}

void TEnvFiles::CreateFolder() {
    FDesktop.CreateFolder(EnvFolder(FDesktop));
}

TSettings TEnvFiles::LoadSettings() {
    const TSettings defaults;
    TSettings settings;
    settings.gFontSize = ReadInteger("Option", "gFontSize", defaults.gFontSize);
    settings.gBaseDir = FDesktop.ReadProfileString("Option", "gBaseDir", defaults.gBaseDir,
                                                   EnvFilePath(FDesktop, kSettingsFile));
    settings.gTabSize = ReadInteger("Option", "gTabSize", defaults.gTabSize);
    settings.gWidth = ReadInteger("Wind", "gWidth", defaults.gWidth);
    settings.gHeight = ReadInteger("Wind", "gHeight", defaults.gHeight);
    settings.SearchCase = ReadInteger("Search", "Case", defaults.SearchCase ? 1 : 0) != 0;
    settings.SearchRegex = ReadInteger("Search", "RegExp", defaults.SearchRegex ? 1 : 0) != 0;
    settings.FolderSearchFolder = FDesktop.ReadProfileString(
        "Search", "Folder", defaults.FolderSearchFolder, EnvFilePath(FDesktop, kSettingsFile));
    settings.FolderSearchFiles = FDesktop.ReadProfileString(
        "Search", "Files", defaults.FolderSearchFiles, EnvFilePath(FDesktop, kSettingsFile));
    settings.FolderSearchSubfolders =
        ReadInteger("Search", "Subfolders", defaults.FolderSearchSubfolders ? 1 : 0) != 0;
    settings.gWordWrap = ReadInteger("Option", "gWordWrap", 0) != 0;
    settings.gIndent = ParseIndentUnit(
        FDesktop.ReadProfileString("Option", "gIndent", {}, EnvFilePath(FDesktop, kSettingsFile)));
    settings.gCodePage = ReadInteger("Option", "gCodePage", defaults.gCodePage);
    return settings;
}

void TEnvFiles::SaveSettings(const TSettings& Settings) {
    WriteString("Option", "gFontSize", std::to_string(Settings.gFontSize));
    WriteString("Option", "gBaseDir", Settings.gBaseDir);
    WriteString("Option", "gTabSize", std::to_string(Settings.gTabSize));
    WriteString("Wind", "gWidth", std::to_string(Settings.gWidth));
    WriteString("Wind", "gHeight", std::to_string(Settings.gHeight));
    WriteString("Search", "Case", Settings.SearchCase ? "1" : "0");
    WriteString("Search", "RegExp", Settings.SearchRegex ? "1" : "0");
    WriteString("Search", "Folder", Settings.FolderSearchFolder);
    WriteString("Search", "Files", Settings.FolderSearchFiles);
    WriteString("Search", "Subfolders", Settings.FolderSearchSubfolders ? "1" : "0");
    // Written only while not the default; taken away otherwise, so that the file of a user who
    // never changes them stays as it was.
    if (Settings.gWordWrap) {
        WriteString("Option", "gWordWrap", "1");
    } else {
        RemoveKey("Option", "gWordWrap");
    }
    if (Settings.gIndent) {
        WriteString("Option", "gIndent",
                    Settings.gIndent->Spaces > 0 ? std::to_string(Settings.gIndent->Spaces)
                                                 : "tab");
    } else {
        RemoveKey("Option", "gIndent");
    }
    // Likewise only when a code page is chosen.
    if (Settings.gCodePage != TSettings().gCodePage) {
        WriteString("Option", "gCodePage", std::to_string(Settings.gCodePage));
    } else {
        RemoveKey("Option", "gCodePage");
    }
}

TLauncherTable TEnvFiles::LoadLauncherFile() {
    const std::string path = EnvFilePath(FDesktop, kLauncherFile);
    if (!FDesktop.FileExists(path)) {
        return {};
    }
    try {
        TLauncherTable table;
        for (std::string& line : ReadUtf8Lines(path)) {
            table.push_back(LauncherEntryOf(std::move(line)));
        }
        return table;
    } catch (const std::exception& error) {
        ShowErrorWithMessage(FDesktop, kLauncherReadError, error.what());
        return {};
    }
}

void TEnvFiles::SaveLauncherFile(const TLauncherTable& Table) {
    std::vector<std::string> lines;
    lines.reserve(Table.size());
    for (const TLauncherEntry& entry : Table) {
        lines.push_back(entry.Name + '\t' + entry.Path);
    }
    try {
        WriteUtf8Lines(EnvFilePath(FDesktop, kLauncherFile), lines);
    } catch (const std::exception& error) {
        ShowErrorWithMessage(FDesktop, kLauncherWriteError, error.what());
    }
}

std::optional<std::vector<std::string>> TEnvFiles::ReadFileHistory() {
    const std::string path = EnvFilePath(FDesktop, kFileHistoryFile);
    if (!FDesktop.FileExists(path)) {
        return std::nullopt;
    }
    return ReadUtf8Lines(path);
}

void TEnvFiles::AddToFileHistory(const std::string& CurrentFileName, const std::string& Path) {
    if (!FDesktop.FileExists(CurrentFileName)) {
        return;
    }
    try {
        UpdateFileHistory(Path);
    } catch (const std::exception& error) {
        ShowErrorWithMessage(FDesktop, kHistoryWriteError, error.what());
    }
}

void TEnvFiles::UpdateFileHistory(const std::string& Path) {
    std::vector<std::string> history = ReadFileHistory().value_or(std::vector<std::string>());
    std::erase(history, Path);
    if (FDesktop.FileExists(Path)) {
        history.push_back(Path);
    }
    if (history.size() > kFileHistoryMax) {
        history.erase(history.begin(),
                      history.end() - static_cast<std::ptrdiff_t>(kFileHistoryMax));
    }
    WriteUtf8Lines(EnvFilePath(FDesktop, kFileHistoryFile), history);
}

std::vector<std::string> TEnvFiles::LoadFindHistory() {
    const std::string path = EnvFilePath(FDesktop, kFindHistoryFile);
    return FDesktop.FileExists(path) ? ReadLines(path) : std::vector<std::string>();
}

void TEnvFiles::SaveFindHistory(const std::vector<std::string>& FindHistory) {
    WriteLines(EnvFilePath(FDesktop, kFindHistoryFile), FindHistory);
}

TKeyBindings TEnvFiles::LoadKeyBindings() {
    const std::string path = EnvFilePath(FDesktop, kKeysFile);
    if (!FDesktop.FileExists(path)) {
        return {};
    }
    try {
        const TKeysFile file = ReadKeysFile(ReadUtf8Lines(path));
        if (!file.IgnoredLines.empty()) {
            std::string text(kKeysIgnoredText);
            for (const std::string& line : file.IgnoredLines) {
                text += "\r\n" + line;
            }
            ShowWarning(FDesktop, text);
        }
        return file.Bindings;
    } catch (const std::exception& error) {
        ShowErrorWithMessage(FDesktop, kKeysReadError, error.what());
        return {};
    }
}

void TEnvFiles::SaveKeyBindings(const TKeyBindings& Bindings) {
    const std::string path = EnvFilePath(FDesktop, kKeysFile);
    const std::vector<std::string> lines = KeysFileLines(Bindings);
    try {
        if (!lines.empty()) {
            WriteUtf8Lines(path, lines);
        } else if (FDesktop.FileExists(path)) {
            RemoveFile(path);
        }
    } catch (const std::exception& error) {
        ShowErrorWithMessage(FDesktop, kKeysWriteError, error.what());
    }
}

std::string TEnvFiles::WriteVersionScript() {
    const std::string path = EnvFilePath(FDesktop, kVersionScriptFile);
    try {
        WriteLines(path,
                   {"strVer   = WScript.Name & \" \" & WScript.Version",
                    "strBuild = WScript.BuildVersion", "strPath  = WScript.FullName",
                    "Rt = vbCrLf & vbCrLf",
                    "x = strVer & \" ( Build : \" & strBuild & \" )\" & Rt & strPath", "msgbox x"});
    } catch (const std::exception& error) {
        ShowErrorWithMessage(FDesktop, kVersionScriptError, error.what());
    }
    return path;
}

} // namespace kst
