#include "app/results_feed.h"

#include "app/main_view.h"

#include <algorithm>
#include <iterator>

namespace kst {

namespace {

// Entries added to the list per step: more than a search step finds, so that the list keeps up
// with the search; the list keeps its texts itself, and a step costs a few milliseconds.
constexpr std::size_t kEntriesPerStep = 50'000;

} // namespace

void ResultsFeed::Show(std::vector<TResultEntry> Entries) {
    ++FListNumber;
    FView.ClearResults(Entries.size());
    FTargets = {};
    FTargets.reserve(Entries.size());
    FWaiting.clear();
    Append(std::move(Entries));
    Step();
}

void ResultsFeed::Append(std::vector<TResultEntry> Entries) {
    std::ranges::move(Entries, std::back_inserter(FWaiting));
}

bool ResultsFeed::Step() {
    const std::size_t count = std::min(FWaiting.size(), kEntriesPerStep);
    if (count == 0) {
        return false;
    }
    std::vector<std::string> texts;
    texts.reserve(count);
    for (std::size_t index = 0; index < count; ++index) {
        texts.push_back(std::move(FWaiting.front().Text));
        FTargets.push_back(FWaiting.front().Target);
        FWaiting.pop_front();
    }
    FView.AddResults(texts);
    return !FWaiting.empty();
}

TTextPlace ResultsFeed::TargetOf(std::size_t Index) const {
    return Index < FTargets.size() ? FTargets[Index] : TTextPlace{};
}

} // namespace kst
