// What became of a job after the print system took it: what the user is told
// from the job's and its printer's own state, a plain function of what the
// print system says (CUPS's IPP attributes, or the Windows spooler's job and
// printer status said in the same terms).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// The job and its printer, as the print system said them last.
struct JobReport {
  enum class Job : std::uint8_t { kPending, kHeld, kProcessing, kStopped, kCanceled, kAborted, kCompleted, kGone };
  enum class Printer : std::uint8_t { kUnknown, kIdle, kProcessing, kStopped };
  // Who holds a held job.
  enum class HeldBy : std::uint8_t { kUnknown, kUserDefaults, kServer };

  Job job = Job::kPending;
  std::vector<std::string> jobReasons;  // IPP job-state-reasons keywords
  std::u16string jobMessage;            // job-printer-state-message
  HeldBy heldBy = HeldBy::kUnknown;
  std::u16string holdUntil;             // job-hold-until: "indefinite", "night", ...
  Printer printer = Printer::kUnknown;
  // IPP printer-state-reasons keywords, with their "-error", "-warning" or
  // "-report" as given: "media-empty-error", "cover-open", "none".
  std::vector<std::string> printerReasons;
  std::u16string printerMessage;        // printer-state-message
};

// How, on this platform, the user does what a message asks, each said after
// "in the system's print queue" or "printer settings": " (or with: lp -i
// Q-7 -H resume)", or empty.
struct JobHints {
  std::u16string release;  // a held job
  std::u16string restart;  // a job the print system stopped
  std::u16string resume;   // a paused printer
};

struct JobFate {
  bool done = false;           // its fate is known: following it can stop
  std::u16string text;         // what to tell the user; empty: nothing (it printed)
  bool canStillPrint = false;  // it may print later: the user may cancel it or leave it
};

// How long a job is followed before what keeps it is said, whatever it is.
inline constexpr int kFollowMs = 15000;

// The fate of job `job` on `printer` from what the print system said last;
// `timeUp` once it has been followed kFollowMs. Not done while the job may
// still print at once and nothing keeps it. A job the print service is done
// with, whose printer reports a fault, has reached a printer that keeps it
// (a printer application's label printer out of labels).
JobFate JudgeJob(std::u16string_view printer, long long job, const JobReport& report, bool timeUp,
                 const JobHints& hints);

// What a printer that keeps pages reports, in words, with its own message
// where it has one: "it is out of paper or labels (Ribbon out)"; empty when
// none of its reasons is a fault. Also for a press refused by a paused
// printer.
std::u16string PrinterFaults(const std::vector<std::string>& reasons, std::u16string_view message);

// Why a paused printer is paused, as it says: its state message (the reason
// given when it was paused, or the printer's own) and its faults in words,
// "out of labels; it is out of paper or labels".
std::u16string WhyPaused(std::u16string_view message, const std::vector<std::string>& reasons);

}  // namespace ui
