// kestrane-format on Windows. The command line arrives as UTF-16 and goes on as UTF-8. Scripts pass
// through standard input and output as bytes, untranslated; what goes to a console window is
// written to it as Unicode, so that names and messages show whatever the console's code page.
#include "script/format_console.h"
#include "win32/utf.h"
#include "win32/windows_api.h"

#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

namespace {

using namespace kst;

// Writes Text to the console behind a standard handle; false when the handle is no console (a
// file or a pipe, which take bytes) or the console refused it.
bool WroteToConsole(DWORD StandardHandle, const std::wstring& Text) {
    const HANDLE handle = GetStdHandle(StandardHandle);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode) == FALSE) {
        return false;
    }
    DWORD written = 0;
    return WriteConsoleW(handle, Text.data(), static_cast<DWORD>(Text.size()), &written, nullptr) !=
           FALSE;
}

class Win32FormatConsole : public StandardFormatConsole {
public:
    Win32FormatConsole() : StandardFormatConsole("\r\n") {
        _setmode(_fileno(stdin), _O_BINARY);
        _setmode(_fileno(stdout), _O_BINARY);
        _setmode(_fileno(stderr), _O_BINARY);
    }

    void WriteOutput(std::string_view Bytes) override {
        if (!WroteToConsole(STD_OUTPUT_HANDLE, win32::TextToWide(Bytes))) {
            StandardFormatConsole::WriteOutput(Bytes);
        }
    }
    void PrintLine(std::string_view Text) override {
        if (!WroteToConsole(STD_OUTPUT_HANDLE, win32::Utf8ToWide(Text) + L"\r\n")) {
            StandardFormatConsole::PrintLine(Text);
        }
    }
    void PrintErrorLine(std::string_view Text) override {
        if (!WroteToConsole(STD_ERROR_HANDLE, win32::Utf8ToWide(Text) + L"\r\n")) {
            StandardFormatConsole::PrintErrorLine(Text);
        }
    }
};

} // namespace

int wmain(int ArgumentCount, wchar_t** Arguments) {
    std::vector<std::string> arguments;
    for (int index = 1; index < ArgumentCount; ++index) {
        arguments.push_back(win32::WideToUtf8(Arguments[index]));
    }
    Win32FormatConsole console;
    return RunFormatCli(arguments, console);
}
