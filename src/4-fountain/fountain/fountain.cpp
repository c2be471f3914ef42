#include "fountain/fountain.h"

#include "core/errors.h"
#include "fountain/fountain_parser.h"

#include <string>

namespace kst {

namespace {

const char* const kEmptyRightBracketError =
    "TFountainBracketItem\r\nRightBracket can not be empty while LeftBracket is set";

bool OpensWithoutClosing(std::string_view Left, std::string_view Right) {
    return !Left.empty() && Right.empty();
}

TFountainColor* AsFountainColor(const TPropInfo& Property) {
    return Property.Kind == TPropertyKind::Class ? dynamic_cast<TFountainColor*>(Property.Object)
                                                 : nullptr;
}

} // namespace

TFountainColorItem::TFountainColorItem(TCollection* Collection) : TCollectionItem(Collection) {
    if (auto* notifying = dynamic_cast<TNotifyCollection*>(Collection)) {
        FItemColor.OnChange = [notifying](TPersistent* Sender) { notifying->ItemChanged(Sender); };
    }
}

void TFountainColorItem::Assign(const TPersistent& Source) {
    auto* source = dynamic_cast<const TFountainColorItem*>(&Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    FItemColor.Assign(source->FItemColor);
}

std::vector<TPropInfo> TFountainColorItem::PublishedProperties() {
    return {{"ItemColor", TPropertyKind::Class, &FItemColor}};
}

void TFountainBracketItem::SetLeftBracket(std::string_view Value) {
    if (FLeftBracket != Value) {
        FLeftBracket = Value;
        ReportChange();
    }
}

void TFountainBracketItem::SetRightBracket(std::string_view Value) {
    if (OpensWithoutClosing(FLeftBracket, Value)) {
        throw Exception(kEmptyRightBracketError);
    }
    if (FRightBracket != Value) {
        FRightBracket = Value;
        ReportChange();
    }
}

void TFountainBracketItem::Assign(const TPersistent& Source) {
    if (auto* source = dynamic_cast<const TFountainBracketItem*>(&Source)) {
        if (OpensWithoutClosing(source->FLeftBracket, source->FRightBracket)) {
            throw Exception(kEmptyRightBracketError);
        }
        FLeftBracket = source->FLeftBracket;
        FRightBracket = source->FRightBracket;
    }
    TFountainColorItem::Assign(Source);
}

std::vector<TPropInfo> TFountainBracketItem::PublishedProperties() {
    std::vector<TPropInfo> properties = TFountainColorItem::PublishedProperties();
    properties.push_back({"LeftBracket", TPropertyKind::String});
    properties.push_back({"RightBracket", TPropertyKind::String});
    return properties;
}

// A changed delimiter changes how rows are cut, like a changed colour.
void TFountainBracketItem::ReportChange() {
    if (auto* notifying = dynamic_cast<TNotifyCollection*>(Collection())) {
        notifying->ItemChanged(this);
    }
}

TFountainBracketItem* TFountainBracketCollection::Add() {
    if (Count() >= kMaxBracketItems) {
        throw Exception("TFountainBracketCollection\r\nYou can not add item over " +
                        std::to_string(kMaxBracketItems));
    }
    return static_cast<TFountainBracketItem*>(TNotifyCollection::Add());
}

std::unique_ptr<TCollectionItem> TFountainBracketCollection::NewItem() {
    return std::make_unique<TFountainBracketItem>(this);
}

void TFileExtComponent::AfterConstruction() {
    FFileExtList = NewSortedList();
    FillDefaultExtensions();
}

std::unique_ptr<TStringList> TFileExtComponent::NewSortedList() {
    auto list = std::make_unique<TStringList>();
    list->SetDuplicates(dupIgnore);
    list->SetSorted(true);
    return list;
}

void TFileExtComponent::SetFileExtList(const TStrings& Value) {
    FFileExtList->Assign(Value);
}

bool TFileExtComponent::ServesExtension(std::string_view Ext) const {
    int index = 0;
    return FFileExtList->Find(Ext, index);
}

std::vector<TPropInfo> TFileExtComponent::PublishedProperties() {
    return {{"FileExtList", TPropertyKind::Class, FFileExtList.get()}};
}

TFountain::~TFountain() {
    FNotifyEventList.reset();
    FBrackets.reset();
    FReserveWordList.reset();
    FReserve.reset();
}

void TFountain::AfterConstruction() {
    TFileExtComponent::AfterConstruction();
    FNotifyEventList = std::make_unique<TNotifyEventList>(this);
    FBrackets = NewBracketCollection();
    FillDefaultBrackets();
    FReserveWordList = NewSortedList();
    FillDefaultReserveWords();
    MakeFountainColors();
}

TNotifyEvent TFountain::NotifyListHandler() const {
    TNotifyEventList* list = FNotifyEventList.get();
    return [list](TPersistent* Sender) { list->SubObjectChanged(Sender); };
}

std::unique_ptr<TFountainColor> TFountain::NewFountainColor() {
    auto color = std::make_unique<TFountainColor>();
    color->OnChange = NotifyListHandler();
    return color;
}

void TFountain::MakeFountainColors() {
    FReserve = NewFountainColor();
}

std::unique_ptr<TFountainBracketCollection> TFountain::NewBracketCollection() {
    auto brackets = std::make_unique<TFountainBracketCollection>(this);
    brackets->OnChange = NotifyListHandler();
    return brackets;
}

void TFountain::SetReserveWordList(const TStrings& Value) {
    FReserveWordList->Assign(Value);
    FNotifyEventList->SubObjectChanged(this);
}

std::unique_ptr<TFountainParser> TFountain::NewParser() {
    return ParserClass()(this);
}

bool TFountain::StateRunsAcrossLines() const {
    for (int i = 0; i < FBrackets->Count(); ++i) {
        const TFountainBracketItem* item = FBrackets->Items(i);
        if (!item->GetLeftBracket().empty() && !item->GetRightBracket().empty()) {
            return true;
        }
    }
    return false;
}

bool TFountain::UsesItalic(TPersistent& Instance) {
    FIsItalic = false;
    WalkPublishedProperties(Instance, [this](TPersistent& Owner, const TPropInfo& Property) {
        CheckItalicProc(Owner, Property);
    });
    return FIsItalic;
}

void TFountain::CheckItalicProc(TPersistent&, const TPropInfo& Property) {
    if (const TFountainColor* color = AsFountainColor(Property)) {
        FIsItalic = FIsItalic || color->GetStyle().Contains(fsItalic);
    }
}

void TFountain::ApplyColorToAll(TPersistent& Instance, const TFountainColor& Template,
                                std::uint8_t Mask) {
    FTemplateColor = &Template;
    FAttributeMask = Mask;
    WalkPublishedProperties(Instance, [this](TPersistent& Owner, const TPropInfo& Property) {
        ApplyColorProc(Owner, Property);
    });
}

void TFountain::ApplyColorProc(TPersistent&, const TPropInfo& Property) {
    TFountainColor* color = AsFountainColor(Property);
    if (color == nullptr) {
        return;
    }
    if (FAttributeMask & kApplyBkColor) {
        color->SetBkColor(FTemplateColor->GetBkColor());
    }
    if (FAttributeMask & kApplyColor) {
        color->SetColor(FTemplateColor->GetColor());
    }
    if (FAttributeMask & kApplyStyle) {
        color->SetStyle(FTemplateColor->GetStyle());
    }
}

std::vector<TPropInfo> TFountain::PublishedProperties() {
    std::vector<TPropInfo> properties = TFileExtComponent::PublishedProperties();
    properties.push_back({"Brackets", TPropertyKind::Class, FBrackets.get()});
    properties.push_back({"Reserve", TPropertyKind::Class, FReserve.get()});
    properties.push_back({"ReserveWordList", TPropertyKind::Class, FReserveWordList.get()});
    return properties;
}

} // namespace kst
