// The main window's logic: one file per process, the file commands and history, the settings
// and launcher, the window menu, the idle-time and menu enabling, and the close rules. The
// Windows layer shows the window, renders Menus and calls the handlers.
#pragma once

#include "app/env_files.h"
#include "app/file_names.h"
#include "app/file_watch.h"
#include "app/folder_search.h"
#include "app/main_menus.h"
#include "app/recovery_copy.h"
#include "app/results_feed.h"
#include "lists/row_text_io.h"
#include "lists/text_encoding.h"
#include "platform/desktop.h"
#include "platform/geometry.h"
#include "tools/editor_problems.h"
#include "tools/line_marks.h"
#include "tools/search_results.h"
#include "tools/word_matcher.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kst {

class ConsoleOutput;
class EditorCommands;
enum class TReplaceAnswer : std::uint8_t;
class MainWindowView;
class TEditor;

class TForm1 {
public:
    // Parameters are the command line's parameters after the program's own path: files, and
    // "/line:N" for the caret on line N of the first one. Builds the menus and gives Editor1 the
    // window's design values.
    TForm1(Desktop& Desk, MainWindowView& View, TEditor& Editor1, EditorCommands& Commands,
           std::vector<std::string> Parameters);
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // The window's title, which the application title always equals.
    const std::string& Title() const { return FTitle; }

    // Start and stop

    // Reads the settings and lists, sizes the window and opens the command line's first file
    // (or starts a new file and offers the recovery copies of new files); the other files go on
    // to one new process. A first file that cannot be read leaves a new-file window and raises
    // its error after the others are passed on.
    void FormCreate();
    // Stores the window's size (unless minimised or maximised) and writes the settings and lists.
    // The settings keep the size at 96 dots per inch, the window has it at its screen's.
    void FormDestroy();
    // Refuses while a script runs; asks about unsaved changes. Raises when saving fails, with
    // CanClose false.
    void FormCloseQuery(bool& CanClose);
    // The window has moved to a screen of other dots per inch: the editor's font keeps its size
    // in points.
    void DpiChanged();

    // The window became active: the file is looked at again for another program's changes when
    // the program is next idle, so never inside another question or dialog, nor while a script
    // runs.
    void FormActivate() { FLookAtFilePending = true; }

    // Opening files and the other windows

    // Brings the window showing FileName forward, hands the file to a new process when this
    // window has a file or changes, or loads it here. A file that cannot be read raises its
    // error and leaves this window as it was.
    void OpenFile(const std::string& FileName);
    void ListEditorWindows();
    bool IsOpenElsewhere(const std::string& FileName);
    std::string NextNewFileTitle();
    void mnuNewFileClick();
    // Files dropped on the window: each is opened in turn; the first error is raised after all.
    void WMDropFiles(const std::vector<std::string>& Paths);

    // Enabling

    // The idle handler: updates the tool bar's states, the state text and the status bar's file
    // parts, then does a step of the idle work (filling the results list, colouring rows ahead);
    // true while work remains, so that the message loop calls it again before it waits. Reads no
    // clipboard: whether it holds text is taken from the last ClipboardChanged. The caret's place
    // in the status bar is shown here too, after the caret has moved, at most ten times a second:
    // a status bar repaint costs a typed key as much again under Wine, and nobody reads it faster.
    bool AppIdle();
    // Milliseconds until the idle handler has timed work (the recovery copy after a pause in
    // typing, the caret's place held back); none when it has none. The message loop waits no
    // longer than this.
    std::optional<int> IdleWakeDelay();
    // Waits until the recovery copy being written is on the disk (before the process ends).
    void FlushRecoveryCopy() { FRecoveryWriter.Wait(); }
    // FormCreate calls this, and the window whenever the clipboard's content has changed.
    void ClipboardChanged();
    // A drop-down or the pop-up menu opens: its commands are enabled by their rules.
    void mnuFileClick() { EnableMenu(mnFile); }
    void mnuEditClick() { EnableMenu(mnEdit); }
    void mnuToolClick() { EnableMenu(mnTool); }
    void PopupMenu1Popup();

    // Commands (main_form_menus.cpp)

    // The one way a command runs, from the menus, the tool bar and the keys: a command that
    // changes the text is refused while the text is read-only.
    void Execute(TCommandId Id);
    // Runs the command bound to Key when it is enabled, and answers true; a key bound to a
    // disabled command is answered true too (it does nothing, and no control sees it). False for
    // a key no command has.
    bool ShortCut(TShortCut Key);
    const TKeyBindings& KeyBindings() const { return FKeyBindings; }
    // The menus show the new shortcuts.
    void SetKeyBindings(const TKeyBindings& Bindings);

    // The enabling rules of the commands.
    bool Anytime() const { return true; }
    bool IsModified() const;
    bool HasSelection() const;
    bool CanUndo() const;
    bool CanRedo() const;
    // Cut and Delete.
    bool CanCut() const;
    // From the clipboard's state as ClipboardChanged last saw it.
    bool CanPaste() const;
    bool ScriptRuns() const { return ScriptRunning; }
    bool NoScriptRuns() const { return !ScriptRunning; }
    // A script may be run: an unchanged script file, and none running.
    bool CanRunScript() const;

    // File commands and history

    void mnuOpenFileClick();
    void mnuSaveFileClick();
    void mnuSaveAsFileClick() { SaveAsFile(); }
    bool SaveAsFile();
    void mnuExitClick();
    void mnuOpenDirClick();
    void SetHistory();
    void ActionHist(std::string Path);

    // Edit commands, shared by the menu, the pop-up menu and the tool bar.

    void mnuUndoClick();
    void mnuRedoClick();
    void mnuCutClick();
    void mnuCopyClick();
    void mnuPasteClick();
    void mnuDeleteClick();
    void mnuAllSelectClick();

    // Script tools

    void mnuCanComClick();
    void mnuUNCanComClick();
    // Formats the selected lines, or the whole text without a selection; a failure is shown in
    // an error box.
    void mnuBuildStyle();
    // The faults in the script's block structure, and its procedure and class definitions, in
    // the results list (main_form_structure.cpp).
    void mnuSyntaxCheckClick();
    void mnuProcedureListClick();

    // Search, replace and go to line (main_form_search.cpp)

    void mnuFindClick();
    // One-touch search of the selected text, with match case off; without a selection, Search.
    void mnuFindNextClick();
    void mnuReplaceClick();
    void mnuGoLineClick();
    // Shows or hides the results list (the check mark of mnuSearchList).
    void mnuSearchListClick();
    void mnuWordWrapClick();
    void mnuGoSearchListClick();
    // The folder search (main_form_folder_search.cpp): its dialog starts a walk through the
    // folder on a thread of its own, whose hits go to the results list in idle steps while the
    // status bar shows the progress; 中止 and Esc stop it. A hit's entry opens its file at its
    // line: in the window that edits it, or in a new process.
    void mnuFolderSearchClick();
    void mnuStopFolderSearchClick();
    bool FolderSearchRuns() const { return FFolderSearch != nullptr; }
    // Another process of this program asks for the caret on document line Line.
    void ShowLineRequested(int Line);
    // A double click on the results list, and a key released in it: both jump to the line of the
    // selected entry (Enter only for the key).
    void ListBox1DblClick();
    void ListBox1KeyUp(std::uint16_t Key);
    // The editor's OnDrawLine: strings, double-byte characters and the search word's hits.
    void Editor1DrawLine(TEditor& Sender, const std::string& LineStr, int X, int Y, int Index,
                         const TRect& ARect, bool Selected);

    // Settings and launcher

    void mnuOptionClick();
    // The key-assignment dialog; when it ends with OK, the menus show its keys and they are
    // written to the keys file.
    void mnuKeysClick();
    void SetupLauncherMenu();
    void ActionLauncher(std::string Caption);

    // Window menu

    void mnuWindClick() { SetupWindMenu(); }
    void SetupWindMenu();
    void ActionFile(std::string Caption);
    void mnuAllQuitClick();

    // Script runner

    // Runs the edited script under the script host and keeps the window working, with the editor
    // read-only, until the script ends. Raises "Exec Error <code>" when the host cannot start.
    void mnuWSHRunClick();
    // Runs the edited script under the console script host as mnuWSHRunClick runs it, with its
    // output, line by line, in the results list and its exit code after it; an error line that
    // names the edited file jumps to its place.
    void mnuConsoleRunClick();
    // Asks, then terminates the running script (at a console, with every process it started).
    void mnuWSHStopClick();
    // Saves a script and runs it; refused for other files and while a script runs.
    void mnuWSHRun2Click();
    // Writes and starts the script that shows the script host's version, without waiting.
    void mnuWSHinfoClick();

    void mnuAboutClick();

    // Application state
    std::string CurrentFileName;
    TFileKind FileKind = fkOther;
    // How the file's text is stored, which saving keeps; a new file's is CP932. A lossy file's
    // text is read-only and never saved.
    TFileFormat FileFormat;
    bool ScriptRunning = false;
    // The running script host; 0 when none runs.
    TProcessHandle ScriptProcess = 0;
    std::vector<std::string> WindowTitles;
    // Search words, CP932, newest first.
    std::vector<std::string> FindHistory;
    TSettings Settings;
    TLauncherTable LauncherTable;
    // The search state: the word of the last search or replace (CP932), what replaced it, and
    // how; match case is Settings.SearchCase, and whether the word is a regular expression
    // Settings.SearchRegex.
    std::string SearchWord;
    std::string Replacement;
    bool Confirm = false;
    bool ReplaceAll = false;

    TMainMenus Menus;

private:
    void BuildMainMenu();
    // Adds the commands of one drop-down, in the table's order.
    void AddMenuCommands(TMenuItem& Menu, TMainMenuId Id);
    void BuildPopupMenu();
    void BuildToolBar();
    // The commands of this drop-down enabled by their rules.
    void EnableMenu(TMainMenuId Id);
    // The tool bar's buttons enabled by their commands' rules.
    void EnableButtons();
    bool CommandEnabled(TCommandId Id) const;
    // The one test of the read-only state this window makes: whether a command may change the
    // text.
    bool MayChangeText() const;
    // Undo may take back the reload that brought in the read-only lossy text shown.
    bool ReloadUndoable() const;
    void ApplyEditorDesignValues();
    void ApplyEditorSettings();
    TIndentStyle FormattingStyle() const;
    void ApplyEditorFontSize();

    void SetTitle(std::string Title);
    void SetStatusPart(TStatusBar::TPart Part, std::string_view Text);
    // The caret's line and column in the status bar.
    void ShowCaretPosition();
    // The file's encoding and whether its text is read-only, in the status bar.
    void ShowFileState();
    // The editor is read-only while a script runs and while it shows a lossy file's text.
    void ApplyReadOnly();
    // Tells why a lossy file's text is read-only.
    void WarnOfLossyText();
    void StartNewFile();
    void OpenFirstParameter();
    void PassOnFurtherParameters();
    void LoadHere(const std::string& FileName);
    // A new process of this program, with a file to open (at a line) or none.
    void StartProgram(const std::optional<std::string>& FileName,
                      std::optional<int> Line = std::nullopt);
    // The first top-level window with this title; 0 when none.
    TWindowHandle FindWindowByTitle(const std::string& WindowTitle);
    // The editor window that shows FileName; 0 when none.
    TWindowHandle WindowShowing(const std::string& FileName);
    // Opens Path through the shell; an error box says when it could not.
    void ShellOpenReporting(const std::string& Path);
    std::string DialogFolder();
    // Saves the text over its file; false when the user refused to overwrite another program's
    // change (main_form_file_watch.cpp).
    bool SaveToCurrentFile();
    // Asks before Save As writes over the existing file Path.
    bool MaySaveAsOver(const std::string& Path);
    // The file's stamp, none when the system does not tell in time.
    std::optional<TFileStamp> FileStampOf(const std::string& Path);
    // Tells of or asks about another program's change to the file.
    void LookAtFile();
    // Reads the file again as one change that Undo takes back, keeping the caret's line; the text
    // of a lossy file is replaced for good.
    void ReloadFile();
    // The option "文字コード" taken: at the start, and when it changes.
    void UseChosenCodePage();
    void UseCodePage(int Number);
    void SwitchTextCodePage();
    // Takes back the reload that brought in a lossy file's text, with the format of the text
    // before it.
    void UndoLossyReload();
    // The question to ask before a save over the file: another program changed it, or whether it
    // did cannot be told; none when it may be saved over.
    std::optional<std::string_view> OverwriteQuestion();
    // Asks Question (with No the default); true for Yes.
    bool MayOverwriteFile(std::string_view Question);

    // Recovery copies (main_form_recovery.cpp)

    std::string RecoveryFolder();
    std::string OwnRecoveryPath();
    void TextChanged();
    // The idle step: after a pause in typing, copies the next rows into the snapshot, which is
    // handed to the writer once complete; removes the copy once nothing is unsaved. True while
    // rows remain to be copied.
    bool KeepRecoveryCopy();
    std::optional<int> RecoveryWakeDelay();
    // Milliseconds until the caret's place, moved since it was shown, may be shown again (0 when
    // it may be now); none when it has not moved.
    std::optional<int> CaretPartDelay();
    // Shows the caret's place if it moved and was last shown long enough ago.
    void ShowMovedCaret();
    bool CopyRowsStep();
    void AbandonSnapshot();
    // Tells, once per process, that no recovery copy can be kept, and why.
    void WarnRecoveryUnavailable(const std::string& Reason);
    // Removes this window's copy: the text was saved, or its changes were given up.
    void DiscardRecoveryCopy();
    // Offers the copies left by processes that are gone, for this file (or for new files),
    // newest first, until one is taken.
    void OfferRecovery();
    // The copies of processes that are gone, for this window's file, newest first.
    std::vector<TRecoveryCopy> OrphanedCopies();
    void RestoreOwnCopy();
    std::string StateText() const;
    // Whether the text is marked and checked as a script: a new text or a script file.
    bool TextIsScript() const;
    // The idle step of the script's problems: reads on once typing has paused, then shows the
    // marks again and the caret line's problem in the status bar.
    bool ShowScriptProblems();
    // The word of a search or replace, its match case and the hits the editor marks; false,
    // having shown what is wrong and changed nothing, for a regular expression that does not
    // compile.
    bool SetSearchWord(std::string Word, bool MatchCase, bool Regex);
    // Starts the search that fills the results list: the first step of rows at once, the others
    // while the program is idle.
    void BuildResultsList();
    // The idle step of the search that fills the results list: hands the entries of the next rows
    // to the list, and after the last row the summary. True while rows remain; the search stops
    // once another list replaces its own.
    bool ContinueSearch();
    void SearchedTextChanged();
    // Completes the syntax check's list, unless another list has replaced it: the engine's
    // error first, and the summary.
    void EngineVerdictArrived(const TEngineVerdict& Verdict);
    // Shows Entries (their texts UTF-8) in the results list; the editor marks the search word's
    // hits while the list shows a search's.
    void ShowResults(std::vector<TResultEntry> Entries, bool SearchHits);
    // Empties the results list and stops the search filling it: the entries of another file would
    // jump to lines of the one now loaded.
    void ClearResultsList();
    // Entries made of document text (CP932) as the list shows them.
    void ConvertToUtf8(std::vector<TResultEntry>& Entries) const;
    void SetResultsListShown(bool Shown);
    void ReplaceSearchWord();
    TReplaceAnswer AskReplace();
    void JumpToSelectedResult();
    // Puts the caret on Line of File: here when this window edits it, in the window that edits
    // it, else in a new process.
    void ShowFileAtLine(const std::string& File, int Line);
    // The idle step of the folder search: takes what the walk has found into the results list,
    // the progress into the status bar, and at the end the summary. True while found hits wait.
    bool ContinueFolderSearch();
    // Stops the running folder search, whose walk ends on its own.
    void RetireFolderSearch();
    void ShowFolderSearchProgress(const TFolderSearchNews& News, bool Now);

    void BeginScriptRun();
    void ShowRunningState();
    void WaitForScriptEnd();
    // A step of the idle work and the tool bar's states; true while more work waits.
    bool IdleTurnDuringRun();
    bool WaitForConsoleEnd(ConsoleProcess& Process, ConsoleOutput& Output);
    void EndScriptRun();

    Desktop& FDesktop;
    MainWindowView& FView;
    TEditor& FEditor;
    EditorCommands& FCommands;
    TEnvFiles FEnv;
    TKeyBindings FKeyBindings;
    std::vector<std::string> FParameters;
    std::string FTitle = "Kestrane : ";
    TWordMatcher FSearchMatcher{"", false};
    TLineMarkStates FLineMarkStates;
    EditorProblems FProblems{FEditor};
    ResultsFeed FResults{FView};
    // Whether the results list shows a search's hits.
    bool FResultsAreHits = false;
    // The search filling the results list while the program is idle: its word (a replace may
    // change the search word meanwhile), the list it fills, the row it goes on from, the hit
    // lines found so far, and whether the text has changed since the last step.
    struct TRunningSearch {
        TWordMatcher Matcher;
        std::uint64_t List = 0;
        int Row = 0;
        std::size_t HitLines = 0;
        bool TextChanged = false;
    };
    std::optional<TRunningSearch> FSearch;
    // The folder search while it runs, and the list it fills; searches stopped for another list,
    // until their walks have ended, so that the window never waits for one.
    std::unique_ptr<TFolderSearch> FFolderSearch;
    std::vector<std::unique_ptr<TFolderSearch>> FStoppingSearches;
    std::uint64_t FFolderSearchList = 0;
    std::optional<std::uint64_t> FFolderProgressShownAt;
    // The line of "/line:N" for the first file.
    std::optional<int> FStartLine;
    // The syntax check whose list waits for the script engine's verdict: its own problems and
    // the list that shows them.
    struct TSyntaxCheck {
        std::vector<TPlacedProblem> Problems;
        // Listed after the problems, and counted with them.
        std::vector<TPlacedProblem> Warnings;
        std::uint64_t List = 0;
    };
    std::optional<TSyntaxCheck> FSyntaxCheck;
    // The running console script host; none while none runs.
    ConsoleProcess* FConsole = nullptr;
    // The save dialog keeps the name chosen last.
    std::string FSaveFileName;
    bool FClipboardHoldsText = false;
    // The caret has moved since the status bar last showed its place, at FCaretShownAt.
    bool FCaretMoved = false;
    std::optional<std::uint64_t> FCaretShownAt;
    TFileWatch FFileWatch;
    bool FLookAtFilePending = false;
    // The format of the text before the reload that brought in the lossy text shown, while Undo
    // may take that reload back: a read-only text cannot change meanwhile.
    std::optional<TFileFormat> FFormatBeforeReload;
    RecoveryWriter FRecoveryWriter;
    // This window's copy is on the disk (or being written), and it holds the text as it is.
    bool FCopyKept = false;
    bool FRecoveryWarned = false;
    bool FCopyCurrent = false;
    // When the copy of the text as it is falls due (TickCount).
    std::uint64_t FCopyDue = 0;
    // The copy being assembled (header and the text before FSnapshotAt); none while none is.
    std::string FSnapshot;
    std::optional<TRowTextPlace> FSnapshotAt;
};

} // namespace kst
