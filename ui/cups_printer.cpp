#include "ui/cups_printer.h"

#include <cups/cups.h>

#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ui {
namespace {

constexpr char kNothing[] = " Nothing was printed.";

QString Quoted(const QString& name) { return u'"' + name + u'"'; }

QString Sentence(QString text) {
  text = text.trimmed();
  if (text.isEmpty()) return text;
  return text.endsWith(u'.') ? text : text + u'.';
}

int Dpi(ipp_attribute_t* attr, int index) {
  ipp_res_t units = IPP_RES_PER_INCH;
  int y = 0;
  const int x = ippGetResolution(attr, index, &y, &units);
  return units == IPP_RES_PER_CM ? (x * 254 + 50) / 100 : x;
}

}  // namespace

struct PrintServer::Cups {
  http_t* http = nullptr;
  cups_dest_t* dest = nullptr;
  cups_dinfo_t* info = nullptr;
  bool timedOut = false;

  ~Cups() { Reset(); }
  void Reset() {
    if (info) cupsFreeDestInfo(info);
    if (dest) cupsFreeDests(1, dest);
    if (http) httpClose(http);
    info = nullptr;
    dest = nullptr;
    http = nullptr;
  }
  // Called when a request has waited the whole time-out: give up on it.
  static int OnTimeout(http_t*, void* self) {
    static_cast<Cups*>(self)->timedOut = true;
    return 0;
  }
};

PrintServer::PrintServer(int timeoutMs) : timeoutMs_(timeoutMs), cups_(std::make_unique<Cups>()) {}
PrintServer::~PrintServer() = default;

bool PrintServer::Connect() {
  if (cups_->http) return true;
  int cancel = 0;
  errno = 0;
  cups_->http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                             timeoutMs_, &cancel);
  if (!cups_->http) {
    if (errno == ETIMEDOUT) {
      cups_->timedOut = true;
      Fail(Why());
    } else {
      error_ = QStringLiteral(
                   "The print service (CUPS) is not running, so there is no printer to print on."
                   " Start it, then press Print again.") +
               kNothing;
    }
    return false;
  }
  httpSetTimeout(cups_->http, timeoutMs_ / 1000.0, &Cups::OnTimeout, cups_.get());
  return true;
}

QString PrintServer::Reason() const {
  return Sentence(QString::fromUtf8(cupsLastErrorString()));
}

// What went wrong with the request that just failed: a time-out, a lost
// connection, or the server's own reason.
QString PrintServer::Why() const {
  if (cups_->timedOut)
    return QStringLiteral("The print service (CUPS) does not answer: it was given %1 s.")
        .arg(timeoutMs_ / 1000.0);
  const int error = cups_->http ? httpError(cups_->http) : 0;
  if (!cups_->http || error != 0 || cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
    return error != 0 ? QStringLiteral("The connection to the print service (CUPS) was lost (%1).")
                            .arg(QString::fromLocal8Bit(std::strerror(error)))
                      : QStringLiteral("The connection to the print service (CUPS) was lost.");
  return Reason();
}

// `why`, then `what` it meant for the job (by default: nothing was printed).
void PrintServer::Fail(const QString& why, const QString& what) {
  error_ = what.isEmpty() ? why + kNothing : why + u' ' + what;
}

bool PrintServer::Lost() const {
  return cups_->timedOut || httpError(cups_->http) != 0 ||
         cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
}

// The default media and its margins. The printer's "media-col" default says
// them best: libcups's own media default picks a wrong size for label sizes
// that are not in its media list.
bool PrintServer::ReadMedia(PrinterPage& page) {
  if (ipp_attribute_t* col = cupsFindDestDefault(cups_->http, cups_->dest, cups_->info, "media-col");
      col && ippGetValueTag(col) == IPP_TAG_BEGIN_COLLECTION) {
    ipp_t* media = ippGetCollection(col, 0);
    const auto number = [](ipp_t* in, const char* name) {
      ipp_attribute_t* a = ippFindAttribute(in, name, IPP_TAG_INTEGER);
      return a ? ippGetInteger(a, 0) : 0;
    };
    if (ipp_attribute_t* size = ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION)) {
      ipp_t* dims = ippGetCollection(size, 0);
      page.width = number(dims, "x-dimension");
      page.length = number(dims, "y-dimension");
      page.left = number(media, "media-left-margin");
      page.top = number(media, "media-top-margin");
      page.right = number(media, "media-right-margin");
      page.bottom = number(media, "media-bottom-margin");
    }
  }
  if (page.width <= 0 || page.length <= 0) {
    cups_size_t size{};
    if (!cupsGetDestMediaDefault(cups_->http, cups_->dest, cups_->info, CUPS_MEDIA_FLAGS_DEFAULT,
                                 &size))
      return false;
    page.width = size.width;
    page.length = size.length;
    page.left = size.left;
    page.top = size.top;
    page.right = size.right;
    page.bottom = size.bottom;
  }
  // A standard size by its everyday name ("Letter", "A4"); labels go by
  // their size alone.
  if (ipp_attribute_t* name = cupsFindDestDefault(cups_->http, cups_->dest, cups_->info, "media"))
    if (const pwg_media_t* pwg = pwgMediaForPWG(ippGetString(name, 0, nullptr));
        pwg && pwg->ppd && std::strncmp(pwg->pwg, "custom_", 7) != 0)
      page.media = QString::fromUtf8(pwg->ppd);
  const bool sane = [&] {
    const long across = static_cast<long>(page.left) + page.right;
    const long down = static_cast<long>(page.top) + page.bottom;
    return page.left >= 0 && page.right >= 0 && page.top >= 0 && page.bottom >= 0 &&
           across < page.width && down < page.length;
  }();
  return page.width > 0 && page.length > 0 && sane;
}

std::optional<PrinterPage> PrintServer::DefaultPage() {
  if (!Connect()) return std::nullopt;
  cups_->dest = cupsGetNamedDest(cups_->http, nullptr, nullptr);
  if (!cups_->dest) {
    const ipp_status_t status = cupsLastError();
    if (Lost() || status > IPP_STATUS_ERROR_NOT_FOUND) {
      Fail(Why());
      return std::nullopt;
    }
    // No default: name the printers there are, if any.
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(cups_->http, &dests);
    QStringList names;
    for (int i = 0; i < count; ++i) {
      QString name = QString::fromUtf8(dests[i].name);
      if (dests[i].instance) name += u'/' + QString::fromUtf8(dests[i].instance);
      names << name;
    }
    cupsFreeDests(count, dests);
    if (Lost()) {
      Fail(Why());
    } else if (names.isEmpty()) {
      error_ = QStringLiteral(
                   "No printer is set up. Set up a printer in the system's printer settings,"
                   " then press Print again.") +
               kNothing;
    } else {
      error_ = QStringLiteral(
                   "No default printer is chosen. Choose one of %1 as the default in the "
                   "system's printer settings (or with: lpoptions -d %2), then press Print "
                   "again.")
                   .arg(names.size() == 1 ? Quoted(names.front())
                                          : QStringLiteral("these printers: ") +
                                                names.join(QStringLiteral(", ")),
                        names.front()) +
               kNothing;
    }
    return std::nullopt;
  }

  PrinterPage page;
  page.printer = QString::fromUtf8(cups_->dest->name);
  const char* state = cupsGetOption("printer-state", cups_->dest->num_options,
                                    cups_->dest->options);
  if (state && QByteArray(state).toInt() == IPP_PSTATE_STOPPED) {
    const QString message = QString::fromUtf8(cupsGetOption(
        "printer-state-message", cups_->dest->num_options, cups_->dest->options));
    error_ = QStringLiteral("The printer %1 is paused%2. Resume it in the system's printer "
                            "settings (or with: cupsenable %3), then press Print again.")
                 .arg(Quoted(page.printer),
                      message.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(message),
                      page.printer) +
             kNothing;
    return std::nullopt;
  }

  cups_->info = cupsCopyDestInfo(cups_->http, cups_->dest);
  if (!cups_->info || !ReadMedia(page)) {
    if (Lost()) {
      Fail(Why());
    } else {
      error_ = QStringLiteral("The printer %1 does not say what paper or labels it has loaded.")
                   .arg(Quoted(page.printer)) +
               kNothing;
    }
    return std::nullopt;
  }

  if (ipp_attribute_t* all =
          cupsFindDestSupported(cups_->http, cups_->dest, cups_->info, "printer-resolution")) {
    for (int i = 0; i < ippGetCount(all); ++i) page.resolutions.push_back(Dpi(all, i));
    std::sort(page.resolutions.begin(), page.resolutions.end());
  }
  if (ipp_attribute_t* def =
          cupsFindDestDefault(cups_->http, cups_->dest, cups_->info, "printer-resolution"))
    page.dpi = Dpi(def, 0);
  if (page.dpi <= 0) page.dpi = page.resolutions.empty() ? 300 : page.resolutions.back();
  return page;
}

QString PrintServer::Submit(const PrinterPage& page, int dpi, const QByteArray& pdf,
                            const QString& title) {
  if (!cups_->dest || !cups_->info || !cups_->http) return QStringLiteral("No printer.") + kNothing;
  http_t* http = cups_->http;
  // The page is laid out on the printer's own media and dot grid: print it
  // as it is, neither scaled nor moved.
  cups_option_t* options = nullptr;
  int count = cupsAddOption("print-scaling", "none", 0, &options);
  if (!page.resolutions.empty())
    count = cupsAddOption("printer-resolution", QByteArray::number(dpi).append("dpi").constData(),
                          count, &options);
  const QByteArray name = title.toUtf8();
  int job = 0;
  const ipp_status_t created =
      cupsCreateDestJob(http, cups_->dest, cups_->info, &job, name.constData(), count, options);
  cupsFreeOptions(count, options);
  if (created > IPP_STATUS_OK_CONFLICTING || job <= 0) {
    Fail(Lost() ? Why()
                : QStringLiteral("The printer %1 did not accept the page: %2")
                      .arg(Quoted(page.printer), Reason()));
    return error_;
  }

  bool whole = cupsStartDestDocument(http, cups_->dest, cups_->info, job, name.constData(),
                                     CUPS_FORMAT_PDF, 0, nullptr, 1) == HTTP_STATUS_CONTINUE;
  constexpr qsizetype kChunk = qsizetype{64} * 1024;
  for (qsizetype at = 0; whole && at < pdf.size(); at += kChunk) {
    const auto n = static_cast<size_t>(std::min(kChunk, pdf.size() - at));
    whole = cupsWriteRequestData(http, pdf.constData() + at, n) == HTTP_STATUS_CONTINUE;
  }
  const bool sent = whole;  // every byte went out
  // A time-out leaves the last status as it was: look at the connection too.
  whole = whole &&
          cupsFinishDestDocument(http, cups_->dest, cups_->info) <= IPP_STATUS_OK_CONFLICTING &&
          !Lost();
  if (whole) return {};

  // The job is not whole: take it back. The connection may be unusable, so
  // cancel over a new one, with the same time-out.
  const QString why = Lost() ? Why()
                             : QStringLiteral("The printer %1 did not accept the page: %2")
                                   .arg(Quoted(page.printer), Reason());
  bool cancelled = false;
  int cancel = 0;
  if (http_t* fresh = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(),
                                   1, timeoutMs_, &cancel)) {
    httpSetTimeout(fresh, timeoutMs_ / 1000.0, &Cups::OnTimeout, cups_.get());
    cancelled = cupsCancelDestJob(fresh, cups_->dest, job) <= IPP_STATUS_OK_CONFLICTING;
    httpClose(fresh);
  }
  if (cancelled)
    Fail(why, QStringLiteral("The unfinished job was cancelled; nothing was printed."));
  else if (sent)
    Fail(why, QStringLiteral("The page may or may not have been printed: look at the queue of "
                             "the printer %1 (job %2).")
                  .arg(Quoted(page.printer))
                  .arg(job));
  else
    Fail(why, QStringLiteral("Job %1 could not be cancelled, but it holds no whole page: "
                             "nothing was printed.")
                  .arg(job));
  return error_;
}

}  // namespace ui
