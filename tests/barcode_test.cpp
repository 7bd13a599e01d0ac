#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "barcode/barcode.h"

using namespace barcode;

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

// Widths of the alternating runs of a pattern ("1101" -> 2, 1, 1).
std::vector<int> Runs(std::string_view p) {
  std::vector<int> runs;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (i == 0 || p[i] != p[i - 1]) runs.push_back(0);
    ++runs.back();
  }
  return runs;
}

int DarkRuns(std::string_view p) {
  int n = 0;
  for (std::size_t i = 0; i < p.size(); ++i) n += p[i] == '1' && (i == 0 || p[i - 1] != '1');
  return n;
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
    const std::string full = "0" + data + CheckDigit(data);  // weight 1 on the check digit
    int sum = 0;
    for (std::size_t i = 0; i < full.size(); ++i)
      sum += (full[full.size() - 1 - i] - '0') * (i % 2 == 0 ? 1 : 3);
    EXPECT_EQ(sum % 10, 0) << data;
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

TEST(DigitTables, RowsHaveTheStandardsShape) {
  std::vector<std::string> all;
  for (int d = 0; d <= 9; ++d) {
    const std::string a = LeftOddDigit(d), b = LeftEvenDigit(d), c = RightDigit(d);
    for (const std::string& p : {a, b, c}) {
      ASSERT_EQ(p.size(), 7U) << d;
      ASSERT_TRUE(OnlyBinary(p));
      const auto runs = Runs(p);
      EXPECT_EQ(runs.size(), 4U) << p;  // two bars, two spaces
      for (int r : runs) EXPECT_TRUE(r >= 1 && r <= 4) << p;
      all.push_back(p);
    }
    EXPECT_EQ(a.front(), '0');
    EXPECT_EQ(a.back(), '1');
    EXPECT_EQ(b.front(), '0');
    EXPECT_EQ(b.back(), '1');
    EXPECT_EQ(c.front(), '1');
    EXPECT_EQ(c.back(), '0');
    EXPECT_EQ(std::count(a.begin(), a.end(), '1') % 2, 1) << "odd parity " << d;
    EXPECT_EQ(std::count(b.begin(), b.end(), '1') % 2, 0) << "even parity " << d;
    EXPECT_EQ(std::count(c.begin(), c.end(), '1') % 2, 0) << "right " << d;
    std::string inverted = a;
    for (char& ch : inverted) ch = ch == '1' ? '0' : '1';
    EXPECT_EQ(c, inverted) << d;
    EXPECT_EQ(b, std::string(c.rbegin(), c.rend())) << d;
  }
  std::sort(all.begin(), all.end());
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "patterns must differ";
}

// ---- UPC-A and EAN-13 ----------------------------------------------------

TEST(UPCA, WorkedExamples) {
  std::string zeros = "101";
  for (int i = 0; i < 6; ++i) zeros += "0001101";
  zeros += "01010";
  for (int i = 0; i < 6; ++i) zeros += "1110010";
  zeros += "101";
  EXPECT_EQ(EncodeUPCA("000000000000"), zeros);
  EXPECT_EQ(EncodeUPCA("123456789012"),
            Join({"101", "0011001", "0010011", "0111101", "0100011", "0110001", "0101111",
                  "01010", "1000100", "1001000", "1110100", "1110010", "1100110", "1101100",
                  "101"}));
}

TEST(UPCA, RefusesAnythingButTwelveDigits) {
  for (std::string_view bad : {"", "12345678901", "1234567890123", "12345678901A",
                               "1234567890 2", "12345678901\xff", "-12345678901"})
    EXPECT_EQ(EncodeUPCA(bad), "") << bad;
}

TEST(UPCA, WrongCheckDigitIsEncodedAsGiven) {
  const std::string good = EncodeUPCA("123456789012"), bad = EncodeUPCA("123456789013");
  ASSERT_EQ(bad.size(), 95U);
  EXPECT_EQ(good.substr(0, 85), bad.substr(0, 85));
  EXPECT_NE(good.substr(85, 7), bad.substr(85, 7));
  EXPECT_EQ(good.substr(92), bad.substr(92));
}

TEST(EAN13, WorkedExample) {
  EXPECT_EQ(EncodeEAN13("1234567890128"),
            Join({"101", "0010011", "0111101", "0011101", "0110001", "0000101", "0010001",
                  "01010", "1001000", "1110100", "1110010", "1100110", "1101100", "1001000",
                  "101"}));
}

TEST(EAN13, RefusesAnythingButThirteenDigits) {
  for (std::string_view bad : {"", "123456789012", "12345678901234", "A234567890128",
                               "123456789012A", "1234567 90128"})
    EXPECT_EQ(EncodeEAN13(bad), "") << bad;
}

TEST(EAN13, LeftHalfShowsTheParityRow) {
  // With digits 2..7 all zero the left half spells the parity row.
  struct Case { char lead; std::string_view row; };
  for (const Case& c : {Case{'0', "OOOOOO"}, Case{'1', "OOEOEE"}, Case{'5', "OEEOOE"}}) {
    const std::string p = EncodeEAN13(std::string(1, c.lead) + "000000000000");
    ASSERT_EQ(p.size(), 95U);
    for (std::size_t k = 0; k < 6; ++k)
      EXPECT_EQ(p.substr(3 + 7 * k, 7), c.row[k] == 'O' ? "0001101" : "0100111")
          << c.lead << " digit " << k + 2;
  }
}

TEST(EAN13, ParityRowsAreDistinctAndStartOdd) {
  std::vector<std::string> rows;
  for (char lead = '0'; lead <= '9'; ++lead) {
    const std::string p = EncodeEAN13(std::string(1, lead) + "000000000000");
    std::string row;
    for (std::size_t k = 0; k < 6; ++k) row += p.substr(3 + 7 * k, 7) == "0001101" ? 'O' : 'E';
    EXPECT_EQ(row[0], 'O') << lead;
    EXPECT_EQ(std::count(row.begin(), row.end(), 'E'), lead == '0' ? 0 : 3) << lead;
    rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(std::unique(rows.begin(), rows.end()), rows.end());
}

TEST(EANUPC, GeneratedProperties) {
  std::mt19937 rng(42);
  for (int n = 0; n < 500; ++n) {
    const std::string twelve = Digits(rng, 12);
    const std::string upca = EncodeUPCA(twelve);
    const std::string ean = EncodeEAN13("0" + twelve);
    ASSERT_EQ(upca.size(), 95U);
    EXPECT_TRUE(OnlyBinary(upca));
    EXPECT_EQ(upca, ean) << twelve;
    EXPECT_EQ(DarkRuns(upca), 30) << twelve;
    EXPECT_EQ(upca.substr(0, 3), "101");
    EXPECT_EQ(upca.substr(45, 5), "01010");
    EXPECT_EQ(upca.substr(92), "101");
    // The leading digit changes nothing but the left half.
    const std::string other = EncodeEAN13(std::string(1, char('1' + n % 9)) + twelve);
    EXPECT_EQ(other.substr(0, 3), ean.substr(0, 3));
    EXPECT_EQ(other.substr(45), ean.substr(45));
    EXPECT_EQ(DarkRuns(other), 30);
  }
}

// ---- Interleaved 2 of 5 --------------------------------------------------

TEST(I2of5, Pairs) {
  EXPECT_EQ(I2of5Pair(1, 2), "111010001010111000");
  EXPECT_EQ(I2of5Pair(0, 0), "101011100011100010");
  for (auto [b, s] : std::vector<std::pair<int, int>>{{-1, 0}, {0, 10}, {10, 10}, {INT_MIN, 3},
                                                       {3, INT_MAX}})
    EXPECT_EQ(I2of5Pair(b, s), "") << b << "," << s;
  for (int b = 0; b <= 9; ++b)
    for (int s = 0; s <= 9; ++s) {
      const std::string p = I2of5Pair(b, s);
      ASSERT_EQ(p.size(), 18U);
      EXPECT_EQ(p.front(), '1');
      EXPECT_EQ(p.back(), '0');
      const auto runs = Runs(p);
      ASSERT_EQ(runs.size(), 10U);
      int wideBars = 0, wideSpaces = 0;
      for (std::size_t k = 0; k < 10; ++k) (k % 2 ? wideSpaces : wideBars) += runs[k] == 3;
      EXPECT_EQ(wideBars, 2);
      EXPECT_EQ(wideSpaces, 2);
      // The space digit alone sets the spaces.
      EXPECT_EQ(Runs(I2of5Pair((b + 1) % 10, s))[1], runs[1]);
    }
}

TEST(I2of5, EveryPairFollowsTheDigitWidths) {
  // The digit width table of the symbology, N narrow and W wide, written out
  // here on its own to check the encoder's precomputed pairs against.
  const std::vector<std::string> widths = {"NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW",
                                           "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN"};
  for (int b = 0; b <= 9; ++b)
    for (int s = 0; s <= 9; ++s) {
      std::string expected;
      for (std::size_t k = 0; k < 5; ++k) {
        expected += widths[static_cast<std::size_t>(b)][k] == 'W' ? "111" : "1";
        expected += widths[static_cast<std::size_t>(s)][k] == 'W' ? "000" : "0";
      }
      EXPECT_EQ(I2of5Pair(b, s), expected) << b << "," << s;
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
      {"1", true, "17", start + I2of5Pair(1, 7) + stop},
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
      {"0000000000000", true, "00000000000000", [&] {
         std::string p = start;
         for (int i = 0; i < 7; ++i) p += I2of5Pair(0, 0);
         return p + stop;
       }()},
  };
  for (Case c : cases) {
    std::string data = c.data;
    EXPECT_EQ(EncodeI2of5(data, c.addCheck), c.expected) << '"' << c.data << '"';
    EXPECT_EQ(data, c.after) << '"' << c.data << '"';
  }
}

TEST(I2of5, ItfFourteenWorkedExample) {
  std::string data = "1234567890123";
  const std::string p = EncodeI2of5(data, true);
  EXPECT_EQ(data, "12345678901231");
  ASSERT_EQ(p.size(), 135U);
  EXPECT_EQ(p.substr(0, 22), "1010" + I2of5Pair(1, 2));
  EXPECT_EQ(p.substr(135 - 23), I2of5Pair(3, 1) + "11101");
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
    // Same weighting as the UPC/EAN check digit, computed independently.
    EXPECT_EQ(data.substr(len), CheckDigit(digits));
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
  EXPECT_EQ(data.back(), CheckDigit(std::string(100001, '9'))[0]);
  EXPECT_EQ(p.size(), 4 + 9 * 100002U + 5);
}

TEST(Encoders, WholeSymbolsAreTheirElementsInOrder) {
  // Each symbol, written in one piece, equals its elements joined one by one.
  const std::vector<std::string> parity = {"OOOOOO", "OOEOEE", "OOEEOE", "OOEEEO", "OEOOEE",
                                           "OEEOOE", "OEEEOO", "OEOEOE", "OEOEEO", "OEEOEO"};
  std::mt19937 rng(5);
  for (int n = 0; n < 300; ++n) {
    const std::string ean = Digits(rng, 13);
    const std::string& row = parity[static_cast<std::size_t>(ean[0] - '0')];
    std::string expected = GuardBars();
    for (std::size_t k = 0; k < 6; ++k)
      expected += row[k] == 'O' ? LeftOddDigit(ean[1 + k] - '0') : LeftEvenDigit(ean[1 + k] - '0');
    expected += CenterGuard();
    for (std::size_t k = 7; k < 13; ++k) expected += RightDigit(ean[k] - '0');
    expected += GuardBars();
    EXPECT_EQ(EncodeEAN13(ean), expected) << ean;

    std::string data = Digits(rng, static_cast<std::size_t>(2 * (n % 30)));
    std::string itf = "1010";
    for (std::size_t i = 0; i < data.size(); i += 2) itf += I2of5Pair(data[i] - '0', data[i + 1] - '0');
    EXPECT_EQ(EncodeI2of5(data, false), itf + "11101") << data;

    std::string text(static_cast<std::size_t>(n % 70), ' ');
    for (char& c : text) c = "0AZ-*% $a"[rng() % 9];
    std::string code39 = EncodeCode39("");
    code39.insert(16, [&] {
      std::string middle;
      for (char c : text)
        if (c != '*') middle += EncodeCode39(std::string(1, c)).substr(16, 16);
      return middle;
    }());
    EXPECT_EQ(EncodeCode39(text), code39) << text;
  }
}

// ---- Code 39 -------------------------------------------------------------

TEST(Code39, WorkedExamples) {
  const std::string star = "100010111011101", space = "100011101011101";
  struct Case { std::string text, expected; };
  const std::vector<Case> cases = {
      {"", star + "0" + star + "0"},
      {"A", star + "0" + "111010100010111" + "0" + star + "0"},
      {"0", star + "0" + "101000111011101" + "0" + star + "0"},
      {"-", star + "0" + "100010101110111" + "0" + star + "0"},
      {"a", star + "0" + space + "0" + star + "0"},
      {" ", star + "0" + space + "0" + star + "0"},
      {std::string("\0", 1), star + "0" + space + "0" + star + "0"},
      {"\xff", star + "0" + space + "0" + star + "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeCode39(c.text), c.expected) << c.text;
  EXPECT_EQ(EncodeCode39(""), "10001011101110101000101110111010");
}

TEST(Code39, StarsAreDropped) {
  EXPECT_EQ(EncodeCode39("***"), EncodeCode39(""));
  EXPECT_EQ(EncodeCode39("A*B"), EncodeCode39("AB"));
  EXPECT_EQ(EncodeCode39("*A**B*"), EncodeCode39("AB"));
  // Two million stars: linear work, or this test times out.
  EXPECT_EQ(EncodeCode39(std::string(2000000, '*')), EncodeCode39(""));
}

TEST(Code39, CharacterSetShape) {
  const std::string set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
  const std::string frame = EncodeCode39("");
  std::vector<std::string> patterns{frame.substr(0, 15)};
  for (char c : set) {
    const std::string p = EncodeCode39(std::string(1, c));
    ASSERT_EQ(p.size(), 48U);
    const std::string own = p.substr(16, 15);
    EXPECT_EQ(p[31], '0') << "gap after " << c;
    const auto runs = Runs(own);
    ASSERT_EQ(runs.size(), 9U) << c;  // five bars, four spaces
    EXPECT_EQ(std::count(runs.begin(), runs.end(), 3), 3) << c;
    EXPECT_EQ(std::count(runs.begin(), runs.end(), 1), 6) << c;
    patterns.push_back(own);
  }
  std::sort(patterns.begin(), patterns.end());
  EXPECT_EQ(std::unique(patterns.begin(), patterns.end()), patterns.end())
      << "44 distinct patterns";
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
