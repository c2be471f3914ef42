// The editor's display settings: margins, marks, the view's colouring options, the ruler, the left
// bar with the line numbers, the image bar with the row marks, and the scrolling speeds.
#pragma once

#include "core/notify.h"
#include "fountain/editor_fountain.h"

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

// Pixels around the text.
class TEditorMargin : public TNotifyPersistent {
public:
    const char* ClassName() const override { return "TEditorMargin"; }

    // Copies the four margins of another TEditorMargin and reports one change. The underline pixel
    // follows this editor's own marks and is not copied.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

    // Each setter clamps to kMinMarginPixels..kMaxMarginPixels.
    int GetCharacter() const { return FCharacter; }
    void SetCharacter(int Value);
    int GetLeft() const { return FLeft; }
    void SetLeft(int Value);
    int GetLine() const { return FLine; }
    void SetLine(int Value);
    int GetTop() const { return FTop; }
    void SetTop(int Value);

    // 1 while the caret-row underline is shown (it takes a pixel row under every text row), else
    // 0. The editor sets it from Marks.Underline.Visible while it handles the marks' change, so
    // setting it reports nothing.
    int GetUnderlinePixel() const { return FUnderlinePixel; }
    void SetUnderlinePixel(bool UnderlineVisible) { FUnderlinePixel = UnderlineVisible ? 1 : 0; }

private:
    int FCharacter = 0;
    int FLeft = 19;
    int FLine = 0;
    int FTop = 2;
    int FUnderlinePixel = 0;
};

// One mark the painter can draw (end of file, line end, wrap, hidden character, caret-row
// underline).
class TEditorMark : public TNotifyPersistent {
public:
    const char* ClassName() const override { return "TEditorMark"; }

    // Copies colour and visibility of another TEditorMark and reports one change.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);

private:
    TColor FColor = clGray;
    bool FVisible = false;
};

// The five marks. A change of any of them is reported as a change of the marks.
class TEditorMarks : public TNotifyPersistent {
public:
    TEditorMarks();

    const char* ClassName() const override { return "TEditorMarks"; }

    // Copies all five marks of another TEditorMarks and reports one change.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

    // The setters copy the given mark into the owned one.
    TEditorMark& GetEofMark() { return FEofMark; }
    const TEditorMark& GetEofMark() const { return FEofMark; }
    void SetEofMark(const TEditorMark& Value) { FEofMark.Assign(Value); }
    TEditorMark& GetRetMark() { return FRetMark; }
    const TEditorMark& GetRetMark() const { return FRetMark; }
    void SetRetMark(const TEditorMark& Value) { FRetMark.Assign(Value); }
    TEditorMark& GetWrapMark() { return FWrapMark; }
    const TEditorMark& GetWrapMark() const { return FWrapMark; }
    void SetWrapMark(const TEditorMark& Value) { FWrapMark.Assign(Value); }
    TEditorMark& GetHideMark() { return FHideMark; }
    const TEditorMark& GetHideMark() const { return FHideMark; }
    void SetHideMark(const TEditorMark& Value) { FHideMark.Assign(Value); }
    TEditorMark& GetUnderline() { return FUnderline; }
    const TEditorMark& GetUnderline() const { return FUnderline; }
    void SetUnderline(const TEditorMark& Value) { FUnderline.Assign(Value); }

private:
    TEditorMark FEofMark;
    TEditorMark FRetMark;
    TEditorMark FWrapMark;
    TEditorMark FHideMark;
    TEditorMark FUnderline;
};

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

// The column ruler above the text.
class TEditorRuler : public TNotifyPersistent {
public:
    const char* ClassName() const override { return "TEditorRuler"; }

    // Copies all six properties of another TEditorRuler and reports one change.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

    TColor GetBkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    bool GetEdge() const { return FEdge; }
    void SetEdge(bool Value);
    int GetGaugeRange() const { return FGaugeRange; }
    // Clamps to kMinGaugeRange..kMaxGaugeRange and rounds down to an even number.
    void SetGaugeRange(int Value);
    TColor GetMarkColor() const { return FMarkColor; }
    void SetMarkColor(TColor Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);

private:
    TColor FBkColor = clSilver;
    TColor FColor = clBlack;
    bool FEdge = true;
    int FGaugeRange = 10;
    TColor FMarkColor = clBlack;
    bool FVisible = false;
};

// Minimum digits of the line numbers.
constexpr int kMinLeftbarColumn = 1;
constexpr int kMaxLeftbarColumn = 8;

// The line-number bar left of the text.
class TEditorLeftbar : public TNotifyPersistent {
public:
    const char* ClassName() const override { return "TEditorLeftbar"; }

    // Copies all eleven properties of another TEditorLeftbar and reports one change.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

    TColor GetBkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    int GetColumn() const { return FColumn; }
    // Clamps to kMinLeftbarColumn..kMaxLeftbarColumn.
    void SetColumn(int Value);
    bool GetEdge() const { return FEdge; }
    void SetEdge(bool Value);
    // The margins clamp to kMinMarginPixels..kMaxMarginPixels.
    int GetLeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int Value);
    int GetRightMargin() const { return FRightMargin; }
    void SetRightMargin(int Value);
    bool GetShowNumber() const { return FShowNumber; }
    void SetShowNumber(bool Value);
    TEditorShowNumberMode GetShowNumberMode() const { return FShowNumberMode; }
    void SetShowNumberMode(TEditorShowNumberMode Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    bool GetZeroBase() const { return FZeroBase; }
    void SetZeroBase(bool Value);
    bool GetZeroLead() const { return FZeroLead; }
    void SetZeroLead(bool Value);

private:
    TColor FBkColor = clSilver;
    TColor FColor = clBlack;
    int FColumn = 4;
    bool FEdge = true;
    int FLeftMargin = 8;
    int FRightMargin = 4;
    bool FShowNumber = true;
    TEditorShowNumberMode FShowNumberMode = nmRow;
    bool FVisible = false;
    bool FZeroBase = false;
    bool FZeroLead = false;
};

// The bar left of the line numbers that shows the row marks.
class TEditorImagebar : public TNotifyPersistent {
public:
    const char* ClassName() const override { return "TEditorImagebar"; }

    // Copies all five properties of another TEditorImagebar and reports one change.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

    // The widths clamp to kMinMarginPixels..kMaxMarginPixels.
    int GetDigitWidth() const { return FDigitWidth; }
    void SetDigitWidth(int Value);
    int GetLeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int Value);
    int GetMarkWidth() const { return FMarkWidth; }
    void SetMarkWidth(int Value);
    int GetRightMargin() const { return FRightMargin; }
    void SetRightMargin(int Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);

    // The bar's width in pixels: its margins and image widths when visible, else 0.
    int Width() const;

private:
    int FDigitWidth = 8;
    int FLeftMargin = 2;
    int FMarkWidth = 0;
    int FRightMargin = 2;
    bool FVisible = true;
};

// Rows or half pages per step: 1..4.
using TEditorSpeedRange = int;
constexpr TEditorSpeedRange kMinSpeedRange = 1;
constexpr TEditorSpeedRange kMaxSpeedRange = 4;

// How fast the caret and pages move. The editor reads these when it moves, so a change is not
// reported.
class TEditorSpeed : public TPersistent {
public:
    const char* ClassName() const override { return "TEditorSpeed"; }

    // Copies all four properties of another TEditorSpeed.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

    // The ranges clamp to kMinSpeedRange..kMaxSpeedRange.
    TEditorSpeedRange GetCaretVerticalAc() const { return FCaretVerticalAc; }
    void SetCaretVerticalAc(int Value);
    bool GetInitBracketsFull() const { return FInitBracketsFull; }
    void SetInitBracketsFull(bool Value) { FInitBracketsFull = Value; }
    TEditorSpeedRange GetPageVerticalRange() const { return FPageVerticalRange; }
    void SetPageVerticalRange(int Value);
    TEditorSpeedRange GetPageVerticalRangeAc() const { return FPageVerticalRangeAc; }
    void SetPageVerticalRangeAc(int Value);

private:
    TEditorSpeedRange FCaretVerticalAc = 2;
    bool FInitBracketsFull = false;
    TEditorSpeedRange FPageVerticalRange = 2;
    TEditorSpeedRange FPageVerticalRangeAc = 2;
};

} // namespace kst
