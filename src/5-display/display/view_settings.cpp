#include "display/view_settings.h"

#include "core/cp932.h"
#include "display/settings_notify.h"

#include <algorithm>

namespace kst {

namespace {

int ClampPixels(int Value) {
    return std::clamp(Value, kMinMarginPixels, kMaxMarginPixels);
}

// The quotation character Value names: its first byte, unless that starts a double-byte
// character.
std::string QuotationCharacter(std::string_view Value) {
    if (Value.empty() || IsLeadByte(Value.front())) {
        return {};
    }
    return std::string(1, Value.front());
}

} // namespace

void TEditorMargin::SetCharacter(int Value) {
    StoreSetting(*this, FCharacter, ClampPixels(Value));
}

void TEditorMargin::SetLeft(int Value) {
    StoreSetting(*this, FLeft, ClampPixels(Value));
}

void TEditorMargin::SetLine(int Value) {
    StoreSetting(*this, FLine, ClampPixels(Value));
}

void TEditorMargin::SetTop(int Value) {
    StoreSetting(*this, FTop, ClampPixels(Value));
}

void TEditorMargin::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorMargin*>(&Source);
    if (other == nullptr) {
        AssignError(Source);
    }
    FCharacter = other->FCharacter;
    FLeft = other->FLeft;
    FLine = other->FLine;
    FTop = other->FTop;
    Changed();
}

std::vector<TPropInfo> TEditorMargin::PublishedProperties() {
    return {{"Character", TPropertyKind::Integer},
            {"Left", TPropertyKind::Integer},
            {"Line", TPropertyKind::Integer},
            {"Top", TPropertyKind::Integer}};
}

void TEditorMark::SetColor(TColor Value) {
    StoreSetting(*this, FColor, Value);
}

void TEditorMark::SetVisible(bool Value) {
    StoreSetting(*this, FVisible, Value);
}

void TEditorMark::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorMark*>(&Source);
    if (other == nullptr) {
        AssignError(Source);
    }
    FColor = other->FColor;
    FVisible = other->FVisible;
    Changed();
}

std::vector<TPropInfo> TEditorMark::PublishedProperties() {
    return {{"Color", TPropertyKind::Integer}, {"Visible", TPropertyKind::Boolean}};
}

TEditorMarks::TEditorMarks() {
    for (TEditorMark* mark : {&FEofMark, &FRetMark, &FWrapMark, &FHideMark, &FUnderline}) {
        mark->OnChange = [this](TPersistent* Sender) { SubObjectChanged(Sender); };
    }
}

void TEditorMarks::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorMarks*>(&Source);
    if (other == nullptr) {
        AssignError(Source);
    }
    ChangeInOneUpdate(*this, [this, other] {
        FEofMark.Assign(other->FEofMark);
        FRetMark.Assign(other->FRetMark);
        FWrapMark.Assign(other->FWrapMark);
        FHideMark.Assign(other->FHideMark);
        FUnderline.Assign(other->FUnderline);
    });
}

std::vector<TPropInfo> TEditorMarks::PublishedProperties() {
    return {{"EofMark", TPropertyKind::Class, &FEofMark},
            {"RetMark", TPropertyKind::Class, &FRetMark},
            {"WrapMark", TPropertyKind::Class, &FWrapMark},
            {"HideMark", TPropertyKind::Class, &FHideMark},
            {"Underline", TPropertyKind::Class, &FUnderline}};
}

TEditorViewInfo::~TEditorViewInfo() {
    if (FFountain) {
        FFountain->GetNotifyEventList().Remove(FountainChangeHandler());
    }
}

std::unique_ptr<TEditorFountain> TEditorViewInfo::NewFountain() {
    return CreateComponent<TEditorFountain>(nullptr);
}

void TEditorViewInfo::AttachFountain() {
    FFountain = NewFountain();
    FFountain->GetNotifyEventList().Add(FountainChangeHandler());
}

TNotifyMethod TEditorViewInfo::FountainChangeHandler() {
    return MakeNotifyMethod<&TEditorViewInfo::SubObjectChanged>(this);
}

template <class T>
void TEditorViewInfo::StoreInFountain(void (TEditorFountain::*Setter)(T), const T& Current,
                                      T Value) {
    if (Current == Value) {
        return;
    }
    (FFountain.get()->*Setter)(std::move(Value));
    Changed();
}

template <class F>
void TEditorViewInfo::ChangeFountainTogether(F&& Change) {
    ChangeInOneUpdate(
        *this, [this, &Change] { ChangeInOneUpdate(FFountain->GetNotifyEventList(), Change); });
}

void TEditorViewInfo::SetBrackets(const TFountainBracketCollection& Value) {
    ChangeFountainTogether([this, &Value] { FFountain->SetBrackets(Value); });
}

void TEditorViewInfo::SetColors(const TEditorColors& Value) {
    ChangeFountainTogether([this, &Value] { FFountain->SetColors(Value); });
}

void TEditorViewInfo::SetCommenter(std::string_view Value) {
    StoreInFountain(&TEditorFountain::SetCommenter, GetCommenter(), std::string(Value));
}

void TEditorViewInfo::SetControlCode(bool Value) {
    StoreInFountain(&TEditorFountain::SetControlCode, GetControlCode(), Value);
}

void TEditorViewInfo::SetHexPrefix(std::string_view Value) {
    StoreInFountain(&TEditorFountain::SetHexPrefix, GetHexPrefix(), std::string(Value));
}

void TEditorViewInfo::SetMail(bool Value) {
    StoreInFountain(&TEditorFountain::SetMail, GetMail(), Value);
}

void TEditorViewInfo::SetQuotation(std::string_view Value) {
    StoreInFountain(&TEditorFountain::SetQuotation, GetQuotation(), QuotationCharacter(Value));
}

void TEditorViewInfo::SetUrl(bool Value) {
    StoreInFountain(&TEditorFountain::SetUrl, GetUrl(), Value);
}

void TEditorViewInfo::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorViewInfo*>(&Source);
    if (other == nullptr) {
        AssignError(Source);
    }
    // Copying the brackets into themselves would empty them first.
    if (other == this) {
        Changed();
        return;
    }
    ChangeFountainTogether([this, other] {
        TEditorFountain& fountain = *FFountain;
        fountain.SetBrackets(other->GetBrackets());
        fountain.SetColors(other->GetColors());
        fountain.SetCommenter(other->GetCommenter());
        fountain.SetControlCode(other->GetControlCode());
        fountain.SetHexPrefix(other->GetHexPrefix());
        fountain.SetMail(other->GetMail());
        fountain.SetQuotation(other->GetQuotation());
        fountain.SetUrl(other->GetUrl());
    });
}

std::vector<TPropInfo> TEditorViewInfo::PublishedProperties() {
    return {{"Brackets", TPropertyKind::Class, &GetBrackets()},
            {"Colors", TPropertyKind::Class, &GetColors()},
            {"Commenter", TPropertyKind::String},
            {"ControlCode", TPropertyKind::Boolean},
            {"HexPrefix", TPropertyKind::String},
            {"Mail", TPropertyKind::Boolean},
            {"Quotation", TPropertyKind::String},
            {"Url", TPropertyKind::Boolean}};
}

void TEditorRuler::SetBkColor(TColor Value) {
    StoreSetting(*this, FBkColor, Value);
}

void TEditorRuler::SetColor(TColor Value) {
    StoreSetting(*this, FColor, Value);
}

void TEditorRuler::SetEdge(bool Value) {
    StoreSetting(*this, FEdge, Value);
}

void TEditorRuler::SetGaugeRange(int Value) {
    StoreSetting(*this, FGaugeRange, ClampEven(Value, kMinGaugeRange, kMaxGaugeRange));
}

void TEditorRuler::SetMarkColor(TColor Value) {
    StoreSetting(*this, FMarkColor, Value);
}

void TEditorRuler::SetVisible(bool Value) {
    StoreSetting(*this, FVisible, Value);
}

void TEditorRuler::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorRuler*>(&Source);
    if (other == nullptr) {
        AssignError(Source);
    }
    FBkColor = other->FBkColor;
    FColor = other->FColor;
    FEdge = other->FEdge;
    FGaugeRange = other->FGaugeRange;
    FMarkColor = other->FMarkColor;
    FVisible = other->FVisible;
    Changed();
}

std::vector<TPropInfo> TEditorRuler::PublishedProperties() {
    return {{"BkColor", TPropertyKind::Integer},   {"Color", TPropertyKind::Integer},
            {"Edge", TPropertyKind::Boolean},      {"GaugeRange", TPropertyKind::Integer},
            {"MarkColor", TPropertyKind::Integer}, {"Visible", TPropertyKind::Boolean}};
}

void TEditorLeftbar::SetBkColor(TColor Value) {
    StoreSetting(*this, FBkColor, Value);
}

void TEditorLeftbar::SetColor(TColor Value) {
    StoreSetting(*this, FColor, Value);
}

void TEditorLeftbar::SetColumn(int Value) {
    StoreSetting(*this, FColumn, std::clamp(Value, kMinLeftbarColumn, kMaxLeftbarColumn));
}

void TEditorLeftbar::SetEdge(bool Value) {
    StoreSetting(*this, FEdge, Value);
}

void TEditorLeftbar::SetLeftMargin(int Value) {
    StoreSetting(*this, FLeftMargin, ClampPixels(Value));
}

void TEditorLeftbar::SetRightMargin(int Value) {
    StoreSetting(*this, FRightMargin, ClampPixels(Value));
}

void TEditorLeftbar::SetShowNumber(bool Value) {
    StoreSetting(*this, FShowNumber, Value);
}

void TEditorLeftbar::SetShowNumberMode(TEditorShowNumberMode Value) {
    StoreSetting(*this, FShowNumberMode, Value);
}

void TEditorLeftbar::SetVisible(bool Value) {
    StoreSetting(*this, FVisible, Value);
}

void TEditorLeftbar::SetZeroBase(bool Value) {
    StoreSetting(*this, FZeroBase, Value);
}

void TEditorLeftbar::SetZeroLead(bool Value) {
    StoreSetting(*this, FZeroLead, Value);
}

void TEditorLeftbar::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorLeftbar*>(&Source);
    if (other == nullptr) {
        AssignError(Source);
    }
    FBkColor = other->FBkColor;
    FColor = other->FColor;
    FColumn = other->FColumn;
    FEdge = other->FEdge;
    FLeftMargin = other->FLeftMargin;
    FRightMargin = other->FRightMargin;
    FShowNumber = other->FShowNumber;
    FShowNumberMode = other->FShowNumberMode;
    FVisible = other->FVisible;
    FZeroBase = other->FZeroBase;
    FZeroLead = other->FZeroLead;
    Changed();
}

std::vector<TPropInfo> TEditorLeftbar::PublishedProperties() {
    return {{"BkColor", TPropertyKind::Integer},    {"Color", TPropertyKind::Integer},
            {"Column", TPropertyKind::Integer},     {"Edge", TPropertyKind::Boolean},
            {"LeftMargin", TPropertyKind::Integer}, {"RightMargin", TPropertyKind::Integer},
            {"ShowNumber", TPropertyKind::Boolean}, {"ShowNumberMode", TPropertyKind::Integer},
            {"Visible", TPropertyKind::Boolean},    {"ZeroBase", TPropertyKind::Boolean},
            {"ZeroLead", TPropertyKind::Boolean}};
}

void TEditorImagebar::SetDigitWidth(int Value) {
    StoreSetting(*this, FDigitWidth, ClampPixels(Value));
}

void TEditorImagebar::SetLeftMargin(int Value) {
    StoreSetting(*this, FLeftMargin, ClampPixels(Value));
}

void TEditorImagebar::SetMarkWidth(int Value) {
    StoreSetting(*this, FMarkWidth, ClampPixels(Value));
}

void TEditorImagebar::SetRightMargin(int Value) {
    StoreSetting(*this, FRightMargin, ClampPixels(Value));
}

void TEditorImagebar::SetVisible(bool Value) {
    StoreSetting(*this, FVisible, Value);
}

int TEditorImagebar::Width() const {
    return FVisible ? FLeftMargin + FDigitWidth + FMarkWidth + FRightMargin : 0;
}

void TEditorImagebar::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorImagebar*>(&Source);
    if (other == nullptr) {
        AssignError(Source);
    }
    FDigitWidth = other->FDigitWidth;
    FLeftMargin = other->FLeftMargin;
    FMarkWidth = other->FMarkWidth;
    FRightMargin = other->FRightMargin;
    FVisible = other->FVisible;
    Changed();
}

std::vector<TPropInfo> TEditorImagebar::PublishedProperties() {
    return {{"DigitWidth", TPropertyKind::Integer},
            {"LeftMargin", TPropertyKind::Integer},
            {"MarkWidth", TPropertyKind::Integer},
            {"RightMargin", TPropertyKind::Integer},
            {"Visible", TPropertyKind::Boolean}};
}

void TEditorSpeed::SetCaretVerticalAc(int Value) {
    FCaretVerticalAc = std::clamp(Value, kMinSpeedRange, kMaxSpeedRange);
}

void TEditorSpeed::SetPageVerticalRange(int Value) {
    FPageVerticalRange = std::clamp(Value, kMinSpeedRange, kMaxSpeedRange);
}

void TEditorSpeed::SetPageVerticalRangeAc(int Value) {
    FPageVerticalRangeAc = std::clamp(Value, kMinSpeedRange, kMaxSpeedRange);
}

void TEditorSpeed::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorSpeed*>(&Source);
    if (other == nullptr) {
        AssignError(Source);
    }
    FCaretVerticalAc = other->FCaretVerticalAc;
    FInitBracketsFull = other->FInitBracketsFull;
    FPageVerticalRange = other->FPageVerticalRange;
    FPageVerticalRangeAc = other->FPageVerticalRangeAc;
}

std::vector<TPropInfo> TEditorSpeed::PublishedProperties() {
    return {{"CaretVerticalAc", TPropertyKind::Integer},
            {"InitBracketsFull", TPropertyKind::Boolean},
            {"PageVerticalRange", TPropertyKind::Integer},
            {"PageVerticalRangeAc", TPropertyKind::Integer}};
}

} // namespace kst
