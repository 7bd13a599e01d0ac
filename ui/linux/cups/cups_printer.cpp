// The print server (CUPS): the default printer's page found where it really is, and the job;
// what each answer says is read in printer_answers.cpp.
#include "ui/linux/cups/cups_printer.h"

#include <cups/cups.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "ui/core/job_fate.h"
#include "ui/core/messages.h"
#include "ui/core/outside_text.h"
#include "ui/core/text.h"
#include "ui/linux/cups/printer_answers.h"
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

// Why libcups's last request failed: its words, or the print server's or
// the printer's own (an answer's status-message), made safe to show.
std::u16string LastError() { return ShownMessage(U16(cupsLastErrorString())); }

std::u16string SystemReason(int error) {
  return ShownMessage(Std16(QString::fromLocal8Bit(std::strerror(error))));
}

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
  return error == kNoSuchHost || error == 0 ? LastError() : SystemReason(error);
}

const char* Option(const cups_dest_t* dest, const char* name) {
  return cupsGetOption(name, dest->num_options, dest->options);
}

// The path of `uri` on its server, where a request to it goes.
std::string Resource(const char* uri) {
  char scheme[32] = {};
  char user[256] = {};
  char host[256] = {};
  char resource[1024] = {};
  int port = 0;
  if (!uri || httpSeparateURI(HTTP_URI_CODING_ALL, uri, scheme, sizeof scheme, user, sizeof user,
                              host, sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK)
    return "/";
  return resource;
}

}  // namespace

// What a printer says it prints on.
struct Loaded {
  std::optional<cups_size_t> media;
  int dpi = 0;
  std::vector<int> resolutions;  // ascending
  bool own = false;              // the media is the printer's own, not one behind it
  std::u16string impossible;     // what it said that no printer has, in words
  bool lost = false;             // the connection failed or timed out while it was asked

  bool operator==(const Loaded& o) const {
    const auto key = [](const std::optional<cups_size_t>& m) {
      return m ? std::array{m->width, m->length, m->left, m->top, m->right, m->bottom}
               : std::array{0, 0, 0, 0, 0, 0};
    };
    return key(media) == key(o.media) && dpi == o.dpi;
  }
  std::u16string SizeAndDpi() const {
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

  std::u16string AskWhyPaused(const cups_dest_t* printer);
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
    const std::u16string id = ShellWord(Printer() + u'-' + Number(job_.id));
    return {u" (or with: lp -i " + id + u" -H resume)", u" (or with: lp -i " + id + u" -H restart)",
            u" (or with: cupsenable " + ShellWord(Printer()) + u")"};
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
    ReadJob(job.get(), report);
    if (report.job == JobReport::Job::kHeld)
      report.heldBy = job_.heldByDefaults ? JobReport::HeldBy::kUserDefaults : JobReport::HeldBy::kServer;
    // For a pool, the member that has the job.
    std::string printer = JobPrinterUri(job.get());
    if (printer.empty()) printer = job_.printer.toStdString();

    Ipp asked(ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES));
    ippAddString(asked.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printer.c_str());
    static const char* const kPrinter[] = {"printer-state", "printer-state-reasons",
                                           "printer-state-message"};
    ippAddStrings(asked.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3,
                  nullptr, kPrinter);
    const Ipp state(cupsDoRequest(http_.get(), asked.release(), "/"));
    if (!state || cupsLastError() > IPP_STATUS_OK_CONFLICTING) return Failed(why);
    ReadPrinterState(state.get(), report);
    return report;
  }

  std::u16string Cancel() override {
    std::u16string why;
    if (!Connected(why)) return why;
    if (cupsCancelJob2(http_.get(), job_.queue.constData(), job_.id, 0) <= IPP_STATUS_OK_CONFLICTING)
      return {};
    why = timedOut_ ? NoAnswer(u"The print service (CUPS)", timeoutMs_)
                    : Sentence(LastError());
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
                    : Sentence(LastError());
    http_.reset();  // a fresh connection next time
    return std::nullopt;
  }

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
    Fail(PrintServerNotFound(server, LastError()));
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
  return Sentence(LastError());
}

bool PrintServer::Cups::Lost() const {
  return timedOut || httpError(http.get()) != 0 ||
         cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
}

std::u16string PrintServer::Cups::Refused(const cups_dest_t* printer) const {
  return PageNotAccepted(U16(printer->name), LastError());
}

// Why a paused printer is paused, as it says: its state message (the reason
// given to cupsdisable, or the printer's own) and its faults in words.
std::u16string PrintServer::Cups::AskWhyPaused(const cups_dest_t* printer) {
  const char* uri = Option(printer, "printer-uri-supported");
  std::u16string listed = WhyPaused(U16(Option(printer, "printer-state-message")), {});
  if (!uri) return listed;
  Ipp request(ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES));
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  static const char* const kAsked[] = {"printer-state-message", "printer-state-reasons"};
  ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2,
                nullptr, kAsked);
  const Ipp response(cupsDoRequest(http.get(), request.release(), "/"));
  return response ? ReadWhyPaused(response.get()) : listed;
}

// What one printer itself says: the user's media where it has it, else its
// default media, and its resolutions.
Loaded PrintServer::Cups::Ask(http_t* on, cups_dest_t* printer, cups_dinfo_t* about,
                              const Wanted& wanted) {
  Loaded got;
  if (!about) return got;
  // A queue's own URI; a printer on the network is known by the one it was found at.
  const char* uri = Option(printer, "printer-uri-supported");
  if (!uri) uri = Option(printer, "device-uri");
  Ipp request(ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES));
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri ? uri : "");
  ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(std::size(kPageAttributes)), nullptr, kPageAttributes);
  const Ipp answer(uri ? cupsDoRequest(on, request.release(), Resource(uri).c_str()) : nullptr);
  got.lost = !answer && (on == http.get() ? Lost() : httpError(on) != 0);
  if (got.lost) return got;  // nothing more is asked of it
  PageSaid said = ReadPage(answer.get(), wanted.dpi, wanted.width > 0);
  got.resolutions = std::move(said.resolutions);
  got.dpi = said.dpi;
  got.media = said.media;
  got.impossible = std::move(said.impossible);

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
  if (got.lost) {  // the print server's, or else the caller's to say (FindBehind)
    if (on == http.get()) Fail(Why());
    return std::nullopt;
  }
  // A printer that says it has what no printer has is believed in nothing.
  if (!got.impossible.empty()) {
    Fail(PrinterDidNotSayMedia(U16(dest->name), got.impossible));
    return std::nullopt;
  }
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
  const std::vector<std::string> names = MemberNames(response.get());
  if (names.empty()) {
    if (Lost()) {
      Fail(Why());
      return std::nullopt;
    }
    return Loaded{};
  }
  std::optional<Loaded> all;
  bool differ = false;
  std::u16string said;
  for (const std::string& name : names) {
    Dest member(cupsGetNamedDest(on, name.c_str(), nullptr));
    if (!member && Lost()) {
      Fail(Why());
      return std::nullopt;
    }
    Info info(member ? cupsCopyDestInfo(on, member.get()) : nullptr);
    std::optional<Loaded> got =
        member ? Find(on, member.get(), info.get(), wanted, depth + 1) : Loaded{};
    if (!got) return std::nullopt;
    said += (said.empty() ? u"" : u"; ") + Quoted(U16(name.c_str())) + u": " + got->SizeAndDpi();
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
  std::optional<Loaded> got;
  if (info) got = Find(behind.get(), printer.get(), info.get(), wanted, depth + 1);
  // Not asked at all, or its connection failed on a later request: say so
  // once, for this queue, and ask it nothing more.
  if (!info || (!got && httpError(behind.get()) != 0)) {
    // libcups says an answer it could not read (one cut off halfway) is its
    // own internal error, with whatever errno held: say what it is.
    const std::u16string reason =
        slow      ? DoesNotAnswerWithin(timeoutMs)
        : !behind ? ConnectReason(ConnectError(host, port, timeoutMs))
        : cupsLastError() == IPP_STATUS_ERROR_INTERNAL || info ? AnswerNotRead()
                                                               : LastError();
    Fail(PrinterBehindNotAsked(U16(queue->name), U16(device), reason));
    return std::nullopt;
  }
  return got;
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
      Fail(NoDefaultPrinter(names, u" (or with: lpoptions -d " + ShellWord(names.front()) + u")"));
    }
    return std::nullopt;
  }

  PrinterPage page;
  page.printer = U16(dest->name);
  const char* state = Option(dest.get(), "printer-state");
  if (state && QByteArray(state).toInt() == IPP_PSTATE_STOPPED) {
    Fail(PrinterPaused(page.printer, AskWhyPaused(dest.get()),
                       u" (or with: cupsenable " + ShellWord(page.printer) + u")"));
    return std::nullopt;
  }
  const char* model = Option(dest.get(), "printer-make-and-model");
  if (model && std::strcmp(model, kRawQueue) == 0) {
    Fail(RawQueue(page.printer));
    return std::nullopt;
  }

  info.reset(cupsCopyDestInfo(http.get(), dest.get()));
  if (!info) {
    Fail(Lost() ? Why() : PrinterDidNotSayMedia(page.printer, LastError()));
    return std::nullopt;
  }
  const Wanted wanted = WantedOf(dest->num_options, dest->options);
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
  if ((wanted.width > 0 || !loaded->own) && pwg) {
    this->media = pwg->pwg;
    for (const std::string& part : wanted.rest) this->media.append(',').append(part.c_str());
  }
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
