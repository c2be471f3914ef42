#include "input/editor.h"
#include "input/popup_menu.h"
#include "platform/clipboard.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kst {
namespace {

class MemoryClipboard : public Clipboard {
public:
    void SetText(std::string_view Value, bool Box) override {
        Text = std::string(Value);
        BoxText = Box;
    }
    std::optional<std::string> GetText() override { return Text; }
    bool HasText() const override { return Text.has_value(); }
    bool HasBoxText() const override { return Text.has_value() && BoxText; }

    std::optional<std::string> Text;
    bool BoxText = false;
};

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        Editor->SetHost(&Host);
        Editor->SetClipboard(&Board);
    }
    void Open(std::string_view Text) { Editor->GetLines().SetTextStr(Text); }
    TEditorPopupMenu& Menu() const {
        return static_cast<TEditorPopupMenu&>(*Editor->GetPopupMenu());
    }
    // Replaces row 0 through the row store: one undoable edit.
    void EditFirstRow(std::string_view Text) {
        Editor->ScreenStrings().UpdateRows(0, 1, std::string(Text) + "\r\n");
    }
    std::string Text() const { return Editor->GetLines().GetTextStr(); }
    bool Press(std::string_view Key) { return Menu().IsShortCut(TextToShortCut(Key)); }

    std::vector<std::pair<std::string, bool>> Enabling() const {
        const TEditorPopupMenu& menu = Menu();
        menu.Popup();
        return {
            {"undo", menu.UndoItem().Enabled},     {"redo", menu.RedoItem().Enabled},
            {"cut", menu.CutItem().Enabled},       {"copy", menu.CopyItem().Enabled},
            {"paste", menu.PasteItem().Enabled},   {"box paste", menu.BoxPasteItem().Enabled},
            {"delete", menu.DeleteItem().Enabled}, {"select all", menu.SelectAllItem().Enabled}};
    }

    RecordingHost Host{{400, 300}};
    MemoryClipboard Board;
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

using Enabled = std::vector<std::pair<std::string, bool>>;

TEST_F(PopupMenuTest, TheEditorInstallsItsOwnMenuWithTheTabledEntries) {
    ASSERT_NE(dynamic_cast<TEditorPopupMenu*>(Editor->GetPopupMenu()), nullptr);
    const TMenuItem& root = Menu().Items;
    const std::vector<std::pair<std::string, std::string>> expected{
        {"マーク設定", ""},
        {"マークジャンプ", ""},
        {"-", ""},
        {"元に戻す(&U)", "Ctrl+Z"},
        {"やり直し(&R)", "Ctrl+A"},
        {"-", ""},
        {"切り取り(&T)", "Ctrl+X"},
        {"コピー(&C)", "Ctrl+C"},
        {"貼り付け(&P)", "Ctrl+V"},
        {"Box貼り付け(&B)", "Ctrl+B"},
        {"削除(&D)", ""},
        {"-", ""},
        {"すべて選択(&A)", ""},
        {"-", ""},
        {"Box選択モード(&K)", "Ctrl+K"}};
    ASSERT_EQ(root.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < root.Count(); ++i) {
        EXPECT_EQ(root[i].Caption, expected[i].first);
        EXPECT_EQ(ShortCutToText(root[i].ShortCut), expected[i].second) << root[i].Caption;
    }
    for (int digit = 0; digit < 10; ++digit) {
        const std::string name(1, static_cast<char>('0' + digit));
        EXPECT_EQ(root[0][digit].Caption, name);
        EXPECT_EQ(ShortCutToText(root[0][digit].ShortCut), "Shift+Ctrl+" + name);
        EXPECT_EQ(root[1][digit].Caption, name);
        EXPECT_EQ(ShortCutToText(root[1][digit].ShortCut), "Ctrl+" + name);
    }
    EXPECT_EQ(root[0].Count(), 10);
    EXPECT_EQ(root[1].Count(), 10);
}

TEST_F(PopupMenuTest, ItemsAreEnabledByWhatTheEditorCanDo) {
    EXPECT_EQ(Enabling(), (Enabled{{"undo", false},
                                   {"redo", false},
                                   {"cut", false},
                                   {"copy", false},
                                   {"paste", false},
                                   {"box paste", false},
                                   {"delete", false},
                                   {"select all", false}}));

    Open("abc\r\n");
    EditFirstRow("abcd");
    Board.Text = "x";
    Editor->SetSelStart(1);
    Editor->SetSelLength(2);
    EXPECT_EQ(Enabling(), (Enabled{{"undo", true},
                                   {"redo", false},
                                   {"cut", true},
                                   {"copy", true},
                                   {"paste", true},
                                   {"box paste", true},
                                   {"delete", true},
                                   {"select all", true}}));

    Editor->SetReadOnly(true);
    EXPECT_EQ(Enabling(), (Enabled{{"undo", false},
                                   {"redo", false},
                                   {"cut", false},
                                   {"copy", true},
                                   {"paste", false},
                                   {"box paste", false},
                                   {"delete", false},
                                   {"select all", true}}));

    Editor->SetReadOnly(false);
    Editor->Undo();
    Board.Text.reset();
    EXPECT_EQ(Enabling(), (Enabled{{"undo", false},
                                   {"redo", true},
                                   {"cut", false},
                                   {"copy", false},
                                   {"paste", false},
                                   {"box paste", false},
                                   {"delete", false},
                                   {"select all", true}}));

    Editor->SetClipboard(nullptr);
    Board.Text = "x";
    Menu().Popup();
    EXPECT_FALSE(Menu().PasteItem().Enabled) << "no clipboard, nothing to paste";
}

TEST_F(PopupMenuTest, ChecksFollowTheBoxModeAndTheMarksInUse) {
    Open("a\r\nb\r\nc\r\n");
    Editor->PutRowMark(1, 2);
    Editor->PutRowMark(2, 7);
    Editor->PutRowMark(0, 12);
    Editor->SetBoxSelection(true);
    Menu().Popup();
    EXPECT_TRUE(Menu().BoxModeItem().Checked);
    for (int mark = 0; mark < 10; ++mark) {
        const bool used = mark == 2 || mark == 7;
        EXPECT_EQ(Menu().MarkSetItem()[mark].Checked, used) << mark;
        EXPECT_EQ(Menu().MarkJumpItem()[mark].Checked, used) << mark;
    }
    Editor->SetBoxSelection(false);
    Editor->DeleteRowMark(1, 2);
    Menu().Popup();
    EXPECT_FALSE(Menu().BoxModeItem().Checked);
    EXPECT_FALSE(Menu().MarkSetItem()[2].Checked);
}

TEST_F(PopupMenuTest, ShortcutsRunTheActionsOfEnabledItemsOnly) {
    Open("abc\r\n");
    EditFirstRow("xyz");
    EXPECT_TRUE(Press("Ctrl+K"));
    EXPECT_TRUE(Editor->GetBoxSelection());
    EXPECT_TRUE(Press("Ctrl+K"));
    EXPECT_FALSE(Editor->GetBoxSelection());

    EXPECT_TRUE(Press("Ctrl+Z"));
    EXPECT_EQ(Text(), "abc\r\n");
    EXPECT_TRUE(Press("Ctrl+A"));
    EXPECT_EQ(Text(), "xyz\r\n") << "Ctrl+A redoes";

    Editor->SetReadOnly(true);
    EXPECT_FALSE(Press("Ctrl+Z")) << "undo is disabled in a read-only editor";
    EXPECT_EQ(Text(), "xyz\r\n");
    EXPECT_FALSE(Press("Ctrl+X")) << "nothing selected";
    EXPECT_FALSE(Press("Ctrl+Q")) << "no item has it";
    EXPECT_FALSE(Menu().IsShortCut({}));
}

TEST_F(PopupMenuTest, MarkItemsToggleOnTheCaretRowAndJump) {
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "line\r\n";
    }
    Open(text);
    TEditorScreenStrings& rows = Editor->ScreenStrings();
    Editor->SetRowCol(5, 2);
    EXPECT_TRUE(Press("Shift+Ctrl+3"));
    EXPECT_EQ(rows.GetRowMarks(5), 1 << 3);
    Editor->SetRowCol(80, 0);
    EXPECT_TRUE(Press("Ctrl+3"));
    EXPECT_EQ(Editor->GetRow(), 5);
    EXPECT_EQ(Editor->GetCol(), 0);

    Editor->SetRowCol(9, 0);
    EXPECT_TRUE(Press("Shift+Ctrl+3"));
    EXPECT_EQ(rows.GetRowMarks(5), 0) << "the mark moves to the caret row";
    EXPECT_EQ(rows.GetRowMarks(9), 1 << 3);
    EXPECT_TRUE(Press("Shift+Ctrl+3"));
    EXPECT_EQ(rows.GetRowMarks(9), 0) << "a second toggle removes it";

    Editor->SetRowCol(9, 0);
    Press("Shift+Ctrl+4");
    Editor->SetRowCol(100, 0);
    ASSERT_EQ(Editor->GetRow(), 100);
    EXPECT_TRUE(Press("Shift+Ctrl+4"));
    EXPECT_EQ(rows.GetRowMarks(9), 1 << 4) << "the empty last row takes no mark and keeps it";
}

TEST_F(PopupMenuTest, ClickingAnItemRunsItsAction) {
    Open("abc\r\ndef\r\n");
    Menu().Popup();
    Menu().SelectAllItem().Click();
    EXPECT_EQ(Editor->GetSelText(), "abc\r\ndef\r\n");
    Menu().BoxModeItem().Click();
    EXPECT_TRUE(Editor->GetBoxSelection());
}

} // namespace
} // namespace kst
