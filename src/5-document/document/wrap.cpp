#include "document/wrap.h"

#include "core/strings.h"
#include "lists/string_list.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace kst {

namespace {

int ClampToInt(std::int64_t Value) {
    return static_cast<int>(std::min<std::int64_t>(Value, INT_MAX));
}

// Walks Text's characters and calls Append(class, count) for their columns until at least Limit
// columns are out. A character's columns (a tab's extra columns included) are never split. Text
// begins at column FirstColumn of its row, where tab stops are counted from.
template <class AppendFn>
void WalkColumnClasses(const WrapContext& Context, std::string_view Text, std::size_t Limit,
                       AppendFn&& Append, std::int64_t FirstColumn = 0) {
    std::size_t columns = 0;
    for (std::size_t i = 0; i < Text.size() && columns < Limit;) {
        const std::size_t length = CharLengthAt(Text, i);
        if (length == 2) {
            Append(kClassLeadByte, 1);
            Append(kClassTrailByte, 1);
            columns += 2;
        } else {
            const auto byte = static_cast<unsigned char>(Text[i]);
            Append((*Context.Delimiters)[byte] ? kClassDelimiter : kClassOrdinary, 1);
            if (byte == '\t') {
                const int extra =
                    TabWidthAt(Context, FirstColumn + static_cast<std::int64_t>(columns)) - 1;
                Append(kClassTabFill, extra);
                columns += extra;
            }
            ++columns;
        }
        i += length;
    }
}

// Eight bytes at once: none is a tab or has its high bit set (which every lead byte has).
bool AllPlainSingleBytes(const char* Bytes) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    std::uint64_t word = 0;
    std::memcpy(&word, Bytes, sizeof(word));
    const std::uint64_t tabs = word ^ (kOnes * '\t');
    const std::uint64_t tabFound = (tabs - kOnes) & ~tabs & kHighBits;
    return ((word & kHighBits) | tabFound) == 0;
}

bool IsPlainSingleByte(char Byte) {
    return Byte != '\t' && static_cast<unsigned char>(Byte) < 0x80;
}

// The end of the run of plain single bytes from Start, not past Limit.
std::size_t PlainRunEnd(std::string_view Text, std::size_t Start, std::size_t Limit) {
    std::size_t i = Start;
    while (i + 8 <= Limit && AllPlainSingleBytes(Text.data() + i)) {
        i += 8;
    }
    while (i < Limit && IsPlainSingleByte(Text[i])) {
        ++i;
    }
    return i;
}

std::size_t ClassLimit(const WrapContext& Context) {
    return Context.WordWrap ? static_cast<std::size_t>(Context.Options->GetWrapByte()) + 3
                            : kUnwrappedClassLimit;
}

// Every column but a tab's extra columns and the end holds one byte of the text.
bool HoldsByte(char Class) {
    return Class != kClassTabFill && Class != kClassEnd;
}

bool IsWordBreakClass(char Class) {
    return Class == kClassDelimiter || Class == kClassTabFill || Class == kClassTrailByte;
}

} // namespace

int TabWidthAt(const WrapContext& Context, std::int64_t Column) {
    const std::int64_t tab = std::max(Context.TabSpaceCount, 1);
    std::int64_t width = tab - Column % tab;
    if (Context.WordWrap) {
        const std::int64_t wrap = Context.Options->GetWrapByte();
        width = std::min(width, wrap - Column % wrap);
    }
    return static_cast<int>(width);
}

std::string ColumnClassesOf(const WrapContext& Context, std::string_view Text) {
    std::string classes;
    WalkColumnClasses(Context, Text, ClassLimit(Context),
                      [&](char Class, int Count) { classes.append(Count, Class); });
    return classes;
}

int DisplayWidth(const WrapContext& Context, std::string_view Text) {
    if (Text.find('\t') == std::string_view::npos) {
        return ClampToInt(static_cast<std::int64_t>(Text.size()));
    }
    return ClampToInt(WalkToColumn(Context, Text, INT64_MAX).Column);
}

TColumnWalk WalkToColumn(const WrapContext& Context, std::string_view Text, std::int64_t Col) {
    TColumnWalk walk;
    while (walk.Byte < Text.size() && walk.Column < Col) {
        const std::size_t wanted = static_cast<std::size_t>(
            std::min<std::int64_t>(Col - walk.Column, static_cast<std::int64_t>(Text.size())));
        const std::size_t runEnd =
            PlainRunEnd(Text, walk.Byte, std::min(Text.size(), walk.Byte + wanted));
        walk.Column += static_cast<std::int64_t>(runEnd - walk.Byte);
        walk.Byte = runEnd;
        if (walk.Byte >= Text.size() || walk.Column >= Col) {
            break;
        }
        const bool tab = Text[walk.Byte] == '\t';
        const std::size_t length = CharLengthAt(Text, walk.Byte);
        const std::int64_t width =
            tab ? TabWidthAt(Context, walk.Column) : static_cast<std::int64_t>(length);
        if (walk.Column + width > Col) {
            break;
        }
        walk.Column += width;
        walk.Fills += tab ? width - 1 : 0;
        walk.Byte += length;
    }
    return walk;
}

// TColumnStretch

TColumnStretch::TColumnStretch(const WrapContext& Context, std::string_view Text, int Col) {
    const TColumnWalk start = WalkToColumn(Context, Text, std::int64_t{Col} - kMargin);
    FFirst = start.Column;
    FFillsBefore = start.Fills;
    const std::string_view rest = Text.substr(start.Byte);
    const auto limit =
        static_cast<std::size_t>(std::max<std::int64_t>(0, std::int64_t{Col} - FFirst + kMargin));
    std::size_t bytes = 0;
    WalkColumnClasses(
        Context, rest, limit,
        [&](char Class, int Count) {
            FClasses.append(static_cast<std::size_t>(Count), Class);
            bytes += HoldsByte(Class) ? static_cast<std::size_t>(Count) : 0;
        },
        FFirst);
    FReachesEnd = bytes >= rest.size();
}

char TColumnStretch::At(int Col) const {
    const std::int64_t index = Col - FFirst;
    if (index < 0) {
        return Col < 0 ? kClassEnd : kClassOrdinary;
    }
    if (index >= static_cast<std::int64_t>(FClasses.size())) {
        return FReachesEnd ? kClassEnd : kClassOrdinary;
    }
    return FClasses[static_cast<std::size_t>(index)];
}

int TColumnStretch::TabFillsBefore(int Col) const {
    const std::int64_t index =
        std::clamp<std::int64_t>(Col - FFirst, 0, static_cast<std::int64_t>(FClasses.size()));
    return ClampToInt(FFillsBefore +
                      std::count(FClasses.begin(), FClasses.begin() + index, kClassTabFill));
}

bool IsCharInList(std::string_view Ch, std::string_view List) {
    if (Ch.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < List.size();) {
        const std::size_t length = CharLengthAt(List, i);
        if (List.substr(i, length) == Ch) {
            return true;
        }
        i += length;
    }
    return false;
}

// TEditorAttributeArray

void TEditorAttributeArray::Init(std::string_view Text, std::string_view Classes) {
    FText = Text;
    FClasses = Classes;
    FPosition = 0;
    FByteCount = 0;
    Advance();
}

char TEditorAttributeArray::ClassAt(int Column) const {
    return Column <= ColumnCount() ? FClasses[Column - 1] : kClassEnd;
}

void TEditorAttributeArray::Advance() {
    ++FPosition;
    FCurrent = ClassAt(FPosition);
    if (HoldsByte(FCurrent)) {
        ++FByteCount;
    }
}

void TEditorAttributeArray::Next() {
    if (FCurrent != kClassEnd) {
        Advance();
    }
}

void TEditorAttributeArray::Prev() {
    if (FPosition < 2) {
        return;
    }
    const char left = FCurrent;
    --FPosition;
    FCurrent = ClassAt(FPosition);
    if (HoldsByte(left)) {
        --FByteCount;
    }
}

void TEditorAttributeArray::StepBack() {
    Prev();
    if (FCurrent == kClassLeadByte) {
        Prev();
    }
}

void TEditorAttributeArray::MoveTo(int Column) {
    while (FPosition < Column && FCurrent != kClassEnd) {
        Next();
    }
    while (FPosition > Column && FPosition > 1) {
        Prev();
    }
}

std::string_view TEditorAttributeArray::CurrentChar() const {
    switch (FCurrent) {
    case kClassEnd:
        return {};
    case kClassLeadByte:
        return FText.substr(FByteCount - 1, 2);
    case kClassTrailByte:
        return FText.substr(FByteCount - 2, 2);
    default: // a single byte, or the tab whose extra column this is
        return FText.substr(FByteCount - 1, 1);
    }
}

std::string_view TEditorAttributeArray::PeekNextChar() const {
    TEditorAttributeArray next = *this;
    next.Next();
    return next.CurrentChar();
}

// LineWrapper

bool FitsInOneRow(const WrapContext& Context, std::string_view Line) {
    if (!Context.WordWrap) {
        return true;
    }
    // A line is at least as wide as it is long.
    const auto wrapByte = static_cast<std::size_t>(Context.Options->GetWrapByte());
    return Line.size() < wrapByte && DisplayWidth(Context, Line) < static_cast<int>(wrapByte);
}

LineWrapper::LineWrapper(const WrapContext& Context, std::string_view Line)
    : FContext(Context), FOptions(*Context.Options), FWrapByte(FOptions.GetWrapByte()),
      FRest(Line) {}

bool LineWrapper::Next(WrappedRow& Row) {
    if (FDone) {
        return false;
    }
    if (!FStarted) {
        FStarted = true;
        if (FitsInOneRow(FContext, FRest)) {
            return Finish(Row);
        }
    }
    LoadRest();
    if (FCursor.Current() == kClassEnd) {
        return Finish(Row);
    }
    const int cut = CutLength();
    Row = {FRest.substr(0, cut), raWrap};
    FRest.remove_prefix(cut);
    if (FRest.empty() && FOptions.GetFollowRetMark()) {
        Row.Attribute = raLineBreak;
        FDone = true;
    }
    return true;
}

// The rest of the line is the last row.
bool LineWrapper::Finish(WrappedRow& Row) {
    Row = {FRest, raLineBreak};
    FDone = true;
    return true;
}

// Classes of the rest of the line, and the cursor on the wrap column.
void LineWrapper::LoadRest() {
    std::size_t count = 0;
    WalkColumnClasses(FContext, FRest, ClassLimit(FContext), [&](char Class, int Count) {
        std::memset(FClasses.data() + count, Class, Count);
        count += Count;
    });
    FCursor.Init(FRest, std::string_view(FClasses.data(), count));
    FCursor.MoveTo(FWrapByte);
}

// Bytes of the next row, with the cursor on the wrap column of a rest wider than it.
int LineWrapper::CutLength() {
    if (FCursor.Current() == kClassLeadByte) {
        FCursor.Prev(); // the double-byte character straddling the wrap column goes down whole
    } else if (FOptions.GetWordBreak() && FCursor.ColumnCount() > FWrapByte) {
        BackToWordBreak();
    }
    // The line-breaking rules and their characters are Japanese text's.
    const bool japanese = TextCodePage().HasJapaneseRules();
    if (japanese && FOptions.GetFollowPunctuation()) {
        HangPunctuation();
    }
    if (japanese && FOptions.GetLeading() && FCursor.Position() < FCursor.ColumnCount()) {
        KeepLeadAndFollowTogether();
    }
    return FCursor.ByteCount();
}

// Back to just after a delimiter, a tab or a double-byte character; a word longer than two thirds
// of a row is cut at a third.
void LineWrapper::BackToWordBreak() {
    const int floor = FWrapByte / 3;
    while (FCursor.Position() > floor && !IsWordBreakClass(FCursor.Current())) {
        FCursor.StepBack();
    }
}

// Punctuation stays on the row, ending at most two columns past the wrap column.
void LineWrapper::HangPunctuation() {
    const int limit = FWrapByte + 2;
    for (;;) {
        const std::string_view next = FCursor.PeekNextChar();
        if (FCursor.Position() + static_cast<int>(next.size()) > limit ||
            !IsCharInList(next, FOptions.GetPunctuationStr())) {
            return;
        }
        FCursor.Next();
        if (FCursor.Current() == kClassLeadByte) {
            FCursor.Next();
        }
    }
}

// A row does not end with a LeadStr character nor is followed by a row that begins with a
// FollowStr character, as long as it keeps more than four fifths of the wrap column.
void LineWrapper::KeepLeadAndFollowTogether() {
    const int floor = FWrapByte / 5 * 4;
    const std::string& leadStr = FOptions.GetLeadStr();
    const std::string& followStr = FOptions.GetFollowStr();
    while (FCursor.Position() > floor && IsCharInList(FCursor.CurrentChar(), leadStr)) {
        FCursor.StepBack();
    }
    if (FCursor.Position() + 1 >= FCursor.ColumnCount()) {
        return;
    }
    std::string_view next = FCursor.PeekNextChar();
    if (!IsCharInList(next, followStr)) {
        return;
    }
    std::string_view last = FCursor.CurrentChar();
    while (FCursor.Position() > floor &&
           (IsCharInList(last, leadStr) || IsCharInList(next, followStr))) {
        FCursor.StepBack();
        next = last;
        last = FCursor.CurrentChar();
    }
}

// Whole texts

void WrapLine(const WrapContext& Context, std::string_view Text, TEditorStringList& Rows) {
    Rows.BeginUpdate();
    Rows.Clear();
    if (Text.empty()) {
        Rows.Add("");
    }
    ForEachLine(Text, [&](std::string_view Line) {
        LineWrapper wrapper(Context, Line);
        WrappedRow row;
        while (wrapper.Next(row)) {
            Rows.SetRowAttribute(Rows.Add(row.Text), row.Attribute);
        }
    });
    Rows.EndUpdate();
}

int WrapLineCount(const WrapContext& Context, std::string_view Text) {
    LineWrapper wrapper(Context, Text);
    WrappedRow row;
    int count = 0;
    while (wrapper.Next(row)) {
        ++count;
    }
    return count;
}

} // namespace kst
