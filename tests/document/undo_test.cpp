#include "document/editor_strings.h"
#include "document/undo.h"
#include "support/fake_editor.h"

#include <gtest/gtest.h>
#include <string>

namespace kst {
namespace {

constexpr std::uint16_t kMark3 = 1u << 3;
constexpr std::uint16_t kMark12 = 1u << 12;

struct Document {
    FakeEditor Editor;
    TEditorStrings Lines{Editor};
    TEditorScreenStrings& Rows = *Editor.Store;
    TEditorUndoObj& Undo = Rows.GetUndoObj();
};

TEST(TEditorUndoObj, KeepsTheLastUndoListMaxSteps) {
    Document doc;
    for (int i = 0; i < 65; ++i) {
        doc.Lines.Add(std::to_string(i));
    }
    EXPECT_EQ(doc.Undo.UndoCount(), 64);
    while (doc.Undo.CanUndo()) {
        doc.Rows.Undo();
    }
    EXPECT_EQ(doc.Lines.GetTextStr(), "0\r\n"); // the first change is out of reach
    EXPECT_EQ(doc.Undo.RedoCount(), 64);

    doc.Undo.SetUndoListMax(10);
    EXPECT_EQ(doc.Undo.GetUndoListMax(), 64);
    doc.Undo.SetUndoListMax(100);
    EXPECT_EQ(doc.Undo.GetUndoListMax(), 100);
    for (int i = 0; i < 120; ++i) {
        doc.Lines.Add("x");
    }
    EXPECT_EQ(doc.Undo.UndoCount(), 100);
    doc.Undo.SetUndoListMax(70);
    EXPECT_EQ(doc.Undo.UndoCount(), 70);
}

TEST(TEditorUndoObj, UndoRedoRestoreTextAndCaret) {
    Document doc;
    doc.Lines.SetTextStr("abc\r\n");
    EXPECT_FALSE(doc.Undo.CanUndo());
    doc.Editor.SetRowCol(0, 3);
    doc.Rows.UpdateRows(0, 1, "abcd\r\n");
    doc.Editor.SetRowCol(0, 4);
    doc.Rows.UpdateRows(0, 1, "abcde\r\n");
    doc.Editor.SetRowCol(0, 5);

    doc.Rows.Undo();
    EXPECT_EQ(doc.Lines.GetTextStr(), "abcd\r\n");
    EXPECT_EQ(doc.Editor.Col, 4); // where it stood when the change was made
    EXPECT_TRUE(doc.Undo.CanRedo());
    doc.Editor.SetRowCol(0, 2);
    doc.Rows.Undo();
    EXPECT_EQ(doc.Lines.GetTextStr(), "abc\r\n");
    EXPECT_EQ(doc.Editor.Col, 3);
    EXPECT_FALSE(doc.Undo.CanUndo());

    doc.Rows.Redo();
    EXPECT_EQ(doc.Lines.GetTextStr(), "abcd\r\n");
    EXPECT_EQ(doc.Editor.Col, 2); // where it stood before the undo
    EXPECT_EQ(doc.Editor.CaretHides, 0);
    EXPECT_EQ(doc.Editor.MaxCaretHides, 1);

    doc.Rows.UpdateRows(0, 1, "new\r\n");
    EXPECT_FALSE(doc.Undo.CanRedo());
    EXPECT_EQ(doc.Undo.UndoCount(), 2);

    // Empty lists: nothing happens, no caret hide, no notification.
    doc.Undo.Clear();
    doc.Editor.Changes.clear();
    doc.Editor.MaxCaretHides = 0;
    doc.Rows.Undo();
    doc.Rows.Redo();
    EXPECT_TRUE(doc.Editor.Changes.empty());
    EXPECT_EQ(doc.Editor.MaxCaretHides, 0);
}

TEST(TEditorUndoObj, BracketsCloseWhenAnExceptionPasses) {
    Document doc;
    doc.Lines.Add("a");
    doc.Editor.FailNextChange = true;
    EXPECT_THROW(doc.Rows.Undo(), std::runtime_error);
    EXPECT_EQ(doc.Editor.CaretHides, 0);
    EXPECT_EQ(doc.Lines.GetTextStr(), "");
    EXPECT_FALSE(doc.Undo.CanUndo()); // the undone step is not offered again
    doc.Rows.Redo();
    EXPECT_EQ(doc.Lines.GetTextStr(), "a\r\n");
    // The update bracket closed too: the next change is notified at once.
    doc.Editor.Changes.clear();
    doc.Lines.Add("b");
    EXPECT_EQ(doc.Editor.Changes.size(), 1u);

    doc.Editor.FailNextChange = true;
    EXPECT_THROW(doc.Lines.Put(0, "c"), std::runtime_error);
    EXPECT_EQ(doc.Editor.CaretHides, 0);
    doc.Editor.Changes.clear();
    doc.Lines.Add("d");
    EXPECT_EQ(doc.Editor.Changes.size(), 1u);
}

TEST(TEditorUndoObj, UndoNotifiesEditorsAsAChange) {
    Document doc;
    doc.Lines.SetTextStr("a\r\nb\r\n");
    doc.Lines.Put(1, "bb");
    doc.Editor.Modified = false;
    doc.Editor.Changes.clear();
    doc.Rows.Undo();
    ASSERT_EQ(doc.Editor.Changes.size(), 1u);
    const TUpdateInfo expected{1, 1, 1, 1, true}; // the restored row's start state is recomputed
    EXPECT_EQ(doc.Editor.Changes[0], expected);
    EXPECT_TRUE(doc.Editor.Modified); // undoing every change still leaves the text modified
    EXPECT_EQ(doc.Rows.GetUpdateInfo(), TUpdateInfo{});
}

TEST(TEditorUndoObj, UndoOfWholeLineDeletionRestoresRowAndMarks) {
    Document doc;
    doc.Lines.SetTextStr("abc\r\ndef\r\n");
    doc.Rows.SetRowMarks(0, kMark3 | kMark12);
    doc.Rows.SetRowMarks(1, kMark12);
    doc.Lines.Delete(0);
    ASSERT_EQ(doc.Lines.GetTextStr(), "def\r\n");
    EXPECT_EQ(doc.Rows.GetRowMarks(0), kMark3 | kMark12); // the marks moved to the next line

    doc.Editor.SetRowCol(0, 0);
    doc.Rows.Undo();
    ASSERT_EQ(doc.Rows.GetCount(), 2);
    EXPECT_EQ(doc.Rows.Get(0), "abc");
    EXPECT_EQ(doc.Rows.GetRowAttribute(0), raLineBreak);
    EXPECT_EQ(doc.Rows.GetRowMarks(0), kMark3 | kMark12);
    EXPECT_EQ(doc.Rows.GetRowMarks(1), kMark12);

    doc.Rows.Redo();
    EXPECT_EQ(doc.Lines.GetTextStr(), "def\r\n");
    EXPECT_EQ(doc.Rows.GetRowMarks(0), kMark3 | kMark12);
}

TEST(TEditorUndoObj, UndoOfInsertionAtTheEndMovesMarksToThePreviousRow) {
    Document doc;
    doc.Lines.SetTextStr("abc\r\n");
    doc.Lines.Add("x");
    doc.Lines.Add("y");
    doc.Rows.SetRowMarks(2, kMark3);
    doc.Rows.Undo();
    EXPECT_EQ(doc.Lines.GetTextStr(), "abc\r\nx\r\n");
    EXPECT_EQ(doc.Rows.GetRowMarks(1), kMark3);
    doc.Rows.Undo();
    EXPECT_EQ(doc.Lines.GetTextStr(), "abc\r\n");
    EXPECT_EQ(doc.Rows.GetRowMarks(0), kMark3);
    EXPECT_EQ(doc.Rows.GetUsedMarks(), kMark3);

    // Undoing the only rows leaves none, and their marks leave the used set.
    Document single;
    single.Lines.Add("only");
    single.Rows.SetRowMarks(0, kMark12);
    single.Rows.Undo();
    EXPECT_EQ(single.Rows.GetCount(), 0);
    EXPECT_EQ(single.Rows.GetUsedMarks(), 0);
}

TEST(TEditorUndoObj, HistoryIsClearedWhenRowNumbersChangeMeaning) {
    Document doc;
    doc.Lines.Add("a");
    doc.Lines.Add("b");
    doc.Rows.Undo();
    doc.Rows.SetWordWrap(true);
    EXPECT_FALSE(doc.Undo.CanUndo());
    EXPECT_FALSE(doc.Undo.CanRedo());

    doc.Lines.Add("c");
    doc.Rows.GetWrapOption().SetWrapByte(30);
    EXPECT_FALSE(doc.Undo.CanUndo());

    doc.Lines.Add("d");
    doc.Lines.Clear();
    EXPECT_FALSE(doc.Undo.CanUndo());
    EXPECT_EQ(doc.Rows.GetCount(), 0);
}

TEST(TEditorUndoObj, UndoWithWordWrapRewrapsTheRestoredText) {
    Document doc;
    doc.Rows.GetWrapOption().SetWrapByte(20);
    doc.Rows.SetWordWrap(true);
    const std::string line = "0123456789abcdefghijKLMNOPQRSTUVWXYZ0123456789";
    doc.Lines.SetTextStr(line + "\r\nnext");
    ASSERT_EQ(doc.Rows.GetCount(), 4);
    doc.Lines.Delete(0);
    EXPECT_EQ(doc.Rows.GetCount(), 1);
    doc.Rows.Undo();
    ASSERT_EQ(doc.Rows.GetCount(), 4);
    EXPECT_EQ(doc.Rows.GetRowAttribute(0), raWrap);
    EXPECT_EQ(doc.Rows.GetRowAttribute(2), raLineBreak);
    EXPECT_EQ(doc.Rows.GetRowAttribute(3), raEndOfText);
    EXPECT_EQ(doc.Lines.Get(0), line);
}

} // namespace
} // namespace kst
