#include "script/indent_unit.h"

#include "script/script_parser.h"
#include "script/script_text.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace kst {

namespace {

// Block bodies enough to tell a script's unit.
constexpr int kEnoughBodies = 4096;

// The votes of a script's block bodies: each body's first line against the line above it.
class UnitVotes {
public:
    explicit UnitVotes(int TabWidth) : FTabWidth(TabWidth) {}

    int Bodies() const { return FTabBodies + FSpaceBodies; }

    void Body(std::string_view Above, std::string_view First) {
        const std::string_view inner = LeadingBlanks(First);
        if (inner.starts_with('\t')) {
            ++FTabBodies;
            return;
        }
        const std::string_view outer = LeadingBlanks(Above);
        if (inner.find('\t') != std::string_view::npos ||
            outer.find('\t') != std::string_view::npos) {
            return;
        }
        const int step = IndentWidth(inner, FTabWidth) - IndentWidth(outer, FTabWidth);
        if (step > 0 && step <= kMaxIndentSpaces) {
            ++FSteps[static_cast<std::size_t>(step)];
            ++FSpaceBodies;
        }
    }

    // Tabs unless more bodies step by spaces; the commonest step, the smaller of equals.
    TIndentUnit Unit() const {
        if (FSpaceBodies <= FTabBodies) {
            return {};
        }
        const auto commonest = std::ranges::max_element(FSteps);
        return {static_cast<int>(commonest - FSteps.begin())};
    }

private:
    int FTabWidth;
    int FTabBodies = 0;
    int FSpaceBodies = 0;
    std::array<int, kMaxIndentSpaces + 1> FSteps{};
};

} // namespace

std::optional<TIndentUnit> ParseIndentUnit(std::string_view Text) {
    if (Text == "tab") {
        return TIndentUnit{};
    }
    int spaces = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), spaces);
    if (error != std::errc() || end != Text.data() + Text.size() || spaces < 1 ||
        spaces > kMaxIndentSpaces) {
        return std::nullopt;
    }
    return TIndentUnit{spaces};
}

int IndentWidth(std::string_view Line, int TabWidth) {
    int width = 0;
    for (const char byte : LeadingBlanks(Line)) {
        width = byte == '\t' ? (width / TabWidth + 1) * TabWidth : width + 1;
    }
    return width;
}

TIndentUnit DetectIndentUnit(std::span<const std::string_view> Lines,
                             const TScriptStructure& Structure, int TabWidth) {
    UnitVotes votes(std::max(TabWidth, 1));
    auto continuation = Structure.Continuations.begin();
    std::string_view above;
    int aboveLevel = TScriptStructure::kKeepLine;
    for (std::size_t line = 0; line < Lines.size() && votes.Bodies() < kEnoughBodies; ++line) {
        if (continuation != Structure.Continuations.end() &&
            *continuation == static_cast<int>(line)) {
            ++continuation;
            continue;
        }
        const int level = Structure.Levels[line];
        if (level == TScriptStructure::kKeepLine || TrimLeadingBlanks(Lines[line]).empty()) {
            continue;
        }
        if (level == aboveLevel + 1 && aboveLevel >= 0) {
            votes.Body(above, Lines[line]);
        }
        above = Lines[line];
        aboveLevel = level;
    }
    return votes.Unit();
}

TIndentUnit ChooseIndentUnit(const TIndentStyle& Style, std::span<const std::string_view> Lines,
                             const TScriptStructure& Structure) {
    return Style.Unit ? *Style.Unit : DetectIndentUnit(Lines, Structure, Style.TabWidth);
}

} // namespace kst
