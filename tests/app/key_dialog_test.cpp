#include "app/key_dialog.h"
#include "app_test_support.h"
#include "support/fake_desktop.h"

#include <gtest/gtest.h>

namespace kst {
namespace {

// Each case presses a key for Find after the user's answer to the question (if one is asked):
// whether it was taken, the keys of Find and of New File afterwards, and how many boxes came.
TEST(KeyDialogTest, AKeyIsTakenFromAnotherCommandOnlyWhenTheUserAgrees) {
    struct TCase {
        const char* Key;
        std::optional<TMessageAnswer> Answer;
        bool Taken;
        std::string FindKey;
        std::string NewFileKey;
        std::size_t Boxes;
    };
    const std::vector<TCase> cases = {
        {"Shift+Ctrl+F", {}, true, "Shift+Ctrl+F", "Ctrl+N", 0},
        {"Ctrl+N", TMessageAnswer::No, false, "Ctrl+F", "Ctrl+N", 1},
        {"Ctrl+N", TMessageAnswer::Yes, true, "Ctrl+N", "", 1},
        {"Ctrl+F", {}, true, "Ctrl+F", "Ctrl+N", 0},
        {"F4", {}, true, "F4", "Ctrl+N", 0},
        {"Alt+Left", {}, true, "Alt+Left", "Ctrl+N", 0},
        {"Shift+A", {}, false, "Ctrl+F", "Ctrl+N", 1},
        {"Del", {}, false, "Ctrl+F", "Ctrl+N", 1},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Key);
        TempProgramFolder folder;
        FakeDesktop desk{folder.ProgramPath()};
        if (test.Answer) {
            desk.Answers.push_back(*test.Answer);
        }
        TfrmKeys dialog(desk, TKeyBindings());
        dialog.Select(cmFind);
        EXPECT_EQ(dialog.AssignKey(TextToShortCut(test.Key)), test.Taken);
        EXPECT_EQ(dialog.RowKey(cmFind), test.FindKey);
        EXPECT_EQ(dialog.RowKey(cmNewFile), test.NewFileKey);
        EXPECT_EQ(desk.Messages.size(), test.Boxes);
    }
}

TEST(KeyDialogTest, RemovingAndTheDefaults) {
    TempProgramFolder folder;
    FakeDesktop desk{folder.ProgramPath()};
    TfrmKeys dialog(desk, TKeyBindings());
    EXPECT_FALSE(dialog.AssignKey(TextToShortCut("F4"))) << "no command chosen";
    dialog.Select(cmFind);
    dialog.RemoveKey();
    EXPECT_EQ(dialog.RowKey(cmFind), "");
    EXPECT_EQ(TfrmKeys::RowCaption(cmFind), "検索(&F)");
    dialog.RestoreDefaults();
    EXPECT_EQ(dialog.Bindings(), TKeyBindings());
}

} // namespace
} // namespace kst
