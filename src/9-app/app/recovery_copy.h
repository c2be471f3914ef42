// Recovery copies: while a text has unsaved changes, a copy of it is kept in the "Env\recover"
// folder, so that a process that dies (a crash, a killed process, a power cut) loses at most the
// last few seconds of typing. A copy is named after the process that owns it
// ("<id>-<start time>.rcv"): a process renames another's copy to its own name to take it over, so
// two processes never share one. A copy is a few header lines (UTF-8) and the text (CP932 with CR
// LF line breaks, as saved):
//
//   Kestrane recovery
//   file=<the edited file's path; empty for a new file>
//   new=<the new file's number; 0 for a file>
//   time=<when it was written, local time, YYYY-MM-DD hh:mm:ss>
//   stamp=<the stamp of the file the text came from: 1 or 0 (it exists or not), size, write
//         time; the line is left out when the stamp is not known>
//   <an empty line, then the text>
#pragma once

#include "platform/desktop.h"
#include "platform/files.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kst {

// The window copies the text for a copy about this many bytes (some milliseconds) per idle step,
// a long row in pieces, so that it holds briefly whatever the text's size and shape.
inline constexpr std::size_t kRecoveryBytesPerStep = 4 << 20;

struct TRecoveryCopy {
    // The copy's own path.
    std::string Path;
    TProcessIdentity Owner;
    std::string EditedFile;
    int NewFileNumber = 0;
    std::string Time;
    // The stamp of the file when the text was read from it or saved to it; none when unknown.
    std::optional<TFileStamp> Source;
    // Where the text starts in the copy's bytes.
    std::size_t TextOffset = 0;
};

// The copy's bytes up to its text.
std::string RecoveryHeader(const std::string& EditedFile, int NewFileNumber,
                           const std::string& Time, const std::optional<TFileStamp>& Source);
// The copy that Bytes make, read from Path; none when they are not one.
std::optional<TRecoveryCopy> ParseRecoveryCopy(const std::string& Path, std::string_view Bytes);
// A copy's file name for its owner, and the owner a file name gives (none for any other name).
std::string RecoveryFileName(const TProcessIdentity& Owner);
std::optional<TProcessIdentity> RecoveryOwner(std::string_view FileName);

// Writes and removes copies on a thread of its own, durably and safely (a copy is complete on the
// disk before it replaces the one before it), so that the window never waits for the disk.
class RecoveryWriter {
public:
    RecoveryWriter() = default;
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;
    // Finishes the work handed over, then ends the thread.
    ~RecoveryWriter();

    // Writes Content to Path. Work handed over before and not yet done is dropped, and a write
    // under way is abandoned (its copy stays as it was before it).
    void Write(std::string Path, std::string Content);
    // Removes the file at Path, after dropping work as Write does.
    void Remove(std::string Path);
    // Waits until the work handed over is done. A failure is not raised: the text's next
    // change is written again.
    void Wait();
    // The message of the first write or removal that failed since the last call; none when none
    // did.
    std::optional<std::string> TakeFailure();

private:
    struct TJob {
        std::string Path;
        std::string Content;
        bool Remove = false;
    };
    void HandOver(TJob Job);
    void Run();
    void Do(const TJob& Job);

    std::mutex FLock;
    std::condition_variable FWake;
    std::condition_variable FDone;
    std::optional<TJob> FPending;
    bool FBusy = false;
    bool FStopping = false;
    std::optional<std::string> FFailure;
    std::atomic<bool> FCancelled{false};
    std::thread FThread;
};

} // namespace kst
