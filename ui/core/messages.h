// Everything the program tells the user about printing, in one place, so
// that the program says the same thing for the same cause on every platform.
// Each platform's printing picks the message and gives it the names and the
// reasons (its print system's own words); a hint is what that platform adds
// on how to do it there, e.g. " (or with: cupsenable Q)", or empty. Names,
// reasons and hints may be anything at all: each message makes what it is
// given safe to show (outside_text.h) before it goes into the sentence.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui {

// "name", as a message names a printer.
std::u16string Quoted(std::u16string_view name);
// `text` trimmed and ending in a full stop, as a reason is put in a message.
std::u16string Sentence(std::u16string_view text);
// A time-out in seconds as a person reads it: 3000 ms -> "3", 2500 -> "2.5".
std::u16string Seconds(int ms);

// `why`, then that nothing was printed.
std::u16string NothingPrinted(std::u16string_view why);

// --- Finding the default printer (nothing is printed after these) ---
std::u16string NoPrinterSetUp();
// `names` are the printers there are (at least one); `chooseHint` follows
// "in the system's printer settings".
std::u16string NoDefaultPrinter(const std::vector<std::u16string>& names,
                                std::u16string_view chooseHint);
std::u16string PrintersNotListed(std::u16string_view why);
// `reason` is the printer's own (its state message and reasons), or empty.
std::u16string PrinterPaused(std::u16string_view printer, std::u16string_view reason,
                             std::u16string_view resumeHint);
std::u16string PrinterCannotBeOpened(std::u16string_view printer, std::u16string_view why);
std::u16string PrinterDidNotSayMedia(std::u16string_view printer, std::u16string_view why);
std::u16string NoMediaSaid(std::u16string_view printer);
// What a printer said of its page that no printer has, as the reason
// PrinterDidNotSayMedia gives: a resolution of `dots` per inch (or per
// centimetre), a media of that size, margins that do not fit it.
std::u16string NoSuchResolution(long long dots, bool perCm);
std::u16string NoSuchMediaSize(int widthHmm, int lengthHmm);
std::u16string MarginsDoNotFit(int widthHmm, int lengthHmm);
// `who` does not answer a request within `ms`: "The print service (CUPS)".
std::u16string NoAnswer(std::u16string_view who, int ms);

// --- The job ---
std::u16string NoPrinterFound();
// Copy could not put the symbols on the clipboard: another program held it,
// or it did not take them whole (Windows).
std::u16string NotCopied();
std::u16string PageNotPrepared(std::u16string_view printer);
std::u16string PageNotFinished(std::u16string_view printer);
std::u16string PageNotAccepted(std::u16string_view printer, std::u16string_view why);
// What became of a job that was begun but could not be handed over whole,
// after `why`.
std::u16string UnfinishedJobCancelled(std::u16string_view why);
std::u16string JobMayHavePrinted(std::u16string_view why, std::u16string_view printer, long long job);
std::u16string JobNotCancelledButEmpty(std::u16string_view why, long long job);
// The page went out, but the symbols with the captions `cut` run past the
// printable area of the media (`media`: its name and size), either way
// round; `printable` and `needed` are sizes said by SizeText.
std::u16string SymbolsCutOff(std::u16string_view printer, const std::vector<std::u16string>& cut,
                             std::u16string_view media, std::u16string_view printable,
                             std::u16string_view needed);

// --- The print server (CUPS) ---
std::u16string PrintServerNotFound(std::u16string_view server, std::u16string_view why);
std::u16string PrintServiceNotRunning(std::u16string_view server);
std::u16string MayNotUsePrintService(std::u16string_view server, std::u16string_view why);
std::u16string PrintServiceUnreachable(std::u16string_view server, std::u16string_view why);
// `why` may be empty.
std::u16string PrintServiceLost(std::u16string_view why);
std::u16string PoolMembersDiffer(std::u16string_view pool, std::u16string_view members);
std::u16string PrinterBehindNotAsked(std::u16string_view queue, std::u16string_view device,
                                     std::u16string_view why);
std::u16string DoesNotAnswerWithin(int ms);
// A printer's answer that broke off, or could not be read.
std::u16string AnswerNotRead();
std::u16string RawQueue(std::u16string_view printer);
std::u16string NoSuchMediaAsChosen(std::u16string_view printer, std::u16string_view size);

}  // namespace ui

namespace ui {

// --- After the job was handed over (its job number `job` on `printer`) ---
// `why` says what the print system gave as the reason, or is empty.
std::u16string JobNotPrinted(std::u16string_view printer, bool canceled, std::u16string_view why);
// `by`: who holds it, said as "the printing defaults of this user hold every
// job (job-hold-until indefinite)", or empty.
std::u16string JobHeld(std::u16string_view printer, long long job, std::u16string_view by,
                       std::u16string_view releaseHint);
std::u16string JobStopped(std::u16string_view printer, long long job, std::u16string_view why,
                          std::u16string_view restartHint);
// `faults` as PrinterFaults says them.
std::u16string PrinterKeepsJob(std::u16string_view printer, std::u16string_view faults);
// The page has left the print service for the printer itself, which reports
// `faults`: it keeps the page until they are put right.
std::u16string PrinterHoldsPage(std::u16string_view printer, std::u16string_view faults);
std::u16string PrinterPausedWithJob(std::u16string_view printer, std::u16string_view why,
                                    std::u16string_view resumeHint);
std::u16string PrinterDoesNotAnswerJob(std::u16string_view printer);
std::u16string JobNotYetPrinted(std::u16string_view printer, int seconds, bool waitsBehindOthers,
                                std::u16string_view message);
// The print system stopped answering while the job was followed.
std::u16string JobLostSight(std::u16string_view printer, long long job, std::u16string_view why);
// The job could not be cancelled when the user asked.
std::u16string JobNotCancelled(std::u16string_view printer, long long job, std::u16string_view why);

}  // namespace ui
