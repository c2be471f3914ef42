// The script's reader of lines: the tokens of the code as the script host reads them. Names
// (bracketed ones too), numbers (decimal, &H and &O), strings with doubled quotes, #date#
// literals and symbols; "'" and Rem comments, "_" continuing a statement on the next line and ":"
// between statements. It tells its listener what each line held as it leaves the line, and what
// it cannot read: a string or a bracketed name left open, a character the language does not have.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kst {

// The lines of a script as its readers take them: one at a time, by number, each view valid while
// the text does not change.
class ScriptLines {
public:
    ScriptLines() = default;
    ScriptLines(const ScriptLines&) = delete;
    ScriptLines& operator=(const ScriptLines&) = delete;
    virtual std::size_t Count() const = 0;
    virtual std::string_view Line(std::size_t Index) const = 0;

protected:
    ~ScriptLines() = default;
};

// Lines held in a span.
class SpanLines final : public ScriptLines {
public:
    explicit SpanLines(std::span<const std::string_view> Lines) : FLines(Lines) {}
    std::size_t Count() const override { return FLines.size(); }
    std::string_view Line(std::size_t Index) const override { return FLines[Index]; }

private:
    std::span<const std::string_view> FLines;
};

enum class TTokenType : std::uint8_t {
    Name,
    Number,
    String,
    Date,
    // Operators, parentheses, "," and ".".
    Symbol,
    // ":" between statements.
    Separator,
    // The end of a line that no "_" continues.
    End,
    EndOfScript
};

// Sixteen bytes, so that a token travels in registers.
struct TToken {
    TTokenType Type = TTokenType::EndOfScript;
    // A name in brackets, which is never a keyword.
    bool Bracketed = false;
    // A "." or "(" right after a name, a ")" or a "]", with no blank between: member access
    // rather than the leading "." of a With block, and a call's own parentheses rather than ones
    // around its first argument.
    bool Attached = false;
    int Line = 0;
    // Its byte offset in the line, and its length.
    int Column = 0;
    int Length = 0;
};

inline bool EndsStatement(const TToken& Token) {
    return Token.Type == TTokenType::Separator || Token.Type == TTokenType::End ||
           Token.Type == TTokenType::EndOfScript;
}

// Text equals the lower-case Word in any case.
bool SameWord(std::string_view Text, std::string_view Word);

// What a line held, once the lexer has left it.
enum class TLineContent : std::uint8_t {
    // Code, on a line of its own or continuing the line before it.
    Statements,
    Continuation,
    Blank,
    // Only a comment.
    Comment,
    // A string still open at the line's end.
    OpenString
};

// What the lexer cannot read.
enum class TLexFault : std::uint8_t { OpenString, OpenBracket, InvalidCharacter };

class ScriptLexer {
public:
    class Listener {
    public:
        Listener() = default;
        Listener(const Listener&) = delete;
        Listener& operator=(const Listener&) = delete;
        virtual void LineLeft(int Line, TLineContent Content) = 0;
        // At byte Column of Line.
        virtual void Fault(int Line, int Column, TLexFault Fault) = 0;
        // The lexer comes to a line where a statement begins (one that continues none), or to
        // the script's end after a line that continues into none; answers whether to read on,
        // else the script ends there.
        virtual bool StatementLineReached(int Line) = 0;

    protected:
        ~Listener() = default;
    };

    // Reads from the start of FirstLine, where a statement begins.
    ScriptLexer(const ScriptLines& Lines, std::size_t FirstLine, Listener& Listener);

    // The next token; EndOfScript, again and again, after the last line.
    TToken Next();
    std::string_view TextOf(const TToken& Token) const;
    // The text of a name without its brackets.
    std::string_view NameOf(const TToken& Token) const;
    // A statement may begin here (after Else or Then), and with it a Rem comment, as after ":".
    void StartStatement() { FAtStatementStart = true; }

private:
    TToken EndOfScript() const;
    void StartLine(bool Continuation);
    // Tells the listener what the current line held and moves to the next; answers whether there
    // is one.
    bool NextLine(bool Continuation);
    TTokenType Scan(std::string_view Line, std::size_t& Pos);
    TTokenType ScanAmpersand(std::string_view Line, std::size_t& Pos) const;
    TTokenType ScanEnclosed(std::string_view Line, std::size_t& Pos, char Close, TLexFault Open,
                            TTokenType Type);
    void ScanString(std::string_view Line, std::size_t& Pos);
    void Report(std::size_t Column, TLexFault Fault);

    const ScriptLines& FLines;
    Listener& FListener;
    std::size_t FLine = 0;
    std::size_t FLineCount = 0;
    // The text of line FLine.
    std::string_view FText;
    std::size_t FLastLine = 0;
    std::size_t FLastLineLength = 0;
    std::size_t FPos = 0;
    bool FLineIsContinuation = false;
    bool FLineHasTokens = false;
    bool FLineOpensString = false;
    // The line ended with "_".
    bool FContinued = false;
    // The End token of the line has been read.
    bool FLineEnded = false;
    // Where a Rem comment can begin: at the start of a line, after ":", Else and Then.
    bool FAtStatementStart = true;
    // The token before ends with a name character, ")" or "]": a "." or "(" right after it is
    // attached to it.
    bool FAfterOperand = false;
};

} // namespace kst
