// Internal helpers shared by the encoder sources; not part of the public API.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace barcode::detail {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Inline, like the mod-10 check below: each is a short loop over a short
// text, and a call costs about as much as the loop.
inline bool AllDigits(std::string_view text) {
  for (char c : text)
    if (!IsDigit(c)) return false;
  return true;
}

// The value of a digit character; any other character gives a value above 9.
constexpr unsigned DigitValue(char c) {
  return static_cast<unsigned>(static_cast<unsigned char>(c)) - unsigned{'0'};
}

// The mod-10 check digit value (0..9) with weights 3, 1, 3, ... from the
// rightmost character, or -1 when any character is not a digit. Empty data
// gives 0. Exact for data of any length.
inline int Mod10Check(std::string_view data) {
  // Two digits a step from the right end: weight 3 on the right one, 1 on
  // the left one. A step adds at most 36, so the sum can't wrap for any text
  // that fits in memory. Non-digits are noted and the result dropped at the
  // end; the sum is then meaningless but harmless (unsigned). The digit test
  // and the sum are one pass: the largest value seen is above 9 exactly when
  // a character is not a digit.
  std::size_t sum = 0;
  std::size_t largest = 0;
  std::size_t i = data.size();
  for (; i >= 2; i -= 2) {
    const std::size_t three = DigitValue(data[i - 1]), one = DigitValue(data[i - 2]);
    largest = std::max({largest, three, one});
    sum += 3 * three + one;
  }
  if (i == 1) {
    const std::size_t three = DigitValue(data[0]);
    largest = std::max(largest, three);
    sum += 3 * three;
  }
  if (largest > 9) return -1;
  const std::size_t rest = sum % 10;
  return rest == 0 ? 0 : static_cast<int>(10 - rest);
}

// The EAN/UPC digit patterns, 7 modules each in rows of 8 characters (a row
// starts at 8 times its number, which is cheaper to reach than 7 times), in
// three sets of 16 rows: number set A (left, odd parity), then B (left, even
// parity), then C (right). Rows 0 to 9 of a set are the digits; rows 10 to 15
// are filler, so that DigitRow of any character stays inside the table.
inline constexpr std::size_t kDigitModules = 7;
inline constexpr std::size_t kRowSize = 8;
inline constexpr std::size_t kSetRows = 16;
inline constexpr std::size_t kSetA = 0, kSetB = kSetRows, kSetC = 2 * kSetRows;  // first rows
extern const char kDigitPatterns[3 * kSetRows * kRowSize + 1];

// The pattern in row r of the set whose first row is s.
inline const char* DigitPattern(std::size_t s, std::size_t r) {
  return kDigitPatterns + kRowSize * (s + r);
}

// The row of a character in a set: its digit value for a digit; for any
// other character a row inside the set (meaningless, never part of a result).
constexpr std::size_t DigitRow(char c) { return DigitValue(c) % kSetRows; }

inline constexpr std::string_view kGuard = "101";
inline constexpr std::string_view kCentre = "01010";

// Guard, six left digits (set A, or set B where bit k of evenMask is set for
// the k-th digit), centre guard, six right digits (set C), guard: 95 modules.
// Both halves are six characters; empty when any is not a digit (the digit
// test is made in the same pass that writes the digits).
std::string AssembleEanUpc(std::string_view left, unsigned evenMask, std::string_view right);

// Copies a constant piece of a pattern to `out` and returns the end of it.
inline char* Put(char* out, std::string_view piece) {
  std::memcpy(out, piece.data(), piece.size());
  return out + piece.size();
}

}  // namespace barcode::detail
