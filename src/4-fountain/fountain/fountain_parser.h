// The colouring tokenizer: cuts a row of code page 932 text into tokens, and carries its state
// from row to row (bracket regions, tokens cut by word wrap).
#pragma once

#include "fountain/token_kind.h"
#include "lists/row_attribute.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kst {

class TFountain;
class TFountainBracketItem;
class TFountainColor;
class TRowAttributeStringList;

class TFountainParser {
public:
    // Raises when Fountain is null. The fountain must outlive the parser.
    explicit TFountainParser(TFountain* Fountain);
    TFountainParser(const TFountainParser&) = delete;
    TFountainParser& operator=(const TFountainParser&) = delete;
    virtual ~TFountainParser() = default;

    // Starts reading Text (which must stay alive while tokens are read) from start state State.
    // Text ends at its length; a zero byte inside it is an ordinary byte.
    virtual void BeginRow(std::string_view Text, const TRowAttributeData& State);
    // The next token's kind; tokEndOfRow when the text has no further token.
    virtual TTokenKind ReadToken();
    // Turns State, the start state of row RowIndex of Rows, into the start state of the next row.
    // The caller then sets RowAttribute and PrevRowAttribute.
    virtual void AdvanceRowState(int RowIndex, const TRowAttributeStringList& Rows,
                                 TRowAttributeData& State);
    // The colour to draw the current token in; null for plain text.
    virtual const TFountainColor* TokenColor() const = 0;
    // Whether the current token's text is a reserved word of the fountain (never for a token that
    // continues a cut one, nor for the end, brackets and comments).
    virtual bool TokenIsReserved() const;

    int TokenStart() const { return static_cast<int>(FTokenStart - FBufferStart); }
    int TokenSize() const { return static_cast<int>(FScan - FTokenStart); }
    std::string_view TokenView() const {
        return {FTokenStart, static_cast<std::size_t>(FScan - FTokenStart)};
    }
    std::string TokenText() const { return std::string(TokenView()); }
    TTokenKind TokenKind() const { return FTokenKind; }
    // Where the tokens read so far end, and the state to read on from there: BeginRow on the rest
    // of the text from ReadState reads the tokens that reading on would, so that a long row can be
    // read again from a point already passed.
    std::size_t ReadOffset() const { return static_cast<std::size_t>(FPosition - FBufferStart); }
    TRowAttributeData ReadState() const;
    // The bracket item of the last tokBracket token, -2 before any.
    int TokenBracketIndex() const { return FTokenBracketIndex; }
    int BracketIndex() const { return FBracketIndex; }

protected:
    using TScanner = void (TFountainParser::*)();

    struct TNoFountain {};
    // For parsers that only delimit tokens.
    explicit TFountainParser(TNoFountain) {}

    // Fills the first-byte and continuation tables; entries call the virtual scanners, so
    // overrides take effect. Runs once, before the first row.
    virtual void BuildTables();
    virtual void SkipSpace();
    virtual bool MatchLeftBracket();
    virtual void ScanBracket();
    virtual bool MatchMail();
    virtual void ScanMail();
    virtual bool MatchUrl();
    virtual void ScanUrl();
    virtual void ScanReservedContinuation();
    virtual void ScanTab();
    virtual void ScanLineFeed();
    virtual void ScanCarriageReturn();
    virtual void ScanComment();
    virtual void ScanHexDigits();
    virtual void ScanNumber();
    virtual void ScanAnkWord();
    virtual void ScanWideSymbol();
    virtual void ScanWideWord();
    virtual void ScanKanji();
    virtual void ScanNarrowKanaSymbol();
    virtual void ScanNarrowKana();
    virtual void ScanSymbol();
    virtual void ScanSingleQuoted();
    virtual void ScanDoubleQuoted();
    virtual void ContinueWrappedToken();
    virtual void StartToken();
    virtual void MarkReservedKind(TTokenKind& Kind) const;
    // Kinds whose cut tokens are continued by scanning rather than by a byte count.
    virtual TTokenKinds NoCarryKinds() const;
    virtual TTokenKinds CommentKinds() const;

    // The byte Ahead bytes after the scan pointer, or -1 beyond the end of the text.
    int Peek(std::ptrdiff_t Ahead = 0) const {
        return FScan + Ahead < FEnd ? static_cast<unsigned char>(FScan[Ahead]) : -1;
    }
    // At the end of the text, or at a CR or LF.
    bool AtLineEnd() const { return FScan >= FEnd || *FScan == '\n' || *FScan == '\r'; }
    void SkipDigits();
    void SkipHexDigits();
    // Steps over one character: two bytes for a lead byte that has a byte after it.
    void StepChar();
    // Whether the text at the scan pointer begins with S (exactly); steps over it when it does.
    bool SkipText(std::string_view S);
    // Steps over the rest of a string quoted by Quote, up to its closing quote or the line end;
    // a doubled quote stands for one and does not close the string.
    void ScanToClosingQuote(char Quote);

    std::array<TScanner, 256> FFirstByteTable{};
    std::array<TScanner, 256> FContinuationTable{};
    const char* FScan = nullptr;
    TTokenKind FTokenKind = tokEndOfRow;
    bool FContinuation = false;
    int FBracketIndex = -1;

    // The bracket item at Index; null when there is none.
    const TFountainBracketItem* BracketItem(int Index) const;

private:
    void FillFirstByteTable();
    void FillContinuationTable();
    // Carries the current token, cut by the wrap at RowLength, into State, the next row's start.
    void CarryCutToken(TRowAttributeData& State, TTokenKind Kind, int OpenBracket, int RowLength,
                       int TextLength, bool NextRowEndsLine) const;

    const char* FBufferStart = nullptr;
    const char* FEnd = nullptr;
    std::string FParseString;
    int FTokenBracketIndex = -2;
    std::int32_t FParserValue1 = 0;
    TFountain* FFountain = nullptr;
    bool FTablesBuilt = false;
    std::uint8_t FPrevRowAttribute = raLineBreak;
    std::uint8_t FParserValue3 = 0;
    std::int32_t FParserValue2 = 0;
    std::uint8_t FRowAttribute = raLineBreak;
    const char* FPosition = nullptr;
    std::uint8_t FWrappedToken = 0;
    const char* FTokenStart = nullptr;
    std::int32_t FWrappedBytes = 0;
    // Row i and row i+1 joined, when row i is wrapped.
    std::string FJoinedRows;
};

// Delimits tokens without a fountain: no brackets, no reserved words, no colours.
class TTokenParser : public TFountainParser {
public:
    TTokenParser() : TFountainParser(TNoFountain{}) {}

    const TFountainColor* TokenColor() const override { return nullptr; }
};

} // namespace kst
