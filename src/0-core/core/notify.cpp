#include "core/notify.h"

#include "core/errors.h"

#include <string>

namespace kst {

void TPersistent::Assign(const TPersistent& Source) {
    AssignError(Source);
}

void TPersistent::AssignError(const TPersistent& Source) const {
    throw EConvertError(std::string("Cannot assign a ") + Source.ClassName() + " to a " +
                        ClassName());
}

void TNotifyPersistent::Changed() {
    if (FUpdateCount == 0 && OnChange) {
        OnChange(this);
    }
}

void TNotifyPersistent::BeginUpdate() {
    ++FUpdateCount;
}

void TNotifyPersistent::EndUpdate() {
    --FUpdateCount;
    Changed();
}

void TNotifyPersistent::SubObjectChanged(TPersistent* Sender) {
    if (Sender != this) {
        Changed();
    }
}

void TMethodList::Add(const TNotifyMethod& Method) {
    FItems.push_back(Method);
}

void TMethodList::Remove(const TNotifyMethod& Method) {
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
        if (*it == Method) {
            FItems.erase(std::next(it).base());
            return;
        }
    }
}

void TMethodList::Clear() {
    FItems.clear();
}

void TNotifyEventList::Add(const TNotifyMethod& Method) {
    FList.Add(Method);
}

void TNotifyEventList::Remove(const TNotifyMethod& Method) {
    FList.Remove(Method);
}

void TNotifyEventList::Changed() {
    if (UpdateCount() != 0) {
        return;
    }
    // A subscriber may remove itself while being told; each call takes a copy of the entry.
    for (int i = 0; i < FList.Count(); ++i) {
        const TNotifyMethod method = FList.Items(i);
        method(FOwner);
    }
}

TComponent::~TComponent() {
    for (int i = 0; i < FFreeNotifies.Count(); ++i) {
        const TNotifyMethod method = FFreeNotifies.Items(i);
        method(this);
    }
}

} // namespace kst
