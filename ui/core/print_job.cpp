// One press of Print: the page, which way it goes on the media, the job, and
// what did not fit.
#include "ui/core/print_job.h"

#include <algorithm>

#include "ui/core/messages.h"
#include "ui/core/outside_text.h"
#include "ui/core/print_routine.h"

namespace ui {

PageReach::PageReach(const FormState& state, const PrintSystem& printing)
    : symbols(PrintedExtents(
          state, [&printing](std::u16string_view text) { return printing.TextWidth(text); },
          printing.TextHeight())) {
  for (const PrintedExtent& e : symbols) {
    right = std::max(right, e.right);
    bottom = std::max(bottom, e.bottom);
  }
}

bool PageReach::FitsOnlyTurned(const PrinterPage& page) const {
  const int width = page.PrintableWidth();
  const int height = page.PrintableHeight();
  return !Fits(width, height) && Fits(height, width);
}

std::u16string PageReach::PastPrintableArea(const PrinterPage& page) const {
  const int width = page.PrintableWidth();
  const int height = page.PrintableHeight();
  std::vector<std::u16string> cut;
  for (const PrintedExtent& e : symbols)
    if (e.right > width || e.bottom > height) cut.push_back(Ascii(e.caption));
  if (cut.empty()) return {};
  const std::u16string media =
      (page.media.empty() ? std::u16string() : ShownName(page.media) + u", ") +
      SizeText(page.width, page.length);
  return SymbolsCutOff(page.printer, cut, media, SizeText(TwipsToHmm(width), TwipsToHmm(height)),
                       SizeText(TwipsToHmm(right), TwipsToHmm(bottom)));
}

std::u16string PrintOnDefaultPrinter(PrintSystem& printing, const FormState& state) {
  const std::optional<PrinterPage> page = printing.DefaultPage();
  if (!page) return printing.Error();
  const PageReach reach(state, printing);
  const bool turned = reach.FitsOnlyTurned(*page);
  const std::unique_ptr<PrinterSurface> paper = printing.Job(*page, turned);
  if (!Command1_Click(*paper, state)) return paper->ErrorText();
  return turned ? std::u16string() : reach.PastPrintableArea(*page);
}

}  // namespace ui
