#include "core/errors.h"

namespace kst {

const char* const kListIndexError = "リストのインデックスが範囲を超えています";

void RaiseListIndexError() {
    throw EStringListError(kListIndexError);
}

} // namespace kst
