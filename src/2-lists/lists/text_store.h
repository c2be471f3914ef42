// Storage for row texts. Rows refer to byte ranges in large shared chunks instead of owning a
// heap string each: a loaded file stays in the one buffer it was read into, and edited rows are
// appended to the current chunk. A chunk is freed when no row refers to it any more.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kst {

// A row's bytes: Length bytes at Offset in chunk Chunk. The empty text refers to no chunk.
// Trivial, so that arrays of rows can be allocated without being written first; TextRef{} is the
// empty text.
struct TextRef {
    std::uint32_t Chunk;
    std::uint32_t Offset;
    std::uint32_t Length;
};

class TextStore {
public:
    // Copies Text into the store.
    TextRef Add(std::string_view Text);
    // Takes over a whole buffer (at most 4 GiB); rows refer into it through Slice.
    std::uint32_t Adopt(std::unique_ptr<char[]> Data, std::uint32_t Size);
    // Another reference to Length bytes at Offset of Chunk.
    TextRef Slice(std::uint32_t Chunk, std::uint32_t Offset, std::uint32_t Length);
    // Drops one reference made by Add or Slice.
    void Release(TextRef Ref);

    std::string_view View(TextRef Ref) const {
        return Ref.Length == 0
                   ? std::string_view()
                   : std::string_view(FChunks[Ref.Chunk].Data.get() + Ref.Offset, Ref.Length);
    }

    // Bytes held in chunks, and bytes that rows still refer to.
    std::uint64_t AllocatedBytes() const { return FAllocated; }
    std::uint64_t LiveBytes() const { return FLive; }
    // True when so much of the held memory is no longer referred to that copying the live texts
    // into a fresh store pays off.
    bool NeedsCompaction() const;

private:
    struct Chunk {
        std::unique_ptr<char[]> Data;
        std::uint32_t Size = 0;
        std::uint32_t Capacity = 0;
        std::uint64_t Refs = 0; // bytes referred to
    };

    std::uint32_t NewChunk(std::unique_ptr<char[]> Data, std::uint32_t Size,
                           std::uint32_t Capacity);
    void FreeChunk(std::uint32_t Id);

    std::vector<Chunk> FChunks;
    std::vector<std::uint32_t> FFreeIds;
    std::uint32_t FOpen = UINT32_MAX; // the chunk Add appends to
    std::uint64_t FAllocated = 0;
    std::uint64_t FLive = 0;
};

} // namespace kst
