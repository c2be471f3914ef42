// End-to-end tests of work kept safe beyond the save: another program rewrites the open file and
// the window, activated, offers to read it again; a process killed with unsaved typing leaves a
// recovery copy that the next process on the file offers.
#include "kestrane_driver.h"

#include <filesystem>

namespace kst::e2e {

namespace {

// A plain top-level window of the test's own, to take the foreground from the program.
class OtherWindow {
public:
    OtherWindow()
        : FWindow(CreateWindowExW(0, L"STATIC", L"other program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  0, 0, 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr),
                                  nullptr)) {}
    ~OtherWindow() { DestroyWindow(FWindow); }
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;

    HWND Handle() const { return FWindow; }

private:
    HWND FWindow;
};

// The recovery copies in Folder that hold Text.
bool CopyHolds(const std::wstring& Folder, std::string_view Text) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Folder, error)) {
        if (entry.path().extension() == L".rcv" &&
            ReadBytes(entry.path().wstring()).find(Text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST_F(KestraneTest, AFileRewrittenByAnotherProgramIsOfferedAgainWhenTheWindowIsActivated) {
    const std::wstring path = CreateTextFile(L"watched.vbs", "Dim old\r\n");
    Start({path});
    const HWND window = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(window, nullptr);
    const OtherWindow other;
    ASSERT_TRUE(BringForward(other.Handle()));
    WriteBytes(path, "Dim rewritten\r\n");

    ASSERT_TRUE(BringForward(window));
    const HWND question = WaitForMessageBox(ProcessOf(window));
    ASSERT_NE(question, nullptr);
    EXPECT_NE(DialogText(question).find(
                  L"ファイルが他のプログラムで変更されました。読み込み直しますか？"),
              std::wstring::npos);
    Click(question, IDYES);
    EXPECT_TRUE(WaitForText(EditorOf(window), L"Dim rewritten\r\n"));
    EXPECT_TRUE(WaitForText(StatusBoxOf(window), L"VBSファイル"));
}

TEST_F(KestraneTest, TypingOfAKilledProcessIsOfferedToTheNextProcessOnTheFile) {
    const std::wstring path = CreateTextFile(L"typed.vbs", "Dim a\r\n");
    const HANDLE first = Start({path});
    const HWND window = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Type(EditorOf(window), L"xyz"));
    const std::wstring typed = WindowText(EditorOf(window));
    ASSERT_TRUE(WaitUntil([&] { return CopyHolds(EnvPath(L"recover"), "xyz"); }, kTimeout));
    ASSERT_NE(TerminateProcess(first, 1), FALSE);
    ASSERT_TRUE(WaitForExit(first));

    const HANDLE second = Start({path});
    const HWND question = WaitForMessageBox(GetProcessId(second));
    ASSERT_NE(question, nullptr);
    EXPECT_NE(DialogText(question).find(L"前回保存されなかった変更があります。復元しますか？"),
              std::wstring::npos);
    Click(question, IDYES);
    const HWND restored = WaitForMainWindow(TitleFor(path));
    ASSERT_NE(restored, nullptr);
    EXPECT_TRUE(WaitForText(EditorOf(restored), typed));
    EXPECT_TRUE(WaitForText(StatusBoxOf(restored), L"変更あり"));
    EXPECT_EQ(ReadBytes(path), "Dim a\r\n");
}

} // namespace

} // namespace kst::e2e
