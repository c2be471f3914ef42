#include "script/script_lexer.h"

#include "core/code_page.h"
#include "core/quoted_string.h"
#include "script/script_text.h"

#include <algorithm>
#include <array>

namespace kst {

namespace {

// What a byte is to the reader of a line.
enum class TByteClass : std::uint8_t {
    Blank, // 0x00-0x20
    Letter,
    Digit,
    // "_", and single-byte characters from 0x80 on: they continue a name.
    NamePart,
    // The first byte of a double-byte character, which continues a name too.
    Lead,
    Quote,
    Comment,
    Colon,
    Dot,
    Ampersand,
    // "#", which opens a date.
    Hash,
    // "[", which opens a bracketed name.
    Bracket,
    Symbol,
    // A character the language does not have, such as "@" or "$".
    Invalid
};

constexpr std::string_view kSymbols = "()=<>+-*/\\^,";

constexpr TByteClass ClassOfAscii(char C) {
    switch (C) {
    case '"':
        return TByteClass::Quote;
    case kCommentMark:
        return TByteClass::Comment;
    case ':':
        return TByteClass::Colon;
    case '.':
        return TByteClass::Dot;
    case '&':
        return TByteClass::Ampersand;
    case '#':
        return TByteClass::Hash;
    case '[':
        return TByteClass::Bracket;
    case '_':
        return TByteClass::NamePart;
    default:
        break;
    }
    if ((C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z')) {
        return TByteClass::Letter;
    }
    if (C >= '0' && C <= '9') {
        return TByteClass::Digit;
    }
    return kSymbols.find(C) != std::string_view::npos ? TByteClass::Symbol : TByteClass::Invalid;
}

constexpr std::array<TByteClass, 256> kByteClasses = [] {
    std::array<TByteClass, 256> classes{};
    for (std::size_t byte = 0; byte < classes.size(); ++byte) {
        const auto c = static_cast<char>(byte);
        if (IsBlank(c)) {
            classes[byte] = TByteClass::Blank;
        } else if (byte >= 0x80) {
            classes[byte] = TByteClass::NamePart;
        } else {
            classes[byte] = ClassOfAscii(c);
        }
    }
    return classes;
}();

// The upper half's bytes are name characters; those that start a double-byte character in the
// text's code page lead one. No code page has a lead byte in the lower half, so the code page is
// asked only about the upper half's.
TByteClass ClassOf(char Byte) {
    const auto byte = static_cast<unsigned char>(Byte);
    return byte >= 0x80 && IsLeadByte(byte) ? TByteClass::Lead : kByteClasses[byte];
}

bool IsNameClass(TByteClass Class) {
    return Class == TByteClass::Letter || Class == TByteClass::Digit ||
           Class == TByteClass::NamePart || Class == TByteClass::Lead;
}

bool IsNameByte(char Byte) {
    return IsNameClass(ClassOf(Byte));
}

// Just past the run of name characters of Line from Pos on.
std::size_t NameEnd(std::string_view Line, std::size_t Pos) {
    while (Pos < Line.size()) {
        const TByteClass byteClass = ClassOf(Line[Pos]);
        if (!IsNameClass(byteClass)) {
            break;
        }
        Pos += byteClass == TByteClass::Lead && Pos + 1 < Line.size() ? 2 : 1;
    }
    return Pos;
}

bool IsDigit(char Byte) {
    return Byte >= '0' && Byte <= '9';
}

template <class F>
std::size_t RunEnd(std::string_view Line, std::size_t Pos, F&& Belongs) {
    while (Pos < Line.size() && Belongs(Line[Pos])) {
        ++Pos;
    }
    return Pos;
}

// Just past the decimal number of Line at Pos: digits, a fraction, an exponent.
std::size_t DecimalEnd(std::string_view Line, std::size_t Pos) {
    Pos = RunEnd(Line, Pos, IsDigit);
    if (Pos < Line.size() && Line[Pos] == '.') {
        Pos = RunEnd(Line, Pos + 1, IsDigit);
    }
    if (Pos < Line.size() && LowerAscii(Line[Pos]) == 'e') {
        std::size_t exponent = Pos + 1;
        if (exponent < Line.size() && (Line[exponent] == '+' || Line[exponent] == '-')) {
            ++exponent;
        }
        if (exponent < Line.size() && IsDigit(Line[exponent])) {
            Pos = RunEnd(Line, exponent, IsDigit);
        }
    }
    return Pos;
}

bool IsHexDigit(char Byte) {
    const char lower = LowerAscii(Byte);
    return IsDigit(Byte) || (lower >= 'a' && lower <= 'f');
}

bool IsOctalDigit(char Byte) {
    return Byte >= '0' && Byte <= '7';
}

} // namespace

bool SameWord(std::string_view Text, std::string_view Word) {
    return Text.size() == Word.size() &&
           std::equal(Text.begin(), Text.end(), Word.begin(),
                      [](char A, char B) { return LowerAscii(A) == B; });
}

ScriptLexer::ScriptLexer(const ScriptLines& Lines, std::size_t FirstLine, Listener& Listener)
    : FLines(Lines), FListener(Listener), FLine(FirstLine), FLineCount(Lines.Count()) {
    if (FLine < FLineCount) {
        StartLine(false);
    }
}

std::string_view ScriptLexer::TextOf(const TToken& Token) const {
    const auto line = static_cast<std::size_t>(Token.Line);
    return (line == FLine ? FText : FLines.Line(line))
        .substr(static_cast<std::size_t>(Token.Column), static_cast<std::size_t>(Token.Length));
}

std::string_view ScriptLexer::NameOf(const TToken& Token) const {
    const std::string_view text = TextOf(Token);
    return Token.Bracketed ? text.substr(1, text.size() - 2) : text;
}

void ScriptLexer::StartLine(bool Continuation) {
    FText = FLines.Line(FLine);
    FLastLine = FLine;
    FLastLineLength = FText.size();
    FPos = 0;
    FLineIsContinuation = Continuation;
    FLineHasTokens = false;
    FLineOpensString = false;
    FAfterOperand = false;
    if (!Continuation) {
        FAtStatementStart = true;
    }
}

bool ScriptLexer::NextLine(bool Continuation) {
    TLineContent content = TLineContent::Statements;
    if (FLineOpensString) {
        content = TLineContent::OpenString;
    } else if (!FLineHasTokens) {
        content = TrimBlanks(FText).empty() ? TLineContent::Blank : TLineContent::Comment;
    } else if (FLineIsContinuation) {
        content = TLineContent::Continuation;
    }
    FListener.LineLeft(static_cast<int>(FLine), content);
    ++FLine;
    if (!Continuation && !FListener.StatementLineReached(static_cast<int>(FLine))) {
        FLine = FLineCount;
        return false;
    }
    if (FLine == FLineCount) {
        return false;
    }
    StartLine(Continuation);
    return true;
}

TToken ScriptLexer::Next() {
    if (FLineEnded) {
        FLineEnded = false;
        if (!NextLine(false)) {
            return EndOfScript();
        }
    }
    while (FLine < FLineCount) {
        const std::string_view line = FText;
        std::size_t pos = FPos;
        while (pos < line.size() && ClassOf(line[pos]) == TByteClass::Blank) {
            ++pos;
        }
        if (pos == line.size()) {
            FPos = pos;
            if (!FContinued) {
                FLineEnded = true;
                return {.Type = TTokenType::End,
                        .Line = static_cast<int>(FLine),
                        .Column = static_cast<int>(pos)};
            }
            FContinued = false;
            if (!NextLine(true)) {
                break;
            }
            continue;
        }
        const std::size_t start = pos;
        const bool attached = FAfterOperand && start == FPos;
        const TTokenType type = Scan(line, pos);
        if (pos == start) {
            // A comment or a continuation mark: nothing more on this line.
            FPos = line.size();
            continue;
        }
        FPos = pos;
        FLineHasTokens = true;
        FAtStatementStart = type == TTokenType::Separator;
        const char last = line[pos - 1];
        FAfterOperand =
            (type == TTokenType::Name && IsNameByte(last)) || last == ')' || last == ']';
        return {.Type = type,
                .Bracketed = type == TTokenType::Name && line[start] == '[',
                .Attached = attached && (line[start] == '.' || line[start] == '('),
                .Line = static_cast<int>(FLine),
                .Column = static_cast<int>(start),
                .Length = static_cast<int>(pos - start)};
    }
    return EndOfScript();
}

// At the end of the last line read, where a statement left open there lacks what it lacks.
TToken ScriptLexer::EndOfScript() const {
    return {.Type = TTokenType::EndOfScript,
            .Line = static_cast<int>(FLastLine),
            .Column = static_cast<int>(FLastLineLength)};
}

// Scans the token of Line at Pos, moving Pos past it, and answers its type. Pos stays at a comment
// and at a "_" that continues the statement on the next line (FContinued).
TTokenType ScriptLexer::Scan(std::string_view Line, std::size_t& Pos) {
    const std::size_t start = Pos;
    switch (ClassOf(Line[Pos])) {
    case TByteClass::Comment:
        return TTokenType::Symbol;
    case TByteClass::Quote:
        ScanString(Line, Pos);
        return TTokenType::String;
    case TByteClass::Colon:
        ++Pos;
        return TTokenType::Separator;
    case TByteClass::Letter:
        Pos = NameEnd(Line, Pos);
        if (FAtStatementStart && SameWord(Line.substr(start, Pos - start), "rem")) {
            Pos = start;
        }
        return TTokenType::Name;
    case TByteClass::Digit:
        Pos = DecimalEnd(Line, Pos);
        return TTokenType::Number;
    case TByteClass::Dot:
        if (!FAfterOperand && Pos + 1 < Line.size() && IsDigit(Line[Pos + 1])) {
            Pos = DecimalEnd(Line, Pos);
            return TTokenType::Number;
        }
        ++Pos;
        return TTokenType::Symbol;
    case TByteClass::Ampersand:
        return ScanAmpersand(Line, Pos);
    case TByteClass::Hash:
        return ScanEnclosed(Line, Pos, '#', TLexFault::InvalidCharacter, TTokenType::Date);
    case TByteClass::Bracket:
        return ScanEnclosed(Line, Pos, ']', TLexFault::OpenBracket, TTokenType::Name);
    case TByteClass::Symbol:
        ++Pos;
        if (Pos < Line.size() && ((Line[start] == '<' && (Line[Pos] == '=' || Line[Pos] == '>')) ||
                                  (Line[start] == '>' && Line[Pos] == '='))) {
            ++Pos;
        }
        return TTokenType::Symbol;
    case TByteClass::Invalid:
    case TByteClass::Blank:
        Report(Pos, TLexFault::InvalidCharacter);
        ++Pos;
        return TTokenType::Symbol;
    case TByteClass::NamePart:
    case TByteClass::Lead:
        break;
    }
    if (Line[Pos] == '_' && (Pos == 0 || !IsNameByte(Line[Pos - 1])) &&
        TrimBlanks(Line.substr(Pos + 1)).empty()) {
        FContinued = true;
        return TTokenType::Symbol;
    }
    Pos = NameEnd(Line, Pos);
    return TTokenType::Name;
}

// "&H1F" and "&O17" are numbers (with an optional "&" after them); any other "&" joins strings.
TTokenType ScriptLexer::ScanAmpersand(std::string_view Line, std::size_t& Pos) const {
    const std::size_t radix = Pos + 1;
    if (radix + 1 < Line.size()) {
        const char letter = LowerAscii(Line[radix]);
        const auto digits = letter == 'h' ? IsHexDigit : letter == 'o' ? IsOctalDigit : nullptr;
        if (digits != nullptr && digits(Line[radix + 1])) {
            Pos = RunEnd(Line, radix + 1, digits);
            if (Pos < Line.size() && Line[Pos] == '&') {
                ++Pos;
            }
            return TTokenType::Number;
        }
    }
    ++Pos;
    return TTokenType::Symbol;
}

// A date between "#"s or a name between brackets, on one line; without its Close, a fault and the
// opening character alone.
TTokenType ScriptLexer::ScanEnclosed(std::string_view Line, std::size_t& Pos, char Close,
                                     TLexFault Open, TTokenType Type) {
    const std::size_t close = Line.find(Close, Pos + 1);
    if (close == std::string_view::npos) {
        Report(Pos, Open);
        ++Pos;
        return TTokenType::Symbol;
    }
    Pos = close + 1;
    return Type;
}

void ScriptLexer::ScanString(std::string_view Line, std::size_t& Pos) {
    const TQuotedEnd end = QuotedStringEnd(Line.substr(Pos + 1), '"');
    if (!end.Closed) {
        Report(Pos, TLexFault::OpenString);
        FLineOpensString = true;
    }
    Pos += 1 + end.Length;
}

void ScriptLexer::Report(std::size_t Column, TLexFault Fault) {
    FListener.Fault(static_cast<int>(FLine), static_cast<int>(Column), Fault);
}

} // namespace kst
