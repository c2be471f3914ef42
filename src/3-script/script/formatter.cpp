#include "script/formatter.h"

#include "script/script_parser.h"
#include "script/script_text.h"

namespace kst {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// A line as it is written back: Tabs tab characters, then Text.
struct TLineLayout {
    std::size_t Tabs = 0;
    std::string_view Text;
};

TLineLayout LayoutOf(std::string_view Line, int Level) {
    if (Level == TScriptStructure::kKeepLine) {
        return {0, Line};
    }
    return {static_cast<std::size_t>(Level), TrimBlanks(Line)};
}

bool IsLaidOut(std::string_view Line, const TLineLayout& Layout) {
    return Line.size() == Layout.Tabs + Layout.Text.size() &&
           Line.find_first_not_of('\t') >= Layout.Tabs && Line.substr(Layout.Tabs) == Layout.Text;
}

bool AllLaidOut(std::span<const std::string_view> Lines, const std::vector<int>& Levels) {
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        if (!IsLaidOut(Lines[i], LayoutOf(Lines[i], Levels[i]))) {
            return false;
        }
    }
    return true;
}

// Calls Write(Layout) for every line of Lines in turn.
template <class F>
void ForEachLayout(std::span<const std::string_view> Lines, const std::vector<int>& Levels,
                   F&& Write) {
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        Write(LayoutOf(Lines[i], Levels[i]));
    }
}

} // namespace

bool IsFormatted(std::span<const std::string_view> Lines) {
    return AllLaidOut(Lines, ParseScript(Lines).Levels);
}

std::vector<std::string> FormatLines(std::span<const std::string_view> Lines) {
    std::vector<std::string> formatted;
    formatted.reserve(Lines.size());
    ForEachLayout(Lines, ParseScript(Lines).Levels, [&formatted](const TLineLayout& Layout) {
        std::string& text = formatted.emplace_back();
        text.reserve(Layout.Tabs + Layout.Text.size());
        text.append(Layout.Tabs, '\t').append(Layout.Text);
    });
    return formatted;
}

std::optional<std::string> FormatScript(std::span<const std::string_view> Lines) {
    const std::vector<int> levels = ParseScript(Lines).Levels;
    if (AllLaidOut(Lines, levels)) {
        return std::nullopt;
    }
    std::size_t size = 0;
    ForEachLayout(Lines, levels, [&size](const TLineLayout& Layout) {
        size += Layout.Tabs + Layout.Text.size() + kLineBreak.size();
    });
    std::string text;
    text.reserve(size);
    ForEachLayout(Lines, levels, [&text](const TLineLayout& Layout) {
        text.append(Layout.Tabs, '\t').append(Layout.Text).append(kLineBreak);
    });
    return text;
}

} // namespace kst
