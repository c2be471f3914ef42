#include "document/screen_strings.h"
#include "lists/row_text_io.h"
#include "support/fake_editor.h"

#include <climits>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace kst {
namespace {

constexpr std::uint16_t kMark1 = 1u << 1;
constexpr std::uint16_t kMark2 = 1u << 2;

std::string RowTexts(const TEditorScreenStrings& Rows) {
    std::string out;
    for (int i = 0; i < Rows.GetCount(); ++i) {
        out += std::string(Rows.GetView(i)) + "|" + std::to_string(Rows.GetRowAttribute(i)) + " ";
    }
    return out;
}

struct Wrapped {
    FakeEditor Editor;
    TEditorScreenStrings& Rows = *Editor.Store;

    explicit Wrapped(std::string_view Text) {
        Rows.GetWrapOption().SetWrapByte(20);
        Rows.SetWordWrap(true);
        LoadRowsFromText(Rows, Text);
        Rows.WrapAll();
    }
};

TEST(TEditorScreenStrings, EditsRewrapOnlyTheTouchedLines) {
    // 30 columns: a full row and a continuation of 10.
    Wrapped doc("aaaaaaaaaabbbbbbbbbbcccccccccc\r\nnext\r\n");
    ASSERT_EQ(RowTexts(doc.Rows), "aaaaaaaaaabbbbbbbbbb|1 cccccccccc|0 next|0 ");

    // Deleting at the start of the continuation row lets its text move up into the row before.
    doc.Editor.Changes.clear();
    doc.Rows.UpdateRows(1, 1, "\r\n");
    EXPECT_EQ(RowTexts(doc.Rows), "aaaaaaaaaabbbbbbbbbb|1 |0 next|0 ");
    doc.Rows.UpdateRows(1, 1, "Xcccccccccc\r\n");
    EXPECT_EQ(RowTexts(doc.Rows), "aaaaaaaaaabbbbbbbbbb|1 Xcccccccccc|0 next|0 ");
    ASSERT_FALSE(doc.Editor.Changes.empty());
    EXPECT_EQ(doc.Editor.Changes.back().UpdateStartRow, 0); // one row back
    EXPECT_TRUE(doc.Editor.Changes.back().UpdatePending);

    // Removing the line break joins and re-wraps the next line.
    doc.Rows.UpdateRows(1, 1, "Xcccccccccc");
    EXPECT_EQ(RowTexts(doc.Rows), "aaaaaaaaaabbbbbbbbbb|1 Xccccccccccnext|0 ");
    EXPECT_EQ(RowsTextStr(doc.Rows), "aaaaaaaaaabbbbbbbbbbXccccccccccnext\r\n");

    // Invalid ranges and empty changes do nothing.
    const std::string before = RowTexts(doc.Rows);
    doc.Rows.UpdateRows(-1, 1, "x");
    doc.Rows.UpdateRows(1, 2, "x");
    doc.Rows.UpdateRows(3, 0, "x");
    doc.Rows.UpdateRows(1, INT_MAX, "x");
    doc.Rows.UpdateRows(0, 0, "");
    EXPECT_EQ(RowTexts(doc.Rows), before);
}

TEST(TEditorScreenStrings, ALineThatFillsItsRowsEndsInAnEmptyRow) {
    const std::string full(20, 'f');
    Wrapped doc("x\r\n" + full);
    ASSERT_EQ(RowTexts(doc.Rows), "x|0 " + full + "|1 |2 ");

    // Removing the full row leaves nothing of the line: no empty row stays behind.
    doc.Rows.UpdateRows(1, 1, "");
    EXPECT_EQ(RowTexts(doc.Rows), "x|0 ");
    doc.Rows.UpdateRows(1, 0, "y\r\n");
    EXPECT_EQ(RowsTextStr(doc.Rows), "x\r\ny\r\n");
    doc.Rows.Undo();
    doc.Rows.Undo();
    EXPECT_EQ(RowTexts(doc.Rows), "x|0 " + full + "|1 |2 ");

    // Typing after the empty last row can pair with a lead byte that ended the full row.
    Wrapped dbcs("x\r\n" + std::string(19, 'f') + "\x82");
    ASSERT_EQ(dbcs.Rows.GetCount(), 3);
    dbcs.Rows.UpdateRows(3, 0, "\xa0");
    EXPECT_EQ(RowTexts(dbcs.Rows), "x|0 " + std::string(19, 'f') + "|1 \x82\xa0|2 ");
}

TEST(TEditorScreenStrings, EnterAtColumnZeroTakesTheMarksDown) {
    FakeEditor editor;
    TEditorScreenStrings& rows = *editor.Store;
    LoadRowsFromText(rows, "abc\r\n");
    rows.SetRowMarks(0, kMark1);
    editor.SetRowCol(0, 0);
    rows.UpdateRows(0, 1, "\r\nabc\r\n");
    EXPECT_EQ(rows.GetRowMarks(0), 0);
    EXPECT_EQ(rows.GetRowMarks(1), kMark1);

    editor.SetRowCol(1, 1);
    rows.UpdateRows(1, 1, "a\r\nbc\r\n");
    EXPECT_EQ(rows.GetRowMarks(1), kMark1);
    EXPECT_EQ(rows.GetRowMarks(2), 0);
    EXPECT_EQ(rows.GetUsedMarks(), kMark1);

    // Joining lines keeps the marks of both on the joined row.
    rows.SetRowMarks(2, kMark2);
    rows.UpdateRows(1, 2, "abc\r\n");
    EXPECT_EQ(rows.GetRowMarks(1), kMark1 | kMark2);
    // Removing a mark from the only row that had it drops it from the used set.
    rows.SetRowMarks(1, kMark1);
    EXPECT_EQ(rows.GetUsedMarks(), kMark1);
}

TEST(TEditorScreenStrings, WrapAndUnwrapKeepTextAndMarks) {
    FakeEditor editor;
    TEditorScreenStrings& rows = *editor.Store;
    rows.GetWrapOption().SetWrapByte(20);
    const std::string longLine = "0123456789012345678901234567890123456789012345";
    LoadRowsFromText(rows, "short\r\n" + longLine);
    const std::uint64_t textBytes = rows.TextBytesAllocated();
    rows.SetRowMarks(1, kMark1);
    editor.SetRowCol(1, 7);
    rows.SetWordWrap(true);
    EXPECT_EQ(RowTexts(rows), "short|0 01234567890123456789|1 01234567890123456789|1 012345|2 ");
    EXPECT_EQ(rows.GetRowMarks(1), kMark1);
    EXPECT_EQ(rows.TextBytesAllocated(), textBytes); // rows are slices of the loaded text
    EXPECT_EQ(editor.Col, 0);
    EXPECT_GT(editor.Relayouts, 0);

    rows.SetRowMarks(3, kMark2);
    rows.GetWrapOption().SetWrapByte(40); // re-wraps
    EXPECT_EQ(rows.GetCount(), 3);
    EXPECT_EQ(rows.GetRowMarks(1), kMark1);
    EXPECT_EQ(rows.GetRowMarks(2), kMark2);

    rows.SetWordWrap(false);
    EXPECT_EQ(RowTexts(rows), "short|0 " + longLine + "|2 ");
    EXPECT_EQ(rows.GetRowMarks(1), kMark1 | kMark2);
    EXPECT_EQ(RowsTextStr(rows), "short\r\n" + longLine);

    // A last row that wraps becomes the end of the text.
    rows.SetWordWrap(true);
    rows.DeleteRows(2, 1);
    ASSERT_EQ(rows.GetRowAttribute(1), raWrap);
    rows.SetWordWrap(false);
    EXPECT_EQ(rows.GetRowAttribute(1), raEndOfText);
    EXPECT_EQ(rows.GetCount(), 2);
}

TEST(TEditorScreenStrings, SettingWordWrapWhileLoadingWaits) {
    FakeEditor editor;
    TEditorScreenStrings& rows = *editor.Store;
    rows.GetWrapOption().SetWrapByte(20);
    LoadRowsFromText(rows, std::string(30, 'x'));
    rows.UpdateRows(0, 0, "y");
    editor.Loading = true;
    rows.SetWordWrap(true);
    EXPECT_TRUE(rows.GetWordWrap());
    EXPECT_EQ(rows.GetCount(), 1);
    EXPECT_TRUE(rows.GetUndoObj().CanUndo());
}

TEST(TEditorScreenStrings, ClearEmptiesEverything) {
    FakeEditor editor;
    TEditorScreenStrings& rows = *editor.Store;
    LoadRowsFromText(rows, "a\r\nb\r\nc");
    rows.SetRowMarks(1, kMark2);
    rows.UpdateRows(0, 1, "x\r\n");
    editor.SetRowCol(2, 1);
    editor.Changes.clear();
    const int cancels = editor.SelectionCancels;
    rows.Clear();
    EXPECT_EQ(rows.GetCount(), 0);
    EXPECT_EQ(editor.Row, 0);
    EXPECT_EQ(editor.Col, 0);
    EXPECT_EQ(rows.GetUsedMarks(), 0);
    EXPECT_FALSE(rows.GetUndoObj().CanUndo());
    EXPECT_GT(editor.SelectionCancels, cancels);
    ASSERT_EQ(editor.Changes.size(), 1u);
    EXPECT_EQ(editor.Changes[0], (TUpdateInfo{0, 3, 0, 0, false}));
    EXPECT_EQ(rows.GetUpdateInfo(), TUpdateInfo{});
}

TEST(TEditorScreenStrings, EditorsShareTheStoreAndAreClamped) {
    std::weak_ptr<TEditorScreenStrings> watch;
    {
        auto first = std::make_unique<FakeEditor>();
        watch = first->Store;
        FakeEditor second(first->Store);
        EXPECT_EQ(first->Store->ActiveEditor(), first.get());
        second.HasFocus = true;
        EXPECT_EQ(first->Store->ActiveEditor(), &second);

        TEditorScreenStrings& rows = *second.Store;
        LoadRowsFromText(rows, "a\r\nb\r\nc\r\nd");
        first->SetRowCol(3, 1);
        second.TopRow = 3;
        rows.UpdateRows(2, 2, "");
        EXPECT_EQ(first->Row, 2); // the empty line after the final line break
        EXPECT_EQ(second.TopRow, 2);
        EXPECT_EQ(first->Changes.size(), second.Changes.size());

        rows.UpdateRows(1, 1, "b");
        EXPECT_EQ(RowsTextStr(rows), "a\r\nb");
        EXPECT_EQ(first->Row, 1); // no line after a text without a final line break

        first.reset();
        EXPECT_FALSE(watch.expired());
        EXPECT_EQ(rows.EditorCount(), 1);
    }
    EXPECT_TRUE(watch.expired());
}

TEST(TEditorScreenStrings, StartStatesAreRecomputedUntilTheyAgreeOrTwoScreensAhead) {
    FakeEditor editor;
    TEditorScreenStrings& rows = *editor.Store;
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "row\r\n";
    }
    LoadRowsFromText(rows, text);
    editor.Screen = 10;
    editor.TopRow = 50;
    EXPECT_EQ(rows.InitStartStatesLimit(), 70);
    EXPECT_EQ(rows.UpdateStartStatesLimit(5), 25);
    EXPECT_EQ(rows.UpdateStartStatesLimit(95), 99);
    editor.BracketsFull = true;
    EXPECT_EQ(rows.InitStartStatesLimit(), 99);
    editor.Screen = 0; // a screen is at least one row
    EXPECT_EQ(rows.UpdateStartStatesLimit(5), 7);
    editor.Screen = 10;

    // A refresh after an edit recomputes the rewritten rows and stops at the first row whose
    // stored state agrees: the rest of the text is not touched.
    // The edit's update repaints the rewritten rows at once: none is repainted on its own.
    rows.InitStartStates(); // InitBracketsFull: every row
    editor.InvalidatedRows.clear();
    rows.UpdateRows(50, 1, "x\r\n"); // rewrites rows 50..51
    EXPECT_EQ(editor.Changes.back().UpdateStartRow, 50);
    EXPECT_EQ(editor.Changes.back().UpdateParsedRows, 2);
    EXPECT_TRUE(editor.InvalidatedRows.empty());
    EXPECT_EQ(rows.GetBracketIndex(99), -1);

    // States that disagree all the way: the refresh stops two screens below the edit and leaves
    // the rows after that not computed.
    TRowAttributeData stale;
    stale.WrappedBytes = 3;
    stale.WrappedToken = 11;
    for (int i = 12; i < rows.GetCount(); ++i) {
        rows.SetStartState(i, stale);
    }
    editor.InvalidatedRows.clear();
    rows.UpdateRows(10, 1, "changed\r\n"); // rewrites rows 10..11; the limit is 10 + 20
    EXPECT_EQ(editor.Changes.back().UpdateParsedRows, 21);
    for (int i = 10; i <= 30; ++i) {
        ASSERT_EQ(rows.GetWrappedBytes(i), 0) << i;
        ASSERT_EQ(rows.GetBracketIndex(i), -1) << i;
    }
    EXPECT_EQ(rows.GetWrappedBytes(9), 0);
    EXPECT_EQ(rows.GetBracketIndex(31), kStateNotComputed);
    EXPECT_EQ(rows.GetBracketIndex(99), kStateNotComputed);

    editor.Loading = true; // the editor resets them once it is loaded
    rows.InitStartStates();
    EXPECT_EQ(rows.GetBracketIndex(99), kStateNotComputed);
    editor.Loading = false;
    rows.InitStartStates(); // InitBracketsFull: every row
    for (int i = 0; i < rows.GetCount(); ++i) {
        ASSERT_EQ(rows.GetBracketIndex(i), -1);
        ASSERT_EQ(rows.GetParserValue1(i), 0);
    }
}

TEST(TEditorScreenStrings, RowsTextGivesRowsWithTheirBreaks) {
    Wrapped doc("aaaaaaaaaabbbbbbbbbbcc\r\nlast");
    const TRowsText line = doc.Rows.RowsText(0, -1);
    EXPECT_EQ(line.Text, "aaaaaaaaaabbbbbbbbbbcc\r\n");
    EXPECT_EQ(line.RowCount, 2);
    EXPECT_EQ(line.LastAttribute, raLineBreak);
    const TRowsText all = doc.Rows.RowsText(1, 10);
    EXPECT_EQ(all.Text, "cc\r\nlast");
    EXPECT_EQ(all.LastAttribute, raEndOfText);
    const TRowsText none = doc.Rows.RowsText(3, 1);
    EXPECT_EQ(none.Text, "");
    EXPECT_EQ(none.RowCount, 0);
    EXPECT_EQ(none.LastAttribute, raNone);
}

} // namespace
} // namespace kst
