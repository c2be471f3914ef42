#include "app/recovery_copy.h"

#include "platform/files.h"

#include <charconv>
#include <exception>
#include <utility>

namespace kst {

namespace {

constexpr std::string_view kFirstLine = "Kestrane recovery\n";
constexpr std::string_view kExtension = ".rcv";
// Pieces of the text written between two looks at whether the write was abandoned.
constexpr std::size_t kWritePiece = 1 << 20;

// Thrown inside a write to abandon it: the safe writing then leaves the old copy.
struct TWriteCancelled {};

template <class T>
std::optional<T> NumberIn(std::string_view Text) {
    T value{};
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (error != std::errc{} || end != Text.data() + Text.size()) {
        return std::nullopt;
    }
    return value;
}

// The value of the line "Key=value" that starts at Line; none when the line is another.
std::optional<std::string_view> Field(std::string_view Line, std::string_view Key) {
    if (!Line.starts_with(Key) || Line.size() <= Key.size() || Line[Key.size()] != '=') {
        return std::nullopt;
    }
    return Line.substr(Key.size() + 1);
}

// The stamp that the value of a "stamp=" line gives; none for a malformed one.
std::optional<TFileStamp> StampIn(std::string_view Value) {
    const std::size_t first = Value.find(':');
    const std::size_t second = Value.find(':', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto exists = NumberIn<int>(Value.substr(0, first));
    const auto size = NumberIn<std::uint64_t>(Value.substr(first + 1, second - first - 1));
    const auto writeTime = NumberIn<std::int64_t>(Value.substr(second + 1));
    if (!exists || *exists < 0 || *exists > 1 || !size || !writeTime) {
        return std::nullopt;
    }
    return TFileStamp{.Exists = *exists == 1, .Size = *size, .WriteTime = *writeTime};
}

} // namespace

std::string RecoveryHeader(const std::string& EditedFile, int NewFileNumber,
                           const std::string& Time, const std::optional<TFileStamp>& Source) {
    std::string header = std::string(kFirstLine) + "file=" + EditedFile +
                         "\nnew=" + std::to_string(NewFileNumber) + "\ntime=" + Time + "\n";
    if (Source) {
        header += "stamp=" + std::to_string(Source->Exists ? 1 : 0) + ":" +
                  std::to_string(Source->Size) + ":" + std::to_string(Source->WriteTime) + "\n";
    }
    return header + "\n";
}

std::optional<TRecoveryCopy> ParseRecoveryCopy(const std::string& Path, std::string_view Bytes) {
    if (!Bytes.starts_with(kFirstLine)) {
        return std::nullopt;
    }
    TRecoveryCopy copy;
    copy.Path = Path;
    std::size_t position = kFirstLine.size();
    const std::string_view keys[] = {"file", "new", "time"};
    for (const std::string_view key : keys) {
        const std::size_t end = Bytes.find('\n', position);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::optional<std::string_view> value =
            Field(Bytes.substr(position, end - position), key);
        if (!value) {
            return std::nullopt;
        }
        if (key == "file") {
            copy.EditedFile = *value;
        } else if (key == "new") {
            copy.NewFileNumber = NumberIn<int>(*value).value_or(0);
        } else {
            copy.Time = *value;
        }
        position = end + 1;
    }
    // Copies written before stamps were kept have no stamp line.
    if (const std::size_t end = Bytes.find('\n', position); end != std::string_view::npos) {
        if (const auto value = Field(Bytes.substr(position, end - position), "stamp")) {
            copy.Source = StampIn(*value);
            position = end + 1;
        }
    }
    if (position >= Bytes.size() || Bytes[position] != '\n') {
        return std::nullopt;
    }
    copy.TextOffset = position + 1;
    return copy;
}

std::string RecoveryFileName(const TProcessIdentity& Owner) {
    return std::to_string(Owner.Id) + "-" + std::to_string(Owner.StartTime) +
           std::string(kExtension);
}

std::optional<TProcessIdentity> RecoveryOwner(std::string_view FileName) {
    if (!FileName.ends_with(kExtension)) {
        return std::nullopt;
    }
    const std::string_view stem = FileName.substr(0, FileName.size() - kExtension.size());
    const std::size_t dash = stem.find('-');
    if (dash == std::string_view::npos) {
        return std::nullopt;
    }
    const auto id = NumberIn<std::uint32_t>(stem.substr(0, dash));
    const auto startTime = NumberIn<std::uint64_t>(stem.substr(dash + 1));
    if (!id || !startTime) {
        return std::nullopt;
    }
    return TProcessIdentity{*id, *startTime};
}

RecoveryWriter::~RecoveryWriter() {
    {
        const std::scoped_lock lock(FLock);
        FStopping = true;
    }
    FWake.notify_one();
    if (FThread.joinable()) {
        FThread.join();
    }
}

void RecoveryWriter::Write(std::string Path, std::string Content) {
    HandOver({.Path = std::move(Path), .Content = std::move(Content), .Remove = false});
}

void RecoveryWriter::Remove(std::string Path) {
    HandOver({.Path = std::move(Path), .Content = {}, .Remove = true});
}

void RecoveryWriter::HandOver(TJob Job) {
    {
        const std::scoped_lock lock(FLock);
        FPending = std::move(Job);
        FCancelled = FBusy;
        if (!FThread.joinable()) {
            FThread = std::thread([this] { Run(); });
        }
    }
    FWake.notify_one();
}

void RecoveryWriter::Wait() {
    std::unique_lock lock(FLock);
    FDone.wait(lock, [this] { return !FPending && !FBusy; });
}

void RecoveryWriter::Run() {
    std::unique_lock lock(FLock);
    for (;;) {
        FWake.wait(lock, [this] { return FPending || FStopping; });
        if (!FPending) {
            return;
        }
        const TJob job = std::move(*FPending);
        FPending.reset();
        FBusy = true;
        FCancelled = false;
        lock.unlock();
        Do(job);
        lock.lock();
        FBusy = false;
        FDone.notify_all();
    }
}

std::optional<std::string> RecoveryWriter::TakeFailure() {
    const std::scoped_lock lock(FLock);
    return std::exchange(FFailure, std::nullopt);
}

void RecoveryWriter::Do(const TJob& Job) {
    try {
        if (Job.Remove) {
            RemoveFile(Job.Path);
            return;
        }
        WriteFileSafely(Job.Path, [this, &Job](const ChunkSink& Sink) {
            for (std::size_t at = 0; at < Job.Content.size(); at += kWritePiece) {
                if (FCancelled) {
                    throw TWriteCancelled{};
                }
                Sink(std::string_view(Job.Content).substr(at, kWritePiece));
            }
        });
    } catch (const std::exception& error) {
        // The copy before stays, and the text's next change is written again. A copy that
        // cannot be removed is offered again later, which loses nothing.
        const std::scoped_lock lock(FLock);
        if (!FFailure) {
            FFailure = error.what();
        }
    } catch (const TWriteCancelled&) {
        // Abandoned for a newer copy.
    }
}

} // namespace kst
