#include "ui/form_state.h"

#include <string>
#include <string_view>

namespace ui {
namespace {

// Position (1-based) of c in the Code 39 set, 0 when it is not there.
int Code39Position(QChar c) {
  const char16_t u = c.unicode();
  if (u == 0 || u > 0x7F) return 0;
  const std::string_view set(kCode39Set);
  const auto at = set.find(static_cast<char>(u));
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

// Index just past the character that starts at i: a surrogate pair is one
// character, a lone surrogate one too.
qsizetype NextCharacter(const QString& text, qsizetype i) {
  const bool pair =
      text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
  return i + (pair ? 2 : 1);
}

// The first `count` characters, and how many of them there are.
qsizetype LeftEnd(const QString& text, qsizetype count, qsizetype* taken) {
  qsizetype i = 0;
  qsizetype n = 0;
  for (; n < count && i < text.size(); ++n) i = NextCharacter(text, i);
  if (taken) *taken = n;
  return i;
}

// Zero-fills `text` on the right and cuts it to `length` characters.
QString ZeroFilled(const QString& text, qsizetype length) {
  qsizetype taken = 0;
  const qsizetype end = LeftEnd(text, length, &taken);
  return text.left(end) + QString(length - taken, u'0');
}

std::string Digits(const QString& ascii) { return ascii.toLatin1().toStdString(); }

}  // namespace

QString TrimSpaces(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && text[first] == u' ') ++first;
  while (last > first && text[last - 1] == u' ') --last;
  return text.mid(first, last - first);
}

QString LeftCharacters(const QString& text, qsizetype count) {
  return text.left(LeftEnd(text, count, nullptr));
}

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
  // them; the text is trimmed here first so that a value it refuses (letters,
  // other scripts) is shown exactly as typed.
  st.ItfText = TrimSpaces(ZeroFilled(s, 13));
  std::string itf = st.ItfText.toStdString();
  st.ItfBars = barcode::EncodeI2of5(itf, true);
  if (!st.ItfBars.empty()) st.ItfText = QString::fromStdString(itf);

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
