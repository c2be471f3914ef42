// The main window, window class "TForm1" (other processes and the dropped-files rule find it by
// that name): the menu bar, the tool bar with the state box, the editor ("TEditor"), the search
// results list under a splitter (both hidden until used) and the status bar (the caret's place,
// the encoding, the read-only mark), around the main window's logic TForm1, for which it is the
// view.
#pragma once

#include "app/edit_commands.h"
#include "app/main_form.h"
#include "app/main_view.h"
#include "app/main_window_metrics.h"
#include "win32/desktop_win32.h"
#include "win32/main_window_menus.h"
#include "win32/main_window_toolbar.h"
#include "win32/results_list.h"
#include "win32/windows_api.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kst::win32 {

inline constexpr wchar_t kMainWindowClassName[] = L"TForm1";

// Registers the class once per process; later calls do nothing.
void RegisterMainWindowClass();

class MainWindow final : public MainWindowView {
public:
    // Creates the window, not yet shown, with its controls and the logic for the command line's
    // Parameters (those after the program's path). Desk's owner becomes this window.
    MainWindow(Win32Desktop& Desk, std::vector<std::string> Parameters);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const { return FWindow; }

    // Reads the settings and opens the command line's file (TForm1::FormCreate); an error is
    // shown and the window goes on.
    void Create();
    void Show(int ShowCommand);
    // Handles every pending message, menu shortcuts first; the quit message's exit code when it
    // came.
    std::optional<int> HandlePendingMessages();
    // The application became idle: the commands' states and the state text are brought up to
    // date, and one step of the colouring ahead is done; answers whether such steps remain.
    bool Idle();
    // Milliseconds until timed idle work falls due; none when there is none.
    std::optional<int> IdleWakeDelay();

    // MainWindowView
    void SetTitle(const std::string& Title) override;
    TWindowState WindowState() const override;
    TSize WindowSize() const override;
    void SetWindowSize(TSize Size) override;
    int PixelsPerInch() const override;
    void BringToFront() override;
    void Close() override;
    void Terminate() override;
    bool ProcessMessages() override;
    void RefreshToolBar() override;
    void RefreshStatusBar() override;
    void ShowAboutBox(const TAboutBox& About) override;
    void ShowOptionsDialog(TfrmSetting& Dialog) override;
    bool ShowSearchDialog(TfrmSearch& Dialog) override;
    bool ShowReplaceDialog(TfrmReplace& Dialog) override;
    bool ShowGoLineDialog(TfrmGoLine& Dialog) override;
    bool ShowFolderSearchDialog(TfrmFolderSearch& Dialog) override;
    bool ShowKeysDialog(TfrmKeys& Dialog) override;
    void ShowResultsList(bool Shown) override;
    void ClearResults(std::size_t Expected) override;
    void AddResults(std::span<const std::string> Entries) override;
    std::optional<std::size_t> SelectedResultIndex() const override;
    void FocusEditor() override;
    void FocusResultsList() override;
    void RepaintEditor() override;
    TPoint EditorToScreen(TPoint Point) const override;

private:
    friend void RegisterMainWindowClass();
    static LRESULT CALLBACK WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    // A key pressed in this window or one of its controls that is a menu item's shortcut is
    // carried out here; answers whether Message was one (then nobody else gets it).
    bool HandleShortCut(const MSG& Message);
    void ScaleTo(int Dpi);
    void CreateControls();
    void CreateToolBar();
    void SetStatusBarParts();
    void DpiChanged(int Dpi, const RECT& Suggested);
    void Layout();
    // The client area between the tool bar and the status bar.
    RECT ClientPanel() const;
    bool OnSplitter(POINT Point) const;
    bool SplitterMouse(UINT Msg, LPARAM LParam);
    bool SetSplitterCursor();
    bool Command(WPARAM WParam, LPARAM LParam);
    void CloseQuery();
    // Windows asks whether the session may end (log-off, shutdown): the close query decides.
    bool QueryEndSession();
    void DropFiles(HDROP Drop);
    // Once: at the end of a session the window may still be destroyed afterwards, and a second
    // write then could be cut short by the system ending the process.
    void SaveSettingsAndLists();
    void Destroyed();

    Win32Desktop& FDesktop;
    // The dots per inch of the window's screen, and the window's sizes for it.
    int FDpi = 0;
    TMainWindowMetrics FMetrics;
    HWND FWindow = nullptr;
    HFONT FFont = nullptr;
    HIMAGELIST FImages = nullptr;
    HWND FEditorWindow = nullptr;
    HWND FSplitter = nullptr;
    std::unique_ptr<ResultsList> FResultsList;
    HWND FStatusBar = nullptr;
    // The status bar's texts as they were last sent.
    std::array<std::string, TStatusBar::kPartCount> FShownStatus;
    std::unique_ptr<MainToolBar> FToolBar;
    std::unique_ptr<MainMenuBar> FMenuBar;
    std::unique_ptr<EditorCommands> FCommands;
    std::unique_ptr<TForm1> FForm;
    // The results list's height; the splitter changes it.
    int FListHeight = 0;
    // The splitter is being dragged.
    bool FSplitterDragging = false;
    // The message loop is to end as soon as it runs.
    bool FTerminating = false;
    bool FSettingsSaved = false;
};

} // namespace kst::win32
