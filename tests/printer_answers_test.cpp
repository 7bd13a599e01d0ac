// What printers, print servers and the user's defaults say, read: media by
// their PWG 5101.1 names, a PPD's and IPP's older ones (in hundredths of a
// millimetre), resolutions per inch and per centimetre (1 in = 2.54 cm), and
// the answers recorded from LPrint's label printers, CUPS queues and the
// tests' hostile printer (fuzz/corpus/fuzz_printer_answers), whose figures
// are those the recorded messages hold, decoded apart from libcups and this
// program. States are said by RFC 8011's names of their enum values.
#include <cups/cups.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
  const bool read = in && ippReadIO(in, ReadFile, 1, nullptr, answer) == IPP_STATE_DATA;
  if (in) std::fclose(in);
  EXPECT_TRUE(read) << name;
  return Answer(answer, ippDelete);
}

// An answer that says these resolutions ({x, y, units}: 3 per inch, 4 per
// cm), the first its default, a job's and a printer's state, a pool's
// members, a default media {width, length, left, right, top, bottom}.
Answer Made(const std::vector<std::array<int, 3>>& resolutions, int jobState, int printerState,
            const std::vector<const char*>& members = {}, const std::vector<int>& media = {}) {
  ipp_t* answer = ippNew();
  if (!members.empty())
    ippAddStrings(answer, IPP_TAG_PRINTER, IPP_TAG_NAME, "member-names",
                  static_cast<int>(members.size()), nullptr, members.data());
  if (!media.empty()) {
    ipp_t* col = ippNew();
    ipp_t* size = ippNew();
    ippAddInteger(size, IPP_TAG_ZERO, IPP_TAG_INTEGER, "x-dimension", media[0]);
    ippAddInteger(size, IPP_TAG_ZERO, IPP_TAG_INTEGER, "y-dimension", media[1]);
    ippAddCollection(col, IPP_TAG_ZERO, "media-size", size);
    int i = 2;
    for (const char* side : {"left", "right", "top", "bottom"}) {
      const std::string name = "media-" + std::string(side) + "-margin";
      ippAddInteger(col, IPP_TAG_ZERO, IPP_TAG_INTEGER, name.c_str(), media[i++]);
    }
    ippAddCollection(answer, IPP_TAG_PRINTER, "media-col-default", col);
    ippDelete(size);
    ippDelete(col);
  }
  for (const char* name : {"printer-resolution-default", "printer-resolution-supported"}) {
    ipp_attribute_t* a = nullptr;
    for (const auto& [x, y, units] : resolutions) {
      const auto u = static_cast<ipp_res_t>(units);
      if (!a) a = ippAddResolution(answer, IPP_TAG_PRINTER, name, u, x, y);
      else ippSetResolution(answer, &a, ippGetCount(a), u, x, y);
      if (std::string_view(name).ends_with("default")) break;  // the first
    }
  }
  ippAddInteger(answer, IPP_TAG_JOB, IPP_TAG_ENUM, "job-state", jobState);
  ippAddInteger(answer, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", printerState);
  return Answer(answer, ippDelete);
}

std::string Joined(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
  return out;
}

// A job's state as "state [reasons] hold-until", a printer's as "state
// [reasons] 'message'", by RFC 8011's names.
std::string JobSaid(const ui::JobReport& r) {
  using J = ui::JobReport::Job;
  const std::map<J, std::string> names = {
      {J::kPending, "pending"}, {J::kHeld, "pending-held"}, {J::kProcessing, "processing"},
      {J::kStopped, "processing-stopped"}, {J::kCanceled, "canceled"}, {J::kAborted, "aborted"},
      {J::kCompleted, "completed"}, {J::kGone, "?"}};
  return names.at(r.job) + " [" + Joined(r.jobReasons) + "] " + ui::ToUtf8(r.holdUntil);
}
std::string PrinterSaid(const ui::JobReport& r) {
  using P = ui::JobReport::Printer;
  const std::map<P, std::string> names = {
      {P::kUnknown, "?"}, {P::kIdle, "idle"}, {P::kProcessing, "processing"},
      {P::kStopped, "stopped"}};
  return names.at(r.printer) + " [" + Joined(r.printerReasons) + "] '" +
         ui::ToUtf8(r.printerMessage) + "'";
}

}  // namespace

TEST(PrinterAnswers, Table) {
  // The user's defaults (lpoptions, a PPD's choices), as lp -o takes them:
  // the media's size in hundredths of a millimetre (0: none), what else
  // "media" names, the resolution.
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
           {"media=na_index-4x6_4x6in", 10160, 15240, {}, 0},
           {"media=custom_label_4x6in", 10160, 15240, {}, 0},
           {"media=w288h432", 10160, 15240, {}, 0},  // in points
           {"media=w595h842", 21000, 29700, {}, 0},  // A4 in a PPD's points
           {"media=Letter", 21590, 27940, {}, 0},
           {"media=A4", 21000, 29700, {}, 0},
           {"media=na-letter", 21590, 27940, {}, 0},  // IPP/1.1's names
           {"media=iso-a4", 21000, 29700, {}, 0},
           // No media: nothing long, a range's ends, 2.5 km, a tray.
           {"media=na_x_4x0in", 0, 0, {}, 0},           {"media=w0h432", 0, 0, {}, 0},
           {"media=w288h", 0, 0, {}, 0},                {"media=w288h432x", 0, 0, {}, 0},
           {"media=custom_max_4x6in", 0, 0, {}, 0},     {"media=roll_min_1x1in", 0, 0, {}, 0},
           {"media=custom_1x99999999in", 0, 0, {}, 0},  {"media=Tray2", 0, 0, {}, 0},
           {"media=Legal,Transparency", 21590, 35560, {"Transparency"}, 0},
           {"media='tray-1, na_letter_8.5x11in ,labels'", 21590, 27940, {"tray-1", "labels"}, 0},
           {"media=Tray2 PageSize=w288h432", 10160, 15240, {}, 0},
           {"printer-resolution=300dpi", 0, 0, {}, 300},
           {"printer-resolution=300x600dpi", 0, 0, {}, 300},  // across the feed
           {"printer-resolution=118dpcm", 0, 0, {}, 300},     // 299.72
           {"printer-resolution=80dpcm", 0, 0, {}, 203},      // 203.2
           {"printer-resolution=20dpcm", 0, 0, {}, 51},       // 50.8
           {"printer-resolution=19dpcm", 0, 0, {}, 0},        // 48.26
           {"printer-resolution=3779dpcm", 0, 0, {}, 9599},   // 9598.66
           {"printer-resolution=3780dpcm", 0, 0, {}, 0},      // 9601.2
           {"printer-resolution=50dpi", 0, 0, {}, 50},   {"printer-resolution=49dpi", 0, 0, {}, 0},
           {"printer-resolution=9600dpi", 0, 0, {}, 9600},
           {"printer-resolution=9601dpi", 0, 0, {}, 0},
           {"printer-resolution=0dpi", 0, 0, {}, 0},
           {"printer-resolution=-300dpi", 0, 0, {}, 0},
           {"printer-resolution=99999999999999999999dpcm", 0, 0, {}, 0},
           {"printer-resolution=300", 0, 0, {}, 0},      {"printer-resolution=300dpc", 0, 0, {}, 0},
           {"Resolution=203dpi", 0, 0, {}, 203},
           {"printer-resolution=600dpi Resolution=203dpi", 0, 0, {}, 600},
       }) {
    SCOPED_TRACE(s.options);
    cups_option_t* options = nullptr;
    const int count = cupsParseOptions(s.options, 0, &options);
    const ui::Wanted wanted = ui::WantedOf(count, options);
    EXPECT_EQ(wanted.width, s.width);
    EXPECT_EQ(wanted.length, s.length);
    EXPECT_EQ(wanted.rest, s.rest);
    EXPECT_EQ(wanted.dpi, s.dpi);
    const std::string name = count == 1 ? options[0].name : "";
    if (name == "printer-resolution") {
      EXPECT_EQ(ui::Dpi(options[0].value), s.dpi);
    }
    if (name == "media" && s.rest.empty()) {
      const pwg_media_t* pwg = ui::MediaNamed(options[0].value);
      EXPECT_EQ((pwg ? std::array{pwg->width, pwg->length} : std::array{0, 0}),
                (std::array{s.width, s.length}));
    }
    cupsFreeOptions(count, options);
  }

  // What printers answer: the page at a resolution the user wants (or 0),
  // its default media {width, length, left, right, top, bottom} (or none),
  // what it said that no printer has, its job's and its own state (unless
  // null), a pool's members.
  struct Page {
    const char* what;
    Answer answer;
    int wantedDpi;
    std::vector<int> resolutions;
    int dpi;
    std::vector<int> media;
    const char* impossible;
    const char* job;
    const char* printer;
    std::vector<std::string> members;
  };
  const std::vector<int> label4x6{10160, 15240, 0, 0, 0, 0};
  for (const Page& p : std::vector<Page>{
           {"LPrint's Zebra", Recorded("lprint-Zebra-printer"), 0, {203}, 203,
            {10160, 15240, 1, 1, 1, 1}, "", nullptr, "idle [none] 'Idle.'", {}},
           {"LPrint's Zebra, 300 dpi wanted", Recorded("lprint-Zebra-printer"), 300, {203}, 203,
            {10160, 15240, 1, 1, 1, 1}, "", nullptr, nullptr, {}},
           {"LPrint's Dymo", Recorded("lprint-Dymo-printer"), 0, {300}, 300,
            {3175, 8890, 100, 100, 525, 525}, "", nullptr, nullptr, {}},
           {"a paused queue, 203 dpi wanted", Recorded("queue-Zebra300-printer"), 203,
            {203, 300, 600}, 203, label4x6, "", nullptr, "stopped [paused] 'out of labels'", {}},
           {"a queue of 6 x 4 in", Recorded("queue-Zebra203-printer"), 0, {203, 300, 600}, 203,
            {15240, 10160, 0, 0, 0, 0}, "", nullptr, nullptr, {}},
           {"an office queue", Recorded("queue-Office-printer"), 0, {300}, 300,
            {21590, 27940, 423, 423, 423, 423}, "", nullptr, nullptr, {}},
           {"a raw queue", Recorded("queue-Raw-printer"), 0, {}, 0, {}, "", nullptr, nullptr, {}},
           {"a pool", Recorded("queue-Labels-printer"), 0, {}, 0, {}, "", nullptr, "idle [none] ''",
            {"Pool1", "Pool2"}},
           {"a held job", Recorded("queue-Zebra203-job"), 0, {}, 0, {}, "",
            "pending-held [job-hold-until-specified] indefinite", nullptr, {}},
           {"a printed job", Recorded("queue-Raw-job"), 0, {}, 0, {}, "",
            "completed [processing-to-stop-point] no-hold", nullptr, {}},
           {"0 dpi", Recorded("hostile-dpi-zero-printer"), 0, {}, 0, label4x6,
            "it gives 0 dpi as its resolution", nullptr, nullptr, {}},
           {"0 dpi, 300 wanted", Recorded("hostile-dpi-zero-printer"), 300, {}, 300, label4x6, "",
            nullptr, nullptr, {}},
           {"a size below nothing", Recorded("hostile-size-negative-printer"), 0, {203}, 203, {},
            "as the size of its media", nullptr, nullptr, {}},
           {"margins past the media", Recorded("hostile-margins-past-media-printer"), 0, {203}, 203,
            {}, "its margins do not fit its media", nullptr, nullptr, {}},
           {"a resolution in units 13", Recorded("resolution-units-13"), 0, {}, 203, {}, "",
            nullptr, nullptr, {}},
           {"per cm", Made({{118, 118, 4}}, 3, 4), 0, {300}, 300, {}, "", "pending [] ",
            "processing [] ''", {}},
           {"one across the feed", Made({{300, 600, 3}, {203, 203, 3}, {300, 300, 3}}, 6, 5), 0,
            {203, 300}, 300, {}, "", "processing-stopped [] ", "stopped [] ''", {}},
           {"none plausible, then one",
            Made({{0, 0, 3}, {-203, -203, 3}, {3780, 3780, 4}, {20, 20, 4}}, 7, 3), 0, {51}, 0, {},
            "", "canceled [] ", "idle [] ''", {}},
           {"aborted", Made({}, 8, 3), 0, {}, 0, {}, "", "aborted [] ", nullptr, {}},
           {"a pool that names one twice", Made({}, 9, 3, {"A", "B", "A"}), 0, {}, 0, {}, "",
            nullptr, nullptr, {"A", "B"}},
           {"margins of their own", Made({}, 9, 3, {}, {10160, 15240, 100, 200, 300, 400}), 0, {},
            0, {10160, 15240, 100, 200, 300, 400}, "", nullptr, nullptr, {}},
       }) {
    SCOPED_TRACE(p.what);
    const ui::PageSaid page = ui::ReadPage(p.answer.get(), p.wantedDpi);
    EXPECT_EQ(page.resolutions, p.resolutions);
    EXPECT_EQ(page.dpi, p.dpi);
    const std::optional<cups_size_t>& m = page.media;
    EXPECT_EQ((m ? std::vector{m->width, m->length, m->left, m->right, m->top, m->bottom}
                 : std::vector<int>{}),
              p.media);
    const std::string impossible = ui::ToUtf8(page.impossible);
    EXPECT_TRUE(*p.impossible ? impossible.find(p.impossible) != std::string::npos
                              : impossible.empty())
        << impossible;
    ui::JobReport report;
    ui::ReadJob(p.answer.get(), report);
    ui::ReadPrinterState(p.answer.get(), report);
    if (p.job) {
      EXPECT_EQ(JobSaid(report), p.job);
    }
    if (p.printer) {
      EXPECT_EQ(PrinterSaid(report), p.printer);
    }
    EXPECT_EQ(ui::MemberNames(p.answer.get()), p.members);
  }

  // Media (hundredths of a millimetre) a printer can have, and which are
  // A4, within a millimetre: A4 in a PPD's 595 x 842 points is 20990 x 29704.
  struct Size {
    int width, length, left, right, top, bottom;
    bool sane, a4;
  };
  for (const Size& s : std::vector<Size>{
           {20990, 29704, 0, 0, 0, 0, true, true},
           {21100, 29600, 423, 423, 423, 423, true, true},
           {21101, 29700, 0, 0, 0, 0, true, false},
           {21590, 27940, 0, 0, 0, 0, true, false},
           {10160, 1000000, 5079, 5080, 0, 999999, true, false},  // a 10 m roll, a line left
           {10160, 1000001, 0, 0, 0, 0, false, false},
           {10160, 15240, 5080, 5080, 0, 0, false, false},
           {10160, 15240, 0, 0, 0, 15240, false, false},
           {10160, 15240, -1, 0, 0, 0, false, false},
           {0, 15240, 0, 0, 0, 0, false, false},
       }) {
    const cups_size_t m{.media = {}, .width = s.width, .length = s.length, .bottom = s.bottom,
                        .left = s.left, .right = s.right, .top = s.top};
    SCOPED_TRACE(testing::Message() << s.width << " x " << s.length);
    EXPECT_EQ(ui::Sane(m), s.sane);
    EXPECT_EQ(ui::SameSize(m, 21000, 29700), s.a4);
  }
}
