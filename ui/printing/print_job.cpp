// Printing the window's state on the default printer: the page, which way it
// goes on the media, the job and what did not fit.
#include "ui/printing/print_job.h"

#include <QFontMetricsF>
#include <QStringList>
#include <cmath>

#include "ui/core/layout.h"
#include "ui/core/print_routine.h"
#include "ui/printing/cups_printer.h"
#include "ui/printing/pdf_page.h"
#include "ui/qt/qt_surface.h"

namespace ui {
namespace {

// The page's font at 1 pixel a twip, to measure the printed texts.
QFontMetricsF PageFontMetrics() {
  return QFontMetricsF(SurfaceFont(Latin1(kFontName), true, kFontPoints * 20));  // 20 twips a point
}

// How far each printed symbol reaches, and the page as a whole (twips).
struct Reach {
  std::vector<PrintedExtent> symbols;
  int right = 0;
  int bottom = 0;

  explicit Reach(const FormState& state) {
    const QFontMetricsF metrics = PageFontMetrics();
    const auto textWidth = [&metrics](const QString& text) {
      return static_cast<int>(std::ceil(metrics.horizontalAdvance(text)));
    };
    symbols = PrintedExtents(state, textWidth, static_cast<int>(std::ceil(metrics.height())));
    for (const PrintedExtent& e : symbols) {
      right = std::max(right, e.right);
      bottom = std::max(bottom, e.bottom);
    }
  }
  bool Fits(int width, int height) const { return right <= width && bottom <= height; }
  // The page goes on the media turned a quarter turn when it does not fit
  // the printable area upright, but fits it turned.
  bool FitsOnlyTurned(const PrinterPage& page) const {
    const int width = page.PrintableWidth();
    const int height = page.PrintableHeight();
    return !Fits(width, height) && Fits(height, width);
  }
};

// Which symbols of the page printed upright run past the printable area of
// `page`, and what would make them fit; the empty text when all fit.
QString SymbolsPastPrintableArea(const Reach& reach, const PrinterPage& page) {
  const int width = page.PrintableWidth();
  const int height = page.PrintableHeight();
  QStringList cut;
  for (const PrintedExtent& e : reach.symbols)
    if (e.right > width || e.bottom > height) cut << u'"' + Latin1(e.caption) + u'"';
  if (cut.isEmpty()) return {};
  const QString which = cut.size() == 1 ? cut.front()
                                        : cut.mid(0, cut.size() - 1).join(QStringLiteral(", ")) +
                                              QStringLiteral(" and ") + cut.back();
  return QStringLiteral(
             "The page went to the printer \"%1\", but %2 %3 not fit on its media (%4printable "
             "area %5) and %6 cut off, also with the page turned a quarter turn. To print the "
             "page whole, the printable area must be at least %7: load paper or labels that "
             "large and make them the printer's default media (in the system's printer "
             "settings), or print on another printer.")
      .arg(page.printer, which, cut.size() == 1 ? QStringLiteral("does") : QStringLiteral("do"),
           (page.media.isEmpty() ? QString() : page.media + QStringLiteral(", ")) +
               SizeText(page.width, page.length) + QStringLiteral("; "),
           SizeText(TwipsToHmm(width), TwipsToHmm(height)),
           cut.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"),
           SizeText(TwipsToHmm(reach.right), TwipsToHmm(reach.bottom)));
}

}  // namespace

QString PrintOnDefaultPrinter(const FormState& state) {
  PrintServer server;
  const std::optional<PrinterPage> page = server.DefaultPage();
  if (!page) return server.Error();
  const Reach reach(state);
  const bool turned = reach.FitsOnlyTurned(*page);
  QtPrinterSurface paper(
      *page,
      [&](const QByteArray& pdf, int dpi, const QString& title) {
        return server.Submit(*page, dpi, pdf, title);
      },
      turned ? QtPainterSurface::Turn::kQuarter : QtPainterSurface::Turn::kUpright);
  if (!Command1_Click(paper, state)) return paper.ErrorText();
  return turned ? QString() : SymbolsPastPrintableArea(reach, *page);
}

}  // namespace ui
