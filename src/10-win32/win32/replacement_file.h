// The last step of the safe write on Windows, with the system's replace call as a parameter, so
// that each of its answers can be tried.
#pragma once

#include "platform/files_os.h"

#include <functional>
#include <memory>
#include <string>

namespace kst::win32 {

// Puts Replacement in Target's place, keeping Target's attributes, security and creation time;
// answers the system's error code, 0 on success.
using TReplaceCall =
    std::function<unsigned long(const std::wstring& Target, const std::wstring& Replacement)>;

// ReplaceFileW.
unsigned long SystemReplace(const std::wstring& Target, const std::wstring& Replacement);

// A temporary file beside TargetPath that Replace puts in the target's place. When Replace has
// taken the target away but left the replacement under its own name, the replacement is moved into
// place; when that fails too, it stays on the disk and the error names it, since it is then the
// only copy of either version.
std::unique_ptr<files_os::ReplacementFile> CreateReplacementFile(const std::string& TargetPath,
                                                                 TReplaceCall Replace);

} // namespace kst::win32
