#include "script/unified_diff.h"

#include <algorithm>

namespace kst {

namespace {

// Unchanged lines shown around each change.
constexpr std::size_t kContext = 3;

// "Start,Count" of a hunk, 1-based; a hunk of one line shows its line alone.
std::string HunkRange(std::size_t Start, std::size_t Count) {
    std::string range = std::to_string(Start + 1);
    return Count == 1 ? range : range + "," + std::to_string(Count);
}

class DiffWriter {
public:
    DiffWriter(std::span<const std::string_view> Old, std::span<const std::string> New)
        : FOld(Old), FNew(New) {}

    bool Changed(std::size_t Line) const { return FOld[Line] != FNew[Line]; }

    // The hunk of the lines First..Last (exclusive): kept lines with " ", each run of changed
    // lines as its old lines with "-" and then its new ones with "+".
    void Hunk(std::size_t First, std::size_t Last) {
        const std::string range = HunkRange(First, Last - First);
        FText += "@@ -" + range + " +" + range + " @@\n";
        for (std::size_t line = First; line < Last;) {
            if (!Changed(line)) {
                Line(' ', FOld[line++]);
                continue;
            }
            std::size_t end = line;
            while (end < Last && Changed(end)) {
                ++end;
            }
            for (std::size_t i = line; i < end; ++i) {
                Line('-', FOld[i]);
            }
            for (std::size_t i = line; i < end; ++i) {
                Line('+', FNew[i]);
            }
            line = end;
        }
    }

    std::string Take() { return std::move(FText); }

private:
    void Line(char Mark, std::string_view Text) {
        FText.append(1, Mark).append(Text).append(1, '\n');
    }

    std::span<const std::string_view> FOld;
    std::span<const std::string> FNew;
    std::string FText;
};

} // namespace

std::string UnifiedDiff(std::string_view Path, std::span<const std::string_view> Old,
                        std::span<const std::string> New) {
    DiffWriter writer(Old, New);
    const std::size_t count = std::min(Old.size(), New.size());
    std::string diff;
    for (std::size_t line = 0; line < count;) {
        if (!writer.Changed(line)) {
            ++line;
            continue;
        }
        // A hunk runs on while the next change is near enough for their contexts to meet.
        const std::size_t first = line - std::min(line, kContext);
        std::size_t last = line + 1;
        for (std::size_t next = last; next < count && next <= last + 2 * kContext; ++next) {
            if (writer.Changed(next)) {
                last = next + 1;
            }
        }
        writer.Hunk(first, std::min(count, last + kContext));
        line = last;
    }
    std::string hunks = writer.Take();
    if (hunks.empty()) {
        return {};
    }
    const std::string path(Path);
    return "--- " + path + "\n+++ " + path + "\n" + hunks;
}

} // namespace kst
