// Test helper: an independent scanner. Renders bar patterns (or takes a
// grey-scale image) and decodes them with zxing-cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "barcode/barcode.h"

namespace scan {

enum class Format { ITF, Code39, UPCA, EAN13, Any };

struct Decoded {
  std::string format;  // "ITF", "Code39", "UPC-A", "EAN-13"
  std::string text;
};

// An 8-bit grey image, row-major, 0 black and 255 white.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// The pattern drawn `moduleWidth` pixels a module with quiet zones of 20
// modules on either side.
Image Render(const barcode::BarPattern& bars, int moduleWidth = 3, int height = 60);

// A binary 8-bit PGM file (as pdftoppm -gray writes it); empty on error.
Image ReadPgm(const std::string& path);

// Every symbol zxing finds in the image, restricted to `format`.
std::vector<Decoded> Read(const Image& image, Format format);

// Every symbol zbar (a second, independent decoder) finds in the image, with
// zxing's format names; a UPC-A symbol reads as "UPC-A" with 12 digits.
std::vector<Decoded> ReadZbar(const Image& image);

// Whether digits that end in their check digit weigh a multiple of ten, with
// weight 1 on the check digit and 3, 1, 3, ... leftwards: the GTIN rule a
// scanner checks.
inline bool WeighsTen(std::string_view full) {
  int sum = 0;
  for (std::size_t i = 0; i < full.size(); ++i)
    sum += (full[full.size() - 1 - i] - '0') * (i % 2 == 0 ? 1 : 3);
  return sum % 10 == 0;
}

// The text of the one symbol of `format` found in a rendered pattern, or
// "<none>" / "<several>".
std::string ReadPattern(const barcode::BarPattern& bars, Format format);

}  // namespace scan
