// A printed page measured against the print routine's boxes and read by
// zxing-cpp and zbar.
#include "page_check.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "printed_page.h"
#include "recording_surface.h"
#include "ui/core/layout.h"
#include "ui/core/print_routine.h"
#include "ui/core/text.h"

namespace scan {
namespace {

// The print routine's boxes for one symbol, in twips: (left, right).
std::vector<std::pair<double, double>> Boxes(const ui::SymbolPlace& place,
                                             const barcode::BarPattern& bars) {
  RecordingSurface rec;
  ui::PrintBars(rec, bars, place.barsX, place.barsTop,
                ui::PrintModuleWidth(place.widthAllowance, bars.size()));
  std::vector<std::pair<double, double>> boxes;
  for (const std::string& call : rec.Only("Line 38")) {
    std::istringstream in(call.substr(8));
    double x1 = 0, y1 = 0, x2 = 0;
    in >> x1 >> y1 >> x2;
    boxes.emplace_back(x1, x2);
  }
  return boxes;
}

}  // namespace

std::pair<std::string, std::string> Expected(const std::string& caption, const ui::FormState& st) {
  for (const ui::SymbolPlace& place : ui::kPlaces) {
    if (place.caption != caption) continue;
    const std::string text = ui::ToUtf8(st.*place.text);
    if (place.bars == &ui::FormState::ItfBars) return {"ITF", text};
    if (place.bars == &ui::FormState::Code39Bars) return {"Code39", text};
    if (place.bars == &ui::FormState::UpcaBars) return {"UPC-A", text};
    // An EAN-13 symbol with a leading 0 is a UPC-A symbol, and reads as one.
    if (!text.empty() && text[0] == '0') return {"UPC-A", text.substr(1)};
    return {"EAN-13", text};
  }
  return {};
}

bool SymbolCheck::Good() const {
  return bars == boxes && boxes > 0 && worstEdge <= 1.0 && worstWidth <= 1.0 &&
         zxing == Found{want} && zbar == Found{want};
}

bool PageCheck::Good() const {
  if (!problem.empty() || symbols.empty()) return false;
  for (const SymbolCheck& s : symbols)
    if (!s.Good()) return false;
  return true;
}

std::string PageCheck::Report() const {
  std::ostringstream out;
  if (!problem.empty()) out << "page: " << problem << "\n";
  for (const SymbolCheck& s : symbols) {
    out << s.caption << ": " << s.bars << " bars for " << s.boxes << " boxes, worst edge "
        << s.worstEdge << " dots, worst width " << s.worstWidth << " dots; zxing";
    for (const auto& [format, text] : s.zxing) out << " " << format << " \"" << text << "\"";
    out << ", zbar";
    for (const auto& [format, text] : s.zbar) out << " " << format << " \"" << text << "\"";
    out << " (want " << s.want.first << " \"" << s.want.second << "\")"
        << (s.Good() ? "" : " WRONG") << "\n";
  }
  return out.str();
}

PageCheck CheckPage(Image page, const PageSpec& spec, const ui::FormState& st,
                    const std::set<std::string>& cut) {
  PageCheck check;
  if (page.width <= 0) {
    check.problem = "no page came out";
    return check;
  }
  // 1:1: the page is the media, dot for dot (a ZPL row is padded to whole bytes).
  std::ostringstream size;
  if (std::abs(page.height - spec.lengthIn * spec.dpi) > 1.0 ||
      page.width < std::lround(spec.widthIn * spec.dpi) - 1 ||
      page.width >= std::lround(spec.widthIn * spec.dpi) + 8) {
    size << "the page is " << page.width << " x " << page.height << " dots, not the media's "
         << spec.widthIn * spec.dpi << " x " << spec.lengthIn * spec.dpi;
    check.problem = size.str();
  }
  // Read a turned page as the routine drew it: from then on, across is the
  // media's length.
  if (spec.turned) page = TurnBack(page);

  const double dotsPerTwip = spec.dpi / 1440.0;
  const double margin = spec.marginPt * spec.dpi / 72.0;
  for (const ui::SymbolPlace& place : ui::kPlaces) {
    const barcode::BarPattern& bars = st.*place.bars;
    if (bars.empty() || cut.count(std::string(place.caption))) continue;
    SymbolCheck s;
    s.caption = std::string(place.caption);
    const auto boxes = Boxes(place, bars);
    s.boxes = boxes.size();
    const int row = static_cast<int>(margin + (place.barsTop + ui::kBarHeight / 2) * dotsPerTwip);
    const auto runs = DarkRuns(
        page, row, static_cast<int>(margin + place.barsX * dotsPerTwip) - 10,
        static_cast<int>(margin + (place.barsX + place.widthAllowance) * dotsPerTwip) + 10);
    s.bars = runs.size();
    for (std::size_t i = 0; i < runs.size() && i < boxes.size(); ++i) {
      const double left = margin + boxes[i].first * dotsPerTwip;
      const double right = margin + boxes[i].second * dotsPerTwip;
      s.worstEdge = std::max({s.worstEdge, std::abs(runs[i].first - left),
                              std::abs(runs[i].second - right)});
      s.worstWidth =
          std::max(s.worstWidth, std::abs((runs[i].second - runs[i].first) - (right - left)));
    }
    const int x = static_cast<int>(margin + (place.barsX - 200) * dotsPerTwip);
    const int y = static_cast<int>(margin + (place.barsTop - 100) * dotsPerTwip);
    const Image symbol =
        Crop(page, x, y, static_cast<int>((place.widthAllowance + 400) * dotsPerTwip),
             static_cast<int>((ui::kBarHeight + 200) * dotsPerTwip), 40);
    s.want = Expected(s.caption, st);
    for (const auto& d : Read(symbol, Format::Any)) s.zxing.insert({d.format, d.text});
    for (const auto& d : ReadZbar(symbol)) s.zbar.insert({d.format, d.text});
    check.symbols.push_back(std::move(s));
  }
  return check;
}

}  // namespace scan
