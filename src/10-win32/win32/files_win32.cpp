#include "platform/files_os.h"
#include "win32/path_names.h"
#include "win32/replacement_file.h"
#include "win32/utf.h"
#include "win32/windows_api.h"

#include <algorithm>
#include <utility>

namespace kst::files_os {

namespace {

// WriteFile takes DWORD counts; bigger requests go in pieces of this size.
constexpr std::size_t kMaxTransfer = 1u << 30;
// A file is read in pieces that stay in the processor's cache, and the pages of each piece are
// touched before the read: under Wine a read into pages not yet used faults each page in inside
// the kernel's copy, which makes loading 100 MB about 60 ms slower than touching them first.
constexpr std::size_t kReadPiece = 256 * 1024;
constexpr std::size_t kPageSize = 4096;

// Paths from this length on get the extended-length form: the classic limit is 260 characters
// for a file, 248 for a folder that files are made in.
constexpr std::size_t kLongPathLength = 248;

// The form of a long path that the system takes beyond the classic limit: "\\?\" before the
// full path, "\\?\UNC\" for a share's.
std::wstring ExtendedLengthForm(const std::wstring& Path) {
    if (Path.size() < kLongPathLength || Path.starts_with(L"\\\\?\\")) {
        return Path;
    }
    const std::wstring full = win32::FullPathName(Path);
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return full.size() > 2 && full[1] == L':' ? L"\\\\?\\" + full : Path;
}

std::wstring WidePath(const std::string& Utf8, FileFailure What) {
    if (Utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(Utf8.size());
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Utf8.data(), size, nullptr, 0);
    if (length == 0) {
        RaiseFileError(What, Utf8, "UTF-8 として正しくないファイル名です。");
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Utf8.data(), size, wide.data(), length);
    return ExtendedLengthForm(wide);
}

std::string SystemReason(DWORD Error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, Error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0) {
        return "エラー " + std::to_string(Error);
    }
    std::wstring message(text, length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n')) {
        message.pop_back();
    }
    return win32::WideToUtf8(message);
}

[[noreturn]] void RaiseLastError(FileFailure What, const std::string& Path) {
    RaiseFileError(What, Path, SystemReason(GetLastError()));
}

DWORD TransferSize(std::size_t Count) {
    return static_cast<DWORD>(std::min(Count, kMaxTransfer));
}

class Win32InputFile : public InputFile {
public:
    explicit Win32InputFile(const std::string& Path) : FPath(Path) {
        FHandle = CreateFileW(WidePath(Path, FileFailure::Open).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (FHandle == INVALID_HANDLE_VALUE) {
            RaiseLastError(FileFailure::Open, FPath);
        }
    }
    ~Win32InputFile() override { CloseHandle(FHandle); }
    Win32InputFile(const Win32InputFile&) = delete;
    Win32InputFile& operator=(const Win32InputFile&) = delete;

    std::uint64_t Size() override {
        LARGE_INTEGER fileSize{};
        if (!GetFileSizeEx(FHandle, &fileSize)) {
            RaiseLastError(FileFailure::Read, FPath);
        }
        return static_cast<std::uint64_t>(fileSize.QuadPart);
    }

    std::size_t ReadSome(char* Buffer, std::size_t Count) override {
        const std::size_t piece = std::min(Count, kReadPiece);
        for (std::size_t offset = 0; offset < piece; offset += kPageSize) {
            Buffer[offset] = 0;
        }
        DWORD read = 0;
        if (!ReadFile(FHandle, Buffer, static_cast<DWORD>(piece), &read, nullptr)) {
            RaiseLastError(FileFailure::Read, FPath);
        }
        return read;
    }

private:
    std::string FPath;
    HANDLE FHandle = INVALID_HANDLE_VALUE;
};

class Win32ReplacementFile : public ReplacementFile {
public:
    // ReplaceFileW refuses relative paths under Wine.
    Win32ReplacementFile(const std::string& TargetPath, win32::TReplaceCall Replace)
        : FReplace(std::move(Replace)), FTargetPath(TargetPath),
          FWideTargetPath(win32::FullPathName(WidePath(TargetPath, FileFailure::CreateTemporary))) {
        RefuseReadOnlyTarget();
        CreateUniqueSibling(win32::WideToUtf8(FWideTargetPath), GetCurrentProcessId(),
                            [this](const std::string& Name) { return TryCreate(Name); });
    }
    ~Win32ReplacementFile() override {
        if (FHandle != INVALID_HANDLE_VALUE) {
            CloseHandle(FHandle);
        }
        if (!FReplaced && !FKept) {
            DeleteFileW(FWideTemporaryPath.c_str());
        }
    }
    Win32ReplacementFile(const Win32ReplacementFile&) = delete;
    Win32ReplacementFile& operator=(const Win32ReplacementFile&) = delete;

    void WriteAll(const char* Data, std::size_t Count) override {
        while (Count > 0) {
            DWORD written = 0;
            if (!WriteFile(FHandle, Data, TransferSize(Count), &written, nullptr)) {
                RaiseLastError(FileFailure::Write, FTargetPath);
            }
            Data += written;
            Count -= written;
        }
    }

    // The content reaches the disk before it takes the target's place. A new target is simply
    // moved into place.
    void ReplaceTarget() override {
        if (!FlushFileBuffers(FHandle)) {
            RaiseLastError(FileFailure::Write, FTargetPath);
        }
        const HANDLE handle = FHandle;
        FHandle = INVALID_HANDLE_VALUE;
        if (!CloseHandle(handle)) {
            RaiseLastError(FileFailure::Write, FTargetPath);
        }
        if (GetFileAttributesW(FWideTargetPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
            if (!MoveFileExW(FWideTemporaryPath.c_str(), FWideTargetPath.c_str(),
                             MOVEFILE_WRITE_THROUGH)) {
                RaiseLastError(FileFailure::Replace, FTargetPath);
            }
            FReplaced = true;
            return;
        }
        const DWORD error = FReplace(FWideTargetPath, FWideTemporaryPath);
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
            error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            MoveIntoEmptiedPlace();
        } else if (error != ERROR_SUCCESS) {
            RaiseFileError(FileFailure::Replace, FTargetPath, SystemReason(error));
        }
        FReplaced = true;
    }

private:
    // The system's replace took the target away (or gave it another name) and left the
    // replacement under its temporary name: the replacement is then the only copy of the file's
    // content under the target's name, and is never removed.
    void MoveIntoEmptiedPlace() {
        if (MoveFileExW(FWideTemporaryPath.c_str(), FWideTargetPath.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return;
        }
        const DWORD error = GetLastError();
        FKept = true;
        RaiseFileError(FileFailure::Replace, FTargetPath,
                       SystemReason(error) + "\n新しい内容は \"" +
                           win32::WideToUtf8(FWideTemporaryPath) + "\" に残してあります。");
    }

    void RefuseReadOnlyTarget() const {
        const DWORD attributes = GetFileAttributesW(FWideTargetPath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            RaiseFileError(FileFailure::ReadOnly, FTargetPath);
        }
    }

    bool TryCreate(const std::string& Name) {
        std::wstring wideName = WidePath(Name, FileFailure::CreateTemporary);
        FHandle = CreateFileW(wideName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (FHandle != INVALID_HANDLE_VALUE) {
            FWideTemporaryPath = std::move(wideName);
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            RaiseFileError(FileFailure::CreateTemporary, FTargetPath, SystemReason(error));
        }
        return false;
    }

    win32::TReplaceCall FReplace;
    std::string FTargetPath;
    std::wstring FWideTargetPath;
    std::wstring FWideTemporaryPath;
    HANDLE FHandle = INVALID_HANDLE_VALUE;
    bool FReplaced = false;
    // The temporary file is the only copy of the content left: it stays.
    bool FKept = false;
};

} // namespace

std::optional<TFileStamp> ReadFileStamp(const std::string& Path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(WidePath(Path, FileFailure::Open).c_str(), GetFileExInfoStandard,
                             &data) == FALSE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return TFileStamp{};
        }
        return std::nullopt;
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return TFileStamp{};
    }
    return TFileStamp{
        .Exists = true,
        .Size = win32::FromHalves(data.nFileSizeHigh, data.nFileSizeLow),
        .WriteTime = static_cast<std::int64_t>(win32::FromHalves(
            data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime))};
}

std::vector<std::string> FileNamesIn(const std::string& Folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        FindFirstFileW((WidePath(Folder, FileFailure::Open) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(win32::WideToUtf8(found.cFileName));
        }
    } while (FindNextFileW(search, &found) != FALSE);
    FindClose(search);
    return names;
}

// A folder's reparse point (a junction or a link) may lead back up the tree: it is left out.
TFolderListing ListFolder(const std::string& Folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(
        (WidePath(Folder, FileFailure::ListFolder) + L"\\*").c_str(), FindExInfoBasic, &found,
        FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        RaiseFileError(FileFailure::ListFolder, Folder, SystemReason(GetLastError()));
    }
    TFolderListing listing;
    do {
        const std::wstring_view name = found.cFileName;
        const DWORD attributes = found.dwFileAttributes;
        if (name == L"." || name == L"..") {
            continue;
        }
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            listing.Files.push_back(win32::WideToUtf8(found.cFileName));
        } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            listing.Folders.push_back(win32::WideToUtf8(found.cFileName));
        }
    } while (FindNextFileW(search, &found) != FALSE);
    FindClose(search);
    return listing;
}

// Without MOVEFILE_REPLACE_EXISTING the move fails when the new name exists.
bool RenameFileNoReplace(const std::string& From, const std::string& To) {
    return MoveFileExW(WidePath(From, FileFailure::Replace).c_str(),
                       WidePath(To, FileFailure::Replace).c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

void RemoveFile(const std::string& Path) {
    if (DeleteFileW(WidePath(Path, FileFailure::Remove).c_str()) == FALSE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            RaiseFileError(FileFailure::Remove, Path, SystemReason(error));
        }
    }
}

std::unique_ptr<InputFile> OpenInputFile(const std::string& Path) {
    return std::make_unique<Win32InputFile>(Path);
}

std::unique_ptr<ReplacementFile> CreateReplacementFile(const std::string& TargetPath) {
    return win32::CreateReplacementFile(TargetPath, win32::SystemReplace);
}

} // namespace kst::files_os

namespace kst::win32 {

unsigned long SystemReplace(const std::wstring& Target, const std::wstring& Replacement) {
    return ReplaceFileW(Target.c_str(), Replacement.c_str(), nullptr,
                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE
               ? ERROR_SUCCESS
               : GetLastError();
}

std::unique_ptr<files_os::ReplacementFile> CreateReplacementFile(const std::string& TargetPath,
                                                                 TReplaceCall Replace) {
    return std::make_unique<files_os::Win32ReplacementFile>(TargetPath, std::move(Replace));
}

} // namespace kst::win32
