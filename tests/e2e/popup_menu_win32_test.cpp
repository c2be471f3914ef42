// Real menus built from menu trees in this process.
#include "win32/popup_menu_win32.h"

#include <gtest/gtest.h>
#include <string>

namespace kst::win32 {
namespace {

std::wstring MenuString(HMENU Menu, UINT Position) {
    wchar_t Text[64] = {};
    GetMenuStringW(Menu, Position, Text, static_cast<int>(std::size(Text)), MF_BYPOSITION);
    return Text;
}

TEST(Win32Menu, ItemsBecomeMenuEntriesWithTheirShortcutsAndStates) {
    TMenuItem Root;
    TMenuItem& Marks = Root.Add("マークジャンプ");
    Marks.Add("0", TextToShortCut("Ctrl+0")).Checked = true;
    bool MarksOpened = false;
    Marks.OnPopup = [&] { MarksOpened = true; };
    Root.AddSeparator();
    Root.Add("元に戻す(&U)", TextToShortCut("Ctrl+Z")).Enabled = false;
    Root.Add("Hidden").Visible = false;
    TMenuItem& SelectAll = Root.Add("すべて選択(&A)");

    NumberMenuItems(Root);
    const HMENU Menu = CreatePopupMenu();
    FillMenu(Menu, Root);
    ASSERT_EQ(GetMenuItemCount(Menu), 4) << "the hidden item is left out";
    EXPECT_TRUE(MarksOpened) << "a sub-menu is enabled before it is filled";

    const HMENU SubMenu = GetSubMenu(Menu, 0);
    ASSERT_NE(SubMenu, nullptr);
    EXPECT_EQ(MenuString(Menu, 0), L"マークジャンプ");
    EXPECT_EQ(MenuString(SubMenu, 0), L"0\tCtrl+0");
    EXPECT_NE(GetMenuState(SubMenu, 0, MF_BYPOSITION) & MF_CHECKED, 0U);
    EXPECT_NE(GetMenuState(Menu, 1, MF_BYPOSITION) & MF_SEPARATOR, 0U);
    EXPECT_EQ(MenuString(Menu, 2), L"元に戻す(&U)\tCtrl+Z");
    EXPECT_NE(GetMenuState(Menu, 2, MF_BYPOSITION) & MF_GRAYED, 0U);
    EXPECT_EQ(MenuString(Menu, 3), L"すべて選択(&A)");
    EXPECT_EQ(GetMenuState(Menu, 3, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED), 0U);

    const UINT Command = GetMenuItemID(Menu, 3);
    EXPECT_EQ(FindMenuCommand(Root, Command), &SelectAll);
    EXPECT_EQ(FindMenuCommand(Root, 999), nullptr);

    Root.Add("more");
    FillMenu(Menu, Root);
    EXPECT_EQ(GetMenuItemCount(Menu), 5) << "filling again replaces the entries";
    DestroyMenu(Menu);
}

} // namespace
} // namespace kst::win32
