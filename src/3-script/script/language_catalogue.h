// The catalogue of the script language: its built-in functions with their parameters, its vb…
// constants, and its keywords, one row per entry. The parser takes the reserved words from it,
// and the checks of calls the number of arguments a function takes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kst {

struct TBuiltinFunction {
    std::string_view Name;
    // As the documentation writes them: optional parameters in brackets.
    std::string_view Parameters;
    std::uint8_t MinArguments = 0;
    std::uint8_t MaxArguments = 0;
};

struct TBuiltinConstant {
    std::string_view Name;
    std::string_view Value;
};

// An object a script finds at hand: the language's own, or the Windows Script Host's.
struct TBuiltinObject {
    std::string_view Name;
    std::string_view Description;
};

enum class TKeywordUse : std::uint8_t {
    // Never a name: "Dim If" lacks an identifier.
    Reserved,
    // A word with a meaning in some statements only, and a name elsewhere (Step, Explicit, Get).
    Contextual
};

// The keywords, as the parser tells them apart.
enum class TWordId : std::uint8_t {
    None,
    And,
    ByRef,
    ByVal,
    Call,
    Case,
    Class,
    Const,
    Default,
    Dim,
    Do,
    Each,
    Else,
    ElseIf,
    Empty,
    End,
    Eqv,
    Erase,
    Error,
    Exit,
    Explicit,
    False,
    For,
    Function,
    Get,
    GoTo,
    If,
    Imp,
    In,
    Is,
    Let,
    Loop,
    Me,
    Mod,
    New,
    Next,
    Not,
    Nothing,
    Null,
    On,
    Option,
    Or,
    Preserve,
    Private,
    Property,
    Public,
    Randomize,
    ReDim,
    Rem,
    Resume,
    Select,
    Set,
    Step,
    Stop,
    Sub,
    Then,
    To,
    True,
    Until,
    Wend,
    While,
    With,
    Xor,
};

struct TKeyword {
    std::string_view Name;
    TWordId Id = TWordId::None;
    TKeywordUse Use = TKeywordUse::Reserved;
};

std::span<const TBuiltinFunction> BuiltinFunctions();
std::span<const TBuiltinConstant> BuiltinConstants();
std::span<const TBuiltinObject> BuiltinObjects();
std::span<const TKeyword> Keywords();

// Looked up in any case.
const TBuiltinFunction* FindBuiltinFunction(std::string_view Name);
const TBuiltinConstant* FindBuiltinConstant(std::string_view Name);
const TBuiltinObject* FindBuiltinObject(std::string_view Name);
const TKeyword* FindKeyword(std::string_view Name);
bool IsReservedWord(std::string_view Name);

} // namespace kst
