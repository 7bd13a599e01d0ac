// A printer's output turned back into dots: ZPL graphics, PostScript, PDF.
#include "printed_page.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace scan {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// ZPL's repeat counts: G..Y are 1..19, g..z are 20..400 in steps of 20.
int RepeatCount(char c) {
  if (c >= 'G' && c <= 'Y') return c - 'G' + 1;
  if (c >= 'g' && c <= 'z') return (c - 'g' + 1) * 20;
  return 0;
}

}  // namespace

Image ReadZpl(const std::string& zpl) {
  const std::size_t at = zpl.find("~DG");
  if (at == std::string::npos) return {};
  // ~DGname,total bytes,bytes a row,data
  const std::size_t c1 = zpl.find(',', at);
  const std::size_t c2 = c1 == std::string::npos ? c1 : zpl.find(',', c1 + 1);
  const std::size_t c3 = c2 == std::string::npos ? c2 : zpl.find(',', c2 + 1);
  if (c3 == std::string::npos) return {};
  const long total = std::strtol(zpl.c_str() + c1 + 1, nullptr, 10);
  const long perRow = std::strtol(zpl.c_str() + c2 + 1, nullptr, 10);
  if (perRow <= 0 || total <= 0 || total % perRow != 0) return {};
  const std::size_t nibblesPerRow = static_cast<std::size_t>(perRow) * 2;
  const auto rows = static_cast<std::size_t>(total / perRow);

  std::vector<std::vector<int>> nibbles;  // each row's hex digits
  std::vector<int> row;
  int repeat = 0;
  const auto endRow = [&](int fill) {
    row.resize(nibblesPerRow, fill);
    nibbles.push_back(row);
    row.clear();
  };
  for (std::size_t i = c3 + 1; i < zpl.size() && nibbles.size() < rows; ++i) {
    const char c = zpl[i];
    if (c == '^' || c == '~') break;
    if (const int n = RepeatCount(c)) {
      repeat += n;
    } else if (const int v = HexValue(c); v >= 0) {
      row.insert(row.end(), static_cast<std::size_t>(std::max(repeat, 1)), v);
      repeat = 0;
      if (row.size() >= nibblesPerRow) endRow(0);
    } else if (c == ',') {
      endRow(0);
    } else if (c == '!') {
      endRow(0xF);
    } else if (c == ':') {
      nibbles.push_back(nibbles.empty() ? std::vector<int>(nibblesPerRow, 0) : nibbles.back());
    }
  }
  if (nibbles.size() != rows) return {};
  Image img;
  img.width = static_cast<int>(nibblesPerRow * 4);
  img.height = static_cast<int>(rows);
  img.pixels.assign(static_cast<std::size_t>(img.width) * rows, 255);
  for (std::size_t y = 0; y < rows; ++y)
    for (std::size_t n = 0; n < nibblesPerRow; ++n)
      for (int b = 0; b < 4; ++b)
        if (nibbles[y][n] & (8 >> b))
          img.pixels[y * static_cast<std::size_t>(img.width) + n * 4 + static_cast<std::size_t>(b)] =
              0;
  return img;
}

namespace {

// Runs `command`, which writes `pgm`, and reads that.
Image Rasterise(const std::string& command, const std::string& pgm) {
  if (std::system(command.c_str()) != 0) return {};
  Image img = ReadPgm(pgm);
  std::remove(pgm.c_str());
  return img;
}

}  // namespace

Image ReadPostScript(const std::string& path, int dpi) {
  const std::string pgm = path + ".pgm";
  return Rasterise("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pgmraw -r" + std::to_string(dpi) +
                       " -sOutputFile='" + pgm + "' '" + path + "'",
                   pgm);
}

Image ReadPdf(const std::string& path, int dpi) {
  const std::string base = path + ".page";
  return Rasterise("pdftoppm -gray -singlefile -r " + std::to_string(dpi) + " '" + path + "' '" +
                       base + "'",
                   base + ".pgm");
}

Image TurnBack(const Image& page) {
  Image upright;
  upright.width = page.height;
  upright.height = page.width;
  upright.pixels.resize(page.pixels.size());
  // The page's left edge is the upright page's top; its bottom row the left column.
  for (int y = 0; y < upright.height; ++y)
    for (int x = 0; x < upright.width; ++x)
      upright.pixels[static_cast<std::size_t>(y) * upright.width + x] =
          page.pixels[static_cast<std::size_t>(page.height - 1 - x) * page.width + y];
  return upright;
}

std::vector<std::pair<int, int>> DarkRuns(const Image& image, int y, int from, int to) {
  std::vector<std::pair<int, int>> runs;
  if (y < 0 || y >= image.height) return runs;
  from = std::max(from, 0);
  to = std::min(to, image.width);
  const std::uint8_t* line = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
  for (int x = from; x < to;) {
    if (line[x] >= 128) {
      ++x;
      continue;
    }
    const int start = x;
    while (x < to && line[x] < 128) ++x;
    runs.emplace_back(start, x);
  }
  return runs;
}

Image Crop(const Image& image, int x, int y, int width, int height, int quiet) {
  const int x0 = std::clamp(x, 0, image.width);
  const int y0 = std::clamp(y, 0, image.height);
  const int x1 = std::clamp(x + width, 0, image.width);
  const int y1 = std::clamp(y + height, 0, image.height);
  Image out;
  out.width = x1 - x0 + 2 * quiet;
  out.height = y1 - y0 + 2 * quiet;
  out.pixels.assign(static_cast<std::size_t>(out.width) * out.height, 255);
  for (int row = y0; row < y1; ++row)
    std::copy_n(image.pixels.begin() + static_cast<std::ptrdiff_t>(row) * image.width + x0, x1 - x0,
                out.pixels.begin() +
                    static_cast<std::ptrdiff_t>(row - y0 + quiet) * out.width + quiet);
  return out;
}

}  // namespace scan
