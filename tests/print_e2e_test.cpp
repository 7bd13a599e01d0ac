// Real printing: the window prints through a print server of the test's own
// (scripts/cups.sh) on CUPS's sample drivers, a ZPL label printer at 203 and
// 300 dpi and a PostScript office printer. What each driver sends to its
// device is turned back into dots, measured against the print routine's
// boxes, and read with zxing-cpp and with zbar.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <memory>
#include <set>
#include <sstream>

#include "printed_page.h"
#include "recording_surface.h"
#include "scan.h"
#include "ui/form1.h"
#include "ui/layout.h"
#include "ui/print_routine.h"

namespace {

using Found = std::set<std::pair<std::string, std::string>>;

// A private print server in a folder of its own, stopped when it goes.
class PrintServer {
 public:
  PrintServer() {
    if (!dir_.isValid()) return;
    const QString socket = dir_.filePath(QStringLiteral("cups.sock"));
    qputenv("CUPS_SERVER", socket.toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    cupsSetServer(socket.toLocal8Bit().constData());
    started_ = Script(QStringLiteral("start"));
  }
  ~PrintServer() { Script(QStringLiteral("stop")); }
  bool Started() const { return started_; }
  QString Output(const QString& queue) const {
    return dir_.filePath(QStringLiteral("out/") + queue);
  }
  pid_t Pid() const {
    QFile f(dir_.filePath(QStringLiteral("cupsd.pid")));
    return f.open(QIODevice::ReadOnly) ? static_cast<pid_t>(f.readAll().trimmed().toInt()) : 0;
  }
  bool Script(const QString& verb) {
    QProcess p;
    p.start(QStringLiteral(BARCODES_CUPS_SCRIPT), {verb, dir_.path()});
    const bool ok = p.waitForFinished(60000) && p.exitCode() == 0;
    if (!ok) ADD_FAILURE() << "cups.sh " << verb.toStdString() << ": "
                           << p.readAllStandardError().toStdString();
    return ok;
  }

 private:
  QTemporaryDir dir_;
  bool started_ = false;
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

int Jobs(int which) {
  cups_job_t* jobs = nullptr;
  const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, which);
  cupsFreeJobs(n, jobs);
  return n;
}
int ActiveJobs() { return Jobs(CUPS_WHICHJOBS_ACTIVE); }
int CompletedJobs() { return Jobs(CUPS_WHICHJOBS_COMPLETED); }

bool WaitForQueue(int ms = 30000) {
  QElapsedTimer t;
  t.start();
  while (ActiveJobs() > 0) {
    if (t.elapsed() > ms) return false;
    QTest::qWait(50);
  }
  return true;
}

// Presses Print and returns the message shown, if any.
QString PressPrint(ui::Form1& w) {
  QString shown;
  QTimer guard;
  QObject::connect(&guard, &QTimer::timeout, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  guard.start(20);
  QTest::mouseClick(w.Command1, Qt::LeftButton);
  return shown;
}

// What a scanner must read off a symbol of the window's state.
std::pair<std::string, std::string> Expected(const ui::SymbolPlace& place,
                                             const ui::FormState& st) {
  const std::string text = (st.*place.text).toStdString();
  if (place.bars == &ui::FormState::ItfBars) return {"ITF", text};
  if (place.bars == &ui::FormState::Code39Bars) return {"Code39", text};
  if (place.bars == &ui::FormState::UpcaBars) return {"UPC-A", text};
  // An EAN-13 symbol with a leading 0 is a UPC-A symbol, and reads as one.
  if (text[0] == '0') return {"UPC-A", text.substr(1)};
  return {"EAN-13", text};
}

// The print routine's boxes for one symbol, in twips: (left, right).
std::vector<std::pair<double, double>> Boxes(const ui::SymbolPlace& place,
                                             const barcode::BarPattern& bars) {
  RecordingSurface rec;
  ui::PrintBars(rec, bars, place.barsX, place.barsTop,
                ui::PrintModuleWidth(place.widthAllowance, bars.size()));
  std::vector<std::pair<double, double>> boxes;
  for (const std::string& call : rec.Only("Line 38")) {
    std::istringstream in(call.substr(8));
    double x1 = 0, y1 = 0, x2 = 0;
    in >> x1 >> y1 >> x2;
    boxes.emplace_back(x1, x2);
  }
  return boxes;
}

struct Queue {
  const char* name;
  bool zpl;             // else PostScript
  int dpi;
  double widthIn, lengthIn;
  double marginPt;      // on every side
  std::set<std::string> cut;  // the captions that run past the printable area
};

}  // namespace

class Printing : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<PrintServer>(); }
  static void TearDownTestSuite() { server_.reset(); }
  void SetUp() override { ASSERT_TRUE(server_->Started()); }
  static std::unique_ptr<PrintServer> server_;
};
std::unique_ptr<PrintServer> Printing::server_;

// Each queue prints the page on its own media, 1:1 from the corner of its
// printable area, with every bar edge within one dot of the routine's boxes,
// and both decoders read every symbol that fits.
TEST_F(Printing, EveryQueuePrintsOnItsOwnPageAndDotGrid) {
  const Queue queues[] = {
      {"Zebra203", true, 203, 6, 4, 0, {}},
      {"Zebra300", true, 300, 4, 6, 0, {"3 of 9", "EAN-13"}},
      {"Office", false, 300, 8.5, 11, 12, {}},
  };
  for (const Queue& q : queues) {
    ASSERT_TRUE(Tool(QStringLiteral("lpadmin"), {QStringLiteral("-d"), QLatin1String(q.name)}));
    for (const char* value : {"4006381333931", "036000291452", "PART-7 X.5"}) {
      SCOPED_TRACE(std::string(q.name) + " " + value);
      const QString out = server_->Output(QLatin1String(q.name));
      QFile(out).resize(0);
      ui::Form1 w;
      w.show();
      QTest::keyClicks(w.Text1, QString::fromUtf8(value));
      const ui::FormState& st = w.State();
      const int completed = CompletedJobs();
      const QString shown = PressPrint(w);
      ASSERT_TRUE(WaitForQueue());
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
      if (q.zpl) {
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        page = scan::ReadZpl(f.readAll().toStdString());
      } else {
        page = scan::ReadPostScript(out.toStdString(), q.dpi);
      }
      ASSERT_GT(page.width, 0) << "no page came out";
      // 1:1: the page is the media, dot for dot (a ZPL row is padded to whole bytes).
      EXPECT_NEAR(page.height, q.lengthIn * q.dpi, 1.0);
      EXPECT_GE(page.width, std::lround(q.widthIn * q.dpi) - 1);
      EXPECT_LT(page.width, std::lround(q.widthIn * q.dpi) + 8);

      const double dotsPerTwip = q.dpi / 1440.0;
      const double margin = q.marginPt * q.dpi / 72.0;
      const double printableWidth = (q.widthIn * 1440 - 2 * q.marginPt * 20);
      for (const ui::SymbolPlace& place : ui::kPlaces) {
        const barcode::BarPattern& bars = st.*place.bars;
        if (bars.empty() || cut.count(std::string(place.caption))) continue;
        SCOPED_TRACE(std::string(place.caption));
        const auto boxes = Boxes(place, bars);
        ASSERT_FALSE(boxes.empty());
        ASSERT_LT(boxes.back().second, printableWidth);
        const int row = static_cast<int>(margin + (place.barsTop + ui::kBarHeight / 2) * dotsPerTwip);
        const auto runs = scan::DarkRuns(
            page, row, static_cast<int>(margin + place.barsX * dotsPerTwip) - 10,
            static_cast<int>(margin + (place.barsX + place.widthAllowance) * dotsPerTwip) + 10);
        ASSERT_EQ(runs.size(), boxes.size()) << "one printed bar for each box";
        double worstEdge = 0;
        double worstWidth = 0;
        for (std::size_t i = 0; i < runs.size(); ++i) {
          const double left = margin + boxes[i].first * dotsPerTwip;
          const double right = margin + boxes[i].second * dotsPerTwip;
          worstEdge = std::max({worstEdge, std::abs(runs[i].first - left),
                                std::abs(runs[i].second - right)});
          worstWidth = std::max(worstWidth, std::abs((runs[i].second - runs[i].first) - (right - left)));
        }
        EXPECT_LE(worstEdge, 1.0) << "every bar edge within one dot";
        EXPECT_LE(worstWidth, 1.0) << "every bar as wide as its box, within one dot";

        const int x = static_cast<int>(margin + (place.barsX - 200) * dotsPerTwip);
        const int y = static_cast<int>(margin + (place.barsTop - 100) * dotsPerTwip);
        const scan::Image symbol =
            scan::Crop(page, x, y, static_cast<int>((place.widthAllowance + 400) * dotsPerTwip),
                       static_cast<int>((ui::kBarHeight + 200) * dotsPerTwip), 40);
        const auto want = Expected(place, st);
        Found zxing, zbar;
        for (const auto& d : scan::Read(symbol, scan::Format::Any)) zxing.insert({d.format, d.text});
        for (const auto& d : scan::ReadZbar(symbol)) zbar.insert({d.format, d.text});
        EXPECT_EQ(zxing, Found{want}) << "zxing-cpp";
        EXPECT_EQ(zbar, Found{want}) << "zbar";
      }
    }
  }
}

TEST_F(Printing, TwoQuickPressesGiveTwoJobs) {
  ASSERT_TRUE(Tool(QStringLiteral("lpadmin"), {QStringLiteral("-d"), QStringLiteral("Office")}));
  ui::Form1 w;
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
    ASSERT_TRUE(Tool(QStringLiteral("lpadmin"), {QStringLiteral("-d"), QStringLiteral("Office")}));
    ASSERT_TRUE(Tool(QLatin1String(c.off), {QStringLiteral("Office")}));
    ui::Form1 w;
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

// Printing makes its page in memory: a temporary folder that can't be
// written changes nothing.
TEST_F(Printing, AnUnwritableTemporaryFolderChangesNothing) {
  ASSERT_TRUE(Tool(QStringLiteral("lpadmin"), {QStringLiteral("-d"), QStringLiteral("Zebra203")}));
  const QByteArray saved = qgetenv("TMPDIR");
  for (const char* tmp : {"/proc", "/nonexistent/tmp", "/dev/full"}) {
    SCOPED_TRACE(tmp);
    qputenv("TMPDIR", tmp);
    QFile(server_->Output(QStringLiteral("Zebra203"))).resize(0);
    ui::Form1 w;
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

// Faults of the print server itself, each on a server of its own.
class PrintServerFaults : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Started()); }
  QString Press() {
    ui::Form1 w;
    w.show();
    QTest::keyClicks(w.Text1, QStringLiteral("123"));
    QElapsedTimer clock;
    clock.start();
    const QString shown = PressPrint(w);
    elapsed_ = clock.elapsed();
    QTest::keyClicks(w.Text1, QStringLiteral("4"));
    EXPECT_EQ(w.State().Code39Text, QStringLiteral("1234")) << "the window goes on";
    return shown;
  }
  PrintServer server_;
  qint64 elapsed_ = 0;
};

TEST_F(PrintServerFaults, PrintersButNoDefaultAreNamed) {
  ASSERT_TRUE(Tool(QStringLiteral("lpadmin"), {QStringLiteral("-x"), QStringLiteral("Office")}));
  const QString shown = Press();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("No default printer is chosen"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("Zebra203, Zebra300"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("lpoptions -d"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("Nothing was printed"))) << shown.toStdString();
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  for (int i = 0; i < count; ++i)
    ASSERT_TRUE(Tool(QStringLiteral("lpadmin"), {QStringLiteral("-x"), QString::fromUtf8(dests[i].name)}));
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
  EXPECT_LT(elapsed_, 6000) << "the window is never frozen long";
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
  QTest::qWait(200);
  const QString shown = Press();
  EXPECT_LT(elapsed_, 6000);
  EXPECT_TRUE(shown.startsWith(QStringLiteral("The print service (CUPS) is not running")))
      << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("Nothing was printed"))) << shown.toStdString();
}

// Run with CUPS_SERVER pointing nowhere: the print service is gone.
TEST(NoPrinter, PressingPrintTellsTheUserAndGoesOn) {
  ui::Form1 w;
  w.show();
  QTest::keyClicks(w.Text1, QStringLiteral("123"));
  QElapsedTimer clock;
  clock.start();
  const QString shown = PressPrint(w);
  EXPECT_LT(clock.elapsed(), 5000) << "no hang";
  EXPECT_TRUE(shown.startsWith(QStringLiteral("The print service (CUPS) is not running")))
      << shown.toStdString();
  QTest::keyClicks(w.Text1, QStringLiteral("4"));
  EXPECT_EQ(w.State().Code39Text, QStringLiteral("1234"));
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
