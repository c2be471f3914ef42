// The fountain: how text is coloured (a colour per kind of token, reserved words, bracket regions)
// and the factory of the parser that reads it. Every change of any part reaches the fountain's
// subscribers through its notification list.
#pragma once

#include "core/notify.h"
#include "core/string_list_sorted.h"
#include "fountain/collection.h"
#include "fountain/fountain_color.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kst {

class TFountain;
class TFountainParser;

// A collection item with a colour. Created in a TNotifyCollection, its colour reports to the
// collection's ItemChanged.
class TFountainColorItem : public TCollectionItem {
public:
    explicit TFountainColorItem(TCollection* Collection);

    const char* ClassName() const override { return "TFountainColorItem"; }

    TFountainColor& GetItemColor() { return FItemColor; }
    const TFountainColor& GetItemColor() const { return FItemColor; }
    // Copies Value into the item's own colour.
    void SetItemColor(const TFountainColor& Value) { FItemColor.Assign(Value); }

    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

private:
    TFountainColor FItemColor;
};

// A region that opens with LeftBracket, closes with RightBracket, may span rows and is drawn in
// ItemColor. An item that opens a region must be able to close it: a RightBracket cannot be
// emptied while LeftBracket is set, nor such an item assigned.
class TFountainBracketItem : public TFountainColorItem {
public:
    using TFountainColorItem::TFountainColorItem;

    const char* ClassName() const override { return "TFountainBracketItem"; }

    const std::string& GetLeftBracket() const { return FLeftBracket; }
    void SetLeftBracket(std::string_view Value);
    const std::string& GetRightBracket() const { return FRightBracket; }
    void SetRightBracket(std::string_view Value);

    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

private:
    void ReportChange();

    std::string FLeftBracket;
    std::string FRightBracket;
};

// At most this many bracket items: a row's start state keeps the index in 0..13.
constexpr int kMaxBracketItems = 14;

class TFountainBracketCollection : public TNotifyCollection {
public:
    using TNotifyCollection::TNotifyCollection;

    const char* ClassName() const override { return "TFountainBracketCollection"; }

    // Raises when the collection already holds kMaxBracketItems items.
    TFountainBracketItem* Add() override;
    TFountainBracketItem* Items(int Index) const {
        return static_cast<TFountainBracketItem*>(TCollection::Items(Index));
    }

protected:
    std::unique_ptr<TCollectionItem> NewItem() override;
};

// A component that keeps the list of file extensions it serves.
class TFileExtComponent : public TComponent {
public:
    using TComponent::TComponent;

    const char* ClassName() const override { return "TFileExtComponent"; }

    TStringList& GetFileExtList() { return *FFileExtList; }
    // Replaces the list's content by Value's.
    virtual void SetFileExtList(const TStrings& Value);
    // Whether Ext is in FileExtList, without regard to case.
    virtual bool ServesExtension(std::string_view Ext) const;

    std::vector<TPropInfo> PublishedProperties() override;

protected:
    void AfterConstruction() override;
    // A new list, sorted, duplicates ignored, compared without regard to case.
    virtual std::unique_ptr<TStringList> NewSortedList();
    virtual void FillDefaultExtensions() {}

private:
    std::unique_ptr<TStringList> FFileExtList;
};

// How a fountain names its parser class: a function that creates a parser for the fountain.
using TFountainParserClass = std::unique_ptr<TFountainParser> (*)(TFountain* Fountain);

template <class TParser>
std::unique_ptr<TFountainParser> CreateParser(TFountain* Fountain) {
    return std::make_unique<TParser>(Fountain);
}

// Bits of ApplyColorToAll's mask.
constexpr std::uint8_t kApplyBkColor = 1;
constexpr std::uint8_t kApplyColor = 2;
constexpr std::uint8_t kApplyStyle = 4;

class TFountain : public TFileExtComponent {
public:
    using TFileExtComponent::TFileExtComponent;
    ~TFountain() override;

    const char* ClassName() const override { return "TFountain"; }

    TFountainBracketCollection& GetBrackets() const { return *FBrackets; }
    // Copies Value's items (the 14-item limit applies).
    void SetBrackets(const TFountainBracketCollection& Value) { FBrackets->Assign(Value); }
    TFountainColor& GetReserve() const { return *FReserve; }
    void SetReserve(const TFountainColor& Value) { FReserve->Assign(Value); }
    TStringList& GetReserveWordList() const { return *FReserveWordList; }
    // Replaces the word list's content, then tells the subscribers.
    void SetReserveWordList(const TStrings& Value);

    // The list the editors subscribe to.
    TNotifyEventList& GetNotifyEventList() const { return *FNotifyEventList; }

    // A new parser reading this fountain; the caller owns it.
    virtual std::unique_ptr<TFountainParser> NewParser();
    // Whether the parser's state at the start of a line can depend on the lines before it: true
    // when a bracket item can open a region that runs on over line ends. A fountain whose parser
    // carries other state from line to line answers true as well.
    virtual bool StateRunsAcrossLines() const;
    // Whether any fountain colour reachable from Instance's published properties is italic.
    virtual bool UsesItalic(TPersistent& Instance);
    // Sets, on every fountain colour reachable from Instance, the attributes Mask selects
    // (kApplyBkColor, kApplyColor, kApplyStyle) from Template, through the notifying setters.
    void ApplyColorToAll(TPersistent& Instance, const TFountainColor& Template, std::uint8_t Mask);

    std::vector<TPropInfo> PublishedProperties() override;

protected:
    void AfterConstruction() override;
    // A new colour that reports to the notification list.
    virtual std::unique_ptr<TFountainColor> NewFountainColor();
    virtual void MakeFountainColors();
    virtual std::unique_ptr<TFountainBracketCollection> NewBracketCollection();
    virtual TFountainParserClass ParserClass() const = 0;
    virtual void FillDefaultBrackets() {}
    virtual void FillDefaultReserveWords() {}
    virtual void CheckItalicProc(TPersistent& Instance, const TPropInfo& Property);
    virtual void ApplyColorProc(TPersistent& Instance, const TPropInfo& Property);

    // OnChange of a part that reports straight to the notification list.
    TNotifyEvent NotifyListHandler() const;

private:
    std::unique_ptr<TFountainBracketCollection> FBrackets;
    std::unique_ptr<TNotifyEventList> FNotifyEventList;
    std::unique_ptr<TFountainColor> FReserve;
    std::unique_ptr<TStringList> FReserveWordList;
    bool FIsItalic = false;
    const TFountainColor* FTemplateColor = nullptr;
    std::uint8_t FAttributeMask = 0;
};

} // namespace kst
