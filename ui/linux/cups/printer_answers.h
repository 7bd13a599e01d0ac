// What printers and print servers answer, read from their IPP messages as
// libcups decodes them (ipp_t): a printer's resolutions, its default media
// and margins, a pool's members, a job's and a printer's state, reasons
// and messages; and what the user's own defaults ask for. Nothing here
// talks to a print server (cups_printer.cpp does), so that any answer at
// all can be fed to these readers, as the fuzz target does. Other machines
// on the network choose these answers: every value that may reach the page
// is checked here, and every text is said in the core's safe form.
#pragma once

#include <cups/cups.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/core/job_fate.h"

namespace ui {

// The resolutions a page is laid out at, in dots per inch.
inline constexpr int kLeastDpi = 50;
inline constexpr int kMostDpi = 9600;
// The largest media either way, in hundredths of a millimetre (10 m).
inline constexpr int kLongestMedia = 1'000'000;

// Dots per inch from `x` dots per inch, or per centimetre; 0 for what no
// printer has, which is no resolution to lay a page out on.
int Dpi(long long x, bool perCm);
// "300dpi", "300x300dpi" or "118dpcm", as lpoptions and PPDs write them.
int Dpi(const char* text);

// A media size by any of its names: PWG ("na_index-4x6_4x6in"), a PPD's
// ("4x6", "Letter", "w288h432": points) or the legacy IPP one; null for
// none, for a size no media has, and for the ends of a range of sizes
// ("custom_max_4x6in", "roll_min_1x1in").
const pwg_media_t* MediaNamed(const std::string& name);

// A media that a printer can have: larger than nothing and at most
// kLongestMedia either way, its margins at least 0 and leaving some of it.
bool Sane(const cups_size_t& media);
// Names of the same size round it differently: within a millimetre.
bool SameSize(const cups_size_t& media, int width, int length);

// What the user's own defaults for a printer ask for: its destination's
// options ("media", "PageSize", "printer-resolution", "Resolution"), from
// lpoptions or the printer instance chosen as the default.
struct Wanted {
  int width = 0;  // the media's size, when they name one
  int length = 0;
  std::vector<std::string> rest;  // what else "media" names: a tray, a type
  int dpi = 0;
};
Wanted WantedOf(int count, cups_option_t* options);

// The attributes ReadPage reads, to ask a printer for.
inline constexpr const char* kPageAttributes[] = {"printer-resolution-supported",
                                                  "printer-resolution-default", "media-col-default"};

// What a printer's attributes say of its page.
struct PageSaid {
  std::vector<int> resolutions;      // every plausible one it offers, ascending, each once
  int dpi = 0;                       // the one to print at, or 0: none plausible is said
  std::optional<cups_size_t> media;  // its default media and margins, when it says them
  // What it said of its page that no printer has, in words (the reason it
  // did not say what it prints on); empty when it said nothing such.
  std::u16string impossible;
};
// The page `printer` (a Get-Printer-Attributes answer) says: its
// resolutions and default media (media-col-default). The resolution is
// `wantedDpi` where it offers that (or says none), else its default. With
// `ownMedia` (the job goes out on the user's own media, as lp sends it), a
// default media that no printer has is left out, not held against it.
PageSaid ReadPage(ipp_t* printer, int wantedDpi, bool ownMedia = false);

// A pool's printers (member-names), each named once.
std::vector<std::string> MemberNames(ipp_t* pool);

// Why a paused printer is paused, as it says in its answer
// (printer-state-message, printer-state-reasons).
std::u16string ReadWhyPaused(ipp_t* printer);

// A job's state, reasons and message (a Get-Job-Attributes answer) and the
// printer's that has it (Get-Printer-Attributes), into `report`.
void ReadJob(ipp_t* job, JobReport& report);
void ReadPrinterState(ipp_t* printer, JobReport& report);
// The printer that has the job (job-printer-uri: for a pool, the member),
// or empty.
std::string JobPrinterUri(ipp_t* job);

}  // namespace ui
