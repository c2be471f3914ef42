#include "input/editor.h"
#include "support/recording_host.h"
#include "tools/replace.h"

#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace kst {
namespace {

class ReplaceTest : public ::testing::Test {
protected:
    ReplaceTest() { Editor->SetHost(&Host); }

    void Open(std::string_view Text) { Editor->GetLines().SetTextStr(Text); }
    std::string Text() const { return Editor->GetLines().GetTextStr(); }
    int UndoSteps() const { return Editor->GetScreenStringsPtr()->GetUndoObj().UndoCount(); }

    // Replaces with the scripted answers; each question records the selection it was asked on.
    TReplaceOutcome Replace(TReplaceRequest Request) {
        return ReplaceOccurrences(*Editor, Request, [this] {
            Asked.push_back(Editor->GetSelText() + "@" + std::to_string(Editor->GetSelStart()));
            const TReplaceAnswer answer = Answers.front();
            Answers.pop_front();
            return answer;
        });
    }

    RecordingHost Host;
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
    std::deque<TReplaceAnswer> Answers;
    std::vector<std::string> Asked;
};

TEST_F(ReplaceTest, AskingReplacesTheAcceptedOccurrencesOfTheOriginalText) {
    using enum TReplaceAnswer;
    struct TCase {
        std::deque<TReplaceAnswer> Answers;
        std::string Result;
        std::vector<std::string> Asked;
        bool Cancelled;
    };
    const TCase cases[] = {
        {{No, Yes, Yes}, "Cat dog-dog\r\ndog-dog", {"Cat@0", "cat@4", "CAT@13"}, false},
        {{Yes, Cancel}, "dog-dog cat\r\nCAT", {"Cat@0", "cat@8"}, true},
    };
    for (const TCase& c : cases) {
        Open("Cat cat\r\nCAT");
        Answers = c.Answers;
        Asked.clear();
        const TReplaceOutcome outcome =
            Replace({.Word = "cat", .Replacement = "dog-dog", .Confirm = true, .ReplaceAll = true});
        EXPECT_EQ(Text(), c.Result);
        EXPECT_EQ(Asked, c.Asked);
        EXPECT_EQ(outcome.Cancelled, c.Cancelled);
        EXPECT_EQ(outcome.Found, static_cast<int>(c.Asked.size()));
    }
}

TEST_F(ReplaceTest, ReplaceStartsAtTheCaretAndReplaceAllAtTheStart) {
    for (const bool all : {false, true}) {
        Open("a b a\r\nb a b");
        Editor->SetSelStart(3);
        Replace({.Word = "b", .Replacement = "BB", .MatchCase = true, .ReplaceAll = all});
        EXPECT_EQ(Text(), all ? "a BB a\r\nBB a BB" : "a b a\r\nBB a BB") << all;
    }
}

TEST_F(ReplaceTest, TextThatAReplacementPutsInIsNotSearchedAgain) {
    Open("aaa");
    EXPECT_EQ(Replace({.Word = "a", .Replacement = "aa", .ReplaceAll = true}).Found, 3);
    EXPECT_EQ(Text(), "aaaaaa");
    EXPECT_EQ(Editor->GetSelStart(), 6) << "the caret follows the last replacement";
}

TEST_F(ReplaceTest, ReplacingWithoutAskingIsOneUndoStep) {
    std::string original;
    for (int line = 0; line < 200; ++line) {
        original += "x = MsgBox(\"row\") ' msgbox\r\n";
    }
    Open(original);
    const int steps = UndoSteps();
    EXPECT_EQ(Replace({.Word = "msgbox", .Replacement = "Echo", .ReplaceAll = true}).Found, 400);
    EXPECT_EQ(Text().find("MsgBox"), std::string::npos);
    EXPECT_EQ(UndoSteps(), steps + 1);
    Editor->Undo();
    EXPECT_EQ(Text(), original);
}

TEST_F(ReplaceTest, NothingFoundChangesNothing) {
    Open("Dim a\r\n");
    const int steps = UndoSteps();
    const TReplaceOutcome outcome =
        Replace({.Word = "zzz", .Replacement = "y", .ReplaceAll = true});
    EXPECT_EQ(outcome.Found, 0);
    EXPECT_FALSE(outcome.Cancelled);
    EXPECT_EQ(Text(), "Dim a\r\n");
    EXPECT_EQ(UndoSteps(), steps);
}

} // namespace
} // namespace kst
