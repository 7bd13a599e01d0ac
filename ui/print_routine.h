#pragma once

#include "ui/form_state.h"
#include "ui/surface.h"

namespace ui {

// Prints every symbol whose pattern is not empty on one page and ends the
// document. Each run of dark modules becomes one black box, narrowed at both
// ends by a tenth of the module width, except the run that ends the pattern.
// Returns false when the printer failed; the job is then aborted, not ended.
bool Command1_Click(PrinterSurface& printer, const FormState& state);

// The boxes of one pattern, from (x0, top), `moduleWidth` twips per module.
void PrintBars(Surface& page, const barcode::BarPattern& bars, int x0, int top, int moduleWidth);

}  // namespace ui
