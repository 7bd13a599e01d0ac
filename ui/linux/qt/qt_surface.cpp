// The drawing surface over QPainter: twips to device pixels, boxes, lines, texts.
#include "ui/linux/qt/qt_surface.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>

#include "ui/core/pixels.h"
#include "ui/core/text.h"

namespace ui {

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
  return DevicePixel(origin_.x() + twips * pxPerTwipX_, widthPx_);
}
int QtPainterSurface::PxY(float twips) const {
  return DevicePixel(origin_.y() + twips * pxPerTwipY_, heightPx_);
}

void QtPainterSurface::Line(int flags, float x1, float y1, float x2, float y2, int colour) {
  const QColor c = QColor::fromRgb(static_cast<QRgb>(colour) & 0xFFFFFFU);
  const int l = PxX(std::min(x1, x2));
  const int r = PxX(std::max(x1, x2));
  const int t = PxY(std::min(y1, y2));
  const int b = PxY(std::max(y1, y2));
  const std::optional<PixelRect> px =
      FilledPixels(flags, boxes_ == Boxes::kOnDotGrid, l, t, r, b, drawWidth_);
  if (px && flags == kFilledBox && boxes_ == Boxes::kOnDotGrid) {
    // Exactly those dots: the box is drawn a quarter of a dot inside its
    // edges, so that no rasteriser, whatever its rule for a dot that an edge
    // only touches, blackens the dot beyond an edge. The pen adds nothing:
    // its outline lies within the box.
    constexpr double kInset = 0.25;
    painter_.fillRect(QRectF(px->left + kInset, px->top + kInset, px->right - px->left - 2 * kInset,
                             px->bottom - px->top - 2 * kInset),
                      c);
  } else if (px) {
    painter_.fillRect(QRect(px->left, px->top, px->right - px->left, px->bottom - px->top), c);
  } else if (flags == kPlainLine) {
    painter_.setPen(QPen(c, drawWidth_));
    painter_.drawLine(PxX(x1), PxY(y1), PxX(x2), PxY(y2));
  }
}

void QtPainterSurface::Print(std::u16string_view text) {
  if (text.empty()) return;
  const int x = PxX(x_);
  if (x >= widthPx_) return;
  // Every character advances at least one pixel, so what lies past the right
  // edge can be left out before the text is laid out.
  const std::u16string_view visible =
      LeftCharacters(text, static_cast<std::size_t>(std::max(0, widthPx_ - x)) + 2);
  painter_.setPen(Qt::black);
  painter_.drawText(QPointF(x, PxY(y_) + painter_.fontMetrics().ascent()), Qt16(visible));
}

QFont SurfaceFont(const QString& name, bool bold, int pixels) {
  QFont font(name);
  font.setStyleHint(QFont::TypeWriter);  // Liberation Mono where Courier New is absent
  font.setBold(bold);
  font.setPixelSize(std::max(1, pixels));
  return font;
}

void QtPainterSurface::Font(std::u16string_view name, int points, bool bold) {
  painter_.setFont(
      SurfaceFont(Qt16(name), bold, static_cast<int>(std::lround(points * dpiY_ / 72.0))));
}

}  // namespace ui
