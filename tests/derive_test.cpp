// The window's state derived from the typed value: worked examples, and the
// symbols read back by a decoder as the texts shown under them.
#include <gtest/gtest.h>

#include "scan.h"
#include "ui/core/form_state.h"
#include "ui/core/text.h"

using scan::Format;
using ui::DeriveState;
using ui::FormState;

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// What every derived state must satisfy, whatever the value; the symbols
// read back (zxing) as the texts shown under them.
void ExpectInvariants(const FormState& st) {
  EXPECT_TRUE(!st.IsAllDigits || st.IsCode39Valid);
  EXPECT_FALSE(st.ItfText.isEmpty());
  if (st.IsAllDigits) {
    EXPECT_EQ(st.UpcaText.size(), 12);
    EXPECT_EQ(st.Ean13Text.size(), 13);
    EXPECT_EQ(st.UpcaText.left(11), st.Ean13Text.left(11));
    EXPECT_EQ(st.Ean13Text[11], u'0');
    EXPECT_EQ(scan::ReadPattern(st.UpcaBars, Format::UPCA), st.UpcaText.toStdString());
    EXPECT_EQ(scan::ReadPattern(st.Ean13Bars, Format::EAN13), st.Ean13Text.toStdString());
  } else {
    EXPECT_TRUE(st.UpcaText.isEmpty() && st.Ean13Text.isEmpty());
    EXPECT_TRUE(st.UpcaBars.empty() && st.Ean13Bars.empty());
  }
  if (!st.IsCode39Valid) {
    EXPECT_TRUE(st.Code39Text.isEmpty() && st.Code39Bars.empty());
  } else if (st.Code39Text.isEmpty()) {
    EXPECT_EQ(st.Code39Bars, "10001011101110101000101110111010");  // start and stop alone
  } else {
    EXPECT_EQ(st.Code39Bars.size(), 16 * (static_cast<std::size_t>(st.Code39Text.size()) + 2));
    if (st.Code39Text.size() <= 40) {  // short enough to render and read
      EXPECT_EQ(scan::ReadPattern(st.Code39Bars, Format::Code39), st.Code39Text.toStdString());
    }
  }
  if (!st.ItfBars.empty()) {
    EXPECT_EQ(st.ItfBars.size(), 4 + 9 * static_cast<std::size_t>(st.ItfText.size()) + 5);
    EXPECT_EQ(scan::ReadPattern(st.ItfBars, Format::ITF), st.ItfText.toStdString());
    EXPECT_TRUE(scan::WeighsTen(st.ItfText.toStdString())) << "ITF check digit";
  }
}

struct Case {
  QString value;
  QString itfText;
  std::size_t itfModules;
  QString code39Text;
  QString upcaText;
  QString ean13Text;
};

}  // namespace

TEST(DeriveState, Table) {
  const QString twenty = Q("12345678901234567890");
  const std::vector<Case> cases = {
      {Q("123"), Q("12300000000006"), 135, Q("123"), Q("123000000006"), Q("1230000000000")},
      {Q("123456789012"), Q("12345678901200"), 135, Q("123456789012"), Q("123456789012"),
       Q("1234567890104")},
      {twenty, Q("12345678901231"), 135, twenty, Q("123456789012"), Q("1234567890104")},
      {Q("12AB"), Q("12AB000000000"), 0, Q("12AB"), {}, {}},
      {Q("ab-1"), Q("ab-1000000000"), 0, Q("AB-1"), {}, {}},
      {Q("12#"), Q("12#0000000000"), 0, {}, {}, {}},
      // The emptied box is not the start state: all-zero symbols.
      {Q(""), Q("00000000000000"), 135, {}, Q("000000000000"), Q("0000000000000")},
      {Q("    "), Q("00000000000000"), 135, {}, Q("000000000000"), Q("0000000000000")},
      {Q("0"), Q("00000000000000"), 135, Q("0"), Q("000000000000"), Q("0000000000000")},
      // Published GTINs typed (UPC-A 036000291452, EAN-13 4006381333931); fourteen digits.
      {Q("036000291452"), Q("03600029145200"), 135, Q("036000291452"), Q("036000291452"),
       Q("0360002914508")},
      {Q("4006381333931"), Q("40063813339314"), 135, Q("4006381333931"), Q("400638133390"),
       Q("4006381333900")},
      {Q("98765432109876"), Q("98765432109879"), 135, Q("98765432109876"), Q("987654321098"),
       Q("9876543210906")},
      {Q("  123  "), Q("12300000000006"), 135, Q("123"), Q("123000000006"), Q("1230000000000")},
      {Q("12 34"), Q("12 3400000000"), 0, Q("12 34"), {}, {}},
      {Q("*1"), Q("*100000000000"), 0, {}, {}, {}},
      // Cut to "123456789012 ", trimmed to 12 digits: even, refused.
      {Q("123456789012 45"), Q("123456789012"), 0, Q("123456789012 45"), {}, {}},
      // Cut to "12345678901  ", trimmed to 11 digits: a 12-digit symbol.
      {Q("12345678901  X"), Q("123456789012"), 117, Q("12345678901  X"), {}, {}},
      {Q("\t123"), Q("\t123000000000"), 0, {}, {}, {}},  // only spaces are trimmed
      {Q("abc"), Q("abc0000000000"), 0, Q("ABC"), {}, {}},
      {Q("é1"), Q("é100000000000"), 0, {}, {}, {}},
      // Upper-casing follows Qt: "ß" becomes "SS", which Code 39 carries.
      {Q("ß"), Q("ß000000000000"), 0, Q("SS"), {}, {}},
      // A character that Qt upper-cases into ASCII is valid Code 39 (LATIN SMALL LONG S).
      {Q("ſ1"), Q("ſ100000000000"), 0, Q("S1"), {}, {}},
      {Q("١٢٣"), Q("١٢٣0000000000"), 0, {}, {}, {}},  // Arabic-Indic digits are not digits
      {Q("１２"), Q("１２00000000000"), 0, {}, {}, {}},  // nor are full-width ones
      // A surrogate pair is one character and is never split.
      {Q("😀1"), Q("😀100000000000"), 0, {}, {}, {}},
      {Q("1234567890ab😀😀"), Q("1234567890ab😀"), 0, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.toStdString());
    const FormState st = DeriveState(c.value);
    EXPECT_EQ(st.ItfText, c.itfText);
    EXPECT_EQ(st.ItfBars.size(), c.itfModules);
    EXPECT_EQ(st.Code39Text, c.code39Text);
    EXPECT_EQ(st.UpcaText, c.upcaText);
    EXPECT_EQ(st.Ean13Text, c.ean13Text);
    ExpectInvariants(st);
  }
}

TEST(DeriveState, Flags) {
  struct F { const char* value; bool digits, code39; };
  for (const F& f : {F{"", true, true}, F{"0123456789", true, true}, F{"12 3", false, true},
                     F{"A", false, true}, F{"a", false, true}, F{"-.$/+%", false, true},
                     F{"1*", false, false}, F{"1#A", false, false}, F{"1\t", false, false}}) {
    const FormState st = DeriveState(Q(f.value));
    EXPECT_EQ(st.IsAllDigits, f.digits) << f.value;
    EXPECT_EQ(st.IsCode39Valid, f.code39) << f.value;
  }
  // Once false, a flag stays false whatever follows.
  const FormState st = DeriveState(QStringLiteral("#") + QString(1000, u'1'));
  EXPECT_FALSE(st.IsAllDigits);
  EXPECT_FALSE(st.IsCode39Valid);
}

TEST(DeriveState, ControlCharactersAndNul) {
  const QString value = QStringLiteral("12") + QChar(u'\0') + QStringLiteral("3\x1b\x7f");
  const FormState st = DeriveState(value);
  EXPECT_EQ(st.ItfText, value + QString(13 - value.size(), u'0'));
  EXPECT_TRUE(st.ItfBars.empty());
  EXPECT_FALSE(st.IsCode39Valid);
  ExpectInvariants(st);
}

TEST(DeriveState, TextBoxLimitOf32766Characters) {
  const QString digits(32766, u'7');
  const FormState st = DeriveState(digits);
  EXPECT_EQ(st.ItfText, QString(13, u'7') + u'1');  // weighted sum 189
  EXPECT_EQ(st.Code39Text.size(), 32766);
  EXPECT_EQ(st.Code39Bars.size(), 16U * 32768U);
  ExpectInvariants(st);

  QString letters(32766, u'z');
  letters[0] = u' ';
  const FormState up = DeriveState(letters);
  EXPECT_EQ(up.Code39Text, QString(32765, u'Z'));
  ExpectInvariants(up);

  const FormState lone = DeriveState(QString(32766, QChar(0xD800)));  // lone surrogates
  EXPECT_EQ(lone.ItfText, QString(13, QChar(0xD800)));
  ExpectInvariants(lone);
}

TEST(LeftCharacters, NeverSplitsAPair) {
  const QString s = Q("a😀b");
  EXPECT_EQ(ui::LeftCharacters(s, 0), Q(""));
  EXPECT_EQ(ui::LeftCharacters(s, 1), Q("a"));
  EXPECT_EQ(ui::LeftCharacters(s, 2), Q("a😀"));
  EXPECT_EQ(ui::LeftCharacters(s, 3), s);
  EXPECT_EQ(ui::LeftCharacters(s, 99), s);
  // A lone high surrogate followed by a letter is two characters.
  const QString lone = QString(QChar(0xD83D)) + u'x';
  EXPECT_EQ(ui::LeftCharacters(lone, 1), QString(QChar(0xD83D)));
}
