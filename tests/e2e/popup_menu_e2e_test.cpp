// The editor's pop-up menu in the test host: WM_CONTEXTMENU opens it, cancelling closes it, and an
// item chosen by its mnemonic runs its action.
#include "host_process.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace kst::e2e {
namespace {

using namespace std::chrono_literals;

constexpr auto kMenuTimeout = 10s;
constexpr wchar_t kMenuClassName[] = L"#32768";

struct MenuSearch {
    DWORD ProcessId;
    HWND Found;
};

BOOL CALLBACK MatchVisibleMenu(HWND Window, LPARAM Search) {
    auto& Wanted = *reinterpret_cast<MenuSearch*>(Search);
    wchar_t ClassName[16] = {};
    GetClassNameW(Window, ClassName, static_cast<int>(std::size(ClassName)));
    DWORD ProcessId = 0;
    GetWindowThreadProcessId(Window, &ProcessId);
    if (std::wstring_view(ClassName) != kMenuClassName || ProcessId != Wanted.ProcessId ||
        IsWindowVisible(Window) == FALSE) {
        return TRUE;
    }
    Wanted.Found = Window;
    return FALSE;
}

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring Sample = ProgramFolder() + L"sample.vbs";
        SampleSize = static_cast<DWORD>(std::filesystem::file_size(std::filesystem::path(Sample)));
        Host = std::make_unique<TestHostProcess>(Sample);
        ASSERT_NE(Host->EditorWindow(), nullptr) << "the test host showed no editor window";
        SetForegroundWindow(Host->TopWindow());
    }

    // The open pop-up menu of the host; null when none is shown.
    HWND ShownMenu() const {
        MenuSearch Search{0, nullptr};
        GetWindowThreadProcessId(Host->EditorWindow(), &Search.ProcessId);
        EnumWindows(MatchVisibleMenu, reinterpret_cast<LPARAM>(&Search));
        return Search.Found;
    }

    void OpenMenu(LPARAM ScreenPoint) const {
        PostMessageW(Host->EditorWindow(), WM_CONTEXTMENU,
                     reinterpret_cast<WPARAM>(Host->EditorWindow()), ScreenPoint);
    }

    std::pair<DWORD, DWORD> Selection() const {
        DWORD Start = 0;
        DWORD End = 0;
        SendMessageW(Host->EditorWindow(), EM_GETSEL, reinterpret_cast<WPARAM>(&Start),
                     reinterpret_cast<LPARAM>(&End));
        return {Start, End};
    }

    DWORD SampleSize = 0;
    std::unique_ptr<TestHostProcess> Host;
};

TEST_F(PopupMenuTest, TheKeyboardsMenuOpensBelowTheCaretAndCancellingClosesIt) {
    OpenMenu(MAKELPARAM(-1, -1));
    ASSERT_TRUE(WaitUntil([&] { return ShownMenu() != nullptr; }, kMenuTimeout));
    RECT Menu{};
    RECT Editor{};
    GetWindowRect(ShownMenu(), &Menu);
    GetWindowRect(Host->EditorWindow(), &Editor);
    EXPECT_GE(Menu.left, Editor.left);
    EXPECT_GT(Menu.top, Editor.top) << "below the caret's row, which is the first";
    EXPECT_LT(Menu.top, Editor.top + 100);

    PostMessageW(Host->EditorWindow(), WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return ShownMenu() == nullptr; }, kMenuTimeout));
    EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, DWORD{0})) << "nothing was chosen";
}

TEST_F(PopupMenuTest, AnItemChosenByItsMnemonicRunsItsAction) {
    RECT Editor{};
    GetWindowRect(Host->EditorWindow(), &Editor);
    OpenMenu(MAKELPARAM((Editor.left + Editor.right) / 2, (Editor.top + Editor.bottom) / 2));
    ASSERT_TRUE(WaitUntil([&] { return ShownMenu() != nullptr; }, kMenuTimeout));

    // "すべて選択(&A)"
    PostMessageW(Host->EditorWindow(), WM_CHAR, L'a', 0);
    EXPECT_TRUE(WaitUntil([&] { return ShownMenu() == nullptr; }, kMenuTimeout));
    EXPECT_TRUE(WaitUntil([&] { return Selection() == std::make_pair(DWORD{0}, SampleSize); },
                          kMenuTimeout));
}

} // namespace
} // namespace kst::e2e
