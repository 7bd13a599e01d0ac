// The print routine: the symbols on the printer's page, one box a run of bars.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "ui/core/form_state.h"
#include "ui/core/layout.h"
#include "ui/core/surface.h"

namespace ui {

// Prints every symbol whose pattern is not empty on one page and ends the
// document. Each run of dark modules becomes one black box, narrowed at both
// ends by a tenth of the module width, except the run that ends the pattern.
// Returns false when the printer failed; the job is then aborted, not ended.
bool Command1_Click(PrinterSurface& printer, const FormState& state);

// The boxes of one pattern, from (x0, top), `moduleWidth` twips per module.
void PrintBars(Surface& page, const barcode::BarPattern& bars, int x0, int top, int moduleWidth);

// The module width of a pattern of `modules` modules on paper: the symbol's
// width allowance shared out, truncated.
int PrintModuleWidth(int widthAllowance, std::size_t modules);

// One symbol as the page prints it: where it stands, and its bars' module width.
struct PrintedSymbol {
  const SymbolPlace& place;
  int moduleWidth;
};

// The symbols Command1_Click prints for `state`, in its order: those with bars.
std::vector<PrintedSymbol> PrintedSymbols(const FormState& state);

// How far one printed symbol reaches on the page (twips): its caption, its
// bars and its text.
struct PrintedExtent {
  std::string_view caption;
  int right;
  int bottom;
};

// The extents of the symbols that Command1_Click prints for `state`, in its
// order. `textWidth` gives the width of a text in the page's font, in twips;
// `textHeight` the height of a line of it.
std::vector<PrintedExtent> PrintedExtents(const FormState& state,
                                          const std::function<int(std::u16string_view)>& textWidth,
                                          int textHeight);

}  // namespace ui
