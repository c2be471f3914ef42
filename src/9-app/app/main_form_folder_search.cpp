// The Search menu's folder search: the dialog, the walk's findings in the results list and the
// status bar, stopping it, and opening a hit's file at its line.
#include "app/file_names.h"
#include "app/main_form.h"
#include "app/main_view.h"
#include "app/message_boxes.h"
#include "app/search_dialogs.h"
#include "input/editor.h"
#include "tools/go_line.h"

namespace kst {

namespace {

// Hits taken into the list per idle step: their texts are converted to UTF-8 on the way, a few
// milliseconds for this many lines of the longest kept length.
constexpr std::size_t kFolderHitsPerStep = 5'000;
// The progress in the status bar is shown at most this often (milliseconds): a repaint of the
// status bar costs as much as a typed key under Wine.
constexpr std::uint64_t kProgressInterval = 100;

constexpr std::string_view kNoSuchFolderText = "\nフォルダが見つかりません。";

std::string ProgressText(std::string_view State, const TFolderSearchNews& News) {
    return std::string(State) + ": " + std::to_string(News.FilesSearched) + "ファイル / " +
           std::to_string(News.HitLines) + "件";
}

// Names each of Items after a heading that counts them.
void AppendNamed(std::vector<TResultEntry>& Entries, std::string_view Heading,
                 const std::vector<std::string>& Items) {
    if (Items.empty()) {
        return;
    }
    Entries.push_back({"> " + std::string(Heading) + ": " + std::to_string(Items.size()), {}});
    for (const std::string& item : Items) {
        Entries.push_back({"  " + item, {}});
    }
}

} // namespace

void TForm1::mnuFolderSearchClick() {
    TFolderSearchScope scope{.Folder = Settings.FolderSearchFolder,
                             .FileNames = Settings.FolderSearchFiles,
                             .Subfolders = Settings.FolderSearchSubfolders};
    if (scope.Folder.empty()) {
        scope.Folder = ExtractFileDir(CurrentFileName);
    }
    TfrmFolderSearch dialog(FDesktop, FindHistory, Settings.SearchCase, FEditor.GetSelText(),
                            std::move(scope));
    dialog.SetRegex(Settings.SearchRegex);
    if (!FView.ShowFolderSearchDialog(dialog)) {
        return;
    }
    const TFolderSearchScope& chosen = dialog.Scope();
    if (!FDesktop.DirectoryExists(chosen.Folder)) {
        ShowWarning(FDesktop, chosen.Folder + std::string(kNoSuchFolderText));
        return;
    }
    std::optional<TWordMatcher> matcher;
    try {
        matcher.emplace(dialog.Word(), dialog.MatchCase(), dialog.Regex());
    } catch (const ERegexError& error) {
        ShowMessageBox(FDesktop, error.what(), TMessageType::Error, TMessageButtons::Ok);
        return;
    }
    Settings.SearchCase = dialog.MatchCase();
    Settings.SearchRegex = dialog.Regex();
    Settings.FolderSearchFolder = chosen.Folder;
    Settings.FolderSearchFiles = chosen.FileNames;
    Settings.FolderSearchSubfolders = chosen.Subfolders;
    AddToFindHistory(FindHistory, dialog.Word());
    RetireFolderSearch();
    ShowResults({}, false);
    FFolderSearchList = FResults.ListNumber();
    FFolderProgressShownAt.reset();
    FFolderSearch = std::make_unique<TFolderSearch>(chosen, std::move(*matcher),
                                                    [&desk = FDesktop] { desk.WakeMessageLoop(); });
    ShowFolderSearchProgress({}, true);
}

void TForm1::mnuStopFolderSearchClick() {
    if (FFolderSearch) {
        FFolderSearch->Stop();
    }
}

void TForm1::RetireFolderSearch() {
    if (FFolderSearch) {
        FFolderSearch->Stop();
        FStoppingSearches.push_back(std::move(FFolderSearch));
    }
}

// Another list replacing the folder search's stops the walk: its hits have nowhere to go.
bool TForm1::ContinueFolderSearch() {
    std::erase_if(FStoppingSearches,
                  [](const std::unique_ptr<TFolderSearch>& Search) { return Search->Ended(); });
    if (!FFolderSearch) {
        return false;
    }
    if (FFolderSearchList != FResults.ListNumber()) {
        RetireFolderSearch();
        SetStatusPart(TStatusBar::spFolderSearch, "");
        return false;
    }
    TFolderSearchNews news = FFolderSearch->Take(kFolderHitsPerStep);
    // The hits of one file follow one another.
    for (auto run = news.Hits.begin(); run != news.Hits.end();) {
        const std::shared_ptr<const std::string> fileName = run->File;
        const std::string& file = *fileName;
        std::vector<TResultEntry> hits;
        for (; run != news.Hits.end() && run->File == fileName; ++run) {
            hits.push_back({file + "(" + std::to_string(run->Hit.Line) +
                                "): " + FDesktop.TextToUtf8(run->Hit.Text),
                            {run->Hit.Line, 1}});
        }
        FResults.AppendInFile(std::move(hits), file);
    }
    if (news.Finished) {
        std::vector<TResultEntry> entries;
        if (news.Stopped) {
            entries.push_back({kSearchAbortedText, {}});
        }
        entries.push_back({"> [" + std::to_string(news.HitLines) + "]件 / [" +
                               std::to_string(news.FilesWithHits) + "]ファイル",
                           {}});
        AppendNamed(entries, "バイナリのため飛ばしたファイル", news.Skipped);
        AppendNamed(entries, "読めなかったファイル・フォルダ", news.Failed);
        FResults.Append(std::move(entries));
        FFolderSearch.reset();
    }
    ShowFolderSearchProgress(news, news.Finished);
    return news.More;
}

void TForm1::ShowFolderSearchProgress(const TFolderSearchNews& News, bool Now) {
    const std::uint64_t now = FDesktop.TickCount();
    if (!Now && FFolderProgressShownAt && now - *FFolderProgressShownAt < kProgressInterval) {
        return;
    }
    FFolderProgressShownAt = now;
    const std::string_view state =
        FFolderSearch ? "フォルダ検索中" : (News.Stopped ? "フォルダ検索中止" : "フォルダ検索終了");
    SetStatusPart(TStatusBar::spFolderSearch, ProgressText(state, News));
}

void TForm1::ShowFileAtLine(const std::string& File, int Line) {
    if (!CurrentFileName.empty() && FDesktop.SameFileName(CurrentFileName, File)) {
        ShowLineRequested(Line);
    } else if (const TWindowHandle window = WindowShowing(File)) {
        FDesktop.BringToFront(window);
        FDesktop.AskToShowLine(window, Line);
    } else {
        StartProgram(FDesktop.FullFileName(File), Line);
    }
}

void TForm1::ShowLineRequested(int Line) {
    FView.FocusEditor();
    FEditor.SetSelLength(0);
    GoToLine(FEditor, Line);
}

} // namespace kst
