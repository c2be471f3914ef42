#include "tools/script_parser.h"

#include "core/cp932.h"
#include "tools/script_lexer.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kst {

namespace {

constexpr int kKeepLine = TScriptStructure::kKeepLine;
// Levels while reading: a line whose first statement has not been placed yet, and a line that
// continues the statement of the line before it.
constexpr int kPending = -2;
constexpr int kContinuation = -3;

constexpr std::array<std::string_view, 10> kOpenerTexts = {
    "Sub", "Function", "Property", "Class", "If", "For", "Do", "While", "Select Case", "With"};
constexpr std::array<std::string_view, 10> kCloserTexts = {
    "End Sub", "End Function", "End Property", "End Class",  "End If",
    "Next",    "Loop",         "Wend",         "End Select", "End With"};

std::string_view OpenerText(TBlockKind Kind) {
    return kOpenerTexts[static_cast<std::size_t>(Kind)];
}

std::string_view CloserText(TBlockKind Kind) {
    return kCloserTexts[static_cast<std::size_t>(Kind)];
}

bool IsDefinition(TBlockKind Kind) {
    return Kind == TBlockKind::Sub || Kind == TBlockKind::Function ||
           Kind == TBlockKind::Property || Kind == TBlockKind::Class;
}

// What a word at the start of a statement does to the block structure.
enum class TWordRole : std::uint8_t { None, Opener, Closer, End, ElseIf, Else, Case, Modifier };

struct TWord {
    TWordRole Role = TWordRole::None;
    // The block an opener opens or a closer closes.
    TBlockKind Block = TBlockKind::If;
};

struct TNamedWord {
    std::string_view Name;
    TWord Word;
};

constexpr std::array<TNamedWord, 20> kWords = {{
    {"sub", {TWordRole::Opener, TBlockKind::Sub}},
    {"function", {TWordRole::Opener, TBlockKind::Function}},
    {"property", {TWordRole::Opener, TBlockKind::Property}},
    {"class", {TWordRole::Opener, TBlockKind::Class}},
    {"if", {TWordRole::Opener, TBlockKind::If}},
    {"for", {TWordRole::Opener, TBlockKind::For}},
    {"do", {TWordRole::Opener, TBlockKind::Do}},
    {"while", {TWordRole::Opener, TBlockKind::While}},
    {"select", {TWordRole::Opener, TBlockKind::Select}},
    {"with", {TWordRole::Opener, TBlockKind::With}},
    {"next", {TWordRole::Closer, TBlockKind::For}},
    {"loop", {TWordRole::Closer, TBlockKind::Do}},
    {"wend", {TWordRole::Closer, TBlockKind::While}},
    {"end", {TWordRole::End}},
    {"elseif", {TWordRole::ElseIf}},
    {"else", {TWordRole::Else}},
    {"case", {TWordRole::Case}},
    {"public", {TWordRole::Modifier}},
    {"private", {TWordRole::Modifier}},
    {"default", {TWordRole::Modifier}},
}};

// The blocks whose closer is End followed by the opener's word.
bool ClosedByEnd(TBlockKind Kind) {
    return Kind != TBlockKind::For && Kind != TBlockKind::Do && Kind != TBlockKind::While;
}

TWord WordNamed(std::string_view Text) {
    for (const auto& [name, word] : kWords) {
        if (SameWord(Text, name)) {
            return word;
        }
    }
    return {};
}

struct TOpenBlock {
    TBlockKind Kind;
    int Line;
    int Column;
    int Level;
};

class ScriptParser : ScriptLexer::Listener {
public:
    explicit ScriptParser(std::span<const std::string_view> Lines) : FLexer(Lines, *this) {
        FStructure.Levels.assign(Lines.size(), kPending);
    }

    TScriptStructure Parse() && {
        for (TToken token = Next(); token.Type != TTokenType::EndOfScript;) {
            token = Statement(token);
        }
        for (const TOpenBlock& block : FOpen) {
            Report({.Line = block.Line,
                    .Column = block.Column,
                    .Kind = TProblemKind::LeftOpen,
                    .Keyword = {block.Kind, TBlockWord::Opener},
                    .Block = block.Kind,
                    .BlockLine = block.Line});
        }
        ResolveLevels();
        std::ranges::stable_sort(FStructure.Problems, {}, &TScriptProblem::Line);
        return std::move(FStructure);
    }

private:
    // Statements

    // Reads the statement that begins with First; answers the token after it.
    TToken Statement(const TToken& First) {
        if (First.Type != TTokenType::Word) {
            if (First.Type == TTokenType::Other) {
                Place(First, BodyLevel());
            }
            return SkipStatement(First);
        }
        const TWord word = WordOf(First);
        switch (word.Role) {
        case TWordRole::Modifier:
            return Modified(First);
        case TWordRole::Opener:
            if (word.Block == TBlockKind::If) {
                return IfStatement(First);
            }
            if (IsDefinition(word.Block)) {
                Define(First, word.Block);
            } else {
                Open(First, word.Block);
            }
            return SkipStatement(Next());
        case TWordRole::Closer:
            return Closer(First, word.Block);
        case TWordRole::End:
            return EndStatement(First);
        case TWordRole::ElseIf:
            Branch(First, {TBlockKind::If, TBlockWord::Branch, true});
            return SkipStatement(Next());
        case TWordRole::Else:
            Branch(First, {TBlockKind::If, TBlockWord::Branch});
            // A statement may follow Else on its line.
            FLexer.StartStatement();
            return Next();
        case TWordRole::Case:
            Branch(First, {TBlockKind::Select, TBlockWord::Branch});
            return SkipStatement(Next());
        case TWordRole::None:
            break;
        }
        Place(First, BodyLevel());
        return SkipStatement(Next());
    }

    // Public, Private and Default before a definition or a declaration.
    TToken Modified(const TToken& First) {
        TToken token = Next();
        while (WordOf(token).Role == TWordRole::Modifier) {
            token = Next();
        }
        const TWord word = WordOf(token);
        if (word.Role == TWordRole::Opener && IsDefinition(word.Block)) {
            Define(First, word.Block);
            return SkipStatement(Next());
        }
        Place(First, BodyLevel());
        return SkipStatement(token);
    }

    // A block If, or a one-line If: one with a statement after its Then, which takes the rest of
    // the line, ":" and Else included.
    TToken IfStatement(const TToken& First) {
        Place(First, BodyLevel());
        TToken token = Next();
        while (!EndsStatement(token) && !IsThen(token)) {
            token = Next();
        }
        if (IsThen(token)) {
            // A Rem comment after Then leaves a block If, as a "'" comment does.
            FLexer.StartStatement();
            token = Next();
            if (token.Type != TTokenType::End && token.Type != TTokenType::EndOfScript) {
                while (token.Type != TTokenType::End && token.Type != TTokenType::EndOfScript) {
                    token = Next();
                }
                return After(token);
            }
        }
        Open(First, TBlockKind::If);
        return SkipStatement(token);
    }

    // End followed by the name of a block closes it; any other End is a statement.
    TToken EndStatement(const TToken& First) {
        const TToken token = Next();
        const TWord word = WordOf(token);
        if (word.Role == TWordRole::Opener && ClosedByEnd(word.Block)) {
            return Closer(First, word.Block);
        }
        Place(First, BodyLevel());
        return SkipStatement(token);
    }

    // The token after the statement that Token is part of.
    TToken SkipStatement(TToken Token) {
        while (!EndsStatement(Token)) {
            Token = Next();
        }
        return After(Token);
    }

    TToken After(const TToken& Token) {
        return Token.Type == TTokenType::EndOfScript ? Token : Next();
    }

    // Blocks

    int BodyLevel() const {
        if (FOpen.empty()) {
            return 0;
        }
        const TOpenBlock& block = FOpen.back();
        return block.Level + (block.Kind == TBlockKind::Select ? 2 : 1);
    }

    void Open(const TToken& First, TBlockKind Kind) {
        const int level = BodyLevel();
        Place(First, level);
        FOpen.push_back({Kind, First.Line, First.Column, level});
    }

    // A procedure stands at the top or in a class, a class at the top: the blocks around it are
    // taken as left open.
    void Define(const TToken& First, TBlockKind Kind) {
        const TScriptKeyword keyword{Kind, TBlockWord::Opener};
        while (!FOpen.empty() &&
               !(Kind != TBlockKind::Class && FOpen.back().Kind == TBlockKind::Class)) {
            Report(First,
                   IsDefinition(FOpen.back().Kind) ? TProblemKind::DefinitionInside
                                                   : TProblemKind::Interrupted,
                   keyword, FOpen.back());
            FOpen.pop_back();
        }
        FStructure.Definitions.push_back(First.Line);
        Open(First, Kind);
    }

    TToken Closer(const TToken& First, TBlockKind Kind) {
        const TScriptKeyword keyword{Kind, TBlockWord::Closer};
        const std::size_t open = Innermost(Kind);
        if (open == FOpen.size()) {
            Report(First, TProblemKind::WithoutOpener, keyword);
            Place(First, kKeepLine);
        } else {
            CloseAbove(First, keyword, open);
            Place(First, FOpen.back().Level);
            FOpen.pop_back();
        }
        return SkipStatement(Next());
    }

    // Else and ElseIf stand at the level of their If, Case one level inside its Select.
    void Branch(const TToken& First, const TScriptKeyword& Keyword) {
        const std::size_t open = Innermost(Keyword.Kind);
        if (open == FOpen.size()) {
            Report(First, TProblemKind::WithoutOpener, Keyword);
            Place(First, kKeepLine);
            return;
        }
        CloseAbove(First, Keyword, open);
        Place(First, FOpen.back().Level + (Keyword.Kind == TBlockKind::Select ? 1 : 0));
    }

    // The innermost open block of Kind (FOpen.size() when none). Only a definition's closer looks
    // beyond the innermost definition.
    std::size_t Innermost(TBlockKind Kind) const {
        for (std::size_t index = FOpen.size(); index > 0; --index) {
            const TBlockKind open = FOpen[index - 1].Kind;
            if (open == Kind) {
                return index - 1;
            }
            if (IsDefinition(open) && !IsDefinition(Kind)) {
                break;
            }
        }
        return FOpen.size();
    }

    // The blocks inside the one at Index are taken as left open when Keyword comes.
    void CloseAbove(const TToken& First, const TScriptKeyword& Keyword, std::size_t Index) {
        for (std::size_t above = Index + 1; above < FOpen.size(); ++above) {
            Report(First, TProblemKind::Interrupted, Keyword, FOpen[above]);
        }
        FOpen.resize(Index + 1);
    }

    void Report(const TScriptProblem& Problem) { FStructure.Problems.push_back(Problem); }

    void Report(const TToken& At, TProblemKind Kind, const TScriptKeyword& Keyword,
                const TOpenBlock& Block = {}) {
        Report({.Line = At.Line,
                .Column = At.Column,
                .Kind = Kind,
                .Keyword = Keyword,
                .Block = Block.Kind,
                .BlockLine = Block.Line});
    }

    // The first statement on a line places it.
    void Place(const TToken& First, int Level) {
        int& level = FStructure.Levels[static_cast<std::size_t>(First.Line)];
        if (level == kPending) {
            level = Level;
        }
    }

    // A line that continues a statement stands one level deeper than the statement's first line;
    // a line no statement has placed is left as it is.
    void ResolveLevels() {
        int statementLevel = 0;
        for (int& level : FStructure.Levels) {
            if (level == kContinuation) {
                level = statementLevel == kKeepLine ? kKeepLine : statementLevel + 1;
                continue;
            }
            if (level == kPending) {
                level = kKeepLine;
            }
            statementLevel = level;
        }
    }

    // Lines and tokens

    TToken Next() { return FLexer.Next(); }

    TWord WordOf(const TToken& Token) const {
        return Token.Type == TTokenType::Word ? WordNamed(FLexer.TextOf(Token)) : TWord{};
    }

    bool IsThen(const TToken& Token) const {
        return Token.Type == TTokenType::Word && SameWord(FLexer.TextOf(Token), "then");
    }

    // A line without statements is a comment line, left as it is, or a blank line, indented as a
    // statement would be; so is a line that opens a string it does not close.
    void LineLeft(int Line, TLineContent Content) override {
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

    void StringLeftOpen(int Line, int Column) override {
        TScriptProblem problem;
        problem.Line = Line;
        problem.Column = Column;
        problem.Kind = TProblemKind::OpenString;
        Report(problem);
    }

    TScriptStructure FStructure;
    std::vector<TOpenBlock> FOpen;
    ScriptLexer FLexer;
};

} // namespace

TScriptStructure ParseScript(std::span<const std::string_view> Lines) {
    return ScriptParser(Lines).Parse();
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
    case TProblemKind::OpenString:
        break;
    }
    return "文字列が行末で閉じられていません";
}

int CharacterColumn(std::string_view Line, int Offset) {
    int column = 1;
    for (std::size_t pos = 0; pos < Line.size() && pos < static_cast<std::size_t>(Offset);
         pos += CharLengthAt(Line, pos)) {
        ++column;
    }
    return column;
}

} // namespace kst
