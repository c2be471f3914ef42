#include "support/script_lines.h"
#include "tools/script_parser.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

// Every problem as "LINE,COLUMN: MESSAGE", both numbers 1-based.
std::vector<std::string> Problems(std::string_view Text) {
    const std::vector<std::string_view> lines = LinesOf(Text);
    std::vector<std::string> problems;
    for (const TScriptProblem& problem : ParseScript(lines).Problems) {
        problems.push_back(std::to_string(problem.Line + 1) + "," +
                           std::to_string(CharacterColumn(
                               lines[static_cast<std::size_t>(problem.Line)], problem.Column)) +
                           ": " + ProblemMessage(problem));
    }
    return problems;
}

TEST(ScriptParser, ReadsScriptsThatRunWithoutProblems) {
    const std::vector<std::string> scripts = {
        "Class C\n Private m\n Public Default Property Get P(i)\n  P = m\n End Property\n"
        " Private Sub Class_Initialize()\n  m = 1\n End Sub\n Public Function F()\n End Function\n"
        "End Class",
        "Sub s()\nIf a Then\nElseIf b Then\nElse\nEnd If\nExit Sub\nEnd\nEnd Sub",
        "For Each x In y\nFor i = 1 To 2 Step 1\nNext\nNext\nDo While a\nLoop\nDo\nLoop Until b\n"
        "While c\nWend\nWith o\n.a = 1\nEnd With\nSelect Case v\nCase 1, 2\nCase Else\nEnd Select",
        // Keywords inside strings and comments.
        "If InStr(s, \"then\") > 0 Then\nx = \"End If\" ' Next\nRem End Sub\nEnd If",
        "x = \"a \"\" Next \"\" b\" : Rem Loop \"\nREM Wend",
        // One-line Ifs take the rest of their line, ":" and Else included.
        "If a Then b = 1\nIf a Then b : Else c\nIf a Then b Else c : d\nIf a Then Exit Sub",
        // "_" continues a statement on the next line.
        "If a And _\n   b Then\nEnd If\nIf a Then _\n  b = 1\nx = y &_\n  z",
        "For i = 1 To 3: x = i: Next\nIf a Then ' a block If\nEnd If\nIf a Then Rem too\nEnd If",
        // Names that begin with keywords, and keywords as members.
        "format1 = 1\ndone = 2\nnextItem = 3\nendIf = 4\no.Next\nCall o.End",
        "",
    };
    for (const std::string& script : scripts) {
        EXPECT_EQ(Problems(script), std::vector<std::string>{}) << script;
    }
}

TEST(ScriptParser, ReportsEveryKindOfProblemAtItsLine) {
    struct TCase {
        std::string Script;
        std::vector<std::string> Expected;
    };
    const std::vector<TCase> cases = {
        {"Sub s\nEnd If\nEnd Sub", {"2,1: End If に対応する If がありません"}},
        {"Next\nLoop\n Wend\nEnd Select\nEnd With\nEnd Sub\nEnd Function\nEnd Property\nEnd Class",
         {"1,1: Next に対応する For がありません", "2,1: Loop に対応する Do がありません",
          "3,2: Wend に対応する While がありません",
          "4,1: End Select に対応する Select Case がありません",
          "5,1: End With に対応する With がありません", "6,1: End Sub に対応する Sub がありません",
          "7,1: End Function に対応する Function がありません",
          "8,1: End Property に対応する Property がありません",
          "9,1: End Class に対応する Class がありません"}},
        {"x\n  If a Then\nFor i = 1 To 2",
         {"2,3: 2行目の If が End If で閉じられていません",
          "3,1: 3行目の For が Next で閉じられていません"}},
        {"Sub s\nIf a Then\nDo\nEnd Sub",
         {"4,1: 2行目の If が閉じられる前に End Sub があります",
          "4,1: 3行目の Do が閉じられる前に End Sub があります"}},
        {"Function f\nPrivate Sub g\nEnd Sub\nClass C\nClass D\nEnd Class",
         {"2,1: Sub は 1行目の Function の中には書けません",
          "5,1: Class は 4行目の Class の中には書けません"}},
        {"If a Then\nx\nSub s\nEnd Sub", {"3,1: 1行目の If が閉じられる前に Sub があります"}},
        {"Case 1\nFor i = 1 To 2\nElse\nNext\nElseIf a Then",
         {"1,1: Case に対応する Select Case がありません", "3,1: Else に対応する If がありません",
          "5,1: ElseIf に対応する If がありません"}},
        {"If a Then\nWith o\nElse\nEnd If", {"3,1: 2行目の With が閉じられる前に Else があります"}},
        {"x = \"\x82\xa0\" & \"open\ny = 1 ' \"", {"1,11: 文字列が行末で閉じられていません"}},
    };
    for (const TCase& test : cases) {
        EXPECT_EQ(Problems(test.Script), test.Expected) << test.Script;
    }
}

TEST(ScriptParser, ListsTheLinesOfDefinitions) {
    const std::string script = "Class C\n"
                               "  Public Default Property Get P\n"
                               "  End Property\n"
                               "  Private _\n"
                               "    Sub S\n"
                               "    x = \"Sub y\" : Exit Sub\n"
                               "  End Sub\n"
                               "End Class\n"
                               "' Function f\n"
                               "Function F(a) : F = a : End Function\n";
    EXPECT_EQ(ParseScript(LinesOf(script)).Definitions, (std::vector<int>{0, 1, 3, 9}));
}

} // namespace
} // namespace kst
