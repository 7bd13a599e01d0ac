// The printer adapter with a stand-in spooler: what reaches the spooler, and
// that a failed or aborted job never does; where its dots land, on a page
// whose margins differ and on a device whose dots are not square.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <array>
#include <functional>

#include "printed_page.h"
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

// The box [left, top, right, bottom) round the dark dots of a `width` x
// `height` page.
std::array<int, 4> DarkBox(int width, int height, const std::function<bool(int, int)>& dark) {
  std::array<int, 4> box{width, height, 0, 0};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (dark(x, y)) box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
  return box;
}

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

// A 4 x 6 in label at 300 dpi whose margins all differ: 0.1 in on the left,
// 0.3 in on the right, 0.2 in at the top and 0.4 in at the bottom (30, 90, 60
// and 120 dots). A box of 1 x 0.5 in from the surface's corner, as the
// printer prints the page, in dots [left, top, right, bottom): upright, from
// the printable area's top left corner; turned a quarter turn, from its
// bottom left one, running up the label.
TEST(PrinterSurface, ThePageStartsAtTheCornerOfItsPrintableArea) {
  struct Case {
    ui::QtPainterSurface::Turn turn;
    int width, height;  // twips: 3.6 x 5.4 in printable
    std::array<int, 4> box;
  };
  using T = ui::QtPainterSurface::Turn;
  for (const Case& c : {Case{T::kUpright, 5184, 7776, {30, 60, 330, 210}},
                        Case{T::kQuarter, 7776, 5184, {30, 1380, 180, 1680}}}) {
    SCOPED_TRACE(c.turn == T::kUpright ? "upright" : "turned");
    FakeSpooler spooler;
    ui::QtPrinterSurface page({u"Q", u"", 10160, 15240, 254, 508, 762, 1016, 300, {300}}, spooler.Get(),
                              c.turn);
    EXPECT_EQ((std::array{page.Width(), page.Height()}), (std::array{c.width, c.height}));
    page.Line(ui::kFilledBox, 0, 0, 1440, 720, ui::kBlack);
    EXPECT_EQ((std::array{page.Width(), page.Height()}), (std::array{c.width, c.height})) << "begun";
    page.EndDoc();
    ASSERT_EQ(spooler.calls, 1);
    const QTemporaryDir dir;
    QFile pdf(dir.filePath(QStringLiteral("page.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly) && pdf.write(spooler.pdf) == spooler.pdf.size());
    pdf.close();
    const scan::Image printed = scan::ReadPdf(pdf.fileName().toStdString(), 300);
    ASSERT_EQ((std::array{printed.width, printed.height}), (std::array{1200, 1800}));
    EXPECT_EQ(DarkBox(printed.width, printed.height, [&printed](int x, int y) {
                return printed.pixels[static_cast<std::size_t>(y) * 1200 + static_cast<std::size_t>(x)] < 128;
              }),
              c.box);
  }
}

// A device of 300 dots per inch across and 600 down, 600 x 600 dots (2 x 1
// in): twips become dots at each way's own resolution, a box of 0.5 x 0.5 in
// is 150 x 300 dots, and the font's size goes by the dots down the text.
// Turned a quarter turn, the surface's across runs up the device.
TEST(PainterSurface, DotsThatAreNotSquare) {
  struct Case {
    ui::QtPainterSurface::Turn turn;
    int width, height;  // twips
    std::array<int, 4> box;
    int fontPixels;     // 8 pt at the dots per inch down the text
  };
  using T = ui::QtPainterSurface::Turn;
  for (const Case& c : {Case{T::kUpright, 2880, 1440, {0, 0, 150, 300}, 67},
                        Case{T::kQuarter, 1440, 2880, {0, 300, 150, 600}, 33}}) {
    SCOPED_TRACE(c.turn == T::kUpright ? "upright" : "turned");
    QImage device(600, 600, QImage::Format_RGB32);
    device.fill(Qt::white);
    device.setDotsPerMeterX(11811);  // 300 dpi
    device.setDotsPerMeterY(23622);  // 600 dpi
    QPainter painter(&device);
    ui::QtPainterSurface surface(painter, device, {}, QSizeF(600, 600),
                                 ui::QtPainterSurface::Boxes::kOnDotGrid, c.turn);
    EXPECT_EQ(surface.Width(), c.width);
    EXPECT_EQ(surface.Height(), c.height);
    surface.Line(ui::kFilledBox, 0, 0, 720, 720, ui::kBlack);
    surface.Font(u"Courier New", 8, true);
    EXPECT_EQ(painter.font().pixelSize(), c.fontPixels);
    painter.end();
    EXPECT_EQ(DarkBox(600, 600, [&device](int x, int y) { return qGray(device.pixel(x, y)) < 128; }), c.box);
  }
}
