// EAN-13: the leading digit carried by the parity of the left half.
#include <array>

#include "barcode/barcode.h"
#include "barcode/detail.h"

namespace barcode {
namespace {

// The leading-digit parity rows for data digits 2 to 7: bit k set means the
// k-th left digit takes set B (even parity). Row 0 is OOOOOO, 1 is OOEOEE,
// ..., 9 is OEEOEO.
constexpr unsigned Row(std::string_view row) {
  unsigned mask = 0;
  for (std::size_t k = 0; k < row.size(); ++k)
    if (row[k] == 'E') mask |= 1U << k;
  return mask;
}

constexpr std::array<unsigned, 10> kParityRows = {
    Row("OOOOOO"), Row("OOEOEE"), Row("OOEEOE"), Row("OOEEEO"), Row("OEOOEE"),
    Row("OEEOOE"), Row("OEEEOO"), Row("OEOEOE"), Row("OEOEEO"), Row("OEEOEO")};

}  // namespace

BarPattern EncodeEAN13(std::string_view data) {
  // The other twelve digits are tested as they are written.
  if (data.size() != 13 || !detail::IsDigit(data[0])) return {};
  const unsigned row = kParityRows[static_cast<std::size_t>(data[0] - '0')];
  return detail::AssembleEanUpc(data.substr(1, 6), row, data.substr(7, 6));
}

}  // namespace barcode
