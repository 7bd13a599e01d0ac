#include "decode.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace fuzzcheck {
namespace {

// The EAN/UPC left odd-parity widths (bar/space run lengths, space first).
constexpr std::array<std::string_view, 10> kLeftOdd = {"3211", "2221", "2122", "1411", "1132",
                                                        "1231", "1114", "1312", "1213", "3112"};
// Leading digit from the parity of digits 2..7 (O odd, E even).
constexpr std::array<std::string_view, 10> kParity = {"OOOOOO", "OOEOEE", "OOEEOE", "OOEEEO",
                                                       "OEOOEE", "OEEOOE", "OEEEOO", "OEOEOE",
                                                       "OEOEEO", "OEEOEO"};

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

// One 7-module digit: its value and whether it has odd parity.
std::optional<std::pair<int, bool>> Digit7(std::string_view p, bool right) {
  std::string m(p);
  if (right)
    for (char& c : m) c = c == '1' ? '0' : '1';  // set C is set A inverted
  const std::string w = RunWidths(m);
  if (w.size() != 4 || m.front() != '0') return std::nullopt;
  for (int d = 0; d < 10; ++d) {
    if (w == kLeftOdd[static_cast<std::size_t>(d)]) return std::pair{d, true};
    const std::string reversed(kLeftOdd[static_cast<std::size_t>(d)].rbegin(),
                               kLeftOdd[static_cast<std::size_t>(d)].rend());
    if (!right && w == reversed) return std::pair{d, false};  // set B: set C backwards
  }
  return std::nullopt;
}

}  // namespace

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

std::optional<std::string> DecodeEan13(std::string_view bars) {
  if (bars.size() != 95 || bars.substr(0, 3) != "101" || bars.substr(45, 5) != "01010" ||
      bars.substr(92) != "101")
    return std::nullopt;
  std::string digits, parity;
  for (std::size_t k = 0; k < 12; ++k) {
    const bool right = k >= 6;
    const auto d = Digit7(bars.substr(right ? 50 + 7 * (k - 6) : 3 + 7 * k, 7), right);
    if (!d) return std::nullopt;
    digits += static_cast<char>('0' + d->first);
    if (!right) parity += d->second ? 'O' : 'E';
  }
  for (int lead = 0; lead < 10; ++lead)
    if (parity == kParity[static_cast<std::size_t>(lead)])
      return static_cast<char>('0' + lead) + digits;
  return std::nullopt;
}

std::optional<std::string> DecodeI2of5(std::string_view bars) {
  // Widths per digit, N narrow and W wide, from the symbology's table.
  constexpr std::array<std::string_view, 10> kDigits = {"NNWWN", "WNNNW", "NWNNW", "WWNNN",
                                                        "NNWNW", "WNWNN", "NWWNN", "NNNWW",
                                                        "WNNWN", "NWNWN"};
  if (bars.size() < 9 || bars.substr(0, 4) != "1010" || bars.substr(bars.size() - 5) != "11101")
    return std::nullopt;
  const std::string w = RunWidths(bars.substr(4, bars.size() - 9));
  if (w.size() % 10 != 0) return std::nullopt;
  std::string out;
  for (std::size_t pair = 0; pair < w.size(); pair += 10) {
    for (std::size_t half = 0; half < 2; ++half) {
      std::string nw;
      for (std::size_t k = half; k < 10; k += 2) nw += w[pair + k] == '3' ? 'W' : 'N';
      int found = -1;
      for (int d = 0; d < 10; ++d)
        if (nw == kDigits[static_cast<std::size_t>(d)]) found = d;
      if (found < 0) return std::nullopt;
      out += static_cast<char>('0' + found);
    }
  }
  return out;
}

std::optional<std::string> DecodeCode39(std::string_view bars) {
  // Character -> widths (bar, space, ...), N narrow, W wide.
  constexpr std::string_view kChars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
  constexpr std::array<std::string_view, 44> kWidths = {
      "NNNWWNWNN", "WNNWNNNNW", "NNWWNNNNW", "WNWWNNNNN", "NNNWWNNNW", "WNNWWNNNN", "NNWWWNNNN",
      "NNNWNNWNW", "WNNWNNWNN", "NNWWNNWNN", "WNNNNWNNW", "NNWNNWNNW", "WNWNNWNNN", "NNNNWWNNW",
      "WNNNWWNNN", "NNWNWWNNN", "NNNNNWWNW", "WNNNNWWNN", "NNWNNWWNN", "NNNNWWWNN", "WNNNNNNWW",
      "NNWNNNNWW", "WNWNNNNWN", "NNNNWNNWW", "WNNNWNNWN", "NNWNWNNWN", "NNNNNNWWW", "WNNNNNWWN",
      "NNWNNNWWN", "NNNNWNWWN", "WWNNNNNNW", "NWWNNNNNW", "WWWNNNNNN", "NWNNWNNNW", "WWNNWNNNN",
      "NWWNWNNNN", "NWNNNNWNW", "WWNNNNWNN", "NWWNNNWNN", "NWNWNWNNN", "NWNWNNNWN", "NWNNNWNWN",
      "NNNWNWNWN", "NWNNWNWNN"};
  if (bars.size() < 32 || bars.size() % 16 != 0) return std::nullopt;
  std::string text;
  for (std::size_t at = 0; at < bars.size(); at += 16) {
    if (bars[at + 15] != '0') return std::nullopt;  // the gap
    const std::string w = RunWidths(bars.substr(at, 15));
    if (w.size() != 9) return std::nullopt;
    std::string nw;
    for (char c : w) nw += c == '3' ? 'W' : 'N';
    std::size_t found = kWidths.size();
    for (std::size_t k = 0; k < kWidths.size(); ++k)
      if (nw == kWidths[k]) found = k;
    if (found == kWidths.size()) return std::nullopt;
    text += kChars[found];
  }
  if (text.front() != '*' || text.back() != '*') return std::nullopt;
  return text.substr(1, text.size() - 2);
}

}  // namespace fuzzcheck
