#include "input/main_window_mouse.h"

#include "input/editor.h"

namespace kst {

namespace {

constexpr int kWheelNotch = 120;

} // namespace

void InstallMainWindowMouseHandlers(TEditor& Editor) {
    Editor.OnDblClick = [](TEditor& Sender) { Sender.SelectTokenAtCaret(); };
    // The event stays unhandled, so the default wheel handling still runs.
    Editor.OnMouseWheel = [](TEditor& Sender, TShiftState, int Delta, TPoint, bool&) {
        Sender.SetTopRow(Sender.GetTopRow() - Delta / kWheelNotch);
    };
}

} // namespace kst
