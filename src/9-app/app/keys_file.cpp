#include "app/keys_file.h"

#include "app/file_names.h"

#include <string_view>

namespace kst {

namespace {

constexpr std::string_view kKeysSection = "[keys]";

std::string_view TrimmedSpaces(std::string_view Text) {
    const std::size_t first = Text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return Text.substr(first, Text.find_last_not_of(" \t") - first + 1);
}

// False when the line names no command, or a key that is none of the key names or that would take
// typing or the editor's own keys.
bool ReadBinding(std::string_view Line, TKeyBindings& Bindings) {
    const std::size_t equals = Line.find('=');
    if (equals == std::string_view::npos) {
        return false;
    }
    const std::optional<TCommandId> command = CommandNamed(TrimmedSpaces(Line.substr(0, equals)));
    const std::string_view keyText = TrimmedSpaces(Line.substr(equals + 1));
    const TShortCut key = TextToShortCut(keyText);
    if (!command || (key.IsNone() ? !keyText.empty() : !MayBeCommandKey(key))) {
        return false;
    }
    Bindings.Bind(*command, key);
    return true;
}

} // namespace

TKeysFile ReadKeysFile(const std::vector<std::string>& Lines) {
    TKeysFile file;
    bool inKeys = false;
    for (const std::string& line : Lines) {
        const std::string_view text = TrimmedSpaces(line);
        if (text.empty() || text.starts_with(';')) {
            continue;
        }
        if (text.starts_with('[')) {
            inKeys = AsciiLowerCase(text) == kKeysSection;
            continue;
        }
        if (inKeys && !ReadBinding(text, file.Bindings)) {
            file.IgnoredLines.push_back(line);
        }
    }
    return file;
}

std::vector<std::string> KeysFileLines(const TKeyBindings& Bindings) {
    std::vector<std::string> lines;
    for (const TCommandRow& row : MainCommands()) {
        if (!Bindings.IsDefault(row.Id)) {
            lines.push_back(std::string(row.Name) + "=" + ShortCutToText(Bindings.KeyOf(row.Id)));
        }
    }
    if (!lines.empty()) {
        lines.insert(lines.begin(), "[Keys]");
    }
    return lines;
}

} // namespace kst
