#include "fountain/collection.h"

#include "core/errors.h"

namespace kst {

int TCollectionItem::Index() const {
    return FCollection == nullptr ? -1 : FCollection->IndexOf(this);
}

TCollection::~TCollection() = default;

TCollectionItem* TCollection::Add() {
    FItems.push_back(NewItem());
    Changed();
    return FItems.back().get();
}

void TCollection::Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TCollection::Clear() {
    if (FItems.empty()) {
        return;
    }
    FItems.clear();
    Changed();
}

TCollectionItem* TCollection::Items(int Index) const {
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)].get();
}

int TCollection::IndexOf(const TCollectionItem* Item) const {
    for (int i = 0; i < Count(); ++i) {
        if (FItems[static_cast<std::size_t>(i)].get() == Item) {
            return i;
        }
    }
    return -1;
}

void TCollection::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) {
        RaiseListIndexError();
    }
}

void TCollection::EndUpdate() {
    --FUpdateCount;
    Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0) {
        Update(nullptr);
    }
}

void TCollection::Assign(const TPersistent& Source) {
    auto* source = dynamic_cast<const TCollection*>(&Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this) {
        return; // clearing first would lose the very items to copy
    }
    BeginUpdate();
    try {
        Clear();
        for (int i = 0; i < source->Count(); ++i) {
            Add()->Assign(*source->Items(i));
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TNotifyCollection::ItemChanged(TPersistent* Sender) {
    if (Sender != this) {
        Changed();
    }
}

void TNotifyCollection::Update(TCollectionItem*) {
    if (OnChange) {
        OnChange(this);
    }
}

void WalkPublishedProperties(TPersistent& Instance, const TPropertyVisitor& Visit) {
    for (const TPropInfo& property : Instance.PublishedProperties()) {
        Visit(Instance, property);
        if (property.Kind != TPropertyKind::Class || property.Object == nullptr) {
            continue;
        }
        WalkPublishedProperties(*property.Object, Visit);
        if (auto* collection = dynamic_cast<TCollection*>(property.Object)) {
            for (int i = 0; i < collection->Count(); ++i) {
                WalkPublishedProperties(*collection->Items(i), Visit);
            }
        }
    }
}

} // namespace kst
