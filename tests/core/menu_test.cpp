#include "core/menu.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kst {
namespace {

TEST(ShortCutText, NamedKeysAndModifiersSurviveARoundTrip) {
    const std::vector<std::pair<std::string, TShortCut>> cases{
        {"Ctrl+Z", {'Z', ssCtrl}},
        {"Shift+Ctrl+0", {'0', static_cast<TShiftState>(ssShift | ssCtrl)}},
        {"F3", {static_cast<std::uint16_t>(VK_F1 + 2), 0}},
        {"F12", {static_cast<std::uint16_t>(VK_F1 + 11), 0}},
        {"Del", {static_cast<std::uint16_t>(VK_DELETE), 0}},
        {"Shift+Ctrl+Alt+Del",
         {static_cast<std::uint16_t>(VK_DELETE),
          static_cast<TShiftState>(ssShift | ssCtrl | ssAlt)}},
    };
    for (const auto& [text, shortCut] : cases) {
        EXPECT_EQ(TextToShortCut(text), shortCut) << text;
        EXPECT_EQ(ShortCutToText(shortCut), text);
    }
    EXPECT_EQ(ShortCutToText(TextToShortCut("Ctrl+Shift+0")), "Shift+Ctrl+0")
        << "modifiers are written in their fixed order";
}

TEST(ShortCutText, UnknownTextGivesNoShortCut) {
    for (const std::string text :
         {"", "Ctrl+", "F0", "F13", "F99999999999999999999", "Ctrl+ZZ", "Hyper+Z", "z"}) {
        EXPECT_TRUE(TextToShortCut(text).IsNone()) << text;
    }
    EXPECT_EQ(TextToShortCut("Ctrl+F"), (TShortCut{'F', ssCtrl})) << "the letter F is a key";
    EXPECT_EQ(ShortCutToText({}), "");
}

class MenuTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        TMenuItem& edit = Menu.Items.Add("Edit");
        Undo = &edit.Add("Undo", TextToShortCut("Ctrl+Z"), [this] { Log += "undo;"; });
        Hidden = &edit.Add("Hidden", TextToShortCut("F3"), [this] { Log += "hidden;"; });
        Hidden->Visible = false;
        Marks = &Menu.Items.Add("Marks");
        Marks->Add("0", TextToShortCut("Ctrl+0"), [this] { Log += "mark;"; });
    }

    TPopupMenu Menu;
    TMenuItem* Undo = nullptr;
    TMenuItem* Hidden = nullptr;
    TMenuItem* Marks = nullptr;
    std::string Log;
};

TEST_F(MenuTreeTest, ShortCutsFindEnabledItemsInTheWholeTree) {
    EXPECT_TRUE(Menu.IsShortCut(TextToShortCut("Ctrl+Z")));
    EXPECT_TRUE(Menu.IsShortCut(TextToShortCut("F3"))) << "hidden items keep their shortcut";
    EXPECT_TRUE(Menu.IsShortCut(TextToShortCut("Ctrl+0")));
    EXPECT_FALSE(Menu.IsShortCut(TextToShortCut("Ctrl+Y")));
    EXPECT_EQ(Log, "undo;hidden;mark;");

    Undo->Enabled = false;
    Marks->Enabled = false;
    EXPECT_FALSE(Menu.IsShortCut(TextToShortCut("Ctrl+Z")));
    EXPECT_FALSE(Menu.IsShortCut(TextToShortCut("Ctrl+0")))
        << "a disabled sub-menu hides its items";
    Undo->Click();
    EXPECT_EQ(Log, "undo;hidden;mark;") << "a disabled item does not run";
}

TEST_F(MenuTreeTest, OnPopupEnablesItemsBeforeShortCutsAreLookedUp) {
    bool canUndo = false;
    int popups = 0;
    Menu.Items.OnPopup = [&] {
        ++popups;
        Undo->Enabled = canUndo;
    };
    EXPECT_FALSE(Menu.IsShortCut(TextToShortCut("Ctrl+Z")));
    canUndo = true;
    EXPECT_TRUE(Menu.IsShortCut(TextToShortCut("Ctrl+Z")));
    EXPECT_EQ(Log, "undo;");
    Menu.Popup();
    EXPECT_EQ(popups, 3);
    EXPECT_FALSE(Menu.IsShortCut(TextToShortCut("Ctrl+Y")));
    EXPECT_EQ(popups, 3) << "a key that no item has brings no enabling up to date";
}

} // namespace
} // namespace kst
