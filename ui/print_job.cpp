#include "ui/print_job.h"

#include <QPrinterInfo>

#include "ui/print_routine.h"
#include "ui/qt_surface.h"

namespace ui {

QString PrintOnDefaultPrinter(const FormState& state) {
  // QPrinter would quietly pick some other printer, or a PDF file, when no
  // default is set: refuse instead.
  const QPrinterInfo target = QPrinterInfo::defaultPrinter();
  if (target.isNull()) {
    if (!SpoolerRunning())
      return QStringLiteral(
          "The print service (CUPS) is not running, so there is no printer to print on. "
          "Start it, then press Print again.");
    return QStringLiteral(
        "No printer is set up. Set up a default printer in the system's printer settings, "
        "then press Print again.");
  }
  QtPrinterSurface page(target);
  if (Command1_Click(page, state)) return {};
  return page.ErrorText() + QStringLiteral(" Nothing was printed.");
}

}  // namespace ui
