// Texts of hostile shapes, about the size their names give: very long lines, very many short or
// empty ones, deep or unbalanced blocks, a line full of problems, of double-byte characters, of
// quotes, and bytes that are no text at all. The engine benchmarks and the end-to-end bench open
// the same shapes, so that a cost found in one can be followed in the other.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace kst::shapes {

struct THostileShape {
    // A short name for reports and file names.
    std::string_view Name;
    // The text, as a file holds it (Shift-JIS bytes, CR LF line breaks where it has any).
    std::string (*Generate)();
    // A word the text holds about 100,000 times; empty when the shape has no words.
    std::string_view FrequentWord;
};

// A word that none of the shapes holds.
inline constexpr std::string_view kMissingWord = "Nowhere";

// Every shape, in the order of the list above.
std::span<const THostileShape> HostileShapes();

// The shape of that name; null when there is none.
const THostileShape* FindHostileShape(std::string_view Name);

} // namespace kst::shapes
