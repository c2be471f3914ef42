// kestrane-format where command lines and file names are UTF-8 bytes.
#include "script/format_console.h"

#include <string>
#include <vector>

int main(int ArgumentCount, char** Arguments) {
    kst::StandardFormatConsole console;
    return kst::RunFormatCli(std::vector<std::string>(Arguments + 1, Arguments + ArgumentCount),
                             console);
}
