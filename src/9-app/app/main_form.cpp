#include "app/main_form.h"

#include "app/edit_commands.h"
#include "app/key_dialog.h"
#include "app/main_view.h"
#include "app/main_window_editor.h"
#include "app/message_boxes.h"
#include "app/option_dialogs.h"
#include "app/text_code_page.h"
#include "input/editor.h"
#include "platform/clipboard.h"
#include "platform/dpi.h"
#include "script/editor_config.h"
#include "tools/comment.h"
#include "tools/editor_format.h"
#include "tools/go_line.h"

#include <algorithm>
#include <exception>

namespace kst {

namespace {

// The status bar shows the caret's place at most this often (milliseconds) while it moves.
constexpr std::uint64_t kCaretPartInterval = 100;

// Where colouring depends on the lines above, rows are coloured ahead while the program is idle,
// about this many (some 10 ms) at a time, so that messages wait no longer than that.
constexpr int kRowsColouredPerIdleStep = 30'000;

constexpr std::string_view kProgramFileName = "Kestrane.exe";
constexpr std::string_view kFormClassName = "TForm1";
constexpr int kNewFileNumbers = 11;
// The first new-file number that is refused: nine new files at most.
constexpr int kTooManyNewFiles = 10;

constexpr std::string_view kOpenFilter =
    "KST対応ファイル(*.vbs;*.txt)|*.vbs;*.txt|VBScriptファイル(*.vbs)|*.vbs|"
    "テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*";
constexpr std::string_view kSaveFilter =
    "VBScriptファイル(*.vbs)|*.vbs|テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*";

std::string NewFileTitle(int Number) {
    return std::string(kNewFileTitlePrefix) + std::to_string(Number) + "]" +
           std::string(kTitleSuffix);
}

bool IsEditorTitle(const std::string& Title) {
    return Title.find(kTitleSuffix) != std::string::npos;
}

bool IsListedEditorWindow(const TTopLevelWindow& Window) {
    return Window.Visible && !Window.Owned && IsEditorTitle(Window.Title);
}

// The file a window's title names: the title without the suffix that ends it; none otherwise.
std::optional<std::string> FileNameInTitle(const std::string& Title) {
    if (!Title.ends_with(kTitleSuffix)) {
        return std::nullopt;
    }
    return Title.substr(0, Title.size() - kTitleSuffix.size());
}

constexpr std::string_view kLineOption = "/line:";

// Removes every "/line:N" (any letter case) from Parameters and answers the last one's N; a
// number that does not read as one from 1 up is no line.
std::optional<int> TakeLineOption(std::vector<std::string>& Parameters) {
    std::optional<int> line;
    std::erase_if(Parameters, [&line](const std::string& Parameter) {
        if (AsciiLowerCase(Parameter.substr(0, kLineOption.size())) != kLineOption) {
            return false;
        }
        const std::optional<int> number = ParseDecimal(Parameter.substr(kLineOption.size()));
        line = number && *number >= 1 ? number : std::nullopt;
        return true;
    });
    return line;
}

// Title without its last Count characters (UTF-8), never splitting one.
std::string WithoutLastCharacters(const std::string& Title, std::size_t Count) {
    std::size_t end = Title.size();
    while (Count > 0 && end > 0) {
        --end;
        if ((static_cast<unsigned char>(Title[end]) & 0xC0) != 0x80) {
            --Count;
        }
    }
    return Title.substr(0, end);
}

std::string CaretPositionText(int Line, int Column) {
    return std::to_string(Line) + " 行, " + std::to_string(Column) + " 桁";
}

// The pixel height (negative: without internal leading) of a font of Points points.
int FontHeightOf(int Points, int Dpi) {
    return -ScalePixels(Points, kPointsPerInch, Dpi);
}

// The settings keep the window's size at 96 dots per inch, so that they hold on any screen.
TSize ScaleSize(TSize Size, int FromDpi, int ToDpi) {
    return {ScalePixels(Size.Width, FromDpi, ToDpi), ScalePixels(Size.Height, FromDpi, ToDpi)};
}

} // namespace

TForm1::TForm1(Desktop& Desk, MainWindowView& View, TEditor& Editor1, EditorCommands& Commands,
               std::vector<std::string> Parameters)
    : FDesktop(Desk), FView(View), FEditor(Editor1), FCommands(Commands), FEnv(Desk),
      FParameters(std::move(Parameters)), FStartLine(TakeLineOption(FParameters)) {
    BuildMainMenu();
    BuildPopupMenu();
    BuildToolBar();
    ApplyEditorDesignValues();
    ShowCaretPosition();
}

void TForm1::ApplyEditorDesignValues() {
    FEditor.BeginLoading();
    ApplyMainWindowEditorValues(FEditor);
    FEditor.SetPopupMenu(&Menus.PopupMenu1);
    FEditor.OnDrawLine = [this](TEditor& Sender, const std::string& LineStr, int X, int Y,
                                int Index, const TRect& ARect, bool Selected) {
        Editor1DrawLine(Sender, LineStr, X, Y, Index, ARect, Selected);
    };
    FEditor.OnCaretMoved = [this](TEditor&) { FCaretMoved = true; };
    FEditor.OnChange = [this](TEditor&) {
        TextChanged();
        SearchedTextChanged();
        FProblems.Edited(FDesktop.TickCount());
    };
    FEditor.ProblemMarkOf = [this](int Row) {
        return FProblems.LineStartHasProblem(Row) ? TProblemMark::Problem : TProblemMark::None;
    };
    FEditor.Loaded();
}

void TForm1::ApplyEditorSettings() {
    ApplyEditorFontSize();
    FEditor.GetCaret().SetTabSpaceCount(Settings.gTabSize);
    FEditor.SetWordWrap(Settings.gWordWrap);
    Menus.MenuItem(cmWordWrap)->Checked = Settings.gWordWrap;
}

void TForm1::mnuWordWrapClick() {
    Settings.gWordWrap = !Settings.gWordWrap;
    ApplyEditorSettings();
}

void TForm1::ApplyEditorFontSize() {
    TEditorFont font = FEditor.GetFont();
    font.Height = FontHeightOf(Settings.gFontSize, FView.PixelsPerInch());
    FEditor.SetFont(font);
}

void TForm1::DpiChanged() {
    ApplyEditorFontSize();
}

void TForm1::SetTitle(std::string Title) {
    FTitle = std::move(Title);
    FView.SetTitle(FTitle);
}

// The parts are set on every caret move and every idle time: the window is told only of a change.
void TForm1::SetStatusPart(TStatusBar::TPart Part, std::string_view Text) {
    std::string& shown = Menus.StatusBar1.Parts[Part];
    if (shown != Text) {
        shown = Text;
        FView.RefreshStatusBar();
    }
}

// The line is the document line, as the left bar numbers it; the column is the display column
// of the row as drawn.
void TForm1::ShowCaretPosition() {
    SetStatusPart(
        TStatusBar::spCaret,
        CaretPositionText(FEditor.LineCountBefore(FEditor.GetRow()) + 1, FEditor.GetCol() + 1));
}

void TForm1::ShowFileState() {
    SetStatusPart(TStatusBar::spEncoding, EncodingName(FileFormat.Encoding));
    SetStatusPart(TStatusBar::spReadOnly, FEditor.GetReadOnly() ? "読み取り専用" : "");
}

void TForm1::WarnOfLossyText() {
    if (FileFormat.Lossy) {
        ShowWarning(FDesktop,
                    FileFormat.Unmarked ? std::string(kUnmarkedUtf16FileText) : LossyFileText());
    }
}

void TForm1::ApplyReadOnly() {
    FEditor.SetReadOnly(ScriptRunning || FileFormat.Lossy);
    ShowFileState();
}

// Start and stop

void TForm1::FormCreate() {
    ClipboardChanged();
    FEnv.CreateFolder();
    Settings = FEnv.LoadSettings();
    UseChosenCodePage();
    LauncherTable = FEnv.LoadLauncherFile();
    FindHistory = FEnv.LoadFindHistory();
    SetKeyBindings(FEnv.LoadKeyBindings());
    ApplyEditorSettings();
    FView.SetWindowSize(
        ScaleSize({Settings.gWidth, Settings.gHeight}, kDesignDpi, FView.PixelsPerInch()));
    SetupLauncherMenu();
    SetHistory();
    ScriptRunning = false;
    if (FParameters.empty()) {
        StartNewFile();
        OfferRecovery();
        return;
    }
    std::exception_ptr failure;
    try {
        OpenFirstParameter();
    } catch (...) {
        failure = std::current_exception();
        StartNewFile();
    }
    PassOnFurtherParameters();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void TForm1::UseChosenCodePage() {
    UseCodePage(TextCodePageNumber(Settings.gCodePage, FDesktop.AnsiCodePage()));
}

void TForm1::UseCodePage(int Number) {
    UseCodePageNumber(FDesktop, Number);
    FEditor.TextCodePageChanged();
}

// The bytes of a text read as another code page's are other characters: a file is read again in
// the new one, after a Yes; an unchanged new text takes it at once. Any other text keeps
// its code page, and the next window takes the new one.
void TForm1::SwitchTextCodePage() {
    const bool edited = FEditor.GetModified();
    if (CurrentFileName.empty() || ScriptRunning) {
        if (CurrentFileName.empty() && !edited) {
            UseChosenCodePage();
        } else {
            ShowMessageBox(FDesktop, kCodePageNextWindowText, TMessageType::Information,
                           TMessageButtons::Ok);
        }
        return;
    }
    if (ShowMessageBox(FDesktop, edited ? kCodePageReloadUnderEditsText : kCodePageReloadText,
                       TMessageType::Confirmation,
                       edited ? TMessageButtons::YesNoNoDefault : TMessageButtons::YesNo) !=
        TMessageAnswer::Yes) {
        return;
    }
    const int before = TextCodePage().Number();
    UseChosenCodePage();
    try {
        ReloadFile();
    } catch (...) {
        UseCodePage(before);
        throw;
    }
    // Undo would bring back bytes of the old code page.
    FEditor.ScreenStrings().GetUndoObj().Clear();
    FFormatBeforeReload.reset();
}

void TForm1::StartNewFile() {
    CurrentFileName.clear();
    FileKind = fkOther;
    FileFormat = {};
    FFileWatch.Forget();
    SetTitle(NextNewFileTitle());
}

// A file shown elsewhere is brought forward there (at the line asked for) and this process ends.
void TForm1::OpenFirstParameter() {
    const std::string& first = FParameters.front();
    const TWindowHandle elsewhere = WindowShowing(first);
    OpenFile(first);
    if (elsewhere != 0) {
        if (FStartLine) {
            FDesktop.AskToShowLine(elsewhere, *FStartLine);
        }
        FView.Terminate();
    } else if (FStartLine) {
        GoToLine(FEditor, *FStartLine);
    }
}

// The second and later files go to one new process, which passes on all but its first in turn.
void TForm1::PassOnFurtherParameters() {
    if (FParameters.size() < 2) {
        return;
    }
    std::string commandLine = Quoted(FDesktop.ProgramPath()) + " ";
    for (auto parameter = FParameters.begin() + 1; parameter != FParameters.end(); ++parameter) {
        commandLine += Quoted(*parameter) + " ";
    }
    FDesktop.StartProcess(commandLine, TShowState::Show);
}

void TForm1::FormDestroy() {
    FlushRecoveryCopy();
    if (FView.WindowState() == TWindowState::Normal) {
        const TSize size = ScaleSize(FView.WindowSize(), FView.PixelsPerInch(), kDesignDpi);
        Settings.gWidth = size.Width;
        Settings.gHeight = size.Height;
    }
    FEnv.SaveSettings(Settings);
    FEnv.SaveLauncherFile(LauncherTable);
    FEnv.SaveFindHistory(FindHistory);
}

// A running script refuses the close at once: the question about changes would otherwise let
// the window close under the running script.
void TForm1::FormCloseQuery(bool& CanClose) {
    if (ScriptRunning) {
        FDesktop.Beep();
        ShowWarning(FDesktop, kScriptRunningText);
        CanClose = false;
        return;
    }
    if (!FEditor.GetModified()) {
        return;
    }
    FDesktop.Beep();
    switch (ShowMessageBox(FDesktop, kSaveChangesText, TMessageType::Confirmation,
                           TMessageButtons::YesNoCancel)) {
    case TMessageAnswer::Yes:
        if (CurrentFileName.empty()) {
            CanClose = SaveAsFile();
        } else {
            const bool answer = CanClose;
            CanClose = false;
            if (SaveToCurrentFile()) {
                CanClose = answer;
            }
        }
        break;
    case TMessageAnswer::No:
        CanClose = true;
        DiscardRecoveryCopy();
        break;
    case TMessageAnswer::Ok:
    case TMessageAnswer::Cancel:
        CanClose = false;
        break;
    }
}

// Opening files and the other windows

// The file goes on by its full name: a relative one would name another file once the current
// folder changes, or in another process (its recovery copies, its history).
void TForm1::OpenFile(const std::string& FileName) {
    const std::string fullName = FDesktop.FullFileName(FileName);
    if (const TWindowHandle window = WindowShowing(fullName)) {
        FDesktop.BringToFront(window);
        return;
    }
    if (!CurrentFileName.empty() || FEditor.GetModified()) {
        StartProgram(fullName);
    } else {
        LoadHere(fullName);
    }
    FEnv.AddToFileHistory(CurrentFileName, fullName);
    SetHistory();
}

// The text is read first, so that a file that cannot be read changes nothing but the (unmodified)
// text, and this window never takes a name whose content it does not hold. The file's stamp is
// taken before it is read, so that a change while it is read is seen later.
void TForm1::LoadHere(const std::string& FileName) {
    const std::optional<TFileStamp> stamp = FileStampOf(FileName);
    FileFormat = FEditor.GetLines().LoadFromFile(FileName);
    FFormatBeforeReload.reset();
    ClearResultsList();
    FEditor.SetModified(false);
    FFileWatch.Remember(stamp);
    CurrentFileName = FileName;
    FileKind = FileKindOf(FileName);
    ApplyOpenedFileColouring(FEditor.GetView().GetFountain(), FileName, FEditor.GetFont().Color);
    SetTitle(FileName + std::string(kTitleSuffix));
    ApplyReadOnly();
    WarnOfLossyText();
    OfferRecovery();
}

void TForm1::StartProgram(const std::optional<std::string>& FileName, std::optional<int> Line) {
    std::string commandLine = Quoted(ProgramFolder(FDesktop) + std::string(kProgramFileName));
    if (FileName) {
        commandLine.append(1, ' ').append(Quoted(*FileName));
    }
    if (Line) {
        commandLine.append(" /line:").append(std::to_string(*Line));
    }
    FDesktop.StartProcess(commandLine, TShowState::Show);
}

void TForm1::ListEditorWindows() {
    WindowTitles.clear();
    for (TTopLevelWindow& window : FDesktop.TopLevelWindows()) {
        if (IsListedEditorWindow(window)) {
            WindowTitles.push_back(std::move(window.Title));
        }
    }
}

bool TForm1::IsOpenElsewhere(const std::string& FileName) {
    return WindowShowing(FileName) != 0;
}

// Titles keep the path as it was opened; the system decides whether two spellings (letter case,
// relative or short names) name one file.
TWindowHandle TForm1::WindowShowing(const std::string& FileName) {
    for (const TTopLevelWindow& window : FDesktop.TopLevelWindows()) {
        const std::optional<std::string> shown = FileNameInTitle(window.Title);
        if (IsListedEditorWindow(window) && shown && FDesktop.SameFileName(*shown, FileName)) {
            return window.Handle;
        }
    }
    return 0;
}

std::string TForm1::NextNewFileTitle() {
    ListEditorWindows();
    for (int number = 1; number <= kNewFileNumbers; ++number) {
        const std::string candidate = NewFileTitle(number);
        const bool used = std::ranges::any_of(WindowTitles, [&candidate](const std::string& Title) {
            return Title.find(candidate) != std::string::npos;
        });
        if (!used) {
            return candidate;
        }
    }
    return NewFileTitle(kNewFileNumbers);
}

// Ten or more new files would repeat the last number's title, so the tenth is refused.
void TForm1::mnuNewFileClick() {
    const std::string title = NextNewFileTitle();
    if (title == NewFileTitle(kTooManyNewFiles) || title == NewFileTitle(kNewFileNumbers)) {
        ShowWarning(FDesktop, kTooManyNewFilesText);
        return;
    }
    StartProgram(std::nullopt);
}

void TForm1::WMDropFiles(const std::vector<std::string>& Paths) {
    for (const TTopLevelWindow& window : FDesktop.TopLevelWindows()) {
        if (window.ClassName == kFormClassName) {
            FDesktop.BringToFront(window.Handle);
            break;
        }
    }
    std::exception_ptr failure;
    for (const std::string& path : Paths) {
        try {
            OpenFile(path);
        } catch (...) {
            if (!failure) {
                failure = std::current_exception();
            }
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

TWindowHandle TForm1::FindWindowByTitle(const std::string& WindowTitle) {
    for (const TTopLevelWindow& window : FDesktop.TopLevelWindows()) {
        if (window.Title == WindowTitle) {
            return window.Handle;
        }
    }
    return 0;
}

// Enabling

std::string TForm1::StateText() const {
    if (ScriptRunning) {
        return "スクリプト実行中";
    }
    if (FEditor.GetModified()) {
        return "変更あり";
    }
    if (CurrentFileName.empty()) {
        return "新規ファイル";
    }
    switch (FileKind) {
    case fkVbs:
        return "VBSファイル";
    case fkText:
        return "テキストファイル";
    case fkOther:
        break;
    }
    return "その他のファイル";
}

namespace {

bool ClipboardHoldsText(const TEditor& Editor) {
    return Editor.GetClipboard() != nullptr && Editor.GetClipboard()->HasText();
}

} // namespace

bool TForm1::AppIdle() {
    EnableButtons();
    Menus.ToolBar1.StatusText = StateText();
    ShowFileState();
    ShowMovedCaret();
    if (FLookAtFilePending && !ScriptRunning) {
        FLookAtFilePending = false;
        LookAtFile();
    }
    const bool moreCopy = KeepRecoveryCopy();
    const bool moreSearch = ContinueSearch();
    const bool moreFolderHits = ContinueFolderSearch();
    const bool moreResults = FResults.Step();
    const bool moreStates =
        FEditor.ScreenStrings().ComputeStartStatesAhead(kRowsColouredPerIdleStep);
    const bool moreProblems = ShowScriptProblems();
    return moreCopy || moreSearch || moreFolderHits || moreResults || moreStates || moreProblems;
}

bool TForm1::TextIsScript() const {
    return CurrentFileName.empty() || FileKind == fkVbs;
}

bool TForm1::ShowScriptProblems() {
    const std::uint64_t now = FDesktop.TickCount();
    FProblems.SetEnabled(TextIsScript());
    if (FProblems.Step(now)) {
        FView.RepaintEditor();
    }
    SetStatusPart(TStatusBar::spProblem, FProblems.CaretProblemText());
    return FProblems.StepDue(now);
}

std::optional<int> TForm1::CaretPartDelay() {
    if (!FCaretMoved) {
        return std::nullopt;
    }
    if (!FCaretShownAt) {
        return 0;
    }
    const std::uint64_t due = *FCaretShownAt + kCaretPartInterval;
    const std::uint64_t now = FDesktop.TickCount();
    return now < due ? static_cast<int>(due - now) : 0;
}

void TForm1::ShowMovedCaret() {
    if (CaretPartDelay() != 0) {
        return;
    }
    FCaretMoved = false;
    FCaretShownAt = FDesktop.TickCount();
    ShowCaretPosition();
}

std::optional<int> TForm1::IdleWakeDelay() {
    std::optional<int> soonest;
    for (const std::optional<int> delay :
         {CaretPartDelay(), RecoveryWakeDelay(), FProblems.WakeDelay(FDesktop.TickCount())}) {
        if (delay && (!soonest || *delay < *soonest)) {
            soonest = delay;
        }
    }
    return soonest;
}

void TForm1::ClipboardChanged() {
    FClipboardHoldsText = ClipboardHoldsText(FEditor);
}

bool TForm1::IsModified() const {
    return FEditor.GetModified();
}

bool TForm1::CanRunScript() const {
    return FileKind == fkVbs && !ScriptRunning && !FEditor.GetModified();
}

bool TForm1::MayChangeText() const {
    return FEditor.AcceptsUserEdits();
}

bool TForm1::HasSelection() const {
    return FCommands.HasSelection();
}

bool TForm1::CanUndo() const {
    return FCommands.CanUndo() && (MayChangeText() || ReloadUndoable());
}

bool TForm1::ReloadUndoable() const {
    return FFormatBeforeReload && !ScriptRunning;
}

bool TForm1::CanRedo() const {
    return FCommands.CanRedo() && MayChangeText();
}

bool TForm1::CanCut() const {
    return FCommands.HasSelection() && MayChangeText();
}

bool TForm1::CanPaste() const {
    return FClipboardHoldsText && MayChangeText();
}

// File commands and history

std::string TForm1::DialogFolder() {
    return Settings.gBaseDir.empty() ? ProgramFolder(FDesktop) : Settings.gBaseDir;
}

void TForm1::mnuOpenFileClick() {
    TFileDialogOptions options;
    options.Filter = kOpenFilter;
    options.InitialDir = DialogFolder();
    if (const std::optional<std::string> chosen = FDesktop.OpenFileDialog(options)) {
        OpenFile(*chosen);
    }
}

void TForm1::mnuSaveFileClick() {
    if (CurrentFileName.empty()) {
        SaveAsFile();
    } else {
        SaveToCurrentFile();
    }
}

// The file keeps its encoding under the new name. A lossy text is refused before the dialog.
bool TForm1::SaveAsFile() {
    CheckWritable(FileFormat);
    TFileDialogOptions options;
    options.Filter = kSaveFilter;
    options.InitialDir = DialogFolder();
    options.FileName = FSaveFileName;
    options.DefaultExt = "vbs";
    const std::optional<std::string> chosen = FDesktop.SaveFileDialog(options);
    if (!chosen) {
        return false;
    }
    const std::string path = FDesktop.FullFileName(*chosen);
    FSaveFileName = path;
    if (FDesktop.FileExists(path) && !MaySaveAsOver(path)) {
        return false;
    }
    FEditor.GetLines().SaveToFile(path, FileFormat);
    FEditor.SetModified(false);
    FFileWatch.Remember(FileStampOf(path));
    DiscardRecoveryCopy();
    CurrentFileName = path;
    FileKind = FileKindOf(path);
    ApplySavedAsFileColouring(FEditor.GetView().GetFountain(), path, FEditor.GetFont().Color);
    SetTitle(path + std::string(kTitleSuffix));
    FEnv.AddToFileHistory(CurrentFileName, path);
    SetHistory();
    return true;
}

// The open file itself is asked about as a save over it is, when another program has changed it.
bool TForm1::MaySaveAsOver(const std::string& Path) {
    if (!CurrentFileName.empty() && FDesktop.SameFileName(Path, CurrentFileName)) {
        if (const auto question = OverwriteQuestion()) {
            return MayOverwriteFile(*question);
        }
    }
    return ShowMessageBox(FDesktop, Path + std::string(kOverwriteText), TMessageType::Confirmation,
                          TMessageButtons::YesCancel) == TMessageAnswer::Yes;
}

void TForm1::mnuExitClick() {
    FView.Close();
}

void TForm1::ShellOpenReporting(const std::string& Path) {
    if (!FDesktop.ShellOpen(Path)) {
        ShowMessageBox(FDesktop, "\r\n" + Path + std::string(kShellOpenFailedText),
                       TMessageType::Error, TMessageButtons::Ok);
    }
}

void TForm1::mnuOpenDirClick() {
    const std::string folder = ExtractFileDir(CurrentFileName);
    if (FDesktop.DirectoryExists(folder)) {
        ShellOpenReporting(folder);
    } else {
        ShowWarning(FDesktop, kFolderMissingText);
    }
}

// The history items follow mnuFileEndSP, newest first.
void TForm1::SetHistory() {
    TMenuItem& menu = *Menus.mnuFile;
    try {
        const std::optional<std::vector<std::string>> history = FEnv.ReadFileHistory();
        if (!history) {
            return;
        }
        DeleteItemsAfter(menu, *Menus.mnuFileEndSP);
        for (auto path = history->rbegin(); path != history->rend(); ++path) {
            menu.Add(*path, {}, [this, fileName = *path] { ActionHist(fileName); });
        }
    } catch (const std::exception& error) {
        DeleteItemsAfter(menu, *Menus.mnuFileEndSP);
        ShowErrorWithMessage(FDesktop, kHistoryReadError, error.what());
    }
}

// Path is a copy: opening rebuilds the history menu, which frees the clicked item.
void TForm1::ActionHist(std::string Path) {
    if (FDesktop.FileExists(Path)) {
        OpenFile(Path);
    } else {
        ShowWarning(FDesktop, kHistoryFileMissingText);
    }
}

// Edit commands

void TForm1::mnuUndoClick() {
    if (ReloadUndoable()) {
        UndoLossyReload();
        return;
    }
    FCommands.Undo();
}

void TForm1::mnuRedoClick() {
    FCommands.Redo();
}

void TForm1::mnuCutClick() {
    FCommands.Cut();
}

void TForm1::mnuCopyClick() {
    FCommands.Copy();
}

void TForm1::mnuPasteClick() {
    FCommands.Paste();
}

void TForm1::mnuDeleteClick() {
    FCommands.DeleteSelection();
}

void TForm1::mnuAllSelectClick() {
    FCommands.SelectAll();
}

// Script tools

void TForm1::mnuCanComClick() {
    CommentLines(FEditor);
}

void TForm1::mnuUNCanComClick() {
    UncommentLines(FEditor);
}

// The unit of a project's .editorconfig first, then the user's choice, then the script's own.
TIndentStyle TForm1::FormattingStyle() const {
    const TEditorConfigIndent config =
        CurrentFileName.empty() ? TEditorConfigIndent{} : EditorConfigIndentFor(CurrentFileName);
    return IndentStyleOf(config, Settings.gIndent, Settings.gTabSize);
}

void TForm1::mnuBuildStyle() {
    try {
        FormatEditorText(FEditor, FormattingStyle());
    } catch (const std::exception& error) {
        ShowErrorWithMessage(FDesktop, kFormatError, error.what());
    }
}

// Settings and launcher

// However the dialog closed, the editor takes the settings and both files are written.
void TForm1::mnuOptionClick() {
    TfrmSetting dialog(FDesktop, Settings, LauncherTable);
    FView.ShowOptionsDialog(dialog);
    if (TextCodePageNumber(Settings.gCodePage, FDesktop.AnsiCodePage()) !=
        TextCodePage().Number()) {
        SwitchTextCodePage();
    }
    ApplyEditorSettings();
    FEnv.SaveSettings(Settings);
    FEnv.SaveLauncherFile(LauncherTable);
    SetupLauncherMenu();
}

void TForm1::mnuKeysClick() {
    TfrmKeys dialog(FDesktop, FKeyBindings);
    if (FView.ShowKeysDialog(dialog)) {
        SetKeyBindings(dialog.Bindings());
        FEnv.SaveKeyBindings(FKeyBindings);
    }
}

void TForm1::SetupLauncherMenu() {
    TMenuItem& menu = *Menus.mnuLauncher;
    menu.Clear();
    if (LauncherTable.empty()) {
        menu.Add("<<登録されていません>>");
        return;
    }
    for (const TLauncherEntry& entry : LauncherTable) {
        TMenuItem& item = menu.Add(entry.Name);
        if (!item.IsSeparator()) {
            item.OnClick = [this, caption = entry.Name] { ActionLauncher(caption); };
        }
    }
}

void TForm1::ActionLauncher(std::string Caption) {
    const auto entry = std::ranges::find(LauncherTable, Caption, &TLauncherEntry::Name);
    if (entry == LauncherTable.end()) {
        return;
    }
    if (FDesktop.FileExists(entry->Path)) {
        ShellOpenReporting(entry->Path);
    } else {
        ShowWarning(FDesktop, "\r\n" + entry->Path + std::string(kLauncherMissingText));
    }
}

// Window menu

void TForm1::SetupWindMenu() {
    TMenuItem& menu = *Menus.mnuWind;
    DeleteItemsAfter(menu, *Menus.mnuWindEndSp);
    ListEditorWindows();
    std::ranges::stable_sort(WindowTitles, LessIgnoringCase);
    for (const std::string& title : WindowTitles) {
        const std::string caption = WithoutLastCharacters(title, kTitleSuffix.size());
        TMenuItem& item = menu.Add(caption, {}, [this, caption] { ActionFile(caption); });
        item.Checked = title == FTitle;
    }
}

void TForm1::ActionFile(std::string Caption) {
    OpenFile(Caption);
}

// Every other editor window runs its own close query before the next one is asked; this one
// closes last.
void TForm1::mnuAllQuitClick() {
    ListEditorWindows();
    const std::vector<std::string> titles = WindowTitles;
    for (const std::string& title : titles) {
        if (title == FTitle) {
            continue;
        }
        if (const TWindowHandle window = FindWindowByTitle(title)) {
            FDesktop.BringToFront(window);
            FDesktop.SendClose(window);
        }
    }
    FView.BringToFront();
    FView.Close();
}

void TForm1::mnuAboutClick() {
    FView.ShowAboutBox(
        {"Kestrane バージョン情報", "Kestrane", "Version " + FDesktop.ProgramVersion()});
}

} // namespace kst
