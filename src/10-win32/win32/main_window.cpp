#include "win32/main_window.h"

#include "input/editor.h"
#include "platform/dpi.h"
#include "win32/dialogs_win32.h"
#include "win32/editor_window.h"
#include "win32/resources/resource_ids.h"
#include "win32/results_list.h"
#include "win32/utf.h"
#include "win32/window_host.h"

#include <algorithm>
#include <commctrl.h>
#include <functional>
#include <shellapi.h>
#include <stdexcept>
#include <utility>
#include <windowsx.h>

namespace kst::win32 {

namespace {

constexpr int kEditorId = 1;
constexpr int kSplitterId = 2;
constexpr int kListBoxId = 3;
constexpr int kStatusBarId = 4;

// A dropped path is read up to 260 characters.
constexpr UINT kDroppedPathCapacity = MAX_PATH + 1;

// Runs Action; an exception is shown in the application's exception box and the program goes on.
void ShowingErrors(HWND Window, const std::function<void()>& Action) {
    try {
        Action();
    } catch (const std::exception& error) {
        ShowException(Window, error);
    }
}

// The window's font for its controls: "ＭＳ Ｐゴシック", Shift-JIS.
HFONT CreateWindowFont(int Height) {
    return CreateFontW(Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"ＭＳ Ｐゴシック");
}

// The program icon at the size the system shows for Kind (SM_CXICON, SM_CXSMICON) on a screen of
// Dpi dots per inch; shared, so never destroyed.
HICON ProgramIcon(int Kind, int Dpi) {
    const int size = GetSystemMetricsForDpi(Kind, static_cast<UINT>(Dpi));
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KESTRANE),
                                         IMAGE_ICON, size, size, LR_SHARED));
}

HWND CreateChild(HWND Parent, DWORD ExStyle, const wchar_t* ClassName, DWORD Style, int Id) {
    return CreateWindowExW(ExStyle, ClassName, L"", WS_CHILD | Style, 0, 0, 0, 0, Parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)),
                           GetModuleHandleW(nullptr), nullptr);
}

bool IsShown(HWND Window) {
    return (GetWindowLongW(Window, GWL_STYLE) & WS_VISIBLE) != 0;
}

int HeightOf(HWND Window) {
    RECT area{};
    GetWindowRect(Window, &area);
    return area.bottom - area.top;
}

bool IsModifierKey(WPARAM Key) {
    return Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU;
}

std::vector<std::string> DroppedPaths(HDROP Drop) {
    const UINT count = DragQueryFileW(Drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> paths;
    for (UINT index = 0; index < count; ++index) {
        wchar_t path[kDroppedPathCapacity] = {};
        DragQueryFileW(Drop, index, path, kDroppedPathCapacity);
        paths.push_back(WideToUtf8(path));
    }
    return paths;
}

} // namespace

void RegisterMainWindowClass() {
    WNDCLASSEXW windowClass{};
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, kMainWindowClassName, &windowClass) != FALSE) {
        return;
    }
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = MainWindow::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ProgramIcon(SM_CXICON, static_cast<int>(GetDpiForSystem()));
    windowClass.hIconSm = ProgramIcon(SM_CXSMICON, static_cast<int>(GetDpiForSystem()));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClassName;
    RegisterClassExW(&windowClass);
}

// The window appears at its design place scaled for the main screen; once it exists, it is laid
// out for the screen it is on.
MainWindow::MainWindow(Win32Desktop& Desk, std::vector<std::string> Parameters)
    : FDesktop(Desk), FMetrics(MainWindowMetrics(static_cast<int>(GetDpiForSystem()))) {
    CreateWindowExW(0, kMainWindowClassName, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    FMetrics.Position.X, FMetrics.Position.Y, FMetrics.Size.Width,
                    FMetrics.Size.Height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (FWindow == nullptr) {
        throw std::runtime_error("The main window could not be created.");
    }
    ScaleTo(static_cast<int>(GetDpiForWindow(FWindow)));
    FListHeight = FMetrics.ListHeight;
    FDesktop.SetOwner(FWindow);
    CreateControls();
    TEditor& editor = *EditorOfWindow(FEditorWindow);
    FCommands = CreateEditorCommands(editor);
    FForm = std::make_unique<TForm1>(FDesktop, *this, editor, *FCommands, std::move(Parameters));
    SetTitle(FForm->Title());
    CreateToolBar();
    FMenuBar = std::make_unique<MainMenuBar>(FWindow, FForm->Menus, FImages);
    RefreshStatusBar();
    DragAcceptFiles(FWindow, TRUE);
    Layout();
}

MainWindow::~MainWindow() {
    if (FWindow != nullptr) {
        DestroyWindow(FWindow);
    }
    ImageList_Destroy(FImages);
    DeleteObject(FFont);
}

// The sizes, the font and the pictures for Dpi; those made before are the caller's to free.
void MainWindow::ScaleTo(int Dpi) {
    FDpi = Dpi;
    FMetrics = MainWindowMetrics(Dpi);
    FFont = CreateWindowFont(FMetrics.FontHeight);
    FImages = LoadToolBarImages(FMetrics.ImageSize);
}

void MainWindow::CreateToolBar() {
    FToolBar = std::make_unique<MainToolBar>(FWindow, FForm->Menus.ToolBar1, FImages, FFont,
                                             FMetrics.StatusBoxWidth);
}

// The window has moved to a screen of other dots per inch (or its scale was changed): the
// controls take the font, pictures and sizes for it, the editor's font keeps its size in points,
// and the window takes the place the system suggests.
void MainWindow::DpiChanged(int Dpi, const RECT& Suggested) {
    const HFONT oldFont = FFont;
    const HIMAGELIST oldImages = FImages;
    FListHeight = ScalePixels(FListHeight, FDpi, Dpi);
    ScaleTo(Dpi);
    // The class's icons are those of the main screen.
    SendMessageW(FWindow, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(ProgramIcon(SM_CXICON, Dpi)));
    SendMessageW(FWindow, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(ProgramIcon(SM_CXSMICON, Dpi)));
    for (const HWND control : {FResultsList->Handle(), FStatusBar}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), TRUE);
    }
    SendMessageW(FResultsList->Handle(), LB_SETITEMHEIGHT, 0, FMetrics.ListItemHeight);
    SetStatusBarParts();
    CreateToolBar();
    FMenuBar->SetImages(FImages);
    ShowingErrors(FWindow, [this] { FForm->DpiChanged(); });
    SetWindowPos(FWindow, nullptr, Suggested.left, Suggested.top, Suggested.right - Suggested.left,
                 Suggested.bottom - Suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    RefreshToolBar();
    ImageList_Destroy(oldImages);
    DeleteObject(oldFont);
}

// The caret's and the encoding's parts have their widths, the read-only part the encoding's, the
// problem part three times the caret's; the folder search's progress takes the rest.
void MainWindow::SetStatusBarParts() {
    const int caretEdge = FMetrics.StatusCaretPartWidth;
    const int encodingEdge = caretEdge + FMetrics.StatusEncodingPartWidth;
    const int readOnlyEdge = encodingEdge + FMetrics.StatusEncodingPartWidth;
    const int partEdges[TStatusBar::kPartCount] = {caretEdge, encodingEdge, readOnlyEdge,
                                                   readOnlyEdge + 3 * FMetrics.StatusCaretPartWidth,
                                                   -1};
    SendMessageW(FStatusBar, SB_SETPARTS, TStatusBar::kPartCount,
                 reinterpret_cast<LPARAM>(partEdges));
}

// The search results list and its splitter stay hidden until a search fills the list.
void MainWindow::CreateControls() {
    FEditorWindow = CreateChild(FWindow, WS_EX_CLIENTEDGE, kEditorClassName,
                                WS_VISIBLE | WS_TABSTOP, kEditorId);
    if (FEditorWindow == nullptr || EditorOfWindow(FEditorWindow) == nullptr) {
        throw std::runtime_error("The editor window could not be created.");
    }
    FSplitter = CreateChild(FWindow, 0, L"STATIC", SS_ETCHEDHORZ, kSplitterId);
    FResultsList = std::make_unique<ResultsList>(
        CreateChild(FWindow, WS_EX_CLIENTEDGE, L"LISTBOX", ResultsList::kStyle, kListBoxId),
        [this](WPARAM Key) {
            if (FForm != nullptr) {
                ShowingErrors(FWindow,
                              [&] { FForm->ListBox1KeyUp(static_cast<std::uint16_t>(Key)); });
            }
        });
    FStatusBar =
        CreateChild(FWindow, 0, STATUSCLASSNAMEW, WS_VISIBLE | SBARS_SIZEGRIP, kStatusBarId);
    for (const HWND control : {FResultsList->Handle(), FStatusBar}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
    }
    SendMessageW(FResultsList->Handle(), LB_SETITEMHEIGHT, 0, FMetrics.ListItemHeight);
    SetStatusBarParts();
}

RECT MainWindow::ClientPanel() const {
    RECT client{};
    GetClientRect(FWindow, &client);
    client.top = FToolBar != nullptr ? FToolBar->Resize() : 0;
    client.bottom -= HeightOf(FStatusBar);
    return client;
}

bool MainWindow::OnSplitter(POINT Point) const {
    if (!IsShown(FSplitter)) {
        return false;
    }
    RECT splitter{};
    GetWindowRect(FSplitter, &splitter);
    MapWindowPoints(nullptr, FWindow, reinterpret_cast<POINT*>(&splitter), 2);
    return PtInRect(&splitter, Point) != FALSE;
}

// The splitter lets the mouse through to the window, which drags it: the list takes the height
// below the pointer, at least MinListHeight and leaving PanelAboveList of the panel above.
bool MainWindow::SplitterMouse(UINT Msg, LPARAM LParam) {
    const POINT point{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
    switch (Msg) {
    case WM_LBUTTONDOWN:
        if (!OnSplitter(point)) {
            return false;
        }
        FSplitterDragging = true;
        SetCapture(FWindow);
        return true;
    case WM_MOUSEMOVE:
        if (FSplitterDragging) {
            const RECT panel = ClientPanel();
            const int wanted = panel.bottom - point.y - FMetrics.SplitterHeight / 2;
            FListHeight =
                std::min(std::max(wanted, FMetrics.MinListHeight),
                         static_cast<int>(panel.bottom - panel.top) - FMetrics.PanelAboveList);
            Layout();
        }
        return FSplitterDragging;
    case WM_LBUTTONUP:
        if (FSplitterDragging) {
            ReleaseCapture();
        }
        return FSplitterDragging;
    case WM_CAPTURECHANGED:
        FSplitterDragging = false;
        return true;
    default:
        return false;
    }
}

bool MainWindow::SetSplitterCursor() {
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(FWindow, &point);
    if (!FSplitterDragging && !OnSplitter(point)) {
        return false;
    }
    SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
    return true;
}

// Top to bottom: tool bar, editor, splitter and list (when shown), status bar.
void MainWindow::Layout() {
    if (FToolBar == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(FWindow, &client);
    const int width = client.right;
    const int top = FToolBar->Resize();
    SendMessageW(FStatusBar, WM_SIZE, 0, 0);
    int bottom = client.bottom - HeightOf(FStatusBar);
    if (IsShown(FResultsList->Handle())) {
        bottom -= FListHeight;
        MoveWindow(FResultsList->Handle(), 0, bottom, width, FListHeight, TRUE);
        bottom -= FMetrics.SplitterHeight;
        MoveWindow(FSplitter, 0, bottom, width, FMetrics.SplitterHeight, TRUE);
    }
    MoveWindow(FEditorWindow, 0, top, width, std::max(0, bottom - top), TRUE);
}

void MainWindow::Create() {
    // The tool bar follows the clipboard through its notifications instead of asking it.
    AddClipboardFormatListener(FWindow);
    ShowingErrors(FWindow, [this] { FForm->FormCreate(); });
    FMenuBar->Refresh();
}

// A window that is about to end (its file is shown elsewhere) appears without taking the
// foreground from the window that was just brought forward.
void MainWindow::Show(int ShowCommand) {
    if (FTerminating) {
        ShowWindow(FWindow, SW_SHOWNOACTIVATE);
        return;
    }
    ShowWindow(FWindow, ShowCommand);
    UpdateWindow(FWindow);
    SetFocus(FEditorWindow);
}

bool MainWindow::HandleShortCut(const MSG& Message) {
    if (FForm == nullptr || (Message.message != WM_KEYDOWN && Message.message != WM_SYSKEYDOWN) ||
        IsModifierKey(Message.wParam)) {
        return false;
    }
    if (Message.hwnd != FWindow && IsChild(FWindow, Message.hwnd) == FALSE) {
        return false;
    }
    const TShortCut key{static_cast<std::uint16_t>(Message.wParam), KeyboardShiftState()};
    bool handled = true;
    ShowingErrors(FWindow, [&] { handled = FForm->ShortCut(key); });
    return handled;
}

std::optional<int> MainWindow::HandlePendingMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        if (message.message == WM_QUIT) {
            return static_cast<int>(message.wParam);
        }
        if (!HandleShortCut(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return std::nullopt;
}

bool MainWindow::Idle() {
    if (FForm == nullptr) {
        return false;
    }
    bool moreWork = false;
    ShowingErrors(FWindow, [this, &moreWork] { moreWork = FForm->AppIdle(); });
    RefreshToolBar();
    return moreWork;
}

std::optional<int> MainWindow::IdleWakeDelay() {
    return FForm != nullptr ? FForm->IdleWakeDelay() : std::nullopt;
}

// MainWindowView

// Without an application window of its own, the task bar shows the main window's title.
void MainWindow::SetTitle(const std::string& Title) {
    SetWindowTextW(FWindow, Utf8ToWide(Title).c_str());
}

TWindowState MainWindow::WindowState() const {
    if (IsIconic(FWindow) != FALSE) {
        return TWindowState::Minimized;
    }
    if (IsZoomed(FWindow) != FALSE) {
        return TWindowState::Maximized;
    }
    return TWindowState::Normal;
}

TSize MainWindow::WindowSize() const {
    RECT area{};
    GetWindowRect(FWindow, &area);
    return {area.right - area.left, area.bottom - area.top};
}

void MainWindow::SetWindowSize(TSize Size) {
    SetWindowPos(FWindow, nullptr, 0, 0, Size.Width, Size.Height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainWindow::PixelsPerInch() const {
    return FDpi;
}

void MainWindow::BringToFront() {
    SetForegroundWindow(FWindow);
}

// Posted, so that the close query runs after the command that asked for it has returned.
void MainWindow::Close() {
    PostMessageW(FWindow, WM_CLOSE, 0, 0);
}

void MainWindow::Terminate() {
    FTerminating = true;
    PostQuitMessage(0);
}

// The quit message is posted again for the message loop, which then ends the program.
bool MainWindow::ProcessMessages() {
    const std::optional<int> exitCode = HandlePendingMessages();
    if (exitCode) {
        PostQuitMessage(*exitCode);
    }
    return !exitCode;
}

void MainWindow::RefreshToolBar() {
    if (FToolBar != nullptr) {
        FToolBar->Refresh();
    }
}

// Only the parts that changed are sent: each one repaints its part.
void MainWindow::RefreshStatusBar() {
    if (FForm == nullptr) {
        return;
    }
    const auto& parts = FForm->Menus.StatusBar1.Parts;
    for (std::size_t part = 0; part < parts.size(); ++part) {
        if (parts[part] != FShownStatus[part]) {
            FShownStatus[part] = parts[part];
            SendMessageW(FStatusBar, SB_SETTEXTW, part,
                         reinterpret_cast<LPARAM>(Utf8ToWide(parts[part]).c_str()));
        }
    }
}

void MainWindow::ShowAboutBox(const TAboutBox& About) {
    win32::ShowAboutBox(FWindow, About);
}

void MainWindow::ShowOptionsDialog(TfrmSetting& Dialog) {
    win32::ShowOptionsDialog(FWindow, Dialog, FDesktop);
}

bool MainWindow::ShowSearchDialog(TfrmSearch& Dialog) {
    return win32::ShowSearchDialog(FWindow, Dialog);
}

bool MainWindow::ShowReplaceDialog(TfrmReplace& Dialog) {
    return win32::ShowReplaceDialog(FWindow, Dialog);
}

bool MainWindow::ShowGoLineDialog(TfrmGoLine& Dialog) {
    return win32::ShowGoLineDialog(FWindow, Dialog);
}

bool MainWindow::ShowFolderSearchDialog(TfrmFolderSearch& Dialog) {
    return win32::ShowFolderSearchDialog(FWindow, Dialog);
}

bool MainWindow::ShowKeysDialog(TfrmKeys& Dialog) {
    return win32::ShowKeysDialog(FWindow, Dialog);
}

void MainWindow::ShowResultsList(bool Shown) {
    for (const HWND control : {FSplitter, FResultsList->Handle()}) {
        ShowWindow(control, Shown ? SW_SHOW : SW_HIDE);
    }
    Layout();
}

// The list repaints with the first entries added after this; the later ones only move its scroll
// bar.
void MainWindow::ClearResults(std::size_t Expected) {
    FResultsList->Clear(Expected);
}

void MainWindow::AddResults(std::span<const std::string> Entries) {
    FResultsList->Add(Entries);
}

std::optional<std::size_t> MainWindow::SelectedResultIndex() const {
    const auto selected = SendMessageW(FResultsList->Handle(), LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(selected);
}

void MainWindow::FocusEditor() {
    SetFocus(FEditorWindow);
}

void MainWindow::FocusResultsList() {
    SetFocus(FResultsList->Handle());
}

void MainWindow::RepaintEditor() {
    InvalidateRect(FEditorWindow, nullptr, FALSE);
    UpdateWindow(FEditorWindow);
}

TPoint MainWindow::EditorToScreen(TPoint Point) const {
    POINT point{Point.X, Point.Y};
    ClientToScreen(FEditorWindow, &point);
    return {point.x, point.y};
}

// Messages

LRESULT CALLBACK MainWindow::WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(LParam)->lpCreateParams);
        self->FWindow = Window;
        SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(Window, Msg, WParam, LParam);
    }
    try {
        return self->HandleMessage(Msg, WParam, LParam);
    } catch (const std::exception& error) {
        ShowException(Window, error);
        return 0;
    }
}

LRESULT MainWindow::HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_DPICHANGED:
        DpiChanged(HIWORD(WParam), *reinterpret_cast<const RECT*>(LParam));
        return 0;
    case WM_SETFOCUS:
        SetFocus(FEditorWindow);
        return 0;
    case WM_INITMENUPOPUP:
        if (FMenuBar != nullptr && HIWORD(LParam) == FALSE) {
            FMenuBar->InitPopup(reinterpret_cast<HMENU>(WParam));
        }
        return 0;
    case WM_MEASUREITEM:
        if (FMenuBar != nullptr &&
            FMenuBar->MeasurePicture(*reinterpret_cast<MEASUREITEMSTRUCT*>(LParam))) {
            return TRUE;
        }
        break;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(LParam);
        if ((FMenuBar != nullptr && FMenuBar->DrawPicture(item)) ||
            (FResultsList != nullptr && FResultsList->Draw(item))) {
            return TRUE;
        }
        break;
    }
    case WM_SETCURSOR:
        if (LOWORD(LParam) == HTCLIENT && SetSplitterCursor()) {
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (SplitterMouse(Msg, LParam)) {
            return 0;
        }
        break;
    case WM_COMMAND:
        if (Command(WParam, LParam)) {
            return 0;
        }
        break;
    case WM_NOTIFY:
        if (FToolBar != nullptr && FToolBar->Notify(*reinterpret_cast<NMHDR*>(LParam))) {
            return 0;
        }
        break;
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(WParam));
        return 0;
    case WM_CLOSE:
        CloseQuery();
        return 0;
    case WM_ACTIVATE:
        if (FForm != nullptr && LOWORD(WParam) != WA_INACTIVE) {
            FForm->FormActivate();
        }
        break;
    case WM_CLIPBOARDUPDATE:
        if (FForm != nullptr) {
            FForm->ClipboardChanged();
        }
        return 0;
    case WM_QUERYENDSESSION:
        return QueryEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
        // The process ends without its window being destroyed.
        if (WParam != FALSE) {
            SaveSettingsAndLists();
        }
        return 0;
    case WM_DESTROY:
        Destroyed();
        return 0;
    case WM_NCDESTROY: {
        const LRESULT answer = DefWindowProcW(FWindow, Msg, WParam, LParam);
        // The controls are gone; so is the logic that drove them.
        FMenuBar.reset();
        FToolBar.reset();
        FForm.reset();
        FCommands.reset();
        SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
        FWindow = nullptr;
        return answer;
    }
    default:
        if (Msg == ShowLineMessage() && FForm != nullptr) {
            FForm->ShowLineRequested(static_cast<int>(WParam));
            return 0;
        }
        break;
    }
    return DefWindowProcW(FWindow, Msg, WParam, LParam);
}

// Menu commands carry no control; tool bar buttons come from the bar; a double click on the
// results list jumps to its entry.
bool MainWindow::Command(WPARAM WParam, LPARAM LParam) {
    if (FForm == nullptr) {
        return false;
    }
    if (LParam == 0) {
        return HIWORD(WParam) == 0 && FMenuBar->Command(LOWORD(WParam));
    }
    if (reinterpret_cast<HWND>(LParam) == FResultsList->Handle()) {
        if (HIWORD(WParam) == LBN_DBLCLK) {
            FForm->ListBox1DblClick();
        }
        return true;
    }
    return reinterpret_cast<HWND>(LParam) == FToolBar->Handle() &&
           FToolBar->Command(LOWORD(WParam));
}

// A failing close query (a save that failed) raises: the error is shown and the window stays.
void MainWindow::CloseQuery() {
    bool canClose = true;
    if (FForm != nullptr) {
        FForm->FormCloseQuery(canClose);
    }
    if (canClose) {
        DestroyWindow(FWindow);
    }
}

// A save that fails is shown and keeps the session from ending.
bool MainWindow::QueryEndSession() {
    bool canEnd = true;
    if (FForm != nullptr) {
        ShowingErrors(FWindow, [&] { FForm->FormCloseQuery(canEnd); });
    }
    return canEnd;
}

// The drop is released before the files open, so that an error leaves nothing held.
void MainWindow::DropFiles(HDROP Drop) {
    const std::vector<std::string> paths = DroppedPaths(Drop);
    DragFinish(Drop);
    if (FForm != nullptr) {
        FForm->WMDropFiles(paths);
    }
}

void MainWindow::SaveSettingsAndLists() {
    if (FForm != nullptr && !std::exchange(FSettingsSaved, true)) {
        ShowingErrors(FWindow, [this] { FForm->FormDestroy(); });
    }
}

void MainWindow::Destroyed() {
    RemoveClipboardFormatListener(FWindow);
    SaveSettingsAndLists();
    PostQuitMessage(0);
}

} // namespace kst::win32
