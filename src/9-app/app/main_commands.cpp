#include "app/main_commands.h"

#include "app/main_form.h"

#include <algorithm>

namespace kst {

namespace {

#define KST_COMMAND_ROW(Id, Caption, Keys, Menu, PopUp, Button, Picture, Text, Rule, Handler)      \
    TCommandRow{cm##Id, #Id,           Caption,         Keys, Menu, PopUp, Button, Picture,        \
                Text,   &TForm1::Rule, &TForm1::Handler},
constexpr std::array<TCommandRow, kCommandCount> kCommands{KST_MAIN_COMMANDS(KST_COMMAND_ROW)};
#undef KST_COMMAND_ROW

} // namespace

std::span<const TCommandRow> MainCommands() {
    return kCommands;
}

std::optional<TCommandId> CommandNamed(std::string_view Name) {
    const auto row = std::ranges::find(kCommands, Name, &TCommandRow::Name);
    if (row == kCommands.end()) {
        return std::nullopt;
    }
    return row->Id;
}

bool MayBeCommandKey(TShortCut Key) {
    constexpr int kFunctionKeys = 12;
    const bool functionKey = Key.Key >= VK_F1 && Key.Key < VK_F1 + kFunctionKeys;
    const bool chord = (Key.Shift & (ssCtrl | ssAlt)) != 0;
    return (functionKey || chord) && !ShortCutToText(Key).empty();
}

TKeyBindings::TKeyBindings() {
    for (const TCommandRow& row : kCommands) {
        FKeys[row.Id] = TextToShortCut(row.DefaultKeys);
    }
}

std::optional<TCommandId> TKeyBindings::CommandOf(TShortCut Key) const {
    if (Key.IsNone()) {
        return std::nullopt;
    }
    const auto found = std::ranges::find(FKeys, Key);
    if (found == FKeys.end()) {
        return std::nullopt;
    }
    return static_cast<TCommandId>(found - FKeys.begin());
}

void TKeyBindings::Bind(TCommandId Id, TShortCut Key) {
    if (const std::optional<TCommandId> owner = CommandOf(Key)) {
        FKeys[*owner] = {};
    }
    FKeys[Id] = Key;
}

bool TKeyBindings::IsDefault(TCommandId Id) const {
    return FKeys[Id] == TextToShortCut(CommandRow(Id).DefaultKeys);
}

} // namespace kst
