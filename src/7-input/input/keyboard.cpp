// The keyboard: key down (caret keys with Shift selection, Delete), characters (typing, Backspace,
// Tab, Enter, double-byte characters), input-method results and key up.
#include "core/code_page.h"
#include "core/messages.h"
#include "input/editor.h"

#include <algorithm>

namespace kst {

namespace {

// Bit 30 of a key message's data: the key was already down (an auto-repeat).
constexpr std::intptr_t kKeyWasDown = std::intptr_t{1} << 30;

constexpr char kBackspace = 0x08;
constexpr char kTab = 0x09;
constexpr char kReturn = 0x0D;

bool IsCaretKey(std::uint16_t Key) {
    return Key >= VK_PRIOR && Key <= VK_DOWN;
}

// Bytes typed as one character: printable ASCII and, in Japanese text, the single-byte range from
// 0xA0 up (half-width katakana among them); in other text every upper-half byte that is a
// character and not a control ("€" and "Š" of code page 1252 are typed, its 0x81 is not). Lead
// bytes are taken out before this test.
bool IsTypedSingleByte(unsigned char Ch) {
    if (Ch < 0x80) {
        return Ch >= 0x20 && Ch <= 0x7E;
    }
    if (TextCodePage().HasJapaneseRules()) {
        return Ch >= 0xA0;
    }
    const char16_t character = TextCodePage().UnicodeOf(Ch);
    return character != kNoUnicode && (character < 0x80 || character > 0x9F);
}

bool IsTrailByte(std::uint16_t Ch) {
    return Ch >= 0x40 && Ch <= 0xFF;
}

} // namespace

std::intptr_t TEditor::KeyboardMessage(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    switch (Msg) {
    case WM_KEYDOWN:
        KeyDownMessage(static_cast<std::uint16_t>(WParam), LParam);
        break;
    case WM_KEYUP:
        KeyUpMessage(static_cast<std::uint16_t>(WParam));
        break;
    case WM_CHAR:
        // One byte per message; anything wider is no CP932 byte and types nothing.
        if (WParam <= 0xFF) {
            CharMessage(static_cast<char>(WParam));
        }
        break;
    case WM_IME_COMPOSITION:
        if ((LParam & GCS_RESULTSTR) != 0) {
            InsertImeResult();
        }
        break;
    case WM_IME_NOTIFY:
        ImeNotify(static_cast<unsigned>(WParam));
        break;
    default:
        break;
    }
    return 0;
}

TShiftState TEditor::CurrentShiftState() const {
    return FHost != nullptr ? FHost->ShiftState() : 0;
}

// Key down

void TEditor::KeyDownMessage(std::uint16_t Key, std::intptr_t KeyData) {
    const TShiftState shift = CurrentShiftState();
    if (FPopupMenu != nullptr && FPopupMenu->IsShortCut({Key, shift})) {
        return;
    }
    if (OnKeyDown) {
        OnKeyDown(*this, Key, shift);
    }
    FKeyRepeating = (KeyData & kKeyWasDown) != 0;
    const bool shifted = (shift & ssShift) != 0;
    if (IsCaretKey(Key)) {
        PrepareSelectionForCaretKey(shifted);
    }
    RunKeyCommand(Key, (shift & ssCtrl) != 0);
    if (IsCaretKey(Key) && shifted) {
        ExtendSelection();
    }
}

// Shift with a caret key anchors a selection at the caret (replacing a hit); a caret key without
// Shift cancels a selection or hit.
void TEditor::PrepareSelectionForCaretKey(bool Shifted) {
    if (FSelectionState != kSelectionSelected && Shifted) {
        StartSelection();
    } else if (FSelectionState == kSelectionSelected && !Shifted) {
        CancelSelection();
    } else if (FSelectionState == kSelectionHit) {
        CancelSelection();
    }
}

void TEditor::RunKeyCommand(std::uint16_t Key, bool Ctrl) {
    switch (Key) {
    case VK_PRIOR:
        PageScroll(-PageRows());
        break;
    case VK_NEXT:
        PageScroll(PageRows());
        break;
    case VK_END:
        CaretToRowEnd(Ctrl);
        break;
    case VK_HOME:
        CaretToRowStart(Ctrl);
        break;
    case VK_LEFT:
        Ctrl ? CaretToToken(-1) : CaretLeft();
        break;
    case VK_RIGHT:
        Ctrl ? CaretToToken(1) : CaretRight();
        break;
    case VK_UP:
        Ctrl ? ScrollViewUp() : CaretUp();
        break;
    case VK_DOWN:
        Ctrl ? ScrollViewDown() : CaretDown();
        break;
    case VK_DELETE:
        DeleteKey();
        break;
    default:
        break;
    }
}

// A page is half the view (at least one row) times the page speed, the faster one while the key
// repeats.
int TEditor::PageRows() const {
    const int range =
        FKeyRepeating ? FSpeed->GetPageVerticalRangeAc() : FSpeed->GetPageVerticalRange();
    return std::max(1, (FVisibleRows - 1) / 2) * range;
}

// The view moves by Delta rows and the caret keeps its place on the screen; PageUp at the top goes
// to the first row, PageDown with the text's end at the top does nothing.
void TEditor::PageScroll(int Delta) {
    if (FTopRow == 0 && Delta < 0) {
        SetRow(0);
        return;
    }
    const TRowAttribute topAttribute = RowAttributeOf(FTopRow);
    if (Delta > 0 && (topAttribute == raEndOfText || topAttribute == raNone)) {
        return;
    }
    BeginCaretHide();
    auto shown = ScopeEnd([this] { EndCaretHide(); });
    const int distance = FRow - FTopRow;
    SetTopRow(std::max(0, std::min(FTopRow + Delta, RowCount())));
    SetRow(FTopRow + distance);
}

void TEditor::CaretToRowEnd(bool Ctrl) {
    if (Ctrl) {
        SetRow(RowCount());
    }
    SetCol(FRow == RowCount() ? 0 : RowWidth(FRow));
}

void TEditor::CaretToRowStart(bool Ctrl) {
    if (Ctrl) {
        SetRow(0);
    }
    SetCol(0);
}

// Column 0 goes on to the end of the row above when NextLine is on or that row wraps into this
// one.
void TEditor::CaretLeft() {
    if (FCol > 0) {
        SetCol(FCol - 1);
        return;
    }
    if (FRow > 0 && (FCaret->GetNextLine() || RowAttributeOf(FRow - 1) == raWrap)) {
        BeginCaretHide();
        auto shown = ScopeEnd([this] { EndCaretHide(); });
        SetRowCol(FRow - 1, RowWidth(FRow - 1));
    }
}

// At the last legal column the caret goes on to the start of the next row when NextLine is on or
// the row wraps.
void TEditor::CaretRight() {
    const int oldCol = FCol;
    SetCol(FCol + 1);
    if (FCol != oldCol || FRow >= RowCount()) {
        return;
    }
    const TRowAttribute attribute = RowAttributeOf(FRow);
    if (attribute != raEndOfText && (FCaret->GetNextLine() || attribute == raWrap)) {
        BeginCaretHide();
        auto shown = ScopeEnd([this] { EndCaretHide(); });
        SetRowCol(FRow + 1, 0);
    }
}

void TEditor::CaretToToken(int Direction) {
    int row = FRow;
    int col = FCol;
    if (NextTokenPos(row, col, Direction)) {
        SetRowCol(row, col);
    }
}

// Rows a vertical key moves: more than one only while the key repeats with the caret at the edge
// of the view it moves towards.
int TEditor::VerticalStep(bool Upwards) const {
    const bool atEdge = Upwards ? FRow == FTopRow : FTopRow + FVisibleRows == FRow + 1;
    return FKeyRepeating && atEdge ? FSpeed->GetCaretVerticalAc() : 1;
}

void TEditor::CaretUp() {
    if (FRow > 0) {
        SetRow(FRow - VerticalStep(true));
    }
}

void TEditor::CaretDown() {
    const TRowAttribute attribute = RowAttributeOf(FRow);
    if (attribute == raLineBreak || attribute == raWrap) {
        SetRow(FRow + VerticalStep(false));
    }
}

// Ctrl+Up and Ctrl+Down scroll the view; the caret follows only when it would leave the view.
void TEditor::ScrollViewUp() {
    if (FRow <= 0) {
        return;
    }
    const int step = VerticalStep(true);
    SetTopRow(FTopRow - step);
    if (FRow >= FTopRow + FVisibleRows) {
        SetRow(FRow - step);
    }
}

void TEditor::ScrollViewDown() {
    const int step = VerticalStep(false);
    SetTopRow(FTopRow + step);
    if (FRow < FTopRow) {
        SetRow(FRow + step);
    }
}

void TEditor::DeleteKey() {
    if (FSelectionState == kSelectionSelected) {
        UserEdit([this] { DeleteSelection(); });
    } else {
        DeleteAtCaret();
    }
}

void TEditor::KeyUpMessage(std::uint16_t Key) {
    if (OnKeyUp) {
        OnKeyUp(*this, Key, CurrentShiftState());
    }
    FKeyRepeating = false;
    if (FImePositionPending && HasWindow()) {
        MoveCompositionWindow();
    }
}

// Characters

void TEditor::CharMessage(char Ch) {
    if (OnKeyPress) {
        OnKeyPress(*this, Ch);
    }
    const auto byte = static_cast<unsigned char>(Ch);
    switch (Ch) {
    case kBackspace:
        BackSpaceAtCaret();
        return;
    case kTab:
        TabKey();
        return;
    case kReturn:
        EnterAtCaret((CurrentShiftState() & ssShift) != 0);
        return;
    default:
        break;
    }
    // Every lead byte, 0xE0-0xFC included, waits for its second byte, so that a double-byte
    // character is inserted whole and a lone lead byte never reaches the text.
    if (IsLeadByte(byte)) {
        TypeDoubleByte(Ch);
    } else if (IsTypedSingleByte(byte)) {
        TypeSingleByte(Ch);
    }
}

void TEditor::TabKey() {
    const TShiftState shift = CurrentShiftState();
    if ((shift & (ssShift | ssCtrl)) == 0) {
        TabAtCaret();
    }
}

void TEditor::TypeSingleByte(char Ch) {
    if (FImeSkipCount > 0) {
        --FImeSkipCount;
        return;
    }
    UserEdit([this, Ch] {
        if (FImePositionPending && HasWindow()) {
            MoveCompositionWindow();
        }
        InsertText(std::string_view(&Ch, 1));
    });
}

// The second byte is the next character message of the window; without one the lead byte is
// dropped.
void TEditor::TypeDoubleByte(char Lead) {
    const std::optional<std::uint16_t> next =
        FHost != nullptr ? FHost->PeekNextChar() : std::nullopt;
    if (!next || !IsTrailByte(*next)) {
        return;
    }
    FHost->RemoveNextChar();
    if (FImeSkipCount > 0) {
        FImeSkipCount = std::max(0, FImeSkipCount - 2);
        return;
    }
    const char pair[2] = {Lead, static_cast<char>(*next)};
    UserEdit([this, &pair] { InsertText(std::string_view(pair, 2)); });
}

// Input method

// The result string is inserted at once; the system then sends the same characters again as
// character messages, which the skip count swallows.
void TEditor::InsertImeResult() {
    if (FHost == nullptr) {
        return;
    }
    UserEdit([this] {
        const std::string result = FHost->ImeResultString();
        FImeSkipCount = static_cast<int>(result.size());
        InsertText(result);
    });
}

// The caret is hidden while the candidate list is open.
void TEditor::ImeNotify(unsigned Notification) {
    if (Notification == IMN_OPENCANDIDATE || Notification == IMN_CLOSECANDIDATE) {
        SetCaretSuppressed(Notification == IMN_OPENCANDIDATE);
    }
}

} // namespace kst
