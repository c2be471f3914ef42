#include "lists/string_list.h"

#include "core/errors.h"
#include "platform/memory.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

namespace kst {

namespace {

std::uint64_t NewListNumber() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

} // namespace

TheStringList::TheStringList() : FTextVersion{NewListNumber(), 0} {}

TheStringList::~TheStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TheStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= FCount) {
        RaiseListIndexError();
    }
}

std::string TheStringList::Get(int Index) const {
    return std::string(GetView(Index));
}

std::string_view TheStringList::GetView(int Index) const {
    CheckIndex(Index);
    return FText.View(TextOf(Row(Index)));
}

void TheStringList::Put(int Index, std::string_view S) {
    CheckIndex(Index);
    Changing();
    SetText(Index, S);
    Changed();
}

void TheStringList::Insert(int Index, std::string_view S) {
    if (Index < 0 || Index > FCount) {
        RaiseListIndexError();
    }
    Changing();
    Grow(1);
    MoveGapTo(Index);
    FItems[FGapStart] = PackedRow{};
    Repack(FItems[FGapStart], TheStringItem{FText.Add(S), 0, 0, 0, 0});
    ++FGapStart;
    ++FCount;
    TextsChanged();
    ItemsInserted(Index, 1);
    CompactTextIfWorthIt();
    Changed();
}

void TheStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    MoveGapTo(Index);
    ReleaseItem(Row(Index));
    --FCount;
    TextsChanged();
    ItemsDeleted(Index, 1);
    Changed();
}

void TheStringList::Clear() {
    if (FCount == 0) {
        return;
    }
    Changing();
    for (int i = 0; i < FCount; ++i) {
        ReleaseItem(Row(i));
    }
    FCount = 0;
    FGapStart = 0;
    SetCapacity(0);
    FParseStrings.clear();
    FFreeParseSlots.clear();
    FSideTable.clear();
    FFreeSideSlots.clear();
    TextsChanged();
    ItemsCleared();
    Changed();
}

void TheStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(Row(Index1), Row(Index2));
    TextsChanged();
    const std::uint32_t a = Item(Index1).AttrWord;
    const std::uint32_t b = Item(Index2).AttrWord;
    if (a != b) {
        AttrWordChanged(Index1, b, a);
        AttrWordChanged(Index2, a, b);
    }
    Changed();
}

TheStringItem TheStringList::GetItem(int Index) const {
    CheckIndex(Index);
    return Item(Index);
}

void TheStringList::SetWords(int Index, std::uint32_t AttrWord, std::uint32_t MarkWord) {
    CheckIndex(Index);
    TheStringItem item = Item(Index);
    const std::uint32_t old = item.AttrWord;
    item.AttrWord = AttrWord;
    item.MarkWord = MarkWord;
    StoreItem(Index, item);
    if (old != AttrWord) {
        AttrWordChanged(Index, old, AttrWord);
    }
}

std::string TheStringList::GetParseString(int Index) const {
    CheckIndex(Index);
    const std::uint32_t slot = Item(Index).ParseSlot;
    return slot == 0 ? std::string() : FParseStrings[slot];
}

void TheStringList::SetParseString(int Index, std::string_view S) {
    CheckIndex(Index);
    TheStringItem item = Item(Index);
    if (item.ParseSlot == 0 && S.empty()) {
        return;
    }
    ReleaseParseSlot(item.ParseSlot);
    item.ParseSlot = StoreParseString(S);
    StoreItem(Index, item);
}

std::int32_t TheStringList::GetRowValue(int Index) const {
    CheckIndex(Index);
    return Item(Index).RowValue;
}

void TheStringList::SetRowValue(int Index, std::int32_t Value) {
    CheckIndex(Index);
    TheStringItem item = Item(Index);
    item.RowValue = Value;
    StoreItem(Index, item);
}

std::uint32_t TheStringList::GetAttrWord(int Index) const {
    CheckIndex(Index);
    return Item(Index).AttrWord;
}

void TheStringList::SetAttrWord(int Index, std::uint32_t Value) {
    CheckIndex(Index);
    StoreAttrWord(Index, Value);
}

std::uint32_t TheStringList::GetMarkWord(int Index) const {
    CheckIndex(Index);
    return Item(Index).MarkWord;
}

void TheStringList::SetMarkWord(int Index, std::uint32_t Value) {
    CheckIndex(Index);
    TheStringItem item = Item(Index);
    item.MarkWord = Value;
    StoreItem(Index, item);
}

void TheStringList::InsertItems(int Index, int Count) {
    if (Index < 0 || Index > FCount) {
        RaiseListIndexError();
    }
    if (Count <= 0) {
        return;
    }
    Changing();
    Grow(Count);
    MoveGapTo(Index);
    std::fill_n(FItems.get() + FGapStart, Count, PackedRow{});
    FGapStart += Count;
    FCount += Count;
    TextsChanged();
    ItemsInserted(Index, Count);
    Changed();
}

void TheStringList::DeleteItems(int Index, int Count) {
    if (Count <= 0) {
        return;
    }
    CheckIndex(Index);
    CheckIndex(Index + Count - 1);
    Changing();
    MoveGapTo(Index);
    for (int i = 0; i < Count; ++i) {
        ReleaseItem(Row(Index + i));
    }
    FCount -= Count;
    TextsChanged();
    ItemsDeleted(Index, Count);
    Changed();
}

void TheStringList::SetText(int Index, std::string_view S) {
    CheckIndex(Index);
    TheStringItem item = Item(Index);
    const TextRef old = item.Text;
    item.Text = FText.Add(S);
    FText.Release(old);
    StoreItem(Index, item);
    TextsChanged();
    CompactTextIfWorthIt();
}

void TheStringList::CopyItem(int Index, const TheStringList& Source, int SrcIndex) {
    CheckIndex(Index);
    const std::string parseString = Source.GetParseString(SrcIndex);
    const TheStringItem from = Source.Item(SrcIndex);
    TheStringItem item = Item(Index);
    item.RowValue = from.RowValue;
    item.MarkWord = from.MarkWord;
    StoreItem(Index, item);
    StoreAttrWord(Index, from.AttrWord);
    SetParseString(Index, parseString);
    SetText(Index, Source.FText.View(from.Text));
}

std::uint32_t TheStringList::AdoptBuffer(std::unique_ptr<char[]> Data, std::uint32_t Size) {
    return FText.Adopt(std::move(Data), Size);
}

void TheStringList::SetTextSlice(int Index, std::uint32_t Buffer, std::uint32_t Offset,
                                 std::uint32_t Length) {
    CheckIndex(Index);
    TheStringItem item = Item(Index);
    const TextRef old = item.Text;
    item.Text = FText.Slice(Buffer, Offset, Length);
    FText.Release(old);
    StoreItem(Index, item);
    TextsChanged();
}

TextRef TheStringList::GetTextRef(int Index) const {
    CheckIndex(Index);
    return TextOf(Row(Index));
}

std::uint64_t TheStringList::RowBytesAllocated() const {
    return sizeof(PackedRow) * static_cast<std::uint64_t>(FCapacity) +
           sizeof(TheStringItem) * FSideTable.capacity();
}

void TheStringList::Changed() {
    if (FUpdateCount == 0 && OnChange) {
        OnChange(this);
    }
}

void TheStringList::Changing() {
    if (FUpdateCount == 0 && OnChanging) {
        OnChanging(this);
    }
}

void TheStringList::SetUpdateState(bool Updating) {
    if (Updating) {
        Changing();
        ++FUpdateCount;
    } else {
        --FUpdateCount;
        Changed();
    }
}

void TheStringList::SetCapacity(int NewCapacity) {
    if (NewCapacity < FCount) {
        RaiseListIndexError();
    }
    if (NewCapacity == 0) {
        FItems.reset();
        FCapacity = 0;
        return;
    }
    auto items = std::make_unique_for_overwrite<PackedRow[]>(NewCapacity);
    AdviseLargeBuffer(items.get(), sizeof(PackedRow) * static_cast<std::size_t>(NewCapacity));
    const int tail = FCount - FGapStart;
    std::copy_n(FItems.get(), FGapStart, items.get());
    std::copy_n(FItems.get() + FCapacity - tail, tail, items.get() + NewCapacity - tail);
    FItems = std::move(items);
    FCapacity = NewCapacity;
}

void TheStringList::ItemsInserted(int, int) {}
void TheStringList::ItemsDeleted(int, int) {}
void TheStringList::AttrWordChanged(int, std::uint32_t, std::uint32_t) {}
void TheStringList::ItemsCleared() {}

void TheStringList::MoveGapTo(int Index) {
    const int gap = GapLength();
    PackedRow* items = FItems.get();
    if (Index < FGapStart) {
        std::memmove(items + Index + gap, items + Index, sizeof(PackedRow) * (FGapStart - Index));
    } else if (Index > FGapStart) {
        std::memmove(items + FGapStart, items + FGapStart + gap,
                     sizeof(PackedRow) * (Index - FGapStart));
    }
    FGapStart = Index;
}

void TheStringList::Grow(int Needed) {
    if (GapLength() >= Needed) {
        return;
    }
    // The classic growth steps. A bulk insert beyond them (a loaded file) keeps a little room, so
    // that the first rows typed after loading do not copy the whole array.
    const int delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
    const int needed = FCount + Needed;
    SetCapacity(FCapacity + delta >= needed ? FCapacity + delta : needed + needed / 32);
}

void TheStringList::ReleaseItem(PackedRow& Packed) {
    const TheStringItem item = Unpacked(Packed);
    CountTextLength(item.Text.Length, 0);
    FText.Release(item.Text);
    ReleaseParseSlot(item.ParseSlot);
    FreeSideSlot(Packed);
    Packed = PackedRow{};
}

void TheStringList::Repack(PackedRow& Packed, const TheStringItem& Item) {
    CountTextLength(TextOf(Packed).Length, Item.Text.Length);
    if (packed_row::Fits(Item)) {
        FreeSideSlot(Packed);
        Packed = packed_row::Pack(Item);
    } else if (packed_row::InSideTable(Packed)) {
        FSideTable[Packed.Offset] = Item;
    } else if (FFreeSideSlots.empty()) {
        Packed = {static_cast<std::uint32_t>(FSideTable.size()), packed_row::kInSideTable};
        FSideTable.push_back(Item);
    } else {
        Packed = {FFreeSideSlots.back(), packed_row::kInSideTable};
        FFreeSideSlots.pop_back();
        FSideTable[Packed.Offset] = Item;
    }
}

void TheStringList::CountTextLength(std::uint32_t Old, std::uint32_t New) {
    if (Old == New) {
        return;
    }
    if (Old > kTrackedTextLength) {
        const auto old = FLongTextCounts.find(Old);
        if (--old->second == 0) {
            FLongTextCounts.erase(old);
        }
    }
    if (New > kTrackedTextLength) {
        ++FLongTextCounts[New];
    }
}

std::uint32_t TheStringList::LongestTextLength() const {
    return FLongTextCounts.empty() ? 0 : FLongTextCounts.rbegin()->first;
}

void TheStringList::FreeSideSlot(PackedRow Packed) {
    if (packed_row::InSideTable(Packed)) {
        FFreeSideSlots.push_back(Packed.Offset);
    }
}

void TheStringList::StoreAttrWord(int Index, std::uint32_t Value) {
    TheStringItem item = Item(Index);
    const std::uint32_t old = item.AttrWord;
    if (old == Value) {
        return;
    }
    item.AttrWord = Value;
    StoreItem(Index, item);
    AttrWordChanged(Index, old, Value);
}

std::uint32_t TheStringList::StoreParseString(std::string_view S) {
    if (S.empty()) {
        return 0;
    }
    if (FParseStrings.empty()) {
        FParseStrings.emplace_back(); // slot 0 stands for the empty string
    }
    if (FFreeParseSlots.empty()) {
        FParseStrings.emplace_back(S);
        return static_cast<std::uint32_t>(FParseStrings.size() - 1);
    }
    const std::uint32_t slot = FFreeParseSlots.back();
    FFreeParseSlots.pop_back();
    FParseStrings[slot] = S;
    return slot;
}

void TheStringList::ReleaseParseSlot(std::uint32_t Slot) {
    if (Slot != 0) {
        FParseStrings[Slot].clear();
        FFreeParseSlots.push_back(Slot);
    }
}

void TheStringList::CompactTextIfWorthIt() {
    if (!FText.NeedsCompaction()) {
        return;
    }
    TextStore fresh;
    for (int i = 0; i < FCount; ++i) {
        TheStringItem item = Item(i);
        item.Text = fresh.Add(FText.View(item.Text));
        StoreItem(i, item);
    }
    FText = std::move(fresh);
}

} // namespace kst
