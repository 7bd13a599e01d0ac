// A press of Print on Windows: the page printed on the default printer on a
// thread of its own, so that the window stays live (typing goes on) while
// the spooler and the printer are asked; the state printed is the one of
// the press. A call that waits longer than the time-out is given up on, and
// the user is told within it; what is left of that job is dropped when the
// call returns. What to tell the user comes in a message box owned by the
// window, one at a time.
#pragma once

#include <windows.h>

#include <string>

#include "ui/core/form_state.h"

namespace ui {

inline constexpr int kPrintTimeoutMs = 3000;

// Prints `state` on the default printer; `window` owns the messages.
void PressPrint(HWND window, const FormState& state);

// How many presses are still under way (for tests: 0 once all are told).
int PressesUnderWay();

}  // namespace ui
