// Formatting over many generated scripts: random nesting of blocks with their middle lines,
// missing closers, one-line Ifs, comments, keywords in strings, continued lines, blank lines, names
// that begin with keywords, and random indentation, case and trailing blanks.
#include "script/formatter.h"
#include "script/script_text.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace kst {
namespace {

struct TBlock {
    const char* Opener;
    std::vector<const char*> Middles;
    const char* Closer;
};

const std::vector<TBlock> kBlocks = {
    {"Sub s()", {}, "End Sub"},
    {"Function f(a)", {}, "End Function"},
    {"If a Then", {"ElseIf b Then", "Else"}, "End If"},
    {"If a Then ' block", {}, "End If"},
    {"Do While a", {}, "Loop Until b"},
    {"Select Case a", {"Case 1", "Case Else"}, "End Select"},
    {"For Each x In y", {}, "Next"},
    {"Private Property Get p", {}, "End Property"},
    {"With o", {}, "End With"},
    {"While a", {}, "Wend"},
};

const std::vector<const char*> kStatements = {
    "x = 1",           "format1 = 2",
    "done = 3",        "ifExists = True",
    "nextItem = 4",    "caseName = 5",
    "If a Then b = 1", "If athens Then x",
    "\x82\xa0 = 1",    "' Sub If then",
    "Rem End If",      "x = \"End If\" & \"Then\"",
    "y = a _",         "",
};

class ScriptGenerator {
public:
    explicit ScriptGenerator(unsigned Seed) : FRandom(Seed) {}

    std::vector<std::string> Script() {
        Block(0);
        return FLines;
    }

private:
    std::size_t Below(std::size_t Count) {
        return std::uniform_int_distribution<std::size_t>(0, Count - 1)(FRandom);
    }

    std::string Blanks() { return std::string(" \t\x01 ").substr(Below(4), Below(3)); }

    void Line(std::string Text) {
        for (char& c : Text) {
            if (c >= 'a' && c <= 'z' && Below(3) == 0) {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        FLines.push_back(Blanks() + Text + Blanks());
    }

    void Block(int Depth) {
        for (std::size_t count = Below(5); count > 0; --count) {
            if (Depth == 5 || Below(3) != 0) {
                Line(kStatements[Below(kStatements.size())]);
                continue;
            }
            const TBlock& block = kBlocks[Below(kBlocks.size())];
            Line(block.Opener);
            Block(Depth + 1);
            for (const char* middle : block.Middles) {
                Line(middle);
                Block(Depth + 1);
            }
            if (Below(20) != 0) {
                Line(block.Closer);
            }
        }
    }

    std::mt19937 FRandom;
    std::vector<std::string> FLines;
};

std::vector<std::string> Format(const std::vector<std::string>& Lines, const TIndentStyle& Style) {
    const std::vector<std::string_view> views(Lines.begin(), Lines.end());
    return FormatLines(views, Style);
}

// The script's own unit, a tab, two and four spaces.
const std::vector<TIndentStyle> kStyles = {{}, {TIndentUnit{}}, {TIndentUnit{2}}, {TIndentUnit{4}}};

TEST(FormatterProperties, HoldForGeneratedScripts) {
    for (unsigned seed = 1; seed <= 500; ++seed) {
        SCOPED_TRACE(seed);
        const std::vector<std::string> source = ScriptGenerator(seed).Script();
        for (const TIndentStyle& style : kStyles) {
            SCOPED_TRACE(style.Unit ? style.Unit->Spaces : -1);
            const std::vector<std::string> once = Format(source, style);
            ASSERT_EQ(once.size(), source.size()) << "the line count is kept";
            ASSERT_EQ(Format(once, style), once) << "formatting twice is formatting once";
            for (std::size_t i = 0; i < source.size(); ++i) {
                const std::string_view line = once[i];
                if (TrimBlanks(source[i]).starts_with(kCommentMark)) {
                    ASSERT_EQ(line, source[i]) << "comment lines stay as they are";
                }
                if (line == source[i]) {
                    continue;
                }
                ASSERT_EQ(TrimBlanks(line), TrimBlanks(source[i])) << "only blanks around change";
                const bool continues = i > 0 && TrimBlanks(source[i - 1]).ends_with('_');
                if (style.Unit && !continues) {
                    const std::string_view indentation =
                        LeadingBlanks(line);
                    ASSERT_EQ(indentation.find_first_not_of(style.Unit->Spaces > 0 ? ' ' : '\t'),
                              std::string_view::npos)
                        << line;
                }
            }
        }
    }
}

} // namespace
} // namespace kst
