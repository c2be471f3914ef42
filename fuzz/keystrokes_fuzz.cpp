// Arbitrary bytes read as a script of keys, characters, input-method results, clipboard contents
// and mouse actions on an editor with the main window's values, run once without and once with
// word wrap: after every action the caret stands on a legal place and no row holds a line break,
// and undoing everything gives the starting text back.
#include "fuzz_check.h"
#include "input/editor_invariants.h"
#include "input/keystroke_script.h"

#include <array>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

using kst::fuzz::Check;

constexpr std::size_t kMaxTextBytes = 300;
constexpr std::size_t kMaxTypedBytes = 6;
constexpr int kMaxActions = 200;
constexpr int kRows = 12;
constexpr int kColumns = 40;

constexpr std::array<std::uint16_t, 16> kKeys{
    kst::VK_LEFT,   kst::VK_RIGHT,  kst::VK_UP,     kst::VK_DOWN, kst::VK_HOME,   kst::VK_END,
    kst::VK_PRIOR,  kst::VK_NEXT,   kst::VK_DELETE, kst::VK_BACK, kst::VK_RETURN, kst::VK_TAB,
    kst::VK_ESCAPE, kst::VK_INSERT, kst::VK_SPACE,  'A'};
// The characters the keys above send; letters with Ctrl send their control character.
constexpr std::array<char, 16> kKeyChars{0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 13, 9, 27, 0, ' ', 'a'};
// Ctrl+letter commands: cut, copy, paste, undo, redo, select all.
constexpr std::array<char, 6> kCtrlLetters{'X', 'C', 'V', 'Z', 'Y', 'A'};

kst::TShiftState ShiftOf(std::uint8_t Bits) {
    return ((Bits & 1) != 0 ? kst::ssShift : 0) | ((Bits & 2) != 0 ? kst::ssCtrl : 0) |
           ((Bits & 4) != 0 ? kst::ssAlt : 0);
}

std::string PointText(FuzzedDataProvider& Input) {
    const int row = Input.ConsumeIntegralInRange(0, kRows);
    const int col = Input.ConsumeIntegralInRange(0, kColumns);
    return std::to_string(row) + "," + std::to_string(col) + (Input.ConsumeBool() ? ">" : "");
}

void Mouse(kst::KeystrokeDriver& Driver, FuzzedDataProvider& Input) {
    const kst::TShiftState shift = ShiftOf(Input.ConsumeIntegral<std::uint8_t>() & 3);
    const kst::TPoint from = Driver.PointOf(PointText(Input));
    switch (Input.ConsumeIntegralInRange(0, 3)) {
    case 0: // a drag
        Driver.Mouse(kst::WM_LBUTTONDOWN, from, shift);
        for (int moves = Input.ConsumeIntegralInRange(1, 3); moves > 0; --moves) {
            Driver.Mouse(kst::WM_MOUSEMOVE, Driver.PointOf(PointText(Input)), shift);
        }
        Driver.Mouse(kst::WM_LBUTTONUP, Driver.PointOf(PointText(Input)), shift);
        break;
    case 1:
        Driver.Mouse(kst::WM_LBUTTONDOWN, from, shift);
        break;
    case 2:
        Driver.Mouse(kst::WM_LBUTTONDBLCLK, from, shift);
        break;
    default:
        Driver.Mouse(Input.ConsumeBool() ? kst::WM_LBUTTONUP : kst::WM_MOUSEMOVE, from, shift);
        break;
    }
}

void Act(kst::KeystrokeDriver& Driver, FuzzedDataProvider& Input) {
    switch (Input.ConsumeIntegralInRange(0, 7)) {
    case 0:
    case 1: {
        const std::size_t key = Input.ConsumeIntegralInRange<std::size_t>(0, kKeys.size() - 1);
        const kst::TShiftState shift = ShiftOf(Input.ConsumeIntegral<std::uint8_t>());
        Driver.PressKey(kKeys[key], shift, kKeyChars[key], Input.ConsumeIntegralInRange(1, 3));
        break;
    }
    case 2: {
        const char letter =
            kCtrlLetters[Input.ConsumeIntegralInRange<std::size_t>(0, kCtrlLetters.size() - 1)];
        Driver.PressKey(static_cast<std::uint16_t>(letter), kst::ssCtrl,
                        static_cast<char>(letter - 'A' + 1));
        break;
    }
    case 3:
        Driver.Type(Input.ConsumeRandomLengthString(kMaxTypedBytes));
        break;
    case 4:
        Driver.TypeRawBytes(Input.ConsumeRandomLengthString(kMaxTypedBytes));
        break;
    case 5:
        Driver.ImeResult(Input.ConsumeRandomLengthString(kMaxTypedBytes));
        break;
    case 6:
        Driver.SetClipboard(Input.ConsumeRandomLengthString(kMaxTextBytes), Input.ConsumeBool());
        break;
    default:
        Mouse(Driver, Input);
        break;
    }
}

void CheckRows(const kst::TEditor& Editor) {
    kst::TEditorScreenStrings& rows = *Editor.GetScreenStringsPtr();
    for (int row = 0; row < rows.GetCount(); ++row) {
        Check(rows.GetView(row).find_first_of("\r\n") == std::string_view::npos,
              "a row holds a line break");
    }
}

void Run(const std::uint8_t* Data, std::size_t Size, bool WordWrap) {
    FuzzedDataProvider input(Data, Size);
    kst::KeystrokeDriver driver;
    const auto options = input.ConsumeIntegral<std::uint8_t>();
    driver.SetOption("WordWrap", WordWrap ? 1 : 0);
    driver.SetOption("WrapByte", 20);
    driver.SetOption("Rows", 8);
    driver.SetOption("FreeCaret", options & 1);
    driver.SetOption("FreeRow", options >> 1 & 1);
    driver.SetOption("AutoIndent", options >> 2 & 1);
    driver.SetOption("SoftTab", options >> 3 & 1);
    driver.SetOption("BoxSelection", options >> 4 & 1);
    driver.SetOption("KeepCaret", options >> 5 & 1);
    kst::TEditor& editor = driver.Editor();
    editor.SetUndoListMax(100000);
    editor.GetLines().SetTextStr(input.ConsumeRandomLengthString(kMaxTextBytes));
    const std::string original = editor.GetLines().GetTextStr();
    for (int action = 0; action < kMaxActions && input.remaining_bytes() > 0; ++action) {
        Act(driver, input);
        const std::string problem = kst::CaretProblem(editor);
        Check(problem.empty(), problem);
        CheckRows(editor);
    }
    while (editor.CanUndo()) {
        editor.Undo();
    }
    Check(editor.GetLines().GetTextStr() == original, "undoing everything differs from the start");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    Run(Data, Size, false);
    Run(Data, Size, true);
    return 0;
}
