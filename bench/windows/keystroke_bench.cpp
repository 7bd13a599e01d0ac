// One keystroke on Windows: the state derived from the value and the whole
// picture painted through GDI into a memory bitmap the size of the picture
// box at 96 DPI, as the window does it (then one copy to the screen). Run
// under wine by scripts/bench.sh; prints "name,median microseconds" lines.
//   keystroke_bench [REPETITIONS]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/core/form_state.h"
#include "ui/core/screen_painter.h"
#include "ui/windows/win32/gdi_surface.h"

namespace {

double Keystroke(HDC dc, const std::u16string& value) {
  const ui::FormState st = ui::DeriveState(value);
  const RECT all{0, 0, 649, 353};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  ui::GdiSurface surface(dc, 96, 96, 0, 0, 649, 353, ui::GdiSurface::Boxes::kOutlined);
  ui::img_Paint(surface, st);
  GdiFlush();
  return static_cast<double>(st.Code39Bars.size());
}

// The median time of one keystroke, in microseconds, over `reps` runs of
// as many keystrokes as fill a quarter of a second.
double Median(HDC dc, const std::u16string& value, int reps) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> each;
  volatile double sink = 0;
  for (int r = 0; r < reps; ++r) {
    int n = 0;
    const auto start = Clock::now();
    auto now = start;
    do {
      sink = sink + Keystroke(dc, value);
      ++n;
      now = Clock::now();
    } while (now - start < std::chrono::milliseconds(250));
    each.push_back(std::chrono::duration<double, std::micro>(now - start).count() / n);
  }
  std::sort(each.begin(), each.end());
  return each[each.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 649, 353);
  HGDIOBJ old = SelectObject(dc, bitmap);
  std::printf("BM_Win32Keystroke13Characters,%.1f\n", Median(dc, u"4006381333931", reps));
  std::printf("BM_Win32Keystroke32767Characters,%.1f\n", Median(dc, std::u16string(32767, u'7'), reps));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return 0;
}
