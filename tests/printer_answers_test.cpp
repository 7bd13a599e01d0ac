// What printers, print servers and the user's defaults say, read: media by
// their PWG 5101.1 names and a PPD's and IPP's older ones (in hundredths of
// a millimetre), resolutions per inch and per centimetre (1 in = 2.54 cm),
// and answers recorded from LPrint's label printers, CUPS queues and the
// tests' hostile printer (fuzz/corpus/fuzz_printer_answers), with the
// figures those recordings hold, decoded apart from libcups and this program.
#include <cups/cups.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ui/core/text.h"
#include "ui/linux/cups/printer_answers.h"

namespace {

using Answer = std::shared_ptr<ipp_t>;

ssize_t ReadFile(void* from, ipp_uchar_t* buffer, std::size_t bytes) {
  return static_cast<ssize_t>(std::fread(buffer, 1, bytes, static_cast<std::FILE*>(from)));
}

Answer Recorded(const std::string& name) {
  std::FILE* in = std::fopen((std::string(BARCODES_ANSWERS) + "/" + name).c_str(), "rb");
  ipp_t* answer = ippNew();
  EXPECT_TRUE(in && ippReadIO(in, ReadFile, 1, nullptr, answer) == IPP_STATE_DATA) << name;
  if (in) std::fclose(in);
  return {answer, ippDelete};
}

// An answer offering these resolutions ({x, y, units}: 3 per inch, 4 per
// cm), the first its default.
Answer Offering(const std::vector<std::array<int, 3>>& resolutions) {
  ipp_t* answer = ippNew();
  ippAddResolution(answer, IPP_TAG_PRINTER, "printer-resolution-default",
                   static_cast<ipp_res_t>(resolutions[0][2]), resolutions[0][0], resolutions[0][1]);
  ipp_attribute_t* all = nullptr;
  for (const auto& [x, y, units] : resolutions)
    if (!all)
      all = ippAddResolution(answer, IPP_TAG_PRINTER, "printer-resolution-supported",
                             static_cast<ipp_res_t>(units), x, y);
    else
      ippSetResolution(answer, &all, ippGetCount(all), static_cast<ipp_res_t>(units), x, y);
  return {answer, ippDelete};
}

// An answer whose default media is `width` x `length` with these margins
// {left, right, top, bottom}, in hundredths of a millimetre.
Answer Media(int width, int length, const std::array<int, 4>& margins) {
  ipp_t* answer = ippNew();
  ipp_t* col = ippNew();
  ipp_t* size = ippNew();
  ippAddInteger(size, IPP_TAG_ZERO, IPP_TAG_INTEGER, "x-dimension", width);
  ippAddInteger(size, IPP_TAG_ZERO, IPP_TAG_INTEGER, "y-dimension", length);
  ippAddCollection(col, IPP_TAG_ZERO, "media-size", size);
  int i = 0;
  for (const char* side : {"media-left-margin", "media-right-margin", "media-top-margin", "media-bottom-margin"})
    ippAddInteger(col, IPP_TAG_ZERO, IPP_TAG_INTEGER, side, margins[static_cast<std::size_t>(i++)]);
  ippAddCollection(answer, IPP_TAG_PRINTER, "media-col-default", col);
  ippDelete(size);
  ippDelete(col);
  return {answer, ippDelete};
}

}  // namespace

// The user's defaults (lpoptions, a PPD's choices) as lp -o takes them: the
// media's size (0: none), what else "media" names, the resolution.
TEST(PrinterAnswers, TheUsersDefaults) {
  struct Said {
    const char* options;
    int width, length;
    std::vector<std::string> rest;
    int dpi;
  };
  for (const Said& s : std::vector<Said>{
           {"media=na_letter_8.5x11in", 21590, 27940, {}, 0},
           {"media=iso_a4_210x297mm", 21000, 29700, {}, 0},
           {"media=oe_4x6-label_4x6in", 10160, 15240, {}, 0},
           {"media=w288h432", 10160, 15240, {}, 0},  // a PPD's, in points
           {"media=A4", 21000, 29700, {}, 0},
           {"media=na-letter", 21590, 27940, {}, 0},  // IPP/1.1's
           // No media: nothing long, a range's end, 2.5 km, a tray alone.
           {"media=w0h432", 0, 0, {}, 0},
           {"media=custom_max_4x6in", 0, 0, {}, 0},
           {"media=custom_1x99999999in", 0, 0, {}, 0},
           {"media=Tray2", 0, 0, {}, 0},
           {"media='tray-1, na_letter_8.5x11in ,labels'", 21590, 27940, {"tray-1", "labels"}, 0},
           {"printer-resolution=300x600dpi", 0, 0, {}, 300},  // across the feed first
           {"printer-resolution=118dpcm", 0, 0, {}, 300},     // 299.72
           {"printer-resolution=80dpcm", 0, 0, {}, 203},      // 203.2
           {"printer-resolution=3779dpcm", 0, 0, {}, 9599},   // 9598.66
           {"printer-resolution=3780dpcm", 0, 0, {}, 0},      // 9601.2
           {"printer-resolution=49dpi", 0, 0, {}, 0},
           {"printer-resolution=-300dpi", 0, 0, {}, 0},
           {"printer-resolution=600dpi Resolution=203dpi", 0, 0, {}, 600},
       }) {
    SCOPED_TRACE(s.options);
    cups_option_t* options = nullptr;
    const int count = cupsParseOptions(s.options, 0, &options);
    const ui::Wanted wanted = ui::WantedOf(count, options);
    EXPECT_EQ((std::array{wanted.width, wanted.length, wanted.dpi}),
              (std::array{s.width, s.length, s.dpi}));
    EXPECT_EQ(wanted.rest, s.rest);
    cupsFreeOptions(count, options);
  }
}

// What printers answer: the page at a resolution the user wants (or 0), its
// default media {width, length, left, right, top, bottom} (or none), what it
// said that no printer has.
TEST(PrinterAnswers, Pages) {
  struct Page {
    const char* what;
    Answer answer;
    int wantedDpi;
    std::vector<int> resolutions;
    int dpi;
    std::vector<int> media;
    const char* impossible = "";
    bool ownMedia = false;  // the user's own media printed on
  };
  const std::vector<int> label4x6{10160, 15240, 0, 0, 0, 0};
  for (const Page& p : std::vector<Page>{
           {"LPrint's Zebra", Recorded("lprint-Zebra-printer"), 0, {203}, 203, {10160, 15240, 1, 1, 1, 1}},
           {"LPrint's Zebra, 300 dpi wanted", Recorded("lprint-Zebra-printer"), 300, {203}, 203,
            {10160, 15240, 1, 1, 1, 1}},
           {"LPrint's Dymo", Recorded("lprint-Dymo-printer"), 0, {300}, 300, {3175, 8890, 100, 100, 525, 525}},
           {"a queue, 203 dpi wanted", Recorded("queue-Zebra300-printer"), 203, {203, 300, 600}, 203, label4x6},
           {"an office queue", Recorded("queue-Office-printer"), 0, {300}, 300, {21590, 27940, 423, 423, 423, 423}},
           {"a raw queue", Recorded("queue-Raw-printer"), 0, {}, 0, {}},
           {"0 dpi", Recorded("hostile-dpi-zero-printer"), 0, {}, 0, label4x6, "it gives 0 dpi as its resolution"},
           {"0 dpi, 300 wanted", Recorded("hostile-dpi-zero-printer"), 300, {}, 300, label4x6},
           {"-203 dpi", Recorded("hostile-dpi-negative-printer"), 0, {}, 0, label4x6, "it gives -203 dpi as its resolution"},
           {"2^31 - 1 dpi", Recorded("hostile-dpi-huge-printer"), 0, {}, 0, label4x6,
            "it gives 2147483647 dpi as its resolution"},
           {"a size below nothing", Recorded("hostile-size-negative-printer"), 0, {203}, 203, {},
            "it gives -4.00 x -6.00 in (-102 x -152 mm) as the size of its media"},
           {"a size below nothing, not printed on", Recorded("hostile-size-negative-printer"), 0, {203}, 203, {}, "", true},
           {"no size", Recorded("hostile-size-zero-printer"), 0, {203}, 203, {}, "it gives 0.00 x 0.00 in (0 x 0 mm) as the size of its media"},
           // 2^31 - 1 hundredths of a millimetre: 21474836.47 mm, 845466.0028 in.
           {"a size of 2^31 - 1", Recorded("hostile-size-huge-printer"), 0, {203}, 203, {},
            "it gives 845466.00 x 845466.00 in (21474836 x 21474836 mm) as the size of its media"},
           {"a roll 20 m long", Media(10160, 2000000, {}), 0, {}, 0, {},
            "it gives 4.00 x 787.40 in (102 x 20000 mm) as the size of its media"},
           {"margins past the media", Recorded("hostile-margins-past-media-printer"), 0, {203}, 203, {},
            "its margins do not fit its media (4.00 x 6.00 in (102 x 152 mm))"},
           {"a margin of its own on each side", Media(10160, 15240, {100, 200, 300, 400}), 0, {}, 0,
            {10160, 15240, 100, 200, 300, 400}},
           {"units 13", Recorded("resolution-units-13"), 0, {}, 203, {}},
           {"per cm", Offering({{118, 118, 4}}), 0, {300}, 300, {}},
           // Dots across the feed first, whether finer or coarser than along it.
           {"one across the feed", Offering({{300, 600, 3}, {203, 203, 3}}), 0, {203, 300}, 300, {}},
           {"one finer across the feed", Offering({{600, 300, 3}}), 0, {600}, 600, {}},
           {"none plausible but one", Offering({{0, 0, 3}, {3780, 3780, 4}, {20, 20, 4}}), 0, {51}, 0, {}},
       }) {
    SCOPED_TRACE(p.what);
    const ui::PageSaid page = ui::ReadPage(p.answer.get(), p.wantedDpi, p.ownMedia);
    EXPECT_EQ(page.resolutions, p.resolutions);
    EXPECT_EQ(page.dpi, p.dpi);
    const std::optional<cups_size_t>& m = page.media;
    EXPECT_EQ((m ? std::vector{m->width, m->length, m->left, m->right, m->top, m->bottom}
                 : std::vector<int>{}),
              p.media);
    EXPECT_EQ(ui::ToUtf8(page.impossible), p.impossible);
  }
}

// Jobs, printers and pools as recorded: RFC 8011's states, with their reasons.
TEST(PrinterAnswers, States) {
  using J = ui::JobReport::Job;
  using P = ui::JobReport::Printer;
  ui::JobReport held, printed, paused;
  ui::ReadJob(Recorded("queue-Zebra203-job").get(), held);
  EXPECT_EQ(held.job, J::kHeld);
  EXPECT_EQ(held.jobReasons, std::vector<std::string>{"job-hold-until-specified"});
  EXPECT_EQ(held.holdUntil, u"indefinite");
  ui::ReadJob(Recorded("queue-Raw-job").get(), printed);
  EXPECT_EQ(printed.job, J::kCompleted);
  ui::ReadPrinterState(Recorded("queue-Zebra300-printer").get(), paused);
  EXPECT_EQ(paused.printer, P::kStopped);
  EXPECT_EQ(paused.printerReasons, std::vector<std::string>{"paused"});
  EXPECT_EQ(paused.printerMessage, u"out of labels");
  EXPECT_EQ(ui::MemberNames(Recorded("queue-Labels-printer").get()),
            (std::vector<std::string>{"Pool1", "Pool2"}));
}

// Media a printer can have, and which are A4 within a millimetre: A4 in a
// PPD's 595 x 842 points is 20990 x 29704.
TEST(PrinterAnswers, Sizes) {
  struct Size {
    int width, length, left, right, top, bottom;
    bool sane, a4;
  };
  for (const Size& s : std::vector<Size>{
           {20990, 29704, 0, 0, 0, 0, true, true},
           {21101, 29700, 0, 0, 0, 0, true, false},
           {10160, 1000000, 5079, 5080, 0, 999999, true, false},  // a 10 m roll, a line left
           {10160, 1000001, 0, 0, 0, 0, false, false},
           {10160, 15240, 5080, 5080, 0, 0, false, false},
           {10160, 15240, -1, 0, 0, 0, false, false},
       }) {
    const cups_size_t m{.media = {}, .width = s.width, .length = s.length, .bottom = s.bottom,
                        .left = s.left, .right = s.right, .top = s.top};
    SCOPED_TRACE(testing::Message() << s.width << " x " << s.length << ", left " << s.left);
    EXPECT_EQ(ui::Sane(m), s.sane);
    EXPECT_EQ(ui::SameSize(m, 21000, 29700), s.a4);
  }
}
