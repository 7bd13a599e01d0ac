// Internal helpers shared by the encoder sources; not part of the public API.
#pragma once

#include <string>
#include <string_view>

namespace barcode::detail {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text);

// The 7-module patterns of number sets A, B and C; digit must be 0..9.
std::string_view SetA(int digit);
std::string_view SetB(int digit);
std::string_view SetC(int digit);

inline constexpr std::string_view kGuard = "101";
inline constexpr std::string_view kCentre = "01010";

// Guard, six left digits (set A, or set B where bit k of evenMask is set for
// the k-th digit), centre guard, six right digits (set C), guard.
// Both texts must be six digits.
std::string AssembleEanUpc(std::string_view left, unsigned evenMask,
                           std::string_view right);

}  // namespace barcode::detail
