// The print routine and how far what it prints reaches.
#include "ui/core/print_routine.h"

#include <algorithm>
#include <cstdint>

#include "ui/core/layout.h"

namespace ui {

void PrintBars(Surface& page, const barcode::BarPattern& bars, int x0, int top, int moduleWidth) {
  if (moduleWidth <= 0) return;  // no run has any width
  const int trim = moduleWidth / 10;
  const auto y0 = static_cast<float>(top);
  const auto y1 = static_cast<float>(top + kBarHeight);
  // Every edge stays within x0 + the width allowance: modules x width <= allowance.
  std::int64_t left = x0;
  std::int64_t right = x0;
  for (std::size_t i = 1; i <= bars.size(); ++i) {
    if (bars[i - 1] == '1') {
      right += moduleWidth;
      continue;
    }
    if (left < right)
      page.Line(kFilledBox, static_cast<float>(left + trim), y0, static_cast<float>(right - trim),
                y1, kBlack);
    left = right = x0 + static_cast<std::int64_t>(i) * moduleWidth;
  }
  if (left < right)  // the pattern ends in a dark module: that run is not trimmed
    page.Line(kFilledBox, static_cast<float>(left), y0, static_cast<float>(right), y1, kBlack);
}

int PrintModuleWidth(int widthAllowance, std::size_t modules) {
  return modules == 0 ? 0
                      : static_cast<int>(static_cast<std::size_t>(widthAllowance) / modules);
}

std::vector<PrintedSymbol> PrintedSymbols(const FormState& state) {
  std::vector<PrintedSymbol> symbols;
  for (const SymbolPlace& place : kPlaces)
    if (const barcode::BarPattern& bars = state.*place.bars; !bars.empty())
      symbols.push_back({place, PrintModuleWidth(place.widthAllowance, bars.size())});
  return symbols;
}

std::vector<PrintedExtent> PrintedExtents(const FormState& state,
                                          const std::function<int(std::u16string_view)>& textWidth,
                                          int textHeight) {
  std::vector<PrintedExtent> extents;
  for (const auto& [place, moduleWidth] : PrintedSymbols(state)) {
    // Modules x width stays within the allowance, so this can't overflow.
    const int barsRight =
        place.barsX +
        static_cast<int>((state.*place.bars).size() * static_cast<std::size_t>(moduleWidth));
    const int right = std::max({place.captionX + textWidth(Ascii(place.caption)), barsRight,
                                place.textX + textWidth(state.*place.text)});
    const int bottom = std::max(place.barsTop + kBarHeight, place.textY + textHeight);
    extents.push_back({place.caption, right, bottom});
  }
  return extents;
}

bool Command1_Click(PrinterSurface& printer, const FormState& state) {
  printer.PrintQuality(PrinterSurface::kHigh);
  printer.Font(Ascii(kFontName), kFontPoints, true);
  for (const auto& [place, moduleWidth] : PrintedSymbols(state)) {
    PrintAt(printer, place.captionX, place.captionY, Ascii(place.caption));
    printer.DrawWidth(1);
    PrintBars(printer, state.*place.bars, place.barsX, place.barsTop, moduleWidth);
    PrintAt(printer, place.textX, place.textY, state.*place.text);
    if (printer.Failed()) break;
  }
  if (printer.Failed()) {
    printer.Abort();
    return false;
  }
  printer.EndDoc();
  return !printer.Failed();
}

}  // namespace ui
