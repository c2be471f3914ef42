#include "app/main_window_editor.h"
#include "document/start_states.h"
#include "fountain/fountain_parser.h"
#include "support/fake_editor.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace kst {
namespace {

// Every row's start state, computed the slow way: from row 0, through every row.
std::vector<TRowAttributeData> StatesFromRowZero(const TEditorScreenStrings& Rows,
                                                 TFountain& Fountain) {
    const std::unique_ptr<TFountainParser> parser = Fountain.NewParser();
    std::vector<TRowAttributeData> states;
    TRowAttributeData state = InitialStartState();
    for (int row = 0; row < Rows.GetCount(); ++row) {
        states.push_back(state);
        state.RowAttribute = static_cast<std::uint8_t>(Rows.GetRowAttribute(row));
        parser->AdvanceRowState(row, Rows, state);
        state.PrevRowAttribute = static_cast<std::uint8_t>(Rows.GetRowAttribute(row));
    }
    return states;
}

// Stored states must equal the slow computation wherever they are computed. Where a state can
// depend on earlier lines, the computed rows must also form a prefix of the text.
void ExpectStatesFollowTheText(const TEditorScreenStrings& Rows, TFountain& Fountain) {
    const std::vector<TRowAttributeData> expected = StatesFromRowZero(Rows, Fountain);
    const bool anyRowOnItsOwn = StatesFollowLineStartOnly(Fountain);
    bool prefixEnded = false;
    for (int row = 0; row < Rows.GetCount(); ++row) {
        TRowAttributeData stored = Rows.GetRowData(row);
        if (stored.BracketIndex == kStateNotComputed) {
            prefixEnded = true;
            continue;
        }
        ASSERT_FALSE(prefixEnded && !anyRowOnItsOwn)
            << "computed row " << row << " after a row that is not";
        stored.RowAttribute = expected[static_cast<std::size_t>(row)].RowAttribute;
        ASSERT_EQ(stored, expected[static_cast<std::size_t>(row)]) << "row " << row;
    }
}

std::string RandomText(std::mt19937& Random, int Pieces) {
    static const std::vector<std::string> pieces = {
        "/*",       "*/",    "{",           "}",    "'",  "abc",  " ",
        "12.5",     "Dim",   "\t",          "\r\n", "\n", "\r\n", "\x82\xa0\x82\xa2",
        "\x88\x9f", "\"s\"", "http://a.b/c"};
    std::string text;
    for (int i = 0; i < Pieces; ++i) {
        text += pieces[Random() % pieces.size()];
    }
    return text;
}

// With bracket regions a state depends on the rows above; without them, each row is computed from
// the start of its line when painted. Either way the states must be those computed from the top.
TEST(StartStates, StayEqualToAFullRecomputationThroughRandomEditsAndPaints) {
    for (const auto& [wrap, withBrackets] : {std::pair{false, true}, std::pair{true, true},
                                             std::pair{false, false}, std::pair{true, false}}) {
        std::mt19937 random(wrap ? 7 : 3);
        FakeEditor editor;
        editor.Screen = 3; // small screens: the refresh limits come into play
        ApplyMainWindowColouring(*editor.Fountain);
        auto& brackets = editor.Fountain->GetBrackets();
        for (const auto& [left, right] : {std::pair{"/*", "*/"}, std::pair{"{", "}"}}) {
            auto* item = brackets.Add();
            item->SetLeftBracket(withBrackets ? left : "");
            item->SetRightBracket(right);
        }
        TEditorScreenStrings& rows = *editor.Store;
        rows.GetWrapOption().SetWrapByte(20);
        rows.SetWordWrap(wrap);
        rows.UpdateRows(0, 0, RandomText(random, 200));
        for (int step = 0; step < 600; ++step) {
            const int count = rows.GetCount();
            const int op = static_cast<int>(random() % 10);
            if (op == 0 && rows.GetUndoObj().CanUndo()) {
                rows.Undo();
            } else if (op == 1 && rows.GetUndoObj().CanRedo()) {
                rows.Redo();
            } else if (op == 2 && count > 0) {
                // A paint meeting a row whose state is not computed.
                rows.UpdateStartStates(static_cast<int>(random() % count), false);
            } else if (op == 3) {
                // The program is idle.
                rows.ComputeStartStatesAhead(1 + static_cast<int>(random() % 4));
            } else {
                const int start = count == 0 ? 0 : static_cast<int>(random() % count);
                const int remove =
                    count == 0 ? 0 : static_cast<int>(random() % std::min(3, count - start + 1));
                rows.UpdateRows(start, remove, RandomText(random, static_cast<int>(random() % 6)));
            }
            ExpectStatesFollowTheText(rows, *editor.Fountain);
            if (HasFatalFailure()) {
                FAIL() << "wrap " << wrap << ", brackets " << withBrackets << ", step " << step;
            }
        }
        // Idle steps go on until every row that can depend on the rows above is computed.
        while (rows.ComputeStartStatesAhead(5)) {
        }
        const bool computedOnTheirOwn = StatesFollowLineStartOnly(*editor.Fountain);
        for (int row = 0; row < rows.GetCount() && !computedOnTheirOwn; ++row) {
            ASSERT_NE(rows.GetBracketIndex(row), kStateNotComputed) << row;
        }
        ExpectStatesFollowTheText(rows, *editor.Fountain);
    }
}

} // namespace
} // namespace kst
