#include "script/name_analysis.h"

#include "script/caseless_names.h"
#include "script/language_catalogue.h"

#include <algorithm>
#include <deque>
#include <unordered_map>
#include <utility>

namespace kst {

namespace {

using R = TNameRole;
using K = TDeclarationKind;

constexpr int kNone = CaselessNames::kNone;
constexpr int kScript = 0;
// The table of the script's class names, which New alone names: a class and a variable of one
// name do not clash.
constexpr int kClassNames = -2;
// The longest name a string keeps within itself.
constexpr std::size_t kShortName = 15;

bool IsDefinition(TNameRole Role) {
    return Role >= R::Sub && Role <= R::Class;
}

bool IsUse(TNameRole Role) {
    return Role == R::Read || Role == R::Assigned || Role == R::Called || Role == R::NewClass ||
           Role == R::ReDim;
}

bool IsLocalDeclaration(TNameRole Role) {
    return Role == R::Variable || Role == R::Array || Role == R::Constant || Role == R::Parameter;
}

K KindOf(TNameRole Role) {
    switch (Role) {
    case R::Array:
        return K::Array;
    case R::Constant:
        return K::Constant;
    case R::Parameter:
        return K::Parameter;
    case R::Sub:
        return K::Sub;
    case R::Function:
        return K::Function;
    case R::PropertyGet:
    case R::PropertyLet:
    case R::PropertySet:
        return K::Property;
    case R::Class:
        return K::Class;
    default:
        return K::Variable;
    }
}

std::uint8_t AccessorOf(TNameRole Role) {
    switch (Role) {
    case R::PropertyGet:
        return 1;
    case R::PropertyLet:
        return 2;
    case R::PropertySet:
        return 4;
    default:
        return 0;
    }
}

TDeclaration DeclarationOf(const TNameEvent& Event, int Scope) {
    return {.Line = Event.Line,
            .Column = Event.Column,
            .Length = static_cast<int>(Event.Name.size()),
            .Scope = Scope,
            .Kind = KindOf(Event.Role),
            .Accessors = AccessorOf(Event.Role)};
}

// The names that run text as code, which may declare what the text does not.
bool RunsCode(std::string_view Name) {
    return SameCaseless(Name, "execute") || SameCaseless(Name, "executeglobal");
}

// Where a use outside the procedure's own names leads.
struct TOuterName {
    TResolution To = TResolution::Undeclared;
    int Declaration = kNone;
};

} // namespace

std::string WarningMessage(TWarningKind Kind, std::string_view Name) {
    const std::string name(Name);
    switch (Kind) {
    case TWarningKind::Undeclared:
        return "変数 '" + name + "' が宣言されていません";
    case TWarningKind::Redeclared:
        return "'" + name + "' は既に宣言されています";
    case TWarningKind::ArgumentCount:
        break;
    }
    return "'" + name + "' の引数の数が違います";
}

struct ScriptLevelNames::TTables {
    std::vector<TDeclaration> Declarations;
    // The declared names, kept so that the tables outlive the text.
    std::deque<std::string> Names;
    // The script's names and each class's members, by the index of their scope.
    std::unordered_map<int, CaselessNames> Scopes;
    bool Explicit = false;
    bool RunsCode = false;

    // Declares Name in Scope: answers the index of the declaration, or kNone when the scope has
    // one of that name already (the accessors of one property being one declaration).
    int Declare(std::string_view Name, const TDeclaration& Declaration) {
        const int index = static_cast<int>(Declarations.size());
        CaselessNames& names =
            Scopes[Declaration.Kind == K::Class ? kClassNames : Declaration.Scope];
        const int found = names.Find(Name);
        if (found == kNone) {
            names.Add(Names.emplace_back(Name), index);
            Declarations.push_back(Declaration);
            return index;
        }
        TDeclaration& existing = Declarations[static_cast<std::size_t>(found)];
        if (existing.Kind == K::Property && Declaration.Kind == K::Property &&
            (existing.Accessors & Declaration.Accessors) == 0) {
            existing.Accessors |= Declaration.Accessors;
            return found;
        }
        return kNone;
    }

    // The declaration of Name in the table of Scope, kNone when none.
    int Find(int Scope, std::string_view Name) const {
        const auto table = Scopes.find(Scope);
        return table == Scopes.end() ? kNone : table->second.Find(Name);
    }

    TOuterName Resolve(std::string_view Name, TNameRole Role, int Class) const {
        if (Role == R::NewClass) {
            const int found = Find(kClassNames, Name);
            return found == kNone ? TOuterName{} : TOuterName{TResolution::ScriptLevel, found};
        }
        const int member = Class == kScript ? kNone : Find(Class, Name);
        if (const int found = member != kNone ? member : Find(kScript, Name); found != kNone) {
            return {TResolution::ScriptLevel, found};
        }
        if (const TBuiltinFunction* function = FindBuiltinFunction(Name)) {
            return {TResolution::BuiltinFunction,
                    static_cast<int>(function - BuiltinFunctions().data())};
        }
        if (const TBuiltinConstant* constant = FindBuiltinConstant(Name)) {
            return {TResolution::BuiltinConstant,
                    static_cast<int>(constant - BuiltinConstants().data())};
        }
        if (const TBuiltinObject* object = FindBuiltinObject(Name)) {
            return {TResolution::BuiltinObject, static_cast<int>(object - BuiltinObjects().data())};
        }
        return {};
    }

    std::size_t Bytes() const {
        std::size_t bytes = Declarations.capacity() * sizeof(TDeclaration);
        for (const std::string& name : Names) {
            bytes += sizeof(name) + (name.capacity() > kShortName ? name.capacity() : 0);
        }
        for (const auto& [scope, names] : Scopes) {
            bytes += sizeof(scope) + sizeof(names) + names.Bytes();
        }
        return bytes;
    }
};

ScriptLevelNames::ScriptLevelNames() : FTables(std::make_unique<TTables>()) {}
ScriptLevelNames::ScriptLevelNames(ScriptLevelNames&&) noexcept = default;
ScriptLevelNames& ScriptLevelNames::operator=(ScriptLevelNames&&) noexcept = default;
ScriptLevelNames::~ScriptLevelNames() = default;

std::span<const TDeclaration> ScriptLevelNames::Declarations() const {
    return FTables->Declarations;
}

bool ScriptLevelNames::Explicit() const {
    return FTables->Explicit;
}

bool ScriptLevelNames::RunsCode() const {
    return FTables->RunsCode;
}

int ScriptLevelNames::Find(int Scope, std::string_view Name) const {
    return FTables->Find(Scope, Name);
}

std::size_t ScriptLevelNames::Bytes() const {
    return FTables->Bytes();
}

std::size_t TScriptNames::Bytes() const {
    std::size_t bytes = Scopes.capacity() * sizeof(TNameScope) +
                        Declarations.capacity() * sizeof(TDeclaration) +
                        Warnings.capacity() * sizeof(TNameWarning);
    for (const TNameWarning& warning : Warnings) {
        bytes += warning.Name.capacity();
    }
    return bytes;
}

namespace {

// One procedure's names: its declarations first (a variable may be used before its Dim), then
// its uses, the ones its own names do not resolve left to the script-level names.
class ProcedureReader {
public:
    explicit ProcedureReader(CaselessNames& Locals) : FLocals(Locals) {}

    // Declares the procedure's own names (all but its definition, Events[0]) in Scope.
    void Declare(std::span<const TNameEvent> Events, int Scope,
                 std::vector<TDeclaration>& Declarations, std::vector<TNameWarning>& Warnings) {
        FLocals.Clear();
        for (const TNameEvent& event : Events.subspan(1)) {
            if (!IsLocalDeclaration(event.Role)) {
                continue;
            }
            const std::string_view name = event.Name;
            if (FLocals.Add(name, static_cast<int>(Declarations.size())) != kNone) {
                Warnings.push_back(
                    {event.Line, event.Column, TWarningKind::Redeclared, std::string(name)});
                continue;
            }
            Declarations.push_back(DeclarationOf(event, Scope));
        }
    }

    // The uses among Events: Local ones to Resolved (with the index of their declaration), the
    // others to Free.
    template <class Resolved, class Free>
    void Uses(std::span<const TNameEvent> Events, Resolved&& OnLocal, Free&& OnFree) const {
        for (const TNameEvent& event : Events.subspan(1)) {
            if (!IsUse(event.Role)) {
                continue;
            }
            const int local = FLocals.Find(event.Name);
            if (local != kNone) {
                OnLocal(event, local);
            } else {
                OnFree(event);
            }
        }
    }

private:
    CaselessNames& FLocals;
};

// The number of arguments a use passes is one its declaration can take.
bool TakesArguments(const TNameEvent& Use, const TOuterName& Outer,
                    const ScriptLevelNames::TTables& Script, int OwnDefinition) {
    if (Use.Role != R::Read && Use.Role != R::Called) {
        return true;
    }
    if (Outer.To == TResolution::BuiltinFunction) {
        const TBuiltinFunction& function =
            BuiltinFunctions()[static_cast<std::size_t>(Outer.Declaration)];
        return Use.Arguments >= function.MinArguments && Use.Arguments <= function.MaxArguments;
    }
    if (Outer.To != TResolution::ScriptLevel) {
        return true;
    }
    // A function's own name, read without parentheses inside it, is its result.
    if (Outer.Declaration == OwnDefinition && Use.Role == R::Read && !Use.Parenthesised) {
        return true;
    }
    const TDeclaration& declaration =
        Script.Declarations[static_cast<std::size_t>(Outer.Declaration)];
    if (declaration.Kind != K::Sub && declaration.Kind != K::Function) {
        return true;
    }
    return Use.Arguments == declaration.Parameters;
}

// Resolves the uses of one scope that its own names leave free, against the script-level names:
// what resolves nowhere is warned of under Option Explicit, and declared in Scope where it is
// first used otherwise.
class FreeUses {
public:
    FreeUses(ScriptLevelNames::TTables& Script, CaselessNames& Implicit)
        : FScript(Script), FImplicit(Implicit) {}

    // Answers what Use resolves to; Declarations receives the implicit declarations of Scope
    // (into the script-level names for the script's own uses).
    template <class OnResolved>
    void Resolve(const TNameEvent& Use, int Scope, int Class, int OwnDefinition,
                 std::vector<TDeclaration>& Declarations, std::vector<TNameWarning>& Warnings,
                 OnResolved&& Resolved) {
        const std::string_view name = Use.Name;
        if (Scope != kScript) {
            if (const int implicit = FImplicit.Find(name); implicit != kNone) {
                return Resolved(Use, TResolution::Local, implicit);
            }
        }
        const TOuterName outer = FScript.Resolve(name, Use.Role, Class);
        if (outer.To != TResolution::Undeclared) {
            if (!TakesArguments(Use, outer, FScript, OwnDefinition)) {
                Warnings.push_back(
                    {Use.Line, Use.Column, TWarningKind::ArgumentCount, std::string(name)});
            }
            return Resolved(Use, outer.To, outer.Declaration);
        }
        if (Use.Role == R::NewClass || FScript.RunsCode) {
            return Resolved(Use, TResolution::Undeclared, kNone);
        }
        if (FScript.Explicit) {
            Warnings.push_back({Use.Line, Use.Column, TWarningKind::Undeclared, std::string(name)});
            return Resolved(Use, TResolution::Undeclared, kNone);
        }
        TDeclaration declaration = DeclarationOf(Use, Scope);
        declaration.Kind = K::Implicit;
        const int index = static_cast<int>(Declarations.size());
        Declarations.push_back(declaration);
        if (Scope == kScript) {
            return Resolved(Use, TResolution::ScriptLevel, FScript.Declare(name, declaration));
        }
        FImplicit.Add(name, index);
        Resolved(Use, TResolution::Local, index);
    }

private:
    ScriptLevelNames::TTables& FScript;
    CaselessNames& FImplicit;
};

void SortByPlace(std::vector<TNameWarning>& Warnings) {
    std::ranges::stable_sort(Warnings, [](const TNameWarning& A, const TNameWarning& B) {
        return std::pair(A.Line, A.Column) < std::pair(B.Line, B.Column);
    });
}

} // namespace

TProcedureNames AnalyseProcedure(std::span<const TNameEvent> Events, const ScriptLevelNames& Script,
                                 int Class) {
    TProcedureNames names;
    if (Events.empty()) {
        return names;
    }
    CaselessNames locals;
    ProcedureReader reader(locals);
    reader.Declare(Events, kNone, names.Declarations, names.Warnings);
    const int own = Script.Find(Class, Events.front().Name);
    CaselessNames implicit;
    // The script-level names are only read: a procedure's implicit variables are its own.
    FreeUses free(Script.Tables(), implicit);
    const auto resolved = [&names](const TNameEvent& Use, TResolution To, int Declaration) {
        names.Uses.push_back({Use, To, Declaration});
    };
    reader.Uses(
        Events, [&](const TNameEvent& Use, int Local) { resolved(Use, TResolution::Local, Local); },
        [&](const TNameEvent& Use) {
            free.Resolve(Use, kNone, Class, own, names.Declarations, names.Warnings, resolved);
        });
    std::ranges::sort(names.Uses, {}, [](const TResolvedUse& Use) {
        return std::pair(Use.Use.Line, Use.Use.Column);
    });
    SortByPlace(names.Warnings);
    return names;
}

struct NameAnalysis::TState {
    TScriptNames Names;
    ScriptLevelNames Script;
    CaselessNames Locals;
    // A procedure's own declarations while it is read: AnalyseProcedure gives them again.
    std::vector<TDeclaration> Scratch;
    // The class and the procedure being read (their scopes), kNone outside them.
    int Class = kNone;
    int Procedure = kNone;
    // The open procedure's definition among the script-level declarations and among all.
    int Definition = kNone;
    int DefinitionInNames = kNone;
    // The open procedure's events, from its definition on.
    std::vector<TNameEvent> Events;

    // A use left for the end, when every script-level name is known: of the script, of a class
    // outside its procedures, or of a procedure that its own names do not resolve.
    struct TPending {
        TNameEvent Use;
        int Scope;
        int Class;
        int OwnDefinition;
    };
    std::vector<TPending> Pending;

    ScriptLevelNames::TTables& Tables() { return Script.Tables(); }

    int OpenScope(TScopeKind Kind, int Parent, int Definition) {
        Names.Scopes.push_back({Kind, Parent, Definition});
        return static_cast<int>(Names.Scopes.size()) - 1;
    }

    // A declaration of the script or of a class; answers its index among the script-level ones.
    int DeclareOuter(const TNameEvent& Event, int Scope) {
        if (Event.Name.empty()) {
            return kNone;
        }
        const TDeclaration declaration = DeclarationOf(Event, Scope);
        Names.Declarations.push_back(declaration);
        const int index = Tables().Declare(Event.Name, declaration);
        if (index == kNone) {
            Names.Warnings.push_back(
                {Event.Line, Event.Column, TWarningKind::Redeclared, std::string(Event.Name)});
        }
        return index;
    }

    void Define(const TNameEvent& Event) {
        const int parent = Class != kNone ? Class : kScript;
        const int definition = DeclareOuter(Event, parent);
        const int inNames =
            Event.Name.empty() ? kNone : static_cast<int>(Names.Declarations.size()) - 1;
        const int scope = OpenScope(
            Event.Role == R::Class ? TScopeKind::Class : TScopeKind::Procedure, parent, inNames);
        if (Event.Role == R::Class) {
            Class = scope;
            return;
        }
        Procedure = scope;
        Definition = definition;
        DefinitionInNames = inNames;
        Events.assign(1, Event);
    }

    void EndScope() {
        if (Procedure == kNone) {
            Class = kNone;
            return;
        }
        ProcedureReader reader(Locals);
        Scratch.clear();
        reader.Declare(Events, Procedure, Scratch, Names.Warnings);
        reader.Uses(
            Events, [](const TNameEvent&, int) {},
            [this](const TNameEvent& Use) {
                Pending.push_back({Use, Procedure, Class != kNone ? Class : kScript, Definition});
            });
        Procedure = kNone;
        Events.clear();
    }

    // A parameter counts towards its procedure's arguments.
    void CountParameter() {
        std::vector<TDeclaration>& outer = Tables().Declarations;
        for (TDeclaration* definition :
             {Definition == kNone ? nullptr : &outer[static_cast<std::size_t>(Definition)],
              DefinitionInNames == kNone
                  ? nullptr
                  : &Names.Declarations[static_cast<std::size_t>(DefinitionInNames)]}) {
            if (definition != nullptr && definition->Parameters < kManyArguments) {
                ++definition->Parameters;
            }
        }
    }

    void Take(const TNameEvent& Event) {
        if (Event.Role == R::OptionExplicit) {
            Tables().Explicit = true;
            return;
        }
        if (IsDefinition(Event.Role)) {
            return Define(Event);
        }
        if (Event.Role == R::EndOfScope) {
            return EndScope();
        }
        if (Event.Role != R::Parameter && Event.Role != R::Variable && RunsCode(Event.Name)) {
            Tables().RunsCode = true;
        }
        if (Procedure != kNone) {
            if (Event.Role == R::Parameter) {
                CountParameter();
            }
            Events.push_back(Event);
            return;
        }
        const int scope = Class != kNone ? Class : kScript;
        if (IsLocalDeclaration(Event.Role)) {
            DeclareOuter(Event, scope);
            return;
        }
        Pending.push_back({Event, scope, scope, kNone});
    }

    // The uses left for the end: the script's and the classes' first, which declare the
    // script's implicit variables, then the procedures', each procedure with its own implicit
    // ones.
    void ResolvePending() {
        std::stable_partition(Pending.begin(), Pending.end(),
                              [](const TPending& Use) { return Use.Scope == Use.Class; });
        CaselessNames implicit;
        FreeUses free(Tables(), implicit);
        int scope = kNone;
        for (const TPending& pending : Pending) {
            if (pending.Scope != scope) {
                implicit.Clear();
                Scratch.clear();
                scope = pending.Scope;
            }
            // The uses outside procedures declare the script's implicit variables, which are
            // kept; a procedure's own are not.
            const bool outside = pending.Scope == pending.Class;
            free.Resolve(pending.Use, outside ? kScript : pending.Scope, pending.Class,
                         pending.OwnDefinition, outside ? Names.Declarations : Scratch,
                         Names.Warnings, [](auto&&...) {});
        }
        Pending.clear();
        Pending.shrink_to_fit();
    }
};

NameAnalysis::NameAnalysis() : FState(std::make_unique<TState>()) {
    FState->OpenScope(TScopeKind::Script, kNone, kNone);
}

NameAnalysis::~NameAnalysis() = default;

void NameAnalysis::Name(const TNameEvent& Event) {
    FState->Take(Event);
}

TScriptNames NameAnalysis::Finish(ScriptLevelNames* Kept) {
    if (FState->Procedure != kNone) {
        FState->EndScope();
    }
    FState->ResolvePending();
    TScriptNames& names = FState->Names;
    SortByPlace(names.Warnings);
    names.Declarations.shrink_to_fit();
    names.Scopes.shrink_to_fit();
    names.Warnings.shrink_to_fit();
    if (Kept != nullptr) {
        *Kept = std::move(FState->Script);
    }
    return std::move(names);
}

TScriptAnalysis AnalyseScript(std::span<const std::string_view> Lines) {
    NameAnalysis names;
    TScriptAnalysis analysis{ParseScript(Lines, &names), {}};
    analysis.Names = names.Finish();
    return analysis;
}

} // namespace kst
