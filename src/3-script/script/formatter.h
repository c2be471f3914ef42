// Automatic formatting of scripts: every line loses its leading and trailing blanks and gets one
// tab per block that is open around it, as the script parser reads the blocks (every block kind,
// keywords in strings and comments not counted). A one-line If opens no block; Else and ElseIf
// lines stand at the level of their If, Case lines one level inside their Select and the
// statements under them one level deeper; a line that continues a statement one level deeper
// than its first line. Comment lines, and lines the parser cannot place (a closer without its
// block, a string left open), stay exactly as they are.
//
// Independent of the editor: the editor's command and kestrane-format both use it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// The formatted lines, one for each of Lines.
std::vector<std::string> FormatLines(std::span<const std::string_view> Lines);

// Whether formatting leaves every line as it is.
bool IsFormatted(std::span<const std::string_view> Lines);

// The formatted script as text, each line followed by CR LF; none when formatting changes no
// line.
std::optional<std::string> FormatScript(std::span<const std::string_view> Lines);

} // namespace kst
