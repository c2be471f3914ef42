// <windows.h> for the Windows layer, without the ANSI/wide alias macros whose names the editor
// uses for its own members (Surface::TextOut, TEditor::GetCharWidth, the desktop's functions).
#pragma once

// The portable code's message and key constants have the names of <windows.h> macros, so they are
// declared before the macros exist, whatever a file includes first.
#include "core/messages.h"

#include <windows.h>

#undef GetCharWidth
#undef TextOut
#undef MessageBox
#undef WriteProfileString
