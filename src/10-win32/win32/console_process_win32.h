// A console program started with an empty standard input and its standard output and standard
// error in one overlapped named pipe, which can be waited for together with the process and the
// message queue, in a job object with every process it starts.
#pragma once

#include "platform/desktop.h"

#include <string>

namespace kst::win32 {

// Starts CommandLine as StartProcessToWait starts a program, without a console window.
TStartedConsole StartConsoleProgram(const std::string& CommandLine);

} // namespace kst::win32
