// The picture on screen: the panel, its shadow, the captions, bars and texts.
#include "ui/core/screen_painter.h"

#include <cstdint>
#include <string>

#include "ui/core/layout.h"

namespace ui {
namespace {

constexpr int kModuleWidth = 20;

// Returns the width of the surface, as last read.
int PaintPanel(Surface& img) {
  img.FillColor(kBlack);
  img.FillStyle(kSolid);
  int w = img.Width();
  int h = img.Height();
  img.Line(kFilledBox, 80, 80, static_cast<float>(w), static_cast<float>(h), kBlack);  // shadow
  img.FillColor(kBlack);
  img.FillStyle(kSolid);
  w = img.Width();
  h = img.Height();
  img.Line(kFilledBox, 0, 0, static_cast<float>(w - 100), static_cast<float>(h - 100), kWhite);
  return w;
}

// Module i (from 1) stands at x0 + 20 i. Modules at or past the right edge
// can't be seen, so the scan ends there and a long value costs no more than
// a short one.
void PaintModules(Surface& img, const barcode::BarPattern& bars, int x0, int top, int edge) {
  const auto bottom = static_cast<float>(top + kBarHeight);
  for (std::size_t i = 1; i <= bars.size(); ++i) {
    const std::int64_t x = x0 + std::int64_t{kModuleWidth} * static_cast<std::int64_t>(i);
    if (x >= edge) break;
    if (bars[i - 1] == '1') {
      const auto fx = static_cast<float>(x);
      img.Line(kPlainLine, fx, static_cast<float>(top), fx, bottom, kBlack);
    }
  }
}

}  // namespace

void img_Paint(Surface& img, const FormState& state) {
  const int edge = PaintPanel(img);
  img.Font(Ascii(kFontName), kFontPoints, true);
  for (const SymbolPlace& place : kPlaces) {
    PrintAt(img, place.captionX, place.captionY, Ascii(place.caption));
    img.DrawWidth(1);
    PaintModules(img, state.*place.bars, place.barsX, place.barsTop, edge);
    PrintAt(img, place.textX, place.textY, state.*place.text);
  }
}

std::u16string DescribePicture(const FormState& state) { return DescribeSymbols(state, u"; "); }

std::u16string DescribeSymbols(const FormState& state, std::u16string_view between) {
  std::u16string said;
  for (const SymbolPlace& place : kPlaces) {
    const std::u16string& text = state.*place.text;
    if (&place != kPlaces.data()) said += between;
    said += Ascii(place.caption) + u": ";
    if ((state.*place.bars).empty())
      said += text.empty() ? u"no symbol" : u"no symbol, " + text;
    else
      said += text.empty() ? u"no text" : text;
  }
  return said;
}

}  // namespace ui
