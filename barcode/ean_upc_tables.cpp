// The EAN/UPC digit tables (ISO/IEC 15420 number sets A, B and C) and guards.
#include "barcode/barcode.h"
#include "barcode/detail.h"

namespace barcode {
namespace detail {

const char kDigitPatterns[3 * kSetRows * kRowSize + 1] =
    // Set A: left half, odd parity.
    "0001101 " "0011001 " "0010011 " "0111101 " "0100011 "
    "0110001 " "0101111 " "0111011 " "0110111 " "0001011 "
    "------- " "------- " "------- " "------- " "------- " "------- "  // filler
    // Set B: left half, even parity (set C read backwards).
    "0100111 " "0110011 " "0011011 " "0100001 " "0011101 "
    "0111001 " "0000101 " "0010001 " "0001001 " "0010111 "
    "------- " "------- " "------- " "------- " "------- " "------- "  // filler
    // Set C: right half (set A inverted).
    "1110010 " "1100110 " "1101100 " "1000010 " "1011100 "
    "1001110 " "1010000 " "1000100 " "1001000 " "1110100 "
    "------- " "------- " "------- " "------- " "------- " "------- ";  // filler

namespace {

// Copies the pattern of the character c from the set that starts at row
// `set`, and returns the end of it; whether c is a digit is the caller's test.
char* PutDigit(char* out, std::size_t set, char c) {
  std::memcpy(out, DigitPattern(set, DigitRow(c)), kDigitModules);
  return out + kDigitModules;
}

}  // namespace

std::string AssembleEanUpc(std::string_view left, unsigned evenMask, std::string_view right) {
  // The guards in place and room for the digits, copied in one go; then the
  // twelve digits written over it.
  static constexpr char kFrame[] =
      "101" "0000000" "0000000" "0000000" "0000000" "0000000" "0000000"
      "01010" "0000000" "0000000" "0000000" "0000000" "0000000" "0000000" "101";
  std::string out(kFrame, sizeof kFrame - 1);
  char* p = out.data() + kGuard.size();
  bool bad = false;
  for (std::size_t k = 0; k < 6; ++k) {
    bad |= !IsDigit(left[k]);
    p = PutDigit(p, (evenMask >> k & 1U) * kSetB, left[k]);
  }
  p += kCentre.size();
  for (std::size_t k = 0; k < 6; ++k) {
    bad |= !IsDigit(right[k]);
    p = PutDigit(p, kSetC, right[k]);
  }
  if (bad) return {};
  return out;
}

}  // namespace detail

namespace {

BarPattern Lookup(std::size_t set, int digit) {
  if (digit < 0 || digit > 9) return {};
  return {detail::DigitPattern(set, static_cast<std::size_t>(digit)), detail::kDigitModules};
}

}  // namespace

BarPattern LeftOddDigit(int digit) { return Lookup(detail::kSetA, digit); }
BarPattern LeftEvenDigit(int digit) { return Lookup(detail::kSetB, digit); }
BarPattern RightDigit(int digit) { return Lookup(detail::kSetC, digit); }
BarPattern GuardBars() { return BarPattern(detail::kGuard); }
BarPattern CenterGuard() { return BarPattern(detail::kCentre); }

}  // namespace barcode
