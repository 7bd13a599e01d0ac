// One keystroke: the state derived from the value and the whole picture
// painted into an image the size of the picture box at 96 DPI. One print
// job: the page drawn into its PDF (the spooler left out). One copy: what
// Copy puts on the clipboard (SVG, PNG and text) for the longest Code 39.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>


#include "ui/core/form_state.h"
#include "ui/core/print_routine.h"
#include "ui/core/screen_painter.h"
#include "ui/linux/cups/pdf_page.h"
#include "ui/linux/qt/clipboard.h"

namespace {

void Keystroke(benchmark::State& state, const std::u16string& value) {
  QImage image(649, 353, QImage::Format_RGB32);  // 9735 x 5295 twips
  image.setDotsPerMeterX(3780);                  // 96 DPI
  image.setDotsPerMeterY(3780);
  for (auto _ : state) {
    const ui::FormState st = ui::DeriveState(value);
    QPainter painter(&image);
    ui::QtPainterSurface surface(painter, image);
    ui::img_Paint(surface, st);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_Keystroke13Characters(benchmark::State& state) {
  Keystroke(state, u"4006381333931");
}
BENCHMARK(BM_Keystroke13Characters)->Unit(benchmark::kMicrosecond);

void BM_Keystroke32767Characters(benchmark::State& state) {
  Keystroke(state, std::u16string(32767, u'7'));
}
BENCHMARK(BM_Keystroke32767Characters)->Unit(benchmark::kMicrosecond);

void BM_PrintJobToPdf(benchmark::State& state) {
  const ui::FormState st = ui::DeriveState(u"4006381333931");
  const auto noSpooler = [](const QByteArray&, int, const QString&) { return QString(); };
  // US Letter with 12 pt margins, at 300 dpi.
  const ui::PrinterPage letter{u"Office", u"US Letter", 21590, 27940,
                               423, 423, 423, 423, 300, {300}};
  for (auto _ : state) {
    ui::QtPrinterSurface page(letter, noSpooler);
    benchmark::DoNotOptimize(ui::Command1_Click(page, st));
  }
}
BENCHMARK(BM_PrintJobToPdf)->Unit(benchmark::kMillisecond);

void BM_Copy32767Characters(benchmark::State& state) {
  const ui::FormState st = ui::DeriveState(std::u16string(32767, u'7'));
  for (auto _ : state) delete ui::CopiedData(st);
}
BENCHMARK(BM_Copy32767Characters)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
