#include "fountain/editor_parser.h"

#include "core/errors.h"
#include "fountain/editor_fountain.h"

#include <cstring>

namespace kst {

namespace {

const TEditorFountain& EditorFountainOf(TFountain* Fountain) {
    auto* editorFountain = dynamic_cast<TEditorFountain*>(Fountain);
    if (editorFountain == nullptr) {
        throw Exception("TEditorParser.Create need instance of TEditorFountain");
    }
    return *editorFountain;
}

int UpperAscii(int B) {
    return B >= 'a' && B <= 'z' ? B - ('a' - 'A') : B;
}

} // namespace

TEditorParser::TEditorParser(TFountain* Fountain)
    : TFountainParser(Fountain), FEditorFountain(EditorFountainOf(Fountain)) {}

void TEditorParser::BuildTables() {
    TFountainParser::BuildTables();
    FContinuationTable[tokQuoted] = static_cast<TScanner>(&TEditorParser::ScanQuoted);
    FContinuationTable[tokControlCode] = static_cast<TScanner>(&TEditorParser::ScanControlCode);
    FContinuationTable[tokHexControlCode] =
        static_cast<TScanner>(&TEditorParser::ScanHexControlCode);
}

TTokenKinds TEditorParser::NoCarryKinds() const {
    return TFountainParser::NoCarryKinds().set(tokQuoted);
}

void TEditorParser::StartToken() {
    if (FBracketIndex == -1 && MatchLeftBracket()) {
        ScanBracket();
    } else if (FEditorFountain.GetMail() && MatchMail()) {
        ScanMail();
    } else if (FEditorFountain.GetUrl() && MatchUrl()) {
        ScanUrl();
    } else if (MatchCommenter()) {
        ScanComment();
    } else if (MatchQuotation()) {
        ScanQuoted();
    } else if (MatchHexControlCode()) {
        ScanHexControlCode();
    } else if (MatchControlCode()) {
        ScanControlCode();
    } else if (MatchHexPrefix()) {
        ScanHexDigits();
    } else {
        (this->*FFirstByteTable[static_cast<unsigned char>(*FScan)])();
    }
}

bool TEditorParser::MatchCommenter() {
    const std::string& commenter = FEditorFountain.GetCommenter();
    return !commenter.empty() && SkipText(commenter);
}

bool TEditorParser::MatchQuotation() {
    const std::string& quotation = FEditorFountain.GetQuotation();
    if (quotation.empty() || Peek() != static_cast<unsigned char>(quotation[0])) {
        return false;
    }
    ++FScan;
    return true;
}

void TEditorParser::ScanQuoted() {
    const std::string& quotation = FEditorFountain.GetQuotation();
    if (quotation.empty()) {
        FTokenKind = tokEndOfRow;
        return;
    }
    FTokenKind = tokQuoted;
    ScanToClosingQuote(quotation[0]);
}

bool TEditorParser::MatchHexControlCode() {
    return FEditorFountain.GetControlCode() && SkipText("#$");
}

void TEditorParser::ScanHexControlCode() {
    FTokenKind = tokHexControlCode;
    SkipHexDigits();
}

bool TEditorParser::MatchControlCode() {
    return FEditorFountain.GetControlCode() && SkipText("#");
}

void TEditorParser::ScanControlCode() {
    FTokenKind = tokControlCode;
    SkipDigits();
}

bool TEditorParser::MatchHexPrefix() {
    const std::string& prefix = FEditorFountain.GetHexPrefix();
    if (prefix.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (UpperAscii(Peek(static_cast<std::ptrdiff_t>(i))) !=
            UpperAscii(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    FScan += prefix.size();
    return true;
}

const TFountainColor* TEditorParser::TokenColor() const {
    if (TokenIsReserved()) {
        return &FEditorFountain.GetReserve();
    }
    TEditorColors& colors = FEditorFountain.GetColors();
    switch (TokenKind()) {
    case tokSymbol:
        return &colors.GetSymbol();
    case tokInteger:
    case tokFloat:
    case tokHexNumber:
        return &colors.GetInt();
    case tokBracket: {
        const TFountainBracketItem* item = BracketItem(TokenBracketIndex());
        return item == nullptr ? nullptr : &item->GetItemColor();
    }
    case tokComment:
        return &colors.GetComment();
    case tokReserved:
        return &FEditorFountain.GetReserve();
    case tokAnkWord:
        return &colors.GetAnk();
    case tokWideSymbol:
    case tokWideDigits:
    case tokWideLetters:
    case tokHiragana:
    case tokKatakana:
    case tokKanji:
    case tokNarrowKanaSymbol:
    case tokNarrowKana:
        return &colors.GetDBCS();
    case tokUrl:
        return &colors.GetUrl();
    case tokMail:
        return &colors.GetMail();
    case tokQuoted:
    case tokControlCode:
    case tokHexControlCode:
        return &colors.GetStr();
    default:
        return nullptr;
    }
}

} // namespace kst
