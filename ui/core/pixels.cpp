// Which device pixels the drawing surfaces fill.
#include "ui/core/pixels.h"

#include <algorithm>
#include <cmath>

#include "ui/core/surface.h"

namespace ui {

int DevicePixel(double px, int limit) {
  return static_cast<int>(std::lround(std::clamp(px, -2.0, static_cast<double>(limit) + 2.0)));
}

std::optional<PixelRect> FilledPixels(int flags, bool onDotGrid, int l, int t, int r, int b,
                                      int width) {
  if (flags == kFilledBox && onDotGrid) {
    if (r <= l || b <= t) return std::nullopt;
    return PixelRect{l, t, r, b};
  }
  if (flags == kFilledBox) return PixelRect{l, t, r + 1, b + 1};
  if (flags != kPlainLine) return std::nullopt;
  const int half = (width - 1) / 2;
  if (l == r) return PixelRect{l - half, t, l - half + width, b + 1};
  if (t == b) return PixelRect{l, t - half, r + 1, t - half + width};
  return std::nullopt;
}

}  // namespace ui
