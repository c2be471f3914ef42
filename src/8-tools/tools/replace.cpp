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
// every occurrence becomes the replacement.
TReplaceOutcome ReplaceAtOnce(TEditor& Editor, std::string_view Text, std::size_t From,
                              const TWordMatcher& Matcher, const std::string& Replacement) {
    const std::size_t first = Matcher.Find(Text, From);
    if (first == TWordMatcher::npos) {
        return {};
    }
    std::string replaced;
    std::size_t end = first;
    int found = 0;
    for (std::size_t at = first; at != TWordMatcher::npos; at = Matcher.Find(Text, end)) {
        replaced.append(Text.substr(end, at - end)).append(Replacement);
        end = at + Matcher.Length();
        ++found;
    }
    SelectBytes(Editor, static_cast<std::int64_t>(first), end - first);
    Editor.SetSelText(replaced);
    return {found, false};
}

// Shift tracks how far the replacements so far moved the later occurrences.
TReplaceOutcome ReplaceAsking(TEditor& Editor, std::string_view Text, std::size_t From,
                              const TWordMatcher& Matcher, const std::string& Replacement,
                              const TReplaceQuestion& Ask) {
    const auto wordLength = static_cast<std::int64_t>(Matcher.Length());
    std::int64_t shift = 0;
    int found = 0;
    for (std::size_t at = Matcher.Find(Text, From); at != TWordMatcher::npos;
         at = Matcher.Find(Text, at + Matcher.Length())) {
        ++found;
        SelectBytes(Editor, static_cast<std::int64_t>(at) + shift, Matcher.Length());
        const TReplaceAnswer answer = Ask();
        if (answer == TReplaceAnswer::Cancel) {
            return {found, true};
        }
        if (answer == TReplaceAnswer::Yes &&
            Editor.UserEdit([&] { Editor.SetSelText(Replacement); })) {
            shift += static_cast<std::int64_t>(Replacement.size()) - wordLength;
        }
    }
    return {found, false};
}

} // namespace

TReplaceOutcome ReplaceOccurrences(TEditor& Editor, const TReplaceRequest& Request,
                                   const TReplaceQuestion& Ask) {
    const std::string text = Editor.GetLines().GetTextStr();
    const TWordMatcher matcher(Request.Word, Request.MatchCase);
    const std::size_t from =
        Request.ReplaceAll ? 0 : static_cast<std::size_t>(std::max(0, Editor.GetSelStart()));
    if (Request.Confirm) {
        return ReplaceAsking(Editor, text, from, matcher, Request.Replacement, Ask);
    }
    return ReplaceAtOnce(Editor, text, from, matcher, Request.Replacement);
}

} // namespace kst
