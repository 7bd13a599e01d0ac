// Symbol encoders: pure functions from a data text to a bar pattern.
//
// A BarPattern is one character per module, left to right: "1" for a dark
// module, "0" for a light one. It carries no quiet zones and no
// human-readable characters; the empty pattern means "no symbol".
// Texts are bytes; only the ASCII characters "0" to "9" count as digits.
#pragma once

#include <string>
#include <string_view>

namespace barcode {

using BarPattern = std::string;

// Mod-10 check digit with weights 3, 1, 3, ... from the rightmost character.
// Returns a one-digit text, or the empty text when any character is not a
// digit. Empty data gives "0". Exact for data of any length.
std::string CheckDigit(std::string_view data);

// The EAN/UPC number sets A (left, odd parity), B (left, even parity) and
// C (right), 7 modules per digit. A value outside 0..9 gives the empty text.
BarPattern LeftOddDigit(int digit);
BarPattern LeftEvenDigit(int digit);
BarPattern RightDigit(int digit);

// The normal guard "101" and the centre guard "01010".
BarPattern GuardBars();
BarPattern CenterGuard();

// 12 digits -> 95-module UPC-A pattern. The last digit is encoded as given
// (no check digit is computed or verified). Anything else -> empty.
BarPattern EncodeUPCA(std::string_view data);

// 13 digits -> 95-module EAN-13 pattern, the leading digit carried by the
// parity of the left half. Anything else -> empty.
BarPattern EncodeEAN13(std::string_view data);

// `text` without its leading and trailing spaces (U+0020 only: tabs and
// other blanks stay), for texts of any character type.
template <class Char>
constexpr std::basic_string_view<Char> TrimSpaces(std::basic_string_view<Char> text) {
  const auto first = text.find_first_not_of(Char{' '});
  if (first == text.npos) return {};
  return text.substr(first, text.find_last_not_of(Char{' '}) + 1 - first);
}

// Interleaved 2 of 5. Trims leading and trailing spaces from `data` in place
// (always, also when it then refuses). With addCheck the data must hold an
// odd number of digits and gets its mod-10 check digit appended in place;
// without, it must hold an even number. Returns start "1010", one 18-module
// pair per two digits, stop "11101"; or empty when the data is refused.
BarPattern EncodeI2of5(std::string& data, bool addCheck);

// One interleaved pair: the bars of barDigit and the spaces of spaceDigit,
// 18 modules. A value outside 0..9 gives the empty text.
BarPattern I2of5Pair(int barDigit, int spaceDigit);

// The 43 characters Code 39 carries, in the order of its character set;
// "*" frames a symbol and is not among them.
inline constexpr std::string_view kCode39Set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

// Code 39 framed by "*" start and stop characters, one narrow gap after each
// character, no check character. Every "*" in the text is dropped; a
// character outside the Code 39 table takes the space's pattern. Never empty:
// 16 x (n + 2) modules for n characters other than "*".
BarPattern EncodeCode39(std::string_view text);

}  // namespace barcode
