// Checks a screenshot of the window: for the typed value, every module of
// the ITF-14, UPC-A and EAN-13 symbols must be a dark or light column where
// the picture box draws it.
//   screen_check SHOT.png WINDOW_X WINDOW_Y VALUE
#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstdio>

#include "ui/core/form_state.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s SHOT.png WINDOW_X WINDOW_Y VALUE\n", argv[0]);
    return 2;
  }
  const QImage shot(QString::fromLocal8Bit(argv[1]));
  if (shot.isNull()) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }
  // The picture box stands at (120, 240) twips in the frame at (0, 600).
  const int originX = std::atoi(argv[2]) + 120 / 15;
  const int originY = std::atoi(argv[3]) + 840 / 15;
  const ui::FormState st = ui::DeriveState(QString::fromUtf8(argv[4]).toStdU16String());

  struct Symbol { const char* name; const barcode::BarPattern* bars; int x0, top; };
  int wrong = 0;
  int dark = 0;
  for (const Symbol& s : {Symbol{"ITF-14", &st.ItfBars, 100, 320},
                          Symbol{"UPC-A", &st.UpcaBars, 100, 2820},
                          Symbol{"EAN-13", &st.Ean13Bars, 5000, 2820}}) {
    const int y = originY + (s.top + 450) / 15;
    for (std::size_t i = 1; i <= s.bars->size(); ++i) {
      const int x = originX + static_cast<int>(std::lround((s.x0 + 20.0 * double(i)) / 15));
      const bool isDark = qGray(shot.pixel(x, y)) < 128;
      const bool want = (*s.bars)[i - 1] == '1';
      dark += isDark;
      if (isDark != want) {
        if (++wrong <= 10)
          std::fprintf(stderr, "%s module %zu at (%d, %d): %s, expected %s\n", s.name, i, x, y,
                       isDark ? "dark" : "light", want ? "dark" : "light");
      }
    }
  }
  std::printf("%d dark module columns checked, %d wrong\n", dark, wrong);
  return wrong == 0 && dark > 0 ? 0 : 1;
}
