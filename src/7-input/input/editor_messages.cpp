// The window messages of an edit control: text, selection, line and position queries, the
// clipboard, undo and read-only; keys and the mouse go on to their handlers.
#include "core/code_page.h"
#include "core/messages.h"
#include "input/editor.h"
#include "platform/clipboard.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace kst {

namespace {

// The longest prefix of Text of at most Limit bytes that does not end inside a double-byte
// character.
std::size_t WholeCharsPrefix(std::string_view Text, std::size_t Limit) {
    if (Limit >= Text.size()) {
        return Text.size();
    }
    std::size_t pos = 0;
    while (pos + CharLengthAt(Text, pos) <= Limit) {
        pos += CharLengthAt(Text, pos);
    }
    return pos;
}

// A message parameter that carries a 32-bit signed value.
std::int32_t AsInt32(std::uintptr_t Value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(Value));
}

// A 16-bit signed half of a packed point.
int AsInt16(unsigned Half) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(Half));
}

std::uint32_t AsUint32(std::int64_t Value) {
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(Value, 0, std::numeric_limits<std::uint32_t>::max()));
}

} // namespace

// The view handles sizing, focus and the scroll bars; the editor the rest.
std::optional<std::intptr_t> TEditor::WndProc(unsigned Msg, std::uintptr_t WParam,
                                              std::intptr_t LParam) {
    if ((FDragState != kDragNone || FLeftButtonPressed) && FilteredWhileDragging(Msg, WParam)) {
        return 0;
    }
    switch (Msg) {
    case WM_SETCURSOR:
        if (!HasWindow() || LoWord(static_cast<std::uintptr_t>(LParam)) != HTCLIENT) {
            return std::nullopt;
        }
        FHost->SetCursor(ShownCursor());
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
        return MouseMessage(Msg, WParam, LParam);
    case WM_GETDLGCODE:
        return DialogCode();
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_IME_COMPOSITION:
    case WM_IME_NOTIFY:
        return KeyboardMessage(Msg, WParam, LParam);
    default:
        break;
    }
    if (auto answer = TextMessage(Msg, WParam, LParam)) {
        return answer;
    }
    if (auto answer = LineMessage(Msg, WParam, LParam)) {
        return answer;
    }
    if (auto answer = EditMessage(Msg, WParam, LParam)) {
        return answer;
    }
    return TEditorView::WndProc(Msg, WParam, LParam);
}

// Edit-control messages

std::intptr_t TEditor::DialogCode() const {
    std::intptr_t code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (FWantTabs) {
        code |= DLGC_WANTTAB;
    }
    if (FWantReturns) {
        code |= DLGC_WANTALLKEYS;
    }
    return code;
}

std::optional<std::intptr_t> TEditor::TextMessage(unsigned Msg, std::uintptr_t WParam,
                                                  std::intptr_t LParam) {
    switch (Msg) {
    case WM_GETTEXT:
        return GetText(WParam, reinterpret_cast<char*>(LParam));
    case WM_GETTEXTLENGTH:
        return static_cast<std::intptr_t>(TextLength());
    case WM_SETTEXT:
        return SetText(reinterpret_cast<const char*>(LParam));
    case EM_GETSEL:
        return GetSel(reinterpret_cast<std::uint32_t*>(WParam),
                      reinterpret_cast<std::uint32_t*>(LParam));
    case EM_SETSEL:
        SetSel(AsInt32(WParam), AsInt32(static_cast<std::uintptr_t>(LParam)));
        return 0;
    case EM_GETLINE:
        return GetLine(AsInt32(WParam), reinterpret_cast<char*>(LParam));
    default:
        return std::nullopt;
    }
}

std::optional<std::intptr_t> TEditor::LineMessage(unsigned Msg, std::uintptr_t WParam,
                                                  std::intptr_t LParam) {
    switch (Msg) {
    case EM_GETLINECOUNT:
        return FScreenStrings->GetCount();
    case EM_LINEINDEX:
        return LineIndex(AsInt32(WParam));
    case EM_LINELENGTH:
        return LineLength(AsInt32(WParam));
    case EM_LINEFROMCHAR:
        return LineFromChar(AsInt32(WParam));
    case EM_POSFROMCHAR:
        return PosFromChar(AsInt32(WParam));
    case EM_CHARFROMPOS:
        return CharFromPos(LParam);
    case EM_GETFIRSTVISIBLELINE:
        return FTopRow;
    default:
        return std::nullopt;
    }
}

std::optional<std::intptr_t> TEditor::EditMessage(unsigned Msg, std::uintptr_t WParam,
                                                  std::intptr_t LParam) {
    switch (Msg) {
    case EM_GETMODIFY:
        return FModified ? 1 : 0;
    case EM_SETMODIFY:
        UserEdit([this, WParam] { FModified = WParam != 0; });
        return 0;
    case EM_CANUNDO:
        return AcceptsUserEdits() && CanUndo() ? 1 : 0;
    case EM_UNDO:
    case WM_UNDO:
        return UndoMessage();
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
        ClipboardMessage(Msg);
        return 0;
    case EM_REPLACESEL:
        // Every edit can be undone, so the can-undo flag in WParam changes nothing.
        if (LParam != 0) {
            SetSelTextBuf(reinterpret_cast<const char*>(LParam));
        }
        return 0;
    case EM_EMPTYUNDOBUFFER:
        UserEdit([this] { ScreenStrings().GetUndoObj().Clear(); });
        return 0;
    case EM_SETREADONLY:
        SetReadOnly(WParam != 0);
        return 1;
    case EM_SCROLLCARET:
        ScrollCaret();
        return 1;
    default:
        return std::nullopt;
    }
}

// Copies at most Size - 1 bytes and a terminating zero, never half a double-byte character.
std::intptr_t TEditor::GetText(std::uintptr_t Size, char* Buffer) const {
    if (Size == 0 || Buffer == nullptr) {
        return 0;
    }
    const std::string text = FLines->GetTextStr();
    const std::size_t count = WholeCharsPrefix(text, Size - 1);
    std::memcpy(Buffer, text.data(), count);
    Buffer[count] = '\0';
    return static_cast<std::intptr_t>(count);
}

std::intptr_t TEditor::SetText(const char* Text) {
    return UserEdit([this, Text] {
        FLines->SetTextStr(Text != nullptr ? std::string_view(Text) : std::string_view());
    });
}

std::intptr_t TEditor::GetSel(std::uint32_t* Start, std::uint32_t* End) const {
    const std::int64_t start = GetSelStart();
    const std::int64_t end = start + GetSelLength();
    if (Start != nullptr) {
        *Start = AsUint32(start);
    }
    if (End != nullptr) {
        *End = AsUint32(end);
    }
    return MakeLong(AsUint32(start), AsUint32(end));
}

// (0, -1) selects all, a start of -1 cancels the selection; an end of -1 means the end of the
// text, as for the system's edit boxes.
void TEditor::SetSel(std::int32_t A, std::int32_t B) {
    if (A == -1) {
        CancelSelection();
        return;
    }
    if (A == 0 && B == -1) {
        SelectAll();
        return;
    }
    const std::int64_t end = B < 0 ? TextLength() : B;
    SetSelStart(static_cast<int>(std::clamp<std::int64_t>(std::min<std::int64_t>(A, end), 0,
                                                          std::numeric_limits<int>::max())));
    // The start may have moved (off the middle of a line break); the end stays where it was asked.
    const std::int64_t last = std::max<std::int64_t>(A, end);
    SetSelLength(static_cast<int>(
        std::clamp<std::int64_t>(last - GetSelStart(), 0, std::numeric_limits<int>::max())));
}

void TEditor::ScrollCaret() {
    if (FRow < FTopRow || FRow >= FTopRow + FVisibleRows) {
        SetTopRow(FRow - FVisibleRows / 3);
    }
    if (FCol < FTopCol || FCol >= FTopCol + FVisibleCols) {
        SetTopCol(FCol - FVisibleCols / 3);
    }
}

// Row -1 is the caret row; the empty line after a final line break has an index too.
std::intptr_t TEditor::LineIndex(std::int32_t Row) {
    const int row = Row == -1 ? FRow : Row;
    if (row < 0 || row > LastCaretRow()) {
        return -1;
    }
    return static_cast<std::intptr_t>(FRowIndex.IndexOfRow(*FScreenStrings, row));
}

std::intptr_t TEditor::LineLength(std::int32_t Index) {
    if (Index != -1) {
        return RowLength(static_cast<int>(LineFromChar(Index)));
    }
    if (FSelectionState != kSelectionSelected) {
        return RowLength(FRow);
    }
    const int after = RowLength(FSelection.EndRow) - (FSelEndByte + 1);
    return FSelStartByte + std::max(0, after);
}

// Copies up to the count in the buffer's first 16-bit word, never half a double-byte character;
// no terminating zero.
std::intptr_t TEditor::GetLine(std::int32_t Row, char* Buffer) const {
    if (Buffer == nullptr || Row < 0 || Row >= FScreenStrings->GetCount()) {
        return 0;
    }
    std::uint16_t limit = 0;
    std::memcpy(&limit, Buffer, sizeof limit);
    const std::string_view text = FScreenStrings->GetView(Row);
    const std::size_t count = WholeCharsPrefix(text, limit);
    std::memcpy(Buffer, text.data(), count);
    return static_cast<std::intptr_t>(count);
}

std::intptr_t TEditor::LineFromChar(std::int32_t Index) {
    if (Index == -1) {
        return FSelectionState == kSelectionSelected ? FSelection.StartRow : FRow;
    }
    const int row = FRowIndex.RowOfIndex(*FScreenStrings, std::max(0, Index));
    return std::max(0, std::min(row, FScreenStrings->GetCount() - 1));
}

// Cutting without a selection or in a read-only editor, and copying without a selection, leave an
// empty text on the clipboard.
void TEditor::ClipboardMessage(unsigned Msg) {
    const bool selected = FSelectionState == kSelectionSelected;
    const auto emptyClipboardText = [this] {
        if (FClipboard != nullptr) {
            FClipboard->SetText({}, false);
        }
    };
    switch (Msg) {
    case WM_CUT:
        if (!(selected && UserEdit([this] { CutToClipboard(); }))) {
            emptyClipboardText();
        }
        break;
    case WM_COPY:
        if (selected) {
            CopyToClipboard();
        } else {
            emptyClipboardText();
        }
        break;
    case WM_PASTE:
        PasteFromClipboard();
        break;
    default:
        UserEdit([this] { DeleteSelection(); });
        break;
    }
}

std::intptr_t TEditor::UndoMessage() {
    return CanUndo() && UserEdit([this] { Undo(); });
}

// Client position of the character at Index, packed as two 16-bit values; an index past the text
// gives the end of the text.
std::intptr_t TEditor::PosFromChar(std::int32_t Index) {
    const std::int64_t index = std::clamp<std::int64_t>(Index, 0, TextLength());
    const int row = std::min(FRowIndex.RowOfIndex(*FScreenStrings, index), LastCaretRow());
    const std::int64_t byte = index - FRowIndex.IndexOfRow(*FScreenStrings, row);
    const int col = ColOfByte(row, static_cast<int>(std::min<std::int64_t>(byte, RowLength(row))));
    return MakeLong(static_cast<unsigned>(ColumnLeft(col)), static_cast<unsigned>(RowTop(row)));
}

// The character index (low 16 bits) and row (high 16 bits) under a client point; -1 outside the
// client area.
std::intptr_t TEditor::CharFromPos(std::intptr_t Point) {
    const std::uintptr_t packed = static_cast<std::uintptr_t>(Point);
    const TPoint point{AsInt16(LoWord(packed)), AsInt16(HiWord(packed))};
    if (!HasWindow() || !ClientRect().Contains(point)) {
        return -1;
    }
    const TPoint position = PosToRowCol(point, true);
    const int row = std::clamp(position.Y, 0, LastCaretRow());
    int col = std::min(position.X, RowWidth(row));
    const TColumnStretch classes = RowClasses(row, col);
    while (col > 0 &&
           (ClassAt(classes, col) == kClassTrailByte || ClassAt(classes, col) == kClassTabFill)) {
        --col;
    }
    const std::int64_t index = IndexOfPosition(row, ClampedByteOfCol(row, col));
    return MakeLong(AsUint32(index), static_cast<unsigned>(row));
}

} // namespace kst
