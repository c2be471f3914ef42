// The editor control: the view below it draws; this class owns the caret and the selection and
// changes the text. Defined by concern: caret.cpp (legal positions and moves), selection.cpp
// (offsets, the selection and hits), editing.cpp (editing and the clipboard), keyboard.cpp,
// mouse.cpp, tokens.cpp (tokens and row marks), editor_search.cpp, popup_menu.cpp and
// editor_messages.cpp (the window messages of an edit control).
#pragma once

#include "core/menu.h"
#include "core/search_options.h"
#include "display/editor_view.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kst {

class Clipboard;
class TEditor;

// Called after a row's text has been drawn: the row as drawn (tab-expanded), the x of column 0,
// the row's top, its index, the rectangle just painted, and whether it was painted as selected.
using TDrawLineEvent = std::function<void(TEditor& Sender, const std::string& LineStr, int X, int Y,
                                          int Index, const TRect& ARect, bool Selected)>;
using TSelectionChangeEvent = std::function<void(TEditor& Sender, bool Selected)>;
using TEditorEvent = std::function<void(TEditor& Sender)>;
// A wheel turn of Delta (120 a notch) at a client point; Handled stops the default handling.
using TMouseWheelEvent =
    std::function<void(TEditor& Sender, TShiftState Shift, int Delta, TPoint Point, bool& Handled)>;
// Key events may change or zero the key (0: nothing more happens).
using TKeyEvent = std::function<void(TEditor& Sender, std::uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TEditor& Sender, char& Key)>;

// DragState values: no drag, pressed inside the selection, dragging it.
constexpr std::uint8_t kDragNone = 0;
constexpr std::uint8_t kDragPressed = 1;
constexpr std::uint8_t kDragMoving = 2;

// A token of a document line: the line's first row, the token's byte offset in the line, its text
// and kind.
struct TLineToken {
    int LineRow = 0;
    int Start = 0;
    std::string Text;
    int Kind = 0;
};

class TEditor : public TEditorView {
public:
    TEditor(TCreateKey Key, TPersistent* Owner);
    ~TEditor() override;

    const char* ClassName() const override { return "TEditor"; }

    // A window message. Text travels as CP932 bytes, positions count CP932 bytes with CR LF as 2.
    std::optional<std::intptr_t> WndProc(unsigned Msg, std::uintptr_t WParam,
                                         std::intptr_t LParam) override;

    // Properties

    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool GetWantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool GetWantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }

    // Whether a change of the text that a user asks for may run: the one test of ReadOnly that
    // decides it, for the gate below, the pop-up menu's enabling and EM_CANUNDO.
    bool AcceptsUserEdits() const { return !FReadOnly; }
    // Runs Change, a change of the text that a user asked for, unless the control is read-only,
    // and answers whether it ran. Every user edit passes through here: typing and the editing
    // keys, paste, cut, drop, the edit-control messages, the pop-up menu and the commands of the
    // main window and the tools. Programs may still call InsertText, DeleteSelection, Undo and
    // Redo and change Lines while the control is read-only.
    template <class F>
    bool UserEdit(F&& Change) {
        if (!AcceptsUserEdits()) {
            return false;
        }
        Change();
        return true;
    }

    // Events, raised only when assigned.
    TEditorEvent OnCaretMoved;
    TEditorEvent OnChange;
    TEditorEvent OnDblClick;
    TMouseWheelEvent OnMouseWheel;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TDrawLineEvent OnDrawLine;
    TSelectionChangeEvent OnSelectionChange;
    TEditorEvent OnSelectionModeChange;
    TEditorEvent OnTopColChange;
    TEditorEvent OnTopRowChange;

    // Caret (caret.cpp)

    int GetRow() const override { return FRow; }
    int GetCol() const override { return FCol; }
    void SetRow(int Row) override;
    void SetCol(int Col) override;
    void SetRowCol(int Row, int Col) override;

    // Offsets (selection.cpp): every line break counts 2 bytes.

    // Bytes from the start of StartRow to column Col of Row (not clamped to Row's length); 0 when
    // Row is above StartRow.
    int OffsetFromRow(int StartRow, int Row, int Col) const;
    void SetCaretByOffset(int StartRow, int Offset) override;
    std::int64_t TextLength() const;
    int GetSelStart() const;
    void SetSelStart(int Value);
    int GetSelLength() const;
    void SetSelLength(int Value);
    std::string GetSelText() const;

    // Selection (selection.cpp)

    std::uint8_t GetSelectionState() const override { return FSelectionState; }
    // The normalised range: rows, display columns (end exclusive), bytes (end inclusive).
    const TSelectionRange& GetSelection() const override { return FSelection; }
    int GetSelStartByte() const { return FSelStartByte; }
    int GetSelEndByte() const { return FSelEndByte; }
    bool GetBoxSelection() const override { return FBoxSelection; }
    void SetBoxSelection(bool Value);
    void StartSelection();
    void ExtendSelection();
    void ActivateSelection();
    void UpdateSelection();
    void CancelSelection() override;
    bool IsInSelection(int Row, int Col) const;
    // The selected rows with the selected part cut out (see the definition).
    void RowsWithoutSelection(TEditorStringList& Rows) const;
    // The rows' texts, each raLineBreak one followed by CR LF.
    static std::string JoinRows(const TEditorStringList& Rows);
    // Shows a search hit of Length bytes at the caret as HitStyle says.
    void SetHitSelection(int Length);
    int GetHitLength() const { return FHitLength; }

    // Editing (editing.cpp). Each change of text is one UpdateRows and one undo step.

    // Inserts typed text at the caret, replacing a selection.
    void InsertText(std::string_view Text);
    // Replaces the selection, or inserts at the caret; nothing when ReadOnly.
    void SetSelTextBuf(std::string_view Text);
    void SetSelText(std::string_view Text) { SetSelTextBuf(Text); }
    // Inserts Text's lines as a rectangle at the caret or over the selection; nothing when
    // ReadOnly.
    void SetSelTextBox(std::string_view Text);
    void DeleteSelection();
    void ClearSelection() { DeleteSelection(); }
    // The editing keys: Backspace, Delete, Enter (OpenLineAbove for Shift+Enter) and Tab; nothing
    // when ReadOnly.
    void BackSpaceAtCaret();
    void DeleteAtCaret();
    void EnterAtCaret(bool OpenLineAbove);
    void TabAtCaret();
    void SelectAll();
    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();

    // Clipboard (editing.cpp)

    // The clipboard the editor copies to and pastes from; none means nothing is copied or pasted.
    Clipboard* GetClipboard() const { return FClipboard; }
    void SetClipboard(Clipboard* Value) { FClipboard = Value; }
    void CopyToClipboard();
    void CutToClipboard();
    // Nothing when ReadOnly.
    void PasteFromClipboard();
    // Pastes the clipboard text as a rectangle, whatever its origin; nothing when ReadOnly.
    void PasteBoxFromClipboard();

    // Tokens and row marks (tokens.cpp)

    // The next token stop from (Row, Col) in Direction (+1 or -1); true when it moved.
    virtual bool NextTokenPos(int& Row, int& Col, int Direction);
    // The token under a client point: its text and kind; empty and 0 when there is none.
    virtual void TokenFromPos(TPoint Point, bool UseFountain, std::string& Text, bool UseRowState,
                              int& Kind);
    virtual void SelectTokenFromPos(TPoint Point, bool UseFountain, bool UseRowState);
    void SelectTokenAtCaret();
    virtual void PutRowMark(int Row, int Mark);
    virtual void DeleteRowMark(int Row, int Mark);
    virtual void GotoRowMark(int Mark);

    // Search (editor_search.cpp)

    // Finds Pattern from the selection, the hit or the caret in the direction Options give, puts
    // the caret on the hit and shows it as HitStyle says; false when there are no rows or no hit.
    virtual bool SearchText(std::string_view Pattern, TSearchOptions Options);

    // Mouse (mouse.cpp)

    // A normal selection that the caret options let the user drag.
    virtual bool CanDragSelection() const;
    // Zones: 0 text, 1 left of it, 2 above it, 3 a draggable selection, 4 moving and 5 copying a
    // dragged selection. Nothing happens for the zone already set.
    void SetCursorZone(int Zone);
    // Drops the selection at (Row, Col): a copy, or a move as one edit.
    void CopyDrop(int Row, int Col);
    void MoveDrop(int Row, int Col);
    std::uint8_t GetDragState() const { return FDragState; }
    bool GetRowSelecting() const { return FRowSelecting; }

    // The pop-up menu (popup_menu.cpp): the editor's own one unless another is set.
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }

protected:
    void AfterConstruction() override;
    void DoChange() override;
    void DoDrawLine(const std::string& LineStr, int X, int Y, int Index, const TRect& ARect,
                    bool Selected) override;
    void DoTopRowChange() override;
    void DoTopColChange() override;
    void DoCaretMoved() override;
    // The editor's own pop-up menu.
    virtual std::unique_ptr<TPopupMenu> CreatePopupMenu();

private:
    // Caret helpers (caret.cpp).
    // CR LF for a raLineBreak row, else nothing: appended to a row's new text so that UpdateRows
    // keeps its line end.
    std::string_view LineBreakSuffix(int Row) const;
    // The first row an edit starting at Row may re-wrap: max(LineStartRow(Row), Row - 1).
    int EditFrame(int Row) const;
    void AdjustCol(bool Vertical, int Step);
    // The caret column is the second byte of a double-byte character, or inside a tab without
    // InTab: an edit changed the bytes under it.
    bool CaretInsideCharacter() const;
    void RememberCol(bool Vertical, int Col);
    // Puts the caret on the search hit or scrolls it into view (EM_SCROLLCARET).
    void ScrollCaret();

    // Mouse helpers (mouse.cpp).
    std::optional<std::intptr_t> MouseMessage(unsigned Msg, std::uintptr_t WParam,
                                              std::intptr_t LParam);
    // While a drag is pending or running, or the button is down: true when Msg is swallowed.
    bool FilteredWhileDragging(unsigned Msg, std::uintptr_t WParam);
    TShiftState MouseShift(std::uintptr_t WParam) const;
    void LeftButtonDown(TPoint Point, TShiftState Shift);
    void PointerMoved(TPoint Point, TShiftState Shift);
    void LeftButtonUp();
    void Drop();
    void CancelDrag();
    int ZoneAt(TPoint Point) const;
    // The cursor the window shows: a drag's own cursor while dragging, else Cursor.
    TCursor ShownCursor() const;
    bool LeftOfText(TPoint Point) const { return Point.X < GetTextLeft(); }
    bool AboveText(TPoint Point) const { return Point.Y < GetTextTop(); }
    bool FarFromPress(TPoint Point) const;
    // Moves the selection to (Row, Col) as one edit: MoveDrop's change.
    void MoveSelectionTo(int Row, int Col);
    void StartRowSelection(int Row);
    void MoveRowSelection(int Row);
    void ReanchorAtRowStart(int Row);

    // Token helpers (tokens.cpp).
    void NextTokenStop(int& Row, int& Col) const;
    void PreviousTokenStop(int& Row, int& Col) const;
    // The stop in Row's tokens right (Direction > 0) or left of Col; none when the row has none.
    std::optional<int> TokenStopInRow(int Row, int Col, int Direction) const;
    // The token of a document line under a client point; none when the point is on no token.
    std::optional<TLineToken> LineTokenAt(TPoint Point, bool UseFountain, bool UseRowState) const;

    // Editing helpers (editing.cpp).
    // Where the caret goes after an edit: Offset bytes from the start of Frame, the first row the
    // edit may re-wrap.
    struct TCaretTarget {
        int Frame = 0;
        int Offset = 0;
    };
    // Rows First..Last that are stored; none when First is the empty row after the text.
    int StoredRowsIn(int First, int Last) const;
    // The one change of an edit: rows First..Last become Text, then the caret goes to Target.
    void ReplaceRows(int First, int Last, std::string_view Text, TCaretTarget Target,
                     bool HideUnderline);
    void ReplaceAtCaret(const std::string& Text, bool HideUnderline);
    void ReplaceSelection(TEditorStringList& Rows, std::string_view Text, bool PadToPosition,
                          bool HideUnderline);
    void JoinWithRowAbove();
    void DeleteCharBeforeCaret();
    bool CaretInIndentation() const;
    int UnIndentTarget() const;
    void UnIndentAtCaret();
    void AppendLineBreak();
    void SplitSelection();
    int EnterIndentWidth(int LineStart, int Row, int Col, std::string_view FirstRowText) const;
    int PreviousLineIndent(int Row) const;
    int LeadingBlankWidth(std::string_view Text) const;
    std::string IndentString(int Width) const;
    std::string TextBeforeColumn(int Row, const TColumnStretch& Classes, int Col) const;
    int BoxStartByte(int Row, int Col) const;

    // Selection helpers (selection.cpp).
    void RepaintSelectionChange(const TSelectionRange& Old);
    void InvalidateCancelledSelection(const TSelectionRange& Old);
    // Character index of a byte of a row.
    std::int64_t IndexOfPosition(int Row, int Byte) const;
    // The first and last byte of Row inside the box columns; First > Last when none.
    std::pair<int, int> BoxBytes(int Row) const;
    void ShowHitCaret();

    // Keyboard (keyboard.cpp): key down, key up, characters and the input method's messages.
    // Answers 0.
    std::intptr_t KeyboardMessage(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam);
    TShiftState CurrentShiftState() const;
    void KeyDownMessage(std::uint16_t Key, std::intptr_t KeyData);
    void PrepareSelectionForCaretKey(bool Shifted);
    void RunKeyCommand(std::uint16_t Key, bool Ctrl);
    int PageRows() const;
    void PageScroll(int Delta);
    void CaretToRowEnd(bool Ctrl);
    void CaretToRowStart(bool Ctrl);
    void CaretLeft();
    void CaretRight();
    void CaretToToken(int Direction);
    int VerticalStep(bool Upwards) const;
    void CaretUp();
    void CaretDown();
    void ScrollViewUp();
    void ScrollViewDown();
    void DeleteKey();
    void KeyUpMessage(std::uint16_t Key);
    void CharMessage(char Ch);
    void TabKey();
    void TypeSingleByte(char Ch);
    void TypeDoubleByte(char Lead);
    void InsertImeResult();
    void ImeNotify(unsigned Notification);

    // Messages (editor_messages.cpp).
    std::intptr_t DialogCode() const;
    std::intptr_t GetText(std::uintptr_t Size, char* Buffer) const;
    std::intptr_t SetText(const char* Text);
    std::intptr_t GetSel(std::uint32_t* Start, std::uint32_t* End) const;
    void SetSel(std::int32_t A, std::int32_t B);
    std::intptr_t LineIndex(std::int32_t Row);
    std::intptr_t LineLength(std::int32_t Index);
    std::intptr_t GetLine(std::int32_t Row, char* Buffer) const;
    std::intptr_t LineFromChar(std::int32_t Index);
    std::intptr_t UndoMessage();
    void ClipboardMessage(unsigned Msg);
    std::intptr_t PosFromChar(std::int32_t Index);
    std::intptr_t CharFromPos(std::intptr_t Point);
    std::optional<std::intptr_t> EditMessage(unsigned Msg, std::uintptr_t WParam,
                                             std::intptr_t LParam);
    std::optional<std::intptr_t> TextMessage(unsigned Msg, std::uintptr_t WParam,
                                             std::intptr_t LParam);
    std::optional<std::intptr_t> LineMessage(unsigned Msg, std::uintptr_t WParam,
                                             std::intptr_t LParam);

    Clipboard* FClipboard = nullptr;
    std::unique_ptr<TPopupMenu> FOwnPopupMenu;
    TPopupMenu* FPopupMenu = nullptr;

    // Properties.
    bool FReadOnly = false;
    bool FWantReturns = true;
    bool FWantTabs = true;

    // Caret.
    int FRow = 0;
    int FCol = 0;
    int FRememberedCol = 0;
    bool FColRemembered = false;
    int FImeSkipCount = 0;

    // Selection.
    std::uint8_t FSelectionState = kSelectionNone;
    int FAnchorRow = 0;
    int FAnchorCol = 0;
    int FAnchorByte = 0;
    TSelectionRange FSelection;
    int FSelStartByte = 0;
    int FSelEndByte = -1;
    bool FBoxSelection = false;
    TSelectionRange FPaintedRange;
    int FHitLength = 0;
    bool FMakingHit = false;
    std::uint8_t FDragState = kDragNone;

    // Mouse.
    TPoint FMouseDownPoint;
    bool FLeftButtonPressed = false;
    bool FRowSelecting = false;
    int FRowSelAnchor = 0;
    int FRowSelCurrent = 0;
    bool FRowSelFromLastRow = false;
    int FCursorZone = -1;
};

} // namespace kst
