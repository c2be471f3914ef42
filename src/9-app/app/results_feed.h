// Hands the entries of the main window's results list to the list in steps while the program is
// idle, so that a search with a million hits shows its first entries at once and never holds the
// window for long, and a running program's output can be added as it arrives. Keeps where each
// entry in the list jumps to.
#pragma once

#include "tools/search_results.h"

#include <cstddef>
#include <cstdint>
#include <deque>
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
    // Adds the next step of entries; true while entries remain.
    bool Step();
    // Entries given but not yet in the list.
    std::size_t Waiting() const { return FWaiting.size(); }
    // Counts the lists shown, so that who appends can tell that the list was replaced since.
    std::uint64_t ListNumber() const { return FListNumber; }
    // Where the list's entry Index jumps to; nowhere for an index outside the list.
    TTextPlace TargetOf(std::size_t Index) const;

private:
    MainWindowView& FView;
    std::deque<TResultEntry> FWaiting;
    // The targets of the entries in the list, in its order.
    std::vector<TTextPlace> FTargets;
    std::uint64_t FListNumber = 0;
};

} // namespace kst
