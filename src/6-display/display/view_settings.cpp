#include "display/view_settings.h"

#include "core/code_page.h"
#include "core/settings_notify.h"

namespace kst {

namespace {

// The quotation character Value names: its first byte, unless that starts a double-byte
// character.
std::string QuotationCharacter(std::string_view Value) {
    if (Value.empty() || IsLeadByte(Value.front())) {
        return {};
    }
    return std::string(1, Value.front());
}

} // namespace

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

int TEditorImagebar::Width() const {
    return FVisible ? FLeftMargin + FDigitWidth + FMarkWidth + FRightMargin : 0;
}

} // namespace kst
