// The user's shortcut keys, kept in "Env\keys.ini": a [Keys] section with one line per command
// whose key differs from its default, "Find=Shift+Ctrl+F" ("Find=" for a command with none).
// Other sections, blank lines and ";" comments are passed over.
#pragma once

#include "app/main_commands.h"

#include <string>
#include <vector>

namespace kst {

struct TKeysFile {
    TKeyBindings Bindings;
    // The [Keys] lines that name no command, no key or a key no command may have (one that
    // types, such as "A" or "Del"), or are no "Name=Key" line, as written.
    std::vector<std::string> IgnoredLines;
};

// A key given to a second command is that command's; the first loses it.
TKeysFile ReadKeysFile(const std::vector<std::string>& Lines);
// The file's lines; none when every command has its default key.
std::vector<std::string> KeysFileLines(const TKeyBindings& Bindings);

} // namespace kst
