#include "fountain/fountain_color.h"

namespace kst {

void TFountainColor::SetBkColor(TColor Value) {
    if (FBkColor != Value) {
        FBkColor = Value;
        Changed();
    }
}

void TFountainColor::SetColor(TColor Value) {
    if (FColor != Value) {
        FColor = Value;
        Changed();
    }
}

void TFountainColor::SetStyle(TFontStyles Value) {
    if (FStyle != Value) {
        FStyle = Value;
        Changed();
    }
}

void TFountainColor::Assign(const TPersistent& Source) {
    auto* source = dynamic_cast<const TFountainColor*>(&Source);
    if (source == nullptr) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    FBkColor = source->FBkColor;
    FColor = source->FColor;
    FStyle = source->FStyle;
    Changed();
}

std::vector<TPropInfo> TFountainColor::PublishedProperties() {
    return {{"BkColor", TPropertyKind::Integer},
            {"Color", TPropertyKind::Integer},
            {"Style", TPropertyKind::Set}};
}

} // namespace kst
