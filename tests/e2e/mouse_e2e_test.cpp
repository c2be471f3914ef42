// Selecting and moving text in the test host's "TEditor" window with posted mouse messages.
#include "host_process.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace kst::e2e {
namespace {

using namespace std::chrono_literals;

class MouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        File = ProgramFolder() + L"mouse_e2e.txt";
        std::ofstream(std::filesystem::path(File), std::ios::binary) << "abcd\r\nefgh\r\n";
        Host = std::make_unique<TestHostProcess>(File);
        ASSERT_NE(Host->EditorWindow(), nullptr) << "the test host showed no editor window";
    }
    void TearDown() override {
        Host.reset();
        std::filesystem::remove(std::filesystem::path(File));
    }

    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const {
        return SendMessageW(Host->EditorWindow(), Msg, WParam, LParam);
    }
    // A point one pixel right of the left edge of the character at Offset (client pixels).
    POINT PointOf(int Offset) const {
        const auto Packed = static_cast<DWORD>(Send(EM_POSFROMCHAR, static_cast<WPARAM>(Offset)));
        return {static_cast<short>(LOWORD(Packed)) + 1, static_cast<short>(HIWORD(Packed)) + 4};
    }
    void Post(UINT Msg, POINT Point, WPARAM Keys) const {
        PostMessageW(Host->EditorWindow(), Msg, Keys, MAKELPARAM(Point.x, Point.y));
    }
    // The pointer is put where the button goes up, since a drop reads it from the system.
    void Drag(int From, int To) const {
        const POINT Start = PointOf(From);
        const POINT End = PointOf(To);
        POINT Screen = End;
        ClientToScreen(Host->EditorWindow(), &Screen);
        SetCursorPos(Screen.x, Screen.y);
        Post(WM_LBUTTONDOWN, Start, MK_LBUTTON);
        Post(WM_MOUSEMOVE, End, MK_LBUTTON);
        Post(WM_MOUSEMOVE, End, MK_LBUTTON); // a dragged selection follows from the second move
        Post(WM_LBUTTONUP, End, 0);
    }
    std::pair<DWORD, DWORD> Selection() const { return EditorSelection(Host->EditorWindow()); }
    std::wstring Text() const { return WindowText(Host->EditorWindow()); }

    std::wstring File;
    std::unique_ptr<TestHostProcess> Host;
};

TEST_F(MouseTest, DraggingSelectsAndDraggingTheSelectionMovesIt) {
    Drag(0, 2);
    EXPECT_TRUE(WaitUntil([&] { return Selection() == std::make_pair(DWORD{0}, DWORD{2}); }, 5s))
        << "dragging over ab selects it";
    Drag(1, 4);
    EXPECT_TRUE(WaitUntil([&] { return Text() == L"cdab\r\nefgh\r\n"; }, 5s))
        << "dragging the selection to the row's end moves it there";
    EXPECT_EQ(Selection(), std::make_pair(DWORD{4}, DWORD{4}));
}

} // namespace
} // namespace kst::e2e
