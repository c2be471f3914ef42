#include "lists/text_store.h"

#include <algorithm>
#include <cstring>

namespace kst {

namespace {

// Edited rows are appended to chunks of this size; a longer text gets a chunk of its own.
constexpr std::uint32_t kChunkSize = 64 * 1024;
// Garbage below this is never worth a compaction.
constexpr std::uint64_t kCompactionSlack = 16 * 1024 * 1024;

} // namespace

TextRef TextStore::Add(std::string_view Text) {
    if (Text.empty()) {
        return {};
    }
    const auto length = static_cast<std::uint32_t>(Text.size());
    const bool fitsOpen =
        FOpen != UINT32_MAX && FChunks[FOpen].Capacity - FChunks[FOpen].Size >= length;
    std::uint32_t id = FOpen;
    if (!fitsOpen) {
        const std::uint32_t capacity = std::max(length, kChunkSize);
        id = NewChunk(std::make_unique_for_overwrite<char[]>(capacity), 0, capacity);
        if (length < kChunkSize) {
            FOpen = id;
        }
    }
    Chunk& chunk = FChunks[id];
    std::memcpy(chunk.Data.get() + chunk.Size, Text.data(), length);
    const std::uint32_t offset = chunk.Size;
    chunk.Size += length;
    return Slice(id, offset, length);
}

std::uint32_t TextStore::Adopt(std::unique_ptr<char[]> Data, std::uint32_t Size) {
    return NewChunk(std::move(Data), Size, Size);
}

TextRef TextStore::Slice(std::uint32_t Chunk, std::uint32_t Offset, std::uint32_t Length) {
    if (Length == 0) {
        return {};
    }
    FChunks[Chunk].Refs += Length;
    FLive += Length;
    return {Chunk, Offset, Length};
}

void TextStore::Release(TextRef Ref) {
    if (Ref.Length == 0) {
        return;
    }
    Chunk& chunk = FChunks[Ref.Chunk];
    chunk.Refs -= Ref.Length;
    FLive -= Ref.Length;
    if (chunk.Refs != 0) {
        return;
    }
    if (Ref.Chunk == FOpen) {
        chunk.Size = 0; // nothing refers to it: refill from the start
    } else {
        FreeChunk(Ref.Chunk);
    }
}

bool TextStore::NeedsCompaction() const {
    return FAllocated > 2 * FLive + kCompactionSlack;
}

std::uint32_t TextStore::NewChunk(std::unique_ptr<char[]> Data, std::uint32_t Size,
                                  std::uint32_t Capacity) {
    std::uint32_t id;
    if (FFreeIds.empty()) {
        id = static_cast<std::uint32_t>(FChunks.size());
        FChunks.emplace_back();
    } else {
        id = FFreeIds.back();
        FFreeIds.pop_back();
    }
    FChunks[id] = Chunk{std::move(Data), Size, Capacity, 0};
    FAllocated += Capacity;
    return id;
}

void TextStore::FreeChunk(std::uint32_t Id) {
    FAllocated -= FChunks[Id].Capacity;
    FChunks[Id] = Chunk{};
    FFreeIds.push_back(Id);
}

} // namespace kst
