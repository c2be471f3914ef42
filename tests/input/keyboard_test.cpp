#include "core/messages.h"
#include "keystroke_script.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace kst {
namespace {

// Count numbered lines in script notation: "0\n1\n...".
std::string NumberedLines(int Count) {
    std::string text;
    for (int i = 0; i < Count; ++i) {
        text += std::to_string(i) + "\\n";
    }
    return text;
}

// The interpreter itself: each wrong expectation fails at its line, and the right ones pass.
TEST(KeystrokeScript, AWrongExpectationFailsAtItsLine) {
    const std::string steps = "text: \"ab|c\\n\"\nkeys: Shift+Right\n";
    EXPECT_TRUE(RunKeystrokeScript(steps + "expect: \"ab^c|\\n\"\ncaret: 0,3\nexpecttop: 0"));
    const std::vector<std::pair<std::string, int>> wrong = {
        {"expect: \"abc|\\n\"", 3}, {"expect: \"ab|c^\\n\"", 3},
        {"expect: \"ab^c|\"", 3},   {"expect: \"ab^c|\\n\"\ncaret: 0,2", 4},
        {"caret: 1,0", 3},          {"expecttop: 1", 3},
    };
    for (const auto& [expectation, line] : wrong) {
        const ::testing::AssertionResult result = RunKeystrokeScript(steps + expectation);
        EXPECT_FALSE(result) << expectation;
        EXPECT_TRUE(std::string(result.message()).starts_with("line " + std::to_string(line)))
            << result.message();
    }
}

TEST(KeyboardTest, CaretKeysStepOverDoubleByteCharactersWhole) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "|あいう\n"
        keys: Right
        expect: "あ|いう\n"
        caret: 0,2
        keys: Right Left Left
        expect: "|あいう\n"
        keys: End
        caret: 0,6
        keys: Shift+Left
        expect: "あい|う^\n"
        # An unshifted key cancels the selection and moves from the caret.
        keys: Left
        expect: "あ|いう\n"
    )"));
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "abcd\nあいう\nabcd\n"
        goto: 0,3
        keys: Down
        caret: 1,2
        keys: Down
        caret: 2,3
    )")) << "a vertical move across a double-byte character returns to its column";
}

TEST(KeyboardTest, TabColumnsAreSkippedUnlessInTab) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: TabSpaceCount=4
        text: "|\tx\nabcdef\n"
        keys: Right
        caret: 0,4
        keys: Right Left Left
        caret: 0,0
        goto: 1,2
        keys: Up
        caret: 0,0
        keys: Down
        caret: 1,2
        options: InTab=1
        keys: Up
        caret: 0,2
        keys: Right
        caret: 0,3
    )"));
}

TEST(KeyboardTest, FreeRowKeepsTheColumnAndKeepCaretReturnsToIt) {
    const std::string rows = "aaaaaaaaaaaaaaaaaaaaaaaaa\\nshort\\nbbbbbbbbbbbbbbbbbbbbbbbbb\\n";
    EXPECT_TRUE(RunKeystrokeScript("text: \"" + rows + R"("
        goto: 0,20
        keys: Down
        caret: 1,20
        keys: Right
        caret: 1,5
        goto: 0,20
        keys: Down "x"
        caret: 1,21
        expect: "aaaaaaaaaaaaaaaaaaaaaaaaa\nshort)" +
                                   std::string(15, ' ') + R"(x|\nbbbbbbbbbbbbbbbbbbbbbbbbb\n"
    )")) << "with FreeRow, Down keeps column 20 past the short row's end; typing there pads";
    EXPECT_TRUE(RunKeystrokeScript("options: FreeRow=0 KeepCaret=1\ntext: \"" + rows + R"("
        goto: 0,20
        keys: Down
        caret: 1,5
        keys: Down
        caret: 2,20
    )"));
}

TEST(KeyboardTest, WrappedRowsKeepTheCaretOffTheirEnd) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: WordWrap=1 WrapByte=20 NextLine=0
        text: "|aaaaaaaaaabbbbbbbbbbcccccccccc\n"
        keys: End
        caret: 0,19
        # Right crosses into the next row of the wrapped line even without NextLine.
        keys: Right
        caret: 1,0
        expect: "aaaaaaaaaabbbbbbbbbb|cccccccccc\n"
        keys: End Right
        caret: 1,10
        keys: Home Left
        caret: 0,19
        keys: Ctrl+End
        caret: 2,0
    )"));
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: NextLine=1
        text: "ab|\ncd"
        keys: Right
        expect: "ab\n|cd"
        keys: Left
        expect: "ab|\ncd"
        options: NextLine=0
        keys: Right
        expect: "ab|\ncd"
    )")) << "NextLine wraps Right and Left to the neighbouring rows";
}

TEST(KeyboardTest, VerticalKeysStopAtTheTextsEnd) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "a|b\ncd"
        keys: Down
        expect: "ab\nc|d"
        keys: Down
        expect: "ab\nc|d"
        keys: Up Up
        expect: "a|b\ncd"
    )"));
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "a|b\ncd\n"
        keys: Ctrl+End
        expect: "ab\ncd\n|"
        caret: 2,0
        keys: Ctrl+Home
        expect: "|ab\ncd\n"
        keys: End
        expect: "ab|\ncd\n"
        keys: Home
        expect: "|ab\ncd\n"
    )")) << "Ctrl+End goes to the empty row after a final line break";
}

TEST(KeyboardTest, ShiftWithCaretKeysSelectsFromTheAnchor) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "ab|cd\nefgh\n"
        keys: Shift+Down
        expect: "ab^cd\nef|gh\n"
        keys: Shift+Right Shift+End
        expect: "ab^cd\nefgh|\n"
        keys: Shift+Ctrl+Home
        expect: "|ab^cd\nefgh\n"
        keys: Right
        expect: "a|bcd\nefgh\n"
    )"));
}

TEST(KeyboardTest, PageKeysScrollByHalfAViewTimesTheSpeed) {
    const std::string text = "text: \"" + NumberedLines(100) + "\"\n";
    EXPECT_TRUE(RunKeystrokeScript("options: Rows=21 PageVerticalRange=2\n" + text + R"(
        goto: 5,0
        keys: PageDown
        expecttop: 20
        caret: 25,0
        keys: PageUp
        expecttop: 0
        caret: 5,0
        keys: PageUp
        caret: 0,0
    )")) << "21 visible rows and PageVerticalRange 2 make a page of 20 rows";
    EXPECT_TRUE(RunKeystrokeScript("options: Rows=21 PageVerticalRange=1 PageVerticalRangeAc=3\n" +
                                   text + R"(
        keys: PageDown
        expecttop: 10
        keys: PageDown@2
        expecttop: 50
        caret: 50,0
    )")) << "a held page key scrolls by PageVerticalRangeAc";
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: Rows=5
        text: "a\nb\nc"
        top: 2
        goto: 2,0
        keys: PageDown
        expecttop: 2
        caret: 2,0
    )")) << "PageDown with the last row at the top does nothing";
    EXPECT_TRUE(RunKeystrokeScript("options: Rows=2 PageVerticalRange=1\n" + text + R"(
        keys: PageDown PageDown
        expecttop: 2
        caret: 2,0
    )")) << "a view of two rows still pages by one row";
}

TEST(KeyboardTest, HeldVerticalKeysAccelerateAtTheEdgeOfTheView) {
    const std::string text = "text: \"" + NumberedLines(50) + "\"\n";
    EXPECT_TRUE(RunKeystrokeScript("options: Rows=10 CaretVerticalAc=3\n" + text + R"(
        goto: 9,0
        keys: Down@3
        caret: 16,0
        keys: Down
        caret: 17,0
    )"));
    EXPECT_TRUE(RunKeystrokeScript("options: Rows=10 CaretVerticalAc=3\n" + text + R"(
        goto: 5,0
        keys: Down@3
        caret: 8,0
    )")) << "inside the view a held key moves one row per repeat";
}

TEST(KeyboardTest, CtrlUpAndDownScrollTheViewAndKeepTheCaretInIt) {
    const std::string text = "text: \"" + NumberedLines(50) + "\"\n";
    EXPECT_TRUE(RunKeystrokeScript("options: Rows=10\n" + text + R"(
        top: 5
        goto: 14,0
        keys: Ctrl+Up
        expecttop: 4
        caret: 13,0
        keys: Ctrl+Down
        expecttop: 5
        caret: 13,0
        goto: 5,0
        keys: Ctrl+Down
        expecttop: 6
        caret: 6,0
    )"));
}

TEST(KeyboardTest, CtrlArrowsStepByTokens) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "|foo=bar\nx"
        keys: Ctrl+Right
        caret: 0,4
        keys: Ctrl+Right
        caret: 0,7
        keys: Ctrl+Right
        caret: 1,0
        keys: Ctrl+Right
        caret: 1,1
        keys: Ctrl+Right
        caret: 1,1
        keys: Ctrl+Left Ctrl+Left
        caret: 0,7
        keys: Ctrl+Left
        caret: 0,4
        keys: Shift+Ctrl+Left
        expect: "|foo=^bar\nx"
    )")) << "without TokenEndStop operators are passed over";
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: TokenEndStop=1
        text: "|foo=bar\n"
        keys: Ctrl+Right
        caret: 0,3
        keys: Ctrl+Right
        caret: 0,4
        keys: Ctrl+Right
        caret: 0,7
        keys: Ctrl+Right
        caret: 1,0
    )")) << "with TokenEndStop every token end is a stop";
}

TEST(KeyboardTest, TypingInsertsBytesAndWholeDoubleByteCharacters) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "ab|\n"
        keys: "xy" "あ" "漾" "ｱ"
        expect: "abxyあ漾ｱ|\n"
        caret: 0,9
        keys: BS BS
        expect: "abxyあ|\n"
    )")) << "a lead byte from 0xE0 up waits for its second byte like the others";
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "|\n"
        keys: Raw"\x82" "x"
        expect: "x|\n"
        keys: "\x82 "
        expect: "x |\n"
        keys: Raw"\x82\x7f\x80"
        expect: "x |\n"
    )")) << "a lead byte without a second byte behind it is dropped; 0x7F and 0x80 type nothing";
}

TEST(KeyboardTest, TypingReplacesTheSelectionAndPadsFreeSpace) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "a^bc|d\n"
        keys: "X"
        expect: "aX|d\n"
        options: FreeCaret=1
        text: "abc\n"
        goto: 0,10
        keys: "x"
        expect: "abc       x|\n"
        caret: 0,11
    )"));
}

TEST(KeyboardTest, BackspaceAndDelete) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "ab\n|cd\n"
        keys: BS
        expect: "ab|cd\n"
        keys: Del
        expect: "ab|d\n"
        keys: End Del
        expect: "abd|"
        keys: Del
        expect: "abd|"
        keys: Shift+Home Del
        expect: "|"
    )"));
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: TabSpaceCount=4
        text: "a\t|b\n"
        keys: BS
        expect: "a|b\n"
        caret: 0,1
    )")) << "Backspace right after a tab deletes the whole tab";
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: BackSpaceUnIndent=1
        text: "    y\n        |x\n"
        keys: BS
        expect: "    y\n    |x\n"
        caret: 1,4
    )")) << "Backspace in the indentation goes back to the indent of a row above";
}

TEST(KeyboardTest, EnterIndentsAndShiftEnterOpensALineAbove) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: TabIndent=0
        text: "    foo|\n"
        keys: Enter
        expect: "    foo\n    |\n"
        text: "    foo\n"
        goto: 0,2
        keys: Enter
        expect: "  \n  |  foo\n"
    )"));
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: TabIndent=1 TabSpaceCount=4
        text: "    foo|\n"
        keys: Enter
        expect: "    foo\n\t|\n"
        text: "  ab|c\n"
        keys: Shift+Enter
        expect: "  |\n  abc\n"
        text: "abcd\n"
        select: 0,1 0,3
        keys: Shift+Enter
        expect: "a^bc|d\n"
        keys: Enter
        expect: "a\n|d\n"
    )")) << "Enter replaces a selection by the split, Shift+Enter does nothing with one";
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: WordWrap=1 WrapByte=20
        text: "aaaaaaaaaabbbbbbbbbbccc\n"
        goto: 1,1
        keys: Shift+Enter
        expect: "|\naaaaaaaaaabbbbbbbbbbccc\n"
    )")) << "Shift+Enter on the second row of a wrapped line opens the line above its first row";
}

TEST(KeyboardTest, TabInsertsOnlyWithoutModifiersAndWithWantTabs) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: TabSpaceCount=4
        text: "ab|\n"
        keys: Ctrl+Tab Shift+Tab
        expect: "ab|\n"
        options: WantTabs=0
        keys: Tab
        expect: "ab|\n"
        options: WantTabs=1
        keys: Tab
        expect: "ab\t|\n"
        caret: 0,4
        options: SoftTab=1
        text: "abcde|\n"
        keys: Tab
        expect: "abcde   |\n"
    )"));
}

TEST(KeyboardTest, ReadOnlyBlocksEditsButNotCaretKeys) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: ReadOnly=1
        text: "ab|c\nd\n"
        keys: "x" "あ" BS Del Enter Shift+Enter Tab Ime"う"
        expect: "ab|c\nd\n"
        keys: Shift+Left
        expect: "a|b^c\nd\n"
        keys: Del
        expect: "a|b^c\nd\n"
        keys: Right Down
        expect: "abc\nd|\n"
    )"));
}

TEST(KeyboardTest, InputMethodResultsAreInsertedOnceAndTheirEchoSwallowed) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "a|b\n"
        keys: Ime"あいう"
        expect: "aあいう|b\n"
        keys: Ime"xあ" "y"
        expect: "aあいうxあy|b\n"
    )"));
}

TEST(KeyboardTest, BoxSelectionEdgesAndBoxPaste) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: BoxSelection=1 TabSpaceCount=4
        text: "a\tb\nabcdef\n"
        goto: 1,2
        keys: Shift+Right*3 Shift+Up
        caret: 0,5
        keys: Del
        expect: "a|\t\nabf\n"
    )")) << "a tab cut by the box's left edge stays outside it";
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: BoxSelection=1
        text: "あいう\nabcdef\n"
        goto: 1,1
        keys: Shift+Right*3 Shift+Up Del
        expect: "|あう\naef\n"
    )")) << "a double-byte character cut by the left edge stays outside, one cut by the right "
            "edge is inside";
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: FreeCaret=1
        text: "xy\npqrs\n"
        boxclipboard: "a\nb"
        goto: 0,3
        keys: Ctrl+V
        expect: "xy a\npqrb|s\n"
        clipboard: "a\nb"
        text: "x|y\npqrs\n"
        keys: Ctrl+V
        expect: "xa\nb|y\npqrs\n"
    )")) << "a rectangle pastes into the rows below the caret, other text as a stream";
}

} // namespace
} // namespace kst

namespace kst {
namespace {

class KeyboardEventsTest : public ::testing::Test {
protected:
    void SetUp() override { Editor.GetLines().SetTextStr("abc\r\ndef\r\n"); }

    KeystrokeDriver Driver;
    TEditor& Editor = Driver.Editor();
};

TEST_F(KeyboardEventsTest, KeyEventsRunFirstAndMayChangeOrZeroTheKey) {
    Editor.OnKeyDown = [](TEditor&, std::uint16_t& Key, TShiftState) {
        Key = Key == VK_RIGHT ? VK_DOWN : Key;
    };
    Driver.PressKey(VK_RIGHT, 0);
    EXPECT_EQ(Driver.Render(), "abc\\n|def\\n") << "Right turned into Down";

    Editor.OnKeyPress = [](TEditor&, char& Key) { Key = Key == 'x' ? 0 : Key; };
    Driver.Type("xay");
    EXPECT_EQ(Driver.Render(), "abc\\nay|def\\n") << "a zeroed character types nothing";
}

TEST_F(KeyboardEventsTest, CharacterMessagesCarryOneByteEach) {
    Editor.WndProc(WM_CHAR, 0x3042, 0);
    EXPECT_EQ(Driver.Render(), "|abc\\ndef\\n") << "a UTF-16 value is no byte and types nothing";
    Editor.WndProc(WM_CHAR, 'z', 0);
    EXPECT_EQ(Driver.Render(), "z|abc\\ndef\\n");
}

TEST_F(KeyboardEventsTest, ShortcutsOfThePopupMenuAreConsumedBeforeTheKeyTable) {
    TPopupMenu menu;
    int clicks = 0;
    menu.Items.Add("go", {VK_RIGHT, ssCtrl}, [&] { ++clicks; });
    Editor.SetPopupMenu(&menu);
    Driver.PressKey(VK_RIGHT, ssCtrl);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Driver.CaretOffset(), 0) << "the menu item took the key";
    Driver.PressKey(VK_RIGHT, 0);
    EXPECT_EQ(Driver.CaretOffset(), 1);
    Editor.SetPopupMenu(nullptr);
}

TEST_F(KeyboardEventsTest, TheCaretHidesWhileTheCandidateListIsOpen) {
    ASSERT_TRUE(Driver.Host().CaretVisible());
    Editor.WndProc(WM_IME_NOTIFY, IMN_OPENCANDIDATE, 0);
    EXPECT_FALSE(Driver.Host().CaretVisible());
    Driver.PressKey(VK_RIGHT, 0);
    EXPECT_FALSE(Driver.Host().CaretVisible()) << "moving the caret does not show it";
    Editor.WndProc(WM_IME_NOTIFY, IMN_CLOSECANDIDATE, 0);
    EXPECT_TRUE(Driver.Host().CaretVisible());
    Editor.WndProc(WM_IME_NOTIFY, IMN_CLOSECANDIDATE, 0);
    EXPECT_TRUE(Driver.Host().CaretVisible()) << "an unmatched close changes nothing";

    // The list may close unannounced while another window has the focus.
    Editor.WndProc(WM_IME_NOTIFY, IMN_OPENCANDIDATE, 0);
    Driver.Host().HasFocus = false;
    Editor.WndProc(WM_KILLFOCUS, 0, 0);
    Driver.Host().HasFocus = true;
    Editor.WndProc(WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(Driver.Host().CaretVisible()) << "the focus's return shows the caret";
}

TEST_F(KeyboardEventsTest, AHeldKeyMovesTheCompositionWindowAtKeyUp) {
    Driver.PressKey(VK_RIGHT, 0);
    const TPoint afterOneStep = Driver.Host().CompositionPos;
    EXPECT_EQ(afterOneStep, Driver.Host().CaretPos) << "a single press moves it at once";

    Editor.WndProc(WM_KEYDOWN, VK_RIGHT, 1);
    Editor.WndProc(WM_KEYDOWN, VK_RIGHT, (std::intptr_t{1} << 30) | 1);
    EXPECT_EQ(Driver.Host().CompositionPos.X, afterOneStep.X + Editor.GetCharWidth())
        << "only the first key down moves it";
    Editor.WndProc(WM_KEYUP, VK_RIGHT, 0);
    EXPECT_EQ(Driver.Host().CompositionPos, Driver.Host().CaretPos);
}

TEST_F(KeyboardEventsTest, DialogCodeAsksForTabAndEnterOnlyWhenWanted) {
    const auto code = [&] { return Editor.WndProc(WM_GETDLGCODE, 0, 0).value_or(0); };
    EXPECT_EQ(code(), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB | DLGC_WANTALLKEYS);
    Editor.SetWantTabs(false);
    EXPECT_EQ(code(), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS);
    Editor.SetWantReturns(false);
    EXPECT_EQ(code(), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

} // namespace
} // namespace kst
