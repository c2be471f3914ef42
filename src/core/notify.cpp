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

} // namespace kst
