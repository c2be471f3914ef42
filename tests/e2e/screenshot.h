// Screenshots of windows on the screen, saved as PNG files for people to look at.
#pragma once

#include "win32/windows_api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kst::e2e {

// An image as rows of red, green and blue bytes, top row first.
struct TImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgb;
};

// The pixels of Window's rectangle on the screen.
TImage CaptureWindow(HWND Window);

// An uncompressed PNG file; answers whether it was written.
bool WritePng(const std::wstring& Path, const TImage& Image);

// The number of different colours in Image.
std::size_t ColourCount(const TImage& Image);

// Saves Window's pixels as Name beside the test program once they hold more than MinColours
// colours, that is once the window has drawn itself (waiting up to 10 s); answers whether it
// drew and the file was written.
bool SaveDrawnWindow(HWND Window, const std::wstring& Name, std::size_t MinColours);

// Whether Image holds a pixel of the colour 0xRRGGBB.
bool HasColour(const TImage& Image, std::uint32_t Rgb);

// Text drawn with Font, black on white, with a margin around it.
TImage DrawnText(const std::wstring& Text, HFONT Font);

// Which pixels of a picture are dark, row by row: text drawn dark on a light ground.
struct InkMask {
    int Width = 0;
    int Height = 0;
    std::vector<bool> Dark;

    bool operator==(const InkMask&) const = default;
};

// The dark pixels of Image's rows Top..Bottom-1, or of all its rows.
InkMask DarkPixels(const TImage& Image, int Top, int Bottom);
InkMask DarkPixels(const TImage& Image);
// The smallest part of Ink that holds all its dark pixels.
InkMask Trimmed(const InkMask& Ink);
// Whether Part appears in Whole, its light pixels as well as its dark ones.
bool Contains(const InkMask& Whole, const InkMask& Part);

} // namespace kst::e2e
