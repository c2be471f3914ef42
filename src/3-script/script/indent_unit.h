// The unit that formatting indents by, one per level: a tab or a number of spaces. It is given
// (by a project's .editorconfig, the editor's option or kestrane-format's --indent), or read from
// the script itself: tabs when its block bodies are indented with tabs, else the number of spaces
// most of them step by, and a tab for a script without indented bodies.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace kst {

struct TScriptStructure;

struct TIndentUnit {
    // Spaces per level; 0 for one tab.
    int Spaces = 0;

    bool operator==(const TIndentUnit&) const = default;
};

inline constexpr int kDefaultTabWidth = 4;
// More spaces per level than anyone indents by is taken for a mistake.
inline constexpr int kMaxIndentSpaces = 16;

// How a run chooses its unit.
struct TIndentStyle {
    // None: the script's own.
    std::optional<TIndentUnit> Unit;
    // The columns a tab takes, for lines indented with tabs and spaces mixed.
    int TabWidth = kDefaultTabWidth;
};

// "tab", or a number of spaces from 1 to kMaxIndentSpaces; none for anything else.
std::optional<TIndentUnit> ParseIndentUnit(std::string_view Text);

// The unit of the script, from the first few thousand block bodies (a script keeps to one unit,
// so more would cost time and change nothing).
TIndentUnit DetectIndentUnit(std::span<const std::string_view> Lines,
                             const TScriptStructure& Structure, int TabWidth);

// The unit Style gives, else the script's own.
TIndentUnit ChooseIndentUnit(const TIndentStyle& Style, std::span<const std::string_view> Lines,
                             const TScriptStructure& Structure);

// The columns the leading blanks of Line take.
int IndentWidth(std::string_view Line, int TabWidth);

} // namespace kst
