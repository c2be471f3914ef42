// The row list: a string list whose items are records holding a row's text and its per-row data
// (how the row ends, the colouring parser's start state, a free integer, the row marks).
#pragma once

#include "core/strings.h"
#include "lists/line_end_index.h"
#include "lists/packed_row.h"
#include "lists/row_attribute.h"
#include "lists/text_store.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// Which texts a list holds: a list of its own and a count of its changes, so that what is derived
// from the rows' texts can tell whether it still holds.
struct TTextVersion {
    std::uint64_t List = 0;
    std::uint64_t Revision = 0;

    bool operator==(const TTextVersion&) const = default;
};

// The items sit packed (8 bytes a row) in one array with a gap at the last place of change, so
// that inserting or deleting rows where the user works moves no other record. Capacity counts the
// gap's slots too. The rare rows that do not pack keep their full record in a side table.
class TheStringList : public TStrings {
public:
    TheStringList();
    ~TheStringList() override;

    const char* ClassName() const override { return "TheStringList"; }

    int GetCount() const override { return FCount; }
    int GetCapacity() const { return FCapacity; }
    std::string Get(int Index) const override;
    void Put(int Index, std::string_view S) override;
    void Insert(int Index, std::string_view S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2);

    // The item's text without a copy; valid until the list next changes.
    std::string_view GetView(int Index) const;
    // Changes with every change of an item's text, of the items there are, and of where lines end.
    TTextVersion GetTextVersion() const { return FTextVersion; }

    // Per-item data. No events.
    std::string GetParseString(int Index) const;
    void SetParseString(int Index, std::string_view S);
    std::int32_t GetRowValue(int Index) const;
    void SetRowValue(int Index, std::int32_t Value);
    std::uint32_t GetAttrWord(int Index) const;
    void SetAttrWord(int Index, std::uint32_t Value);
    std::uint32_t GetMarkWord(int Index) const;
    void SetMarkWord(int Index, std::uint32_t Value);

    // Bulk operations for the row store; each fires one OnChanging/OnChange pair.
    // Inserts Count zeroed items (empty texts, all data 0) before Index (0..Count).
    void InsertItems(int Index, int Count);
    // Deletes Count items from Index.
    void DeleteItems(int Index, int Count);

    // Without events: replaces item Index's text.
    void SetText(int Index, std::string_view S);
    // Without events: copies Source's item SrcIndex (text, ParseString, RowValue and both words)
    // over item Index. Source may be this list.
    void CopyItem(int Index, const TheStringList& Source, int SrcIndex);

    // Loading without copies: a buffer taken over whole, and rows that refer to pieces of it.
    std::uint32_t AdoptBuffer(std::unique_ptr<char[]> Data, std::uint32_t Size);
    // Without events: item Index's text becomes Length bytes at Offset of the adopted buffer.
    void SetTextSlice(int Index, std::uint32_t Buffer, std::uint32_t Offset, std::uint32_t Length);
    // Where item Index's text lives, to cut rows out of it by SetTextSlice without copying.
    TextRef GetTextRef(int Index) const;

    // The length of the longest item text when some text is longer than kTrackedTextLength bytes,
    // else 0. Kept up to date with every change, so asking costs nothing.
    static constexpr std::uint32_t kTrackedTextLength = 512;
    std::uint32_t LongestTextLength() const;

    // Memory held for texts and for the rows' records, for measuring.
    std::uint64_t TextBytesAllocated() const { return FText.AllocatedBytes(); }
    std::uint64_t RowBytesAllocated() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    // Fire OnChange / OnChanging unless an update is in progress.
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool Updating) override;
    void SetCapacity(int NewCapacity);

    // Hooks for descendants that index the items.
    virtual void ItemsInserted(int Index, int Count);
    virtual void ItemsDeleted(int Index, int Count);
    virtual void AttrWordChanged(int Index, std::uint32_t OldWord, std::uint32_t NewWord);
    virtual void ItemsCleared();

    void CheckIndex(int Index) const;
    void TextsChanged() { ++FTextVersion.Revision; }
    // Item Index's whole record, read at once.
    TheStringItem GetItem(int Index) const;
    // Both words of item Index, written at once. No events.
    void SetWords(int Index, std::uint32_t AttrWord, std::uint32_t MarkWord);

private:
    PackedRow& Row(int Index) { return FItems[Physical(Index)]; }
    PackedRow Row(int Index) const { return FItems[Physical(Index)]; }
    TheStringItem Item(int Index) const { return Unpacked(Row(Index)); }
    TheStringItem Unpacked(PackedRow Packed) const {
        return packed_row::InSideTable(Packed) ? FSideTable[Packed.Offset]
                                               : packed_row::Unpack(Packed);
    }
    TextRef TextOf(PackedRow Packed) const {
        return packed_row::InSideTable(Packed) ? FSideTable[Packed.Offset].Text
                                               : packed_row::TextOf(Packed);
    }
    // Stores Item as row Index's record, packed when it fits.
    void StoreItem(int Index, const TheStringItem& Item) { Repack(Row(Index), Item); }
    void Repack(PackedRow& Packed, const TheStringItem& Item);
    void FreeSideSlot(PackedRow Packed);
    int Physical(int Index) const { return Index < FGapStart ? Index : Index + GapLength(); }
    int GapLength() const { return FCapacity - FCount; }
    void MoveGapTo(int Index);
    void Grow(int Needed);
    void ReleaseItem(PackedRow& Packed);
    void CountTextLength(std::uint32_t Old, std::uint32_t New);
    void StoreAttrWord(int Index, std::uint32_t Value);
    std::uint32_t StoreParseString(std::string_view S);
    void ReleaseParseSlot(std::uint32_t Slot);
    void CompactTextIfWorthIt();

    std::unique_ptr<PackedRow[]> FItems;
    int FCount = 0;
    int FCapacity = 0;
    int FGapStart = 0;
    int FUpdateCount = 0;
    TTextVersion FTextVersion;
    TextStore FText;
    std::vector<std::string> FParseStrings; // slot 0 unused
    std::vector<std::uint32_t> FFreeParseSlots;
    std::vector<TheStringItem> FSideTable;
    std::vector<std::uint32_t> FFreeSideSlots;
    // How many item texts have each length above kTrackedTextLength.
    std::map<std::uint32_t, int> FLongTextCounts;
};

// Reads and writes the packed fields of the items' two words, and keeps the index of the rows
// that end a document line (every row whose RowAttribute is not raWrap).
class TRowAttributeStringList : public TheStringList {
public:
    const char* ClassName() const override { return "TRowAttributeStringList"; }

    TRowAttribute GetRowAttribute(int Index) const;
    void SetRowAttribute(int Index, TRowAttribute Value);
    TRowAttribute GetPrevRowAttribute(int Index) const;
    void SetPrevRowAttribute(int Index, TRowAttribute Value);
    int GetBracketIndex(int Index) const;
    void SetBracketIndex(int Index, int Value);
    int GetParserValue1(int Index) const;
    void SetParserValue1(int Index, int Value);
    int GetWrappedBytes(int Index) const;
    void SetWrappedBytes(int Index, int Value);
    int GetParserValue2(int Index) const;
    void SetParserValue2(int Index, int Value);
    int GetWrappedToken(int Index) const;
    void SetWrappedToken(int Index, int Value);
    int GetParserValue3(int Index) const;
    void SetParserValue3(int Index, int Value);
    std::uint16_t GetRowMarks(int Index) const;
    void SetRowMarks(int Index, std::uint16_t Marks);

    // The start state of a row as one record, with RowAttribute.
    TRowAttributeData GetRowData(int Index) const;
    // Stores PrevRowAttribute through ParserValue3 and ParseString; RowAttribute and the row marks
    // stay.
    void SetStartState(int Index, const TRowAttributeData& Data);

    // Document lines: a line ends at every row that is not raWrap, and at the last row.
    int LineCount() const;
    // The line that contains Row (0..Count; Count is the row after the last one).
    int LineOfRow(int Row) const;
    // First row of Line (0..LineCount()-1).
    int LineFirstRow(int Line) const;
    // First and last row of the line that contains Row (0..Count-1).
    int LineStartRow(int Row) const;
    int LineEndRow(int Row) const;

protected:
    void ItemsInserted(int Index, int Count) override;
    void ItemsDeleted(int Index, int Count) override;
    void AttrWordChanged(int Index, std::uint32_t OldWord, std::uint32_t NewWord) override;
    void ItemsCleared() override;

private:
    LineEndIndex FLineEnds;
};

// The temporary row lists of editing operations and undo. Adds nothing.
class TEditorStringList : public TRowAttributeStringList {
public:
    const char* ClassName() const override { return "TEditorStringList"; }
};

} // namespace kst
