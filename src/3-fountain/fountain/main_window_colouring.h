// The main window's colouring of VBScript, and its switch to plain text for files that are not
// scripts. Each function tells the fountain's subscribers once.
#pragma once

#include "fountain/editor_fountain.h"

#include <string_view>

namespace kst {

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
