// The state derivation on arbitrary UTF-16 text, up to the text box's limit.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "barcode/barcode.h"
#include "decode.h"
#include "ui/core/form_state.h"
#include "ui/core/text.h"

using fuzzcheck::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::size_t units = std::min<std::size_t>(size / 2, 32767);
  std::u16string typed(units, u'\0');
  for (std::size_t i = 0; i < units; ++i)
    typed[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);

  const ui::FormState st = ui::DeriveState(typed);
  Check(!st.IsAllDigits || st.IsCode39Valid, "digits are Code 39");
  Check(!st.ItfText.empty(), "ITF-14 text never empty");
  Check(st.IsCode39Valid != st.Code39Bars.empty(), "Code 39 symbol iff valid");
  Check(st.IsCode39Valid || st.Code39Text.empty(), "no Code 39 text unless valid");
  if (st.IsCode39Valid) {
    Check(st.Code39Bars.size() == 16 * (st.Code39Text.size() + 2),
          "Code 39 length");
    Check(fuzzcheck::DecodeCode39(st.Code39Bars) == ui::ToUtf8(st.Code39Text),
          "Code 39 reads back");
  }
  if (st.IsAllDigits) {
    Check(st.UpcaText.size() == 12 && st.Ean13Text.size() == 13, "UPC/EAN text lengths");
    Check(fuzzcheck::WeighsTen(ui::ToUtf8(st.UpcaText)) &&
              fuzzcheck::WeighsTen(ui::ToUtf8(st.Ean13Text)), "UPC/EAN check digits");
    Check(fuzzcheck::DecodeEan13(st.UpcaBars) == "0" + ui::ToUtf8(st.UpcaText), "UPC-A reads");
    Check(fuzzcheck::DecodeEan13(st.Ean13Bars) == ui::ToUtf8(st.Ean13Text), "EAN-13 reads");
  } else {
    Check(st.UpcaText.empty() && st.Ean13Text.empty() && st.UpcaBars.empty() &&
              st.Ean13Bars.empty(), "no UPC/EAN unless all digits");
  }
  if (!st.ItfBars.empty()) {
    Check(st.ItfText.size() % 2 == 0 && fuzzcheck::WeighsTen(ui::ToUtf8(st.ItfText)),
          "ITF even digits, check digit last");
    Check(fuzzcheck::DecodeI2of5(st.ItfBars) == ui::ToUtf8(st.ItfText), "ITF reads back");
  }
  return 0;
}
