// Characters with their General_Category as the Unicode Character Database
// gives it (UnicodeData.txt; Unicode 15.1 added no format character to
// 15.0's): the first and the last of each run of format characters (Cf) and
// the characters on either side of it, and characters of scripts, emoji,
// spaces and controls that a text holds. Checked against the 15.0
// /usr/share/unicode/UnicodeData.txt (package unicode-data) and Python's
// unicodedata (which, at Unicode 14.0, has U+1342F, U+1343F and U+13440
// unassigned). The tests of outside texts and the fuzz target of printers'
// answers both judge shown texts by it.
#pragma once

#include <algorithm>
#include <iterator>
#include <string>

namespace ucd {

struct Character {
  char32_t code;
  const char* category;
};

// Ascending.
inline constexpr Character kCharacters[] = {
    {0x0009, "Cc"},  {0x007F, "Cc"},  {0x009F, "Cc"},  {0x00A0, "Zs"},  {0x00AC, "Sm"},
    {0x00AD, "Cf"},  {0x00AE, "So"},  {0x034F, "Mn"},  {0x05FF, "Cn"},  {0x0600, "Cf"},
    {0x0605, "Cf"},  {0x0606, "Sm"},  {0x061B, "Po"},  {0x061C, "Cf"},  {0x061D, "Po"},
    {0x0628, "Lo"},  {0x06DC, "Mn"},  {0x06DD, "Cf"},  {0x06DE, "So"},  {0x070E, "Cn"},
    {0x070F, "Cf"},  {0x0710, "Lo"},  {0x088F, "Cn"},  {0x0890, "Cf"},  {0x0891, "Cf"},
    {0x0892, "Cn"},  {0x08E1, "Mn"},  {0x08E2, "Cf"},  {0x08E3, "Mn"},  {0x180D, "Mn"},
    {0x180E, "Cf"},  {0x180F, "Mn"},  {0x200A, "Zs"},  {0x200B, "Cf"},  {0x200C, "Cf"},
    {0x200D, "Cf"},  {0x200E, "Cf"},  {0x200F, "Cf"},  {0x2010, "Pd"},  {0x2028, "Zl"},
    {0x2029, "Zp"},  {0x202A, "Cf"},  {0x202E, "Cf"},  {0x202F, "Zs"},  {0x205F, "Zs"},
    {0x2060, "Cf"},  {0x2061, "Cf"},  {0x2064, "Cf"},  {0x2065, "Cn"},  {0x2066, "Cf"},
    {0x2069, "Cf"},  {0x206F, "Cf"},  {0x2070, "No"},  {0x3000, "Zs"},  {0x4E2D, "Lo"},
    {0xFE0F, "Mn"},  {0xFEFE, "Cn"},  {0xFEFF, "Cf"},  {0xFF00, "Cn"},  {0xFFF8, "Cn"},
    {0xFFF9, "Cf"},  {0xFFFB, "Cf"},  {0xFFFC, "So"},  {0x110BC, "Po"}, {0x110BD, "Cf"},
    {0x110BE, "Po"}, {0x110CC, "Cn"}, {0x110CD, "Cf"}, {0x110CE, "Cn"}, {0x1342F, "Lo"},
    {0x13430, "Cf"}, {0x1343F, "Cf"}, {0x13440, "Mn"}, {0x1BC9F, "Po"}, {0x1BCA0, "Cf"},
    {0x1BCA3, "Cf"}, {0x1BCA4, "Cn"}, {0x1D172, "Mc"}, {0x1D173, "Cf"}, {0x1D17A, "Cf"},
    {0x1D17B, "Mn"}, {0x1F600, "So"}, {0xE0000, "Cn"}, {0xE0001, "Cf"}, {0xE0002, "Cn"},
    {0xE001F, "Cn"}, {0xE0020, "Cf"}, {0xE007F, "Cf"}, {0xE0080, "Cn"},
};

// The category of `c` when it is in the table, else null.
inline const char* CategoryOf(char32_t c) {
  const Character* k = std::lower_bound(std::begin(kCharacters), std::end(kCharacters), c,
                                        [](const Character& a, char32_t b) { return a.code < b; });
  return k != std::end(kCharacters) && k->code == c ? k->category : nullptr;
}

// `c` in UTF-16.
inline std::u16string Utf16(char32_t c) {
  if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
  return {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
          static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
}

}  // namespace ucd
