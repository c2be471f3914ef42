// The names of a script, on its parse: its scopes (the script, each class, each procedure), their
// declarations (variables and arrays, constants, parameters, procedures, classes and their
// members, and where Option Explicit is absent the variables a script uses without declaring
// them), every use of a name resolved by the language's rules, and the warnings a script author
// wants to see: a name declared nowhere under Option Explicit, a name declared twice in one scope,
// a call to one of the script's procedures or to a built-in function with a number of arguments
// it cannot take.
//
// Resolution: names are compared in any case; a procedure's own names come first, then its
// class's members, then the script's names (procedures and classes are visible before their
// definitions, variables before their Dim), then the built-in functions, constants and objects of
// the catalogue. Members after "." and the leading "." of a With block are never resolved.
//
// Per scope: the analysis of one procedure needs only that procedure's names (the events the
// parser tells from its definition to its EndOfScope, e.g. by ReadScript from the procedure's
// first line with a ScriptNameSink that stops at EndOfScope) and the script-level names
// (ScriptLevelNames: the script's and its classes' declarations and Option Explicit, which keep
// their names and so outlive the text). An edit inside a procedure that declares nothing at
// script or class level is re-analysed by AnalyseProcedure on its own lines alone, with the
// ScriptLevelNames kept from the last whole analysis (NameAnalysis::Finish); nothing else of the
// script needs reading again. An edit that changes a script-level or class-level
// declaration, or Option Explicit, needs a whole analysis (AnalyseScript), as it can change the
// resolution in every procedure.
#pragma once

#include "script/script_names.h"
#include "script/script_parser.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

enum class TDeclarationKind : std::uint8_t {
    Variable,
    Array,
    Constant,
    Parameter,
    Sub,
    Function,
    Property,
    Class,
    // A variable a script without Option Explicit uses without declaring it: declared where
    // it is first used.
    Implicit
};

enum class TScopeKind : std::uint8_t { Script, Class, Procedure };

struct TDeclaration {
    // The line (0-based), byte offset and length of the declared name.
    int Line = 0;
    int Column = 0;
    int Length = 0;
    // Its scope, an index into TScriptNames::Scopes (0, the script, in ScriptLevelNames).
    int Scope = 0;
    TDeclarationKind Kind = TDeclarationKind::Variable;
    // The parameters of a Sub, Function or Property.
    std::uint8_t Parameters = 0;
    // Which of Get, Let and Set a Property has (one bit each): one property may have all three.
    std::uint8_t Accessors = 0;
};

struct TNameScope {
    TScopeKind Kind = TScopeKind::Script;
    // The enclosing scope; -1 for the script.
    int Parent = -1;
    // The declaration that defines the class or procedure, in the enclosing scope; -1 for the
    // script and for a definition without a name.
    int Definition = -1;
};

enum class TWarningKind : std::uint8_t { Undeclared, Redeclared, ArgumentCount };

struct TNameWarning {
    int Line = 0;
    // Byte offset in the line.
    int Column = 0;
    TWarningKind Kind = TWarningKind::Undeclared;
    // As the text writes it, in the text's code page.
    std::string Name;

    bool operator==(const TNameWarning&) const = default;
};

// The warning in words (UTF-8), with the name given in UTF-8.
std::string WarningMessage(TWarningKind Kind, std::string_view Name);

// What a use of a name resolves to.
enum class TResolution : std::uint8_t {
    // Declaration is an index into the procedure's own declarations.
    Local,
    // Declaration is an index into ScriptLevelNames::Declarations().
    ScriptLevel,
    BuiltinFunction,
    BuiltinConstant,
    BuiltinObject,
    // Declared nowhere, under Option Explicit (and warned of).
    Undeclared
};

struct TResolvedUse {
    TNameEvent Use;
    TResolution To = TResolution::Undeclared;
    int Declaration = -1;
};

// The script's and its classes' declarations, looked up in any case.
class ScriptLevelNames {
public:
    ScriptLevelNames();
    ScriptLevelNames(ScriptLevelNames&&) noexcept;
    ScriptLevelNames& operator=(ScriptLevelNames&&) noexcept;
    ~ScriptLevelNames();

    // Scope 0 is the script; a class's members have the index of their class's scope.
    std::span<const TDeclaration> Declarations() const;
    // Option Explicit holds.
    bool Explicit() const;
    // The script runs text as code (Execute, ExecuteGlobal), which can declare names that are
    // not in the text: a name declared nowhere is not warned of.
    bool RunsCode() const;
    // The declaration of Name in scope Scope (the script or a class), -1 when none.
    int Find(int Scope, std::string_view Name) const;
    // The bytes the tables hold.
    std::size_t Bytes() const;

    // The tables themselves, which only the analysis reads and fills.
    struct TTables;
    TTables& Tables() const { return *FTables; }

private:
    std::unique_ptr<TTables> FTables;
};

// The names of the whole script. A procedure's own declarations are not kept (the memory would
// grow with every Dim of the script): AnalyseProcedure gives them, with its uses resolved.
struct TScriptNames {
    // Scopes[0] is the script.
    std::vector<TNameScope> Scopes;
    // The script's declarations and its classes' members, each with the index of its scope.
    std::vector<TDeclaration> Declarations;
    // In the order of their places.
    std::vector<TNameWarning> Warnings;
    // The bytes the analysis keeps (its declarations, scopes and warnings).
    std::size_t Bytes() const;
};

// The names of one procedure, by AnalyseProcedure.
struct TProcedureNames {
    // The procedure's own declarations, with no scope index (-1).
    std::vector<TDeclaration> Declarations;
    // Every use in the procedure, in the order of the text.
    std::vector<TResolvedUse> Uses;
    std::vector<TNameWarning> Warnings;
};

// Events: what the parser told of one procedure, from its definition (a Sub, Function or
// Property event) to its EndOfScope; Class: the index of its class's scope in Script, or 0 for a
// procedure of the script.
TProcedureNames AnalyseProcedure(std::span<const TNameEvent> Events, const ScriptLevelNames& Script,
                                 int Class);

// Takes what the parser tells of a whole script and, at its end, gives its names. The events'
// names view the script's lines, which must outlive Finish.
class NameAnalysis final : public ScriptNameSink {
public:
    NameAnalysis();
    ~NameAnalysis();
    void Name(const TNameEvent& Event) override;
    // The script's names, and its script-level names for later per-procedure analyses.
    TScriptNames Finish(ScriptLevelNames* Kept = nullptr);

private:
    struct TState;
    std::unique_ptr<TState> FState;
};

struct TScriptAnalysis {
    TScriptStructure Structure;
    TScriptNames Names;
};

// The script parsed and its names analysed, in one pass over its lines.
TScriptAnalysis AnalyseScript(std::span<const std::string_view> Lines);

} // namespace kst
