#pragma once

#include <QString>

#include "ui/form_state.h"

namespace ui {

// Prints the state on the system's default printer, without a dialog, at
// high resolution. Returns the empty text when the page went to the spooler,
// else what the user should be told. The job is dropped when it fails.
QString PrintOnDefaultPrinter(const FormState& state);

}  // namespace ui
