// The picture on screen, as the calls it makes on a recording surface.
#include <gtest/gtest.h>

#include <algorithm>

#include "recording_surface.h"
#include "ui/core/form_state.h"
#include "ui/core/text.h"
#include "ui/core/screen_painter.h"

using ui::FormState;

namespace {

std::vector<std::string> SymbolCalls(const char* caption, int cx, int cy, int tx, int ty,
                                     const std::string& text) {
  return {"CurrentX " + std::to_string(cx), "CurrentY " + std::to_string(cy),
          std::string("Print ") + caption,  "DrawWidth 1",
          "CurrentX " + std::to_string(tx), "CurrentY " + std::to_string(ty),
          "Print " + text};
}

// x of every plain line, in order.
std::vector<int> LineXs(const RecordingSurface& s, int top) {
  std::vector<int> xs;
  for (const auto& c : s.Only("Line 6 ")) {
    int x1, y1, x2, y2;
    EXPECT_EQ(std::sscanf(c.c_str(), "Line 6 %d %d %d %d", &x1, &y1, &x2, &y2), 4) << c;
    EXPECT_EQ(x1, x2) << "vertical";
    if (y1 != top) continue;
    EXPECT_EQ(y2, top + 900);
    xs.push_back(x1);
  }
  return xs;
}

}  // namespace

TEST(ScreenPainter, EmptyStateCallSequence) {
  RecordingSurface img(9735, 5295);
  ui::img_Paint(img, FormState{});
  std::vector<std::string> expected = {
      "FillColor 000000", "FillStyle 0", "Width", "Height", "Line 38 80 80 9735 5295 000000",
      "FillColor 000000", "FillStyle 0", "Width", "Height", "Line 38 0 0 9635 5195 FFFFFF",
      "Font Courier New 8 bold"};
  for (const auto& part : {SymbolCalls("SCC14", 100, 100, 100, 1300, ""),
                           SymbolCalls("3 of 9", 5000, 100, 5000, 1300, ""),
                           SymbolCalls("UPC-A", 100, 2500, 100, 3800, ""),
                           SymbolCalls("EAN-13", 5000, 2500, 5000, 3800, "")})
    expected.insert(expected.end(), part.begin(), part.end());
  EXPECT_EQ(img.calls, expected);
}

TEST(ScreenPainter, ModulePositions) {
  struct Case { std::string bars; std::vector<int> xs; };
  const std::vector<Case> cases = {
      {"101", {120, 160}}, {"11", {120, 140}}, {"", {}}, {"000", {}},
      {"1x1", {120, 160}},  // anything but "1" is light
      {"0001", {180}},
  };
  for (const Case& c : cases) {
    FormState st;
    st.UpcaBars = c.bars;  // left column, bottom row
    st.Ean13Bars = c.bars;  // right column, bottom row
    RecordingSurface img;
    ui::img_Paint(img, st);
    EXPECT_EQ(LineXs(img, 2820).size(), 2 * c.xs.size()) << c.bars;
    std::vector<int> right;
    for (int x : c.xs) right.push_back(x - 100 + 5000);
    std::vector<int> both = c.xs;
    both.insert(both.end(), right.begin(), right.end());
    EXPECT_EQ(LineXs(img, 2820), both) << c.bars;
  }
}

TEST(ScreenPainter, DerivedStateTextsAndLines) {
  const FormState st = ui::DeriveState(std::u16string(u"12AB"));
  RecordingSurface img;
  ui::img_Paint(img, st);
  // ITF-14 shows its text under an empty symbol; UPC-A and EAN-13 captions only.
  EXPECT_EQ(img.Only("Print "),
            (std::vector<std::string>{"Print SCC14", "Print 12AB000000000", "Print 3 of 9",
                                      "Print 12AB", "Print UPC-A", "Print ", "Print EAN-13",
                                      "Print "}));
  const auto xs = LineXs(img, 320);
  EXPECT_EQ(static_cast<long>(xs.size()), std::count(st.Code39Bars.begin(), st.Code39Bars.end(), '1'));
  EXPECT_EQ(xs.front(), 5020);
  EXPECT_TRUE(std::all_of(xs.begin(), xs.end(), [](int x) { return (x - 5000) % 20 == 0; }));
}

TEST(ScreenPainter, StopsAtTheRightEdge) {
  struct Case { int characters; int lastX; };
  // 12 characters: 224 modules, the last dark one at 5000 + 20 x 223 = 9460.
  for (const Case& c : {Case{12, 9460}, Case{13, 9720}, Case{85, 9720}, Case{32766, 9720}}) {
    const FormState st = ui::DeriveState(std::u16string(c.characters, u'0'));
    RecordingSurface img(9735, 5295);
    ui::img_Paint(img, st);
    const auto xs = LineXs(img, 320);
    ASSERT_FALSE(xs.empty());
    // The ITF-14 lines (left column) come first; Code 39 ends the top row.
    EXPECT_EQ(xs.back(), c.lastX) << c.characters;
    EXPECT_TRUE(std::all_of(xs.begin(), xs.end(), [](int x) { return x < 9735; }));
    EXPECT_LT(img.calls.size(), 800U) << "work bounded by the width, not the value";
  }
  // A narrow surface cuts the left column too.
  const FormState st = ui::DeriveState(std::u16string(u"123"));
  RecordingSurface narrow(1000, 5295);
  ui::img_Paint(narrow, st);
  const auto xs = LineXs(narrow, 2820);
  ASSERT_FALSE(xs.empty());
  EXPECT_LT(xs.back(), 1000);
  EXPECT_GE(xs.back(), 960);
}

TEST(ScreenPainter, RepaintIsIdentical) {
  const FormState st = ui::DeriveState(std::u16string(u"4006381333931"));
  RecordingSurface a, b;
  ui::img_Paint(a, st);
  ui::img_Paint(b, st);
  EXPECT_EQ(a.calls, b.calls);
}
