// kestrane-format: the editor's automatic formatting as a command-line program, for build checks
// and editors' save hooks. Files are read and saved as the editor reads and saves them (CP932
// bytes as they are, UTF-16 LE and UTF-8 with a mark decoded and written back in their encoding;
// CR LF, lone CR and lone LF end lines; written safely, with CR LF). A file with characters that
// CP932 lacks is refused.
//
//   kestrane-format [--check [--diff] | --syntax [--warnings | --fail-on-warnings]]
//                   [--indent tab|N] [FILE | FOLDER | -]...
//
// Files are formatted in place; a folder stands for every .vbs file below it; "-", or no file at
// all, formats standard input to standard output. Each file is indented in the unit its
// .editorconfig gives, else in its own; --indent gives one for all. A file already formatted is
// not written. --check changes nothing and lists the files that formatting would change; with
// --diff it shows their changes as "diff -u" shows them instead. --syntax changes nothing and
// lists the problems of the scripts' statements and block structure as "PATH(LINE,COL): MESSAGE",
// the form build tools and editors read; --warnings (which implies --syntax) adds the warnings of
// names after each file's problems as "PATH(LINE,COL): 警告: MESSAGE". Warnings alone fail the run
// only under --fail-on-warnings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kst {

// The program's standard streams. Scripts travel as bytes; messages are UTF-8 text.
class FormatConsole {
public:
    FormatConsole() = default;
    FormatConsole(const FormatConsole&) = delete;
    FormatConsole& operator=(const FormatConsole&) = delete;
    virtual ~FormatConsole() = default;

    // All of standard input. Raises EFileError when it cannot be read.
    virtual std::string ReadInput() = 0;
    // A script to standard output. Raises EFileError when it cannot be written.
    virtual void WriteOutput(std::string_view Bytes) = 0;
    // A line of text to standard output, and to standard error.
    virtual void PrintLine(std::string_view Text) = 0;
    virtual void PrintErrorLine(std::string_view Text) = 0;
};

// Exit statuses.
enum TFormatStatus : int {
    fsDone = 0,
    // --check found scripts that formatting would change, --syntax found problems, or
    // --fail-on-warnings warnings.
    fsFound = 1,
    // A bad option, or a file or folder that could not be read or written.
    fsError = 2
};

// Runs the program with Arguments (UTF-8, after the program's name).
TFormatStatus RunFormatCli(const std::vector<std::string>& Arguments, FormatConsole& Console);

} // namespace kst
