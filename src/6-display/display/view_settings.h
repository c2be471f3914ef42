// The editor's display settings: margins, marks, the view's colouring options, the ruler, the left
// bar with the line numbers, the image bar with the row marks, and the scrolling speeds.
#pragma once

#include "core/notify.h"
#include "core/settings_notify.h"
#include "core/settings_table.h"
#include "fountain/editor_fountain.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// How a search hit given to the editor is shown: as the selection, drawn in the hit colours, or
// covered by a caret as wide as the hit.
enum TEditorHitStyle : std::uint8_t { hsSelect, hsDraw, hsCaret };

// Whether the left bar numbers screen rows or document lines.
enum TEditorShowNumberMode : std::uint8_t { nmRow, nmLine };

// Pixel margins and bar widths.
constexpr int kMinMarginPixels = 0;
constexpr int kMaxMarginPixels = 100;

constexpr int ClampPixels(int Value) {
    return std::clamp(Value, kMinMarginPixels, kMaxMarginPixels);
}

// Pixels around the text.
#define KST_MARGIN_SETTINGS(VALUE, PART)                                                           \
    VALUE(int, Character, 0, ClampPixels)                                                          \
    VALUE(int, Left, 19, ClampPixels)                                                              \
    VALUE(int, Line, 0, ClampPixels)                                                               \
    VALUE(int, Top, 2, ClampPixels)

class TEditorMargin : public TNotifyPersistent {
public:
    // 1 while the caret-row underline is shown (it takes a pixel row under every text row), else
    // 0. The editor sets it from Marks.Underline.Visible while it handles the marks' change, so
    // setting it reports nothing, and it follows this editor's own marks, so Assign leaves it.
    int GetUnderlinePixel() const { return FUnderlinePixel; }
    void SetUnderlinePixel(bool UnderlineVisible) { FUnderlinePixel = UnderlineVisible ? 1 : 0; }

    KST_SETTINGS(TEditorMargin, KST_MARGIN_SETTINGS)

private:
    int FUnderlinePixel = 0;
};
#undef KST_MARGIN_SETTINGS

// One mark the painter can draw (end of file, line end, wrap, hidden character, caret-row
// underline).
#define KST_MARK_SETTINGS(VALUE, PART)                                                             \
    VALUE(TColor, Color, clGray, AsGiven)                                                          \
    VALUE(bool, Visible, false, AsGiven)

class TEditorMark : public TNotifyPersistent {
    KST_SETTINGS(TEditorMark, KST_MARK_SETTINGS)
};
#undef KST_MARK_SETTINGS

// The five marks. A change of any of them is reported as a change of the marks.
#define KST_MARKS_SETTINGS(VALUE, PART)                                                            \
    PART(TEditorMark, EofMark)                                                                     \
    PART(TEditorMark, RetMark)                                                                     \
    PART(TEditorMark, WrapMark)                                                                    \
    PART(TEditorMark, HideMark)                                                                    \
    PART(TEditorMark, Underline)

class TEditorMarks : public TNotifyPersistent {
    KST_SETTINGS(TEditorMarks, KST_MARKS_SETTINGS)
};
#undef KST_MARKS_SETTINGS

class TEditorViewInfo;

template <class T = TEditorViewInfo>
std::unique_ptr<T> MakeViewInfo();

// The colouring options of the view, kept in the view's own editor fountain. A change of the
// fountain (its colours, brackets or reserved words) is reported as a change of the view. The
// view's fountain is created by a virtual factory once the view is complete, so views are built
// by MakeViewInfo.
class TEditorViewInfo : public TNotifyPersistent {
public:
    class TCreateKey {
        TCreateKey() = default;
        template <class T>
        friend std::unique_ptr<T> MakeViewInfo();
    };

    explicit TEditorViewInfo(TCreateKey) {}
    ~TEditorViewInfo() override;

    const char* ClassName() const override { return "TEditorViewInfo"; }

    // Copies the eight properties of another TEditorViewInfo and reports one change.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

    // The fountain the editor colours with unless its Fountain property names another one.
    TEditorFountain& GetFountain() const { return *FFountain; }

    TEditorBracketCollection& GetBrackets() const { return FFountain->GetBrackets(); }
    // Copies Value's items (the 14-item limit applies); reports one change.
    void SetBrackets(const TFountainBracketCollection& Value);
    TEditorColors& GetColors() const { return FFountain->GetColors(); }
    // Copies every colour of Value, the reserve colour included; reports one change.
    void SetColors(const TEditorColors& Value);
    const std::string& GetCommenter() const { return FFountain->GetCommenter(); }
    void SetCommenter(std::string_view Value);
    bool GetControlCode() const { return FFountain->GetControlCode(); }
    void SetControlCode(bool Value);
    const std::string& GetHexPrefix() const { return FFountain->GetHexPrefix(); }
    void SetHexPrefix(std::string_view Value);
    bool GetMail() const { return FFountain->GetMail(); }
    void SetMail(bool Value);
    const std::string& GetQuotation() const { return FFountain->GetQuotation(); }
    // Keeps only the first byte of Value. A lead byte cannot be a quotation character (the parser
    // would split the double-byte character it starts), so it leaves no quotation.
    void SetQuotation(std::string_view Value);
    bool GetUrl() const { return FFountain->GetUrl(); }
    void SetUrl(bool Value);

protected:
    // The view's own fountain; a descendant may return a fountain of its own kind.
    virtual std::unique_ptr<TEditorFountain> NewFountain();

private:
    template <class T>
    friend std::unique_ptr<T> MakeViewInfo();

    // Creates the fountain and subscribes to its changes.
    void AttachFountain();
    TNotifyMethod FountainChangeHandler();
    template <class T>
    void StoreInFountain(void (TEditorFountain::*Setter)(T), const T& Current, T Value);
    // Runs Change with the fountain's broadcast and this view's report held, so both happen once.
    template <class F>
    void ChangeFountainTogether(F&& Change);

    std::unique_ptr<TEditorFountain> FFountain;
};

// Builds a view: T(key), then its fountain from T's factory.
template <class T>
std::unique_ptr<T> MakeViewInfo() {
    std::unique_ptr<T> view = std::make_unique<T>(TEditorViewInfo::TCreateKey());
    static_cast<TEditorViewInfo*>(view.get())->AttachFountain();
    return view;
}

// Columns between numbered ruler ticks: 8 or 10.
constexpr int kMinGaugeRange = 8;
constexpr int kMaxGaugeRange = 10;

constexpr int ClampGaugeRange(int Value) {
    return ClampEven(Value, kMinGaugeRange, kMaxGaugeRange);
}

// The column ruler above the text.
#define KST_RULER_SETTINGS(VALUE, PART)                                                            \
    VALUE(TColor, BkColor, clSilver, AsGiven)                                                      \
    VALUE(TColor, Color, clBlack, AsGiven)                                                         \
    VALUE(bool, Edge, true, AsGiven)                                                               \
    VALUE(int, GaugeRange, 10, ClampGaugeRange)                                                    \
    VALUE(TColor, MarkColor, clBlack, AsGiven)                                                     \
    VALUE(bool, Visible, false, AsGiven)

class TEditorRuler : public TNotifyPersistent {
    KST_SETTINGS(TEditorRuler, KST_RULER_SETTINGS)
};
#undef KST_RULER_SETTINGS

// Minimum digits of the line numbers.
constexpr int kMinLeftbarColumn = 1;
constexpr int kMaxLeftbarColumn = 8;

constexpr int ClampLeftbarColumn(int Value) {
    return std::clamp(Value, kMinLeftbarColumn, kMaxLeftbarColumn);
}

// The line-number bar left of the text.
#define KST_LEFTBAR_SETTINGS(VALUE, PART)                                                          \
    VALUE(TColor, BkColor, clSilver, AsGiven)                                                      \
    VALUE(TColor, Color, clBlack, AsGiven)                                                         \
    VALUE(int, Column, 4, ClampLeftbarColumn)                                                      \
    VALUE(bool, Edge, true, AsGiven)                                                               \
    VALUE(int, LeftMargin, 8, ClampPixels)                                                         \
    VALUE(int, RightMargin, 4, ClampPixels)                                                        \
    VALUE(bool, ShowNumber, true, AsGiven)                                                         \
    VALUE(TEditorShowNumberMode, ShowNumberMode, nmRow, AsGiven)                                   \
    VALUE(bool, Visible, false, AsGiven)                                                           \
    VALUE(bool, ZeroBase, false, AsGiven)                                                          \
    VALUE(bool, ZeroLead, false, AsGiven)

class TEditorLeftbar : public TNotifyPersistent {
    KST_SETTINGS(TEditorLeftbar, KST_LEFTBAR_SETTINGS)
};
#undef KST_LEFTBAR_SETTINGS

// The bar left of the line numbers that shows the row marks.
#define KST_IMAGEBAR_SETTINGS(VALUE, PART)                                                         \
    VALUE(int, DigitWidth, 8, ClampPixels)                                                         \
    VALUE(int, LeftMargin, 2, ClampPixels)                                                         \
    VALUE(int, MarkWidth, 0, ClampPixels)                                                          \
    VALUE(int, RightMargin, 2, ClampPixels)                                                        \
    VALUE(bool, Visible, true, AsGiven)

class TEditorImagebar : public TNotifyPersistent {
public:
    // The bar's width in pixels: its margins and image widths when visible, else 0.
    int Width() const;

    KST_SETTINGS(TEditorImagebar, KST_IMAGEBAR_SETTINGS)
};
#undef KST_IMAGEBAR_SETTINGS

// Rows or half pages per step: 1..4.
using TEditorSpeedRange = int;
constexpr TEditorSpeedRange kMinSpeedRange = 1;
constexpr TEditorSpeedRange kMaxSpeedRange = 4;

constexpr TEditorSpeedRange ClampSpeedRange(int Value) {
    return std::clamp(Value, kMinSpeedRange, kMaxSpeedRange);
}

// How fast the caret and pages move. The editor reads these when it moves, so a change is not
// reported.
#define KST_SPEED_SETTINGS(VALUE, PART)                                                            \
    VALUE(TEditorSpeedRange, CaretVerticalAc, 2, ClampSpeedRange)                                  \
    VALUE(bool, InitBracketsFull, false, AsGiven)                                                  \
    VALUE(TEditorSpeedRange, PageVerticalRange, 2, ClampSpeedRange)                                \
    VALUE(TEditorSpeedRange, PageVerticalRangeAc, 2, ClampSpeedRange)

class TEditorSpeed : public TPersistent {
    KST_SETTINGS(TEditorSpeed, KST_SPEED_SETTINGS)
};
#undef KST_SPEED_SETTINGS

} // namespace kst
