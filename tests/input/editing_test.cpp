#include "core/messages.h"
#include "document/wrap.h"
#include "input/editor.h"
#include "support/memory_clipboard.h"
#include "support/recording_host.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace kst {
namespace {

// "あ" and a full-width space in CP932.
const std::string kA = "\x82\xa0";
const std::string kWideSpace = "\x81\x40";

using Position = std::pair<int, int>;

class EditingTest : public ::testing::Test {
protected:
    void SetUp() override {
        Editor->SetHost(&Host);
        Editor->SetClipboard(&Clip);
        // The options the main window gives its editor.
        TEditorCaret& caret = Editor->GetCaret();
        caret.SetFreeCaret(false);
        caret.SetFreeRow(true);
        caret.SetBackSpaceUnIndent(false);
        caret.SetTabIndent(true);
        caret.SetTabSpaceCount(4);
    }

    void Open(std::string_view Text) { Editor->GetLines().SetTextStr(Text); }
    std::string Text() const { return Editor->GetLines().GetTextStr(); }
    Position Caret() const { return {Editor->GetRow(), Editor->GetCol()}; }
    int UndoSteps() const { return Editor->GetScreenStringsPtr()->GetUndoObj().UndoCount(); }
    void WrapAt(int WrapByte) {
        Editor->GetWrapOption().SetWrapByte(WrapByte);
        Editor->SetWordWrap(true);
    }
    // Selects from (Row1, Col1) to (Row2, Col2) as Shift and the arrow keys do.
    void Select(int Row1, int Col1, int Row2, int Col2) {
        Editor->SetRowCol(Row1, Col1);
        Editor->StartSelection();
        Editor->SetRowCol(Row2, Col2);
        Editor->ExtendSelection();
    }

    // Runs an edit that must be one undo step giving Expected with the caret at Caret; one Undo
    // gives back the text before it, one Redo the text after it.
    void ExpectEdit(const std::function<void()>& Edit, const std::string& Expected,
                    Position ExpectedCaret) {
        const std::string before = Text();
        const int steps = UndoSteps();
        Edit();
        EXPECT_EQ(Text(), Expected);
        EXPECT_EQ(Caret(), ExpectedCaret);
        EXPECT_EQ(UndoSteps(), steps + 1) << "one edit is one change of the rows";
        Editor->Undo();
        EXPECT_EQ(Text(), before) << "undone by one Undo";
        Editor->Redo();
        EXPECT_EQ(Text(), Expected) << "redone by one Redo";
    }
    void ExpectNoChange(const std::function<void()>& Edit) {
        const std::string before = Text();
        const int steps = UndoSteps();
        Edit();
        EXPECT_EQ(Text(), before);
        EXPECT_EQ(UndoSteps(), steps);
    }

    RecordingHost Host{{400, 300}};
    MemoryClipboard Clip;
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

TEST_F(EditingTest, TypingInsertsAtTheCaretAndReplacesTheSelection) {
    Editor->GetCaret().SetFreeCaret(true);
    Open("abc\r\n");
    Editor->SetRowCol(0, 10);
    ExpectEdit([&] { Editor->InsertText("x"); }, "abc       x\r\n", {0, 11});
    Editor->SetRowCol(0, 1);
    ExpectEdit([&] { Editor->InsertText(kA); }, "a" + kA + "bc       x\r\n", {0, 3});

    Open("abcdef\r\nghij\r\n");
    Select(0, 2, 1, 1);
    ExpectEdit([&] { Editor->InsertText("XY"); }, "abXYhij\r\n", {0, 4});
    EXPECT_EQ(Editor->GetSelectionState(), kSelectionNone);

    Open("abcdef\r\nghijkl\r\nmnopqr\r\n");
    Editor->SetBoxSelection(true);
    Select(0, 1, 2, 3);
    ExpectEdit([&] { Editor->InsertText("Z"); }, "aZdef\r\ngjkl\r\nmpqr\r\n", {0, 2});
}

TEST_F(EditingTest, ReplacingTheSelectionTakesAnyLineBreaks) {
    Open("abc\r\n");
    Editor->SetRowCol(0, 1);
    ExpectEdit([&] { Editor->SetSelTextBuf("1\n2\r3\r\n"); }, "a1\r\n2\r\n3\r\nbc\r\n", {3, 0});
    Select(0, 0, 0, 2);
    ExpectEdit([&] { Editor->SetSelTextBuf(""); }, "\r\n2\r\n3\r\nbc\r\n", {0, 0});
    ExpectNoChange([&] { Editor->SetSelTextBuf(""); });
}

TEST_F(EditingTest, BackspaceDeletesTheCharacterOrLineBreakBeforeTheCaret) {
    Open("ab\r\ncd\r\n");
    Editor->SetRowCol(1, 0);
    ExpectEdit([&] { Editor->BackSpaceAtCaret(); }, "abcd\r\n", {0, 2});
    Editor->SetRowCol(1, 0);
    ASSERT_EQ(Caret(), (Position{1, 0})) << "the empty row after the final line break";
    ExpectEdit([&] { Editor->BackSpaceAtCaret(); }, "abcd", {0, 4});
    ExpectNoChange([&] {
        Editor->SetRowCol(0, 0);
        Editor->BackSpaceAtCaret();
    });

    Open("a\tb\r\n");
    Editor->SetRowCol(0, 4);
    ExpectEdit([&] { Editor->BackSpaceAtCaret(); }, "ab\r\n", {0, 1});
    Open("a" + kA + "\r\n");
    Editor->SetRowCol(0, 3);
    ExpectEdit([&] { Editor->BackSpaceAtCaret(); }, "a\r\n", {0, 1});
}

TEST_F(EditingTest, ACaretInsideATabDeletesTheTab) {
    Editor->GetCaret().SetInTab(true);
    Open("x\r\n\tab\r\n");
    Editor->SetRowCol(1, 2);
    ExpectEdit([&] { Editor->BackSpaceAtCaret(); }, "x\r\nab\r\n", {1, 0});
    Editor->Undo();
    Editor->SetRowCol(1, 2);
    ExpectEdit([&] { Editor->DeleteAtCaret(); }, "x\r\nab\r\n", {1, 0});
}

TEST_F(EditingTest, AnEditCancelsASearchHitWithoutReplacingIt) {
    Editor->SetHitStyle(hsDraw);
    Open("abc\r\n");
    Editor->SetRowCol(0, 1);
    Editor->SetHitSelection(2);
    ASSERT_EQ(Editor->GetSelectionState(), kSelectionHit);
    // The caret stands at the hit's end; the hit's text stays.
    ExpectEdit([&] { Editor->InsertText("x"); }, "abcx\r\n", {0, 4});
    EXPECT_EQ(Editor->GetSelectionState(), kSelectionNone);
}

TEST_F(EditingTest, BackspaceAtTheStartOfAWrappedRowDeletesTheWholeLastCharacterAbove) {
    WrapAt(20);
    Open(std::string(18, 'a') + kA + "bbbbb\r\n");
    ASSERT_EQ(Editor->GetScreenStringsPtr()->GetRowAttribute(0), raWrap);
    ASSERT_EQ(Editor->GetScreenStringsPtr()->GetView(0), std::string(18, 'a') + kA);
    Editor->SetRowCol(1, 0);
    ExpectEdit([&] { Editor->BackSpaceAtCaret(); }, std::string(18, 'a') + "bbbbb\r\n", {0, 18});
}

TEST_F(EditingTest, BackspaceInFreeSpaceOnlyMovesTheCaret) {
    Editor->GetCaret().SetFreeCaret(true);
    Open("ab\r\n");
    Editor->SetRowCol(0, 5);
    ExpectNoChange([&] { Editor->BackSpaceAtCaret(); });
    EXPECT_EQ(Caret(), (Position{0, 4}));
}

TEST_F(EditingTest, BackspaceUnIndentGoesBackToAnEarlierIndentation) {
    Editor->GetCaret().SetBackSpaceUnIndent(true);
    Open("    y\r\n\r\n        x\r\n");
    Editor->SetRowCol(2, 8);
    ExpectEdit([&] { Editor->BackSpaceAtCaret(); }, "    y\r\n\r\n    x\r\n", {2, 4});
    ExpectEdit([&] { Editor->BackSpaceAtCaret(); }, "    y\r\n\r\nx\r\n", {2, 0});

    Open("y\r\n" + kWideSpace + kWideSpace + "x\r\n");
    Editor->SetRowCol(1, 4);
    ExpectEdit([&] { Editor->BackSpaceAtCaret(); }, "y\r\nx\r\n", {1, 0});
}

TEST_F(EditingTest, DeleteRemovesTheCharacterAtTheCaretOrJoinsTheNextLine) {
    Open("ab\r\ncd\r\n");
    Editor->SetRowCol(0, 2);
    ExpectEdit([&] { Editor->DeleteAtCaret(); }, "abcd\r\n", {0, 2});
    Editor->SetRowCol(0, 0);
    ExpectEdit([&] { Editor->DeleteAtCaret(); }, "bcd\r\n", {0, 0});
    Editor->SetRowCol(0, 3);
    SCOPED_TRACE("the final line break goes");
    ExpectEdit([&] { Editor->DeleteAtCaret(); }, "bcd", {0, 3});
    ExpectNoChange([&] { Editor->DeleteAtCaret(); });

    Open(kA + "b\r\n");
    Editor->SetRowCol(0, 0);
    ExpectEdit([&] { Editor->DeleteAtCaret(); }, "b\r\n", {0, 0});

    Editor->GetCaret().SetFreeCaret(true);
    Open("ab\r\ncd\r\n");
    Editor->SetRowCol(0, 4);
    ExpectEdit([&] { Editor->DeleteAtCaret(); }, "ab  cd\r\n", {0, 4});
}

TEST_F(EditingTest, EnterIndentsTheNewLineLikeTheCurrentOne) {
    Editor->GetCaret().SetTabIndent(false);
    Open("    foo\r\n");
    Editor->SetRowCol(0, 7);
    ExpectEdit([&] { Editor->EnterAtCaret(false); }, "    foo\r\n    \r\n", {1, 4});

    Editor->GetCaret().SetTabIndent(true);
    Open("    foo\r\n");
    Editor->SetRowCol(0, 7);
    ExpectEdit([&] { Editor->EnterAtCaret(false); }, "    foo\r\n\t\r\n", {1, 4});

    Editor->GetCaret().SetTabIndent(false);
    Open("    foo\r\n");
    Editor->SetRowCol(0, 2);
    ExpectEdit([&] { Editor->EnterAtCaret(false); }, "  \r\n    foo\r\n", {1, 2});

    Editor->GetCaret().SetAutoIndent(false);
    Open("    foo\r\n");
    Editor->SetRowCol(0, 5);
    ExpectEdit([&] { Editor->EnterAtCaret(false); }, "    f\r\noo\r\n", {1, 0});
}

TEST_F(EditingTest, EnterOnTheEmptyLastRowAppendsALine) {
    Open("ab\r\n");
    Editor->SetRow(1);
    ExpectEdit([&] { Editor->EnterAtCaret(false); }, "ab\r\n\r\n", {2, 0});
    Open("");
    ExpectEdit([&] { Editor->EnterAtCaret(false); }, "\r\n", {1, 0});
}

TEST_F(EditingTest, PrevSpaceIndentTakesTheIndentOfTheLineAbove) {
    Editor->GetCaret().SetTabIndent(false);
    Editor->GetCaret().SetPrevSpaceIndent(true);
    Open("  a\r\n\r\n");
    Editor->SetRowCol(1, 0);
    ExpectEdit([&] { Editor->EnterAtCaret(false); }, "  a\r\n\r\n  \r\n", {2, 2});
}

TEST_F(EditingTest, EnterOverASelectionReplacesItAsOneEdit) {
    Open("abcdef\r\n");
    Select(0, 2, 0, 4);
    ExpectEdit([&] { Editor->EnterAtCaret(false); }, "ab\r\nef\r\n", {1, 0});
    Select(0, 0, 0, 1);
    ExpectNoChange([&] { Editor->EnterAtCaret(true); });
}

TEST_F(EditingTest, ShiftEnterOpensALineAboveTheWholeLine) {
    WrapAt(20);
    Open("x\r\n    " + std::string(26, 'a') + "\r\n");
    ASSERT_EQ(Editor->GetScreenStringsPtr()->GetRowAttribute(1), raWrap);
    Editor->SetRowCol(2, 3);
    ExpectEdit([&] { Editor->EnterAtCaret(true); },
               "x\r\n\t\r\n    " + std::string(26, 'a') + "\r\n", {1, 4});
    Editor->GetCaret().SetTabIndent(false);
    Editor->SetRowCol(3, 3);
    ExpectEdit([&] { Editor->EnterAtCaret(true); },
               "x\r\n\t\r\n    \r\n    " + std::string(26, 'a') + "\r\n", {2, 4});
}

TEST_F(EditingTest, TabGoesToTheNextTabStop) {
    Editor->GetCaret().SetSoftTab(true);
    Editor->GetCaret().SetFreeCaret(true);
    Open("\r\n");
    Editor->SetRowCol(0, 5);
    ExpectEdit([&] { Editor->TabAtCaret(); }, "        \r\n", {0, 8});

    Editor->GetCaret().SetTabSpaceCount(8);
    WrapAt(20);
    Open(std::string(18, 'a') + "\r\n");
    Editor->SetRowCol(0, 18);
    SCOPED_TRACE("never past the wrap column");
    ExpectEdit([&] { Editor->TabAtCaret(); }, std::string(18, 'a') + "  \r\n", {1, 0});

    Editor->GetCaret().SetSoftTab(false);
    Open("ab\r\n");
    Editor->SetRowCol(0, 1);
    ExpectEdit([&] { Editor->TabAtCaret(); }, "a\tb\r\n", {0, 8});
    Select(0, 0, 0, 8);
    SCOPED_TRACE("replaces the selection");
    ExpectEdit([&] { Editor->TabAtCaret(); }, "\tb\r\n", {0, 8});
}

TEST_F(EditingTest, BoxInsertionPutsEachLineInItsOwnRow) {
    Editor->GetCaret().SetFreeCaret(true);
    Open("xy\r\npqrs");
    Editor->SetRowCol(0, 3);
    ExpectEdit([&] { Editor->SetSelTextBox("a\r\nb"); }, "xy a\r\npqrbs\r\n", {1, 4});

    Open("ab");
    Editor->SetRowCol(0, 1);
    SCOPED_TRACE("lines below the text become new lines at the box column");
    ExpectEdit([&] { Editor->SetSelTextBox("1\r\n2\n3\r\n"); }, "a1b\r\n 2\r\n 3\r\n", {2, 2});

    Open("abc\r\na\tb\r\na" + kA + "cd\r\n");
    Editor->SetRowCol(0, 2);
    SCOPED_TRACE("a tab or double-byte character the column cuts is passed");
    ExpectEdit([&] { Editor->SetSelTextBox("X\r\nY\r\nZ"); }, "abXc\r\na\tYb\r\na" + kA + "Zcd\r\n",
               {2, 4});
}

TEST_F(EditingTest, BoxCopyPastesAsARectangleAndForeignTextAsAStream) {
    Open("abcd\r\nefgh\r\nijkl\r\n");
    Editor->SetBoxSelection(true);
    Select(0, 1, 1, 3);
    Editor->CopyToClipboard();
    EXPECT_EQ(Clip.Content, "bc\r\nfg\r\n");
    EXPECT_TRUE(Clip.HasBoxText());
    Editor->CancelSelection();
    Editor->SetRowCol(2, 1);
    ExpectEdit([&] { Editor->PasteFromClipboard(); }, "abcd\r\nefgh\r\nibcjkl\r\n fg\r\n", {3, 3});

    Clip.PutForeignText("bc\r\nfg\r\n");
    Editor->SetRowCol(0, 1);
    ExpectEdit([&] { Editor->PasteFromClipboard(); },
               "abc\r\nfg\r\nbcd\r\nefgh\r\nibcjkl\r\n fg\r\n", {2, 0});
    SCOPED_TRACE("Box paste takes any text as a rectangle");
    ExpectEdit([&] { Editor->PasteBoxFromClipboard(); },
               "abc\r\nfg\r\nbcbcd\r\nfgefgh\r\nibcjkl\r\n fg\r\n", {3, 2});
}

TEST_F(EditingTest, BoxSelectionCanBeReplacedOverSeveralRows) {
    Open("abcd\r\nefgh\r\nijkl\r\n");
    Editor->SetBoxSelection(true);
    Select(0, 1, 1, 3);
    ExpectEdit([&] { Editor->SetSelTextBox("1\r\n2\r\n3"); }, "a1d\r\ne2h\r\ni3jkl\r\n", {2, 2});
    Select(0, 1, 2, 2);
    ExpectEdit([&] { Editor->DeleteSelection(); }, "ad\r\neh\r\nijkl\r\n", {0, 1});
}

TEST_F(EditingTest, SelectAllLeavesBoxMode) {
    Open("ab\r\ncd");
    int modeChanges = 0;
    Editor->OnSelectionModeChange = [&](TEditor&) { ++modeChanges; };
    Editor->SetBoxSelection(true);
    modeChanges = 0;
    Editor->SelectAll();
    EXPECT_FALSE(Editor->GetBoxSelection());
    EXPECT_EQ(modeChanges, 1);
    EXPECT_EQ(Editor->GetSelText(), "ab\r\ncd");
}

TEST_F(EditingTest, CutCopiesBeforeItDeletes) {
    Open("abc\r\n");
    Select(0, 0, 0, 2);
    Clip.Failing = true;
    EXPECT_THROW(Editor->CutToClipboard(), EClipboardError);
    EXPECT_EQ(Text(), "abc\r\n");
    EXPECT_THROW(Editor->PasteFromClipboard(), EClipboardError);
    EXPECT_EQ(Text(), "abc\r\n");
    Clip.Failing = false;
    ExpectEdit([&] { Editor->CutToClipboard(); }, "c\r\n", {0, 0});
    EXPECT_EQ(Clip.Content, "ab");
    EXPECT_FALSE(Clip.HasBoxText());
    ExpectEdit([&] { Editor->PasteFromClipboard(); }, "abc\r\n", {0, 2});

    Editor->SetClipboard(nullptr);
    Select(0, 0, 0, 1);
    ExpectNoChange([&] { Editor->CutToClipboard(); });
}

TEST_F(EditingTest, ReadOnlyBlocksTheEditingKeysAndPaste) {
    Open("ab\r\ncd\r\n");
    Clip.PutForeignText("x");
    Editor->SetReadOnly(true);
    Editor->SetRowCol(1, 1);
    ExpectNoChange([&] {
        Editor->BackSpaceAtCaret();
        Editor->DeleteAtCaret();
        Editor->EnterAtCaret(false);
        Editor->EnterAtCaret(true);
        Editor->TabAtCaret();
        Editor->SetSelTextBuf("y");
        Editor->SetSelTextBox("y");
        Editor->PasteFromClipboard();
        Editor->PasteBoxFromClipboard();
    });

    // A program's own changes still go through.
    Editor->InsertText("z");
    Editor->Undo();
    Editor->Redo();
    EXPECT_EQ(Text(), "ab\r\nczd\r\n");
}

TEST_F(EditingTest, EditMessagesCopyCutPasteClearReplaceAndUndo) {
    Open("abc\r\n");
    Clip.PutForeignText("zz");
    Editor->WndProc(WM_COPY, 0, 0);
    EXPECT_EQ(Clip.Content, "") << "copying nothing empties the clipboard text";

    Select(0, 0, 0, 1);
    Editor->WndProc(WM_COPY, 0, 0);
    EXPECT_EQ(Clip.Content, "a");
    Editor->SetReadOnly(true);
    Editor->WndProc(WM_CUT, 0, 0);
    EXPECT_EQ(Clip.Content, "");
    EXPECT_EQ(Text(), "abc\r\n");
    Editor->WndProc(WM_PASTE, 0, 0);
    Editor->WndProc(WM_CLEAR, 0, 0);
    Editor->WndProc(EM_REPLACESEL, 1, reinterpret_cast<std::intptr_t>("q"));
    EXPECT_EQ(Editor->WndProc(WM_UNDO, 0, 0), 0);
    EXPECT_EQ(Text(), "abc\r\n");

    Editor->SetReadOnly(false);
    Select(0, 0, 0, 1);
    Editor->WndProc(WM_CUT, 0, 0);
    EXPECT_EQ(Clip.Content, "a");
    EXPECT_EQ(Text(), "bc\r\n");
    Editor->SetRowCol(0, 2);
    Editor->WndProc(WM_PASTE, 0, 0);
    EXPECT_EQ(Text(), "bca\r\n");
    Select(0, 0, 0, 1);
    Editor->WndProc(WM_CLEAR, 0, 0);
    EXPECT_EQ(Text(), "ca\r\n");
    Editor->WndProc(EM_REPLACESEL, 0, reinterpret_cast<std::intptr_t>("\x82\xa0!"));
    EXPECT_EQ(Text(), kA + "!ca\r\n");
    EXPECT_EQ(Editor->WndProc(WM_UNDO, 0, 0), 1);
    EXPECT_EQ(Text(), "ca\r\n");
    EXPECT_EQ(Editor->WndProc(EM_UNDO, 0, 0), 1);
    EXPECT_EQ(Text(), "bca\r\n");
}

TEST_F(EditingTest, TheCaretComesBackWhenAChangeFails) {
    Open("ab\r\n");
    Host.HasFocus = true;
    Editor->WndProc(WM_SETFOCUS, 0, 0);
    ASSERT_TRUE(Host.CaretVisible());
    Editor->OnChange = [](TEditor&) { throw EClipboardError("failed"); };
    EXPECT_THROW(Editor->EnterAtCaret(false), EClipboardError);
    EXPECT_TRUE(Host.CaretVisible());
    Editor->OnChange = nullptr;
    Editor->InsertText("x");
    EXPECT_TRUE(Host.CaretVisible());
}

// The caret column's class in its row: never the second byte of a double-byte character.
char CaretClass(TEditor& Editor) {
    const std::string_view row = Editor.GetRow() < Editor.GetScreenStringsPtr()->GetCount()
                                     ? Editor.GetScreenStringsPtr()->GetView(Editor.GetRow())
                                     : std::string_view();
    WrapContext context = Editor.GetScreenStringsPtr()->GetWrapContext();
    const std::string classes = ColumnClassesOf(context, row.substr(0, 1100));
    return Editor.GetCol() < static_cast<int>(classes.size()) ? classes[Editor.GetCol()] : '0';
}

// Random edits on text full of lone lead bytes, NUL bytes and tabs, with word wrap on and off:
// the caret never stands inside a double-byte character, and undoing every step gives back the
// text it started from.
TEST_F(EditingTest, RandomEditsOnMalformedTextKeepTheCaretOnCharacters) {
    const std::vector<std::string> pieces = {
        "\x82", std::string(1, '\0'), "\t", "a", kA, "\r\n", " ", "\x81"};
    for (const bool wrap : {false, true}) {
        Editor->GetCaret().SetFreeCaret(wrap);
        Editor->GetCaret().SetBackSpaceUnIndent(wrap);
        if (wrap) {
            WrapAt(20);
        }
        const std::string start =
            "a\x82\r\n\x82" + std::string(1, '\0') + "b\t\x82\r\n" + std::string(30, 'x') + "\x82";
        Open(start);
        Editor->SetUndoListMax(1000);
        std::mt19937 random(wrap ? 7 : 3);
        int steps = 0;
        for (int i = 0; i < 400; ++i) {
            const int rows = Editor->GetScreenStringsPtr()->GetCount();
            Editor->SetRowCol(static_cast<int>(random() % (rows + 1)),
                              static_cast<int>(random() % 30));
            const int before = UndoSteps();
            const int op = random() % 7;
            switch (op) {
            case 0:
                Editor->InsertText(pieces[random() % pieces.size()]);
                break;
            case 1:
                Editor->BackSpaceAtCaret();
                break;
            case 2:
                Editor->DeleteAtCaret();
                break;
            case 3:
                Editor->EnterAtCaret(random() % 2 == 0);
                break;
            case 4:
                Editor->TabAtCaret();
                break;
            case 5:
                Editor->SetSelTextBox(pieces[random() % pieces.size()] + "\r\n" +
                                      pieces[random() % pieces.size()]);
                break;
            default:
                Editor->SetBoxSelection(random() % 2 == 0);
                Editor->StartSelection();
                Editor->SetRowCol(static_cast<int>(random() % (rows + 1)),
                                  static_cast<int>(random() % 30));
                Editor->ExtendSelection();
                Editor->DeleteSelection();
                break;
            }
            ASSERT_LE(UndoSteps() - before, 1) << "step " << i;
            steps += UndoSteps() - before;
            ASSERT_NE(CaretClass(*Editor), kClassTrailByte) << "step " << i << ", edit " << op;
        }
        EXPECT_GT(steps, 100);
        while (Editor->CanUndo()) {
            Editor->Undo();
        }
        EXPECT_EQ(Text(), start);
    }
}

} // namespace
} // namespace kst
