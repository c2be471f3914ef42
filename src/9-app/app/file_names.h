// File-name pieces the main window works with: folders, extensions, the file kind, and the
// paths of the program's "Env" folder. Paths are UTF-8 and may use "\" or "/".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kst {

class Desktop;

// What the edited file is: a script, a text, or anything else (also a new file).
enum TFileKind : std::uint8_t { fkVbs, fkText, fkOther };

// Text with the ASCII letters in lower case; other bytes stay.
std::string AsciiLowerCase(std::string_view Text);
// Orders names as AsciiLowerCase gives them; other scripts' characters sort after ASCII.
bool LessIgnoringCase(const std::string& A, const std::string& B);

// By the extension, in any letter case.
TFileKind FileKindOf(std::string_view FileName);

// The folder part with its trailing separator ("C:\a\" for "C:\a\b.vbs"); empty without one.
std::string ExtractFilePath(std::string_view FileName);
// The folder part without a trailing separator, except for a drive's root ("C:\").
std::string ExtractFileDir(std::string_view FileName);
// From the last "." of the name part on (".vbs"); empty without one.
std::string ExtractFileExt(std::string_view FileName);

// Text in double quotes, as a command line takes a path.
std::string Quoted(std::string_view Text);

// The program's folder, ending with a separator.
std::string ProgramFolder(Desktop& Desk);
// The "Env" folder beside the program, and FileName in it.
std::string EnvFolder(Desktop& Desk);
std::string EnvFilePath(Desktop& Desk, std::string_view FileName);
// Name inside Folder (given with or without a final separator), with the separator Folder uses.
std::string PathInFolder(std::string_view Folder, std::string_view Name);

} // namespace kst
