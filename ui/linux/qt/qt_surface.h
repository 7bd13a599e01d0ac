// The drawing surface over QPainter: on the picture box, an image or the
// printer's page. Twips are mapped to device pixels at the device's resolution
// (1440 twips per inch: 15 twips a pixel at 96 DPI), so a one-pixel line is
// one device pixel also on a high-density screen.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <cstdint>

#include "ui/core/surface.h"
#include "ui/linux/qt/qt_text.h"

class QPaintDevice;

namespace ui {

class QtPainterSurface final : public Surface {
 public:
  // How a filled box meets the device's pixels.
  enum class Boxes : std::uint8_t {
    // Outlined with a one-pixel pen: both corner pixels are inside (screen).
    kOutlined,
    // On the dot grid: both edges rounded to the nearest dot boundary by the
    // same rule, and exactly the dots between them filled (printer).
    kOnDotGrid,
  };

  // Which way the surface lies on the device.
  enum class Turn : std::uint8_t {
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
  void Print(std::u16string_view text) override;
  void Font(std::u16string_view name, int points, bool bold) override;

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

// The font both surfaces draw their texts in, `pixels` high; a typewriter
// face stands in for a missing one.
QFont SurfaceFont(const QString& name, bool bold, int pixels);

}  // namespace ui
