// The system clipboard as the editor uses it: CP932 text, optionally marked as a rectangle by the
// private format "TEditor Box Type". The Windows layer stores the text as CF_UNICODETEXT so that
// every program reads it whatever the system's code page; the tests use an in-memory one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kst {

class Clipboard {
public:
    Clipboard() = default;
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;
    virtual ~Clipboard() = default;

    // Replaces the clipboard's content with Text; Box also stores the rectangle mark in the same
    // opening. Raises EClipboardError when the clipboard cannot be opened.
    virtual void SetText(std::string_view Text, bool Box) = 0;
    // The clipboard's text as CP932, none when it holds no text. Raises EClipboardError when the
    // clipboard cannot be opened.
    virtual std::optional<std::string> GetText() = 0;
    virtual bool HasText() const = 0;
    // Whether the text carries the rectangle mark.
    virtual bool HasBoxText() const = 0;
};

} // namespace kst
