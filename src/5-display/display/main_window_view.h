// The display settings the main window gives its editor.
#pragma once

#include "display/caret_options.h"
#include "display/view_settings.h"

namespace kst {

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

// The main window's values: caret options for script editing with a tab width of 4, line-end,
// end-of-file and caret-row underline marks shown, the ruler and a three-digit left bar that
// numbers document lines, and the script colouring of the view (ApplyMainWindowColouring). Each
// object reports one change. The word-wrap options belong to the row store and have their own
// function, ApplyMainWindowWrapOptions.
void ApplyMainWindowViewSettings(const TEditorViewSettings& Settings);

} // namespace kst
