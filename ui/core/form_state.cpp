// The window's state derived from the typed value.
#include "ui/core/form_state.h"

#include <string>
#include <string_view>

#include "ui/core/layout.h"
#include "ui/core/text.h"

namespace ui {
namespace {

// Position (1-based) of c in the Code 39 set, 0 when it is not there.
int Code39Position(char16_t u) {
  if (u == 0 || u > 0x7F) return 0;
  const auto at = barcode::kCode39Set.find(static_cast<char>(u));
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

// Zero-fills `text` on the right and cuts it to `length` characters.
std::u16string ZeroFilled(std::u16string_view text, std::size_t length) {
  std::size_t taken = 0;
  std::u16string filled(LeftCharacters(text, length, &taken));
  filled.append(length - taken, u'0');
  return filled;
}

// The text as the encoders' bytes: ASCII as it is, and every other code
// unit a byte that, like it, is neither a digit nor a space.
std::string Bytes(std::u16string_view text) {
  std::string bytes(text.size(), '\x80');
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] < 0x80) bytes[i] = static_cast<char>(text[i]);
  return bytes;
}

}  // namespace

FormState DeriveState(std::u16string_view typed) {
  FormState st;
  const std::u16string_view s = barcode::TrimSpaces(typed);
  st.Code39Text = UpperCase(s);

  st.IsAllDigits = true;
  st.IsCode39Valid = true;
  for (const char16_t c : st.Code39Text) {
    const int p = Code39Position(c);
    if (p == 0) {
      st.IsCode39Valid = false;
      st.IsAllDigits = false;
      break;  // both flags are final now
    }
    if (p > 10) st.IsAllDigits = false;
  }

  // ITF-14: the first 13 characters of the zero-filled value, as typed. The
  // encoder trims them and appends its check digit in place when it accepts
  // them. A value it refuses (letters, other scripts) is shown exactly as
  // typed, trimmed here.
  st.ItfText = ZeroFilled(s, 13);
  std::string itf = Bytes(st.ItfText);
  st.ItfBars = barcode::EncodeI2of5(itf, true);
  st.ItfText = st.ItfBars.empty() ? std::u16string(barcode::TrimSpaces(std::u16string_view(st.ItfText)))
                                  : Ascii(itf);

  if (st.IsCode39Valid) {
    st.Code39Bars = barcode::EncodeCode39(Bytes(st.Code39Text));  // all ASCII here
  } else {
    st.Code39Text.clear();
  }

  if (st.IsAllDigits) {
    // UPC-A: the first 11 digits of the zero-filled value and their check
    // digit; EAN-13: the same 11 digits, "0", and their check digit. Each
    // text is built in place, its check digit appended to it.
    std::string upca = Bytes(ZeroFilled(s, 11));
    std::string ean13 = upca + '0';
    upca += barcode::CheckDigit(upca);
    ean13 += barcode::CheckDigit(ean13);
    st.UpcaText = Ascii(upca);
    st.Ean13Text = Ascii(ean13);
    st.UpcaBars = barcode::EncodeUPCA(upca);
    st.Ean13Bars = barcode::EncodeEAN13(ean13);
  }
  return st;
}

}  // namespace ui
