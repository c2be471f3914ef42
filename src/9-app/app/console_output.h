// A console run's output on its way into the results list: the chunks read from the pipe are
// split into lines and decoded from the console's code page, an error line that names the edited
// file jumps to its place, and the run's end adds the exit code. The lines wait in the results
// feed, which shows them in steps.
#pragma once

#include "tools/console_output.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// The most lines of output that wait to be shown before reading stops: the list's next step
// shows them all.
inline constexpr std::size_t kMaxConsoleLinesWaiting = 10'000;

class Desktop;
class ResultsFeed;
struct TResultEntry;

class ConsoleOutput {
public:
    // Adds to the list that Results shows now; once another list replaces it, the output is
    // read and dropped.
    ConsoleOutput(Desktop& Desk, ResultsFeed& Results, std::string EditedFile);

    // Whether more output may be read now: not while many lines wait to be shown, so that a
    // program that writes faster than the list takes them waits on its full pipe.
    bool HasRoom() const;
    void Add(std::string_view Chunk);
    // The output has ended: its last line without a line break, then the exit code.
    void Finish(std::uint32_t ExitCode);

private:
    void Hand(std::vector<std::string> Lines);
    TResultEntry EntryOf(std::string_view Line);
    bool NamesEditedFile(std::string_view Path);

    Desktop& FDesktop;
    ResultsFeed& FResults;
    std::uint64_t FListNumber;
    std::string FEditedFile;
    OutputLineSplitter FSplitter;
    // The path last compared with the edited file and the answer: error lines repeat their path,
    // and the system's comparison asks the file system.
    std::string FComparedPath;
    bool FComparedPathNamesFile = false;
};

} // namespace kst
