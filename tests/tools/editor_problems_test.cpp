// The editor's kept problems follow its rows as edits move them: typing, splitting and joining
// lines, pasting several, deleting all and undoing, with word wrap off and on, each read after
// its pause give the problems of reading the text afresh.
#include "input/editor.h"
#include "support/recording_host.h"
#include "tools/editor_lines.h"
#include "tools/editor_problems.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace kst {
namespace {

struct TEdit {
    int Start;
    int Length;
    const char* Text;
};

const TEdit kUndo{-1, 0, nullptr};

// Every problem, line by line from the first row of each.
std::vector<TScriptProblem> Shown(TEditor& Editor, const EditorProblems& Problems) {
    std::vector<TScriptProblem> shown;
    const TEditorScreenStrings& rows = Editor.ScreenStrings();
    for (int row = 0; row < rows.GetCount(); ++row) {
        if (rows.LineStartRow(row) == row) {
            std::vector<TScriptProblem> line = Problems.ProblemsOfRow(row);
            std::ranges::stable_sort(line, {}, &TScriptProblem::Column);
            shown.insert(shown.end(), line.begin(), line.end());
        }
    }
    return shown;
}

TEST(EditorProblems, EditsOfTheRowsGiveTheProblemsOfAFreshReading) {
    const std::vector<TEdit> edits = {
        {33, 0, "x"},                         // inside "If a Then"
        {43, 0, "\r\n"},                      // a line split
        {27, 2, ""},                          // the Sub's line joined with the If
        {0, 0, "If b Then\r\nFor i = 1\r\n"}, // lines pasted
        kUndo,
        {48, 6, "End Sub _"}, // a continuation into the next line
        {0, 200, ""},         // everything deleted
        kUndo,
    };
    for (const bool wrap : {false, true}) {
        RecordingHost host{{400, 300}};
        const std::unique_ptr<TEditor> editor = CreateComponent<TEditor>(nullptr);
        editor->SetHost(&host);
        editor->GetWrapOption().SetWrapByte(20);
        editor->SetWordWrap(wrap);
        editor->GetLines().SetTextStr(
            "Sub s(first, second, third)\r\nIf a Then\r\nx = (1\r\nEnd If\r\nEnd Sub\r\n");
        EditorProblems problems(*editor);
        editor->OnChange = [&problems](TEditor&) { problems.Edited(0); };
        problems.SetEnabled(true);
        std::uint64_t now = 0;
        for (const TEdit& edit : edits) {
            if (edit.Text == nullptr) {
                editor->Undo();
            } else {
                editor->SetSelStart(edit.Start);
                editor->SetSelLength(edit.Length);
                editor->SetSelText(edit.Text);
            }
            now += EditorProblems::kPauseMilliseconds;
            while (problems.StepDue(now)) {
                problems.Step(now);
            }
            const EditorLines lines(*editor);
            EXPECT_EQ(Shown(*editor, problems), ParseScript(lines.Lines()).Problems)
                << (wrap ? "wrapped, " : "") << "after " << (edit.Text ? edit.Text : "undo")
                << " at " << edit.Start << ":\n"
                << editor->GetLines().GetTextStr();
        }
    }
}

} // namespace
} // namespace kst
