// The Search menu: search with the results list, one-touch search, replace, go to line, showing
// and focusing the list, jumping from it; and the marks the editor draws over its rows.
#include "app/main_form.h"
#include "app/main_view.h"
#include "app/message_boxes.h"
#include "app/search_dialogs.h"
#include "core/messages.h"
#include "document/regex_search.h"
#include "document/screen_strings.h"
#include "input/editor.h"
#include "tools/go_line.h"
#include "tools/line_marks.h"
#include "tools/replace.h"
#include "tools/search_results.h"
#include "tools/word_matcher.h"

namespace kst {

namespace {

constexpr std::string_view kNothingToReplaceText = "\n置換するデータはありません";
constexpr std::string_view kReplaceQuestionText = "置換しますか？";
// The replace question's corner, from the caret.
constexpr TPoint kQuestionOffset{10, -50};

// Rows searched in an idle step: about 2.5 ms natively, 10 ms under Wine. A regular expression's
// step also ends once it has taken kRegexStepTime, as its lines may each cost far more.
constexpr int kRowsSearchedPerStep = 25'000;
constexpr auto kRegexStepTime = std::chrono::milliseconds(15);

std::string SummaryEntry(std::size_t HitLines) {
    return "> [" + std::to_string(HitLines) + "]行ヒット";
}

} // namespace

void TForm1::mnuFindClick() {
    TfrmSearch dialog(FindHistory, Settings.SearchCase, FEditor.GetSelText());
    dialog.SetRegex(Settings.SearchRegex);
    if (FView.ShowSearchDialog(dialog) &&
        SetSearchWord(dialog.Word(), dialog.MatchCase(), dialog.Regex())) {
        BuildResultsList();
    }
    FView.RepaintEditor();
}

void TForm1::mnuFindNextClick() {
    std::string selected = FEditor.GetSelText();
    if (selected.empty()) {
        mnuFindClick();
        return;
    }
    SetSearchWord(std::move(selected), false, false);
    BuildResultsList();
    FView.RepaintEditor();
}

// As with match case, a one-touch search leaves the regular-expression setting off: it takes the
// selected text as it is.
bool TForm1::SetSearchWord(std::string Word, bool MatchCase, bool Regex) {
    try {
        FSearchMatcher = TWordMatcher(Word, MatchCase, Regex);
    } catch (const ERegexError& error) {
        ShowMessageBox(FDesktop, error.what(), TMessageType::Error, TMessageButtons::Ok);
        return false;
    }
    SearchWord = std::move(Word);
    Settings.SearchCase = MatchCase;
    Settings.SearchRegex = Regex;
    return true;
}

// The caret and the selection stay where they are.
void TForm1::BuildResultsList() {
    ShowResults({}, true);
    FSearch = TRunningSearch{.Matcher = FSearchMatcher, .List = FResults.ListNumber()};
    ContinueSearch();
    FResults.Step();
    AddToFindHistory(FindHistory, SearchWord);
}

bool TForm1::ContinueSearch() {
    if (!FSearch || FSearch->List != FResults.ListNumber()) {
        FSearch.reset();
        return false;
    }
    if (FSearch->TextChanged) {
        FResults.Show({});
        FSearch = TRunningSearch{.Matcher = FSearch->Matcher, .List = FResults.ListNumber()};
    }
    const TEditorScreenStrings& rows = FEditor.ScreenStrings();
    std::vector<TResultEntry> entries;
    const TSearchDeadline deadline = FSearch->Matcher.IsRegex()
                                         ? std::chrono::steady_clock::now() + kRegexStepTime
                                         : TSearchDeadline::max();
    bool aborted = false;
    try {
        FSearch->Row = AppendResultEntries(rows, FSearch->Matcher, FSearch->Row,
                                           kRowsSearchedPerStep, entries, deadline);
    } catch (const ESearchAborted&) {
        aborted = true;
    }
    FSearch->HitLines += entries.size();
    ConvertToUtf8(entries);
    const bool done = aborted || FSearch->Row >= rows.GetCount();
    if (done) {
        entries.push_back({aborted ? kSearchAbortedText : SummaryEntry(FSearch->HitLines), {}});
        FSearch.reset();
    }
    FResults.Append(std::move(entries));
    return !done;
}

// A list filled in from a text that changed meanwhile would list lines twice or miss some, under
// numbers from two texts: the search starts over at its next step, on the text as it is then.
void TForm1::SearchedTextChanged() {
    if (FSearch) {
        FSearch->TextChanged = true;
    }
}

void TForm1::ConvertToUtf8(std::vector<TResultEntry>& Entries) const {
    for (TResultEntry& entry : Entries) {
        entry.Text = FDesktop.TextToUtf8(entry.Text);
    }
}

void TForm1::ShowResults(std::vector<TResultEntry> Entries, bool SearchHits) {
    SetResultsListShown(true);
    FResultsAreHits = SearchHits;
    FResults.Show(std::move(Entries));
}

void TForm1::ClearResultsList() {
    FSearch.reset();
    FResultsAreHits = false;
    FResults.Show({});
}

void TForm1::SetResultsListShown(bool Shown) {
    Menus.MenuItem(cmSearchList)->Checked = Shown;
    FView.ShowResultsList(Shown);
}

void TForm1::mnuReplaceClick() {
    TfrmReplace dialog(FindHistory, Settings.SearchCase, FEditor.GetSelText());
    dialog.SetRegex(Settings.SearchRegex);
    if (FView.ShowReplaceDialog(dialog) &&
        SetSearchWord(dialog.Word(), dialog.MatchCase(), dialog.Regex())) {
        Replacement = dialog.ReplaceWith();
        Confirm = dialog.Answer();
        ReplaceAll = dialog.ReplaceAll();
        ReplaceSearchWord();
    }
    FView.RepaintEditor();
}

// Cancelling a confirmation leaves the history as it was; so does a replace that stopped on a
// match too complex to decide.
void TForm1::ReplaceSearchWord() {
    TReplaceOutcome outcome;
    try {
        outcome = ReplaceOccurrences(FEditor,
                                     {.Word = SearchWord,
                                      .Replacement = Replacement,
                                      .MatchCase = Settings.SearchCase,
                                      .Regex = FSearchMatcher.IsRegex(),
                                      .Confirm = Confirm,
                                      .ReplaceAll = ReplaceAll},
                                     [this] { return AskReplace(); });
    } catch (const ESearchAborted& error) {
        ShowMessageBox(FDesktop, error.what(), TMessageType::Error, TMessageButtons::Ok);
        return;
    }
    if (outcome.Cancelled) {
        return;
    }
    if (outcome.Found == 0) {
        ShowMessageBox(FDesktop, kNothingToReplaceText, TMessageType::Information,
                       TMessageButtons::Ok);
    }
    AddToFindHistory(FindHistory, SearchWord);
}

TReplaceAnswer TForm1::AskReplace() {
    const TPoint caret = FView.EditorToScreen(
        {FEditor.ColumnLeft(FEditor.GetCol()), FEditor.RowTop(FEditor.GetRow())});
    const TPoint corner{caret.X + kQuestionOffset.X, caret.Y + kQuestionOffset.Y};
    switch (FDesktop.MessageBoxAt(
        std::string(kReplaceQuestionText), MessageCaption(TMessageType::Confirmation),
        TMessageType::Confirmation, TMessageButtons::YesNoCancel, corner)) {
    case TMessageAnswer::Yes:
        return TReplaceAnswer::Yes;
    case TMessageAnswer::No:
        return TReplaceAnswer::No;
    case TMessageAnswer::Ok:
    case TMessageAnswer::Cancel:
        break;
    }
    return TReplaceAnswer::Cancel;
}

void TForm1::mnuGoLineClick() {
    TfrmGoLine dialog;
    if (FView.ShowGoLineDialog(dialog)) {
        GoToLine(FEditor, dialog.LineNumber());
    }
}

void TForm1::mnuSearchListClick() {
    const bool shown = Menus.MenuItem(cmSearchList)->Checked;
    SetResultsListShown(!shown);
    if (shown) {
        FView.FocusEditor();
    }
    FView.RepaintEditor();
}

void TForm1::mnuGoSearchListClick() {
    if (Menus.MenuItem(cmSearchList)->Checked) {
        FView.FocusResultsList();
    }
}

void TForm1::ListBox1DblClick() {
    JumpToSelectedResult();
}

void TForm1::ListBox1KeyUp(std::uint16_t Key) {
    if (Key == VK_RETURN) {
        JumpToSelectedResult();
    }
}

// An entry that jumps nowhere (a summary, a line of output) focuses the editor and moves nothing.
void TForm1::JumpToSelectedResult() {
    const std::optional<std::size_t> selected = FView.SelectedResultIndex();
    if (!selected) {
        return;
    }
    const TTextPlace target = FResults.TargetOf(*selected);
    if (const std::string& file = FResults.FileOf(*selected); !file.empty() && target.Line >= 1) {
        ShowFileAtLine(file, target.Line);
        return;
    }
    FView.FocusEditor();
    if (target.Line >= 1) {
        FEditor.SetSelLength(0);
        GoToLine(FEditor, target.Line, target.Column);
    }
}

// Scripts, and new files, get the marks of strings and double-byte characters.
void TForm1::Editor1DrawLine(TEditor& Sender, const std::string& LineStr, int X, int Y, int Index,
                             const TRect& ARect, bool Selected) {
    const std::vector<TScriptProblem> problems = FProblems.ProblemsOfRow(Index);
    DrawLineMarks(Sender, LineStr, X, Y, Index, ARect, Selected,
                  {.MarkScript = TextIsScript(),
                   .Hits = Menus.MenuItem(cmSearchList)->Checked && FResultsAreHits
                               ? &FSearchMatcher
                               : nullptr,
                   .Problems = problems},
                  FLineMarkStates);
}

} // namespace kst
