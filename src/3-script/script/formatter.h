// Automatic formatting of scripts: every line loses its leading and trailing blanks and gets one
// indent unit (a tab or a number of spaces, see indent_unit.h) per block that is open around it,
// as the script parser reads the blocks (every block kind, keywords in strings and comments not
// counted). A one-line If opens no block; Else and ElseIf lines stand at the level of their If,
// Case lines one level inside their Select and the statements under them one level deeper. A
// line that continues a statement moves by as many columns as the statement's first line, so
// that an alignment made by hand stays; one that would then start left of its statement gets the
// statement's indentation and one unit more. Blank lines become empty. Comment lines, and lines
// the parser cannot place (a closer without its block, a string left open), stay exactly as they
// are.
//
// Independent of the editor: the editor's command and kestrane-format both use it.
#pragma once

#include "script/indent_unit.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// The formatted lines, one for each of Lines.
std::vector<std::string> FormatLines(std::span<const std::string_view> Lines,
                                     const TIndentStyle& Style = {});

// Whether formatting leaves every line as it is.
bool IsFormatted(std::span<const std::string_view> Lines, const TIndentStyle& Style = {});

// The formatted script as text, each line followed by CR LF; none when formatting changes no
// line.
std::optional<std::string> FormatScript(std::span<const std::string_view> Lines,
                                        const TIndentStyle& Style = {});

// Lines First..Last formatted, at the levels the whole script gives them and in the unit Style
// chooses for the whole script, with CR LF between them; none when formatting changes none of
// them.
std::optional<std::string> FormatLineRange(std::span<const std::string_view> Lines,
                                           const TIndentStyle& Style, int First, int Last);

} // namespace kst
