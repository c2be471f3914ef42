// Random keys on random texts. A byte-string model of the text takes the same edits at the
// caret's byte offset; after every key the editor's text must equal the model, an edit must put
// the caret where the model says, and the caret must stand on a legal column. Undoing everything
// must give the original text back. Malformed texts (lone lead bytes) are checked for legal
// carets and undo only, since their character boundaries are the editor's own.
#include "core/code_page.h"
#include "core/messages.h"
#include "editor_invariants.h"
#include "keystroke_script.h"
#include "support/soak.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace kst {
namespace {

const std::vector<std::string> kCharacters{
    "a", "b", "x", " ", "=", "(", "\t", "\xb1", "\x82\xa0", "\x8a\xbf", "\xe0\x40", "\x81\x40"};

// How a text model changes; none for a caret key.
enum class TEdit { None, Insert, Backspace, Delete };

struct TStep {
    std::uint16_t Key = 0;
    TShiftState Shift = 0;
    char Char = 0;
    std::string Typed;
    bool Ime = false;
};

class RandomKeys {
public:
    RandomKeys(unsigned Seed, bool WordWrap, bool Malformed)
        : FRandom(Seed), FMalformed(Malformed), FWordWrap(WordWrap) {
        TEditor& editor = FDriver.Editor();
        FDriver.SetOption("FreeRow", 0);
        FDriver.SetOption("AutoIndent", 0);
        FDriver.SetOption("Rows", 8);
        FDriver.SetOption("WordWrap", WordWrap ? 1 : 0);
        FDriver.SetOption("WrapByte", 20);
        editor.SetUndoListMax(100000);
        FOriginal = RandomText();
        editor.GetLines().SetTextStr(FOriginal);
        FModel = FOriginal;
    }

    void Run(int Steps) {
        for (int i = 0; i < Steps; ++i) {
            const TStep step = RandomStep();
            const std::string before = FDriver.Editor().GetLines().GetTextStr();
            const int caretBefore = FDriver.CaretOffset();
            Apply(step);
            CheckCaretIsLegal();
            if (::testing::Test::HasFailure()) {
                ADD_FAILURE() << "step " << i << ": key " << step.Key << " shift "
                              << int{step.Shift} << " typed \"" << BytesToScriptText(step.Typed)
                              << "\" at byte " << caretBefore << " of \""
                              << BytesToScriptText(before) << "\"";
                return;
            }
        }
        UndoAll();
    }

private:
    std::string RandomCharacter() {
        if (FMalformed && Chance(10)) {
            return std::string(1, static_cast<char>(0x81 + Below(0x7C)));
        }
        return kCharacters[Below(static_cast<int>(kCharacters.size()))];
    }

    std::string RandomText() {
        std::string text;
        const int lines = Below(9);
        for (int line = 0; line < lines; ++line) {
            const int length = Below(3) == 0 ? Below(50) : Below(8);
            for (int i = 0; i < length; ++i) {
                text += RandomCharacter();
            }
            if (line + 1 < lines || Chance(2)) {
                text += "\r\n";
            }
        }
        return text;
    }

    TStep RandomStep() {
        static const std::vector<std::uint16_t> caretKeys{VK_LEFT, VK_RIGHT, VK_UP,    VK_DOWN,
                                                          VK_HOME, VK_END,   VK_PRIOR, VK_NEXT};
        switch (Below(10)) {
        case 0:
        case 1:
        case 2: {
            // An input method delivers whole printable characters only.
            const std::string typed = RandomCharacter();
            const bool composable = !TypedBytes(typed).empty() && typed != "\t";
            return {0, 0, 0, typed, composable && Chance(8)};
        }
        case 3:
            return {VK_RETURN, 0, '\r', {}, false};
        case 4:
            return {VK_BACK, 0, '\b', {}, false};
        case 5:
            return {VK_DELETE, 0, 0, {}, false};
        default: {
            const std::uint16_t key = caretKeys[Below(static_cast<int>(caretKeys.size()))];
            const TShiftState shift = (Chance(3) ? ssShift : 0) | (Chance(8) ? ssCtrl : 0);
            return {key, shift, 0, {}, false};
        }
        }
    }

    // The byte range an edit replaces: the selection (which may be empty, as after Shift+Right
    // at the text's end), or none at the caret.
    struct TRange {
        int Start = 0;
        int Length = 0;
        bool Selected = false;
    };

    TRange SelectedRange() const {
        const TEditor& editor = FDriver.Editor();
        if (editor.GetSelectionState() == kSelectionSelected) {
            return {editor.GetSelStart(), editor.GetSelLength(), true};
        }
        return {FDriver.CaretOffset(), 0, false};
    }

    void Apply(const TStep& Step) {
        const std::optional<TCaret> expectedCaret = ModelCaretMove(Step);
        const TRange range = SelectedRange();
        const auto [edit, caret] = FMalformed ? std::pair{TEdit::None, 0} : ModelEdit(Step, range);
        if (!Step.Typed.empty()) {
            Step.Ime ? FDriver.ImeResult(Step.Typed) : FDriver.Type(Step.Typed);
        } else {
            FDriver.PressKey(Step.Key, Step.Shift, Step.Char);
        }
        if (FMalformed) {
            return;
        }
        if (expectedCaret) {
            const TEditor& editor = FDriver.Editor();
            EXPECT_EQ((TCaret{editor.GetRow(), editor.GetCol()}), *expectedCaret) << "caret move";
        }
        const std::string text = FDriver.Editor().GetLines().GetTextStr();
        ASSERT_TRUE(text == FModel) << "text \"" << BytesToScriptText(text) << "\", model \""
                                    << BytesToScriptText(FModel) << "\"";
        if (edit != TEdit::None) {
            EXPECT_EQ(FDriver.CaretOffset(), caret) << "caret after the edit";
        }
    }

    struct TCaret {
        int Row = 0;
        int Col = 0;
        bool operator==(const TCaret&) const = default;
    };

    // Where Home, End, Left or Right (without Ctrl) put the caret, when that is fully determined:
    // single-byte text without tabs and without word wrap, so that columns are bytes.
    std::optional<TCaret> ModelCaretMove(const TStep& Step) const {
        const bool horizontal = Step.Key == VK_HOME || Step.Key == VK_END || Step.Key == VK_LEFT ||
                                Step.Key == VK_RIGHT;
        const bool singleBytes =
            std::ranges::none_of(FModel, [](char C) { return C == '\t' || IsLeadByte(C); });
        if (!horizontal || (Step.Shift & ssCtrl) != 0 || FWordWrap || FMalformed || !singleBytes) {
            return std::nullopt;
        }
        const std::vector<std::string_view> lines = ModelLines();
        const TEditor& editor = FDriver.Editor();
        const int row = editor.GetRow();
        const int col = editor.GetCol();
        const auto width = [&lines](int Row) { return static_cast<int>(lines[Row].size()); };
        const int lastRow = static_cast<int>(lines.size()) - 1;
        switch (Step.Key) {
        case VK_HOME:
            return TCaret{row, 0};
        case VK_END:
            return TCaret{row, width(row)};
        case VK_LEFT:
            if (col > 0) {
                return TCaret{row, col - 1};
            }
            return row > 0 ? TCaret{row - 1, width(row - 1)} : TCaret{row, col};
        default:
            if (col < width(row)) {
                return TCaret{row, col + 1};
            }
            return row < lastRow ? TCaret{row + 1, 0} : TCaret{row, col};
        }
    }

    // The model's lines; a text that ends with a line break has an empty last one, where the
    // caret may stand.
    std::vector<std::string_view> ModelLines() const {
        std::vector<std::string_view> lines;
        const std::string_view text = FModel;
        for (std::size_t start = 0;;) {
            const std::size_t end = text.find("\r\n", start);
            lines.push_back(text.substr(start, std::min(end, text.size()) - start));
            if (end == std::string_view::npos) {
                return lines;
            }
            start = end + 2;
        }
    }

    // Changes the model as the step changes the text; answers the edit and the caret offset.
    std::pair<TEdit, int> ModelEdit(const TStep& Step, const TRange& Range) {
        if (!Step.Typed.empty() || Step.Char == '\r') {
            const std::string inserted = Step.Char == '\r' ? "\r\n" : TypedBytes(Step.Typed);
            if (inserted.empty()) {
                return {TEdit::None, 0};
            }
            FModel.replace(static_cast<std::size_t>(Range.Start),
                           static_cast<std::size_t>(Range.Length), inserted);
            return {TEdit::Insert, Range.Start + static_cast<int>(inserted.size())};
        }
        if (Step.Char == '\b' || Step.Key == VK_DELETE) {
            if (Range.Selected) {
                FModel.erase(static_cast<std::size_t>(Range.Start),
                             static_cast<std::size_t>(Range.Length));
                return {TEdit::Delete, Range.Start};
            }
            return Step.Char == '\b' ? ModelBackspace(Range.Start) : ModelDelete(Range.Start);
        }
        return {TEdit::None, 0};
    }

    // What typing delivers: a lone lead byte is dropped.
    static std::string TypedBytes(const std::string& Typed) {
        return Typed.size() == 1 && IsLeadByte(Typed[0]) ? std::string() : Typed;
    }

    std::pair<TEdit, int> ModelBackspace(int Caret) {
        if (Caret == 0) {
            return {TEdit::None, 0};
        }
        const int length = Caret >= 2 && FModel.compare(Caret - 2, 2, "\r\n") == 0
                               ? 2
                               : Caret - CharacterStartBefore(Caret);
        FModel.erase(static_cast<std::size_t>(Caret - length), static_cast<std::size_t>(length));
        return {TEdit::Backspace, Caret - length};
    }

    std::pair<TEdit, int> ModelDelete(int Caret) {
        const auto at = static_cast<std::size_t>(Caret);
        if (at >= FModel.size()) {
            return {TEdit::None, 0};
        }
        const std::size_t length =
            FModel.compare(at, 2, "\r\n") == 0 ? 2 : CharLengthAt(LineAt(at), at - LineStart(at));
        FModel.erase(at, length);
        return {TEdit::Delete, Caret};
    }

    std::size_t LineStart(std::size_t Offset) const {
        const std::size_t lineBreak = FModel.rfind("\r\n", Offset == 0 ? 0 : Offset - 1);
        return lineBreak == std::string::npos || lineBreak + 2 > Offset ? 0 : lineBreak + 2;
    }

    std::string_view LineAt(std::size_t Offset) const {
        const std::size_t start = LineStart(Offset);
        const std::size_t end = std::min(FModel.find("\r\n", start), FModel.size());
        return std::string_view(FModel).substr(start, end - start);
    }

    // The first byte of the character that ends at Offset, walking its line from the start.
    int CharacterStartBefore(int Offset) const {
        const std::size_t start = LineStart(static_cast<std::size_t>(Offset));
        const std::string_view line = LineAt(static_cast<std::size_t>(Offset));
        std::size_t pos = 0;
        std::size_t previous = 0;
        while (start + pos < static_cast<std::size_t>(Offset)) {
            previous = pos;
            pos += CharLengthAt(line, pos);
        }
        return static_cast<int>(start + previous);
    }

    void CheckCaretIsLegal() const { EXPECT_EQ(CaretProblem(FDriver.Editor()), ""); }

    void UndoAll() {
        TEditor& editor = FDriver.Editor();
        while (editor.CanUndo()) {
            editor.Undo();
        }
        EXPECT_EQ(BytesToScriptText(editor.GetLines().GetTextStr()), BytesToScriptText(FOriginal));
    }

    int Below(int Limit) { return std::uniform_int_distribution<int>(0, Limit - 1)(FRandom); }
    bool Chance(int OneIn) { return Below(OneIn) == 0; }

    KeystrokeDriver FDriver;
    std::mt19937 FRandom;
    bool FMalformed;
    bool FWordWrap;
    std::string FOriginal;
    std::string FModel;
};

TEST(RandomKeysTest, EditsMatchAByteModelAndUndoRestoresTheText) {
    const auto seeds = static_cast<unsigned>(20 * SoakFactor());
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        for (const bool wordWrap : {false, true}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + (wordWrap ? " with" : " without") +
                         " word wrap");
            RandomKeys(seed, wordWrap, false).Run(120);
            if (HasFailure()) {
                return;
            }
        }
    }
}

TEST(RandomKeysTest, MalformedTextKeepsTheCaretLegal) {
    const auto seeds = static_cast<unsigned>(8 * SoakFactor());
    for (unsigned seed = 100; seed < 100 + seeds; ++seed) {
        for (const bool wordWrap : {false, true}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + (wordWrap ? " with" : " without") +
                         " word wrap");
            RandomKeys(seed, wordWrap, true).Run(120);
            if (HasFailure()) {
                return;
            }
        }
    }
}

} // namespace
} // namespace kst
