// Keystroke scripts: drive a TEditor through its window messages as a user at the keyboard would,
// and check its text, caret and selection afterwards.
//
// A script is a list of directives, one per line; blank lines and lines starting with "#" are
// skipped. Strings are in double quotes and hold CP932 text written as:
//   \n       a line break (CR LF)            \t   a tab
//   \xNN     the byte NN (e.g. \x82 alone is a lone lead byte)
//   \\ \" \| \^ the characters themselves
//   あ い う 漢 漾 ｱ and the full-width space (U+3000): their CP932 bytes (漾's lead byte is
//     0xE0)
// Inside the string of "text:" and "expect:", | marks the caret and ^ the anchor of a selection.
//
// Directives:
//   options: Name=Value ...   editor options, before "text:" or between steps. Caret options:
//       FreeCaret FreeRow KeepCaret InTab NextLine AutoIndent TabIndent BackSpaceUnIndent SoftTab
//       PrevSpaceIndent TokenEndStop LockScroll TabSpaceCount; editor: WordWrap WrapByte ReadOnly
//       WantTabs BoxSelection Rows (visible rows of the view); speed: CaretVerticalAc
//       PageVerticalRange PageVerticalRangeAc. Booleans are 0 or 1. Every script starts with the
//       values the main window gives its editor (FreeCaret=0 FreeRow=1 NextLine=1 TabIndent=1
//       TabSpaceCount=4 BackSpaceUnIndent=0 AutoIndent=1, no word wrap).
//   text: "..."               the text; the caret goes to |, and a ^ selects from there to |.
//   goto: R,C                 puts the caret at row R, column C (SetRowCol).
//   select: R,C R,C           selects from the first position to the second (the caret ends there).
//   top: N                    scrolls the view so that row N is the top row.
//   clipboard: "..."          the clipboard holds this text; "boxclipboard:" marks it a rectangle.
//   keys: ...                 keys and characters, in order (below).
//   expect: "..."             the text now, with | at the caret's byte offset (clamped to its row)
//                             and ^ at the selection's other end (for a box, the corner opposite
//                             the caret) when something is selected; no ^ means nothing may be
//                             selected.
//   caret: R,C                the caret is at row R, display column C.
//   expecttop: N              the view's top row is N.
//
// Keys, separated by blanks:
//   Left Right Up Down Home End PageUp PageDown Del: key down and key up, no character.
//   BS Tab Enter Esc: key down, its character (8, 9, 13, 27), key up.
//   A..Z and 0..9: the letter or digit key; with Ctrl a letter's control character follows
//     (Ctrl+V: 0x16), as Windows sends it.
//   Shift+, Ctrl+, Alt+ in front of a key: held while it is pressed.
//   Key*N: N presses. Key@N: held, N key downs of which all but the first are auto-repeats, then
//     one key up.
//   "text": typed, one character message per byte; the later bytes of a character wait in the
//     host's queue as the window layer puts them there.
//   Raw"bytes": each byte a character message of its own, with nothing queued behind it.
//   Ime"text": an input-method result: the composition message, then the system's echo of its
//     characters.
//   Mouse actions, with Shift+ and Ctrl+ in front as for keys (held, and flagged in the message):
//     Press(P) Move(P) Release(P): the left button's messages at point P;
//     Click(P): press and release; DblClick(P): the second click of a double click;
//     Drag(P-Q): press at P, two moves to Q (the first move past the threshold starts dragging a
//     selection, the next carries it), release at Q.
//     A point P is "R,C": one pixel right of the left edge of display column C, in the middle of
//     row R; "R,C>": the right half of column C; "bar:R": the left bar beside row R; "px:X,Y":
//     client pixels. The pointer is left where the action ends.
#pragma once

#include "input/editor.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kst {

class ScriptClipboard;

// An editor with the main window's values in a focused recording window, and the messages a
// keyboard sends it.
class KeystrokeDriver {
public:
    KeystrokeDriver();
    ~KeystrokeDriver();
    KeystrokeDriver(const KeystrokeDriver&) = delete;
    KeystrokeDriver& operator=(const KeystrokeDriver&) = delete;

    TEditor& Editor() const { return *FEditor; }
    RecordingHost& Host() { return FHost; }

    // A script option (see above); false for an unknown name.
    bool SetOption(std::string_view Name, int Value);
    void SetVisibleRows(int Rows);
    void SetClipboard(std::string_view Text, bool Box);

    // A key press: key down (Repeats of them, the later ones marked as auto-repeats), the
    // character it produces when Char is not 0, key up; Shift holds the modifiers meanwhile.
    void PressKey(std::uint16_t Key, TShiftState Shift, char Char = 0, int Repeats = 1);
    // Types Text as the window layer delivers typed characters.
    void Type(std::string_view Text);
    // Each byte as a character message with nothing queued behind it.
    void TypeRawBytes(std::string_view Bytes);
    // An input-method result followed by the system's echo of its characters.
    void ImeResult(std::string_view Text);
    // A mouse message at a client point, with the modifiers held and the pointer moved there.
    void Mouse(unsigned Msg, TPoint Point, TShiftState Shift);
    // The client point of a script point (see above).
    TPoint PointOf(std::string_view Point) const;

    // The text with | at the caret and ^ at the anchor of a selection, in script notation.
    std::string Render() const;
    // The caret's byte offset in the text, clamped to its row.
    int CaretOffset() const;
    // The byte offset of a position, clamped to its row.
    int OffsetOf(int Row, int Col) const;
    std::optional<int> AnchorOffset() const;

private:
    void DeliverQueuedCharacters();
    void Send(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam);

    RecordingHost FHost{{400, 300}};
    std::unique_ptr<ScriptClipboard> FClipboard;
    std::unique_ptr<TEditor> FEditor;
};

// CP932 bytes in script notation, with | and ^ escaped.
std::string BytesToScriptText(std::string_view Bytes);

// Runs a script on a fresh editor; fails with the line and the difference at the first
// expectation that does not hold.
::testing::AssertionResult RunKeystrokeScript(std::string_view Script);

} // namespace kst
