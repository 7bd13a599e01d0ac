// Where the four symbols stand, on screen and on paper alike (twips).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "ui/core/form_state.h"

namespace ui {

inline constexpr int kBarHeight = 900;
inline constexpr std::string_view kFontName = "Courier New";
inline constexpr int kFontPoints = 8;

struct SymbolPlace {
  std::string_view caption;  // ASCII
  int captionX, captionY;
  barcode::BarPattern FormState::*bars;
  std::u16string FormState::*text;
  int barsX;           // x0: the bars' origin
  int barsTop;         // bars run from here to barsTop + kBarHeight
  int textX, textY;
  int widthAllowance;  // on paper: the width the bars share
};

// In drawing order: ITF-14 and Code 39 on top, UPC-A and EAN-13 below.
inline constexpr std::array<SymbolPlace, 4> kPlaces = {{
    {"SCC14", 100, 100, &FormState::ItfBars, &FormState::ItfText, 100, 320, 100, 1300, 2500},
    {"3 of 9", 5000, 100, &FormState::Code39Bars, &FormState::Code39Text, 5000, 320, 5000, 1300,
     3000},
    {"UPC-A", 100, 2500, &FormState::UpcaBars, &FormState::UpcaText, 100, 2820, 100, 3800, 1900},
    {"EAN-13", 5000, 2500, &FormState::Ean13Bars, &FormState::Ean13Text, 5000, 2820, 5000, 3800,
     1900},
}};

// An ASCII text (a caption, the font's name) as the surfaces take texts.
inline std::u16string Ascii(std::string_view text) { return {text.begin(), text.end()}; }

}  // namespace ui
