// The editor control's host services over a real window.
#pragma once

#include "platform/editor_host.h"
#include "win32/gdi_surface.h"
#include "win32/windows_api.h"

#include <optional>
#include <string>

namespace kst::win32 {

// Which of Shift, Ctrl and Alt were down for the message being handled, in one question to the
// system.
TShiftState KeyboardShiftState();

class WindowHost final : public EditorHost {
public:
    explicit WindowHost(HWND Window);

    bool HasWindow() const override;
    bool Showing() const override;
    bool Focused() const override;
    void SetFocus() override;
    TSize ClientSize() const override;
    int Dpi() const override;
    TSize ScreenSize() const override;
    void SetBorder(bool Single) override;

    void Invalidate(const TRect& Rect) override;
    void InvalidateAll() override;
    void Update() override;
    void ScrollPixels(int Dx, int Dy, const TRect& Scroll, const TRect& Clip) override;
    void SetRedraw(bool Redraw) override;

    void CreateCaret(TSize Size) override;
    void DestroyCaret() override;
    void ShowCaret() override;
    void HideCaret() override;
    void SetCaretPos(TPoint Position) override;

    void SetCursor(std::int16_t Cursor) override;
    void SetMouseCapture(bool Capture) override;
    TPoint CursorPos() const override;

    void SetScrollRange(TScrollBarKind Bar, const TScrollRange& Range) override;
    void SetScrollPosition(TScrollBarKind Bar, int Position) override;
    void ShowScrollBar(TScrollBarKind Bar, bool Show) override;
    int TrackPosition(TScrollBarKind Bar) const override;
    int ScrollBarSize(TScrollBarKind Bar) const override;

    void SetCompositionWindow(TPoint Position, const TFontSpec& Font) override;

    // Read from the window's input context; characters without a CP932 form are left out, as
    // they are from typed characters.
    std::string ImeResultString() override;

    // Character messages carry UTF-16; the editor reads CP932 bytes, one character message per
    // byte. The bytes of a typed character wait here until the editor has them: a lead byte's
    // second byte is always queued behind it, since each UTF-16 unit converts to whole CP932
    // characters.
    std::optional<std::uint16_t> PeekNextChar() override;
    void RemoveNextChar() override;
    // Queues the CP932 bytes of a character message's UTF-16 unit; nothing for a unit CP932
    // lacks (a lone surrogate half, an accented letter).
    void QueueCharacter(wchar_t Unit);
    std::optional<std::uint8_t> TakeQueuedByte();
    // WM_SETFOCUS and WM_KILLFOCUS, before the editor sees them: the editor asks for the focus
    // many times a keystroke, and asking the system costs a round trip to the Wine server.
    void FocusChanged(bool Focused) { FFocused = Focused; }

    bool KeyDown(int VirtualKey) const override;
    TShiftState ShiftState() const override;

    Surface& ClientSurface() override { return FClient; }

private:
    // A device context of the window, released when it goes.
    class WindowDC {
    public:
        explicit WindowDC(HWND Window) : FOwner(Window), FHandle(GetDC(Window)) {}
        ~WindowDC() { ReleaseDC(FOwner, FHandle); }
        WindowDC(const WindowDC&) = delete;
        WindowDC& operator=(const WindowDC&) = delete;

    protected:
        HWND FOwner;
        HDC FHandle;
    };

    // The window's device context (its own one, as the "TEditor" class has CS_OWNDC), sized like
    // its client area.
    class ClientAreaSurface final : private WindowDC, public GdiSurface {
    public:
        explicit ClientAreaSurface(HWND Window);
        TSize Size() const override;
    };

    HWND FWindow;
    ClientAreaSurface FClient;
    std::string FQueuedBytes;
    bool FFocused = false;
    // Where this window last placed the system caret; none after the caret was made or scrolled.
    std::optional<TPoint> FCaretPosition;
};

} // namespace kst::win32
