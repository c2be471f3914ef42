#include "tools/search_results.h"

#include "document/screen_strings.h"
#include "tools/word_matcher.h"

#include <algorithm>
#include <charconv>

namespace kst {

namespace {

constexpr int kPaddedDigits = 4;

std::string PaddedNumber(int Number) {
    std::string digits = std::to_string(Number);
    if (digits.size() < kPaddedDigits) {
        digits.insert(0, kPaddedDigits - digits.size(), '0');
    }
    return digits;
}

// Calls Visit(LineIndex, Text) for every document line of Rows; a wrapped line is joined from its
// rows into one buffer, other lines are the rows' own text.
template <class F>
void ForEachDocumentLine(const TEditorScreenStrings& Rows, F&& Visit) {
    std::string joined;
    int line = 0;
    for (int row = 0; row < Rows.GetCount(); ++row) {
        const std::string_view text = Rows.GetView(row);
        if (Rows.GetRowAttribute(row) == raWrap) {
            joined.append(text);
            continue;
        }
        if (joined.empty()) {
            Visit(line, text);
        } else {
            joined.append(text);
            Visit(line, std::string_view(joined));
            joined.clear();
        }
        ++line;
    }
}

} // namespace

std::string HitLineEntry(int LineNumber, std::string_view LineText) {
    std::string entry;
    entry.reserve(LineText.size() + 16);
    entry.append("[").append(PaddedNumber(LineNumber)).append("] : ");
    for (const char ch : LineText) {
        if (ch == '\t') {
            entry.append(2, ' ');
        } else {
            entry.push_back(ch);
        }
    }
    return entry;
}

std::vector<std::string> ResultEntries(const TEditorScreenStrings& Rows,
                                       const TWordMatcher& Matcher) {
    std::vector<std::string> entries;
    ForEachDocumentLine(Rows, [&](int Line, std::string_view Text) {
        if (Matcher.Occurs(Text)) {
            entries.push_back(HitLineEntry(Line + 1, Text));
        }
    });
    return entries;
}

int LineNumberOfEntry(std::string_view Entry) {
    std::string digits;
    for (const char ch : Entry.substr(0, Entry.find(']'))) {
        if (ch == '>') {
            return -1;
        }
        if (ch != '[') {
            digits.push_back(ch);
        }
    }
    int number = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return error == std::errc() && end == digits.data() + digits.size() ? number : -1;
}

void AddToFindHistory(std::vector<std::string>& History, std::string_view Word) {
    const std::string folded = FoldSingleByteCase(Word);
    const auto same = std::ranges::find_if(History, [&folded](const std::string& Entry) {
        return FoldSingleByteCase(Entry) == folded;
    });
    if (same != History.end()) {
        std::rotate(History.begin(), same, same + 1);
    } else {
        History.insert(History.begin(), std::string(Word));
    }
    if (History.size() > kFindHistoryMax) {
        History.resize(kFindHistoryMax);
    }
}

} // namespace kst
