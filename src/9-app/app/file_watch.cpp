#include "app/file_watch.h"

namespace kst {

void TFileWatch::Remember(std::optional<TFileStamp> Stamp) {
    FRemembered = Stamp;
    FTold = Stamp;
}

TExternalChange TFileWatch::Look(const TFileStamp& Now, bool Modified) {
    if (!FRemembered || Now == FTold) {
        return TExternalChange::None;
    }
    FTold = Now;
    if (!Now.Exists) {
        return TExternalChange::Deleted;
    }
    return Modified ? TExternalChange::ChangedUnderEdits : TExternalChange::Changed;
}

bool TFileWatch::ChangedSinceRemembered(const TFileStamp& Now) const {
    return FRemembered && Now.Exists && Now != *FRemembered;
}

} // namespace kst
