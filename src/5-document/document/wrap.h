// Word wrap: the display columns of a row's text, the column-class string that describes them, a
// cursor over that string, and the rules that cut a document line into screen rows.
#pragma once

#include "core/code_page.h"
#include "document/wrap_option.h"
#include "lists/row_attribute.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kst {

class TEditorStringList;

// What wrapping needs from the editor that shows the text. Options and Delimiters must not be null.
struct WrapContext {
    const TEditorWrapOption* Options = nullptr;
    int TabSpaceCount = 8;
    bool WordWrap = false;
    const TCharSet* Delimiters = nullptr;
};

// Column classes: one character per display column of a text.
inline constexpr char kClassEnd = '0';       // end sentinel, only ever seen through the cursor
inline constexpr char kClassOrdinary = '1';  // single-byte character that is not a delimiter
inline constexpr char kClassDelimiter = '2'; // single-byte delimiter, tab included
inline constexpr char kClassTabFill = '3';   // one of a tab's extra columns
inline constexpr char kClassLeadByte = '4';  // first byte of a double-byte character
inline constexpr char kClassTrailByte = '5'; // second byte of a double-byte character

// The class of column Col of a class string; kClassEnd outside it.
inline char ClassAt(std::string_view Classes, int Col) {
    return Col >= 0 && Col < static_cast<int>(Classes.size()) ? Classes[Col] : kClassEnd;
}

// Column-class strings stop growing once they hold this many columns (wrap off); wrapping a row
// only ever looks WrapByte + 3 columns ahead.
inline constexpr std::size_t kUnwrappedClassLimit = 1000;

// Number of columns a tab takes when Column columns precede it: up to the next multiple of
// TabSpaceCount, with word wrap on never past the next multiple of WrapByte.
int TabWidthAt(const WrapContext& Context, std::int64_t Column);

// The class string of Text, one character per display column. A lead byte that ends the text is
// an ordinary single byte.
std::string ColumnClassesOf(const WrapContext& Context, std::string_view Text);

// Display columns of Text (saturates at INT_MAX).
int DisplayWidth(const WrapContext& Context, std::string_view Text);

// Where a walk of a text's columns stands: at byte Byte, which begins column Column, after Fills
// columns that were a tab's extra columns.
struct TColumnWalk {
    std::size_t Byte = 0;
    std::int64_t Column = 0;
    std::int64_t Fills = 0;
};

// Walks Text to the character that holds column Col (or to its end). Runs of single-byte
// characters other than a tab are passed a word at a time, so that reaching the far end of a long
// row costs little more than reading it.
TColumnWalk WalkToColumn(const WrapContext& Context, std::string_view Text, std::int64_t Col);

// The column classes of a text near one column. A long row is walked there without building the
// classes before, so that a caret far into a row costs a walk of its bytes, not a string of all
// its columns. A column before the stretch reads as an ordinary one; a column after it, as the end
// when the stretch reaches the text's end, else as an ordinary one.
class TColumnStretch {
public:
    // Columns kept on each side of the column asked for: more than any tab or word the caret's
    // rules step over.
    static constexpr int kMargin = 1024;

    TColumnStretch() = default;
    TColumnStretch(const WrapContext& Context, std::string_view Text, int Col);

    char At(int Col) const;
    // The tab's extra columns among columns 0..Col-1.
    int TabFillsBefore(int Col) const;

private:
    std::int64_t FFirst = 0;
    std::int64_t FFillsBefore = 0;
    std::string FClasses;
    bool FReachesEnd = true;
};

inline char ClassAt(const TColumnStretch& Stretch, int Col) {
    return Stretch.At(Col);
}

// True when Ch is one of the characters of List; List is walked character by character, so a
// byte never matches the second byte of a double-byte character.
bool IsCharInList(std::string_view Ch, std::string_view List);

// A cursor over a text and its class string. Position is the 1-based index of the current column
// (the number of columns taken so far); ByteCount the bytes of Text in columns 1..Position, a tab's
// extra columns counting none. One column past the class string reads as kClassEnd. The cursor
// keeps views: Text and Classes must outlive its use.
class TEditorAttributeArray {
public:
    void Init(std::string_view Text, std::string_view Classes);
    void Next();
    void Prev();
    // Prev, and once more if that stopped on the first byte of a double-byte character.
    void StepBack();
    // Next or Prev until Position is Column, the end, or column 1.
    void MoveTo(int Column);

    char Current() const { return FCurrent; }
    int Position() const { return FPosition; }
    int ByteCount() const { return FByteCount; }
    int ColumnCount() const { return static_cast<int>(FClasses.size()); }
    std::string_view Text() const { return FText; }
    std::string_view Classes() const { return FClasses; }

    // The whole character at the cursor (both bytes of a double-byte character, the tab on its
    // extra columns); empty at the end.
    std::string_view CurrentChar() const;
    // The character at the next column.
    std::string_view PeekNextChar() const;

private:
    char ClassAt(int Column) const;
    void Advance();

    std::string_view FText;
    std::string_view FClasses;
    char FCurrent = kClassEnd;
    int FPosition = 0;
    int FByteCount = 0;
};

// One screen row of a document line: a piece of the line's text and how the row ends.
struct WrappedRow {
    std::string_view Text;
    TRowAttribute Attribute = raLineBreak;
};

// True when Line (one document line) is a single row: word wrap is off, or the line is narrower
// than WrapByte. Looks at no more than WrapByte bytes.
bool FitsInOneRow(const WrapContext& Context, std::string_view Line);

// Cuts one document line (no CR or LF in it) into screen rows, one at a time, without allocating.
// Every row but the last is raWrap, the last is raLineBreak; the rows joined give back the line.
// A row's byte offset in the line is Row.Text.data() - Line.data().
class LineWrapper {
public:
    LineWrapper(const WrapContext& Context, std::string_view Line);

    // The next row; false when the line is done.
    bool Next(WrappedRow& Row);

private:
    // Longest class string of a wrapped row: WrapByte + 3 columns plus the rest of a tab.
    static constexpr std::size_t kClassCapacity = 2 * kMaxWrapByte + 3;

    bool Finish(WrappedRow& Row);
    void LoadRest();
    int CutLength();
    void BackToWordBreak();
    void HangPunctuation();
    void KeepLeadAndFollowTogether();

    WrapContext FContext;
    const TEditorWrapOption& FOptions;
    int FWrapByte;
    std::string_view FRest;
    bool FStarted = false;
    bool FDone = false;
    TEditorAttributeArray FCursor;
    std::array<char, kClassCapacity> FClasses;
};

// Clears Rows and fills them with the rows of Text, which may hold several lines (split at CR LF,
// CR or LF; a final line break adds no line; a NUL byte is ordinary text). An empty text gives one
// empty row. Rows get raLineBreak or raWrap; the caller sets the last row's attribute.
void WrapLine(const WrapContext& Context, std::string_view Text, TEditorStringList& Rows);

// Number of rows Text (one document line) takes; 1 when word wrap is off.
int WrapLineCount(const WrapContext& Context, std::string_view Text);

} // namespace kst
