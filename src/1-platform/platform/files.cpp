#include "platform/files.h"

#include "core/errors.h"
#include "platform/files_os.h"
#include "platform/memory.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kst {

namespace {

using files_os::FileFailure;
using files_os::RaiseFileError;

// Row offsets are 32-bit, so a file must stay below 4 GiB.
constexpr std::uint64_t kMaxFileSize = 0xFFFFFFFFu;
constexpr std::size_t kMinReadGrowth = 64 * 1024;
constexpr std::size_t kWriteBufferSize = 256 * 1024;
constexpr unsigned kTemporaryNameAttempts = 100;

// Collects small pieces into one buffer and hands big ones straight through, so the system sees
// few, large writes whatever the producer's piece size.
class BufferedWriter {
public:
    explicit BufferedWriter(files_os::ReplacementFile& File)
        : FFile(File), FBuffer(std::make_unique_for_overwrite<char[]>(kWriteBufferSize)) {}

    void Put(std::string_view Bytes) {
        if (Bytes.size() > kWriteBufferSize - FUsed) {
            Flush();
        }
        if (Bytes.size() >= kWriteBufferSize) {
            FFile.WriteAll(Bytes.data(), Bytes.size());
            return;
        }
        std::copy(Bytes.begin(), Bytes.end(), FBuffer.get() + FUsed);
        FUsed += Bytes.size();
    }

    void Flush() {
        if (FUsed > 0) {
            FFile.WriteAll(FBuffer.get(), FUsed);
            FUsed = 0;
        }
    }

private:
    files_os::ReplacementFile& FFile;
    std::unique_ptr<char[]> FBuffer;
    std::size_t FUsed = 0;
};

const char* FailureText(FileFailure What) {
    switch (What) {
    case FileFailure::Open:
        return "を開けません。";
    case FileFailure::Read:
        return "を読み込めません。";
    case FileFailure::TooLarge:
        return "は大きすぎて開けません。4 GB 未満のファイルだけを扱えます。";
    case FileFailure::CreateTemporary:
        return "を保存するための一時ファイルを作成できません。";
    case FileFailure::Write:
        return "に書き込めません。";
    case FileFailure::Replace:
        return "を新しい内容で置き換えられません。";
    case FileFailure::ReadOnly:
        return "は読み取り専用のため保存できません。";
    case FileFailure::Remove:
        return "を削除できません。";
    case FileFailure::ListFolder:
        return "の中を一覧できません。";
    }
    return "を扱えません。";
}

} // namespace

FileReader::FileReader(const std::string& Path)
    : FPath(Path), FFile(files_os::OpenInputFile(Path)) {}

FileReader::~FileReader() = default;

std::uint64_t FileReader::ReportedSize() {
    const std::uint64_t size = FFile->Size();
    if (size > kMaxFileSize) {
        RaiseFileError(FileFailure::TooLarge, FPath);
    }
    return size;
}

std::size_t FileReader::Read(char* Buffer, std::size_t Count) {
    return FFile->ReadSome(Buffer, Count);
}

char* MakeRoom(FileBytes& Bytes, std::size_t& Capacity, std::size_t Count,
               const std::string& Path) {
    const auto size = static_cast<std::size_t>(Bytes.Size);
    if (Capacity - size >= Count) {
        return Bytes.Data.get() + size;
    }
    const std::uint64_t needed = std::uint64_t{size} + Count;
    if (needed > kMaxFileSize + 1) {
        RaiseFileError(FileFailure::TooLarge, Path);
    }
    const std::uint64_t grown =
        std::uint64_t{Capacity} + std::max<std::uint64_t>(Capacity, kMinReadGrowth);
    const auto newCapacity =
        static_cast<std::size_t>(std::min(std::max(grown, needed), kMaxFileSize + 1));
    auto newData = std::make_unique_for_overwrite<char[]>(newCapacity);
    std::copy_n(Bytes.Data.get(), size, newData.get());
    Bytes.Data = std::move(newData);
    Capacity = newCapacity;
    return Bytes.Data.get() + size;
}

FileBytes ReadRest(FileReader& File, std::string_view Head) {
    // One byte more than reported, so that the read that finds the end needs no second buffer.
    std::size_t capacity =
        static_cast<std::size_t>(std::max<std::uint64_t>(File.ReportedSize(), Head.size())) + 1;
    FileBytes bytes{std::make_unique_for_overwrite<char[]>(capacity), Head.size()};
    AdviseLargeBuffer(bytes.Data.get(), capacity);
    std::ranges::copy(Head, bytes.Data.get());
    for (;;) {
        char* const room = MakeRoom(bytes, capacity, 1, File.Path());
        const std::size_t count = File.Read(room, capacity - static_cast<std::size_t>(bytes.Size));
        if (count == 0) {
            return bytes;
        }
        bytes.Size += count;
    }
}

FileBytes ReadWholeFile(const std::string& Path) {
    FileReader file(Path);
    return ReadRest(file, {});
}

void WriteFileSafely(const std::string& Path,
                     const std::function<void(const ChunkSink&)>& Produce) {
    const auto file = files_os::CreateReplacementFile(Path);
    BufferedWriter writer(*file);
    Produce([&writer](std::string_view Bytes) { writer.Put(Bytes); });
    writer.Flush();
    file->ReplaceTarget();
}

namespace {

// The answer of one stamp question, shared by the asking thread and the one that asks the system.
struct TStampQuestion {
    std::mutex Lock;
    std::condition_variable Answered;
    bool Done = false;
    std::optional<TFileStamp> Stamp;
};

// Set while a question has not been answered: a drive that hangs holds one thread, not one per
// question.
std::atomic<bool> gStampQuestionPending{false};

} // namespace

std::optional<TFileStamp> FileStampWithin(const std::string& Path, int Milliseconds) {
    if (gStampQuestionPending.exchange(true)) {
        return std::nullopt;
    }
    auto question = std::make_shared<TStampQuestion>();
    std::thread([question, Path] {
        std::optional<TFileStamp> stamp = files_os::ReadFileStamp(Path);
        gStampQuestionPending = false;
        const std::scoped_lock lock(question->Lock);
        question->Stamp = stamp;
        question->Done = true;
        question->Answered.notify_one();
    }).detach();
    std::unique_lock lock(question->Lock);
    question->Answered.wait_for(lock, std::chrono::milliseconds(Milliseconds),
                                [&question] { return question->Done; });
    return question->Done ? question->Stamp : std::nullopt;
}

std::vector<std::string> FileNamesIn(const std::string& Folder) {
    return files_os::FileNamesIn(Folder);
}

TFolderListing ListFolder(const std::string& Folder) {
    return files_os::ListFolder(Folder);
}

bool RenameFileNoReplace(const std::string& From, const std::string& To) {
    return files_os::RenameFileNoReplace(From, To);
}

void RemoveFile(const std::string& Path) {
    files_os::RemoveFile(Path);
}

namespace files_os {

void RaiseFileError(FileFailure What, const std::string& Path, const std::string& Reason) {
    const char* const noun = What == FileFailure::ListFolder ? "フォルダ" : "ファイル";
    std::string message = noun + (" \"" + Path + "\" ") + FailureText(What);
    if (!Reason.empty()) {
        message += "\n" + Reason;
    }
    throw EFileError(message);
}

std::string CreateUniqueSibling(const std::string& TargetPath, std::uint64_t ProcessId,
                                const std::function<bool(const std::string& Name)>& TryCreate) {
    const std::string stem = TargetPath + ".kst~" + std::to_string(ProcessId) + "-";
    for (unsigned attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        std::string name = stem + std::to_string(attempt) + ".tmp";
        if (TryCreate(name)) {
            return name;
        }
    }
    RaiseFileError(FileFailure::CreateTemporary, TargetPath);
}

} // namespace files_os

} // namespace kst
