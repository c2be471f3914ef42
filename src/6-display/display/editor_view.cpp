// The view's construction and destruction, its properties and settings objects, the row store's
// change handler, focus, and the window messages the view handles.
#include "display/editor_view.h"

#include "core/messages.h"
#include "display/image_list.h"
#include "fountain/fountain.h"

#include <algorithm>

namespace kst {

TEditorView::TEditorView(TCreateKey Key, TPersistent* Owner) : TComponent(Key, Owner) {}

TEditorView::~TEditorView() {
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

void TEditorView::AfterConstruction() {
    TComponent::AfterConstruction();
    InitDelimiters(FDelimiters);
    CreateOwnedObjects();
}

void TEditorView::CreateOwnedObjects() {
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
}

void TEditorView::BindViewChanged(TNotifyPersistent& Settings) {
    Settings.OnChange = [this](TPersistent* Sender) { ViewChanged(Sender); };
}

// Factories

std::shared_ptr<TEditorScreenStrings> TEditorView::CreateScreenStrings() {
    return std::make_shared<TEditorScreenStrings>();
}

std::unique_ptr<TEditorStrings> TEditorView::CreateLines() {
    return std::make_unique<TEditorStrings>(*this);
}

std::unique_ptr<TEditorScreen> TEditorView::CreateEditorScreen() {
    return std::make_unique<TEditorScreen>(*this);
}

std::unique_ptr<TEditorViewInfo> TEditorView::CreateViewInfo() {
    return MakeViewInfo<TEditorViewInfo>();
}

std::unique_ptr<TEditorCaret> TEditorView::CreateCaretOptions() {
    return std::make_unique<TEditorCaret>();
}

std::unique_ptr<TEditorMarks> TEditorView::CreateMarks() {
    return std::make_unique<TEditorMarks>();
}

std::unique_ptr<TEditorMargin> TEditorView::CreateMargin() {
    return std::make_unique<TEditorMargin>();
}

std::unique_ptr<TEditorImagebar> TEditorView::CreateImagebar() {
    return std::make_unique<TEditorImagebar>();
}

std::unique_ptr<TEditorLeftbar> TEditorView::CreateLeftbar() {
    return std::make_unique<TEditorLeftbar>();
}

std::unique_ptr<TEditorRuler> TEditorView::CreateRuler() {
    return std::make_unique<TEditorRuler>();
}

std::unique_ptr<TEditorSpeed> TEditorView::CreateSpeed() {
    return std::make_unique<TEditorSpeed>();
}

void TEditorView::InitDelimiters(TCharSet& Delimiters) {
    Delimiters = DefaultDelimiters();
}

// Window

std::optional<std::intptr_t> TEditorView::WndProc(unsigned Msg, std::uintptr_t WParam,
                                                  std::intptr_t /*LParam*/) {
    switch (Msg) {
    case WM_SIZE:
        Relayout();
        return 0;
    case WM_DPICHANGED_AFTERPARENT:
        DpiChanged();
        return 0;
    case WM_SETFOCUS:
        FocusReceived();
        return 0;
    case WM_KILLFOCUS:
        FocusLost();
        return 0;
    case WM_VSCROLL:
        ScrollBy(TScrollBarKind::Vertical, ScrollDelta(TScrollBarKind::Vertical, LoWord(WParam)));
        return 0;
    case WM_HSCROLL:
        ScrollBy(TScrollBarKind::Horizontal,
                 ScrollDelta(TScrollBarKind::Horizontal, LoWord(WParam)));
        return 0;
    default:
        return std::nullopt;
    }
}

void TEditorView::SetHost(EditorHost* Host) {
    FHost = Host;
    FCaretCreated = false;
    FCaretShown = false;
    if (HasWindow()) {
        HandleCreated();
    }
}

void TEditorView::HandleCreated() {
    FHost->SetBorder(FBorderStyle == bsSingle);
    ShowChosenScrollBars();
    RecalcMetrics();
    UpdateScrollBars();
    BuildBitmaps();
}

void TEditorView::Loaded() {
    FLoading = false;
    if (GetWordWrap()) {
        ScreenStrings().WrapAll();
    }
    ResetStartStates();
    FModified = false;
}

void TEditorView::ResetStartStates() {
    FTokenCheckpoints.Reset();
    ScreenStrings().InitStartStates();
}

void TEditorView::InvalidateAll() {
    if (HasWindow() && !FDestroying) {
        FHost->InvalidateAll();
    }
}

TRect TEditorView::ClientRect() const {
    const TSize size = FHost->ClientSize();
    return {0, 0, size.Width, size.Height};
}

// Properties

void TEditorView::SetCursor(TCursor Value) {
    FCursor = Value;
    if (HasWindow()) {
        FHost->SetCursor(Value);
    }
}

void TEditorView::SetColor(TColor Value) {
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

void TEditorView::SetFont(const TEditorFont& Value) {
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

void TEditorView::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    if (HasWindow()) {
        FHost->SetBorder(Value == bsSingle);
    }
}

TFountain& TEditorView::EffectiveFountain() const {
    return FFountain != nullptr ? *FFountain : FView->GetFountain();
}

void TEditorView::SetFountain(TFountain* Value) {
    if (Value == FFountain) {
        return;
    }
    const TNotifyMethod changed = MakeNotifyMethod<&TEditorView::ViewChanged>(this);
    const TNotifyMethod destroyed = MakeNotifyMethod<&TEditorView::FountainDestroyed>(this);
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
void TEditorView::FountainDestroyed(TPersistent* Sender) {
    if (Sender != FFountain) {
        return;
    }
    FFountain = nullptr;
    ResetStartStates();
    InvalidateAll();
}

void TEditorView::ReplaceImageList(TImageList*& Field, TImageList* Value) {
    if (Value == Field) {
        return;
    }
    const TNotifyMethod destroyed = MakeNotifyMethod<&TEditorView::ImageListDestroyed>(this);
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
void TEditorView::ImageListDestroyed(TPersistent* Sender) {
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

void TEditorView::InvalidateImagebar() {
    if (FImagebar->GetVisible()) {
        InvalidateAll();
    }
}

void TEditorView::SetHitStyle(TEditorHitStyle Value) {
    if (Value == FHitStyle) {
        return;
    }
    CancelSelection();
    FHitStyle = Value;
}

void TEditorView::SetLines(const TStrings& Value) {
    FLines->Assign(Value);
    ScreenStrings().RelayoutEditors();
}

TStringList& TEditorView::GetReserveWordList() const {
    return FView->GetFountain().GetReserveWordList();
}

// The view reports the fountain's change, which resets the parse state and repaints.
void TEditorView::SetReserveWordList(const TStrings& Value) {
    if (GetReserveWordList().GetTextStr() != Value.GetTextStr()) {
        FView->GetFountain().SetReserveWordList(Value);
    }
}

void TEditorView::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    if (HasWindow()) {
        ShowChosenScrollBars();
        RecalcMetrics();
        UpdateScrollBars();
    }
}

int TEditorView::GetUndoListMax() const {
    return FScreenStrings->GetUndoObj().GetUndoListMax();
}

void TEditorView::SetUndoListMax(int Value) {
    ScreenStrings().GetUndoObj().SetUndoListMax(Value);
}

bool TEditorView::GetWordWrap() const {
    return FScreenStrings->GetWordWrap();
}

void TEditorView::SetWordWrap(bool Value) {
    ScreenStrings().SetWordWrap(Value);
}

TEditorWrapOption& TEditorView::GetWrapOption() const {
    return FScreenStrings->GetWrapOption();
}

void TEditorView::SetWrapOption(const TEditorWrapOption& Value) {
    GetWrapOption().Assign(Value);
}

// Geometry

// The row store's change handler

void TEditorView::LinesChanged() {
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
        DoChange();
    }
}

void TEditorView::AttachTo(TEditorView& Other) {
    if (Other.FScreenStrings == FScreenStrings) {
        return;
    }
    CancelSelection();
    FScreenStrings->RemoveEditor(this);
    FScreenStrings = Other.FScreenStrings;
    FScreenStrings->AddEditor(this);
    FTopRow = std::min(FTopRow, LastCaretRow());
    Relayout();
    SetRowCol(GetRow(), GetCol());
}

void TEditorView::ViewChanged(TPersistent* Sender) {
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

void TEditorView::DpiChanged() {
    if (!HasWindow()) {
        return;
    }
    RecalcMetrics();
    UpdateScrollBars();
    BuildBitmaps();
    InvalidateAll();
    RefreshCaret();
}

void TEditorView::RebuildBitmapsFor(TPersistent* Sender) {
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

bool TEditorView::Focused() const {
    return HasWindow() && FHost->Focused();
}

int TEditorView::TabSpaceCount() const {
    return FCaret->GetTabSpaceCount();
}

bool TEditorView::InitBracketsFull() const {
    return FSpeed->GetInitBracketsFull();
}

void TEditorView::BeginLinesUpdate() {
    BeginCaretHide();
    BeginUnderlineHide();
    FUpdating = true;
    FRowIndex.Reset();
    if (HasWindow() && FHost->Showing()) {
        FHost->SetRedraw(false);
    }
}

void TEditorView::EndLinesUpdate() {
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
