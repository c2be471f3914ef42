#include "script/name_analysis.h"
#include "support/script_lines.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

// Every warning as "LINE,BYTE: MESSAGE", both numbers 1-based.
std::vector<std::string> Warnings(std::string_view Text) {
    std::vector<std::string> warnings;
    for (const TNameWarning& warning : AnalyseScript(LinesOf(Text)).Names.Warnings) {
        warnings.push_back(std::to_string(warning.Line + 1) + "," +
                           std::to_string(warning.Column + 1) + ": " +
                           WarningMessage(warning.Kind, warning.Name));
    }
    return warnings;
}

struct TCase {
    std::string Script;
    std::vector<std::string> Expected;
};

void ExpectWarnings(const std::vector<TCase>& Cases) {
    for (const TCase& test : Cases) {
        EXPECT_EQ(Warnings(test.Script), test.Expected) << test.Script;
    }
}

TEST(NameAnalysis, WarnsOfNamesDeclaredNowhereUnderOptionExplicit) {
    constexpr std::string_view kExplicit = "Option Explicit\n";
    ExpectWarnings({
        {std::string(kExplicit) + "x = 1\nDim y : y = X + y",
         {"2,1: 変数 'x' が宣言されていません", "3,13: 変数 'X' が宣言されていません"}},
        {std::string(kExplicit) + "Sub S\n For i = 1 To 2 : Next\n Call Missing(1)\nEnd Sub",
         {"3,6: 変数 'i' が宣言されていません", "4,7: 変数 'Missing' が宣言されていません"}},
        {std::string(kExplicit) + "ReDim a(3)\nErase b\nSet o = Nothing",
         {"2,7: 変数 'a' が宣言されていません", "3,7: 変数 'b' が宣言されていません",
          "4,5: 変数 'o' が宣言されていません"}},
        // A class's members are not the script's.
        {std::string(kExplicit) + "Class C\n Private m\nEnd Class\nm = 1",
         {"5,1: 変数 'm' が宣言されていません"}},
        // Another procedure's variable is not this one's.
        {std::string(kExplicit) + "Sub A\n Dim v\nEnd Sub\nSub B\n v = 1\nEnd Sub",
         {"6,2: 変数 'v' が宣言されていません"}},
        {std::string(kExplicit) + "x = [my name]",
         {"2,1: 変数 'x' が宣言されていません", "2,6: 変数 'my name' が宣言されていません"}},
    });
    // None of these is undeclared.
    ExpectWarnings({
        // No Option Explicit: the names are implicit variables.
        {"x = 1\nSub S\n y = x + z\n ReDim a(2)\nEnd Sub", {}},
        // Used before the Dim, in the procedure and at the script's level.
        {std::string(kExplicit) + "Sub S\n v = 1\n Dim v\n g = 2\nEnd Sub\nDim g", {}},
        // Procedures before their definition, in any case; the function's own name.
        {std::string(kExplicit) + "Later 1\nx = LATER2()\nDim x\nSub Later(a)\nEnd Sub\n"
                                  "Function Later2 : Later2 = 1 : End Function",
         {}},
        // Members after ".", With's leading dots, Me, New, built-ins, the host's objects.
        {std::string(kExplicit) + "Dim o : Set o = New RegExp\no.Pattern = o.Missing.Deep\n"
                                  "With o\n .Global = .IgnoreCase\nEnd With\n"
                                  "WScript.Echo Left(vbCrLf, 1), Err.Number, Now\n"
                                  "Call wsh.Quit(0)",
         {}},
        // Class members used inside the class, before their declaration and through Me.
        {std::string(kExplicit) + "Class C\n Public Sub Run\n  m = Helper(1) : Me.m = 2\n"
                                  " End Sub\n Private Function Helper(a) : Helper = a : "
                                  "End Function\n Private m\nEnd Class",
         {}},
        // Parameters, constants, ReDim of a declared array, For Each over a declared name.
        {std::string(kExplicit) + "Const k = 1\nSub S(ByVal a, ByRef b())\n Dim list()\n"
                                  " ReDim list(a + b(0) + k)\n For Each a In list : Next\nEnd Sub",
         {}},
        // A script that runs text as code may declare what its text does not.
        {std::string(kExplicit) + "ExecuteGlobal \"Sub Made : End Sub\"\nMade", {}},
    });
}

TEST(NameAnalysis, WarnsOfNamesDeclaredTwiceInOneScope) {
    ExpectWarnings({
        {"Dim a, b\nDim A", {"2,5: 'A' は既に宣言されています"}},
        {"Const k = 1\nDim k\nSub k : End Sub",
         {"2,5: 'k' は既に宣言されています", "3,5: 'k' は既に宣言されています"}},
        {"Sub S(a, a)\n Dim b, a\nEnd Sub",
         {"1,10: 'a' は既に宣言されています", "2,9: 'a' は既に宣言されています"}},
        {"Class C\n Private m\n Public M\n Property Get P : End Property\n"
         " Property Get p : End Property\nEnd Class\nClass c\nEnd Class",
         {"3,9: 'M' は既に宣言されています", "5,15: 'p' は既に宣言されています",
          "7,7: 'c' は既に宣言されています"}},
    });
    ExpectWarnings({
        // One name in different scopes, and a property's three accessors.
        {"Dim v\nSub S\n Dim v\nEnd Sub\nClass C\n Private v\n Property Get P : End Property\n"
         " Property Let P(x) : End Property\n Property Set P(x) : End Property\nEnd Class",
         {}},
        // ReDim of a declared array; a class and a variable of one name.
        {"Dim a()\nReDim a(2)\nReDim Preserve a(3)\nClass Logger\nEnd Class\n"
         "Dim logger : Set logger = New Logger",
         {}},
    });
}

TEST(NameAnalysis, WarnsOfCallsWithArgumentsTheProcedureCannotTake) {
    constexpr std::string_view kProcedures = "Sub Two(a, b) : End Sub\n"
                                             "Function None() : None = 1 : End Function\n";
    const auto with = [kProcedures](std::string_view Calls) {
        return std::string(kProcedures) + std::string(Calls);
    };
    ExpectWarnings({
        {with("Two 1\nCall Two(1, 2, 3)\nTwo (1)\nx = None(1)\nCall Two"),
         {"3,1: 'Two' の引数の数が違います", "4,6: 'Two' の引数の数が違います",
          "5,1: 'Two' の引数の数が違います", "6,5: 'None' の引数の数が違います",
          "7,6: 'Two' の引数の数が違います"}},
        // Built-ins, with their optional parameters.
        {"x = Left(\"a\")\ny = Mid(\"a\", 1, 2, 3)\nMsgBox\nz = Now(1) + InStr(\"a\")",
         {"1,5: 'Left' の引数の数が違います", "2,5: 'Mid' の引数の数が違います",
          "3,1: 'MsgBox' の引数の数が違います", "4,5: 'Now' の引数の数が違います",
          "4,14: 'InStr' の引数の数が違います"}},
        // A function read without parentheses is called with none.
        {"Function F(a) : End Function\nx = F", {"2,5: 'F' の引数の数が違います"}},
    });
    ExpectWarnings({
        {with("Two 1, 2\nTwo (1), 2\nCall Two(1, 2)\nx = None() + None\nTwo , 2\n"
              "If x Then Two 1, 2 Else Call Two(x, x)"),
         {}},
        {"x = Mid(\"abc\", 2) & Mid(\"abc\", 2, 1) & InStr(1, \"a\", \"b\", 1) & Now & Date()\n"
         "MsgBox \"a\"\nMsgBox (\"a\"), vbOKOnly, \"t\"\nx = Split(\"a b\")(0) & Array()",
         {}},
        // A function's own name inside it is its result; members and arrays are not calls.
        {"Function F(a)\n F = 1 : x = F + 1 : y = F(1)\nEnd Function\n"
         "Dim arr(3) : arr(1) = 2 : x = arr(1, 2)\nDim o : o.Two 1, 2, 3 : x = o.Left(1, 2, 3)",
         {}},
        // A script's own procedure hides the built-in of its name.
        {"Function Left(s) : End Function\nx = Left(\"a\")", {}},
    });
}

// What each use of a procedure resolves to, through the analysis of that procedure alone.
TEST(NameAnalysis, ResolvesAProcedureAloneByTheLanguagesOrder) {
    const std::string script = "Dim shared, both, inner\n"
                               "Class C\n"
                               " Private member, both\n"
                               " Sub Run(inner)\n"
                               "  Dim own\n"
                               "  own = inner + both + member + shared + Later + Len(vbTab) + "
                               "Err + free\n"
                               " End Sub\n"
                               "End Class\n"
                               "Sub Later : End Sub\n";
    const std::vector<std::string_view> lines = LinesOf(script);
    struct Recorder : ScriptNameSink {
        std::vector<TNameEvent> Events;
        NameAnalysis* Analysis = nullptr;
        void Name(const TNameEvent& Event) override {
            Events.push_back(Event);
            Analysis->Name(Event);
        }
    };
    NameAnalysis analysis;
    Recorder recorder;
    recorder.Analysis = &analysis;
    ParseScript(lines, &recorder);
    ScriptLevelNames kept;
    const TScriptNames names = analysis.Finish(&kept);
    const auto run = std::ranges::find(recorder.Events, TNameRole::Sub, &TNameEvent::Role);
    const auto end =
        std::ranges::find(run, recorder.Events.end(), TNameRole::EndOfScope, &TNameEvent::Role);
    const int classScope = 1;
    ASSERT_EQ(names.Scopes[classScope].Kind, TScopeKind::Class);
    const TProcedureNames procedure = AnalyseProcedure(std::span(run, end + 1), kept, classScope);

    std::vector<std::string> resolved;
    for (const TResolvedUse& use : procedure.Uses) {
        std::string where;
        switch (use.To) {
        case TResolution::Local:
            where = "local";
            break;
        case TResolution::ScriptLevel:
            where = kept.Declarations()[static_cast<std::size_t>(use.Declaration)].Scope == 0
                        ? "script"
                        : "class";
            break;
        case TResolution::BuiltinFunction:
            where = "function";
            break;
        case TResolution::BuiltinConstant:
            where = "constant";
            break;
        case TResolution::BuiltinObject:
            where = "object";
            break;
        case TResolution::Undeclared:
            where = "nowhere";
            break;
        }
        resolved.push_back(std::string(use.Use.Name) + " " + where);
    }
    EXPECT_EQ(resolved,
              (std::vector<std::string>{"own local", "inner local", "both class", "member class",
                                        "shared script", "Later script", "Len function",
                                        "vbTab constant", "Err object", "free local"}));
    // Without Option Explicit, the free name is the procedure's own implicit variable.
    ASSERT_EQ(procedure.Declarations.size(), 3U);
    EXPECT_EQ(procedure.Declarations.back().Kind, TDeclarationKind::Implicit);
}

} // namespace
} // namespace kst
