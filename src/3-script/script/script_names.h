// What the parser tells of the script's names as it reads them, in the order of the text: every
// declaration, every use of a name that the language resolves (not a member after "." nor the
// leading "." of a With block), with the arguments of its call, and where each procedure and
// class begins and ends. The analysis of names (name_analysis.h) takes it from here.
#pragma once

#include <cstdint>
#include <string_view>

namespace kst {

enum class TNameRole : std::uint8_t {
    // Declarations: Dim, Private and Public names with and without bounds, Const, the parameters
    // of a procedure, and the names ReDim gives bounds to (which declare only where nothing else
    // does).
    Variable,
    Array,
    Constant,
    Parameter,
    ReDim,
    // The definitions, each of which opens a scope that EndOfScope closes: the name is the
    // definition's, empty when it lacks one.
    Sub,
    Function,
    PropertyGet,
    PropertyLet,
    PropertySet,
    Class,
    EndOfScope,
    // Uses: a name read in an expression, the target of an assignment (=, Set, For, For Each),
    // the name a call statement calls (with Call or without), and the class after New.
    Read,
    Assigned,
    Called,
    NewClass,
    // Option Explicit, which asks for every variable to be declared.
    OptionExplicit
};

struct TNameEvent {
    // The name as the text writes it (without brackets), a view into the script's line.
    std::string_view Name;
    // Its line (0-based) and byte offset there.
    int Line = 0;
    int Column = 0;
    TNameRole Role = TNameRole::Read;
    // The arguments of the call: in the parentheses after the name, or after a call statement's
    // name; counted up to kManyArguments.
    std::uint8_t Arguments = 0;
    // Parentheses follow the name (a call, or an index).
    bool Parenthesised = false;

    bool operator==(const TNameEvent&) const = default;
};

inline constexpr std::uint8_t kManyArguments = 255;

class ScriptNameSink {
public:
    ScriptNameSink() = default;
    ScriptNameSink(const ScriptNameSink&) = delete;
    ScriptNameSink& operator=(const ScriptNameSink&) = delete;
    virtual void Name(const TNameEvent& Event) = 0;

protected:
    ~ScriptNameSink() = default;
};

} // namespace kst
