#include "barcode/barcode.h"
#include "barcode/detail.h"

namespace barcode {

std::string CheckDigit(std::string_view data) {
  // The sum is kept modulo 10, so it stays exact for data of any length.
  unsigned sum = 0;
  bool weightThree = true;  // the rightmost digit carries weight 3
  for (auto it = data.rbegin(); it != data.rend(); ++it) {
    if (!detail::IsDigit(*it)) return {};
    const unsigned value = static_cast<unsigned>(*it - '0');
    sum = (sum + (weightThree ? 3 * value : value)) % 10;
    weightThree = !weightThree;
  }
  return std::string(1, static_cast<char>('0' + (10 - sum) % 10));
}

}  // namespace barcode
