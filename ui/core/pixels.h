// Which device pixels a drawing surface fills, the same on every platform,
// so that the Linux and the Windows window draw the same picture and the
// printers' pages the same dots.
#pragma once

#include <optional>

namespace ui {

// A position in device pixels (a fraction), rounded to the nearest pixel
// boundary; kept within two pixels of the device (0 to `limit`), whose
// drawing clips the rest, so that far-off coordinates stay in range.
int DevicePixel(double px, int limit);

// Pixels from left to right - 1 and top to bottom - 1.
struct PixelRect {
  int left, top, right, bottom;
};

// The pixels a Line call fills, from its corners already in device pixels
// (l <= r, t <= b): a filled box outlined by a one-pixel pen takes both
// corner pixels; on a printer's dot grid (`onDotGrid`) exactly the dots
// between its edges; a plain line `width` pixels wide across its length.
// Nullopt for a slanted line, which the platform's pen draws, and for
// nothing to fill.
std::optional<PixelRect> FilledPixels(int flags, bool onDotGrid, int l, int t, int r, int b,
                                      int width);

}  // namespace ui
