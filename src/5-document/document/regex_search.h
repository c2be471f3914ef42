// Regular expressions over CP932 text. A line is matched as UTF-16 characters, so that "." is one
// character, double-byte or not, and the match's offsets are mapped back to the line's bytes: a
// match never starts or ends inside a double-byte character. A match lies inside one line: "^"
// and "$" are its start and end, and nothing matches across a line break.
#pragma once

#include "core/errors.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// A pattern that does not compile; the message names what is wrong and where.
class ERegexError : public Exception {
public:
    using Exception::Exception;
};

// The engine gave up on a match that grew too complex, rather than running on for ever.
class ESearchAborted : public Exception {
public:
    ESearchAborted();
};

// "検索を中止しました".
extern const char* const kSearchAbortedText;

// A part of a line's bytes.
struct TByteSpan {
    std::size_t Start = 0;
    std::size_t Length = 0;

    std::size_t End() const { return Start + Length; }
    bool operator==(const TByteSpan&) const = default;
};

// One line's characters as UTF-16 units, one unit per character, and where each starts in the
// line's bytes. A character that has no Unicode one (a byte that names none, a lead byte without
// its trail byte) reads as U+FFFF.
class TUtf16Line {
public:
    void Assign(std::string_view Line);

    const std::u16string& Units() const { return FUnits; }
    // The byte offset of unit Unit; the line's length for Unit == Units().size().
    std::size_t ByteOf(std::size_t Unit) const { return FByteOf[Unit]; }
    // The first unit whose character starts at Byte or after it.
    std::size_t UnitAtOrAfter(std::size_t Byte) const;

private:
    std::u16string FUnits;
    std::vector<std::uint32_t> FByteOf;
};

// The groups of the last match: group 0 the whole match, then the pattern's groups; a group that
// took no part in the match is absent.
using TMatchGroups = std::vector<std::optional<TByteSpan>>;

// A compiled pattern; copies share the compiled form and may be used on other threads.
class TRegexPattern {
public:
    // Raises ERegexError when Pattern (CP932) does not compile. Without MatchCase, letters match
    // in either case.
    TRegexPattern(std::string_view Pattern, bool MatchCase);

    // The first match in Line that starts at byte From or after it (From is a character start);
    // an empty match counts, so who searches on after one starts a character further. Fills
    // Groups when given. Raises ESearchAborted when the match grows too complex.
    std::optional<TByteSpan> Find(const TUtf16Line& Line, std::size_t From,
                                  TMatchGroups* Groups = nullptr) const;
    // The last match in Line that starts before byte Before.
    std::optional<TByteSpan> FindLast(const TUtf16Line& Line, std::size_t Before) const;

private:
    struct TCompiled;
    std::shared_ptr<const TCompiled> FCompiled;
};

// Where a search for the next match goes on after Match: at its end, or a character further after
// an empty match, so that searching on never finds the same empty match again; none after an
// empty match at the line's end.
std::optional<std::size_t> SearchOnFrom(const TUtf16Line& Line, TByteSpan Match);

// The line of Text that holds byte Pos; lines end at CR, LF or CR LF, which are no line's part.
TByteSpan LineAt(std::string_view Text, std::size_t Pos);
// The start of the line after Line; none when Line ends Text.
std::optional<std::size_t> LineAfter(std::string_view Text, TByteSpan Line);

// Searches Text line by line from byte From, a character start: forward for the first match from
// From on, passing over an empty one at From, so that a search from an empty hit goes on; else
// for the last match that starts before From. Offsets are Text's. Raises ESearchAborted as Find.
std::optional<TByteSpan> FindInLines(const TRegexPattern& Pattern, std::string_view Text,
                                     std::size_t From, bool Forward);

// The replacement of a match: Template with "$1"..."$9" as those groups' bytes in Line (nothing
// for a group that took no part), "$&" as the whole match and "$$" as "$"; any other "$" stands
// for itself.
std::string ExpandReplacement(std::string_view Template, std::string_view Line,
                              const TMatchGroups& Groups);

} // namespace kst
