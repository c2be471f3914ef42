// The Windows layer in this process: text conversions, the GDI surface, the window host, the
// system's script engine and the safe write's last step.
#include "core/errors.h"
#include "support/temp_folder.h"
#include "win32/clipboard_win32.h"
#include "win32/editor_window.h"
#include "win32/gdi_surface.h"
#include "win32/replacement_file.h"
#include "win32/script_engine_win32.h"
#include "win32/utf.h"
#include "win32/window_host.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <numeric>

namespace kst::win32 {
namespace {

constexpr int kCell = 8;

int AdvanceSum(const TCellText& Cells) {
    return std::accumulate(Cells.Advances.begin(), Cells.Advances.end(), 0);
}

TEST(Utf, ConvertsBetweenUtf16AndTheOtherEncodings) {
    EXPECT_EQ(TextToWide("\x93\xfa\x96\x7b"
                         "a\xb1"),
              L"日本aｱ");
    EXPECT_EQ(WideToText(L"日本aｱ"), "\x93\xfa\x96\x7b"
                                     "a\xb1");
    EXPECT_EQ(Utf8ToWide("設定 - Kestrane"), L"設定 - Kestrane");
    EXPECT_EQ(WideToUtf8(L"新規[1]"), "新規[1]");
    EXPECT_EQ(WideToText(L"caf\u00e9 \u00bd"), "caf? ?");
    EXPECT_EQ(TextToWide(""), L"");
    EXPECT_EQ(WideToText(L""), "");
    // A lead byte without its partner still becomes one character.
    EXPECT_EQ(TextToWide("a\x82").size(), 2u);
}

// A character outside the basic plane pastes as one "?" like any other that CP932 lacks.
TEST(Clipboard, PastedTextNeverSplitsASurrogatePair) {
    Clipboard& clipboard = ProcessClipboard();
    const std::vector<std::pair<std::wstring, std::string>> cases = {
        {L"a\U0001F600b", "a?b"},
        {L"\U00020B9F\u3042", "?\x82\xa0"},
        {std::wstring(L"x\xD800y\xDC00", 4), "x?y?"},
    };
    for (const auto& [wide, expected] : cases) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        const std::size_t size = (wide.size() + 1) * sizeof(wchar_t);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(block), wide.c_str(), size);
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
        CloseClipboard();
        EXPECT_EQ(clipboard.GetText(), expected);
    }
}

// The verdict arrives through the message loop of the thread that asked.
TEST(ScriptEngineTest, CompilesWithTheSystemEngineAndRunsNothing) {
    const std::filesystem::path madePath = std::filesystem::temp_directory_path() /
                                           ("kst_engine_" + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove(madePath);
    const std::string made = madePath.string();
    const std::string createsFile = "Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
                                    "fso.CreateTextFile(\"" +
                                    made + "\").Close\r\n";
    struct TCase {
        std::string Script;
        TEngineVerdict Verdict;
    };
    const std::vector<TCase> cases = {
        {createsFile, {TEngineVerdict::evCompiled, std::nullopt, ""}},
        {createsFile + "Dim a\r\nx = = 1\r\n", {TEngineVerdict::evError, TEnginePlace{3, 4}, ""}},
    };
    Win32ScriptEngine engine;
    for (const auto& [script, expected] : cases) {
        std::optional<TEngineVerdict> verdict;
        engine.Compile(script, [&verdict](const TEngineVerdict& Verdict) { verdict = Verdict; });
        const DWORD start = GetTickCount();
        MSG message;
        while (!verdict && GetTickCount() - start < 10000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
        }
        ASSERT_TRUE(verdict.has_value()) << script;
        // Wine's engine gives no descriptions; the system's does, in its own language.
        EXPECT_EQ(verdict->Outcome, expected.Outcome) << script;
        EXPECT_EQ(verdict->Place, expected.Place) << script;
        EXPECT_FALSE(std::filesystem::exists(madePath)) << "the script ran";
    }
}

TEST(CellText, GivesEveryByteOneCell) {
    const TCellText Mixed = CellText("A\x93\xfa"
                                     "b\xb1",
                                     kCell);
    EXPECT_EQ(Mixed.Text, L"A日bｱ");
    EXPECT_EQ(Mixed.Advances, (std::vector<INT>{kCell, 2 * kCell, kCell, kCell}));

    for (const std::string_view Malformed :
         {std::string_view("x\x82"), std::string_view("\x81\x20y"),
          std::string_view("\x00\x93\xfa\x00", 4), std::string_view("\xfd\xfe\xff")}) {
        const TCellText Cells = CellText(Malformed, kCell);
        EXPECT_EQ(Cells.Text.size(), Cells.Advances.size());
        EXPECT_EQ(AdvanceSum(Cells), static_cast<int>(Malformed.size()) * kCell);
    }
}

// The columns of Surface that hold a pixel other than white, within the first Height rows.
std::vector<int> InkedColumns(const Surface& Canvas, int Height) {
    std::vector<int> Columns;
    for (int x = 0; x < Canvas.Size().Width; ++x) {
        for (int y = 0; y < Height; ++y) {
            if (Canvas.GetPixel({x, y}) != clWhite) {
                Columns.push_back(x);
                break;
            }
        }
    }
    return Columns;
}

TEST(GdiSurface, DrawsDoubleByteCharactersInTwoCells) {
    GdiBitmap Canvas(TSize{120, 24});
    Canvas.SelectFont(TFontSpec{"ＭＳ ゴシック", -16, kShiftJisCharset, {}});
    const TFontMetrics Metrics = Canvas.FontMetrics();
    EXPECT_GT(Metrics.Height, 0);
    EXPECT_GT(Metrics.AveCharWidth, 0);

    TTextCells Run;
    Run.Text = "\x93\xfa\x96\x7b"; // two characters, four cells
    Run.CellWidth = kCell;
    Run.Clip = TRect{0, 0, 120, 24};
    Canvas.TextOut(Run);
    const std::vector<int> Inked = InkedColumns(Canvas, 24);
    ASSERT_FALSE(Inked.empty());
    EXPECT_LT(Inked.front(), 2 * kCell);
    EXPECT_GE(Inked.back(), 2 * kCell);
    EXPECT_LT(Inked.back(), 4 * kCell);

    Canvas.FillRect(TRect{0, 0, 120, 24}, clWhite);
    Run.Clip = TRect{0, 0, 2 * kCell, 24};
    Canvas.TextOut(Run);
    EXPECT_LT(InkedColumns(Canvas, 24).back(), 2 * kCell);
}

TEST(GdiSurface, DrawsPixelsLinesAndCopies) {
    constexpr TColor Red = 0x0000FF;
    constexpr TColor Blue = 0xFF0000;
    GdiBitmap Source(TSize{4, 1});
    EXPECT_EQ(Source.GetPixel({3, 0}), clWhite);
    Source.Line({0, 0}, {3, 0}, Red);
    EXPECT_EQ(Source.GetPixel({2, 0}), Red);
    EXPECT_EQ(Source.GetPixel({3, 0}), clWhite);
    Source.SetPixel({1, 0}, clWhite);

    const std::unique_ptr<Surface> Target = Source.CreateBitmap(TSize{4, 1});
    Target->FillRect(TRect{0, 0, 4, 1}, Blue);
    Target->CopyTransparent(TRect{0, 0, 4, 1}, Source, {0, 0}, clWhite);
    EXPECT_EQ(Target->GetPixel({0, 0}), Red);
    EXPECT_EQ(Target->GetPixel({1, 0}), Blue);
    EXPECT_EQ(Target->GetPixel({2, 0}), Red);
    EXPECT_EQ(Target->GetPixel({3, 0}), Blue);

    Target->CopyFrom(TRect{0, 0, 2, 1}, Source, {2, 0});
    EXPECT_EQ(Target->GetPixel({0, 0}), Red);
    EXPECT_EQ(Target->GetPixel({1, 0}), clWhite);
}

class WindowHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        Window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VSCROLL, 0, 0, 300,
                                 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(Window, nullptr);
        Host = std::make_unique<WindowHost>(Window);
    }
    void TearDown() override {
        Host.reset();
        DestroyWindow(Window);
    }

    HWND Window = nullptr;
    std::unique_ptr<WindowHost> Host;
};

TEST_F(WindowHostTest, HandsTypedCharactersOverAsCp932Bytes) {
    EXPECT_EQ(Host->PeekNextChar(), std::nullopt);
    Host->QueueCharacter(L'あ');
    Host->QueueCharacter(L'x');
    EXPECT_EQ(Host->PeekNextChar(), 0x82);
    EXPECT_EQ(Host->TakeQueuedByte(), 0x82);
    EXPECT_EQ(Host->PeekNextChar(), 0xA0);
    Host->RemoveNextChar();
    EXPECT_EQ(Host->TakeQueuedByte(), 'x');
    EXPECT_EQ(Host->TakeQueuedByte(), std::nullopt);

    // Characters CP932 lacks type nothing rather than a "?".
    Host->QueueCharacter(L'\u00e9');
    Host->QueueCharacter(L'\xd83d');
    EXPECT_EQ(Host->PeekNextChar(), std::nullopt);

    // Only the bytes of the character being handled are visible, never a later message.
    PostMessageW(Window, WM_CHAR, L'y', 0);
    EXPECT_EQ(Host->PeekNextChar(), std::nullopt);
    MSG Message{};
    PeekMessageW(&Message, Window, WM_CHAR, WM_CHAR, PM_REMOVE);
}

TEST_F(WindowHostTest, KeepsScrollPositionsBeyondSixteenBits) {
    Host->SetScrollRange(TScrollBarKind::Vertical, TScrollRange{0, 200000, 30, 70000});
    SCROLLINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = SIF_ALL;
    GetScrollInfo(Window, SB_VERT, &Info);
    EXPECT_EQ(Info.nMax, 200000);
    EXPECT_EQ(Info.nPage, 30u);
    EXPECT_EQ(Info.nPos, 70000);
    Host->SetScrollPosition(TScrollBarKind::Vertical, 150000);
    GetScrollInfo(Window, SB_VERT, &Info);
    EXPECT_EQ(Info.nPos, 150000);

    RECT Client{};
    GetClientRect(Window, &Client);
    EXPECT_EQ(Host->ClientSize(), (TSize{Client.right, Client.bottom}));
    EXPECT_EQ(Host->ClientSurface().Size(), Host->ClientSize());
}

// The host skips placing the caret where it stands: a caret made anew or moved by a scroll is
// placed again all the same.
TEST_F(WindowHostTest, PlacesTheCaretAgainAfterANewCaretOrAScroll) {
    const auto caretAt = [] {
        POINT at{};
        GetCaretPos(&at);
        return TPoint{at.x, at.y};
    };
    ShowWindow(Window, SW_SHOWNOACTIVATE);
    Host->CreateCaret({2, 16});
    Host->SetCaretPos({10, 20});
    EXPECT_EQ(caretAt(), (TPoint{10, 20}));
    Host->DestroyCaret();
    Host->CreateCaret({2, 16});
    Host->SetCaretPos({10, 20});
    EXPECT_EQ(caretAt(), (TPoint{10, 20})) << "a new caret";
    Host->ScrollPixels(0, 16, {0, 0, 200, 150}, {0, 0, 200, 150});
    ASSERT_NE(caretAt(), (TPoint{10, 20})) << "the scroll moves the caret";
    Host->SetCaretPos({10, 20});
    EXPECT_EQ(caretAt(), (TPoint{10, 20})) << "after a scroll";
    Host->DestroyCaret();
}

// A "TEditor" window of this process: text crosses the window boundary as UTF-16.
class EditorWindowInProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterEditorWindowClass();
        Window = CreateWindowExW(0, kEditorClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(EditorOfWindow(Window), nullptr);
    }
    void TearDown() override { DestroyWindow(Window); }

    LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
        return SendMessageW(Window, Msg, WParam, LParam);
    }
    LRESULT SetText(const wchar_t* Text) const {
        return Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text));
    }
    std::wstring Line(int Row, WORD Capacity) const {
        std::wstring Buffer(std::max<std::size_t>(Capacity, 1), L'\0');
        Buffer[0] = static_cast<wchar_t>(Capacity);
        Buffer.resize(static_cast<std::size_t>(
            Send(EM_GETLINE, static_cast<WPARAM>(Row), reinterpret_cast<LPARAM>(Buffer.data()))));
        return Buffer;
    }

    HWND Window = nullptr;
};

TEST_F(EditorWindowInProcessTest, ExchangesUtf16TextAndCountsCp932Bytes) {
    const std::wstring Text = L"' 日本語のコメント\r\nMsgBox \"ｱｲｳ\"\r\n";
    EXPECT_TRUE(SetText(Text.c_str()));
    EXPECT_EQ(EditorOfWindow(Window)->GetLines().GetTextStr(), WideToText(Text));
    EXPECT_EQ(Send(WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(WideToText(Text).size()));

    std::wstring Buffer(64, L'\0');
    EXPECT_EQ(Send(WM_GETTEXT, Buffer.size(), reinterpret_cast<LPARAM>(Buffer.data())),
              static_cast<LRESULT>(Text.size()));
    EXPECT_EQ(Buffer.c_str(), Text);
    EXPECT_EQ(Send(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(Buffer.data())), 3);
    EXPECT_STREQ(Buffer.c_str(), L"' 日");
    EXPECT_EQ(Send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(Buffer.data())), 0);

    EXPECT_EQ(Line(0, 200), L"' 日本語のコメント");
    EXPECT_EQ(Line(0, 4), L"' 日本");
    EXPECT_EQ(Line(1, 200), L"MsgBox \"ｱｲｳ\"");
    EXPECT_EQ(Line(2, 200), L"");
    EXPECT_EQ(Line(-1, 200), L"");
    EXPECT_EQ(Send(EM_LINEINDEX, 1, 0),
              static_cast<LRESULT>(WideToText(L"' 日本語のコメント\r\n").size()));

    EXPECT_TRUE(SetText(nullptr));
    EXPECT_EQ(Send(WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST_F(EditorWindowInProcessTest, KeepsDoubleByteCharactersWholeInLongRows) {
    // Longer than EM_GETLINE's 16-bit byte limit, with a double-byte character across the limit.
    const std::string Row = std::string(65534, 'a') + "\x93\xfa" + std::string(10, 'b');
    EditorOfWindow(Window)->GetLines().SetTextStr(Row);
    const std::wstring Wide = Line(0, 65535);
    EXPECT_EQ(Wide.size(), 65534u);
    EXPECT_EQ(Wide.back(), L'a');
}

std::string FileContent(const std::filesystem::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteContent(const std::filesystem::path& Path, const std::string& Content) {
    std::ofstream(Path, std::ios::binary) << Content;
}

// The system's replace can fail after taking the old file away; the new content then must not be
// removed with the temporary file.
TEST(ReplacementFile, NeverRemovesTheOnlyCopyOfTheContent) {
    namespace fs = std::filesystem;
    enum class TPlay : std::uint8_t {
        TargetRemoved,
        TargetRenamed,
        TargetBecameFolder,
        NothingMoved
    };
    struct TCase {
        TPlay Play;
        unsigned long Error;
        std::string TargetAfter; // "" for a folder
        bool Raises;
        bool TemporaryKept;
    };
    const TCase cases[] = {
        {TPlay::TargetRemoved, ERROR_UNABLE_TO_MOVE_REPLACEMENT, "new", false, false},
        {TPlay::TargetRenamed, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, "new", false, false},
        {TPlay::TargetBecameFolder, ERROR_UNABLE_TO_MOVE_REPLACEMENT, "", true, true},
        {TPlay::NothingMoved, ERROR_UNABLE_TO_REMOVE_REPLACED, "old", true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Play));
        const TempFolder folder("kst_replace_");
        const fs::path target = folder.Path() / "a.vbs";
        WriteContent(target, "old");
        const auto play = [&c](const std::wstring& Target, const std::wstring&) {
            if (c.Play == TPlay::TargetRenamed) {
                fs::rename(Target, Target + L".aside");
            } else if (c.Play != TPlay::NothingMoved) {
                fs::remove(Target);
            }
            if (c.Play == TPlay::TargetBecameFolder) {
                fs::create_directory(Target);
                WriteContent(fs::path(Target) / "inside", "x");
            }
            return c.Error;
        };
        std::string error;
        {
            const auto file = CreateReplacementFile(target.string(), play);
            file->WriteAll("new", 3);
            try {
                file->ReplaceTarget();
            } catch (const EFileError& failure) {
                error = failure.what();
            }
        }
        std::vector<fs::path> temporaries;
        for (const auto& entry : fs::directory_iterator(folder.Path())) {
            if (entry.path().extension() == ".tmp") {
                temporaries.push_back(entry.path());
            }
        }
        EXPECT_EQ(!error.empty(), c.Raises) << error;
        EXPECT_EQ(fs::is_directory(target) ? "" : FileContent(target), c.TargetAfter);
        ASSERT_EQ(temporaries.size(), c.TemporaryKept ? 1u : 0u);
        if (c.TemporaryKept) {
            EXPECT_EQ(FileContent(temporaries.front()), "new");
            EXPECT_NE(error.find(WideToUtf8(temporaries.front().wstring())), std::string::npos)
                << error;
        }
    }
}

} // namespace
} // namespace kst::win32
