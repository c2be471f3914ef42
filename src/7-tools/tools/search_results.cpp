#include "tools/search_results.h"

#include "document/screen_strings.h"
#include "tools/script_parser.h"
#include "tools/word_matcher.h"

#include <algorithm>

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

void AppendTabsAsTwoSpaces(std::string& Into, std::string_view Text) {
    for (const char ch : Text) {
        if (ch == '\t') {
            Into.append(2, ' ');
        } else {
            Into.push_back(ch);
        }
    }
}

std::string HitLineEntry(int LineNumber, std::string_view LineText) {
    std::string entry;
    entry.reserve(LineText.size() + 16);
    entry.append("[").append(PaddedNumber(LineNumber)).append("] : ");
    AppendTabsAsTwoSpaces(entry, LineText);
    return entry;
}

std::vector<TResultEntry> ResultEntries(const TEditorScreenStrings& Rows,
                                        const TWordMatcher& Matcher) {
    std::vector<TResultEntry> entries;
    ForEachDocumentLine(Rows, [&](int Line, std::string_view Text) {
        if (Matcher.Occurs(Text)) {
            entries.push_back({HitLineEntry(Line + 1, Text), {.Line = Line + 1}});
        }
    });
    return entries;
}

std::vector<TResultEntry> ProblemEntries(const TScriptStructure& Structure) {
    std::vector<TResultEntry> entries;
    entries.reserve(Structure.Problems.size());
    for (const TScriptProblem& problem : Structure.Problems) {
        entries.push_back(
            {HitLineEntry(problem.Line + 1, ProblemMessage(problem)), {.Line = problem.Line + 1}});
    }
    return entries;
}

std::vector<TResultEntry> DefinitionEntries(const TScriptStructure& Structure,
                                            std::span<const std::string_view> Lines) {
    std::vector<TResultEntry> entries;
    entries.reserve(Structure.Definitions.size());
    for (const int line : Structure.Definitions) {
        entries.push_back(
            {HitLineEntry(line + 1, Lines[static_cast<std::size_t>(line)]), {.Line = line + 1}});
    }
    return entries;
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
