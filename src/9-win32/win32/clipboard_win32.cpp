#include "win32/clipboard_win32.h"

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
    static const UINT Format = RegisterClipboardFormatW(L"TEditor Box Type");
    return Format;
}

// The clipboard open for the scope. Another program may hold it for a moment, so opening is
// retried briefly before it fails.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND Owner) {
        for (int Attempt = 1; OpenClipboard(Owner) == FALSE; ++Attempt) {
            if (Attempt == kOpenAttempts) {
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
    HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE, Size);
    void* Target = Block != nullptr ? GlobalLock(Block) : nullptr;
    if (Target == nullptr) {
        if (Block != nullptr) {
            GlobalFree(Block);
        }
        throw EClipboardError(kCannotWrite);
    }
    std::memcpy(Target, Data, Size);
    GlobalUnlock(Block);
    if (SetClipboardData(Format, Block) == nullptr) {
        GlobalFree(Block);
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
    const LockedBlock Locked(Block);
    if (Locked.Data() == nullptr) {
        return std::nullopt;
    }
    const auto* Units = static_cast<const wchar_t*>(Locked.Data());
    return std::wstring(Units, wcsnlen(Units, Locked.Size() / sizeof(wchar_t)));
}

std::optional<std::string> BytesOf(HANDLE Block) {
    const LockedBlock Locked(Block);
    if (Locked.Data() == nullptr) {
        return std::nullopt;
    }
    const auto* Bytes = static_cast<const char*>(Locked.Data());
    return std::string(Bytes, strnlen(Bytes, Locked.Size()));
}

HWND CreateOwnerWindow() {
    return CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

} // namespace

// The rectangle mark is a second copy of the CP932 bytes with their terminating null.
void Win32Clipboard::SetText(std::string_view Text, bool Box) {
    const std::wstring Wide = Cp932ToWide(Text);
    const OpenedClipboard Opened(FOwner);
    EmptyClipboard();
    PutData(CF_UNICODETEXT, Wide.c_str(), (Wide.size() + 1) * sizeof(wchar_t));
    if (Box) {
        const std::string Bytes(Text);
        PutData(BoxFormat(), Bytes.c_str(), Bytes.size() + 1);
    }
}

// Unicode text when there is some (the system also offers it for ANSI text), else ANSI text
// taken as CP932.
std::optional<std::string> Win32Clipboard::GetText() {
    const OpenedClipboard Opened(FOwner);
    if (HANDLE Unicode = GetClipboardData(CF_UNICODETEXT)) {
        if (const std::optional<std::wstring> Wide = WideTextOf(Unicode)) {
            return WideToCp932(*Wide);
        }
    }
    if (HANDLE Ansi = GetClipboardData(CF_TEXT)) {
        return BytesOf(Ansi);
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
    static Win32Clipboard Clipboard(CreateOwnerWindow());
    return Clipboard;
}

} // namespace kst::win32
