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

struct SpoolerCalls;

// Prints `state` on the default printer; `window` owns the messages.
void PressPrint(HWND window, const FormState& state);
// The same through `calls` (a test's, which answer as it chooses).
void PressPrintThrough(const SpoolerCalls& calls, HWND window, const FormState& state);

// How many presses are still under way, their messages included: 0 once
// all are told and answered. Another process may ask it too: sent to the
// message-only window of class kPressesClass, kPressesUnderWay returns it.
int PressesUnderWay();
inline constexpr wchar_t kPressesClass[] = L"BarcodesPresses";
inline constexpr UINT kPressesUnderWay = WM_APP + 3;

}  // namespace ui
