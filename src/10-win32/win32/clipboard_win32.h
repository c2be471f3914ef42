// The system clipboard. Document text travels as CF_UNICODETEXT, so that every program reads it
// whatever the system's code page; the private format "TEditor Box Type" marks it as a rectangle.
#pragma once

#include "platform/clipboard.h"
#include "win32/windows_api.h"

namespace kst::win32 {

class Win32Clipboard : public Clipboard {
public:
    // Owner is the window that owns what this clipboard writes.
    explicit Win32Clipboard(HWND Owner) : FOwner(Owner) {}

    void SetText(std::string_view Text, bool Box) override;
    std::optional<std::string> GetText() override;
    bool HasText() const override;
    bool HasBoxText() const override;

private:
    HWND FOwner;
};

// The clipboard every editor window of the process uses, owned by a hidden window of its own.
// Created on first use, on the user-interface thread.
Clipboard& ProcessClipboard();

} // namespace kst::win32
