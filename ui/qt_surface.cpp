#include "ui/qt_surface.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "ui/form_state.h"

namespace ui {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kHmmPerInch = 2540.0;  // hundredths of a millimetre

int Clamp(double px, int limit) {
  // Keeps far-off coordinates inside int range; the painter clips the rest.
  return static_cast<int>(std::lround(std::clamp(px, -2.0, static_cast<double>(limit) + 2.0)));
}

}  // namespace

QtPainterSurface::QtPainterSurface(QPainter& painter, const QPaintDevice& device)
    : QtPainterSurface(painter, device, {},
                       QSizeF(device.width(), device.height()) * device.devicePixelRatioF(),
                       Boxes::kOutlined) {}

QtPainterSurface::QtPainterSurface(QPainter& painter, const QPaintDevice& device, QPointF origin,
                                   QSizeF size, Boxes boxes, Turn turn)
    : painter_(painter), boxes_(boxes), origin_(origin) {
  // Draw in device pixels, whatever the device pixel ratio.
  const double ratio = device.devicePixelRatioF();
  double dpiX = device.logicalDpiX() * ratio;
  dpiY_ = device.logicalDpiY() * ratio;
  widthPx_ = static_cast<int>(std::lround(device.width() * ratio));
  heightPx_ = static_cast<int>(std::lround(device.height() * ratio));
  QTransform toDevice = QTransform::fromScale(1.0 / ratio, 1.0 / ratio);
  if (turn == Turn::kQuarter) {
    // (x, y) lands on (y, height - x): whole pixels stay whole pixels.
    toDevice = QTransform(0, -1, 1, 0, 0, heightPx_) * toDevice;
    std::swap(widthPx_, heightPx_);
    std::swap(dpiX, dpiY_);
  }
  painter_.setWorldTransform(toDevice);
  painter_.setRenderHint(QPainter::Antialiasing, false);
  pxPerTwipX_ = dpiX / kTwipsPerInch;
  pxPerTwipY_ = dpiY_ / kTwipsPerInch;
  widthTwips_ = static_cast<int>(std::lround(size.width() / pxPerTwipX_));
  heightTwips_ = static_cast<int>(std::lround(size.height() / pxPerTwipY_));
}

// Both edges of a box, and every point, are rounded to the nearest pixel
// boundary by the same rule, so a box's width in pixels depends only on its
// width in twips and where it starts.
int QtPainterSurface::PxX(float twips) const {
  return Clamp(origin_.x() + twips * pxPerTwipX_, widthPx_);
}
int QtPainterSurface::PxY(float twips) const {
  return Clamp(origin_.y() + twips * pxPerTwipY_, heightPx_);
}

void QtPainterSurface::Line(int flags, float x1, float y1, float x2, float y2, int colour) {
  const QColor c = QColor::fromRgb(static_cast<QRgb>(colour) & 0xFFFFFFU);
  const int l = PxX(std::min(x1, x2));
  const int r = PxX(std::max(x1, x2));
  const int t = PxY(std::min(y1, y2));
  const int b = PxY(std::max(y1, y2));
  if (flags == kFilledBox && boxes_ == Boxes::kOnDotGrid) {
    // Exactly the dots from l to r - 1: the box is drawn a quarter of a dot
    // inside its edges, so that no rasteriser, whatever its rule for a dot
    // that an edge only touches, blackens the dot beyond an edge. The pen
    // adds nothing: its outline lies within the box.
    constexpr double kInset = 0.25;
    if (r > l && b > t)
      painter_.fillRect(QRectF(l + kInset, t + kInset, r - l - 2 * kInset, b - t - 2 * kInset), c);
  } else if (flags == kFilledBox) {
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

QFont SurfaceFont(const QString& name, bool bold, int pixels) {
  QFont font(name);
  font.setStyleHint(QFont::TypeWriter);  // Liberation Mono where Courier New is absent
  font.setBold(bold);
  font.setPixelSize(std::max(1, pixels));
  return font;
}

void QtPainterSurface::Font(const QString& name, int points, bool bold) {
  painter_.setFont(
      SurfaceFont(name, bold, static_cast<int>(std::lround(points * dpiY_ / 72.0))));
}

int HmmToTwips(int hmm) {
  return static_cast<int>(std::lround(hmm * kTwipsPerInch / kHmmPerInch));
}
int TwipsToHmm(int twips) {
  return static_cast<int>(std::lround(twips * kHmmPerInch / kTwipsPerInch));
}

QtPrinterSurface::QtPrinterSurface(PrinterPage page, Spooler spool, QtPainterSurface::Turn turn)
    : page_(std::move(page)), spool_(std::move(spool)), turn_(turn), dpi_(NativeDpi()) {}

// The printer's own resolution; 300 dpi for one that names none.
int QtPrinterSurface::NativeDpi() const { return page_.dpi > 0 ? page_.dpi : 300; }

QtPrinterSurface::~QtPrinterSurface() {
  if (painter_.isActive()) painter_.end();
}

void QtPrinterSurface::Fail(const QString& why) {
  if (!failed_) error_ = why;
  failed_ = true;
}

QtPainterSurface* QtPrinterSurface::Page() {
  if (failed_ || ended_) return nullptr;
  if (surface_) return &*surface_;
  // The document's page is exactly the printer's media, with no margins of
  // its own: device pixels are the printer's dots, counted from the media's
  // top-left corner.
  const QPageSize media(QSizeF(page_.width / 100.0, page_.length / 100.0), QPageSize::Millimeter,
                        QString(), QPageSize::ExactMatch);
  if (page_.width <= 0 || page_.length <= 0 || !media.isValid() ||
      !pdf_.open(QIODevice::WriteOnly)) {
    Fail(QStringLiteral("The page for the printer \"%1\" could not be prepared.")
             .arg(page_.printer));
    return nullptr;
  }
  writer_ = std::make_unique<QPdfWriter>(&pdf_);
  writer_->setResolution(dpi_);
  writer_->setCreator(QStringLiteral("Barcodes"));
  writer_->setTitle(QStringLiteral("Barcodes"));
  const QPageLayout layout(media, QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter,
                           QMarginsF());
  if (!writer_->setPageLayout(layout) || !painter_.begin(writer_.get())) {
    Fail(QStringLiteral("The page for the printer \"%1\" could not be prepared.")
             .arg(page_.printer));
    return nullptr;
  }
  const double dotsPerHmm = dpi_ / kHmmPerInch;
  const QSizeF printable((page_.width - page_.left - page_.right) * dotsPerHmm,
                         (page_.length - page_.top - page_.bottom) * dotsPerHmm);
  if (turn_ == QtPainterSurface::Turn::kUpright) {
    surface_.emplace(painter_, *writer_, QPointF(page_.left * dotsPerHmm, page_.top * dotsPerHmm),
                     printable, QtPainterSurface::Boxes::kOnDotGrid);
  } else {
    // Turned, the printable area's corner is the media's bottom-left one,
    // and the surface's x runs up the media's length.
    surface_.emplace(painter_, *writer_,
                     QPointF(writer_->height() - (page_.length - page_.bottom) * dotsPerHmm,
                             page_.left * dotsPerHmm),
                     printable.transposed(), QtPainterSurface::Boxes::kOnDotGrid,
                     QtPainterSurface::Turn::kQuarter);
  }
  return &*surface_;
}

int QtPrinterSurface::Width() const {
  if (surface_) return surface_->Width();
  return HmmToTwips(turn_ == QtPainterSurface::Turn::kUpright
                        ? page_.width - page_.left - page_.right
                        : page_.length - page_.top - page_.bottom);
}
int QtPrinterSurface::Height() const {
  if (surface_) return surface_->Height();
  return HmmToTwips(turn_ == QtPainterSurface::Turn::kUpright
                        ? page_.length - page_.top - page_.bottom
                        : page_.width - page_.left - page_.right);
}

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
  // begins. High quality is the printer's own resolution; the others take
  // the finest the printer offers up to their cap.
  if (surface_ || failed_) return;
  const int native = NativeDpi();
  const int cap = quality == kDraft ? 150 : quality == kLow ? 300 : quality == kMedium ? 600 : 0;
  if (cap <= 0 || cap >= native) {
    dpi_ = native;
    return;
  }
  dpi_ = cap;
  if (page_.resolutions.empty()) return;
  const auto& offered = page_.resolutions;
  const auto above = std::upper_bound(offered.begin(), offered.end(), cap);
  dpi_ = above == offered.begin() ? offered.front() : *std::prev(above);
}

void QtPrinterSurface::EndDoc() {
  if (!Page()) return;  // failed: the caller aborts
  ended_ = true;
  if (!painter_.end()) {
    Fail(QStringLiteral("The page for the printer \"%1\" could not be finished.")
             .arg(page_.printer));
    return;
  }
  writer_.reset();
  pdf_.close();
  const QString refused = spool_(pdf_.data(), dpi_, QStringLiteral("Barcodes"));
  if (!refused.isEmpty()) Fail(refused);
}

void QtPrinterSurface::Abort() {
  // Nothing has been handed to the spooler yet: dropping the page is enough.
  if (painter_.isActive()) painter_.end();
  writer_.reset();
  pdf_.close();
  pdf_.setData(QByteArray());
  ended_ = true;
}

}  // namespace ui
