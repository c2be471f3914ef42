// The mouse through the keystroke-script harness: clicks, drag selection, Shift+click, dragging a
// selection to move or copy it, and whole-row selection from the left bar.
#include "keystroke_script.h"

#include <gtest/gtest.h>

namespace kst {
namespace {

TEST(MouseScriptTest, ClicksRoundToTheNearerEdgeAndTinyMovesSelectNothing) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "|abcdef\n"
        keys: Click(0,2)
        caret: 0,2
        keys: Click(0,2>)
        caret: 0,3
        keys: Press(0,1) Move(0,1)
        expect: "a|bcdef\n"
        keys: Move(0,4) Release(0,4)
        expect: "a^bcd|ef\n"
    )"));
}

TEST(MouseScriptTest, ShiftClickExtendsFromTheCaretOrFromTheOldAnchor) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "a|bcdef\nghijkl\n"
        keys: Shift+Click(1,2)
        expect: "a^bcdef\ngh|ijkl\n"
        keys: Shift+Click(0,3)
        expect: "a^bc|def\nghijkl\n"
    )"));
}

TEST(MouseScriptTest, PressAndReleaseInsideASelectionDeselectsAtThePress) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "a^bcde|f\n"
        keys: Click(0,3)
        expect: "abc|def\n"
    )"));
}

TEST(MouseScriptTest, DraggingASelectionMovesItAndCtrlCopiesIt) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "^ab|cd\n"
        keys: Drag(0,1-0,4)
        expect: "cdab|\n"
    )"));
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "^ab|cd\n"
        keys: Ctrl+Drag(0,1-0,4)
        expect: "abcdab|\n"
    )"));
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "ab^cd|\nef\n"
        keys: Drag(0,3-1,1)
        expect: "ab\necd|f\n"
    )")) << "a move to a later row";
}

TEST(MouseScriptTest, DropsOnTheSelectionOutsideOrAfterEscapeChangeNothing) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "^abc|d\nefgh\n"
        keys: Drag(0,1-0,2)
        expect: "ab|cd\nefgh\n"
    )"));
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "^abc|d\nefgh\n"
        keys: Press(0,1) Move(1,2) Move(1,2) Release(px:500,500)
        expect: "abcd\nef|gh\n"
    )"));
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "^abc|d\nefgh\n"
        keys: Press(0,1) Move(1,2) Move(1,2) Esc Release(1,2)
        expect: "abcd\nef|gh\n"
    )"));
}

TEST(MouseScriptTest, TheLeftBarSelectsWholeRowsInBothDirections) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "|r0\nr1\nr2\nr3\nr4\nr5\n"
        keys: Press(bar:3)
        expect: "r0\nr1\nr2\n|r3\n^r4\nr5\n"
        keys: Move(bar:1)
        expect: "r0\n|r1\nr2\nr3\n^r4\nr5\n"
        keys: Move(bar:5) Release(bar:5)
        expect: "r0\nr1\nr2\n^r3\nr4\nr5\n|"
    )"));
    EXPECT_TRUE(RunKeystrokeScript(R"(
        text: "|r0\nlast"
        keys: Press(bar:1)
        expect: "r0\n|last^"
        keys: Move(bar:0)
        expect: "|r0\nlast^"
        keys: Move(bar:1) Release(bar:1)
        expect: "r0\n|last^"
    )")) << "a last row without a line break is selected to its end";
}

TEST(MouseScriptTest, AReadOnlyEditorSelectsButMovesNoText) {
    EXPECT_TRUE(RunKeystrokeScript(R"(
        options: ReadOnly=1
        text: "|abcd\n"
        keys: Drag(0,0-0,2) Drag(0,1-0,4)
        expect: "abcd|\n"
    )"));
}

} // namespace
} // namespace kst
