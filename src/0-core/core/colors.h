// Colours and font styles, as the Windows drawing services take them.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace kst {

// A Windows colour value: 0x00BBGGRR.
using TColor = std::int32_t;

// No colour of its own: the editor's background for a background, the font's colour otherwise.
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBlack = 0x000000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNavy = 0x800000;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGreen = 0x008000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clOlive = 0x008080;

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> Styles) {
        for (TFontStyle s : Styles) {
            FBits = static_cast<std::uint8_t>(FBits | Bit(s));
        }
    }

    constexpr bool Contains(TFontStyle Style) const { return (FBits & Bit(Style)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr bool operator==(const TFontStyles&) const = default;

private:
    static constexpr std::uint8_t Bit(TFontStyle Style) {
        return static_cast<std::uint8_t>(1u << Style);
    }

    std::uint8_t FBits = 0;
};

} // namespace kst
