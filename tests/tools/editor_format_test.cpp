#include "input/editor.h"
#include "support/recording_host.h"
#include "tools/comment.h"
#include "tools/editor_format.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kst {
namespace {

class EditorFormatTest : public ::testing::Test {
protected:
    void SetUp() override { Editor->SetHost(&Host); }

    void Open(const std::string& Text) {
        Editor->GetLines().SetTextStr(Text);
        Editor->SetModified(false);
    }
    std::string Text() const { return Editor->GetLines().GetTextStr(); }

    RecordingHost Host{{400, 300}};
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

TEST_F(EditorFormatTest, FormattingIsOneUndoStepAfterTheEarlierOnes) {
    Open("Sub s\r\nx\r\nEnd Sub");
    Editor->SetRowCol(1, 0);
    Editor->InsertText("y");
    const std::string typed = "Sub s\r\nyx\r\nEnd Sub";
    const std::string formatted = "Sub s\r\n\tyx\r\nEnd Sub\r\n";
    ASSERT_EQ(Text(), typed);

    FormatEditorText(*Editor);
    EXPECT_EQ(Text(), formatted);
    EXPECT_TRUE(Editor->GetModified());
    Editor->Undo();
    EXPECT_EQ(Text(), typed);
    Editor->Undo();
    EXPECT_EQ(Text(), "Sub s\r\nx\r\nEnd Sub");
    Editor->Redo();
    Editor->Redo();
    EXPECT_EQ(Text(), formatted);
}

TEST_F(EditorFormatTest, AFormattedOrEmptyScriptIsNotTouched) {
    for (const std::string text : {"Sub s\r\n\tx\r\nEnd Sub", ""}) {
        Open(text);
        Editor->SetSelStart(8);
        const int selStart = Editor->GetSelStart();
        FormatEditorText(*Editor);
        EXPECT_EQ(Text(), text) << "not even a final line break";
        EXPECT_FALSE(Editor->GetModified());
        EXPECT_FALSE(Editor->CanUndo());
        EXPECT_EQ(Editor->GetSelStart(), selStart);
    }
}

// While a script runs the editor is read-only, and none of the script tools may change its text.
TEST_F(EditorFormatTest, TheScriptToolsLeaveAReadOnlyEditorAlone) {
    const std::string messy = "Sub s\r\n x\r\nEnd Sub";
    const auto format = [](TEditor& Editor) { FormatEditorText(Editor); };
    for (const auto tool : {+format, &CommentLines, &UncommentLines}) {
        Open("'" + messy);
        Editor->SetReadOnly(true);
        tool(*Editor);
        EXPECT_EQ(Text(), "'" + messy);
        EXPECT_FALSE(Editor->CanUndo());
    }
}

TEST_F(EditorFormatTest, TheCaretOffsetAndTheTopRowAreKept) {
    std::string text = "Sub s\r\n";
    for (int line = 0; line < 100; ++line) {
        text += "x\r\n";
    }
    Open(text + "End Sub");
    Editor->SetSelStart(200);
    Editor->SetTopRow(40);
    ASSERT_EQ(Editor->GetTopRow(), 40);
    FormatEditorText(*Editor);
    EXPECT_EQ(Editor->GetSelStart(), 200);
    EXPECT_EQ(Editor->GetTopRow(), 40);
    EXPECT_EQ(Editor->GetLines().Get(100), "\tx");
}

TEST_F(EditorFormatTest, WrappedRowsAreOneLine) {
    Editor->GetWrapOption().SetWrapByte(20);
    Editor->SetWordWrap(true);
    const std::string longLine(50, 'x');
    Open("Sub s\r\n" + longLine + "\r\nEnd Sub\r\n");
    FormatEditorText(*Editor);
    EXPECT_EQ(Text(), "Sub s\r\n\t" + longLine + "\r\nEnd Sub\r\n");
}

TEST_F(EditorFormatTest, ASelectionFormatsItsLinesAsOneUndoStep) {
    struct TCase {
        const char* Name;
        int SelStart;
        int SelLength;
        std::string Expected;
        int ExpectedLength;
    };
    const std::string script = "Sub s\r\nIf a Then\r\nx\r\nEnd If\r\nEnd Sub";
    const std::vector<TCase> cases = {
        {"inside one line", 12, 1, "Sub s\r\n  If a Then\r\nx\r\nEnd If\r\nEnd Sub", 11},
        {"up to the start of a line, which is not taken", 7, 14,
         "Sub s\r\n  If a Then\r\n    x\r\nEnd If\r\nEnd Sub", 18},
        {"lines already right", 0, 3, script, 3},
    };
    for (const TCase& test : cases) {
        Open(script);
        Editor->SetSelStart(test.SelStart);
        Editor->SetSelLength(test.SelLength);
        FormatEditorText(*Editor, {TIndentUnit{2}});
        EXPECT_EQ(Text(), test.Expected) << test.Name;
        EXPECT_EQ(Editor->GetSelLength(), test.ExpectedLength) << test.Name;
        EXPECT_EQ(Editor->GetModified(), test.Expected != script) << test.Name;
        if (Editor->CanUndo()) {
            Editor->Undo();
            EXPECT_EQ(Text(), script) << test.Name;
            EXPECT_FALSE(Editor->CanUndo()) << test.Name;
        }
    }
}

} // namespace
} // namespace kst
