#include "core/errors.h"
#include "lists/string_list.h"

namespace kst {

namespace {

// A packed field: Width bits from bit Shift of one of the item's two words.
struct Field {
    int Shift;
    int Width;

    std::uint32_t Mask() const { return ((1u << Width) - 1u) << Shift; }
    std::uint32_t Read(std::uint32_t Word) const { return (Word & Mask()) >> Shift; }
    std::uint32_t Write(std::uint32_t Word, std::uint32_t Value) const {
        return (Word & ~Mask()) | ((Value << Shift) & Mask());
    }
};

// AttrWord
constexpr Field kRowAttribute{0, 2};
constexpr Field kPrevRowAttribute{2, 2};
constexpr Field kBracketIndex{4, 4}; // stored as value + 2
constexpr Field kParserValue1{8, 8};
constexpr Field kWrappedBytes{16, 8};
constexpr Field kParserValue2{24, 8};
// MarkWord
constexpr Field kWrappedToken{0, 8};
constexpr Field kParserValue3{8, 8};
constexpr Field kRowMarks{16, 16};

constexpr int kBracketIndexBias = 2;

bool EndsLine(std::uint32_t AttrWord) {
    return kRowAttribute.Read(AttrWord) != raWrap;
}

std::uint32_t ReadAttr(const TheStringList& Rows, int Index, Field F) {
    return F.Read(Rows.GetAttrWord(Index));
}

void WriteAttr(TheStringList& Rows, int Index, Field F, std::uint32_t Value) {
    Rows.SetAttrWord(Index, F.Write(Rows.GetAttrWord(Index), Value));
}

std::uint32_t ReadMark(const TheStringList& Rows, int Index, Field F) {
    return F.Read(Rows.GetMarkWord(Index));
}

void WriteMark(TheStringList& Rows, int Index, Field F, std::uint32_t Value) {
    Rows.SetMarkWord(Index, F.Write(Rows.GetMarkWord(Index), Value));
}

} // namespace

TRowAttribute TRowAttributeStringList::GetRowAttribute(int Index) const {
    return static_cast<TRowAttribute>(ReadAttr(*this, Index, kRowAttribute));
}

void TRowAttributeStringList::SetRowAttribute(int Index, TRowAttribute Value) {
    WriteAttr(*this, Index, kRowAttribute, static_cast<std::uint32_t>(Value));
}

TRowAttribute TRowAttributeStringList::GetPrevRowAttribute(int Index) const {
    return static_cast<TRowAttribute>(ReadAttr(*this, Index, kPrevRowAttribute));
}

void TRowAttributeStringList::SetPrevRowAttribute(int Index, TRowAttribute Value) {
    WriteAttr(*this, Index, kPrevRowAttribute, static_cast<std::uint32_t>(Value));
}

int TRowAttributeStringList::GetParserValue1(int Index) const {
    return static_cast<int>(ReadAttr(*this, Index, kParserValue1));
}

void TRowAttributeStringList::SetParserValue1(int Index, int Value) {
    WriteAttr(*this, Index, kParserValue1, static_cast<std::uint32_t>(Value));
}

int TRowAttributeStringList::GetWrappedBytes(int Index) const {
    return static_cast<int>(ReadAttr(*this, Index, kWrappedBytes));
}

void TRowAttributeStringList::SetWrappedBytes(int Index, int Value) {
    WriteAttr(*this, Index, kWrappedBytes, static_cast<std::uint32_t>(Value));
}

int TRowAttributeStringList::GetParserValue2(int Index) const {
    return static_cast<int>(ReadAttr(*this, Index, kParserValue2));
}

void TRowAttributeStringList::SetParserValue2(int Index, int Value) {
    WriteAttr(*this, Index, kParserValue2, static_cast<std::uint32_t>(Value));
}

int TRowAttributeStringList::GetWrappedToken(int Index) const {
    return static_cast<int>(ReadMark(*this, Index, kWrappedToken));
}

void TRowAttributeStringList::SetWrappedToken(int Index, int Value) {
    WriteMark(*this, Index, kWrappedToken, static_cast<std::uint32_t>(Value));
}

int TRowAttributeStringList::GetParserValue3(int Index) const {
    return static_cast<int>(ReadMark(*this, Index, kParserValue3));
}

void TRowAttributeStringList::SetParserValue3(int Index, int Value) {
    WriteMark(*this, Index, kParserValue3, static_cast<std::uint32_t>(Value));
}

std::uint16_t TRowAttributeStringList::GetRowMarks(int Index) const {
    return static_cast<std::uint16_t>(ReadMark(*this, Index, kRowMarks));
}

void TRowAttributeStringList::SetRowMarks(int Index, std::uint16_t Value) {
    WriteMark(*this, Index, kRowMarks, static_cast<std::uint32_t>(Value));
}

int TRowAttributeStringList::GetBracketIndex(int Index) const {
    return static_cast<int>(ReadAttr(*this, Index, kBracketIndex)) - kBracketIndexBias;
}

void TRowAttributeStringList::SetBracketIndex(int Index, int Value) {
    WriteAttr(*this, Index, kBracketIndex, static_cast<std::uint32_t>(Value + kBracketIndexBias));
}

TRowAttributeData TRowAttributeStringList::GetRowData(int Index) const {
    const TheStringItem item = GetItem(Index);
    const std::uint32_t attr = item.AttrWord;
    const std::uint32_t mark = item.MarkWord;
    TRowAttributeData data;
    data.RowAttribute = static_cast<std::uint8_t>(kRowAttribute.Read(attr));
    data.PrevRowAttribute = static_cast<std::uint8_t>(kPrevRowAttribute.Read(attr));
    data.BracketIndex = static_cast<int>(kBracketIndex.Read(attr)) - kBracketIndexBias;
    data.ParserValue1 = static_cast<int>(kParserValue1.Read(attr));
    data.WrappedBytes = static_cast<int>(kWrappedBytes.Read(attr));
    data.ParserValue2 = static_cast<int>(kParserValue2.Read(attr));
    data.WrappedToken = static_cast<std::uint8_t>(kWrappedToken.Read(mark));
    data.ParserValue3 = static_cast<std::uint8_t>(kParserValue3.Read(mark));
    if (item.ParseSlot != 0) {
        data.ParseString = GetParseString(Index);
    }
    return data;
}

void TRowAttributeStringList::SetStartState(int Index, const TRowAttributeData& Data) {
    const TheStringItem item = GetItem(Index);
    std::uint32_t attr = item.AttrWord;
    attr = kPrevRowAttribute.Write(attr, Data.PrevRowAttribute);
    attr = kBracketIndex.Write(attr,
                               static_cast<std::uint32_t>(Data.BracketIndex + kBracketIndexBias));
    attr = kParserValue1.Write(attr, static_cast<std::uint32_t>(Data.ParserValue1));
    attr = kWrappedBytes.Write(attr, static_cast<std::uint32_t>(Data.WrappedBytes));
    attr = kParserValue2.Write(attr, static_cast<std::uint32_t>(Data.ParserValue2));
    std::uint32_t mark = item.MarkWord;
    mark = kWrappedToken.Write(mark, Data.WrappedToken);
    mark = kParserValue3.Write(mark, Data.ParserValue3);
    SetWords(Index, attr, mark);
    if (item.ParseSlot != 0 || !Data.ParseString.empty()) {
        SetParseString(Index, Data.ParseString);
    }
}

int TRowAttributeStringList::LineCount() const {
    const int count = GetCount();
    const bool lastRowWraps = count > 0 && GetRowAttribute(count - 1) == raWrap;
    return FLineEnds.LineEndCount() + (lastRowWraps ? 1 : 0);
}

int TRowAttributeStringList::LineOfRow(int Row) const {
    if (Row < 0 || Row > GetCount()) {
        RaiseListIndexError();
    }
    return FLineEnds.LineEndsBefore(Row);
}

int TRowAttributeStringList::LineFirstRow(int Line) const {
    if (Line < 0 || Line >= LineCount()) {
        RaiseListIndexError();
    }
    return Line == 0 ? 0 : FLineEnds.LineEndRow(Line - 1) + 1;
}

int TRowAttributeStringList::LineStartRow(int Row) const {
    CheckIndex(Row);
    return FLineEnds.LineStart(Row);
}

int TRowAttributeStringList::LineEndRow(int Row) const {
    CheckIndex(Row);
    return FLineEnds.LineEnd(Row);
}

void TRowAttributeStringList::ItemsInserted(int Index, int Count) {
    FLineEnds.RowsInserted(Index, Count);
}

void TRowAttributeStringList::ItemsDeleted(int Index, int Count) {
    FLineEnds.RowsDeleted(Index, Count);
}

void TRowAttributeStringList::AttrWordChanged(int Index, std::uint32_t OldWord,
                                              std::uint32_t NewWord) {
    if (EndsLine(OldWord) != EndsLine(NewWord)) {
        FLineEnds.SetLineEnd(Index, EndsLine(NewWord));
    }
}

void TRowAttributeStringList::ItemsCleared() {
    FLineEnds.Clear();
}

} // namespace kst
