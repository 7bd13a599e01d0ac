// Test helper: a printer's output turned back into dots, and the dark runs
// along one row of them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "scan.h"

namespace scan {

// The label graphic of a ZPL job (`~DG` and its compression) as an image,
// one pixel a printer dot; empty when the job holds none.
Image ReadZpl(const std::string& zpl);

// A PostScript job rasterised by Ghostscript at `dpi`; empty on error.
Image ReadPostScript(const std::string& path, int dpi);

// A PDF page rasterised by poppler at `dpi`; empty on error.
Image ReadPdf(const std::string& path, int dpi);

// A page printed a quarter turn anticlockwise, turned back upright.
Image TurnBack(const Image& page);

// The dark runs [first, last + 1) of row `y` between x `from` and `to`.
std::vector<std::pair<int, int>> DarkRuns(const Image& image, int y, int from, int to);

// The part of `image` from (x, y), `width` x `height` pixels large and
// clipped to the image, on a white margin of `quiet` pixels.
Image Crop(const Image& image, int x, int y, int width, int height, int quiet);

}  // namespace scan
