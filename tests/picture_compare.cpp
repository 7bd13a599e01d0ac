// Compares the picture box of two screenshots of the window, pixel for
// pixel (dark or light): the Linux window's and the Windows window's for the
// same value. The panel, its shadow and every bar must be the same pixels;
// the bands of the captions and texts are left out, since the two systems'
// fonts differ.
//   picture_compare A.png A_X A_Y B.png B_X B_Y   (each window's client origin)
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr, "usage: %s A.png A_X A_Y B.png B_X B_Y\n", argv[0]);
    return 2;
  }
  const QImage a(QString::fromLocal8Bit(argv[1]));
  const QImage b(QString::fromLocal8Bit(argv[4]));
  if (a.isNull() || b.isNull()) {
    std::fprintf(stderr, "cannot read the screenshots\n");
    return 2;
  }
  // The picture box stands at (120, 240) twips in the frame at (0, 600):
  // 8, 56 pixels at 96 DPI, 649 x 353 pixels large.
  const int ax = std::atoi(argv[2]) + 8, ay = std::atoi(argv[3]) + 56;
  const int bx = std::atoi(argv[5]) + 8, by = std::atoi(argv[6]) + 56;
  // Rows of the captions and texts (twips from the picture's top): left out.
  const auto text = [](int y) {
    const int twips = y * 15;
    for (const int top : {100, 1300, 2500, 3800})
      if (twips >= top - 15 && twips < top + 240) return true;
    return false;
  };
  int compared = 0, differ = 0;
  for (int y = 0; y < 353; ++y) {
    if (text(y)) continue;
    for (int x = 0; x < 649; ++x) {
      const bool darkA = qGray(a.pixel(ax + x, ay + y)) < 128;
      const bool darkB = qGray(b.pixel(bx + x, by + y)) < 128;
      ++compared;
      if (darkA != darkB && ++differ <= 10)
        std::fprintf(stderr, "pixel (%d, %d) of the picture: %s in the first, %s in the second\n", x,
                     y, darkA ? "dark" : "light", darkB ? "dark" : "light");
    }
  }
  std::printf("%d pixels of the picture compared, %d differ\n", compared, differ);
  return differ == 0 ? 0 : 1;
}
