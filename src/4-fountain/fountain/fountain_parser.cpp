#include "fountain/fountain_parser.h"

#include "core/code_page.h"
#include "core/errors.h"
#include "core/quoted_string.h"
#include "fountain/fountain.h"
#include "lists/string_list.h"

#include <algorithm>
#include <cstring>

namespace kst {

namespace {

using TByteClass = std::array<bool, 256>;

constexpr TByteClass ByteClass(std::string_view Members) {
    TByteClass table{};
    for (char c : Members) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}

constexpr std::string_view kDigitChars = "0123456789";
constexpr std::string_view kUpperChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kLowerChars = "abcdefghijklmnopqrstuvwxyz";

constexpr TByteClass Union(const TByteClass& A, const TByteClass& B) {
    TByteClass table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = A[i] || B[i];
    }
    return table;
}

constexpr TByteClass kDigits = ByteClass(kDigitChars);
constexpr TByteClass kLetters = Union(ByteClass(kUpperChars), ByteClass(kLowerChars));
constexpr TByteClass kAnkWordChars = Union(Union(kDigits, kLetters), ByteClass("_"));
constexpr TByteClass kHexDigits = Union(kDigits, ByteClass("ABCDEFabcdef"));
constexpr TByteClass kUrlChars = Union(Union(kDigits, kLetters), ByteClass("#%&+-./:=?_~"));
constexpr TByteClass kMailChars = Union(Union(kDigits, kLetters), ByteClass("!$%&*,-./;=?@^_~"));

const char* SkipClass(const char* P, const char* End, const TByteClass& Members) {
    while (P < End && Members[static_cast<unsigned char>(*P)]) {
        ++P;
    }
    return P;
}

bool InRange(int B, int First, int Last) {
    return B >= First && B <= Last;
}

bool IsKanjiLead(int B) {
    return InRange(B, 0x88, 0x9F) || InRange(B, 0xE0, 0xFC);
}

// Trail bytes after 0x82 that make a full-width symbol.
bool IsWideSymbolTrail82(int T) {
    return InRange(T, 0x40, 0x4E) || InRange(T, 0x59, 0x5F) || InRange(T, 0x7A, 0x80) ||
           InRange(T, 0x9B, 0x9E) || InRange(T, 0xF2, 0xFF);
}

bool IsWideLetterTrail(int T) {
    return InRange(T, 0x60, 0x79) || InRange(T, 0x81, 0x9A);
}

const char* const kNoFountainError = "TFountainParser.Create need instance of TFountain";

} // namespace

TFountainParser::TFountainParser(TFountain* Fountain) : FFountain(Fountain) {
    if (Fountain == nullptr) {
        throw Exception(kNoFountainError);
    }
}

void TFountainParser::BuildTables() {
    FillFirstByteTable();
    FillContinuationTable();
}

void TFountainParser::FillFirstByteTable() {
    auto set = [this](int First, int Last, TScanner Scanner) {
        for (int b = First; b <= Last; ++b) {
            FFirstByteTable[static_cast<std::size_t>(b)] = Scanner;
        }
    };
    // A zero byte inside a row is text like any other byte: the text ends at its length.
    set(0x00, 0xFF, &TFountainParser::ScanSymbol);
    set(0x09, 0x09, &TFountainParser::ScanTab);
    set(0x0A, 0x0A, &TFountainParser::ScanLineFeed);
    set(0x0D, 0x0D, &TFountainParser::ScanCarriageReturn);
    set('0', '9', &TFountainParser::ScanNumber);
    set('A', 'Z', &TFountainParser::ScanAnkWord);
    set('_', '_', &TFountainParser::ScanAnkWord);
    set('a', 'z', &TFountainParser::ScanAnkWord);
    set(0x81, 0x81, &TFountainParser::ScanWideSymbol);
    set(0x84, 0x87, &TFountainParser::ScanWideSymbol);
    set(0x82, 0x83, &TFountainParser::ScanWideWord);
    set(0x88, 0x9F, &TFountainParser::ScanKanji);
    set(0xE0, 0xFC, &TFountainParser::ScanKanji);
    set(0xA1, 0xA5, &TFountainParser::ScanNarrowKanaSymbol);
    set(0xA6, 0xDF, &TFountainParser::ScanNarrowKana);
}

void TFountainParser::FillContinuationTable() {
    FContinuationTable.fill(&TFountainParser::ScanSymbol);
    auto set = [this](TTokenKind Kind, TScanner Scanner) { FContinuationTable[Kind] = Scanner; };
    set(tokInteger, &TFountainParser::ScanNumber);
    set(tokFloat, &TFountainParser::ScanNumber);
    set(tokBracket, &TFountainParser::ScanBracket);
    set(tokComment, &TFountainParser::ScanComment);
    set(tokReserved, &TFountainParser::ScanReservedContinuation);
    set(tokAnkWord, &TFountainParser::ScanAnkWord);
    set(tokWideSymbol, &TFountainParser::ScanWideSymbol);
    set(tokWideDigits, &TFountainParser::ScanWideWord);
    set(tokWideLetters, &TFountainParser::ScanWideWord);
    set(tokHiragana, &TFountainParser::ScanWideWord);
    set(tokKatakana, &TFountainParser::ScanWideWord);
    set(tokKanji, &TFountainParser::ScanKanji);
    set(tokNarrowKanaSymbol, &TFountainParser::ScanNarrowKanaSymbol);
    set(tokNarrowKana, &TFountainParser::ScanNarrowKana);
    set(tokUrl, &TFountainParser::ScanUrl);
    set(tokMail, &TFountainParser::ScanMail);
    set(tokHexNumber, &TFountainParser::ScanHexDigits);
    set(tokSingleQuoted, &TFountainParser::ScanSingleQuoted);
    set(tokDoubleQuoted, &TFountainParser::ScanDoubleQuoted);
}

void TFountainParser::BeginRow(std::string_view Text, const TRowAttributeData& State) {
    if (!FTablesBuilt) {
        BuildTables();
        FTablesBuilt = true;
    }
    FBufferStart = Text.data();
    FEnd = Text.data() + Text.size();
    FPosition = FTokenStart = FScan = FBufferStart;
    FTokenKind = tokEndOfRow;
    FContinuation = false;
    FTokenBracketIndex = -2;
    FRowAttribute = State.RowAttribute;
    FPrevRowAttribute = State.PrevRowAttribute;
    FBracketIndex = State.BracketIndex;
    FParserValue1 = State.ParserValue1;
    FWrappedBytes = State.WrappedBytes;
    FParserValue2 = State.ParserValue2;
    FWrappedToken = State.WrappedToken;
    FParserValue3 = State.ParserValue3;
    FParseString = State.ParseString;
}

TRowAttributeData TFountainParser::ReadState() const {
    return {FRowAttribute, FPrevRowAttribute, FBracketIndex, FParserValue1, FWrappedBytes,
            FParserValue2, FWrappedToken,     FParserValue3, FParseString};
}

TTokenKind TFountainParser::ReadToken() {
    SkipSpace();
    FScan = FTokenStart = FPosition;
    FContinuation = FWrappedToken != 0;
    if (AtLineEnd()) {
        FTokenKind = tokEndOfRow;
    } else if (FWrappedToken != 0) {
        ContinueWrappedToken();
    } else if (FBracketIndex > -1) {
        ScanBracket();
    } else {
        StartToken();
    }
    FPosition = FScan;
    return FTokenKind;
}

void TFountainParser::SkipSpace() {
    while (FPosition < FEnd) {
        const auto b = static_cast<unsigned char>(*FPosition);
        if (b == 0x00 || b == 0x09 || b > 0x20) {
            return;
        }
        ++FPosition;
    }
}

void TFountainParser::StartToken() {
    if (FBracketIndex == -1 && MatchLeftBracket()) {
        ScanBracket();
    } else {
        (this->*FFirstByteTable[static_cast<unsigned char>(*FScan)])();
    }
}

void TFountainParser::ContinueWrappedToken() {
    if (FWrappedBytes > 0) {
        FTokenKind = static_cast<TTokenKind>(FWrappedToken);
        FScan += std::min<std::ptrdiff_t>(FWrappedBytes, FEnd - FScan);
        if (FTokenKind == tokBracket) {
            // The rest of a cut closing delimiter ends the region.
            FTokenBracketIndex = FBracketIndex;
            FBracketIndex = -1;
        }
    } else {
        (this->*FContinuationTable[FWrappedToken])();
    }
    FWrappedToken = 0;
    FWrappedBytes = 0;
}

const TFountainBracketItem* TFountainParser::BracketItem(int Index) const {
    if (FFountain == nullptr || Index < 0 || Index >= FFountain->GetBrackets().Count()) {
        return nullptr;
    }
    return FFountain->GetBrackets().Items(Index);
}

bool TFountainParser::MatchLeftBracket() {
    if (FFountain == nullptr) {
        return false;
    }
    const TFountainBracketCollection& brackets = FFountain->GetBrackets();
    for (int i = 0; i < brackets.Count(); ++i) {
        const TFountainBracketItem* item = brackets.Items(i);
        // A region that cannot close would swallow the rest of the text: such an item never opens.
        if (item->GetLeftBracket().empty() || item->GetRightBracket().empty()) {
            continue;
        }
        if (SkipText(item->GetLeftBracket())) {
            FBracketIndex = i;
            return true;
        }
    }
    return false;
}

void TFountainParser::ScanBracket() {
    const TFountainBracketItem* item = BracketItem(FBracketIndex);
    if (item == nullptr || item->GetRightBracket().empty()) {
        FTokenKind = tokEndOfRow;
        return;
    }
    FTokenKind = tokBracket;
    FTokenBracketIndex = FBracketIndex;
    while (!AtLineEnd()) {
        if (SkipText(item->GetRightBracket())) {
            FBracketIndex = -1;
            return;
        }
        StepChar();
    }
}

bool TFountainParser::MatchMail() {
    const int first = Peek();
    if (first < 0 || !kMailChars[static_cast<std::size_t>(first)] || first == '@') {
        return false;
    }
    bool atSeen = false;
    for (const char* p = FScan + 1; p < FEnd; ++p) {
        const auto b = static_cast<unsigned char>(*p);
        if (!kMailChars[b]) {
            return false;
        }
        if (b == '@') {
            atSeen = true;
        } else if (b == '.' && atSeen) {
            FScan = p + 1;
            return true;
        }
    }
    return false;
}

void TFountainParser::ScanMail() {
    FTokenKind = tokMail;
    FScan = SkipClass(FScan, FEnd, kMailChars);
}

bool TFountainParser::MatchUrl() {
    switch (Peek()) {
    case 'f':
        return SkipText("ftp:");
    case 'h':
        return SkipText("http:") || SkipText("https:");
    case 'w':
        return SkipText("www.");
    default:
        return false;
    }
}

void TFountainParser::ScanUrl() {
    FTokenKind = tokUrl;
    FScan = SkipClass(FScan, FEnd, kUrlChars);
}

void TFountainParser::ScanReservedContinuation() {
    (this->*FFirstByteTable[static_cast<unsigned char>(*FScan)])();
    FTokenKind = tokReserved;
}

void TFountainParser::ScanTab() {
    FTokenKind = tokTab;
    ++FScan;
}

void TFountainParser::ScanLineFeed() {
    FTokenKind = tokEndOfRow;
    ++FScan;
}

void TFountainParser::ScanCarriageReturn() {
    FTokenKind = tokEndOfRow;
    ++FScan;
    if (Peek() == '\n') {
        ++FScan;
    }
}

void TFountainParser::ScanComment() {
    FTokenKind = tokComment;
    while (!AtLineEnd()) {
        ++FScan;
    }
}

void TFountainParser::ScanHexDigits() {
    FTokenKind = tokHexNumber;
    SkipHexDigits();
}

void TFountainParser::SkipDigits() {
    FScan = SkipClass(FScan, FEnd, kDigits);
}

void TFountainParser::SkipHexDigits() {
    FScan = SkipClass(FScan, FEnd, kHexDigits);
}

void TFountainParser::ScanNumber() {
    auto isDigit = [](int B) { return InRange(B, '0', '9'); };
    auto isExponentMark = [](int B) { return B == 'E' || B == 'e'; };
    // The 'E' or 'e' stays in the token even when no digits follow.
    auto scanExponent = [&] {
        ++FScan;
        if (Peek() == '+' || Peek() == '-') {
            ++FScan;
        }
        SkipDigits();
    };
    FTokenKind = tokInteger;
    SkipDigits();
    if (Peek() == '.') {
        FTokenKind = tokFloat;
        ++FScan;
        if (isDigit(Peek())) {
            SkipDigits();
            if (isExponentMark(Peek())) {
                scanExponent();
            }
        } else if (isExponentMark(Peek())) {
            scanExponent();
        } else {
            --FScan;
        }
    } else if (isExponentMark(Peek())) {
        FTokenKind = tokFloat;
        scanExponent();
    }
}

void TFountainParser::ScanAnkWord() {
    FTokenKind = tokAnkWord;
    FScan = SkipClass(FScan, FEnd, kAnkWordChars);
}

void TFountainParser::ScanWideSymbol() {
    FTokenKind = tokWideSymbol;
    const int lead = Peek();
    const int trail = Peek(1);
    const bool isSymbol = lead == 0x81 || InRange(lead, 0x84, 0x87) ||
                          (lead == 0x83 && InRange(trail, 0x97, 0xF0)) ||
                          (lead == 0x82 && IsWideSymbolTrail82(trail));
    if (isSymbol) {
        StepChar();
    }
}

void TFountainParser::ScanWideWord() {
    const int lead = Peek();
    const int trail = Peek(1);
    ++FScan;
    // Steps over every following pair Lead Trail for which Accepts(Lead, Trail) holds.
    auto skipPairs = [this](auto Accepts) {
        while (FScan + 1 < FEnd && Accepts(static_cast<unsigned char>(FScan[0]),
                                           static_cast<unsigned char>(FScan[1]))) {
            FScan += 2;
        }
    };
    auto isProlongedMark = [](int L, int T) { return L == 0x81 && (T == 0x5B || T == 0x7C); };
    if (lead == 0x82 && InRange(trail, 0x4F, 0x58)) {
        FTokenKind = tokWideDigits;
        ++FScan;
        skipPairs([](int L, int T) {
            return (L == 0x82 && InRange(T, 0x4F, 0x58)) || (L == 0x81 && (T == 0x43 || T == 0x44));
        });
    } else if (lead == 0x82 && IsWideLetterTrail(trail)) {
        FTokenKind = tokWideLetters;
        ++FScan;
        skipPairs([](int L, int T) { return L == 0x82 && IsWideLetterTrail(T); });
    } else if (lead == 0x82 && InRange(trail, 0x9F, 0xF1)) {
        FTokenKind = tokHiragana;
        ++FScan;
        skipPairs([&](int L, int T) {
            return (L == 0x82 && InRange(T, 0x9F, 0xF1)) || isProlongedMark(L, T);
        });
    } else if (lead == 0x83 && InRange(trail, 0x40, 0x96)) {
        FTokenKind = tokKatakana;
        ++FScan;
        skipPairs([&](int L, int T) {
            return (L == 0x83 && InRange(T, 0x40, 0x96)) || isProlongedMark(L, T);
        });
    } else if ((lead == 0x82 && IsWideSymbolTrail82(trail)) ||
               (lead == 0x83 && InRange(trail, 0x97, 0xF0))) {
        FTokenKind = tokWideSymbol;
        ++FScan;
    } else {
        // No valid trail byte (or none at all): the lead byte alone.
        FTokenKind = tokSymbol;
    }
}

void TFountainParser::ScanKanji() {
    FTokenKind = tokKanji;
    while (IsKanjiLead(Peek())) {
        ++FScan;
        if (Peek() >= 0x40) {
            ++FScan;
        }
    }
}

void TFountainParser::ScanNarrowKanaSymbol() {
    FTokenKind = tokNarrowKanaSymbol;
    if (InRange(Peek(), 0xA1, 0xA5)) {
        ++FScan;
    }
}

void TFountainParser::ScanNarrowKana() {
    FTokenKind = tokNarrowKana;
    while (InRange(Peek(), 0xA6, 0xDF)) {
        ++FScan;
    }
}

void TFountainParser::ScanSymbol() {
    FTokenKind = tokSymbol;
    if (!AtLineEnd()) {
        ++FScan;
    }
}

void TFountainParser::ScanSingleQuoted() {
    FTokenKind = tokSingleQuoted;
    if (!FContinuation) {
        ++FScan;
    }
    ScanToClosingQuote('\'');
}

void TFountainParser::ScanDoubleQuoted() {
    FTokenKind = tokDoubleQuoted;
    if (!FContinuation) {
        ++FScan;
    }
    ScanToClosingQuote('"');
}

void TFountainParser::ScanToClosingQuote(char Quote) {
    FScan += QuotedStringEnd({FScan, static_cast<std::size_t>(FEnd - FScan)}, Quote).Length;
}

void TFountainParser::StepChar() {
    FScan += IsLeadByte(*FScan) && FScan + 1 < FEnd ? 2 : 1;
}

bool TFountainParser::SkipText(std::string_view S) {
    // The first byte decides most tries without a call.
    if (static_cast<std::size_t>(FEnd - FScan) < S.size() || (!S.empty() && *FScan != S[0]) ||
        std::memcmp(FScan, S.data(), S.size()) != 0) {
        return false;
    }
    FScan += S.size();
    return true;
}

bool TFountainParser::TokenIsReserved() const {
    if (FContinuation || FFountain == nullptr || FTokenKind == tokEndOfRow ||
        FTokenKind == tokBracket || FTokenKind == tokComment) {
        return false;
    }
    int index = 0;
    return FFountain->GetReserveWordList().Find(TokenView(), index);
}

void TFountainParser::MarkReservedKind(TTokenKind& Kind) const {
    if (TokenIsReserved()) {
        Kind = tokReserved;
    }
}

TTokenKinds TFountainParser::NoCarryKinds() const {
    TTokenKinds kinds;
    kinds.set(tokComment).set(tokSingleQuoted).set(tokDoubleQuoted);
    return kinds;
}

TTokenKinds TFountainParser::CommentKinds() const {
    return TTokenKinds().set(tokComment);
}

void TFountainParser::AdvanceRowState(int RowIndex, const TRowAttributeStringList& Rows,
                                      TRowAttributeData& State) {
    const bool rowIsWrapped = Rows.GetRowAttribute(RowIndex) == raWrap;
    if (CommentKinds().test(State.WrappedToken)) {
        // The comment runs on to the end of the line.
        if (!rowIsWrapped) {
            State.WrappedToken = 0;
        }
        State.WrappedBytes = 0;
        return;
    }
    std::string_view text = Rows.GetView(RowIndex);
    if (text.find_first_not_of(' ') == std::string_view::npos) {
        return;
    }
    const int rowLength = static_cast<int>(text.size());
    const bool hasNextRow = RowIndex + 1 < Rows.GetCount();
    if (rowIsWrapped && hasNextRow) {
        FJoinedRows.assign(text);
        FJoinedRows.append(Rows.GetView(RowIndex + 1));
        text = FJoinedRows;
    }
    int openBracket = State.BracketIndex;
    std::int32_t value1 = State.ParserValue1;
    TTokenKind lastKind = tokEndOfRow;
    bool leftOnToken = false;

    BeginRow(text, State);
    for (TTokenKind kind = ReadToken(); kind != tokEndOfRow; kind = ReadToken()) {
        lastKind = kind;
        State.BracketIndex = FBracketIndex;
        if (kind == tokBracket) {
            openBracket = FTokenBracketIndex;
        }
        value1 = FParserValue1;
        if (TokenStart() + TokenSize() > rowLength) {
            leftOnToken = true;
            break;
        }
        State.ParserValue1 = FParserValue1;
        State.ParserValue3 = FParserValue3;
    }
    State.WrappedBytes = 0;
    State.WrappedToken = 0;
    if (!leftOnToken) {
        return;
    }
    if (TokenStart() >= rowLength) {
        State.BracketIndex = -1;
        return;
    }
    // The last token is cut by the wrap.
    State.ParserValue1 = value1;
    const bool nextRowEndsLine = hasNextRow && Rows.GetRowAttribute(RowIndex + 1) != raWrap;
    CarryCutToken(State, lastKind, openBracket, rowLength, static_cast<int>(text.size()),
                  nextRowEndsLine);
}

void TFountainParser::CarryCutToken(TRowAttributeData& State, TTokenKind Kind, int OpenBracket,
                                    int RowLength, int TextLength, bool NextRowEndsLine) const {
    const int tokenEnd = TokenStart() + TokenSize();
    const int cut = tokenEnd - RowLength; // its bytes on the next row
    if (Kind == tokBracket) {
        if (State.BracketIndex == -1) {
            // The region closes on the next row, so it is still open where that row starts.
            State.BracketIndex = OpenBracket;
            const TFountainBracketItem* item = BracketItem(OpenBracket);
            if (item != nullptr && cut < static_cast<int>(item->GetRightBracket().size())) {
                State.WrappedToken = tokBracket;
                State.WrappedBytes = cut;
            }
        }
        return;
    }
    MarkReservedKind(Kind);
    State.WrappedToken = Kind;
    if (NoCarryKinds().test(Kind)) {
        return;
    }
    // A token that reaches the end of the text goes on further unless the next row ends its line.
    if (tokenEnd < TextLength || NextRowEndsLine) {
        State.WrappedBytes = cut;
    }
}

} // namespace kst
