// A console program's output as the results list shows it: the bytes split into lines as they
// arrive, each line decoded with its invalid bytes shown, the error lines that jump to their place
// in the edited file, and the entry of the exit code.
#pragma once

#include "tools/go_line.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// The characters an entry keeps of a longer line; wider than any screen.
inline constexpr std::size_t kConsoleEntryMaxCharacters = 1024;
// The bytes kept of a line, enough for kConsoleEntryMaxCharacters characters of up to four
// bytes each.
inline constexpr std::size_t kOutputLineMaxBytes = 4 * kConsoleEntryMaxCharacters;

// Splits output that arrives in chunks into lines. CR LF, a lone LF and a lone CR each end a
// line, also when a CR LF pair is split between two chunks. A line is kept up to
// kOutputLineMaxBytes; the rest of a longer one is dropped, and it still makes one line.
class OutputLineSplitter {
public:
    // Appends the lines that Chunk completes to Lines.
    void Add(std::string_view Chunk, std::vector<std::string>& Lines);
    // The output has ended: a last line without a line break is appended.
    void Finish(std::vector<std::string>& Lines);

private:
    std::string FLine;
    bool FLineStarted = false;
    // The last byte was a CR: a LF that follows belongs to it.
    bool FAfterCr = false;
};

// Decoding in a code page to UTF-8; none when a byte is not valid there.
using TStrictDecoder = std::function<std::optional<std::string>(std::string_view Bytes)>;

// Bytes decoded by Decode; a byte that starts no valid character of up to four bytes is shown as
// "\xNN" (hexadecimal) and decoding goes on after it.
std::string DecodeShowingInvalid(std::string_view Bytes, const TStrictDecoder& Decode);

// A decoded line (UTF-8) as the list shows it: tabs as two spaces, a NUL as "\x00", cut after
// kConsoleEntryMaxCharacters characters.
std::string ConsoleEntryText(std::string_view Line);

// The place an error line names: a line "PATH(LINE, COL) TEXT" whose PATH NamesFile accepts, with
// LINE from 1. None for any other line.
std::optional<TTextPlace> ErrorLinePlace(std::string_view Line,
                                         const std::function<bool(std::string_view)>& NamesFile);

// The list's last entry after a run: "> 終了コード N", N the exit code as a signed number, as the
// command prompt shows it.
std::string ExitCodeEntry(std::uint32_t ExitCode);

} // namespace kst
