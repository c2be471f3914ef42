#include "win32/dialogs_win32.h"

#include "app/env_files.h"
#include "app/message_boxes.h"
#include "app/text_code_page.h"
#include "core/errors.h"
#include "win32/desktop_win32.h"
#include "win32/editor_window.h"
#include "win32/resources/resource_ids.h"
#include "win32/utf.h"

#include <algorithm>
#include <array>
#include <commctrl.h>
#include <imm.h>
#include <string_view>
#include <uxtheme.h>
#include <vector>

namespace kst::win32 {

namespace {

// The window font of the program's forms.
constexpr wchar_t kDialogFontName[] = L"ＭＳ Ｐゴシック";
constexpr WORD kDialogFontPoints = 9;

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
// A page of a tab control: a child dialog that the keyboard's tab key walks into.
constexpr DWORD kPageStyle = WS_CHILD | WS_CLIPCHILDREN | DS_CONTROL | DS_SETFONT;

// The side of a large icon (SM_CXICON) on the screen of Window.
int IconSize(HWND Window) {
    return GetSystemMetricsForDpi(SM_CXICON, GetDpiForWindow(Window));
}

// A control's place in dialog units.
struct TDialogRect {
    short X;
    short Y;
    short Width;
    short Height;
};

// An extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items) built in memory.
class DialogTemplate {
public:
    DialogTemplate(std::string_view Caption, short Width, short Height,
                   DWORD Style = kDialogStyle) {
        PutWord(1);      // dlgVer
        PutWord(0xFFFF); // signature of the extended template
        PutDword(0);     // helpID
        PutDword(0);     // exStyle
        PutDword(Style);
        FCountIndex = FWords.size();
        PutWord(0);
        PutRect({0, 0, Width, Height});
        PutWord(0); // no menu
        PutWord(0); // the predefined dialog class
        PutString(Utf8ToWide(Caption));
        PutWord(kDialogFontPoints);
        PutWord(FW_NORMAL);
        PutWord(static_cast<WORD>(SHIFTJIS_CHARSET << 8)); // italic (low byte), character set
        PutString(kDialogFontName);
    }

    // A visible child control of a window class.
    void Add(std::wstring_view Class, int Id, std::string_view Text, DWORD Style,
             TDialogRect Place) {
        if (FWords.size() % 2 != 0) {
            PutWord(0); // items start on a DWORD boundary
        }
        PutDword(0); // helpID
        PutDword(0); // exStyle
        PutDword(WS_CHILD | WS_VISIBLE | Style);
        PutRect(Place);
        PutDword(static_cast<DWORD>(Id));
        PutString(Class);
        PutString(Utf8ToWide(Text));
        PutWord(0); // no creation data
        ++FWords[FCountIndex];
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(FWords.data()); }

private:
    void PutWord(WORD Value) { FWords.push_back(Value); }
    void PutDword(DWORD Value) {
        PutWord(LOWORD(Value));
        PutWord(HIWORD(Value));
    }
    void PutRect(TDialogRect Place) {
        for (const short value : {Place.X, Place.Y, Place.Width, Place.Height}) {
            PutWord(static_cast<WORD>(value));
        }
    }
    void PutString(std::wstring_view Text) {
        FWords.insert(FWords.end(), Text.begin(), Text.end());
        PutWord(0);
    }

    std::vector<WORD> FWords;
    std::size_t FCountIndex = 0;
};

constexpr std::wstring_view kButton = L"BUTTON";
constexpr std::wstring_view kEdit = L"EDIT";
constexpr std::wstring_view kStatic = L"STATIC";
constexpr std::wstring_view kListBox = L"LISTBOX";
constexpr std::wstring_view kComboBox = L"COMBOBOX";

constexpr DWORD kLabelStyle = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kEditStyle = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefaultButtonStyle = WS_TABSTOP | BS_DEFPUSHBUTTON;

std::wstring WindowText(HWND Window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(Window, text.data(), static_cast<int>(text.size()))));
    return text;
}

RECT WindowRect(HWND Window) {
    RECT bounds{};
    GetWindowRect(Window, &bounds);
    return bounds;
}

// Places Dialog in the middle of its owner (of the screen when it has none on the screen), kept
// inside the work area of the owner's monitor.
void CenterOnOwner(HWND Dialog) {
    const HWND owner = GetWindow(Dialog, GW_OWNER);
    const bool ownerShown =
        owner != nullptr && IsWindowVisible(owner) != FALSE && IsIconic(owner) == FALSE;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(ownerShown ? owner : Dialog, MONITOR_DEFAULTTONEAREST),
                    &monitor);
    const RECT area = monitor.rcWork;
    const RECT around = ownerShown ? WindowRect(owner) : area;
    const RECT box = WindowRect(Dialog);
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    const LONG x = (around.left + around.right - width) / 2;
    const LONG y = (around.top + around.bottom - height) / 2;
    SetWindowPos(Dialog, nullptr, std::max(area.left, std::min(x, area.right - width)),
                 std::max(area.top, std::min(y, area.bottom - height)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A modal dialog: runs a template and hands its messages to the derived class. Escape and the
// close box (IDCANCEL) end every dialog with IDCANCEL.
class ModalDialog {
public:
    ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    virtual ~ModalDialog() = default;

    // The id of the button that ended the dialog; IDCANCEL when it could not be shown.
    INT_PTR Run(HWND Owner, const DialogTemplate& Template) {
        const INT_PTR result =
            DialogBoxIndirectParamW(GetModuleHandleW(nullptr), Template.Get(), Owner, Procedure,
                                    reinterpret_cast<LPARAM>(this));
        return result == -1 ? IDCANCEL : result;
    }

protected:
    HWND Handle() const { return FHandle; }
    // A control of the dialog or of one of its pages.
    HWND Control(int Id) const {
        if (const HWND direct = GetDlgItem(FHandle, Id)) {
            return direct;
        }
        for (HWND child = GetWindow(FHandle, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (const HWND inner = GetDlgItem(child, Id)) {
                return inner;
            }
        }
        return nullptr;
    }
    void SetControlText(int Id, std::string_view Text) const {
        SetWindowTextW(Control(Id), Utf8ToWide(Text).c_str());
    }
    std::string ControlText(int Id) const { return WideToUtf8(WindowText(Control(Id))); }
    // Document text (in the text's code page) in a control.
    void SetControlDocumentText(int Id, std::string_view Text) const {
        SetWindowTextW(Control(Id), TextToWide(Text).c_str());
    }
    std::string ControlDocumentText(int Id) const { return WideToText(WindowText(Control(Id))); }
    bool Checked(int Id) const {
        return SendMessageW(Control(Id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void SetChecked(int Id, bool Value) const {
        SendMessageW(Control(Id), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void End(INT_PTR Result) const { EndDialog(FHandle, Result); }

    virtual void Init() = 0;
    virtual void Command(int Id, int Code) = 0;
    virtual void Notify(const NMHDR& /*Header*/) {}

private:
    INT_PTR HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
        switch (Msg) {
        case WM_INITDIALOG:
            Init();
            CenterOnOwner(FHandle);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(WParam) == IDCANCEL) {
                End(IDCANCEL);
            } else {
                Command(LOWORD(WParam), HIWORD(WParam));
            }
            return TRUE;
        case WM_NOTIFY:
            Notify(*reinterpret_cast<const NMHDR*>(LParam));
            return TRUE;
        default:
            return FALSE;
        }
    }

    // No exception may leave a dialog procedure: it is shown and the dialog goes on.
    static INT_PTR CALLBACK Procedure(HWND Dialog, UINT Msg, WPARAM WParam, LPARAM LParam) {
        if (Msg == WM_INITDIALOG) {
            SetWindowLongPtrW(Dialog, DWLP_USER, LParam);
            reinterpret_cast<ModalDialog*>(LParam)->FHandle = Dialog;
        }
        auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(Dialog, DWLP_USER));
        if (self == nullptr) {
            return FALSE;
        }
        try {
            return self->HandleMessage(Msg, WParam, LParam);
        } catch (const std::exception& error) {
            ShowException(Dialog, error);
            return TRUE;
        }
    }

    HWND FHandle = nullptr;
};

// About box

class AboutDialog : public ModalDialog {
public:
    static DialogTemplate Template(const TAboutBox& About) {
        DialogTemplate result(About.Caption, 180, 76);
        result.Add(kStatic, idAboutIcon, "", SS_ICON, {12, 12, 21, 20});
        result.Add(kStatic, idAboutProduct, About.ProductName, kLabelStyle, {44, 14, 128, 10});
        result.Add(kStatic, idAboutVersion, About.Version, kLabelStyle, {44, 28, 128, 10});
        result.Add(kButton, IDOK, "OK", kDefaultButtonStyle, {65, 54, 50, 14});
        return result;
    }

private:
    void Init() override {
        const int size = IconSize(Handle());
        const auto icon =
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KESTRANE),
                                          IMAGE_ICON, size, size, LR_SHARED));
        SendMessageW(Control(idAboutIcon), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }

    void Command(int Id, int /*Code*/) override {
        if (Id == IDOK) {
            End(IDOK);
        }
    }
};

// Launcher registration

// The input method of Edit: opened in full-width hiragana, or closed.
void SetImeHiragana(HWND Edit) {
    const HIMC context = ImmGetContext(Edit);
    if (context == nullptr) {
        return;
    }
    DWORD conversion = 0;
    DWORD sentence = 0;
    ImmGetConversionStatus(context, &conversion, &sentence);
    conversion &= ~static_cast<DWORD>(IME_CMODE_KATAKANA);
    ImmSetOpenStatus(context, TRUE);
    ImmSetConversionStatus(context, conversion | IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, sentence);
    ImmReleaseContext(Edit, context);
}

void CloseIme(HWND Edit) {
    if (const HIMC context = ImmGetContext(Edit)) {
        ImmSetOpenStatus(context, FALSE);
        ImmReleaseContext(Edit, context);
    }
}

class LauncherRegistrationDialog : public ModalDialog {
public:
    explicit LauncherRegistrationDialog(TfrmLcAdd& Model) : FModel(Model) {}

    static DialogTemplate Template() {
        DialogTemplate result(TfrmLcAdd::Caption, 210, 70);
        result.Add(kStatic, idLcAddNameLabel, TfrmLcAdd::NameLabel, kLabelStyle, {8, 10, 40, 10});
        result.Add(kEdit, idLcAddNameEdit, "", kEditStyle, {50, 8, 152, 12});
        result.Add(kStatic, idLcAddPathLabel, TfrmLcAdd::PathLabel, kLabelStyle, {8, 28, 40, 10});
        result.Add(kEdit, idLcAddPathEdit, "", kEditStyle, {50, 26, 130, 12});
        result.Add(kButton, idLcAddBrowse, TfrmLcAdd::BrowseButton, kButtonStyle,
                   {184, 25, 18, 14});
        result.Add(kButton, IDOK, TfrmLcAdd::AddButton, kDefaultButtonStyle, {152, 48, 50, 14});
        return result;
    }

private:
    void Init() override {
        SetControlText(idLcAddNameEdit, FModel.Name());
        SetControlText(idLcAddPathEdit, FModel.Path());
        UpdateAddButton();
    }

    void Command(int Id, int Code) override {
        switch (Id) {
        case idLcAddNameEdit:
            if (Code == EN_SETFOCUS) {
                SetImeHiragana(Control(Id));
            } else if (Code == EN_CHANGE) {
                FModel.SetName(ControlText(Id));
                UpdateAddButton();
            }
            break;
        case idLcAddPathEdit:
            if (Code == EN_SETFOCUS) {
                CloseIme(Control(Id));
            } else if (Code == EN_CHANGE) {
                FModel.SetPath(ControlText(Id));
                UpdateAddButton();
            }
            break;
        case idLcAddBrowse:
            FModel.BrowsePath();
            SetControlText(idLcAddPathEdit, FModel.Path());
            break;
        case IDOK:
            // Enter reaches here even while "追加" is disabled.
            if (FModel.AddEnabled() && FModel.ConfirmAdd()) {
                End(IDOK);
            }
            break;
        default:
            break;
        }
    }

    void UpdateAddButton() const {
        EnableWindow(Control(IDOK), FModel.AddEnabled() ? TRUE : FALSE);
    }

    TfrmLcAdd& FModel;
};

bool ShowLauncherRegistration(HWND Owner, TfrmLcAdd& Model) {
    LauncherRegistrationDialog dialog(Model);
    return dialog.Run(Owner, LauncherRegistrationDialog::Template()) == IDOK;
}

// Options

// A page's controls report to the dialog that holds the page.
INT_PTR CALLBACK PageProcedure(HWND Page, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_COMMAND || Msg == WM_NOTIFY) {
        SendMessageW(GetParent(Page), Msg, WParam, LParam);
        return TRUE;
    }
    return FALSE;
}

DialogTemplate EditorPageTemplate() {
    DialogTemplate result("", 0, 0, kPageStyle);
    result.Add(kStatic, idFontSizeLabel, TfrmSetting::FontSizeLabel, kLabelStyle, {8, 12, 120, 10});
    result.Add(kEdit, idFontSizeEdit, "", kEditStyle | ES_NUMBER, {132, 10, 44, 12});
    // Right after its edit box, which it takes as its buddy.
    result.Add(UPDOWN_CLASSW, idFontSizeSpin, "",
               UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
               {0, 0, 0, 0});
    result.Add(kStatic, idTabSizeLabel, TfrmSetting::TabSizeLabel, kLabelStyle, {8, 32, 120, 10});
    result.Add(kComboBox, idTabSizeCombo, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN,
               {132, 30, 44, 72});
    result.Add(kStatic, idIndentLabel, TfrmSetting::IndentLabel, kLabelStyle, {8, 52, 120, 10});
    result.Add(kComboBox, idIndentCombo, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
               {132, 50, 60, 96});
    result.Add(kStatic, idCodePageLabel, TfrmSetting::CodePageLabel, kLabelStyle, {8, 72, 70, 10});
    result.Add(kComboBox, idCodePageCombo, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
               {80, 70, 126, 120});
    return result;
}

DialogTemplate FolderPageTemplate() {
    DialogTemplate result("", 0, 0, kPageStyle);
    result.Add(kStatic, idBaseDirLabel, TfrmSetting::BaseDirLabel, kLabelStyle, {8, 10, 190, 10});
    result.Add(kEdit, idBaseDirEdit, "", kEditStyle, {8, 24, 176, 12});
    result.Add(kButton, idBaseDirBrowse, TfrmSetting::BrowseButton, kButtonStyle,
               {188, 23, 18, 14});
    return result;
}

DialogTemplate LauncherPageTemplate() {
    DialogTemplate result("", 0, 0, kPageStyle);
    result.Add(kListBox, idLauncherList, "",
               WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
               {8, 8, 130, 76});
    result.Add(kButton, idLauncherAdd, TfrmSetting::AddButton, kButtonStyle, {146, 8, 60, 14});
    result.Add(kButton, idLauncherDelete, TfrmSetting::DeleteButton, kButtonStyle,
               {146, 26, 60, 14});
    result.Add(kEdit, idLauncherPath, "", kEditStyle | ES_READONLY, {8, 90, 198, 12});
    return result;
}

constexpr std::size_t kEditorPageIndex = 0;
constexpr std::array<std::string_view, 3> kPageCaptions = {
    TfrmSetting::EditorPage, TfrmSetting::FolderPage, TfrmSetting::LauncherPage};

class OptionsDialog : public ModalDialog {
public:
    OptionsDialog(TfrmSetting& Model, Desktop& Desk) : FModel(Model), FDesktop(Desk) {}

    static DialogTemplate Template() {
        DialogTemplate result(TfrmSetting::Caption, 230, 160);
        result.Add(WC_TABCONTROLW, idOptionsTabs, "", WS_TABSTOP | WS_CLIPSIBLINGS,
                   {6, 6, 218, 128});
        result.Add(kButton, IDOK, TfrmSetting::OkButton, kDefaultButtonStyle, {174, 140, 50, 14});
        return result;
    }

private:
    void Init() override {
        InitTabs();
        CreatePages();
        SendMessageW(Control(idFontSizeSpin), UDM_SETRANGE32, TfrmSetting::MinFontSize,
                     TfrmSetting::MaxFontSize);
        SendMessageW(Control(idFontSizeSpin), UDM_SETPOS32, 0, FModel.FontSize());
        for (const std::string_view choice : TfrmSetting::TabSizeChoices) {
            SendMessageW(Control(idTabSizeCombo), CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Utf8ToWide(choice).c_str()));
        }
        SetControlText(idTabSizeCombo, FModel.TabSizeText());
        for (const std::string& choice : TfrmSetting::IndentChoices()) {
            SendMessageW(Control(idIndentCombo), CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Utf8ToWide(choice).c_str()));
        }
        SendMessageW(Control(idIndentCombo), CB_SETCURSEL, FModel.IndentIndex(), 0);
        for (const TCodePageChoice& choice : kCodePageChoices) {
            SendMessageW(Control(idCodePageCombo), CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Utf8ToWide(choice.Caption).c_str()));
        }
        SendMessageW(Control(idCodePageCombo), CB_SETCURSEL,
                     static_cast<WPARAM>(FModel.CodePageIndex()), 0);
        SetControlText(idBaseDirEdit, FModel.BaseDir());
        ShowLaunchers();
        ShowPage(kEditorPageIndex);
    }

    void InitTabs() const {
        const HWND tabs = Control(idOptionsTabs);
        for (std::size_t page = 0; page < kPageCaptions.size(); ++page) {
            std::wstring caption = Utf8ToWide(kPageCaptions[page]);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = caption.data();
            SendMessageW(tabs, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
        }
        // Below the pages, so that it does not paint over them.
        SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    // The pages fill the tab control's display area and show its background.
    void CreatePages() {
        const HWND tabs = Control(idOptionsTabs);
        RECT area = WindowRect(tabs);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&area), 2);
        SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        const std::array<DialogTemplate, 3> templates = {EditorPageTemplate(), FolderPageTemplate(),
                                                         LauncherPageTemplate()};
        for (std::size_t page = 0; page < FPages.size(); ++page) {
            FPages[page] = CreateDialogIndirectParamW(
                GetModuleHandleW(nullptr), templates[page].Get(), Handle(), PageProcedure, 0);
            EnableThemeDialogTexture(FPages[page], ETDT_ENABLETAB);
            SetWindowPos(FPages[page], nullptr, area.left, area.top, area.right - area.left,
                         area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    void ShowPage(std::size_t Shown) const {
        for (std::size_t page = 0; page < FPages.size(); ++page) {
            ShowWindow(FPages[page], page == Shown ? SW_SHOW : SW_HIDE);
        }
    }

    void ShowLaunchers() const {
        const HWND list = Control(idLauncherList);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (const std::string& name : FModel.Names()) {
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(name).c_str()));
        }
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(FModel.ItemIndex()), 0);
        SetControlText(idLauncherPath, FModel.PathText());
    }

    void Notify(const NMHDR& Header) override {
        if (Header.idFrom == idOptionsTabs && Header.code == TCN_SELCHANGE) {
            const auto page = SendMessageW(Control(idOptionsTabs), TCM_GETCURSEL, 0, 0);
            ShowPage(static_cast<std::size_t>(std::max<LRESULT>(page, 0)));
        }
    }

    void Command(int Id, int Code) override {
        switch (Id) {
        case idBaseDirBrowse:
            FModel.BrowseBaseDir();
            SetControlText(idBaseDirEdit, FModel.BaseDir());
            break;
        case idLauncherList:
            if (Code == LBN_SELCHANGE) {
                FModel.SelectLauncher(
                    static_cast<int>(SendMessageW(Control(Id), LB_GETCURSEL, 0, 0)));
                ShowLaunchers();
            }
            break;
        case idLauncherAdd:
            AddLauncher();
            break;
        case idLauncherDelete:
            FModel.DeleteLauncher();
            ShowLaunchers();
            break;
        case IDOK:
            Accept();
            break;
        default:
            break;
        }
    }

    void AddLauncher() {
        TfrmLcAdd registration = FModel.NewLauncherDialog();
        if (ShowLauncherRegistration(Handle(), registration)) {
            FModel.AddLauncher(registration);
            ShowLaunchers();
        }
    }

    // The boxes' texts go to the model; a tab width that is no number keeps the dialog open.
    void Accept() {
        FModel.SetFontSize(
            ParseDecimal(ControlText(idFontSizeEdit)).value_or(TfrmSetting::MinFontSize));
        FModel.SetTabSizeText(ControlText(idTabSizeCombo));
        FModel.SetIndentIndex(
            static_cast<int>(SendMessageW(Control(idIndentCombo), CB_GETCURSEL, 0, 0)));
        FModel.SetCodePageIndex(
            static_cast<int>(SendMessageW(Control(idCodePageCombo), CB_GETCURSEL, 0, 0)));
        FModel.SetBaseDir(ControlText(idBaseDirEdit));
        try {
            FModel.Accept();
        } catch (const EConvertError& error) {
            ShowMessageBox(FDesktop, error.what(), TMessageType::Error, TMessageButtons::Ok);
            SendMessageW(Control(idOptionsTabs), TCM_SETCURSEL, kEditorPageIndex, 0);
            ShowPage(kEditorPageIndex);
            SetFocus(Control(idTabSizeCombo));
            return;
        }
        End(IDOK);
    }

    TfrmSetting& FModel;
    Desktop& FDesktop;
    std::array<HWND, 3> FPages{};
};

// Search, replace and go to line

constexpr DWORD kWordBoxStyle = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
constexpr DWORD kCheckStyle = WS_TABSTOP | BS_AUTOCHECKBOX;

// The word box with the search words as its list and the match-case box, shared by the search and
// replace dialogs; the buttons that search are enabled while the word box holds text.
class SearchWordDialog : public ModalDialog {
protected:
    SearchWordDialog(TSearchWordBox& Model, std::vector<int> SearchButtons)
        : FWordBox(Model), FSearchButtons(std::move(SearchButtons)) {}

    void InitWordBox() const {
        const HWND words = Control(idSearchWord);
        for (const std::string& item : FWordBox.Items()) {
            SendMessageW(words, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(TextToWide(item).c_str()));
        }
        SetControlDocumentText(idSearchWord, FWordBox.Word());
        SetChecked(idSearchCase, FWordBox.MatchCase());
        SetChecked(idSearchRegex, FWordBox.Regex());
        UpdateSearchButtons();
    }

    // A change of the word box's text, typed or chosen from its list.
    void WordBoxCommand(int Code) const {
        if (Code == CBN_EDITCHANGE) {
            FWordBox.SetWord(ControlDocumentText(idSearchWord));
        } else if (Code == CBN_SELCHANGE) {
            const auto chosen = SendMessageW(Control(idSearchWord), CB_GETCURSEL, 0, 0);
            if (chosen >= 0 && static_cast<std::size_t>(chosen) < FWordBox.Items().size()) {
                FWordBox.SetWord(FWordBox.Items()[static_cast<std::size_t>(chosen)]);
            }
        } else {
            return;
        }
        UpdateSearchButtons();
    }

    // The boxes' state goes to the model; false while the word box is empty (Enter reaches the
    // dialog even while its buttons are disabled).
    bool StoreWordBox() const {
        FWordBox.SetWord(ControlDocumentText(idSearchWord));
        FWordBox.SetMatchCase(Checked(idSearchCase));
        FWordBox.SetRegex(Checked(idSearchRegex));
        return FWordBox.SearchEnabled();
    }

private:
    void UpdateSearchButtons() const {
        for (const int button : FSearchButtons) {
            EnableWindow(Control(button), FWordBox.SearchEnabled() ? TRUE : FALSE);
        }
    }

    TSearchWordBox& FWordBox;
    std::vector<int> FSearchButtons;
};

class SearchDialog : public SearchWordDialog {
public:
    explicit SearchDialog(TfrmSearch& Model) : SearchWordDialog(Model, {IDOK}) {}

    static DialogTemplate Template() {
        DialogTemplate result(TfrmSearch::Caption, 220, 82);
        result.Add(kStatic, idSearchWordLabel, TfrmSearch::WordLabel, kLabelStyle, {8, 10, 50, 10});
        result.Add(kComboBox, idSearchWord, "", kWordBoxStyle, {60, 8, 152, 100});
        result.Add(kButton, idSearchCase, TfrmSearch::CaseCheck, kCheckStyle, {60, 26, 152, 10});
        result.Add(kButton, idSearchRegex, TfrmSearch::RegexCheck, kCheckStyle, {60, 40, 152, 10});
        result.Add(kButton, IDOK, TfrmSearch::OkButton, kDefaultButtonStyle, {106, 60, 50, 14});
        result.Add(kButton, IDCANCEL, TfrmSearch::CancelButton, kButtonStyle, {162, 60, 50, 14});
        return result;
    }

private:
    void Init() override { InitWordBox(); }

    void Command(int Id, int Code) override {
        if (Id == idSearchWord) {
            WordBoxCommand(Code);
        } else if (Id == IDOK && StoreWordBox()) {
            End(IDOK);
        }
    }
};

class ReplaceDialog : public SearchWordDialog {
public:
    explicit ReplaceDialog(TfrmReplace& Model)
        : SearchWordDialog(Model, {IDOK, idReplaceAll}), FModel(Model) {}

    static DialogTemplate Template() {
        DialogTemplate result(TfrmReplace::Caption, 230, 116);
        result.Add(kStatic, idSearchWordLabel, TfrmReplace::WordLabel, kLabelStyle,
                   {8, 10, 52, 10});
        result.Add(kComboBox, idSearchWord, "", kWordBoxStyle, {62, 8, 160, 100});
        result.Add(kStatic, idReplaceLabel, TfrmReplace::ReplaceLabel, kLabelStyle,
                   {8, 28, 52, 10});
        result.Add(kEdit, idReplaceText, "", kEditStyle, {62, 26, 160, 12});
        result.Add(kButton, idSearchOptions, TfrmReplace::SearchGroup, BS_GROUPBOX,
                   {8, 44, 105, 42});
        result.Add(kButton, idSearchCase, TfrmReplace::CaseCheck, kCheckStyle, {14, 57, 96, 10});
        result.Add(kButton, idSearchRegex, TfrmReplace::RegexCheck, kCheckStyle, {14, 70, 96, 10});
        result.Add(kButton, idAnswerOptions, TfrmReplace::AnswerGroup, BS_GROUPBOX,
                   {117, 44, 105, 42});
        result.Add(kButton, idReplaceAnswer, TfrmReplace::AnswerCheck, kCheckStyle,
                   {123, 57, 96, 10});
        result.Add(kButton, IDOK, TfrmReplace::OkButton, kDefaultButtonStyle, {62, 94, 50, 14});
        result.Add(kButton, idReplaceAll, TfrmReplace::AllOkButton, kButtonStyle,
                   {117, 94, 50, 14});
        result.Add(kButton, IDCANCEL, TfrmReplace::CancelButton, kButtonStyle, {172, 94, 50, 14});
        return result;
    }

private:
    void Init() override {
        InitWordBox();
        SetControlDocumentText(idReplaceText, FModel.ReplaceWith());
        SetChecked(idReplaceAnswer, FModel.Answer());
    }

    void Command(int Id, int Code) override {
        if (Id == idSearchWord) {
            WordBoxCommand(Code);
        } else if (Id == IDOK || Id == idReplaceAll) {
            Accept(Id == idReplaceAll);
        }
    }

    void Accept(bool All) {
        if (!StoreWordBox()) {
            return;
        }
        FModel.SetReplaceWith(ControlDocumentText(idReplaceText));
        FModel.SetAnswer(Checked(idReplaceAnswer));
        FModel.SetReplaceAll(All);
        End(IDOK);
    }

    TfrmReplace& FModel;
};

// In tab order: the word, the folder and its "...", the file names, the subfolders and the
// search options, "検索".
class FolderSearchDialog : public SearchWordDialog {
public:
    explicit FolderSearchDialog(TfrmFolderSearch& Model)
        : SearchWordDialog(Model, {IDOK}), FModel(Model) {}

    static DialogTemplate Template() {
        DialogTemplate result(TfrmFolderSearch::Caption, 240, 124);
        result.Add(kStatic, idSearchWordLabel, TfrmFolderSearch::WordLabel, kLabelStyle,
                   {8, 10, 52, 10});
        result.Add(kComboBox, idSearchWord, "", kWordBoxStyle, {62, 8, 170, 100});
        result.Add(kStatic, idFolderLabel, TfrmFolderSearch::FolderLabel, kLabelStyle,
                   {8, 28, 52, 10});
        result.Add(kEdit, idFolderEdit, "", kEditStyle, {62, 26, 148, 12});
        result.Add(kButton, idFolderBrowse, TfrmFolderSearch::BrowseButton, kButtonStyle,
                   {214, 25, 18, 14});
        result.Add(kStatic, idFilesLabel, TfrmFolderSearch::FilesLabel, kLabelStyle,
                   {8, 46, 52, 10});
        result.Add(kEdit, idFilesEdit, "", kEditStyle, {62, 44, 170, 12});
        result.Add(kButton, idSubfolders, TfrmFolderSearch::SubfoldersCheck, kCheckStyle,
                   {62, 62, 170, 10});
        result.Add(kButton, idSearchCase, TfrmFolderSearch::CaseCheck, kCheckStyle,
                   {62, 76, 170, 10});
        result.Add(kButton, idSearchRegex, TfrmFolderSearch::RegexCheck, kCheckStyle,
                   {62, 90, 170, 10});
        result.Add(kButton, IDOK, TfrmFolderSearch::OkButton, kDefaultButtonStyle,
                   {126, 104, 50, 14});
        result.Add(kButton, IDCANCEL, TfrmFolderSearch::CancelButton, kButtonStyle,
                   {182, 104, 50, 14});
        return result;
    }

private:
    void Init() override {
        InitWordBox();
        SetControlText(idFolderEdit, FModel.Scope().Folder);
        SetControlText(idFilesEdit, FModel.Scope().FileNames);
        SetChecked(idSubfolders, FModel.Scope().Subfolders);
    }

    void Command(int Id, int Code) override {
        if (Id == idSearchWord) {
            WordBoxCommand(Code);
        } else if (Id == idFolderBrowse) {
            FModel.SetFolder(ControlText(idFolderEdit));
            FModel.BrowseFolder();
            SetControlText(idFolderEdit, FModel.Scope().Folder);
        } else if (Id == IDOK && StoreWordBox()) {
            FModel.SetFolder(ControlText(idFolderEdit));
            FModel.SetFileNames(ControlText(idFilesEdit));
            FModel.SetSubfolders(Checked(idSubfolders));
            End(IDOK);
        }
    }

    TfrmFolderSearch& FModel;
};

// The number box takes no input method, so digits are typed as they are.
class GoLineDialog : public ModalDialog {
public:
    explicit GoLineDialog(TfrmGoLine& Model) : FModel(Model) {}

    static DialogTemplate Template() {
        DialogTemplate result(TfrmGoLine::Caption, 150, 32);
        result.Add(kEdit, idGoLineNumber, "", kEditStyle, {8, 10, 80, 12});
        result.Add(kButton, IDOK, TfrmGoLine::OkButton, kDefaultButtonStyle, {94, 9, 48, 14});
        return result;
    }

private:
    void Init() override {
        ImmAssociateContext(Control(idGoLineNumber), nullptr);
        SetControlText(idGoLineNumber, FModel.LineText());
    }

    // Enter in the box is the default button's command too. A number too large raises: the
    // error is shown and the dialog stays.
    void Command(int Id, int /*Code*/) override {
        if (Id == IDOK) {
            FModel.SetLineText(ControlText(idGoLineNumber));
            FModel.Accept();
            End(IDOK);
        }
    }

    TfrmGoLine& FModel;
};

// Key assignment

class KeysDialog : public ModalDialog {
public:
    explicit KeysDialog(TfrmKeys& Model) : FModel(Model) {}

    static DialogTemplate Template() {
        DialogTemplate result(TfrmKeys::Caption, 260, 198);
        result.Add(kListBox, idKeysList, "",
                   WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_USETABSTOPS |
                       LBS_NOINTEGRALHEIGHT,
                   {8, 8, 244, 138});
        result.Add(kStatic, idKeysLabel, TfrmKeys::KeyLabel, kLabelStyle, {8, 155, 50, 10});
        result.Add(HOTKEY_CLASSW, idKeysHotKey, "", WS_BORDER | WS_TABSTOP, {58, 153, 92, 12});
        result.Add(kButton, idKeysAssign, TfrmKeys::AssignButton, kButtonStyle, {154, 152, 48, 14});
        result.Add(kButton, idKeysRemove, TfrmKeys::RemoveButton, kButtonStyle, {206, 152, 46, 14});
        result.Add(kButton, idKeysDefaults, TfrmKeys::DefaultsButton, kButtonStyle,
                   {8, 176, 64, 14});
        result.Add(kButton, IDOK, TfrmKeys::OkButton, kDefaultButtonStyle, {150, 176, 50, 14});
        result.Add(kButton, IDCANCEL, TfrmKeys::CancelButton, kButtonStyle, {204, 176, 48, 14});
        return result;
    }

private:
    // The key column starts here, in dialog units.
    static constexpr int kKeyColumn = 160;

    void Init() override {
        int tabStop = kKeyColumn;
        SendMessageW(Control(idKeysList), LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
        ShowRows();
    }

    // The list is read when a button is pressed, so that a selection made by another program
    // (without a notification) counts too.
    void Command(int Id, int Code) override {
        switch (Id) {
        case idKeysList:
            if (Code == LBN_SELCHANGE) {
                TakeSelection();
                ShowChosenKey();
            }
            break;
        case idKeysAssign:
            TakeSelection();
            if (FModel.AssignKey(HotKey())) {
                ShowRows();
            }
            break;
        case idKeysRemove:
            TakeSelection();
            FModel.RemoveKey();
            ShowRows();
            break;
        case idKeysDefaults:
            FModel.RestoreDefaults();
            ShowRows();
            break;
        case IDOK:
            End(IDOK);
            break;
        default:
            break;
        }
    }

    void TakeSelection() const {
        FModel.Select(static_cast<int>(SendMessageW(Control(idKeysList), LB_GETCURSEL, 0, 0)));
    }

    void ShowRows() const {
        const HWND list = Control(idKeysList);
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (int row = 0; row < TfrmKeys::RowCount(); ++row) {
            const std::wstring text =
                Utf8ToWide(std::string(TfrmKeys::RowCaption(row)) + '\t' + FModel.RowKey(row));
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(FModel.ItemIndex()), 0);
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
        ShowChosenKey();
    }

    // The hot-key box shows the chosen command's key.
    void ShowChosenKey() const {
        const int row = FModel.ItemIndex();
        const TShortCut key =
            row < 0 ? TShortCut{} : FModel.Bindings().KeyOf(static_cast<TCommandId>(row));
        WORD modifiers = 0;
        modifiers |= (key.Shift & ssShift) != 0 ? HOTKEYF_SHIFT : 0;
        modifiers |= (key.Shift & ssCtrl) != 0 ? HOTKEYF_CONTROL : 0;
        modifiers |= (key.Shift & ssAlt) != 0 ? HOTKEYF_ALT : 0;
        SendMessageW(Control(idKeysHotKey), HKM_SETHOTKEY, MAKEWORD(key.Key, modifiers), 0);
    }

    TShortCut HotKey() const {
        const auto value =
            static_cast<WORD>(SendMessageW(Control(idKeysHotKey), HKM_GETHOTKEY, 0, 0));
        const BYTE modifiers = HIBYTE(value);
        TShiftState shift = 0;
        shift |= (modifiers & HOTKEYF_SHIFT) != 0 ? ssShift : 0;
        shift |= (modifiers & HOTKEYF_CONTROL) != 0 ? ssCtrl : 0;
        shift |= (modifiers & HOTKEYF_ALT) != 0 ? ssAlt : 0;
        return {LOBYTE(value), shift};
    }

    TfrmKeys& FModel;
};

// Yes/Cancel question

constexpr std::string_view kYesButton = "はい(&Y)";
constexpr std::string_view kCancelButton = "キャンセル";

// Dialog units of the question's layout.
constexpr int kQuestionMargin = 8;
constexpr int kQuestionGap = 6;
constexpr int kQuestionMaxTextWidth = 280;
constexpr int kQuestionButtonWidth = 50;
constexpr int kQuestionButtonHeight = 14;

// The static control breaks lines as an edit box does, so that a long path breaks too.
constexpr UINT kQuestionTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX;

class QuestionDialog : public ModalDialog {
public:
    QuestionDialog(const std::string& Text, TMessageType Type) : FText(Text), FType(Type) {}

    // The places are set when the text has been measured.
    static DialogTemplate Template(const std::string& Caption) {
        DialogTemplate result(Caption, 0, 0);
        result.Add(kStatic, idQuestionIcon, "", SS_ICON, {0, 0, 0, 0});
        result.Add(kStatic, idQuestionText, "", kLabelStyle | SS_EDITCONTROL, {0, 0, 0, 0});
        result.Add(kButton, IDYES, kYesButton, kDefaultButtonStyle, {0, 0, 0, 0});
        result.Add(kButton, IDCANCEL, kCancelButton, kButtonStyle, {0, 0, 0, 0});
        return result;
    }

private:
    void Init() override {
        SendMessageW(Control(idQuestionIcon), STM_SETICON,
                     reinterpret_cast<WPARAM>(LoadIconW(nullptr, MessageIconOf(FType).SystemIcon)),
                     0);
        SetControlText(idQuestionText, FText);
        Arrange();
    }

    void Command(int Id, int /*Code*/) override {
        if (Id == IDYES) {
            End(IDYES);
        }
    }

    int DialogUnitsX(int Units) const { return ToPixels(Units, 0).x; }
    int DialogUnitsY(int Units) const { return ToPixels(0, Units).y; }
    POINT ToPixels(int X, int Y) const {
        RECT units{0, 0, X, Y};
        MapDialogRect(Handle(), &units);
        return {units.right, units.bottom};
    }

    SIZE TextSize() const {
        const HDC context = GetDC(Handle());
        const HGDIOBJ previous = SelectObject(
            context, reinterpret_cast<HGDIOBJ>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
        const std::wstring text = Utf8ToWide(FText);
        RECT bounds{0, 0, DialogUnitsX(kQuestionMaxTextWidth), 0};
        DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &bounds,
                  kQuestionTextFormat | DT_CALCRECT);
        SelectObject(context, previous);
        ReleaseDC(Handle(), context);
        return {bounds.right, bounds.bottom};
    }

    // The icon at the top left, the text beside it, the buttons centred below both.
    void Arrange() const {
        const int margin = DialogUnitsX(kQuestionMargin);
        const int gap = DialogUnitsX(kQuestionGap);
        const int iconSize = IconSize(Handle());
        const SIZE text = TextSize();
        const POINT button = ToPixels(kQuestionButtonWidth, kQuestionButtonHeight);
        const int textLeft = margin + iconSize + gap;
        const int contentHeight = std::max<int>(iconSize, text.cy);
        const int buttonsWidth = 2 * button.x + gap;
        const int clientWidth = std::max<int>(textLeft + text.cx, buttonsWidth) + margin;
        const int buttonTop = margin + contentHeight + DialogUnitsY(kQuestionMargin);
        const int buttonLeft = (clientWidth - buttonsWidth) / 2;

        Place(idQuestionIcon, {margin, margin, iconSize, iconSize});
        Place(idQuestionText,
              {textLeft, margin + std::max(0, (iconSize - static_cast<int>(text.cy)) / 2),
               static_cast<int>(text.cx), static_cast<int>(text.cy)});
        Place(IDYES, {buttonLeft, buttonTop, button.x, button.y});
        Place(IDCANCEL, {buttonLeft + button.x + gap, buttonTop, button.x, button.y});

        RECT frame{0, 0, clientWidth, buttonTop + button.y + margin};
        AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)),
                                 FALSE,
                                 static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)),
                                 GetDpiForWindow(Handle()));
        SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    struct TPixelRect {
        int X;
        int Y;
        int Width;
        int Height;
    };

    void Place(int Id, TPixelRect Bounds) const {
        SetWindowPos(Control(Id), nullptr, Bounds.X, Bounds.Y, Bounds.Width, Bounds.Height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    const std::string& FText;
    TMessageType FType;
};

} // namespace

void ShowAboutBox(HWND Owner, const TAboutBox& About) {
    AboutDialog dialog;
    dialog.Run(Owner, AboutDialog::Template(About));
}

bool ShowOptionsDialog(HWND Owner, TfrmSetting& Dialog, Desktop& Desk) {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    OptionsDialog options(Dialog, Desk);
    return options.Run(Owner, OptionsDialog::Template()) == IDOK;
}

bool ShowKeysDialog(HWND Owner, TfrmKeys& Dialog) {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&classes);
    KeysDialog keys(Dialog);
    return keys.Run(Owner, KeysDialog::Template()) == IDOK;
}

bool ShowSearchDialog(HWND Owner, TfrmSearch& Dialog) {
    SearchDialog search(Dialog);
    return search.Run(Owner, SearchDialog::Template()) == IDOK;
}

bool ShowReplaceDialog(HWND Owner, TfrmReplace& Dialog) {
    ReplaceDialog replace(Dialog);
    return replace.Run(Owner, ReplaceDialog::Template()) == IDOK;
}

bool ShowGoLineDialog(HWND Owner, TfrmGoLine& Dialog) {
    GoLineDialog goLine(Dialog);
    return goLine.Run(Owner, GoLineDialog::Template()) == IDOK;
}

bool ShowFolderSearchDialog(HWND Owner, TfrmFolderSearch& Dialog) {
    FolderSearchDialog folderSearch(Dialog);
    return folderSearch.Run(Owner, FolderSearchDialog::Template()) == IDOK;
}

TMessageAnswer YesCancelBox(HWND Owner, const std::string& Text, const std::string& Caption,
                            TMessageType Type) {
    QuestionDialog question(Text, Type);
    return question.Run(Owner, QuestionDialog::Template(Caption)) == IDYES ? TMessageAnswer::Yes
                                                                           : TMessageAnswer::Cancel;
}

} // namespace kst::win32
