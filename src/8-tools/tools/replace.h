// Replacing a word in the editor's text. The occurrences are those of the text as it was when the
// replace started, searched from the caret (or from the start for replace all); text that a
// replacement puts in is never searched again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kst {

class TEditor;

enum class TReplaceAnswer : std::uint8_t { Yes, No, Cancel };

struct TReplaceRequest {
    // CP932, as the text.
    std::string Word;
    std::string Replacement;
    bool MatchCase = false;
    // Word is a regular expression, and Replacement may put in its groups: "$1"..."$9", "$&".
    bool Regex = false;
    // Ask before each replacement.
    bool Confirm = false;
    // From the start of the text; otherwise from the caret or the selection's start.
    bool ReplaceAll = false;
};

struct TReplaceOutcome {
    // Occurrences reached: all of them, or up to the one the user cancelled at.
    int Found = 0;
    bool Cancelled = false;
};

// Asked with the occurrence selected.
using TReplaceQuestion = std::function<TReplaceAnswer()>;

// Raises ERegexError for a regular expression that does not compile, and ESearchAborted, having
// replaced nothing without confirmation, when a match grows too complex.
// With confirmation each occurrence is selected and Ask decides; each replacement is one edit (one
// undo step) and Cancel stops at once. Without confirmation every occurrence is replaced in one
// edit, so that one undo takes all of them back, and the caret ends after the last replacement.
TReplaceOutcome ReplaceOccurrences(TEditor& Editor, const TReplaceRequest& Request,
                                   const TReplaceQuestion& Ask);

} // namespace kst
