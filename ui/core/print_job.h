// One press of Print, the same on every platform: find the default printer's
// page, decide whether the page goes on it upright or turned, draw it, hand
// the job over or drop it, and decide what to tell the user. Each platform's
// printing does the asking and the drawing behind PrintSystem.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/core/form_state.h"
#include "ui/core/print_routine.h"
#include "ui/core/printer_page.h"
#include "ui/core/surface.h"

namespace ui {

// A platform's printing: its print system (CUPS, the Windows spooler) and its
// printer's page as a drawing surface.
class PrintSystem {
 public:
  virtual ~PrintSystem() = default;

  // The default printer's page; nullopt with Error() set when there is none
  // to print on.
  virtual std::optional<PrinterPage> DefaultPage() = 0;
  // Why the last request failed, for the user, ending in what became of the job.
  virtual std::u16string Error() const = 0;

  // One job on `page`, as a drawing surface in twips from the corner of its
  // printable area; `turned`: the page goes on the media a quarter turn round.
  // Its EndDoc hands the job over; Abort drops it. Never null.
  virtual std::unique_ptr<PrinterSurface> Job(const PrinterPage& page, bool turned) = 0;

  // The page's font (Courier New 8 pt bold, or what stands in for it): the
  // width of a text and the height of a line, in twips.
  virtual int TextWidth(std::u16string_view text) const = 0;
  virtual int TextHeight() const = 0;
};

// What reaches how far on the page, for `state`: each printed symbol and the
// page as a whole (twips).
struct PageReach {
  std::vector<PrintedExtent> symbols;
  int right = 0;
  int bottom = 0;

  PageReach(const FormState& state, const PrintSystem& printing);
  bool Fits(int width, int height) const { return right <= width && bottom <= height; }
  // The page goes on the media turned a quarter turn when it does not fit
  // the printable area upright, but fits it turned.
  bool FitsOnlyTurned(const PrinterPage& page) const;
  // What to say of the symbols that run past the printable area of `page`,
  // printed upright; empty when all fit.
  std::u16string PastPrintableArea(const PrinterPage& page) const;
};

// Prints `state` on the default printer of `printing`, without a dialog, on
// its own media, turned a quarter turn where only so it fits. Returns the
// empty text when the whole page went to the printer and fits its printable
// area, else what the user should be told. A job that fails is dropped,
// never left half-made.
std::u16string PrintOnDefaultPrinter(PrintSystem& printing, const FormState& state);

}  // namespace ui
