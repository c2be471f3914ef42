// What the editor control needs from its window: size and state, invalidation and pixel
// scrolling, the system caret, the mouse cursor, scroll bars, the input method's composition
// window and a look at the input queue. The Windows layer implements it over a real window; the
// tests use a recording one.
#pragma once

#include "core/messages.h"
#include "platform/geometry.h"
#include "platform/surface.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kst {

enum class TScrollBarKind : std::uint8_t { Horizontal, Vertical };

// A scroll bar's range Min..Max, page and thumb position.
struct TScrollRange {
    int Min = 0;
    int Max = 0;
    int Page = 0;
    int Position = 0;

    bool operator==(const TScrollRange&) const = default;
};

// The modifiers among the keys that Down (a virtual-key code to whether it is down) finds down.
template <class F>
TShiftState ShiftStateFrom(F Down) {
    TShiftState shift = 0;
    shift |= Down(VK_SHIFT) ? ssShift : 0;
    shift |= Down(VK_CONTROL) ? ssCtrl : 0;
    shift |= Down(VK_MENU) ? ssAlt : 0;
    return shift;
}

class EditorHost {
public:
    EditorHost() = default;
    EditorHost(const EditorHost&) = delete;
    EditorHost& operator=(const EditorHost&) = delete;
    virtual ~EditorHost() = default;

    // Whether the window exists; without one nothing is measured, scrolled or drawn.
    virtual bool HasWindow() const = 0;
    // The window and all its parents are visible.
    virtual bool Showing() const = 0;
    virtual bool Focused() const = 0;
    virtual void SetFocus() = 0;
    virtual TSize ClientSize() const = 0;
    virtual TSize ScreenSize() const = 0;
    // The dots per inch of the window's screen (96 at 100 %), to which the editor scales its
    // sizes in pixels (platform/dpi.h).
    virtual int Dpi() const = 0;
    // Switches the window frame between no border and a single (client-edge) border.
    virtual void SetBorder(bool Single) = 0;

    virtual void Invalidate(const TRect& Rect) = 0;
    virtual void InvalidateAll() = 0;
    // Paints the invalid parts now.
    virtual void Update() = 0;
    // Moves the pixels of Scroll by (Dx, Dy), only inside Clip, and invalidates what that uncovers.
    virtual void ScrollPixels(int Dx, int Dy, const TRect& Scroll, const TRect& Clip) = 0;
    // WM_SETREDRAW: stop or resume redrawing.
    virtual void SetRedraw(bool Redraw) = 0;

    // The system caret of this window.
    virtual void CreateCaret(TSize Size) = 0;
    virtual void DestroyCaret() = 0;
    virtual void ShowCaret() = 0;
    virtual void HideCaret() = 0;
    virtual void SetCaretPos(TPoint Position) = 0;

    // A cursor number as the editor's cursor options hold them (crIBeam -4, crDrag -12, ...).
    virtual void SetCursor(std::int16_t Cursor) = 0;
    // Mouse messages go to this window while captured, wherever the pointer is.
    virtual void SetMouseCapture(bool Capture) = 0;
    // The pointer's position now, in client pixels.
    virtual TPoint CursorPos() const = 0;

    // Range, page and position; a bar whose page covers its range is disabled, not hidden.
    virtual void SetScrollRange(TScrollBarKind Bar, const TScrollRange& Range) = 0;
    virtual void SetScrollPosition(TScrollBarKind Bar, int Position) = 0;
    virtual void ShowScrollBar(TScrollBarKind Bar, bool Show) = 0;
    // The 32-bit thumb position while the user drags it.
    virtual int TrackPosition(TScrollBarKind Bar) const = 0;
    // Height of the horizontal bar or width of the vertical one.
    virtual int ScrollBarSize(TScrollBarKind Bar) const = 0;

    // Places the input method's composition window at Position (client pixels) in Font.
    virtual void SetCompositionWindow(TPoint Position, const TFontSpec& Font) = 0;

    // The input method's result string (GCS_RESULTSTR) as CP932 bytes, read while a composition
    // message that carries one is handled.
    virtual std::string ImeResultString() = 0;

    // The character of the next message in this window's queue when it is a character message;
    // RemoveNextChar takes it out of the queue.
    virtual std::optional<std::uint16_t> PeekNextChar() = 0;
    virtual void RemoveNextChar() = 0;
    // Whether a key or mouse button (a virtual-key code) is down now.
    virtual bool KeyDown(int VirtualKey) const = 0;
    // Which of Shift, Ctrl and Alt are down now. A host that can read them at once answers with
    // one question to the system instead of three.
    virtual TShiftState ShiftState() const {
        return ShiftStateFrom([this](int VirtualKey) { return KeyDown(VirtualKey); });
    }

    // A surface on the window's client area, for measuring fonts and for drawing outside a paint
    // (caret-row underline, ruler mark).
    virtual Surface& ClientSurface() = 0;
};

} // namespace kst
