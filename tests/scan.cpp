// Symbols rendered and read back by zxing-cpp, independently of the encoders.
#include "scan.h"

#include <ZXing/ReadBarcode.h>

#include <fstream>

// zxing-cpp 2 calls the options of a read ReaderOptions (DecodeHints is a
// deprecated alias there); 1.4 has only DecodeHints.
#if __has_include(<ZXing/ReaderOptions.h>)
#include <ZXing/ReaderOptions.h>
using ReadOptions = ZXing::ReaderOptions;
#else
using ReadOptions = ZXing::DecodeHints;
#endif

namespace scan {

Image Render(const barcode::BarPattern& bars, int moduleWidth, int height) {
  constexpr int kQuiet = 20;
  Image img;
  img.width = (static_cast<int>(bars.size()) + 2 * kQuiet) * moduleWidth;
  img.height = height;
  img.pixels.assign(static_cast<std::size_t>(img.width) * static_cast<std::size_t>(height), 255);
  for (std::size_t m = 0; m < bars.size(); ++m) {
    if (bars[m] != '1') continue;
    for (int y = 0; y < height; ++y)
      for (int k = 0; k < moduleWidth; ++k) {
        const std::size_t x = (kQuiet + m) * static_cast<std::size_t>(moduleWidth) +
                              static_cast<std::size_t>(k);
        img.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width) + x] = 0;
      }
  }
  return img;
}

Image ReadPgm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  // Header fields, with the comments Ghostscript writes between them.
  const auto field = [&in](auto& value) {
    while (in >> std::ws && in.peek() == '#') in.ignore(1 << 16, '\n');
    in >> value;
  };
  field(magic);
  field(width);
  field(height);
  field(maxValue);
  in.get();  // the single white space before the pixels
  Image img;
  if (!in || magic != "P5" || maxValue != 255 || width <= 0 || height <= 0) return img;
  img.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  in.read(reinterpret_cast<char*>(img.pixels.data()), static_cast<std::streamsize>(img.pixels.size()));
  if (!in) return {};
  img.width = width;
  img.height = height;
  return img;
}

std::vector<Decoded> Read(const Image& image, Format format) {
  using ZXing::BarcodeFormat;
  ZXing::BarcodeFormats formats;
  switch (format) {
    case Format::ITF: formats = BarcodeFormat::ITF; break;
    case Format::Code39: formats = BarcodeFormat::Code39; break;
    case Format::UPCA: formats = BarcodeFormat::UPCA; break;
    case Format::EAN13: formats = BarcodeFormat::EAN13; break;
    case Format::Any:
      formats = BarcodeFormat::ITF | BarcodeFormat::Code39 | BarcodeFormat::UPCA |
                BarcodeFormat::EAN13;
      break;
  }
  ReadOptions hints;
  hints.setFormats(formats);
  // Plain Code 39, as printed: zxing-cpp 2 reads full ASCII by default,
  // which would turn "%W" into a backquote.
  hints.setTryCode39ExtendedMode(false);
  hints.setTryHarder(true);
  hints.setTryRotate(false);
  hints.setTryDownscale(false);  // zxing-cpp 1.4 asserts on downscaled full pages
  const ZXing::ImageView view(image.pixels.data(), image.width, image.height,
                              ZXing::ImageFormat::Lum);
  std::vector<Decoded> out;
  for (const auto& r : ZXing::ReadBarcodes(view, hints))
    if (r.isValid()) out.push_back({ZXing::ToString(r.format()), r.text()});
  return out;
}

std::string ReadPattern(const barcode::BarPattern& bars, Format format) {
  const auto found = Read(Render(bars), format);
  if (found.empty()) return "<none>";
  if (found.size() > 1) return "<several>";
  return found.front().text;
}

}  // namespace scan
