// The editor's caret options: how the caret moves, indents and tabs, how selections are dragged,
// and which mouse cursor each area of the editor shows.
#pragma once

#include "core/notify.h"
#include "core/settings_notify.h"
#include "core/settings_table.h"

#include <cstdint>
#include <vector>

namespace kst {

// A mouse cursor: a system cursor (negative), the standard arrow (0), or one the program registers
// in the screen's cursor table.
using TCursor = std::int16_t;

constexpr TCursor crDefault = 0;
constexpr TCursor crIBeam = -4;
constexpr TCursor crDrag = -12;
// The program's own cursors, registered at start from its resources "RightArrow" and
// "DragSelCopy".
constexpr TCursor crRightArrow = 1958;
constexpr TCursor crDragSelCopy = 1959;

enum TDragMode : std::uint8_t { dmManual, dmAutomatic };

enum TEditorCaretStyle : std::uint8_t { csDefault, csBrief };

// The tab width in columns: only 2, 4, 6 and 8 are stored.
constexpr int kMinTabSpaceCount = 2;
constexpr int kMaxTabSpaceCount = 8;

constexpr int ClampTabSpaceCount(int Value) {
    return ClampEven(Value, kMinTabSpaceCount, kMaxTabSpaceCount);
}

// The mouse cursor of each area of the editor, shown while Caret.AutoCursor is on.
#define KST_CURSORS_SETTINGS(VALUE, PART)                                                          \
    VALUE(TCursor, DefaultCursor, crIBeam, AsGiven)                                                \
    VALUE(TCursor, DragSelCursor, crDrag, AsGiven)                                                 \
    VALUE(TCursor, DragSelCopyCursor, crDragSelCopy, AsGiven)                                      \
    VALUE(TCursor, InSelCursor, crDefault, AsGiven)                                                \
    VALUE(TCursor, LeftMarginCursor, crRightArrow, AsGiven)                                        \
    VALUE(TCursor, TopMarginCursor, crDefault, AsGiven)

class TEditorCursors : public TNotifyPersistent {
    KST_SETTINGS(TEditorCursors, KST_CURSORS_SETTINGS)
};
#undef KST_CURSORS_SETTINGS

// The caret and editing options. A change of the cursors is reported as a change of the caret.
#define KST_CARET_SETTINGS(VALUE, PART)                                                            \
    VALUE(bool, AutoCursor, true, AsGiven)                                                         \
    VALUE(bool, AutoIndent, true, AsGiven)                                                         \
    VALUE(bool, BackSpaceUnIndent, true, AsGiven)                                                  \
    PART(TEditorCursors, Cursors)                                                                  \
    VALUE(bool, FreeCaret, true, AsGiven)                                                          \
    VALUE(bool, FreeRow, false, AsGiven)                                                           \
    VALUE(bool, InTab, false, AsGiven)                                                             \
    VALUE(bool, KeepCaret, false, AsGiven)                                                         \
    VALUE(bool, LockScroll, false, AsGiven)                                                        \
    VALUE(bool, NextLine, false, AsGiven)                                                          \
    VALUE(bool, PrevSpaceIndent, false, AsGiven)                                                   \
    VALUE(bool, RowSelect, true, AsGiven)                                                          \
    VALUE(TDragMode, SelDragMode, dmAutomatic, AsGiven)                                            \
    VALUE(bool, SelMove, true, AsGiven)                                                            \
    VALUE(bool, SoftTab, false, AsGiven)                                                           \
    VALUE(TEditorCaretStyle, Style, csDefault, AsGiven)                                            \
    VALUE(bool, TabIndent, false, AsGiven)                                                         \
    VALUE(int, TabSpaceCount, 8, ClampTabSpaceCount)                                               \
    VALUE(bool, TokenEndStop, false, AsGiven)

class TEditorCaret : public TNotifyPersistent {
    KST_SETTINGS(TEditorCaret, KST_CARET_SETTINGS)
};
#undef KST_CARET_SETTINGS

} // namespace kst
