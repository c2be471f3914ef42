#include "app/folder_search.h"

#include "app/file_names.h"
#include "core/code_page.h"
#include "lists/row_text_io.h"
#include "lists/text_encoding.h"
#include "tools/search_results.h"

#include <algorithm>
#include <iterator>

namespace kst {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Whether Name matches Pattern (both in lower case) from these places on: a "*" tries every
// length, keeping only the last one's place to come back to, so the time stays linear in
// practice.
bool WildcardMatches(std::string_view Pattern, std::string_view Name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = npos;
    std::size_t starName = 0;
    while (n < Name.size()) {
        if (p < Pattern.size() && (Pattern[p] == '?' || Pattern[p] == Name[n])) {
            ++p;
            ++n;
        } else if (p < Pattern.size() && Pattern[p] == '*') {
            starAt = p++;
            starName = n;
        } else if (starAt != npos) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < Pattern.size() && Pattern[p] == '*') {
        ++p;
    }
    return p == Pattern.size();
}

std::string_view Trimmed(std::string_view Text) {
    const std::size_t first = Text.find_first_not_of(' ');
    if (first == npos) {
        return {};
    }
    return Text.substr(first, Text.find_last_not_of(' ') - first + 1);
}

// Where the line after the one that From is in starts; npos when that line is the last.
std::size_t NextLineStart(std::string_view Text, std::size_t From) {
    const std::size_t end = Text.find_first_of("\r\n", From);
    if (end == npos) {
        return npos;
    }
    return Text[end] == '\r' && end + 1 < Text.size() && Text[end + 1] == '\n' ? end + 2 : end + 1;
}

// The line's text as the list shows it, cut at a character's end.
std::string HitText(std::string_view Line) {
    std::size_t cut = 0;
    while (cut < Line.size() && cut < kHitTextLimit) {
        cut += CharLengthAt(Line, cut);
    }
    std::string text;
    AppendTabsAsTwoSpaces(text, Line.substr(0, cut));
    return text;
}

// Each character of Text is looked at once: the lines between two hits are only counted.
void ListHitLines(std::string_view Text, const TWordMatcher& Matcher, const std::atomic<bool>& Stop,
                  std::vector<TLineHit>& Into) {
    int line = 1;
    std::size_t lineStart = 0;
    for (std::size_t at = Matcher.Find(Text, 0); at != npos && !Stop;) {
        std::size_t next = NextLineStart(Text, lineStart);
        while (next <= at) {
            ++line;
            lineStart = next;
            next = NextLineStart(Text, lineStart);
        }
        const std::size_t lineEnd = next == npos ? Text.size() : Text.find_first_of("\r\n", at);
        Into.push_back({line, HitText(Text.substr(lineStart, lineEnd - lineStart))});
        if (next == npos) {
            return;
        }
        ++line;
        lineStart = next;
        at = Matcher.Find(Text, lineStart);
    }
}

std::string OneLine(std::string Message) {
    std::ranges::replace(Message, '\n', ' ');
    return Message;
}

} // namespace

TFileNamePatterns::TFileNamePatterns(std::string_view Patterns) {
    while (!Patterns.empty()) {
        const std::size_t end = std::min(Patterns.find(';'), Patterns.size());
        if (const std::string_view pattern = Trimmed(Patterns.substr(0, end)); !pattern.empty()) {
            FPatterns.push_back(AsciiLowerCase(pattern));
        }
        Patterns.remove_prefix(std::min(end + 1, Patterns.size()));
    }
}

bool TFileNamePatterns::Matches(std::string_view Name) const {
    if (FPatterns.empty()) {
        return true;
    }
    const std::string name = AsciiLowerCase(Name);
    return std::ranges::any_of(
        FPatterns, [&name](const std::string& Pattern) { return WildcardMatches(Pattern, name); });
}

TFileSearchResult SearchFile(const std::string& Path, const TWordMatcher& Matcher,
                             const std::atomic<bool>& Stop) {
    TFileSearchResult result;
    try {
        const TDecodedFile decoded = ReadTextFile(Path);
        const std::string_view text = DocumentText(decoded);
        if (text.substr(0, kBinaryProbeBytes).find('\0') != npos) {
            result.Outcome = TFileSearchResult::fsBinary;
            return result;
        }
        ListHitLines(text, Matcher, Stop, result.Hits);
    } catch (const ESearchAborted& error) {
        result.Outcome = TFileSearchResult::fsFailed;
        result.Reason = Path + ": " + error.what();
    } catch (const std::exception& error) {
        result.Outcome = TFileSearchResult::fsFailed;
        result.Reason = OneLine(error.what());
    }
    return result;
}

TFolderSearch::TFolderSearch(TFolderSearchScope Scope, TWordMatcher Matcher,
                             std::function<void()> Wake)
    : FScope(std::move(Scope)), FPatterns(FScope.FileNames), FMatcher(std::move(Matcher)),
      FWake(std::move(Wake)), FThread([this] { Walk(); }) {}

TFolderSearch::~TFolderSearch() {
    Stop();
    FThread.join();
}

// Depth first, each folder's files before its subfolders, both in name order, so that a folder's
// hits stand together and the list reads like the folder tree.
// A failure beyond a single file's or folder's (no memory left) ends the walk, named like those.
void TFolderSearch::Walk() {
    try {
        std::vector<std::string> folders{FScope.Folder};
        while (!folders.empty() && !FStop) {
            const std::string folder = std::move(folders.back());
            folders.pop_back();
            std::vector<std::string> subfolders;
            SearchFolder(folder, subfolders);
            if (FScope.Subfolders) {
                folders.insert(folders.end(), std::make_move_iterator(subfolders.rbegin()),
                               std::make_move_iterator(subfolders.rend()));
            }
        }
    } catch (const std::exception& error) {
        Fail(FScope.Folder + ": " + error.what());
    }
    Finish();
}

void TFolderSearch::SearchFolder(const std::string& Folder, std::vector<std::string>& Subfolders) {
    TFolderListing listing;
    try {
        listing = ListFolder(Folder);
    } catch (const std::exception& error) {
        Fail(OneLine(error.what()));
        return;
    }
    std::ranges::sort(listing.Files, LessIgnoringCase);
    std::ranges::sort(listing.Folders, LessIgnoringCase);
    for (const std::string& name : listing.Files) {
        if (FStop) {
            return;
        }
        if (FPatterns.Matches(name)) {
            const std::string path = PathInFolder(Folder, name);
            Publish(path, SearchFile(path, FMatcher, FStop));
        }
    }
    for (const std::string& name : listing.Folders) {
        Subfolders.push_back(PathInFolder(Folder, name));
    }
}

void TFolderSearch::Publish(const std::string& Path, TFileSearchResult Result) {
    std::unique_lock lock(FMutex);
    switch (Result.Outcome) {
    case TFileSearchResult::fsBinary:
        FNews.Skipped.push_back(Path);
        break;
    case TFileSearchResult::fsFailed:
        FNews.Failed.push_back(std::move(Result.Reason));
        break;
    case TFileSearchResult::fsSearched:
        ++FNews.FilesSearched;
        break;
    }
    if (!Result.Hits.empty()) {
        const auto file = std::make_shared<const std::string>(Path);
        ++FNews.FilesWithHits;
        FNews.HitLines += Result.Hits.size();
        for (TLineHit& hit : Result.Hits) {
            FWaitingHits.push_back({file, std::move(hit)});
        }
    }
    WakeOnce(lock);
}

void TFolderSearch::Fail(std::string Reason) {
    std::unique_lock lock(FMutex);
    FNews.Failed.push_back(std::move(Reason));
    WakeOnce(lock);
}

// The end always wakes the window, which may have stopped taking news and wait for the end alone.
void TFolderSearch::Finish() {
    std::unique_lock lock(FMutex);
    FWalkEnded = true;
    FNews.Stopped = FStop;
    Wake(lock);
}

void TFolderSearch::WakeOnce(std::unique_lock<std::mutex>& Lock) {
    if (!FWoken) {
        Wake(Lock);
    }
}

// Wake runs outside the lock: it may take its time, and the window's Take must not wait for it.
void TFolderSearch::Wake(std::unique_lock<std::mutex>& Lock) {
    FWoken = true;
    Lock.unlock();
    FWake();
}

bool TFolderSearch::Ended() {
    const std::lock_guard lock(FMutex);
    return FWalkEnded;
}

TFolderSearchNews TFolderSearch::Take(std::size_t MaxHits) {
    const std::lock_guard lock(FMutex);
    TFolderSearchNews news;
    news.FilesSearched = FNews.FilesSearched;
    news.FilesWithHits = FNews.FilesWithHits;
    news.HitLines = FNews.HitLines;
    news.Stopped = FNews.Stopped;
    const std::size_t count = std::min(MaxHits, FWaitingHits.size());
    news.Hits.assign(std::make_move_iterator(FWaitingHits.begin()),
                     std::make_move_iterator(FWaitingHits.begin() + static_cast<long>(count)));
    FWaitingHits.erase(FWaitingHits.begin(), FWaitingHits.begin() + static_cast<long>(count));
    news.More = !FWaitingHits.empty();
    news.Finished = FWalkEnded && !news.More;
    if (news.Finished) {
        news.Skipped = std::exchange(FNews.Skipped, {});
        news.Failed = std::exchange(FNews.Failed, {});
    }
    FWoken = false;
    return news;
}

} // namespace kst
