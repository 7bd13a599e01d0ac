// The EAN/UPC digit tables (ISO/IEC 15420 number sets A, B and C) and guards.
#include <array>

#include "barcode/barcode.h"
#include "barcode/detail.h"

namespace barcode {
namespace {

using Table = std::array<std::string_view, 10>;

// Set A: left half, odd parity.
constexpr Table kSetA = {"0001101", "0011001", "0010011", "0111101", "0100011",
                         "0110001", "0101111", "0111011", "0110111", "0001011"};
// Set B: left half, even parity (set C read backwards).
constexpr Table kSetB = {"0100111", "0110011", "0011011", "0100001", "0011101",
                         "0111001", "0000101", "0010001", "0001001", "0010111"};
// Set C: right half (set A inverted).
constexpr Table kSetC = {"1110010", "1100110", "1101100", "1000010", "1011100",
                         "1001110", "1010000", "1000100", "1001000", "1110100"};

constexpr bool InRange(int digit) { return digit >= 0 && digit <= 9; }

BarPattern Lookup(const Table& table, int digit) {
  return InRange(digit) ? BarPattern(table[static_cast<std::size_t>(digit)])
                        : BarPattern();
}

}  // namespace

namespace detail {

std::string_view SetA(int digit) { return kSetA[static_cast<std::size_t>(digit)]; }
std::string_view SetB(int digit) { return kSetB[static_cast<std::size_t>(digit)]; }
std::string_view SetC(int digit) { return kSetC[static_cast<std::size_t>(digit)]; }

bool AllDigits(std::string_view text) {
  for (char c : text)
    if (!IsDigit(c)) return false;
  return true;
}

std::string AssembleEanUpc(std::string_view left, unsigned evenMask,
                           std::string_view right) {
  std::string out;
  out.reserve(95);
  out += kGuard;
  for (std::size_t k = 0; k < 6; ++k) {
    const int digit = left[k] - '0';
    out += (evenMask >> k & 1U) ? SetB(digit) : SetA(digit);
  }
  out += kCentre;
  for (std::size_t k = 0; k < 6; ++k) out += SetC(right[k] - '0');
  out += kGuard;
  return out;
}

}  // namespace detail

BarPattern LeftOddDigit(int digit) { return Lookup(kSetA, digit); }
BarPattern LeftEvenDigit(int digit) { return Lookup(kSetB, digit); }
BarPattern RightDigit(int digit) { return Lookup(kSetC, digit); }
BarPattern GuardBars() { return BarPattern(detail::kGuard); }
BarPattern CenterGuard() { return BarPattern(detail::kCentre); }

}  // namespace barcode
