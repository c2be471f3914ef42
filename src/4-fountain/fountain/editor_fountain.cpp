#include "fountain/editor_fountain.h"

#include "core/string_list_sorted.h"
#include "fountain/editor_parser.h"

namespace kst {

TEditorColors::TEditorColors(TFountain& Owner) : FOwner(Owner) {
    FSelect.SetBkColor(clNavy);
    FSelect.SetColor(clWhite);
    for (TEditorColor* color :
         {&FAnk, &FComment, &FDBCS, &FHit, &FInt, &FMail, &FSelect, &FStr, &FSymbol, &FUrl}) {
        Wire(*color);
    }
}

void TEditorColors::Wire(TEditorColor& Color) {
    Color.OnChange = [this](TPersistent* Sender) { SubObjectChanged(Sender); };
}

void TEditorColors::Assign(const TPersistent& Source) {
    auto* source = dynamic_cast<const TEditorColors*>(&Source);
    if (source == nullptr) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        FAnk.Assign(source->FAnk);
        FComment.Assign(source->FComment);
        FDBCS.Assign(source->FDBCS);
        FHit.Assign(source->FHit);
        FInt.Assign(source->FInt);
        FMail.Assign(source->FMail);
        FStr.Assign(source->FStr);
        FSymbol.Assign(source->FSymbol);
        GetReserve().Assign(source->GetReserve());
        FUrl.Assign(source->FUrl);
        FSelect.Assign(source->FSelect);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::vector<TPropInfo> TEditorColors::PublishedProperties() {
    return {{"Ank", TPropertyKind::Class, &FAnk},
            {"Comment", TPropertyKind::Class, &FComment},
            {"DBCS", TPropertyKind::Class, &FDBCS},
            {"Hit", TPropertyKind::Class, &FHit},
            {"Int", TPropertyKind::Class, &FInt},
            {"Mail", TPropertyKind::Class, &FMail},
            {"Reserve", TPropertyKind::Class, &GetReserve()},
            {"Select", TPropertyKind::Class, &FSelect},
            {"Str", TPropertyKind::Class, &FStr},
            {"Symbol", TPropertyKind::Class, &FSymbol},
            {"Url", TPropertyKind::Class, &FUrl}};
}

template <class F>
void TEditorBracketCollection::ForEachItemColor(F&& Apply) {
    BeginUpdate();
    try {
        for (int i = 0; i < Count(); ++i) {
            Apply(Items(i)->GetItemColor());
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TEditorBracketCollection::SetItemsBkColor(TColor Value) {
    ForEachItemColor([Value](TFountainColor& Color) { Color.SetBkColor(Value); });
}

void TEditorBracketCollection::SetItemsColor(TColor Value) {
    ForEachItemColor([Value](TFountainColor& Color) { Color.SetColor(Value); });
}

void TEditorBracketCollection::SetItemsStyle(TFontStyles Value) {
    ForEachItemColor([Value](TFountainColor& Color) { Color.SetStyle(Value); });
}

void TEditorFountain::AfterConstruction() {
    TFountain::AfterConstruction();
    FColors = MakeColors();
}

std::unique_ptr<TEditorColors> TEditorFountain::MakeColors() {
    auto colors = std::make_unique<TEditorColors>(*this);
    colors->OnChange = NotifyListHandler();
    return colors;
}

std::unique_ptr<TFountainBracketCollection> TEditorFountain::NewBracketCollection() {
    auto brackets = std::make_unique<TEditorBracketCollection>(this);
    brackets->OnChange = NotifyListHandler();
    return brackets;
}

TFountainParserClass TEditorFountain::ParserClass() const {
    return &CreateParser<TEditorParser>;
}

void TEditorFountain::ApplyColorProc(TPersistent& Instance, const TPropInfo& Property) {
    if (CompareIgnoringCase(Property.Name, "Select") != 0 &&
        CompareIgnoringCase(Property.Name, "Hit") != 0) {
        TFountain::ApplyColorProc(Instance, Property);
    }
}

void TEditorFountain::ApplyToColors(const TFountainColor& Template, std::uint8_t Mask) {
    TNotifyEventList& subscribers = GetNotifyEventList();
    subscribers.BeginUpdate();
    try {
        ApplyColorToAll(*FColors, Template, Mask);
    } catch (...) {
        subscribers.EndUpdate();
        throw;
    }
    subscribers.EndUpdate();
}

void TEditorFountain::SetAllBkColor(TColor Value) {
    TFountainColor color;
    color.SetBkColor(Value);
    ApplyToColors(color, kApplyBkColor);
}

void TEditorFountain::SetAllColor(TColor Value) {
    TFountainColor color;
    color.SetColor(Value);
    ApplyToColors(color, kApplyColor);
}

void TEditorFountain::SetAllStyle(TFontStyles Value) {
    TFountainColor color;
    color.SetStyle(Value);
    ApplyToColors(color, kApplyStyle);
}

std::vector<TPropInfo> TEditorFountain::PublishedProperties() {
    std::vector<TPropInfo> properties = TFountain::PublishedProperties();
    properties.push_back({"Colors", TPropertyKind::Class, FColors.get()});
    properties.push_back({"Commenter", TPropertyKind::String});
    properties.push_back({"ControlCode", TPropertyKind::Boolean});
    properties.push_back({"HexPrefix", TPropertyKind::String});
    properties.push_back({"Mail", TPropertyKind::Boolean});
    properties.push_back({"Quotation", TPropertyKind::String});
    properties.push_back({"Url", TPropertyKind::Boolean});
    return properties;
}

} // namespace kst
