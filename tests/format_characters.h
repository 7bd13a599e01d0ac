// Characters with their General_Category as the Unicode Character Database
// gives it (UnicodeData.txt; Unicode 15.1 added no format character to
// 15.0's): every run of format characters (Cf) and the space separators
// (Zs); and, by name, the first and the last of each run of format
// characters and the characters on either side of it, and characters of
// scripts, emoji, spaces and controls that a text holds. Checked against the
// 15.0 /usr/share/unicode/UnicodeData.txt (package unicode-data) and Python's
// unicodedata (which, at Unicode 14.0, has U+1342F, U+1343F and U+13440
// unassigned, and its run of format characters from U+13430 end at
// U+13438). The tests of outside texts and the fuzz target of printers'
// answers both judge shown texts by it.
#pragma once

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

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

// Every format character (Cf): the first and the last of each run.
inline constexpr char32_t kFormat[][2] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},
    {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},
    {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},
    {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
    {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};
// Every space separator (Zs).
inline constexpr char32_t kSpaces[] = {0x0020, 0x00A0, 0x1680, 0x2000, 0x2001, 0x2002,
                                       0x2003, 0x2004, 0x2005, 0x2006, 0x2007, 0x2008,
                                       0x2009, 0x200A, 0x202F, 0x205F, 0x3000};

inline bool IsFormat(char32_t c) {
  return std::any_of(std::begin(kFormat), std::end(kFormat),
                     [c](const char32_t(&run)[2]) { return c >= run[0] && c <= run[1]; });
}
inline bool IsSpace(char32_t c) { return std::find(std::begin(kSpaces), std::end(kSpaces), c) != std::end(kSpaces); }

// Why `text` would not show as a person sees it in a sentence: a lone
// surrogate, a control character (C0, DEL, C1), a line or paragraph
// separator, or a format character that is not a joiner (U+200C, U+200D)
// between two characters that may need it (neither ASCII nor a space);
// null when it shows.
inline const char* NotShown(std::u16string_view text) {
  std::u32string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xDC00 && c <= 0xDFFF) return "a lone low surrogate";
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return "a lone high surrogate";
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    shown += c;
  }
  const auto mayJoin = [&shown](std::size_t i) {
    return shown[i] >= 0x80 && !IsFormat(shown[i]) && !IsSpace(shown[i]);
  };
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const char32_t c = shown[i];
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return "a control character";
    if (c == 0x2028 || c == 0x2029) return "a line or paragraph separator";
    if (IsFormat(c) && !((c == 0x200C || c == 0x200D) && i > 0 && i + 1 < shown.size() &&
                         mayJoin(i - 1) && mayJoin(i + 1)))
      return "a format character but a joiner between two that may need it";
  }
  return nullptr;
}

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
