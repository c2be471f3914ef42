// What the main window's tests share: a temporary program folder with its "Env" folder, and a
// view and editor commands that record what they are asked.
#pragma once

#include "app/edit_commands.h"
#include "app/key_dialog.h"
#include "app/main_view.h"
#include "app/search_dialogs.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kst {

// A temporary folder of its own holding an empty "Env" folder.
class TempProgramFolder {
public:
    TempProgramFolder();

    // The UTF-8 path of Name inside the folder.
    std::string Path(const std::string& Name) const;
    std::string EnvPath(const std::string& Name) const;
    std::string ProgramPath() const { return Path("Kestrane.exe"); }

    // Writes Bytes to Name (in the folder) and returns its path.
    std::string WriteFile(const std::string& Name, const std::string& Bytes) const;
    std::string ReadFile(const std::string& Name) const;
    void RemoveEnv() const;
    // Removes a file or folder given by its full path.
    static void Remove(const std::string& FullPath);

private:
    TempFolder FFolder{"kst_app_test_"};
};

class RecordingView : public MainWindowView {
public:
    void SetTitle(const std::string& Title) override { Titles.push_back(Title); }
    TWindowState WindowState() const override { return State; }
    TSize WindowSize() const override { return Size; }
    void SetWindowSize(TSize Value) override { Size = Value; }
    int PixelsPerInch() const override { return Ppi; }
    void BringToFront() override { ++BroughtToFront; }
    void Close() override;
    void Terminate() override { ++Terminated; }
    bool ProcessMessages() override;
    void RefreshToolBar() override { ++ToolBarRefreshes; }
    void RefreshStatusBar() override { ++StatusBarRefreshes; }
    void ShowAboutBox(const TAboutBox& About) override { AboutBoxes.push_back(About); }
    void ShowOptionsDialog(TfrmSetting& Dialog) override;
    bool ShowSearchDialog(TfrmSearch& Dialog) override { return Answer(OnSearchDialog, Dialog); }
    bool ShowReplaceDialog(TfrmReplace& Dialog) override { return Answer(OnReplaceDialog, Dialog); }
    bool ShowGoLineDialog(TfrmGoLine& Dialog) override { return Answer(OnGoLineDialog, Dialog); }
    bool ShowKeysDialog(TfrmKeys& Dialog) override { return Answer(OnKeysDialog, Dialog); }
    bool ShowFolderSearchDialog(TfrmFolderSearch& Dialog) override {
        return Answer(OnFolderSearchDialog, Dialog);
    }
    void ShowResultsList(bool Shown) override { ResultsShown = Shown; }
    void ClearResults(std::size_t) override {
        Results.clear();
        SelectedIndex = -1;
    }
    void AddResults(std::span<const std::string> Entries) override {
        Results.insert(Results.end(), Entries.begin(), Entries.end());
    }
    std::optional<std::size_t> SelectedResultIndex() const override;
    void FocusEditor() override { Focus = "editor"; }
    void FocusResultsList() override { Focus = "list"; }
    void RepaintEditor() override { ++EditorRepaints; }
    TPoint EditorToScreen(TPoint Point) const override {
        return {Point.X + EditorOrigin.X, Point.Y + EditorOrigin.Y};
    }

    std::vector<std::string> Titles;
    TWindowState State = TWindowState::Normal;
    TSize Size;
    int Ppi = 96;
    int BroughtToFront = 0;
    // Close runs OnClose (the close query) and counts the closes it allowed.
    std::function<bool()> OnClose;
    int Closed = 0;
    int Terminated = 0;
    // What the user does while messages are processed; QuitArrived makes the quit message come.
    std::function<void()> OnProcessMessages;
    bool QuitArrived = false;
    int MessagePumps = 0;
    int ToolBarRefreshes = 0;
    int StatusBarRefreshes = 0;
    std::vector<TAboutBox> AboutBoxes;
    // What the user does in the options dialog.
    std::function<void(TfrmSetting&)> OnOptionsDialog;
    int OptionsDialogs = 0;
    // What the user does in the search dialogs; the answer is whether they end with OK. Without
    // one a dialog is cancelled.
    std::function<bool(TfrmSearch&)> OnSearchDialog;
    std::function<bool(TfrmReplace&)> OnReplaceDialog;
    std::function<bool(TfrmGoLine&)> OnGoLineDialog;
    std::function<bool(TfrmKeys&)> OnKeysDialog;
    std::function<bool(TfrmFolderSearch&)> OnFolderSearchDialog;
    bool ResultsShown = false;
    std::vector<std::string> Results;
    int SelectedIndex = -1;
    // "editor", "list" or empty: where the focus was put last.
    std::string Focus;
    int EditorRepaints = 0;
    TPoint EditorOrigin{300, 200};

private:
    template <class TDialog>
    static bool Answer(const std::function<bool(TDialog&)>& User, TDialog& Dialog) {
        return User && User(Dialog);
    }
};

class RecordingCommands : public EditorCommands {
public:
    bool HasSelection() const override { return Selected; }
    bool CanUndo() const override { return Undoable; }
    bool CanRedo() const override { return Redoable; }
    void Undo() override { Calls.push_back("Undo"); }
    void Redo() override { Calls.push_back("Redo"); }
    void Cut() override { Calls.push_back("Cut"); }
    void Copy() override { Calls.push_back("Copy"); }
    void Paste() override { Calls.push_back("Paste"); }
    void DeleteSelection() override { Calls.push_back("DeleteSelection"); }
    void SelectAll() override { Calls.push_back("SelectAll"); }

    bool Selected = false;
    bool Undoable = false;
    bool Redoable = false;
    std::vector<std::string> Calls;
};

} // namespace kst
