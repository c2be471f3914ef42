// The "TEditor" window class: a Unicode window whose procedure hands every message to its TEditor.
// Text-carrying messages exchange UTF-16 with callers and CP932 with the editor; position-carrying
// messages count CP932 bytes.
#pragma once

#include "input/editor.h"
#include "win32/windows_api.h"

namespace kst::win32 {

inline constexpr wchar_t kEditorClassName[] = L"TEditor";

// Registers the class once per process; later calls do nothing.
void RegisterEditorWindowClass();

// The editor of a "TEditor" window; null for any other window.
TEditor* EditorOfWindow(HWND Window);

// Shows an exception that reached a window procedure, as the application's exception box does.
void ShowException(HWND Window, const std::exception& Error);

} // namespace kst::win32
