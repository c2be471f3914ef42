// Random edits through UpdateRows, undo and redo, each checked against a plain model of the text.
#include "document/screen_strings.h"
#include "document/wrap.h"
#include "support/fake_editor.h"
#include "support/soak.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace kst {
namespace {

// Line breaks of any kind become CR LF, as rows store them.
std::string NormalizeBreaks(std::string_view Text) {
    std::string out;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\r' || Text[i] == '\n') {
            out += "\r\n";
            if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += Text[i];
        }
    }
    return out;
}

// Byte offset in the text of the start of Row.
std::size_t OffsetOfRow(const TEditorScreenStrings& Rows, int Row) {
    std::size_t offset = 0;
    for (int i = 0; i < Row; ++i) {
        offset += Rows.GetView(i).size() + (Rows.GetRowAttribute(i) == raLineBreak ? 2 : 0);
    }
    return offset;
}

// The first fault of the rows against the model text and the row rules; empty when sound.
std::string RowFault(TEditorScreenStrings& Rows, const std::string& Model) {
    const int count = Rows.GetCount();
    std::string text;
    for (int row = 0; row < count; ++row) {
        text += Rows.GetView(row);
        text += Rows.GetRowAttribute(row) == raLineBreak ? "\r\n" : "";
    }
    if (text != Model) {
        return "the text differs from the model";
    }
    const WrapContext context = Rows.GetWrapContext();
    int lines = 0;
    for (int row = 0; row < count; ++lines) {
        int last = row;
        while (last < count - 1 && Rows.GetRowAttribute(last) == raWrap) {
            ++last;
        }
        const std::string where = "line " + std::to_string(lines) + ": ";
        if (Rows.GetRowAttribute(last) == raWrap) {
            return where + "the last row wraps";
        }
        if (last < count - 1 && Rows.GetRowAttribute(last) != raLineBreak) {
            return where + "the end of the text before the last row";
        }
        if (Rows.LineFirstRow(lines) != row || Rows.LineOfRow(last) != lines ||
            Rows.LineStartRow(last) != row || Rows.LineEndRow(row) != last) {
            return where + "the line index disagrees with the rows";
        }
        std::string line;
        for (int r = row; r <= last; ++r) {
            line += Rows.GetView(r);
        }
        // Every line is cut exactly as wrapping it whole cuts it: so no row splits a
        // double-byte character, and no row wraps with word wrap off.
        LineWrapper wrapper(context, line);
        WrappedRow piece;
        int r = row;
        for (; wrapper.Next(piece); ++r) {
            if (r > last || Rows.GetView(r) != piece.Text) {
                return where + "row " + std::to_string(r) + " is not cut as wrapping cuts it";
            }
        }
        if (r != last + 1) {
            return where + "has more rows than wrapping gives";
        }
        row = last + 1;
    }
    return Rows.LineCount() == lines ? "" : "the line count disagrees";
}

std::uint16_t MarksOnRows(const TEditorScreenStrings& Rows) {
    std::uint16_t marks = 0;
    for (int row = 0; row < Rows.GetCount(); ++row) {
        marks |= Rows.GetRowMarks(row);
    }
    return marks;
}

// Marks move with their text but are never lost while rows remain (deleting the last rows drops
// them), and the used set knows them.
class MarkLedger {
public:
    std::string Fault(const TEditorScreenStrings& Rows) {
        if (Rows.GetCount() == 0) {
            FExpected = 0;
            return "";
        }
        const std::uint16_t now = MarksOnRows(Rows);
        if ((now & FExpected) != FExpected) {
            return "marks were lost";
        }
        if ((Rows.GetUsedMarks() & now) != now) {
            return "the used marks miss a mark on a row";
        }
        FExpected = now;
        return "";
    }

private:
    std::uint16_t FExpected = 0;
};

class RandomEdits {
public:
    explicit RandomEdits(unsigned Seed) : FRandom(Seed) {}

    int Below(int N) { return std::uniform_int_distribution<int>(0, N - 1)(FRandom); }

    std::string Text() {
        static const std::vector<std::string> breaks = {"\r\n", "\r", "\n"};
        static const std::vector<std::string> pieces = {"a",
                                                        "b",
                                                        "xyz",
                                                        " ",
                                                        "\t",
                                                        "\x82\xa0",
                                                        "\x93\xfa\x96\x7b",
                                                        "\x81\x42",
                                                        "(",
                                                        "word ",
                                                        "\xb1",
                                                        std::string(1, '\0'),
                                                        "1234567890",
                                                        "\x82"};
        std::string text;
        const int n = Below(3) == 0 ? Below(40) : Below(6);
        for (int i = 0; i < n; ++i) {
            const auto& from = Below(8) == 0 ? breaks : pieces;
            text += from[Below(static_cast<int>(from.size()))];
        }
        return text;
    }

private:
    std::mt19937 FRandom;
};

// The model: the document text after every change, and how far undo and redo can go.
struct History {
    std::vector<std::string> States{""};
    int Position = 0;
    int Undoable = 0;
    int Redoable = 0;

    const std::string& Current() const { return States[Position]; }
    void Change(std::string Text) {
        States.resize(Position + 1);
        States.push_back(std::move(Text));
        ++Position;
        Undoable = std::min(Undoable + 1, TEditorUndoObj::kMinUndoListMax);
        Redoable = 0;
    }
    void Forget() {
        States = {Current()};
        Position = 0;
        Undoable = Redoable = 0;
    }
};

void RunRandomEdits(unsigned Seed, bool WordWrap) {
    FakeEditor editor;
    TEditorScreenStrings& rows = *editor.Store;
    RandomEdits random(Seed);
    TEditorWrapOption& options = rows.GetWrapOption();
    options.SetWrapByte(20 + random.Below(30));
    // Word breaks can move a cut two rows before a change, which a change does not re-wrap.
    options.SetFollowRetMark(random.Below(2) == 0);
    options.SetFollowPunctuation(random.Below(2) == 0);
    options.SetLeading(random.Below(2) == 0);
    rows.SetWordWrap(WordWrap);
    History history;
    MarkLedger marks;
    for (int step = 0; step < 1000; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        if (rows.GetCount() > 0 && random.Below(10) == 0) {
            const int row = random.Below(rows.GetCount());
            rows.SetRowMarks(row, rows.GetRowMarks(row) | (1u << random.Below(16)));
            ASSERT_EQ(marks.Fault(rows), "");
        }
        if (random.Below(100) == 0) {
            rows.SetWordWrap(!rows.GetWordWrap());
            history.Forget();
        } else if (random.Below(100) == 0) {
            const int wrapByte = 20 + random.Below(30);
            const bool rewraps = rows.GetWordWrap() && wrapByte != options.GetWrapByte();
            options.SetWrapByte(wrapByte);
            if (rewraps) {
                history.Forget();
            }
        } else {
            const int count = rows.GetCount();
            const int start = random.Below(count + 1);
            int rowCount = random.Below(std::min(count - start, 4) + 1);
            std::string text = random.Text();
            if (start < count && random.Below(2) == 0) {
                // Typing or deleting inside one row, as the editing commands do.
                rowCount = 1;
                const std::string old(rows.GetView(start));
                const std::size_t at = random.Below(static_cast<int>(old.size()) + 1);
                const std::size_t cut = random.Below(3) == 0 ? random.Below(4) : 0;
                text = old.substr(0, at) + (cut > 0 ? "" : text) +
                       old.substr(std::min(old.size(), at + cut));
                if (rows.GetRowAttribute(start) == raLineBreak) {
                    text += "\r\n";
                }
            }
            editor.Col = random.Below(3);
            const std::size_t from = OffsetOfRow(rows, start);
            const std::size_t to = OffsetOfRow(rows, start + rowCount);
            rows.UpdateRows(start, rowCount, text);
            if (rowCount > 0 || !text.empty()) {
                std::string model = history.Current();
                model.replace(from, to - from, NormalizeBreaks(text));
                history.Change(model);
            }
        }
        ASSERT_EQ(RowFault(rows, history.Current()), "");
        ASSERT_EQ(marks.Fault(rows), "");
        ASSERT_EQ(rows.GetUndoObj().CanUndo(), history.Undoable > 0);

        for (int undo = random.Below(4); undo > 0 && history.Undoable > 0; --undo) {
            rows.Undo();
            --history.Position;
            --history.Undoable;
            ++history.Redoable;
            ASSERT_EQ(RowFault(rows, history.Current()), "");
            ASSERT_EQ(marks.Fault(rows), "");
        }
        for (int redo = random.Below(4); redo > 0 && history.Redoable > 0; --redo) {
            rows.Redo();
            ++history.Position;
            ++history.Undoable;
            --history.Redoable;
            ASSERT_EQ(RowFault(rows, history.Current()), "");
            ASSERT_EQ(marks.Fault(rows), "");
        }
        ASSERT_EQ(rows.GetUndoObj().CanRedo(), history.Redoable > 0);
        if (testing::Test::HasFatalFailure()) {
            return;
        }
    }
}

TEST(RandomEdits, WordWrapOffMatchesTheModel) {
    const auto runs = static_cast<unsigned>(2 * SoakFactor());
    for (unsigned seed = 1; seed <= runs && !HasFatalFailure(); ++seed) {
        RunRandomEdits(seed, false);
    }
}

TEST(RandomEdits, WordWrapOnMatchesTheModel) {
    const auto runs = static_cast<unsigned>(2 * SoakFactor());
    for (unsigned seed = runs + 1; seed <= 2 * runs && !HasFatalFailure(); ++seed) {
        RunRandomEdits(seed, true);
    }
}

} // namespace
} // namespace kst
