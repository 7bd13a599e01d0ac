// The encoders against published symbols: the check digits of real GTINs and
// module strings worked by hand from the EAN/UPC, ITF and Code 39 tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "barcode/barcode.h"
#include "scan.h"

using namespace barcode;
using scan::WeighsTen;

namespace {

std::string Digits(std::mt19937& rng, std::size_t n) {
  std::uniform_int_distribution<int> d(0, 9);
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += static_cast<char>('0' + d(rng));
  return s;
}

std::string Join(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (auto p : parts) out += p;
  return out;
}

std::string Repeat(std::string_view s, int n) {
  std::string out;
  while (n-- > 0) out += s;
  return out;
}

// Widths of the alternating runs of a pattern ("1101" -> 2, 1, 1).
std::vector<int> Runs(std::string_view p) {
  std::vector<int> runs;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (i == 0 || p[i] != p[i - 1]) runs.push_back(0);
    ++runs.back();
  }
  return runs;
}

bool OnlyBinary(std::string_view p) {
  return std::all_of(p.begin(), p.end(), [](char c) { return c == '0' || c == '1'; });
}

}  // namespace

// ---- check digit ---------------------------------------------------------

TEST(CheckDigit, Table) {
  struct Case { std::string data, expected; };
  const std::vector<Case> cases = {
      {"", "0"},          {"7", "9"},           {"1", "7"},
      {"01", "7"},        {"10", "9"},          {"0000", "0"},
      {"12345678901", "2"}, {"123456789012", "8"}, {"123456789010", "4"},
      {std::string(11, '0'), "0"}, {std::string(11, '9'), "3"}, {std::string(12, '9'), "4"},
      // Published GTINs: EAN-13 4006381333931, 5901234123457, 9780306406157 (an
      // ISBN); UPC-A 036000291452, 012345678905; ITF-14 15400141288763.
      {"400638133393", "1"}, {"590123412345", "7"}, {"978030640615", "7"},
      {"03600029145", "2"}, {"01234567890", "5"}, {"1540014128876", "3"},
      {"12A4", ""},       {"A", ""},            {" 1", ""},
      {std::string("1\0" "2", 3), ""}, {"\xd9\xa1", ""},  // a NUL byte; ARABIC-INDIC DIGIT ONE
      // 1,820 nines: the largest 16-bit sum, 32,760; 1,821 nines overflow it (32,787).
      {std::string(1820, '9'), "0"}, {std::string(1821, '9'), "3"},
      {std::string(1000001, '1'), "7"},  // 500,001 x 3 + 500,000 = 2,000,003
  };
  for (const auto& c : cases)
    EXPECT_EQ(CheckDigit(c.data), c.expected) << "data of " << c.data.size() << " chars";
}

TEST(CheckDigit, CompletesDataToAMultipleOfTen) {
  std::mt19937 rng(7);
  for (int n = 0; n < 300; ++n) {
    const std::string data = Digits(rng, static_cast<std::size_t>(n % 40));
    EXPECT_TRUE(WeighsTen(data + CheckDigit(data))) << data;
  }
}

// ---- digit tables --------------------------------------------------------

TEST(DigitTables, TellingRows) {
  EXPECT_EQ(LeftOddDigit(0), "0001101");
  EXPECT_EQ(LeftEvenDigit(0), "0100111");
  EXPECT_EQ(RightDigit(0), "1110010");
  EXPECT_EQ(LeftOddDigit(9), "0001011");
  EXPECT_EQ(LeftEvenDigit(9), "0010111");
  EXPECT_EQ(RightDigit(9), "1110100");
  EXPECT_EQ(GuardBars(), "101");
  EXPECT_EQ(CenterGuard(), "01010");
}

TEST(DigitTables, OutOfRangeIsEmpty) {
  for (int v : {-1, 10, 11, 32767, -32768, INT_MIN, INT_MAX}) {
    EXPECT_EQ(LeftOddDigit(v), "") << v;
    EXPECT_EQ(LeftEvenDigit(v), "") << v;
    EXPECT_EQ(RightDigit(v), "") << v;
  }
}

TEST(DigitTables, SetsBAndCFollowFromSetA) {
  // Set A and set C are read by the decoders (scan_test).
  for (int d = 0; d <= 9; ++d) {
    std::string inverted = LeftOddDigit(d);
    for (char& ch : inverted) ch = ch == '1' ? '0' : '1';
    const std::string c = RightDigit(d);
    EXPECT_EQ(c, inverted) << d;
    EXPECT_EQ(LeftEvenDigit(d), std::string(c.rbegin(), c.rend())) << d;
  }
}

// ---- UPC-A and EAN-13 ----------------------------------------------------

TEST(EANUPC, PublishedSymbols) {
  // Worked by hand from number sets A, B and C and the leading-digit parity
  // rows; one 7-module group per digit between the guards.
  struct Case { std::string symbol, expected; };
  const std::string zeros = "101" + Repeat("0001101", 6) + "01010" + Repeat("1110010", 6) + "101";
  const std::vector<Case> cases = {
      {EncodeUPCA("000000000000"), zeros},
      {EncodeEAN13("0000000000000"), zeros},  // row OOOOOO
      {EncodeUPCA("123456789012"),
       Join({"101", "0011001", "0010011", "0111101", "0100011", "0110001", "0101111", "01010",
             "1000100", "1001000", "1110100", "1110010", "1100110", "1101100", "101"})},
      // A wrong check digit is encoded as given: only the last group differs.
      {EncodeUPCA("123456789013"),
       Join({"101", "0011001", "0010011", "0111101", "0100011", "0110001", "0101111", "01010",
             "1000100", "1001000", "1110100", "1110010", "1100110", "1000010", "101"})},
      {EncodeUPCA("036000291452"),
       Join({"101", "0001101", "0111101", "0101111", "0001101", "0001101", "0001101", "01010",
             "1101100", "1110100", "1100110", "1011100", "1001110", "1101100", "101"})},
      {EncodeEAN13("1234567890128"),  // row OOEOEE
       Join({"101", "0010011", "0111101", "0011101", "0110001", "0000101", "0010001", "01010",
             "1001000", "1110100", "1110010", "1100110", "1101100", "1001000", "101"})},
      {EncodeEAN13("4006381333931"),  // row OEOOEE
       Join({"101", "0001101", "0100111", "0101111", "0111101", "0001001", "0110011", "01010",
             "1000010", "1000010", "1000010", "1110100", "1000010", "1100110", "101"})},
      {EncodeEAN13("5901234123457"),  // row OEEOOE
       Join({"101", "0001011", "0100111", "0110011", "0010011", "0111101", "0011101", "01010",
             "1100110", "1101100", "1000010", "1011100", "1001110", "1000100", "101"})},
      {EncodeEAN13("9780306406157"),  // row OEEOEO
       Join({"101", "0111011", "0001001", "0100111", "0111101", "0100111", "0101111", "01010",
             "1011100", "1110010", "1010000", "1100110", "1001110", "1000100", "101"})},
  };
  for (const Case& c : cases) EXPECT_EQ(c.symbol, c.expected);
}

TEST(UPCA, RefusesAnythingButTwelveDigits) {
  for (std::string_view bad : {"", "12345678901", "1234567890123", "12345678901A",
                               "1234567890 2", "12345678901\xff", "-12345678901"})
    EXPECT_EQ(EncodeUPCA(bad), "") << bad;
}

TEST(EAN13, RefusesAnythingButThirteenDigits) {
  for (std::string_view bad : {"", "123456789012", "12345678901234", "A234567890128",
                               "123456789012A", "1234567 90128"})
    EXPECT_EQ(EncodeEAN13(bad), "") << bad;
}

TEST(EANUPC, EveryNonDigitAnywhereIsRefused) {
  // The digits are tested in the pass that writes them, through a table row
  // that a non-digit also reaches: each of the other 246 bytes, in each
  // position of either half, must still give no symbol.
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    if (c >= '0' && c <= '9') continue;
    for (std::size_t at = 0; at < 13; ++at) {
      std::string ean = "1234567890128";
      ean[at] = c;
      EXPECT_EQ(EncodeEAN13(ean), "") << "byte " << b << " at " << at;
      if (at == 12) continue;
      std::string upc = "123456789012";
      upc[at] = c;
      EXPECT_EQ(EncodeUPCA(upc), "") << "byte " << b << " at " << at;
    }
  }
}

TEST(EANUPC, GeneratedProperties) {
  std::mt19937 rng(42);
  for (int n = 0; n < 500; ++n) {
    const std::string twelve = Digits(rng, 12);
    const std::string ean = EncodeEAN13("0" + twelve);
    ASSERT_EQ(ean.size(), 95U);
    EXPECT_EQ(EncodeUPCA(twelve), ean) << twelve;
    // The leading digit changes nothing but the left half.
    const std::string other = EncodeEAN13(std::string(1, char('1' + n % 9)) + twelve);
    EXPECT_EQ(other.substr(0, 3), ean.substr(0, 3));
    EXPECT_EQ(other.substr(45), ean.substr(45));
  }
}

// ---- Interleaved 2 of 5 --------------------------------------------------

TEST(I2of5, Pairs) {
  EXPECT_EQ(I2of5Pair(1, 2), "111010001010111000");
  EXPECT_EQ(I2of5Pair(0, 0), "101011100011100010");
  EXPECT_EQ(I2of5Pair(1, 7), "111010101000111000");
  for (auto [b, s] : std::vector<std::pair<int, int>>{{-1, 0}, {0, 10}, {10, 10}, {INT_MIN, 3},
                                                       {3, INT_MAX}})
    EXPECT_EQ(I2of5Pair(b, s), "") << b << "," << s;
  for (int b = 0; b <= 9; ++b)
    for (int s = 0; s <= 9; ++s) {
      const std::string p = I2of5Pair(b, s);
      EXPECT_EQ(p.front(), '1') << "bar first";
      const auto runs = Runs(p);
      ASSERT_EQ(runs.size(), 10U);  // five bars, five spaces
      int wideBars = 0, wideSpaces = 0;
      for (std::size_t k = 0; k < 10; ++k) {
        EXPECT_TRUE(runs[k] == 1 || runs[k] == 3) << b << "," << s;
        (k % 2 ? wideSpaces : wideBars) += runs[k] == 3;
      }
      EXPECT_EQ(wideBars, 2);
      EXPECT_EQ(wideSpaces, 2);
    }
}

TEST(I2of5, EncodeTable) {
  const std::string start = "1010", stop = "11101";
  struct Case {
    std::string data;
    bool addCheck;
    std::string after;     // the caller's variable afterwards
    std::string expected;  // exact pattern, or "" for refusal
  };
  const std::vector<Case> cases = {
      {"1", true, "17", start + "111010101000111000" + stop},
      {"", true, "", ""},
      {"", false, "", "101011101"},
      {"   ", false, "", "101011101"},
      {" 12 ", false, "12", start + "111010001010111000" + stop},
      {"12", true, "12", ""},
      {"123", false, "123", ""},
      {"12A4567890123", true, "12A4567890123", ""},
      {"12 4567890123", true, "12 4567890123", ""},
      {"123456789012 ", true, "123456789012", ""},
      {"\t12", false, "\t12", ""},  // only the space is trimmed
      {"1\xef\xbc\x92", false, "1\xef\xbc\x92", ""},  // FULLWIDTH DIGIT TWO
      {"0000000000000", true, "00000000000000", start + Repeat("101011100011100010", 7) + stop},
      // The published ITF-14 15400141288763, pairs 15 40 01 41 28 87 63.
      {"1540014128876", true, "15400141288763",
       Join({"1010", "111000101000101110", "101011100010001110", "100010111011101000",
             "100010111010111000", "100011101010001110", "111010101110001000",
             "100011100011101010", "11101"})},
      {"1234567890123", true, "12345678901231",  // weighted sum 109
       Join({"1010", "111010001010111000", "111011101000101000", "111010001110001010",
             "100010101110001110", "101110100011100010", "111010001010111000",
             "111000111010101000", "11101"})},
  };
  for (Case c : cases) {
    std::string data = c.data;
    EXPECT_EQ(EncodeI2of5(data, c.addCheck), c.expected) << '"' << c.data << '"';
    EXPECT_EQ(data, c.after) << '"' << c.data << '"';
  }
}

TEST(I2of5, GeneratedLengthsAndCheckDigits) {
  std::mt19937 rng(3);
  for (int n = 0; n < 400; ++n) {
    const std::size_t len = static_cast<std::size_t>(1 + 2 * (n % 20));  // odd
    const std::string digits = Digits(rng, len);
    std::string data = digits;
    const std::string p = EncodeI2of5(data, true);
    ASSERT_EQ(data.size(), len + 1);
    EXPECT_EQ(data.substr(0, len), digits);
    EXPECT_TRUE(WeighsTen(data)) << data;
    EXPECT_EQ(p.size(), 4 + 9 * data.size() + 5);
    EXPECT_TRUE(OnlyBinary(p));
    std::string same = data;
    EXPECT_EQ(EncodeI2of5(same, false), p) << "even data encodes as it stands";
  }
}

TEST(I2of5, LongDataIsLinearAndExact) {
  // Far past the 32,766 characters a 16-bit position could count.
  std::string data(100001, '9');
  const std::string p = EncodeI2of5(data, true);
  ASSERT_EQ(data.size(), 100002U);
  EXPECT_EQ(data.back(), '3');  // 50,001 x 27 + 50,000 x 9 = 1,800,027
  EXPECT_EQ(p.size(), 4 + 9 * 100002U + 5);
}

// ---- Code 39 -------------------------------------------------------------

TEST(Code39, WorkedExamples) {
  const std::string star = "100010111011101", space = "100011101011101";
  struct Case { std::string text, expected; };
  const std::vector<Case> cases = {
      {"", "10001011101110101000101110111010"},
      {"A", star + "0" + "111010100010111" + "0" + star + "0"},
      {"0", star + "0" + "101000111011101" + "0" + star + "0"},
      {"-", star + "0" + "100010101110111" + "0" + star + "0"},
      {"$%/+", star + "0" + Join({"100010001000101", "0", "101000100010001", "0",
                                  "100010001010001", "0", "100010100010001", "0"}) + star + "0"},
      {"CODE39", star + "0" + Join({"111011101000101", "0", "111010111010001", "0",
                                    "101011100010111", "0", "111010111000101", "0",
                                    "111011100010101", "0", "101110001011101", "0"}) + star + "0"},
      {"a", star + "0" + space + "0" + star + "0"},
      {" ", star + "0" + space + "0" + star + "0"},
      {std::string("\0", 1), star + "0" + space + "0" + star + "0"},
      {"\xff", star + "0" + space + "0" + star + "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeCode39(c.text), c.expected) << c.text;
}

TEST(Code39, StarsAreDropped) {
  EXPECT_EQ(EncodeCode39("***"), EncodeCode39(""));
  EXPECT_EQ(EncodeCode39("A*B"), EncodeCode39("AB"));
  EXPECT_EQ(EncodeCode39("*A**B*"), EncodeCode39("AB"));
  // Two million stars: linear work, or this test times out.
  EXPECT_EQ(EncodeCode39(std::string(2000000, '*')), EncodeCode39(""));
}

TEST(Code39, EveryCharacterHasTheStandardsShape) {
  for (char c : std::string_view("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%")) {
    const std::string p = EncodeCode39(std::string(1, c));
    ASSERT_EQ(p.size(), 48U);
    EXPECT_EQ(p[31], '0') << "gap after " << c;
    const auto runs = Runs(p.substr(16, 15));
    ASSERT_EQ(runs.size(), 9U) << c;  // five bars, four spaces
    EXPECT_EQ(std::count(runs.begin(), runs.end(), 3), 3) << c;
    EXPECT_EQ(std::count(runs.begin(), runs.end(), 1), 6) << c;
  }
}

TEST(Code39, GeneratedLengthsAndFrame) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> byte(0, 255), len(0, 80);
  for (int n = 0; n < 400; ++n) {
    std::string text(static_cast<std::size_t>(len(rng)), ' ');
    for (char& c : text) c = static_cast<char>(byte(rng));
    const auto kept = static_cast<std::size_t>(std::count_if(text.begin(), text.end(),
                                                             [](char c) { return c != '*'; }));
    const std::string p = EncodeCode39(text);
    ASSERT_EQ(p.size(), 16 * (kept + 2));
    EXPECT_TRUE(OnlyBinary(p));
    EXPECT_EQ(p.substr(0, 16), "1000101110111010");
    EXPECT_EQ(p.substr(p.size() - 16), "1000101110111010");
  }
  EXPECT_EQ(EncodeCode39(std::string(32766, 'Z')).size(), 16U * 32768U);
}
