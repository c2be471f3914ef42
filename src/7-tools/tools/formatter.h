// Automatic formatting of scripts: every line loses its leading and trailing blanks and gets one
// tab per block that is open around it. Six blocks are known (Sub, Function, If, Do, Select, For);
// a one-line If opens none, Else and ElseIf lines stand at the level of their If, Case lines one
// level inside their Select and the statements under them one level deeper. Comment lines stay
// exactly as they are. Keywords are matched as whole words, in any case.
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
