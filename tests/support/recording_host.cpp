#include "recording_host.h"

#include <algorithm>
#include <cstdlib>

namespace kst {

RecordingHost::RecordingHost(TSize ClientSize) : Client(ClientSize), Canvas(ClientSize) {}

namespace {

// The strip of Area that moving its pixels by (Dx, Dy) leaves uncovered; all of Area when the
// move is as large as the area.
TRect UncoveredStrip(const TRect& Area, int Dx, int Dy) {
    if (std::abs(Dx) >= Area.Width() || std::abs(Dy) >= Area.Height()) {
        return Area;
    }
    TRect strip = Area;
    if (Dy > 0) {
        strip.Bottom = Area.Top + Dy;
    } else if (Dy < 0) {
        strip.Top = Area.Bottom + Dy;
    } else if (Dx > 0) {
        strip.Right = Area.Left + Dx;
    } else if (Dx < 0) {
        strip.Left = Area.Right + Dx;
    }
    return strip;
}

} // namespace

void RecordingHost::ScrollPixels(int Dx, int Dy, const TRect& Scroll, const TRect& Clip) {
    Scrolls.push_back({Dx, Dy, Scroll, Clip});
    const TRect area = TRect::Intersection(Scroll, Clip);
    if (!area.IsEmpty() && (Dx != 0 || Dy != 0)) {
        Invalidations.push_back(UncoveredStrip(area, Dx, Dy));
    }
}

void RecordingHost::CreateCaret(TSize Size) {
    CaretExists = true;
    CaretSize = Size;
    CaretHideLevel = 1;
    ++CaretCreates;
}

void RecordingHost::ShowCaret() {
    if (CaretExists && CaretHideLevel > 0) {
        --CaretHideLevel;
    }
}

void RecordingHost::HideCaret() {
    if (CaretExists) {
        ++CaretHideLevel;
    }
}

void RecordingHost::SetScrollRange(TScrollBarKind Bar, const TScrollRange& Range) {
    Bars(Bar).Range = Range;
}

void RecordingHost::SetScrollPosition(TScrollBarKind Bar, int Position) {
    Bars(Bar).Range.Position = Position;
}

void RecordingHost::SetCompositionWindow(TPoint Position, const TFontSpec& Font) {
    CompositionPos = Position;
    CompositionFont = Font;
}

std::optional<std::uint16_t> RecordingHost::PeekNextChar() {
    if (PendingChars.empty()) {
        return std::nullopt;
    }
    return PendingChars.front();
}

void RecordingHost::RemoveNextChar() {
    if (!PendingChars.empty()) {
        PendingChars.pop_front();
    }
}

void RecordingHost::ClearRecords() {
    Invalidations.clear();
    WholeInvalidations = 0;
    Updates = 0;
    Scrolls.clear();
}

TRect RecordingHost::InvalidatedBounds() const {
    if (Invalidations.empty()) {
        return {};
    }
    TRect bounds = Invalidations.front();
    for (const TRect& r : Invalidations) {
        bounds = {std::min(bounds.Left, r.Left), std::min(bounds.Top, r.Top),
                  std::max(bounds.Right, r.Right), std::max(bounds.Bottom, r.Bottom)};
    }
    return bounds;
}

} // namespace kst
