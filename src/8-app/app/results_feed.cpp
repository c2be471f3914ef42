#include "app/results_feed.h"

#include "app/main_view.h"

#include <algorithm>
#include <span>

namespace kst {

namespace {

// Entries added to the list per step: about 10 ms under Wine.
constexpr std::size_t kEntriesPerStep = 5'000;

} // namespace

void ResultsFeed::Show(std::vector<std::string> Entries) {
    FView.ClearResults(Entries.size());
    FPending = std::move(Entries);
    FNext = 0;
    Step();
}

bool ResultsFeed::Step() {
    if (FNext >= FPending.size()) {
        return false;
    }
    const std::size_t end = std::min(FPending.size(), FNext + kEntriesPerStep);
    FView.AddResults(std::span(FPending).subspan(FNext, end - FNext));
    FNext = end;
    if (FNext < FPending.size()) {
        return true;
    }
    FPending = {};
    FNext = 0;
    return false;
}

} // namespace kst
