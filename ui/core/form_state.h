// The window's state: the four symbols and the texts shown with them,
// derived afresh from the typed value on every change.
#pragma once

#include <string>
#include <string_view>

#include "barcode/barcode.h"

namespace ui {

struct FormState {
  barcode::BarPattern ItfBars;
  barcode::BarPattern Code39Bars;
  barcode::BarPattern Ean13Bars;
  barcode::BarPattern UpcaBars;
  std::u16string ItfText;
  std::u16string Code39Text;
  std::u16string Ean13Text;
  std::u16string UpcaText;
  bool IsAllDigits = false;
  bool IsCode39Valid = false;
};

// Builds the whole state from the text of the value box, as typed.
FormState DeriveState(std::u16string_view typed);

}  // namespace ui
