// Real printing: the window prints through CUPS to a virtual PDF printer;
// the page is rasterised at 600 dpi and scanned back with zxing-cpp.
// Needs a CUPS server with a PDF queue as the default (scripts/cups.sh).
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <set>

#include "scan.h"
#include "ui/form1.h"

namespace {

using Found = std::set<std::pair<std::string, std::string>>;

// cups-pdf writes to the PDF folder in the submitting user's home.
QDir OutputDir() {
  const passwd* pw = getpwuid(getuid());
  return QDir(QString::fromLocal8Bit(pw ? pw->pw_dir : "/root") + QStringLiteral("/PDF"));
}

QStringList Pdfs() {
  return OutputDir().entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
}

int ActiveJobs() {
  cups_job_t* jobs = nullptr;
  const int n = cupsGetJobs(&jobs, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
  cupsFreeJobs(n, jobs);
  return n;
}

// Waits until the spooler has no job left; false on time-out.
bool WaitForQueue(int ms = 30000) {
  QElapsedTimer t;
  t.start();
  while (ActiveJobs() > 0) {
    if (t.elapsed() > ms) return false;
    QTest::qWait(50);
  }
  return true;
}

QString RunTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(60000) || p.exitCode() != 0)
    ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
  return QString::fromLocal8Bit(p.readAllStandardOutput());
}

Found ScanPdf(const QString& pdf) {
  const QString base = QDir::temp().filePath(QStringLiteral("barcodes-page"));
  RunTool(QStringLiteral("pdftoppm"),
      {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-gray"),
       QStringLiteral("-singlefile"), pdf, base});
  const scan::Image img = scan::ReadPgm((base + QStringLiteral(".pgm")).toStdString());
  QFile::remove(base + QStringLiteral(".pgm"));
  EXPECT_GT(img.width, 4000) << "a 600 dpi page";
  Found found;
  for (const auto& d : scan::Read(img, scan::Format::Any)) found.insert({d.format, d.text});
  return found;
}

// What a scanner must read off the page for the window's state.
Found Expected(const ui::FormState& st) {
  Found want;
  if (!st.ItfBars.empty()) want.insert({"ITF", st.ItfText.toStdString()});
  if (!st.Code39Bars.empty()) want.insert({"Code39", st.Code39Text.toStdString()});
  if (!st.UpcaBars.empty()) want.insert({"UPC-A", st.UpcaText.toStdString()});
  if (!st.Ean13Bars.empty()) {
    const std::string ean = st.Ean13Text.toStdString();
    // An EAN-13 symbol with a leading 0 is a UPC-A symbol, and reads as one.
    if (ean[0] == '0') want.insert({"UPC-A", ean.substr(1)});
    else want.insert({"EAN-13", ean});
  }
  return want;
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

class Printing : public ::testing::Test {
 protected:
  void SetUp() override {
    printer_ = QPrinterInfo::defaultPrinter().printerName();
    if (printer_.isEmpty()) {
      if (qEnvironmentVariableIsSet("BARCODES_REQUIRE_PRINTER"))
        FAIL() << "no default printer; start one with scripts/cups.sh start";
      GTEST_SKIP() << "no default printer; start one with scripts/cups.sh start";
    }
    ASSERT_TRUE(WaitForQueue());
    for (const QString& f : Pdfs()) OutputDir().remove(f);
  }
  QString printer_;
};

}  // namespace

TEST_F(Printing, PrintedPagesScanToTheWindowsTexts) {
  for (const char* value : {"4006381333931", "123", "98765432109876", "036000291452", "12AB",
                            "PART-7 X.5"}) {
    SCOPED_TRACE(value);
    ui::Form1 w;
    w.show();
    QTest::keyClicks(w.Text1, QString::fromUtf8(value));
    const QStringList before = Pdfs();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(PressPrint(w), QString()) << "no message when the page went out";
    ASSERT_TRUE(WaitForQueue());
    const QStringList after = Pdfs();
    std::printf("[ print ] %-16s press to PDF: %lld ms\n", value,
                static_cast<long long>(clock.elapsed()));
    ASSERT_EQ(after.size(), before.size() + 1) << "one press, one job";
    const QString pdf = OutputDir().filePath(after.front());  // newest first
    EXPECT_TRUE(RunTool(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression(
        QStringLiteral("Pages:\\s+1\\n"))));
    const Found found = ScanPdf(pdf);
    EXPECT_EQ(found, Expected(w.State()));
    const bool letters = std::string(value).find_first_of("ABRTX") != std::string::npos;
    const std::size_t symbols = letters ? 1U : 4U;
    EXPECT_EQ(found.size(), symbols) << "letters: only Code 39 on the page";
  }
}

TEST_F(Printing, TwoQuickPressesGiveTwoJobs) {
  ui::Form1 w;
  w.show();
  QTest::keyClicks(w.Text1, QStringLiteral("555"));
  EXPECT_EQ(PressPrint(w), QString());
  EXPECT_EQ(PressPrint(w), QString());
  ASSERT_TRUE(WaitForQueue());
  EXPECT_EQ(Pdfs().size(), 2);
}

TEST_F(Printing, ARefusingQueueIsReportedAndNothingIsLeft) {
  const QString queue = printer_.section(u'/', 0, 0);
  RunTool(QStringLiteral("cupsreject"), {queue});
  ui::Form1 w;
  w.show();
  QTest::keyClicks(w.Text1, QStringLiteral("123"));
  const ui::FormState before = w.State();
  const QString shown = PressPrint(w);
  RunTool(QStringLiteral("cupsaccept"), {queue});
  EXPECT_TRUE(shown.contains(QStringLiteral("did not accept"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("Nothing was printed"))) << shown.toStdString();
  EXPECT_EQ(ActiveJobs(), 0);
  EXPECT_TRUE(WaitForQueue());
  EXPECT_TRUE(Pdfs().isEmpty());
  EXPECT_EQ(w.State().ItfText, before.ItfText);
  // The window goes on, and the next press prints.
  EXPECT_EQ(PressPrint(w), QString());
  ASSERT_TRUE(WaitForQueue());
  EXPECT_EQ(Pdfs().size(), 1);
}

// Run with CUPS_SERVER pointing nowhere: the spooler is gone, so no printer.
TEST(NoPrinter, PressingPrintTellsTheUserAndGoesOn) {
  ASSERT_TRUE(QPrinterInfo::defaultPrinter().isNull());
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
