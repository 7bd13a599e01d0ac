// Printers' and print servers' answers, read and checked.
#include "ui/linux/cups/printer_answers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <utility>

#include "ui/core/messages.h"
#include "ui/core/text.h"

namespace ui {
namespace {

// No printer has more states or faults at once, nor a pool more printers
// worth asking one by one: what lies beyond is left unread.
constexpr int kMostReasons = 64;
constexpr int kMostMembers = 64;

std::u16string TextAttribute(ipp_t* in, const char* name) {
  ipp_attribute_t* a = ippFindAttribute(in, name, IPP_TAG_ZERO);
  const char* text = a ? ippGetString(a, 0, nullptr) : nullptr;
  return FromUtf8(text ? text : "");
}

std::vector<std::string> Keywords(ipp_t* in, const char* name) {
  std::vector<std::string> out;
  if (ipp_attribute_t* a = ippFindAttribute(in, name, IPP_TAG_ZERO))
    for (int i = 0; i < std::min(ippGetCount(a), kMostReasons); ++i)
      if (const char* k = ippGetString(a, i, nullptr)) out.emplace_back(k);
  return out;
}

int Integer(ipp_t* in, const char* name) {
  ipp_attribute_t* a = ippFindAttribute(in, name, IPP_TAG_ENUM);
  if (!a) a = ippFindAttribute(in, name, IPP_TAG_INTEGER);
  return a ? ippGetInteger(a, 0) : 0;
}

JobReport::Job JobState(int state) {
  switch (state) {
    case IPP_JSTATE_HELD: return JobReport::Job::kHeld;
    case IPP_JSTATE_PROCESSING: return JobReport::Job::kProcessing;
    case IPP_JSTATE_STOPPED: return JobReport::Job::kStopped;
    case IPP_JSTATE_CANCELED: return JobReport::Job::kCanceled;
    case IPP_JSTATE_ABORTED: return JobReport::Job::kAborted;
    case IPP_JSTATE_COMPLETED: return JobReport::Job::kCompleted;
    default: return JobReport::Job::kPending;
  }
}

std::string Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

}  // namespace

int Dpi(long long x, bool perCm) {
  if (x < 0 || x > kMostDpi) return 0;  // per centimetre it would be more still
  const long long dpi = perCm ? (x * 254 + 50) / 100 : x;
  return dpi >= kLeastDpi && dpi <= kMostDpi ? static_cast<int>(dpi) : 0;
}

int Dpi(const char* text) {
  if (!text) return 0;
  char* end = nullptr;
  const long x = std::strtol(text, &end, 10);
  if (end != text && *end == 'x') {
    const char* y = end + 1;
    std::strtol(y, &end, 10);
    if (end == y) return 0;
  }
  if (end == text) return 0;
  const std::string_view units(end);
  return units == "dpi" || units == "dpcm" ? Dpi(x, units == "dpcm") : 0;
}

const pwg_media_t* MediaNamed(const std::string& name) {
  // libcups reads a size from a name as it stands ("na_x_4x0in", "custom_
  // 1x99999999in"): only what a media could measure is a media.
  const auto measurable = [](const pwg_media_t* pwg) {
    return pwg && pwg->width > 0 && pwg->length > 0 && pwg->width <= kLongestMedia &&
                   pwg->length <= kLongestMedia
               ? pwg
               : nullptr;
  };
  // The smallest and largest sizes a printer takes ("custom_max_4x6in",
  // "roll_min_1x1in") are the ends of a range, not a media.
  for (const char* end : {"custom_min_", "custom_max_", "roll_min_", "roll_max_"})
    if (name.starts_with(end)) return nullptr;
  if (const pwg_media_t* pwg = measurable(pwgMediaForPWG(name.c_str()))) return pwg;
  if (const pwg_media_t* pwg = measurable(pwgMediaForPPD(name.c_str()))) return pwg;
  if (const pwg_media_t* pwg = measurable(pwgMediaForLegacy(name.c_str()))) return pwg;
  if (!name.starts_with('w')) return nullptr;
  char* end = nullptr;
  const double width = std::strtod(name.c_str() + 1, &end);
  if (*end != 'h') return nullptr;
  const char* at = end + 1;
  const double length = std::strtod(at, &end);
  constexpr double kPointsLimit = kLongestMedia * 72.0 / 2540;
  if (end == at || *end != '\0' || !(width > 0 && width < kPointsLimit) ||
      !(length > 0 && length < kPointsLimit))
    return nullptr;
  return measurable(pwgMediaForSize(static_cast<int>(std::lround(width * 2540 / 72)),
                                    static_cast<int>(std::lround(length * 2540 / 72))));
}

bool Sane(const cups_size_t& s) {
  const long long across = static_cast<long long>(s.left) + s.right;
  const long long down = static_cast<long long>(s.top) + s.bottom;
  return s.width > 0 && s.length > 0 && s.width <= kLongestMedia && s.length <= kLongestMedia &&
         s.left >= 0 && s.right >= 0 && s.top >= 0 && s.bottom >= 0 && across < s.width &&
         down < s.length;
}

bool SameSize(const cups_size_t& a, int width, int length) {
  return std::abs(static_cast<long long>(a.width) - width) <= 100 &&
         std::abs(static_cast<long long>(a.length) - length) <= 100;
}

Wanted WantedOf(int count, cups_option_t* options) {
  Wanted wanted;
  const auto option = [count, options](const char* name) {
    const char* value = cupsGetOption(name, count, options);
    return std::string(value ? value : "");
  };
  // "media" may name a tray or a type beside the size ("Letter,Tray2").
  for (const char* name : {"media", "PageSize"}) {
    const std::string value = option(name);
    for (std::size_t at = 0; at <= value.size();) {
      const std::size_t comma = std::min(value.find(',', at), value.size());
      const std::string part = Trimmed(std::string_view(value).substr(at, comma - at));
      at = comma + 1;
      const pwg_media_t* pwg = wanted.width > 0 || part.empty() ? nullptr : MediaNamed(part);
      if (pwg) {
        wanted.width = pwg->width;
        wanted.length = pwg->length;
      } else if (std::strcmp(name, "media") == 0 && !part.empty()) {
        wanted.rest.push_back(part);
      }
    }
    if (wanted.width > 0) break;
    wanted.rest.clear();
  }
  wanted.dpi = Dpi(option("printer-resolution").c_str());
  if (wanted.dpi == 0) wanted.dpi = Dpi(option("Resolution").c_str());
  return wanted;
}

PageSaid ReadPage(ipp_t* printer, int wantedDpi, bool ownMedia) {
  PageSaid said;
  // The first resolution no printer has, as it was said.
  std::optional<std::pair<long long, bool>> impossible;
  const auto dpi = [&impossible](ipp_attribute_t* a, int i) {
    // The units as they came: a printer may send a number that is neither
    // per inch nor per centimetre, which is no value of ipp_res_t.
    ipp_res_t given{};
    int y = 0;
    const int x = ippGetResolution(a, i, &y, &given);
    std::underlying_type_t<ipp_res_t> units = 0;
    static_assert(sizeof units == sizeof given);
    std::memcpy(&units, &given, sizeof units);
    if (units != IPP_RES_PER_INCH && units != IPP_RES_PER_CM) return 0;  // no resolution at all
    const int d = Dpi(x, units == IPP_RES_PER_CM);
    if (d == 0 && !impossible) impossible = {x, units == IPP_RES_PER_CM};
    return d;
  };
  ipp_attribute_t* all = ippFindAttribute(printer, "printer-resolution-supported", IPP_TAG_RESOLUTION);
  for (int i = 0; i < ippGetCount(all); ++i)
    if (const int d = dpi(all, i)) said.resolutions.push_back(d);
  std::sort(said.resolutions.begin(), said.resolutions.end());
  said.resolutions.erase(std::unique(said.resolutions.begin(), said.resolutions.end()),
                         said.resolutions.end());
  const bool offered = said.resolutions.empty() ||
                       std::binary_search(said.resolutions.begin(), said.resolutions.end(), wantedDpi);
  if (wantedDpi > 0 && offered)
    said.dpi = wantedDpi;
  else if (ipp_attribute_t* def =
               ippFindAttribute(printer, "printer-resolution-default", IPP_TAG_RESOLUTION))
    said.dpi = dpi(def, 0);
  if (said.dpi == 0 && said.resolutions.empty() && impossible)
    said.impossible = NoSuchResolution(impossible->first, impossible->second);

  // Its default media, with margins: media-col-default. (libcups's own
  // media default takes the first size it knows when the printer names a
  // default it does not list.)
  ipp_attribute_t* col = ippFindAttribute(printer, "media-col-default", IPP_TAG_BEGIN_COLLECTION);
  ipp_t* media = col ? ippGetCollection(col, 0) : nullptr;
  ipp_attribute_t* size = ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION);
  ipp_t* dims = size ? ippGetCollection(size, 0) : nullptr;
  ipp_attribute_t* width = ippFindAttribute(dims, "x-dimension", IPP_TAG_INTEGER);
  ipp_attribute_t* length = ippFindAttribute(dims, "y-dimension", IPP_TAG_INTEGER);
  if (!width || !length) return said;  // says none, or a roll's range
  const auto margin = [media](const char* name) {
    ipp_attribute_t* a = ippFindAttribute(media, name, IPP_TAG_INTEGER);
    return a ? ippGetInteger(a, 0) : 0;
  };
  cups_size_t s{};
  s.width = ippGetInteger(width, 0);
  s.length = ippGetInteger(length, 0);
  s.left = margin("media-left-margin");
  s.top = margin("media-top-margin");
  s.right = margin("media-right-margin");
  s.bottom = margin("media-bottom-margin");
  if (Sane(s))
    said.media = s;
  else if (!ownMedia)  // on the user's own media, this one is not printed on
    said.impossible =
        s.width <= 0 || s.length <= 0 || s.width > kLongestMedia || s.length > kLongestMedia
            ? NoSuchMediaSize(s.width, s.length)
            : MarginsDoNotFit(s.width, s.length);
  return said;
}

std::vector<std::string> MemberNames(ipp_t* pool) {
  std::vector<std::string> names;
  ipp_attribute_t* a = ippFindAttribute(pool, "member-names", IPP_TAG_NAME);
  for (int i = 0; i < ippGetCount(a) && names.size() < static_cast<std::size_t>(kMostMembers); ++i) {
    const char* name = ippGetString(a, i, nullptr);
    if (name && std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
  }
  return names;
}

std::u16string ReadWhyPaused(ipp_t* printer) {
  ipp_attribute_t* message = ippFindAttribute(printer, "printer-state-message", IPP_TAG_TEXT);
  const char* said = message ? ippGetString(message, 0, nullptr) : nullptr;
  ipp_attribute_t* reasons = ippFindAttribute(printer, "printer-state-reasons", IPP_TAG_KEYWORD);
  std::vector<std::string> keywords;
  for (int i = 0; i < std::min(ippGetCount(reasons), kMostReasons); ++i)
    if (const char* k = ippGetString(reasons, i, nullptr)) keywords.emplace_back(k);
  return WhyPaused(FromUtf8(said ? said : ""), keywords);
}

void ReadJob(ipp_t* job, JobReport& report) {
  report.job = JobState(Integer(job, "job-state"));
  report.jobReasons = Keywords(job, "job-state-reasons");
  report.jobMessage = TextAttribute(job, "job-printer-state-message");
  report.holdUntil = TextAttribute(job, "job-hold-until");
}

void ReadPrinterState(ipp_t* printer, JobReport& report) {
  const int s = Integer(printer, "printer-state");
  report.printer = s == IPP_PSTATE_IDLE         ? JobReport::Printer::kIdle
                   : s == IPP_PSTATE_PROCESSING ? JobReport::Printer::kProcessing
                   : s == IPP_PSTATE_STOPPED    ? JobReport::Printer::kStopped
                                                : JobReport::Printer::kUnknown;
  report.printerReasons = Keywords(printer, "printer-state-reasons");
  report.printerMessage = TextAttribute(printer, "printer-state-message");
}

std::string JobPrinterUri(ipp_t* job) {
  ipp_attribute_t* a = ippFindAttribute(job, "job-printer-uri", IPP_TAG_URI);
  const char* uri = a ? ippGetString(a, 0, nullptr) : nullptr;
  return uri ? uri : "";
}

}  // namespace ui
