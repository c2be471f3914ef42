#include "app/file_watch.h"

namespace kst {

void TFileWatch::Forget() {
    FWatching = false;
    FRemembered.reset();
    FTold.reset();
}

void TFileWatch::Remember(std::optional<TFileStamp> Stamp) {
    FWatching = true;
    FRemembered = Stamp;
    FTold = Stamp;
}

TExternalChange TFileWatch::Look(const TFileStamp& Now, bool Modified) {
    if (!FWatching || Now == FTold) {
        return TExternalChange::None;
    }
    if (!FRemembered) {
        Remember(Now);
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
