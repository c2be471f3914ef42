// kestrane-format's standard streams over the C library's: scripts in and out as bytes, messages
// as UTF-8 lines.
#pragma once

#include "script/format_cli.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace kst {

class StandardFormatConsole : public FormatConsole {
public:
    // Messages end with LineEnd.
    explicit StandardFormatConsole(std::string_view LineEnd = "\n") : FLineEnd(LineEnd) {}

    std::string ReadInput() override;
    void WriteOutput(std::string_view Bytes) override;
    void PrintLine(std::string_view Text) override;
    void PrintErrorLine(std::string_view Text) override;

protected:
    // Writes Bytes to Stream; answers whether that worked.
    static bool WriteTo(std::FILE* Stream, std::string_view Bytes);

private:
    std::string FLineEnd;
};

} // namespace kst
