#include "ui/qt_surface.h"

#include <QFile>
#include <QFontMetrics>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>

#include "ui/form_state.h"

namespace ui {
namespace {

constexpr double kTwipsPerInch = 1440.0;

int Clamp(double px, int limit) {
  // Keeps far-off coordinates inside int range; the painter clips the rest.
  return static_cast<int>(std::lround(std::clamp(px, -2.0, static_cast<double>(limit) + 2.0)));
}

}  // namespace

QtPainterSurface::QtPainterSurface(QPainter& painter, const QPaintDevice& device)
    : painter_(painter) {
  // Draw in device pixels, whatever the device pixel ratio.
  const double ratio = device.devicePixelRatioF();
  painter_.setWorldTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));
  painter_.setRenderHint(QPainter::Antialiasing, false);
  const double dpiX = device.logicalDpiX() * ratio;
  dpiY_ = device.logicalDpiY() * ratio;
  pxPerTwipX_ = dpiX / kTwipsPerInch;
  pxPerTwipY_ = dpiY_ / kTwipsPerInch;
  widthPx_ = static_cast<int>(std::lround(device.width() * ratio));
  heightPx_ = static_cast<int>(std::lround(device.height() * ratio));
  widthTwips_ = static_cast<int>(std::lround(widthPx_ / pxPerTwipX_));
  heightTwips_ = static_cast<int>(std::lround(heightPx_ / pxPerTwipY_));
}

int QtPainterSurface::PxX(float twips) const { return Clamp(twips * pxPerTwipX_, widthPx_); }
int QtPainterSurface::PxY(float twips) const { return Clamp(twips * pxPerTwipY_, heightPx_); }

void QtPainterSurface::Line(int flags, float x1, float y1, float x2, float y2, int colour) {
  const QColor c = QColor::fromRgb(static_cast<QRgb>(colour) & 0xFFFFFFU);
  const int l = PxX(std::min(x1, x2));
  const int r = PxX(std::max(x1, x2));
  const int t = PxY(std::min(y1, y2));
  const int b = PxY(std::max(y1, y2));
  if (flags == kFilledBox) {
    // Filled and outlined with a one-pixel pen: both corner pixels are inside.
    painter_.fillRect(QRect(l, t, r - l + 1, b - t + 1), c);
  } else if (flags == kPlainLine) {
    const int half = (drawWidth_ - 1) / 2;
    if (l == r) {
      painter_.fillRect(QRect(l - half, t, drawWidth_, b - t + 1), c);
    } else if (t == b) {
      painter_.fillRect(QRect(l, t - half, r - l + 1, drawWidth_), c);
    } else {
      painter_.setPen(QPen(c, drawWidth_));
      painter_.drawLine(PxX(x1), PxY(y1), PxX(x2), PxY(y2));
    }
  }
}

void QtPainterSurface::Print(const QString& text) {
  if (text.isEmpty()) return;
  const int x = PxX(x_);
  if (x >= widthPx_) return;
  // Every character advances at least one pixel, so what lies past the right
  // edge can be left out before the text is laid out.
  const QString visible = LeftCharacters(text, std::max(0, widthPx_ - x) + 2);
  painter_.setPen(Qt::black);
  painter_.drawText(QPointF(x, PxY(y_) + painter_.fontMetrics().ascent()), visible);
}

void QtPainterSurface::Font(const QString& name, int points, bool bold) {
  QFont font(name);
  font.setStyleHint(QFont::TypeWriter);  // Liberation Mono where Courier New is absent
  font.setBold(bold);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * dpiY_ / 72.0))));
  painter_.setFont(font);
}

QtPrinterSurface::QtPrinterSurface(const QPrinterInfo& target, Spooler spool)
    : destination_(target.printerName()),
      spool_(std::move(spool)),
      printer_(QPrinter::HighResolution) {
  const QPrinter native(target, QPrinter::HighResolution);
  nativeResolution_ = native.resolution();
  printer_.setOutputFormat(QPrinter::PdfFormat);
  printer_.setOutputFileName(dir_.filePath(QStringLiteral("page.pdf")));
  printer_.setResolution(nativeResolution_);
  printer_.setPageLayout(native.pageLayout());
  printer_.setDocName(QStringLiteral("Barcodes"));
}

QtPrinterSurface::~QtPrinterSurface() {
  if (painter_.isActive()) painter_.end();  // the temporary PDF goes with dir_
}

void QtPrinterSurface::Fail(const QString& why) {
  if (!failed_) error_ = why;
  failed_ = true;
}

QtPainterSurface* QtPrinterSurface::Page() {
  if (failed_ || ended_) return nullptr;
  if (!page_) {
    if (!dir_.isValid() || !painter_.begin(&printer_)) {
      Fail(QStringLiteral("The page for the printer \"%1\" could not be prepared.")
               .arg(destination_));
      return nullptr;
    }
    page_.emplace(painter_, printer_);
  }
  if (printer_.printerState() == QPrinter::Error) {
    Fail(QStringLiteral("The page for the printer \"%1\" could not be drawn.").arg(destination_));
    return nullptr;
  }
  return &*page_;
}

int QtPrinterSurface::PaintTwips(bool width) const {
  const QRectF inches = printer_.pageLayout().paintRect(QPageLayout::Inch);
  return static_cast<int>(std::lround((width ? inches.width() : inches.height()) * kTwipsPerInch));
}

int QtPrinterSurface::Width() const { return page_ ? page_->Width() : PaintTwips(true); }
int QtPrinterSurface::Height() const { return page_ ? page_->Height() : PaintTwips(false); }

void QtPrinterSurface::FillColor(int colour) {
  if (auto* p = Page()) p->FillColor(colour);
}
void QtPrinterSurface::FillStyle(int style) {
  if (auto* p = Page()) p->FillStyle(style);
}
void QtPrinterSurface::Line(int flags, float x1, float y1, float x2, float y2, int colour) {
  if (auto* p = Page()) p->Line(flags, x1, y1, x2, y2, colour);
}
void QtPrinterSurface::DrawWidth(int pixels) {
  if (auto* p = Page()) p->DrawWidth(pixels);
}
void QtPrinterSurface::CurrentX(float x) {
  if (auto* p = Page()) p->CurrentX(x);
}
void QtPrinterSurface::CurrentY(float y) {
  if (auto* p = Page()) p->CurrentY(y);
}
void QtPrinterSurface::Print(const QString& text) {
  if (auto* p = Page()) p->Print(text);
}
void QtPrinterSurface::Font(const QString& name, int points, bool bold) {
  if (auto* p = Page()) p->Font(name, points, bold);
}

void QtPrinterSurface::PrintQuality(int quality) {
  // The resolution holds for the whole page, so it is chosen before the page
  // begins. High quality is the printer's own resolution.
  if (page_ || failed_) return;
  const int cap = quality == kDraft ? 150 : quality == kLow ? 300 : quality == kMedium ? 600 : 0;
  printer_.setResolution(cap > 0 ? std::min(cap, nativeResolution_) : nativeResolution_);
}

void QtPrinterSurface::EndDoc() {
  if (!Page()) return;  // failed: the caller aborts
  ended_ = true;
  if (!painter_.end() || printer_.printerState() == QPrinter::Error) {
    Fail(QStringLiteral("The page for the printer \"%1\" could not be finished.")
             .arg(destination_));
    return;
  }
  const QString refused = spool_(destination_, printer_.outputFileName(), printer_.docName());
  if (!refused.isEmpty())
    Fail(QStringLiteral("The printer \"%1\" did not accept the page: %2")
             .arg(destination_, refused.endsWith(u'.') ? refused : refused + u'.'));
}

void QtPrinterSurface::Abort() {
  // Nothing has been handed to the spooler yet: dropping the file is enough.
  if (painter_.isActive()) painter_.end();
  QFile::remove(printer_.outputFileName());
  ended_ = true;
}

}  // namespace ui
