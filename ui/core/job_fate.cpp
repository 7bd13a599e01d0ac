// What became of a job, from what the print system says of it and of its printer.
#include "ui/core/job_fate.h"

#include <algorithm>
#include <array>

#include "ui/core/messages.h"
#include "ui/core/outside_text.h"
#include "ui/core/text.h"

namespace ui {
namespace {

// A reason keyword without its "-error", "-warning" or "-report", and which
// it had.
struct Reason {
  std::string_view base;
  std::string_view suffix;
};

Reason Split(std::string_view keyword) {
  for (const std::string_view suffix : {"-error", "-warning", "-report"})
    if (keyword.size() > suffix.size() && keyword.ends_with(suffix))
      return {keyword.substr(0, keyword.size() - suffix.size()), suffix};
  return {keyword, {}};
}

// What a printer's fault keeps it from, in words; the reasons that are
// no fault have none.
struct Fault {
  std::string_view base;
  std::u16string_view words;
};
constexpr std::array<Fault, 13> kFaults = {{
    {"media-empty", u"it is out of paper or labels"},
    {"media-needed", u"it is out of paper or labels"},
    {"media-jam", u"paper or labels are jammed in it"},
    {"cover-open", u"its cover or print head is open"},
    {"door-open", u"its cover or print head is open"},
    {"interlock-open", u"its cover or print head is open"},
    {"marker-supply-empty", u"it is out of ribbon, ink or toner"},
    {"toner-empty", u"it is out of ribbon, ink or toner"},
    {"marker-waste-full", u"its waste container is full"},
    {"offline", u"it is offline"},
    {"output-area-full", u"its output tray is full"},
    {"spool-area-full", u"the print server's spool area is full"},
    {"shutdown", u"it is shutting down"},
}};

// Reasons that say the printer is not reached: the print service keeps trying.
bool Unreached(std::string_view base) {
  return base == "connecting-to-device" || base == "timed-out" || base == "offline";
}

// The print service's own word that it cannot reach the printer (CUPS's
// backends: "The printer may not exist or is unavailable at this time.",
// "The printer is unreachable at this time.", "The printer is not
// responding.", "Unable to connect to printer..."). A network host that is
// busy is reached.
bool SaysUnreached(std::u16string_view message) {
  for (const std::u16string_view words :
       {u"unavailable", u"unreachable", u"may not exist", u"not responding", u"not connected",
        u"Unable to connect", u"unable to connect", u"Unable to locate"})
    if (message.find(words) != std::u16string_view::npos) return true;
  return false;
}

bool Has(const std::vector<std::string>& reasons, std::string_view base) {
  return std::any_of(reasons.begin(), reasons.end(),
                     [base](const std::string& r) { return Split(r).base == base; });
}

// A print service's progress message, which says nothing of a fault.
bool Progress(std::u16string_view message) {
  for (const std::u16string_view words :
       {u"Waiting for job to complete", u"Waiting for printer to finish", u"Sending data",
        u"Preparing to print", u"Printing page", u"Connecting to printer", u"Rendering"})
    if (message.find(words) != std::u16string_view::npos) return true;
  return false;
}

std::u16string Join(const std::vector<std::u16string>& parts) {
  std::u16string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += i + 1 == parts.size() ? u" and " : u", ";
    out += parts[i];
  }
  return out;
}

// Job reasons worth saying when the print service ends a job.
std::u16string JobReasonWords(const std::vector<std::string>& reasons) {
  struct Word {
    std::string_view keyword;
    std::u16string_view words;
  };
  static constexpr std::array<Word, 8> kWords = {{
      {"document-format-error", u"the printer could not read the page"},
      {"document-unprintable-error", u"the printer could not print the page"},
      {"aborted-by-system", u"the print service gave up on it"},
      {"job-canceled-by-user", u"someone canceled it"},
      {"job-canceled-by-operator", u"the print server's operator canceled it"},
      {"job-canceled-at-device", u"it was canceled at the printer"},
      {"job-password-wait", u"it waits for a password"},
      {"job-data-insufficient", u"its page did not arrive whole"},
  }};
  std::vector<std::u16string> said;
  for (const std::string& r : reasons)
    for (const Word& w : kWords)
      if (r == w.keyword) said.emplace_back(w.words);
  return Join(said);
}

std::u16string HeldBy(const JobReport& report) {
  const std::u16string until = report.holdUntil.empty() || report.holdUntil == u"no-hold"
                                   ? std::u16string()
                                   : u" (job-hold-until " + ShownName(report.holdUntil) + u")";
  switch (report.heldBy) {
    case JobReport::HeldBy::kUserDefaults:
      return u"the printing defaults of this user hold every job until it is released" + until;
    case JobReport::HeldBy::kServer:
      return u"the print server holds it, by its policy" + until;
    case JobReport::HeldBy::kUnknown:
      break;
  }
  return until.empty() ? std::u16string() : u"it is held" + until;
}

}  // namespace

std::u16string PrinterFaults(const std::vector<std::string>& reasons, std::u16string_view message) {
  std::vector<std::u16string> said;
  for (const std::string& r : reasons) {
    const Reason reason = Split(r);
    if (reason.suffix == "-report" || reason.suffix == "-warning") continue;
    std::u16string words;
    for (const Fault& f : kFaults)
      if (reason.base == f.base) words = f.words;
    // Another fault the printer calls an error is said by its own name.
    if (words.empty() && reason.suffix == "-error")
      words = u"it reports \"" + ShownName(FromUtf8(reason.base)) + u"\"";
    if (!words.empty() && std::find(said.begin(), said.end(), words) == said.end())
      said.push_back(words);
  }
  if (said.empty()) return {};
  std::u16string text = Join(said);
  if (!message.empty() && !Progress(message)) text += u" (" + ShownMessage(message) + u")";
  return text;
}

std::u16string WhyPaused(std::u16string_view message, const std::vector<std::string>& reasons) {
  std::u16string said = ShownMessage(message);
  const std::u16string faults = PrinterFaults(reasons, u"");
  if (!faults.empty()) said += (said.empty() ? u"" : u"; ") + faults;
  return said;
}

JobFate JudgeJob(std::u16string_view printer, long long job, const JobReport& report, bool timeUp,
                 const JobHints& hints) {
  using J = JobReport::Job;
  JobFate fate;
  switch (report.job) {
    case J::kCompleted:
    case J::kGone: {
      fate.done = true;
      // Handed to the printer itself, which reports a fault: it keeps the
      // page. Else it printed: nothing to say.
      const std::u16string faults = PrinterFaults(report.printerReasons, report.printerMessage);
      if (!faults.empty()) fate.text = PrinterHoldsPage(printer, faults);
      return fate;
    }
    case J::kCanceled:
    case J::kAborted: {
      std::u16string why = JobReasonWords(report.jobReasons);
      const std::u16string& message = !report.jobMessage.empty() ? report.jobMessage : report.printerMessage;
      if (!message.empty() && !Progress(message))
        why += (why.empty() ? u"" : u" (") + ShownMessage(message) + (why.empty() ? u"" : u")");
      fate.done = true;
      fate.text = JobNotPrinted(printer, report.job == J::kCanceled, why);
      return fate;
    }
    case J::kHeld:
      fate.done = true;
      fate.canStillPrint = true;
      fate.text = JobHeld(printer, job, HeldBy(report), hints.release);
      return fate;
    case J::kStopped: {
      std::u16string why = PrinterFaults(report.printerReasons, report.printerMessage);
      if (why.empty())
        why = ShownMessage(!report.jobMessage.empty() ? report.jobMessage : report.printerMessage);
      fate.done = true;
      fate.canStillPrint = true;
      fate.text = JobStopped(printer, job, why, hints.restart);
      return fate;
    }
    case J::kPending:
    case J::kProcessing:
      break;
  }
  // Waiting or printing: is something keeping it?
  fate.canStillPrint = true;
  const std::u16string faults = PrinterFaults(report.printerReasons, report.printerMessage);
  if (!faults.empty()) {
    fate.done = true;
    fate.text = PrinterKeepsJob(printer, faults);
    return fate;
  }
  if (report.printer == JobReport::Printer::kStopped) {
    fate.done = true;
    std::u16string why = ShownMessage(report.printerMessage);
    if (why.empty() && !Has(report.printerReasons, "paused"))
      for (const std::string& r : report.printerReasons)
        if (r != "none") why += (why.empty() ? u"" : u", ") + ShownName(FromUtf8(r));
    fate.text = PrinterPausedWithJob(printer, why, hints.resume);
    return fate;
  }
  const std::u16string& message = !report.jobMessage.empty() ? report.jobMessage : report.printerMessage;
  const bool unreached = SaysUnreached(message) ||
                         std::any_of(report.printerReasons.begin(), report.printerReasons.end(),
                                     [](const std::string& r) { return Unreached(Split(r).base); });
  if (SaysUnreached(message) || (timeUp && unreached)) {  // the print service keeps trying
    fate.done = true;
    fate.text = PrinterDoesNotAnswerJob(printer);
    return fate;
  }
  if (timeUp) {
    fate.done = true;
    fate.text = JobNotYetPrinted(printer, kFollowMs / 1000, report.job == J::kPending,
                                 Progress(message) ? u"" : message);
    return fate;
  }
  fate.canStillPrint = false;  // nothing to say yet
  return fate;
}

}  // namespace ui
