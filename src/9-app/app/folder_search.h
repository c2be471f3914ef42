// Searching the files of a folder for a word: which files it takes (name patterns, subfolders),
// reading each as the editor opens it, leaving binary files out, and the walk on a thread of its
// own whose findings the window takes in steps. Paths are UTF-8, found lines in the text's code
// page.
#pragma once

#include "tools/word_matcher.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kst {

inline constexpr std::string_view kDefaultFolderSearchFiles = "*.vbs;*.wsf;*.txt";

// What a folder search looks through.
struct TFolderSearchScope {
    std::string Folder{};
    // File-name patterns separated by ";" (see TFileNamePatterns).
    std::string FileNames{kDefaultFolderSearchFiles};
    bool Subfolders = true;
};

// File-name patterns separated by ";": "*" stands for any run of characters, "?" for one, and
// letter case does not matter. Blank patterns are ignored; without any, every file is taken.
class TFileNamePatterns {
public:
    explicit TFileNamePatterns(std::string_view Patterns);
    bool Matches(std::string_view Name) const;

private:
    std::vector<std::string> FPatterns;
};

// A line in which the word was found: its number from 1 and its text, with every tab as two
// spaces and cut after kHitTextLimit bytes (at a character's end), as the list shows it.
struct TLineHit {
    int Line = 0;
    std::string Text;

    bool operator==(const TLineHit&) const = default;
};

inline constexpr std::size_t kHitTextLimit = 1000;
// A NUL in this many bytes at the start of a file's text marks it as binary.
inline constexpr std::size_t kBinaryProbeBytes = 8192;

struct TFileSearchResult {
    enum TOutcome : std::uint8_t { fsSearched, fsBinary, fsFailed };
    TOutcome Outcome = fsSearched;
    std::vector<TLineHit> Hits;
    // Of a failed file, why it was not searched to its end, naming it: the system's error, or a
    // match too complex for the engine (the hits before it are kept).
    std::string Reason;
};

// Reads the file as the editor opens it (the code page as it is, UTF-16 and UTF-8 decoded) and
// lists the lines (split at CR LF, CR and LF) in which Matcher finds its word. A file with a NUL
// in the first kBinaryProbeBytes of its text is binary and not searched. Stop is looked at
// between hits: a stopped search keeps the hits found before.
TFileSearchResult SearchFile(const std::string& Path, const TWordMatcher& Matcher,
                             const std::atomic<bool>& Stop);

// A hit of the walk: the file (shared by its hits) and the line.
struct TFolderHit {
    std::shared_ptr<const std::string> File;
    TLineHit Hit;
};

// What the walk has found since the window last took its news, and its totals so far.
struct TFolderSearchNews {
    std::vector<TFolderHit> Hits;
    // Given with the last news (Finished): the binary files left out, and the files and folders
    // that could not be read, each with its reason.
    std::vector<std::string> Skipped;
    std::vector<std::string> Failed;
    std::size_t FilesSearched = 0;
    std::size_t FilesWithHits = 0;
    std::size_t HitLines = 0;
    // Hits wait beyond those taken.
    bool More = false;
    // The walk has ended (through or stopped) and everything has been taken.
    bool Finished = false;
    bool Stopped = false;
};

class TFolderSearch {
public:
    // Starts the walk through Scope on a thread of its own, which calls Wake when news waits
    // that the window has not been woken for since it last took news.
    TFolderSearch(TFolderSearchScope Scope, TWordMatcher Matcher, std::function<void()> Wake);
    // Stops the walk and waits for its thread: for the end of the file it reads.
    ~TFolderSearch();
    TFolderSearch(const TFolderSearch&) = delete;
    TFolderSearch& operator=(const TFolderSearch&) = delete;

    // The walk ends after the hit it is at; what it found until then can still be taken.
    void Stop() { FStop = true; }
    // Takes up to MaxHits of the waiting hits and all other news.
    TFolderSearchNews Take(std::size_t MaxHits);
    // The walk has ended, through or stopped: destroying the search waits for nothing.
    bool Ended();

private:
    void Walk();
    void SearchFolder(const std::string& Folder, std::vector<std::string>& Subfolders);
    void Publish(const std::string& Path, TFileSearchResult Result);
    void Fail(std::string Reason);
    void Finish();
    // Calls Wake, unless it was called already for news not taken yet.
    void WakeOnce(std::unique_lock<std::mutex>& Lock);
    void Wake(std::unique_lock<std::mutex>& Lock);

    const TFolderSearchScope FScope;
    const TFileNamePatterns FPatterns;
    const TWordMatcher FMatcher;
    const std::function<void()> FWake;
    std::atomic<bool> FStop = false;

    std::mutex FMutex;
    // Guarded by FMutex: the news not taken yet (its hits waiting apart), and whether the window
    // was woken for it.
    TFolderSearchNews FNews;
    std::deque<TFolderHit> FWaitingHits;
    bool FWalkEnded = false;
    bool FWoken = false;

    std::thread FThread;
};

} // namespace kst
