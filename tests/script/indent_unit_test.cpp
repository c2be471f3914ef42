#include "script/indent_unit.h"
#include "script/script_parser.h"
#include "support/script_lines.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

TEST(IndentUnit, IsTheOneMostBlockBodiesStepBy) {
    struct TCase {
        const char* Name;
        std::string Script;
        TIndentUnit Unit;
    };
    const std::vector<TCase> cases = {
        {"no indented lines", "Sub s\nx\nEnd Sub", {}},
        {"no blocks, indented lines", "  x\n  y", {}},
        {"two spaces, nested", "Sub s\n  If a Then\n    x\n  End If\nEnd Sub", {2}},
        {"four spaces", "Sub s\n    x\nEnd Sub\nSub t\n    y\nEnd Sub", {4}},
        {"tabs", "Sub s\n\tIf a Then\n\t\tx\n\tEnd If\nEnd Sub", {}},
        {"a tab body among more of spaces",
         "If a Then\n\tx\nEnd If\nDo\n  y\nLoop\nDo\n  z\nLoop",
         {2}},
        {"as many tab bodies as space ones", "If a Then\n\tx\nEnd If\nDo\n  y\nLoop", {}},
        {"a stray step outvoted",
         "Sub s\n    a\nEnd Sub\nSub t\n  b\nEnd Sub\nSub u\n    c\nEnd Sub",
         {4}},
        {"equal votes: the smaller step", "Sub s\n    a\nEnd Sub\nSub t\n  b\nEnd Sub", {2}},
        {"continuation, comment and blank lines do not vote",
         "x = a + _\n        b\nSub s\n\n      ' note\n   y\nEnd Sub",
         {3}},
        {"bodies are counted from the line above, wherever it stands",
         "    Sub s\n      x\n    End Sub",
         {2}},
        {"Case lines at the Select's level", "Select Case x\nCase 1\n   y\nEnd Select", {3}},
    };
    for (const TCase& test : cases) {
        const std::vector<std::string_view> lines = LinesOf(test.Script);
        EXPECT_EQ(DetectIndentUnit(lines, ParseScript(lines), kDefaultTabWidth), test.Unit)
            << test.Name;
    }
}

TEST(IndentUnit, IsReadFromTabOrANumberOfSpaces) {
    const std::vector<std::pair<std::string_view, std::optional<TIndentUnit>>> cases = {
        {"tab", TIndentUnit{}}, {"4", TIndentUnit{4}},  {"16", TIndentUnit{16}},
        {"0", std::nullopt},    {"17", std::nullopt},   {"4 ", std::nullopt},
        {"", std::nullopt},     {"Tabs", std::nullopt}, {"-2", std::nullopt},
    };
    for (const auto& [text, unit] : cases) {
        EXPECT_EQ(ParseIndentUnit(text), unit) << text;
    }
}

} // namespace
} // namespace kst
