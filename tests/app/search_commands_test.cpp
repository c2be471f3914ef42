#include "app/search_dialogs.h"
#include "core/errors.h"
#include "core/messages.h"
#include "main_form_fixture.h"
#include "support/recording_host.h"
#include "support/recording_surface.h"
#include "tools/search_results.h"

#include <set>

namespace kst {
namespace {

using TMessage = FakeDesktop::TMessage;

class SearchCommandsTest : public MainFormTest {
protected:
    void SetUp() override {
        Create();
        Editor->GetLines().SetTextStr(kScript);
    }

    // The search dialog as the user fills it: word and match case, then OK.
    void SearchFor(const std::string& Word, bool MatchCase) {
        View.OnSearchDialog = [=](TfrmSearch& Dialog) {
            Dialog.SetWord(Word);
            Dialog.SetMatchCase(MatchCase);
            return true;
        };
        Form->mnuFindClick();
    }

    // Lines "MsgBox 0" to "MsgBox 99999", more than one step of the search; answers the byte
    // offset of each.
    std::vector<int> SetLongScript() {
        std::string text;
        std::vector<int> lineOffsets;
        for (int i = 0; i < kLongScriptLines; ++i) {
            lineOffsets.push_back(static_cast<int>(text.size()));
            text += "MsgBox " + std::to_string(i) + "\r\n";
        }
        Editor->GetLines().SetTextStr(text);
        return lineOffsets;
    }

    void IdleUntilDone() {
        for (int steps = 0; Form->AppIdle(); ++steps) {
            ASSERT_LT(steps, 1000);
        }
    }

    void SelectBytes(int Start, int Length) {
        Editor->SetSelStart(Start);
        Editor->SetSelLength(Length);
    }

    static constexpr int kLongScriptLines = 100'000;
    static constexpr std::string_view kScript = "Dim a\r\n"
                                                "MsgBox a\r\n"
                                                "dim b\r\n"
                                                "msgbox b\r\n";
};

TEST_F(SearchCommandsTest, SearchListsTheHitLinesAndASummary) {
    Form->FindHistory = {"old"};
    Form->Settings.SearchCase = true;
    SelectBytes(0, 3);
    std::vector<std::string> shownItems;
    View.OnSearchDialog = [&](TfrmSearch& Dialog) {
        EXPECT_EQ(Dialog.Word(), "Dim");
        EXPECT_TRUE(Dialog.MatchCase());
        shownItems = Dialog.Items();
        Dialog.SetWord("MSGBOX");
        Dialog.SetMatchCase(false);
        return true;
    };
    Form->mnuFindClick();
    EXPECT_EQ(shownItems, std::vector<std::string>{"old"});
    EXPECT_TRUE(View.ResultsShown);
    EXPECT_TRUE(Form->Menus.MenuItem(cmSearchList)->Checked);
    EXPECT_EQ(View.Results, (std::vector<std::string>{"[0002] : MsgBox a", "[0004] : msgbox b",
                                                      "> [2]行ヒット"}));
    EXPECT_EQ(Form->FindHistory, (std::vector<std::string>{"MSGBOX", "old"}));
    EXPECT_FALSE(Form->Settings.SearchCase);
    EXPECT_EQ(Editor->GetSelText(), "Dim") << "the selection stays";
    EXPECT_EQ(View.EditorRepaints, 1);

    SearchFor("nowhere", true);
    EXPECT_EQ(View.Results, std::vector<std::string>{"> [0]行ヒット"});
    EXPECT_TRUE(Form->Settings.SearchCase);
}

// A long list fills in while the program is idle: the first entries show with the search, and
// the idle handler searches on and asks to be called again until the summary is in. A change of
// the text meanwhile starts the search over, so that the list is that of the text as it is.
TEST_F(SearchCommandsTest, ALongResultsListFillsInWhileIdleAndStartsOverOnAnEdit) {
    const std::vector<int> lineOffsets = SetLongScript();
    SearchFor("MsgBox", false);
    const std::size_t first = View.Results.size();
    EXPECT_GT(first, 0U);
    EXPECT_LT(first, std::size_t{kLongScriptLines});
    EXPECT_EQ(Form->FindHistory, std::vector<std::string>{"MsgBox"});

    // Lines 1001 to 2000 go, above the row the first step reached.
    SelectBytes(lineOffsets[1000], lineOffsets[2000] - lineOffsets[1000]);
    Editor->DeleteSelection();
    IdleUntilDone();
    ASSERT_EQ(View.Results.size(), std::size_t{kLongScriptLines - 1000 + 1});
    for (int line = 1; line < static_cast<int>(View.Results.size()); ++line) {
        const int written = line <= 1000 ? line - 1 : line + 999;
        ASSERT_EQ(View.Results[static_cast<std::size_t>(line - 1)],
                  HitLineEntry(line, "MsgBox " + std::to_string(written)));
    }
    EXPECT_EQ(View.Results.back(), "> [99000]行ヒット");

    SearchFor("MsgBox", false);
    Editor->GetLines().ReplaceWholeText("MsgBox\r\n");
    IdleUntilDone();
    EXPECT_EQ(View.Results, (std::vector<std::string>{"[0001] : MsgBox", "> [1]行ヒット"}));
}

// Another list (the procedure list here) stops the search that was filling the list; another file
// empties the list, whose entries would jump to lines of the new text.
TEST_F(SearchCommandsTest, ANewListStopsTheSearchAndAnotherFileEmptiesTheList) {
    SetLongScript();
    SearchFor("MsgBox", false);
    Form->mnuProcedureListClick();
    IdleUntilDone();
    EXPECT_EQ(View.Results, std::vector<std::string>{"> [0]件"});

    SearchFor("MsgBox", false);
    Editor->SetModified(false);
    Form->OpenFile(File("notes.txt", "MsgBox\r\n"));
    IdleUntilDone();
    EXPECT_TRUE(View.Results.empty()) << View.Results.size() << " entries";
}

TEST_F(SearchCommandsTest, ACancelledSearchListsNothing) {
    Form->mnuFindClick();
    EXPECT_FALSE(View.ResultsShown);
    EXPECT_TRUE(Form->FindHistory.empty());
    EXPECT_EQ(View.EditorRepaints, 1);
}

TEST_F(SearchCommandsTest, OneTouchSearchTakesTheSelectionWithoutMatchCase) {
    Form->Settings.SearchCase = true;
    SelectBytes(0, 3);
    Form->mnuFindNextClick();
    EXPECT_EQ(View.Results,
              (std::vector<std::string>{"[0001] : Dim a", "[0003] : dim b", "> [2]行ヒット"}));
    EXPECT_FALSE(Form->Settings.SearchCase);

    Editor->SetSelLength(0);
    bool asked = false;
    View.OnSearchDialog = [&](TfrmSearch& Dialog) {
        asked = true;
        EXPECT_FALSE(Dialog.MatchCase());
        return false;
    };
    Form->mnuFindNextClick();
    EXPECT_TRUE(asked) << "without a selection the search dialog opens";
}

TEST_F(SearchCommandsTest, ReplaceAsksBesideTheCaretAndReportsNothingFound) {
    const auto replace = [this](std::string Word, bool Answer) {
        View.OnReplaceDialog = [=](TfrmReplace& Dialog) {
            EXPECT_TRUE(Dialog.Answer());
            Dialog.SetWord(Word);
            Dialog.SetReplaceWith("Echo");
            Dialog.SetAnswer(Answer);
            Dialog.SetReplaceAll(true);
            return true;
        };
        Form->mnuReplaceClick();
    };
    Desk.Answers = {TMessageAnswer::Yes, TMessageAnswer::Cancel};
    replace("msgbox", true);
    EXPECT_EQ(Text(), "Dim a\r\nEcho a\r\ndim b\r\nmsgbox b\r\n");
    ASSERT_EQ(Desk.Messages.size(), 2U);
    const TPoint caret{Editor->ColumnLeft(Editor->GetCol()), Editor->RowTop(Editor->GetRow())};
    EXPECT_EQ(Desk.Messages[1], (TMessage{"置換しますか？", "確認", TMessageType::Confirmation,
                                          TMessageButtons::YesNoCancel}));
    EXPECT_EQ(Desk.MessageCorners[1],
              (TPoint{View.EditorOrigin.X + caret.X + 10, View.EditorOrigin.Y + caret.Y - 50}));
    EXPECT_TRUE(Form->FindHistory.empty()) << "a cancelled replace keeps the history";

    replace("zzz", false);
    EXPECT_EQ(Desk.Messages.back(), (TMessage{"\n置換するデータはありません", "情報",
                                              TMessageType::Information, TMessageButtons::Ok}));
    EXPECT_EQ(Form->FindHistory, std::vector<std::string>{"zzz"});
}

// The regular-expression box: its setting is remembered, a pattern that does not compile is
// reported and changes nothing, one whose matching explodes ends the list with the note, and a
// replace with groups is one undo step.
TEST_F(SearchCommandsTest, RegularExpressionsSearchAndReplaceWithGroups) {
    const auto search = [this](std::string Pattern) {
        View.OnSearchDialog = [=](TfrmSearch& Dialog) {
            Dialog.SetWord(Pattern);
            Dialog.SetRegex(true);
            return true;
        };
        Form->mnuFindClick();
    };
    search("^(dim|msgbox) [ab]$");
    EXPECT_EQ(View.Results,
              (std::vector<std::string>{"[0001] : Dim a", "[0002] : MsgBox a", "[0003] : dim b",
                                        "[0004] : msgbox b", "> [4]行ヒット"}));
    EXPECT_TRUE(Form->Settings.SearchRegex);

    search("(dim");
    ASSERT_FALSE(Desk.Messages.empty());
    EXPECT_EQ(Desk.Messages.back().Type, TMessageType::Error);
    EXPECT_TRUE(Desk.Messages.back().Text.find("( に対応する ) がありません") != std::string::npos);
    EXPECT_EQ(Form->SearchWord, "^(dim|msgbox) [ab]$") << "the search word stays";

    Editor->GetLines().SetTextStr("Dim a\r\n" + std::string(5000, 'a') + "\r\nDim b\r\n");
    search("(a+)+x|Dim");
    IdleUntilDone();
    EXPECT_EQ(View.Results, (std::vector<std::string>{"[0001] : Dim a", "検索を中止しました"}));

    Editor->GetLines().SetTextStr(kScript);
    const int steps = Editor->GetScreenStringsPtr()->GetUndoObj().UndoCount();
    View.OnReplaceDialog = [](TfrmReplace& Dialog) {
        EXPECT_TRUE(Dialog.Regex()) << "remembered from the search";
        Dialog.SetWord("(\\w+) (\\w)");
        Dialog.SetReplaceWith("$2 = $1($$)");
        Dialog.SetAnswer(false);
        Dialog.SetReplaceAll(true);
        return true;
    };
    Form->mnuReplaceClick();
    EXPECT_EQ(Text(), "a = Dim($)\r\na = MsgBox($)\r\nb = dim($)\r\nb = msgbox($)\r\n");
    EXPECT_EQ(Editor->GetScreenStringsPtr()->GetUndoObj().UndoCount(), steps + 1);
}

TEST_F(SearchCommandsTest, GoToLineMovesOnlyForANumber) {
    const auto goTo = [this](std::string Typed) {
        Editor->SetRowCol(1, 2);
        View.OnGoLineDialog = [=](TfrmGoLine& Dialog) {
            Dialog.SetLineText(Typed);
            Dialog.Accept();
            return true;
        };
        Form->mnuGoLineClick();
        return std::pair{Editor->GetRow(), Editor->GetCol()};
    };
    EXPECT_EQ(goTo("3"), (std::pair{2, 0}));
    EXPECT_EQ(goTo("99"), (std::pair{3, 0}));
    EXPECT_EQ(goTo("x"), (std::pair{1, 2}));
    EXPECT_EQ(goTo("0"), (std::pair{1, 2}));
    EXPECT_THROW(goTo("99999999999"), EConvertError);
    EXPECT_EQ((std::pair{Editor->GetRow(), Editor->GetCol()}), (std::pair{1, 2}));
}

TEST_F(SearchCommandsTest, TheListIsShownHiddenFocusedAndJumpedFrom) {
    SearchFor("b", true);
    View.Focus.clear();
    Form->mnuGoSearchListClick();
    EXPECT_EQ(View.Focus, "list");

    Editor->SetSelStart(0);
    Editor->SetSelLength(2);
    View.SelectedIndex = 1;
    Form->ListBox1DblClick();
    EXPECT_EQ((std::pair{Editor->GetRow(), Editor->GetCol()}), (std::pair{3, 0}));
    EXPECT_EQ(Editor->GetSelLength(), 0);
    EXPECT_EQ(View.Focus, "editor");

    View.SelectedIndex = 0;
    Form->ListBox1KeyUp(VK_DOWN);
    EXPECT_EQ(Editor->GetRow(), 3);
    Form->ListBox1KeyUp(VK_RETURN);
    EXPECT_EQ(Editor->GetRow(), 2);

    View.SelectedIndex = 2;
    View.Focus.clear();
    Form->ListBox1DblClick();
    EXPECT_EQ(Editor->GetRow(), 2) << "the summary line moves nothing";
    EXPECT_EQ(View.Focus, "editor");

    Form->mnuSearchListClick();
    EXPECT_FALSE(View.ResultsShown);
    EXPECT_FALSE(Form->Menus.MenuItem(cmSearchList)->Checked);
    View.Focus.clear();
    Form->mnuGoSearchListClick();
    EXPECT_EQ(View.Focus, "") << "a hidden list takes no focus";
    Form->mnuSearchListClick();
    EXPECT_TRUE(View.ResultsShown);
    EXPECT_EQ(View.Focus, "");
}

TEST_F(SearchCommandsTest, TheMarksFollowTheFileKindAndTheList) {
    RecordingHost host({400, 200});
    RecordingSurface canvas({400, 200});
    Editor->SetHost(&host);
    Editor->GetLines().SetTextStr("MsgBox \"b\"\r\n");
    const auto looks = [&] {
        canvas.ClearOps();
        Editor->Paint(canvas, {0, 0, 400, 200});
        std::set<TColor> backgrounds;
        for (const RecordingSurface::TDrawOp& op : canvas.Ops) {
            // The string "b" in grey on white, not the grey end-of-file mark.
            if (op.Kind == RecordingSurface::TOpKind::Text && op.Color == clGray &&
                op.BkColor == clWhite && op.Text == "\"b\"") {
                backgrounds.insert(op.BkColor);
            }
            if (op.Kind == RecordingSurface::TOpKind::Text && op.BkColor == clLime) {
                backgrounds.insert(op.BkColor);
            }
        }
        return backgrounds;
    };
    EXPECT_EQ(looks(), std::set<TColor>{clWhite}) << "a new file is a script";
    SearchFor("b", true);
    EXPECT_EQ(looks(), (std::set<TColor>{clWhite, clLime}));
    Form->mnuSyntaxCheckClick();
    EXPECT_EQ(looks(), std::set<TColor>{clWhite}) << "a list of another kind marks no hits";
    SearchFor("b", true);
    Editor->SetModified(false);
    Form->OpenFile(File("notes.txt", "MsgBox \"b\"\r\n"));
    EXPECT_EQ(looks(), std::set<TColor>{}) << "the list went with the other file";
    SearchFor("b", true);
    EXPECT_EQ(looks(), std::set<TColor>{clLime}) << "a text file has no string marks";
    Form->mnuSearchListClick();
    EXPECT_EQ(looks(), std::set<TColor>{});
    Editor->SetHost(nullptr);
}

} // namespace
} // namespace kst
