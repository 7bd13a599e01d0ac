// Test helper: a printed page measured against the print routine and read
// by both decoders, symbol by symbol. What each printer was sent is turned
// back into dots first (printed_page.h).
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "scan.h"
#include "ui/core/form_state.h"

namespace scan {

using Found = std::set<std::pair<std::string, std::string>>;

// The page as the printer feeds its media.
struct PageSpec {
  int dpi = 0;
  double widthIn = 0, lengthIn = 0;  // the media, as the printer feeds it
  double marginPt = 0;               // on every side
  bool turned = false;               // printed a quarter turn round
};

// One printed symbol against the print routine's boxes for it.
struct SymbolCheck {
  std::string caption;
  std::size_t bars = 0;    // dark runs found along its middle row
  std::size_t boxes = 0;   // boxes the routine draws for it
  double worstEdge = 0;    // dots: the bar edge farthest from its box's
  double worstWidth = 0;   // dots: the bar width farthest from its box's
  Found zxing, zbar;       // what each decoder read off it
  std::pair<std::string, std::string> want;  // what they must read
  // Every bar edge and width within a dot, one bar a box, both decoders right.
  bool Good() const;
};

// The whole page checked: its size (1:1: the media, dot for dot) and each
// symbol of `state` that has bars and is not among `cut` (captions that run
// past the printable area). `problem` says what is wrong with the page as a
// whole, empty when nothing is.
struct PageCheck {
  std::string problem;
  std::vector<SymbolCheck> symbols;
  bool Good() const;
  std::string Report() const;
};
PageCheck CheckPage(Image page, const PageSpec& spec, const ui::FormState& state,
                    const std::set<std::string>& cut = {});

// What a scanner must read off the symbol of `state` placed at `caption`.
std::pair<std::string, std::string> Expected(const std::string& caption, const ui::FormState& state);

}  // namespace scan
