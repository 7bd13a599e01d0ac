// The EAN/UPC digit tables (ISO/IEC 15420 number sets A, B and C) and guards.
#include "barcode/barcode.h"
#include "barcode/detail.h"

namespace barcode {
namespace detail {

const char kDigitPatterns[30 * kDigitModules + 1] =
    // Set A: left half, odd parity.
    "0001101" "0011001" "0010011" "0111101" "0100011"
    "0110001" "0101111" "0111011" "0110111" "0001011"
    // Set B: left half, even parity (set C read backwards).
    "0100111" "0110011" "0011011" "0100001" "0011101"
    "0111001" "0000101" "0010001" "0001001" "0010111"
    // Set C: right half (set A inverted).
    "1110010" "1100110" "1101100" "1000010" "1011100"
    "1001110" "1010000" "1000100" "1001000" "1110100";

bool AllDigits(std::string_view text) {
  for (char c : text)
    if (!IsDigit(c)) return false;
  return true;
}

namespace {

// Copies the pattern of the digit character c from the set that starts at
// row `set`, and returns the end of it.
char* PutDigit(char* out, std::size_t set, char c) {
  std::memcpy(out, kDigitPatterns + kDigitModules * (set + DigitValue(c)), kDigitModules);
  return out + kDigitModules;
}

}  // namespace

std::string AssembleEanUpc(const char* left, unsigned evenMask, const char* right) {
  // The guards in place and room for the digits, copied in one go; then the
  // twelve digits written over it.
  static constexpr char kFrame[] =
      "101" "0000000" "0000000" "0000000" "0000000" "0000000" "0000000"
      "01010" "0000000" "0000000" "0000000" "0000000" "0000000" "0000000" "101";
  std::string out(kFrame, sizeof kFrame - 1);
  char* p = out.data() + kGuard.size();
  for (std::size_t k = 0; k < 6; ++k) p = PutDigit(p, (evenMask >> k & 1U) ? kSetB : kSetA, left[k]);
  p += kCentre.size();
  for (std::size_t k = 0; k < 6; ++k) p = PutDigit(p, kSetC, right[k]);
  return out;
}

}  // namespace detail

namespace {

BarPattern Lookup(std::size_t set, int digit) {
  if (digit < 0 || digit > 9) return {};
  return {detail::kDigitPatterns + detail::kDigitModules * (set + static_cast<std::size_t>(digit)),
          detail::kDigitModules};
}

}  // namespace

BarPattern LeftOddDigit(int digit) { return Lookup(detail::kSetA, digit); }
BarPattern LeftEvenDigit(int digit) { return Lookup(detail::kSetB, digit); }
BarPattern RightDigit(int digit) { return Lookup(detail::kSetC, digit); }
BarPattern GuardBars() { return BarPattern(detail::kGuard); }
BarPattern CenterGuard() { return BarPattern(detail::kCentre); }

}  // namespace barcode
