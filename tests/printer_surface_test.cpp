// The printer adapter with a stand-in spooler: what reaches the spooler, and
// that a failed or aborted job never does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QRegularExpression>

#include "ui/core/form_state.h"
#include "ui/core/print_routine.h"
#include "ui/core/text.h"
#include "ui/linux/cups/pdf_page.h"

namespace {

struct FakeSpooler {
  QString refuseWith;
  int calls = 0;
  QByteArray pdf;  // what the spooler was handed
  QString title;

  int dpi = 0;

  ui::Spooler Get() {
    return [this](const QByteArray& page, int resolution, const QString& t) {
      ++calls;
      pdf = page;
      dpi = resolution;
      title = t;
      return refuseWith;
    };
  }
};

// US Letter with 12 pt margins at 300 dpi, as the PostScript sample driver has it.
const ui::PrinterPage kLetter{u"Office", u"Letter", 21590, 27940,
                              423, 423, 423, 423, 300, {300}};

// Page objects in a PDF: "/Type /Page", not "/Type /Pages".
int Pages(const QByteArray& pdf) {
  return static_cast<int>(
      QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

}  // namespace

TEST(PrinterSurface, OnePageReachesTheSpooler) {
  FakeSpooler spooler;
  ui::QtPrinterSurface page(kLetter, spooler.Get());
  EXPECT_EQ(page.Width(), 11760) << "8.5 in less two 12 pt margins";
  EXPECT_EQ(page.Height(), 15360);
  ASSERT_TRUE(ui::Command1_Click(page, ui::DeriveState(u"123")));
  EXPECT_EQ(spooler.calls, 1);
  EXPECT_TRUE(spooler.pdf.startsWith("%PDF")) << spooler.pdf.left(20).toStdString();
  EXPECT_EQ(Pages(spooler.pdf), 1);
  EXPECT_EQ(spooler.title, QStringLiteral("Barcodes"));
  EXPECT_EQ(spooler.dpi, 300);
  EXPECT_TRUE(page.ErrorText().empty());
}

TEST(PrinterSurface, NothingToPrintStillSpoolsABlankPage) {
  FakeSpooler spooler;
  ui::QtPrinterSurface page(kLetter, spooler.Get());
  ASSERT_TRUE(ui::Command1_Click(page, ui::FormState{}));
  EXPECT_EQ(spooler.calls, 1);
  EXPECT_EQ(Pages(spooler.pdf), 1);
}

TEST(PrinterSurface, ARefusalIsAFailure) {
  FakeSpooler spooler;
  spooler.refuseWith = QStringLiteral("Destination is not accepting jobs");
  ui::QtPrinterSurface page(kLetter, spooler.Get());
  EXPECT_FALSE(ui::Command1_Click(page, ui::DeriveState(u"123")));
  EXPECT_EQ(spooler.calls, 1);
  EXPECT_TRUE(ui::Qt16(page.ErrorText()).contains(QStringLiteral("not accepting jobs")))
      << ui::ToUtf8(page.ErrorText());
}

TEST(PrinterSurface, AnAbortedJobNeverReachesTheSpooler) {
  FakeSpooler spooler;
  QString file;
  {
    ui::QtPrinterSurface page(kLetter, spooler.Get());
    page.PrintQuality(ui::PrinterSurface::kHigh);
    page.Font(u"Courier New", 8, true);
    page.Line(ui::kFilledBox, 100, 100, 200, 200, ui::kBlack);
    page.Abort();
    page.EndDoc();  // too late: the job is gone
  }
  EXPECT_EQ(spooler.calls, 0);
}

TEST(PrinterSurface, QualityPicksAResolutionThePrinterOffers) {
  struct Case {
    std::vector<int> offered;
    int native, quality, want;
  };
  using P = ui::PrinterSurface;
  const Case cases[] = {
      {{203, 300, 600}, 203, P::kHigh, 203},  // the printer's own, not its finest
      {{203, 300, 600}, 600, P::kHigh, 600},
      {{203, 300, 600}, 600, P::kMedium, 600},
      {{203, 300, 600}, 600, P::kLow, 300},
      {{203, 300, 600}, 600, P::kDraft, 203},  // none as coarse as 150: the coarsest
      {{203, 300, 600}, 203, P::kDraft, 203},
      {{}, 1200, P::kDraft, 150},               // it names none: any will do
      {{}, 1200, P::kMedium, 600},
      {{150, 300, 600, 1200}, 1200, P::kLow, 300},
  };
  for (const Case& c : cases) {
    ui::PrinterPage page = kLetter;
    page.dpi = c.native;
    page.resolutions = c.offered;
    FakeSpooler spooler;
    ui::QtPrinterSurface paper(page, spooler.Get());
    paper.PrintQuality(c.quality);
    EXPECT_EQ(paper.Resolution(), c.want) << c.native << " " << c.quality;
  }
}

// The document's page is the media itself, whichever way round it lies.
TEST(PrinterSurface, ThePageIsExactlyTheMedia) {
  struct Case {
    int width, length;
    const char* box;
  };
  for (const Case& c : {Case{15240, 10160, "0 0 432 288"}, Case{10160, 15240, "0 0 288 432"},
                        Case{21590, 27940, "0 0 612 792"}}) {
    ui::PrinterPage label = kLetter;
    label.width = c.width;
    label.length = c.length;
    FakeSpooler spooler;
    ui::QtPrinterSurface page(label, spooler.Get());
    ASSERT_TRUE(ui::Command1_Click(page, ui::DeriveState(u"1")));
    const QRegularExpression mediaBox(QStringLiteral("/MediaBox \\[([^\\]]*)\\]"));
    QStringList box;
    for (const QString& n :
         mediaBox.match(QString::fromLatin1(spooler.pdf)).captured(1).split(u' ', Qt::SkipEmptyParts))
      box << QString::number(n.toDouble());
    EXPECT_EQ(box.join(u' '), QLatin1String(c.box));
  }
}
