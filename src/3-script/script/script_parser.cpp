#include "script/script_parser.h"

#include "core/code_page.h"
#include "script/language_catalogue.h"
#include "script/script_lexer.h"
#include "script/script_names.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace kst {

namespace {

using W = TWordId;

constexpr int kKeepLine = TScriptStructure::kKeepLine;
// Levels while reading: a line whose first statement has not been placed yet, and a line that
// continues the statement of the line before it.
constexpr int kPending = -2;
constexpr int kContinuation = -3;
// Parentheses, calls and unary operators nested deeper than this are reported, not followed:
// the parser's own depth stays bounded whatever the input.
constexpr int kMaxDepth = 100;

constexpr std::size_t kBlockKinds = 10;
static_assert(static_cast<std::size_t>(TBlockKind::With) + 1 == kBlockKinds);

constexpr std::array<std::string_view, kBlockKinds> kOpenerTexts = {
    "Sub", "Function", "Property", "Class", "If", "For", "Do", "While", "Select Case", "With"};
constexpr std::array<std::string_view, kBlockKinds> kCloserTexts = {
    "End Sub", "End Function", "End Property", "End Class",  "End If",
    "Next",    "Loop",         "Wend",         "End Select", "End With"};

std::string_view OpenerText(TBlockKind Kind) {
    return kOpenerTexts[static_cast<std::size_t>(Kind)];
}

std::string_view CloserText(TBlockKind Kind) {
    return kCloserTexts[static_cast<std::size_t>(Kind)];
}

// The block that End followed by Word closes, if any.
std::optional<TBlockKind> EndedBlock(TWordId Word) {
    switch (Word) {
    case W::Sub:
        return TBlockKind::Sub;
    case W::Function:
        return TBlockKind::Function;
    case W::Property:
        return TBlockKind::Property;
    case W::Class:
        return TBlockKind::Class;
    case W::If:
        return TBlockKind::If;
    case W::Select:
        return TBlockKind::Select;
    case W::With:
        return TBlockKind::With;
    default:
        return std::nullopt;
    }
}

// Binary operators from the loosest to the tightest; unary Not sits between And and the
// comparisons, unary minus between "*" "/" and "^"; an operand alone binds tightest of all.
enum class TLevel : std::uint8_t {
    Imp,
    Eqv,
    Xor,
    Or,
    And,
    Not,
    Comparison,
    Concatenation,
    Additive,
    Modulus,
    IntegerDivision,
    Multiplicative,
    Negation,
    Power,
    Operand
};

TLevel Tighter(TLevel Level) {
    return static_cast<TLevel>(static_cast<int>(Level) + 1);
}

// A problem of Kind at byte Column of Line.
TScriptProblem ProblemAt(int Line, int Column, TProblemKind Kind) {
    TScriptProblem problem;
    problem.Line = Line;
    problem.Column = Column;
    problem.Kind = Kind;
    return problem;
}

// The statement lacks Text at byte Column of Line.
TScriptProblem MissingAt(int Line, int Column, std::string_view Text) {
    TScriptProblem problem = ProblemAt(Line, Column, TProblemKind::Expected);
    problem.Expected = Text;
    return problem;
}

// A name a statement uses: where it is and the arguments in the parentheses after it.
struct TNameUse {
    TToken Name;
    // False for Me and a member of the With block's object, which are no names to resolve.
    bool Named = false;
    // Members, calls or indexes follow the first parentheses: the name is only read.
    bool Base = false;
    bool Parenthesised = false;
    std::uint8_t Arguments = 0;
};

void CountArgument(std::uint8_t& Count) {
    if (Count < kManyArguments) {
        ++Count;
    }
}

class ScriptParser : ScriptLexer::Listener {
public:
    // The whole script, with the level of every line.
    ScriptParser(const ScriptLines& Lines, ScriptNameSink* Names)
        : FLexer(Lines, 0, *this), FNames(Names) {
        FStructure.Levels.assign(Lines.Count(), kPending);
        Advance();
    }

    // From FirstLine on, where a statement begins with Blocks open, told to Reader.
    ScriptParser(const ScriptLines& Lines, int FirstLine, const TBlockState& Blocks, int Shift,
                 ScriptReader& Reader, ScriptNameSink* Names)
        : FBlocks(Blocks), FShift(Shift), FReader(&Reader),
          FLexer(Lines, static_cast<std::size_t>(FirstLine), *this), FNames(Names) {
        Advance();
    }

    TScriptStructure Parse() && {
        ReadStatements();
        for (const TScriptProblem& problem : LeftOpenProblems(FBlocks, FShift)) {
            Report(problem);
        }
        KeepOutermost(0);
        ResolveLevels();
        std::ranges::stable_sort(FStructure.Problems, [](const auto& A, const auto& B) {
            return std::pair(A.Line, A.Column) < std::pair(B.Line, B.Column);
        });
        return std::move(FStructure);
    }

    void Read() && {
        ReadStatements();
        if (!FStopped) {
            FReader->ScriptEnded(FBlocks);
        }
    }

private:
    void ReadStatements() {
        while (FToken.Type != TTokenType::EndOfScript) {
            Statement();
        }
    }

    // Statements

    // Reads the statement at the current token and what ends it (":" or the line's end).
    void Statement() {
        if (AtStatementEnd()) {
            return After();
        }
        const TToken first = FToken;
        switch (Word()) {
        case W::Private:
        case W::Public:
            return Modified(first);
        case W::If:
            return IfStatement(first);
        case W::ElseIf:
            Branch(first, {TBlockKind::If, TBlockWord::Branch, true});
            Advance();
            return EndStatement(Expression() && Expect(W::Then, "Then"));
        case W::Else:
            Branch(first, {TBlockKind::If, TBlockWord::Branch});
            // A statement may follow Else on its line.
            return AdvanceToStatement();
        case W::Case:
            Branch(first, {TBlockKind::Select, TBlockWord::Branch});
            return EndStatement(CaseLabels());
        case W::End:
            return EndLine(first);
        case W::Sub:
        case W::Function:
        case W::Property:
        case W::Class:
            return Definition(first);
        case W::Next:
            return Closer(first, TBlockKind::For, [this] { return OptionalNames(); });
        case W::Loop:
            return Closer(first, TBlockKind::Do, [this] { return LoopCondition(); });
        case W::Wend:
            return Closer(first, TBlockKind::While, [] { return true; });
        case W::For:
            Open(first, TBlockKind::For);
            return EndStatement(ForHead());
        case W::Do:
            Open(first, TBlockKind::Do);
            Advance();
            return EndStatement(LoopCondition());
        case W::While:
            Open(first, TBlockKind::While);
            Advance();
            return EndStatement(Expression());
        case W::With:
            Open(first, TBlockKind::With);
            Advance();
            return EndStatement(Expression());
        case W::Select:
            Open(first, TBlockKind::Select);
            Advance();
            return EndStatement(Expect(W::Case, "Case") && Expression());
        default:
            Place(first, BodyLevel());
            return EndStatement(SimpleStatement());
        }
    }

    // The statements that open, close and divide no block; answers whether it read them without
    // a problem.
    bool SimpleStatement() {
        switch (Word()) {
        case W::Dim:
            Advance();
            return Declarations(false);
        case W::ReDim:
            Advance();
            SkipWord(W::Preserve);
            return Declarations(true);
        case W::Const:
            Advance();
            return Constants();
        case W::Set:
            Advance();
            return SetStatement();
        case W::Call:
            Advance();
            return CallStatement();
        case W::Erase:
            Advance();
            return TellName(TNameRole::Read) && OptionalArguments();
        case W::Exit:
            Advance();
            return ExitStatement();
        case W::On:
            Advance();
            return OnErrorStatement();
        case W::Option: {
            const TToken option = FToken;
            Advance();
            if (!Expect(W::Explicit, "Explicit")) {
                return false;
            }
            Tell(option, TNameRole::OptionExplicit);
            return true;
        }
        case W::Randomize:
            Advance();
            return AtStatementEnd() || Expression();
        case W::Stop:
            Advance();
            return true;
        default:
            return AssignmentOrCall();
        }
    }

    // Public and Private before a declaration or a definition, Public Default before a
    // definition.
    void Modified(const TToken& First) {
        Advance();
        SkipWord(W::Default);
        switch (Word()) {
        case W::Sub:
        case W::Function:
        case W::Property:
        case W::Class:
            return Definition(First);
        case W::Const:
            Place(First, BodyLevel());
            Advance();
            return EndStatement(Constants());
        default:
            Place(First, BodyLevel());
            return EndStatement(Declarations(false));
        }
    }

    // A block If, or a one-line If: one with statements after its Then, which take the rest of
    // the line, ":" and Else included.
    void IfStatement(const TToken& First) {
        Place(First, BodyLevel());
        Advance();
        if (!Expression() || !IsWord(W::Then)) {
            Expect(W::Then, "Then");
            Open(First, TBlockKind::If);
            return EndStatement(false);
        }
        AdvanceToStatement();
        if (FToken.Type == TTokenType::End || FToken.Type == TTokenType::EndOfScript) {
            Open(First, TBlockKind::If);
            return EndStatement(true);
        }
        LineStatements();
    }

    // The statements of a one-line If up to the line's end; its Else and further one-line Ifs.
    void LineStatements() {
        while (FToken.Type != TTokenType::End && FToken.Type != TTokenType::EndOfScript) {
            if (IsWord(W::Else)) {
                AdvanceToStatement();
                continue;
            }
            if (FToken.Type == TTokenType::Separator) {
                After();
                continue;
            }
            bool read = false;
            if (SkipWord(W::If)) {
                read = Expression() && Expect(W::Then, "Then");
            } else {
                read = SimpleStatement();
                if (read && !AtStatementEnd() && !IsWord(W::Else)) {
                    ExpectedEnd();
                    read = false;
                }
            }
            if (!read) {
                SkipToEnd();
            }
        }
        After();
    }

    // End followed by the name of a block closes it.
    void EndLine(const TToken& First) {
        Advance();
        const std::optional<TBlockKind> block = EndedBlock(Word());
        if (!block) {
            // End alone ends the script.
            Place(First, BodyLevel());
            return EndStatement(true);
        }
        Closer(First, *block, [] { return true; });
    }

    // Sub, Function, Property Get/Let/Set and Class with their names and parameters.
    void Definition(const TToken& First) {
        const TWordId word = Word();
        const TBlockKind kind = word == W::Sub        ? TBlockKind::Sub
                                : word == W::Function ? TBlockKind::Function
                                : word == W::Property ? TBlockKind::Property
                                                      : TBlockKind::Class;
        Define(First, kind);
        Advance();
        TNameRole role = word == W::Sub        ? TNameRole::Sub
                         : word == W::Function ? TNameRole::Function
                                               : TNameRole::Class;
        if (kind == TBlockKind::Property) {
            role = IsWord(W::Get)   ? TNameRole::PropertyGet
                   : IsWord(W::Let) ? TNameRole::PropertyLet
                                    : TNameRole::PropertySet;
            if (!IsWord(W::Get) && !IsWord(W::Let) && !IsWord(W::Set)) {
                TellNameless(role);
                Problem(TProblemKind::ExpectedIdentifier);
                return EndStatement(false);
            }
            Advance();
        }
        if (!IsName()) {
            TellNameless(role);
        }
        EndStatement(TellName(role) && (kind == TBlockKind::Class || Parameters()));
    }

    bool Parameters() {
        if (!IsSymbol('(')) {
            return true;
        }
        Advance();
        if (SkipSymbol(')')) {
            return true;
        }
        do {
            if (!SkipWord(W::ByVal)) {
                SkipWord(W::ByRef);
            }
            if (!TellName(TNameRole::Parameter)) {
                return false;
            }
            if (SkipSymbol('(') && !Expect(')')) {
                return false;
            }
        } while (SkipSymbol(','));
        return Expect(')');
    }

    // For name = start To end [Step step], or For Each name In group.
    bool ForHead() {
        Advance();
        if (SkipWord(W::Each)) {
            return TellName(TNameRole::Assigned) && Expect(W::In, "In") && Expression();
        }
        return TellName(TNameRole::Assigned) && Expect('=') && Expression() &&
               Expect(W::To, "To") && Expression() && (!SkipWord(W::Step) || Expression());
    }

    // While or Until and a condition, or nothing, after Do and Loop.
    bool LoopCondition() {
        if (SkipWord(W::While) || SkipWord(W::Until)) {
            return Expression();
        }
        return true;
    }

    // The names after Next.
    bool OptionalNames() {
        if (AtStatementEnd()) {
            return true;
        }
        do {
            if (!TellName(TNameRole::Read)) {
                return false;
            }
        } while (SkipSymbol(','));
        return true;
    }

    bool CaseLabels() {
        Advance();
        if (SkipWord(W::Else)) {
            return true;
        }
        do {
            if (!Expression()) {
                return false;
            }
        } while (SkipSymbol(','));
        return true;
    }

    // Names, each with its bounds (ReDim) or optional bounds (Dim, Private, Public).
    bool Declarations(bool BoundsRequired) {
        do {
            const TToken name = FToken;
            if (!Identifier()) {
                return false;
            }
            Tell(name, BoundsRequired  ? TNameRole::ReDim
                       : IsSymbol('(') ? TNameRole::Array
                                       : TNameRole::Variable);
            if (!SkipSymbol('(')) {
                if (BoundsRequired) {
                    return Expect('(');
                }
                continue;
            }
            if ((!IsSymbol(')') && !ExpressionList()) || !Expect(')')) {
                return false;
            }
        } while (SkipSymbol(','));
        return true;
    }

    bool Constants() {
        do {
            if (!TellName(TNameRole::Constant) || !Expect('=') || !Expression()) {
                return false;
            }
        } while (SkipSymbol(','));
        return true;
    }

    bool SetStatement() {
        TNameUse use;
        const bool read = Target(false, use);
        TellUse(use, TNameRole::Assigned);
        return read && Expect('=') && Expression();
    }

    bool CallStatement() {
        TNameUse use;
        const bool read = Target(true, use);
        TellUse(use, TNameRole::Called);
        return read;
    }

    bool ExitStatement() {
        switch (Word()) {
        case W::Do:
        case W::For:
        case W::Function:
        case W::Property:
        case W::Sub:
            Advance();
            return true;
        default:
            Problem(TProblemKind::ExpectedStatement);
            return false;
        }
    }

    // On Error Resume Next and On Error GoTo 0.
    bool OnErrorStatement() {
        if (!Expect(W::Error, "Error")) {
            return false;
        }
        if (SkipWord(W::Resume)) {
            return Expect(W::Next, "Next");
        }
        if (!SkipWord(W::GoTo)) {
            Problem(TProblemKind::ExpectedStatement);
            return false;
        }
        if (FToken.Type != TTokenType::Number || TokenText() != "0") {
            Problem(TProblemKind::ExpectedStatement);
            return false;
        }
        Advance();
        return true;
    }

    // An assignment "target = value", or a call with its arguments in parentheses or without.
    bool AssignmentOrCall() {
        if (!StartsTarget()) {
            Problem(TProblemKind::ExpectedStatement);
            return false;
        }
        TNameUse use;
        if (!Target(false, use)) {
            TellUse(use, TNameRole::Called);
            return false;
        }
        if (SkipSymbol('=')) {
            TellUse(use, TNameRole::Assigned);
            return Expression();
        }
        if (AtStatementEnd() || IsWord(W::Else)) {
            TellUse(use, TNameRole::Called);
            return true;
        }
        // Arguments without parentheses, some of them left out.
        use.Arguments = 0;
        bool read = true;
        do {
            CountArgument(use.Arguments);
            if (!IsSymbol(',') && !AtStatementEnd() && !Expression()) {
                read = false;
                break;
            }
        } while (SkipSymbol(','));
        TellUse(use, TNameRole::Called);
        return read;
    }

    bool StartsTarget() const { return IsName() || IsSymbol('.'); }

    // A name, a member of the With block's object, with members, calls and indexes after it, its
    // name into Use. In a call statement without Call, parentheses after a blank hold its first
    // argument.
    bool Target(bool CallStatement, TNameUse& Use) {
        if (!StartsTarget() && !IsWord(W::Me)) {
            Problem(TProblemKind::ExpectedIdentifier);
            return false;
        }
        if (SkipSymbol('.')) {
            return MemberName() && Postfix(!CallStatement);
        }
        Use = {.Name = FToken, .Named = !IsWord(W::Me)};
        Advance();
        if (!NameArguments(Use, !CallStatement)) {
            return false;
        }
        const TToken after = FToken;
        const bool read = Postfix(!CallStatement);
        Use.Base = FToken.Line != after.Line || FToken.Column != after.Column;
        return read;
    }

    // Expressions

    bool Expression() { return Operation(TLevel::Imp); }

    bool ExpressionList() {
        do {
            if (!Expression()) {
                return false;
            }
        } while (SkipSymbol(','));
        return true;
    }

    // An operand and the binary operators after it that bind at least as tight as Level, each
    // with its right side read at the level above its own. One operand takes one call, however
    // many levels lie between Level and its operators.
    bool Operation(TLevel Level) {
        if (!Operand()) {
            return false;
        }
        while (FOperator != TLevel::Not && FOperator >= Level) {
            const TLevel level = FOperator;
            Advance();
            if (!Operation(Tighter(level))) {
                return false;
            }
        }
        return true;
    }

    // Not before a comparison, "-" or "+" before a power: its operand, at the current token.
    bool Unary(TLevel Level) {
        Advance();
        return Nested([this, Level] { return Operation(Tighter(Level)); });
    }

    // The binary operator the current token is, if any (Not, which is never one, where it is
    // none).
    TLevel OperatorOfToken() const {
        switch (FWord) {
        case W::Imp:
            return TLevel::Imp;
        case W::Eqv:
            return TLevel::Eqv;
        case W::Xor:
            return TLevel::Xor;
        case W::Or:
            return TLevel::Or;
        case W::And:
            return TLevel::And;
        case W::Is:
            return TLevel::Comparison;
        case W::Mod:
            return TLevel::Modulus;
        default:
            break;
        }
        switch (FSymbol) {
        case '=':
        case '<':
        case '>':
            return TLevel::Comparison;
        case '&':
            return TLevel::Concatenation;
        case '+':
        case '-':
            return TLevel::Additive;
        case '\\':
            return TLevel::IntegerDivision;
        case '*':
        case '/':
            return TLevel::Multiplicative;
        case '^':
            return TLevel::Power;
        default:
            return TLevel::Not;
        }
    }

    // A literal, a name, New and a class name, a member of the With block's object, or an
    // expression in parentheses; with members, calls and indexes after it.
    bool Operand() {
        switch (FToken.Type) {
        case TTokenType::Number:
        case TTokenType::String:
        case TTokenType::Date:
            Advance();
            return true;
        case TTokenType::Name:
            return NameOperand();
        case TTokenType::Symbol:
            if (SkipSymbol('(')) {
                return Nested([this] { return Expression() && Expect(')'); }) && Postfix(false);
            }
            if (SkipSymbol('.')) {
                return MemberName() && Postfix(false);
            }
            if (IsSymbol('-') || IsSymbol('+')) {
                return Unary(TLevel::Negation);
            }
            break;
        default:
            break;
        }
        Problem(TProblemKind::ExpectedExpression);
        return false;
    }

    bool NameOperand() {
        switch (Word()) {
        case W::True:
        case W::False:
        case W::Nothing:
        case W::Null:
        case W::Empty:
            Advance();
            return true;
        case W::New:
            Advance();
            return TellName(TNameRole::NewClass);
        case W::Me:
            Advance();
            return Postfix(false);
        case W::Not:
            return Unary(TLevel::Not);
        default:
            break;
        }
        if (!IsName()) {
            Problem(TProblemKind::ExpectedExpression);
            return false;
        }
        TNameUse use{.Name = FToken, .Named = true};
        Advance();
        const bool read = NameArguments(use, false);
        TellUse(use, TNameRole::Read);
        return read && Postfix(false);
    }

    // The parentheses right after a name (after a blank too unless AttachedCallsOnly), with the
    // arguments of its call or index counted into Use.
    bool NameArguments(TNameUse& Use, bool AttachedCallsOnly) {
        if (!IsSymbol('(') || (AttachedCallsOnly && !FToken.Attached)) {
            return true;
        }
        Advance();
        Use.Parenthesised = true;
        return Nested([this, &Use] { return Arguments(Use.Arguments); });
    }

    // Members, calls and indexes. AttachedCallsOnly: parentheses after a blank end it (they hold
    // the first argument of a call statement).
    bool Postfix(bool AttachedCallsOnly) {
        while (true) {
            if (IsSymbol('.') && FToken.Attached) {
                Advance();
                if (!MemberName()) {
                    return false;
                }
            } else if (IsSymbol('(') && (FToken.Attached || !AttachedCallsOnly)) {
                Advance();
                std::uint8_t arguments = 0;
                if (!Nested([this, &arguments] { return Arguments(arguments); })) {
                    return false;
                }
            } else {
                return true;
            }
        }
    }

    // The arguments of a call or an index up to its ")", counted into Count; some may be left
    // out.
    bool Arguments(std::uint8_t& Count) {
        if (SkipSymbol(')')) {
            return true;
        }
        do {
            CountArgument(Count);
            if (!IsSymbol(',') && !IsSymbol(')') && !Expression()) {
                return false;
            }
        } while (SkipSymbol(','));
        return Expect(')');
    }

    bool OptionalArguments() {
        std::uint8_t arguments = 0;
        return !SkipSymbol('(') || Arguments(arguments);
    }

    // Reads one more level of nesting with Read, or reports that it goes too deep.
    template <class F>
    bool Nested(F&& Read) {
        if (FDepth == kMaxDepth) {
            Problem(TProblemKind::TooDeep);
            return false;
        }
        ++FDepth;
        const bool read = Read();
        --FDepth;
        return read;
    }

    // Tokens

    void Advance() {
        FToken = FLexer.Next();
        FWord = W::None;
        FSymbol = FToken.Type == TTokenType::Symbol ? FLexer.TextOf(FToken).front() : '\0';
        if (FToken.Type == TTokenType::Name && !FToken.Bracketed) {
            const TKeyword* keyword = FindKeyword(FLexer.TextOf(FToken));
            if (keyword != nullptr) {
                FWord = keyword->Id;
                FReserved = keyword->Use == TKeywordUse::Reserved;
            }
        }
        FOperator = OperatorOfToken();
    }

    // Past Then or Else, where a statement (and a Rem comment) may begin.
    void AdvanceToStatement() {
        FLexer.StartStatement();
        Advance();
    }

    TWordId Word() const { return FWord; }
    bool IsWord(TWordId Word) const { return FWord == Word; }
    std::string_view TokenText() const { return FLexer.TextOf(FToken); }

    // A name that is no reserved word.
    bool IsName() const {
        return FToken.Type == TTokenType::Name && (FWord == W::None || !FReserved);
    }

    bool IsSymbol(char Symbol) const { return FSymbol == Symbol; }

    bool SkipSymbol(char Symbol) {
        if (!IsSymbol(Symbol)) {
            return false;
        }
        Advance();
        return true;
    }

    bool SkipWord(TWordId Word) {
        if (!IsWord(Word)) {
            return false;
        }
        Advance();
        return true;
    }

    bool AtStatementEnd() const { return EndsStatement(FToken); }

    bool Identifier() {
        if (!IsName()) {
            Problem(TProblemKind::ExpectedIdentifier);
            return false;
        }
        Advance();
        return true;
    }

    // Names

    // An identifier that Role declares or uses.
    bool TellName(TNameRole Role) {
        const TToken name = FToken;
        if (!Identifier()) {
            return false;
        }
        Tell(name, Role);
        return true;
    }

    void TellUse(const TNameUse& Use, TNameRole Role) {
        if (Use.Named) {
            Tell(Use.Name, Use.Base ? TNameRole::Read : Role, Use.Arguments, Use.Parenthesised);
        }
    }

    void Tell(const TToken& Name, TNameRole Role, std::uint8_t Arguments = 0,
              bool Parenthesised = false) {
        if (FNames != nullptr) {
            FNames->Name({.Name = FLexer.NameOf(Name),
                          .Line = Name.Line,
                          .Column = Name.Column + static_cast<int>(Name.Bracketed),
                          .Role = Role,
                          .Arguments = Arguments,
                          .Parenthesised = Parenthesised});
        }
    }

    // A definition without a name still opens its scope.
    void TellNameless(TNameRole Role) {
        if (FNames != nullptr) {
            FNames->Name({.Name = {}, .Line = FToken.Line, .Column = FToken.Column, .Role = Role});
        }
    }

    // After a ".", any name, reserved words included.
    bool MemberName() {
        if (FToken.Type != TTokenType::Name) {
            Problem(TProblemKind::ExpectedIdentifier);
            return false;
        }
        Advance();
        return true;
    }

    bool Expect(char Symbol) {
        if (SkipSymbol(Symbol)) {
            return true;
        }
        // The texts of the symbols a statement may lack.
        static constexpr std::string_view kSymbols = "()=";
        Missing(kSymbols.substr(kSymbols.find(Symbol), 1));
        return false;
    }

    bool Expect(TWordId Word, std::string_view Text) {
        if (SkipWord(Word)) {
            return true;
        }
        Missing(Text);
        return false;
    }

    void Missing(std::string_view Text) { Flag(MissingAt(FToken.Line, FToken.Column, Text)); }

    // Ends the statement, which was read without a problem when Read is true: what follows it
    // on its line up to ":" or the line's end is a problem, and is passed over.
    void EndStatement(bool Read) {
        if (Read && !AtStatementEnd()) {
            ExpectedEnd();
        }
        SkipToEnd();
        After();
    }

    void ExpectedEnd() { Problem(TProblemKind::ExpectedEndOfStatement); }

    void SkipToEnd() {
        while (!AtStatementEnd()) {
            Advance();
        }
    }

    // Past the ":" or the line's end that ends a statement: a new statement, which may have its
    // own problem, begins.
    void After() {
        if (FToken.Type != TTokenType::EndOfScript) {
            FFaulted = false;
            Advance();
        }
    }

    // Blocks

    int BodyLevel() const {
        if (FBlocks.Empty()) {
            return 0;
        }
        const TOpenBlock& block = FBlocks.Top();
        return block.Level + (block.Kind == TBlockKind::Select ? 2 : 1);
    }

    void Open(const TToken& First, TBlockKind Kind) {
        const int level = BodyLevel();
        Place(First, level);
        FBlocks = FBlocks.Pushed({Kind, First.Line - FShift, First.Column, level});
    }

    // A procedure stands at the top or in a class, a class at the top: the blocks around it are
    // taken as left open.
    void Define(const TToken& First, TBlockKind Kind) {
        const TScriptKeyword keyword{Kind, TBlockWord::Opener};
        while (!FBlocks.Empty() &&
               !(Kind != TBlockKind::Class && FBlocks.Top().Kind == TBlockKind::Class)) {
            Report(First,
                   IsDefinition(FBlocks.Top().Kind) ? TProblemKind::DefinitionInside
                                                    : TProblemKind::Interrupted,
                   keyword, FBlocks.Top());
            KeepOutermost(FBlocks.Size() - 1);
        }
        FStructure.Definitions.push_back(First.Line);
        Open(First, Kind);
    }

    // The closer of Kind at First; ReadRest reads what follows its words.
    template <class F>
    void Closer(const TToken& First, TBlockKind Kind, F&& ReadRest) {
        const TScriptKeyword keyword{Kind, TBlockWord::Closer};
        const std::size_t open = FBlocks.Innermost(Kind);
        if (open == FBlocks.Size()) {
            Report(First, TProblemKind::WithoutOpener, keyword);
            Place(First, kKeepLine);
        } else {
            CloseAbove(First, keyword, open);
            Place(First, FBlocks.Top().Level);
            KeepOutermost(FBlocks.Size() - 1);
        }
        Advance();
        EndStatement(ReadRest());
    }

    // Else and ElseIf stand at the level of their If, Case one level inside its Select.
    void Branch(const TToken& First, const TScriptKeyword& Keyword) {
        const std::size_t open = FBlocks.Innermost(Keyword.Kind);
        if (open == FBlocks.Size()) {
            Report(First, TProblemKind::WithoutOpener, Keyword);
            Place(First, kKeepLine);
            return;
        }
        CloseAbove(First, Keyword, open);
        Place(First, FBlocks.Top().Level + (Keyword.Kind == TBlockKind::Select ? 1 : 0));
    }

    // The blocks inside the one at Index are taken as left open when Keyword comes.
    void CloseAbove(const TToken& First, const TScriptKeyword& Keyword, std::size_t Index) {
        if (Index + 1 == FBlocks.Size()) {
            return;
        }
        for (const TOpenBlock& above : FBlocks.BlocksFrom(Index + 1)) {
            Report(First, TProblemKind::Interrupted, Keyword, above);
        }
        KeepOutermost(Index + 1);
    }

    // Closes all but the Count outermost blocks; a definition's scope ends with its block.
    void KeepOutermost(std::size_t Count) {
        if (FNames != nullptr && Count < FBlocks.Size()) {
            for (const TOpenBlock& block : FBlocks.BlocksFrom(Count)) {
                if (IsDefinition(block.Kind)) {
                    FNames->Name({.Name = {},
                                  .Line = FToken.Line,
                                  .Column = FToken.Column,
                                  .Role = TNameRole::EndOfScope});
                }
            }
        }
        FBlocks = FBlocks.Outermost(Count);
    }

    // Problems

    void Report(const TScriptProblem& Problem) {
        if (FReader != nullptr) {
            FReader->Problem(Problem);
        } else {
            FStructure.Problems.push_back(Problem);
        }
    }

    // A problem that names no block.
    void Report(const TToken& At, TProblemKind Kind, const TScriptKeyword& Keyword) {
        TScriptProblem problem = ProblemAt(At.Line, At.Column, Kind);
        problem.Keyword = Keyword;
        Report(problem);
    }

    void Report(const TToken& At, TProblemKind Kind, const TScriptKeyword& Keyword,
                const TOpenBlock& Block) {
        TScriptProblem problem = ProblemAt(At.Line, At.Column, Kind);
        problem.Keyword = Keyword;
        problem.Block = Block.Kind;
        problem.BlockLine = Block.Line + FShift;
        Report(problem);
    }

    // A problem of the statement at the current token; only its first is reported.
    void Problem(TProblemKind Kind) { Problem(FToken.Line, FToken.Column, Kind); }

    void Problem(int Line, int Column, TProblemKind Kind) { Flag(ProblemAt(Line, Column, Kind)); }

    void Flag(const TScriptProblem& Problem) {
        if (!FFaulted) {
            FFaulted = true;
            Report(Problem);
        }
    }

    void Fault(int Line, int Column, TLexFault Fault) override {
        switch (Fault) {
        case TLexFault::OpenString:
            return Problem(Line, Column, TProblemKind::OpenString);
        case TLexFault::OpenBracket:
            return Flag(MissingAt(Line, Column, "]"));
        case TLexFault::InvalidCharacter:
            return Problem(Line, Column, TProblemKind::InvalidCharacter);
        }
    }

    // Levels

    // The first statement on a line places it.
    void Place(const TToken& First, int Level) {
        if (FReader != nullptr) {
            return;
        }
        int& level = FStructure.Levels[static_cast<std::size_t>(First.Line)];
        if (level == kPending) {
            level = Level;
        }
    }

    // A line that continues a statement stands one level deeper than the statement's first line;
    // a line no statement has placed is left as it is.
    void ResolveLevels() {
        int statementLevel = 0;
        for (std::size_t line = 0; line < FStructure.Levels.size(); ++line) {
            int& level = FStructure.Levels[line];
            if (level == kContinuation) {
                level = statementLevel == kKeepLine ? kKeepLine : statementLevel + 1;
                FStructure.Continuations.push_back(static_cast<int>(line));
                continue;
            }
            if (level == kPending) {
                level = kKeepLine;
            }
            statementLevel = level;
        }
    }

    // A line without statements is a comment line, left as it is, or a blank line, indented as a
    // statement would be; so is a line that opens a string it does not close.
    void LineLeft(int Line, TLineContent Content) override {
        if (FReader != nullptr) {
            return;
        }
        int& level = FStructure.Levels[static_cast<std::size_t>(Line)];
        switch (Content) {
        case TLineContent::Statements:
            break;
        case TLineContent::Continuation:
            level = kContinuation;
            break;
        case TLineContent::Blank:
            level = BodyLevel();
            break;
        case TLineContent::Comment:
        case TLineContent::OpenString:
            level = kKeepLine;
            break;
        }
    }

    bool StatementLineReached(int Line) override {
        if (FReader == nullptr || FReader->StatementLine(Line, FBlocks)) {
            return true;
        }
        FStopped = true;
        return false;
    }

    TScriptStructure FStructure;
    TBlockState FBlocks;
    // Lines of the blocks are recorded FShift lines before the lines they stand on.
    int FShift = 0;
    // Told of what is read from a line on, instead of FStructure.
    ScriptReader* FReader = nullptr;
    bool FStopped = false;
    ScriptLexer FLexer;
    ScriptNameSink* FNames = nullptr;
    TToken FToken;
    TWordId FWord = W::None;
    bool FReserved = false;
    // The first character of a symbol, or none.
    char FSymbol = '\0';
    TLevel FOperator = TLevel::Not;
    // The statement has had its problem.
    bool FFaulted = false;
    int FDepth = 0;
};

} // namespace

TScriptStructure ParseScript(std::span<const std::string_view> Lines, ScriptNameSink* Names) {
    return ScriptParser(SpanLines(Lines), Names).Parse();
}

void ReadScript(const ScriptLines& Lines, int FirstLine, const TBlockState& Blocks, int Shift,
                ScriptReader& Reader, ScriptNameSink* Names) {
    ScriptParser(Lines, FirstLine, Blocks, Shift, Reader, Names).Read();
}

std::vector<TScriptProblem> LeftOpenProblems(const TBlockState& Blocks, int Shift) {
    std::vector<TScriptProblem> problems;
    for (const TOpenBlock& block : Blocks.BlocksFrom(0)) {
        TScriptProblem problem =
            ProblemAt(block.Line + Shift, block.Column, TProblemKind::LeftOpen);
        problem.Keyword = {block.Kind, TBlockWord::Opener};
        problem.Block = block.Kind;
        problem.BlockLine = problem.Line;
        problems.push_back(problem);
    }
    return problems;
}

std::string ProblemMessage(const TScriptProblem& Problem) {
    const TScriptKeyword& keyword = Problem.Keyword;
    std::string word;
    switch (keyword.Word) {
    case TBlockWord::Opener:
        word = OpenerText(keyword.Kind);
        break;
    case TBlockWord::Closer:
        word = CloserText(keyword.Kind);
        break;
    case TBlockWord::Branch:
        word = keyword.Kind == TBlockKind::Select ? "Case" : keyword.ElseIf ? "ElseIf" : "Else";
        break;
    }
    const std::string block =
        std::to_string(Problem.BlockLine + 1) + "行目の " + std::string(OpenerText(Problem.Block));
    switch (Problem.Kind) {
    case TProblemKind::WithoutOpener:
        return word + " に対応する " + std::string(OpenerText(keyword.Kind)) + " がありません";
    case TProblemKind::LeftOpen:
        return block + " が " + std::string(CloserText(Problem.Block)) + " で閉じられていません";
    case TProblemKind::Interrupted:
        return block + " が閉じられる前に " + word + " があります";
    case TProblemKind::DefinitionInside:
        return word + " は " + block + " の中には書けません";
    case TProblemKind::Expected:
        return "'" + std::string(Problem.Expected) + "' がありません";
    case TProblemKind::ExpectedExpression:
        return "式がありません";
    case TProblemKind::ExpectedIdentifier:
        return "識別子がありません";
    case TProblemKind::ExpectedEndOfStatement:
        return "ステートメントの末尾が不正です";
    case TProblemKind::ExpectedStatement:
        return "ステートメントがありません";
    case TProblemKind::OpenString:
        return "文字列定数が終了していません";
    case TProblemKind::InvalidCharacter:
        return "無効な文字です";
    case TProblemKind::TooDeep:
        break;
    }
    return "スタック領域が不足しています";
}

int CharacterColumns::At(std::string_view Line, int Offset) {
    const auto offset = std::min(static_cast<std::size_t>(std::max(Offset, 0)), Line.size());
    if (Line.data() != FLine || offset < FOffset) {
        FLine = Line.data();
        FOffset = 0;
        FColumn = 1;
    }
    while (FOffset < offset) {
        FOffset += CharLengthAt(Line, FOffset);
        ++FColumn;
    }
    return FColumn;
}

} // namespace kst
