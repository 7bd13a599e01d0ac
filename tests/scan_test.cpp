// Every symbol must scan: zxing-cpp and zbar, two independent decoders, read
// back what the encoders write.
#include <gtest/gtest.h>

#include <random>

#include "barcode/barcode.h"
#include "scan.h"

using namespace barcode;
using scan::Format;

namespace {

std::string RandomDigits(std::mt19937& rng, std::size_t n) {
  std::uniform_int_distribution<int> d(0, 9);
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += static_cast<char>('0' + d(rng));
  return s;
}

// The data and the one digit that makes it a valid GTIN.
std::string Completed(const std::string& data) {
  for (char c = '0'; c <= '9'; ++c)
    if (scan::WeighsTen(data + c)) return data + c;
  return data;
}

// Both decoders find the one symbol and read `text`; zbar names an EAN-13
// symbol with a leading 0 UPC-A and leaves the 0 out.
void ExpectReads(const BarPattern& p, Format format, const std::string& text) {
  EXPECT_EQ(scan::ReadPattern(p, format), text) << "zxing";
  const auto zbar = scan::ReadZbar(scan::Render(p));
  ASSERT_EQ(zbar.size(), 1U) << "zbar, for " << text;
  const bool upc = format == Format::EAN13 && text[0] == '0';
  EXPECT_EQ(zbar[0].text, upc ? text.substr(1) : text) << "zbar";
  const char* names[] = {"ITF", "Code39", "UPC-A", "EAN-13"};
  EXPECT_EQ(zbar[0].format, upc ? "UPC-A" : names[static_cast<int>(format)]);
}

void ExpectItf(const std::string& thirteen) {
  std::string data = thirteen;
  const BarPattern p = EncodeI2of5(data, true);
  EXPECT_EQ(data, Completed(thirteen));
  ExpectReads(p, Format::ITF, Completed(thirteen));
}

void ExpectUpcaAndEan(const std::string& eleven) {
  ExpectReads(EncodeUPCA(Completed(eleven)), Format::UPCA, Completed(eleven));
  ExpectReads(EncodeEAN13(Completed(eleven + "0")), Format::EAN13, Completed(eleven + "0"));
}

}  // namespace

TEST(Scan, ItfFourteenTable) {
  for (const char* v : {"0000000000000", "1234567890123", "9999999999999", "0012345678905",
                        "5012345678900", "1000000000001", "1540014128876"})
    ExpectItf(v);
}

TEST(Scan, ItfEveryPair) {
  // Ten symbols of ten pairs: every digit in the bars with every digit in the spaces.
  for (char bar = '0'; bar <= '9'; ++bar) {
    std::string data;
    for (char space = '0'; space <= '9'; ++space) data += {bar, space};
    const std::string given = data;
    ExpectReads(EncodeI2of5(data, false), Format::ITF, given);
  }
}

TEST(Scan, UpcaAndEan13Table) {
  for (const char* v : {"00000000000", "12345678901", "99999999999", "03600029145",
                        "12300000000", "40000000000", "98765432109"})
    ExpectUpcaAndEan(v);
}

TEST(Scan, Ean13EveryDigitInBothParities) {
  // Every leading digit, and under each parity row every digit in every
  // position: all ten digits in both left-hand sets and in the right-hand one.
  for (char lead = '0'; lead <= '9'; ++lead)
    for (int shift = 0; shift < 10; ++shift) {
      std::string twelve(1, lead);
      for (int k = 0; k < 11; ++k) twelve += static_cast<char>('0' + (shift + k) % 10);
      ExpectReads(EncodeEAN13(Completed(twelve)), Format::EAN13, Completed(twelve));
    }
}

TEST(Scan, DigitLookupsMakeReadableSymbols) {
  // UPC-A symbols put together from the lookups: all ten digits of the left
  // odd-parity set and of the right set.
  for (const std::string upca : {"012345678905", "678901234512"}) {
    std::string p = GuardBars();
    for (std::size_t k = 0; k < 12; ++k) {
      const int digit = upca[k] - '0';
      p += (k == 6 ? CenterGuard() : "") + (k < 6 ? LeftOddDigit(digit) : RightDigit(digit));
    }
    ExpectReads(p + GuardBars(), Format::UPCA, upca);
  }
}

TEST(Scan, Code39Table) {
  // The first four hold the 43 characters of the set between them.
  for (const char* v : {"0123456789", "ABCDEFGHIJKLM", "NOPQRSTUVWXYZ", "-. $/+%", "A",
                        "CODE39", "12 34", "AB-1", "$1.50/KG+10%"})
    ExpectReads(EncodeCode39(v), Format::Code39, v);
  // Stars are dropped: the symbol reads as the text without them.
  ExpectReads(EncodeCode39("A*B"), Format::Code39, "AB");
}

TEST(Scan, GeneratedValues) {
  std::mt19937 rng(2024);
  const std::string set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-.$/+% ";
  std::uniform_int_distribution<std::size_t> pick(0, set.size() - 1), len(1, 20);
  for (int n = 0; n < 300; ++n) {
    SCOPED_TRACE(n);
    ExpectItf(RandomDigits(rng, 13));
    ExpectUpcaAndEan(RandomDigits(rng, 11));
    std::string text;
    for (std::size_t k = len(rng); k > 0; --k) text += set[pick(rng)];
    // Leading and trailing spaces are not data a scanner reports reliably.
    text.front() = 'X';
    text.back() = 'Y';
    ExpectReads(EncodeCode39(text), Format::Code39, text);
  }
}
