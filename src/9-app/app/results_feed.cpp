#include "app/results_feed.h"

#include "app/main_view.h"

#include <algorithm>

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
    FFiles = {};
    FWaiting.clear();
    Append(std::move(Entries));
    Step();
}

void ResultsFeed::Append(std::vector<TResultEntry> Entries) {
    Add(std::move(Entries), 0);
}

void ResultsFeed::AppendInFile(std::vector<TResultEntry> Entries, const std::string& File) {
    if (FFiles.empty() || FFiles.back() != File) {
        FFiles.push_back(File);
    }
    Add(std::move(Entries), static_cast<TFileNumber>(FFiles.size()));
}

void ResultsFeed::Add(std::vector<TResultEntry> Entries, TFileNumber File) {
    for (TResultEntry& entry : Entries) {
        FWaiting.push_back({std::move(entry), File});
    }
}

bool ResultsFeed::Step() {
    const std::size_t count = std::min(FWaiting.size(), kEntriesPerStep);
    if (count == 0) {
        return false;
    }
    std::vector<std::string> texts;
    texts.reserve(count);
    for (std::size_t index = 0; index < count; ++index) {
        TWaitingEntry& waiting = FWaiting.front();
        texts.push_back(std::move(waiting.Entry.Text));
        FTargets.push_back({waiting.Entry.Target, waiting.File});
        FWaiting.pop_front();
    }
    FView.AddResults(texts);
    return !FWaiting.empty();
}

TTextPlace ResultsFeed::TargetOf(std::size_t Index) const {
    return Index < FTargets.size() ? FTargets[Index].Place : TTextPlace{};
}

const std::string& ResultsFeed::FileOf(std::size_t Index) const {
    static const std::string kEditedText;
    if (Index >= FTargets.size() || FTargets[Index].File == 0) {
        return kEditedText;
    }
    return FFiles[FTargets[Index].File - 1];
}

} // namespace kst
