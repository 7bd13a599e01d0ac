// ReadPattern where zxing-cpp is not built (the Windows tests under wine):
// the pattern read back by the fuzz targets' scanners, which decode each
// symbology from its element widths and not from the encoders' tables.
#include "decode.h"
#include "scan.h"

namespace scan {

std::string ReadPattern(const barcode::BarPattern& bars, Format format) {
  std::optional<std::string> text;
  switch (format) {
    case Format::ITF: text = fuzzcheck::DecodeI2of5(bars); break;
    case Format::Code39: text = fuzzcheck::DecodeCode39(bars); break;
    case Format::EAN13: text = fuzzcheck::DecodeEan13(bars); break;
    case Format::UPCA:
      // A UPC-A symbol is an EAN-13 one with a leading 0.
      text = fuzzcheck::DecodeEan13(bars);
      if (text && text->starts_with('0')) text = text->substr(1);
      else text.reset();
      break;
    case Format::Any: break;
  }
  return text ? *text : "<none>";
}

}  // namespace scan
