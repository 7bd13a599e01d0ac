// Printing the window's state on the default printer through CUPS: the
// print server's page, a PDF page for each job, and the page font's measures.
#include "ui/linux/cups/print_job.h"

#include <QFontMetricsF>
#include <cmath>

#include "ui/core/layout.h"
#include "ui/core/print_job.h"
#include "ui/linux/cups/cups_printer.h"
#include "ui/linux/cups/pdf_page.h"
#include "ui/linux/qt/qt_surface.h"

namespace ui {
namespace {

class CupsPrinting final : public PrintSystem {
 public:
  // The page's font at 1 pixel a twip (20 twips a point), to measure texts.
  CupsPrinting() : metrics_(SurfaceFont(Qt16(Ascii(kFontName)), true, kFontPoints * 20)) {}

  std::optional<PrinterPage> DefaultPage() override { return server_.DefaultPage(); }
  const PrintServer& Server() const { return server_; }
  std::u16string Error() const override { return Std16(server_.Error()); }
  std::unique_ptr<PrinterSurface> Job(const PrinterPage& page, bool turned) override {
    return std::make_unique<QtPrinterSurface>(
        page,
        [this, page](const QByteArray& pdf, int dpi, const QString& title) {
          return server_.Submit(page, dpi, pdf, title);
        },
        turned ? QtPainterSurface::Turn::kQuarter : QtPainterSurface::Turn::kUpright);
  }
  int TextWidth(std::u16string_view text) const override {
    return static_cast<int>(std::ceil(metrics_.horizontalAdvance(Qt16(text))));
  }
  int TextHeight() const override { return static_cast<int>(std::ceil(metrics_.height())); }

 private:
  PrintServer server_;
  QFontMetricsF metrics_;
};

}  // namespace

Printed PrintOnDefaultPrinter(const FormState& state) {
  CupsPrinting printing;
  const QString said = Qt16(PrintOnDefaultPrinter(printing, state));
  return {said, printing.Server().Follow()};
}

}  // namespace ui
