// The "TEditor" window of the test host, driven from outside through the real window messages.
#include "host_process.h"
#include "screenshot.h"
#include "win32/utf.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace kst::e2e {
namespace {

using namespace std::chrono_literals;
using win32::WideToText;

std::string ReadBytes(const std::wstring& Path) {
    std::ifstream File(std::filesystem::path(Path), std::ios::binary);
    return {std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
}

// The lines of CR LF text; a final line break ends the last line.
std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    for (std::size_t Break = Text.find("\r\n"); Break != std::string::npos;
         Break = Text.find("\r\n", Start)) {
        Lines.push_back(Text.substr(Start, Break - Start));
        Start = Break + 2;
    }
    if (Start < Text.size()) {
        Lines.push_back(Text.substr(Start));
    }
    return Lines;
}

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SampleFile = ProgramFolder() + L"sample.vbs";
        SampleBytes = ReadBytes(SampleFile);
        ASSERT_FALSE(SampleBytes.empty());
        Host = std::make_unique<TestHostProcess>(SampleFile);
        ASSERT_NE(Host->EditorWindow(), nullptr) << "the test host showed no editor window";
    }

    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const {
        return SendMessageW(Host->EditorWindow(), Msg, WParam, LParam);
    }

    std::wstring Text() const { return WindowText(Host->EditorWindow()); }

    std::pair<DWORD, DWORD> Selection() const {
        DWORD Start = 0;
        DWORD End = 0;
        const LRESULT Packed =
            Send(EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
        EXPECT_EQ(LOWORD(Packed), LOWORD(Start));
        EXPECT_EQ(HIWORD(Packed), LOWORD(End));
        return {Start, End};
    }

    LRESULT FirstVisibleLineAfter(WORD Request) const {
        Send(WM_VSCROLL, MAKEWPARAM(Request, 0));
        return Send(EM_GETFIRSTVISIBLELINE);
    }

    std::wstring SampleFile;
    std::string SampleBytes;
    std::unique_ptr<TestHostProcess> Host;
};

TEST_F(EditorWindowTest, ShowsTheFileAsItsText) {
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), static_cast<LRESULT>(SampleBytes.size()));
    const std::wstring Wide = Text();
    EXPECT_EQ(WideToText(Wide), SampleBytes);
    EXPECT_NE(Wide.find(L"' 引数がなければ使い方を表示して終了する"), std::wstring::npos);

    std::wstring Short(11, L'\0');
    EXPECT_EQ(Send(WM_GETTEXT, Short.size(), reinterpret_cast<LPARAM>(Short.data())), 10);
    EXPECT_EQ(Short, Wide.substr(0, 10) + L'\0');

    // ANSI callers get the text in the system's ANSI code page.
    const int AnsiSize = WideCharToMultiByte(CP_ACP, 0, Wide.data(), static_cast<int>(Wide.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string Expected(static_cast<std::size_t>(AnsiSize), '\0');
    WideCharToMultiByte(CP_ACP, 0, Wide.data(), static_cast<int>(Wide.size()), Expected.data(),
                        AnsiSize, nullptr, nullptr);
    std::string Ansi(Expected.size() + 1, '\0');
    Ansi.resize(static_cast<std::size_t>(SendMessageA(Host->EditorWindow(), WM_GETTEXT, Ansi.size(),
                                                      reinterpret_cast<LPARAM>(Ansi.data()))));
    EXPECT_EQ(Ansi, Expected);
    // Wine takes the code page from the locale and silently falls back to 1252 without it.
    const UINT codePage = GetACP();
    std::cout << "ANSI code page " << codePage << "\n";
    if (const char* expected = std::getenv("KESTRANE_EXPECTED_ACP")) {
        EXPECT_EQ(std::to_string(codePage), expected) << "the locale's code page did not take";
    }
    if (codePage == 932) {
        EXPECT_EQ(Ansi, SampleBytes);
    }
}

TEST_F(EditorWindowTest, SavesAScreenshotOfTheSample) {
    SetForegroundWindow(Host->TopWindow());
    RedrawWindow(Host->TopWindow(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    TImage Image;
    // Comments fuchsia, reserved words teal, the caret row's lime underline, on white.
    EXPECT_TRUE(WaitUntil(
        [&] {
            Image = CaptureWindow(Host->TopWindow());
            return HasColour(Image, 0xFF00FF) && HasColour(Image, 0x008080) &&
                   HasColour(Image, 0x00FF00) && HasColour(Image, 0xFFFFFF);
        },
        10s));
    EXPECT_TRUE(WritePng(ProgramFolder() + L"sample_vbs.png", Image));
}

TEST_F(EditorWindowTest, AnswersLineQueriesInCp932Bytes) {
    const std::vector<std::string> Lines = SplitLines(SampleBytes);
    ASSERT_EQ(Send(EM_GETLINECOUNT), static_cast<LRESULT>(Lines.size()));
    LRESULT Offset = 0;
    for (std::size_t Row = 0; Row < Lines.size(); ++Row) {
        SCOPED_TRACE(Row);
        EXPECT_EQ(Send(EM_LINEINDEX, Row), Offset);
        EXPECT_EQ(Send(EM_LINELENGTH, static_cast<WPARAM>(Offset)),
                  static_cast<LRESULT>(Lines[Row].size()));
        Offset += static_cast<LRESULT>(Lines[Row].size()) + 2;
    }
    EXPECT_EQ(Send(EM_LINEINDEX, Lines.size() + 1), -1);
}

TEST_F(EditorWindowTest, SelectsByteRanges) {
    Send(EM_SETSEL, 7, 3);
    EXPECT_EQ(Selection(), std::make_pair(DWORD{3}, DWORD{7}));

    const auto SecondLine = static_cast<DWORD>(Send(EM_LINEINDEX, 1));
    const auto ThirdLine = static_cast<DWORD>(Send(EM_LINEINDEX, 2));
    Send(EM_SETSEL, SecondLine, ThirdLine);
    EXPECT_EQ(Selection(), std::make_pair(SecondLine, ThirdLine));

    Send(EM_SETSEL, 0, static_cast<LPARAM>(-1));
    EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, static_cast<DWORD>(SampleBytes.size())));

    Send(EM_SETSEL, static_cast<WPARAM>(-1), 0);
    const auto [Start, End] = Selection();
    EXPECT_EQ(Start, End);
}

// The rows at the top of the view after a jump of more than a screen, as drawn by the scroll and as
// drawn again from scratch.
TEST_F(EditorWindowTest, AJumpOfMoreThanAScreenRepaintsEveryRow) {
    MoveWindow(Host->TopWindow(), 0, 0, 600, 400, TRUE);
    SetForegroundWindow(Host->TopWindow());
    const auto End = static_cast<WPARAM>(Send(WM_GETTEXTLENGTH));
    Send(EM_SETSEL, End, static_cast<LPARAM>(End));
    Send(EM_SCROLLCARET);
    ASSERT_GT(Send(EM_GETFIRSTVISIBLELINE), 10);
    const auto TopLine = static_cast<WPARAM>(Send(EM_GETFIRSTVISIBLELINE));
    const auto Top = static_cast<DWORD>(Send(EM_POSFROMCHAR, Send(EM_LINEINDEX, TopLine)));
    const int FirstRowY = HIWORD(Top);
    const auto Capture = [&] {
        const TImage Image = CaptureWindow(Host->EditorWindow());
        const auto RowBytes = static_cast<std::size_t>(Image.Width) * 3;
        const auto From = static_cast<std::size_t>(FirstRowY) * RowBytes;
        return std::vector<std::uint8_t>(Image.Rgb.begin() + static_cast<std::ptrdiff_t>(From),
                                         Image.Rgb.begin() +
                                             static_cast<std::ptrdiff_t>(From + 40 * RowBytes));
    };
    // Wine hands a window's painting to the display a little later: the band is read once two
    // captures 100 ms apart agree.
    const auto Band = [&] {
        UpdateWindow(Host->EditorWindow());
        std::vector<std::uint8_t> Shown = Capture();
        for (int Tries = 0; Tries < 20; ++Tries) {
            Sleep(100);
            std::vector<std::uint8_t> Again = Capture();
            if (Again == Shown) {
                break;
            }
            Shown = std::move(Again);
        }
        return Shown;
    };
    const std::vector<std::uint8_t> Scrolled = Band();
    RedrawWindow(Host->EditorWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(Scrolled == Band());
}

TEST_F(EditorWindowTest, ScrollsByScrollBarRequests) {
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);
    EXPECT_EQ(FirstVisibleLineAfter(SB_LINEDOWN), 1);
    EXPECT_EQ(FirstVisibleLineAfter(SB_LINEDOWN), 2);
    EXPECT_EQ(FirstVisibleLineAfter(SB_LINEUP), 1);
    const LRESULT PageDown = FirstVisibleLineAfter(SB_PAGEDOWN);
    EXPECT_GT(PageDown, 2);
    EXPECT_EQ(FirstVisibleLineAfter(SB_PAGEUP), 1);
    EXPECT_EQ(FirstVisibleLineAfter(SB_TOP), 0);
    EXPECT_EQ(FirstVisibleLineAfter(SB_LINEUP), 0);
    EXPECT_EQ(FirstVisibleLineAfter(SB_BOTTOM), Send(EM_GETLINECOUNT));
}

TEST_F(EditorWindowTest, TakesNewTextThroughSetText) {
    const std::wstring NewText = L"' 設定を読む\r\nMsgBox \"こんにちは\"\r\n";
    EXPECT_TRUE(Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(NewText.c_str())));
    EXPECT_EQ(Text(), NewText);
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), static_cast<LRESULT>(WideToText(NewText).size()));
    EXPECT_EQ(Send(EM_GETLINECOUNT), 2);
    EXPECT_EQ(Send(EM_LINEINDEX, 1), static_cast<LRESULT>(WideToText(L"' 設定を読む\r\n").size()));
    EXPECT_EQ(Send(EM_LINELENGTH, static_cast<WPARAM>(Send(EM_LINEINDEX, 1))),
              static_cast<LRESULT>(WideToText(L"MsgBox \"こんにちは\"").size()));
}

} // namespace
} // namespace kst::e2e
