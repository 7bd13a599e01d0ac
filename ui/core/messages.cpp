// The texts of the program's messages.
#include "ui/core/messages.h"

#include "ui/core/outside_text.h"
#include "ui/core/printer_page.h"
#include "ui/core/text.h"

namespace ui {
namespace {

// Every text a message is given goes in through one of these (names
// through Quoted): a print system's or a printer's own words (`TheirWords`), or
// a part the program composed around such words, already made safe, or a
// whole message given as the reason for another (`Composed`).
std::u16string TheirWords(std::u16string_view words) { return ShownMessage(words); }
std::u16string Composed(std::u16string_view text) {
  return ShownAtMost(text, kComposedCharacters);
}

constexpr std::u16string_view kPressAgain = u", then press Print again.";

std::u16string Join(const std::vector<std::u16string>& items, std::u16string_view by) {
  std::u16string out;
  for (const std::u16string& item : items) {
    if (!out.empty()) out += by;
    out += item;
  }
  return out;
}

}  // namespace

std::u16string Quoted(std::u16string_view name) { return u'"' + ShownName(name) + u'"'; }

std::u16string Sentence(std::u16string_view text) {
  const auto blank = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  std::u16string out(text);
  if (!out.empty() && out.back() != u'.' && out.back() != u'\u2026') out += u'.';
  return out;
}

std::u16string Seconds(int ms) {
  std::u16string out = Number(ms / 1000);
  if (const int tenths = ms % 1000 / 100) out += u'.' + Number(tenths);
  return out;
}

std::u16string NothingPrinted(std::u16string_view why) {
  return Composed(why) + u" Nothing was printed.";
}

std::u16string NoPrinterSetUp() {
  return u"No printer is set up. Set up a printer in the system's printer settings" +
         std::u16string(kPressAgain);
}

std::u16string NoDefaultPrinter(const std::vector<std::u16string>& names,
                                std::u16string_view chooseHint) {
  std::vector<std::u16string> shown;
  shown.reserve(names.size());
  for (const std::u16string& name : names) shown.push_back(ShownName(name));
  const std::u16string which =
      names.size() == 1 ? Quoted(names.front()) : u"these printers: " + Composed(Join(shown, u", "));
  return Fill(u"No default printer is chosen. Choose one of %1 as the default in the system's "
              u"printer settings%2",
              {which, Composed(chooseHint)}) +
         std::u16string(kPressAgain);
}

std::u16string PrintersNotListed(std::u16string_view why) {
  return Fill(u"The printers could not be looked up: %1", {Composed(why)});
}

std::u16string PrinterPaused(std::u16string_view printer, std::u16string_view reason,
                             std::u16string_view resumeHint) {
  const std::u16string because = reason.empty() ? std::u16string() : Fill(u" (%1)", {Composed(reason)});
  return Fill(u"The printer %1 is paused%2. Resume it in the system's printer settings%3",
              {Quoted(printer), because, Composed(resumeHint)}) +
         std::u16string(kPressAgain);
}

std::u16string PrinterCannotBeOpened(std::u16string_view printer, std::u16string_view why) {
  return Fill(u"The printer %1 could not be opened: %2", {Quoted(printer), Sentence(TheirWords(why))});
}

std::u16string PrinterDidNotSayMedia(std::u16string_view printer, std::u16string_view why) {
  return Fill(u"The printer %1 did not say what it prints on: %2", {Quoted(printer), Sentence(TheirWords(why))});
}

std::u16string NoMediaSaid(std::u16string_view printer) {
  return Fill(u"The printer %1 does not say what paper or labels it has loaded.", {Quoted(printer)});
}

std::u16string NoSuchResolution(long long dots, bool perCm) {
  return Fill(u"it gives %1 %2 as its resolution", {Number(dots), perCm ? u"dots per cm" : u"dpi"});
}

std::u16string NoSuchMediaSize(int widthHmm, int lengthHmm) {
  return Fill(u"it gives %1 as the size of its media", {SizeText(widthHmm, lengthHmm)});
}

std::u16string MarginsDoNotFit(int widthHmm, int lengthHmm) {
  return Fill(u"its margins do not fit its media (%1)",
              {SizeText(widthHmm, lengthHmm)});
}

std::u16string NoAnswer(std::u16string_view who, int ms) {
  return Fill(u"%1 does not answer: it was given %2 s.", {Composed(who), Seconds(ms)});
}

std::u16string NoPrinterFound() { return u"No printer was found to print on."; }

std::u16string NotCopied() {
  return u"The symbols could not be copied to the clipboard; another program may be using it. "
         u"Try again in a moment.";
}

std::u16string PageNotPrepared(std::u16string_view printer) {
  return Fill(u"The page for the printer %1 could not be prepared.", {Quoted(printer)});
}

std::u16string PageNotFinished(std::u16string_view printer) {
  return Fill(u"The page for the printer %1 could not be finished.", {Quoted(printer)});
}

std::u16string PageNotAccepted(std::u16string_view printer, std::u16string_view why) {
  return Fill(u"The printer %1 did not accept the page: %2", {Quoted(printer), Sentence(TheirWords(why))});
}

std::u16string UnfinishedJobCancelled(std::u16string_view why) {
  return Composed(why) + u" The unfinished job was cancelled; nothing was printed.";
}

std::u16string JobMayHavePrinted(std::u16string_view why, std::u16string_view printer,
                                 long long job) {
  return Fill(u"%1 The page may or may not have been printed: look at the queue of the printer "
              u"%2 (job %3).",
              {Composed(why), Quoted(printer), Number(job)});
}

std::u16string JobNotCancelledButEmpty(std::u16string_view why, long long job) {
  return Fill(u"%1 Job %2 could not be cancelled, but it holds no whole page: nothing was "
              u"printed.",
              {Composed(why), Number(job)});
}

std::u16string SymbolsCutOff(std::u16string_view printer, const std::vector<std::u16string>& cut,
                             std::u16string_view media, std::u16string_view printable,
                             std::u16string_view needed) {
  std::vector<std::u16string> quoted;
  quoted.reserve(cut.size());
  for (const std::u16string& caption : cut) quoted.push_back(Quoted(caption));
  std::u16string which = quoted.empty() ? std::u16string() : quoted.back();
  if (quoted.size() > 1) {
    quoted.pop_back();
    which = Join(quoted, u", ") + u" and " + which;
  }
  const bool one = cut.size() == 1;
  return Fill(u"The page went to the printer %1, but %2 %3 not fit on its media (%4; printable "
              u"area %5) and %6 cut off, also with the page turned a quarter turn. To print the "
              u"page whole, the printable area must be at least %7: load paper or labels that "
              u"large and make them the printer's default media (in the system's printer "
              u"settings), or print on another printer.",
              {Quoted(printer), which, one ? u"does" : u"do", Composed(media), Composed(printable),
               one ? u"is" : u"are", Composed(needed)});
}

std::u16string PrintServerNotFound(std::u16string_view server, std::u16string_view why) {
  return Fill(u"The print server %1 could not be found: %2", {TheirWords(server), Sentence(TheirWords(why))});
}

std::u16string PrintServiceNotRunning(std::u16string_view server) {
  return Fill(u"The print service (CUPS) is not running (nothing answers at %1), so there is no "
              u"printer to print on. Start it, then press Print again.",
              {TheirWords(server)});
}

std::u16string MayNotUsePrintService(std::u16string_view server, std::u16string_view why) {
  return Fill(u"This user may not connect to the print service (CUPS) at %1 (%2). Ask whoever "
              u"looks after this computer for access to printing.",
              {TheirWords(server), TheirWords(why)});
}

std::u16string PrintServiceUnreachable(std::u16string_view server, std::u16string_view why) {
  return Fill(u"The print service (CUPS) at %1 could not be reached: %2",
              {TheirWords(server), Sentence(TheirWords(why))});
}

std::u16string PrintServiceLost(std::u16string_view why) {
  return why.empty() ? u"The connection to the print service (CUPS) was lost."
                     : Fill(u"The connection to the print service (CUPS) was lost (%1).", {TheirWords(why)});
}

std::u16string PoolMembersDiffer(std::u16string_view pool, std::u16string_view members) {
  return Fill(u"The printers of the pool %1 do not all have the same paper or labels loaded (%2), "
              u"and a job goes to whichever of them is free. Load the same in all of them, or "
              u"choose one of them as the default printer.",
              {Quoted(pool), Composed(members)});
}

std::u16string PrinterBehindNotAsked(std::u16string_view queue, std::u16string_view device,
                                     std::u16string_view why) {
  return Fill(u"The printer %1 does not say what paper or labels it has loaded, and the printer "
              u"it prints to (%2) could not be asked: %3",
              {Quoted(queue), TheirWords(device), Sentence(TheirWords(why))});
}

std::u16string DoesNotAnswerWithin(int ms) {
  return Fill(u"it does not answer (it was given %1 s)", {Seconds(ms)});
}

std::u16string AnswerNotRead() { return u"its answer broke off or could not be read"; }

std::u16string RawQueue(std::u16string_view printer) {
  return Fill(u"The printer %1 is a raw queue: it passes what it is sent to the printer "
              u"untouched, so it takes only the printer's own language, not a page. Set it up "
              u"with a driver (or driverless) in the system's printer settings, or choose "
              u"another printer as the default.",
              {Quoted(printer)});
}

std::u16string NoSuchMediaAsChosen(std::u16string_view printer, std::u16string_view size) {
  return Fill(u"The printer %1 has no media of %2, which the printing defaults of this user "
              u"choose for it (lpoptions). Choose media that it has.",
              {Quoted(printer), Composed(size)});
}

}  // namespace ui

namespace ui {
namespace {

constexpr std::u16string_view kCancelOrLeave =
    u" Cancel the job, or leave it to print when the printer is ready.";

std::u16string Job(long long job) { return u"job " + Number(job); }

std::u16string Because(std::u16string_view why) {
  return why.empty() ? std::u16string() : u": " + Sentence(Composed(why));
}

}  // namespace

std::u16string JobNotPrinted(std::u16string_view printer, bool canceled, std::u16string_view why) {
  return Fill(u"The printer %1 did not print the page: the print service %2 the job%3 Nothing was "
              u"printed; press Print again to print it.",
              {Quoted(printer), canceled ? u"canceled" : u"aborted",
               why.empty() ? std::u16string(u".") : Because(why)});
}

std::u16string JobHeld(std::u16string_view printer, long long job, std::u16string_view by,
                       std::u16string_view releaseHint) {
  return Fill(u"The page waits, held, in the queue of the printer %1 (%2)%3 It prints once it is "
              u"released in the system's print queue%4.",
              {Quoted(printer), Job(job),
               by.empty() ? std::u16string(u".") : u": " + Sentence(Composed(by)), Composed(releaseHint)}) +
         std::u16string(kCancelOrLeave);
}

std::u16string JobStopped(std::u16string_view printer, long long job, std::u16string_view why,
                          std::u16string_view restartHint) {
  return Fill(u"The print service stopped the page for the printer %1 (%2) after an error%3 The "
              u"page waits in the queue: once the printer works again, restart the job in the "
              u"system's print queue%4 and it prints.",
              {Quoted(printer), Job(job),
               why.empty() ? std::u16string(u" (it gave no reason).") : Because(why),
               Composed(restartHint)}) +
         std::u16string(kCancelOrLeave);
}

std::u16string PrinterKeepsJob(std::u16string_view printer, std::u16string_view faults) {
  return Fill(u"The printer %1 reports that %2. The page waits in its queue and prints once that "
              u"is put right.",
              {Quoted(printer), Composed(faults)}) +
         std::u16string(kCancelOrLeave);
}

std::u16string PrinterHoldsPage(std::u16string_view printer, std::u16string_view faults) {
  return Fill(u"The printer %1 reports that %2. The page has reached the printer, which prints it "
              u"once that is put right (to drop it, cancel it at the printer).",
              {Quoted(printer), Composed(faults)});
}

std::u16string PrinterPausedWithJob(std::u16string_view printer, std::u16string_view why,
                                    std::u16string_view resumeHint) {
  return Fill(u"The printer %1 is paused%2. The page waits in its queue and prints once the "
              u"printer is resumed in the system's printer settings%3.",
              {Quoted(printer), why.empty() ? std::u16string() : Fill(u" (%1)", {Composed(why)}),
               Composed(resumeHint)}) +
         std::u16string(kCancelOrLeave);
}

std::u16string PrinterDoesNotAnswerJob(std::u16string_view printer) {
  return Fill(u"The printer %1 does not answer: is it switched off, unplugged or off the network? "
              u"The page waits in its queue and prints when the printer answers.",
              {Quoted(printer)}) +
         std::u16string(kCancelOrLeave);
}

std::u16string JobNotYetPrinted(std::u16string_view printer, int seconds, bool waitsBehindOthers,
                                std::u16string_view message) {
  return Fill(u"The printer %1 has not printed the page after %2 s: %3%4 It goes on.",
              {Quoted(printer), Number(seconds),
               waitsBehindOthers ? u"it waits behind other jobs" : u"it is still printing it",
               message.empty() ? std::u16string(u".") : Fill(u" (%1).", {Sentence(TheirWords(message))})}) +
         std::u16string(kCancelOrLeave);
}

std::u16string JobLostSight(std::u16string_view printer, long long job, std::u16string_view why) {
  return Fill(u"The page went to the printer %1, but what became of it (%2) is not known: %3 Look "
              u"at the printer's queue.",
              {Quoted(printer), Job(job), Sentence(Composed(why))});
}

std::u16string JobNotCancelled(std::u16string_view printer, long long job, std::u16string_view why) {
  return Fill(u"The job for the printer %1 (%2) could not be cancelled: %3 Look at the printer's "
              u"queue.",
              {Quoted(printer), Job(job), Sentence(Composed(why))});
}

}  // namespace ui
