// The problems of the script an editor shows, kept current while it is edited: each edit is
// noted at once (its lines), and read half a second after the last one, in steps of a bounded
// size, as the whole text is after it was loaded. Painting and the status bar ask it; they only
// read, and see what was read last.
#pragma once

#include "lists/string_list.h"
#include "tools/live_problems.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kst {

class TEditor;
class TEditorScreenStrings;

// The document lines of a row store as the script reader takes them: a row's own text where
// the line is one row, else the line's rows joined (valid until the next line is asked for).
class RowStoreLines final : public ScriptLines {
public:
    explicit RowStoreLines(const TEditorScreenStrings& Rows) : FRows(Rows) {}
    std::size_t Count() const override;
    std::string_view Line(std::size_t Index) const override;

private:
    const TEditorScreenStrings& FRows;
    mutable std::string FJoined;
};

class EditorProblems {
public:
    static constexpr std::uint64_t kPauseMilliseconds = 500;
    // Bytes of lines a step reads: a few milliseconds.
    static constexpr std::size_t kStepBytes = 1 << 20;

    explicit EditorProblems(TEditor& Editor) : FEditor(Editor) {}

    // A script has its problems read and shown; any other text none.
    void SetEnabled(bool Enabled);
    // The editor's text changed by its last edit, at Now (TickCount).
    void Edited(std::uint64_t Now);
    // Reads a step if one is due at Now; answers whether what is shown changed.
    bool Step(std::uint64_t Now);
    // Whether a step is due now (more to read and the pause over).
    bool StepDue(std::uint64_t Now) const;
    // Milliseconds until a step falls due; none when nothing waits.
    std::optional<int> WakeDelay(std::uint64_t Now) const;

    // The problems of the document line holding Row, in the order found.
    std::vector<TScriptProblem> ProblemsOfRow(int Row) const;
    // Whether the row starting a document line has problems on that line.
    bool LineStartHasProblem(int Row) const;
    // The text of the first problem found on the caret's line; empty when it has none.
    std::string CaretProblemText() const;

private:
    TEditorScreenStrings& Rows() const;
    void Restart(std::uint64_t Now);

    TEditor& FEditor;
    bool FEnabled = false;
    TLiveProblems FProblems;
    // The text as the problems were last told of it; another one was changed without an edit
    // (loaded, wrapped again) and is read anew.
    TTextVersion FVersion;
    bool FTold = false;
    std::uint64_t FDue = 0;
};

} // namespace kst
