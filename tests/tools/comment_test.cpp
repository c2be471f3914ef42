#include "display/editor.h"
#include "support/recording_host.h"
#include "tools/comment.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kst {
namespace {

using TPosition = std::pair<int, int>;

class CommentTest : public ::testing::Test {
protected:
    void SetUp() override {
        Editor->SetHost(&Host);
        TEditorCaret& caret = Editor->GetCaret();
        caret.SetFreeCaret(false);
        caret.SetFreeRow(true);
    }

    // The text with the caret at From, and a selection up to To when it differs.
    void Open(const std::string& Text, TPosition From, TPosition To) {
        Editor->GetLines().SetTextStr(Text);
        Editor->SetRowCol(From.first, From.second);
        if (To != From) {
            Editor->StartSelection();
            Editor->SetRowCol(To.first, To.second);
            Editor->ExtendSelection();
        }
    }
    std::string Text() const { return Editor->GetLines().GetTextStr(); }
    TPosition Caret() const { return {Editor->GetRow(), Editor->GetCol()}; }

    RecordingHost Host{{400, 300}};
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

using TCommand = void (*)(TEditor&);

TEST_F(CommentTest, SelectedLinesChangeAndTheSelectionStaysOnTheSameText) {
    struct TCase {
        const char* Name;
        TCommand Command;
        std::string Text;
        TPosition From;
        TPosition To;
        std::string Expected;
        std::string SelText;
    };
    const std::string lines = "line0\r\nline1\r\nline2\r\nline3\r\nline4\r\nline5\r\nline6\r\n";
    const std::vector<TCase> cases = {
        {"ending in column 0 leaves the last line out",
         CommentLines,
         lines,
         {3, 2},
         {6, 0},
         "line0\r\nline1\r\nline2\r\n'line3\r\n'line4\r\n'line5\r\nline6\r\n",
         "ne3\r\n'line4\r\n'line5\r\n"},
        {"blank and commented lines stay",
         CommentLines,
         "a\r\n\r\n  ' b\r\nc\r\n",
         {0, 0},
         {3, 1},
         "'a\r\n\r\n  ' b\r\n'c\r\n",
         "a\r\n\r\n  ' b\r\n'c"},
        {"selected upwards", CommentLines, "a\r\nb\r\n", {1, 1}, {0, 0}, "'a\r\n'b\r\n", "a\r\n'b"},
        {"only the first mark goes",
         UncommentLines,
         "'a\r\n  'b\r\nc\r\n''d\r\n",
         {0, 1},
         {3, 2},
         "a\r\n  b\r\nc\r\n'd\r\n",
         "a\r\n  b\r\nc\r\n'"},
        {"uncommenting from column 0",
         UncommentLines,
         "x\r\n'a\r\n'b\r\n",
         {1, 0},
         {2, 2},
         "x\r\na\r\nb\r\n",
         "a\r\nb"},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        Open(test.Text, test.From, test.To);
        test.Command(*Editor);
        EXPECT_EQ(Text(), test.Expected);
        EXPECT_EQ(Editor->GetSelText(), test.SelText);
    }
}

TEST_F(CommentTest, TheCaretsLineChangesAndTheCaretStaysOnTheSameCharacter) {
    struct TCase {
        const char* Name;
        TCommand Command;
        std::string Text;
        TPosition Caret;
        std::string Expected;
        TPosition ExpectedCaret;
    };
    const std::vector<TCase> cases = {
        {"the mark goes in column 0",
         CommentLines,
         "    x = 1\r\n",
         {0, 6},
         "'    x = 1\r\n",
         {0, 7}},
        {"and away again", UncommentLines, "'    x = 1\r\n", {0, 7}, "    x = 1\r\n", {0, 6}},
        {"a later mark is no comment",
         UncommentLines,
         "x = 1 ' note\r\n",
         {0, 3},
         "x = 1 ' note\r\n",
         {0, 3}},
        {"column 0 stays", UncommentLines, "a\r\n  'x\r\n", {1, 0}, "a\r\n  x\r\n", {1, 0}},
        {"a blank line stays", CommentLines, "a\r\n \t\r\n", {1, 1}, "a\r\n \t\r\n", {1, 1}},
        {"nothing at the end of the text", CommentLines, "a\r\n", {1, 0}, "a\r\n", {1, 0}},
        {"nor when uncommenting", UncommentLines, "'a\r\n", {1, 0}, "'a\r\n", {1, 0}},
        {"nor in an empty text", CommentLines, "", {0, 0}, "", {0, 0}},
        {"a last line without a line break", CommentLines, "a\r\nb", {1, 1}, "a\r\n'b", {1, 2}},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        Open(test.Text, test.Caret, test.Caret);
        test.Command(*Editor);
        EXPECT_EQ(Text(), test.Expected);
        EXPECT_EQ(Caret(), test.ExpectedCaret);
        EXPECT_EQ(Editor->GetSelLength(), 0);
    }
}

TEST_F(CommentTest, EachChangedLineIsUndoneOnItsOwn) {
    struct TCase {
        TCommand Command;
        std::string Text;
        // The text after the command, then after each Undo.
        std::vector<std::string> Steps;
    };
    const std::vector<TCase> cases = {
        {CommentLines, "a\r\n\r\nb\r\n", {"'a\r\n\r\n'b\r\n", "'a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"}},
        {UncommentLines,
         "'a\r\nb\r\n 'c\r\n",
         {"a\r\nb\r\n c\r\n", "a\r\nb\r\n 'c\r\n", "'a\r\nb\r\n 'c\r\n"}},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Text);
        Open(test.Text, {0, 0}, {2, 1});
        test.Command(*Editor);
        for (const std::string& step : test.Steps) {
            EXPECT_EQ(Text(), step);
            Editor->Undo();
        }
        EXPECT_FALSE(Editor->CanUndo());
    }
}

TEST_F(CommentTest, ACaretOrBoxPastTheLastLineChangesNoLineThatIsNotThere) {
    Editor->GetCaret().SetFreeCaret(true);
    Open("a\r\n", {1, 3}, {1, 3});
    CommentLines(*Editor);
    EXPECT_EQ(Text(), "a\r\n");
    Editor->SetBoxSelection(true);
    Open("a\r\n", {0, 0}, {1, 3});
    CommentLines(*Editor);
    EXPECT_EQ(Text(), "'a\r\n");
}

TEST_F(CommentTest, AWrappedLineIsOneLine) {
    Editor->GetWrapOption().SetWrapByte(20);
    Editor->SetWordWrap(true);
    const std::string longLine(50, 'x');
    const std::string text = "a\r\n" + longLine + "\r\nb\r\n";
    Editor->GetLines().SetTextStr(text);
    const int rowOfB = Editor->GetScreenStringsPtr()->GetCount() - 1;
    ASSERT_GT(rowOfB, 3) << "the long line takes several rows";
    Open(text, {2, 3}, {rowOfB, 1});
    CommentLines(*Editor);
    EXPECT_EQ(Text(), "a\r\n'" + longLine + "\r\n'b\r\n");
}

} // namespace
} // namespace kst
