#include "app/edit_commands.h"
#include "app_test_support.h"
#include "input/editor.h"
#include "support/memory_clipboard.h"

#include <gtest/gtest.h>

namespace kst {
namespace {

class EditCommandsTest : public ::testing::Test {
protected:
    EditCommandsTest() {
        Editor->SetClipboard(&Clip);
        Editor->GetLines().SetTextStr("Dim a\r\nDim b");
    }
    std::string Text() const { return Editor->GetLines().GetTextStr(); }

    MemoryClipboard Clip;
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
    std::unique_ptr<EditorCommands> Commands = CreateEditorCommands(*Editor);
};

TEST_F(EditCommandsTest, SelectionAndClipboardReachTheEditor) {
    EXPECT_FALSE(Commands->HasSelection());
    Commands->SelectAll();
    EXPECT_TRUE(Commands->HasSelection());
    Commands->Copy();
    EXPECT_EQ(Clip.Content, "Dim a\r\nDim b");
    Commands->Cut();
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(Commands->HasSelection());
    Commands->Paste();
    EXPECT_EQ(Text(), "Dim a\r\nDim b");
}

TEST_F(EditCommandsTest, DeleteUndoAndRedo) {
    EXPECT_FALSE(Commands->CanUndo());
    Commands->SelectAll();
    Commands->DeleteSelection();
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(Commands->CanUndo());
    EXPECT_FALSE(Commands->CanRedo());
    Commands->Undo();
    EXPECT_EQ(Text(), "Dim a\r\nDim b");
    EXPECT_TRUE(Commands->CanRedo());
    Commands->Redo();
    EXPECT_EQ(Text(), "");
}

} // namespace
} // namespace kst
