#include "win32/main_window.h"

#include "display/editor.h"
#include "win32/dialogs_win32.h"
#include "win32/editor_window.h"
#include "win32/resources/resource_ids.h"
#include "win32/utf.h"

#include <algorithm>
#include <functional>
#include <shellapi.h>
#include <stdexcept>

namespace kst::win32 {

namespace {

// The design position; the size comes from the settings.
constexpr int kDesignLeft = 302;
constexpr int kDesignTop = 113;
constexpr int kDesignWidth = 600;
constexpr int kDesignHeight = 500;

constexpr int kEditorId = 1;
constexpr int kSplitterId = 2;
constexpr int kListBoxId = 3;
constexpr int kStatusBarId = 4;
constexpr int kSplitterHeight = 3;
// Where colouring depends on the lines above, rows are coloured ahead while the program is idle,
// about this many (some 10 ms) at a time, so that messages wait no longer than that.
constexpr int kRowsColouredPerIdleStep = 30'000;
constexpr int kListBoxHeight = 100;

constexpr int kWindowFontPoints = 9;
constexpr int kPointsPerInch = 72;
// A dropped path is read up to 260 characters.
constexpr UINT kDroppedPathCapacity = MAX_PATH + 1;

// Runs Action; an exception is shown in the application's exception box and the program goes on.
void ShowingErrors(HWND Window, const std::function<void()>& Action) {
    try {
        Action();
    } catch (const std::exception& Error) {
        ShowException(Window, Error);
    }
}

int ScreenPixelsPerInch() {
    const HDC Screen = GetDC(nullptr);
    const int Pixels = GetDeviceCaps(Screen, LOGPIXELSY);
    ReleaseDC(nullptr, Screen);
    return Pixels;
}

// The window's font for its controls: "ＭＳ Ｐゴシック", Shift-JIS.
HFONT CreateWindowFont() {
    return CreateFontW(-MulDiv(kWindowFontPoints, ScreenPixelsPerInch(), kPointsPerInch), 0, 0, 0,
                       FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       L"ＭＳ Ｐゴシック");
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
    RECT Area{};
    GetWindowRect(Window, &Area);
    return Area.bottom - Area.top;
}

bool IsModifierKey(WPARAM Key) {
    return Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU;
}

bool KeyIsDown(int Key) {
    return (GetKeyState(Key) & 0x8000) != 0;
}

TShiftState CurrentShiftState() {
    TShiftState Shift = 0;
    if (KeyIsDown(VK_SHIFT)) {
        Shift |= ssShift;
    }
    if (KeyIsDown(VK_CONTROL)) {
        Shift |= ssCtrl;
    }
    if (KeyIsDown(VK_MENU)) {
        Shift |= ssAlt;
    }
    return Shift;
}

std::vector<std::string> DroppedPaths(HDROP Drop) {
    const UINT Count = DragQueryFileW(Drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> Paths;
    for (UINT Index = 0; Index < Count; ++Index) {
        wchar_t Path[kDroppedPathCapacity] = {};
        DragQueryFileW(Drop, Index, Path, kDroppedPathCapacity);
        Paths.push_back(WideToUtf8(Path));
    }
    return Paths;
}

} // namespace

void RegisterMainWindowClass() {
    WNDCLASSEXW Class{};
    const HINSTANCE Instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(Instance, kMainWindowClassName, &Class) != FALSE) {
        return;
    }
    Class.cbSize = sizeof(Class);
    Class.lpfnWndProc = MainWindow::WindowProc;
    Class.hInstance = Instance;
    Class.hIcon = LoadIconW(Instance, MAKEINTRESOURCEW(IDI_KESTRANE));
    Class.hIconSm = static_cast<HICON>(LoadImageW(Instance, MAKEINTRESOURCEW(IDI_KESTRANE),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), 0));
    Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Class.lpszClassName = kMainWindowClassName;
    RegisterClassExW(&Class);
}

MainWindow::MainWindow(Win32Desktop& Desk, std::vector<std::string> Parameters)
    : FDesktop(Desk), FFont(CreateWindowFont()), FImages(LoadToolBarImages()) {
    CreateWindowExW(0, kMainWindowClassName, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    kDesignLeft, kDesignTop, kDesignWidth, kDesignHeight, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (FWindow == nullptr) {
        throw std::runtime_error("The main window could not be created.");
    }
    FDesktop.SetOwner(FWindow);
    CreateControls();
    TEditor& Editor = *EditorOfWindow(FEditorWindow);
    FCommands = CreateEditorCommands(Editor);
    FForm = std::make_unique<TForm1>(FDesktop, *this, Editor, *FCommands, std::move(Parameters));
    SetTitle(FForm->Title());
    FToolBar = std::make_unique<MainToolBar>(FWindow, FForm->Menus.ToolBar1, FImages, FFont);
    FMenuBar = std::make_unique<MainMenuBar>(FWindow, FForm->Menus, FImages);
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

// The search results list and its splitter stay hidden until a search fills the list.
void MainWindow::CreateControls() {
    FEditorWindow = CreateChild(FWindow, WS_EX_CLIENTEDGE, kEditorClassName,
                                WS_VISIBLE | WS_TABSTOP, kEditorId);
    if (FEditorWindow == nullptr || EditorOfWindow(FEditorWindow) == nullptr) {
        throw std::runtime_error("The editor window could not be created.");
    }
    FSplitter = CreateChild(FWindow, 0, L"STATIC", SS_ETCHEDHORZ, kSplitterId);
    FListBox = CreateChild(FWindow, WS_EX_CLIENTEDGE, L"LISTBOX",
                           WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kListBoxId);
    FStatusBar =
        CreateChild(FWindow, 0, STATUSCLASSNAMEW, WS_VISIBLE | SBARS_SIZEGRIP, kStatusBarId);
    for (const HWND Control : {FListBox, FStatusBar}) {
        SendMessageW(Control, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
    }
}

// Top to bottom: tool bar, editor, splitter and list (when shown), status bar.
void MainWindow::Layout() {
    if (FToolBar == nullptr) {
        return;
    }
    RECT Client{};
    GetClientRect(FWindow, &Client);
    const int Width = Client.right;
    const int Top = FToolBar->Resize();
    SendMessageW(FStatusBar, WM_SIZE, 0, 0);
    int Bottom = Client.bottom - HeightOf(FStatusBar);
    if (IsShown(FListBox)) {
        Bottom -= kListBoxHeight;
        MoveWindow(FListBox, 0, Bottom, Width, kListBoxHeight, TRUE);
        Bottom -= kSplitterHeight;
        MoveWindow(FSplitter, 0, Bottom, Width, kSplitterHeight, TRUE);
    }
    MoveWindow(FEditorWindow, 0, Top, Width, std::max(0, Bottom - Top), TRUE);
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
    const TShortCut Key{static_cast<std::uint16_t>(Message.wParam), CurrentShiftState()};
    bool Handled = true;
    ShowingErrors(FWindow, [&] {
        Handled = FMenuBar->ShortCut(Key) || FForm->Menus.PopupMenu1.IsShortCut(Key);
    });
    return Handled;
}

bool MainWindow::Idle() {
    if (FForm == nullptr) {
        return false;
    }
    ShowingErrors(FWindow, [this] { FForm->AppIdle(); });
    FToolBar->Refresh();
    bool moreSteps = false;
    ShowingErrors(FWindow, [this, &moreSteps] {
        moreSteps = EditorOfWindow(FEditorWindow)
                        ->ScreenStrings()
                        .ComputeStartStatesAhead(kRowsColouredPerIdleStep);
    });
    return moreSteps;
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
    RECT Area{};
    GetWindowRect(FWindow, &Area);
    return {Area.right - Area.left, Area.bottom - Area.top};
}

void MainWindow::SetWindowSize(TSize Size) {
    SetWindowPos(FWindow, nullptr, 0, 0, Size.Width, Size.Height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainWindow::PixelsPerInch() const {
    return ScreenPixelsPerInch();
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

void MainWindow::ShowAboutBox(const TAboutBox& About) {
    win32::ShowAboutBox(FWindow, About);
}

void MainWindow::ShowOptionsDialog(TfrmSetting& Dialog) {
    win32::ShowOptionsDialog(FWindow, Dialog, FDesktop);
}

// Messages

LRESULT CALLBACK MainWindow::WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
        auto* Self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(LParam)->lpCreateParams);
        Self->FWindow = Window;
        SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Self));
    }
    auto* Self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (Self == nullptr) {
        return DefWindowProcW(Window, Msg, WParam, LParam);
    }
    try {
        return Self->HandleMessage(Msg, WParam, LParam);
    } catch (const std::exception& Error) {
        ShowException(Window, Error);
        return 0;
    }
}

LRESULT MainWindow::HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
    case WM_SIZE:
        Layout();
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
    case WM_DRAWITEM:
        if (FMenuBar != nullptr &&
            FMenuBar->DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(LParam))) {
            return TRUE;
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
    case WM_CLIPBOARDUPDATE:
        if (FForm != nullptr) {
            FForm->ClipboardChanged();
        }
        return 0;
    case WM_DESTROY:
        Destroyed();
        return 0;
    case WM_NCDESTROY: {
        const LRESULT Answer = DefWindowProcW(FWindow, Msg, WParam, LParam);
        // The controls are gone; so is the logic that drove them.
        FMenuBar.reset();
        FToolBar.reset();
        FForm.reset();
        FCommands.reset();
        SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
        FWindow = nullptr;
        return Answer;
    }
    default:
        break;
    }
    return DefWindowProcW(FWindow, Msg, WParam, LParam);
}

// Menu commands carry no control; tool bar buttons come from the bar.
bool MainWindow::Command(WPARAM WParam, LPARAM LParam) {
    if (FForm == nullptr) {
        return false;
    }
    if (LParam == 0) {
        return HIWORD(WParam) == 0 && FMenuBar->Command(LOWORD(WParam));
    }
    return reinterpret_cast<HWND>(LParam) == FToolBar->Handle() &&
           FToolBar->Command(LOWORD(WParam));
}

// A failing close query (a save that failed) raises: the error is shown and the window stays.
void MainWindow::CloseQuery() {
    bool CanClose = true;
    if (FForm != nullptr) {
        FForm->FormCloseQuery(CanClose);
    }
    if (CanClose) {
        DestroyWindow(FWindow);
    }
}

// The drop is released before the files open, so that an error leaves nothing held.
void MainWindow::DropFiles(HDROP Drop) {
    const std::vector<std::string> Paths = DroppedPaths(Drop);
    DragFinish(Drop);
    if (FForm != nullptr) {
        FForm->WMDropFiles(Paths);
    }
}

void MainWindow::Destroyed() {
    RemoveClipboardFormatListener(FWindow);
    if (FForm != nullptr) {
        ShowingErrors(FWindow, [this] { FForm->FormDestroy(); });
    }
    PostQuitMessage(0);
}

} // namespace kst::win32
