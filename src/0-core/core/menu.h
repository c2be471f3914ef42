// Menus as data: a tree of items with captions, shortcuts, enabled and checked states and a click
// action. The Windows layer builds real menus from it; the portable code fills it, enables its
// items when a menu opens and runs an item's action for a shortcut key.
#pragma once

#include "core/messages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// A key with its modifiers; Key 0 is no shortcut.
struct TShortCut {
    std::uint16_t Key = 0;
    TShiftState Shift = 0;

    bool IsNone() const { return Key == 0; }
    bool operator==(const TShortCut&) const = default;
};

// "Ctrl+Z", "Shift+Ctrl+0", "F3", "Del": the modifiers in the order Shift, Ctrl, Alt, then the key
// name. Unknown text gives no shortcut.
TShortCut TextToShortCut(std::string_view Text);
std::string ShortCutToText(TShortCut ShortCut);

class TMenuItem {
public:
    TMenuItem() = default;
    TMenuItem(std::string Caption, TShortCut ShortCut, std::function<void()> OnClick)
        : Caption(std::move(Caption)), ShortCut(ShortCut), OnClick(std::move(OnClick)) {}
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;

    // Appends a sub-item and returns it.
    TMenuItem& Add(std::string Caption, TShortCut ShortCut = {},
                   std::function<void()> OnClick = nullptr);
    TMenuItem& AddSeparator() { return Add("-"); }
    void Clear() { Items.clear(); }
    int Count() const { return static_cast<int>(Items.size()); }
    TMenuItem& operator[](int Index) const { return *Items[static_cast<std::size_t>(Index)]; }

    bool IsSeparator() const { return Caption == "-"; }
    // Runs the action of an enabled item.
    void Click();
    // The enabled item with this shortcut in this item's tree (hidden items included, since some
    // items exist only for their shortcut); null when none. When some item has the key, OnPopup
    // handlers run first, parent before child, so that enabling is current when the shortcut is
    // looked up.
    TMenuItem* FindShortCut(TShortCut Key);

    std::string Caption;
    TShortCut ShortCut;
    bool Enabled = true;
    bool Checked = false;
    bool Visible = true;
    // Identifies the item to the menus built from it (the Windows layer's command number).
    int Tag = 0;
    std::function<void()> OnClick;
    // Runs before the item's sub-menu opens and before its shortcuts are looked up.
    std::function<void()> OnPopup;
    std::vector<std::unique_ptr<TMenuItem>> Items;

private:
    bool HoldsShortCut(TShortCut Key) const;
    TMenuItem* FindEnabledShortCut(TShortCut Key);
};

// A pop-up menu: the root item's sub-items are its entries.
class TPopupMenu {
public:
    TPopupMenu() = default;
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;
    virtual ~TPopupMenu() = default;

    // The menu is about to show: OnPopup runs.
    void Popup() const;
    // Runs the action of the enabled item with this shortcut; false when there is none.
    bool IsShortCut(TShortCut Key);

    TMenuItem Items;
};

} // namespace kst
