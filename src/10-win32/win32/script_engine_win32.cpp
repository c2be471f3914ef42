#include "win32/script_engine_win32.h"

#include "win32/utf.h"

#include <activscp.h>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <wrl/client.h>

namespace kst::win32 {

using Microsoft::WRL::ComPtr;

namespace {

constexpr UINT kVerdictArrived = WM_APP + 1;
constexpr wchar_t kVerdictWindowClass[] = L"KestraneScriptEngineVerdicts";
// Room for the engine's recursion on deeply nested scripts; only reserved, not committed.
constexpr SIZE_T kWorkerStackReserve = 256 << 20;

// The site the engine reports to: it offers no named items (the script's objects are looked up
// only when it runs) and keeps the first compile error.
class ErrorSite final : public IActiveScriptSite {
public:
    const std::optional<TEngineVerdict>& Error() const { return FError; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Object) override {
        if (Id == __uuidof(IUnknown) || Id == __uuidof(IActiveScriptSite)) {
            *Object = static_cast<IActiveScriptSite*>(this);
            return S_OK;
        }
        *Object = nullptr;
        return E_NOINTERFACE;
    }
    // The site lives on the stack of the compile, longer than the engine that refers to it.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR, DWORD, IUnknown** Item,
                                          ITypeInfo** Type) override {
        if (Item != nullptr) {
            *Item = nullptr;
        }
        if (Type != nullptr) {
            *Type = nullptr;
        }
        return TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* Error) override {
        if (!FError) {
            FError = VerdictOf(*Error);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

private:
    static TEngineVerdict VerdictOf(IActiveScriptError& Error) {
        TEngineVerdict verdict;
        verdict.Outcome = TEngineVerdict::evError;
        DWORD context = 0;
        ULONG line = 0;
        LONG column = 0;
        if (SUCCEEDED(Error.GetSourcePosition(&context, &line, &column))) {
            verdict.Place = TEnginePlace{.Line = static_cast<int>(line),
                                         .Column = static_cast<int>(std::max(column, LONG{0}))};
        }
        EXCEPINFO exception{};
        if (SUCCEEDED(Error.GetExceptionInfo(&exception))) {
            if (exception.pfnDeferredFillIn != nullptr) {
                exception.pfnDeferredFillIn(&exception);
            }
            if (exception.bstrDescription != nullptr) {
                verdict.Description = WideToUtf8(exception.bstrDescription);
            }
            SysFreeString(exception.bstrSource);
            SysFreeString(exception.bstrDescription);
            SysFreeString(exception.bstrHelpFile);
        }
        return verdict;
    }

    std::optional<TEngineVerdict> FError;
};

} // namespace

TEngineVerdict CompileWithSystemEngine(std::wstring_view Script) {
    ErrorSite site;
    CLSID engineClass{};
    ComPtr<IActiveScript> engine;
    ComPtr<IActiveScriptParse> parser;
    if (FAILED(CLSIDFromProgID(L"VBScript", &engineClass)) ||
        FAILED(CoCreateInstance(engineClass, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(engine.GetAddressOf()))) ||
        FAILED(engine.As(&parser)) || FAILED(engine->SetScriptSite(&site)) ||
        FAILED(parser->InitNew())) {
        return {};
    }
    // Left in the initialised state, the engine compiles the text and keeps it for a start that
    // never comes.
    const std::wstring text(Script);
    const HRESULT parsed =
        parser->ParseScriptText(text.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr);
    engine->Close();
    if (site.Error()) {
        return *site.Error();
    }
    TEngineVerdict verdict;
    verdict.Outcome = SUCCEEDED(parsed) ? TEngineVerdict::evCompiled : TEngineVerdict::evError;
    return verdict;
}

struct Win32ScriptEngine::TShared {
    std::mutex Lock;
    std::condition_variable Wake;
    // The newest script not yet taken by the worker, and the number of the call that gave it.
    std::optional<std::string> Pending;
    std::uint64_t CallNumber = 0;
    // The verdict on the script of call VerdictNumber.
    std::optional<TEngineVerdict> Verdict;
    std::uint64_t VerdictNumber = 0;
    // None once the engine object is gone: the worker then ends.
    HWND Window = nullptr;
};

namespace {

DWORD WINAPI RunWorker(void* Parameter) {
    const std::unique_ptr<std::shared_ptr<Win32ScriptEngine::TShared>> owner(
        static_cast<std::shared_ptr<Win32ScriptEngine::TShared>*>(Parameter));
    Win32ScriptEngine::TShared& shared = **owner;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::unique_lock lock(shared.Lock);
    for (;;) {
        shared.Wake.wait(lock, [&shared] { return shared.Pending || shared.Window == nullptr; });
        if (shared.Window == nullptr) {
            break;
        }
        const std::string script = std::move(*shared.Pending);
        shared.Pending.reset();
        const std::uint64_t number = shared.CallNumber;
        lock.unlock();
        TEngineVerdict verdict = CompileWithSystemEngine(TextToWide(script));
        lock.lock();
        if (number == shared.CallNumber && shared.Window != nullptr) {
            shared.Verdict = std::move(verdict);
            shared.VerdictNumber = number;
            PostMessageW(shared.Window, kVerdictArrived, 0, 0);
        }
    }
    lock.unlock();
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return 0;
}

void RegisterVerdictWindowClass(WNDPROC Procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kVerdictWindowClass;
    RegisterClassExW(&windowClass);
}

} // namespace

Win32ScriptEngine::~Win32ScriptEngine() {
    if (!FShared) {
        return;
    }
    {
        const std::scoped_lock lock(FShared->Lock);
        FShared->Window = nullptr;
        FShared->Pending.reset();
    }
    FShared->Wake.notify_one();
    DestroyWindow(FWindow);
}

void Win32ScriptEngine::Compile(std::string Script, TVerdictHandler Done) {
    FDone = std::move(Done);
    if (!FShared) {
        StartWorker();
    }
    if (!FShared) {
        FDone(TEngineVerdict{});
        return;
    }
    {
        const std::scoped_lock lock(FShared->Lock);
        FShared->Pending = std::move(Script);
        ++FShared->CallNumber;
        FShared->Verdict.reset();
    }
    FShared->Wake.notify_one();
}

void Win32ScriptEngine::StartWorker() {
    RegisterVerdictWindowClass(&VerdictWindowProc);
    FWindow = CreateWindowExW(0, kVerdictWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (FWindow == nullptr) {
        return;
    }
    SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    auto shared = std::make_shared<TShared>();
    shared->Window = FWindow;
    auto* handed = new std::shared_ptr<TShared>(shared);
    const HANDLE thread = CreateThread(nullptr, kWorkerStackReserve, &RunWorker, handed,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) {
        delete handed;
        DestroyWindow(FWindow);
        FWindow = nullptr;
        return;
    }
    CloseHandle(thread);
    FShared = std::move(shared);
}

void Win32ScriptEngine::HandOverVerdict() {
    std::optional<TEngineVerdict> verdict;
    {
        const std::scoped_lock lock(FShared->Lock);
        if (FShared->VerdictNumber == FShared->CallNumber) {
            verdict = std::move(FShared->Verdict);
            FShared->Verdict.reset();
        }
    }
    if (verdict && FDone) {
        FDone(*verdict);
    }
}

LRESULT CALLBACK Win32ScriptEngine::VerdictWindowProc(HWND Window, UINT Message, WPARAM WParam,
                                                      LPARAM LParam) {
    if (Message == kVerdictArrived) {
        if (auto* engine =
                reinterpret_cast<Win32ScriptEngine*>(GetWindowLongPtrW(Window, GWLP_USERDATA))) {
            engine->HandOverVerdict();
        }
        return 0;
    }
    return DefWindowProcW(Window, Message, WParam, LParam);
}

} // namespace kst::win32
