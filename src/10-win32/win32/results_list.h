// The main window's results list: a list box that keeps no entries of its own (no-data, drawn by
// its owner) while this class keeps their texts, so that adding a million entries is one message
// instead of a million. It answers the messages of a list of strings from those texts, for other
// programs too (LB_GETTEXT, LB_GETTEXTLEN, LB_FINDSTRING, LB_FINDSTRINGEXACT, LB_SELECTSTRING),
// selects the next entry starting with a typed character, and draws its entries as a list of
// strings does.
#pragma once

#include "win32/windows_api.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kst::win32 {

class ResultsList {
public:
    // The list box's style for CreateWindowEx.
    static constexpr DWORD kStyle =
        WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_NODATA | LBS_OWNERDRAWFIXED;

    // Takes over the list box Window, created with kStyle; KeyUp gets the keys released in it.
    ResultsList(HWND Window, std::function<void(WPARAM Key)> KeyUp);
    ResultsList(const ResultsList&) = delete;
    ResultsList& operator=(const ResultsList&) = delete;

    HWND Handle() const { return FWindow; }
    // Empties the list, with room made for Expected entries to come.
    void Clear(std::size_t Expected);
    // Adds entries (UTF-8) at the end, none selected.
    void Add(std::span<const std::string> Entries);
    // Draws an entry as WM_DRAWITEM asks; false when Item is not for this list.
    bool Draw(const DRAWITEMSTRUCT& Item) const;

private:
    static LRESULT CALLBACK Proc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT TextLength(WPARAM Index) const;
    LRESULT CopyText(WPARAM Index, LPARAM Buffer) const;
    // The first entry after the entry After (all of them from the first for -1), going round to
    // the top, that starts with Text (is Text when Whole), case aside; LB_ERR when none does.
    LRESULT Find(WPARAM After, std::wstring_view Text, bool Whole) const;
    LRESULT SelectStarting(WPARAM After, std::wstring_view Text);
    void TypeAhead(wchar_t Character);
    std::size_t Count() const { return FEntries.size(); }
    std::string_view Entry(std::size_t Index) const;
    void Keep(std::string_view Text);

    HWND FWindow;
    WNDPROC FClassProc;
    std::function<void(WPARAM)> FKeyUp;
    // The entries' texts one after another in blocks of a fixed room, so that a growing list never
    // copies what it holds, and where each entry is.
    struct TPlace {
        std::uint32_t Block;
        std::uint32_t Start;
        std::uint32_t Length;
    };
    std::vector<std::string> FBlocks;
    std::vector<TPlace> FEntries;
};

} // namespace kst::win32
