// The indentation a project's .editorconfig files give a script: the files in the script's
// folder and in every folder above it up to one that says "root = true", the sections whose
// globs match the script's path, the nearer file and the later section deciding. Globs are those
// of the EditorConfig format: "*" (no "/"), "**", "?", "[abc]", "[a-z]", "[!abc]", "{a,b}",
// "{1..12}" and "\" before a character meant as itself; a glob without "/" matches the name in
// any folder below the file's.
#pragma once

#include "script/indent_unit.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kst {

// What the .editorconfig files say about indentation; none for what they leave open.
struct TEditorConfigIndent {
    // indent_style: tab (true) or space.
    std::optional<bool> Tabs;
    // indent_size, with "tab" read as the tab width.
    std::optional<int> Size;
    // tab_width, else indent_size.
    std::optional<int> TabWidth;

    bool operator==(const TEditorConfigIndent&) const = default;
};

// The text of the file at Path (UTF-8); none when there is none or it cannot be read.
using ConfigFileReader = std::function<std::optional<std::string>(const std::string& Path)>;

// The text of a .editorconfig read from the disk, none when it is missing or unreadable.
std::optional<std::string> ReadEditorConfigFile(const std::string& Path);

// What the .editorconfig files above the script at ScriptPath (UTF-8) say.
TEditorConfigIndent EditorConfigIndentFor(const std::string& ScriptPath,
                                          const ConfigFileReader& Read = ReadEditorConfigFile);

// Whether a section's Glob matches Path, a path with "/" between its folders relative to the
// folder of the .editorconfig that holds the section.
bool EditorConfigGlobMatches(std::string_view Glob, std::string_view Path);

// The style of a script that Config speaks for; where it is silent, Chosen (the user's unit,
// none for the script's own) and TabWidth.
TIndentStyle IndentStyleOf(const TEditorConfigIndent& Config, std::optional<TIndentUnit> Chosen,
                           int TabWidth);

} // namespace kst
