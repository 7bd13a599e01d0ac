// What Copy puts on the clipboard, the same on every platform: the page that
// Print prints for the state, on white, with a quiet margin round it, always
// the same size. (The words beside it: DescribeSymbols.)
#pragma once

#include "ui/core/form_state.h"
#include "ui/core/layout.h"
#include "ui/core/surface.h"

namespace ui {

// The printed layout: two columns (the right one's bars end at 8000 twips)
// and two rows (the lower texts' line ends above 4032), 5.6 x 2.8 in.
inline constexpr int kLayoutWidth = 8064;
inline constexpr int kLayoutHeight = 4032;
// White round the layout, 2/3 in: more than ten modules of the widest
// module the page can print (Code 39 of no characters, 32 modules).
inline constexpr int kCopyMargin = 960;
static_assert(kCopyMargin >= 10 * (kPlaces[1].widthAllowance / 32));
// The copied picture: 9984 x 5952 twips, 6.93 x 4.13 in; at the bitmap's
// 300 dpi 2080 x 1240 dots, every edge a whole dot.
inline constexpr int kCopyWidth = kLayoutWidth + 2 * kCopyMargin;
inline constexpr int kCopyHeight = kLayoutHeight + 2 * kCopyMargin;
inline constexpr int kCopyDpi = 300;
// The same in dots a metre, as PNG's and BMP's headers hold it (300 / 0.0254).
inline constexpr int kCopyDotsPerMetre = 11811;
static_assert(kCopyDotsPerMetre == (kCopyDpi * 10000 + 127) / 254);
inline constexpr int kCopyDotsWide = kCopyWidth * kCopyDpi / kTwipsPerInch;
inline constexpr int kCopyDotsHigh = kCopyHeight * kCopyDpi / kTwipsPerInch;
static_assert(kCopyDotsWide * kTwipsPerInch == kCopyWidth * kCopyDpi &&
              kCopyDotsHigh * kTwipsPerInch == kCopyHeight * kCopyDpi);

// Draws the copied picture on `picture`, a surface kCopyWidth x kCopyHeight
// twips large: white all over, then, from (kCopyMargin, kCopyMargin), what
// the print routine puts on the page. Texts run on into the margin and are
// cut at the picture's edge.
void DrawCopy(Surface& picture, const FormState& state);

}  // namespace ui
