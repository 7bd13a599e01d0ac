// Printing the window's state on the system's default printer.
#pragma once

#include <QString>

#include "ui/core/form_state.h"

namespace ui {

// Prints the state on the system's default printer, without a dialog, on
// its own media at its own resolution, turned a quarter turn where only so
// it fits. Returns the empty text when the whole
// page went to the printer and fits its printable area, else what the user
// should be told. A job that fails is dropped, never left half-made.
QString PrintOnDefaultPrinter(const FormState& state);

}  // namespace ui
