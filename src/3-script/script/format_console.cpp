#include "script/format_console.h"

#include "core/errors.h"

#include <array>

namespace kst {

std::string StandardFormatConsole::ReadInput() {
    std::string input;
    std::array<char, 64 * 1024> buffer;
    while (const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), stdin)) {
        input.append(buffer.data(), count);
    }
    if (std::ferror(stdin) != 0) {
        throw EFileError("標準入力を読み込めません。");
    }
    return input;
}

bool StandardFormatConsole::WriteTo(std::FILE* Stream, std::string_view Bytes) {
    return std::fwrite(Bytes.data(), 1, Bytes.size(), Stream) == Bytes.size() &&
           std::fflush(Stream) == 0;
}

void StandardFormatConsole::WriteOutput(std::string_view Bytes) {
    if (!WriteTo(stdout, Bytes)) {
        throw EFileError("標準出力に書き込めません。");
    }
}

void StandardFormatConsole::PrintLine(std::string_view Text) {
    StandardFormatConsole::WriteOutput(std::string(Text) + FLineEnd);
}

// Nothing is left to tell about a failure to write to standard error.
void StandardFormatConsole::PrintErrorLine(std::string_view Text) {
    WriteTo(stderr, std::string(Text) + FLineEnd);
}

} // namespace kst
