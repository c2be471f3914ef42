// The system's VBScript engine through the Active Scripting interfaces, on a thread of its own:
// the engine is given a script site and the script's text, and it is closed again without ever
// being started or connected, so that it compiles the script and runs none of it.
#pragma once

#include "platform/script_engine.h"
#include "win32/windows_api.h"

#include <memory>
#include <string_view>

namespace kst::win32 {

// Compiles Script (UTF-16) with a new engine on the calling thread, which must have entered a
// COM apartment.
TEngineVerdict CompileWithSystemEngine(std::wstring_view Script);

class Win32ScriptEngine final : public ScriptEngine {
public:
    Win32ScriptEngine() = default;
    // A compile under way goes on to its end on its thread, and its verdict is dropped.
    ~Win32ScriptEngine() override;

    void Compile(std::string Script, TVerdictHandler Done) override;

    struct TShared;

private:
    static LRESULT CALLBACK VerdictWindowProc(HWND Window, UINT Message, WPARAM WParam,
                                              LPARAM LParam);
    void StartWorker();
    void HandOverVerdict();

    std::shared_ptr<TShared> FShared;
    // The message-only window that the worker's verdicts are posted to.
    HWND FWindow = nullptr;
    TVerdictHandler FDone;
};

} // namespace kst::win32
