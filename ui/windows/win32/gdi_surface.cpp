// The drawing surface over GDI: twips to device pixels, boxes, lines, texts.
#include "ui/windows/win32/gdi_surface.h"

#include <algorithm>
#include <cmath>

#include "ui/core/pixels.h"
#include "ui/core/text.h"
#include "ui/windows/win32/wide.h"

namespace ui {
namespace {

COLORREF Colour(int rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

int TwipsToPixels(int twips, int dpi) {
  return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / kTwipsPerInch));
}

GdiSurface::GdiSurface(HDC dc, int dpiX, int dpiY, int originX, int originY, int widthPx,
                       int heightPx, Boxes boxes)
    : dc_(dc),
      boxes_(boxes),
      originX_(originX),
      originY_(originY),
      pxPerTwipX_(static_cast<double>(dpiX) / kTwipsPerInch),
      pxPerTwipY_(static_cast<double>(dpiY) / kTwipsPerInch),
      dpiY_(dpiY),
      widthPx_(originX + widthPx),
      heightPx_(originY + heightPx),
      widthTwips_(static_cast<int>(std::lround(widthPx / pxPerTwipX_))),
      heightTwips_(static_cast<int>(std::lround(heightPx / pxPerTwipY_))) {
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, RGB(0, 0, 0));
  SetTextAlign(dc_, TA_TOP | TA_LEFT | TA_NOUPDATECP);
}

GdiSurface::~GdiSurface() {
  if (oldFont_) SelectObject(dc_, oldFont_);
  if (font_) DeleteObject(font_);
}

// Both edges of a box, and every point, are rounded to the nearest pixel
// boundary by the same rule, so a box's width in pixels depends only on its
// width in twips and where it starts.
int GdiSurface::PxX(float twips) const { return DevicePixel(originX_ + twips * pxPerTwipX_, widthPx_); }
int GdiSurface::PxY(float twips) const { return DevicePixel(originY_ + twips * pxPerTwipY_, heightPx_); }

// Exactly the pixels from left to right - 1 and top to bottom - 1.
void GdiSurface::Fill(int left, int top, int right, int bottom, int colour) {
  if (right <= left || bottom <= top) return;
  const RECT r{left, top, right, bottom};
  const bool black = (colour & 0xFFFFFF) == 0;
  const bool white = (colour & 0xFFFFFF) == 0xFFFFFF;
  HBRUSH brush = black   ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))
                 : white ? static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))
                         : CreateSolidBrush(Colour(colour));
  if (!FillRect(dc_, &r, brush)) ok_ = false;
  if (!black && !white) DeleteObject(brush);
}

void GdiSurface::Line(int flags, float x1, float y1, float x2, float y2, int colour) {
  const int l = PxX(std::min(x1, x2));
  const int r = PxX(std::max(x1, x2));
  const int t = PxY(std::min(y1, y2));
  const int b = PxY(std::max(y1, y2));
  // On a printer's dot grid, exactly the dots between the edges: GDI fills a
  // rectangle without its right and bottom edges, in device units, which are
  // the printer's dots.
  if (const std::optional<PixelRect> px =
          FilledPixels(flags, boxes_ == Boxes::kOnDotGrid, l, t, r, b, drawWidth_)) {
    Fill(px->left, px->top, px->right, px->bottom, colour);
  } else if (flags == kPlainLine) {
    HPEN pen = CreatePen(PS_SOLID, drawWidth_, Colour(colour));
    HGDIOBJ old = SelectObject(dc_, pen);
    MoveToEx(dc_, PxX(x1), PxY(y1), nullptr);
    LineTo(dc_, PxX(x2), PxY(y2));
    SelectObject(dc_, old);
    DeleteObject(pen);
  }
}

void GdiSurface::Print(std::u16string_view text) {
  if (text.empty()) return;
  const int x = PxX(x_);
  if (x >= widthPx_) return;
  // Every character advances at least one pixel, so what lies past the right
  // edge can be left out before the text is laid out.
  const std::u16string_view visible =
      LeftCharacters(text, static_cast<std::size_t>(std::max(0, widthPx_ - x)) + 2);
  const std::wstring wide = Wide(visible);
  if (!TextOutW(dc_, x, PxY(y_), wide.data(), static_cast<int>(wide.size()))) ok_ = false;
}

HFONT SurfaceFont(std::u16string_view name, bool bold, int pixels) {
  LOGFONTW font{};
  font.lfHeight = -std::max(1, pixels);
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_TT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;  // a typewriter face where it is missing
  const std::wstring face = Wide(name.substr(0, LF_FACESIZE - 1));
  face.copy(font.lfFaceName, face.size());
  return CreateFontIndirectW(&font);
}

void GdiSurface::Font(std::u16string_view name, int points, bool bold) {
  HFONT font = SurfaceFont(name, bold, static_cast<int>(std::lround(points * dpiY_ / 72.0)));
  if (!font) {
    ok_ = false;
    return;
  }
  HGDIOBJ old = SelectObject(dc_, font);
  if (!oldFont_) oldFont_ = old;
  if (font_) DeleteObject(font_);
  font_ = font;
}

}  // namespace ui
