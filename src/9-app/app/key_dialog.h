// The logic of the key-assignment dialog: every command with its shortcut, a new key for the
// chosen one (taken from another command only when the user agrees), its removal, and the
// defaults. It works on a copy of the bindings, which the caller takes when the dialog ends with
// OK.
#pragma once

#include "app/main_commands.h"

#include <string>
#include <string_view>

namespace kst {

class Desktop;

class TfrmKeys {
public:
    static constexpr std::string_view Caption = "キーの割り当て";
    static constexpr std::string_view KeyLabel = "新しいキー：";
    static constexpr std::string_view AssignButton = "割り当て";
    static constexpr std::string_view RemoveButton = "削除";
    static constexpr std::string_view DefaultsButton = "既定に戻す";
    static constexpr std::string_view OkButton = "OK";
    static constexpr std::string_view CancelButton = "キャンセル";

    TfrmKeys(Desktop& Desk, const TKeyBindings& Bindings);

    // One row per command, in the table's order: its caption and its key's text ("" for none).
    static int RowCount() { return kCommandCount; }
    static std::string_view RowCaption(int Row);
    std::string RowKey(int Row) const;

    // The chosen row; -1 for none.
    int ItemIndex() const { return FItemIndex; }
    void Select(int Row);
    // "割り当て" with the key pressed: a key that would take typing or the editor's own keys
    // (no Ctrl or Alt, and no function key) or that has no name is refused with a warning; a key
    // of another command is taken from it only when the user agrees. True when the chosen command
    // now has Key.
    bool AssignKey(TShortCut Key);
    // "削除": the chosen command has no key.
    void RemoveKey();
    // "既定に戻す".
    void RestoreDefaults() { FBindings = {}; }

    const TKeyBindings& Bindings() const { return FBindings; }

private:
    bool MayTakeFromOwner(TCommandId Owner, TShortCut Key);

    Desktop& FDesktop;
    TKeyBindings FBindings;
    int FItemIndex = -1;
};

} // namespace kst
