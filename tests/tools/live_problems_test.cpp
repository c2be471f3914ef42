// Random edits read through the kept problems give exactly the problems of reading the whole
// edited script afresh: lines that open, close or break blocks, continue statements or hold
// mistakes are put in, taken out and replaced, some while an earlier reading is still unfinished.
#include "tools/live_problems.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace kst {
namespace {

const std::vector<std::string> kLines = {"Sub s(a)",
                                         "End Sub",
                                         "Class c",
                                         "End Class",
                                         "Function f",
                                         "End Function",
                                         "If a Then",
                                         "ElseIf b Then",
                                         "Else",
                                         "End If",
                                         "If a = 1",
                                         "For i = 1 To 3",
                                         "For i = 1",
                                         "Next",
                                         "Do While a",
                                         "Loop",
                                         "Select Case a",
                                         "Case 1",
                                         "End Select",
                                         "With o",
                                         "End With",
                                         "While a",
                                         "Wend",
                                         "x = 1",
                                         "x = = 1",
                                         "y = f(a _",
                                         ", b)",
                                         "s = \"open",
                                         "' End If",
                                         "",
                                         "If a Then x = 1 Else y = 2",
                                         "z = @",
                                         "Call g(1,"};

class Edits {
public:
    explicit Edits(unsigned Seed) : FRandom(Seed) {}

    int Below(int Count) { return std::uniform_int_distribution<int>(0, Count - 1)(FRandom); }

    std::vector<std::string> SomeLines(int MaxCount) {
        std::vector<std::string> lines(static_cast<std::size_t>(Below(MaxCount + 1)));
        for (std::string& line : lines) {
            line = kLines[static_cast<std::size_t>(Below(static_cast<int>(kLines.size())))];
        }
        return lines;
    }

private:
    std::mt19937 FRandom;
};

std::vector<std::string_view> Views(const std::vector<std::string>& Lines) {
    return {Lines.begin(), Lines.end()};
}

TEST(LiveProblems, RandomEditsGiveTheProblemsOfAFreshReading) {
    for (unsigned seed = 1; seed <= 150; ++seed) {
        Edits edits(seed);
        std::vector<std::string> text = edits.SomeLines(40);
        TLiveProblems live;
        live.Reset(static_cast<int>(text.size()));
        for (int edit = 0; edit < 30; ++edit) {
            const int first = edits.Below(static_cast<int>(text.size()) + 1);
            const int old = edits.Below(std::min(3, static_cast<int>(text.size()) - first) + 1);
            const std::vector<std::string> added = edits.SomeLines(3);
            text.erase(text.begin() + first, text.begin() + first + old);
            text.insert(text.begin() + first, added.begin(), added.end());
            live.LinesReplaced(first, old, static_cast<int>(added.size()));
            const std::vector<std::string_view> views = Views(text);
            // Now and then a short step only, so that the next edit finds the reading unfinished.
            const std::size_t budget = edits.Below(3) == 0 ? 8 : 1'000'000;
            live.Read(SpanLines(views), budget);
            if (live.Current() || edits.Below(2) == 0) {
                while (live.Read(SpanLines(views), 16)) {
                }
                ASSERT_EQ(live.AllProblems(), ParseScript(views).Problems)
                    << "seed " << seed << " edit " << edit;
            }
        }
    }
}

} // namespace
} // namespace kst
