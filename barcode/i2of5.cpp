// Interleaved 2 of 5 with an optional mod-10 check digit (ITF-14 for 13 digits).
#include <array>

#include "barcode/barcode.h"
#include "barcode/detail.h"

namespace barcode {
namespace {

// Element widths per digit, "1" wide and "0" narrow; two wide of five each.
constexpr std::array<std::string_view, 10> kWidths = {
    "00110", "10001", "01001", "11000", "00101",
    "10100", "01100", "00011", "10010", "01010"};

constexpr std::string_view kStart = "1010";
constexpr std::string_view kStop = "11101";

// The 18 modules of every pair, bar digit first: row 10 * bar + space.
constexpr std::size_t kPairModules = 18;
using Pair = std::array<char, kPairModules>;

constexpr Pair MakePair(std::size_t barDigit, std::size_t spaceDigit) {
  Pair p{};
  std::size_t at = 0;
  for (std::size_t k = 0; k < 5; ++k) {
    for (int n = kWidths[barDigit][k] == '1' ? 3 : 1; n > 0; --n) p[at++] = '1';
    for (int n = kWidths[spaceDigit][k] == '1' ? 3 : 1; n > 0; --n) p[at++] = '0';
  }
  return p;
}

constexpr std::array<Pair, 100> kPairs = [] {
  std::array<Pair, 100> t{};
  for (std::size_t b = 0; b < 10; ++b)
    for (std::size_t s = 0; s < 10; ++s) t[10 * b + s] = MakePair(b, s);
  return t;
}();

char* PutPair(char* out, std::size_t barDigit, std::size_t spaceDigit) {
  std::memcpy(out, kPairs[10 * barDigit + spaceDigit].data(), kPairModules);
  return out + kPairModules;
}

}  // namespace

BarPattern I2of5Pair(int barDigit, int spaceDigit) {
  if (barDigit < 0 || barDigit > 9 || spaceDigit < 0 || spaceDigit > 9) return {};
  const Pair& p = kPairs[10 * static_cast<std::size_t>(barDigit) + static_cast<std::size_t>(spaceDigit)];
  return {p.data(), p.size()};
}

BarPattern EncodeI2of5(std::string& data, bool addCheck) {
  if (const std::string_view kept = TrimSpaces(std::string_view(data)); kept.size() != data.size())
    data = std::string(kept);
  const bool odd = data.size() % 2 == 1;
  if (odd != addCheck) return {};
  if (addCheck) {
    const int check = detail::Mod10Check(data);  // also the digit test
    if (check < 0) return {};
    data.push_back(static_cast<char>('0' + check));
  } else if (!detail::AllDigits(data)) {
    return {};
  }

  BarPattern out(kStart.size() + 9 * data.size() + kStop.size(), '\0');
  char* p = detail::Put(out.data(), kStart);
  for (std::size_t i = 0; i < data.size(); i += 2)
    p = PutPair(p, detail::DigitValue(data[i]), detail::DigitValue(data[i + 1]));
  detail::Put(p, kStop);
  return out;
}

}  // namespace barcode
