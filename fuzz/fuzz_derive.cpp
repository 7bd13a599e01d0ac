// The state derivation on arbitrary UTF-16 text, up to the text box's limit.
#include <cstddef>
#include <cstdint>

#include "barcode/barcode.h"
#include "decode.h"
#include "ui/core/form_state.h"

using fuzzcheck::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const auto units = static_cast<qsizetype>(std::min<std::size_t>(size / 2, 32767));
  QString typed(units, Qt::Uninitialized);
  for (qsizetype i = 0; i < units; ++i)
    typed[i] = QChar(static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));

  const ui::FormState st = ui::DeriveState(typed);
  Check(!st.IsAllDigits || st.IsCode39Valid, "digits are Code 39");
  Check(!st.ItfText.isEmpty(), "ITF-14 text never empty");
  Check(st.IsCode39Valid != st.Code39Bars.empty(), "Code 39 symbol iff valid");
  Check(st.IsCode39Valid || st.Code39Text.isEmpty(), "no Code 39 text unless valid");
  if (st.IsCode39Valid) {
    Check(st.Code39Bars.size() == 16 * (static_cast<std::size_t>(st.Code39Text.size()) + 2),
          "Code 39 length");
    Check(fuzzcheck::DecodeCode39(st.Code39Bars) == st.Code39Text.toStdString(),
          "Code 39 reads back");
  }
  if (st.IsAllDigits) {
    Check(st.UpcaText.size() == 12 && st.Ean13Text.size() == 13, "UPC/EAN text lengths");
    Check(fuzzcheck::WeighsTen(st.UpcaText.toStdString()) &&
              fuzzcheck::WeighsTen(st.Ean13Text.toStdString()), "UPC/EAN check digits");
    Check(fuzzcheck::DecodeEan13(st.UpcaBars) == "0" + st.UpcaText.toStdString(), "UPC-A reads");
    Check(fuzzcheck::DecodeEan13(st.Ean13Bars) == st.Ean13Text.toStdString(), "EAN-13 reads");
  } else {
    Check(st.UpcaText.isEmpty() && st.Ean13Text.isEmpty() && st.UpcaBars.empty() &&
              st.Ean13Bars.empty(), "no UPC/EAN unless all digits");
  }
  if (!st.ItfBars.empty()) {
    Check(st.ItfText.size() % 2 == 0 && fuzzcheck::WeighsTen(st.ItfText.toStdString()),
          "ITF even digits, check digit last");
    Check(fuzzcheck::DecodeI2of5(st.ItfBars) == st.ItfText.toStdString(), "ITF reads back");
  }
  return 0;
}
