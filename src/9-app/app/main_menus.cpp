#include "app/main_menus.h"

#include <algorithm>

namespace kst {

void TToolButton::Click() {
    if (Enabled && OnClick) {
        OnClick();
    }
}

TToolButton& TToolBar::Add(std::string Hint, int ImageIndex, std::function<void()> OnClick) {
    TToolButton& button = Buttons.emplace_back();
    button.Hint = std::move(Hint);
    button.ImageIndex = ImageIndex;
    button.OnClick = std::move(OnClick);
    button.Enabled = button.OnClick != nullptr;
    return button;
}

void TToolBar::AddSeparator() {
    Buttons.emplace_back().Separator = true;
}

int TMainMenus::ImageIndexOf(const TMenuItem& Item) const {
    const auto found = ImageIndexes.find(&Item);
    return found == ImageIndexes.end() ? -1 : found->second;
}

void DeleteItemsAfter(TMenuItem& Menu, const TMenuItem& Separator) {
    const auto separator = std::ranges::find_if(
        Menu.Items, [&Separator](const auto& Item) { return Item.get() == &Separator; });
    if (separator != Menu.Items.end()) {
        Menu.Items.erase(separator + 1, Menu.Items.end());
    }
}

} // namespace kst
