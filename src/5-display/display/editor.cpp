#include "display/editor.h"

#include "display/image_list.h"
#include "fountain/fountain.h"

#include <algorithm>
#include <cstdlib>

namespace kst {

namespace {

constexpr int kRulerHeightWithEdge = 11;
constexpr int kRulerHeightPlain = 10;
constexpr int kLeftbarEdgeWidth = 2;
constexpr int kMaxLeftbarDigits = 8;
// Pixels below the last whole row that the row count leaves free.
constexpr int kBottomSlack = 5;

int DecimalDigits(int Value) {
    int digits = 1;
    for (; Value >= 10; Value /= 10) {
        ++digits;
    }
    return digits;
}

} // namespace

TEditor::TEditor(TCreateKey Key, TPersistent* Owner) : TComponent(Key, Owner) {}

TEditor::~TEditor() {
    FDestroying = true;
    SetFountain(nullptr);
    SetImageDigits(nullptr);
    SetImageMarks(nullptr);
    FScreen.reset();
    FView.reset();
    if (FScreenStrings) {
        FScreenStrings->RemoveEditor(this);
        FScreenStrings.reset();
    }
    FLines.reset();
    FCaret.reset();
    FMarks.reset();
    FMargin.reset();
    FImagebar.reset();
    FLeftbar.reset();
    FRuler.reset();
    FSpeed.reset();
}

void TEditor::AfterConstruction() {
    TComponent::AfterConstruction();
    InitDelimiters(FDelimiters);
    CreateOwnedObjects();
}

void TEditor::CreateOwnedObjects() {
    FScreenStrings = CreateScreenStrings();
    FScreenStrings->AddEditor(this);
    FLines = CreateLines();
    FScreen = CreateEditorScreen();
    FView = CreateViewInfo();
    BindViewChanged(*FView);
    FCaret = CreateCaretOptions();
    BindViewChanged(*FCaret);
    FMarks = CreateMarks();
    BindViewChanged(*FMarks);
    FMargin = CreateMargin();
    BindViewChanged(*FMargin);
    FImagebar = CreateImagebar();
    BindViewChanged(*FImagebar);
    FLeftbar = CreateLeftbar();
    BindViewChanged(*FLeftbar);
    FRuler = CreateRuler();
    BindViewChanged(*FRuler);
    FSpeed = CreateSpeed();
    FOwnPopupMenu = CreatePopupMenu();
    FPopupMenu = FOwnPopupMenu.get();
}

void TEditor::BindViewChanged(TNotifyPersistent& Settings) {
    Settings.OnChange = [this](TPersistent* Sender) { ViewChanged(Sender); };
}

// Factories

std::shared_ptr<TEditorScreenStrings> TEditor::CreateScreenStrings() {
    return std::make_shared<TEditorScreenStrings>();
}

std::unique_ptr<TEditorStrings> TEditor::CreateLines() {
    return std::make_unique<TEditorStrings>(*this);
}

std::unique_ptr<TEditorScreen> TEditor::CreateEditorScreen() {
    return std::make_unique<TEditorScreen>(*this);
}

std::unique_ptr<TEditorViewInfo> TEditor::CreateViewInfo() {
    return MakeViewInfo<TEditorViewInfo>();
}

std::unique_ptr<TEditorCaret> TEditor::CreateCaretOptions() {
    return std::make_unique<TEditorCaret>();
}

std::unique_ptr<TEditorMarks> TEditor::CreateMarks() {
    return std::make_unique<TEditorMarks>();
}

std::unique_ptr<TEditorMargin> TEditor::CreateMargin() {
    return std::make_unique<TEditorMargin>();
}

std::unique_ptr<TEditorImagebar> TEditor::CreateImagebar() {
    return std::make_unique<TEditorImagebar>();
}

std::unique_ptr<TEditorLeftbar> TEditor::CreateLeftbar() {
    return std::make_unique<TEditorLeftbar>();
}

std::unique_ptr<TEditorRuler> TEditor::CreateRuler() {
    return std::make_unique<TEditorRuler>();
}

std::unique_ptr<TEditorSpeed> TEditor::CreateSpeed() {
    return std::make_unique<TEditorSpeed>();
}

void TEditor::InitDelimiters(TCharSet& Delimiters) {
    Delimiters = DefaultDelimiters();
}

// Window

void TEditor::SetHost(EditorHost* Host) {
    FHost = Host;
    FCaretCreated = false;
    FCaretShown = false;
    if (HasWindow()) {
        HandleCreated();
    }
}

void TEditor::HandleCreated() {
    FHost->SetBorder(FBorderStyle == bsSingle);
    ShowChosenScrollBars();
    RecalcMetrics();
    UpdateScrollBars();
    BuildBitmaps();
}

void TEditor::Loaded() {
    FLoading = false;
    if (GetWordWrap()) {
        ScreenStrings().WrapAll();
    }
    ResetStartStates();
    FModified = false;
}

void TEditor::ResetStartStates() {
    ScreenStrings().InitStartStates();
}

void TEditor::InvalidateAll() {
    if (HasWindow() && !FDestroying) {
        FHost->InvalidateAll();
    }
}

TRect TEditor::ClientRect() const {
    const TSize size = FHost->ClientSize();
    return {0, 0, size.Width, size.Height};
}

// Properties

void TEditor::SetCursor(TCursor Value) {
    FCursor = Value;
    if (HasWindow()) {
        FHost->SetCursor(Value);
    }
}

void TEditor::SetColor(TColor Value) {
    if (Value == FColor) {
        return;
    }
    FColor = Value;
    if (HasWindow()) {
        RebuildRulerBitmaps();
        RebuildBackground();
        InvalidateAll();
    }
}

void TEditor::SetFont(const TEditorFont& Value) {
    if (Value == FFont) {
        return;
    }
    FFont = Value;
    if (!HasWindow()) {
        return;
    }
    if (FTopCol > 0) {
        SetCol(0);
    }
    RecalcMetrics();
    UpdateScrollBars();
    RebuildRulerBitmaps();
    RebuildBackground();
    if (Focused()) {
        CreateCaretShape();
        PlaceSystemCaret();
        ShowCaretIfAllowed();
    }
    InvalidateAll();
}

void TEditor::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    if (HasWindow()) {
        FHost->SetBorder(Value == bsSingle);
    }
}

TFountain& TEditor::EffectiveFountain() const {
    return FFountain != nullptr ? *FFountain : FView->GetFountain();
}

void TEditor::SetFountain(TFountain* Value) {
    if (Value == FFountain) {
        return;
    }
    const TNotifyMethod changed = MakeNotifyMethod<&TEditor::ViewChanged>(this);
    const TNotifyMethod destroyed = MakeNotifyMethod<&TEditor::FountainDestroyed>(this);
    if (FFountain != nullptr) {
        FFountain->GetNotifyEventList().Remove(changed);
        FFountain->RemoveFreeNotification(destroyed);
    }
    if (Value != nullptr) {
        Value->GetNotifyEventList().Add(changed);
        Value->FreeNotification(destroyed);
    }
    FFountain = Value;
    ResetStartStates();
    InvalidateAll();
}

// The fountain is being destroyed: only its identity may be used now.
void TEditor::FountainDestroyed(TPersistent* Sender) {
    if (Sender != FFountain) {
        return;
    }
    FFountain = nullptr;
    ResetStartStates();
    InvalidateAll();
}

void TEditor::ReplaceImageList(TImageList*& Field, TImageList* Value) {
    if (Value == Field) {
        return;
    }
    const TNotifyMethod destroyed = MakeNotifyMethod<&TEditor::ImageListDestroyed>(this);
    if (Field != nullptr) {
        Field->RemoveFreeNotification(destroyed);
    }
    if (Value != nullptr) {
        Value->FreeNotification(destroyed);
    }
    Field = Value;
    InvalidateImagebar();
}

// A list is being destroyed: only its identity may be used now. One list may serve both kinds.
void TEditor::ImageListDestroyed(TPersistent* Sender) {
    if (Sender != FImageDigits && Sender != FImageMarks) {
        return;
    }
    if (Sender == FImageDigits) {
        FImageDigits = nullptr;
    }
    if (Sender == FImageMarks) {
        FImageMarks = nullptr;
    }
    InvalidateImagebar();
}

void TEditor::InvalidateImagebar() {
    if (FImagebar->GetVisible()) {
        InvalidateAll();
    }
}

void TEditor::SetHitStyle(TEditorHitStyle Value) {
    if (Value == FHitStyle) {
        return;
    }
    CancelSelection();
    FHitStyle = Value;
}

void TEditor::SetLines(const TStrings& Value) {
    FLines->Assign(Value);
    ScreenStrings().RelayoutEditors();
}

void TEditor::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (Value && FSelectionState == kSelectionSelected) {
        SetCursor(FCaret->GetCursors().GetDefaultCursor());
    }
}

TStringList& TEditor::GetReserveWordList() const {
    return FView->GetFountain().GetReserveWordList();
}

// The view reports the fountain's change, which resets the parse state and repaints.
void TEditor::SetReserveWordList(const TStrings& Value) {
    if (GetReserveWordList().GetTextStr() != Value.GetTextStr()) {
        FView->GetFountain().SetReserveWordList(Value);
    }
}

void TEditor::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    if (HasWindow()) {
        ShowChosenScrollBars();
        RecalcMetrics();
        UpdateScrollBars();
    }
}

int TEditor::GetUndoListMax() const {
    return FScreenStrings->GetUndoObj().GetUndoListMax();
}

void TEditor::SetUndoListMax(int Value) {
    ScreenStrings().GetUndoObj().SetUndoListMax(Value);
}

bool TEditor::GetWordWrap() const {
    return FScreenStrings->GetWordWrap();
}

void TEditor::SetWordWrap(bool Value) {
    ScreenStrings().SetWordWrap(Value);
}

TEditorWrapOption& TEditor::GetWrapOption() const {
    return FScreenStrings->GetWrapOption();
}

void TEditor::SetWrapOption(const TEditorWrapOption& Value) {
    GetWrapOption().Assign(Value);
}

// Geometry

int TEditor::GetRowHeight() const {
    return FFontHeight + FMargin->GetLine() + FMargin->GetUnderlinePixel();
}

int TEditor::GetTextTop() const {
    return FMargin->GetTop() + FRulerHeight;
}

int TEditor::GetTextLeft() const {
    return FMargin->GetLeft() + FImagebarWidth + FLeftbarWidth;
}

int TEditor::RowTop(int Row) const {
    return GetTextTop() + (Row - FTopRow) * GetRowHeight();
}

int TEditor::ColumnLeft(int Col) const {
    return GetTextLeft() + (Col - FTopCol) * FCharWidth;
}

bool TEditor::ShowsScrollBar(TScrollBarKind Bar) const {
    if (Bar == TScrollBarKind::Vertical) {
        return FScrollBars == ssVertical || FScrollBars == ssBoth;
    }
    return FScrollBars == ssHorizontal || FScrollBars == ssBoth;
}

void TEditor::ShowChosenScrollBars() {
    for (const TScrollBarKind bar : {TScrollBarKind::Horizontal, TScrollBarKind::Vertical}) {
        FHost->ShowScrollBar(bar, ShowsScrollBar(bar));
    }
}

// The highest number the left bar shows decides its digits: the last row (or its document line),
// one more when an empty line follows it, one more unless counting from 0.
int TEditor::ComputeLeftbarDigits() const {
    const int column = FLeftbar->GetColumn();
    if (!HasWindow() || !FLeftbar->GetVisible() || !FLeftbar->GetShowNumber()) {
        return column;
    }
    const TEditorScreenStrings& rows = *FScreenStrings;
    const int last = rows.GetCount() - 1;
    int highest = last;
    if (last >= 0 && FLeftbar->GetShowNumberMode() == nmLine) {
        highest = rows.LineOfRow(last);
    }
    if (last < 0 || rows.GetRowAttribute(last) != raEndOfText) {
        ++highest;
    }
    if (!FLeftbar->GetZeroBase()) {
        ++highest;
    }
    return std::min(kMaxLeftbarDigits, std::max(column, DecimalDigits(std::max(0, highest))));
}

int TEditor::LeftbarWidthFor(int Digits) const {
    if (!FLeftbar->GetVisible()) {
        return 0;
    }
    return FLeftbar->GetLeftMargin() + Digits * FCharWidth + FLeftbar->GetRightMargin() +
           kLeftbarEdgeWidth;
}

int TEditor::ComputeVisibleCols() const {
    const int bar = ShowsScrollBar(TScrollBarKind::Vertical)
                        ? FHost->ScrollBarSize(TScrollBarKind::Vertical)
                        : 0;
    const int width = FHost->ClientSize().Width - GetTextLeft() - FCharWidth / 2 - bar;
    return std::max(1, width / FCharWidth);
}

int TEditor::ComputeVisibleRows() const {
    const int bar = ShowsScrollBar(TScrollBarKind::Horizontal)
                        ? FHost->ScrollBarSize(TScrollBarKind::Horizontal)
                        : 0;
    const int height = FHost->ClientSize().Height - GetTextTop() - kBottomSlack - bar;
    return std::max(1, height / std::max(1, GetRowHeight()));
}

void TEditor::RecalcMetrics() {
    if (!HasWindow()) {
        return;
    }
    Surface& surface = FHost->ClientSurface();
    surface.SelectFont(FFont.Spec());
    const TFontMetrics metrics = surface.FontMetrics();
    FFontHeight = std::max(1, metrics.Height + metrics.ExternalLeading);
    FCharWidth = std::max(1, metrics.AveCharWidth + FMargin->GetCharacter());
    FItalicMode = metrics.Italic || EffectiveFountain().UsesItalic(EffectiveFountain());
    FRulerHeight = !FRuler->GetVisible() ? 0
                   : FRuler->GetEdge()   ? kRulerHeightWithEdge
                                         : kRulerHeightPlain;
    FImagebarWidth = FImagebar->Width();
    FLeftbarDigits = ComputeLeftbarDigits();
    FLeftbarWidth = LeftbarWidthFor(FLeftbarDigits);
    FVisibleRows = ComputeVisibleRows();
    FVisibleCols = ComputeVisibleCols();
}

void TEditor::UpdateScrollBars() {
    if (!HasWindow()) {
        return;
    }
    FMaxTopRow = std::max(0, ScreenStrings().GetCount() + FVisibleRows - 1);
    FTopRow = std::min(FTopRow, FMaxTopRow);
    FMaxCol = kMaxCol;
    FTopCol = std::max(0, std::min(FTopCol, kMaxCol - FVisibleCols / 2));
    FLeftOffset = FTopCol * FCharWidth;
    if (ShowsScrollBar(TScrollBarKind::Vertical)) {
        FHost->SetScrollRange(TScrollBarKind::Vertical,
                              {0, std::max(FVisibleRows, FMaxTopRow), FVisibleRows, FTopRow});
    }
    if (ShowsScrollBar(TScrollBarKind::Horizontal)) {
        FHost->SetScrollRange(TScrollBarKind::Horizontal,
                              {0, FVisibleCols / 2 + kMaxCol, FVisibleCols, FTopCol});
    }
}

void TEditor::Relayout() {
    FRowIndex.Reset();
    RecalcMetrics();
    UpdateScrollBars();
    InvalidateAll();
}

void TEditor::MoveCompositionWindow() {
    if (FKeyRepeating) {
        FImePositionPending = true;
        return;
    }
    FHost->SetCompositionWindow({ColumnLeft(FCol), RowTop(FRow)}, FFont.Spec());
    FImePositionPending = false;
}

void TEditor::SetTopRow(int Row) {
    const int row = std::clamp(Row, 0, ScreenStrings().GetCount());
    if (!HasWindow()) {
        FTopRow = row;
        return;
    }
    BeginCaretHide();
    auto caretShown = ScopeEnd([this] { EndCaretHide(); });
    BeginUnderlineHide();
    auto underlineShown = ScopeEnd([this] { EndUnderlineHide(); });
    const int delta = FTopRow - row;
    FTopRow = row;
    if (delta == 0) {
        return;
    }
    const TRect client = ClientRect();
    const TRect area{0, GetTextTop(), client.Right, client.Bottom};
    // A jump of a screen or more keeps no pixels: everything is drawn again.
    if (std::abs(delta) > FVisibleRows) {
        FHost->Invalidate(area);
    } else {
        FHost->ScrollPixels(0, delta * GetRowHeight(), area, area);
    }
    if (ShowsScrollBar(TScrollBarKind::Vertical)) {
        FHost->SetScrollPosition(TScrollBarKind::Vertical, FTopRow);
    }
    MoveCompositionWindow();
    if (OnTopRowChange) {
        OnTopRowChange(*this);
    }
}

void TEditor::SetTopCol(int Col) {
    const int col = std::clamp(Col, 0, std::max(0, FMaxCol - FVisibleCols / 2));
    if (!HasWindow()) {
        FTopCol = col;
        FLeftOffset = col * FCharWidth;
        return;
    }
    const bool ruler = FRuler->GetVisible();
    if (ruler) {
        EraseRulerMark(FCol);
    }
    BeginCaretHide();
    auto caretShown = ScopeEnd([this] { EndCaretHide(); });
    if (col == FTopCol) {
        return;
    }
    const int shift = (FTopCol - col) * FCharWidth;
    FTopCol = col;
    FLeftOffset -= shift;
    const TRect client = ClientRect();
    const TRect area{GetTextLeft(), 0, client.Right, client.Bottom};
    FHost->ScrollPixels(shift, 0, area, area);
    if (ruler) {
        DrawRulerMark(FCol);
    }
    if (ShowsScrollBar(TScrollBarKind::Horizontal)) {
        FHost->SetScrollPosition(TScrollBarKind::Horizontal, FTopCol);
    }
    MoveCompositionWindow();
    if (OnTopColChange) {
        OnTopColChange(*this);
    }
}

// The row store's change handler

void TEditor::LinesChanged() {
    const TUpdateInfo info = ScreenStrings().GetUpdateInfo();
    if (info.UpdatePending) {
        FRowIndex.RowsChangedFrom(info.UpdateStartRow);
    } else {
        FRowIndex.Reset();
    }
    if (HasWindow()) {
        if (info.UpdatePending) {
            FScreen->Update(info);
        }
        if (ComputeLeftbarDigits() != FLeftbarDigits) {
            ApplyLeftbarDigits();
        }
        UpdateScrollBars();
    }
    if (info.UpdatePending) {
        FModified = true;
        if (OnChange) {
            OnChange(*this);
        }
    }
}

void TEditor::ApplyLeftbarDigits() {
    const int oldWidth = FLeftbarWidth;
    FLeftbarDigits = ComputeLeftbarDigits();
    FLeftbarWidth = LeftbarWidthFor(FLeftbarDigits);
    RebuildBackground();
    FScreen->LeftbarWidthChanged(oldWidth);
    FVisibleCols = ComputeVisibleCols();
}

void TEditor::AttachTo(TEditor& Other) {
    if (Other.FScreenStrings == FScreenStrings) {
        return;
    }
    CancelSelection();
    FScreenStrings->RemoveEditor(this);
    FScreenStrings = Other.FScreenStrings;
    FScreenStrings->AddEditor(this);
    FTopRow = std::min(FTopRow, LastCaretRow());
    Relayout();
    SetRowCol(FRow, FCol);
}

void TEditor::ViewChanged(TPersistent* Sender) {
    if (Sender == FMarks.get()) {
        FMargin->SetUnderlinePixel(FMarks->GetUnderline().GetVisible());
    }
    if (Sender == FView.get() || (FFountain != nullptr && Sender == FFountain)) {
        ResetStartStates();
    }
    if (!HasWindow()) {
        return;
    }
    RecalcMetrics();
    UpdateScrollBars();
    RebuildBitmapsFor(Sender);
    InvalidateAll();
    if (Sender == FCaret.get()) {
        ScreenStrings().GetUndoObj().Clear();
        if (Focused()) {
            CreateCaretShape();
        }
    }
    if (Focused()) {
        ScrollCaretIntoView();
        PlaceSystemCaret();
        ShowCaretIfAllowed();
    }
}

void TEditor::RebuildBitmapsFor(TPersistent* Sender) {
    if (Sender == FLeftbar.get()) {
        RebuildLeftbarEdge();
        RebuildBackground();
    } else if (Sender == FMargin.get() || Sender == FRuler.get()) {
        RebuildRulerBitmaps();
        RebuildBackground();
    } else if (Sender == FImagebar.get()) {
        RebuildBackground();
    }
}

// Focus and the Lines update bracket

bool TEditor::Focused() const {
    return HasWindow() && FHost->Focused();
}

void TEditor::FocusReceived() {
    if (!HasWindow()) {
        return;
    }
    CreateCaretShape();
    PlaceSystemCaret();
    ShowCaretIfAllowed();
}

void TEditor::FocusLost() {
    if (!HasWindow() || !FCaretCreated) {
        return;
    }
    HideSystemCaret();
    FHost->DestroyCaret();
    FCaretCreated = false;
}

int TEditor::TabSpaceCount() const {
    return FCaret->GetTabSpaceCount();
}

bool TEditor::InitBracketsFull() const {
    return FSpeed->GetInitBracketsFull();
}

void TEditor::BeginLinesUpdate() {
    BeginCaretHide();
    BeginUnderlineHide();
    FUpdating = true;
    FRowIndex.Reset();
    if (HasWindow() && FHost->Showing()) {
        FHost->SetRedraw(false);
    }
}

void TEditor::EndLinesUpdate() {
    EndUnderlineHide();
    EndCaretHide();
    FUpdating = false;
    FRowIndex.Reset();
    UpdateScrollBars();
    RefreshCaret();
    if (HasWindow() && FHost->Showing()) {
        FHost->SetRedraw(true);
        ScreenStrings().RelayoutEditors();
    }
}

} // namespace kst
