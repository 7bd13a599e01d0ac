// The window's state derived from the typed value: worked examples, and the
// symbols read back by a decoder as the texts shown under them.
#include <gtest/gtest.h>

#include "scan.h"
#include "ui/core/form_state.h"
#include "ui/core/text.h"

#include <string>
#include <utility>

using scan::Format;
using ui::DeriveState;
using ui::FormState;

namespace {

std::u16string Q(const char16_t* text) { return text; }

// An ASCII text (digits, Code 39) as the decoders give it.
std::string Narrow(const std::u16string& text) {
  std::string out;
  for (const char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// What every derived state must satisfy, whatever the value; the symbols
// read back (zxing) as the texts shown under them.
void ExpectInvariants(const FormState& st) {
  EXPECT_TRUE(!st.IsAllDigits || st.IsCode39Valid);
  EXPECT_FALSE(st.ItfText.empty());
  if (st.IsAllDigits) {
    EXPECT_EQ(st.UpcaText.size(), 12U);
    EXPECT_EQ(st.Ean13Text.size(), 13U);
    EXPECT_EQ(st.UpcaText.substr(0, 11), st.Ean13Text.substr(0, 11));
    EXPECT_EQ(st.Ean13Text[11], u'0');
    EXPECT_EQ(scan::ReadPattern(st.UpcaBars, Format::UPCA), Narrow(st.UpcaText));
    EXPECT_EQ(scan::ReadPattern(st.Ean13Bars, Format::EAN13), Narrow(st.Ean13Text));
  } else {
    EXPECT_TRUE(st.UpcaText.empty() && st.Ean13Text.empty());
    EXPECT_TRUE(st.UpcaBars.empty() && st.Ean13Bars.empty());
  }
  if (!st.IsCode39Valid) {
    EXPECT_TRUE(st.Code39Text.empty() && st.Code39Bars.empty());
  } else if (st.Code39Text.empty()) {
    EXPECT_EQ(st.Code39Bars, "10001011101110101000101110111010");  // start and stop alone
  } else {
    EXPECT_EQ(st.Code39Bars.size(), 16 * (st.Code39Text.size() + 2));
    if (st.Code39Text.size() <= 40) {  // short enough to render and read
      EXPECT_EQ(scan::ReadPattern(st.Code39Bars, Format::Code39), Narrow(st.Code39Text));
    }
  }
  if (!st.ItfBars.empty()) {
    EXPECT_EQ(st.ItfBars.size(), 4 + 9 * st.ItfText.size() + 5);
    EXPECT_EQ(scan::ReadPattern(st.ItfBars, Format::ITF), Narrow(st.ItfText));
    EXPECT_TRUE(scan::WeighsTen(Narrow(st.ItfText))) << "ITF check digit";
  }
}

struct Case {
  std::u16string value;
  std::u16string itfText;
  std::size_t itfModules;
  std::u16string code39Text;
  std::u16string upcaText;
  std::u16string ean13Text;
};

}  // namespace

TEST(DeriveState, Table) {
  const std::u16string twenty = Q(u"12345678901234567890");
  const std::vector<Case> cases = {
      {Q(u"123"), Q(u"12300000000006"), 135, Q(u"123"), Q(u"123000000006"), Q(u"1230000000000")},
      {Q(u"123456789012"), Q(u"12345678901200"), 135, Q(u"123456789012"), Q(u"123456789012"),
       Q(u"1234567890104")},
      {twenty, Q(u"12345678901231"), 135, twenty, Q(u"123456789012"), Q(u"1234567890104")},
      {Q(u"12AB"), Q(u"12AB000000000"), 0, Q(u"12AB"), {}, {}},
      {Q(u"ab-1"), Q(u"ab-1000000000"), 0, Q(u"AB-1"), {}, {}},
      {Q(u"12#"), Q(u"12#0000000000"), 0, {}, {}, {}},
      // The emptied box is not the start state: all-zero symbols.
      {Q(u""), Q(u"00000000000000"), 135, {}, Q(u"000000000000"), Q(u"0000000000000")},
      {Q(u"    "), Q(u"00000000000000"), 135, {}, Q(u"000000000000"), Q(u"0000000000000")},
      {Q(u"0"), Q(u"00000000000000"), 135, Q(u"0"), Q(u"000000000000"), Q(u"0000000000000")},
      // Published GTINs typed (UPC-A 036000291452, EAN-13 4006381333931); fourteen digits.
      {Q(u"036000291452"), Q(u"03600029145200"), 135, Q(u"036000291452"), Q(u"036000291452"),
       Q(u"0360002914508")},
      {Q(u"4006381333931"), Q(u"40063813339314"), 135, Q(u"4006381333931"), Q(u"400638133390"),
       Q(u"4006381333900")},
      {Q(u"98765432109876"), Q(u"98765432109879"), 135, Q(u"98765432109876"), Q(u"987654321098"),
       Q(u"9876543210906")},
      {Q(u"  123  "), Q(u"12300000000006"), 135, Q(u"123"), Q(u"123000000006"), Q(u"1230000000000")},
      {Q(u"12 34"), Q(u"12 3400000000"), 0, Q(u"12 34"), {}, {}},
      {Q(u"*1"), Q(u"*100000000000"), 0, {}, {}, {}},
      // Cut to "123456789012 ", trimmed to 12 digits: even, refused.
      {Q(u"123456789012 45"), Q(u"123456789012"), 0, Q(u"123456789012 45"), {}, {}},
      // Cut to "12345678901  ", trimmed to 11 digits: a 12-digit symbol.
      {Q(u"12345678901  X"), Q(u"123456789012"), 117, Q(u"12345678901  X"), {}, {}},
      {Q(u"\t123"), Q(u"\t123000000000"), 0, {}, {}, {}},  // only spaces are trimmed
      {Q(u"abc"), Q(u"abc0000000000"), 0, Q(u"ABC"), {}, {}},
      {Q(u"é1"), Q(u"é100000000000"), 0, {}, {}, {}},
      // Upper-casing follows Qt: "ß" becomes "SS", which Code 39 carries.
      {Q(u"ß"), Q(u"ß000000000000"), 0, Q(u"SS"), {}, {}},
      // A character that Qt upper-cases into ASCII is valid Code 39 (LATIN SMALL LONG S).
      {Q(u"ſ1"), Q(u"ſ100000000000"), 0, Q(u"S1"), {}, {}},
      {Q(u"١٢٣"), Q(u"١٢٣0000000000"), 0, {}, {}, {}},  // Arabic-Indic digits are not digits
      {Q(u"１２"), Q(u"１２00000000000"), 0, {}, {}, {}},  // nor are full-width ones
      // A surrogate pair is one character and is never split.
      {Q(u"😀1"), Q(u"😀100000000000"), 0, {}, {}, {}},
      {Q(u"1234567890ab😀😀"), Q(u"1234567890ab😀"), 0, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ui::ToUtf8(c.value));
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
  struct F { const char16_t* value; bool digits, code39; };
  for (const F& f : {F{u"", true, true}, F{u"0123456789", true, true}, F{u"12 3", false, true},
                     F{u"A", false, true}, F{u"a", false, true}, F{u"-.$/+%", false, true},
                     F{u"1*", false, false}, F{u"1#A", false, false}, F{u"1\t", false, false}}) {
    const FormState st = DeriveState(Q(f.value));
    EXPECT_EQ(st.IsAllDigits, f.digits) << Narrow(f.value);
    EXPECT_EQ(st.IsCode39Valid, f.code39) << Narrow(f.value);
  }
  // Once false, a flag stays false whatever follows.
  const FormState st = DeriveState(u"#" + std::u16string(1000, u'1'));
  EXPECT_FALSE(st.IsAllDigits);
  EXPECT_FALSE(st.IsCode39Valid);
}

TEST(DeriveState, ControlCharactersAndNul) {
  const std::u16string value = std::u16string(u"12") + u'\0' + u"3\x1b\x7f";
  const FormState st = DeriveState(value);
  EXPECT_EQ(st.ItfText, value + std::u16string(13 - value.size(), u'0'));
  EXPECT_TRUE(st.ItfBars.empty());
  EXPECT_FALSE(st.IsCode39Valid);
  ExpectInvariants(st);
}

TEST(DeriveState, TheValueBoxLimitOf32767Characters) {
  const std::u16string digits(32767, u'7');
  const FormState st = DeriveState(digits);
  EXPECT_EQ(st.ItfText, std::u16string(13, u'7') + u'1');  // weighted sum 189
  EXPECT_EQ(st.Code39Text.size(), 32767U);
  EXPECT_EQ(st.Code39Bars.size(), 16U * 32769U);
  ExpectInvariants(st);

  std::u16string letters(32767, u'z');
  letters[0] = u' ';
  const FormState up = DeriveState(letters);
  EXPECT_EQ(up.Code39Text, std::u16string(32766, u'Z'));
  ExpectInvariants(up);

  const FormState lone = DeriveState(std::u16string(32767, char16_t{0xD800}));  // lone surrogates
  EXPECT_EQ(lone.ItfText, std::u16string(13, char16_t{0xD800}));
  ExpectInvariants(lone);
}

TEST(LeftCharacters, NeverSplitsAPair) {
  const std::u16string s = Q(u"a😀b");
  EXPECT_EQ(ui::LeftCharacters(s, 0), Q(u""));
  EXPECT_EQ(ui::LeftCharacters(s, 1), Q(u"a"));
  EXPECT_EQ(ui::LeftCharacters(s, 2), Q(u"a😀"));
  EXPECT_EQ(ui::LeftCharacters(s, 3), s);
  EXPECT_EQ(ui::LeftCharacters(s, 99), s);
  // A lone high surrogate followed by a letter is two characters.
  const std::u16string lone = std::u16string(1, char16_t{0xD83D}) + u'x';
  EXPECT_EQ(ui::LeftCharacters(lone, 1), std::u16string(1, char16_t{0xD83D}));
}

// Upper case as Code 39 needs it: the ASCII letters, and the letters outside
// ASCII whose upper case is ASCII letters (Unicode's full case mapping);
// everything else as it is, so that Code 39 refuses it.
TEST(UpperCase, AsciiAndWhatBecomesAscii) {
  struct Case { const char16_t* text; const char16_t* upper; };
  for (const Case& c : {Case{u"", u""}, Case{u"azAZ09-. $/+%", u"AZAZ09-. $/+%"},
                        Case{u"straße", u"STRASSE"}, Case{u"ıſ", u"IS"},
                        Case{u"ﬁﬂﬀﬃﬄﬅﬆ", u"FIFLFFFFIFFLSTST"},
                        Case{u"éäñ", u"éäñ"},   // not ASCII upper-cased: Code 39 refuses them
                        Case{u"ǆ\u1E9E", u"ǆ\u1E9E"}, Case{u"`{@[", u"`{@["}}) {
    EXPECT_EQ(ui::UpperCase(c.text), c.upper) << Narrow(c.text);
  }
}

// UTF-8 in and out, by the bytes Unicode gives each character; what is not
// UTF-8 (a lone continuation byte, an overlong form, a surrogate, a cut
// sequence) and a lone surrogate become U+FFFD.
TEST(Utf8, BothWays) {
  struct Case { std::string utf8; std::u16string text; };
  const Case both[] = {
      {"", u""}, {"A1", u"A1"}, {"\xC3\xA9", u"\u00E9"}, {"\xE2\x82\xAC", u"\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"}, {"\xEF\xBF\xBF", u"\uFFFF"},
  };
  for (const Case& c : both) {
    EXPECT_EQ(ui::FromUtf8(c.utf8), c.text) << c.utf8;
    EXPECT_EQ(ui::ToUtf8(c.text), c.utf8) << c.utf8;
  }
  const Case in[] = {{"\x80", u"\uFFFD"}, {"\xC0\xAF", u"\uFFFD\uFFFD"},
                     {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, {"\xE2\x82", u"\uFFFD\uFFFD"},
                     {"a\xFF" "b", u"a\uFFFDb"}};
  for (const Case& c : in) EXPECT_EQ(ui::FromUtf8(c.utf8), c.text) << Narrow(c.text);
  EXPECT_EQ(ui::ToUtf8(std::u16string(1, char16_t{0xD800}) + u"x"), "\xEF\xBF\xBDx");
}

TEST(Fill, NumberedPlaces) {
  EXPECT_EQ(ui::Fill(u"%2 and %1, %1", {u"a", u"b"}), u"b and a, a");
  EXPECT_EQ(ui::Fill(u"100% of %3", {u"a"}), u"100% of %3") << "a place with no argument stays";
  EXPECT_EQ(ui::Fill(u"%1", {u"%2"}), u"%2") << "an argument is not filled in again";
  EXPECT_EQ(ui::Number(-32768), u"-32768");
}

// A word a suggested command carries, as a shell must be given it.
TEST(ShellWord, QuotedWhereAShellWouldReadMore) {
  const std::pair<std::u16string, std::u16string> words[] = {
      {u"Zebra203-6", u"Zebra203-6"},      {u"Q/4x6", u"Q/4x6"},
      {u"<b>Dock", u"'<b>Dock'"},          {u"a;rm -rf ~", u"'a;rm -rf ~'"},
      {u"$(id)`id`", u"'$(id)`id`'"},      {u"it's", u"'it'\\''s'"},
      {u"", u"''"},                        {u"\u00E9", u"'\u00E9'"}};
  for (const auto& [word, quoted] : words) EXPECT_EQ(ui::ShellWord(word), quoted) << Narrow(word);
}
