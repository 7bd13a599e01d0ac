// The fuzz targets' scanners: each symbology described as its standard
// builds it, and a pattern decoded by measuring its element widths.
#include "decode.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace fuzzcheck {
namespace {

// Widths of the alternating runs, as digits ("1101" -> "211").
std::string RunWidths(std::string_view p) {
  std::string out;
  for (std::size_t i = 0; i < p.size();) {
    std::size_t j = i;
    while (j < p.size() && p[j] == p[i]) ++j;
    out += static_cast<char>('0' + (j - i));
    i = j;
  }
  return out;
}

// Five elements of "2 of 5", widths 1 (narrow) or 3 (wide): the wide two
// weigh 1, 2, 4, 7 and 0 by their place, and 4 + 7 stands for 0; else -1.
int TwoOfFive(std::string_view widths) {
  constexpr std::array<int, 5> kWeights = {1, 2, 4, 7, 0};
  if (widths.find_first_not_of("13") != widths.npos) return -1;
  if (std::count(widths.begin(), widths.end(), '3') != 2) return -1;
  int sum = 0;
  for (std::size_t k = 0; k < 5; ++k) sum += widths[k] == '3' ? kWeights[k] : 0;
  return sum % 11;
}

// One Code 39 character from its nine widths, bar first, or 0. Three of the
// nine are wide. Two wide bars give a value by "2 of 5" (1 to 9, then 0) and
// the one wide space the row it is read in; with five narrow bars, the one
// narrow space among three wide ones names one of "%+/$".
char Code39Char(std::string_view widths) {
  if (widths.size() != 9 || widths.find_first_not_of("13") != widths.npos) return 0;
  std::string bars, spaces;
  for (std::size_t k = 0; k < 9; ++k) (k % 2 ? spaces : bars) += widths[k];
  const auto wideSpaces = std::count(spaces.begin(), spaces.end(), '3');
  if (wideSpaces == 3 && bars == "11111") {
    constexpr std::string_view kSigns = "%+/$";
    const std::size_t narrow = spaces.find('1');
    return narrow < kSigns.size() ? kSigns[narrow] : 0;
  }
  const int value = TwoOfFive(bars);
  if (wideSpaces != 1 || value < 0) return 0;
  constexpr std::array<std::string_view, 4> kRows = {"UVWXYZ-. *", "1234567890", "ABCDEFGHIJ",
                                                     "KLMNOPQRST"};
  const std::size_t row = spaces.find('3');
  return row < kRows.size() ? kRows[row][static_cast<std::size_t>((value + 9) % 10)] : 0;
}

// Number set A (left, odd parity) as space, bar, space, bar widths. Set C is
// set A with every module inverted, and set B is set C read backwards.
constexpr std::array<std::string_view, 10> kSetA = {"3211", "2221", "2122", "1411", "1132",
                                                    "1231", "1114", "1312", "1213", "3112"};

// One 7-module digit and the set it is in: 'A' or 'B' by the parity of its
// dark modules on the left, 'C' on the right.
std::optional<std::pair<int, char>> Digit7(std::string_view p, bool right) {
  const auto dark = std::count(p.begin(), p.end(), '1');
  const char set = right ? 'C' : dark % 2 ? 'A' : 'B';
  std::string a(p);
  if (set == 'B') std::reverse(a.begin(), a.end());
  if (set != 'A')
    for (char& c : a) c = c == '1' ? '0' : '1';
  if (a.front() != '0') return std::nullopt;
  const auto d = std::find(kSetA.begin(), kSetA.end(), RunWidths(a));
  if (d == kSetA.end()) return std::nullopt;
  return std::pair{static_cast<int>(d - kSetA.begin()), set};
}

}  // namespace

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

bool WeighsTen(std::string_view digits) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const char c = digits[digits.size() - 1 - i];
    if (c < '0' || c > '9') return false;
    sum = (sum + static_cast<unsigned>(c - '0') * (i % 2 ? 3U : 1U)) % 10;
  }
  return sum == 0;
}

std::optional<std::string> DecodeEan13(std::string_view bars) {
  // The number sets of digits 2 to 7 that carry each leading digit, in its
  // place: 0 is AAAAAA, 1 AABABB, and so on.
  constexpr std::string_view kLeading =
      "AAAAAA AABABB AABBAB AABBBA ABAABB ABBAAB ABBBAA ABABAB ABABBA ABBABA";
  if (bars.size() != 95 || bars.substr(0, 3) != "101" || bars.substr(45, 5) != "01010" ||
      bars.substr(92) != "101")
    return std::nullopt;
  std::string digits, sets;
  for (std::size_t k = 0; k < 12; ++k) {
    const bool right = k >= 6;
    const auto d = Digit7(bars.substr(right ? 50 + 7 * (k - 6) : 3 + 7 * k, 7), right);
    if (!d) return std::nullopt;
    digits += static_cast<char>('0' + d->first);
    if (!right) sets += d->second;
  }
  const std::size_t at = kLeading.find(sets);
  if (at == std::string_view::npos) return std::nullopt;
  return static_cast<char>('0' + at / 7) + digits;
}

std::optional<std::string> DecodeI2of5(std::string_view bars) {
  if (bars.size() < 9 || bars.substr(0, 4) != "1010" || bars.substr(bars.size() - 5) != "11101")
    return std::nullopt;
  const std::string w = RunWidths(bars.substr(4, bars.size() - 9));
  if (w.size() % 10 != 0) return std::nullopt;
  std::string out;
  for (std::size_t pair = 0; pair < w.size(); pair += 10) {
    for (std::size_t half = 0; half < 2; ++half) {  // the bars, then the spaces
      std::string five;
      for (std::size_t k = half; k < 10; k += 2) five += w[pair + k];
      const int digit = TwoOfFive(five);
      if (digit < 0) return std::nullopt;
      out += static_cast<char>('0' + digit);
    }
  }
  return out;
}

std::optional<std::string> DecodeCode39(std::string_view bars) {
  if (bars.size() < 32 || bars.size() % 16 != 0) return std::nullopt;
  std::string text;
  for (std::size_t at = 0; at < bars.size(); at += 16) {
    // A bar first; the one-module gap after the character.
    if (bars[at] != '1' || bars[at + 15] != '0') return std::nullopt;
    const char c = Code39Char(RunWidths(bars.substr(at, 15)));
    if (c == 0) return std::nullopt;
    text += c;
  }
  if (text.front() != '*' || text.back() != '*') return std::nullopt;
  return text.substr(1, text.size() - 2);
}

}  // namespace fuzzcheck
