// Whole-file reading and safe writing. Paths are UTF-8.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kst {

struct FileBytes {
    std::unique_ptr<char[]> Data;
    std::uint64_t Size = 0;
};

// Reads the whole file. Raises EFileError with a message that names the file and the reason when
// it cannot be opened or read.
FileBytes ReadWholeFile(const std::string& Path);

// Receives the new content piece by piece.
using ChunkSink = std::function<void(std::string_view Bytes)>;

// Writes a file without ever leaving a half-written one in its place: Produce writes the content
// to a temporary file in the same folder, which then replaces Path, keeping the original's
// attributes. The content is on the disk before it replaces Path, so a crash or power cut leaves
// either the old file or the whole new one. On any failure (no space, no permission, an exception
// from Produce) the temporary file is removed, Path is left as it was, and EFileError (or Produce's
// exception) is raised.
void WriteFileSafely(const std::string& Path, const std::function<void(const ChunkSink&)>& Produce);

} // namespace kst
