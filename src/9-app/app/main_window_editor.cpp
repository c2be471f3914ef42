#include "app/main_window_editor.h"

#include "core/settings_notify.h"
#include "input/editor.h"

namespace kst {

namespace {

constexpr int kWheelNotch = 120;

void ApplyCursors(TEditorCursors& Cursors) {
    Cursors.SetDefaultCursor(crIBeam);
    Cursors.SetDragSelCursor(crDrag);
    Cursors.SetDragSelCopyCursor(crDragSelCopy);
    Cursors.SetInSelCursor(crDefault);
    Cursors.SetLeftMarginCursor(crRightArrow);
    Cursors.SetTopMarginCursor(crDefault);
}

void ApplyCaret(TEditorCaret& Caret) {
    ChangeInOneUpdate(Caret, [&Caret] {
        Caret.SetAutoCursor(true);
        Caret.SetAutoIndent(true);
        Caret.SetBackSpaceUnIndent(false);
        ApplyCursors(Caret.GetCursors());
        Caret.SetFreeCaret(false);
        Caret.SetFreeRow(true);
        Caret.SetInTab(false);
        Caret.SetKeepCaret(false);
        Caret.SetLockScroll(false);
        Caret.SetNextLine(true);
        Caret.SetPrevSpaceIndent(false);
        Caret.SetRowSelect(true);
        Caret.SetSelDragMode(dmAutomatic);
        Caret.SetSelMove(true);
        Caret.SetSoftTab(false);
        Caret.SetStyle(csDefault);
        Caret.SetTabIndent(true);
        Caret.SetTabSpaceCount(4);
        Caret.SetTokenEndStop(false);
    });
}

void ApplyMargin(TEditorMargin& Margin) {
    ChangeInOneUpdate(Margin, [&Margin] {
        Margin.SetCharacter(0);
        Margin.SetLeft(4);
        Margin.SetLine(2);
        Margin.SetTop(2);
    });
}

void SetMark(TEditorMark& Mark, TColor Color, bool Visible) {
    Mark.SetColor(Color);
    Mark.SetVisible(Visible);
}

void ApplyMarks(TEditorMarks& Marks) {
    ChangeInOneUpdate(Marks, [&Marks] {
        SetMark(Marks.GetEofMark(), clGray, true);
        SetMark(Marks.GetRetMark(), clGray, true);
        SetMark(Marks.GetWrapMark(), clGray, false);
        SetMark(Marks.GetHideMark(), clGray, false);
        SetMark(Marks.GetUnderline(), clLime, true);
    });
}

void ApplyRuler(TEditorRuler& Ruler) {
    ChangeInOneUpdate(Ruler, [&Ruler] {
        Ruler.SetBkColor(clSilver);
        Ruler.SetColor(clBlack);
        Ruler.SetEdge(true);
        Ruler.SetGaugeRange(8);
        Ruler.SetMarkColor(clBlack);
        Ruler.SetVisible(true);
    });
}

void ApplyLeftbar(TEditorLeftbar& Leftbar) {
    ChangeInOneUpdate(Leftbar, [&Leftbar] {
        Leftbar.SetBkColor(clSilver);
        Leftbar.SetColor(clBlack);
        Leftbar.SetColumn(3);
        Leftbar.SetEdge(true);
        Leftbar.SetLeftMargin(0);
        Leftbar.SetRightMargin(4);
        Leftbar.SetShowNumber(true);
        Leftbar.SetShowNumberMode(nmLine);
        Leftbar.SetVisible(true);
        Leftbar.SetZeroBase(false);
        Leftbar.SetZeroLead(false);
    });
}

void ApplyImagebar(TEditorImagebar& Imagebar) {
    ChangeInOneUpdate(Imagebar, [&Imagebar] {
        Imagebar.SetDigitWidth(4);
        Imagebar.SetLeftMargin(2);
        Imagebar.SetMarkWidth(0);
        Imagebar.SetRightMargin(2);
        Imagebar.SetVisible(true);
    });
}

void ApplySpeed(TEditorSpeed& Speed) {
    Speed.SetCaretVerticalAc(2);
    Speed.SetInitBracketsFull(false);
    Speed.SetPageVerticalRange(2);
    Speed.SetPageVerticalRangeAc(2);
}

} // namespace

void ApplyMainWindowViewSettings(const TEditorViewSettings& Settings) {
    ApplyCaret(Settings.Caret);
    ApplyMargin(Settings.Margin);
    ApplyMarks(Settings.Marks);
    ApplyMainWindowColouring(Settings.View.GetFountain());
    ApplyRuler(Settings.Ruler);
    ApplyLeftbar(Settings.Leftbar);
    ApplyImagebar(Settings.Imagebar);
    ApplySpeed(Settings.Speed);
}

void ApplyMainWindowWrapOptions(TEditorWrapOption& Options) {
    ChangeInOneUpdate(Options, [&Options] {
        Options.SetFollowRetMark(false);
        Options.SetFollowPunctuation(false);
        Options.SetFollowStr(kDefaultFollowStr);
        Options.SetLeading(false);
        Options.SetLeadStr(kDefaultLeadStr);
        Options.SetPunctuationStr(kDefaultPunctuationStr);
        Options.SetWordBreak(false);
        Options.SetWrapByte(250);
    });
}

void InstallMainWindowMouseHandlers(TEditor& Editor) {
    Editor.OnDblClick = [](TEditor& Sender) { Sender.SelectTokenAtCaret(); };
    // The event stays unhandled, so the default wheel handling still runs.
    Editor.OnMouseWheel = [](TEditor& Sender, TShiftState, int Delta, TPoint, bool&) {
        Sender.SetTopRow(Sender.GetTopRow() - Delta / kWheelNotch);
    };
}

void ApplyMainWindowEditorValues(TEditor& Editor) {
    ApplyMainWindowViewSettings({.Caret = Editor.GetCaret(),
                                 .Margin = Editor.GetMargin(),
                                 .Marks = Editor.GetMarks(),
                                 .View = Editor.GetView(),
                                 .Ruler = Editor.GetRuler(),
                                 .Leftbar = Editor.GetLeftbar(),
                                 .Imagebar = Editor.GetImagebar(),
                                 .Speed = Editor.GetSpeed()});
    ApplyMainWindowWrapOptions(Editor.GetWrapOption());
    Editor.SetScrollBars(ssBoth);
    Editor.SetUndoListMax(64);
    TEditorFont font = Editor.GetFont();
    font.Name = "ＭＳ ゴシック";
    font.Height = -16;
    font.Charset = kShiftJisCharset;
    Editor.SetFont(font);
    InstallMainWindowMouseHandlers(Editor);
}

} // namespace kst
