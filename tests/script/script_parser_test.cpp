#include "script/script_parser.h"
#include "support/script_lines.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

// Every problem as "LINE,COLUMN: MESSAGE", both numbers 1-based.
std::vector<std::string> Problems(std::string_view Text) {
    const std::vector<std::string_view> lines = LinesOf(Text);
    std::vector<std::string> problems;
    CharacterColumns columns;
    for (const TScriptProblem& problem : ParseScript(lines).Problems) {
        problems.push_back(std::to_string(problem.Line + 1) + "," +
                           std::to_string(columns.At(lines[static_cast<std::size_t>(problem.Line)],
                                                     problem.Column)) +
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
        {"x = \"\x82\xa0\" & \"open\ny = 1 ' \"", {"1,11: 文字列定数が終了していません"}},
    };
    for (const TCase& test : cases) {
        EXPECT_EQ(Problems(test.Script), test.Expected) << test.Script;
    }
}

// Every statement form the language has, each with no problem; a parser that lacks one of them
// reports a problem here.
TEST(ScriptParser, ReadsEveryStatementForm) {
    const std::vector<std::string> forms = {
        "Option Explicit",
        "Dim a, b(3), c(), d(2, 4)",
        "ReDim e(10)\nReDim Preserve e(n + 1, 2)",
        "Const kMax = 10, kName = \"x\"",
        "Private m\nPublic p(2)\nPrivate Const kA = 1\nPublic Const kB = -1",
        "Set o = New Class1\nSet o = Nothing\nSet o.Item(1) = CreateObject(\"a.b\")",
        "Call Foo\nCall Foo(1, 2)\nCall o.Bar()",
        "Foo\nFoo 1, , 3\nFoo (1)\nFoo (1), 2\no.Method a, b\nFoo()",
        "x = 1\nx(1, 2) = 3\no.Prop = 4\nSet x(1) = o",
        "Erase a",
        "Do\nExit Do\nLoop\nFor i = 1 To 2\nExit For\nNext",
        "Function F()\nExit Function\nEnd Function\nSub S\nExit Sub\nEnd Sub",
        "Class C\nProperty Get P\nExit Property\nEnd Property\nEnd Class",
        "On Error Resume Next\nOn Error GoTo 0",
        "Randomize\nRandomize 42\nStop",
        "If a Then\nElseIf b Then\nElse\nEnd If",
        "If a Then x = 1\nIf a Then x = 1 Else x = 2\nIf a Then x = 1 : y = 2 Else z = 3 : w = 4",
        "If a Then If b Then c Else d\nIf a Then Else x\nIf a Then x = 1 Else ' why",
        "If a Then\nx = 1 : Else y = 2\nEnd If",
        "Select Case v\nCase 1, 2, 3\nCase \"a\", x + 1\nCase Else\nEnd Select",
        "For i = 10 To 1 Step -1\nNext i\nFor Each k In d.Keys\nNext",
        "Do While a\nLoop\nDo Until a\nLoop\nDo\nLoop While a\nDo\nLoop Until a",
        "While a < 10\na = a + 1\nWend",
        "With o\n.Name = .Prefix & \"x\"\n.Run\nWith .Child\nEnd With\nEnd With",
        "Class C\nPrivate m\nPublic Default Property Get P(i)\nP = m\nEnd Property\n"
        "Property Let P(i, v)\nm = v\nEnd Property\nProperty Set O(v)\nSet m = v\nEnd Property\n"
        "End Class",
        "Sub S(ByVal a, ByRef b, c(), d)\nEnd Sub\nPublic Function F()\nF = Me.X\nEnd Function",
        "Private Sub P\nEnd Sub\nPublic Default Function D\nEnd Function",
        "x = 1 : y = 2 : : z = 3",
        "x = a _\n  + b",
        "[my name] = 1\nx = [my name] + o.[odd one]",
    };
    for (const std::string& form : forms) {
        EXPECT_EQ(Problems(form), std::vector<std::string>{}) << form;
    }
}

// The operators, literals and operands of expressions, each with no problem.
TEST(ScriptParser, ReadsEveryExpressionForm) {
    const std::vector<std::string> expressions = {
        "-2 ^ 2 * 3 / 4 \\ 5 Mod 6 + 7 - 8 & \"s\"",
        "a = b Or c And Not d Xor e Eqv f Imp g",
        "a < b And a <= b And a > b And a >= b And a <> b And o Is Nothing",
        "Not a = b",
        "2 ^ -1 + - - 3",
        "&H1F + &hff& + &O17 + 1.5 + .5 + 1E10 + 2.5e-3",
        "#2024-01-31# + #1/2/2003 10:00#",
        "\"say \"\"hi\"\"\" & vbCrLf",
        "True Or False Or Null Or Empty Or IsEmpty(x)",
        "o.a.b(1).c(2, 3)",
        "((a + b) * (c - d))",
        "f(, 2)",
        "Array()",
    };
    for (const std::string& expression : expressions) {
        const std::string statement = "x = " + expression;
        EXPECT_EQ(Problems(statement), std::vector<std::string>{}) << statement;
    }
}

// One table per class of problem the script engine itself reports; each statement has its first
// problem only, and the next statement is read as usual.
TEST(ScriptParser, ReportsTheProblemsOfStatements) {
    struct TCase {
        std::string Script;
        std::vector<std::string> Expected;
    };
    const std::vector<TCase> cases = {
        // A missing word or symbol.
        {"If x = 1\nEnd If", {"1,9: 'Then' がありません"}},
        {"ElseIf", {"1,1: ElseIf に対応する If がありません", "1,7: 式がありません"}},
        {"If a Then\nElseIf b\nEnd If", {"2,9: 'Then' がありません"}},
        {"x = (1 + 2", {"1,11: ')' がありません"}},
        {"x = f(1, 2", {"1,11: ')' がありません"}},
        {"For i = 1 10\nNext", {"1,11: 'To' がありません"}},
        {"For i 1 To 2\nNext", {"1,7: '=' がありません"}},
        {"For Each k d\nNext", {"1,12: 'In' がありません"}},
        {"ReDim a", {"1,8: '(' がありません"}},
        {"Select v\nEnd Select", {"1,8: 'Case' がありません"}},
        {"x = [open", {"1,5: ']' がありません"}},
        // A missing expression.
        {"x = = 1", {"1,5: 式がありません"}},
        {"x = 1 +", {"1,8: 式がありません"}},
        {"If Then\nEnd If", {"1,4: 式がありません"}},
        {"While\nWend", {"1,6: 式がありません"}},
        // A missing name.
        {"Dim If", {"1,5: 識別子がありません"}},
        {"Dim a,", {"1,7: 識別子がありません"}},
        {"Sub\nEnd Sub", {"1,4: 識別子がありません"}},
        {"Set = 1", {"1,5: 識別子がありません"}},
        {"x = New", {"1,8: 識別子がありません"}},
        // Something after the end of a statement.
        {"x = 1 2", {"1,7: ステートメントの末尾が不正です"}},
        {"Dim a b", {"1,7: ステートメントの末尾が不正です"}},
        {"If a Then\nEnd If x", {"2,8: ステートメントの末尾が不正です"}},
        {"Option Explicit x", {"1,17: ステートメントの末尾が不正です"}},
        // Nothing that begins a statement.
        {"1 = x", {"1,1: ステートメントがありません"}},
        {") : x = 1 2",
         {"1,1: ステートメントがありません", "1,11: ステートメントの末尾が不正です"}},
        // Strings and characters.
        {"x = \"open", {"1,5: 文字列定数が終了していません"}},
        {"x = 1 @ 2\ny = $", {"1,7: 無効な文字です", "2,5: 無効な文字です"}},
        {"@echo off", {"1,1: 無効な文字です"}},
        {"x = #2024-01-01", {"1,5: 無効な文字です"}},
        // A statement's problem does not hide the blocks around it.
        {"If x = 1\nFor i = 1 10\nNext\n",
         {"1,1: 1行目の If が End If で閉じられていません", "1,9: 'Then' がありません",
          "2,11: 'To' がありません"}},
    };
    for (const TCase& test : cases) {
        EXPECT_EQ(Problems(test.Script), test.Expected) << test.Script;
    }
}

// Nesting as deep as the input goes: blocks are followed without limit, parentheses and unary
// operators up to a depth that is reported; neither overflows the parser's stack.
TEST(ScriptParser, ReadsNestingOfAnyDepth) {
    constexpr int kDepth = 100'000;
    std::string blocks;
    for (int block = 0; block < kDepth; ++block) {
        blocks += "If a Then\n";
    }
    for (int block = 0; block < kDepth; ++block) {
        blocks += "End If\n";
    }
    EXPECT_EQ(Problems(blocks), std::vector<std::string>{});
    const std::string parentheses =
        "x = " + std::string(kDepth, '(') + "1" + std::string(kDepth, ')') + "\ny = -";
    EXPECT_EQ(
        Problems(parentheses),
        (std::vector<std::string>{"1,106: スタック領域が不足しています", "2,6: 式がありません"}));
    EXPECT_EQ(Problems("x = " + std::string(kDepth, '-') + "1").size(), 1U);
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
