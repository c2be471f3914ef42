#include "core/string_list_sorted.h"

#include "core/code_page.h"
#include "core/errors.h"

#include <algorithm>

namespace kst {

namespace {

const char* const kSortedListError = "ソートされたリストに対しては実行できません";
const char* const kDuplicateStringError = "リストは重複を許しません";

int CompareBytes(unsigned char A, unsigned char B) {
    return A < B ? -1 : (A > B ? 1 : 0);
}

} // namespace

int CompareIgnoringCase(std::string_view A, std::string_view B) {
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(A[i]);
        const auto b = static_cast<unsigned char>(B[i]);
        if (a != b) {
            if (const int c = CompareBytes(kUpperCaseBytes[a], kUpperCaseBytes[b]); c != 0) {
                return c;
            }
        } else if (IsLeadByte(a) && i + 1 < n) {
            // Both strings carry a pair here: its trail bytes compare as they are.
            ++i;
            if (const int c = CompareBytes(static_cast<unsigned char>(A[i]),
                                           static_cast<unsigned char>(B[i]));
                c != 0) {
                return c;
            }
        }
    }
    return A.size() < B.size() ? -1 : (A.size() > B.size() ? 1 : 0);
}

std::string TStringList::Get(int Index) const {
    return std::string(GetView(Index));
}

std::string_view TStringList::GetView(int Index) const {
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

void TStringList::Put(int Index, std::string_view S) {
    CheckNotSorted();
    CheckIndex(Index);
    FItems[static_cast<std::size_t>(Index)] = S;
}

void TStringList::Insert(int Index, std::string_view S) {
    CheckNotSorted();
    if (Index < 0 || Index > GetCount()) {
        RaiseListIndexError();
    }
    FItems.insert(FItems.begin() + Index, std::string(S));
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
}

void TStringList::Clear() {
    FItems.clear();
}

int TStringList::Add(std::string_view S) {
    if (!FSorted) {
        FItems.emplace_back(S);
        return GetCount() - 1;
    }
    int index = 0;
    if (Find(S, index)) {
        if (FDuplicates == dupIgnore) {
            return index;
        }
        if (FDuplicates == dupError) {
            throw EStringListError(kDuplicateStringError);
        }
    }
    FItems.insert(FItems.begin() + index, std::string(S));
    return index;
}

bool TStringList::Find(std::string_view S, int& Index) const {
    int low = 0;
    int high = GetCount() - 1;
    bool found = false;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int c = Compare(FItems[static_cast<std::size_t>(middle)], S);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0) {
                found = true;
                // Equal strings may repeat with dupAccept: report the first of them.
                if (FDuplicates != dupAccept) {
                    low = middle;
                }
            }
        }
    }
    Index = low;
    return found;
}

int TStringList::IndexOf(std::string_view S) const {
    if (FSorted) {
        int index = 0;
        return Find(S, index) ? index : -1;
    }
    for (int i = 0; i < GetCount(); ++i) {
        if (Compare(FItems[static_cast<std::size_t>(i)], S) == 0) {
            return i;
        }
    }
    return -1;
}

void TStringList::SetSorted(bool Value) {
    if (Value && !FSorted) {
        Sort();
    }
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    FCaseSensitive = Value;
    if (FSorted) {
        Sort();
    }
}

int TStringList::Compare(std::string_view A, std::string_view B) const {
    return FCaseSensitive ? A.compare(B) : CompareIgnoringCase(A, B);
}

void TStringList::Sort() {
    std::stable_sort(
        FItems.begin(), FItems.end(),
        [this](const std::string& A, const std::string& B) { return Compare(A, B) < 0; });
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= GetCount()) {
        RaiseListIndexError();
    }
}

void TStringList::CheckNotSorted() const {
    if (FSorted) {
        throw EStringListError(kSortedListError);
    }
}

} // namespace kst
