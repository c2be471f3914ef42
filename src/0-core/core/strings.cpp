#include "core/strings.h"

namespace kst {

int TStrings::Add(std::string_view S) {
    const int index = GetCount();
    Insert(index, S);
    return index;
}

std::string TStrings::GetTextStr() const {
    std::string text;
    const int n = GetCount();
    for (int i = 0; i < n; ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetTextStr(std::string_view S) {
    BeginUpdate();
    try {
        Clear();
        ForEachLine(S, [this](std::string_view Line) { Add(Line); });
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (FUpdateCount++ == 0) {
        SetUpdateState(true);
    }
}

void TStrings::EndUpdate() {
    if (--FUpdateCount == 0) {
        SetUpdateState(false);
    }
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Assign(const TPersistent& Source) {
    auto* source = dynamic_cast<const TStrings*>(&Source);
    if (source == nullptr) {
        AssignError(Source);
    }
    if (source == this) {
        return; // clearing first would lose the very strings to copy
    }
    BeginUpdate();
    try {
        Clear();
        for (int i = 0; i < source->GetCount(); ++i) {
            Add(source->Get(i));
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

} // namespace kst
