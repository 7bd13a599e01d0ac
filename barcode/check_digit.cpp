#include "barcode/barcode.h"
#include "barcode/detail.h"

namespace barcode {

namespace detail {

int Mod10Check(std::string_view data) {
  // Two digits a step from the right end: weight 3 on the right one, 1 on
  // the left one. A step adds at most 36, so the sum can't wrap for any text
  // that fits in memory. Non-digits are noted and the result dropped at the
  // end; the sum is then meaningless but harmless (unsigned).
  std::size_t sum = 0;
  bool bad = false;
  std::size_t i = data.size();
  for (; i >= 2; i -= 2) {
    const std::size_t three = DigitValue(data[i - 1]), one = DigitValue(data[i - 2]);
    bad |= (three > 9) | (one > 9);
    sum += 3 * three + one;
  }
  if (i == 1) {
    const std::size_t three = DigitValue(data[0]);
    bad |= three > 9;
    sum += 3 * three;
  }
  if (bad) return -1;
  return static_cast<int>((10 - sum % 10) % 10);
}

}  // namespace detail

std::string CheckDigit(std::string_view data) {
  const int check = detail::Mod10Check(data);
  if (check < 0) return {};
  return std::string(1, static_cast<char>('0' + check));
}

}  // namespace barcode
