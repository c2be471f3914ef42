// The main window and other programs' changes to its file: looked at when the window becomes
// active and before every save; nothing here writes the file without the user's Yes.
#include "app/main_form.h"
#include "app/message_boxes.h"
#include "input/editor.h"

#include <algorithm>

namespace kst {

namespace {

// A drive that does not answer within this time is not waited for: the window goes on, and the
// file is looked at again at the next activation or save.
constexpr int kFileStampMilliseconds = 300;

} // namespace

std::optional<TFileStamp> TForm1::FileStampOf(const std::string& Path) {
    return FDesktop.FileStamp(Path, kFileStampMilliseconds);
}

void TForm1::LookAtFile() {
    if (CurrentFileName.empty()) {
        return;
    }
    const std::optional<TFileStamp> now = FileStampOf(CurrentFileName);
    if (!now) {
        return;
    }
    switch (FFileWatch.Look(*now, FEditor.GetModified())) {
    case TExternalChange::None:
        break;
    case TExternalChange::Changed:
        if (ShowMessageBox(FDesktop, kFileChangedText, TMessageType::Confirmation,
                           TMessageButtons::YesNo) == TMessageAnswer::Yes) {
            ReloadFile();
        }
        break;
    case TExternalChange::ChangedUnderEdits:
        FDesktop.Beep();
        if (ShowMessageBox(FDesktop, kFileChangedUnderEditsText, TMessageType::Confirmation,
                           TMessageButtons::YesNoNoDefault) == TMessageAnswer::Yes) {
            ReloadFile();
        }
        break;
    case TExternalChange::Deleted:
        ShowWarning(FDesktop, kFileDeletedText);
        FEditor.SetModified(true);
        break;
    }
}

// The text is replaced even when it is read-only (a lossy file's): reading is not editing. A
// lossy text, never edited and not the file's, is replaced for good: Undo would bring it back
// into a window that may save it. A lossy text read in stays undoable, so that a Yes given by
// mistake over typed lines loses none.
void TForm1::ReloadFile() {
    const int line = FEditor.LineCountBefore(FEditor.GetRow());
    const int topRow = FEditor.GetTopRow();
    const std::optional<TFileStamp> stamp = FileStampOf(CurrentFileName);
    TEditorStrings& lines = FEditor.GetLines();
    const TFileFormat before = FileFormat;
    FileFormat = lines.ReloadFromFile(CurrentFileName);
    if (before.Lossy) {
        FEditor.ScreenStrings().GetUndoObj().Clear();
    }
    FFormatBeforeReload.reset();
    if (FileFormat.Lossy && !before.Lossy) {
        FFormatBeforeReload = before;
    }
    FEditor.SetModified(false);
    FFileWatch.Remember(stamp);
    FEditor.SetRowCol(lines.LineToRow(std::clamp(line, 0, std::max(0, lines.GetCount() - 1))), 0);
    FEditor.SetTopRow(topRow);
    ApplyReadOnly();
    WarnOfLossyText();
}

// The lossy text is not left for Redo: it would come back into a writable window.
void TForm1::UndoLossyReload() {
    FileFormat = *FFormatBeforeReload;
    FFormatBeforeReload.reset();
    FEditor.Undo();
    FEditor.ScreenStrings().GetUndoObj().ClearRedo();
    FEditor.SetModified(true);
    ApplyReadOnly();
}

// A stamp that cannot be read now, or was not read after the last load or save, cannot tell
// another program's change: the user is asked rather than the file overwritten unseen.
std::optional<std::string_view> TForm1::OverwriteQuestion() {
    const std::optional<TFileStamp> now = FileStampOf(CurrentFileName);
    if (!now || (now->Exists && FFileWatch.StampUnknown())) {
        return kOverwriteUnknownFileText;
    }
    if (FFileWatch.ChangedSinceRemembered(*now)) {
        return kOverwriteChangedFileText;
    }
    return std::nullopt;
}

bool TForm1::MayOverwriteFile(std::string_view Question) {
    FDesktop.Beep();
    return ShowMessageBox(FDesktop, Question, TMessageType::Confirmation,
                          TMessageButtons::YesNoNoDefault) == TMessageAnswer::Yes;
}

bool TForm1::SaveToCurrentFile() {
    if (const auto question = OverwriteQuestion(); question && !MayOverwriteFile(*question)) {
        return false;
    }
    FEditor.GetLines().SaveToFile(CurrentFileName, FileFormat);
    FEditor.SetModified(false);
    FFileWatch.Remember(FileStampOf(CurrentFileName));
    DiscardRecoveryCopy();
    return true;
}

} // namespace kst
