#include "core/errors.h"
#include "lists/string_list.h"

namespace kst {

namespace {

// A packed field: Width bits from bit Shift of the item's attribute word or mark word, holding the
// value plus Bias.
struct Field {
    bool InMarkWord;
    int Shift;
    int Width;
    int Bias = 0;

    std::uint32_t Mask() const { return ((1u << Width) - 1u) << Shift; }
    int Read(std::uint32_t Word) const { return static_cast<int>((Word & Mask()) >> Shift) - Bias; }
    std::uint32_t Write(std::uint32_t Word, int Value) const {
        return (Word & ~Mask()) | ((static_cast<std::uint32_t>(Value + Bias) << Shift) & Mask());
    }
};

constexpr bool kAttr = false;
constexpr bool kMark = true;
constexpr Field kRowAttribute{kAttr, 0, 2};
constexpr Field kPrevRowAttribute{kAttr, 2, 2};
constexpr Field kBracketIndex{kAttr, 4, 4, 2};
constexpr Field kParserValue1{kAttr, 8, 8};
constexpr Field kWrappedBytes{kAttr, 16, 8};
constexpr Field kParserValue2{kAttr, 24, 8};
constexpr Field kWrappedToken{kMark, 0, 8};
constexpr Field kParserValue3{kMark, 8, 8};
constexpr Field kRowMarks{kMark, 16, 16};

bool EndsLine(std::uint32_t AttrWord) {
    return kRowAttribute.Read(AttrWord) != raWrap;
}

template <class T>
T ReadField(const TheStringList& Rows, int Index, Field F) {
    return static_cast<T>(F.Read(F.InMarkWord ? Rows.GetMarkWord(Index) : Rows.GetAttrWord(Index)));
}

template <class T>
void WriteField(TheStringList& Rows, int Index, Field F, T Value) {
    const int value = static_cast<int>(Value);
    if (F.InMarkWord) {
        Rows.SetMarkWord(Index, F.Write(Rows.GetMarkWord(Index), value));
    } else {
        Rows.SetAttrWord(Index, F.Write(Rows.GetAttrWord(Index), value));
    }
}

} // namespace

// The accessor pairs: type, name and field.
#define KST_ROW_FIELDS(FIELD)                                                                      \
    FIELD(TRowAttribute, RowAttribute, kRowAttribute)                                              \
    FIELD(TRowAttribute, PrevRowAttribute, kPrevRowAttribute)                                      \
    FIELD(int, BracketIndex, kBracketIndex)                                                        \
    FIELD(int, ParserValue1, kParserValue1)                                                        \
    FIELD(int, WrappedBytes, kWrappedBytes)                                                        \
    FIELD(int, ParserValue2, kParserValue2)                                                        \
    FIELD(int, WrappedToken, kWrappedToken)                                                        \
    FIELD(int, ParserValue3, kParserValue3)                                                        \
    FIELD(std::uint16_t, RowMarks, kRowMarks)

#define KST_ROW_FIELD_ACCESSORS(Type, Name, FieldName)                                             \
    Type TRowAttributeStringList::Get##Name(int Index) const {                                     \
        return ReadField<Type>(*this, Index, FieldName);                                           \
    }                                                                                              \
    void TRowAttributeStringList::Set##Name(int Index, Type Value) {                               \
        WriteField(*this, Index, FieldName, Value);                                                \
    }

KST_ROW_FIELDS(KST_ROW_FIELD_ACCESSORS)
#undef KST_ROW_FIELD_ACCESSORS
#undef KST_ROW_FIELDS

TRowAttributeData TRowAttributeStringList::GetRowData(int Index) const {
    const TheStringItem item = GetItem(Index);
    const std::uint32_t attr = item.AttrWord;
    const std::uint32_t mark = item.MarkWord;
    TRowAttributeData data;
    data.RowAttribute = static_cast<std::uint8_t>(kRowAttribute.Read(attr));
    data.PrevRowAttribute = static_cast<std::uint8_t>(kPrevRowAttribute.Read(attr));
    data.BracketIndex = kBracketIndex.Read(attr);
    data.ParserValue1 = kParserValue1.Read(attr);
    data.WrappedBytes = kWrappedBytes.Read(attr);
    data.ParserValue2 = kParserValue2.Read(attr);
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
    attr = kBracketIndex.Write(attr, Data.BracketIndex);
    attr = kParserValue1.Write(attr, Data.ParserValue1);
    attr = kWrappedBytes.Write(attr, Data.WrappedBytes);
    attr = kParserValue2.Write(attr, Data.ParserValue2);
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
        TextsChanged();
    }
}

void TRowAttributeStringList::ItemsCleared() {
    FLineEnds.Clear();
}

} // namespace kst
