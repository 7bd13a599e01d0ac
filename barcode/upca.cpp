// UPC-A: twelve digits in 95 modules.
#include "barcode/barcode.h"
#include "barcode/detail.h"

namespace barcode {

BarPattern EncodeUPCA(std::string_view data) {
  if (data.size() != 12) return {};  // the digits are tested as they are written
  // Every left digit in set A: the EAN-13 symbol of a leading "0".
  return detail::AssembleEanUpc(data.substr(0, 6), 0U, data.substr(6, 6));
}

}  // namespace barcode
