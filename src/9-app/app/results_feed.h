// Hands the entries of the main window's results list to the list in steps while the program is
// idle, so that a search with a million hits shows its first entries at once and never holds the
// window for long, and a running program's output can be added as it arrives. Keeps where each
// entry in the list jumps to.
#pragma once

#include "tools/search_results.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace kst {

class MainWindowView;

class ResultsFeed {
public:
    explicit ResultsFeed(MainWindowView& View) : FView(View) {}

    // Replaces the list's entries; the first step shows at once.
    void Show(std::vector<TResultEntry> Entries);
    // Adds entries after those given so far; the next steps show them.
    void Append(std::vector<TResultEntry> Entries);
    // The same for entries whose targets are in File (UTF-8), not in the edited text.
    void AppendInFile(std::vector<TResultEntry> Entries, const std::string& File);
    // Adds the next step of entries; true while entries remain.
    bool Step();
    // Entries given but not yet in the list.
    std::size_t Waiting() const { return FWaiting.size(); }
    // Counts the lists shown, so that who appends can tell that the list was replaced since.
    std::uint64_t ListNumber() const { return FListNumber; }
    // Where the list's entry Index jumps to; nowhere for an index outside the list.
    TTextPlace TargetOf(std::size_t Index) const;
    // The file of the list's entry Index's target; empty for the edited text.
    const std::string& FileOf(std::size_t Index) const;

private:
    // 1 + the index in FFiles of the file an entry's target is in; 0 for the edited text.
    using TFileNumber = std::uint32_t;
    struct TWaitingEntry {
        TResultEntry Entry;
        TFileNumber File;
    };
    struct TTarget {
        TTextPlace Place;
        TFileNumber File;
    };

    void Add(std::vector<TResultEntry> Entries, TFileNumber File);

    MainWindowView& FView;
    std::deque<TWaitingEntry> FWaiting;
    // The targets of the entries given, in the list's order, and the files they name: each name
    // once for a run of entries in one file.
    std::vector<TTarget> FTargets;
    std::vector<std::string> FFiles;
    std::uint64_t FListNumber = 0;
};

} // namespace kst
