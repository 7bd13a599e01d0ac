// Printers' and print servers' answers, as libcups decodes them from the
// fuzz bytes (an IPP message, read with ippReadIO), through every reader of
// them and into the messages that say them: whatever a printer on the
// network answers, what may reach the page is a plausible resolution and
// media, and what reaches the user is text of its own characters, bounded.
#include <cups/cups.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "decode.h"
#include "tests/format_characters.h"
#include "ui/core/job_fate.h"
#include "ui/core/messages.h"
#include "ui/core/text.h"
#include "ui/linux/cups/printer_answers.h"

using fuzzcheck::Check;

namespace {

struct Bytes {
  const std::uint8_t* at;
  std::size_t left;
};

ssize_t Read(void* from, ipp_uchar_t* buffer, std::size_t bytes) {
  auto* in = static_cast<Bytes*>(from);
  const std::size_t n = std::min(bytes, in->left);
  std::memcpy(buffer, in->at, n);
  in->at += n;
  in->left -= n;
  return static_cast<ssize_t>(n);
}

// What a message shows, judged by the categories of the Unicode Character
// Database (every format character of Unicode 15.1 among them): only what a
// person sees in a sentence, and not more than a screen holds.
void CheckShown(const std::u16string& text) {
  Check(text.size() <= 4000, "a message is bounded");
  const char* why = ucd::NotShown(text);
  Check(why == nullptr, why);
}

void CheckResolution(int dpi) { Check(dpi == 0 || (dpi >= 50 && dpi <= 9600), "plausible dpi"); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in{data, size};
  ipp_t* answer = ippNew();
  if (ippReadIO(&in, Read, 1, nullptr, answer) != IPP_STATE_DATA) {
    ippDelete(answer);
    return 0;
  }

  // The page it says: at its own resolution, or one the user wants.
  for (const int wanted : {0, 203, 300}) {
    const ui::PageSaid page = ui::ReadPage(answer, wanted);
    CheckResolution(page.dpi);
    Check(std::is_sorted(page.resolutions.begin(), page.resolutions.end()) &&
              std::adjacent_find(page.resolutions.begin(), page.resolutions.end()) ==
                  page.resolutions.end(),
          "resolutions ascending, each once");
    for (const int dpi : page.resolutions) Check(dpi >= 50 && dpi <= 9600, "plausible offer");
    if (page.media) {
      const cups_size_t& m = *page.media;
      Check(m.width > 0 && m.length > 0 && m.width <= 1'000'000 && m.length <= 1'000'000,
            "a size a media has");
      Check(m.left >= 0 && m.right >= 0 && m.top >= 0 && m.bottom >= 0 &&
                static_cast<long long>(m.left) + m.right < m.width &&
                static_cast<long long>(m.top) + m.bottom < m.length,
            "margins that leave some of it");
    }
    if (!page.impossible.empty()) CheckShown(ui::PrinterDidNotSayMedia(u"Q", page.impossible));
  }

  // Its attributes as a destination's options, as libcups makes them, read
  // as the user's own defaults would be.
  cups_option_t* options = nullptr;
  int count = 0;
  for (ipp_attribute_t* a = ippFirstAttribute(answer); a; a = ippNextAttribute(answer)) {
    const char* name = ippGetName(a);
    if (!name || !*name) continue;
    char value[1024];
    ippAttributeString(a, value, sizeof value);
    count = cupsAddOption(name, value, count, &options);
  }
  const ui::Wanted wanted = ui::WantedOf(count, options);
  cupsFreeOptions(count, options);
  CheckResolution(wanted.dpi);
  Check((wanted.width == 0 && wanted.length == 0) ||
            (wanted.width > 0 && wanted.length > 0 && wanted.width <= 1'000'000 &&
             wanted.length <= 1'000'000),
        "a media size the user can want");

  Check(ui::MemberNames(answer).size() <= 64, "a pool's members bounded");

  // Its states, reasons and texts, said as the window says them.
  ipp_attribute_t* named = ippFindAttribute(answer, "printer-name", IPP_TAG_ZERO);
  const char* name = named ? ippGetString(named, 0, nullptr) : nullptr;
  const std::u16string printer = ui::FromUtf8(name ? name : "Q");
  CheckShown(ui::PrinterPaused(printer, ui::ReadWhyPaused(answer), u" (or with: cupsenable " + printer + u")"));
  ui::JobReport report;
  ui::ReadJob(answer, report);
  ui::ReadPrinterState(answer, report);
  Check(report.jobReasons.size() <= 64 && report.printerReasons.size() <= 64, "reasons bounded");
  const ui::JobHints hints{u" (or with: lp -i " + printer + u"-7 -H resume)", u"", u""};
  for (const bool timeUp : {false, true}) {
    const ui::JobFate fate = ui::JudgeJob(printer, 7, report, timeUp, hints);
    CheckShown(fate.text);
    Check(!timeUp || fate.done, "said once the time is up");
  }
  ui::JobReport held = report;
  held.job = ui::JobReport::Job::kHeld;
  CheckShown(ui::JudgeJob(printer, 7, held, false, hints).text);

  ippDelete(answer);
  return 0;
}
