// Whether another program has changed the edited file: the file's stamp as this window last read
// or wrote it, and as the user last heard of it.
#pragma once

#include "platform/files.h"

#include <cstdint>
#include <optional>

namespace kst {

// What the window has to tell the user when it looks at its file again.
enum class TExternalChange : std::uint8_t {
    None,
    // Rewritten by another program; the text has no changes of its own.
    Changed,
    // Rewritten by another program while the text has changes of its own.
    ChangedUnderEdits,
    // Deleted or renamed away.
    Deleted
};

class TFileWatch {
public:
    // A new file, which has nothing to compare.
    void Forget();
    // The file was loaded or saved with this stamp. None (the system did not tell in time) leaves
    // the stamp unknown until a look gets one.
    void Remember(std::optional<TFileStamp> Stamp);
    // The user has heard of the file as it is Now (the text came from another state of it).
    void Told(const TFileStamp& Now) { FTold = Now; }
    // The file was loaded or saved, but its stamp has not been read since: whether another
    // program has changed it cannot be told.
    bool StampUnknown() const { return FWatching && !FRemembered; }
    // The stamp the file was loaded or saved with; none for a new file or an unknown stamp.
    const std::optional<TFileStamp>& Remembered() const { return FRemembered; }

    // What changed since the file was remembered or the user last heard of it, given its stamp
    // Now; each state of the file is reported once. An unknown stamp takes Now.
    TExternalChange Look(const TFileStamp& Now, bool Modified);

    // Whether writing the file would overwrite what another program wrote since it was loaded or
    // saved (a file that is gone overwrites nothing).
    bool ChangedSinceRemembered(const TFileStamp& Now) const;

private:
    bool FWatching = false;
    std::optional<TFileStamp> FRemembered;
    std::optional<TFileStamp> FTold;
};

} // namespace kst
