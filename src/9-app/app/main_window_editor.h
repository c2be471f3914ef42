// What the main window sets up in its editor control: the font, the display settings, the word-wrap
// options, the colouring of VBScript (and of other files after opening or saving them), and the
// answers to a double click and the wheel. The control's own layers know none of these values.
#pragma once

#include "display/caret_options.h"
#include "display/view_settings.h"
#include "fountain/editor_fountain.h"

#include <string_view>

namespace kst {

class TEditor;
class TEditorWrapOption;

// The display settings objects of one editor.
struct TEditorViewSettings {
    TEditorCaret& Caret;
    TEditorMargin& Margin;
    TEditorMarks& Marks;
    TEditorViewInfo& View;
    TEditorRuler& Ruler;
    TEditorLeftbar& Leftbar;
    TEditorImagebar& Imagebar;
    TEditorSpeed& Speed;
};

// Everything below, as the main window's editor starts: its font ("ＭＳ ゴシック", 16 pixels), both
// scroll bars, 64 undo steps, the display settings, the wrap options and the mouse handlers. Runs
// between BeginLoading and Loaded: the caller loads the properties.
void ApplyMainWindowEditorValues(TEditor& Editor);

// The main window's values: caret options for script editing with a tab width of 4, line-end,
// end-of-file and caret-row underline marks shown, the ruler and a three-digit left bar that
// numbers document lines, and the script colouring of the view (ApplyMainWindowColouring). Each
// object reports one change.
void ApplyMainWindowViewSettings(const TEditorViewSettings& Settings);

// Wrap column 250, no line-breaking rules, the default character lists. Reports one change.
void ApplyMainWindowWrapOptions(TEditorWrapOption& Options);

// A double click selects the token under the caret that the first click placed, and each wheel
// notch scrolls one row without moving the caret.
void InstallMainWindowMouseHandlers(TEditor& Editor);

// The values the main window's editor starts with: "'" comments, the VBScript reserved words in
// teal bold, comments in fuchsia, no brackets, strings, mail or URL detection. The editor font's
// colour (black) is the editor's, not the fountain's.
void ApplyMainWindowColouring(TEditorFountain& Fountain);

// Whether FileName has the extension ".vbs", in any case.
bool IsScriptFileName(std::string_view FileName);

// After opening FileName: a file that is not a script shows no comments and its reserved words in
// FontColor, not bold. A script keeps the colouring the window started with.
void ApplyOpenedFileColouring(TEditorFountain& Fountain, std::string_view FileName,
                              TColor FontColor);

// After saving under FileName: plain text as above for a file that is not a script; for a script,
// "'" comments and reserved words in green bold.
void ApplySavedAsFileColouring(TEditorFountain& Fountain, std::string_view FileName,
                               TColor FontColor);

} // namespace kst
