#include "tools/search_results.h"

#include "document/screen_strings.h"
#include "script/name_analysis.h"
#include "script/script_parser.h"
#include "tools/word_matcher.h"

#include <algorithm>
#include <cstdlib>

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

// Calls Visit(LineIndex, Text) for the document lines of Rows from the one that starts at row
// FromRow until at least MinRows rows are read or the Deadline has passed after a line, and
// answers the row after the last line read; a
// wrapped line is joined from its rows into one buffer, other lines are the rows' own text. The
// rows end the last line even when it is wrapped.
template <class F>
int ForEachDocumentLine(const TEditorScreenStrings& Rows, int FromRow, int MinRows,
                        TSearchDeadline Deadline, F&& Visit) {
    const int count = Rows.GetCount();
    const int endRow = FromRow + std::min(MinRows, count - FromRow);
    std::string joined;
    int line = Rows.LineOfRow(FromRow);
    int row = FromRow;
    while (row < endRow || (row < count && !joined.empty())) {
        const std::string_view text = Rows.GetView(row);
        const bool wraps = Rows.GetRowAttribute(row) == raWrap;
        ++row;
        if (wraps && row < count) {
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
        if (Deadline != TSearchDeadline::max() && std::chrono::steady_clock::now() > Deadline) {
            break;
        }
    }
    return row;
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

int AppendResultEntries(const TEditorScreenStrings& Rows, const TWordMatcher& Matcher, int FromRow,
                        int MinRows, std::vector<TResultEntry>& Into, TSearchDeadline Deadline) {
    const int count = Rows.GetCount();
    const int fromRow = FromRow < count ? Rows.LineStartRow(std::max(FromRow, 0)) : count;
    return ForEachDocumentLine(
        Rows, fromRow, MinRows, Deadline, [&](int Line, std::string_view Text) {
            if (Matcher.Occurs(Text)) {
                Into.push_back({HitLineEntry(Line + 1, Text), {.Line = Line + 1}});
            }
        });
}

std::vector<TResultEntry> ResultEntries(const TEditorScreenStrings& Rows,
                                        const TWordMatcher& Matcher) {
    std::vector<TResultEntry> entries;
    AppendResultEntries(Rows, Matcher, 0, Rows.GetCount(), entries);
    return entries;
}

namespace {

// Each of Items at its line and character column, told by Message; columns counted on along a line.
template <typename TItem, typename TMessage>
std::vector<TPlacedProblem> Placed(const std::vector<TItem>& Items,
                                   std::span<const std::string_view> Lines, TMessage Message) {
    std::vector<TPlacedProblem> placed;
    placed.reserve(Items.size());
    CharacterColumns columns;
    for (const TItem& item : Items) {
        const std::string_view line = Lines[static_cast<std::size_t>(item.Line)];
        placed.push_back(
            {{.Line = item.Line + 1, .Column = columns.At(line, item.Column)}, Message(item)});
    }
    return placed;
}

} // namespace

std::vector<TPlacedProblem> PlacedProblems(const TScriptStructure& Structure,
                                           std::span<const std::string_view> Lines) {
    return Placed(Structure.Problems, Lines, ProblemMessage);
}

std::vector<TPlacedProblem>
PlacedWarnings(const TScriptNames& Names, std::span<const std::string_view> Lines,
               const std::function<std::string(std::string_view)>& NameToUtf8) {
    return Placed(Names.Warnings, Lines, [&](const TNameWarning& Warning) {
        return "警告: " + WarningMessage(Warning.Kind, NameToUtf8(Warning.Name));
    });
}

std::vector<TResultEntry> ProblemEntries(std::span<const TPlacedProblem> Problems) {
    std::vector<TResultEntry> entries;
    entries.reserve(Problems.size());
    for (const TPlacedProblem& problem : Problems) {
        entries.push_back({HitLineEntry(problem.Place.Line, problem.Message), problem.Place});
    }
    return entries;
}

namespace {

const TPlacedProblem* NearestProblem(std::span<const TPlacedProblem> Problems, TTextPlace Place) {
    const TPlacedProblem* nearest = nullptr;
    for (const TPlacedProblem& problem : Problems) {
        if (problem.Place.Line == Place.Line &&
            (nearest == nullptr || std::abs(problem.Place.Column - Place.Column) <
                                       std::abs(nearest->Place.Column - Place.Column))) {
            nearest = &problem;
        }
    }
    return nearest;
}

} // namespace

std::optional<TResultEntry> EngineEntry(const TEngineVerdict& Verdict,
                                        std::span<const TPlacedProblem> Problems) {
    if (Verdict.Outcome != TEngineVerdict::evError) {
        return std::nullopt;
    }
    std::optional<TTextPlace> place;
    if (Verdict.Place) {
        place = TTextPlace{.Line = Verdict.Place->Line + 1, .Column = Verdict.Place->Column + 1};
    }
    const TPlacedProblem* own = place ? NearestProblem(Problems, *place) : nullptr;
    const std::string text = "(エンジン) " + (!Verdict.Description.empty() ? Verdict.Description
                                              : own != nullptr             ? own->Message
                                                               : "コンパイル エラー");
    if (!place) {
        return TResultEntry{text, {}};
    }
    return TResultEntry{HitLineEntry(place->Line, text), *place};
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
