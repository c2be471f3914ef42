// The colour triple a fountain gives each kind of token.
#pragma once

#include "core/colors.h"
#include "core/notify.h"

#include <vector>

namespace kst {

// A colour triple: background, foreground, style. Setters notify only on a real change.
class TFountainColor : public TNotifyPersistent {
public:
    const char* ClassName() const override { return "TFountainColor"; }

    TColor GetBkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles Value);

    // From a TFountainColor: copies all three and reports one change, even when nothing differed.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

private:
    TColor FBkColor = clNone;
    TColor FColor = clNone;
    TFontStyles FStyle;
};

} // namespace kst
