// What the end-to-end tests of kestrane.exe share: files, the program's windows and message boxes,
// keys and characters sent as a user types them, and a fixture that runs a copy of the program in
// a folder of its own (with its "Env" folder, so settings and histories start empty) and ends
// every process of the copy when the test ends.
#pragma once

#include "host_process.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kst::e2e {

inline constexpr std::chrono::seconds kTimeout{20};
inline constexpr wchar_t kMainWindowClass[] = L"TForm1";
inline constexpr wchar_t kTitleSuffix[] = L" - Kestrane";

// Files

std::string ReadBytes(const std::wstring& Path);
void WriteBytes(const std::wstring& Path, std::string_view Bytes);

// Windows

std::wstring TitleOf(HWND Window);
DWORD ProcessOf(HWND Window);
// The visible top-level windows of a class, front to back.
std::vector<HWND> VisibleWindows(const wchar_t* ClassName);
HWND VisibleMainWindow(const std::wstring& Title);
HWND WaitForMainWindow(const std::wstring& Title);
bool WaitUntilClosed(HWND Window);
// The message box (dialog class "#32770") that a process shows; null when none.
HWND MessageBoxOf(DWORD ProcessId);
HWND WaitForMessageBox(DWORD ProcessId);
// The texts of a dialog's controls, one per line.
std::wstring DialogText(HWND Dialog);
void Click(HWND Dialog, int ButtonId);
HWND EditorOf(HWND MainWindow);
// The distance between the tops of the editor's first two rows, in pixels.
int RowPitch(HWND Editor);
// The tool bar's state box.
HWND StatusBoxOf(HWND MainWindow);
// A part of the main window's status bar, read as another program reads it: SB_GETTEXT writes
// into a buffer in the window's process.
std::wstring StatusBarText(HWND MainWindow, int Part);
bool WaitForText(HWND Control, const std::wstring& Text);
// The results list under the editor, its entries, and a double click with the mouse on one.
HWND ResultsListOf(HWND MainWindow);
std::vector<std::wstring> ListItems(HWND List);
void DoubleClickItem(HWND List, int Index);

// Keys and characters

// Characters typed into the editor; answers when the editor shows them.
bool Type(HWND Editor, std::wstring_view Characters);
bool BringForward(HWND Window);
// Presses the keys in order and releases them in reverse order, as a user types Ctrl+N.
void PressKeys(std::initializer_list<WORD> Keys);

// Processes

bool SameText(std::wstring_view A, std::wstring_view B);
std::wstring ProcessImagePath(DWORD ProcessId);
// Ends a process, if it still runs, and waits for its end.
void EndProcess(DWORD ProcessId);

class KestraneTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring Program() const { return Folder + L"kestrane.exe"; }
    std::wstring PathOf(const std::wstring& Name) const { return Folder + Name; }
    std::wstring EnvPath(const std::wstring& Name) const { return Folder + L"Env\\" + Name; }
    static std::wstring TitleFor(const std::wstring& Path) { return Path + kTitleSuffix; }

    std::wstring CreateTextFile(const std::wstring& Name, std::string_view Bytes) const;
    // Starts the program with these parameters; answers its process (closed by the fixture).
    HANDLE Start(const std::vector<std::wstring>& Parameters);
    static bool WaitForExit(HANDLE Process);
    // Every running process of this test's copy of the program, also those it started itself.
    std::vector<DWORD> RunningPrograms() const;
    // The running processes of an image file name ("wscript.exe") that the copy started, and
    // those that they started in turn; all of them for an empty name.
    std::vector<DWORD> ChildProcesses(std::wstring_view ImageName) const;
    // Ends the copy's processes and those they started.
    void EndPrograms();
    // Brings Window forward and presses the key chords in turn until Done holds: synthetic keys
    // that arrive while the foreground changes hands can be lost.
    static bool PressUntil(HWND Window, std::initializer_list<std::initializer_list<WORD>> Chords,
                           const std::function<bool()>& Done);
    // Ctrl+N in Window until one more process of the program runs.
    bool PressNewFile(HWND Window) const;

    std::wstring Folder;

private:
    std::vector<HANDLE> FStarted;
};

} // namespace kst::e2e
