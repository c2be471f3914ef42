// The statements of a VBScript script, read in full: its blocks, its procedure and class
// definitions, and the problems of its statements, expressions and block structure. Lines are
// read as the script host reads them: strings with doubled quotes, "'" and Rem comments, "_" at
// the end of a line continuing the statement on the next, ":" between statements and the
// one-line If, so that keywords inside strings and comments do not count. Any input is read to its
// end; a problem is reported and reading goes on with the next statement (one problem per
// statement, as the script host reports its first).
//
// Independent of the editor: the syntax check, the procedure list and the formatter use it.
#pragma once

#include "script/block_state.h"
#include "script/script_lexer.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

enum class TBlockKind : std::uint8_t {
    Sub,
    Function,
    Property,
    Class,
    If,
    For,
    Do,
    While,
    Select,
    With
};

// The statement keywords that open, close or divide blocks.
enum class TBlockWord : std::uint8_t {
    Opener, // the block's own opener (Sub, If, For, ...)
    Closer, // its closer (End Sub, End If, Next, Loop, Wend, ...)
    Branch  // Else, ElseIf or Case
};

// A keyword as it appears in messages: the word of Kind, and for branches which one.
struct TScriptKeyword {
    TBlockKind Kind = TBlockKind::If;
    TBlockWord Word = TBlockWord::Opener;
    // For branches of an If: ElseIf rather than Else.
    bool ElseIf = false;

    bool operator==(const TScriptKeyword&) const = default;
};

enum class TProblemKind : std::uint8_t {
    // Keyword (a closer or branch) has no open block of its kind around it.
    WithoutOpener,
    // The block opened at BlockLine is still open at the end of the script.
    LeftOpen,
    // Keyword came while the block opened at BlockLine, inside the one it closes or belongs to,
    // was still open (End Sub while an If is open).
    Interrupted,
    // Keyword, a definition, stands inside the definition opened at BlockLine.
    DefinitionInside,
    // The statement lacks the word or symbol Expected here ("Then", ")", "To", ...).
    Expected,
    ExpectedExpression,
    ExpectedIdentifier,
    // Something follows where the statement should end.
    ExpectedEndOfStatement,
    // Nothing here can begin a statement.
    ExpectedStatement,
    // A string is still open at the end of its line.
    OpenString,
    InvalidCharacter,
    // Parentheses or operators nested deeper than the parser follows.
    TooDeep
};

struct TScriptProblem {
    // The line (0-based) and byte offset in it where the problem is.
    int Line = 0;
    int Column = 0;
    TProblemKind Kind = TProblemKind::OpenString;
    TScriptKeyword Keyword;
    // The open block the problem names, and its line (0-based).
    TBlockKind Block = TBlockKind::If;
    int BlockLine = 0;
    // What a statement lacks, for Expected.
    std::string_view Expected;

    bool operator==(const TScriptProblem&) const = default;
};

struct TScriptStructure {
    // The indentation level of every line: one per block open around it, two inside a Select
    // (its Case lines one); kKeepLine for comment lines and lines the parser cannot place.
    static constexpr int kKeepLine = -1;
    std::vector<int> Levels;
    // The lines (0-based) where Sub, Function, Property and Class definitions begin.
    std::vector<int> Definitions;
    // The lines (0-based), in order, that continue the statement of the line before them.
    std::vector<int> Continuations;
    // In the order of their places.
    std::vector<TScriptProblem> Problems;
};

class ScriptNameSink;

// The structure of the script; every name it declares and uses told to Names as well, if given.
TScriptStructure ParseScript(std::span<const std::string_view> Lines,
                             ScriptNameSink* Names = nullptr);

// What reading a script from one of its lines on tells, so that an edit is read again only as
// far as it changes the blocks open at a line's start.
class ScriptReader {
public:
    ScriptReader() = default;
    ScriptReader(const ScriptReader&) = delete;
    ScriptReader& operator=(const ScriptReader&) = delete;
    // A problem, found in the order of reading (the blocks left open at the end excepted).
    virtual void Problem(const TScriptProblem& Problem) = 0;
    // Reading comes to Line, where a statement begins (or, past the last line, the script ends
    // after a complete statement), with Blocks open; answers whether to read on.
    virtual bool StatementLine(int Line, const TBlockState& Blocks) = 0;
    // Reading reached the script's end with Blocks left open.
    virtual void ScriptEnded(const TBlockState& Blocks) = 0;

protected:
    ~ScriptReader() = default;
};

// Reads Lines from FirstLine on, where a statement begins with Blocks open, until Reader stops it
// or the script ends, telling Names, if given, the names it reads. Blocks records lines Shift
// lines before the lines they stand on, and so do the blocks this reading opens.
void ReadScript(const ScriptLines& Lines, int FirstLine, const TBlockState& Blocks, int Shift,
                ScriptReader& Reader, ScriptNameSink* Names = nullptr);

// The problems of the blocks left open at a script's end, recorded Shift lines before theirs.
std::vector<TScriptProblem> LeftOpenProblems(const TBlockState& Blocks, int Shift);

// The problem in words (UTF-8), naming its keyword and the line (1-based) of an open block.
std::string ProblemMessage(const TScriptProblem& Problem);

// The 1-based column of the character at a byte offset of a line, counting a double-byte
// character as one. Offsets asked in increasing order on one line are counted on from the last
// one, so that the columns of all the problems of a long line take one pass over it.
class CharacterColumns {
public:
    int At(std::string_view Line, int Offset);

private:
    const char* FLine = nullptr;
    std::size_t FOffset = 0;
    int FColumn = 1;
};

} // namespace kst
