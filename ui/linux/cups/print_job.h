// Printing the window's state on the system's default printer.
#pragma once

#include "ui/core/form_state.h"
#include "ui/linux/qt/form1.h"

namespace ui {

// Prints the state on the system's default printer, without a dialog, on
// its own media at its own resolution, turned a quarter turn where only so
// it fits. Says nothing when the whole page went to the printer and fits its
// printable area, else what the user should be told; gives the job handed
// over, to follow. A job that fails is dropped, never left half-made.
Printed PrintOnDefaultPrinter(const FormState& state);

}  // namespace ui
