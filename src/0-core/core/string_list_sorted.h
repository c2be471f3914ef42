// A string list that can keep its strings sorted, ignore duplicates and compare without regard
// to case: the word lists of the settings (file extensions, reserved words).
#pragma once

#include "core/strings.h"

#include <string>
#include <string_view>
#include <vector>

namespace kst {

// Compares two code page 932 byte strings, ASCII letters without regard to case: < 0, 0, > 0.
// Double-byte characters compare as they are, so a trail byte is never taken for a letter.
int CompareIgnoringCase(std::string_view A, std::string_view B);

enum TDuplicates {
    dupIgnore, // adding a string that is already there does nothing
    dupAccept, // equal strings may stand side by side
    dupError,  // adding a string that is already there raises
};

class TStringList : public TStrings {
public:
    const char* ClassName() const override { return "TStringList"; }

    int GetCount() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int Index) const override;
    // The string at Index without a copy; valid until the list changes.
    std::string_view GetView(int Index) const;
    // Not allowed on a sorted list (the position of a string is the list's to choose).
    void Put(int Index, std::string_view S) override;
    void Insert(int Index, std::string_view S) override;
    void Delete(int Index) override;
    void Clear() override;
    // Sorted: inserts S at its place (by Duplicates); returns its index.
    int Add(std::string_view S) override;

    // Binary search of a sorted list: true when S is there; Index is where it is, or where it
    // would be inserted.
    bool Find(std::string_view S, int& Index) const;
    // Index of S, or -1.
    int IndexOf(std::string_view S) const;

    bool GetSorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates GetDuplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

private:
    int Compare(std::string_view A, std::string_view B) const;
    void Sort();
    void CheckIndex(int Index) const;
    void CheckNotSorted() const;

    std::vector<std::string> FItems;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    bool FCaseSensitive = false;
};

} // namespace kst
