#include "input/popup_menu.h"

#include "input/editor.h"
#include "platform/clipboard.h"

#include <memory>
#include <string>

namespace kst {

namespace {

constexpr int kDigitMarkCount = 10;

} // namespace

TEditorPopupMenu::TEditorPopupMenu(TEditor& Editor) : FEditor(Editor) {
    AddMarkMenus();
    AddEditItems();
    Items.OnPopup = [this] { UpdateItems(); };
}

void TEditorPopupMenu::AddMarkMenus() {
    TMenuItem& markSet = Items.Add("マーク設定");
    TMenuItem& markJump = Items.Add("マークジャンプ");
    for (int mark = 0; mark < kDigitMarkCount; ++mark) {
        const std::string digit(1, static_cast<char>('0' + mark));
        markSet.Add(digit, TextToShortCut("Shift+Ctrl+" + digit),
                    [this, mark] { ToggleMark(mark); });
        markJump.Add(digit, TextToShortCut("Ctrl+" + digit),
                     [this, mark] { FEditor.GotoRowMark(mark); });
    }
    Items.AddSeparator();
}

// The items that change the text are user edits, refused while the editor is read-only.
void TEditorPopupMenu::AddEditItems() {
    TEditor& editor = FEditor;
    const auto userEdit = [&editor](void (TEditor::*Edit)()) {
        return [&editor, Edit] { editor.UserEdit([&editor, Edit] { (editor.*Edit)(); }); };
    };
    Items.Add("元に戻す(&U)", TextToShortCut("Ctrl+Z"), userEdit(&TEditor::Undo));
    Items.Add("やり直し(&R)", TextToShortCut("Ctrl+A"), userEdit(&TEditor::Redo));
    Items.AddSeparator();
    Items.Add("切り取り(&T)", TextToShortCut("Ctrl+X"), userEdit(&TEditor::CutToClipboard));
    Items.Add("コピー(&C)", TextToShortCut("Ctrl+C"), [&editor] { editor.CopyToClipboard(); });
    Items.Add("貼り付け(&P)", TextToShortCut("Ctrl+V"), [&editor] { editor.PasteFromClipboard(); });
    Items.Add("Box貼り付け(&B)", TextToShortCut("Ctrl+B"),
              [&editor] { editor.PasteBoxFromClipboard(); });
    Items.Add("削除(&D)", {}, userEdit(&TEditor::DeleteSelection));
    Items.AddSeparator();
    Items.Add("すべて選択(&A)", {}, [&editor] { editor.SelectAll(); });
    Items.AddSeparator();
    Items.Add("Box選択モード(&K)", TextToShortCut("Ctrl+K"),
              [&editor] { editor.SetBoxSelection(!editor.GetBoxSelection()); });
}

// The empty row after a final line break holds no marks: toggling there changes nothing, where
// putting a mark would only take it off the row that has it.
void TEditorPopupMenu::ToggleMark(int Mark) {
    const int row = FEditor.GetRow();
    TEditorScreenStrings& rows = FEditor.ScreenStrings();
    if (row >= rows.GetCount()) {
        return;
    }
    if ((rows.GetRowMarks(row) & (1U << Mark)) != 0) {
        FEditor.DeleteRowMark(row, Mark);
    } else {
        FEditor.PutRowMark(row, Mark);
    }
}

void TEditorPopupMenu::UpdateItems() {
    const bool writable = FEditor.AcceptsUserEdits();
    const bool selected = FEditor.GetSelLength() > 0;
    const Clipboard* clipboard = FEditor.GetClipboard();
    const bool clipboardText = clipboard != nullptr && clipboard->HasText();
    UndoItem().Enabled = writable && FEditor.CanUndo();
    RedoItem().Enabled = writable && FEditor.CanRedo();
    CutItem().Enabled = writable && selected;
    DeleteItem().Enabled = writable && selected;
    CopyItem().Enabled = selected;
    PasteItem().Enabled = writable && clipboardText;
    BoxPasteItem().Enabled = writable && clipboardText;
    SelectAllItem().Enabled = FEditor.TextLength() > 0;
    BoxModeItem().Checked = FEditor.GetBoxSelection();
    const std::uint16_t usedMarks = FEditor.ScreenStrings().GetUsedMarks();
    for (int mark = 0; mark < kDigitMarkCount; ++mark) {
        const bool used = (usedMarks & (1U << mark)) != 0;
        MarkSetItem()[mark].Checked = used;
        MarkJumpItem()[mark].Checked = used;
    }
}

std::unique_ptr<TPopupMenu> TEditor::CreatePopupMenu() {
    return std::make_unique<TEditorPopupMenu>(*this);
}

} // namespace kst
