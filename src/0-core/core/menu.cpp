#include "core/menu.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kst {

namespace {

struct TKeyName {
    std::uint16_t Key;
    std::string_view Name;
};

constexpr std::array kKeyNames{
    TKeyName{VK_BACK, "BkSp"},    TKeyName{VK_TAB, "Tab"},     TKeyName{VK_ESCAPE, "Esc"},
    TKeyName{VK_RETURN, "Enter"}, TKeyName{VK_SPACE, "Space"}, TKeyName{VK_PRIOR, "PgUp"},
    TKeyName{VK_NEXT, "PgDn"},    TKeyName{VK_END, "End"},     TKeyName{VK_HOME, "Home"},
    TKeyName{VK_LEFT, "Left"},    TKeyName{VK_UP, "Up"},       TKeyName{VK_RIGHT, "Right"},
    TKeyName{VK_DOWN, "Down"},    TKeyName{VK_INSERT, "Ins"},  TKeyName{VK_DELETE, "Del"},
};

struct TModifierName {
    TShiftState Shift;
    std::string_view Prefix;
};

// In the order shortcut texts write them.
constexpr std::array kModifierNames{
    TModifierName{ssShift, "Shift+"},
    TModifierName{ssCtrl, "Ctrl+"},
    TModifierName{ssAlt, "Alt+"},
};

constexpr int kFunctionKeys = 12;

std::uint16_t KeyOfName(std::string_view Name) {
    if (Name.size() == 1 &&
        ((Name[0] >= 'A' && Name[0] <= 'Z') || (Name[0] >= '0' && Name[0] <= '9'))) {
        return static_cast<std::uint16_t>(Name[0]);
    }
    for (const TKeyName& entry : kKeyNames) {
        if (entry.Name == Name) {
            return entry.Key;
        }
    }
    if (Name.size() >= 2 && Name[0] == 'F') {
        int number = 0;
        for (char c : Name.substr(1)) {
            if (c < '0' || c > '9' || number > kFunctionKeys) {
                return 0;
            }
            number = number * 10 + (c - '0');
        }
        if (number >= 1 && number <= kFunctionKeys) {
            return static_cast<std::uint16_t>(VK_F1 + number - 1);
        }
    }
    return 0;
}

std::string NameOfKey(std::uint16_t Key) {
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) {
        return std::string(1, static_cast<char>(Key));
    }
    for (const TKeyName& entry : kKeyNames) {
        if (entry.Key == Key) {
            return std::string(entry.Name);
        }
    }
    if (Key >= VK_F1 && Key < VK_F1 + kFunctionKeys) {
        // Not "F" + ...: GCC 12 at -O3 wrongly reports that as an overlapping copy.
        std::string name = "F";
        name += std::to_string(Key - VK_F1 + 1);
        return name;
    }
    return {};
}

} // namespace

TShortCut TextToShortCut(std::string_view Text) {
    TShortCut shortCut;
    bool found = true;
    while (found) {
        found = false;
        for (const TModifierName& modifier : kModifierNames) {
            if (Text.starts_with(modifier.Prefix)) {
                shortCut.Shift |= modifier.Shift;
                Text.remove_prefix(modifier.Prefix.size());
                found = true;
            }
        }
    }
    shortCut.Key = KeyOfName(Text);
    return shortCut.Key == 0 ? TShortCut{} : shortCut;
}

std::string ShortCutToText(TShortCut ShortCut) {
    const std::string key = NameOfKey(ShortCut.Key);
    if (key.empty()) {
        return {};
    }
    std::string text;
    for (const TModifierName& modifier : kModifierNames) {
        if ((ShortCut.Shift & modifier.Shift) != 0) {
            text += modifier.Prefix;
        }
    }
    return text + key;
}

TMenuItem& TMenuItem::Add(std::string Caption, TShortCut ShortCut, std::function<void()> OnClick) {
    Items.push_back(std::make_unique<TMenuItem>(std::move(Caption), ShortCut, std::move(OnClick)));
    return *Items.back();
}

void TMenuItem::Click() {
    if (Enabled && OnClick) {
        OnClick();
    }
}

// Every key press is looked up, and the enabling that OnPopup brings up to date may ask the
// system (whether the clipboard holds text): it runs only when the tree has the key at all.
TMenuItem* TMenuItem::FindShortCut(TShortCut Key) {
    if (Key.IsNone() || !HoldsShortCut(Key)) {
        return nullptr;
    }
    return FindEnabledShortCut(Key);
}

bool TMenuItem::HoldsShortCut(TShortCut Key) const {
    return std::ranges::any_of(Items, [Key](const auto& Item) {
        return Item->ShortCut == Key || Item->HoldsShortCut(Key);
    });
}

TMenuItem* TMenuItem::FindEnabledShortCut(TShortCut Key) {
    if (OnPopup) {
        OnPopup();
    }
    for (const auto& item : Items) {
        if (item->ShortCut == Key && item->Enabled) {
            return item.get();
        }
        if (!item->Items.empty() && item->Enabled) {
            if (TMenuItem* found = item->FindEnabledShortCut(Key)) {
                return found;
            }
        }
    }
    return nullptr;
}

void TPopupMenu::Popup() const {
    if (Items.OnPopup) {
        Items.OnPopup();
    }
}

bool TPopupMenu::IsShortCut(TShortCut Key) {
    TMenuItem* item = Items.FindShortCut(Key);
    if (item == nullptr) {
        return false;
    }
    item->Click();
    return true;
}

} // namespace kst
