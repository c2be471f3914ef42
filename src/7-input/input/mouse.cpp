// The mouse: clicks place the caret, dragging selects, Shift extends, the left bar selects whole
// rows, and a selection can be dragged to another place to move or copy it. The cursor follows
// the zone under the pointer.
#include "core/messages.h"
#include "input/editor.h"

#include <algorithm>
#include <cstdlib>

namespace kst {

namespace {

constexpr int kZoneText = 0;
constexpr int kZoneLeft = 1;
constexpr int kZoneTop = 2;
constexpr int kZoneInSelection = 3;
constexpr int kZoneDragMove = 4;
constexpr int kZoneDragCopy = 5;

// The signed client point packed in a mouse message's LParam.
TPoint PointOf(std::intptr_t LParam) {
    const auto packed = static_cast<std::uintptr_t>(LParam);
    return {static_cast<std::int16_t>(LoWord(packed)), static_cast<std::int16_t>(HiWord(packed))};
}

TCursor ZoneCursor(const TEditorCursors& Cursors, int Zone) {
    switch (Zone) {
    case kZoneLeft:
        return Cursors.GetLeftMarginCursor();
    case kZoneTop:
        return Cursors.GetTopMarginCursor();
    case kZoneInSelection:
        return Cursors.GetInSelCursor();
    case kZoneDragMove:
        return Cursors.GetDragSelCursor();
    case kZoneDragCopy:
        return Cursors.GetDragSelCopyCursor();
    default:
        return Cursors.GetDefaultCursor();
    }
}

std::string Spaces(int Count) {
    return std::string(static_cast<std::size_t>(std::max(0, Count)), ' ');
}

} // namespace

std::optional<std::intptr_t> TEditor::MouseMessage(unsigned Msg, std::uintptr_t WParam,
                                                   std::intptr_t LParam) {
    const bool press = Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK || Msg == WM_RBUTTONDOWN ||
                       Msg == WM_MBUTTONDOWN;
    if (press && HasWindow() && !FHost->Focused()) {
        FHost->SetFocus();
    }
    switch (Msg) {
    case WM_LBUTTONDOWN:
        if (HasWindow()) {
            FHost->SetMouseCapture(true);
        }
        LeftButtonDown(PointOf(LParam), MouseShift(WParam));
        return 0;
    case WM_MOUSEMOVE:
        PointerMoved(PointOf(LParam), MouseShift(WParam));
        return 0;
    case WM_LBUTTONUP:
        if (HasWindow()) {
            FHost->SetMouseCapture(false);
        }
        LeftButtonUp();
        return 0;
    case WM_LBUTTONDBLCLK:
        if (OnDblClick) {
            OnDblClick(*this);
        }
        return 0;
    case WM_MOUSEWHEEL: {
        bool handled = false;
        if (OnMouseWheel) {
            const int delta = static_cast<std::int16_t>(HiWord(WParam));
            OnMouseWheel(*this, MouseShift(WParam), delta, PointOf(LParam), handled);
        }
        return handled ? std::optional<std::intptr_t>(0) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

TShiftState TEditor::MouseShift(std::uintptr_t WParam) const {
    TShiftState shift = 0;
    if ((WParam & MK_SHIFT) != 0) {
        shift |= ssShift;
    }
    if ((WParam & MK_CONTROL) != 0) {
        shift |= ssCtrl;
    }
    return shift;
}

bool TEditor::CanDragSelection() const {
    return FSelectionState == kSelectionSelected && !FBoxSelection && FCaret->GetSelMove();
}

bool TEditor::FarFromPress(TPoint Point) const {
    const int threshold = FCharWidth / 2;
    return std::abs(Point.X - FMouseDownPoint.X) >= threshold ||
           std::abs(Point.Y - FMouseDownPoint.Y) >= threshold;
}

// Press

void TEditor::LeftButtonDown(TPoint Point, TShiftState Shift) {
    FLeftButtonPressed = true;
    if ((Shift & ssShift) != 0) {
        if (FSelectionState != kSelectionSelected) {
            StartSelection();
        }
        const TPoint position = PosToRowCol(Point, true);
        SetRowCol(position.Y, position.X);
        ExtendSelection();
        return;
    }
    FMouseDownPoint = Point;
    const TPoint exact = PosToRowCol(Point, false);
    if (CanDragSelection() && !LeftOfText(Point) && IsInSelection(exact.Y, exact.X)) {
        SetRowCol(exact.Y, exact.X);
        if (FCaret->GetSelDragMode() == dmAutomatic) {
            // The press ends here so that moving the pointer drags instead of selecting.
            LeftButtonUp();
            FDragState = kDragPressed;
        }
        return;
    }
    const TPoint position = PosToRowCol(Point, true);
    if (LeftOfText(Point) && FCaret->GetRowSelect()) {
        StartRowSelection(position.Y);
        return;
    }
    BeginCaretHide();
    auto shown = ScopeEnd([this] { EndCaretHide(); });
    SetRowCol(position.Y, position.X);
    StartSelection();
}

// Moves

void TEditor::PointerMoved(TPoint Point, TShiftState Shift) {
    if (FLeftButtonPressed) {
        TPoint position = PosToRowCol(Point, true);
        if (AboveText(Point)) {
            position.Y = std::max(0, position.Y - 1);
        }
        if (FRowSelecting) {
            MoveRowSelection(position.Y);
            return;
        }
        SetRowCol(position.Y, position.X);
        if (SomethingSelected()) {
            UpdateSelection();
        } else if (FarFromPress(Point)) {
            ActivateSelection();
        }
        return;
    }
    if (FDragState == kDragPressed) {
        if (FarFromPress(Point)) {
            FDragState = kDragMoving;
            SetCursorZone((Shift & ssCtrl) != 0 ? kZoneDragCopy : kZoneDragMove);
        }
        return;
    }
    if (FDragState == kDragMoving) {
        TPoint position = PosToRowCol(Point, false);
        if (AboveText(Point)) {
            position.Y = std::max(0, position.Y - 1);
        }
        SetRowCol(position.Y, position.X);
        return;
    }
    SetCursorZone(ZoneAt(Point));
}

int TEditor::ZoneAt(TPoint Point) const {
    if (LeftOfText(Point)) {
        return kZoneLeft;
    }
    if (AboveText(Point)) {
        return kZoneTop;
    }
    const TPoint position = PosToRowCol(Point, true);
    return CanDragSelection() && IsInSelection(position.Y, position.X) ? kZoneInSelection
                                                                       : kZoneText;
}

// Zones 0-3 change the control's cursor; a drag's cursors are set on the system directly.
void TEditor::SetCursorZone(int Zone) {
    if (Zone == FCursorZone) {
        return;
    }
    FCursorZone = Zone;
    if (!FCaret->GetAutoCursor()) {
        return;
    }
    const TCursor cursor = ZoneCursor(FCaret->GetCursors(), Zone);
    if (Zone == kZoneDragMove || Zone == kZoneDragCopy) {
        if (HasWindow()) {
            FHost->SetCursor(cursor);
        }
        return;
    }
    SetCursor(cursor);
}

TCursor TEditor::ShownCursor() const {
    const bool dragCursor = FCursorZone == kZoneDragMove || FCursorZone == kZoneDragCopy;
    if (FDragState == kDragMoving && dragCursor && FCaret->GetAutoCursor()) {
        return ZoneCursor(FCaret->GetCursors(), FCursorZone);
    }
    return FCursor;
}

// Release

void TEditor::LeftButtonUp() {
    FLeftButtonPressed = false;
    if (FDragState == kDragMoving) {
        Drop();
    } else if (FDragState == kDragPressed) {
        CancelDrag();
    } else {
        FRowSelecting = false;
    }
}

void TEditor::CancelDrag() {
    FDragState = kDragNone;
    if (HasWindow() && FHost->KeyDown(VK_ESCAPE) && FCaret->GetAutoCursor()) {
        FHost->SetCursor(FCaret->GetCursors().GetDefaultCursor());
    } else {
        SetCursorZone(kZoneText);
    }
    CancelSelection();
}

// The drop point is the caret, which followed the pointer; the pointer is read again because the
// button may have been released outside the window.
void TEditor::Drop() {
    FDragState = kDragNone;
    const TPoint pointer = HasWindow() ? FHost->CursorPos() : TPoint{-1, -1};
    if (!ClientRect().Contains(pointer) || IsInSelection(FRow, FCol)) {
        CancelSelection();
        return;
    }
    if (HasWindow() && FHost->KeyDown(VK_CONTROL)) {
        CopyDrop(FRow, FCol);
    } else {
        MoveDrop(FRow, FCol);
    }
}

void TEditor::CopyDrop(int Row, int Col) {
    if (!CanDragSelection() || IsInSelection(Row, Col)) {
        CancelSelection();
        return;
    }
    const std::string text = GetSelText();
    CancelSelection();
    SetRowCol(Row, Col);
    SetSelTextBuf(text);
}

void TEditor::MoveDrop(int Row, int Col) {
    if (!CanDragSelection() || IsInSelection(Row, Col) ||
        !UserEdit([this, Row, Col] { MoveSelectionTo(Row, Col); })) {
        CancelSelection();
    }
}

// The rows between the selection and the drop point are rebuilt as one text and replaced in one
// edit, so one Undo takes the move back.
void TEditor::MoveSelectionTo(int Row, int Col) {
    const int startRow = FSelection.StartRow;
    const int endRow = FSelection.EndRow;
    const std::string_view startText = RowText(startRow);
    const std::string_view endText = RowText(endRow);
    const auto byteIn = [](std::string_view Text, int Byte) {
        return std::min(Text.size(), static_cast<std::size_t>(std::max(0, Byte)));
    };
    const std::string sel = GetSelText();
    const std::string before(startText.substr(0, byteIn(startText, FSelStartByte)));
    const std::string after = std::string(endText.substr(byteIn(endText, FSelEndByte + 1))) +
                              std::string(LineBreakSuffix(endRow));

    const std::string_view dropText = RowText(Row);
    const int dropByte = ByteOfCol(Row, Col);
    const std::string head = std::string(dropText.substr(0, byteIn(dropText, dropByte))) +
                             Spaces(dropByte - static_cast<int>(dropText.size()));
    const std::string tail = std::string(dropText.substr(byteIn(dropText, dropByte))) +
                             std::string(LineBreakSuffix(Row));
    const auto rowsBetween = [this](int From, int To) {
        std::string rows;
        for (int row = From + 1; row < To; ++row) {
            rows.append(RowText(row)).append(LineBreakSuffix(row));
        }
        return rows;
    };

    const int firstRow = std::min(startRow, Row);
    const int lastRow = std::max(endRow, Row);
    const int frame = EditFrame(firstRow);
    std::string text;
    int target = 0;
    if (Row < startRow || (Row == startRow && dropByte < FSelStartByte)) {
        const std::string between =
            Row < startRow ? std::string(tail) + rowsBetween(Row, startRow) + before
                           : std::string(startText.substr(byteIn(startText, dropByte),
                                                          byteIn(startText, FSelStartByte) -
                                                              byteIn(startText, dropByte)));
        text = head + sel + between + after;
        target = OffsetFromRow(frame, Row, Col) + static_cast<int>(sel.size());
    } else {
        if (Row == endRow && dropByte == FSelEndByte + 1) {
            CancelSelection(); // dropped right after itself: nothing moves
            return;
        }
        const std::string between =
            Row > endRow ? after + rowsBetween(endRow, Row) + head
                         : std::string(endText.substr(byteIn(endText, FSelEndByte + 1),
                                                      byteIn(endText, dropByte) -
                                                          byteIn(endText, FSelEndByte + 1))) +
                               Spaces(dropByte - static_cast<int>(endText.size()));
        text = before + between + sel + tail;
        target = OffsetFromRow(frame, startRow, 0) + FSelStartByte +
                 static_cast<int>(between.size() + sel.size());
    }
    ReplaceRows(firstRow, lastRow, text, {frame, target}, false);
}

// Row selection from the left bar: every row between the pressed one and the one under the
// pointer is selected whole with its line break, in both directions.

void TEditor::StartRowSelection(int Row) {
    const int row = std::clamp(Row, 0, LastCaretRow());
    const bool lastRowWithoutBreak = RowAttributeOf(row) == raEndOfText;
    BeginCaretHide();
    auto shown = ScopeEnd([this] { EndCaretHide(); });
    SetRowCol(row, lastRowWithoutBreak ? RowWidth(row) : 0);
    StartSelection();
    SetRowCol(lastRowWithoutBreak ? row : row + 1, 0);
    ActivateSelection();
    FRowSelAnchor = row;
    FRowSelCurrent = lastRowWithoutBreak ? row : row + 1;
    FRowSelFromLastRow = lastRowWithoutBreak;
    SetRowCol(row, 0);
    FRowSelecting = true;
}

void TEditor::MoveRowSelection(int Row) {
    const int row = std::clamp(Row, 0, LastCaretRow());
    int targetRow = row;
    int targetCol = 0;
    if (row >= FRowSelAnchor) {
        if (FRowSelCurrent < FRowSelAnchor && !FRowSelFromLastRow) {
            ReanchorAtRowStart(FRowSelAnchor - 1);
        }
        if (RowAttributeOf(row) == raEndOfText) {
            targetCol = FRowSelFromLastRow ? 0 : RowWidth(row);
        } else {
            targetRow = row + 1;
        }
    } else if (FRowSelCurrent > FRowSelAnchor) {
        ReanchorAtRowStart(FRowSelAnchor + 1);
    }
    SetRowCol(targetRow, targetCol);
    FRowSelCurrent = targetRow;
    ExtendSelection();
}

void TEditor::ReanchorAtRowStart(int Row) {
    FRowSelAnchor = Row;
    FAnchorRow = Row;
    FAnchorCol = 0;
    FAnchorByte = 0;
}

// Keys, characters, other buttons and the wheel must not disturb a drag: while one is pending or
// running, or the left button is down, they are swallowed, except that Ctrl switches a running
// drag between moving and copying and Escape cancels it.
bool TEditor::FilteredWhileDragging(unsigned Msg, std::uintptr_t WParam) {
    switch (Msg) {
    case WM_KEYDOWN:
        if (FDragState != kDragMoving) {
            return true;
        }
        if (WParam == VK_CONTROL) {
            SetCursorZone(kZoneDragCopy);
        } else if (WParam == VK_ESCAPE) {
            CancelDrag();
        }
        return false;
    case WM_KEYUP:
        if (FDragState == kDragMoving && WParam == VK_CONTROL) {
            SetCursorZone(kZoneDragMove);
            return false;
        }
        return true;
    default:
        return (Msg >= WM_CHAR && Msg <= WM_UNICHAR) ||
               (Msg >= WM_LBUTTONDBLCLK && Msg <= WM_MOUSEWHEEL);
    }
}

} // namespace kst
