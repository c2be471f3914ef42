// What ReadWholeFile and WriteFileSafely need from the operating system. files.cpp builds the two
// on these; files_posix.cpp and win32/files_win32.cpp implement them. Every function raises
// EFileError (through RaiseFileError) when the system refuses.
#pragma once

#include "platform/files.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kst::files_os {

class InputFile {
public:
    virtual ~InputFile() = default;
    // The size the system reports now; the file may still change while it is read.
    virtual std::uint64_t Size() = 0;
    // Reads up to Count bytes into Buffer; 0 means the end of the file.
    virtual std::size_t ReadSome(char* Buffer, std::size_t Count) = 0;
};

// A new temporary file beside a target file. Destroying it before ReplaceTarget has succeeded
// closes and removes it, so the target stays as it was.
class ReplacementFile {
public:
    virtual ~ReplacementFile() = default;
    virtual void WriteAll(const char* Data, std::size_t Count) = 0;
    // Flushes the temporary file to the disk, closes it and puts it in the target's place,
    // keeping the target's attributes when it exists; the replacement is on the disk on return.
    virtual void ReplaceTarget() = 0;
};

std::unique_ptr<InputFile> OpenInputFile(const std::string& Path);
std::unique_ptr<ReplacementFile> CreateReplacementFile(const std::string& TargetPath);

// The file's stamp now; none when the system cannot tell (no answer but "it is not there" counts
// as telling).
std::optional<TFileStamp> ReadFileStamp(const std::string& Path);
std::vector<std::string> FileNamesIn(const std::string& Folder);
TFolderListing ListFolder(const std::string& Folder);
bool RenameFileNoReplace(const std::string& From, const std::string& To);
void RemoveFile(const std::string& Path);

enum class FileFailure {
    Open,
    Read,
    TooLarge,
    CreateTemporary,
    Write,
    Replace,
    ReadOnly,
    Remove,
    ListFolder
};

// Raises EFileError with a message that names the file, says what failed and, when Reason is not
// empty, gives the system's reason on a second line.
[[noreturn]] void RaiseFileError(FileFailure What, const std::string& Path,
                                 const std::string& Reason = {});

// Finds a free name for a temporary file beside TargetPath: calls TryCreate with candidate names
// until it creates one and returns true, and returns that name. TryCreate returns false when the
// name is taken and raises for any other failure.
std::string CreateUniqueSibling(const std::string& TargetPath, std::uint64_t ProcessId,
                                const std::function<bool(const std::string& Name)>& TryCreate);

} // namespace kst::files_os
