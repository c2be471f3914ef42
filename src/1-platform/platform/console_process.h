// A console program that the main window runs and waits for while it keeps working: its
// standard output and standard error arrive through one pipe, read in chunks, and it runs in a
// job with every process it starts, so that it can be ended with all of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kst {

class ConsoleProcess {
public:
    ConsoleProcess() = default;
    ConsoleProcess(const ConsoleProcess&) = delete;
    ConsoleProcess& operator=(const ConsoleProcess&) = delete;
    // Releases the handles. Once HasEnded has answered true, the processes the program started
    // run on; before, the program ends with all it started, as it does when this process ends
    // or is ended during the run.
    virtual ~ConsoleProcess() = default;

    // Blocks until the program has ended, output waits to be read, a message has arrived for this
    // program (one already in the queue counts) or Milliseconds have passed (none: no limit).
    virtual void Wait(std::optional<int> Milliseconds) = 0;
    // Whether the program has ended (the processes it started may run on).
    virtual bool HasEnded() = 0;
    // The output that has arrived, at most one chunk, without waiting; empty when none has. Once
    // HasEnded has answered true it answers what the pipe held at that moment, chunk by chunk,
    // and then nothing: a process the program started may keep the pipe open.
    virtual std::string ReadOutput() = 0;
    // Ends the program and every process it started, with this exit code.
    virtual void Terminate(std::uint32_t ExitCode) = 0;
    // The program's exit code once it has ended.
    virtual std::uint32_t ExitCode() = 0;
};

} // namespace kst
