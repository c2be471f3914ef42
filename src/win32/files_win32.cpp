#include "platform/files_os.h"
#include "win32/utf.h"

#include <algorithm>
#include <windows.h>

namespace kst::files_os {

namespace {

// ReadFile and WriteFile take DWORD counts; bigger requests go in pieces of this size.
constexpr std::size_t kMaxTransfer = 1u << 30;

std::wstring WidePath(const std::string& Utf8, FileFailure What) {
    if (Utf8.empty()) {
        return {};
    }
    const int Size = static_cast<int>(Utf8.size());
    const int Length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Utf8.data(), Size, nullptr, 0);
    if (Length == 0) {
        RaiseFileError(What, Utf8, "UTF-8 として正しくないファイル名です。");
    }
    std::wstring Wide(static_cast<std::size_t>(Length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Utf8.data(), Size, Wide.data(), Length);
    return Wide;
}

// The full form of a path relative to the current folder; ReplaceFileW refuses relative paths
// under Wine.
std::wstring FullPath(const std::wstring& Path) {
    const DWORD length = GetFullPathNameW(Path.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
        return Path;
    }
    std::wstring full(length, L'\0');
    full.resize(GetFullPathNameW(Path.c_str(), length, full.data(), nullptr));
    return full;
}

std::string SystemReason(DWORD Error) {
    wchar_t* Text = nullptr;
    const DWORD Length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, Error, 0, reinterpret_cast<wchar_t*>(&Text), 0, nullptr);
    if (Length == 0) {
        return "エラー " + std::to_string(Error);
    }
    std::wstring Message(Text, Length);
    LocalFree(Text);
    while (!Message.empty() && (Message.back() == L'\r' || Message.back() == L'\n')) {
        Message.pop_back();
    }
    return win32::WideToUtf8(Message);
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
        LARGE_INTEGER FileSize{};
        if (!GetFileSizeEx(FHandle, &FileSize)) {
            RaiseLastError(FileFailure::Read, FPath);
        }
        return static_cast<std::uint64_t>(FileSize.QuadPart);
    }

    std::size_t ReadSome(char* Buffer, std::size_t Count) override {
        DWORD Read = 0;
        if (!ReadFile(FHandle, Buffer, TransferSize(Count), &Read, nullptr)) {
            RaiseLastError(FileFailure::Read, FPath);
        }
        return Read;
    }

private:
    std::string FPath;
    HANDLE FHandle = INVALID_HANDLE_VALUE;
};

class Win32ReplacementFile : public ReplacementFile {
public:
    explicit Win32ReplacementFile(const std::string& TargetPath)
        : FTargetPath(TargetPath),
          FWideTargetPath(FullPath(WidePath(TargetPath, FileFailure::CreateTemporary))) {
        RefuseReadOnlyTarget();
        CreateUniqueSibling(win32::WideToUtf8(FWideTargetPath), GetCurrentProcessId(),
                            [this](const std::string& Name) { return TryCreate(Name); });
    }
    ~Win32ReplacementFile() override {
        if (FHandle != INVALID_HANDLE_VALUE) {
            CloseHandle(FHandle);
        }
        if (!FReplaced) {
            DeleteFileW(FWideTemporaryPath.c_str());
        }
    }
    Win32ReplacementFile(const Win32ReplacementFile&) = delete;
    Win32ReplacementFile& operator=(const Win32ReplacementFile&) = delete;

    void WriteAll(const char* Data, std::size_t Count) override {
        while (Count > 0) {
            DWORD Written = 0;
            if (!WriteFile(FHandle, Data, TransferSize(Count), &Written, nullptr)) {
                RaiseLastError(FileFailure::Write, FTargetPath);
            }
            Data += Written;
            Count -= Written;
        }
    }

    // ReplaceFileW keeps the target's attributes, security and creation time; a new target is
    // simply moved into place.
    void ReplaceTarget() override {
        const HANDLE Handle = FHandle;
        FHandle = INVALID_HANDLE_VALUE;
        if (!CloseHandle(Handle)) {
            RaiseLastError(FileFailure::Write, FTargetPath);
        }
        const bool TargetExists =
            GetFileAttributesW(FWideTargetPath.c_str()) != INVALID_FILE_ATTRIBUTES;
        const BOOL Replaced =
            TargetExists ? ReplaceFileW(FWideTargetPath.c_str(), FWideTemporaryPath.c_str(),
                                        nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                         : MoveFileExW(FWideTemporaryPath.c_str(), FWideTargetPath.c_str(),
                                       MOVEFILE_WRITE_THROUGH);
        if (!Replaced) {
            RaiseLastError(FileFailure::Replace, FTargetPath);
        }
        FReplaced = true;
    }

private:
    void RefuseReadOnlyTarget() const {
        const DWORD Attributes = GetFileAttributesW(FWideTargetPath.c_str());
        if (Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            RaiseFileError(FileFailure::ReadOnly, FTargetPath);
        }
    }

    bool TryCreate(const std::string& Name) {
        std::wstring WideName = WidePath(Name, FileFailure::CreateTemporary);
        FHandle = CreateFileW(WideName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (FHandle != INVALID_HANDLE_VALUE) {
            FWideTemporaryPath = std::move(WideName);
            return true;
        }
        const DWORD Error = GetLastError();
        if (Error != ERROR_FILE_EXISTS && Error != ERROR_ALREADY_EXISTS) {
            RaiseFileError(FileFailure::CreateTemporary, FTargetPath, SystemReason(Error));
        }
        return false;
    }

    std::string FTargetPath;
    std::wstring FWideTargetPath;
    std::wstring FWideTemporaryPath;
    HANDLE FHandle = INVALID_HANDLE_VALUE;
    bool FReplaced = false;
};

} // namespace

std::unique_ptr<InputFile> OpenInputFile(const std::string& Path) {
    return std::make_unique<Win32InputFile>(Path);
}

std::unique_ptr<ReplacementFile> CreateReplacementFile(const std::string& TargetPath) {
    return std::make_unique<Win32ReplacementFile>(TargetPath);
}

} // namespace kst::files_os
