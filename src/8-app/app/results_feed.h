// Hands a long list of entries to the main window's results list in steps while the program is
// idle, so that a search with a million hits shows its first entries at once and never holds the
// window for long.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kst {

class MainWindowView;

class ResultsFeed {
public:
    explicit ResultsFeed(MainWindowView& View) : FView(View) {}

    // Replaces the list's entries; the first step shows at once.
    void Show(std::vector<std::string> Entries);
    // Adds the next step of entries; true while entries remain.
    bool Step();

private:
    MainWindowView& FView;
    std::vector<std::string> FPending;
    std::size_t FNext = 0;
};

} // namespace kst
