// The print routine, as the calls it makes on a recording page.
#include <gtest/gtest.h>

#include <algorithm>

#include "recording_surface.h"
#include "ui/core/form_state.h"
#include "ui/core/text.h"
#include "ui/core/print_job.h"
#include "ui/core/print_routine.h"

using ui::FormState;

namespace {

struct Box { int x1, y1, x2, y2; };
bool operator==(const Box& a, const Box& b) {
  return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}
std::ostream& operator<<(std::ostream& o, const Box& b) {
  return o << "(" << b.x1 << ", " << b.y1 << ")-(" << b.x2 << ", " << b.y2 << ")";
}

std::vector<Box> Boxes(const RecordingSurface& s, int top) {
  std::vector<Box> out;
  for (const auto& c : s.Only("Line ")) {
    Box b{};
    char colour[8] = {};
    EXPECT_EQ(std::sscanf(c.c_str(), "Line 38 %d %d %d %d %6s", &b.x1, &b.y1, &b.x2, &b.y2,
                          colour), 5) << c;
    EXPECT_STREQ(colour, "000000");
    if (b.y1 == top) out.push_back(b);
  }
  return out;
}

// The runs of dark modules as (first, last) module numbers, from 1.
std::vector<std::pair<int, int>> Runs(const std::string& bars) {
  std::vector<std::pair<int, int>> runs;
  for (int i = 1; i <= static_cast<int>(bars.size()); ++i) {
    if (bars[static_cast<std::size_t>(i - 1)] != '1') continue;
    if (!runs.empty() && runs.back().second == i - 1) runs.back().second = i;
    else runs.emplace_back(i, i);
  }
  return runs;
}

RecordingSurface Printed(const FormState& st) {
  RecordingSurface page;
  EXPECT_TRUE(ui::Command1_Click(page, st));
  return page;
}

}  // namespace

TEST(PrintRoutine, UpcaGuardsAndUntrimmedLastBar) {
  const FormState st = ui::DeriveState(std::u16string(u"12345678901"));
  ASSERT_EQ(st.UpcaText, std::u16string(u"123456789012"));
  const auto boxes = Boxes(Printed(st), 2820);
  ASSERT_EQ(boxes.size(), 30U + 30U);  // UPC-A then EAN-13, 30 bars each
  EXPECT_EQ(boxes[0], (Box{102, 2820, 118, 3720}));
  EXPECT_EQ(boxes[1], (Box{142, 2820, 158, 3720}));
  EXPECT_EQ(boxes[29], (Box{1980, 2820, 2000, 3720}));
  EXPECT_EQ(boxes[59], (Box{6880, 2820, 6900, 3720}));
  for (std::size_t i = 0; i < 29; ++i)  // every other bar is 4 twips short of its modules
    EXPECT_EQ((boxes[i].x2 - boxes[i].x1 + 4) % 20, 0) << boxes[i];
}

TEST(PrintRoutine, ItfStopPattern) {
  const FormState st = ui::DeriveState(std::u16string(u"1234567890123"));
  const auto boxes = Boxes(Printed(st), 320);
  const auto itf = std::count_if(boxes.begin(), boxes.end(), [](const Box& b) { return b.x1 < 5000; });
  ASSERT_GE(itf, 2);
  EXPECT_EQ(boxes[static_cast<std::size_t>(itf - 2)], (Box{2441, 320, 2493, 1220}));
  EXPECT_EQ(boxes[static_cast<std::size_t>(itf - 1)], (Box{2512, 320, 2530, 1220}));
}

TEST(PrintRoutine, Code39ModuleWidthShrinksWithTheText) {
  struct Case { int characters, w, t; };
  for (const Case& c : {Case{0, 93, 9}, Case{6, 23, 2}, Case{16, 10, 1}, Case{17, 9, 0},
                        Case{185, 1, 0}, Case{186, 0, 0}, Case{2046, 0, 0}, Case{32766, 0, 0}}) {
    SCOPED_TRACE(c.characters);
    FormState st;
    st.Code39Text = std::u16string(c.characters, u'A');
    st.Code39Bars = barcode::EncodeCode39(ui::ToUtf8(st.Code39Text));
    const RecordingSurface page = Printed(st);
    const auto printed = page.Only("Print ");
    ASSERT_EQ(printed.size(), 2U);
    EXPECT_EQ(printed[0], "Print 3 of 9");
    EXPECT_TRUE(printed[1] == "Print " + ui::ToUtf8(st.Code39Text)) << "text in one piece";
    const auto boxes = Boxes(page, 320);
    if (c.w == 0) {
      EXPECT_TRUE(boxes.empty());
      continue;
    }
    const auto runs = Runs(st.Code39Bars);
    ASSERT_EQ(boxes.size(), runs.size());  // one box per run, not per module
    for (std::size_t k = 0; k < runs.size(); ++k)  // the pattern ends light: all trimmed
      EXPECT_EQ(boxes[k], (Box{5000 + (runs[k].first - 1) * c.w + c.t, 320,
                               5000 + runs[k].second * c.w - c.t, 1220}));
    EXPECT_LE(boxes.back().x2, 8000);
  }
}

TEST(PrintRoutine, OnlyNonEmptySymbolsArePrinted) {
  // Letters: only Code 39, although ITF-14 still has its text.
  const RecordingSurface letters = Printed(ui::DeriveState(std::u16string(u"12AB")));
  EXPECT_EQ(letters.Only("Print "),
            (std::vector<std::string>{"Print 3 of 9", "Print 12AB"}));
  EXPECT_EQ(letters.Only("Line").size(), Boxes(letters, 320).size());

  const RecordingSurface digits = Printed(ui::DeriveState(std::u16string(u"123")));
  EXPECT_EQ(digits.Only("Print "),
            (std::vector<std::string>{"Print SCC14", "Print 12300000000006", "Print 3 of 9",
                                      "Print 123", "Print UPC-A", "Print 123000000006",
                                      "Print EAN-13", "Print 1230000000000"}));
  EXPECT_EQ(digits.calls.front(), "PrintQuality -4");
  EXPECT_EQ(digits.calls[1], "Font Courier New 8 bold");
  EXPECT_EQ(digits.calls.back(), "EndDoc");
  EXPECT_EQ(digits.Only("DrawWidth").size(), 4U);
}

TEST(PrintRoutine, NothingToPrintStillEndsTheJob) {
  const RecordingSurface page = Printed(FormState{});
  EXPECT_EQ(page.calls, (std::vector<std::string>{"PrintQuality -4", "Font Courier New 8 bold",
                                                  "EndDoc"}));
}

TEST(PrintRoutine, LightCharactersAndRuns) {
  RecordingSurface page;
  ui::PrintBars(page, "11x0111", 100, 320, 20);
  EXPECT_EQ(Boxes(page, 320),
            (std::vector<Box>{{102, 320, 138, 1220}, {180, 320, 240, 1220}}));
  RecordingSurface none;
  ui::PrintBars(none, "0000", 100, 320, 20);
  ui::PrintBars(none, "1111", 100, 320, 0);
  EXPECT_TRUE(none.calls.empty());
}

TEST(PrintRoutine, AFailingPrinterAbortsTheJob) {
  const FormState st = ui::DeriveState(std::u16string(u"123"));
  const std::size_t all = Printed(st).calls.size();
  for (int after : {0, 1, 2, 40, static_cast<int>(all) - 1}) {
    RecordingSurface page;
    page.failAfter = after;
    EXPECT_FALSE(ui::Command1_Click(page, st)) << after;
    EXPECT_TRUE(page.aborted) << after;
    EXPECT_EQ(page.calls.size(), static_cast<std::size_t>(after));
    EXPECT_TRUE(page.Only("EndDoc").empty()) << after;
  }
}

// How far each printed symbol reaches, which says what fits a printable area:
// a monospaced font of 96 twips a character, lines 180 twips high.
TEST(PrintRoutine, PrintedExtentsReachAsFarAsBarsAndTexts) {
  const auto width = [](std::u16string_view text) { return static_cast<int>(text.size()) * 96; };
  struct Want {
    std::string caption;
    int right, bottom;
  };
  struct Case {
    std::u16string value;
    std::vector<Want> want;
  };
  const Case cases[] = {
      // Digits: every symbol, its bars reaching further than its text.
      {std::u16string(u"4006381333931"),
       {{"SCC14", 100 + 135 * 18, 1480},
        {"3 of 9", 5000 + 240 * 12, 1480},
        {"UPC-A", 100 + 95 * 20, 3980},
        {"EAN-13", 5000 + 95 * 20, 3980}}},
      // Letters: Code 39 alone.
      {std::u16string(u"AB"), {{"3 of 9", 5000 + 64 * 46, 1480}}},
      // 186 characters: no bars at all, but the text runs far past them.
      {std::u16string(186, u'X'), {{"3 of 9", 5000 + 186 * 96, 1480}}},
      // Nothing printable: nothing printed.
      {std::u16string(u"\t"), {}},
  };
  for (const Case& c : cases) {
    std::vector<Want> got;
    for (const ui::PrintedExtent& e : ui::PrintedExtents(ui::DeriveState(c.value), width, 180))
      got.push_back({std::string(e.caption), e.right, e.bottom});
    ASSERT_EQ(got.size(), c.want.size()) << ui::ToUtf8(c.value);
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].caption, c.want[i].caption);
      EXPECT_EQ(got[i].right, c.want[i].right) << got[i].caption;
      EXPECT_EQ(got[i].bottom, c.want[i].bottom) << got[i].caption;
    }
  }
}

namespace {

// A print system of the test's own: a page it says it has (or why not), the
// job recorded, a monospaced font of 96 twips a character, lines 180 high.
struct FakePrinting final : ui::PrintSystem {
  std::optional<ui::PrinterPage> page;
  std::u16string error = u"No printer is set up.";
  int failAfter = -1;  // the job's device fails after this many calls
  int jobs = 0;
  bool turned = false;
  std::vector<std::string> calls;
  bool aborted = false;

  struct Job final : RecordingSurface {
    explicit Job(FakePrinting& owner) : owner_(owner) { failAfter = owner.failAfter; }
    ~Job() override {
      owner_.calls = calls;
      owner_.aborted = aborted;
    }
    FakePrinting& owner_;
  };

  std::optional<ui::PrinterPage> DefaultPage() override { return page; }
  std::u16string Error() const override { return error; }
  std::unique_ptr<ui::PrinterSurface> Job(const ui::PrinterPage&, bool turn) override {
    ++jobs;
    turned = turn;
    return std::make_unique<struct Job>(*this);
  }
  int TextWidth(std::u16string_view text) const override { return static_cast<int>(text.size()) * 96; }
  int TextHeight() const override { return 180; }
};

// A page of `w` x `l` hundredths of a millimetre with `margin` on every side.
ui::PrinterPage Page(int w, int l, int margin, const char16_t* media = u"") {
  return {u"Q", media, w, l, margin, margin, margin, margin, 300, {300}};
}
// The same with a margin of its own on each side.
ui::PrinterPage Page(int w, int l, int left, int top, int right, int bottom) {
  return {u"Q", u"", w, l, left, top, right, bottom, 300, {300}};
}

}  // namespace

// One press on the default printer: the page upright where it fits, turned a
// quarter turn where only so it fits, upright with a message naming what is
// cut off where it fits neither way; what the printer says when it has no
// page or the job fails. The extents of 4006381333931 (as above): 7880 x
// 3980 twips.
TEST(PrintOnDefaultPrinter, UprightTurnedOrSaidWhatIsCut) {
  const FormState st = ui::DeriveState(u"4006381333931");
  struct Case {
    const char* what;
    ui::PrinterPage page;
    bool turned;
    std::string says;  // in the message; empty: no message
  };
  const Case cases[] = {
      {"US Letter, 12 pt margins", Page(21590, 27940, 423, u"Letter"), false, ""},
      {"6 x 4 in label: 8640 x 5760 twips", Page(15240, 10160, 0), false, ""},
      {"4 x 6 in label: fits only turned", Page(10160, 15240, 0), true, ""},
      // 5.5 x 2.8 in: 7920 x 4032 twips, the page just fits upright.
      {"just fits upright", Page(13970, 7112, 0), false, ""},
      // The same less 0.1 in on the right and 0.05 in at the bottom: 7776 x 3960
      // twips, short of the right and of the bottom.
      {"just fits upright, but for its right and bottom margins", Page(13970, 7112, 0, 0, 254, 127), false,
       "but \"3 of 9\", \"UPC-A\" and \"EAN-13\" do not fit on its media (5.50 x 2.80 in (140 x 71 mm); "
       "printable area 5.40 x 2.75 in (137 x 70 mm)) and are cut off"},
      // 5.45 in across is 7848 twips: 32 short, and 3.9 in turned too.
      {"32 twips short either way", Page(13843, 9906, 0), false,
       "but \"3 of 9\" does not fit on its media (5.45 x 3.90 in (138 x 99 mm); printable area "
       "5.45 x 3.90 in (138 x 99 mm)) and is cut off"},
      // A 1.25 x 3.5 in address label with 2 mm margins: every symbol cut.
      {"address label", Page(3175, 8890, 200), false,
       "but \"SCC14\", \"3 of 9\", \"UPC-A\" and \"EAN-13\" do not fit on its media (1.25 x 3.50 in "
       "(32 x 89 mm); printable area 1.09 x 3.34 in (28 x 85 mm)) and are cut off, also with the "
       "page turned a quarter turn. To print the page whole, the printable area must be at least "
       "5.47 x 2.76 in (139 x 70 mm)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePrinting printing;
    printing.page = c.page;
    const std::string said = ui::ToUtf8(ui::PrintOnDefaultPrinter(printing, st));
    EXPECT_EQ(printing.jobs, 1);
    EXPECT_EQ(printing.turned, c.turned);
    EXPECT_EQ(std::count(printing.calls.begin(), printing.calls.end(), "EndDoc"), 1);
    if (c.says.empty())
      EXPECT_EQ(said, "");
    else
      EXPECT_NE(said.find(c.says), std::string::npos) << said;
  }
}

TEST(PrintOnDefaultPrinter, NoPageOrAFailedJobIsSaid) {
  const FormState st = ui::DeriveState(u"123");
  FakePrinting none;
  EXPECT_EQ(ui::PrintOnDefaultPrinter(none, st), u"No printer is set up.");
  EXPECT_EQ(none.jobs, 0) << "no job without a page";

  FakePrinting failing;
  failing.page = Page(21590, 27940, 423);
  failing.failAfter = 10;
  EXPECT_EQ(ui::PrintOnDefaultPrinter(failing, st), u"the device failed");
  EXPECT_TRUE(failing.aborted);
  EXPECT_EQ(std::count(failing.calls.begin(), failing.calls.end(), "EndDoc"), 0);
}
