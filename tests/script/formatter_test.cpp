#include "script/formatter.h"
#include "support/script_lines.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace kst {
namespace {

constexpr TIndentStyle kTabs{TIndentUnit{}};

std::string Joined(const std::vector<std::string>& Lines) {
    std::string joined;
    for (const std::string& line : Lines) {
        joined += line + "\n";
    }
    return joined;
}

std::string Formatted(std::string_view Text, const TIndentStyle& Style = kTabs) {
    return Joined(FormatLines(LinesOf(Text), Style));
}

TEST(Formatter, IndentsByBlockStructure) {
    struct TCase {
        const char* Name;
        std::string Source;
        std::string Expected;
    };
    const std::vector<TCase> cases = {
        {"nested blocks, any indentation",
         "  Sub Main()\nIf a Then\n      b = 1\n   End If\nEnd Sub",
         "Sub Main()\n\tIf a Then\n\t\tb = 1\n\tEnd If\nEnd Sub\n"},
        {"one-line If", "Sub s\nIf a Then b = 1\nc\nEnd Sub",
         "Sub s\n\tIf a Then b = 1\n\tc\nEnd Sub\n"},
        {"If with only a comment after Then", "If a Then ' note\nb\nEnd If",
         "If a Then ' note\n\tb\nEnd If\n"},
        {"Select and Case", "select case x\n Case 1\ny\n  CASE ELSE\nz\nEnd Select",
         "select case x\n\tCase 1\n\t\ty\n\tCASE ELSE\n\t\tz\nEnd Select\n"},
        {"a block in a Case, evenly", "Select Case x\nCase 1\nIf a Then\nb\nEnd If\nEnd Select",
         "Select Case x\n\tCase 1\n\t\tIf a Then\n\t\t\tb\n\t\tEnd If\nEnd Select\n"},
        {"ElseIf and Else", "If a Then\nb\nElseIf c Then\nd\nelse\ne\nEnd If",
         "If a Then\n\tb\nElseIf c Then\n\td\nelse\n\te\nEnd If\n"},
        {"Loop While closes Do", "Do\nx\nLoop While y\nz", "Do\n\tx\nLoop While y\nz\n"},
        {"For Each and Function", "Function f()\nFor Each i In c\nx\nNext\nEnd Function",
         "Function f()\n\tFor Each i In c\n\t\tx\n\tNext\nEnd Function\n"},
        {"names that begin with keywords",
         "format1 = 1\nsubTotal = 2\ndone = 3\nifExists = 4\nselection = 5\nfunctions = 6",
         "format1 = 1\nsubTotal = 2\ndone = 3\nifExists = 4\nselection = 5\nfunctions = 6\n"},
        {"closers and Case and Else as whole words",
         "Do\nloopCount = 1\nLoop\nFor i = 1 To 2\nnextValue = i\nNext\nSelect Case x\n"
         "caseCount = 1\nEnd Select\nIf a Then\nelsewhere = 1\nEnd If",
         "Do\n\tloopCount = 1\nLoop\nFor i = 1 To 2\n\tnextValue = i\nNext\nSelect Case x\n"
         "\t\tcaseCount = 1\nEnd Select\nIf a Then\n\telsewhere = 1\nEnd If\n"},
        {"Then inside a name",
         "If athens Then\nx\nEnd If\nIf lengthen = 1 Then\ny\nEnd If\nIf b Then athens = 1\nz",
         "If athens Then\n\tx\nEnd If\nIf lengthen = 1 Then\n\ty\nEnd If\nIf b Then athens = "
         "1\nz\n"},
        {"keywords next to punctuation", "If(a)Then\nb\nEnd If\nFor Each i In(c)\nNext",
         "If(a)Then\n\tb\nEnd If\nFor Each i In(c)\nNext\n"},
        {"keywords in strings", "If InStr(s, \"then\") > 0 Then\nx = \" Next\"\nEnd If",
         "If InStr(s, \"then\") > 0 Then\n\tx = \" Next\"\nEnd If\n"},
        {"every block kind, with modifiers",
         "Class C\nPrivate m\nPublic Default Property Get P\nWith m\n.x = 1\nEnd With\n"
         "End Property\nPrivate Sub S\nWhile a\nWend\nEnd Sub\nEnd Class",
         "Class C\n\tPrivate m\n\tPublic Default Property Get P\n\t\tWith m\n\t\t\t.x = 1\n"
         "\t\tEnd With\n\tEnd Property\n\tPrivate Sub S\n\t\tWhile a\n\t\tWend\n\tEnd Sub\n"
         "End Class\n"},
        {"continuation lines move with their statement",
         "Sub s\nx = a + _\n      b\nIf a _\nThen\ny\nEnd If\nEnd Sub",
         "Sub s\n\tx = a + _\n\t      b\n\tIf a _\n\tThen\n\t\ty\n\tEnd If\nEnd Sub\n"},
        {"one-line If with Else", "If a Then b : Else c\nd", "If a Then b : Else c\nd\n"},
        {"comment lines stay, other lines lose trailing blanks",
         "Sub s  \n   ' note \t\n  Rem note  \n  x = 1 \t\nEnd Sub",
         "Sub s\n   ' note \t\n  Rem note  \n\tx = 1\nEnd Sub\n"},
        {"blank lines become empty", "Sub s\n\n   \nx\nEnd Sub\n\n", "Sub s\n\n\n\tx\nEnd Sub\n\n"},
        {"a closer closes the blocks left open inside its own", "Sub s\nIf a Then\nx\nEnd Sub",
         "Sub s\n\tIf a Then\n\t\tx\nEnd Sub\n"},
        {"lines that cannot be placed stay", "  Next \nx\nWhile y\n  s = \"open \nDo\nz",
         "  Next \nx\nWhile y\n  s = \"open \n\tDo\n\t\tz\n"},
        {"double-byte text and control characters",
         "If \x83\x65\x83\x58\x83\x67 Then\n\x01\x82\xa0\x82\xa2\x1f\nEnd If",
         "If \x83\x65\x83\x58\x83\x67 Then\n\t\x82\xa0\x82\xa2\nEnd If\n"},
    };
    for (const TCase& test : cases) {
        EXPECT_EQ(Formatted(test.Source), test.Expected) << test.Name;
    }
}

TEST(Formatter, TheScriptTextEndsEveryLineWithCrLfAndIsNoneWhenNothingChanges) {
    struct TCase {
        std::string Source;
        std::optional<std::string> Expected;
    };
    const std::vector<TCase> cases = {
        {"", std::nullopt},
        {"Sub s\n\tx\nEnd Sub", std::nullopt},
        {"Sub s\nx", "Sub s\r\n\tx\r\n"},
        {"a \n\n", "a\r\n\r\n"},
    };
    for (const TCase& test : cases) {
        EXPECT_EQ(FormatScript(LinesOf(test.Source), kTabs), test.Expected) << test.Source;
    }
}

// Units other than the tab; lines that continue a statement keep their place beside it.
TEST(Formatter, KeepsTheAlignmentOfContinuationLines) {
    struct TCase {
        const char* Name;
        std::string Source;
        TIndentStyle Style;
        std::string Expected;
    };
    const TIndentStyle spaces2{TIndentUnit{2}};
    const TIndentStyle spaces4{TIndentUnit{4}};
    const std::vector<TCase> cases = {
        {"aligned under the first argument, statement moved",
         "Sub s\nCall f(a, _\n       b)\nEnd Sub", spaces4,
         "Sub s\n    Call f(a, _\n           b)\nEnd Sub\n"},
        {"statement in place: its continuation stays byte for byte",
         "If a Then\n  x = f(1, _\n\t 2) \nEnd If", spaces2,
         "If a Then\n  x = f(1, _\n\t 2)\nEnd If\n"},
        {"moved left of the statement: one unit in", "Sub s\n        x = 1 + _\n  2\nEnd Sub",
         spaces2, "Sub s\n  x = 1 + _\n    2\nEnd Sub\n"},
        {"tabs then spaces kept after a moved statement",
         "Sub s\nIf a Then\n\tq = \"x\" & _\n\t    \"y\"\nEnd If\nEnd Sub", kTabs,
         "Sub s\n\tIf a Then\n\t\tq = \"x\" & _\n\t\t    \"y\"\n\tEnd If\nEnd Sub\n"},
        {"alignment in other blanks than the statement's, made again in tabs",
         "Sub s\n  x = 1 + _\n\t   2\nEnd Sub", kTabs, "Sub s\n\tx = 1 + _\n\t\t 2\nEnd Sub\n"},
        {"every continuation of a statement", "Sub s\nx = a & _\n    b & _\n    c\ny\nEnd Sub",
         spaces2, "Sub s\n  x = a & _\n      b & _\n      c\n  y\nEnd Sub\n"},
        {"the script's own unit",
         "Sub s\n   x\n   If a Then\n      y\n  z\n   End If\nEnd Sub",
         {},
         "Sub s\n   x\n   If a Then\n      y\n      z\n   End If\nEnd Sub\n"},
    };
    for (const TCase& test : cases) {
        EXPECT_EQ(Formatted(test.Source, test.Style), test.Expected) << test.Name;
    }
}

TEST(Formatter, ALineRangeIsFormattedAtTheLevelsOfTheWholeScript) {
    struct TCase {
        const char* Name;
        int First;
        int Last;
        std::optional<std::string> Expected;
    };
    const std::string script = "Sub s\nIf a Then\nx = f(1, _\n       2)\ny\nEnd If\nEnd Sub";
    const std::vector<TCase> cases = {
        {"the middle lines", 1, 2, "  If a Then\r\n    x = f(1, _"},
        {"a continuation whose statement is outside", 3, 4, "       2)\r\n    y"},
        {"a statement moves its continuation with it", 2, 3, "    x = f(1, _\r\n           2)"},
        {"lines already right", 0, 0, std::nullopt},
        {"past the end", 6, 9, std::nullopt},
    };
    for (const TCase& test : cases) {
        EXPECT_EQ(FormatLineRange(LinesOf(script), {TIndentUnit{2}}, test.First, test.Last),
                  test.Expected)
            << test.Name;
    }
}

} // namespace
} // namespace kst
