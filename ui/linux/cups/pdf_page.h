// The printer's page as a drawing surface: a PDF in memory, the size of the
// printer's media, every box on its dot grid; one job, handed over whole.
#pragma once

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <functional>
#include <memory>
#include <optional>

#include "ui/core/printer_page.h"
#include "ui/core/surface.h"
#include "ui/linux/qt/qt_surface.h"

namespace ui {

// Hands a finished page (a PDF drawn at `dpi`) to the printer. Returns the
// empty text once the printer has the whole job, else what to tell the user.
using Spooler = std::function<QString(const QByteArray& pdf, int dpi, const QString& title)>;

// One print job on the printer's page. The page is drawn in memory into a
// PDF exactly the size of the printer's media, with the twips starting at the
// corner of its printable area and every box on the printer's dot grid; EndDoc
// hands it to the spooler. A job that failed, or was aborted, never reaches
// the spooler, so no partial page can go out. A page printed turned starts
// at the corner of the printable area as seen in the turned page.
class QtPrinterSurface final : public PrinterSurface {
 public:
  QtPrinterSurface(PrinterPage page, Spooler spool,
                   QtPainterSurface::Turn turn = QtPainterSurface::Turn::kUpright);
  ~QtPrinterSurface() override;

  int Width() const override;
  int Height() const override;
  void FillColor(int colour) override;
  void FillStyle(int style) override;
  void Line(int flags, float x1, float y1, float x2, float y2, int colour) override;
  void DrawWidth(int pixels) override;
  void CurrentX(float x) override;
  void CurrentY(float y) override;
  void Print(std::u16string_view text) override;
  void Font(std::u16string_view name, int points, bool bold) override;

  void PrintQuality(int quality) override;
  void EndDoc() override;
  bool Failed() const override { return failed_; }
  void Abort() override;

  std::u16string ErrorText() const override { return error_; }
  // The page's resolution in dots per inch.
  int Resolution() const { return dpi_; }

 private:
  QtPainterSurface* Page();  // begins the page on first use; null once failed or ended
  int NativeDpi() const;
  void Fail(std::u16string_view why);

  PrinterPage page_;
  Spooler spool_;
  QtPainterSurface::Turn turn_;
  int dpi_;
  QBuffer pdf_;
  std::unique_ptr<QPdfWriter> writer_;
  QPainter painter_;
  std::optional<QtPainterSurface> surface_;
  bool failed_ = false;
  bool ended_ = false;
  std::u16string error_;
};

}  // namespace ui
