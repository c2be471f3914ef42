#include "script/formatter.h"

#include "script/script_parser.h"
#include "script/script_text.h"

#include <algorithm>

namespace kst {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// A line as it is written back: Units indent units, then Indent, then Text.
struct TLineLayout {
    int Units = 0;
    std::string Indent;
    std::string_view Text;
};

// The first line of a statement, as it was and as it is written back.
struct TStatementIndent {
    std::string_view Blanks;
    int OldWidth = 0;
    int NewWidth = 0;
    // Units when the line is laid out; none when it stays as it is.
    std::optional<int> Units;
};

// The layouts of one script's lines in one unit.
class ScriptLayout {
public:
    ScriptLayout(std::span<const std::string_view> Lines, const TIndentStyle& Style)
        : FLines(Lines), FStructure(ParseScript(Lines)), FTabWidth(std::max(Style.TabWidth, 1)),
          FUnit(ChooseIndentUnit(Style, Lines, FStructure)),
          FUnitChar(FUnit.Spaces > 0 ? ' ' : '\t'), FUnitLength(std::max(FUnit.Spaces, 1)) {}

    // Calls Visit(Line, Layout) for the lines First..Last in turn, until it answers false.
    template <class F>
    void ForEach(int First, int Last, F&& Visit) const {
        const std::vector<int>& continuations = FStructure.Continuations;
        int line = First;
        while (line > 0 && std::ranges::binary_search(continuations, line)) {
            --line;
        }
        auto continuation = std::ranges::lower_bound(continuations, line);
        TStatementIndent statement;
        for (; line <= Last; ++line) {
            const bool continues = continuation != continuations.end() && *continuation == line;
            if (continues) {
                ++continuation;
            }
            const std::string_view text = FLines[static_cast<std::size_t>(line)];
            if (!continues) {
                statement = StatementAt(text, line, line >= First);
            }
            if (line >= First) {
                if (!Visit(line, continues ? ContinuationLayout(text, line, statement)
                                           : StatementLayout(text, line))) {
                    return;
                }
            }
        }
    }

    bool IsLaidOut(std::string_view Line, const TLineLayout& Layout) const {
        const std::size_t units = UnitBytes(Layout.Units);
        return Line.size() == units + Layout.Indent.size() + Layout.Text.size() &&
               Line.find_first_not_of(FUnitChar) >= units &&
               Line.substr(units, Layout.Indent.size()) == Layout.Indent &&
               Line.substr(units + Layout.Indent.size()) == Layout.Text;
    }

    std::size_t SizeOf(const TLineLayout& Layout) const {
        return UnitBytes(Layout.Units) + Layout.Indent.size() + Layout.Text.size();
    }

    void Append(std::string& Text, const TLineLayout& Layout) const {
        Text.append(UnitBytes(Layout.Units), FUnitChar).append(Layout.Indent).append(Layout.Text);
    }

private:
    std::size_t UnitBytes(int Units) const {
        return static_cast<std::size_t>(Units) * static_cast<std::size_t>(FUnitLength);
    }

    int UnitWidth() const { return FUnit.Spaces > 0 ? FUnit.Spaces : FTabWidth; }

    int Level(int Line) const { return FStructure.Levels[static_cast<std::size_t>(Line)]; }

    TLineLayout StatementLayout(std::string_view Line, int Index) const {
        if (Level(Index) == TScriptStructure::kKeepLine) {
            return {0, {}, Line};
        }
        const std::string_view text = TrimBlanks(Line);
        return {text.empty() ? 0 : Level(Index), {}, text};
    }

    TStatementIndent StatementAt(std::string_view Line, int Index, bool LaidOut) const {
        const int width = IndentWidth(Line, FTabWidth);
        TStatementIndent statement{LeadingBlanks(Line), width, width, std::nullopt};
        if (LaidOut && Level(Index) != TScriptStructure::kKeepLine) {
            statement.Units = Level(Index);
            statement.NewWidth = *statement.Units * UnitWidth();
        }
        return statement;
    }

    // A continuation line moves by as many columns as its statement's first line.
    TLineLayout ContinuationLayout(std::string_view Line, int Index,
                                   const TStatementIndent& Statement) const {
        if (Level(Index) == TScriptStructure::kKeepLine) {
            return {0, {}, Line};
        }
        const std::string_view text = TrimBlanks(Line);
        const std::string_view blanks = LeadingBlanks(Line);
        const int width = IndentWidth(Line, FTabWidth) + Statement.NewWidth - Statement.OldWidth;
        if (width < Statement.NewWidth) {
            if (Statement.Units) {
                return {*Statement.Units + 1, {}, text};
            }
            return {0, std::string(Statement.Blanks).append(UnitBytes(1), FUnitChar), text};
        }
        if (Statement.NewWidth == Statement.OldWidth) {
            return {0, std::string(blanks), text};
        }
        // Moved: the statement's blanks give way to its new indentation, the alignment after
        // them stays.
        if (blanks.starts_with(Statement.Blanks)) {
            const std::string_view alignment = blanks.substr(Statement.Blanks.size());
            if (alignment.find('\t') == std::string_view::npos) {
                return {*Statement.Units, std::string(alignment), text};
            }
        }
        return {*Statement.Units, Padding(width - Statement.NewWidth), text};
    }

    // Columns blanks after a laid-out indentation: tabs to the last tab stop, then spaces.
    std::string Padding(int Columns) const {
        const int tabs = FUnit.Spaces > 0 ? 0 : Columns / FTabWidth;
        return std::string(static_cast<std::size_t>(tabs), '\t')
            .append(static_cast<std::size_t>(Columns - tabs * FTabWidth), ' ');
    }

    std::span<const std::string_view> FLines;
    TScriptStructure FStructure;
    int FTabWidth;
    TIndentUnit FUnit;
    char FUnitChar;
    int FUnitLength;
};

int LastLine(std::span<const std::string_view> Lines) {
    return static_cast<int>(Lines.size()) - 1;
}

bool AllLaidOut(const ScriptLayout& Layout, std::span<const std::string_view> Lines, int First,
                int Last) {
    bool laidOut = true;
    Layout.ForEach(First, Last, [&](int Line, const TLineLayout& Laid) {
        laidOut = Layout.IsLaidOut(Lines[static_cast<std::size_t>(Line)], Laid);
        return laidOut;
    });
    return laidOut;
}

} // namespace

bool IsFormatted(std::span<const std::string_view> Lines, const TIndentStyle& Style) {
    return AllLaidOut(ScriptLayout(Lines, Style), Lines, 0, LastLine(Lines));
}

std::vector<std::string> FormatLines(std::span<const std::string_view> Lines,
                                     const TIndentStyle& Style) {
    const ScriptLayout layout(Lines, Style);
    std::vector<std::string> formatted;
    formatted.reserve(Lines.size());
    layout.ForEach(0, LastLine(Lines), [&](int /*Line*/, const TLineLayout& Line) {
        std::string& text = formatted.emplace_back();
        text.reserve(layout.SizeOf(Line));
        layout.Append(text, Line);
        return true;
    });
    return formatted;
}

std::optional<std::string> FormatScript(std::span<const std::string_view> Lines,
                                        const TIndentStyle& Style) {
    const ScriptLayout layout(Lines, Style);
    if (AllLaidOut(layout, Lines, 0, LastLine(Lines))) {
        return std::nullopt;
    }
    std::size_t size = 0;
    layout.ForEach(0, LastLine(Lines), [&](int /*Line*/, const TLineLayout& Line) {
        size += layout.SizeOf(Line) + kLineBreak.size();
        return true;
    });
    std::string text;
    text.reserve(size);
    layout.ForEach(0, LastLine(Lines), [&](int /*Line*/, const TLineLayout& Line) {
        layout.Append(text, Line);
        text.append(kLineBreak);
        return true;
    });
    return text;
}

std::optional<std::string> FormatLineRange(std::span<const std::string_view> Lines,
                                           const TIndentStyle& Style, int First, int Last) {
    First = std::max(First, 0);
    Last = std::min(Last, LastLine(Lines));
    const ScriptLayout layout(Lines, Style);
    if (First > Last || AllLaidOut(layout, Lines, First, Last)) {
        return std::nullopt;
    }
    std::string text;
    layout.ForEach(First, Last, [&](int Line, const TLineLayout& Layout) {
        if (Line > First) {
            text.append(kLineBreak);
        }
        layout.Append(text, Layout);
        return true;
    });
    return text;
}

} // namespace kst
