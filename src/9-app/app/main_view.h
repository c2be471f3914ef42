// What the main window's logic needs from its window; the Windows layer implements it.
#pragma once

#include "platform/geometry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kst {

class TfrmFolderSearch;
class TfrmGoLine;
class TfrmKeys;
class TfrmReplace;
class TfrmSearch;
class TfrmSetting;

enum class TWindowState : std::uint8_t { Normal, Minimized, Maximized };

// The about box: its title, the product and the version line.
struct TAboutBox {
    std::string Caption;
    std::string ProductName;
    std::string Version;

    bool operator==(const TAboutBox&) const = default;
};

class MainWindowView {
public:
    MainWindowView() = default;
    MainWindowView(const MainWindowView&) = delete;
    MainWindowView& operator=(const MainWindowView&) = delete;
    virtual ~MainWindowView() = default;

    // Sets the window's title and the application's (task bar) title.
    virtual void SetTitle(const std::string& Title) = 0;
    virtual TWindowState WindowState() const = 0;
    // The window's outer size, in the pixels of its screen.
    virtual TSize WindowSize() const = 0;
    virtual void SetWindowSize(TSize Size) = 0;
    // The dots per inch of the screen the window is on (96 at 100 %), for sizes in points and
    // the window size kept in the settings.
    virtual int PixelsPerInch() const = 0;
    virtual void BringToFront() = 0;
    // Closes the window as its close box does: the close query runs first.
    virtual void Close() = 0;
    // Ends the process as soon as its message loop runs (posts the quit message).
    virtual void Terminate() = 0;
    // Handles every pending message as the message loop does (menu shortcuts first), without the
    // idle update, and returns; false when the quit message came, which is left for the loop.
    virtual bool ProcessMessages() = 0;
    // Shows the tool bar's button states and state text as the data holds them now.
    virtual void RefreshToolBar() = 0;
    // Shows the status bar's texts as the data holds them now.
    virtual void RefreshStatusBar() = 0;
    // Modal, centred on the window, with an OK button.
    virtual void ShowAboutBox(const TAboutBox& About) = 0;
    // The options dialog, modal and centred on the window. Its "OK" calls Dialog.Accept and
    // closes; when Accept raises, the error is shown and the dialog stays open. The "追加" button
    // shows the registration dialog for Dialog.NewLauncherDialog() and, when it ends with OK,
    // calls Dialog.AddLauncher.
    virtual void ShowOptionsDialog(TfrmSetting& Dialog) = 0;
    // The search, replace and go-to-line dialogs, modal and centred on the window; each answers
    // whether it closed with OK. The go-to-line dialog's "OK" calls Dialog.Accept and closes
    // (when Accept raises, the error is shown and the dialog stays open).
    virtual bool ShowSearchDialog(TfrmSearch& Dialog) = 0;
    virtual bool ShowReplaceDialog(TfrmReplace& Dialog) = 0;
    virtual bool ShowGoLineDialog(TfrmGoLine& Dialog) = 0;
    // The folder search's dialog, modal and centred on the window; its "..." calls
    // Dialog.BrowseFolder. Answers whether it closed with "検索".
    virtual bool ShowFolderSearchDialog(TfrmFolderSearch& Dialog) = 0;
    // The key-assignment dialog, modal and centred on the window, showing and editing Dialog;
    // answers whether it closed with OK.
    virtual bool ShowKeysDialog(TfrmKeys& Dialog) = 0;

    // The search results list under the editor and its splitter, shown and hidden together.
    virtual void ShowResultsList(bool Shown) = 0;
    // Empties the list, with room made for Expected entries to come.
    virtual void ClearResults(std::size_t Expected) = 0;
    // Adds entries (UTF-8) at the list's end, none selected.
    virtual void AddResults(std::span<const std::string> Entries) = 0;
    // The index of the selected entry; none when nothing is selected.
    virtual std::optional<std::size_t> SelectedResultIndex() const = 0;
    virtual void FocusEditor() = 0;
    virtual void FocusResultsList() = 0;
    virtual void RepaintEditor() = 0;
    // A point of the editor's client area on the screen.
    virtual TPoint EditorToScreen(TPoint Point) const = 0;
};

} // namespace kst
