#include "core/errors.h"

namespace kst {

const char* const kListIndexError = "リストのインデックスが範囲を超えています";

void RaiseListIndexError() {
    throw EStringListError(kListIndexError);
}

void RaiseInvalidInteger(const std::string& Text) {
    throw EConvertError("'" + Text + "' は有効な整数値ではありません");
}

} // namespace kst
