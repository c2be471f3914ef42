#include "tools/script_lexer.h"

#include "core/cp932.h"
#include "fountain/quoted_string.h"
#include "tools/script_text.h"

#include <algorithm>
#include <array>

namespace kst {

namespace {

char LowerAscii(char Byte) {
    return Byte >= 'A' && Byte <= 'Z' ? static_cast<char>(Byte - 'A' + 'a') : Byte;
}

// What a byte is to the reader of a line.
enum class TByteClass : std::uint8_t {
    Blank, // 0x00-0x20
    Letter,
    // Digits, "_", and single-byte characters from 0x80 on: they continue a name.
    NamePart,
    // The first byte of a double-byte character, which continues a name too.
    Lead,
    Quote,
    Comment,
    Colon,
    Symbol
};

constexpr std::array<TByteClass, 256> kByteClasses = [] {
    std::array<TByteClass, 256> classes{};
    for (std::size_t byte = 0; byte < classes.size(); ++byte) {
        const auto c = static_cast<char>(byte);
        if (IsBlank(c)) {
            classes[byte] = TByteClass::Blank;
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            classes[byte] = TByteClass::Letter;
        } else if (IsLeadByte(c)) {
            classes[byte] = TByteClass::Lead;
        } else if ((c >= '0' && c <= '9') || c == '_' || byte >= 0x80) {
            classes[byte] = TByteClass::NamePart;
        } else {
            classes[byte] = c == '"'            ? TByteClass::Quote
                            : c == kCommentMark ? TByteClass::Comment
                            : c == ':'          ? TByteClass::Colon
                                                : TByteClass::Symbol;
        }
    }
    return classes;
}();

TByteClass ClassOf(char Byte) {
    return kByteClasses[static_cast<unsigned char>(Byte)];
}

bool IsNameByte(char Byte) {
    const TByteClass byteClass = ClassOf(Byte);
    return byteClass == TByteClass::Letter || byteClass == TByteClass::NamePart ||
           byteClass == TByteClass::Lead;
}

// Just past the run of name characters of Line from Pos on.
std::size_t NameEnd(std::string_view Line, std::size_t Pos) {
    while (Pos < Line.size()) {
        const TByteClass byteClass = ClassOf(Line[Pos]);
        if (byteClass == TByteClass::Lead) {
            Pos += Pos + 1 < Line.size() ? 2 : 1;
        } else if (byteClass == TByteClass::Letter || byteClass == TByteClass::NamePart) {
            ++Pos;
        } else {
            break;
        }
    }
    return Pos;
}

} // namespace

bool SameWord(std::string_view Text, std::string_view Word) {
    return Text.size() == Word.size() &&
           std::equal(Text.begin(), Text.end(), Word.begin(),
                      [](char A, char B) { return LowerAscii(A) == B; });
}

ScriptLexer::ScriptLexer(std::span<const std::string_view> Lines, Listener& Listener)
    : FLines(Lines), FListener(Listener) {
    if (!Lines.empty()) {
        StartLine(false);
    }
}

std::string_view ScriptLexer::TextOf(const TToken& Token) const {
    return FLines[static_cast<std::size_t>(Token.Line)].substr(
        static_cast<std::size_t>(Token.Column), static_cast<std::size_t>(Token.Length));
}

void ScriptLexer::StartLine(bool Continuation) {
    FPos = 0;
    FLineIsContinuation = Continuation;
    FLineHasTokens = false;
    FLineOpensString = false;
    if (!Continuation) {
        FAtStatementStart = true;
    }
}

bool ScriptLexer::NextLine(bool Continuation) {
    TLineContent content = TLineContent::Statements;
    if (FLineOpensString) {
        content = TLineContent::OpenString;
    } else if (!FLineHasTokens) {
        content = TrimBlanks(FLines[FLine]).empty() ? TLineContent::Blank : TLineContent::Comment;
    } else if (FLineIsContinuation) {
        content = TLineContent::Continuation;
    }
    FListener.LineLeft(static_cast<int>(FLine), content);
    if (++FLine == FLines.size()) {
        return false;
    }
    StartLine(Continuation);
    return true;
}

TToken ScriptLexer::Next() {
    if (FLineEnded) {
        FLineEnded = false;
        if (!NextLine(false)) {
            return {};
        }
    }
    while (FLine < FLines.size()) {
        const std::string_view line = FLines[FLine];
        std::size_t pos = FPos;
        while (pos < line.size() && ClassOf(line[pos]) == TByteClass::Blank) {
            ++pos;
        }
        if (pos == line.size()) {
            FPos = pos;
            if (!FContinued) {
                FLineEnded = true;
                return {TTokenType::End, static_cast<int>(FLine), static_cast<int>(pos), 0};
            }
            FContinued = false;
            if (!NextLine(true)) {
                break;
            }
            continue;
        }
        const std::size_t start = pos;
        const TTokenType type = Scan(line, pos);
        if (pos == start) {
            // A comment or a continuation mark: nothing more on this line.
            FPos = line.size();
            continue;
        }
        FPos = pos;
        FLineHasTokens = true;
        FAtStatementStart = type == TTokenType::Separator;
        return {type, static_cast<int>(FLine), static_cast<int>(start),
                static_cast<int>(pos - start)};
    }
    return {};
}

// Scans the token of Line at Pos, moving Pos past it, and answers its type. Pos stays at a comment
// and at a "_" that continues the statement on the next line (FContinued).
TTokenType ScriptLexer::Scan(std::string_view Line, std::size_t& Pos) {
    const std::size_t start = Pos;
    switch (ClassOf(Line[Pos])) {
    case TByteClass::Comment:
        return TTokenType::Other;
    case TByteClass::Quote:
        ScanString(Line, Pos);
        return TTokenType::Other;
    case TByteClass::Colon:
        ++Pos;
        return TTokenType::Separator;
    case TByteClass::Letter:
        Pos = NameEnd(Line, Pos);
        if (FAtStatementStart && SameWord(Line.substr(start, Pos - start), "rem")) {
            Pos = start;
        }
        return TTokenType::Word;
    case TByteClass::Symbol:
    case TByteClass::Blank:
        ++Pos;
        return TTokenType::Other;
    case TByteClass::NamePart:
    case TByteClass::Lead:
        break;
    }
    if (Line[Pos] == '_' && (Pos == 0 || !IsNameByte(Line[Pos - 1])) &&
        TrimBlanks(Line.substr(Pos + 1)).empty()) {
        FContinued = true;
        return TTokenType::Other;
    }
    Pos = NameEnd(Line, Pos);
    return TTokenType::Other;
}

void ScriptLexer::ScanString(std::string_view Line, std::size_t& Pos) {
    const TQuotedEnd end = QuotedStringEnd(Line.substr(Pos + 1), '"');
    if (!end.Closed) {
        FListener.StringLeftOpen(static_cast<int>(FLine), static_cast<int>(Pos));
        FLineOpensString = true;
    }
    Pos += 1 + end.Length;
}

} // namespace kst
