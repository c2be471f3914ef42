// An editor window for tests: it has a size, focus and a system caret, and records what the editor
// asks of it (invalidations, pixel scrolls, scroll-bar settings, caret calls). Scrolling pixels
// invalidates the uncovered strip, as the window system does.
#pragma once

#include "platform/editor_host.h"
#include "recording_surface.h"

#include <array>
#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

namespace kst {

class RecordingHost : public EditorHost {
public:
    struct TScroll {
        int Dx = 0;
        int Dy = 0;
        TRect Scroll;
        TRect Clip;
    };

    struct TScrollBar {
        TScrollRange Range;
        bool Shown = false;
        int TrackPosition = 0;
    };

    explicit RecordingHost(TSize Client = {400, 300});

    bool HasWindow() const override { return Window; }
    bool Showing() const override { return Visible; }
    bool Focused() const override { return HasFocus; }
    void SetFocus() override { HasFocus = true; }
    TSize ClientSize() const override { return Client; }
    int Dpi() const override { return DotsPerInch; }
    TSize ScreenSize() const override { return Screen; }
    void SetBorder(bool Single) override { SingleBorder = Single; }

    void Invalidate(const TRect& Rect) override { Invalidations.push_back(Rect); }
    void InvalidateAll() override { ++WholeInvalidations; }
    void Update() override { ++Updates; }
    void ScrollPixels(int Dx, int Dy, const TRect& Scroll, const TRect& Clip) override;
    void SetRedraw(bool Redraw) override { Redrawing = Redraw; }

    void CreateCaret(TSize Size) override;
    void DestroyCaret() override { CaretExists = false; }
    void ShowCaret() override;
    void HideCaret() override;
    void SetCaretPos(TPoint Position) override { CaretPos = Position; }
    bool CaretVisible() const { return CaretExists && CaretHideLevel == 0; }

    void SetCursor(std::int16_t Value) override { Cursor = Value; }
    void SetMouseCapture(bool Capture) override { MouseCaptured = Capture; }
    TPoint CursorPos() const override { return Pointer; }

    void SetScrollRange(TScrollBarKind Bar, const TScrollRange& Range) override;
    void SetScrollPosition(TScrollBarKind Bar, int Position) override;
    void ShowScrollBar(TScrollBarKind Bar, bool Show) override { Bars(Bar).Shown = Show; }
    int TrackPosition(TScrollBarKind Bar) const override { return Bars(Bar).TrackPosition; }
    int ScrollBarSize(TScrollBarKind) const override { return BarSize; }

    void SetCompositionWindow(TPoint Position, const TFontSpec& Font) override;

    std::string ImeResultString() override { return ImeResult; }

    std::optional<std::uint16_t> PeekNextChar() override;
    void RemoveNextChar() override;
    bool KeyDown(int VirtualKey) const override { return KeysDown.contains(VirtualKey); }

    Surface& ClientSurface() override { return Canvas; }

    TScrollBar& Bars(TScrollBarKind Bar) { return FBars[static_cast<std::size_t>(Bar)]; }
    const TScrollBar& Bars(TScrollBarKind Bar) const {
        return FBars[static_cast<std::size_t>(Bar)];
    }
    // Forgets the recorded invalidations, updates and scrolls.
    void ClearRecords();
    // The smallest rectangle holding every recorded invalidation; empty when there is none.
    TRect InvalidatedBounds() const;

    bool Window = true;
    bool Visible = true;
    bool HasFocus = false;
    TSize Client;
    TSize Screen{1280, 1024};
    int DotsPerInch = 96;
    bool SingleBorder = true;
    int BarSize = 16;
    bool Redrawing = true;

    std::vector<TRect> Invalidations;
    int WholeInvalidations = 0;
    int Updates = 0;
    std::vector<TScroll> Scrolls;

    bool CaretExists = false;
    int CaretCreates = 0;
    TSize CaretSize;
    int CaretHideLevel = 1;
    TPoint CaretPos;

    std::int16_t Cursor = 0;
    bool MouseCaptured = false;
    TPoint Pointer;
    TPoint CompositionPos;
    TFontSpec CompositionFont;

    // What ImeResultString answers.
    std::string ImeResult;
    std::deque<std::uint16_t> PendingChars;
    std::set<int> KeysDown;

    RecordingSurface Canvas;

private:
    std::array<TScrollBar, 2> FBars;
};

} // namespace kst
