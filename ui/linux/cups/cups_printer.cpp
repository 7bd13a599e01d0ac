// The print server (CUPS): the default printer's page found where it really is, and the job.
#include "ui/linux/cups/cups_printer.h"

#include <cups/cups.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>


#include <QByteArrayList>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "ui/core/job_fate.h"
#include "ui/core/messages.h"
#include "ui/core/text.h"
#include "ui/linux/qt/qt_text.h"

namespace ui {
namespace {

// What cupsd calls a queue that has no driver and passes its jobs on untouched.
constexpr char kRawQueue[] = "Local Raw Printer";
// How far a queue is followed to the printers behind it: a queue, the
// printer it prints to, and that printer's own printer.
constexpr int kMostHops = 2;

struct HttpCloser {
  void operator()(http_t* http) const { httpClose(http); }
};
using Http = std::unique_ptr<http_t, HttpCloser>;
struct DestFreer {
  void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestFreer>;
struct InfoFreer {
  void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
using Info = std::unique_ptr<cups_dinfo_t, InfoFreer>;
struct IppFreer {
  void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using Ipp = std::unique_ptr<ipp_t, IppFreer>;

// A text of libcups's (UTF-8) as the core's messages take it.
std::u16string U16(const char* text) { return FromUtf8(text ? text : ""); }

std::u16string SystemReason(int error) { return Std16(QString::fromLocal8Bit(std::strerror(error))); }

// Called when a request has waited the whole time-out: give up on it.
int GiveUp(http_t*, void* timedOut) {
  *static_cast<bool*>(timedOut) = true;
  return 0;
}

// A connection that gives connecting, and every request on it, `ms`; a
// request that runs out of time sets `timedOut`. ConnectError says why
// there is none.
Http Open(const char* host, int port, http_encryption_t encryption, int ms, bool* timedOut) {
  int cancel = 0;
  Http http(httpConnect2(host, port, nullptr, AF_UNSPEC, encryption, 1, ms, &cancel));
  if (http) httpSetTimeout(http.get(), ms / 1000.0, GiveUp, timedOut);
  return http;
}

// Why `host` (a name, an address or a socket's path) can't be connected to
// at `port`: the system's error, kNoSuchHost, or 0 when it can after all.
// libcups says "Host is down" for every failure; this asks the system.
constexpr int kNoSuchHost = -1;
int ConnectError(const char* host, int port, int ms) {
  const std::string service = std::to_string(port);
  http_addrlist_t* list = httpAddrGetList(host, AF_UNSPEC, service.c_str());
  if (!list) return kNoSuchHost;
  int error = 0;
  const int fd = socket(httpAddrFamily(&list->addr), SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    error = errno;
  } else {
    if (connect(fd, &list->addr.addr, static_cast<socklen_t>(httpAddrLength(&list->addr))) != 0) {
      error = errno;
      pollfd wait{fd, POLLOUT, 0};
      socklen_t size = sizeof error;
      if (error == EINPROGRESS)
        error = poll(&wait, 1, ms) == 1 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0
                    ? error
                    : ETIMEDOUT;
    }
    close(fd);
  }
  httpAddrFreeList(list);
  return error;
}

// ConnectError's answer in words.
std::u16string ConnectReason(int error) {
  return error == kNoSuchHost || error == 0 ? U16(cupsLastErrorString()) : SystemReason(error);
}

const char* Option(const cups_dest_t* dest, const char* name) {
  return cupsGetOption(name, dest->num_options, dest->options);
}

// Dots per inch from `x` dots per inch, or per centimetre; 0 for what no
// printer has, which is no resolution to lay a page out on.
int Dpi(long long x, bool perCm) {
  const long long dpi = perCm ? (x * 254 + 50) / 100 : x;
  return dpi >= 50 && dpi <= 9600 ? static_cast<int>(dpi) : 0;
}

int Dpi(ipp_attribute_t* attr, int index) {
  ipp_res_t units = IPP_RES_PER_INCH;
  int y = 0;
  const int x = ippGetResolution(attr, index, &y, &units);
  return Dpi(x, units == IPP_RES_PER_CM);
}

// "300dpi", "300x300dpi" or "118dpcm", as lpoptions and PPDs write them.
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

// A media size by any of its names: PWG ("na_index-4x6_4x6in"), a PPD's
// ("4x6", "Letter", "w288h432": points) or the legacy IPP one.
const pwg_media_t* MediaNamed(const std::string& name) {
  if (const pwg_media_t* pwg = pwgMediaForPWG(name.c_str())) return pwg;
  if (const pwg_media_t* pwg = pwgMediaForPPD(name.c_str())) return pwg;
  if (const pwg_media_t* pwg = pwgMediaForLegacy(name.c_str())) return pwg;
  if (!name.starts_with('w')) return nullptr;
  char* end = nullptr;
  const double width = std::strtod(name.c_str() + 1, &end);
  if (*end != 'h') return nullptr;
  const char* at = end + 1;
  const double length = std::strtod(at, &end);
  constexpr double kPointsLimit = 100000;  // 35 m
  if (end == at || *end != '\0' || !(width > 0 && width < kPointsLimit) ||
      !(length > 0 && length < kPointsLimit))
    return nullptr;
  return pwgMediaForSize(static_cast<int>(std::lround(width * 2540 / 72)),
                         static_cast<int>(std::lround(length * 2540 / 72)));
}

bool SameSize(const cups_size_t& a, int width, int length) {
  // Names of the same size round it differently: a millimetre is the same.
  return std::abs(a.width - width) <= 100 && std::abs(a.length - length) <= 100;
}

bool Sane(const cups_size_t& s) {
  const long across = static_cast<long>(s.left) + s.right;
  const long down = static_cast<long>(s.top) + s.bottom;
  constexpr int kTenMetres = 1'000'000;
  return s.width > 0 && s.length > 0 && s.width <= kTenMetres && s.length <= kTenMetres &&
         s.left >= 0 && s.right >= 0 && s.top >= 0 && s.bottom >= 0 && across < s.width &&
         down < s.length;
}

// The media a printer says it has loaded by default, with its margins: its
// "media-col" default. (libcups's own media default takes the first size
// it knows when the printer names a default it does not list.)
std::optional<cups_size_t> DefaultMedia(http_t* http, cups_dest_t* dest, cups_dinfo_t* info) {
  ipp_attribute_t* col = cupsFindDestDefault(http, dest, info, "media-col");
  if (!col || ippGetValueTag(col) != IPP_TAG_BEGIN_COLLECTION) return std::nullopt;
  ipp_t* media = ippGetCollection(col, 0);
  ipp_attribute_t* size = ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION);
  if (!size) return std::nullopt;
  const auto number = [](ipp_t* in, const char* name) {
    ipp_attribute_t* a = ippFindAttribute(in, name, IPP_TAG_INTEGER);
    return a ? ippGetInteger(a, 0) : 0;
  };
  ipp_t* dims = ippGetCollection(size, 0);
  cups_size_t s{};
  s.width = number(dims, "x-dimension");
  s.length = number(dims, "y-dimension");
  s.left = number(media, "media-left-margin");
  s.top = number(media, "media-top-margin");
  s.right = number(media, "media-right-margin");
  s.bottom = number(media, "media-bottom-margin");
  return Sane(s) ? std::optional(s) : std::nullopt;
}

}  // namespace

// What the user's own defaults for the printer (lpoptions, or the printer
// instance chosen as the default) ask for.
struct Wanted {
  int width = 0;  // the media's size, when they name one
  int length = 0;
  QByteArrayList rest;  // what else "media" names: a tray, a type
  int dpi = 0;

  explicit Wanted(const cups_dest_t* dest) {
    // "media" may name a tray or a type beside the size ("Letter,Tray2").
    for (const char* option : {"media", "PageSize"}) {
      const QByteArrayList parts = QByteArray(Option(dest, option)).split(',');
      for (const QByteArray& part : parts) {
        const pwg_media_t* pwg = width > 0 ? nullptr : MediaNamed(part.trimmed().toStdString());
        if (pwg) {
          width = pwg->width;
          length = pwg->length;
        } else if (std::strcmp(option, "media") == 0 && !part.trimmed().isEmpty()) {
          rest << part.trimmed();
        }
      }
      if (width > 0) break;
      rest.clear();
    }
    dpi = Dpi(Option(dest, "printer-resolution"));
    if (dpi == 0) dpi = Dpi(Option(dest, "Resolution"));
  }
};

// What a printer says it prints on.
struct Loaded {
  std::optional<cups_size_t> media;
  int dpi = 0;
  std::vector<int> resolutions;  // ascending
  bool own = false;              // the media is the printer's own, not one behind it

  bool operator==(const Loaded& o) const {
    const auto key = [](const std::optional<cups_size_t>& m) {
      return m ? std::array{m->width, m->length, m->left, m->top, m->right, m->bottom}
               : std::array{0, 0, 0, 0, 0, 0};
    };
    return key(media) == key(o.media) && dpi == o.dpi;
  }
  std::u16string Text() const {
    if (!media) return u"does not say";
    std::u16string text = SizeText(media->width, media->length);
    if (dpi > 0) text += u" at " + Number(dpi) + u" dpi";
    return text;
  }
};

struct PrintServer::Cups {
  int timeoutMs;
  Http http;
  Dest dest;
  Info info;
  bool timedOut = false;  // on the print server's own connection
  QByteArray media;       // the media the job asks for, where the queue would not know it
  std::u16string error;
  std::optional<PrintServer::Job> submitted;

  bool Connect();
  std::optional<PrinterPage> DefaultPage();
  QString Submit(const PrinterPage& page, int dpi, const QByteArray& pdf, const QString& title);

  Loaded Ask(http_t* on, cups_dest_t* printer, cups_dinfo_t* about, const Wanted& wanted);
  std::optional<Loaded> Find(http_t* on, cups_dest_t* printer, cups_dinfo_t* about,
                             const Wanted& wanted, int depth);
  std::optional<Loaded> FindInPool(http_t* on, cups_dest_t* pool, const Wanted& wanted,
                                   int depth);
  std::optional<Loaded> FindBehind(cups_dest_t* queue, const Wanted& wanted, int depth);

  std::u16string PausedReason(const cups_dest_t* printer);
  bool Lost() const;
  std::u16string Why() const;
  std::u16string Refused(const cups_dest_t* printer) const;
  // `why`, and that nothing was printed.
  void Fail(std::u16string_view why) { error = NothingPrinted(why); }
};

PrintServer::PrintServer(int timeoutMs) : cups_(std::make_unique<Cups>()) {
  cups_->timeoutMs = timeoutMs;
  // A server that asks for a password gets none: libcups would otherwise ask
  // for one on the terminal, where no one answers a window's request.
  cupsSetPasswordCB2([](const char*, http_t*, const char*, const char*, void*) -> const char* {
    return nullptr;
  }, nullptr);
}
PrintServer::~PrintServer() = default;
QString PrintServer::Error() const { return Qt16(cups_->error); }
std::optional<PrintServer::Job> PrintServer::Submitted() const { return cups_->submitted; }

namespace {

// A job on the print server, asked about from the thread that follows it.
class CupsJob final : public FollowedJob {
 public:
  CupsJob(PrintServer::Job job, int timeoutMs)
      : job_(std::move(job)),
        timeoutMs_(timeoutMs),
        server_(cupsServer()),
        port_(ippPort()),
        encryption_(cupsEncryption()) {}

  std::u16string Printer() const override { return U16(job_.queue.constData()); }
  long long Id() const override { return job_.id; }
  JobHints Hints() const override {
    const std::u16string id = Printer() + u'-' + Number(job_.id);
    return {u" (or with: lp -i " + id + u" -H resume)", u" (or with: lp -i " + id + u" -H restart)",
            u" (or with: cupsenable " + Printer() + u")"};
  }

  std::optional<JobReport> Ask(std::u16string& why) override {
    if (!Connected(why)) return std::nullopt;
    Ipp request(ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 job_.printer.constData());
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job_.id);
    static const char* const kJob[] = {"job-state", "job-state-reasons", "job-printer-state-message",
                                       "job-hold-until", "job-printer-uri"};
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 5,
                  nullptr, kJob);
    const Ipp job(cupsDoRequest(http_.get(), request.release(), "/"));
    if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
      JobReport gone;
      gone.job = JobReport::Job::kGone;
      return gone;
    }
    if (!job || cupsLastError() > IPP_STATUS_OK_CONFLICTING) return Failed(why);
    JobReport report;
    report.job = JobState(Integer(job.get(), "job-state"));
    report.jobReasons = Keywords(job.get(), "job-state-reasons");
    report.jobMessage = Text(job.get(), "job-printer-state-message");
    report.holdUntil = Text(job.get(), "job-hold-until");
    if (report.job == JobReport::Job::kHeld)
      report.heldBy = job_.heldByDefaults ? JobReport::HeldBy::kUserDefaults : JobReport::HeldBy::kServer;
    // For a pool, the member that has the job.
    std::string printer = Text8(job.get(), "job-printer-uri");
    if (printer.empty()) printer = job_.printer.toStdString();

    Ipp asked(ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES));
    ippAddString(asked.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printer.c_str());
    static const char* const kPrinter[] = {"printer-state", "printer-state-reasons",
                                           "printer-state-message"};
    ippAddStrings(asked.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3,
                  nullptr, kPrinter);
    const Ipp state(cupsDoRequest(http_.get(), asked.release(), "/"));
    if (!state || cupsLastError() > IPP_STATUS_OK_CONFLICTING) return Failed(why);
    const int s = Integer(state.get(), "printer-state");
    report.printer = s == IPP_PSTATE_IDLE         ? JobReport::Printer::kIdle
                     : s == IPP_PSTATE_PROCESSING ? JobReport::Printer::kProcessing
                     : s == IPP_PSTATE_STOPPED    ? JobReport::Printer::kStopped
                                                  : JobReport::Printer::kUnknown;
    report.printerReasons = Keywords(state.get(), "printer-state-reasons");
    report.printerMessage = Text(state.get(), "printer-state-message");
    return report;
  }

  std::u16string Cancel() override {
    std::u16string why;
    if (!Connected(why)) return why;
    if (cupsCancelJob2(http_.get(), job_.queue.constData(), job_.id, 0) <= IPP_STATUS_OK_CONFLICTING)
      return {};
    why = timedOut_ ? NoAnswer(u"The print service (CUPS)", timeoutMs_)
                    : Sentence(U16(cupsLastErrorString()));
    http_.reset();
    return why;
  }

 private:
  bool Connected(std::u16string& why) {
    if (http_) return true;
    // This thread's own: libcups keeps its password callback a thread.
    cupsSetPasswordCB2([](const char*, http_t*, const char*, const char*, void*) -> const char* {
      return nullptr;
    }, nullptr);
    timedOut_ = false;
    http_ = Open(server_.c_str(), port_, encryption_, timeoutMs_, &timedOut_);
    if (http_) return true;
    why = PrintServiceUnreachable(U16(server_.c_str()),
                                  ConnectReason(ConnectError(server_.c_str(), port_, timeoutMs_)));
    return false;
  }
  std::nullopt_t Failed(std::u16string& why) {
    why = timedOut_ ? NoAnswer(u"The print service (CUPS)", timeoutMs_)
                    : Sentence(U16(cupsLastErrorString()));
    http_.reset();  // a fresh connection next time
    return std::nullopt;
  }
  static JobReport::Job JobState(int state) {
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
  static int Integer(ipp_t* in, const char* name) {
    ipp_attribute_t* a = ippFindAttribute(in, name, IPP_TAG_ENUM);
    if (!a) a = ippFindAttribute(in, name, IPP_TAG_INTEGER);
    return a ? ippGetInteger(a, 0) : 0;
  }
  static std::vector<std::string> Keywords(ipp_t* in, const char* name) {
    std::vector<std::string> out;
    if (ipp_attribute_t* a = ippFindAttribute(in, name, IPP_TAG_ZERO))
      for (int i = 0; i < ippGetCount(a); ++i)
        if (const char* k = ippGetString(a, i, nullptr)) out.emplace_back(k);
    return out;
  }
  static std::string Text8(ipp_t* in, const char* name) {
    ipp_attribute_t* a = ippFindAttribute(in, name, IPP_TAG_ZERO);
    const char* text = a ? ippGetString(a, 0, nullptr) : nullptr;
    return text ? text : "";
  }
  static std::u16string Text(ipp_t* in, const char* name) { return FromUtf8(Text8(in, name)); }

  PrintServer::Job job_;
  int timeoutMs_;
  std::string server_;
  int port_;
  http_encryption_t encryption_;
  Http http_;
  bool timedOut_ = false;
};

}  // namespace

std::unique_ptr<FollowedJob> PrintServer::Follow() const {
  const std::optional<Job>& submitted = cups_->submitted;
  if (!submitted) return nullptr;
  return std::make_unique<CupsJob>(*submitted, cups_->timeoutMs);
}
std::optional<PrinterPage> PrintServer::DefaultPage() { return cups_->DefaultPage(); }
QString PrintServer::Submit(const PrinterPage& page, int dpi, const QByteArray& pdf,
                            const QString& title) {
  return cups_->Submit(page, dpi, pdf, title);
}

bool PrintServer::Cups::Connect() {
  if (http) return true;
  http = Open(cupsServer(), ippPort(), cupsEncryption(), timeoutMs, &timedOut);
  if (http) return true;
  const std::u16string server = U16(cupsServer());
  const int why = ConnectError(cupsServer(), ippPort(), timeoutMs);
  if (why == ETIMEDOUT) {
    timedOut = true;
    Fail(Why());
  } else if (why == kNoSuchHost) {
    Fail(PrintServerNotFound(server, U16(cupsLastErrorString())));
  } else if (why == ENOENT || why == ECONNREFUSED || why == ENOTSOCK) {
    // Nothing listens where the print service would.
    Fail(PrintServiceNotRunning(server));
  } else if (why == EACCES || why == EPERM) {
    Fail(MayNotUsePrintService(server, SystemReason(why)));
  } else {
    Fail(PrintServiceUnreachable(server, ConnectReason(why)));
  }
  return false;
}

// What went wrong with the request on the print server that just failed: a
// time-out, a lost connection, or the server's own reason.
std::u16string PrintServer::Cups::Why() const {
  if (timedOut) return NoAnswer(u"The print service (CUPS)", timeoutMs);
  const int lost = http ? httpError(http.get()) : 0;
  if (!http || lost != 0 || cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
    return PrintServiceLost(lost != 0 ? SystemReason(lost) : std::u16string());
  return Sentence(U16(cupsLastErrorString()));
}

bool PrintServer::Cups::Lost() const {
  return timedOut || httpError(http.get()) != 0 ||
         cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
}

std::u16string PrintServer::Cups::Refused(const cups_dest_t* printer) const {
  return PageNotAccepted(U16(printer->name), U16(cupsLastErrorString()));
}

// Why a paused printer is paused, as it says: its state message (the reason
// given to cupsdisable, or the printer's own) and its faults in words.
std::u16string PrintServer::Cups::PausedReason(const cups_dest_t* printer) {
  const char* uri = Option(printer, "printer-uri-supported");
  if (!uri) return U16(Option(printer, "printer-state-message"));
  Ipp request(ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES));
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  static const char* const kAsked[] = {"printer-state-message", "printer-state-reasons"};
  ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2,
                nullptr, kAsked);
  const Ipp response(cupsDoRequest(http.get(), request.release(), "/"));
  if (!response) return U16(Option(printer, "printer-state-message"));
  ipp_attribute_t* message = ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT);
  std::vector<std::string> reasons;
  if (ipp_attribute_t* r = ippFindAttribute(response.get(), "printer-state-reasons", IPP_TAG_KEYWORD))
    for (int i = 0; i < ippGetCount(r); ++i) reasons.emplace_back(ippGetString(r, i, nullptr));
  std::u16string said = message ? U16(ippGetString(message, 0, nullptr)) : std::u16string();
  const std::u16string faults = PrinterFaults(reasons, u"");
  if (!faults.empty()) said += (said.empty() ? u"" : u"; ") + faults;
  return said;
}

// What one printer itself says: the user's media where it has it, else its
// default media, and its resolutions.
Loaded PrintServer::Cups::Ask(http_t* on, cups_dest_t* printer, cups_dinfo_t* about,
                              const Wanted& wanted) {
  Loaded got;
  if (!about) return got;
  if (ipp_attribute_t* all = cupsFindDestSupported(on, printer, about, "printer-resolution")) {
    for (int i = 0; i < ippGetCount(all); ++i)
      if (const int dpi = Dpi(all, i)) got.resolutions.push_back(dpi);
    std::sort(got.resolutions.begin(), got.resolutions.end());
  }
  const bool offered = got.resolutions.empty() ||
                       std::binary_search(got.resolutions.begin(), got.resolutions.end(),
                                          wanted.dpi);
  if (wanted.dpi > 0 && offered)
    got.dpi = wanted.dpi;
  else if (ipp_attribute_t* def = cupsFindDestDefault(on, printer, about, "printer-resolution"))
    got.dpi = Dpi(def, 0);

  got.media = DefaultMedia(on, printer, about);
  if (wanted.width > 0 && !(got.media && SameSize(*got.media, wanted.width, wanted.length))) {
    // The user's media, with the margins the printer has for it.
    cups_size_t size{};
    got.media.reset();
    if (cupsGetDestMediaBySize(on, printer, about, wanted.width, wanted.length,
                               CUPS_MEDIA_FLAGS_DEFAULT, &size) &&
        Sane(size))
      got.media = size;
  }
  return got;
}

// What `printer` prints on, from the first place that says: the printer
// itself; for a pool its members, when they agree; for a queue to a network
// printer, the printer behind it. Nullopt with the error set when the
// print server failed or a pool's members disagree.
std::optional<Loaded> PrintServer::Cups::Find(http_t* on, cups_dest_t* printer,
                                              cups_dinfo_t* about, const Wanted& wanted,
                                              int depth) {
  Loaded got = Ask(on, printer, about, wanted);
  got.own = got.media.has_value();
  if ((got.media && got.dpi > 0) || depth >= kMostHops) return got;
  const char* type = Option(printer, "printer-type");
  const bool pool = type && (std::strtol(type, nullptr, 10) & CUPS_PRINTER_CLASS) != 0;
  std::optional<Loaded> more =
      pool ? FindInPool(on, printer, wanted, depth) : FindBehind(printer, wanted, depth);
  if (!more && got.media && !pool) {
    // Only the resolution was missing: the printer's own default serves.
    error.clear();
    return got;
  }
  if (!more) return std::nullopt;
  if (!got.media) got.media = more->media;
  if (got.dpi <= 0) {
    got.dpi = more->dpi;
    got.resolutions = more->resolutions;
  }
  return got;
}

std::optional<Loaded> PrintServer::Cups::FindInPool(http_t* on, cups_dest_t* pool,
                                                    const Wanted& wanted, int depth) {
  const char* uri = Option(pool, "printer-uri-supported");
  if (!uri) return Loaded{};
  Ipp request(ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES));
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
               nullptr, "member-names");
  const Ipp response(cupsDoRequest(on, request.release(), "/"));
  ipp_attribute_t* names =
      response ? ippFindAttribute(response.get(), "member-names", IPP_TAG_NAME) : nullptr;
  if (!names) {
    if (Lost()) {
      Fail(Why());
      return std::nullopt;
    }
    return Loaded{};
  }
  std::optional<Loaded> all;
  bool differ = false;
  std::u16string said;
  for (int i = 0; i < ippGetCount(names); ++i) {
    const char* name = ippGetString(names, i, nullptr);
    Dest member(cupsGetNamedDest(on, name, nullptr));
    if (!member && Lost()) {
      Fail(Why());
      return std::nullopt;
    }
    Info info(member ? cupsCopyDestInfo(on, member.get()) : nullptr);
    std::optional<Loaded> got =
        member ? Find(on, member.get(), info.get(), wanted, depth + 1) : Loaded{};
    if (!got) return std::nullopt;
    said += (said.empty() ? u"" : u"; ") + Quoted(U16(name)) + u": " + got->Text();
    if (!all)
      all = got;
    else
      differ = differ || !(*all == *got);
  }
  if (differ) {
    Fail(PoolMembersDiffer(U16(pool->name), said));
    return std::nullopt;
  }
  return all ? *all : Loaded{};
}

std::optional<Loaded> PrintServer::Cups::FindBehind(cups_dest_t* queue, const Wanted& wanted,
                                                    int depth) {
  const char* device = Option(queue, "device-uri");
  char scheme[32] = {};
  char user[256] = {};
  char host[256] = {};
  char resource[1024] = {};
  int port = 0;
  if (!device ||
      httpSeparateURI(HTTP_URI_CODING_ALL, device, scheme, sizeof scheme, user, sizeof user, host,
                      sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK ||
      (std::strcmp(scheme, "ipp") != 0 && std::strcmp(scheme, "ipps") != 0))
    return Loaded{};
  bool slow = false;
  const Http behind =
      Open(host, port,
           std::strcmp(scheme, "ipps") == 0 ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED,
           timeoutMs, &slow);
  Dest printer(behind ? cupsGetDestWithURI(nullptr, device) : nullptr);
  Info info(printer ? cupsCopyDestInfo(behind.get(), printer.get()) : nullptr);
  if (!info) {
    const std::u16string reason = slow      ? DoesNotAnswerWithin(timeoutMs)
                                  : !behind ? ConnectReason(ConnectError(host, port, timeoutMs))
                                            : U16(cupsLastErrorString());
    Fail(PrinterBehindNotAsked(U16(queue->name), U16(device), reason));
    return std::nullopt;
  }
  return Find(behind.get(), printer.get(), info.get(), wanted, depth + 1);
}

std::optional<PrinterPage> PrintServer::Cups::DefaultPage() {
  if (!Connect()) return std::nullopt;
  // A request that failed for another reason than that there is nothing to find.
  const auto failed = [] {
    return cupsLastError() > IPP_STATUS_OK_CONFLICTING &&
           cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND;
  };
  dest.reset(cupsGetNamedDest(http.get(), nullptr, nullptr));
  if (!dest) {
    if (Lost() || failed()) {
      Fail(Why());
      return std::nullopt;
    }
    // No default: name the printers there are, if any.
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http.get(), &dests);
    std::vector<std::u16string> names;
    for (int i = 0; i < count; ++i) {
      std::u16string name = U16(dests[i].name);
      if (dests[i].instance) name += u'/' + U16(dests[i].instance);
      names.push_back(name);
    }
    cupsFreeDests(count, dests);
    if (Lost() || (count == 0 && failed())) {
      Fail(PrintersNotListed(Why()));
    } else if (names.empty()) {
      Fail(NoPrinterSetUp());
    } else {
      Fail(NoDefaultPrinter(names, u" (or with: lpoptions -d " + names.front() + u")"));
    }
    return std::nullopt;
  }

  PrinterPage page;
  page.printer = U16(dest->name);
  const char* state = Option(dest.get(), "printer-state");
  if (state && QByteArray(state).toInt() == IPP_PSTATE_STOPPED) {
    Fail(PrinterPaused(page.printer, PausedReason(dest.get()),
                       u" (or with: cupsenable " + page.printer + u")"));
    return std::nullopt;
  }
  const char* model = Option(dest.get(), "printer-make-and-model");
  if (model && std::strcmp(model, kRawQueue) == 0) {
    Fail(RawQueue(page.printer));
    return std::nullopt;
  }

  info.reset(cupsCopyDestInfo(http.get(), dest.get()));
  if (!info) {
    Fail(Lost() ? Why() : PrinterDidNotSayMedia(page.printer, U16(cupsLastErrorString())));
    return std::nullopt;
  }
  const Wanted wanted(dest.get());
  const std::optional<Loaded> loaded = Find(http.get(), dest.get(), info.get(), wanted, 0);
  if (!loaded) return std::nullopt;
  if (!loaded->media) {
    if (wanted.width > 0)
      Fail(NoSuchMediaAsChosen(page.printer, SizeText(wanted.width, wanted.length)));
    else
      Fail(NoMediaSaid(page.printer));
    return std::nullopt;
  }
  const cups_size_t& media = *loaded->media;
  page.width = media.width;
  page.length = media.length;
  page.left = media.left;
  page.top = media.top;
  page.right = media.right;
  page.bottom = media.bottom;
  page.resolutions = loaded->resolutions;
  // One that says no default: the finest it offers, else the page's own guess.
  page.dpi = loaded->dpi > 0 || page.resolutions.empty() ? loaded->dpi : page.resolutions.back();
  // A standard size by its everyday name ("Letter", "A4"); labels go by
  // their size alone.
  const pwg_media_t* pwg = pwgMediaForSize(page.width, page.length);
  if (pwg && pwg->ppd && std::strncmp(pwg->pwg, "custom_", 7) != 0)
    page.media = U16(pwg->ppd);
  // The job names the media when the user chose it or the queue does not
  // know it, so that the printer prints on what the page was laid out on;
  // by its PWG name, which every queue understands.
  if ((wanted.width > 0 || !loaded->own) && pwg)
    this->media = (QByteArrayList{pwg->pwg} + wanted.rest).join(',');
  return page;
}

namespace {

// The user's options that go with every job, as lp sends them, but for
// those that would move, scale, turn or leave out the page, which is laid
// out 1:1 on the printer's own media, and the printer's description that
// comes with the destination.
bool GoesWithTheJob(std::string_view name) {
  static constexpr std::array<std::string_view, 22> kPageLayout = {
      "fit-to-page",  "landscape",       "mirror",      "natural-scaling",
      "number-up",    "number-up-layout", "orientation-requested", "page-border",
      "page-bottom",  "page-left",       "page-right",  "page-top",
      "position",     "ppi",             "print-scaling", "scaling",
      "page-ranges",  "raw",             "document-format", "device-uri",
      // Said again below as media and printer-resolution, as the page has them.
      "PageSize",     "Resolution"};
  return !name.starts_with("printer-") && !name.starts_with("marker-") &&
         name != "auth-info-required" &&
         std::find(kPageLayout.begin(), kPageLayout.end(), name) == kPageLayout.end();
}

}  // namespace

QString PrintServer::Cups::Submit(const PrinterPage& page, int dpi, const QByteArray& pdf,
                                  const QString& title) {
  if (!dest || !info || !http) {
    Fail(NoPrinterFound());
    return Qt16(error);
  }
  cups_option_t* options = nullptr;
  int count = 0;
  for (int i = 0; i < dest->num_options; ++i)
    if (GoesWithTheJob(dest->options[i].name))
      count = cupsAddOption(dest->options[i].name, dest->options[i].value, count, &options);
  if (!media.isEmpty()) count = cupsAddOption("media", media.constData(), count, &options);
  // The page is laid out on the printer's own media and dot grid: print it
  // as it is, neither scaled nor moved.
  count = cupsAddOption("print-scaling", "none", count, &options);
  if (!page.resolutions.empty())
    count = cupsAddOption("printer-resolution", QByteArray::number(dpi).append("dpi").constData(),
                          count, &options);
  const QByteArray name = title.toUtf8();
  int job = 0;
  const ipp_status_t created = cupsCreateDestJob(http.get(), dest.get(), info.get(), &job,
                                                 name.constData(), count, options);
  cupsFreeOptions(count, options);
  if (created > IPP_STATUS_OK_CONFLICTING || job <= 0) {
    Fail(Lost() ? Why() : Refused(dest.get()));
    return Qt16(error);
  }

  bool whole = cupsStartDestDocument(http.get(), dest.get(), info.get(), job, name.constData(),
                                     CUPS_FORMAT_PDF, 0, nullptr, 1) == HTTP_STATUS_CONTINUE;
  constexpr qsizetype kChunk = qsizetype{64} * 1024;
  for (qsizetype at = 0; whole && at < pdf.size(); at += kChunk) {
    const auto n = static_cast<size_t>(std::min(kChunk, pdf.size() - at));
    whole = cupsWriteRequestData(http.get(), pdf.constData() + at, n) == HTTP_STATUS_CONTINUE;
  }
  const bool sent = whole;  // every byte went out
  // A time-out leaves the last status as it was: look at the connection too.
  whole = whole &&
          cupsFinishDestDocument(http.get(), dest.get(), info.get()) <= IPP_STATUS_OK_CONFLICTING &&
          !Lost();
  if (whole) {
    const char* hold = Option(dest.get(), "job-hold-until");
    submitted = PrintServer::Job{job, QByteArray(dest->name),
                                 QByteArray(Option(dest.get(), "printer-uri-supported")),
                                 hold && std::strcmp(hold, "no-hold") != 0};
    return {};
  }

  // The job is not whole: take it back. The connection may be unusable, so
  // cancel over a new one, with the same time-out.
  const std::u16string why = Lost() ? Why() : Refused(dest.get());
  bool cancelled = false;
  bool slow = false;
  if (const Http fresh = Open(cupsServer(), ippPort(), cupsEncryption(), timeoutMs, &slow))
    cancelled = cupsCancelDestJob(fresh.get(), dest.get(), job) <= IPP_STATUS_OK_CONFLICTING;
  if (cancelled)
    error = UnfinishedJobCancelled(why);
  else if (sent)
    error = JobMayHavePrinted(why, page.printer, job);
  else
    error = JobNotCancelledButEmpty(why, job);
  return Qt16(error);
}

}  // namespace ui
