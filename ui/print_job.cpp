#include "ui/print_job.h"

#include <QFontMetricsF>
#include <QStringList>
#include <cmath>

#include "ui/cups_printer.h"
#include "ui/layout.h"
#include "ui/print_routine.h"
#include "ui/qt_surface.h"

namespace ui {
namespace {

QString Inches(int twips) { return QString::number(twips / 1440.0, 'f', 2); }

QString Size(int widthTwips, int heightTwips) {
  return QStringLiteral("%1 x %2 in (%3 x %4 mm)")
      .arg(Inches(widthTwips), Inches(heightTwips))
      .arg(std::lround(widthTwips * 25.4 / 1440.0))
      .arg(std::lround(heightTwips * 25.4 / 1440.0));
}

// The page's font at 1 pixel a twip, to measure the printed texts.
QFontMetricsF PageFontMetrics() {
  return QFontMetricsF(SurfaceFont(Latin1(kFontName), true, kFontPoints * 20));  // 20 twips a point
}

}  // namespace

QString SymbolsPastPrintableArea(const FormState& state, const PrinterPage& page) {
  const int width = HmmToTwips(page.width - page.left - page.right);
  const int height = HmmToTwips(page.length - page.top - page.bottom);
  const QFontMetricsF metrics = PageFontMetrics();
  const auto textWidth = [&metrics](const QString& text) {
    return static_cast<int>(std::ceil(metrics.horizontalAdvance(text)));
  };
  QStringList cut;
  int needWidth = 0;
  int needHeight = 0;
  for (const PrintedExtent& e :
       PrintedExtents(state, textWidth, static_cast<int>(std::ceil(metrics.height())))) {
    needWidth = std::max(needWidth, e.right);
    needHeight = std::max(needHeight, e.bottom);
    if (e.right > width || e.bottom > height) cut << u'"' + Latin1(e.caption) + u'"';
  }
  if (cut.isEmpty()) return {};
  const QString which = cut.size() == 1 ? cut.front()
                                        : cut.mid(0, cut.size() - 1).join(QStringLiteral(", ")) +
                                              QStringLiteral(" and ") + cut.back();
  return QStringLiteral(
             "The page went to the printer \"%1\", but %2 %3 not fit on its media (%4printable "
             "area %5) and %6 cut off. To print the page whole, the printable area must be at "
             "least %7: load paper or labels that large and make them the printer's default "
             "media (in the system's printer settings), or print on another printer.")
      .arg(page.printer, which, cut.size() == 1 ? QStringLiteral("does") : QStringLiteral("do"),
           (page.media.isEmpty() ? QString() : page.media + QStringLiteral(", ")) +
               Size(HmmToTwips(page.width), HmmToTwips(page.length)) + QStringLiteral("; "),
           Size(width, height),
           cut.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"),
           Size(needWidth, needHeight));
}

QString PrintOnDefaultPrinter(const FormState& state) {
  PrintServer server;
  const std::optional<PrinterPage> page = server.DefaultPage();
  if (!page) return server.Error();
  QtPrinterSurface paper(*page, [&](const QByteArray& pdf, int dpi, const QString& title) {
    return server.Submit(*page, dpi, pdf, title);
  });
  if (!Command1_Click(paper, state)) return paper.ErrorText();
  return SymbolsPastPrintableArea(state, *page);
}

}  // namespace ui
