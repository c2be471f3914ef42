#include "platform/files_os.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kst::files_os {

namespace {

std::string SystemReason(int Error) {
    return std::generic_category().message(Error);
}

class PosixInputFile : public InputFile {
public:
    explicit PosixInputFile(const std::string& Path) : FPath(Path) {
        FDescriptor = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
        if (FDescriptor < 0) {
            RaiseFileError(FileFailure::Open, FPath, SystemReason(errno));
        }
    }
    ~PosixInputFile() override { ::close(FDescriptor); }
    PosixInputFile(const PosixInputFile&) = delete;
    PosixInputFile& operator=(const PosixInputFile&) = delete;

    std::uint64_t Size() override {
        struct stat status {};
        if (::fstat(FDescriptor, &status) != 0) {
            RaiseFileError(FileFailure::Read, FPath, SystemReason(errno));
        }
        return static_cast<std::uint64_t>(status.st_size);
    }

    std::size_t ReadSome(char* Buffer, std::size_t Count) override {
        for (;;) {
            const ssize_t result = ::read(FDescriptor, Buffer, Count);
            if (result >= 0) {
                return static_cast<std::size_t>(result);
            }
            if (errno != EINTR) {
                RaiseFileError(FileFailure::Read, FPath, SystemReason(errno));
            }
        }
    }

private:
    std::string FPath;
    int FDescriptor = -1;
};

class PosixReplacementFile : public ReplacementFile {
public:
    explicit PosixReplacementFile(const std::string& TargetPath) : FTargetPath(TargetPath) {
        RefuseReadOnlyTarget();
        FTemporaryPath =
            CreateUniqueSibling(TargetPath, static_cast<std::uint64_t>(::getpid()),
                                [this](const std::string& Name) { return TryCreate(Name); });
    }
    ~PosixReplacementFile() override {
        if (FDescriptor >= 0) {
            ::close(FDescriptor);
        }
        if (!FReplaced) {
            ::unlink(FTemporaryPath.c_str());
        }
    }
    PosixReplacementFile(const PosixReplacementFile&) = delete;
    PosixReplacementFile& operator=(const PosixReplacementFile&) = delete;

    void WriteAll(const char* Data, std::size_t Count) override {
        while (Count > 0) {
            const ssize_t written = ::write(FDescriptor, Data, Count);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                RaiseFileError(FileFailure::Write, FTargetPath,
                               SystemReason(written < 0 ? errno : ENOSPC));
            }
            Data += written;
            Count -= static_cast<std::size_t>(written);
        }
    }

    // The content reaches the disk before the rename, and the rename itself right after it, so
    // a crash leaves either the old file or the complete new one.
    void ReplaceTarget() override {
        TakeOverPermissions();
        if (::fsync(FDescriptor) != 0) {
            RaiseFileError(FileFailure::Write, FTargetPath, SystemReason(errno));
        }
        const int descriptor = FDescriptor;
        FDescriptor = -1;
        if (::close(descriptor) != 0) {
            RaiseFileError(FileFailure::Write, FTargetPath, SystemReason(errno));
        }
        if (::rename(FTemporaryPath.c_str(), FTargetPath.c_str()) != 0) {
            RaiseFileError(FileFailure::Replace, FTargetPath, SystemReason(errno));
        }
        FReplaced = true;
        SyncFolder();
    }

private:
    // The rename would replace a file whatever its permissions, so a target that nobody may write,
    // or that this process may not write, is refused as a read-only file is on Windows.
    void RefuseReadOnlyTarget() const {
        struct stat Target {};
        if (::stat(FTargetPath.c_str(), &Target) != 0) {
            return;
        }
        if ((Target.st_mode & 0222) == 0 || ::access(FTargetPath.c_str(), W_OK) != 0) {
            RaiseFileError(FileFailure::ReadOnly, FTargetPath);
        }
    }

    // O_EXCL makes the name ours alone; mode 0666 lets the umask decide a new file's permissions.
    bool TryCreate(const std::string& Name) {
        FDescriptor = ::open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (FDescriptor >= 0) {
            return true;
        }
        if (errno != EEXIST) {
            RaiseFileError(FileFailure::CreateTemporary, FTargetPath, SystemReason(errno));
        }
        return false;
    }

    // Some file systems cannot sync a folder (EINVAL); their renames need no sync.
    void SyncFolder() const {
        const std::size_t slash = FTargetPath.rfind('/');
        const std::string folder = slash == std::string::npos ? "."
                                   : slash == 0               ? "/"
                                                              : FTargetPath.substr(0, slash);
        const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const bool synced = descriptor >= 0 && (::fsync(descriptor) == 0 || errno == EINVAL);
        const int error = errno;
        if (descriptor >= 0) {
            ::close(descriptor);
        }
        if (!synced) {
            RaiseFileError(FileFailure::Replace, FTargetPath, SystemReason(error));
        }
    }

    void TakeOverPermissions() {
        struct stat target {};
        if (::stat(FTargetPath.c_str(), &target) != 0) {
            return;
        }
        if (::fchmod(FDescriptor, target.st_mode & 07777) != 0) {
            RaiseFileError(FileFailure::Write, FTargetPath, SystemReason(errno));
        }
    }

    std::string FTargetPath;
    std::string FTemporaryPath;
    int FDescriptor = -1;
    bool FReplaced = false;
};

} // namespace

std::optional<TFileStamp> ReadFileStamp(const std::string& Path) {
    struct stat status {};
    if (::stat(Path.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return TFileStamp{};
        }
        return std::nullopt;
    }
    constexpr std::int64_t kNanoseconds = 1'000'000'000;
    return TFileStamp{.Exists = true,
                      .Size = static_cast<std::uint64_t>(status.st_size),
                      .WriteTime = static_cast<std::int64_t>(status.st_mtim.tv_sec) * kNanoseconds +
                                   status.st_mtim.tv_nsec};
}

std::vector<std::string> FileNamesIn(const std::string& Folder) {
    std::vector<std::string> names;
    DIR* const folder = ::opendir(Folder.c_str());
    if (folder == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        struct stat status {};
        if (::stat((Folder + "/" + name).c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            names.push_back(name);
        }
    }
    ::closedir(folder);
    return names;
}

// lstat() tells a link from what it points to: a link to a folder is left out, one to a file is
// listed as the file.
TFolderListing ListFolder(const std::string& Folder) {
    DIR* const folder = ::opendir(Folder.c_str());
    if (folder == nullptr) {
        RaiseFileError(FileFailure::ListFolder, Folder, SystemReason(errno));
    }
    TFolderListing listing;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = Folder + "/" + name;
        struct stat link {};
        struct stat target {};
        if (::lstat(path.c_str(), &link) != 0 || ::stat(path.c_str(), &target) != 0) {
            listing.Files.push_back(name);
        } else if (S_ISDIR(target.st_mode)) {
            if (!S_ISLNK(link.st_mode)) {
                listing.Folders.push_back(name);
            }
        } else {
            listing.Files.push_back(name);
        }
    }
    ::closedir(folder);
    return listing;
}

// link() fails when the new name exists, which makes the rename exclusive; the old name goes after.
bool RenameFileNoReplace(const std::string& From, const std::string& To) {
    if (::link(From.c_str(), To.c_str()) != 0) {
        return false;
    }
    if (::unlink(From.c_str()) != 0) {
        ::unlink(To.c_str());
        return false;
    }
    return true;
}

void RemoveFile(const std::string& Path) {
    if (::unlink(Path.c_str()) != 0 && errno != ENOENT) {
        RaiseFileError(FileFailure::Remove, Path, SystemReason(errno));
    }
}

std::unique_ptr<InputFile> OpenInputFile(const std::string& Path) {
    return std::make_unique<PosixInputFile>(Path);
}

std::unique_ptr<ReplacementFile> CreateReplacementFile(const std::string& TargetPath) {
    return std::make_unique<PosixReplacementFile>(TargetPath);
}

} // namespace kst::files_os
