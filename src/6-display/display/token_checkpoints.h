// Where the colouring tokenizer stood in a long row, so that drawing far into the row reads on from
// the nearest point passed before instead of from the row's start.
#pragma once

#include "fountain/fountain_parser.h"
#include "lists/row_attribute.h"
#include "lists/string_list.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace kst {

// The points of one row's drawn text. They hold while the text, the row, its start state and the
// way its tabs are drawn are those they were taken with; Reset forgets them (the colouring's rules
// changed).
class TTokenCheckpoints {
public:
    // Rows shorter than this are read from their start; longer ones keep a point this far apart.
    static constexpr std::size_t kSpacing = 64 * 1024;

    // What the points of a row were taken with.
    struct TRowKey {
        TTextVersion Version;
        int Row = -1;
        int TabSpaceCount = 0;
        bool WordWrap = false;
        TRowAttributeData StartState;

        bool operator==(const TRowKey&) const = default;
    };

    // Begins Parser on Line, the drawn text of the row Key names, from the last point at or before
    // Offset; answers the point's offset in Line, which the parser's token places are relative to.
    std::size_t BeginRow(TFountainParser& Parser, std::string_view Line, TRowKey Key,
                         std::size_t Offset);
    // Called after each token read from a start at Base: keeps a point every kSpacing bytes.
    void Passed(const TFountainParser& Parser, std::size_t Base);
    void Reset();

private:
    struct TPoint {
        std::size_t Offset = 0;
        TRowAttributeData State;
    };

    TRowKey FKey;
    std::vector<TPoint> FPoints;
    std::size_t FLineSize = 0;
    bool FTracking = false;
};

} // namespace kst
