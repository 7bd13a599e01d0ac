// The window's state derived from the typed value.
#include "ui/core/form_state.h"

#include <string>
#include <string_view>

#include "ui/core/text.h"

namespace ui {
namespace {

// Position (1-based) of c in the Code 39 set, 0 when it is not there.
int Code39Position(QChar c) {
  const char16_t u = c.unicode();
  if (u == 0 || u > 0x7F) return 0;
  const auto at = barcode::kCode39Set.find(static_cast<char>(u));
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

QString TrimSpaces(const QString& text) {
  const std::u16string_view all(QStringView(text).utf16(), static_cast<std::size_t>(text.size()));
  const std::u16string_view kept = barcode::TrimSpaces(all);
  return kept.empty() ? QString() : text.mid(kept.data() - all.data(), static_cast<qsizetype>(kept.size()));
}

// Zero-fills `text` on the right and cuts it to `length` characters.
QString ZeroFilled(const QString& text, qsizetype length) {
  qsizetype taken = 0;
  const QString left = LeftCharacters(text, length, &taken);
  return left + QString(length - taken, u'0');
}

std::string Digits(const QString& ascii) { return ascii.toLatin1().toStdString(); }

}  // namespace

FormState DeriveState(const QString& typed) {
  FormState st;
  const QString s = TrimSpaces(typed);
  st.Code39Text = s.toUpper();

  st.IsAllDigits = true;
  st.IsCode39Valid = true;
  for (QChar c : st.Code39Text) {
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
  // typed, trimmed here: its text may not survive the encoder's bytes whole.
  st.ItfText = ZeroFilled(s, 13);
  std::string itf = st.ItfText.toStdString();
  st.ItfBars = barcode::EncodeI2of5(itf, true);
  st.ItfText = st.ItfBars.empty() ? TrimSpaces(st.ItfText) : QString::fromLatin1(itf);

  if (st.IsCode39Valid) {
    st.Code39Bars = barcode::EncodeCode39(st.Code39Text.toLatin1().toStdString());
  } else {
    st.Code39Text.clear();
  }

  if (st.IsAllDigits) {
    // UPC-A: the first 11 digits of the zero-filled value and their check
    // digit; EAN-13: the same 11 digits, "0", and their check digit. Each
    // text is built in place, its check digit appended to it.
    std::string upca = Digits(ZeroFilled(s, 11));
    std::string ean13 = upca + '0';
    upca += barcode::CheckDigit(upca);
    ean13 += barcode::CheckDigit(ean13);
    st.UpcaText = QString::fromLatin1(upca);
    st.Ean13Text = QString::fromLatin1(ean13);
    st.UpcaBars = barcode::EncodeUPCA(upca);
    st.Ean13Bars = barcode::EncodeEAN13(ean13);
  }
  return st;
}

}  // namespace ui
