// The editor's caret options: how the caret moves, indents and tabs, how selections are dragged,
// and which mouse cursor each area of the editor shows.
#pragma once

#include "core/notify.h"

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

// The mouse cursor of each area of the editor, shown while Caret.AutoCursor is on.
class TEditorCursors : public TNotifyPersistent {
public:
    const char* ClassName() const override { return "TEditorCursors"; }

    // Copies all six cursors of another TEditorCursors and reports one change.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

    TCursor GetDefaultCursor() const { return FDefaultCursor; }
    void SetDefaultCursor(TCursor Value);
    TCursor GetDragSelCursor() const { return FDragSelCursor; }
    void SetDragSelCursor(TCursor Value);
    TCursor GetDragSelCopyCursor() const { return FDragSelCopyCursor; }
    void SetDragSelCopyCursor(TCursor Value);
    TCursor GetInSelCursor() const { return FInSelCursor; }
    void SetInSelCursor(TCursor Value);
    TCursor GetLeftMarginCursor() const { return FLeftMarginCursor; }
    void SetLeftMarginCursor(TCursor Value);
    TCursor GetTopMarginCursor() const { return FTopMarginCursor; }
    void SetTopMarginCursor(TCursor Value);

private:
    TCursor FDefaultCursor = crIBeam;
    TCursor FDragSelCursor = crDrag;
    TCursor FDragSelCopyCursor = crDragSelCopy;
    TCursor FInSelCursor = crDefault;
    TCursor FLeftMarginCursor = crRightArrow;
    TCursor FTopMarginCursor = crDefault;
};

// The caret and editing options. A change of the cursors is reported as a change of the caret.
class TEditorCaret : public TNotifyPersistent {
public:
    TEditorCaret();

    const char* ClassName() const override { return "TEditorCaret"; }

    // Copies every option and the cursors of another TEditorCaret and reports one change.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

    bool GetAutoCursor() const { return FAutoCursor; }
    void SetAutoCursor(bool Value);
    bool GetAutoIndent() const { return FAutoIndent; }
    void SetAutoIndent(bool Value);
    bool GetBackSpaceUnIndent() const { return FBackSpaceUnIndent; }
    void SetBackSpaceUnIndent(bool Value);
    TEditorCursors& GetCursors() { return FCursors; }
    const TEditorCursors& GetCursors() const { return FCursors; }
    // Copies Value into the caret's own cursors.
    void SetCursors(const TEditorCursors& Value) { FCursors.Assign(Value); }
    bool GetFreeCaret() const { return FFreeCaret; }
    void SetFreeCaret(bool Value);
    bool GetFreeRow() const { return FFreeRow; }
    void SetFreeRow(bool Value);
    bool GetInTab() const { return FInTab; }
    void SetInTab(bool Value);
    bool GetKeepCaret() const { return FKeepCaret; }
    void SetKeepCaret(bool Value);
    bool GetLockScroll() const { return FLockScroll; }
    void SetLockScroll(bool Value);
    bool GetNextLine() const { return FNextLine; }
    void SetNextLine(bool Value);
    bool GetPrevSpaceIndent() const { return FPrevSpaceIndent; }
    void SetPrevSpaceIndent(bool Value);
    bool GetRowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    TDragMode GetSelDragMode() const { return FSelDragMode; }
    void SetSelDragMode(TDragMode Value);
    bool GetSelMove() const { return FSelMove; }
    void SetSelMove(bool Value);
    bool GetSoftTab() const { return FSoftTab; }
    void SetSoftTab(bool Value);
    TEditorCaretStyle GetStyle() const { return FStyle; }
    void SetStyle(TEditorCaretStyle Value);
    bool GetTabIndent() const { return FTabIndent; }
    void SetTabIndent(bool Value);
    int GetTabSpaceCount() const { return FTabSpaceCount; }
    // Clamps to kMinTabSpaceCount..kMaxTabSpaceCount and rounds down to an even number.
    void SetTabSpaceCount(int Value);
    bool GetTokenEndStop() const { return FTokenEndStop; }
    void SetTokenEndStop(bool Value);

private:
    bool FAutoCursor = true;
    bool FAutoIndent = true;
    bool FBackSpaceUnIndent = true;
    TEditorCursors FCursors;
    bool FFreeCaret = true;
    bool FFreeRow = false;
    bool FInTab = false;
    bool FKeepCaret = false;
    bool FLockScroll = false;
    bool FNextLine = false;
    bool FPrevSpaceIndent = false;
    bool FRowSelect = true;
    TDragMode FSelDragMode = dmAutomatic;
    bool FSelMove = true;
    bool FSoftTab = false;
    TEditorCaretStyle FStyle = csDefault;
    bool FTabIndent = false;
    int FTabSpaceCount = 8;
    bool FTokenEndStop = false;
};

} // namespace kst
