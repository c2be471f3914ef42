// The abstract string list that the editor's lines, its row lists and the settings' word lists
// present: indexed strings with Add/Insert/Delete, the whole text, and a counted update bracket.
#pragma once

#include "core/notify.h"

#include <string>
#include <string_view>

namespace kst {

class TStrings : public TPersistent {
public:
    const char* ClassName() const override { return "TStrings"; }

    virtual int GetCount() const = 0;
    virtual std::string Get(int Index) const = 0;
    virtual void Put(int Index, std::string_view S) = 0;
    virtual void Insert(int Index, std::string_view S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    // Appends S; returns its index.
    virtual int Add(std::string_view S);

    // Every string followed by CR LF.
    virtual std::string GetTextStr() const;
    // Replaces the content by the lines of S, split at CR LF, CR or LF.
    virtual void SetTextStr(std::string_view S);

    int Count() const { return GetCount(); }

    // A counted bracket: SetUpdateState(true) when the outermost one opens, (false) when it closes.
    void BeginUpdate();
    void EndUpdate();

    // From another TStrings: the same strings, in one update bracket.
    void Assign(const TPersistent& Source) override;

protected:
    virtual void SetUpdateState(bool Updating);
    int UpdateCount() const { return FUpdateCount; }

private:
    int FUpdateCount = 0;
};

// Calls Line(piece) for every line of Text, split at CR LF, CR or LF. A line break at the very end
// does not start a further, empty line.
template <class F>
void ForEachLine(std::string_view Text, F&& Line) {
    std::size_t start = 0;
    const std::size_t n = Text.size();
    while (start < n) {
        std::size_t end = start;
        while (end < n && Text[end] != '\r' && Text[end] != '\n') {
            ++end;
        }
        Line(Text.substr(start, end - start));
        if (end < n && Text[end] == '\r' && end + 1 < n && Text[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
}

} // namespace kst
