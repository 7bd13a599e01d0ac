// The drawing surface over Qt: a QPainter on the picture box, an image or
// a printed page. Twips are mapped to device pixels at the device's resolution
// (1440 twips per inch: 15 twips a pixel at 96 DPI), so a one-pixel line is
// one device pixel also on a high-density screen.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <functional>
#include <optional>

#include "ui/surface.h"

class QPaintDevice;

namespace ui {

class QtPainterSurface final : public Surface {
 public:
  // `painter` must be active on `device`; its transform is set here.
  QtPainterSurface(QPainter& painter, const QPaintDevice& device);

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

// Hands a finished PDF to the print spooler for `destination`. Returns the
// empty text once the spooler has accepted the job, else why it refused.
using Spooler =
    std::function<QString(const QString& destination, const QString& pdf, const QString& title)>;
QString SpoolToCups(const QString& destination, const QString& pdf, const QString& title);
// Whether the print spooler (the CUPS server) answers at all.
bool SpoolerRunning();

// One print job for `target`. The page is drawn into a private PDF laid out
// like the printer's page (its paper, printable area and resolution); EndDoc
// hands it to the spooler. A job that failed, or was aborted, never reaches
// the spooler, so no partial page can go out.
class QtPrinterSurface final : public PrinterSurface {
 public:
  explicit QtPrinterSurface(const QPrinterInfo& target, Spooler spool = SpoolToCups);
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
  int Resolution() const { return printer_.resolution(); }

 private:
  QtPainterSurface* Page();  // begins the page on first use; null once failed or ended
  void Fail(const QString& why);
  int PaintTwips(bool width) const;

  QString destination_;
  Spooler spool_;
  QTemporaryDir dir_;
  QPrinter printer_;
  int nativeResolution_;
  QPainter painter_;
  std::optional<QtPainterSurface> page_;
  bool failed_ = false;
  bool ended_ = false;
  QString error_;
};

}  // namespace ui
