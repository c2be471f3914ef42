#include "input/editor.h"
#include "support/recording_host.h"
#include "tools/comment.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kst {
namespace {

// Texts are written with "\n" for CR LF, the selection between "[" and "]" (anchored at the
// first mark, so "]" first selects upwards) and the caret at "|".
class CommentTest : public ::testing::Test {
protected:
    void SetUp() override {
        Editor->SetHost(&Host);
        Editor->GetCaret().SetFreeCaret(false);
    }

    void Open(std::string Marked) {
        const auto take = [&Marked](char Mark) {
            const std::size_t at = Marked.find(Mark);
            if (at != std::string::npos) {
                Marked.erase(at, 1);
            }
            return at;
        };
        const std::size_t open = Marked.find('[');
        const std::size_t close = Marked.find(']');
        const std::size_t caret = take('|');
        const std::size_t first = take(open < close ? '[' : ']');
        const std::size_t second = take(open < close ? ']' : '[');
        Editor->GetLines().SetTextStr(CrLf(Marked));
        if (caret != std::string::npos) {
            Editor->SetSelStart(Offset(Marked, caret));
            return;
        }
        Editor->SetSelStart(Offset(Marked, first));
        Editor->StartSelection();
        Editor->SetCaretByOffset(0, Offset(Marked, second));
        Editor->ExtendSelection();
    }

    std::string Marked() const {
        const std::string text = Editor->GetLines().GetTextStr();
        const auto start = static_cast<std::size_t>(Editor->GetSelStart());
        const std::string before = text.substr(0, start);
        if (Editor->GetSelectionState() != kSelectionSelected) {
            return Lf(before + "|" + text.substr(start));
        }
        const auto length = static_cast<std::size_t>(Editor->GetSelLength());
        return Lf(before + "[" + text.substr(start, length) + "]" + text.substr(start + length));
    }

    static std::string CrLf(const std::string& Text) {
        std::string text;
        for (const char c : Text) {
            text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        return text;
    }
    static std::string Lf(std::string Text) {
        for (std::size_t at; (at = Text.find("\r\n")) != std::string::npos;) {
            Text.erase(at, 1);
        }
        return Text;
    }
    // The byte offset in the CR LF text of a position in Text.
    static int Offset(const std::string& Text, std::size_t Position) {
        return static_cast<int>(CrLf(Text.substr(0, Position)).size());
    }

    RecordingHost Host{{400, 300}};
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

int ChangedLines(const std::string& Before, const std::string& After) {
    int changed = 0;
    std::size_t b = 0;
    std::size_t a = 0;
    while (b < Before.size() || a < After.size()) {
        const std::size_t beforeEnd = std::min(Before.find('\n', b), Before.size());
        const std::size_t afterEnd = std::min(After.find('\n', a), After.size());
        changed += Before.substr(b, beforeEnd - b) != After.substr(a, afterEnd - a) ? 1 : 0;
        b = beforeEnd + 1;
        a = afterEnd + 1;
    }
    return changed;
}

TEST_F(CommentTest, LinesChangeOneUndoStepEachAndTheSelectionStaysOnTheSameText) {
    struct TCase {
        const char* Name;
        void (*Command)(TEditor&);
        std::string Before;
        std::string After;
    };
    const std::vector<TCase> cases = {
        {"ending in column 0 leaves the last line out", CommentLines, "l0\nl[1\nl2\n]l3\n",
         "l0\n'l[1\n'l2\n]l3\n"},
        {"blank and commented lines stay", CommentLines, "[a\n\n  ' b\nc]\n",
         "'[a\n\n  ' b\n'c]\n"},
        {"selected upwards", CommentLines, "]a\nb[\n", "'[a\n'b]\n"},
        {"only the first mark goes", UncommentLines, "'[a\n  'b\nc\n'']d\n", "[a\n  b\nc\n']d\n"},
        {"uncommenting from column 0", UncommentLines, "x\n['a\n'b]\n", "x\n[a\nb]\n"},
        {"the mark goes in column 0", CommentLines, "    x| = 1\n", "'    x| = 1\n"},
        {"and away again", UncommentLines, "'    x| = 1\n", "    x| = 1\n"},
        {"a later mark is no comment", UncommentLines, "x =| 1 ' note\n", "x =| 1 ' note\n"},
        {"column 0 stays", UncommentLines, "a\n|  'x\n", "a\n|  x\n"},
        {"a blank line stays", CommentLines, "a\n |\t\n", "a\n |\t\n"},
        {"nothing at the end of the text", CommentLines, "a\n|", "a\n|"},
        {"nor when uncommenting", UncommentLines, "'a\n|", "'a\n|"},
        {"nor in an empty text", CommentLines, "|", "|"},
        {"a last line without a line break", CommentLines, "a\nb|", "a\n'b|"},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        Open(test.Before);
        const std::string before = Editor->GetLines().GetTextStr();
        test.Command(*Editor);
        EXPECT_EQ(Marked(), test.After);
        int steps = 0;
        for (; Editor->CanUndo(); ++steps) {
            Editor->Undo();
        }
        EXPECT_EQ(steps, ChangedLines(test.Before, test.After));
        EXPECT_EQ(Editor->GetLines().GetTextStr(), before);
    }
}

// Rows of 20 bytes: a mark before the selection or the caret moves it, one inside it changes its
// length, one after it neither, whichever row of the line they stand on.
TEST_F(CommentTest, TheSelectionStaysOnTheSameCharactersWhereverTheMarkIs) {
    Editor->GetWrapOption().SetWrapByte(20);
    Editor->SetWordWrap(true);
    const std::string wrapped = "'" + std::string(19, 'a');
    const std::string unwrapped = std::string(19, 'a');
    const struct {
        const char* Name;
        void (*Command)(TEditor&);
        std::string Before;
        std::string After;
    } cases[] = {
        {"starting on a wrapped row", UncommentLines, wrapped + "[bc\nd]\n",
         unwrapped + "[bc\nd]\n"},
        {"the caret on a wrapped row", UncommentLines, wrapped + "|bc\n", unwrapped + "|bc\n"},
        {"starting before the mark", UncommentLines, "  [  'x\ny]\n", "  [  x\ny]\n"},
        {"the caret before the mark", UncommentLines, " | 'x\n", " | x\n"},
        {"ending before the mark", UncommentLines, "[x\n ] 'b\n", "[x\n ] b\n"},
        {"ending in column 0 of a wrapped row", CommentLines,
         "[a\n" + std::string(20, 'x') + "]y\n", "'[a\n'" + std::string(20, 'x') + "]y\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Name);
        Open(test.Before);
        test.Command(*Editor);
        EXPECT_EQ(Marked(), test.After);
    }
}

TEST_F(CommentTest, ACaretOrBoxPastTheLastLineChangesNoLineThatIsNotThere) {
    Editor->GetCaret().SetFreeCaret(true);
    Editor->GetLines().SetTextStr("a\r\n");
    Editor->SetRowCol(1, 3);
    CommentLines(*Editor);
    EXPECT_EQ(Editor->GetLines().GetTextStr(), "a\r\n");
    Editor->SetBoxSelection(true);
    Editor->SetRowCol(0, 0);
    Editor->StartSelection();
    Editor->SetRowCol(1, 3);
    Editor->ExtendSelection();
    CommentLines(*Editor);
    EXPECT_EQ(Editor->GetLines().GetTextStr(), "'a\r\n");
}

TEST_F(CommentTest, AWrappedLineIsOneLine) {
    Editor->GetWrapOption().SetWrapByte(20);
    Editor->SetWordWrap(true);
    Open("a\n" + std::string(25, 'x') + "[" + std::string(25, 'x') + "\nb]\n");
    CommentLines(*Editor);
    EXPECT_EQ(Editor->GetLines().GetTextStr(), "a\r\n'" + std::string(50, 'x') + "\r\n'b\r\n");
}

} // namespace
} // namespace kst
