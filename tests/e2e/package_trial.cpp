// The package as a user runs it, in the folder it was unpacked into and a fresh Wine prefix:
// scripts/test-package runs this with KESTRANE_PACKAGE_FOLDER (the unpacked folder) and
// KESTRANE_TRIAL_SCRIPT (a script to open). kestrane.exe shows the script's text, a screenshot of
// its window is saved beside this program as package_trial.png, and it closes, leaving its
// settings in its own "Env" folder.
#include "kestrane_driver.h"
#include "screenshot.h"
#include "win32/utf.h"

#include <filesystem>

namespace kst::e2e {
namespace {

using namespace std::chrono_literals;

std::wstring EnvironmentVariable(const wchar_t* Name) {
    std::wstring Value(GetEnvironmentVariableW(Name, nullptr, 0), L'\0');
    Value.resize(GetEnvironmentVariableW(Name, Value.data(), static_cast<DWORD>(Value.size())));
    return Value;
}

TEST(Package, TheProgramRunsFromTheUnpackedFolder) {
    const std::wstring Folder = EnvironmentVariable(L"KESTRANE_PACKAGE_FOLDER");
    const std::wstring Script = EnvironmentVariable(L"KESTRANE_TRIAL_SCRIPT");
    ASSERT_FALSE(Folder.empty() || Script.empty()) << "scripts/test-package runs this program";
    const std::wstring Program = Folder + L"\\kestrane.exe";
    std::wstring CommandLine = L"\"" + Program + L"\" \"" + Script + L"\"";
    STARTUPINFOW Startup{};
    Startup.cb = sizeof(Startup);
    PROCESS_INFORMATION Process{};
    ASSERT_NE(CreateProcessW(Program.c_str(), CommandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, Folder.c_str(), &Startup, &Process),
              FALSE)
        << "error " << GetLastError();
    CloseHandle(Process.hThread);

    const HWND Window = WaitForMainWindow(Script + kTitleSuffix);
    EXPECT_NE(Window, nullptr) << "no window shows " << Script;
    if (Window != nullptr) {
        // A fresh prefix's settings read the script in the system's code page.
        const std::string bytes = ReadBytes(Script);
        std::wstring shown(bytes.size(), L'\0');
        shown.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                shown.data(), static_cast<int>(shown.size()))));
        EXPECT_TRUE(WaitForText(EditorOf(Window), shown));
        EXPECT_TRUE(SaveDrawnWindow(Window, L"package_trial.png", 8));
        PostMessageW(Window, WM_CLOSE, 0, 0);
    }

    if (WaitForSingleObject(Process.hProcess, static_cast<DWORD>(kTimeout / 1ms)) !=
        WAIT_OBJECT_0) {
        const HWND Box = MessageBoxOf(Process.dwProcessId);
        ADD_FAILURE() << "kestrane.exe did not end; "
                      << (Box != nullptr ? L"it shows: " + DialogText(Box) : L"no message box");
        TerminateProcess(Process.hProcess, 1);
    }
    DWORD ExitCode = 1;
    GetExitCodeProcess(Process.hProcess, &ExitCode);
    CloseHandle(Process.hProcess);
    EXPECT_EQ(ExitCode, 0u);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(Folder) / L"Env" / L"kst.ini"));
}

} // namespace
} // namespace kst::e2e
