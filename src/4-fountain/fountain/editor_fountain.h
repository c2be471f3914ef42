// The editor's own fountain: a colour per token class, the view options that drive recognition
// (commenter, quotation, hexadecimal prefix, control codes, mail and URL detection), and its
// parser.
#pragma once

#include "fountain/fountain.h"

#include <string>
#include <string_view>
#include <utility>

namespace kst {

class TEditorFountain;

// An element of the editor's colour set.
class TEditorColor : public TFountainColor {
public:
    const char* ClassName() const override { return "TEditorColor"; }
};

// The editor's colours. Each reports to the set; Reserve is the owning fountain's reserve colour.
class TEditorColors : public TNotifyPersistent {
public:
    explicit TEditorColors(TFountain& Owner);

    const char* ClassName() const override { return "TEditorColors"; }

    // The setters copy the given colour into the set's own.
    TEditorColor& GetAnk() { return FAnk; }
    void SetAnk(const TFountainColor& Value) { FAnk.Assign(Value); }
    TEditorColor& GetComment() { return FComment; }
    void SetComment(const TFountainColor& Value) { FComment.Assign(Value); }
    TEditorColor& GetDBCS() { return FDBCS; }
    void SetDBCS(const TFountainColor& Value) { FDBCS.Assign(Value); }
    TEditorColor& GetHit() { return FHit; }
    void SetHit(const TFountainColor& Value) { FHit.Assign(Value); }
    TEditorColor& GetInt() { return FInt; }
    void SetInt(const TFountainColor& Value) { FInt.Assign(Value); }
    TEditorColor& GetMail() { return FMail; }
    void SetMail(const TFountainColor& Value) { FMail.Assign(Value); }
    TFountainColor& GetReserve() const { return FOwner.GetReserve(); }
    void SetReserve(const TFountainColor& Value) { FOwner.SetReserve(Value); }
    TEditorColor& GetSelect() { return FSelect; }
    void SetSelect(const TFountainColor& Value) { FSelect.Assign(Value); }
    TEditorColor& GetStr() { return FStr; }
    void SetStr(const TFountainColor& Value) { FStr.Assign(Value); }
    TEditorColor& GetSymbol() { return FSymbol; }
    void SetSymbol(const TFountainColor& Value) { FSymbol.Assign(Value); }
    TEditorColor& GetUrl() { return FUrl; }
    void SetUrl(const TFountainColor& Value) { FUrl.Assign(Value); }

    // From a TEditorColors: every colour, the reserve colour included, in one update bracket.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

private:
    void Wire(TEditorColor& Color);

    TEditorColor FAnk;
    TEditorColor FComment;
    TEditorColor FDBCS;
    TEditorColor FHit;
    TEditorColor FInt;
    TEditorColor FMail;
    TEditorColor FSelect;
    TEditorColor FStr;
    TEditorColor FSymbol;
    TEditorColor FUrl;
    TFountain& FOwner;
};

class TEditorBracketCollection : public TFountainBracketCollection {
public:
    using TFountainBracketCollection::TFountainBracketCollection;

    const char* ClassName() const override { return "TEditorBracketCollection"; }

    // Set one attribute of every item's colour, reporting once.
    virtual void SetItemsBkColor(TColor Value);
    virtual void SetItemsColor(TColor Value);
    virtual void SetItemsStyle(TFontStyles Value);

private:
    template <class F>
    void ForEachItemColor(F&& Apply);
};

class TEditorFountain : public TFountain {
public:
    using TFountain::TFountain;

    const char* ClassName() const override { return "TEditorFountain"; }

    TEditorBracketCollection& GetBrackets() const {
        return static_cast<TEditorBracketCollection&>(TFountain::GetBrackets());
    }
    TEditorColors& GetColors() const { return *FColors; }
    void SetColors(const TEditorColors& Value) { FColors->Assign(Value); }

    // Plain fields: whoever writes them sends the notification.
    const std::string& GetCommenter() const { return FCommenter; }
    void SetCommenter(std::string Value) { FCommenter = std::move(Value); }
    bool GetControlCode() const { return FControlCode; }
    void SetControlCode(bool Value) { FControlCode = Value; }
    const std::string& GetHexPrefix() const { return FHexPrefix; }
    void SetHexPrefix(std::string Value) { FHexPrefix = std::move(Value); }
    bool GetMail() const { return FMail; }
    void SetMail(bool Value) { FMail = Value; }
    const std::string& GetQuotation() const { return FQuotation; }
    void SetQuotation(std::string Value) { FQuotation = std::move(Value); }
    bool GetUrl() const { return FUrl; }
    void SetUrl(bool Value) { FUrl = Value; }

    // Set one attribute of every colour but Select and Hit, telling the subscribers once.
    virtual void SetAllBkColor(TColor Value);
    virtual void SetAllColor(TColor Value);
    virtual void SetAllStyle(TFontStyles Value);

    std::vector<TPropInfo> PublishedProperties() override;

protected:
    void AfterConstruction() override;
    virtual std::unique_ptr<TEditorColors> MakeColors();
    std::unique_ptr<TFountainBracketCollection> NewBracketCollection() override;
    TFountainParserClass ParserClass() const override;
    // Spares the colours named "Select" and "Hit".
    void ApplyColorProc(TPersistent& Instance, const TPropInfo& Property) override;

private:
    void ApplyToColors(const TFountainColor& Template, std::uint8_t Mask);

    std::unique_ptr<TEditorColors> FColors;
    std::string FCommenter;
    bool FControlCode = false;
    std::string FHexPrefix;
    bool FMail = false;
    std::string FQuotation;
    bool FUrl = false;
};

} // namespace kst
