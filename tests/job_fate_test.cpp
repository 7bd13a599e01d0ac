// What the user is told of a job after the print system took it, from the
// job's and the printer's state as CUPS and LPrint report them (the states
// seen on a real print server for each kind of printer that does not print),
// and the texts from outside the program in the messages that carry them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format_characters.h"
#include "ui/core/job_fate.h"
#include "ui/core/messages.h"
#include "ui/core/outside_text.h"
#include "ui/core/text.h"

using ui::JobReport;

namespace {

JobReport Report(JobReport::Job job, std::vector<std::string> jobReasons, const char16_t* jobMessage,
                 JobReport::Printer printer, std::vector<std::string> printerReasons,
                 const char16_t* printerMessage) {
  JobReport r;
  r.job = job;
  r.jobReasons = std::move(jobReasons);
  r.jobMessage = jobMessage;
  r.printer = printer;
  r.printerReasons = std::move(printerReasons);
  r.printerMessage = printerMessage;
  return r;
}

}  // namespace

TEST(JudgeJob, Table) {
  using J = JobReport::Job;
  using P = JobReport::Printer;
  const char16_t* kUnavailable = u"The printer may not exist or is unavailable at this time.";
  JobReport held = Report(J::kHeld, {"job-hold-until-specified"}, u"", P::kIdle, {"none"}, u"");
  held.holdUntil = u"indefinite";
  held.heldBy = JobReport::HeldBy::kUserDefaults;
  JobReport policy = held;
  policy.heldBy = JobReport::HeldBy::kServer;
  policy.holdUntil = u"night";
  struct Case {
    const char* what;
    JobReport report;
    bool timeUp;
    bool done, canStillPrint;
    std::vector<std::string> says;  // each in the text; none: nothing is said
  };
  const std::vector<Case> cases = {
      {"printed", Report(J::kCompleted, {"job-completed-successfully"}, u"", P::kIdle, {"none"}, u""),
       false, true, false, {}},
      {"gone from the queue (printed)", Report(J::kGone, {}, u"", P::kUnknown, {}, u""), false, true,
       false, {}},
      {"still printing, within the time", Report(J::kProcessing, {"job-printing"}, u"", P::kProcessing,
                                                 {"none"}, u"Printing page 1"), false, false, false, {}},
      {"waiting, within the time", Report(J::kPending, {"none"}, u"", P::kProcessing, {"none"}, u""),
       false, false, false, {}},
      // A network label printer that is switched off: CUPS's socket backend retries.
      {"switched off", Report(J::kProcessing, {"job-printing"}, kUnavailable, P::kProcessing, {"none"},
                              kUnavailable),
       false, true, true,
       {"The printer \"Q\" does not answer: is it switched off, unplugged or off the network? The "
        "page waits in its queue and prints when the printer answers. Cancel the job, or leave it"}},
      {"still connecting when the time is up",
       Report(J::kProcessing, {"job-printing"}, u"", P::kProcessing, {"connecting-to-device"}, u""),
       true, true, true, {"does not answer: is it switched off"}},
      {"connecting within the time: not yet said",
       Report(J::kProcessing, {"job-printing"}, u"", P::kProcessing, {"connecting-to-device"}, u""),
       false, false, false, {}},
      // A device that fails: the scheduler stops the job and gives no reason.
      {"stopped by the server", Report(J::kStopped, {"job-printing"}, u"", P::kIdle, {"none"}, u""),
       false, true, true,
       {"The print service stopped the page for the printer \"Q\" (job 7) after an error (it gave "
        "no reason).", "restart the job in the system's print queue (or with: R) and it prints"}},
      {"stopped with the printer's reason",
       Report(J::kStopped, {"job-stopped"}, u"", P::kStopped, {"paused"}, u"Unable to open device"),
       false, true, true, {"after an error: Unable to open device."}},
      {"held by the user's defaults", held, false, true, true,
       {"The page waits, held, in the queue of the printer \"Q\" (job 7): the printing defaults of "
        "this user hold every job until it is released (job-hold-until indefinite). It prints once "
        "it is released in the system's print queue (or with: L).",
        "Cancel the job, or leave it to print when the printer is ready."}},
      {"held by the server", policy, false, true, true,
       {"the print server holds it, by its policy (job-hold-until night)"}},
      // LPrint's label printer that reports media out, behind a driverless queue.
      {"out of labels", Report(J::kProcessing, {"job-printing"}, u"", P::kProcessing,
                               {"media-empty", "cups-waiting-for-job-completed"},
                               u"Waiting for job to complete."),
       false, true, true,
       {"The printer \"Q\" reports that it is out of paper or labels. The page waits in its queue "
        "and prints once that is put right. Cancel the job"}},
      // The print service handed it on to the printer application, which sent it to the
      // printer, which reports media out: the printer keeps it.
      {"out of labels, at the printer",
       Report(J::kCompleted, {"processing-to-stop-point"}, u"", P::kIdle, {"media-empty"}, u""), false,
       true, false,
       {"The printer \"Q\" reports that it is out of paper or labels. The page has reached the "
        "printer, which prints it once that is put right (to drop it, cancel it at the printer)."}},
      {"faults in words, the printer's own message kept",
       Report(J::kPending, {"none"}, u"", P::kProcessing,
              {"media-jam-error", "cover-open-warning", "marker-supply-empty-error", "door-open",
               "toner-low-report", "fuser-over-temp-error"},
              u"Replace ribbon"),
       false, true, true,
       {"reports that paper or labels are jammed in it, it is out of ribbon, ink or toner, its "
        "cover or print head is open and it reports \"fuser-over-temp\" (Replace ribbon)."}},
      {"warnings and reports are no fault",
       Report(J::kProcessing, {"job-printing"}, u"", P::kProcessing,
              {"media-low-warning", "toner-low-report", "cups-insecure-filter-warning"}, u""),
       false, false, false, {}},
      {"a queue paused while the job waits",
       Report(J::kPending, {"none"}, u"", P::kStopped, {"paused"}, u"out of labels"), false, true,
       true,
       {"The printer \"Q\" is paused (out of labels). The page waits in its queue and prints once "
        "the printer is resumed in the system's printer settings (or with: S)."}},
      {"aborted", Report(J::kAborted, {"aborted-by-system"}, u"", P::kIdle, {"none"}, u""), false,
       true, false,
       {"The printer \"Q\" did not print the page: the print service aborted the job: the print "
        "service gave up on it. Nothing was printed; press Print again to print it."}},
      {"canceled at the printer", Report(J::kCanceled, {"job-canceled-at-device"}, u"", P::kIdle,
                                         {"none"}, u"Canceled by the printer"),
       false, true, false,
       {"the print service canceled the job: it was canceled at the printer (Canceled by the printer)."}},
      {"aborted without a reason", Report(J::kAborted, {}, u"", P::kIdle, {}, u""), false, true, false,
       {"the print service aborted the job. Nothing was printed"}},
      {"still printing when the time is up",
       Report(J::kProcessing, {"job-printing"}, u"", P::kProcessing, {"none"}, u"Printing page 1"), true,
       true, true, {"has not printed the page after 15 s: it is still printing it. It goes on."}},
      {"behind other jobs when the time is up",
       Report(J::kPending, {"none"}, u"", P::kProcessing, {"none"}, u""), true, true, true,
       {"it waits behind other jobs."}},
  };
  const ui::JobHints hints{u" (or with: L)", u" (or with: R)", u" (or with: S)"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ui::JobFate fate = ui::JudgeJob(u"Q", 7, c.report, c.timeUp, hints);
    const std::string text = ui::ToUtf8(fate.text);
    EXPECT_EQ(fate.done, c.done);
    EXPECT_EQ(fate.canStillPrint, c.canStillPrint);
    if (c.says.empty()) {
      EXPECT_EQ(text, "");
    }
    for (const std::string& part : c.says) EXPECT_NE(text.find(part), std::string::npos) << text;
  }
}

// Each wording by which a print service says that it cannot reach the
// printer, alone, as the job's message and as the printer's: said at once.
// Reasons that say so are said once the time is up.
TEST(JudgeJob, EveryWordingOfAnUnreachedPrinter) {
  using J = JobReport::Job;
  using P = JobReport::Printer;
  const std::string said =
      "The printer \"Q\" does not answer: is it switched off, unplugged or off the network? The page "
      "waits in its queue and prints when the printer answers. Cancel the job, or leave it to print "
      "when the printer is ready.";
  for (const char16_t* message : {
           // CUPS 2.4's network backends, the first as seen on a print server of the tests' own.
           u"The printer may not exist or is unavailable at this time.",
           u"The printer is not responding.", u"Unable to locate printer \"zebra.local\".",
           u"The printer is unreachable at this time.", u"The printer is not connected.",
           // Older backends' words, and each of the first's two alone.
           u"Unable to connect to printer; will retry in 30 seconds.",
           u"ipp: unable to connect to 192.0.2.7:631", u"Printer unavailable", u"The printer may not exist."}) {
    SCOPED_TRACE(ui::ToUtf8(message));
    for (const JobReport& r : {Report(J::kProcessing, {"job-printing"}, message, P::kProcessing, {"none"}, u""),
                               Report(J::kPending, {"none"}, u"", P::kProcessing, {"none"}, message)}) {
      const ui::JobFate fate = ui::JudgeJob(u"Q", 7, r, false, {});
      EXPECT_TRUE(fate.done && fate.canStillPrint);
      EXPECT_EQ(ui::ToUtf8(fate.text), said);
    }
  }
  for (const char* reason : {"connecting-to-device", "timed-out", "offline-report", "offline-warning"}) {
    SCOPED_TRACE(reason);
    const JobReport r = Report(J::kProcessing, {"job-printing"}, u"", P::kProcessing, {reason}, u"");
    EXPECT_EQ(ui::ToUtf8(ui::JudgeJob(u"Q", 7, r, true, {}).text), said);
    EXPECT_FALSE(ui::JudgeJob(u"Q", 7, r, false, {}).done) << "not before the time is up";
  }
  // A busy printer is reached.
  for (const char16_t* busy : {u"The printer is in use.", u"Network host \"zebra.local\" is busy; will retry in 30 seconds."})
    EXPECT_FALSE(ui::JudgeJob(u"Q", 7, Report(J::kProcessing, {"job-printing"}, busy, P::kProcessing, {"none"}, u""),
                              false, {}).done)
        << ui::ToUtf8(busy);
}

// At the press: the reasons of a paused printer in words.
TEST(PrinterFaults, InWords) {
  EXPECT_EQ(ui::PrinterFaults({"none"}, u"out of labels"), u"") << "no fault: nothing";
  EXPECT_EQ(ui::PrinterFaults({"paused", "media-empty-error"}, u""), u"it is out of paper or labels");
  EXPECT_EQ(ui::PrinterFaults({"media-needed", "media-empty"}, u"Load labels"),
            u"it is out of paper or labels (Load labels)")
      << "one fault said once";
}

// Texts from outside the program (names, a printer's or a service's words,
// the spooler's UTF-16), in the messages that carry them: each shown as its
// own characters, none able to hide, turn round or stretch the sentence.
TEST(OutsideTexts, ShownAsTheirOwnCharacters) {
  using J = JobReport::Job;
  using P = JobReport::Printer;
  const std::u16string n99(99, u'n');
  JobReport printing = Report(J::kProcessing, {"job-printing"}, u"", P::kProcessing, {"none"}, u"");
  printing.printerMessage = std::u16string(1023, u'm');
  JobReport held = Report(J::kHeld, {"job-hold-until-specified"}, u"", P::kIdle, {"none"}, u"");
  held.heldBy = JobReport::HeldBy::kServer;
  held.holdUntil = u"night\u202E\n";
  const ui::JobHints none;
  std::u16string fourteen = u"U+200B";
  for (int i = 1; i < 14; ++i) fourteen += u" U+200B";
  const std::u16string beh98(98, u'\u0628');
  struct Case {
    const char* what;
    std::u16string shown;
    std::u16string want;
  };
  for (const Case& c : std::vector<Case>{
           {"markup in a queue's name and its pause reason",
            ui::PrinterPaused(u"<b>Dock", u"<b>Out of labels</b> <a href=\"https://x.invalid\">Fix</a>",
                              u" (or with: cupsenable <b>Dock)"),
            u"The printer \"<b>Dock\" is paused (<b>Out of labels</b> <a href=\"https://x.invalid\">Fix"
            u"</a>). Resume it in the system's printer settings (or with: cupsenable <b>Dock), then "
            u"press Print again."},
           {"C0, DEL, C1 and line separators become spaces",
            ui::PageNotAccepted(u"Q", u"Out\x01of\r\nlabels\x7f\x85now\u2028"),
            u"The printer \"Q\" did not accept the page: Out of  labels  now."},
           {"a right-to-left override and an isolate are taken out",
            ui::NoMediaSaid(u"\u202EDock\u202C \u2067A\u2069"),
            u"The printer \"Dock A\" does not say what paper or labels it has loaded."},
           {"UTF-8 broken in two places", ui::PrinterCannotBeOpened(u"Q", ui::FromUtf8("caf\xC3 \xFF!")),
            u"The printer \"Q\" could not be opened: caf\uFFFD \uFFFD!."},
           {"UTF-16 broken: a lone surrogate",
            ui::PageNotPrepared(std::u16string(u"Zebra") + char16_t{0xD800}),
            u"The page for the printer \"Zebra\uFFFD\" could not be prepared."},
           {"a name cut to 100 characters", ui::PageNotFinished(std::u16string(150, u'n')),
            u"The page for the printer \"" + n99 + u"\u2026\" could not be finished."},
           {"a name of 100 characters whole, the last a surrogate pair",
            ui::PageNotFinished(n99 + u"\U0001F600"),
            u"The page for the printer \"" + n99 + u"\U0001F600\" could not be finished."},
           {"a surrogate pair is one character, never cut in two",
            ui::PageNotFinished(std::u16string(98, u'n') + u"\U0001F600zz"),
            u"The page for the printer \"" + std::u16string(98, u'n') +
                u"\U0001F600\u2026\" could not be finished."},
           {"a printer's message of 1,023 octets cut to 200 characters",
            ui::JudgeJob(u"Q", 7, printing, true, none).text,
            u"The printer \"Q\" has not printed the page after 15 s: it is still printing it (" +
                std::u16string(199, u'm') +
                u"\u2026). It goes on. Cancel the job, or leave it to print when the printer is ready."},
           {"a fault by the printer's own name", ui::PrinterFaults({"fuser\x1b[31m-error"}, u""),
            u"it reports \"fuser [31m\""},
           {"the printers there are", ui::NoDefaultPrinter({u"A\u202E", u"<i>B"}, u" (or with: x\u202E)"),
            u"No default printer is chosen. Choose one of these printers: A, <i>B as the default in the "
            u"system's printer settings (or with: x), then press Print again."},
           {"held until what the print server says", ui::JudgeJob(u"Q", 7, held, false, none).text,
            u"The page waits, held, in the queue of the printer \"Q\" (job 7): the print server holds "
            u"it, by its policy (job-hold-until night ). It prints once it is released in the system's "
            u"print queue. Cancel the job, or leave it to print when the printer is ready."},
           {"marks, zero-width characters, a soft hyphen, a byte order mark and a tag taken out",
            ui::PageNotAccepted(u"Q", u"\u200E(\u061Cok\u200F)\u2060\u00AD\uFEFF\u200B\U000E0001"),
            u"The printer \"Q\" did not accept the page: (ok)."},
           {"joiners between a script's letters and in an emoji sequence stay",
            ui::NoMediaSaid(u"\u0645\u06CC\u200C\u062E\u0648\u0627\u0647\u0645 \U0001F469\u200D\U0001F4BB"),
            u"The printer \"\u0645\u06CC\u200C\u062E\u0648\u0627\u0647\u0645 \U0001F469\u200D\U0001F4BB\" "
            u"does not say what paper or labels it has loaded."},
           {"joiners at the ends, beside ASCII or a space, or after another go",
            ui::NoMediaSaid(u"\u200Da\u200Cb \u0628\u200C\u3000\u0628\u200C\u200D\u0628\u200D"),
            u"The printer \"ab \u0628\u3000\u0628\u200C\u0628\" does not say what paper or labels it "
            u"has loaded."},
           {"a queue's name of zero-width spaces alone is shown by their numbers",
            ui::NoMediaSaid(u"\u200B\u200B"),
            u"The printer \"U+200B U+200B\" does not say what paper or labels it has loaded."},
           {"a name of spaces, a tab and a tag", ui::PageNotFinished(u" \t\u3000\U000E0001"),
            u"The page for the printer \"U+0020 U+0009 U+3000 U+E0001\" could not be finished."},
           {"a long one by as many numbers as fit whole",
            ui::PageNotFinished(std::u16string(150, u'\u200B')),
            u"The page for the printer \"" + fourteen + u"\u2026\" could not be finished."},
           {"a joiner where a name is cut goes",
            ui::PageNotFinished(beh98 + u"\u200C\u0628\u0628\u0628"),
            u"The page for the printer \"" + beh98 + u"\u2026\" could not be finished."},
       }) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ui::ToUtf8(c.shown), ui::ToUtf8(c.want));
  }
  // Each character by its category in the Unicode Character Database: a
  // format character is taken out, a control or a line or paragraph
  // separator is a space, any other stays.
  for (const ucd::Character& k : ucd::kCharacters) {
    SCOPED_TRACE(testing::Message() << "U+" << std::hex << std::uppercase
                                    << static_cast<unsigned>(k.code));
    const std::string category = k.category;
    const std::u16string one = ucd::Utf16(k.code);
    const bool space = category == "Cc" || category == "Zl" || category == "Zp";
    const std::u16string want = category == "Cf" ? u"" : space ? u" " : one;
    EXPECT_EQ(ui::ShownName(u"<" + one + u">"), u"<" + want + u">");
    EXPECT_EQ(ui::ShownMessage(u"<" + one + u">"), u"<" + want + u">");
  }
  // Every format character, run by run: taken out.
  for (const auto& run : ucd::kFormat)
    for (char32_t c = run[0]; c <= run[1]; ++c)
      EXPECT_EQ(ui::ShownMessage(u"<" + ucd::Utf16(c) + u">"), u"<>") << std::hex << static_cast<unsigned>(c);
  // Shown once is shown, wherever it is cut.
  const std::u16string joined =
      u"\u0628\u200C\u200D\u0628 \u200B\u0628\u200C\u0628\U0001F469\u200D\U0001F4BB";
  for (std::size_t most = 0; most <= 9; ++most)
    EXPECT_EQ(ui::ShownAtMost(ui::ShownAtMost(joined, most), most), ui::ShownAtMost(joined, most)) << most;
}
