// The print server (CUPS): the default printer's page, and a job streamed to
// it from memory. Every request is bounded by a time-out, so a print server
// that hangs can't freeze the window; every failure is said as it is.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

#include "ui/core/printer_page.h"
#include "ui/linux/qt/job_watch.h"

namespace ui {

class PrintServer {
 public:
  static constexpr int kTimeoutMs = 3000;

  explicit PrintServer(int timeoutMs = kTimeoutMs);
  ~PrintServer();
  PrintServer(const PrintServer&) = delete;
  PrintServer& operator=(const PrintServer&) = delete;

  // The default printer's page; nullopt with Error() set when there is none
  // to print on (no server, no printer, no default, a paused printer, ...).
  // The media is the user's own default for the printer (lpoptions) where
  // there is one, else the printer's; where the queue does not know its
  // media it comes from the printer behind the queue, or for a pool of
  // printers from its members when they agree.
  std::optional<PrinterPage> DefaultPage();

  // Hands `pdf` to the printer of `page` as one job printed 1:1 at `dpi`,
  // on the media the page was laid out on, with the user's own options.
  // Returns the empty text once the whole job is in, else what to tell the
  // user; a job that could not be handed over whole is cancelled.
  QString Submit(const PrinterPage& page, int dpi, const QByteArray& pdf, const QString& title);

  // Why the last request failed, for the user, ending in what became of the job.
  QString Error() const;

  // The job the last Submit handed over whole: its number on the queue, and
  // whether the user's own defaults hold it (job-hold-until in lpoptions).
  struct Job {
    int id = 0;
    QByteArray queue;    // the destination's name, UTF-8
    QByteArray printer;  // its printer-uri-supported
    bool heldByDefaults = false;
  };
  std::optional<Job> Submitted() const;

  // The job the last Submit handed over, to follow on a thread of its own
  // (its requests on a connection of their own, each with this server's
  // time-out); null when none was.
  std::unique_ptr<FollowedJob> Follow() const;

 private:
  struct Cups;
  std::unique_ptr<Cups> cups_;
};

}  // namespace ui
