// Searching arbitrary text for an arbitrary pattern with arbitrary options and start: nothing is
// read outside the text or the pattern, a hit lies inside the text, the engine's scan agrees with
// the reference candidate loop on short texts, and the editor's search in windows of whole lines
// finds what one search of the whole text finds, passing over the hits that start or end between
// CR and LF (on rows the caret can reach to their end). A regular expression either is refused
// with a message or finds a match inside one line that starts and ends on character starts, or
// gives up on a match too complex to decide.
#include "core/code_page.h"
#include "document/exact_bytes.h"
#include "document/regex_search.h"
#include "document/search_reference.h"
#include "document/wrap.h"
#include "fuzz_check.h"
#include "input/editor.h"
#include "support/recording_host.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>
#include <string>
#include <utility>

namespace {

using kst::TSearchOptions;
using kst::fuzz::Check;
using THit = std::optional<std::pair<int, int>>;

// Longer texts take the reference too long.
constexpr std::size_t kReferenceTextLimit = 2048;
constexpr std::size_t kMaxPatternBytes = 16;
// The editor searches windows of about 8 KB; copies of the input text make texts longer than one.
constexpr int kMaxTextCopies = 8;
// The caret stops at this column, so the editor passes over a hit further right.
constexpr int kCaretColumnLimit = 1000;

THit EngineHit(std::string_view Text, std::string_view Pattern, TSearchOptions Options, int Start,
               int Length) {
    const kst::ExactBytes text(Text);
    const kst::ExactBytes pattern(Pattern);
    if (!kst::SearchBuffer(text.View(), Start, Length, pattern.View(), Options)) {
        return std::nullopt;
    }
    Check(Start >= 0 && Length > 0 && Start + Length <= static_cast<int>(Text.size()),
          "a hit outside the text");
    return std::make_pair(Start, Length);
}

THit ReferenceHit(std::string_view Text, std::string_view Pattern, TSearchOptions Options,
                  int Start, int Length) {
    const bool searchable = !Pattern.empty() && !Text.empty() && Start >= 0 &&
                            Start <= static_cast<int>(Text.size()) && Length >= 0;
    if (!searchable ||
        !kst::search_reference::ReferenceSearch(Text, Pattern, Options).Run(Start, Length)) {
        return std::nullopt;
    }
    return std::make_pair(Start, Length);
}

// Rows hold no line breaks, so every CR LF of the joined rows is a line break, and the caret
// cannot stand between its CR and its LF.
bool CaretReaches(std::string_view Text, int Offset) {
    const auto at = static_cast<std::size_t>(Offset);
    return at == 0 || at >= Text.size() || Text.substr(at - 1, 2) != "\r\n";
}

bool RowsFitTheCaretColumns(kst::TEditorScreenStrings& Rows) {
    for (int row = 0; row < Rows.GetCount(); ++row) {
        if (kst::DisplayWidth(Rows.GetWrapContext(), Rows.GetView(row)) > kCaretColumnLimit) {
            return false;
        }
    }
    return true;
}

// The editor's search from the start of its text, towards the end.
void CheckEditorSearch(std::string_view Text, std::string_view Pattern, TSearchOptions Options,
                       bool WordWrap) {
    kst::RecordingHost host{{400, 300}};
    const auto editor = kst::CreateComponent<kst::TEditor>(nullptr);
    editor->SetHost(&host);
    editor->GetWrapOption().SetWrapByte(20);
    editor->SetWordWrap(WordWrap);
    editor->GetLines().SetTextStr(Text);
    kst::TEditorScreenStrings& rows = *editor->GetScreenStringsPtr();
    if (!RowsFitTheCaretColumns(rows)) {
        return;
    }
    const std::string whole = rows.RowsText(0, rows.GetCount()).Text;
    THit expected = EngineHit(whole, Pattern, Options | kst::sxForward, 0, 0);
    while (expected && !(CaretReaches(whole, expected->first) &&
                         CaretReaches(whole, expected->first + expected->second))) {
        expected = EngineHit(whole, Pattern, Options | kst::sxForward, expected->first, 1);
    }
    const THit found = editor->SearchText(Pattern, Options | kst::sxForward)
                           ? THit(std::make_pair(editor->GetSelStart(), editor->GetSelLength()))
                           : std::nullopt;
    Check(found == expected, "the editor's search differs from a search of the whole text");
}

bool IsCharStart(std::string_view Text, int Offset) {
    for (std::size_t at = 0; at < Text.size(); at += kst::CharLengthAt(Text, at)) {
        if (at >= static_cast<std::size_t>(Offset)) {
            return at == static_cast<std::size_t>(Offset);
        }
    }
    return Offset == static_cast<int>(Text.size());
}

void CheckRegexSearch(std::string_view Text, std::string_view Pattern, TSearchOptions Options,
                      int Start, int Length) {
    const kst::ExactBytes text(Text);
    try {
        if (!kst::SearchBuffer(text.View(), Start, Length, Pattern, Options)) {
            return;
        }
    } catch (const kst::ERegexError& error) {
        Check(std::string_view(error.what()).starts_with("正規表現が正しくありません"),
              "a refused pattern without its message");
        return;
    } catch (const kst::ESearchAborted&) {
        return;
    }
    Check(Start >= 0 && Length >= 0 && Start + Length <= static_cast<int>(Text.size()),
          "a match outside the text");
    const std::string_view match =
        Text.substr(static_cast<std::size_t>(Start), static_cast<std::size_t>(Length));
    Check(match.find_first_of("\r\n") == std::string_view::npos, "a match across a line break");
    Check(IsCharStart(Text, Start) && IsCharStart(Text, Start + Length),
          "a match that starts or ends inside a character");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider input(Data, Size);
    const auto options = input.ConsumeIntegral<kst::TSearchOptions>();
    const int start = input.ConsumeIntegralInRange(-2, 300);
    const int length = input.ConsumeIntegralInRange(-1, 8);
    const bool wordWrap = input.ConsumeBool();
    const std::string pattern = input.ConsumeRandomLengthString(kMaxPatternBytes);
    const int copies = input.ConsumeIntegralInRange(1, kMaxTextCopies);
    std::string text;
    const std::string piece = input.ConsumeRemainingBytesAsString();
    for (int copy = 0; copy < copies; ++copy) {
        text += piece;
    }
    if ((options & kst::sxRegExp) != 0) {
        CheckRegexSearch(text, pattern, options, start, length);
        return 0;
    }
    const THit hit = EngineHit(text, pattern, options, start, length);
    if (text.size() <= kReferenceTextLimit) {
        Check(hit == ReferenceHit(text, pattern, options, start, length),
              "the engine differs from the reference");
    }
    CheckEditorSearch(text, pattern, options, wordWrap);
    return 0;
}
