// How the row list stores a row in 8 bytes. Almost every row of a loaded text has a short text in
// one of the first chunks, no marks, no free integer, no parse string and a plain start state
// (not computed, or computed outside brackets with nothing carried): such a row is packed whole
// into the two words. Any other row keeps its full record in a side table, and its packed form
// only says where.
#pragma once

#include "lists/text_store.h"

#include <cstdint>

namespace kst {

// One row's full record, as the list's accessors read and write it. The text lives in the
// list's TextStore; ParseSlot 0 means an empty ParseString, any other value indexes the list's
// parse strings. TheStringItem{} is a new row (empty text, all data 0).
struct TheStringItem {
    TextRef Text;
    std::int32_t RowValue;
    std::uint32_t AttrWord;
    std::uint32_t MarkWord;
    std::uint32_t ParseSlot;
};

// A packed row: the text's Offset, and in Word the low five bits of AttrWord (RowAttribute,
// PrevRowAttribute and a BracketIndex of -2 or -1), the chunk and the length. With the top bit of
// Word set, Offset is instead the index of the row's full record in the side table. PackedRow{}
// is TheStringItem{}.
struct PackedRow {
    std::uint32_t Offset;
    std::uint32_t Word;
};

namespace packed_row {

constexpr std::uint32_t kInSideTable = 1u << 31;
constexpr int kAttrBits = 5;
constexpr int kChunkShift = kAttrBits;
constexpr int kChunkBits = 8;
constexpr int kLengthShift = kChunkShift + kChunkBits;
constexpr int kLengthBits = 31 - kLengthShift;

constexpr std::uint32_t LowBits(int Count) {
    return (1u << Count) - 1u;
}

inline bool InSideTable(PackedRow Row) {
    return (Row.Word & kInSideTable) != 0;
}

inline bool Fits(const TheStringItem& Item) {
    return Item.RowValue == 0 && Item.MarkWord == 0 && Item.ParseSlot == 0 &&
           (Item.AttrWord >> kAttrBits) == 0 && (Item.Text.Chunk >> kChunkBits) == 0 &&
           (Item.Text.Length >> kLengthBits) == 0;
}

// Item must fit.
inline PackedRow Pack(const TheStringItem& Item) {
    return {Item.Text.Offset,
            Item.AttrWord | (Item.Text.Chunk << kChunkShift) | (Item.Text.Length << kLengthShift)};
}

// Row must not be in the side table.
inline TextRef TextOf(PackedRow Row) {
    return {(Row.Word >> kChunkShift) & LowBits(kChunkBits), Row.Offset,
            (Row.Word >> kLengthShift) & LowBits(kLengthBits)};
}

inline std::uint32_t AttrWordOf(PackedRow Row) {
    return Row.Word & LowBits(kAttrBits);
}

inline TheStringItem Unpack(PackedRow Row) {
    return {TextOf(Row), 0, AttrWordOf(Row), 0, 0};
}

} // namespace packed_row

} // namespace kst
