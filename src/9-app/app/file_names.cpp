#include "app/file_names.h"

#include "platform/desktop.h"

namespace kst {

namespace {

constexpr std::string_view kSeparators = "\\/:";

// The separator the folder uses, so that Env paths match the program's own path: its last one.
char SeparatorOf(std::string_view Folder) {
    const std::size_t last = Folder.find_last_of("\\/");
    return last != std::string_view::npos && Folder[last] == '/' ? '/' : '\\';
}

} // namespace

std::string AsciiLowerCase(std::string_view Text) {
    std::string lower(Text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

TFileKind FileKindOf(std::string_view FileName) {
    const std::string extension = AsciiLowerCase(ExtractFileExt(FileName));
    if (extension == ".vbs") {
        return fkVbs;
    }
    return extension == ".txt" ? fkText : fkOther;
}

std::string ExtractFilePath(std::string_view FileName) {
    const std::size_t last = FileName.find_last_of(kSeparators);
    return last == std::string_view::npos ? std::string()
                                          : std::string(FileName.substr(0, last + 1));
}

std::string ExtractFileDir(std::string_view FileName) {
    std::string folder = ExtractFilePath(FileName);
    // A root ("\", "C:\", "C:") keeps its separator.
    const bool isRoot = folder.size() < 2 || folder.back() == ':' ||
                        kSeparators.find(folder[folder.size() - 2]) != std::string_view::npos;
    if (!isRoot) {
        folder.pop_back();
    }
    return folder;
}

std::string ExtractFileExt(std::string_view FileName) {
    const std::size_t dot = FileName.find_last_of(std::string(kSeparators) + ".");
    if (dot == std::string_view::npos || FileName[dot] != '.') {
        return {};
    }
    return std::string(FileName.substr(dot));
}

// Strings compare their bytes as unsigned values, so other scripts' characters sort after ASCII.
bool LessIgnoringCase(const std::string& A, const std::string& B) {
    return AsciiLowerCase(A) < AsciiLowerCase(B);
}

std::string Quoted(std::string_view Text) {
    std::string quoted;
    quoted.reserve(Text.size() + 2);
    quoted.append(1, '"').append(Text).append(1, '"');
    return quoted;
}

std::string ProgramFolder(Desktop& Desk) {
    return ExtractFilePath(Desk.ProgramPath());
}

std::string EnvFolder(Desktop& Desk) {
    return ProgramFolder(Desk) + "Env";
}

std::string EnvFilePath(Desktop& Desk, std::string_view FileName) {
    const std::string folder = ProgramFolder(Desk);
    return EnvFolder(Desk) + SeparatorOf(folder) + std::string(FileName);
}

std::string PathInFolder(std::string_view Folder, std::string_view Name) {
    if (Folder.ends_with('\\') || Folder.ends_with('/')) {
        return std::string(Folder) + std::string(Name);
    }
    return std::string(Folder) + SeparatorOf(Folder) + std::string(Name);
}

} // namespace kst
