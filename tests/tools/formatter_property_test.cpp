// Formatting over many generated scripts: random nesting of the six blocks with their middle
// lines, one-line Ifs, comments, blank lines, names that begin with keywords, and random
// indentation, case and trailing blanks.
#include "tools/formatter.h"
#include "tools/script_text.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace kst {
namespace {

class ScriptGenerator {
public:
    explicit ScriptGenerator(unsigned Seed) : FRandom(Seed) {}

    std::vector<std::string> Script() {
        FLines.clear();
        Block(0);
        return FLines;
    }

private:
    struct TBlock {
        const char* Opener;
        std::vector<const char*> Middles;
        const char* Closer;
    };

    int Below(int Count) { return std::uniform_int_distribution<int>(0, Count - 1)(FRandom); }

    // Blanks, tabs and now and then a control character.
    std::string Blanks() {
        static const std::string kBlanks = " \t \t\x01";
        std::string blanks;
        for (int count = Below(4); count > 0; --count) {
            blanks += kBlanks[static_cast<std::size_t>(Below(static_cast<int>(kBlanks.size())))];
        }
        return blanks;
    }

    std::string RandomCase(std::string_view Text) {
        std::string text(Text);
        for (char& c : text) {
            if (c >= 'a' && c <= 'z' && Below(3) == 0) {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        return text;
    }

    void Line(std::string_view Text) { FLines.push_back(Blanks() + RandomCase(Text) + Blanks()); }

    void Statement() {
        static const std::vector<const char*> kStatements = {
            "x = 1",           "format1 = 2",      "done = doIt()",    "ifExists = True",
            "subTotal = 3",    "nextItem = 4",     "loopCount = 5",    "MsgBox \"then\"",
            "If a Then b = 1", "If athens Then x", "caseName = 1",     "elseValue = 2",
            "\x82\xa0 = 1",    "Call f() ' then",  "WScript.Echo end", ""};
        const int choice = Below(10);
        if (choice == 0) {
            FLines.push_back(Blanks() + "'" + RandomCase("comment Sub If ") + Blanks());
        } else if (choice == 1) {
            FLines.push_back(Blanks());
        } else {
            Line(
                kStatements[static_cast<std::size_t>(Below(static_cast<int>(kStatements.size())))]);
        }
    }

    void Block(int Depth) {
        static const std::vector<TBlock> kBlocks = {
            {"Sub s()", {}, "End Sub"},
            {"Function f(a)", {}, "End Function"},
            {"If a Then", {"ElseIf b Then", "Else"}, "End If"},
            {"If a Then ' block", {"Else"}, "End If"},
            {"Do While a", {}, "Loop"},
            {"Do", {}, "Loop Until b"},
            {"Select Case a", {"Case 1", "Case Else"}, "End Select"},
            {"For i = 1 To 2", {}, "Next"},
            {"For Each x In y", {}, "Next"},
        };
        for (int count = Below(5); count > 0; --count) {
            if (Depth < 5 && Below(3) == 0) {
                const TBlock& block =
                    kBlocks[static_cast<std::size_t>(Below(static_cast<int>(kBlocks.size())))];
                Line(block.Opener);
                Block(Depth + 1);
                for (const char* middle : block.Middles) {
                    if (Below(2) == 0) {
                        Line(middle);
                        Block(Depth + 1);
                    }
                }
                // Now and then a closer is missing.
                if (Below(20) != 0) {
                    Line(block.Closer);
                }
            } else {
                Statement();
            }
        }
    }

    std::mt19937 FRandom;
    std::vector<std::string> FLines;
};

std::vector<std::string> Format(const std::vector<std::string>& Lines) {
    const std::vector<std::string_view> views(Lines.begin(), Lines.end());
    return FormatLines(views);
}

TEST(FormatterProperties, HoldForGeneratedScripts) {
    for (unsigned seed = 1; seed <= 500; ++seed) {
        SCOPED_TRACE(seed);
        const std::vector<std::string> source = ScriptGenerator(seed).Script();
        const std::vector<std::string> once = Format(source);
        ASSERT_EQ(once.size(), source.size()) << "the line count is kept";
        ASSERT_EQ(Format(once), once) << "formatting twice is formatting once";
        for (std::size_t i = 0; i < source.size(); ++i) {
            if (TrimBlanks(source[i]).starts_with(kCommentMark)) {
                ASSERT_EQ(once[i], source[i]) << "comment lines stay as they are";
            } else {
                ASSERT_EQ(TrimBlanks(once[i]), TrimBlanks(source[i]))
                    << "only leading and trailing blanks change";
                const std::string_view line = once[i];
                const std::string_view indentation =
                    line.substr(0, line.size() - TrimLeadingBlanks(line).size());
                ASSERT_EQ(indentation.find_first_not_of('\t'), std::string_view::npos)
                    << "indentation is tabs";
            }
        }
    }
}

} // namespace
} // namespace kst
