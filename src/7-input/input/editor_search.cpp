// TEditor::SearchText: the text is searched in windows of about 8 KB of whole document lines, so
// that a window starts after a line break and a word or a character never continues across its
// start. A candidate whose match runs to the end of a window is tried again in a longer one.
#include "document/regex_search.h"
#include "document/search_engine.h"
#include "input/editor.h"

#include <algorithm>
#include <optional>

namespace kst {

namespace {

constexpr std::size_t kWindowBytes = 8191;
constexpr std::string_view kLineBreak = "\r\n";

struct TTextPosition {
    int Row = 0;
    int Byte = 0;
};

// Whole document lines of the row store as one byte string, each raLineBreak row followed by
// CR LF.
class TLineWindow {
public:
    explicit TLineWindow(const TEditorScreenStrings& Rows) : FRows(Rows) {}

    int FirstRow() const { return FFirst; }
    int EndRow() const { return FEnd; }
    std::string_view Text() const { return FText; }
    bool StartsText() const { return FFirst == 0; }
    bool EndsText() const { return FEnd == FRows.GetCount(); }
    int OffsetOf(TTextPosition Position) const {
        return static_cast<int>(BytesBetween(FFirst, Position.Row)) + Position.Byte;
    }
    // The row and byte of an offset in Text; a byte past the row's text lies in its line break.
    // The offset after a line break is the start of the next row, also past the window's last
    // row (the row after it, or the empty line after the text).
    TTextPosition PositionOf(int Offset) const {
        int row = FFirst;
        auto rest = static_cast<std::size_t>(Offset);
        while (row < FEnd && rest >= RowBytes(row) && FRows.GetRowAttribute(row) != raEndOfText) {
            rest -= RowBytes(row);
            ++row;
        }
        return {row, static_cast<int>(rest)};
    }

    // The lines from FirstRow, the first row of a line, on until more than Limit bytes are held.
    void FillFrom(int FirstRow, std::size_t Limit) {
        Clear(FirstRow);
        AppendLines(Limit);
    }
    // The lines before EndRow, the first row of a line or the row count, from the line of Row
    // upwards until more than Limit bytes come before Row.
    void FillBefore(int EndRow, int Row, std::size_t Limit) {
        int first = Row;
        std::size_t before = 0;
        while (first > 0 && (before <= Limit || FRows.GetRowAttribute(first - 1) == raWrap)) {
            --first;
            before += RowBytes(first);
        }
        Clear(first);
        while (FEnd < EndRow) {
            AppendRow();
        }
    }
    // Further lines: twice the bytes, or the rest of the text.
    void Grow() { AppendLines(2 * FText.size()); }

private:
    std::size_t RowBytes(int Row) const {
        return FRows.GetView(Row).size() +
               (FRows.GetRowAttribute(Row) == raLineBreak ? kLineBreak.size() : 0);
    }
    std::size_t BytesBetween(int First, int End) const {
        std::size_t bytes = 0;
        for (int row = First; row < End; ++row) {
            bytes += RowBytes(row);
        }
        return bytes;
    }
    void Clear(int FirstRow) {
        FFirst = FirstRow;
        FEnd = FirstRow;
        FText.clear();
    }
    void AppendRow() {
        FText += FRows.GetView(FEnd);
        if (FRows.GetRowAttribute(FEnd) == raLineBreak) {
            FText += kLineBreak;
        }
        ++FEnd;
    }
    void AppendLines(std::size_t Limit) {
        while (FEnd < FRows.GetCount() &&
               (FText.size() <= Limit || FRows.GetRowAttribute(FEnd - 1) == raWrap)) {
            AppendRow();
        }
    }

    const TEditorScreenStrings& FRows;
    int FFirst = 0;
    int FEnd = 0;
    std::string FText;
};

// The window around the search's start: from the start's line on, or up to its line's end with
// room before the start for the first candidate, which lies up to two bytes per pattern character
// before it.
void FillFirstWindow(TLineWindow& Window, const TEditorScreenStrings& Rows,
                     const TSearchPattern& Pattern, TTextPosition From, bool Forward) {
    if (Forward) {
        Window.FillFrom(Rows.LineStartRow(From.Row), kWindowBytes);
    } else {
        const std::size_t stepBack = 2 * static_cast<std::size_t>(Pattern.MinMatchBytes());
        Window.FillBefore(Rows.LineEndRow(From.Row) + 1, From.Row,
                          std::max(kWindowBytes, stepBack));
    }
}

// Moves the window on to the lines after it, or before it; false at the end of the text. First
// becomes the first candidate there.
bool NextWindow(TLineWindow& Window, bool Forward, int& First) {
    if (Forward) {
        if (Window.EndsText()) {
            return false;
        }
        Window.FillFrom(Window.EndRow(), kWindowBytes);
        First = 0;
        return true;
    }
    if (Window.StartsText()) {
        return false;
    }
    // The candidates from offset 0 on were tried; those before it come next.
    Window.FillBefore(Window.FirstRow(), Window.FirstRow(), kWindowBytes);
    First = static_cast<int>(Window.Text().size()) + std::min(First, -1);
    return true;
}

TFindResult SearchWindows(TLineWindow& Window, const TSearchPattern& Pattern, bool Forward,
                          int First) {
    while (true) {
        const TFindResult found = Pattern.Find(Window.Text(), First, Window.EndsText());
        if (found.Status == TFindStatus::NeedsMore) {
            Window.Grow();
            First = found.Start;
        } else if (found.Status == TFindStatus::Found || !NextWindow(Window, Forward, First)) {
            return found;
        }
    }
}

// A regular expression's match lies inside a line, and a window holds whole lines. The line break
// that ends a window before the text's end starts no line of its own.
TFindResult SearchRegexWindows(TLineWindow& Window, const TRegexPattern& Pattern, bool Forward,
                               int From) {
    while (true) {
        std::string_view text = Window.Text();
        if (!Window.EndsText() && text.ends_with(kLineBreak)) {
            text.remove_suffix(kLineBreak.size());
        }
        const auto from =
            static_cast<std::size_t>(std::clamp(From, 0, static_cast<int>(text.size())));
        if (const std::optional<TByteSpan> found = FindInLines(Pattern, text, from, Forward)) {
            return {TFindStatus::Found, static_cast<int>(found->Start),
                    static_cast<int>(found->Length)};
        }
        int first = 0;
        if (!NextWindow(Window, Forward, first)) {
            return {};
        }
        From = Forward ? 0 : static_cast<int>(Window.Text().size());
    }
}

} // namespace

bool TEditor::SearchText(std::string_view Pattern, TSearchOptions Options) {
    const TSearchPattern pattern(Pattern, Options);
    if (RowCount() == 0 || pattern.Empty()) {
        return false;
    }
    const bool forward = (Options & sxForward) != 0;
    TTextPosition from{FRow, ClampedByteOfCol(FRow, FCol)};
    if (SomethingSelected()) {
        from = forward ? TTextPosition{FSelection.EndRow, FSelEndByte + 1}
                       : TTextPosition{FSelection.StartRow, FSelStartByte};
    }
    if (from.Row >= RowCount()) {
        // The empty line after the last line break: the end of the text.
        const int last = RowCount() - 1;
        from = {last, RowLength(last) + static_cast<int>(LineBreakSuffix(last).size())};
    }
    TLineWindow window(*FScreenStrings);
    FillFirstWindow(window, *FScreenStrings, pattern, from, forward);
    // The caret cannot stand between CR and LF or right of its last column, so a hit that starts
    // or ends there could not be shown: it is passed over.
    const auto caretReaches = [this, &window](int Offset) {
        const TTextPosition at = window.PositionOf(Offset);
        return at.Byte <= RowLength(at.Row) && ColOfByte(at.Row, at.Byte) <= ColumnLimit();
    };
    const bool regex = (Options & sxRegExp) != 0;
    const std::optional<TRegexPattern> expression =
        regex ? std::optional<TRegexPattern>(std::in_place, Pattern, (Options & sxMatchCase) != 0)
              : std::nullopt;
    TFindResult hit =
        regex ? SearchRegexWindows(window, *expression, forward, window.OffsetOf(from))
              : SearchWindows(window, pattern, forward,
                              pattern.FirstCandidate(window.Text(), window.OffsetOf(from), 0));
    while (hit.Status == TFindStatus::Found &&
           !(caretReaches(hit.Start) && caretReaches(hit.Start + hit.Length))) {
        hit = regex ? SearchRegexWindows(window, *expression, forward,
                                         forward ? hit.Start + std::max(hit.Length, 1) : hit.Start)
                    : SearchWindows(window, pattern, forward, hit.Start + (forward ? 1 : -1));
    }
    if (hit.Status != TFindStatus::Found) {
        return false;
    }
    BeginCaretHide();
    auto shown = ScopeEnd([this] { EndCaretHide(); });
    CancelSelection();
    SetCaretByOffset(window.FirstRow(), hit.Start);
    SetHitSelection(hit.Length);
    ScrollCaret();
    return true;
}

} // namespace kst
