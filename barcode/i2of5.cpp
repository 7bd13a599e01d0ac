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

void AppendPair(std::string& out, int barDigit, int spaceDigit) {
  const std::string_view bars = kWidths[static_cast<std::size_t>(barDigit)];
  const std::string_view spaces = kWidths[static_cast<std::size_t>(spaceDigit)];
  for (std::size_t k = 0; k < 5; ++k) {
    out.append(bars[k] == '1' ? 3 : 1, '1');
    out.append(spaces[k] == '1' ? 3 : 1, '0');
  }
}

void TrimSpaces(std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  text.erase(text.find_last_not_of(' ') + 1);
  text.erase(0, first);
}

}  // namespace

BarPattern I2of5Pair(int barDigit, int spaceDigit) {
  if (barDigit < 0 || barDigit > 9 || spaceDigit < 0 || spaceDigit > 9) return {};
  BarPattern out;
  out.reserve(18);
  AppendPair(out, barDigit, spaceDigit);
  return out;
}

BarPattern EncodeI2of5(std::string& data, bool addCheck) {
  TrimSpaces(data);
  if (!detail::AllDigits(data)) return {};
  const bool odd = data.size() % 2 == 1;
  if (odd != addCheck) return {};

  if (addCheck) {
    // Weight 3 on the rightmost digit; the sum is kept modulo 10.
    unsigned sum = 0;
    bool weightThree = true;
    for (auto it = data.rbegin(); it != data.rend(); ++it) {
      const unsigned value = static_cast<unsigned>(*it - '0');
      sum = (sum + (weightThree ? 3 * value : value)) % 10;
      weightThree = !weightThree;
    }
    data.push_back(static_cast<char>('0' + (10 - sum) % 10));
  }

  BarPattern out;
  out.reserve(kStart.size() + 9 * data.size() + kStop.size());
  out += kStart;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2)
    AppendPair(out, data[i] - '0', data[i + 1] - '0');
  out += kStop;
  return out;
}

}  // namespace barcode
