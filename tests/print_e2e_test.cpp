// Real printing: the window prints through print servers of the test's own
// (scripts/cups.sh): CUPS's sample drivers (a ZPL label printer at 203 and
// 300 dpi, a PostScript office printer, cups-pdf), a pool of label printers,
// a print server's shared queues behind driverless ones, LPrint's label
// printers, and the user's own defaults. What each printer is sent is
// turned back into dots, measured against the print routine's boxes, and
// read with zxing-cpp and with zbar.
#include <arpa/inet.h>
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QAbstractButton>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <utility>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

#include "page_check.h"
#include "printed_page.h"
#include "recording_surface.h"
#include "scan.h"
#include "format_characters.h"
#include "ui/core/job_fate.h"
#include "ui/linux/cups/cups_printer.h"
#include "ui/linux/cups/print_job.h"
#include "ui/linux/qt/form1.h"
#include "ui/core/layout.h"
#include "ui/core/print_routine.h"
#include "ui/core/text.h"

namespace {

using scan::Found;

// What a loaded machine may add to the program's own bounds (a request is
// given ui::PrintServer::kTimeoutMs, a job followed ui::kFollowMs): the
// tests' bounds are those and this, which only a fault reaches.
constexpr int kSlowMachine = 15000;
// When what became of a job is said at the latest: once it has been
// followed as long as it is, after one more request.
constexpr int kFollowedAtMost = ui::kFollowMs + ui::PrintServer::kTimeoutMs + kSlowMachine;

struct DestFreer {
  void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestFreer>;

// A server of scripts/cups.sh in a folder of its own, stopped when it goes:
// {"start"} the desktop's print server (CUPS_SERVER points at it),
// {"serve"} a print server on a port, {"lprint", ...} LPrint.
class PrintServer {
 public:
  explicit PrintServer(QStringList verb = {QStringLiteral("start")}) {
    if (!dir_.isValid()) return;
    const QString socket = dir_.filePath(QStringLiteral("cups.sock"));
    if (verb.front() == QLatin1String("start")) {
      qputenv("CUPS_SERVER", socket.toLocal8Bit());
      qunsetenv("PRINTER");
      qunsetenv("LPDEST");
      cupsSetServer(socket.toLocal8Bit().constData());
    }
    started_ = Script(verb);
    stop_ = true;
  }
  ~PrintServer() {
    if (stop_) Script({QStringLiteral("stop")});
  }
  bool Started() const { return started_; }
  QString Socket() const { return dir_.filePath(QStringLiteral("cups.sock")); }
  QString Output(const QString& queue) const {
    return dir_.filePath(QStringLiteral("out/") + queue);
  }
  // The port it listens on (serve, lprint), which it chose.
  int Port() const {
    QFile f(dir_.filePath(QStringLiteral("port")));
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : 0;
  }
  // Why it has no cups-pdf queue (start), or empty.
  QString NoPdf() const {
    QFile f(dir_.filePath(QStringLiteral("no-pdf")));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll().trimmed()) : QString();
  }
  pid_t Pid() const {
    QFile f(dir_.filePath(QStringLiteral("cupsd.pid")));
    return f.open(QIODevice::ReadOnly) ? static_cast<pid_t>(f.readAll().trimmed().toInt()) : 0;
  }
  // Puts `add` into the server's configuration after `after`, and has it
  // read the configuration again.
  bool Reload(const QString& after, const QString& add) {
    QFile conf(dir_.filePath(QStringLiteral("etc/cupsd.conf")));
    QFile log(dir_.filePath(QStringLiteral("log/error_log")));
    if (!conf.open(QIODevice::ReadWrite) || !log.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = conf.readAll().replace(after.toUtf8(), (after + add).toUtf8());
    conf.resize(0);
    conf.write(text);
    conf.close();
    const auto reloads = [&log] { return log.readAll().count("Full reload complete"); };
    const auto before = reloads();
    kill(Pid(), SIGHUP);
    for (int i = 0; i < 600; ++i, QTest::qWait(50))
      if (log.seek(0) && reloads() > before) return true;
    return false;
  }
  // scripts/cups.sh VERB DIR ARGS...
  bool Script(QStringList verb) {
    verb.insert(1, dir_.path());
    QProcess p;
    p.start(QStringLiteral(BARCODES_CUPS_SCRIPT), verb);
    const bool ok = p.waitForFinished(60000) && p.exitCode() == 0;
    if (!ok) ADD_FAILURE() << "cups.sh " << verb.join(u' ').toStdString() << ": "
                           << p.readAllStandardError().toStdString();
    return ok;
  }

 private:
  QTemporaryDir dir_;
  bool started_ = false;
  bool stop_ = false;
};

bool Tool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  const bool ok = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit &&
                  p.exitCode() == 0;
  if (!ok) ADD_FAILURE() << program.toStdString() << " " << args.join(u' ').toStdString() << ": "
                         << p.readAllStandardError().toStdString();
  return ok;
}

// lpadmin with `args` split at spaces.
bool Lpadmin(const QString& args) { return Tool(QStringLiteral("lpadmin"), args.split(u' ')); }

int Jobs(int which, http_t* http = CUPS_HTTP_DEFAULT) {
  cups_job_t* jobs = nullptr;
  const int n = cupsGetJobs2(http, &jobs, nullptr, 0, which);
  cupsFreeJobs(n, jobs);
  return n;
}
int ActiveJobs(http_t* http = CUPS_HTTP_DEFAULT) { return Jobs(CUPS_WHICHJOBS_ACTIVE, http); }
int CompletedJobs() { return Jobs(CUPS_WHICHJOBS_COMPLETED); }

bool WaitForQueue(int ms = 30000, http_t* http = CUPS_HTTP_DEFAULT) {
  QElapsedTimer t;
  t.start();
  while (ActiveJobs(http) > 0) {
    if (t.elapsed() > ms) return false;
    QTest::qWait(50);
  }
  return true;
}

// A loopback port of the test's own, from the moment it is chosen: bound,
// so that nothing else takes it, and not listening, so that a connection
// to it is refused, as by a printer that is switched off. Take() hands it
// on, to listen on.
class HeldPort {
 public:
  HeldPort() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof addr;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&addr), size) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &size) != 0)
      ADD_FAILURE() << "no port to hold";
    port_ = ntohs(addr.sin_port);
  }
  ~HeldPort() {
    if (fd_ >= 0) close(fd_);
  }
  HeldPort(const HeldPort&) = delete;
  HeldPort& operator=(const HeldPort&) = delete;
  QString Port() const { return QString::number(port_); }
  int Take() { return std::exchange(fd_, -1); }

 private:
  int fd_;
  quint16 port_ = 0;
};

// A network label printer's raw port (socket://), as LPrint drives it: it
// keeps the last ZPL label sent to it, and answers a ZPL status query: all
// well, or out of labels while `mediaOut` is set (a label sent then is not
// printed). LPrint then need not wait for an answer. On a port of its own,
// or on a held one (its descriptor).
class LabelPort : public QTcpServer {
 public:
  explicit LabelPort(int held = -1) {
    if (held < 0)
      listen(QHostAddress::LocalHost);
    else if (::listen(held, 8) != 0 || !setSocketDescriptor(held))
      ADD_FAILURE() << "no listening on the held port";
    connect(this, &QTcpServer::newConnection, [this] {
      QTcpSocket* printer = nextPendingConnection();
      auto sent = std::make_shared<QByteArray>();
      auto answered = std::make_shared<qsizetype>(0);
      connect(printer, &QTcpSocket::readyRead, [this, printer, sent, answered] {
        *sent += printer->readAll();
        // Each status query answered as it comes: on a connection of its own
        // (LPrint 1.2) or before and after a label (LPrint 1.3). The last
        // field of ERRORS: 1 media out.
        for (; *answered < sent->count("~HQES"); ++*answered)
          printer->write(mediaOut ? "\x02\r\n  PRINTER STATUS\r\n   ERRORS:         1 00000000 00000001\r\n"
                                    "   WARNINGS:       0 00000000 00000000\r\n\x03\r\n"
                                  : "\x02\r\n  PRINTER STATUS\r\n   ERRORS:         0 00000000 00000000\r\n"
                                    "   WARNINGS:       0 00000000 00000000\r\n\x03\r\n");
      });
      connect(printer, &QTcpSocket::disconnected, [this, printer, sent] {
        *sent += printer->readAll();
        // Out of labels, the printer keeps what it was sent, and prints it once loaded.
        if (sent->contains("~DG")) (mediaOut ? kept_ : label_) = sent->toStdString();
        printer->deleteLater();
      });
    });
  }
  // The label that came in last after Clear(); waits up to 30 s for one.
  std::string Label() {
    for (int i = 0; i < 600 && label_.empty(); ++i) QTest::qWait(50);
    return label_;
  }
  void Clear() { label_.clear(); }
  // Out of labels (answered to status queries, and what it is sent is kept),
  // or loaded again (what it kept is printed).
  void MediaOut(bool out) {
    mediaOut = out;
    if (!out && !kept_.empty()) label_ = std::exchange(kept_, {});
  }
  bool mediaOut = false;

 private:
  std::string label_;
  std::string kept_;
};

// What a screen reader reads of a message: the name its text gives the
// alert on the accessibility bus (for markup, Qt gives the text without tags).
QString AlertText(QMessageBox* box) {
  QAccessibleInterface* alert = QAccessible::queryAccessibleInterface(box);
  EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
  for (int i = 0; i < alert->childCount(); ++i)
    if (alert->child(i)->role() == QAccessible::StaticText) return alert->child(i)->text(QAccessible::Name);
  return {};
}

// Presses Print and returns the message shown, if any, which a screen
// reader must read as it is shown.
QString PressPrint(ui::Form1& w) {
  QString shown;
  QTimer guard;
  QObject::connect(&guard, &QTimer::timeout, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      EXPECT_EQ(AlertText(box).toStdString(), shown.toStdString()) << "read as shown";
      box->accept();
    }
  });
  guard.start(20);
  QTest::mouseClick(w.Command1, Qt::LeftButton);
  return shown;
}

// The user's own printing defaults, in the scratch HOME the tests run with.
void WriteLpoptions(const char* text) {
  const QString folder = QDir::homePath() + QStringLiteral("/.cups");
  QDir().mkpath(folder);
  QFile f(folder + QStringLiteral("/lpoptions"));
  if (!text) {
    f.remove();
    return;
  }
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
}

struct Queue {
  const char* name;  // the default printer
  enum Output { kZpl, kPostScript, kPdf } output;
  // Where the page comes out: the desktop's queue(s) of that name, "@Q" the
  // print server's queue Q, "lprint" LPrint's ZPL printer, "pdf" cups-pdf
  // (its folder of the desktop's print server).
  const char* where;
  int dpi;
  double widthIn, lengthIn;  // the media, as the printer feeds it
  double marginPt;           // on every side
  bool turned;               // printed a quarter turn round
  std::set<std::string> cut;  // the captions that run past the printable area
  const char* lpoptions = nullptr;  // the user's own defaults, if any
  bool oneValue = false;            // a 13-digit value alone
};

// Types `value` (digits) into `w`, presses Print and returns the message;
// `elapsed` is how long the press took. The window must go on after it.
QString PressAndGoOn(ui::Form1& w, const QString& value, qint64& elapsed) {
  QTest::keyClicks(w.Text1, value);
  QElapsedTimer clock;
  clock.start();
  const QString shown = PressPrint(w);
  elapsed = clock.elapsed();
  QTest::keyClicks(w.Text1, QStringLiteral("4"));
  EXPECT_EQ(w.State().Code39Text, ui::Std16(value + u'4')) << "the window goes on";
  return shown;
}

// The same with 123 in a window of its own.
QString PressAndGoOn(qint64& elapsed) {
  ui::Form1 w(ui::PrintOnDefaultPrinter);
  w.show();
  return PressAndGoOn(w, QStringLiteral("123"), elapsed);
}

}  // namespace

class Printing : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<PrintServer>();
    // A print server with shared label and office queues, LPrint with two
    // label printers on raw ports, and the desktop's driverless queues to them.
    zebra_ = std::make_unique<LabelPort>();
    dymo_ = std::make_unique<LabelPort>();
    printServer_ = std::make_unique<PrintServer>(QStringList{QStringLiteral("serve")});
    lprint_ = std::make_unique<PrintServer>(QStringList{QStringLiteral("lprint"),
                                                        QString::number(zebra_->serverPort()),
                                                        QString::number(dymo_->serverPort())});
    const QString shared = QStringLiteral("ipp://127.0.0.1:%1/printers/").arg(printServer_->Port());
    const QString app = QStringLiteral("ipp://localhost:%1/ipp/print/").arg(lprint_->Port());
    shared6x4_ = shared + QStringLiteral("Label6x4");
    for (const QString& queue :
         {QStringLiteral("Shared6x4 ") + shared6x4_, "Shared4x6 " + shared + "Label4x6",
          "SharedLetter " + shared + "Letter", "LPrintZebra " + app + "Zebra",
          "LPrintDymo " + app + "Dymo"})
      server_->Script(QStringLiteral("driverless ").append(queue).split(u' '));
  }
  static void TearDownTestSuite() {
    server_.reset();
    printServer_.reset();
    lprint_.reset();
    zebra_.reset();
    dymo_.reset();
  }
  void SetUp() override {
    ASSERT_TRUE(server_->Started());
    ASSERT_TRUE(printServer_->Started());
    ASSERT_TRUE(lprint_->Started());
    WriteLpoptions(nullptr);  // no test's user defaults reach the next
  }
  void PrintsOnItsOwnPage(const Queue& q);
  static std::unique_ptr<PrintServer> server_;       // the desktop's
  static std::unique_ptr<PrintServer> printServer_;  // the shared queues'
  static std::unique_ptr<PrintServer> lprint_;
  static std::unique_ptr<LabelPort> zebra_, dymo_;  // LPrint's printers' raw ports
  static QString shared6x4_;  // the print server's 6 x 4 in label queue
};
QString Printing::shared6x4_;
std::unique_ptr<PrintServer> Printing::server_;
std::unique_ptr<PrintServer> Printing::printServer_;
std::unique_ptr<PrintServer> Printing::lprint_;
std::unique_ptr<LabelPort> Printing::zebra_;
std::unique_ptr<LabelPort> Printing::dymo_;

// Each queue prints the page on its own media, 1:1 from the corner of its
// printable area (turned a quarter turn where only so it fits), with every
// bar edge within one dot of the routine's boxes, and both decoders read
// every symbol that fits.
TEST_F(Printing, EveryQueuePrintsOnItsOwnPageAndDotGrid) {
  constexpr char kUser4x6[] = "Dest Zebra203 media=w288h432\n";
  constexpr char kInstance4x6[] = "Dest Zebra203/4x6 media=w288h432\nDefault Zebra203/4x6\n";
  std::vector<Queue> queues = {
      {"Zebra203", Queue::kZpl, "Zebra203", 203, 6, 4, 0, false, {}},
      {"Zebra300", Queue::kZpl, "Zebra300", 300, 4, 6, 0, true, {}},
      {"Office", Queue::kPostScript, "Office", 300, 8.5, 11, 12, false, {}},
      {"Shared6x4", Queue::kZpl, "@Label6x4", 203, 6, 4, 0, false, {}, nullptr, true},
      {"Shared4x6", Queue::kZpl, "@Label4x6", 203, 4, 6, 0, true, {}, nullptr, true},
      {"SharedLetter", Queue::kPostScript, "@Letter", 300, 8.5, 11, 12, false, {}, nullptr, true},
      {"Labels", Queue::kZpl, "Pool1,Pool2", 203, 6, 4, 0, false, {}, nullptr, true},
      {"LPrintZebra", Queue::kZpl, "lprint", 203, 4, 6, 0, true, {}, nullptr, true},
      {"Zebra203", Queue::kZpl, "Zebra203", 203, 4, 6, 0, true, {}, kUser4x6, true},
      {"Zebra203", Queue::kZpl, "Zebra203", 203, 4, 6, 0, true, {}, kInstance4x6, true},
  };
  for (const Queue& q : queues) PrintsOnItsOwnPage(q);
}

// cups-pdf's queue (A4, which its driver gives as 595 x 842 pt), where the
// print server has one.
TEST_F(Printing, CupsPdfPrintsOnItsOwnPageAndDotGrid) {
  if (!server_->NoPdf().isEmpty()) GTEST_SKIP() << "no cups-pdf queue: " << server_->NoPdf().toStdString();
  PrintsOnItsOwnPage({"PDF", Queue::kPdf, "pdf", 300, 595 / 72.0, 842 / 72.0, 0, false, {}});
}

void Printing::PrintsOnItsOwnPage(const Queue& q) {
  const std::unique_ptr<http_t, decltype(&httpClose)> shared(
      httpConnect2(printServer_->Socket().toLocal8Bit().constData(), 0, nullptr, AF_UNSPEC,
                   HTTP_ENCRYPTION_IF_REQUESTED, 1, 3000, nullptr),
      httpClose);
  ASSERT_NE(shared, nullptr);
  ASSERT_TRUE(Lpadmin(QStringLiteral("-d ") + QLatin1String(q.name)));
  WriteLpoptions(q.lpoptions);
  const QString where = QLatin1String(q.where);
  QStringList files;
  for (const QString& queue : where.split(u','))
    files << (queue.startsWith(u'@') ? printServer_->Output(queue.mid(1))
                                     : server_->Output(queue));
  std::vector<const char*> values = {"4006381333931", "036000291452", "PART-7 X.5"};
  if (q.oneValue) values.resize(1);
  for (const char* value : values) {
    SCOPED_TRACE(std::string(q.name) + (q.lpoptions ? " " + std::string(q.lpoptions) : "") +
                 " " + value);
    for (const QString& file : files) QFile(file).resize(0);
    const QDir pdf(server_->Output(QStringLiteral("PDF")));  // cups-pdf's, of this server's own
    const auto pdfs = [&pdf] { return QDir(pdf.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files); };
    for (const QString& f : pdfs()) QFile(pdf.filePath(f)).remove();
    zebra_->Clear();
    ui::Form1 w(ui::PrintOnDefaultPrinter);
    w.show();
    QTest::keyClicks(w.Text1, QString::fromUtf8(value));
    const ui::FormState& st = w.State();
    const int completed = CompletedJobs();
    const QString shown = PressPrint(w);
    ASSERT_TRUE(WaitForQueue());
    ASSERT_TRUE(WaitForQueue(30000, shared.get()));
    ASSERT_EQ(CompletedJobs(), completed + 1) << "one press, one job";

    std::set<std::string> cut;
    for (const ui::SymbolPlace& place : ui::kPlaces)
      if (!(st.*place.bars).empty() && q.cut.count(std::string(place.caption)))
        cut.insert(std::string(place.caption));
    if (cut.empty()) {
      EXPECT_EQ(shown, QString()) << "a page that fits shows no message";
    } else {
      for (const std::string& caption : cut)
        EXPECT_TRUE(shown.contains(QString::fromStdString('"' + caption + '"')))
            << shown.toStdString();
      EXPECT_TRUE(shown.contains(QStringLiteral("not fit on its media"))) << shown.toStdString();
    }

    scan::Image page;
    if (where == QLatin1String("lprint")) {
      page = scan::ReadZpl(zebra_->Label());
    } else if (q.output == Queue::kZpl) {
      for (const QString& file : files) {
        QFile f(file);
        if (f.open(QIODevice::ReadOnly) && f.size() > 0) page = scan::ReadZpl(f.readAll().toStdString());
      }
    } else if (q.output == Queue::kPostScript) {
      page = scan::ReadPostScript(files.front().toStdString(), q.dpi);
    } else {
      ASSERT_EQ(pdfs().size(), 1);
      page = scan::ReadPdf(pdf.filePath(pdfs().front()).toStdString(), q.dpi);
    }
    ASSERT_GT(page.width, 0) << "no page came out";
    const scan::PageCheck check = scan::CheckPage(
        page, {q.dpi, q.widthIn, q.lengthIn, q.marginPt, q.turned}, st, cut);
    EXPECT_EQ(check.problem, "");
    EXPECT_EQ(check.symbols.size(), ui::PrintedSymbols(st).size() - cut.size());
    for (const scan::SymbolCheck& symbol : check.symbols) {
      SCOPED_TRACE(symbol.caption);
      ASSERT_EQ(symbol.bars, symbol.boxes) << "one printed bar for each box";
      EXPECT_LE(symbol.worstEdge, 1.0) << "every bar edge within one dot";
      EXPECT_LE(symbol.worstWidth, 1.0) << "every bar as wide as its box, within one dot";
      EXPECT_EQ(symbol.zxing, Found{symbol.want}) << "zxing-cpp";
      EXPECT_EQ(symbol.zbar, Found{symbol.want}) << "zbar";
    }
  }
}

namespace {

// The state of job `id` on the desktop's print server; 0 when it is not there.
int JobState(int id) {
  cups_job_t* jobs = nullptr;
  const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
  int state = 0;
  for (int i = 0; i < n; ++i)
    if (jobs[i].id == id) state = jobs[i].state;
  cupsFreeJobs(n, jobs);
  return state;
}

// The newest job on the desktop's print server.
int NewestJob() {
  cups_job_t* jobs = nullptr;
  const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
  int id = 0;
  for (int i = 0; i < n; ++i) id = std::max(id, jobs[i].id);
  cupsFreeJobs(n, jobs);
  return id;
}

const char* StateName(int state) {
  switch (state) {
    case IPP_JSTATE_PENDING: return "pending";
    case IPP_JSTATE_HELD: return "pending-held";
    case IPP_JSTATE_PROCESSING: return "processing";
    case IPP_JSTATE_STOPPED: return "processing-stopped";
    case IPP_JSTATE_CANCELED: return "canceled";
    case IPP_JSTATE_ABORTED: return "aborted";
    case IPP_JSTATE_COMPLETED: return "completed";
    default: return "none";
  }
}

// Waits up to `ms` for `done`, the window's events going on meanwhile.
bool WaitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QTest::qWait(50);
  }
  return true;
}

}  // namespace

// Printers that take the job and do not print it: within the time the
// window follows a job the window says, naming the printer, what keeps the
// label, while it goes on answering typing; "Cancel the job" cancels it on
// the server, "Leave it" lets it print once the printer is back. A working
// printer: nothing said.
TEST_F(Printing, WhatKeepsTheLabelIsSaid) {
  // The switched-off printer's raw port, held by the test, and its listener
  // on that port once the printer is back.
  std::unique_ptr<HeldPort> off;
  std::unique_ptr<LabelPort> dead;
  const auto switchOff = [&off] {
    off = std::make_unique<HeldPort>();
    Lpadmin(QStringLiteral("-p SwitchedOff -v socket://127.0.0.1:") + off->Port());
  };
  enum class Answer { kOk, kLeave, kCancel };
  // A message true of the job in `states` (any, if none): its words, and
  // the answer given to it (OK alone, or Cancel the job and Leave it); the
  // command it suggests, whole, %1 the job's number.
  struct Told {
    std::vector<const char*> words;
    Answer answer;
    std::set<int> states = {};
    const char* command = nullptr;
  };
  struct Case {
    const char* what;
    const char* queue;  // the default printer
    const char* lpoptions;
    std::function<void()> setUp;
    std::vector<Told> told;  // each message true on the job's way; none: nothing is said
    std::function<void(int job)> bringBack;  // after "Leave it": the printer back
    std::function<bool()> printed;           // the label came out
    std::function<void()> undo;
  };
  const auto resume = [](int job) {
    Tool(QStringLiteral("lp"), {QStringLiteral("-i"), QString::number(job), QStringLiteral("-H"),
                                QStringLiteral("resume")});
  };
  const auto outputOf = [this](const char* queue) {
    return [this, queue] { return QFile(server_->Output(QLatin1String(queue))).size() > 0; };
  };
  const std::vector<Case> cases = {
      {"a working label printer", "Zebra203", nullptr, {}, {}, {}, outputOf("Zebra203"), {}},
      {"LPrint's label printer, no fault", "LPrintZebra", nullptr, [this] { zebra_->Clear(); }, {}, {},
       [this] { return !zebra_->Label().empty(); }, {}},
      {"switched off", "SwitchedOff", nullptr, switchOff,
       {{{"The printer \"SwitchedOff\" does not answer", "switched off, unplugged or off the network",
          "prints when the printer answers"},
         Answer::kLeave}},
       [&dead, &off](int) { dead = std::make_unique<LabelPort>(off->Take()); },
       [&dead] { return dead && !dead->Label().empty(); }, [&dead] { dead.reset(); }},
      {"switched off, cancelled", "SwitchedOff", nullptr, switchOff,
       {{{"\"SwitchedOff\" does not answer"}, Answer::kCancel}}, {}, {}, {}},
      {"a device that fails", "Broken", nullptr, {},
       {{{"The print service stopped the page for the printer \"Broken\"", "after an error"},
         Answer::kCancel, {}, " (or with: lp -i Broken-%1 -H restart) "}},
       {}, {}, {}},
      {"held by the user's own defaults", "Zebra203", "Dest Zebra203 job-hold-until=indefinite\n", {},
       {{{"The page waits, held, in the queue of the printer \"Zebra203\"",
          "the printing defaults of this user hold every job"},
         Answer::kLeave, {}, " (or with: lp -i Zebra203-%1 -H resume)."}},
       resume, outputOf("Zebra203"), {}},
      {"held, cancelled", "Zebra203", "Dest Zebra203 job-hold-until=indefinite\n", {},
       {{{"held"}, Answer::kCancel}}, {}, {}, {}},
      // The print server may still hold the job when the printer says it is
      // out of labels, or may have handed it to LPrint, which keeps it for
      // the printer: either is said as it is, and it prints once loaded.
      {"LPrint's label printer out of labels", "LPrintZebra", nullptr,
       [this] {
         zebra_->Clear();
         zebra_->MediaOut(true);
       },
       {{{"The printer \"LPrintZebra\" reports that it is out of paper or labels",
          "The page waits in its queue and prints once that is put right"},
         Answer::kLeave,
         {IPP_JSTATE_PENDING, IPP_JSTATE_PROCESSING}},
        {{"The printer \"LPrintZebra\" reports that it is out of paper or labels",
          "The page has reached the printer, which prints it once that is put right"},
         Answer::kOk,
         {IPP_JSTATE_COMPLETED}}},
       [this](int) { zebra_->MediaOut(false); }, [this] { return !zebra_->Label().empty(); },
       [this] { zebra_->MediaOut(false); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Lpadmin(QStringLiteral("-d ") + QLatin1String(c.queue)));
    WriteLpoptions(c.lpoptions);
    QFile(server_->Output(QLatin1String(c.queue))).resize(0);
    if (c.setUp) c.setUp();
    ui::Form1 w(ui::PrintOnDefaultPrinter);
    w.show();
    QTest::keyClicks(w.Text1, QStringLiteral("4006381333931"));
    const int before = NewestJob();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(PressPrint(w), QString()) << "nothing to say at the press";
    const int job = NewestJob();
    ASSERT_EQ(job, before + 1) << "the press handed one job over";
    // Typing goes on while the job is followed.
    QString typed = QStringLiteral("5");
    QTest::keyClicks(w.Text1, typed);
    // The job's state at the last look before the message, and at the one that found it.
    int was = 0, at = 0;
    const bool told = WaitFor(
        [&] {
          was = std::exchange(at, JobState(job));
          if (w.Jobs().Shown()) return true;
          if (clock.elapsed() / 1000 > typed.size() && typed.size() < 20) {
            QTest::keyClicks(w.Text1, QStringLiteral("7"));
            typed += u'7';
          }
          return w.Jobs().UnderWay() == 0;
        },
        kFollowedAtMost);
    ASSERT_TRUE(told) << "followed for longer than the window follows a job";
    const qint64 after = clock.elapsed();
    EXPECT_EQ(w.State().Code39Text, u"4006381333931" + ui::Std16(typed)) << "the window answered typing";
    QMessageBox* box = w.Jobs().Shown();
    if (c.told.empty()) {
      EXPECT_EQ(box, nullptr) << (box ? box->text().toStdString() : "");
      ASSERT_TRUE(WaitForQueue());
      EXPECT_EQ(JobState(job), IPP_JSTATE_COMPLETED);
      EXPECT_TRUE(WaitFor(c.printed, 30000)) << "the label came out";
      std::printf("[fate] %s | %s | %s | nothing said | %.1f s\n", c.what, c.queue, StateName(JobState(job)),
                  static_cast<double>(after) / 1000);
      continue;
    }
    ASSERT_NE(box, nullptr);
    const QString text = box->text();
    EXPECT_EQ(AlertText(box).toStdString(), text.toStdString()) << "read as shown";
    const auto says = [&text](const Told& t) {
      return std::all_of(t.words.begin(), t.words.end(),
                         [&text](const char* part) { return text.contains(QString::fromUtf8(part)); });
    };
    const auto said = std::find_if(c.told.begin(), c.told.end(), says);
    ASSERT_NE(said, c.told.end()) << "true for no state of this job: " << text.toStdString();
    if (said->command) {
      EXPECT_TRUE(text.contains(QString::fromUtf8(said->command).arg(job))) << text.toStdString();
    }
    EXPECT_TRUE(said->states.empty() || said->states.count(was) || said->states.count(at))
        << "said while the job was " << StateName(was) << ", then " << StateName(at) << ": "
        << text.toStdString();
    std::printf("[fate] %s | %s | %s, then %s | %s | %.1f s\n", c.what, c.queue, StateName(was), StateName(at),
                text.toStdString().c_str(), static_cast<double>(after) / 1000);
    const Answer answered = said->answer;
    const QString answer = answered == Answer::kCancel  ? QStringLiteral("Cancel the job")
                           : answered == Answer::kLeave ? QStringLiteral("Leave it")
                                                        : QStringLiteral("OK");
    QAbstractButton* pressed = nullptr;
    for (QAbstractButton* b : box->buttons())
      if (b->text() == answer || (answered == Answer::kOk && box->buttonRole(b) == QMessageBox::AcceptRole))
        pressed = b;
    ASSERT_NE(pressed, nullptr) << "the message offers " << answer.toStdString();
    EXPECT_EQ(box->buttons().size(), answered == Answer::kOk ? 1 : 2)
        << "Cancel the job and Leave it where the page may still print here";
    pressed->click();
    EXPECT_TRUE(WaitFor([&w] { return w.Jobs().Shown() == nullptr; }, kSlowMachine));
    if (answered == Answer::kCancel) {
      EXPECT_TRUE(WaitFor([job] { return JobState(job) == IPP_JSTATE_CANCELED; }, kSlowMachine))
          << "the job is canceled on the server: " << StateName(JobState(job));
      EXPECT_EQ(w.Jobs().Shown(), nullptr) << "nothing more is said";
    } else {
      if (answered == Answer::kLeave) {
        const int left = JobState(job);
        EXPECT_TRUE(left >= IPP_JSTATE_PENDING && left != IPP_JSTATE_CANCELED && left != IPP_JSTATE_ABORTED)
            << "left, the job is still there: " << StateName(left);
      }
      c.bringBack(job);
      EXPECT_TRUE(WaitFor([job] { return JobState(job) == IPP_JSTATE_COMPLETED; }, 60000))
          << "it prints once the printer is back: " << StateName(JobState(job));
      EXPECT_TRUE(WaitFor(c.printed, 30000)) << "the label came out";
    }
    if (c.undo) c.undo();
    Tool(QStringLiteral("cancel"), {QStringLiteral("-a")});
    WriteLpoptions(nullptr);
  }
}

// A queue stopped with a reason: the press is refused, with the reason,
// which is shown, and read, as the characters it has: markup as markup.
TEST_F(Printing, APausedQueueSaysItsReason) {
  struct Case {
    const char* queue;
    const char* reason;
    const char* says;
  };
  ASSERT_TRUE(Lpadmin(QStringLiteral("-p <b>Dock -v file:///dev/null -m drv:///sample.drv/zebra.ppd -E")));
  for (const Case& c :
       {Case{"Zebra300", "out of labels",
             "The printer \"Zebra300\" is paused (out of labels). Resume it in the system's printer "
             "settings (or with: cupsenable Zebra300), then press Print again. Nothing was printed."},
        Case{"<b>Dock",
             "<b>Out of labels</b> <a href=\"https://example.invalid/fix\">Fix it here</a> "
             "<img src=\"file:///usr/share/pixmaps/debian-logo.png\">",
             "The printer \"<b>Dock\" is paused (<b>Out of labels</b> <a "
             "href=\"https://example.invalid/fix\">Fix it here</a> <img "
             "src=\"file:///usr/share/pixmaps/debian-logo.png\">). Resume it in the system's printer "
             "settings (or with: cupsenable '<b>Dock'), then press Print again. Nothing was printed."}}) {
    SCOPED_TRACE(c.queue);
    ASSERT_TRUE(Lpadmin(QStringLiteral("-d ") + QString::fromUtf8(c.queue)));
    ASSERT_TRUE(Tool(QStringLiteral("cupsdisable"),
                     {QStringLiteral("-r"), QString::fromUtf8(c.reason), QString::fromUtf8(c.queue)}));
    qint64 elapsed = 0;
    const int all = Jobs(CUPS_WHICHJOBS_ALL);
    const QString shown = PressAndGoOn(elapsed);
    ASSERT_TRUE(Tool(QStringLiteral("cupsenable"), {QString::fromUtf8(c.queue)}));
    EXPECT_EQ(shown, QString::fromUtf8(c.says));
    EXPECT_EQ(Jobs(CUPS_WHICHJOBS_ALL), all) << "no job";
  }
  Lpadmin(QStringLiteral("-x <b>Dock"));
}

TEST_F(Printing, TwoQuickPressesGiveTwoJobs) {
  ASSERT_TRUE(Lpadmin(QStringLiteral("-d Office")));
  ui::Form1 w(ui::PrintOnDefaultPrinter);
  w.show();
  QTest::keyClicks(w.Text1, QStringLiteral("555"));
  const int completed = CompletedJobs();
  EXPECT_EQ(PressPrint(w), QString());
  EXPECT_EQ(PressPrint(w), QString());
  ASSERT_TRUE(WaitForQueue());
  EXPECT_EQ(CompletedJobs(), completed + 2);
}

// A queue that does not take the page: the message, no job, the window goes on.
TEST_F(Printing, RefusingAndPausedQueuesAreReportedAndLeaveNoJob) {
  struct Case {
    const char* off;
    const char* on;
    const char* says;
  };
  for (const Case& c : {Case{"cupsreject", "cupsaccept", "did not accept"},
                        Case{"cupsdisable", "cupsenable", "is paused"}}) {
    SCOPED_TRACE(c.off);
    ASSERT_TRUE(Lpadmin(QStringLiteral("-d Office")));
    ASSERT_TRUE(Tool(QLatin1String(c.off), {QStringLiteral("Office")}));
    ui::Form1 w(ui::PrintOnDefaultPrinter);
    w.show();
    QTest::keyClicks(w.Text1, QStringLiteral("123"));
    const int all = Jobs(CUPS_WHICHJOBS_ALL);
    const QString shown = PressPrint(w);
    ASSERT_TRUE(Tool(QLatin1String(c.on), {QStringLiteral("Office")}));
    EXPECT_TRUE(shown.contains(QLatin1String(c.says))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Nothing was printed"))) << shown.toStdString();
    EXPECT_EQ(Jobs(CUPS_WHICHJOBS_ALL), all) << "no job was made";
    const int completed = CompletedJobs();
    EXPECT_EQ(PressPrint(w), QString()) << "the next press prints";
    ASSERT_TRUE(WaitForQueue());
    EXPECT_EQ(CompletedJobs(), completed + 1);
  }
}

// Queues on which the page can't be printed as laid out, or not at all: the
// message says why, and the window goes on.
TEST_F(Printing, QueuesThatCannotTakeThePageSaySo) {
  const HeldPort off;  // a print server that is not there
  const QString dead = QStringLiteral("ipp://127.0.0.1:%1/printers/Label6x4").arg(off.Port());
  struct Case {
    const char* queue;
    const char* lpoptions;
    QString setUp, undo;  // lpadmin's arguments
    const char* says;
    bool printed;  // a job was made
  };
  for (const Case& c : {
           // 1.25 x 3.5 in address labels: too small either way round.
           Case{"LPrintDymo", nullptr, {}, {}, "not fit on its media", true},
           Case{"Raw", nullptr, {}, {}, "takes only the printer's own language", false},
           Case{"Labels", nullptr, QStringLiteral("-p Pool2 -o PageSize=w288h432"),
                QStringLiteral("-p Pool2 -o PageSize=w432h288"),
                "\"Pool1\": 6.00 x 4.00 in (152 x 102 mm) at 203 dpi; \"Pool2\": 4.00 x 6.00 in",
                false},
           Case{"Zebra203", "Dest Zebra203 media=iso_a0_841x1189mm\n", {}, {},
                "has no media of 33.11 x 46.81 in", false},
           Case{"Shared6x4", nullptr, QStringLiteral("-p Shared6x4 -v ") + dead,
                QStringLiteral("-p Shared6x4 -v ") + shared6x4_, "could not be asked", false}}) {
    SCOPED_TRACE(c.queue);
    ASSERT_TRUE(Lpadmin(QStringLiteral("-d ") + QLatin1String(c.queue)));
    WriteLpoptions(c.lpoptions);
    if (!c.setUp.isEmpty()) Lpadmin(c.setUp);
    QFile(server_->Output(QStringLiteral("Raw"))).resize(0);
    const int all = Jobs(CUPS_WHICHJOBS_ALL);
    qint64 elapsed = 0;
    const QString shown = PressAndGoOn(elapsed);
    if (!c.undo.isEmpty()) Lpadmin(c.undo);
    WriteLpoptions(nullptr);
    ASSERT_TRUE(WaitForQueue());
    EXPECT_TRUE(shown.contains(QString::fromUtf8(c.says))) << shown.toStdString();
    EXPECT_EQ(shown.contains(QStringLiteral("Nothing was printed")), !c.printed)
        << shown.toStdString();
    EXPECT_EQ(Jobs(CUPS_WHICHJOBS_ALL), all + (c.printed ? 1 : 0));
    EXPECT_EQ(QFile(server_->Output(QStringLiteral("Raw"))).size(), 0) << "no page reached it";
  }
}

// Printing makes its page in memory: a temporary folder that can't be
// written changes nothing.
TEST_F(Printing, AnUnwritableTemporaryFolderChangesNothing) {
  ASSERT_TRUE(Lpadmin(QStringLiteral("-d Zebra203")));
  const QByteArray saved = qgetenv("TMPDIR");
  for (const char* tmp : {"/proc", "/nonexistent/tmp", "/dev/full"}) {
    SCOPED_TRACE(tmp);
    qputenv("TMPDIR", tmp);
    QFile(server_->Output(QStringLiteral("Zebra203"))).resize(0);
    ui::Form1 w(ui::PrintOnDefaultPrinter);
    w.show();
    QTest::keyClicks(w.Text1, QStringLiteral("4006381333931"));
    EXPECT_EQ(PressPrint(w), QString());
    ASSERT_TRUE(WaitForQueue());
    QFile f(server_->Output(QStringLiteral("Zebra203")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const scan::Image page = scan::ReadZpl(f.readAll().toStdString());
    Found found;
    for (const auto& d : scan::ReadZbar(page)) found.insert({d.format, d.text});
    EXPECT_EQ(found.size(), 4U) << "the whole page came out";
  }
  qputenv("TMPDIR", saved);
}

// A go-between on the way to the print server that lets every request pass
// until the print job's document begins; then it cuts the connection, or
// holds it without a word, as a server that died or hung mid-job would.
class MidJobFault {
 public:
  enum class Mode { kCut, kStall };

  MidJobFault(const QString& upstream, const QString& path, Mode mode)
      : upstream_(upstream.toStdString()), mode_(mode) {
    listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un addr = Address(path.toStdString());
    if (bind(listener_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(listener_, 8) != 0 || pipe(stop_) != 0) {
      ADD_FAILURE() << "no go-between socket";
      return;
    }
    thread_ = std::thread([this] { Serve(); });
  }
  ~MidJobFault() {
    if (thread_.joinable()) {
      const char quit = 'q';
      (void)!write(stop_[1], &quit, 1);
      thread_.join();
    }
    for (int fd : {listener_, stop_[0], stop_[1]})
      if (fd >= 0) close(fd);
  }
  bool Triggered() const { return triggered_; }

 private:
  static sockaddr_un Address(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    return addr;
  }
  // The start of an IPP Send-Document request: version, operation 6, a
  // request id, then the operation attributes and their charset.
  static bool SendDocument(const std::string& seen) {
    for (std::size_t i = 0; i + 10 <= seen.size(); ++i)
      if ((seen[i] == 1 || seen[i] == 2) && seen[i + 2] == 0 && seen[i + 3] == 6 &&
          seen[i + 8] == 1 && seen[i + 9] == 0x47)
        return true;
    return false;
  }

  void Serve() {
    struct Pair {
      int client, server;
      std::string seen;
      bool held = false;
    };
    std::vector<Pair> pairs;
    for (;;) {
      std::vector<pollfd> fds{{stop_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
      for (const Pair& p : pairs)
        if (!p.held) {
          fds.push_back({p.client, POLLIN, 0});
          fds.push_back({p.server, POLLIN, 0});
        }
      if (poll(fds.data(), fds.size(), 1000) < 0) break;
      if (fds[0].revents) break;
      std::size_t k = 2;
      for (Pair& p : pairs) {
        if (p.held) continue;
        for (const bool up : {true, false}) {
          const pollfd& f = fds[k++];
          if (!(f.revents & (POLLIN | POLLHUP | POLLERR)) || p.client < 0) continue;
          char buf[16384];
          ssize_t n = read(up ? p.client : p.server, buf, sizeof buf);
          if (n > 0 && up && !triggered_) {
            p.seen.append(buf, static_cast<std::size_t>(n));
            if (SendDocument(p.seen)) {
              triggered_ = true;
              if (mode_ == Mode::kStall) {
                p.held = true;
                break;
              }
              n = 0;  // cut: as if the server had gone
            }
          }
          if (n <= 0 || write(up ? p.server : p.client, buf, static_cast<std::size_t>(n)) != n) {
            close(p.client);
            close(p.server);
            p.client = p.server = -1;
            break;
          }
        }
      }
      std::erase_if(pairs, [](const Pair& p) { return p.client < 0; });
      // New connections last: the ones above are those that were polled.
      if (fds[1].revents & POLLIN) {
        const int client = accept(listener_, nullptr, nullptr);
        const int server = socket(AF_UNIX, SOCK_STREAM, 0);
        const sockaddr_un addr = Address(upstream_);
        if (connect(server, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) {
          pairs.push_back({client, server, {}, false});
        } else {
          close(client);
          close(server);
        }
      }
    }
    for (const Pair& p : pairs) {
      close(p.client);
      close(p.server);
    }
  }

  std::string upstream_;
  Mode mode_;
  int listener_ = -1;
  int stop_[2] = {-1, -1};
  std::atomic<bool> triggered_ = false;
  std::thread thread_;
};

// The print server dies, or hangs, after the job was made and while its page
// goes over: the job is cancelled, nothing comes out, and the user is told.
TEST_F(Printing, AServerLostOrHungMidJobLeavesNoJob) {
  struct Case {
    MidJobFault::Mode mode;
    const char* says;
  };
  ASSERT_TRUE(Lpadmin(QStringLiteral("-d Zebra203")));
  const QString real = qEnvironmentVariable("CUPS_SERVER");
  QTemporaryDir dir;
  for (const Case& c : {Case{MidJobFault::Mode::kCut, "was lost"},
                        Case{MidJobFault::Mode::kStall, "does not answer"}}) {
    SCOPED_TRACE(c.says);
    const QString path = dir.filePath(QStringLiteral("%1.sock").arg(static_cast<int>(c.mode)));
    QFile(server_->Output(QStringLiteral("Zebra203"))).resize(0);
    const int all = Jobs(CUPS_WHICHJOBS_ALL);
    QString shown;
    qint64 elapsed = 0;
    {
      MidJobFault fault(real, path, c.mode);
      cupsSetServer(path.toLocal8Bit().constData());
      ui::Form1 w(ui::PrintOnDefaultPrinter);
      w.show();
      QTest::keyClicks(w.Text1, QStringLiteral("123"));
      QElapsedTimer clock;
      clock.start();
      shown = PressPrint(w);
      elapsed = clock.elapsed();
      EXPECT_TRUE(fault.Triggered()) << "the fault came mid-job";
      cupsSetServer(real.toLocal8Bit().constData());
    }
    // At most three requests of 3 s: the page's last, a new connection, the cancel.
    EXPECT_LT(elapsed, 3 * ui::PrintServer::kTimeoutMs + kSlowMachine) << "the window is never frozen long";
    EXPECT_TRUE(shown.contains(QLatin1String(c.says))) << shown.toStdString();
    const int job = NewestJob();
    if (!shown.contains(QStringLiteral("The unfinished job was cancelled; nothing was printed"))) {
      // A print server that hangs may not take the cancel in time either
      // (CUPS 2.4.10 at times answers no one while a request hangs): then
      // the message says so and names the job, which is still there.
      EXPECT_EQ(c.mode, MidJobFault::Mode::kStall) << shown.toStdString();
      EXPECT_TRUE(shown.endsWith(QStringLiteral("The page may or may not have been printed: look at the "
                                                "queue of the printer \"Zebra203\" (job %1).")
                                     .arg(job)))
          << shown.toStdString();
      EXPECT_NE(JobState(job), IPP_JSTATE_COMPLETED);
      Tool(QStringLiteral("cancel"), {QStringLiteral("Zebra203-%1").arg(job)});
    }
    ASSERT_TRUE(WaitForQueue());
    EXPECT_EQ(Jobs(CUPS_WHICHJOBS_ALL), all + 1) << "the job was made";
    EXPECT_EQ(QFile(server_->Output(QStringLiteral("Zebra203"))).size(), 0) << "nothing came out";
  }
}

// Faults of the print server itself, each on a server of its own.
class PrintServerFaults : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Started()); }
  QString Press() { return PressAndGoOn(elapsed_); }
  PrintServer server_;
  qint64 elapsed_ = 0;
};

TEST_F(PrintServerFaults, PrintersButNoDefaultAreNamed) {
  ASSERT_TRUE(Lpadmin(QStringLiteral("-x Office")));
  const QString shown = Press();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("No default printer is chosen"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("Zebra203, Zebra300"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral(" (or with: lpoptions -d Broken), then"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("Nothing was printed"))) << shown.toStdString();
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  for (int i = 0; i < count; ++i)
    ASSERT_TRUE(Lpadmin(QStringLiteral("-x ") + QString::fromUtf8(dests[i].name)));
  cupsFreeDests(count, dests);
  const QString none = Press();
  EXPECT_TRUE(none.startsWith(QStringLiteral("No printer is set up"))) << none.toStdString();
  EXPECT_EQ(Jobs(CUPS_WHICHJOBS_ALL), 0);
}

TEST_F(PrintServerFaults, AStalledServerTimesOutAndLeavesNoJob) {
  const pid_t cupsd = server_.Pid();
  ASSERT_GT(cupsd, 0);
  ASSERT_EQ(kill(cupsd, SIGSTOP), 0);
  const QString shown = Press();
  kill(cupsd, SIGCONT);
  EXPECT_LT(elapsed_, ui::PrintServer::kTimeoutMs + kSlowMachine) << "one request of 3 s, not more";
  EXPECT_TRUE(shown.startsWith(QStringLiteral("The print service (CUPS) does not answer")))
      << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("Nothing was printed"))) << shown.toStdString();
  EXPECT_EQ(Jobs(CUPS_WHICHJOBS_ALL), 0);
  EXPECT_EQ(Press(), QString()) << "once it answers again, Print prints";
}

TEST_F(PrintServerFaults, AKilledServerIsNotRunning) {
  const pid_t cupsd = server_.Pid();
  ASSERT_GT(cupsd, 0);
  ASSERT_EQ(kill(cupsd, SIGKILL), 0);
  // Ended (a zombie, or reaped), its socket closed.
  ASSERT_TRUE(WaitFor([cupsd] {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(cupsd));
    return !stat.open(QIODevice::ReadOnly) || stat.readAll().split(')').last().startsWith(" Z");
  }, 30000));
  const QString shown = Press();
  EXPECT_LT(elapsed_, kSlowMachine) << "no request waits";
  EXPECT_TRUE(shown.startsWith(QStringLiteral("The print service (CUPS) is not running")))
      << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("Nothing was printed"))) << shown.toStdString();
}

// A print service that refuses to list its printers, or to say what the
// default printer prints on: the message keeps the server's reason.
TEST(PrintServerRefusals, TheServersReasonIsSaid) {
  struct Case {
    const char* operation;  // refused to all but a user that does not exist
    const char* remove;     // a printer deleted first, if any
    const char* says;
  };
  for (const Case& c : {Case{"CUPS-Get-Printers", "Office",
                             "The printers could not be looked up: Forbidden."},
                        Case{"Get-Printer-Attributes", nullptr,
                             "The printer \"Office\" did not say what it prints on: Forbidden."}}) {
    SCOPED_TRACE(c.operation);
    PrintServer server;
    ASSERT_TRUE(server.Started());
    if (c.remove) Lpadmin(QStringLiteral("-x ") + QLatin1String(c.remove));
    ASSERT_TRUE(server.Reload(QStringLiteral("<Policy default>\n"),
                              QStringLiteral("  <Limit %1>\n    AuthType Basic\n    Require user "
                                             "nosuchuser\n  </Limit>\n")
                                  .arg(QLatin1String(c.operation))));
    qint64 elapsed = 0;
    const QString shown = PressAndGoOn(elapsed);
    EXPECT_TRUE(shown.startsWith(QLatin1String(c.says))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("Nothing was printed."))) << shown.toStdString();
  }
}

// What the desktop's print server says of `queue`: the values of `attribute`,
// one to a line.
QString StateMessage(const char* queue, const char* attribute = "printer-state-message") {
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  char uri[1024];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s", queue);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ipp_t* answer = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
  ipp_attribute_t* values = ippFindAttribute(answer, attribute, IPP_TAG_ZERO);
  QStringList said;
  for (int i = 0; i < ippGetCount(values); ++i) said << QString::fromUtf8(ippGetString(values, i, nullptr));
  ippDelete(answer);
  return said.join(u'\n');
}

// How many requests the tests' hostile printer on `port` got at the path of
// `answer`, as it counts them; -1 when it does not say.
int Requests(int port, const QString& answer) {
  QTcpSocket asked;
  asked.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
  if (!asked.waitForConnected(kSlowMachine)) return -1;
  asked.write(QStringLiteral("GET /ipp/print/%1 HTTP/1.0\r\n\r\n").arg(answer).toLatin1());
  QByteArray said;
  while (asked.waitForReadyRead(kSlowMachine)) said += asked.readAll();  // until it closes
  const qsizetype body = said.indexOf("\r\n\r\n");
  bool number = false;
  const int count = said.mid(body + 4).trimmed().toInt(&number);
  return body >= 0 && number ? count : -1;
}

// A label printer behind a driverless queue that answers what no printer
// has, says its state in markup, control characters, a right-to-left
// override or every format character, stops its answer halfway or never
// answers: each time the window goes on, asks it no more than it must, and
// says why in plain words; nothing is printed on an absurd page. (The
// readers' table has every absurd answer; one goes the whole way here.)
TEST(HostilePrinter, EveryAnswerIsSaid) {
  PrintServer server;
  ASSERT_TRUE(server.Started());
  // The tests' own network printer, on a port it chose and says once it
  // listens; killed with its QProcess.
  QProcess printer;
  printer.start(QStringLiteral("python3"), {QStringLiteral(BARCODES_HOSTILE_PRINTER)});
  ASSERT_TRUE(WaitFor([&printer] { return printer.canReadLine() || printer.waitForReadyRead(100); },
                      kSlowMachine));
  const int port = printer.readLine().trimmed().toInt();
  ASSERT_GT(port, 0);
  const auto uri = [port](const QString& answer) {
    return QStringLiteral("ipp://127.0.0.1:%1/ipp/print/%2").arg(port).arg(answer);
  };
  // Made while it answers as a 4 x 6 in label printer at 203 dpi, borderless:
  // the queue knows its resolution but not its media, which it asks the printer.
  ASSERT_TRUE(server.Script({QStringLiteral("driverless"), QStringLiteral("Hostile"), uri(QStringLiteral("sane"))}));
  ASSERT_TRUE(Lpadmin(QStringLiteral("-d Hostile")));
  const QString unasked = QStringLiteral(
      "The printer \"Hostile\" does not say what paper or labels it has loaded, and the printer it "
      "prints to (%1) could not be asked: ");
  struct Case {
    const char* answer;
    QString says;  // the whole message at the press; empty: the page was printed
    // The start of the message that follows the job, if any, and the
    // printer's own words in it, and in its own message as it sends them.
    std::vector<QString> later = {};
    const char* lpoptions = nullptr;  // the user's own defaults
    // Where no job is made: the requests the printer gets (its destination's
    // description, then its page), and how many of them it leaves unanswered.
    int asked = 0, unanswered = 0;
    QString sent = {};  // the printer's own words, as it sends them, if it keeps the job
  };
  for (const Case& c : std::vector<Case>{
           {"sane", {}},
           {"dpi-huge", "The printer \"Hostile\" did not say what it prints on: it gives 2147483647 dpi "
                        "as its resolution. Nothing was printed.", {}, nullptr, 2},
           {"ten-thousand-names", {}},
           {"hostile-texts", {},
            {QStringLiteral("The printer \"Hostile\" reports that it is out of paper or labels"),
             QStringLiteral("<b>Out of labels</b> <a href=\"https://example.invalid/fix\">Fix it here</a>")},
            nullptr, 0, 0, QStringLiteral("<b>Out of labels</b>")},
           // Its message: every format character, each between two Arabic letters.
           {"invisible-texts", {},
            {QStringLiteral("The printer \"Hostile\" reports that it is out of paper or labels"),
             QString(10, QChar(0x0628))},
            nullptr, 0, 0, QStringLiteral(u"\u0628\u00AD\u0628\u0600")},
           {"cut-off", unasked.arg(uri(QStringLiteral("cut-off"))), {}, nullptr, 1},
           {"silent", unasked.arg(uri(QStringLiteral("silent"))) +
                          "it does not answer (it was given 3 s). Nothing was printed.", {}, nullptr, 1, 1},
           {"silent-after-first", unasked.arg(uri(QStringLiteral("silent-after-first"))) +
                                      "it does not answer (it was given 3 s). Nothing was printed.",
            {}, nullptr, 2, 1},
           // The user's own media: what the job is printed on, whatever the printer's default.
           {"size-negative", {}, {}, "Dest Hostile media=na_index-4x6_4x6in\n"},
           {"size-negative", {}, {}, "Dest Hostile media=w288h576\n"},
       }) {
    SCOPED_TRACE(c.answer);
    WriteLpoptions(c.lpoptions);
    ASSERT_TRUE(Lpadmin(QStringLiteral("-p Hostile -v ") + uri(QLatin1String(c.answer))));
    if (!c.sent.isEmpty()) {
      // A job before the press, which the printer keeps: once the queue has
      // the printer's own message, the page of the press waits behind it,
      // and what keeps it is said with the printer's words.
      ASSERT_TRUE(Tool(QStringLiteral("lp"), {QStringLiteral("-d"), QStringLiteral("Hostile"), QStringLiteral("-o"),
                                              QStringLiteral("raw"), QStringLiteral(BARCODES_HOSTILE_PRINTER)}));
      // CUPS's ipp backend puts "Waiting for job to complete." in the queue's
      // message once it has sent the job, and the printer's message back at its
      // next look at the printer: a look counted after that is awaited.
      ASSERT_TRUE(WaitFor([] { return StateMessage("Hostile", "printer-state-reasons")
                                   .contains(QStringLiteral("cups-waiting-for-job-completed")); },
                          kFollowedAtMost))
          << StateMessage("Hostile", "printer-state-reasons").toStdString();
      const int looked = Requests(port, QLatin1String(c.answer));
      ASSERT_TRUE(WaitFor([&] { return Requests(port, QLatin1String(c.answer)) >= looked + 2 &&
                                       StateMessage("Hostile").contains(c.sent); },
                          kFollowedAtMost))
          << StateMessage("Hostile").toStdString();
    }
    const int all = Jobs(CUPS_WHICHJOBS_ALL);
    ui::Form1 w(ui::PrintOnDefaultPrinter);
    w.show();
    qint64 elapsed = 0;
    const QString shown = PressAndGoOn(w, QStringLiteral("4006381333931"), elapsed);
    EXPECT_TRUE(c.says.isEmpty() ? shown.isEmpty() : shown.startsWith(c.says)) << shown.toStdString();
    EXPECT_EQ(Jobs(CUPS_WHICHJOBS_ALL), all + (c.says.isEmpty() ? 1 : 0)) << "a job only for a sane page";
    if (c.asked > 0) {
      EXPECT_EQ(Requests(port, QLatin1String(c.answer)), c.asked)
          << "asked once for each, and nothing after a request that ran out";
      EXPECT_LT(elapsed, c.unanswered * ui::PrintServer::kTimeoutMs + kSlowMachine)
          << "each request is given 3 s";
    }
    std::printf("[hostile] %s | %.1f s | %s\n", c.answer, static_cast<double>(elapsed) / 1000,
                shown.toStdString().c_str());
    if (c.later.empty()) continue;
    ASSERT_TRUE(WaitFor([&w] { return w.Jobs().Shown() != nullptr; }, kFollowedAtMost)) << "what became of it";
    QMessageBox* box = w.Jobs().Shown();
    const QString text = box->text();
    std::printf("[hostile] %s, then | %s\n", c.answer, text.toStdString().c_str());
    EXPECT_TRUE(text.startsWith(c.later.front())) << text.toStdString();
    for (const QString& words : c.later) EXPECT_TRUE(text.contains(words)) << text.toStdString();
    EXPECT_EQ(AlertText(box).toStdString(), text.toStdString()) << "read as shown";
    const char* notShown = ucd::NotShown(ui::Std16(text));
    EXPECT_EQ(notShown, nullptr) << notShown << ": " << text.toStdString();
    EXPECT_LE(text.size(), 500) << "cut short";
    for (QAbstractButton* b : box->buttons())
      if (b->text() == QStringLiteral("Cancel the job")) b->click();
    Tool(QStringLiteral("cancel"), {QStringLiteral("-a")});
  }
  WriteLpoptions(nullptr);
}

// Run with CUPS_SERVER pointing nowhere: the print service is gone.
TEST(NoPrinter, PressingPrintTellsTheUserAndGoesOn) {
  qint64 elapsed = 0;
  const QString shown = PressAndGoOn(elapsed);
  EXPECT_LT(elapsed, kSlowMachine) << "no request waits";
  EXPECT_TRUE(shown.startsWith(QStringLiteral("The print service (CUPS) is not running")))
      << shown.toStdString();
}

// Where the print service would be there is no socket, or one that this
// user may not open: each is said as it is. Root may open any socket, so
// root asks as nobody, in a child process.
TEST(NoPrinter, WhyThePrintServiceCannotBeReachedIsSaid) {
  QTemporaryDir dir;
  const QString locked = dir.filePath(QStringLiteral("locked.sock"));
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", locked.toLocal8Bit().constData());
  ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(fd, 4), 0);
  ASSERT_EQ(chmod(locked.toLocal8Bit().constData(), geteuid() == 0 ? 0700 : 0), 0);
  ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0755), 0);
  for (const auto& [where, says] :
       {std::pair{dir.filePath(QStringLiteral("none.sock")),
                  "The print service (CUPS) is not running (nothing answers at "},
        std::pair{locked, "This user may not connect to the print service (CUPS) at "}}) {
    cupsSetServer(where.toLocal8Bit().constData());
    int pipes[2];
    ASSERT_EQ(pipe(pipes), 0);
    const pid_t child = fork();
    if (child == 0) {
      if (geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0)) {
        ui::PrintServer server;
        const QByteArray said = server.DefaultPage() ? QByteArray() : server.Error().toUtf8();
        (void)!write(pipes[1], said.constData(), static_cast<std::size_t>(said.size()));
      }
      _exit(0);
    }
    close(pipes[1]);
    QByteArray said(4096, '\0');
    said.resize(std::max<ssize_t>(0, read(pipes[0], said.data(), static_cast<std::size_t>(said.size()))));
    close(pipes[0]);
    waitpid(child, nullptr, 0);
    const QString shown = QString::fromUtf8(said);
    EXPECT_TRUE(shown.startsWith(QLatin1String(says) + where)) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("Nothing was printed."))) << shown.toStdString();
  }
  close(fd);
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // A HOME of the tests' own: the user's printing defaults (lpoptions) are
  // neither read nor written.
  const QTemporaryDir home;
  qputenv("HOME", home.path().toLocal8Bit());
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
