// Colours, font styles, and the colour triple a fountain gives each kind of token.
#pragma once

#include "core/notify.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace kst {

// A Windows colour value: 0x00BBGGRR.
using TColor = std::int32_t;

// No colour of its own: the editor's background for a background, the font's colour otherwise.
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNavy = 0x800000;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGreen = 0x008000;
constexpr TColor clFuchsia = 0xFF00FF;

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

// A colour triple: background, foreground, style. Setters notify only on a real change.
class TFountainColor : public TNotifyPersistent {
public:
    const char* ClassName() const override { return "TFountainColor"; }

    TColor GetBkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles Value);

    // From a TFountainColor: copies all three and reports one change, even when nothing differed.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

private:
    TColor FBkColor = clNone;
    TColor FColor = clNone;
    TFontStyles FStyle;
};

} // namespace kst
