// Internal helpers shared by the encoder sources; not part of the public API.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace barcode::detail {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text);

// The value of a digit character; any other character gives a value above 9.
constexpr unsigned DigitValue(char c) {
  return static_cast<unsigned>(static_cast<unsigned char>(c)) - unsigned{'0'};
}

// The mod-10 check digit value (0..9) with weights 3, 1, 3, ... from the
// rightmost character, or -1 when any character is not a digit. Empty data
// gives 0. Exact for data of any length.
int Mod10Check(std::string_view data);

// The EAN/UPC digit patterns, 7 modules each, in one block of 30 rows:
// number set A (left, odd parity), then B (left, even parity), then C
// (right), each for the digits 0 to 9. The pattern of digit d in the set
// whose first row is s starts at 7 * (s + d).
inline constexpr std::size_t kDigitModules = 7;
inline constexpr std::size_t kSetA = 0, kSetB = 10, kSetC = 20;  // first rows
extern const char kDigitPatterns[30 * kDigitModules + 1];

inline constexpr std::string_view kGuard = "101";
inline constexpr std::string_view kCentre = "01010";

// Guard, six left digits (set A, or set B where bit k of evenMask is set for
// the k-th digit), centre guard, six right digits (set C), guard: 95 modules.
// Both arguments point at six digit characters.
std::string AssembleEanUpc(const char* left, unsigned evenMask, const char* right);

// Copies a constant piece of a pattern to `out` and returns the end of it.
inline char* Put(char* out, std::string_view piece) {
  std::memcpy(out, piece.data(), piece.size());
  return out + piece.size();
}

}  // namespace barcode::detail
