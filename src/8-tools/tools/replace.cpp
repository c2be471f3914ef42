#include "tools/replace.h"

#include "input/editor.h"
#include "tools/word_matcher.h"

#include <algorithm>
#include <string_view>

namespace kst {

namespace {

void SelectBytes(TEditor& Editor, std::int64_t Start, std::size_t Length) {
    Editor.SetSelStart(static_cast<int>(Start));
    Editor.SetSelLength(static_cast<int>(Length));
}

// One edit from the first occurrence to the end of the last: the text between them is kept and
// every occurrence becomes its replacement.
TReplaceOutcome ReplaceAtOnce(TEditor& Editor, std::string_view Text, std::size_t From,
                              const TWordMatcher& Matcher, const std::string& Replacement) {
    std::string replaced;
    std::size_t first = TWordMatcher::npos;
    std::size_t end = 0;
    int found = 0;
    Matcher.ForEachMatch(Text, From, [&](const TTextMatch& Match) {
        if (found++ == 0) {
            first = Match.Start;
            end = first;
        }
        replaced.append(Text.substr(end, Match.Start - end)).append(Match.Replacement(Replacement));
        end = Match.Start + Match.Length;
        return true;
    });
    if (found == 0) {
        return {};
    }
    SelectBytes(Editor, static_cast<std::int64_t>(first), end - first);
    Editor.SetSelText(replaced);
    return {found, false};
}

// Shift tracks how far the replacements so far moved the later occurrences.
TReplaceOutcome ReplaceAsking(TEditor& Editor, std::string_view Text, std::size_t From,
                              const TWordMatcher& Matcher, const std::string& Replacement,
                              const TReplaceQuestion& Ask) {
    std::int64_t shift = 0;
    TReplaceOutcome outcome;
    Matcher.ForEachMatch(Text, From, [&](const TTextMatch& Match) {
        ++outcome.Found;
        SelectBytes(Editor, static_cast<std::int64_t>(Match.Start) + shift, Match.Length);
        const TReplaceAnswer answer = Ask();
        if (answer == TReplaceAnswer::Cancel) {
            outcome.Cancelled = true;
            return false;
        }
        const std::string replacement = Match.Replacement(Replacement);
        if (answer == TReplaceAnswer::Yes &&
            Editor.UserEdit([&] { Editor.SetSelText(replacement); })) {
            shift += static_cast<std::int64_t>(replacement.size()) -
                     static_cast<std::int64_t>(Match.Length);
        }
        return true;
    });
    return outcome;
}

} // namespace

TReplaceOutcome ReplaceOccurrences(TEditor& Editor, const TReplaceRequest& Request,
                                   const TReplaceQuestion& Ask) {
    const std::string text = Editor.GetLines().GetTextStr();
    const TWordMatcher matcher(Request.Word, Request.MatchCase, Request.Regex);
    const std::size_t from =
        Request.ReplaceAll ? 0 : static_cast<std::size_t>(std::max(0, Editor.GetSelStart()));
    if (Request.Confirm) {
        return ReplaceAsking(Editor, text, from, matcher, Request.Replacement, Ask);
    }
    return ReplaceAtOnce(Editor, text, from, matcher, Request.Replacement);
}

} // namespace kst
