// The results list under the editor: entries that each may name a line to jump to; those of a
// search, one for every document line that contains the word; and the search-word history.
#pragma once

#include "platform/script_engine.h"
#include "tools/go_line.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

class TEditorScreenStrings;
class TWordMatcher;
struct TScriptStructure;
struct TScriptNames;

inline constexpr std::size_t kFindHistoryMax = 20;

// An entry of the results list and the place that choosing it jumps to; nowhere (line 0) for an
// entry without one, such as a summary.
struct TResultEntry {
    std::string Text;
    TTextPlace Target;

    bool operator==(const TResultEntry&) const = default;
};

// Appends Text to Into with every tab as two spaces, as the list shows text.
void AppendTabsAsTwoSpaces(std::string& Into, std::string_view Text);

// The entry of line LineNumber (1-based): "[0007] : " and the line's text (CP932) with every tab
// as two spaces. Numbers up to 9999 have four digits with leading zeros, larger ones all theirs.
std::string HitLineEntry(int LineNumber, std::string_view LineText);

using TSearchDeadline = std::chrono::steady_clock::time_point;

// A step of a search that may go on after the text has changed: reads the document lines of Rows
// from the one that holds row FromRow (clamped to the rows) until at least MinRows rows are read
// or, after a line, the Deadline has passed; appends to Into the entries of those in which
// Matcher finds its word, numbered by their place in Rows now, and answers the row to go on
// from: Rows.GetCount() once every row is read. Raises ESearchAborted as the matcher does, with
// the entries of the lines before in Into.
int AppendResultEntries(const TEditorScreenStrings& Rows, const TWordMatcher& Matcher, int FromRow,
                        int MinRows, std::vector<TResultEntry>& Into,
                        TSearchDeadline Deadline = TSearchDeadline::max());

// The entries of the document lines of Rows in which Matcher finds its word, in line order.
std::vector<TResultEntry> ResultEntries(const TEditorScreenStrings& Rows,
                                        const TWordMatcher& Matcher);

// A problem the syntax check found, at its 1-based line and character column, in words (UTF-8).
struct TPlacedProblem {
    TTextPlace Place;
    std::string Message;
};

std::vector<TPlacedProblem> PlacedProblems(const TScriptStructure& Structure,
                                           std::span<const std::string_view> Lines);

// The warnings of the names analysis as the syntax check places them, their messages marked
// "警告: "; NameToUtf8 converts a name from the script's code page.
std::vector<TPlacedProblem>
PlacedWarnings(const TScriptNames& Names, std::span<const std::string_view> Lines,
               const std::function<std::string(std::string_view)>& NameToUtf8);

// The syntax check's entries: "[0012] : " and the problem's message, one per problem, each
// jumping to its character.
std::vector<TResultEntry> ProblemEntries(std::span<const TPlacedProblem> Problems);

// The entry of the script engine's compile error, listed before the check's own problems:
// "[0012] : (エンジン) " and the engine's description, or, where it gives none, the message of
// the own problem on that line nearest to the engine's place, else "コンパイル エラー"; without
// the engine's place, no line number and no jump. None when the engine compiled the script or
// could not be asked.
std::optional<TResultEntry> EngineEntry(const TEngineVerdict& Verdict,
                                        std::span<const TPlacedProblem> Problems);

// The procedure list's entries: the line of every definition of Lines as a hit line.
std::vector<TResultEntry> DefinitionEntries(const TScriptStructure& Structure,
                                            std::span<const std::string_view> Lines);

// Word goes to the top of History: an entry that differs from it only in the case of single-byte
// letters is moved there, otherwise Word is inserted; the oldest entries beyond kFindHistoryMax
// are dropped.
void AddToFindHistory(std::vector<std::string>& History, std::string_view Word);

} // namespace kst
