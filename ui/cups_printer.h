// The print server (CUPS): the default printer's page, and a job streamed to
// it from memory. Every request is bounded by a time-out, so a print server
// that hangs can't freeze the window; every failure is said as it is.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

// What the default printer prints on: its media, the printable area on it,
// and the dot grid. Lengths in hundredths of a millimetre, as CUPS gives them.
struct PrinterPage {
  QString printer;  // the queue
  QString media;    // a standard size's name ("Letter", "A4"), else empty
  int width = 0;
  int length = 0;
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int dpi = 0;                   // the printer's own (default) resolution
  std::vector<int> resolutions;  // every resolution it offers, ascending
};

class PrintServer {
 public:
  static constexpr int kTimeoutMs = 3000;

  explicit PrintServer(int timeoutMs = kTimeoutMs);
  ~PrintServer();
  PrintServer(const PrintServer&) = delete;
  PrintServer& operator=(const PrintServer&) = delete;

  // The default printer's page; nullopt with Error() set when there is none
  // to print on (no server, no printer, no default, a paused printer, ...).
  std::optional<PrinterPage> DefaultPage();

  // Hands `pdf` to the printer of `page` as one job printed 1:1 at `dpi`.
  // Returns the empty text once the whole job is in, else what to tell the
  // user; a job that could not be handed over whole is cancelled.
  QString Submit(const PrinterPage& page, int dpi, const QByteArray& pdf, const QString& title);

  // Why the last request failed, for the user, ending in what became of the job.
  QString Error() const { return error_; }

 private:
  struct Cups;
  bool Connect();
  bool ReadMedia(PrinterPage& page);
  bool Lost() const;
  QString Why() const;
  QString Reason() const;
  void Fail(const QString& why, const QString& what = {});

  int timeoutMs_;
  std::unique_ptr<Cups> cups_;
  QString error_;
};

}  // namespace ui
