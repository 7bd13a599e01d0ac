// The printer adapter with a stand-in spooler: what reaches the spooler, and
// that a failed or aborted job never does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QRegularExpression>

#include "ui/form_state.h"
#include "ui/print_routine.h"
#include "ui/qt_surface.h"

namespace {

struct FakeSpooler {
  QString refuseWith;
  int calls = 0;
  QByteArray pdf;  // what the spooler was handed
  QString title;

  ui::Spooler Get() {
    return [this](const QString&, const QString& file, const QString& t) {
      ++calls;
      QFile f(file);
      if (f.open(QIODevice::ReadOnly)) pdf = f.readAll();
      title = t;
      return refuseWith;
    };
  }
};

// Page objects in a PDF: "/Type /Page", not "/Type /Pages".
int Pages(const QByteArray& pdf) {
  return static_cast<int>(
      QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

}  // namespace

TEST(PrinterSurface, OnePageReachesTheSpooler) {
  FakeSpooler spooler;
  ui::QtPrinterSurface page(QPrinterInfo(), spooler.Get());
  EXPECT_GT(page.Width(), 8000) << "the printable width holds both columns";
  ASSERT_TRUE(ui::Command1_Click(page, ui::DeriveState(QStringLiteral("123"))));
  EXPECT_EQ(spooler.calls, 1);
  EXPECT_TRUE(spooler.pdf.startsWith("%PDF")) << spooler.pdf.left(20).toStdString();
  EXPECT_EQ(Pages(spooler.pdf), 1);
  EXPECT_EQ(spooler.title, QStringLiteral("Barcodes"));
  EXPECT_TRUE(page.ErrorText().isEmpty());
}

TEST(PrinterSurface, NothingToPrintStillSpoolsABlankPage) {
  FakeSpooler spooler;
  ui::QtPrinterSurface page(QPrinterInfo(), spooler.Get());
  ASSERT_TRUE(ui::Command1_Click(page, ui::FormState{}));
  EXPECT_EQ(spooler.calls, 1);
  EXPECT_EQ(Pages(spooler.pdf), 1);
}

TEST(PrinterSurface, ARefusalIsAFailure) {
  FakeSpooler spooler;
  spooler.refuseWith = QStringLiteral("Destination is not accepting jobs");
  ui::QtPrinterSurface page(QPrinterInfo(), spooler.Get());
  EXPECT_FALSE(ui::Command1_Click(page, ui::DeriveState(QStringLiteral("123"))));
  EXPECT_EQ(spooler.calls, 1);
  EXPECT_TRUE(page.ErrorText().contains(QStringLiteral("not accepting jobs.")))
      << page.ErrorText().toStdString();
}

TEST(PrinterSurface, AnAbortedJobNeverReachesTheSpooler) {
  FakeSpooler spooler;
  QString file;
  {
    ui::QtPrinterSurface page(QPrinterInfo(), spooler.Get());
    page.PrintQuality(ui::PrinterSurface::kHigh);
    page.Font(QStringLiteral("Courier New"), 8, true);
    page.Line(ui::kFilledBox, 100, 100, 200, 200, ui::kBlack);
    page.Abort();
    page.EndDoc();  // too late: the job is gone
  }
  EXPECT_EQ(spooler.calls, 0);
}

TEST(PrinterSurface, QualityPicksTheResolution) {
  struct Case { int quality, atMost; };
  for (const Case& c : {Case{ui::PrinterSurface::kDraft, 150}, Case{ui::PrinterSurface::kLow, 300},
                        Case{ui::PrinterSurface::kMedium, 600}}) {
    FakeSpooler spooler;
    ui::QtPrinterSurface page(QPrinterInfo(), spooler.Get());
    const int native = page.Resolution();
    page.PrintQuality(c.quality);
    EXPECT_EQ(page.Resolution(), std::min(native, c.atMost));
    page.PrintQuality(ui::PrinterSurface::kHigh);
    EXPECT_EQ(page.Resolution(), native);
  }
}
