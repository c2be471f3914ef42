// <windows.h> for the Windows layer, without the ANSI/wide alias macros whose names the editor
// uses for its own members (Surface::TextOut, TEditor::GetCharWidth).
#pragma once

#include <windows.h>

#undef GetCharWidth
#undef TextOut
