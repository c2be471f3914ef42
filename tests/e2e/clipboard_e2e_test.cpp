// The clipboard between the test host's editor and the rest of the system: Unicode text from
// another program, and a box copied in one host process and pasted as a rectangle in another.
#include "host_process.h"
#include "win32/utf.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace kst::e2e {
namespace {

using win32::TextToWide;
using win32::WideToText;

void WriteBytes(const std::wstring& Path, const std::string& Bytes) {
    std::ofstream File(std::filesystem::path(Path), std::ios::binary | std::ios::trunc);
    File << Bytes;
}

// The clipboard as another program uses it, through a hidden window of this test program.
class ForeignProgram {
public:
    ForeignProgram()
        : FWindow(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr)) {}
    ~ForeignProgram() { DestroyWindow(FWindow); }
    ForeignProgram(const ForeignProgram&) = delete;
    ForeignProgram& operator=(const ForeignProgram&) = delete;

    bool PutUnicodeText(const std::wstring& Text) const {
        if (!Open()) {
            return false;
        }
        EmptyClipboard();
        const std::size_t Size = (Text.size() + 1) * sizeof(wchar_t);
        HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE, Size);
        std::memcpy(GlobalLock(Block), Text.c_str(), Size);
        GlobalUnlock(Block);
        const bool Stored = SetClipboardData(CF_UNICODETEXT, Block) != nullptr;
        CloseClipboard();
        return Stored;
    }

    std::optional<std::wstring> UnicodeText() const {
        if (!Open()) {
            return std::nullopt;
        }
        std::optional<std::wstring> Text;
        if (HANDLE Block = GetClipboardData(CF_UNICODETEXT)) {
            Text = static_cast<const wchar_t*>(GlobalLock(Block));
            GlobalUnlock(Block);
        }
        CloseClipboard();
        return Text;
    }

    static bool HoldsBoxMark() {
        return IsClipboardFormatAvailable(RegisterClipboardFormatW(L"TEditor Box Type")) != FALSE;
    }

private:
    bool Open() const {
        using namespace std::chrono_literals;
        return WaitUntil([this] { return OpenClipboard(FWindow) != FALSE; }, 2s);
    }

    HWND FWindow;
};

// A test host showing a file of the given bytes.
class Host {
public:
    Host(const std::wstring& Name, const std::string& Bytes) {
        const std::wstring File = ProgramFolder() + Name;
        WriteBytes(File, Bytes);
        FProcess = std::make_unique<TestHostProcess>(File);
    }

    bool Started() const { return FProcess->EditorWindow() != nullptr; }

    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const {
        return SendMessageW(FProcess->EditorWindow(), Msg, WParam, LParam);
    }

    std::string Text() const { return WideToText(WindowText(FProcess->EditorWindow())); }

    void PutCaret(WPARAM Index) const { Send(EM_SETSEL, Index, static_cast<LPARAM>(Index)); }

    // The box between (Row1, Col1) and (Row2, Col2), through the host's test-only message.
    void SelectBox(WORD Row1, WORD Col1, WORD Row2, WORD Col2) const {
        static const UINT Message = RegisterWindowMessageW(L"KestraneTestHost.SelectBox");
        SendMessageW(FProcess->TopWindow(), Message, MAKEWPARAM(Col1, Row1),
                     MAKELPARAM(Col2, Row2));
    }

private:
    std::unique_ptr<TestHostProcess> FProcess;
};

TEST(ClipboardTest, UnicodeTextFromAnotherProgramPastesAsCp932) {
    const ForeignProgram Other;
    const Host Editor(L"clipboard_paste.txt", "first\r\nsecond\r\n");
    ASSERT_TRUE(Editor.Started());
    ASSERT_TRUE(Other.PutUnicodeText(L"日本語 abc\r\nｶﾅ x"));
    Editor.PutCaret(7);
    Editor.Send(WM_PASTE);
    const std::string Pasted = WideToText(L"日本語 abc\r\nｶﾅ x");
    EXPECT_EQ(Editor.Text(), "first\r\n" + Pasted + "second\r\n");

    Editor.Send(EM_SETSEL, 7, 7 + static_cast<LPARAM>(Pasted.size()));
    Editor.Send(WM_COPY);
    EXPECT_EQ(Other.UnicodeText(), L"日本語 abc\r\nｶﾅ x") << "other programs read Unicode text";
    EXPECT_FALSE(ForeignProgram::HoldsBoxMark());
}

TEST(ClipboardTest, ABoxCopiedInOneProcessPastesAsARectangleInAnother) {
    const ForeignProgram Other;
    const Host Source(L"clipboard_box_a.txt", "abcd\r\nefgh\r\nijkl\r\n");
    const Host Target(L"clipboard_box_b.txt", "12345\r\n67890\r\n");
    ASSERT_TRUE(Source.Started());
    ASSERT_TRUE(Target.Started());
    Source.SelectBox(0, 1, 1, 3);
    Source.Send(WM_COPY);
    EXPECT_EQ(Other.UnicodeText(), L"bc\r\nfg\r\n");
    EXPECT_TRUE(ForeignProgram::HoldsBoxMark());

    Target.PutCaret(2);
    Target.Send(WM_PASTE);
    EXPECT_EQ(Target.Text(), "12bc345\r\n67fg890\r\n");
    Target.Send(WM_UNDO);
    EXPECT_EQ(Target.Text(), "12345\r\n67890\r\n");

    ASSERT_TRUE(Other.PutUnicodeText(L"bc\r\nfg\r\n"));
    Target.Send(WM_PASTE);
    EXPECT_EQ(Target.Text(), "12bc\r\nfg\r\n345\r\n67890\r\n") << "foreign text pastes as a stream";
}

} // namespace
} // namespace kst::e2e
