// Keys and characters posted to the test host's "TEditor" window, as the keyboard delivers them,
// checked through the window's text and selection.
#include "host_process.h"
#include "win32/utf.h"

#include <gtest/gtest.h>
#include <string>

namespace kst::e2e {
namespace {

using namespace std::chrono_literals;
using win32::WideToText;

constexpr auto kInputTimeout = 10s;

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        Host = std::make_unique<TestHostProcess>(ProgramFolder() + L"sample.vbs");
        ASSERT_NE(Host->EditorWindow(), nullptr) << "the test host showed no editor window";
        SetText(L"");
    }

    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const {
        return SendMessageW(Host->EditorWindow(), Msg, WParam, LParam);
    }

    void SetText(const std::wstring& Text) const {
        ASSERT_TRUE(Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str())));
    }

    // Characters one WM_CHAR per UTF-16 unit, as the keyboard and TranslateMessage send them.
    void PostChars(std::wstring_view Characters) const {
        for (const wchar_t Unit : Characters) {
            PostMessageW(Host->EditorWindow(), WM_CHAR, Unit, 1);
        }
    }

    void PostKey(WPARAM Key, int Presses = 1) const {
        for (int i = 0; i < Presses; ++i) {
            PostMessageW(Host->EditorWindow(), WM_KEYDOWN, Key, 1);
            PostMessageW(Host->EditorWindow(), WM_KEYUP, Key, static_cast<LPARAM>(0xC0000001U));
        }
    }

    std::wstring Text() const { return WindowText(Host->EditorWindow()); }

    std::pair<DWORD, DWORD> Selection() const { return EditorSelection(Host->EditorWindow()); }

    // Posted messages arrive after any sent one, so the test waits for their effect.
    ::testing::AssertionResult Shows(const std::wstring& Expected, DWORD Caret) const {
        const bool Arrived = WaitUntil(
            [&] {
                return Text() == Expected && Selection() == std::pair{Caret, Caret};
            },
            kInputTimeout);
        if (Arrived) {
            return ::testing::AssertionSuccess();
        }
        const auto [Start, End] = Selection();
        return ::testing::AssertionFailure()
               << "text \"" << win32::WideToUtf8(Text()) << "\", selection " << Start << ".." << End
               << "; expected \"" << win32::WideToUtf8(Expected) << "\" with the caret at "
               << Caret;
    }

    std::unique_ptr<TestHostProcess> Host;
};

TEST_F(KeyboardTest, TypesEntersAndDeletesAsciiCharacters) {
    PostChars(L"abc");
    EXPECT_TRUE(Shows(L"abc", 3));
    PostChars(L"\r");
    EXPECT_TRUE(Shows(L"abc\r\n", 5)) << "Enter splits the line";
    PostChars(L"\b");
    EXPECT_TRUE(Shows(L"abc", 3)) << "Backspace on the row after the text removes its line break";
    PostKey(VK_LEFT, 2);
    EXPECT_TRUE(Shows(L"abc", 1));
    PostChars(L"X");
    EXPECT_TRUE(Shows(L"aXbc", 2));
    PostKey(VK_DELETE);
    EXPECT_TRUE(Shows(L"aXc", 2));
    PostKey(VK_HOME);
    EXPECT_TRUE(Shows(L"aXc", 0));
    PostKey(VK_END);
    EXPECT_TRUE(Shows(L"aXc", 3));
}

TEST_F(KeyboardTest, TakesADoubleByteCharacterFromOneUtf16Message) {
    PostChars(L"aあb");
    EXPECT_TRUE(Shows(L"aあb", 4)) << "あ is two CP932 bytes";
    PostKey(VK_LEFT);
    EXPECT_TRUE(Shows(L"aあb", 3));
    PostKey(VK_LEFT);
    EXPECT_TRUE(Shows(L"aあb", 1)) << "the caret steps over the character whole";
    PostKey(VK_DELETE);
    EXPECT_TRUE(Shows(L"ab", 1)) << "Delete removes both bytes";
    PostChars(L"漾ｱ");
    EXPECT_TRUE(Shows(L"a漾ｱb", 4)) << "a lead byte from 0xE0 up and a half-width katakana";
    PostChars(L"\b\b");
    EXPECT_TRUE(Shows(L"ab", 1));
    EXPECT_EQ(WideToText(Text()), "ab");
}

TEST_F(KeyboardTest, DropsCharactersThatCp932Lacks) {
    PostChars(L"a\u00e9\U0001F600b");
    EXPECT_TRUE(Shows(L"ab", 2));
}

} // namespace
} // namespace kst::e2e
