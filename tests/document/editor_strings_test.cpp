#include "core/errors.h"
#include "document/editor_strings.h"
#include "support/fake_editor.h"
#include "support/temp_folder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace kst {
namespace {

struct Lines {
    FakeEditor Editor;
    TEditorStrings Strings{Editor};
    TEditorScreenStrings& Rows = *Editor.Store;
};

TEST(TEditorStrings, AddDeletePutInsertKeepLineEndings) {
    Lines lines;
    EXPECT_EQ(lines.Strings.Add("a"), 0);
    EXPECT_EQ(lines.Rows.GetCount(), 1);
    EXPECT_EQ(lines.Rows.GetRowAttribute(0), raLineBreak);

    lines.Strings.SetTextStr("abc");
    EXPECT_EQ(lines.Strings.Add("x"), 1);
    EXPECT_EQ(lines.Strings.GetTextStr(), "abc\r\nx");
    lines.Strings.SetTextStr("abc\r\n");
    lines.Strings.Add("x");
    EXPECT_EQ(lines.Strings.GetTextStr(), "abc\r\nx\r\n");

    lines.Strings.SetTextStr("a\r\nb");
    lines.Strings.Delete(1);
    EXPECT_EQ(lines.Strings.GetTextStr(), "a\r\n");
    EXPECT_EQ(lines.Strings.GetCount(), 1);

    lines.Strings.SetTextStr("a\r\nb");
    lines.Strings.Put(1, "bb");
    lines.Strings.Put(0, "aa");
    EXPECT_EQ(lines.Strings.GetTextStr(), "aa\r\nbb");
    lines.Strings.Insert(1, "mid");
    lines.Strings.Insert(0, "top");
    EXPECT_EQ(lines.Strings.GetTextStr(), "top\r\naa\r\nmid\r\nbb");
    lines.Strings.Insert(4, "end"); // the line count appends
    EXPECT_EQ(lines.Strings.GetTextStr(), "top\r\naa\r\nmid\r\nbb\r\nend");
    EXPECT_EQ(lines.Strings.Get(2), "mid");

    // The caret ends after the new text, the selection was cleared, and the caret hide closed.
    EXPECT_EQ(lines.Editor.Row, 4);
    EXPECT_EQ(lines.Editor.Col, 3);
    EXPECT_EQ(lines.Editor.CaretHides, 0);
    EXPECT_EQ(lines.Editor.MaxCaretHides, 1);
    EXPECT_GT(lines.Editor.SelectionCancels, 0);
}

TEST(TEditorStrings, BadLineIndexesRaiseBeforeAnyChange) {
    Lines lines;
    lines.Strings.SetTextStr("a\r\nb\r\n");
    for (bool wrap : {false, true}) {
        lines.Rows.SetWordWrap(wrap);
        EXPECT_THROW(lines.Strings.Get(2), EStringListError);
        EXPECT_THROW(lines.Strings.Put(-1, "x"), EStringListError);
        EXPECT_THROW(lines.Strings.Delete(2), EStringListError);
        EXPECT_THROW(lines.Strings.Insert(3, "x"), EStringListError);
        EXPECT_THROW(lines.Strings.Insert(-1, "x"), EStringListError);
        EXPECT_EQ(lines.Strings.GetTextStr(), "a\r\nb\r\n");
        EXPECT_FALSE(lines.Rows.GetUndoObj().CanUndo());
    }
}

TEST(TEditorStrings, SetTextStrSplitsAtEveryKindOfBreak) {
    Lines lines;
    lines.Strings.SetTextStr("x\r\n");
    ASSERT_EQ(lines.Rows.GetCount(), 1);
    EXPECT_EQ(lines.Rows.GetRowAttribute(0), raLineBreak);
    lines.Strings.SetTextStr("x");
    ASSERT_EQ(lines.Rows.GetCount(), 1);
    EXPECT_EQ(lines.Rows.GetRowAttribute(0), raEndOfText);
    lines.Strings.SetTextStr("a\nb\rc\r\n\r\nd");
    EXPECT_EQ(lines.Strings.GetTextStr(), "a\r\nb\r\nc\r\n\r\nd");
    EXPECT_EQ(lines.Strings.GetCount(), 5);
    lines.Strings.SetTextStr("");
    EXPECT_EQ(lines.Rows.GetCount(), 0);

    // One change notification, no change recorded, nothing to undo.
    lines.Strings.SetTextStr("p\r\nq");
    lines.Editor.Changes.clear();
    lines.Strings.SetTextStr("r\r\ns");
    ASSERT_EQ(lines.Editor.Changes.size(), 1u);
    EXPECT_FALSE(lines.Editor.Changes[0].UpdatePending);
    EXPECT_FALSE(lines.Editor.Modified);
    EXPECT_FALSE(lines.Rows.GetUndoObj().CanUndo());
    EXPECT_EQ(lines.Editor.LinesUpdates, 0);
}

TEST(TEditorStrings, WrappedLineCountsAsOneLine) {
    Lines lines;
    lines.Rows.GetWrapOption().SetWrapByte(20);
    lines.Rows.SetWordWrap(true);
    const std::string longLine(50, 'x');
    lines.Strings.SetTextStr("first\r\n" + longLine + "\r\nlast");
    ASSERT_EQ(lines.Rows.GetCount(), 5); // first, three rows of x, last
    EXPECT_EQ(lines.Strings.GetCount(), 3);
    EXPECT_EQ(lines.Strings.LineToRow(2), 4);
    EXPECT_EQ(lines.Strings.Get(1), longLine);

    lines.Strings.Put(1, "short");
    EXPECT_EQ(lines.Rows.GetCount(), 3);
    EXPECT_EQ(lines.Strings.GetTextStr(), "first\r\nshort\r\nlast");

    lines.Strings.Put(1, longLine);
    lines.Strings.Delete(1);
    EXPECT_EQ(lines.Strings.GetTextStr(), "first\r\nlast");
    lines.Strings.Insert(1, longLine);
    EXPECT_EQ(lines.Rows.GetCount(), 5);
    EXPECT_EQ(lines.Strings.Get(2), "last");
}

TEST(TEditorStrings, AssignTakesTheTextAndPutsTheCaretAfterIt) {
    Lines source;
    source.Strings.SetTextStr("one\r\ntwo\r\n");
    Lines target;
    target.Strings.Assign(source.Strings);
    EXPECT_EQ(target.Strings.GetTextStr(), "one\r\ntwo\r\n");
    EXPECT_EQ(target.Editor.Row, 2);
    EXPECT_EQ(target.Editor.Col, 0);
    EXPECT_THROW(target.Strings.Assign(target.Rows.GetWrapOption()), EConvertError);
}

// A file in a temporary folder of its own.
class TempFile {
public:
    explicit TempFile(const std::string& Name) : FPath((FFolder.Path() / Name).string()) {}

    const std::string& Path() const { return FPath; }
    void Write(const std::string& Bytes) const { std::ofstream(FPath, std::ios::binary) << Bytes; }
    std::string Read() const {
        std::ifstream in(FPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    TempFolder FFolder{"kst_editor_strings_"};
    std::string FPath;
};

TEST(TEditorStrings, LoadAndSaveRoundTrips) {
    struct Case {
        std::string File;
        std::string Saved;
        int Rows;
    };
    std::string boundary(8191, 'a');
    boundary += "\r\nb"; // CR at byte 8192, LF at byte 8193
    std::string longLine(20000, 'z');
    const Case cases[] = {
        {"a\r\nb\r\n", "a\r\nb\r\n", 2},
        {"a\r\nb", "a\r\nb", 2},
        {"a\nb\rc", "a\r\nb\r\nc", 3},
        {"a\n\r\nb\r\r", "a\r\n\r\nb\r\n\r\n", 4},
        {"abc\x1a"
         "def\r\n",
         "abc\x1a"
         "def\r\n",
         1},
        {"abc\r\n\x1a", "abc\r\n", 1},
        {std::string("a\0b\r\n\0", 7), std::string("a\0b\r\n\0", 7), 2},
        {boundary, std::string(8191, 'a') + "\r\nb", 2},
        {longLine, longLine, 1},
        {"", "", 0},
    };
    TempFile file("round_trip.txt");
    for (const Case& c : cases) {
        Lines lines;
        file.Write(c.File);
        lines.Strings.LoadFromFile(file.Path());
        EXPECT_EQ(lines.Rows.GetCount(), c.Rows);
        EXPECT_EQ(lines.Strings.GetTextStr(), c.Saved);
        lines.Strings.SaveToFile(file.Path());
        EXPECT_EQ(file.Read(), c.Saved);
    }
}

TEST(TEditorStrings, LoadingClearsHistoryAndKeepsModified) {
    TempFile file("load.txt");
    file.Write("loaded\r\n");
    Lines lines;
    lines.Strings.Add("typed");
    lines.Strings.Add("more");
    lines.Rows.Undo();
    ASSERT_TRUE(lines.Rows.GetUndoObj().CanUndo());
    ASSERT_TRUE(lines.Rows.GetUndoObj().CanRedo());
    lines.Editor.Modified = false;
    lines.Editor.Row = 5;
    lines.Strings.LoadFromFile(file.Path());
    EXPECT_FALSE(lines.Rows.GetUndoObj().CanUndo());
    EXPECT_FALSE(lines.Rows.GetUndoObj().CanRedo());
    EXPECT_FALSE(lines.Editor.Modified);
    EXPECT_EQ(lines.Editor.Row, 0);
    EXPECT_GT(lines.Editor.Relayouts, 0);
    EXPECT_EQ(lines.Editor.LinesUpdates, 0);

    // A file that cannot be read leaves the lines empty and the update bracket closed.
    EXPECT_THROW(lines.Strings.LoadFromFile(file.Path() + ".missing"), EFileError);
    EXPECT_EQ(lines.Rows.GetCount(), 0);
    EXPECT_EQ(lines.Editor.LinesUpdates, 0);
    lines.Strings.Add("x");
    EXPECT_FALSE(lines.Editor.Changes.empty());
}

TEST(TEditorStrings, FailedSaveRaises) {
    TempFile file("no_such_folder");
    Lines lines;
    lines.Strings.SetTextStr("new");
    EXPECT_THROW(lines.Strings.SaveToFile(file.Path() + "/x.txt"), EFileError);
    EXPECT_FALSE(std::filesystem::exists(file.Path()));
    EXPECT_EQ(lines.Strings.GetTextStr(), "new");
}

TEST(TEditorStrings, LoadingWithWordWrapWrapsLongLines) {
    TempFile file("wrap.txt");
    file.Write(std::string(45, 'w') + "\r\nshort\r\n");
    Lines lines;
    lines.Rows.GetWrapOption().SetWrapByte(20);
    lines.Rows.SetWordWrap(true);
    lines.Strings.LoadFromFile(file.Path());
    EXPECT_EQ(lines.Rows.GetCount(), 4);
    EXPECT_EQ(lines.Strings.GetCount(), 2);
    EXPECT_EQ(lines.Strings.Get(0), std::string(45, 'w'));
    EXPECT_EQ(lines.Rows.GetBracketIndex(0), -1) << "the first rows' start states are computed";
}

} // namespace
} // namespace kst
