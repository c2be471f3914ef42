// Whole-file reading and safe writing. Paths are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

struct FileBytes {
    std::unique_ptr<char[]> Data;
    std::uint64_t Size = 0;
};

namespace files_os {
class InputFile;
}

// A file read from its start to its end. Raises EFileError with a message that names the file and
// the reason when it cannot be opened or read.
class FileReader {
public:
    explicit FileReader(const std::string& Path);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    const std::string& Path() const { return FPath; }
    // The size the system reports now; the file may still change while it is read. A file of
    // 4 GiB or more is refused.
    std::uint64_t ReportedSize();
    // Reads up to Count bytes into Buffer; 0 means the end of the file.
    std::size_t Read(char* Buffer, std::size_t Count);

private:
    std::string FPath;
    std::unique_ptr<files_os::InputFile> FFile;
};

// Room for Count more bytes after Bytes.Size in its buffer of Capacity bytes, which grows (keeping
// the bytes) when it is too small; answers where they go. A file's bytes stay below 4 GiB: more
// raise EFileError, naming Path.
char* MakeRoom(FileBytes& Bytes, std::size_t& Capacity, std::size_t Count, const std::string& Path);

// Reads the rest of File into one buffer that starts with Head, the bytes already read from it.
FileBytes ReadRest(FileReader& File, std::string_view Head);

// Reads the whole file.
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

// What the system tells of a file at one moment: another program that rewrites, deletes or renames
// it changes the stamp. WriteTime is the system's last-write time in its own units.
struct TFileStamp {
    bool Exists = false;
    std::uint64_t Size = 0;
    std::int64_t WriteTime = 0;

    bool operator==(const TFileStamp&) const = default;
};

// The file's stamp, or none when the system could not tell within Milliseconds (a slow or missing
// drive) or at all. The question is asked on a thread of its own, so a drive that never answers
// holds the caller no longer than Milliseconds; while one such question is still unanswered, the
// next ones answer none at once.
std::optional<TFileStamp> FileStampWithin(const std::string& Path, int Milliseconds);

// The names of the files (not folders) in Folder; none when it does not exist.
std::vector<std::string> FileNamesIn(const std::string& Folder);

// What a folder holds, by name, without "." and "..". Links to folders (symbolic links,
// junctions) are left out, so that a walk through the subfolders never goes round in a circle.
struct TFolderListing {
    std::vector<std::string> Files;
    std::vector<std::string> Folders;
};
// Raises EFileError, naming the folder and the system's reason, when it cannot be listed. Paths
// of any length are taken, also beyond the system's classic limit of 260 characters.
TFolderListing ListFolder(const std::string& Folder);
// Gives the file From the name To, unless To exists; false when From is gone or To exists. Two
// processes that rename one file at once: one of them succeeds.
bool RenameFileNoReplace(const std::string& From, const std::string& To);
// Removes the file; a file that is already gone is no failure. Raises EFileError otherwise.
void RemoveFile(const std::string& Path);

} // namespace kst
