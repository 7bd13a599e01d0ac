// Printing on Windows: the default printer through the spooler, its page
// from its default DEVMODE and its device context, and a job drawn through
// GDI in the printer's own dots. Every step says, before it asks the
// spooler or the printer, who is being asked (Watch), so that the window
// can tell the user within the time-out when one does not answer.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/core/job_fate.h"
#include "ui/core/print_job.h"

namespace ui {

// What one press is doing, as the window's thread sees it while the press
// runs on a thread of its own.
class Watch {
 public:
  using Clock = std::chrono::steady_clock;

  // A call that may block begins: `who` is asked ("The printer \"Q\""); with
  // `handing`, the page is being handed over, so it may print even if the
  // call never returns.
  void Asking(std::u16string who, bool handing = false);
  // The call returned.
  void Answered();
  // How long the current call has waited, and who it asks; nullopt while
  // none waits.
  struct Waiting {
    Clock::duration waited;
    std::u16string who;
    bool handing;
  };
  std::optional<Waiting> Current() const;

  // The window gave up on the press: what is left of it is dropped.
  void GiveUp() { givenUp_ = true; }
  bool GivenUp() const { return givenUp_; }

  // The printer and the job, once known (for what the window says).
  void Printer(std::u16string name);
  std::u16string Printer() const;
  void Job(int id) { job_ = id; }
  int Job() const { return job_; }

 private:
  mutable std::mutex mutex_;
  std::optional<Clock::time_point> since_;
  std::u16string who_;
  bool handing_ = false;
  std::u16string printer_;
  std::atomic<bool> givenUp_ = false;
  std::atomic<int> job_ = 0;
};

// The spooler's reason for error `code`, in the system's own words
// (FormatMessage), e.g. "The printer name is invalid.", made safe to show;
// "error N" where the system has none.
std::u16string SystemReason(DWORD code);

// The page of a printer's DC in hundredths of a millimetre, from what the
// DC says (GetDeviceCaps): its physical size, the offset of the printable
// area, the printable size and the resolution.
struct DeviceCaps {
  int dpiX = 0, dpiY = 0;
  int physicalWidth = 0, physicalHeight = 0;  // dots
  int offsetX = 0, offsetY = 0;               // dots
  int printableWidth = 0, printableHeight = 0;
};
DeviceCaps CapsOf(HDC dc);
PrinterPage PageOf(const DeviceCaps& caps);

// The spooler and printer-DC calls printing makes: the system's own, unless
// a test puts in ones that answer as it chooses (refuse, fail, never return).
struct SpoolerCalls {
  decltype(&::GetDefaultPrinterW) defaultPrinter = ::GetDefaultPrinterW;
  decltype(&::EnumPrintersW) enumPrinters = ::EnumPrintersW;
  decltype(&::OpenPrinterW) openPrinter = ::OpenPrinterW;
  decltype(&::GetPrinterW) getPrinter = ::GetPrinterW;
  decltype(&::DocumentPropertiesW) documentProperties = ::DocumentPropertiesW;
  decltype(&::ClosePrinter) closePrinter = ::ClosePrinter;
  decltype(&::GetJobW) getJob = ::GetJobW;
  decltype(&::SetJobW) setJob = ::SetJobW;
  decltype(&::CreateICW) createIC = ::CreateICW;
  decltype(&::CreateDCW) createDC = ::CreateDCW;
  DeviceCaps (*caps)(HDC) = CapsOf;
  decltype(&::StartDocW) startDoc = ::StartDocW;
  decltype(&::StartPage) startPage = ::StartPage;
  decltype(&::EndPage) endPage = ::EndPage;
  decltype(&::EndDoc) endDoc = ::EndDoc;
  decltype(&::AbortDoc) abortDoc = ::AbortDoc;
};

// The default printer through the spooler.
class SpoolerPrinting final : public PrintSystem {
 public:
  explicit SpoolerPrinting(Watch& watch, const SpoolerCalls& calls = {});
  ~SpoolerPrinting() override;
  SpoolerPrinting(const SpoolerPrinting&) = delete;
  SpoolerPrinting& operator=(const SpoolerPrinting&) = delete;

  std::optional<PrinterPage> DefaultPage() override;
  std::u16string Error() const override { return error_; }
  std::unique_ptr<PrinterSurface> Job(const PrinterPage& page, bool turned) override;
  int TextWidth(std::u16string_view text) const override;
  int TextHeight() const override;

 private:
  void Fail(std::u16string_view why);

  Watch& watch_;
  SpoolerCalls calls_;
  std::wstring printer_;
  std::vector<BYTE> devmode_;  // the printer's default DEVMODE, with its driver's part
  std::u16string error_;
  HDC measure_ = nullptr;  // the page's font at a pixel a twip, to measure texts
  HFONT font_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
};

// A job and its printer as the spooler says them (JOB_INFO_2's Status and
// pStatus, PRINTER_INFO_2's Status), in the terms the core judges: the
// printer's status bits as IPP's printer-state-reasons.
JobReport ReportOf(DWORD jobStatus, std::u16string_view jobStatusText, DWORD printerStatus);

// Asks the spooler about job `job` on `printer` (an open handle): nullopt
// with `why` when it could not say; a job the spooler no longer has is gone
// (printed).
std::optional<JobReport> AskJob(HANDLE printer, int job, std::u16string& why,
                                const SpoolerCalls& calls = {});

}  // namespace ui
