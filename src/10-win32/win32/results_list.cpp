#include "win32/results_list.h"

#include "win32/utf.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kst::win32 {

namespace {

// The text starts this far right of the entry's left edge, as in a list of strings.
constexpr int kTextIndent = 1;

constexpr std::size_t kBlockRoom = std::size_t{1} << 20;

// A UTF-16 unit takes at most three bytes of UTF-8 (a pair of them four).
constexpr std::size_t kMostUtf8PerUnit = 3;

bool IsAscii(wchar_t Character) {
    return Character < 0x80;
}

wchar_t AsciiLower(wchar_t Character) {
    return Character >= L'A' && Character <= L'Z' ? static_cast<wchar_t>(Character - L'A' + L'a')
                                                  : Character;
}

bool SameIgnoringCase(std::wstring_view A, std::wstring_view B) {
    return CompareStringOrdinal(A.data(), static_cast<int>(A.size()), B.data(),
                                static_cast<int>(B.size()), TRUE) == CSTR_EQUAL;
}

// Whether Entry (UTF-8) starts with Text, or is Text when Whole, case aside as the system compares
// strings in a list box. Their ASCII starts are compared byte by byte, so that entries that differ
// there (nearly all of them) are told apart without being converted.
bool EntryMatches(std::string_view Entry, std::wstring_view Text, bool Whole) {
    std::size_t same = 0;
    for (; same < Entry.size() && same < Text.size(); ++same) {
        const auto byte = static_cast<wchar_t>(static_cast<unsigned char>(Entry[same]));
        if (!IsAscii(byte) || !IsAscii(Text[same])) {
            break;
        }
        if (AsciiLower(byte) != AsciiLower(Text[same])) {
            return false;
        }
    }
    Entry.remove_prefix(same);
    Text.remove_prefix(same);
    if (Text.empty() || Entry.empty()) {
        return Text.empty() && (!Whole || Entry.empty());
    }
    const std::size_t room = Text.size() * kMostUtf8PerUnit;
    if (Whole && Entry.size() > room) {
        return false;
    }
    const std::wstring start = Utf8ToWide(Entry.substr(0, room));
    if (Whole) {
        return SameIgnoringCase(start, Text);
    }
    return start.size() >= Text.size() &&
           SameIgnoringCase(std::wstring_view(start).substr(0, Text.size()), Text);
}

} // namespace

// The list's own procedure is replaced rather than subclassed through comctl32: under Wine,
// SetWindowSubclass looks its data up among the window's properties on every message, a round
// trip to the Wine server. The window style also claims strings, so that for another process
// the system copies the whole text of LB_GETTEXT rather than an item's data, and passes the text
// of LB_FINDSTRING rather than its address. A list box that keeps strings itself takes a message
// per entry, and under Wine grows dearer with each: filling 833,333 search hits took 7.7 s
// instead of 0.8 s.
ResultsList::ResultsList(HWND Window, std::function<void(WPARAM Key)> KeyUp)
    : FWindow(Window), FKeyUp(std::move(KeyUp)) {
    SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FClassProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    SetWindowLongPtrW(FWindow, GWL_STYLE, GetWindowLongPtrW(FWindow, GWL_STYLE) | LBS_HASSTRINGS);
}

void ResultsList::Clear(std::size_t Expected) {
    SendMessageW(FWindow, LB_RESETCONTENT, 0, 0);
    FBlocks.clear();
    FEntries.clear();
    FEntries.reserve(Expected);
}

void ResultsList::Add(std::span<const std::string> Entries) {
    for (const std::string& entry : Entries) {
        Keep(entry);
    }
    SendMessageW(FWindow, LB_SETCOUNT, Count(), 0);
}

// An entry longer than a block's room gets a block of its own. Places fit 32 bits: an entry is a
// line of the text, whose sizes are ints, or a cut line of a program's output.
void ResultsList::Keep(std::string_view Text) {
    if (FBlocks.empty() || FBlocks.back().size() + Text.size() > FBlocks.back().capacity()) {
        FBlocks.emplace_back().reserve(std::max(kBlockRoom, Text.size()));
    }
    std::string& block = FBlocks.back();
    FEntries.push_back({static_cast<std::uint32_t>(FBlocks.size() - 1),
                        static_cast<std::uint32_t>(block.size()),
                        static_cast<std::uint32_t>(Text.size())});
    block.append(Text);
}

std::string_view ResultsList::Entry(std::size_t Index) const {
    const TPlace& place = FEntries[Index];
    return std::string_view(FBlocks[place.Block]).substr(place.Start, place.Length);
}

LRESULT CALLBACK ResultsList::Proc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto& self = *reinterpret_cast<ResultsList*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    switch (Msg) {
    case LB_GETTEXTLEN:
        return self.TextLength(WParam);
    case LB_GETTEXT:
        return self.CopyText(WParam, LParam);
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return LParam == 0 ? LB_ERR
                           : self.Find(WParam, reinterpret_cast<const wchar_t*>(LParam),
                                       Msg == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING:
        return LParam == 0 ? LB_ERR
                           : self.SelectStarting(WParam, reinterpret_cast<const wchar_t*>(LParam));
    case WM_CHAR:
        if (WParam >= L' ') {
            self.TypeAhead(static_cast<wchar_t>(WParam));
            return 0;
        }
        break;
    case WM_KEYUP:
        self.FKeyUp(WParam);
        break;
    default:
        break;
    }
    return CallWindowProcW(self.FClassProc, Window, Msg, WParam, LParam);
}

LRESULT ResultsList::TextLength(WPARAM Index) const {
    if (Index >= Count()) {
        return LB_ERR;
    }
    return static_cast<LRESULT>(Utf8ToWide(Entry(Index)).size());
}

// Buffer must hold the text and its terminating zero, as for any list of strings.
LRESULT ResultsList::CopyText(WPARAM Index, LPARAM Buffer) const {
    if (Index >= Count() || Buffer == 0) {
        return LB_ERR;
    }
    const std::wstring text = Utf8ToWide(Entry(Index));
    std::memcpy(reinterpret_cast<wchar_t*>(Buffer), text.c_str(),
                (text.size() + 1) * sizeof(wchar_t));
    return static_cast<LRESULT>(text.size());
}

LRESULT ResultsList::Find(WPARAM After, std::wstring_view Text, bool Whole) const {
    const std::size_t count = Count();
    const std::size_t start = After < count ? After + 1 : 0;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t index = (start + step) % count;
        if (EntryMatches(Entry(index), Text, Whole)) {
            return static_cast<LRESULT>(index);
        }
    }
    return LB_ERR;
}

LRESULT ResultsList::SelectStarting(WPARAM After, std::wstring_view Text) {
    const LRESULT found = Find(After, Text, false);
    if (found != LB_ERR) {
        CallWindowProcW(FClassProc, FWindow, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    }
    return found;
}

// The entry is selected as a click selects it: the owner hears of the change.
void ResultsList::TypeAhead(wchar_t Character) {
    const auto caret = CallWindowProcW(FClassProc, FWindow, LB_GETCARETINDEX, 0, 0);
    const LRESULT previous = CallWindowProcW(FClassProc, FWindow, LB_GETCURSEL, 0, 0);
    const LRESULT found =
        SelectStarting(static_cast<WPARAM>(caret), std::wstring_view(&Character, 1));
    if (found != LB_ERR && found != previous) {
        SendMessageW(GetParent(FWindow), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(FWindow), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(FWindow));
    }
}

// An entry in the system's colours for a selected or an ordinary entry, with the focus frame
// drawn over it; a change of focus alone only toggles the frame.
bool ResultsList::Draw(const DRAWITEMSTRUCT& Item) const {
    if (Item.hwndItem != FWindow) {
        return false;
    }
    const bool entry = Item.itemID < Count();
    if (entry && (Item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) != 0) {
        const bool selected = (Item.itemState & ODS_SELECTED) != 0;
        const HDC dc = Item.hDC;
        const auto oldFont =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(FWindow, WM_GETFONT, 0, 0)));
        SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const std::wstring text = Utf8ToWide(Entry(Item.itemID));
        ExtTextOutW(dc, Item.rcItem.left + kTextIndent, Item.rcItem.top, ETO_OPAQUE | ETO_CLIPPED,
                    &Item.rcItem, text.c_str(), static_cast<UINT>(text.size()), nullptr);
        SelectObject(dc, oldFont);
        if ((Item.itemState & ODS_FOCUS) != 0) {
            DrawFocusRect(dc, &Item.rcItem);
        }
    } else if ((Item.itemAction & ODA_FOCUS) != 0) {
        DrawFocusRect(Item.hDC, &Item.rcItem);
    }
    return true;
}

} // namespace kst::win32
