// The default printer through the Windows spooler, and a job through GDI.
#include "ui/windows/spooler/spooler_printing.h"

#include <winspool.h>

#include <cmath>

#include "ui/core/layout.h"
#include "ui/core/messages.h"
#include "ui/core/outside_text.h"
#include "ui/core/text.h"
#include "ui/windows/win32/gdi_surface.h"
#include "ui/windows/win32/wide.h"

namespace ui {
namespace {

constexpr std::u16string_view kSpooler = u"The print spooler";

std::u16string ThePrinter(std::u16string_view name) { return u"The printer " + Quoted(name); }

int Hmm(int dots, int dpi) {
  return dpi > 0 ? static_cast<int>(std::lround(dots * 2540.0 / dpi)) : 0;
}

DEVMODEW* Mode(std::vector<BYTE>& bytes) {
  return bytes.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(bytes.data());
}

// The printer's state in words, where it says one that keeps it from printing.
std::u16string StatusWords(DWORD status) {
  struct Bit {
    DWORD bit;
    std::u16string_view words;
  };
  static constexpr Bit kBits[] = {
      {PRINTER_STATUS_PAPER_OUT, u"out of paper or labels"},
      {PRINTER_STATUS_PAPER_JAM, u"paper jam"},
      {PRINTER_STATUS_PAPER_PROBLEM, u"a paper problem"},
      {PRINTER_STATUS_DOOR_OPEN, u"a door or cover is open"},
      {PRINTER_STATUS_NO_TONER, u"out of toner or ribbon"},
      {PRINTER_STATUS_OFFLINE, u"offline"},
      {PRINTER_STATUS_ERROR, u"in an error state"},
      {PRINTER_STATUS_USER_INTERVENTION, u"it needs attention"},
      {PRINTER_STATUS_NOT_AVAILABLE, u"not available"},
  };
  std::u16string words;
  for (const Bit& b : kBits)
    if (status & b.bit) words += (words.empty() ? u"" : u", ") + std::u16string(b.words);
  return words;
}

// One job on the printer's page: a device context made from the printer's
// DEVMODE (turned through its orientation), drawn in the printer's dots from
// the DC's origin, the corner of the printable area. Nothing reaches the
// spooler before the first output, and a job that fails is aborted.
class GdiPrinterSurface final : public PrinterSurface {
 public:
  GdiPrinterSurface(Watch& watch, const SpoolerCalls& calls, std::wstring printer,
                    std::vector<BYTE> devmode, const PrinterPage& page, bool turned)
      : watch_(watch), calls_(calls), printer_(std::move(printer)), devmode_(std::move(devmode)),
        page_(page), turned_(turned) {}
  ~GdiPrinterSurface() override {
    if (started_ && !ended_) calls_.abortDoc(dc_);
    surface_.reset();
    if (dc_) DeleteDC(dc_);
  }

  int Width() const override {
    if (surface_) return surface_->Width();
    return turned_ ? page_.PrintableHeight() : page_.PrintableWidth();
  }
  int Height() const override {
    if (surface_) return surface_->Height();
    return turned_ ? page_.PrintableWidth() : page_.PrintableHeight();
  }
  void FillColor(int colour) override {
    if (auto* p = Page()) p->FillColor(colour);
  }
  void FillStyle(int style) override {
    if (auto* p = Page()) p->FillStyle(style);
  }
  void Line(int flags, float x1, float y1, float x2, float y2, int colour) override {
    if (auto* p = Page()) p->Line(flags, x1, y1, x2, y2, colour);
  }
  void DrawWidth(int pixels) override {
    if (auto* p = Page()) p->DrawWidth(pixels);
  }
  void CurrentX(float x) override {
    if (auto* p = Page()) p->CurrentX(x);
  }
  void CurrentY(float y) override {
    if (auto* p = Page()) p->CurrentY(y);
  }
  void Print(std::u16string_view text) override {
    if (auto* p = Page()) p->Print(text);
  }
  void Font(std::u16string_view name, int points, bool bold) override {
    if (auto* p = Page()) p->Font(name, points, bold);
  }

  void PrintQuality(int quality) override {
    // Set before the page begins. A default that names a resolution in dots
    // per inch is the printer's own dot grid and stays; one of the draft,
    // low or medium settings gives way to the quality asked for.
    DEVMODEW* mode = Mode(devmode_);
    if (dc_ || !mode || quality >= 0) return;
    if ((mode->dmFields & DM_PRINTQUALITY) && mode->dmPrintQuality < 0 &&
        mode->dmPrintQuality > quality) {
      mode->dmPrintQuality = static_cast<short>(quality);
    }
  }

  void EndDoc() override {
    if (!Page()) return;  // failed: the caller aborts
    if (watch_.GivenUp()) return Fail({});
    watch_.Asking(ThePrinter(Std16(printer_)), true);
    const bool ok = calls_.endPage(dc_) > 0 && calls_.endDoc(dc_) > 0;
    const DWORD why = GetLastError();
    watch_.Answered();
    ended_ = ok;
    if (!ok) Fail(PageNotAccepted(Std16(printer_), SystemReason(why)));
  }
  bool Failed() const override { return failed_ || (surface_ && !surface_->Ok()); }
  void Abort() override {
    if (started_ && !ended_) calls_.abortDoc(dc_);
    ended_ = true;
  }
  std::u16string ErrorText() const override {
    if (failed_ || !surface_ || surface_->Ok()) return error_;
    return PageNotAccepted(Std16(printer_), u"it stopped taking the page");
  }

 private:
  void Fail(std::u16string_view why) {
    if (!failed_) error_ = NothingPrinted(why);
    failed_ = true;
  }

  GdiSurface* Page() {
    if (failed_ || ended_) return nullptr;
    if (surface_) return &*surface_;
    if (watch_.GivenUp()) {
      Fail({});
      return nullptr;
    }
    DEVMODEW* mode = Mode(devmode_);
    if (mode && turned_) {
      // A quarter turn from the printer's default orientation.
      const bool landscape = (mode->dmFields & DM_ORIENTATION) &&
                             mode->dmOrientation == DMORIENT_LANDSCAPE;
      mode->dmOrientation = landscape ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
      mode->dmFields |= DM_ORIENTATION;
    }
    const std::u16string name = Std16(printer_);
    watch_.Asking(ThePrinter(name));
    dc_ = calls_.createDC(L"WINSPOOL", printer_.c_str(), nullptr, mode);
    if (!dc_) {
      const DWORD why = GetLastError();
      watch_.Answered();
      Fail(PageNotPrepared(name) + (why ? u" " + Sentence(SystemReason(why)) : u""));
      return nullptr;
    }
    if (watch_.GivenUp()) {  // the user was told that nothing was printed: no job
      watch_.Answered();
      Fail({});
      return nullptr;
    }
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = L"Barcodes";
    const int job = calls_.startDoc(dc_, &doc);
    const DWORD why = GetLastError();
    if (job > 0) {
      started_ = true;
      watch_.Job(job);
    }
    const bool page = job > 0 && calls_.startPage(dc_) > 0;
    watch_.Answered();
    if (!page) {
      Fail(PageNotAccepted(name, SystemReason(job > 0 ? GetLastError() : why)));
      return nullptr;
    }
    // The DC's origin is the printable area's corner; its units are dots.
    const DeviceCaps caps = calls_.caps(dc_);
    surface_.emplace(dc_, caps.dpiX, caps.dpiY, 0, 0, caps.printableWidth, caps.printableHeight,
                     GdiSurface::Boxes::kOnDotGrid);
    return &*surface_;
  }

  Watch& watch_;
  SpoolerCalls calls_;
  std::wstring printer_;
  std::vector<BYTE> devmode_;
  PrinterPage page_;
  bool turned_;
  HDC dc_ = nullptr;
  std::optional<GdiSurface> surface_;
  bool started_ = false;
  bool ended_ = false;
  bool failed_ = false;
  std::u16string error_;
};

}  // namespace

void Watch::Asking(std::u16string who, bool handing) {
  const std::lock_guard lock(mutex_);
  since_ = Clock::now();
  who_ = std::move(who);
  handing_ = handing;
}

void Watch::Answered() {
  const std::lock_guard lock(mutex_);
  since_.reset();
}

std::optional<Watch::Waiting> Watch::Current() const {
  const std::lock_guard lock(mutex_);
  if (!since_) return std::nullopt;
  return Waiting{Clock::now() - *since_, who_, handing_};
}

void Watch::Printer(std::u16string name) {
  const std::lock_guard lock(mutex_);
  printer_ = std::move(name);
}

std::u16string Watch::Printer() const {
  const std::lock_guard lock(mutex_);
  return printer_;
}

std::u16string SystemReason(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string reason = n && text ? Std16(std::wstring_view(text, n)) : std::u16string();
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == u'\n' || reason.back() == u'\r' || reason.back() == u' '))
    reason.pop_back();
  return reason.empty() ? u"error " + Number(static_cast<long long>(code)) : ShownMessage(reason);
}

JobReport ReportOf(DWORD jobStatus, std::u16string_view jobStatusText, DWORD printerStatus) {
  JobReport r;
  using J = JobReport::Job;
  if (jobStatus & (JOB_STATUS_PRINTED | JOB_STATUS_COMPLETE))
    r.job = J::kCompleted;
  else if (jobStatus & (JOB_STATUS_DELETED | JOB_STATUS_DELETING))
    r.job = J::kCanceled;
  else if (jobStatus & JOB_STATUS_PAUSED)
    r.job = J::kHeld;
  else if (jobStatus & (JOB_STATUS_ERROR | JOB_STATUS_BLOCKED_DEVQ))
    r.job = J::kStopped;
  else if (jobStatus & (JOB_STATUS_PRINTING | JOB_STATUS_SPOOLING))
    r.job = J::kProcessing;
  else
    r.job = J::kPending;
  r.jobMessage = jobStatusText;
  if (r.job == J::kHeld) r.heldBy = JobReport::HeldBy::kUnknown;
  // What a job's status says of its printer counts as the printer's.
  DWORD printer = printerStatus;
  if (jobStatus & JOB_STATUS_PAPEROUT) printer |= PRINTER_STATUS_PAPER_OUT;
  if (jobStatus & JOB_STATUS_OFFLINE) printer |= PRINTER_STATUS_OFFLINE;
  if (jobStatus & JOB_STATUS_USER_INTERVENTION) printer |= PRINTER_STATUS_USER_INTERVENTION;
  struct Bit {
    DWORD bit;
    const char* reason;
  };
  static constexpr Bit kReasons[] = {
      {PRINTER_STATUS_PAPER_OUT, "media-empty-error"},
      {PRINTER_STATUS_PAPER_JAM, "media-jam-error"},
      {PRINTER_STATUS_DOOR_OPEN, "door-open-error"},
      {PRINTER_STATUS_NO_TONER, "marker-supply-empty-error"},
      {PRINTER_STATUS_OUTPUT_BIN_FULL, "output-area-full-error"},
      {PRINTER_STATUS_OFFLINE, "offline-error"},
      {PRINTER_STATUS_NOT_AVAILABLE, "timed-out"},
      {PRINTER_STATUS_SERVER_UNKNOWN, "timed-out"},
      {PRINTER_STATUS_USER_INTERVENTION, "user-intervention-error"},
      {PRINTER_STATUS_PAPER_PROBLEM, "media-problem-error"},
      {PRINTER_STATUS_ERROR, "other-error"},
  };
  for (const Bit& b : kReasons)
    if (printer & b.bit) r.printerReasons.emplace_back(b.reason);
  r.printer = (printer & PRINTER_STATUS_PAUSED)                               ? JobReport::Printer::kStopped
              : (printer & (PRINTER_STATUS_PRINTING | PRINTER_STATUS_BUSY))   ? JobReport::Printer::kProcessing
                                                                              : JobReport::Printer::kIdle;
  return r;
}

std::optional<JobReport> AskJob(HANDLE printer, int job, std::u16string& why, const SpoolerCalls& calls) {
  DWORD needed = 0;
  calls.getJob(printer, static_cast<DWORD>(job), 2, nullptr, 0, &needed);
  std::vector<BYTE> info(needed);
  if (needed == 0) {
    // The spooler keeps a job until it has printed (or is deleted): one it
    // no longer knows is gone. (Windows says ERROR_INVALID_PARAMETER; wine,
    // which hands every job to CUPS at its end and forgets it, says others.)
    JobReport gone;
    gone.job = JobReport::Job::kGone;
    return gone;
  }
  if (!calls.getJob(printer, static_cast<DWORD>(job), 2, info.data(), needed, &needed)) {
    why = SystemReason(GetLastError());
    return std::nullopt;
  }
  const auto* j = reinterpret_cast<const JOB_INFO_2W*>(info.data());
  const std::u16string text = j->pStatus ? Std16(j->pStatus) : std::u16string();
  const DWORD jobStatus = j->Status;
  needed = 0;
  calls.getPrinter(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> p(needed);
  const DWORD printerStatus =
      needed > 0 && calls.getPrinter(printer, 2, p.data(), needed, &needed)
          ? reinterpret_cast<const PRINTER_INFO_2W*>(p.data())->Status
          : 0;
  return ReportOf(jobStatus, text, printerStatus);
}

DeviceCaps CapsOf(HDC dc) {
  DeviceCaps c;
  c.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
  c.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  c.physicalWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
  c.physicalHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
  c.offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
  c.offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
  c.printableWidth = GetDeviceCaps(dc, HORZRES);
  c.printableHeight = GetDeviceCaps(dc, VERTRES);
  return c;
}

PrinterPage PageOf(const DeviceCaps& c) {
  PrinterPage page;
  page.width = Hmm(c.physicalWidth, c.dpiX);
  page.length = Hmm(c.physicalHeight, c.dpiY);
  page.left = Hmm(c.offsetX, c.dpiX);
  page.top = Hmm(c.offsetY, c.dpiY);
  page.right = Hmm(c.physicalWidth - c.printableWidth - c.offsetX, c.dpiX);
  page.bottom = Hmm(c.physicalHeight - c.printableHeight - c.offsetY, c.dpiY);
  page.dpi = c.dpiX;
  return page;
}

SpoolerPrinting::SpoolerPrinting(Watch& watch, const SpoolerCalls& calls)
    : watch_(watch), calls_(calls) {
  measure_ = CreateCompatibleDC(nullptr);
  font_ = SurfaceFont(Ascii(kFontName), true, kFontPoints * 20);  // 20 twips a point
  if (measure_ && font_) oldFont_ = SelectObject(measure_, font_);
}

SpoolerPrinting::~SpoolerPrinting() {
  if (oldFont_) SelectObject(measure_, oldFont_);
  if (font_) DeleteObject(font_);
  if (measure_) DeleteDC(measure_);
}

void SpoolerPrinting::Fail(std::u16string_view why) { error_ = NothingPrinted(why); }

int SpoolerPrinting::TextWidth(std::u16string_view text) const {
  const std::wstring wide = Wide(text);
  SIZE size{};
  GetTextExtentPoint32W(measure_, wide.data(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

int SpoolerPrinting::TextHeight() const {
  TEXTMETRICW metrics{};
  GetTextMetricsW(measure_, &metrics);
  return metrics.tmHeight;
}

std::optional<PrinterPage> SpoolerPrinting::DefaultPage() {
  // The default printer, or the printers there are.
  watch_.Asking(std::u16string(kSpooler));
  DWORD size = 0;
  calls_.defaultPrinter(nullptr, &size);
  DWORD why = GetLastError();
  std::wstring name(size, L'\0');
  const bool found = size > 0 && calls_.defaultPrinter(name.data(), &size);
  if (found) {
    name.resize(size > 0 ? size - 1 : 0);
  } else if (size > 0) {
    why = GetLastError();
  }
  if (!found) {
    DWORD bytes = 0;
    DWORD count = 0;
    const DWORD which = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    calls_.enumPrinters(which, nullptr, 4, nullptr, 0, &bytes, &count);
    std::vector<BYTE> list(bytes);
    const bool listed = bytes == 0 || calls_.enumPrinters(which, nullptr, 4, list.data(), bytes, &bytes, &count);
    const DWORD listWhy = GetLastError();
    watch_.Answered();
    std::vector<std::u16string> names;
    if (listed && bytes > 0)
      for (DWORD i = 0; i < count; ++i)
        names.push_back(Std16(reinterpret_cast<PRINTER_INFO_4W*>(list.data())[i].pPrinterName));
    if (!listed)
      Fail(PrintersNotListed(Sentence(SystemReason(listWhy))));
    else if (names.empty())
      Fail(NoPrinterSetUp());
    else if (why == ERROR_FILE_NOT_FOUND)
      Fail(NoDefaultPrinter(names, u""));
    else
      Fail(PrintersNotListed(Sentence(SystemReason(why))));
    return std::nullopt;
  }
  printer_ = name;
  const std::u16string printer = Std16(name);
  watch_.Printer(printer);

  watch_.Asking(ThePrinter(printer));
  HANDLE handle = nullptr;
  if (!calls_.openPrinter(printer_.data(), &handle, nullptr)) {
    why = GetLastError();
    watch_.Answered();
    Fail(PrinterCannotBeOpened(printer, SystemReason(why)));
    return std::nullopt;
  }
  // Paused, or a fault that keeps it from printing.
  DWORD needed = 0;
  calls_.getPrinter(handle, 2, nullptr, 0, &needed);
  std::vector<BYTE> info(needed);
  const bool asked = needed > 0 && calls_.getPrinter(handle, 2, info.data(), needed, &needed);
  const DWORD status = asked ? reinterpret_cast<PRINTER_INFO_2W*>(info.data())->Status : 0;
  // Its default DEVMODE: the media and the resolution it prints at.
  const LONG modeSize = calls_.documentProperties(nullptr, handle, printer_.data(), nullptr, nullptr, 0);
  devmode_.assign(modeSize > 0 ? static_cast<std::size_t>(modeSize) : 0, 0);
  const bool moded = modeSize > 0 && calls_.documentProperties(nullptr, handle, printer_.data(), Mode(devmode_),
                                                         nullptr, DM_OUT_BUFFER) == IDOK;
  why = GetLastError();
  calls_.closePrinter(handle);
  watch_.Answered();
  if (status & PRINTER_STATUS_PAUSED) {
    Fail(PrinterPaused(printer, StatusWords(status), u""));
    return std::nullopt;
  }
  if (!moded) {
    Fail(PrinterDidNotSayMedia(printer, SystemReason(why)));
    return std::nullopt;
  }

  // What its device context says of the page.
  watch_.Asking(ThePrinter(printer));
  HDC dc = calls_.createIC(L"WINSPOOL", printer_.c_str(), nullptr, Mode(devmode_));
  why = GetLastError();
  const DeviceCaps caps = dc ? calls_.caps(dc) : DeviceCaps{};
  if (dc) DeleteDC(dc);
  watch_.Answered();
  if (!dc || caps.dpiX <= 0 || caps.physicalWidth <= 0 || caps.printableWidth <= 0) {
    Fail(PrinterDidNotSayMedia(printer, dc ? u"its page has no size" : SystemReason(why)));
    return std::nullopt;
  }
  PrinterPage page = PageOf(caps);
  page.printer = printer;
  // A standard size by its everyday name ("Letter", "A4"); labels go by
  // their size alone.
  const DEVMODEW* mode = Mode(devmode_);
  if ((mode->dmFields & DM_FORMNAME) && (mode->dmFields & DM_PAPERSIZE) && mode->dmPaperSize > 0 &&
      mode->dmPaperSize < DMPAPER_USER)
    page.media = Std16(std::wstring_view(mode->dmFormName, wcsnlen(mode->dmFormName, CCHFORMNAME)));
  return page;
}

std::unique_ptr<PrinterSurface> SpoolerPrinting::Job(const PrinterPage& page, bool turned) {
  return std::make_unique<GdiPrinterSurface>(watch_, calls_, printer_, devmode_, page, turned);
}

}  // namespace ui
