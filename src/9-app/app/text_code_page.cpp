#include "app/text_code_page.h"

#include "core/code_page.h"
#include "platform/desktop.h"

#include <algorithm>

namespace kst {

namespace {

bool IsChoice(int Number) {
    return Number != kAutomaticCodePage &&
           std::ranges::any_of(kCodePageChoices, [Number](const TCodePageChoice& Choice) {
               return Choice.Number == Number;
           });
}

} // namespace

int TextCodePageNumber(int Setting, int System) {
    if (IsChoice(Setting)) {
        return Setting;
    }
    return IsChoice(System) ? System : kWesternCodePage;
}

void UseCodePageNumber(Desktop& Desk, int Number) {
    if (Number == TextCodePage().Number()) {
        return;
    }
    if (Number == kJapaneseCodePage) {
        UseTextCodePage(TCodePage::Japanese());
    } else if (Number == kWesternCodePage) {
        UseTextCodePage(TCodePage::Western());
    } else {
        const std::optional<TCodePage> system = Desk.SystemCodePage(Number);
        UseTextCodePage(system ? *system : TCodePage::Western());
    }
}

} // namespace kst
