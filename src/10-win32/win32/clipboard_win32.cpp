#include "win32/clipboard_win32.h"

#include "core/code_page.h"
#include "core/errors.h"
#include "win32/utf.h"

#include <cstring>
#include <cwchar>

namespace kst::win32 {

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMilliseconds = 1;
constexpr char kCannotOpen[] = "クリップボードを開けません。";
constexpr char kCannotWrite[] = "クリップボードに書き込めません。";

UINT BoxFormat() {
    static const UINT format = RegisterClipboardFormatW(L"TEditor Box Type");
    return format;
}

// The clipboard open for the scope. Another program may hold it for a moment, so opening is
// retried briefly before it fails.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND Owner) {
        for (int attempt = 1; OpenClipboard(Owner) == FALSE; ++attempt) {
            if (attempt == kOpenAttempts) {
                throw EClipboardError(kCannotOpen);
            }
            Sleep(kOpenRetryMilliseconds);
        }
    }
    ~OpenedClipboard() { CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

// Puts Size bytes from Data on the open clipboard as Format; the clipboard owns the block then.
void PutData(UINT Format, const void* Data, std::size_t Size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, Size);
    void* target = block != nullptr ? GlobalLock(block) : nullptr;
    if (target == nullptr) {
        if (block != nullptr) {
            GlobalFree(block);
        }
        throw EClipboardError(kCannotWrite);
    }
    std::memcpy(target, Data, Size);
    GlobalUnlock(block);
    if (SetClipboardData(Format, block) == nullptr) {
        GlobalFree(block);
        throw EClipboardError(kCannotWrite);
    }
}

// The locked contents of a clipboard block for the scope.
class LockedBlock {
public:
    explicit LockedBlock(HANDLE Block)
        : FBlock(Block), FData(GlobalLock(Block)), FSize(FData != nullptr ? GlobalSize(Block) : 0) {
    }
    ~LockedBlock() {
        if (FData != nullptr) {
            GlobalUnlock(FBlock);
        }
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;

    const void* Data() const { return FData; }
    std::size_t Size() const { return FSize; }

private:
    HANDLE FBlock;
    void* FData;
    std::size_t FSize;
};

// The text of a clipboard block up to its terminating null, never past the block.
std::optional<std::wstring> WideTextOf(HANDLE Block) {
    const LockedBlock locked(Block);
    if (locked.Data() == nullptr) {
        return std::nullopt;
    }
    const auto* units = static_cast<const wchar_t*>(locked.Data());
    return std::wstring(units, wcsnlen(units, locked.Size() / sizeof(wchar_t)));
}

std::optional<std::string> BytesOf(HANDLE Block) {
    const LockedBlock locked(Block);
    if (locked.Data() == nullptr) {
        return std::nullopt;
    }
    const auto* bytes = static_cast<const char*>(locked.Data());
    return std::string(bytes, strnlen(bytes, locked.Size()));
}

bool IsSurrogate(wchar_t Unit) {
    return Unit >= 0xD800 && Unit <= 0xDFFF;
}

bool IsLeadSurrogate(wchar_t Unit) {
    return Unit >= 0xD800 && Unit <= 0xDBFF;
}

// No ANSI code page has a character outside the basic plane: a surrogate pair, or a stray
// surrogate, becomes one "?", as every other character that the text's code page lacks does.
std::string PastedText(std::wstring_view Wide) {
    std::wstring text;
    text.reserve(Wide.size());
    for (std::size_t i = 0; i < Wide.size(); ++i) {
        if (!IsSurrogate(Wide[i])) {
            text += Wide[i];
            continue;
        }
        if (IsLeadSurrogate(Wide[i]) && i + 1 < Wide.size() && IsSurrogate(Wide[i + 1]) &&
            !IsLeadSurrogate(Wide[i + 1])) {
            ++i;
        }
        text += L'?';
    }
    return WideToText(text);
}

// ANSI text cut inside a character ends in a lead byte without its trail byte.
std::string WithoutLoneLeadByte(std::string Bytes) {
    std::size_t pos = 0;
    while (pos + 1 < Bytes.size()) {
        pos += IsLeadByte(Bytes[pos]) ? 2 : 1;
    }
    if (pos + 1 == Bytes.size() && IsLeadByte(Bytes[pos])) {
        Bytes[pos] = '?';
    }
    return Bytes;
}

HWND CreateOwnerWindow() {
    return CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

} // namespace

// The rectangle mark is a second copy of the CP932 bytes with their terminating null.
void Win32Clipboard::SetText(std::string_view Text, bool Box) {
    const std::wstring wide = TextToWide(Text);
    const OpenedClipboard opened(FOwner);
    EmptyClipboard();
    PutData(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    if (Box) {
        const std::string bytes(Text);
        PutData(BoxFormat(), bytes.c_str(), bytes.size() + 1);
    }
}

// Unicode text when there is some (the system also offers it for ANSI text), else ANSI text
// taken as CP932.
std::optional<std::string> Win32Clipboard::GetText() {
    const OpenedClipboard opened(FOwner);
    if (HANDLE unicode = GetClipboardData(CF_UNICODETEXT)) {
        if (const std::optional<std::wstring> wide = WideTextOf(unicode)) {
            return PastedText(*wide);
        }
    }
    if (HANDLE ansi = GetClipboardData(CF_TEXT)) {
        if (std::optional<std::string> bytes = BytesOf(ansi)) {
            return WithoutLoneLeadByte(std::move(*bytes));
        }
    }
    return std::nullopt;
}

bool Win32Clipboard::HasText() const {
    return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE ||
           IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

bool Win32Clipboard::HasBoxText() const {
    return HasText() && IsClipboardFormatAvailable(BoxFormat()) != FALSE;
}

Clipboard& ProcessClipboard() {
    static Win32Clipboard clipboard(CreateOwnerWindow());
    return clipboard;
}

} // namespace kst::win32
