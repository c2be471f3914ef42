#include "display/token_checkpoints.h"

#include <algorithm>

namespace kst {

std::size_t TTokenCheckpoints::BeginRow(TFountainParser& Parser, std::string_view Line, TRowKey Key,
                                        std::size_t Offset) {
    FTracking = Line.size() > kSpacing;
    FLineSize = Line.size();
    if (!FTracking) {
        Parser.BeginRow(Line, Key.StartState);
        return 0;
    }
    if (!(Key == FKey)) {
        FPoints.assign(1, TPoint{0, Key.StartState});
        FKey = std::move(Key);
    }
    const auto after = std::upper_bound(
        FPoints.begin(), FPoints.end(), Offset,
        [](std::size_t Wanted, const TPoint& Point) { return Wanted < Point.Offset; });
    const TPoint& from = *std::prev(after);
    const std::size_t base = std::min(from.Offset, Line.size());
    Parser.BeginRow(Line.substr(base), from.State);
    return base;
}

void TTokenCheckpoints::Passed(const TFountainParser& Parser, std::size_t Base) {
    if (!FTracking) {
        return;
    }
    // A token that reaches the end of the text read may go on past it in a longer reading.
    const std::size_t offset = Base + Parser.ReadOffset();
    if (offset >= FPoints.back().Offset + kSpacing && offset < FLineSize) {
        FPoints.push_back({offset, Parser.ReadState()});
    }
}

void TTokenCheckpoints::Reset() {
    FKey = {};
    FPoints.clear();
}

} // namespace kst
