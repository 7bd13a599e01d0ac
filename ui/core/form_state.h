// The window's state: the four symbols and the texts shown with them,
// derived afresh from the typed value on every change.
#pragma once

#include <QString>

#include "barcode/barcode.h"

namespace ui {

struct FormState {
  barcode::BarPattern ItfBars;
  barcode::BarPattern Code39Bars;
  barcode::BarPattern Ean13Bars;
  barcode::BarPattern UpcaBars;
  QString ItfText;
  QString Code39Text;
  QString Ean13Text;
  QString UpcaText;
  bool IsAllDigits = false;
  bool IsCode39Valid = false;
};

// Builds the whole state from the text of the value box, as typed.
FormState DeriveState(const QString& typed);

}  // namespace ui
