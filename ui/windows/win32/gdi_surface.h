// The drawing surface over a GDI device context: the picture box (a memory
// bitmap, then copied to the screen) and the printer's page. Twips are mapped
// to device pixels at the device's resolution (1440 twips per inch: 15 twips
// a pixel at 96 DPI), by the same rule as the Linux window's surface, so the
// two draw the same pixels.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/surface.h"

namespace ui {

class GdiSurface final : public Surface {
 public:
  // How a filled box meets the device's pixels.
  enum class Boxes : std::uint8_t {
    // Outlined with a one-pixel pen: both corner pixels are inside (screen).
    kOutlined,
    // On the dot grid: both edges rounded to the nearest dot boundary by the
    // same rule, and exactly the dots between them filled (printer).
    kOnDotGrid,
  };

  // `dc` at `dpiX` x `dpiY` dots per inch; the surface's twips start at
  // device pixel (originX, originY) and it is widthPx x heightPx large.
  GdiSurface(HDC dc, int dpiX, int dpiY, int originX, int originY, int widthPx, int heightPx,
             Boxes boxes);
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

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

  // False once a GDI call failed (a printer's DC that went away).
  bool Ok() const { return ok_; }

 private:
  int PxX(float twips) const;
  int PxY(float twips) const;
  void Fill(int left, int top, int right, int bottom, int colour);

  HDC dc_;
  Boxes boxes_;
  int originX_, originY_;
  double pxPerTwipX_, pxPerTwipY_;
  int dpiY_;
  int widthPx_, heightPx_;
  int widthTwips_, heightTwips_;
  int drawWidth_ = 1;
  float x_ = 0;
  float y_ = 0;
  HFONT font_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  bool ok_ = true;
};

// The font both surfaces draw their texts in, `pixels` high (the em, as a
// negative LOGFONT height); a fixed-pitch face stands in for a missing one.
HFONT SurfaceFont(std::u16string_view name, bool bold, int pixels);

// Twips to pixels at `dpi` (15 twips a pixel at 96 DPI), rounded to nearest.
int TwipsToPixels(int twips, int dpi);

}  // namespace ui
