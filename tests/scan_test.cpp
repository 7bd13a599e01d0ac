// Every symbol must scan: an independent decoder reads what we encode.
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

void ExpectItf(std::string thirteen) {
  const BarPattern p = EncodeI2of5(thirteen, true);
  ASSERT_EQ(thirteen.size(), 14U);
  EXPECT_EQ(scan::ReadPattern(p, Format::ITF), thirteen);
}

void ExpectUpcaAndEan(const std::string& eleven) {
  const std::string upca = eleven + CheckDigit(eleven);
  EXPECT_EQ(scan::ReadPattern(EncodeUPCA(upca), Format::UPCA), upca);
  const std::string twelve = eleven + "0";
  const std::string ean = twelve + CheckDigit(twelve);
  EXPECT_EQ(scan::ReadPattern(EncodeEAN13(ean), Format::EAN13), ean);
}

}  // namespace

TEST(Scan, ItfFourteenTable) {
  for (const char* v : {"0000000000000", "1234567890123", "9999999999999", "0012345678905",
                        "5012345678900", "1000000000001"})
    ExpectItf(v);
}

TEST(Scan, UpcaAndEan13Table) {
  for (const char* v : {"00000000000", "12345678901", "99999999999", "03600029145",
                        "12300000000", "40000000000", "98765432109"})
    ExpectUpcaAndEan(v);
}

TEST(Scan, Ean13EveryLeadingDigit) {
  for (char lead = '0'; lead <= '9'; ++lead) {
    const std::string twelve = std::string(1, lead) + "23456789012";
    const std::string ean = twelve + CheckDigit(twelve);
    EXPECT_EQ(scan::ReadPattern(EncodeEAN13(ean), Format::EAN13), ean);
  }
}

TEST(Scan, Code39Table) {
  for (const char* v : {"A", "0123456789", "ABCDEFGHIJKLM", "NOPQRSTUVWXYZ", "-. $/+%",
                        "CODE39", "12 34", "AB-1", "$1.50/KG+10%"})
    EXPECT_EQ(scan::ReadPattern(EncodeCode39(v), Format::Code39), v) << v;
  // Stars are dropped: the symbol reads as the text without them.
  EXPECT_EQ(scan::ReadPattern(EncodeCode39("A*B"), Format::Code39), "AB");
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
    EXPECT_EQ(scan::ReadPattern(EncodeCode39(text), Format::Code39), text);
  }
}
