// The drawing surface over Qt: a QPainter on the picture box, an image or
// the printer's page. Twips are mapped to device pixels at the device's resolution
// (1440 twips per inch: 15 twips a pixel at 96 DPI), so a one-pixel line is
// one device pixel also on a high-density screen.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QBuffer>
#include <QPdfWriter>
#include <functional>
#include <memory>
#include <optional>

#include "ui/cups_printer.h"
#include "ui/surface.h"

class QPaintDevice;

namespace ui {

class QtPainterSurface final : public Surface {
 public:
  // How a filled box meets the device's pixels.
  enum class Boxes {
    // Outlined with a one-pixel pen: both corner pixels are inside (screen).
    kOutlined,
    // On the dot grid: both edges rounded to the nearest dot boundary by the
    // same rule, and exactly the dots between them filled (printer).
    kOnDotGrid,
  };

  // Which way the surface lies on the device.
  enum class Turn {
    kUpright,
    // A quarter turn anticlockwise, as a landscape page lies on paper: the
    // surface's top runs up the device's left edge. Device pixels stay
    // whole pixels.
    kQuarter,
  };

  // `painter` must be active on `device`; its transform is set here. The
  // surface's twips start at `origin` and it is `size` large, both in device
  // pixels as the surface sees the device (turned, when it is); by default
  // it is the whole device, upright.
  QtPainterSurface(QPainter& painter, const QPaintDevice& device);
  QtPainterSurface(QPainter& painter, const QPaintDevice& device, QPointF origin, QSizeF size,
                   Boxes boxes, Turn turn = Turn::kUpright);

  int Width() const override { return widthTwips_; }
  int Height() const override { return heightTwips_; }
  // Only boxes drawn without the fill option would use the fill; the surface
  // draws plain lines and filled boxes (in their own colour) alone.
  void FillColor(int) override {}
  void FillStyle(int) override {}
  void Line(int flags, float x1, float y1, float x2, float y2, int colour) override;
  void DrawWidth(int pixels) override { drawWidth_ = pixels < 1 ? 1 : pixels; }
  void CurrentX(float x) override { x_ = x; }
  void CurrentY(float y) override { y_ = y; }
  void Print(const QString& text) override;
  void Font(const QString& name, int points, bool bold) override;

 private:
  int PxX(float twips) const;
  int PxY(float twips) const;

  QPainter& painter_;
  Boxes boxes_;
  QPointF origin_;
  double pxPerTwipX_;
  double pxPerTwipY_;
  double dpiY_;
  int widthPx_;
  int heightPx_;
  int widthTwips_;
  int heightTwips_;
  int drawWidth_ = 1;
  float x_ = 0;
  float y_ = 0;
};

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
  void Print(const QString& text) override;
  void Font(const QString& name, int points, bool bold) override;

  void PrintQuality(int quality) override;
  void EndDoc() override;
  bool Failed() const override { return failed_; }
  void Abort() override;

  // What failed, for the user; empty while nothing has.
  QString ErrorText() const { return error_; }
  // The page's resolution in dots per inch.
  int Resolution() const { return dpi_; }

 private:
  QtPainterSurface* Page();  // begins the page on first use; null once failed or ended
  int NativeDpi() const;
  void Fail(const QString& why);

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
  QString error_;
};

// The font both surfaces draw their texts in, `pixels` high; a typewriter
// face stands in for a missing one.
QFont SurfaceFont(const QString& name, bool bold, int pixels);

// Twips across a length in hundredths of a millimetre, and back.
int HmmToTwips(int hmm);
int TwipsToHmm(int twips);

}  // namespace ui
