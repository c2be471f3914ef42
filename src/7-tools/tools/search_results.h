// The search results list: an entry for every document line that contains the word, and the
// line number an entry names; and the search-word history.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

class TEditorScreenStrings;
class TWordMatcher;

inline constexpr std::size_t kFindHistoryMax = 20;

// The entry of line LineNumber (1-based): "[0007] : " and the line's text (CP932) with every tab
// as two spaces. Numbers up to 9999 have four digits with leading zeros, larger ones all theirs.
std::string HitLineEntry(int LineNumber, std::string_view LineText);

// The entries of the document lines of Rows in which Matcher finds its word, in line order.
std::vector<std::string> ResultEntries(const TEditorScreenStrings& Rows,
                                       const TWordMatcher& Matcher);

// The line number an entry names: its characters up to the first "]", without "[". -1 for the
// summary line (a ">" comes first) and for an entry that names no number.
int LineNumberOfEntry(std::string_view Entry);

// Word goes to the top of History: an entry that differs from it only in the case of single-byte
// letters is moved there, otherwise Word is inserted; the oldest entries beyond kFindHistoryMax
// are dropped.
void AddToFindHistory(std::vector<std::string>& History, std::string_view Word);

} // namespace kst
