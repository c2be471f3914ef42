#include "app/console_output.h"

#include "app/results_feed.h"
#include "platform/desktop.h"

namespace kst {

ConsoleOutput::ConsoleOutput(Desktop& Desk, ResultsFeed& Results, std::string EditedFile)
    : FDesktop(Desk), FResults(Results), FListNumber(Results.ListNumber()),
      FEditedFile(std::move(EditedFile)) {}

bool ConsoleOutput::HasRoom() const {
    return FResults.Waiting() < kMaxConsoleLinesWaiting;
}

void ConsoleOutput::Add(std::string_view Chunk) {
    std::vector<std::string> lines;
    FSplitter.Add(Chunk, lines);
    Hand(std::move(lines));
}

void ConsoleOutput::Finish(std::uint32_t ExitCode) {
    std::vector<std::string> lines;
    FSplitter.Finish(lines);
    Hand(std::move(lines));
    if (FResults.ListNumber() == FListNumber) {
        FResults.Append({{ExitCodeEntry(ExitCode), {}}});
    }
}

void ConsoleOutput::Hand(std::vector<std::string> Lines) {
    if (Lines.empty() || FResults.ListNumber() != FListNumber) {
        return;
    }
    std::vector<TResultEntry> entries;
    entries.reserve(Lines.size());
    for (const std::string& line : Lines) {
        entries.push_back(EntryOf(line));
    }
    FResults.Append(std::move(entries));
}

TResultEntry ConsoleOutput::EntryOf(std::string_view Line) {
    const std::string text = DecodeShowingInvalid(
        Line, [this](std::string_view Bytes) { return FDesktop.ConsoleTextToUtf8(Bytes); });
    const std::optional<TTextPlace> place =
        ErrorLinePlace(text, [this](std::string_view Path) { return NamesEditedFile(Path); });
    return {ConsoleEntryText(text), place.value_or(TTextPlace{})};
}

bool ConsoleOutput::NamesEditedFile(std::string_view Path) {
    if (Path != FComparedPath) {
        FComparedPath = Path;
        FComparedPathNamesFile = FDesktop.SameFileName(FComparedPath, FEditedFile);
    }
    return FComparedPathNamesFile;
}

} // namespace kst
