// The main window's recovery copy: written a pause after the text changes while it has unsaved
// changes, removed when they are saved or given up, and offered to the next window on the same
// file (or the next new window) when the process that wrote it is gone.
#include "app/file_names.h"
#include "app/main_form.h"
#include "app/message_boxes.h"
#include "core/errors.h"
#include "input/editor.h"
#include "lists/row_text_io.h"

#include <algorithm>
#include <charconv>
#include <ctime>

namespace kst {

namespace {

// Typing that pauses this long has its text copied.
constexpr std::uint64_t kRecoveryPauseMilliseconds = 2000;
constexpr std::string_view kRecoveryFolderName = "recover";
// A copy's header is read from its first bytes: a full path is shorter than this.
constexpr std::size_t kHeaderBytes = 64 * 1024;

std::string LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    const std::tm* local = std::localtime(&now);
    if (local == nullptr || std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", local) == 0) {
        return {};
    }
    return text;
}

// The number of a new file's title ("新規[3] - Kestrane" is 3); 0 for a file's.
int NewFileNumberIn(std::string_view Title) {
    if (!Title.starts_with(kNewFileTitlePrefix)) {
        return 0;
    }
    Title.remove_prefix(kNewFileTitlePrefix.size());
    int number = 0;
    std::from_chars(Title.data(), Title.data() + Title.size(), number);
    return number;
}

// The first bytes of a file, as far as they can be read.
std::string HeadOf(const std::string& Path) {
    std::string head(kHeaderBytes, '\0');
    FileReader file(Path);
    std::size_t size = 0;
    while (size < head.size()) {
        const std::size_t count = file.Read(head.data() + size, head.size() - size);
        if (count == 0) {
            break;
        }
        size += count;
    }
    head.resize(size);
    return head;
}

} // namespace

std::string TForm1::RecoveryFolder() {
    return EnvFilePath(FDesktop, kRecoveryFolderName);
}

std::string TForm1::OwnRecoveryPath() {
    return PathInFolder(RecoveryFolder(), RecoveryFileName(FDesktop.OwnProcess()));
}

// A change abandons the snapshot being assembled: it no longer matches the rows.
void TForm1::TextChanged() {
    FCopyCurrent = false;
    FCopyDue = FDesktop.TickCount() + kRecoveryPauseMilliseconds;
    AbandonSnapshot();
}

void TForm1::AbandonSnapshot() {
    FSnapshotAt.reset();
    std::string().swap(FSnapshot);
}

std::optional<int> TForm1::RecoveryWakeDelay() {
    if (!FEditor.GetModified() || FCopyCurrent || FSnapshotAt) {
        return std::nullopt;
    }
    const std::uint64_t now = FDesktop.TickCount();
    return static_cast<int>(FCopyDue > now ? FCopyDue - now : 0);
}

// A lossy text is never copied: it holds no typing (it is read-only), and a copy would carry its
// "?" to a window that may save it.
bool TForm1::KeepRecoveryCopy() {
    if (const std::optional<std::string> failure = FRecoveryWriter.TakeFailure()) {
        WarnRecoveryUnavailable(*failure);
    }
    if (!FEditor.GetModified() || FileFormat.Lossy) {
        DiscardRecoveryCopy();
        return false;
    }
    if (FCopyCurrent || FDesktop.TickCount() < FCopyDue) {
        return false;
    }
    return CopyRowsStep();
}

// The text is copied in steps of a bounded size, so that the window holds for a few
// milliseconds at a time whatever the text's size. A copy whose folder cannot be made is tried
// again after the text's next change.
bool TForm1::CopyRowsStep() {
    if (!FSnapshotAt) {
        if (!FDesktop.CreateFolder(RecoveryFolder())) {
            FCopyCurrent = true;
            WarnRecoveryUnavailable("フォルダ \"" + RecoveryFolder() + "\" を作成できません。");
            return false;
        }
        FSnapshot = RecoveryHeader(CurrentFileName, NewFileNumberIn(FTitle), LocalTimeText(),
                                   FFileWatch.Remembered());
        FSnapshot.reserve(FSnapshot.size() + static_cast<std::size_t>(FEditor.TextLength()));
        FSnapshotAt.emplace();
    }
    if (!AppendRowsTextPart(FEditor.ScreenStrings(), *FSnapshotAt, kRecoveryBytesPerStep,
                            FSnapshot)) {
        return true;
    }
    FRecoveryWriter.Write(OwnRecoveryPath(), std::move(FSnapshot));
    AbandonSnapshot();
    FCopyCurrent = true;
    FCopyKept = true;
    return false;
}

// Once per process: every copy after the first failure would most likely fail the same way.
void TForm1::WarnRecoveryUnavailable(const std::string& Reason) {
    if (FRecoveryWarned) {
        return;
    }
    FRecoveryWarned = true;
    ShowWarning(FDesktop, std::string(kRecoveryUnavailableText) + "\r\n" + Reason);
}

void TForm1::DiscardRecoveryCopy() {
    AbandonSnapshot();
    if (!FCopyKept) {
        return;
    }
    FRecoveryWriter.Remove(OwnRecoveryPath());
    FCopyKept = false;
    FCopyCurrent = false;
}

std::vector<TRecoveryCopy> TForm1::OrphanedCopies() {
    const std::string folder = RecoveryFolder();
    std::vector<TRecoveryCopy> copies;
    for (const std::string& name : FileNamesIn(folder)) {
        const std::optional<TProcessIdentity> owner = RecoveryOwner(name);
        if (!owner || FDesktop.ProcessRunning(*owner)) {
            continue;
        }
        const std::string path = PathInFolder(folder, name);
        std::optional<TRecoveryCopy> copy;
        try {
            copy = ParseRecoveryCopy(path, HeadOf(path));
        } catch (const EFileError&) {
            continue;
        }
        const bool forThisWindow =
            copy && (CurrentFileName.empty()
                         ? copy->EditedFile.empty()
                         : !copy->EditedFile.empty() &&
                               FDesktop.SameFileName(copy->EditedFile, CurrentFileName));
        if (forThisWindow) {
            copy->Owner = *owner;
            copies.push_back(std::move(*copy));
        }
    }
    std::ranges::sort(copies, std::ranges::greater{}, &TRecoveryCopy::Time);
    return copies;
}

// A copy is taken over by giving it this process's name, which only one process can do; the
// file itself is not touched until the user saves.
void TForm1::OfferRecovery() {
    if (FileFormat.Lossy) {
        // Restored into a read-only text, the copy's lines could never be saved: the copies wait
        // for the file's next opening.
        return;
    }
    for (const TRecoveryCopy& copy : OrphanedCopies()) {
        if (!RenameFileNoReplace(copy.Path, OwnRecoveryPath())) {
            continue;
        }
        FCopyKept = true;
        const std::optional<TFileStamp> now =
            copy.Source ? FileStampOf(CurrentFileName) : std::nullopt;
        const bool changed = now && now->Exists && *now != *copy.Source;
        if (ShowMessageBox(FDesktop, changed ? kRecoverChangedFileText : kRecoverText,
                           TMessageType::Confirmation,
                           TMessageButtons::YesNo) == TMessageAnswer::Yes) {
            RestoreOwnCopy();
            if (changed) {
                // The text came from the file as it was: the first save asks as a save over
                // another program's change does, and the change is not told again.
                FFileWatch.Remember(copy.Source);
                FFileWatch.Told(*now);
            }
            return;
        }
        // Removed at once, so that the name is free for the next copy offered.
        DiscardRecoveryCopy();
        FRecoveryWriter.Wait();
    }
}

// The restored text is one change, which Undo takes back to the file's text.
void TForm1::RestoreOwnCopy() {
    const FileBytes bytes = ReadWholeFile(OwnRecoveryPath());
    const std::string_view content(bytes.Data.get(), static_cast<std::size_t>(bytes.Size));
    const std::optional<TRecoveryCopy> copy = ParseRecoveryCopy(OwnRecoveryPath(), content);
    if (!copy) {
        return;
    }
    FEditor.GetLines().ReplaceWholeText(content.substr(copy->TextOffset));
    FEditor.SetModified(true);
    FCopyCurrent = true;
}

} // namespace kst
