// Collections of owned items, the collection that reports its changes, and the walk over an
// object's published properties.
#pragma once

#include "core/notify.h"

#include <functional>
#include <memory>
#include <vector>

namespace kst {

class TCollection;

// An item of a collection; its index is its position there.
class TCollectionItem : public TPersistent {
public:
    // Collection is the collection the item is created for; the collection adds it afterwards.
    explicit TCollectionItem(TCollection* Collection) : FCollection(Collection) {}

    const char* ClassName() const override { return "TCollectionItem"; }

    TCollection* Collection() const { return FCollection; }
    int Index() const;

private:
    TCollection* FCollection;
};

// Owns its items. Every addition, deletion or item change calls Update once, unless held by a
// counted BeginUpdate/EndUpdate bracket, whose outermost end calls it once.
class TCollection : public TPersistent {
public:
    TCollection() = default;
    ~TCollection() override;

    const char* ClassName() const override { return "TCollection"; }

    virtual TCollectionItem* Add();
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    int IndexOf(const TCollectionItem* Item) const;

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another collection: clears, then adds one item per source item and assigns it.
    void Assign(const TPersistent& Source) override;

protected:
    // The item Add creates.
    virtual std::unique_ptr<TCollectionItem> NewItem() = 0;
    // The per-change hook: called on every change while no update is in progress.
    virtual void Update(TCollectionItem*) {}
    // Calls Update unless an update is in progress.
    void Changed();

private:
    void CheckIndex(int Index) const;

    std::vector<std::unique_ptr<TCollectionItem>> FItems;
    int FUpdateCount = 0;
};

// A collection that reports every change through OnChange and belongs to an owner.
class TNotifyCollection : public TCollection {
public:
    explicit TNotifyCollection(TPersistent* Owner) : FOwner(Owner) {}

    const char* ClassName() const override { return "TNotifyCollection"; }

    TNotifyEvent OnChange;

    // The change handler of the items' parts.
    virtual void ItemChanged(TPersistent* Sender);

    TPersistent* GetOwner() const { return FOwner; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FOwner;
};

using TPropertyVisitor = std::function<void(TPersistent& Instance, const TPropInfo& Property)>;

// Calls Visit(Instance, property) for each published property of Instance in order; after each
// property of class type, walks its object the same way, and a collection's items in index order.
void WalkPublishedProperties(TPersistent& Instance, const TPropertyVisitor& Visit);

} // namespace kst
