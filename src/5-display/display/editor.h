// The editor control. One class whose members are defined by concern: editor.cpp (construction,
// properties, geometry, scrolling, the row store's change handler, focus), editor_messages.cpp
// (the window messages) and editor_paint.cpp (drawing and repainting); the input folder holds the
// caret, the selection, editing, the keyboard, the mouse, tokens and the pop-up menu.
#pragma once

#include "core/menu.h"
#include "core/notify.h"
#include "core/search_options.h"
#include "display/caret_options.h"
#include "display/view_settings.h"
#include "document/editor_link.h"
#include "document/editor_strings.h"
#include "document/row_index_cache.h"
#include "document/screen_strings.h"
#include "platform/editor_host.h"
#include "platform/geometry.h"
#include "platform/surface.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kst {

class Clipboard;
class TEditor;
class TFountain;
class TFountainParser;
class TImageList;

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TBorderStyle : std::uint8_t { bsNone, bsSingle };

// The editor's font and text colour.
struct TEditorFont {
    std::string Name = "FixedSys";
    int Height = -11;
    std::uint8_t Charset = kDefaultCharset;
    TFontStyles Style;
    TColor Color = clBlack;

    TFontSpec Spec() const { return {Name, Height, Charset, Style}; }
    bool operator==(const TEditorFont&) const = default;
};

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

// SelectionState values.
constexpr std::uint8_t kSelectionNone = 0;
constexpr std::uint8_t kSelectionAnchored = 1;
constexpr std::uint8_t kSelectionSelected = 2;
constexpr std::uint8_t kSelectionHit = 3;

// DragState values: no drag, pressed inside the selection, dragging it.
constexpr std::uint8_t kDragNone = 0;
constexpr std::uint8_t kDragPressed = 1;
constexpr std::uint8_t kDragMoving = 2;

// Columns of a row the editor shows at most.
constexpr int kMaxCol = 1000;

// A token of a document line: the line's first row, the token's byte offset in the line, its text
// and kind.
struct TLineToken {
    int LineRow = 0;
    int Start = 0;
    std::string Text;
    int Kind = 0;
};

// The selection as rows and display columns (end column exclusive).
struct TSelectionRange {
    int StartRow = 0;
    int EndRow = 0;
    int StartCol = 0;
    int EndCol = 0;

    bool operator==(const TSelectionRange&) const = default;
};

// How DrawTextAt writes a run.
struct TTextLook {
    TColor Color = clBlack;
    TColor BkColor = clWhite;
    TFontStyles Style;
    bool Opaque = true;

    bool operator==(const TTextLook&) const = default;
};

// Repaints what an edit changed: the changed rows are invalidated and the rows below them are moved
// by scrolling the window's pixels.
class TEditorScreen {
public:
    explicit TEditorScreen(TEditor& Editor) : FEditor(Editor) {}
    TEditorScreen(const TEditorScreen&) = delete;
    TEditorScreen& operator=(const TEditorScreen&) = delete;
    virtual ~TEditorScreen() = default;

    // After an edit that the row store recorded in Info.
    virtual void Update(const TUpdateInfo& Info);
    // The left bar was OldWidth pixels wide and now has another width: the text area moves
    // sideways by the difference and the uncovered strips are repainted.
    virtual void LeftbarWidthChanged(int OldWidth);

protected:
    // The left bar's numbers from row End down, when the edit changed them.
    void InvalidateLeftbarNumbers(int End, bool RowCountChanged);

    TEditor& FEditor;
};

class TEditor : public TComponent, public TEditorLink {
public:
    TEditor(TCreateKey Key, TPersistent* Owner);
    ~TEditor() override;

    const char* ClassName() const override { return "TEditor"; }

    // Window

    // The window the editor lives in; null or a host without a window means nothing is measured,
    // scrolled or drawn. A host that already has its window is taken as a created window.
    void SetHost(EditorHost* Host);
    EditorHost* GetHost() const { return FHost; }
    bool HasWindow() const { return FHost != nullptr && FHost->HasWindow(); }
    // The window has just been created: measure, lay out, build the cached bitmaps.
    void HandleCreated();
    // A window message. An answer means the editor handled it; none means the window system's
    // default handling applies. Text travels as CP932 bytes, positions count CP932 bytes with
    // CR LF as 2.
    std::optional<std::intptr_t> WndProc(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam);
    // Paints Clip of the client area on Canvas (the window's WM_PAINT).
    void Paint(Surface& Canvas, const TRect& Clip);
    // The surface being painted on during Paint and OnDrawLine; null otherwise.
    Surface* GetCanvas() const { return FCanvas; }

    // Properties are read by a loader between BeginLoading and Loaded.
    void BeginLoading() { FLoading = true; }
    void Loaded();

    // Properties

    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    bool GetTabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    const TEditorFont& GetFont() const { return FFont; }
    void SetFont(const TEditorFont& Value);

    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TEditorCaret& GetCaret() const { return *FCaret; }
    void SetCaret(const TEditorCaret& Value) { FCaret->Assign(Value); }
    TFountain* GetFountain() const { return FFountain; }
    void SetFountain(TFountain* Value);
    // Fountain when set, else the view's own fountain.
    TFountain& EffectiveFountain() const override;
    TEditorHitStyle GetHitStyle() const { return FHitStyle; }
    void SetHitStyle(TEditorHitStyle Value);
    TEditorImagebar& GetImagebar() const { return *FImagebar; }
    void SetImagebar(const TEditorImagebar& Value) { FImagebar->Assign(Value); }
    // Images of the digit marks 0..9 and of the marks 10..15; unset or missing images are drawn
    // from the built-in ones.
    TImageList* GetImageDigits() const { return FImageDigits; }
    void SetImageDigits(TImageList* Value) { ReplaceImageList(FImageDigits, Value); }
    TImageList* GetImageMarks() const { return FImageMarks; }
    void SetImageMarks(TImageList* Value) { ReplaceImageList(FImageMarks, Value); }
    TEditorStrings& GetLines() const { return *FLines; }
    void SetLines(const TStrings& Value);
    TEditorMarks& GetMarks() const { return *FMarks; }
    void SetMarks(const TEditorMarks& Value) { FMarks->Assign(Value); }
    TEditorMargin& GetMargin() const { return *FMargin; }
    void SetMargin(const TEditorMargin& Value) { FMargin->Assign(Value); }
    TEditorLeftbar& GetLeftbar() const { return *FLeftbar; }
    void SetLeftbar(const TEditorLeftbar& Value) { FLeftbar->Assign(Value); }
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TStringList& GetReserveWordList() const;
    void SetReserveWordList(const TStrings& Value);
    TEditorRuler& GetRuler() const { return *FRuler; }
    void SetRuler(const TEditorRuler& Value) { FRuler->Assign(Value); }
    TScrollStyle GetScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TEditorSpeed& GetSpeed() const { return *FSpeed; }
    void SetSpeed(const TEditorSpeed& Value) { FSpeed->Assign(Value); }
    int GetUndoListMax() const;
    void SetUndoListMax(int Value);
    TEditorViewInfo& GetView() const { return *FView; }
    void SetView(const TEditorViewInfo& Value) { FView->Assign(Value); }
    bool GetWantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool GetWantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool GetWordWrap() const;
    void SetWordWrap(bool Value);
    TEditorWrapOption& GetWrapOption() const;
    void SetWrapOption(const TEditorWrapOption& Value);

    bool GetModified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    const TCharSet& Delimiters() const override { return FDelimiters; }
    std::shared_ptr<TEditorScreenStrings> GetScreenStringsPtr() const { return FScreenStrings; }

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

    // Geometry

    int GetTopRow() const override { return FTopRow; }
    // Clamps to 0..row count; with a window scrolls the pixels by at most a screen.
    void SetTopRow(int Row) override;
    int GetTopCol() const { return FTopCol; }
    void SetTopCol(int Col);
    int GetLeftOffset() const { return FLeftOffset; }
    int GetVisibleRows() const { return FVisibleRows; }
    int GetVisibleCols() const { return FVisibleCols; }
    int GetMaxTopRow() const { return FMaxTopRow; }
    int GetMaxCol() const { return FMaxCol; }
    int GetFontHeight() const { return FFontHeight; }
    int GetCharWidth() const { return FCharWidth; }
    int GetRowHeight() const;
    int GetRulerHeight() const { return FRulerHeight; }
    int GetImagebarWidth() const { return FImagebarWidth; }
    int GetLeftbarDigits() const { return FLeftbarDigits; }
    int GetLeftbarWidth() const { return FLeftbarWidth; }
    int GetTextTop() const;
    int GetTextLeft() const;
    bool GetItalicMode() const { return FItalicMode; }
    // Top of Row's cell in client pixels, and the x of a display column.
    int RowTop(int Row) const;
    int ColumnLeft(int Col) const;

    void RecalcMetrics();
    void UpdateScrollBars();
    void Relayout() override;
    void LinesChanged() override;
    // Shows Other's text: leaves the own row store (freed when no editor is left) and joins
    // Other's.
    void AttachTo(TEditor& Other);
    // The change handler of every settings object and of the fountain.
    void ViewChanged(TPersistent* Sender);

    // Caret (input/caret.cpp)

    int GetRow() const override { return FRow; }
    int GetCol() const override { return FCol; }
    void SetRow(int Row) override;
    void SetCol(int Col);
    void SetRowCol(int Row, int Col) override;
    virtual void RefreshCaret();
    void BeginCaretHide() override;
    void EndCaretHide() override;
    virtual void BeginUnderlineHide();
    virtual void EndUnderlineHide();
    virtual bool CaretOutOfView() const;
    virtual void ScrollCaretIntoView();
    // Point (client pixels) to caret position; Rounding puts the right half of a cell after it.
    TPoint PosToRowCol(TPoint Point, bool Rounding) const;
    // Rows before the first Rows rows that end a document line: line numbers of rows.
    int LineCountBefore(int Rows) const;

    // Offsets (input/selection.cpp): every line break counts 2 bytes.

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

    // Selection (input/selection.cpp)

    std::uint8_t GetSelectionState() const { return FSelectionState; }
    // The normalised range: rows, display columns (end exclusive), bytes (end inclusive).
    const TSelectionRange& GetSelection() const { return FSelection; }
    int GetSelStartByte() const { return FSelStartByte; }
    int GetSelEndByte() const { return FSelEndByte; }
    bool GetBoxSelection() const { return FBoxSelection; }
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

    // Editing (input/editing.cpp). Each change of text is one UpdateRows and one undo step.

    // Inserts typed text at the caret, replacing a selection.
    void InsertText(std::string_view Text);
    // Replaces the selection, or inserts at the caret; nothing when ReadOnly.
    void SetSelTextBuf(std::string_view Text);
    void SetSelText(std::string_view Text) { SetSelTextBuf(Text); }
    // Inserts Text's lines as a rectangle at the caret or over the selection.
    void SetSelTextBox(std::string_view Text);
    void DeleteSelection();
    void ClearSelection() { DeleteSelection(); }
    // The editing keys: Backspace, Delete, Enter (OpenLineAbove for Shift+Enter) and Tab.
    void BackSpaceAtCaret();
    void DeleteAtCaret();
    void EnterAtCaret(bool OpenLineAbove);
    void TabAtCaret();
    void SelectAll();
    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();

    // Clipboard (input/editing.cpp)

    // The clipboard the editor copies to and pastes from; none means nothing is copied or pasted.
    Clipboard* GetClipboard() const { return FClipboard; }
    void SetClipboard(Clipboard* Value) { FClipboard = Value; }
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // Pastes the clipboard text as a rectangle, whatever its origin.
    void PasteBoxFromClipboard();

    // Tokens and row marks (input/tokens.cpp)

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

    // Search (input/editor_search.cpp)

    // Finds Pattern from the selection, the hit or the caret in the direction Options give, puts
    // the caret on the hit and shows it as HitStyle says; false when there are no rows or no hit.
    bool SearchText(std::string_view Pattern, TSearchOptions Options);

    // Mouse (input/mouse.cpp)

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

    // The pop-up menu (input/popup_menu.cpp): the editor's own one unless another is set.
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }

    // Painting (editor_paint.cpp)

    void InvalidateRow(int Row) override;
    // Rows FromRow..ToRow clipped to the visible ones, whole width; painted at once.
    void InvalidateRows(int FromRow, int ToRow);
    void InvalidateLeftbar(int FromRow, int ToRow);
    // Scrolls the text area, or the image bar, from FromRow by Delta rows (clipped to a screen).
    void ScrollRows(int FromRow, int Delta);
    void ScrollImagebarRows(int FromRow, int Delta);
    void DrawRulerMark(int Col);
    void EraseRulerMark(int Col);
    void DrawUnderline(int Row);
    void EraseUnderline(int Row);
    // Cached bitmaps: all of them once the window exists, and the ones each setting affects.
    void BuildBitmaps();
    void RebuildLeftbarEdge();
    void RebuildBackground();
    void RebuildRulerBitmaps();

    // TEditorLink
    TEditorScreenStrings& ScreenStrings() override { return *FScreenStrings; }
    bool Focused() const override;
    int TabSpaceCount() const override;
    int ScreenRows() const override { return FVisibleRows; }
    bool InitBracketsFull() const override;
    void BeginLinesUpdate() override;
    void EndLinesUpdate() override;
    bool IsLoading() const override { return FLoading; }
    bool IsDestroying() const override { return FDestroying; }
    // Inside a Lines update bracket: redrawing is off.
    bool IsUpdating() const { return FUpdating; }

protected:
    void AfterConstruction() override;

    // Factories of the owned objects, called by the construction in this order.
    virtual std::shared_ptr<TEditorScreenStrings> CreateScreenStrings();
    virtual std::unique_ptr<TEditorStrings> CreateLines();
    virtual std::unique_ptr<TEditorScreen> CreateEditorScreen();
    virtual std::unique_ptr<TEditorViewInfo> CreateViewInfo();
    virtual std::unique_ptr<TEditorCaret> CreateCaretOptions();
    virtual std::unique_ptr<TEditorMarks> CreateMarks();
    virtual std::unique_ptr<TEditorMargin> CreateMargin();
    virtual std::unique_ptr<TEditorImagebar> CreateImagebar();
    virtual std::unique_ptr<TEditorLeftbar> CreateLeftbar();
    virtual std::unique_ptr<TEditorRuler> CreateRuler();
    virtual std::unique_ptr<TEditorSpeed> CreateSpeed();
    virtual void InitDelimiters(TCharSet& Delimiters);
    // The editor's own pop-up menu, made by the input layer.
    virtual std::unique_ptr<TPopupMenu> CreatePopupMenu();

    // Painting steps (editor_paint.cpp).
    void PaintRow(const TRect& Rect, int X0, TFountainParser& Parser, int Row,
                  std::string_view Text, int Y);
    void PaintRowSelected(const TRect& Rect, int X0, TFountainParser& Parser, int Row,
                          std::string_view Text, int Y);
    void PaintRowWithSelection(const TRect& Rect, int X0, TFountainParser& Parser, int Row,
                               std::string_view Text, int Y);
    void PaintLeftbar(int FromRow, int ToRow);
    void PaintImagebar(int FromRow, int ToRow);
    void PaintRuler();
    void DrawTextAt(const TRect& Rect, int X, int Y, std::string_view Text, const TTextLook& Look);
    void DrawEofMark(int X, int Y, bool Selected);
    void DrawRetMark(int X, int Y, bool Selected);
    void DrawWrapMark(int X, int Y, bool Selected);
    void DrawHideMark(int X, int Y, bool Selected);

private:
    // Painting helpers (editor_paint.cpp).
    TColor BackgroundOf(TColor Color) const;
    TColor ForegroundOf(TColor Color) const;
    TTextLook DefaultLook() const;
    TTextLook SelectionLook() const;
    TTextLook TokenLook(const TFountainColor* Color, const TTextLook& RowLook, bool Selected) const;
    bool CanDraw() const;
    // The paint's canvas during Paint, else the window's own surface.
    Surface& PaintSurface() const;
    void PaintAreas(const TRect& Clip);
    void PaintTextRows(const TRect& Area, int FirstRow, int LastRow);
    void PaintRowPastEnd(const TRect& Rect, int X0, int Row);
    void PaintRowAs(const TRect& Rect, int X0, TFountainParser& Parser, int Row,
                    std::string_view Text, int Y, bool Selected);
    std::string DrawnLine(int Row, std::string_view Text) const;
    void DrawTokens(const TRect& Rect, int X0, TFountainParser& Parser, int Row,
                    std::string_view Text, std::string_view Line, int Y, const TTextLook& RowLook,
                    bool Selected);
    void DrawEndMark(const TRect& Rect, int X0, int Row, std::string_view Text, int Y,
                     bool Selected);
    int SelectionEdgeX(std::string_view Text, int Col) const;
    void DrawDottedUnderline(const TRect& Rect, int X, int Y, int Columns, const TTextLook& Look);
    TColor MarkColorOf(const TEditorMark& Mark, bool Selected) const;
    void DrawUnderlineIn(int Row, TColor Color);
    std::optional<int> LeftbarIndex(int Row, int Line) const;
    void RenderRulerImages();
    void RenderGauge(Surface& Gauge) const;
    void CopyRulerCell(int Col, const Surface* Source);
    std::unique_ptr<Surface> NewBitmap(TSize Size) const;
    TRect VisibleRowsRect(int FromRow, int ToRow, int Left, int Right) const;
    void ScrollRowPixels(int FromRow, int Delta, int Left, int Right);

    void CreateOwnedObjects();
    void BindViewChanged(TNotifyPersistent& Settings);
    void FountainDestroyed(TPersistent* Sender);
    void ReplaceImageList(TImageList*& Field, TImageList* Value);
    void ImageListDestroyed(TPersistent* Sender);
    void InvalidateImagebar();
    void ResetStartStates();
    void InvalidateAll();
    void RebuildBitmapsFor(TPersistent* Sender);

    // Geometry helpers.
    int ComputeLeftbarDigits() const;
    int LeftbarWidthFor(int Digits) const;
    int ComputeVisibleRows() const;
    int ComputeVisibleCols() const;
    // The left bar's digits changed after an edit: it widens or narrows.
    void ApplyLeftbarDigits();
    bool ShowsScrollBar(TScrollBarKind Bar) const;
    void ShowChosenScrollBars();
    TRect ClientRect() const;
    void MoveCompositionWindow();
    void ScrollVertically(int Delta);
    void ScrollHorizontally(int Delta);
    int VerticalScrollDelta(unsigned Request) const;
    int HorizontalScrollDelta(unsigned Request, unsigned ThumbPosition) const;
    void FocusReceived();
    void FocusLost();

    // Row and column helpers (input/caret.cpp), shared by the input files.
    WrapContext CurrentWrapContext() const;
    int RowCount() const;
    // A row's whole text; empty past the rows.
    std::string_view RowText(int Row) const;
    // A row's attribute; raNone past the rows.
    TRowAttribute RowAttributeOf(int Row) const;
    // CR LF for a raLineBreak row, else nothing: appended to a row's new text so that UpdateRows
    // keeps its line end.
    std::string_view LineBreakSuffix(int Row) const;
    // The first row an edit starting at Row may re-wrap: max(LineStartRow(Row), Row - 1).
    int EditFrame(int Row) const;
    // The first Bytes of Row, at most as many as caret columns need; empty past the rows.
    std::string_view MeasuredText(int Row, std::size_t Bytes) const;
    // The class string of a row (one class per display column) up to the last caret column.
    std::string RowClasses(int Row) const;
    int RowWidth(int Row) const;
    int RowLength(int Row) const;
    int LastCaretRow() const;
    // Byte offset of display column Col in Row, not clamped to the row's length.
    int ByteOfCol(int Row, int Col) const;
    int ClampedByteOfCol(int Row, int Col) const;
    int ColOfByte(int Row, int Byte) const;
    void AdjustCol(bool Vertical, int Step);
    // The caret column is the second byte of a double-byte character, or inside a tab without
    // InTab: an edit changed the bytes under it.
    bool CaretInsideCharacter() const;
    void RememberCol(bool Vertical, int Col);
    TPoint CaretPixel() const;
    void CreateCaretShape();
    // Creates the system caret in Size, unless it already exists in that size.
    void CreateSystemCaret(TSize Size);
    void PlaceSystemCaret();
    void ShowCaretIfAllowed();
    void HideSystemCaret();
    bool UnderlineShown() const;

    // Mouse helpers (input/mouse.cpp).
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
    void StartRowSelection(int Row);
    void MoveRowSelection(int Row);
    void ReanchorAtRowStart(int Row);

    // Token helpers (input/tokens.cpp).
    void NextTokenStop(int& Row, int& Col) const;
    void PreviousTokenStop(int& Row, int& Col) const;
    // The stop in Row's tokens right (Direction > 0) or left of Col; none when the row has none.
    std::optional<int> TokenStopInRow(int Row, int Col, int Direction) const;
    // The token of a document line under a client point; none when the point is on no token.
    std::optional<TLineToken> LineTokenAt(TPoint Point, bool UseFountain, bool UseRowState) const;

    // Editing helpers (input/editing.cpp).
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
    std::string TextBeforeColumn(int Row, const std::string& Classes, int Col) const;
    int BoxStartByte(int Row, int Col) const;

    // Selection helpers (input/selection.cpp).
    void RepaintSelectionChange(const TSelectionRange& Old);
    void InvalidateCancelledSelection(const TSelectionRange& Old);
    bool SomethingSelected() const;
    // Character index of a byte of a row.
    std::int64_t IndexOfPosition(int Row, int Byte) const;
    // The first and last byte of Row inside the box columns; First > Last when none.
    std::pair<int, int> BoxBytes(int Row) const;
    void ShowHitCaret();

    // Keyboard (input/keyboard.cpp): key down, key up, characters and the input method's
    // messages. Answers 0.
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
    void ScrollCaret();
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

    EditorHost* FHost = nullptr;
    Surface* FCanvas = nullptr;
    bool FLoading = false;
    bool FDestroying = false;
    bool FUpdating = false;

    // Owned objects.
    std::shared_ptr<TEditorScreenStrings> FScreenStrings;
    std::unique_ptr<TEditorStrings> FLines;
    std::unique_ptr<TEditorScreen> FScreen;
    std::unique_ptr<TEditorViewInfo> FView;
    std::unique_ptr<TEditorCaret> FCaret;
    std::unique_ptr<TEditorMarks> FMarks;
    std::unique_ptr<TEditorMargin> FMargin;
    std::unique_ptr<TEditorImagebar> FImagebar;
    std::unique_ptr<TEditorLeftbar> FLeftbar;
    std::unique_ptr<TEditorRuler> FRuler;
    std::unique_ptr<TEditorSpeed> FSpeed;
    TCharSet FDelimiters;
    TFountain* FFountain = nullptr;
    TImageList* FImageDigits = nullptr;
    TImageList* FImageMarks = nullptr;
    Clipboard* FClipboard = nullptr;
    std::unique_ptr<TPopupMenu> FOwnPopupMenu;
    TPopupMenu* FPopupMenu = nullptr;

    // Properties.
    int FWidth = 185;
    int FHeight = 89;
    TCursor FCursor = crIBeam;
    bool FTabStop = true;
    TColor FColor = clWhite;
    TEditorFont FFont;
    TBorderStyle FBorderStyle = bsSingle;
    TScrollStyle FScrollBars = ssNone;
    TEditorHitStyle FHitStyle = hsSelect;
    bool FReadOnly = false;
    bool FWantReturns = true;
    bool FWantTabs = true;
    bool FModified = false;

    // Geometry.
    int FTopRow = 0;
    int FTopCol = 0;
    int FLeftOffset = 0;
    int FVisibleRows = 1;
    int FVisibleCols = 1;
    int FMaxTopRow = 0;
    int FMaxCol = kMaxCol;
    int FFontHeight = 0;
    int FCharWidth = 1;
    int FRulerHeight = 0;
    int FImagebarWidth = 0;
    int FLeftbarDigits = 0;
    int FLeftbarWidth = 0;
    bool FItalicMode = false;

    // Caret.
    int FRow = 0;
    int FCol = 0;
    int FCaretHideCount = 0;
    bool FCaretShown = false;
    bool FCaretCreated = false;
    TSize FCaretSize;
    int FUnderlineHideCount = 0;
    bool FRefreshSuspended = false;
    int FRememberedCol = 0;
    bool FColRemembered = false;
    bool FKeyRepeating = false;
    bool FImePositionPending = false;
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

    mutable TRowIndexCache FRowIndex;

    // Cached bitmaps (editor_paint.cpp builds them once the window exists).
    std::unique_ptr<Surface> FLeftbarEdgeBitmap;
    std::unique_ptr<Surface> FBackgroundBitmap;
    std::unique_ptr<Surface> FRulerEdgeBitmap;
    std::unique_ptr<Surface> FGaugeBitmap;
    std::unique_ptr<Surface> FRulerBitmap;
    std::unique_ptr<Surface> FRulerMarkBitmap;
    std::unique_ptr<Surface> FRulerGlyphBitmap;
    std::unique_ptr<Surface> FMarkGlyphBitmap;
};

} // namespace kst
