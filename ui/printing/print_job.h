// Printing the window's state on the system's default printer.
#pragma once

#include <QString>

#include "ui/core/form_state.h"
#include "ui/core/printer_page.h"

namespace ui {

// Prints the state on the system's default printer, without a dialog, on
// its own media at its own resolution, turned a quarter turn where only so
// it fits. Returns the empty text when the whole
// page went to the printer and fits its printable area, else what the user
// should be told. A job that fails is dropped, never left half-made.
QString PrintOnDefaultPrinter(const FormState& state);

// Whether the page goes on `page`'s media turned a quarter turn: when what
// it prints does not fit the printable area upright, but fits it turned.
bool PrintTurned(const FormState& state, const PrinterPage& page);

// Which symbols of the page printed upright run past the printable area of
// `page`, and what would make them fit; the empty text when all fit.
QString SymbolsPastPrintableArea(const FormState& state, const PrinterPage& page);

}  // namespace ui
