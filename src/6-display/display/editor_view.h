// The editor control's view: its settings objects, the row store it shows, geometry, scrolling,
// the system caret and painting. The caret position and the selection belong to the editor above
// (input/editor.h); the view reads them through the pure virtual functions below and asks the
// editor to place the caret through the caret functions of TEditorLink. Defined by concern:
// editor_view.cpp (construction, properties, the row store's change handler, focus, messages),
// view_geometry.cpp (geometry, scrolling, measuring rows), view_caret.cpp (the system caret) and
// editor_paint.cpp (drawing and repainting).
#pragma once

#include "core/notify.h"
#include "display/caret_options.h"
#include "display/token_checkpoints.h"
#include "display/view_settings.h"
#include "document/editor_link.h"
#include "document/editor_strings.h"
#include "document/row_index_cache.h"
#include "document/screen_strings.h"
#include "platform/dpi.h"
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

class TEditorView;
class TFountain;
class TFountainParser;
class TImageList;
struct WrapContext;

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

// SelectionState values.
constexpr std::uint8_t kSelectionNone = 0;
constexpr std::uint8_t kSelectionAnchored = 1;
constexpr std::uint8_t kSelectionSelected = 2;
constexpr std::uint8_t kSelectionHit = 3;

// Columns the horizontal scroll range spans at least; a longer row widens it.
constexpr int kMaxCol = 1000;

// The bytes of a row's drawn text (tabs expanded, a byte per column) that are drawn when no column
// past Limit is: all up to Limit, else Limit, or Limit + 1 when a double-byte character would be
// cut.
int DrawnLength(std::string_view Text, int Limit);

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
    explicit TEditorScreen(TEditorView& Editor) : FEditor(Editor) {}
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

    TEditorView& FEditor;
};

// What the image bar shows of a row's problems: none, a problem (red), only warnings (olive).
enum class TProblemMark : std::uint8_t { None, Problem, Warning };

class TEditorView : public TComponent, public TEditorLink {
public:
    TEditorView(TCreateKey Key, TPersistent* Owner);
    ~TEditorView() override;

    // Window

    // The window the editor lives in; null or a host without a window means nothing is measured,
    // scrolled or drawn. A host that already has its window is taken as a created window.
    void SetHost(EditorHost* Host);
    EditorHost* GetHost() const { return FHost; }
    bool HasWindow() const { return FHost != nullptr && FHost->HasWindow(); }
    // The window has just been created: measure, lay out, build the cached bitmaps.
    void HandleCreated();
    // A window message. An answer means the control handled it; none means the window system's
    // default handling applies. The view handles sizing, focus and the scroll bars.
    virtual std::optional<std::intptr_t> WndProc(unsigned Msg, std::uintptr_t WParam,
                                                 std::intptr_t LParam);
    // Paints Clip of the client area on Canvas (the window's WM_PAINT).
    void Paint(Surface& Canvas, const TRect& Clip);
    // The mark of a row's problems in the image bar, beside its row marks; asked while painting,
    // so that it only reads. None when unset.
    std::function<TProblemMark(int Row)> ProblemMarkOf;
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
    bool GetWordWrap() const;
    void SetWordWrap(bool Value);
    TEditorWrapOption& GetWrapOption() const;
    void SetWrapOption(const TEditorWrapOption& Value);

    bool GetModified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    const TCharSet& Delimiters() const override { return FDelimiters; }
    // The text's code page has changed: the word delimiters follow it (the text is read again in
    // it by the caller).
    void TextCodePageChanged() { InitDelimiters(FDelimiters); }
    std::shared_ptr<TEditorScreenStrings> GetScreenStringsPtr() const { return FScreenStrings; }

    // The caret and the selection, which the editor above owns: the view only reads them.
    virtual std::uint8_t GetSelectionState() const = 0;
    // The normalised range: rows, display columns (end exclusive).
    virtual const TSelectionRange& GetSelection() const = 0;
    virtual bool GetBoxSelection() const = 0;
    // Places the caret in column Col of the caret row.
    virtual void SetCol(int Col) = 0;

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
    // The last column of the scroll range: the longest row's, at least kMaxCol, at most
    // ColumnLimit().
    int GetMaxCol() const;
    // The farthest column whose pixels the view can still place.
    int ColumnLimit() const;
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
    // Point (client pixels) to caret position; Rounding puts the right half of a cell after it.
    TPoint PosToRowCol(TPoint Point, bool Rounding) const;
    // Rows before the first Rows rows that end a document line: line numbers of rows.
    int LineCountBefore(int Rows) const;

    void RecalcMetrics();
    void UpdateScrollBars();
    void Relayout() override;
    void LinesChanged() override;
    // Shows Other's text: leaves the own row store (freed when no editor is left) and joins
    // Other's.
    void AttachTo(TEditorView& Other);
    // The change handler of every settings object and of the fountain.
    void ViewChanged(TPersistent* Sender);
    // The window's screen has other dots per inch: the view is measured and drawn anew.
    void DpiChanged();
    // Pixels of the design, made for 96 dots per inch, on the window's screen: the settings'
    // margins, the bars, the ruler and the caret are sized so.
    int Scaled(int Pixels) const { return ScalePixels(Pixels, kDesignDpi, FDpi); }

    // The system caret (view_caret.cpp)

    virtual void RefreshCaret();
    void BeginCaretHide() override;
    void EndCaretHide() override;
    // The caret stays hidden while Suppressed (the input method's candidate list is open).
    void SetCaretSuppressed(bool Suppressed);
    virtual void BeginUnderlineHide();
    virtual void EndUnderlineHide();
    virtual bool CaretOutOfView() const;
    virtual void ScrollCaretIntoView();

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

    // What the view tells the editor above: the text changed (after Modified is set), a row was
    // drawn (the row as drawn, the x of column 0, the row's top, its index, the rectangle painted,
    // whether it was painted as selected), the view scrolled, the system caret moved.
    virtual void DoChange() {}
    virtual void DoDrawLine(const std::string&, int, int, int, const TRect&, bool) {}
    virtual void DoTopRowChange() {}
    virtual void DoTopColChange() {}
    virtual void DoCaretMoved() {}

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

    void InvalidateAll();
    // Repaints the image bar when it is shown.
    void InvalidateImagebar();
    TRect ClientRect() const;
    // Moves the input method's composition window to the caret, or once the key repeat ends.
    void MoveCompositionWindow();
    bool SomethingSelected() const;

    // Measuring rows (view_geometry.cpp), for the view and the editor above.
    WrapContext CurrentWrapContext() const;
    int RowCount() const;
    // A row's whole text; empty past the rows.
    std::string_view RowText(int Row) const;
    // A row's attribute; raNone past the rows.
    TRowAttribute RowAttributeOf(int Row) const;
    // The first Bytes of Row; empty past the rows.
    std::string_view MeasuredText(int Row, std::size_t Bytes) const;
    // The column classes of a row near column Col.
    TColumnStretch RowClasses(int Row, int Col) const;
    int RowWidth(int Row) const;
    // The last column the caret may take in a row of Width columns: past the end of a short row
    // (free caret), to the end of a long one.
    int LastCaretCol(int Width) const;
    int RowLength(int Row) const;
    int LastCaretRow() const;
    // Byte offset of display column Col in Row, not clamped to the row's length.
    int ByteOfCol(int Row, int Col) const;
    int ClampedByteOfCol(int Row, int Col) const;
    int ColOfByte(int Row, int Byte) const;

    // The system caret (view_caret.cpp).
    TPoint CaretPixel() const;
    void CreateCaretShape();
    // Creates the system caret in Size, unless it already exists in that size.
    void CreateSystemCaret(TSize Size);
    void PlaceSystemCaret();
    void ShowCaretIfAllowed();
    void HideSystemCaret();
    bool UnderlineShown() const;

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
    bool FModified = false;

    // Geometry.
    int FTopRow = 0;
    int FTopCol = 0;
    int FLeftOffset = 0;
    int FVisibleRows = 1;
    int FVisibleCols = 1;
    int FMaxTopRow = 0;
    int FFontHeight = 0;
    int FCharWidth = 1;
    int FRulerHeight = 0;
    int FImagebarWidth = 0;
    int FLeftbarDigits = 0;
    int FLeftbarWidth = 0;
    bool FItalicMode = false;
    // The dots per inch of the window's screen, taken when the view is measured.
    int FDpi = kDesignDpi;

    // The system caret.
    // Changes under way.
    int FCaretHideCount = 0;
    bool FCaretSuppressed = false;
    bool FCaretShown = false;
    bool FCaretCreated = false;
    TSize FCaretSize;
    int FUnderlineHideCount = 0;
    // While set, a caret move does not refresh the system caret: a change of several steps shows
    // it once at its end.
    bool FRefreshSuspended = false;
    // A key repeats: the composition window waits for the key's release.
    bool FKeyRepeating = false;
    bool FImePositionPending = false;

    mutable TRowIndexCache FRowIndex;
    TTokenCheckpoints FTokenCheckpoints;

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
    void ResetStartStates();
    void RebuildBitmapsFor(TPersistent* Sender);

    // Geometry helpers (view_geometry.cpp).
    int ComputeLeftbarDigits() const;
    int LeftbarWidthFor(int Digits) const;
    int ComputeVisibleRows() const;
    int ComputeVisibleCols() const;
    // The left bar's digits changed after an edit: it widens or narrows.
    void ApplyLeftbarDigits();
    bool ShowsScrollBar(TScrollBarKind Bar) const;
    void ShowChosenScrollBars();
    // Where the view stands along a scroll bar: the first row or column shown, a page, and the
    // last position.
    struct TScrollAxis {
        int Position = 0;
        int Page = 0;
        int Last = 0;
    };
    TScrollAxis ScrollAxisOf(TScrollBarKind Bar) const;
    // The rows or columns a scroll-bar request moves the view by.
    int ScrollDelta(TScrollBarKind Bar, unsigned Request) const;
    // Scrolls by Delta rows or columns, clamped to the scroll range.
    void ScrollBy(TScrollBarKind Bar, int Delta);
    void FocusReceived();
    void FocusLost();

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
