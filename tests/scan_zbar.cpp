// zbar's C interface: its C++ headers clash with zxing-cpp's.
#include <zbar.h>

#include "scan.h"

namespace scan {

using namespace zbar;  // its C interface, in a namespace under C++

std::vector<Decoded> ReadZbar(const Image& image) {
  zbar_image_scanner_t* scanner = zbar_image_scanner_create();
  zbar_image_scanner_set_config(scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  for (const zbar_symbol_type_t type : {ZBAR_EAN13, ZBAR_UPCA, ZBAR_I25, ZBAR_CODE39})
    zbar_image_scanner_set_config(scanner, type, ZBAR_CFG_ENABLE, 1);
  zbar_image_t* frame = zbar_image_create();
  zbar_image_set_format(frame, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(frame, static_cast<unsigned>(image.width),
                      static_cast<unsigned>(image.height));
  zbar_image_set_data(frame, image.pixels.data(), image.pixels.size(), nullptr);
  std::vector<Decoded> out;
  if (zbar_scan_image(scanner, frame) > 0) {
    for (const zbar_symbol_t* s = zbar_image_first_symbol(frame); s; s = zbar_symbol_next(s)) {
      const zbar_symbol_type_t type = zbar_symbol_get_type(s);
      const char* format = type == ZBAR_EAN13  ? "EAN-13"
                           : type == ZBAR_UPCA ? "UPC-A"
                           : type == ZBAR_I25  ? "ITF"
                                               : "Code39";
      out.push_back({format, zbar_symbol_get_data(s)});
    }
  }
  zbar_image_destroy(frame);  // its data stays the caller's: no cleanup handler
  zbar_image_scanner_destroy(scanner);
  return out;
}

}  // namespace scan
