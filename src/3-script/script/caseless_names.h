// Names looked up in any case (ASCII letters fold; the bytes of double-byte characters are
// compared as they are), in a hash table: the catalogue's entries and the analysis's scopes.
#pragma once

#include "core/code_page.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace kst {

// Equal for names that are equal in any case: the 0x20 bit of every byte, which is all that
// tells an ASCII capital from its small letter, takes no part. Eight bytes at a time; names that
// differ in other bytes only where that bit does collide, which the comparison tells apart.
inline std::uint32_t CaselessHash(std::string_view Name) {
    constexpr std::uint64_t kCaseBits = 0x2020202020202020ULL;
    std::uint64_t hash = Name.size() * 0x9E3779B97F4A7C15ULL;
    for (std::size_t at = 0; at < Name.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, Name.data() + at, std::min<std::size_t>(8, Name.size() - at));
        hash = (hash ^ (word | kCaseBits)) * 0xFF51AFD7ED558CCDULL;
        hash ^= hash >> 32;
    }
    return static_cast<std::uint32_t>(hash);
}

inline bool SameCaseless(std::string_view A, std::string_view B) {
    return A.size() == B.size() && (A == B || std::ranges::equal(A, B, {}, LowerAscii, LowerAscii));
}

// Names and their values, looked up in any case. The names are views: their text must outlive
// the table.
class CaselessNames {
public:
    static constexpr int kNone = -1;

    // The value of Name; kNone when it has none.
    int Find(std::string_view Name) const {
        if (FSlots.empty()) {
            return kNone;
        }
        const std::uint32_t hash = CaselessHash(Name);
        for (std::size_t slot = hash & Mask();; slot = (slot + 1) & Mask()) {
            const int index = FSlots[slot];
            if (index == kNone) {
                return kNone;
            }
            const TEntry& entry = FEntries[static_cast<std::size_t>(index)];
            if (entry.Hash == hash && SameCaseless(entry.Key, Name)) {
                return entry.Value;
            }
        }
    }

    // Gives Name the Value unless it has one: answers the value it had, or kNone.
    int Add(std::string_view Name, int Value) {
        if (const int found = Find(Name); found != kNone) {
            return found;
        }
        if ((FEntries.size() + 1) * 2 > FSlots.size()) {
            Rehash(std::max<std::size_t>(16, FSlots.size() * 2));
        }
        FEntries.push_back({Name, CaselessHash(Name), Value});
        Place(FEntries.size() - 1);
        return kNone;
    }

    // Empty again, at a cost that follows the entries it had.
    void Clear() {
        FEntries.clear();
        if (FSlots.size() > kSmall) {
            FSlots.assign(kSmall, kNone);
        } else {
            std::ranges::fill(FSlots, kNone);
        }
    }

    std::size_t Bytes() const {
        return FEntries.capacity() * sizeof(TEntry) + FSlots.capacity() * sizeof(int);
    }

private:
    static constexpr std::size_t kSmall = 64;

    struct TEntry {
        std::string_view Key;
        std::uint32_t Hash;
        int Value;
    };

    std::size_t Mask() const { return FSlots.size() - 1; }

    void Place(std::size_t Index) {
        std::size_t slot = FEntries[Index].Hash & Mask();
        while (FSlots[slot] != kNone) {
            slot = (slot + 1) & Mask();
        }
        FSlots[slot] = static_cast<int>(Index);
    }

    void Rehash(std::size_t Slots) {
        FSlots.assign(Slots, kNone);
        for (std::size_t index = 0; index < FEntries.size(); ++index) {
            Place(index);
        }
    }

    std::vector<TEntry> FEntries;
    std::vector<int> FSlots;
};

} // namespace kst
