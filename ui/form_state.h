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

// The characters Code 39 can carry, in the order of its character set.
inline constexpr char kCode39Set[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

// Builds the whole state from the text of the value box, as typed.
FormState DeriveState(const QString& typed);

// Removes leading and trailing U+0020 only; tabs and other blanks stay.
QString TrimSpaces(const QString& text);

// The first `count` characters of `text`, where a surrogate pair counts as
// one character and is never split.
QString LeftCharacters(const QString& text, qsizetype count);

}  // namespace ui
