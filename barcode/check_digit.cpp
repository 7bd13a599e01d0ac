// The mod-10 check digit of the EAN/UPC and ITF symbols.
#include "barcode/barcode.h"
#include "barcode/detail.h"

namespace barcode {

std::string CheckDigit(std::string_view data) {
  const int check = detail::Mod10Check(data);
  if (check < 0) return {};
  return std::string(1, static_cast<char>('0' + check));
}

}  // namespace barcode
