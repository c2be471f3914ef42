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
    return FileStampWithin(Path, kFileStampMilliseconds);
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

// The text is replaced even when it is read-only (a lossy file's): reading is not editing.
void TForm1::ReloadFile() {
    const int line = FEditor.LineCountBefore(FEditor.GetRow());
    const int topRow = FEditor.GetTopRow();
    const std::optional<TFileStamp> stamp = FileStampOf(CurrentFileName);
    TEditorStrings& lines = FEditor.GetLines();
    FileFormat = lines.ReloadFromFile(CurrentFileName);
    FEditor.SetModified(false);
    FFileWatch.Remember(stamp);
    FEditor.SetRowCol(lines.LineToRow(std::clamp(line, 0, std::max(0, lines.GetCount() - 1))), 0);
    FEditor.SetTopRow(topRow);
    ApplyReadOnly();
    if (FileFormat.Lossy) {
        ShowWarning(FDesktop, kLossyFileText);
    }
}

bool TForm1::MayOverwriteFile() {
    const std::optional<TFileStamp> now = FileStampOf(CurrentFileName);
    if (!now || !FFileWatch.ChangedSinceRemembered(*now)) {
        return true;
    }
    FDesktop.Beep();
    return ShowMessageBox(FDesktop, kOverwriteChangedFileText, TMessageType::Confirmation,
                          TMessageButtons::YesNoNoDefault) == TMessageAnswer::Yes;
}

bool TForm1::SaveToCurrentFile() {
    if (!MayOverwriteFile()) {
        return false;
    }
    FEditor.GetLines().SaveToFile(CurrentFileName, FileFormat);
    FEditor.SetModified(false);
    FFileWatch.Remember(FileStampOf(CurrentFileName));
    DiscardRecoveryCopy();
    return true;
}

} // namespace kst
