#include "app/key_dialog.h"

#include "app/message_boxes.h"

namespace kst {

namespace {

constexpr std::string_view kNoCommandChosenText = "\r\nコマンドが選ばれていません";
constexpr std::string_view kKeyRefusedText =
    "\r\nこのキーは割り当てられません。Ctrl か Alt と組み合わせるか、ファンクションキーを"
    "押してください。";

} // namespace

TfrmKeys::TfrmKeys(Desktop& Desk, const TKeyBindings& Bindings)
    : FDesktop(Desk), FBindings(Bindings) {}

std::string_view TfrmKeys::RowCaption(int Row) {
    return CommandRow(static_cast<TCommandId>(Row)).Caption;
}

std::string TfrmKeys::RowKey(int Row) const {
    return ShortCutToText(FBindings.KeyOf(static_cast<TCommandId>(Row)));
}

void TfrmKeys::Select(int Row) {
    FItemIndex = Row >= 0 && Row < RowCount() ? Row : -1;
}

bool TfrmKeys::AssignKey(TShortCut Key) {
    if (FItemIndex < 0) {
        ShowWarning(FDesktop, kNoCommandChosenText);
        return false;
    }
    if (!MayBeCommandKey(Key)) {
        ShowWarning(FDesktop, kKeyRefusedText);
        return false;
    }
    const auto chosen = static_cast<TCommandId>(FItemIndex);
    const std::optional<TCommandId> owner = FBindings.CommandOf(Key);
    if (owner && *owner != chosen && !MayTakeFromOwner(*owner, Key)) {
        return false;
    }
    FBindings.Bind(chosen, Key);
    return true;
}

bool TfrmKeys::MayTakeFromOwner(TCommandId Owner, TShortCut Key) {
    const std::string question =
        ShortCutToText(Key) + " は「" + std::string(CommandRow(Owner).Caption) +
        "」に割り当てられています。\r\nそのコマンドから外して、" + "このコマンドに割り当てますか？";
    return ShowMessageBox(FDesktop, question, TMessageType::Confirmation, TMessageButtons::YesNo) ==
           TMessageAnswer::Yes;
}

void TfrmKeys::RemoveKey() {
    if (FItemIndex >= 0) {
        FBindings.Bind(static_cast<TCommandId>(FItemIndex), {});
    }
}

} // namespace kst
