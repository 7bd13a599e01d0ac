// The Win32 window in its own process under wine: keystrokes and pastes
// rederive the state, the value box's limit and undo history, Return, the
// picture's pixels, and the GDI surface's pixels at other resolutions and on
// a printer's dot grid.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>
#include <winspool.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ui/core/job_fate.h"
#include "ui/core/print_routine.h"
#include "ui/core/screen_painter.h"
#include "ui/core/text.h"
#include "ui/windows/spooler/spooler_printing.h"
#include "ui/windows/win32/accessible.h"
#include "ui/windows/win32/clipboard.h"
#include "ui/windows/win32/form1.h"
#include "ui/windows/win32/gdi_surface.h"

using ui::Form1;
using ui::FormState;

namespace {

void Type(Form1& w, std::u16string_view text) {
  for (const char16_t c : text) SendMessageW(w.Text1, WM_CHAR, c, 0);
}

void Paste(Form1& w, const std::u16string& text) {
  if (!OpenClipboard(w.Handle())) return;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  auto* to = static_cast<char16_t*>(GlobalLock(memory));
  text.copy(to, text.size());
  to[text.size()] = u'\0';
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  SendMessageW(w.Text1, EM_SETSEL, 0, -1);
  SendMessageW(w.Text1, WM_PASTE, 0, 0);
}

// An 8-bit grey picture of a DC's pixels (0 black).
struct Pixels {
  int width = 0, height = 0;
  std::vector<BYTE> grey;
  bool Dark(int x, int y) const { return grey[static_cast<std::size_t>(y * width + x)] < 128; }
};

// A white bitmap `width` x `height`, drawn on by `draw`, read back.
template <class Draw>
Pixels Drawn(int width, int height, Draw draw) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const RECT all{0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  draw(dc);
  GdiFlush();
  Pixels p{width, height, std::vector<BYTE>(static_cast<std::size_t>(width * height))};
  const auto* rgb = static_cast<const DWORD*>(bits);
  for (std::size_t i = 0; i < p.grey.size(); ++i) {
    const DWORD c = rgb[i];
    p.grey[i] = static_cast<BYTE>(((c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF)) / 3);
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return p;
}

}  // namespace

TEST(Form1, EveryKeystrokeRederivesTheState) {
  Form1 w(nullptr);
  EXPECT_TRUE(w.State().ItfText.empty()) << "start state: nothing derived yet";
  std::u16string typed;
  for (const char16_t c : std::u16string_view(u"12aB 3")) {
    Type(w, std::u16string(1, c));
    typed += c;
    EXPECT_EQ(w.State().ItfText, ui::DeriveState(typed).ItfText) << ui::ToUtf8(typed);
    EXPECT_EQ(w.State().Code39Bars, ui::DeriveState(typed).Code39Bars);
  }
  EXPECT_EQ(w.State().Code39Text, u"12AB 3");
  SendMessageW(w.Text1, EM_SETSEL, 0, -1);
  SendMessageW(w.Text1, WM_CLEAR, 0, 0);
  EXPECT_EQ(w.State().ItfText, u"00000000000000") << "emptied: the all-zero symbols";
}

// The box holds 32,767 characters (the EDIT control's own default is
// 30,000): a longer paste is cut there.
TEST(Form1, PastesUpToTheLimit) {
  Form1 w(nullptr);
  struct Case { std::u16string paste; std::size_t kept; bool digits; };
  for (const Case& c : {Case{std::u16string(40000, u'W'), 32767, false},
                        Case{std::u16string(32767, u'9'), 32767, true},
                        Case{std::u16string(u"\x01\x1b[31m\x7f" "12"), 9, false},
                        Case{std::u16string(u"\U0001F600 1"), 4, false}}) {
    Paste(w, c.paste);
    EXPECT_EQ(w.Box().Text().size(), c.kept);
    EXPECT_EQ(w.State().IsAllDigits, c.digits);
    EXPECT_EQ(w.State().ItfText, ui::DeriveState(w.Box().Text()).ItfText);
  }
  Paste(w, std::u16string(40000, u'9'));
  EXPECT_EQ(w.State().Code39Text.size(), 32767U);
  EXPECT_EQ(w.State().UpcaText, u"999999999993");
}

TEST(ValueBox, UndoStepsBackEditByEdit) {
  Form1 w(nullptr);
  Type(w, u"12");
  Paste(w, u"ABC");
  Type(w, u"D");
  EXPECT_EQ(SendMessageW(w.Text1, EM_CANUNDO, 0, 0), TRUE);
  SendMessageW(w.Text1, WM_UNDO, 0, 0);  // the context menu's Undo
  EXPECT_EQ(w.Box().Text(), u"ABC");
  w.Box().Undo();
  EXPECT_EQ(w.Box().Text(), u"12");
  EXPECT_EQ(w.State().Code39Text, u"12") << "an undo rederives the state";
  w.Box().Redo();
  EXPECT_EQ(w.Box().Text(), u"ABC");
  w.Box().Undo();
  w.Box().Undo();
  EXPECT_EQ(w.Box().Text(), u"");
  EXPECT_EQ(SendMessageW(w.Text1, EM_CANUNDO, 0, 0), FALSE);
  Type(w, u"9");
  w.Box().Redo();
  EXPECT_EQ(w.Box().Text(), u"9") << "an edit ends what there was to redo";
}

// (Short values: wine's EDIT control takes about a second to take a paste of
// 32,000 characters; the memory that long values cost is measured on Linux.)
TEST(ValueBox, KeepsTheLast100Edits) {
  Form1 w(nullptr);
  const auto value = [](int i) { return ui::Number(i) + std::u16string(300, u'7'); };
  for (int i = 0; i < 150; ++i) Paste(w, value(i));
  EXPECT_EQ(w.Box().History().Steps(), ui::EditHistory::kMaxSteps);
  for (std::size_t i = 0; i <= ui::EditHistory::kMaxSteps; ++i) w.Box().Undo();
  EXPECT_EQ(w.Box().Text(), value(49)) << "100 steps back, and no further";
  EXPECT_EQ(w.State().Code39Text, value(49));
}

TEST(Form1, ReturnPressesOnlyTheFocusedPrint) {
  int printed = 0;
  Form1 w([&printed](HWND, const FormState&) { ++printed; });
  for (HWND at : {w.Text1, w.img, w.Command1}) {
    MSG msg{at, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(w.PreTranslate(msg)) << "Return is the window's, wherever it is";
  }
  EXPECT_EQ(printed, 1) << "only on Print";
  MSG key{w.Text1, WM_KEYDOWN, 'A', 0, 0, {}};
  EXPECT_FALSE(w.PreTranslate(key));
}

// A screen reader's view of the picture (MSAA, as a client gets it from the
// window): a graphic named "Barcodes" that tells its symbols, read afresh for
// every value; once the window is gone, an error, not a crash.
TEST(Form1, ScreenReadersReadThePicture) {
  auto w = std::make_unique<Form1>(nullptr);
  IAccessible* img = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(w->img, static_cast<DWORD>(OBJID_CLIENT), ui::kIAccessible,
                                       reinterpret_cast<void**>(&img)),
            S_OK);
  VARIANT self{}, role{};
  self.vt = VT_I4;  // CHILDID_SELF
  const auto said = [&](auto get) {
    BSTR text = nullptr;
    const HRESULT got = (img->*get)(self, &text);
    std::string out = FAILED(got) ? "error"
                      : text      ? ui::ToUtf8(reinterpret_cast<char16_t*>(text))
                                  : "";
    SysFreeString(text);
    return out;
  };
  ASSERT_EQ(img->get_accRole(self, &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_GRAPHIC);
  EXPECT_EQ(said(&IAccessible::get_accName), "Barcodes");
  EXPECT_EQ(said(&IAccessible::get_accDescription),
            "SCC14: no symbol; 3 of 9: no symbol; UPC-A: no symbol; EAN-13: no symbol");
  // 123, then emptied: the all-zero symbols, Code 39 without text.
  for (const auto& [typed, description] :
       {std::pair{L"123",
                  "SCC14: 12300000000006; 3 of 9: 123; UPC-A: 123000000006; EAN-13: 1230000000000"},
        {L"",
         "SCC14: 00000000000000; 3 of 9: no text; UPC-A: 000000000000; EAN-13: 0000000000000"}}) {
    SetWindowTextW(w->Text1, typed);
    EXPECT_EQ(said(&IAccessible::get_accDescription), description);
  }
  DestroyWindow(w->Handle());  // closed, as closing the window does
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  EXPECT_EQ(said(&IAccessible::get_accDescription), "error");
  EXPECT_TRUE(FAILED(img->get_accRole(self, &role)));
  w.reset();
  EXPECT_EQ(said(&IAccessible::get_accName), "error");
  img->Release();
}

// The picture at 96 DPI: one dark column per dark module, 20 twips apart.
TEST(Form1, PicturePixels) {
  Form1 w(nullptr);
  Type(w, u"4006381333931");
  const Pixels img = Drawn(649, 353, [&w](HDC dc) { SendMessageW(w.img, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), 0); });
  EXPECT_FALSE(img.Dark(2, 2));
  EXPECT_TRUE(img.Dark(645, 200)) << "right shadow strip";
  EXPECT_TRUE(img.Dark(300, 350)) << "bottom shadow strip";
  EXPECT_FALSE(img.Dark(2, 350)) << "the shadow starts 80 twips in";
  const FormState& st = w.State();
  for (const auto& [bars, x0, top] : {std::tuple{&st.ItfBars, 100, 320}, std::tuple{&st.UpcaBars, 100, 2820},
                                      std::tuple{&st.Ean13Bars, 5000, 2820}})
    for (std::size_t i = 1; i <= bars->size(); ++i) {
      const int x = static_cast<int>(std::lround((x0 + 20.0 * static_cast<double>(i)) / 15));
      EXPECT_EQ(img.Dark(x, (top + 450) / 15), (*bars)[i - 1] == '1') << "module " << i << " of " << x0;
    }
}

// At 144 dots per inch every dark module is one device pixel at its twips.
TEST(GdiSurface, OneDevicePixelALineAtAnyDpi) {
  const FormState st = ui::DeriveState(u"4006381333931");
  const Pixels img = Drawn(974, 530, [&st](HDC dc) {
    ui::GdiSurface surface(dc, 144, 144, 0, 0, 974, 530, ui::GdiSurface::Boxes::kOutlined);
    ui::img_Paint(surface, st);
  });
  const auto column = [](double twips) { return static_cast<int>(std::lround(twips / 10)); };
  std::vector<bool> want(974, false);
  for (std::size_t i = 1; i <= st.UpcaBars.size(); ++i)
    want[static_cast<std::size_t>(column(100 + 20.0 * static_cast<double>(i)))] = st.UpcaBars[i - 1] == '1';
  const int y = column(2820 + 450);
  for (int x = column(120) - 3; x <= column(2000) + 3; ++x)
    EXPECT_EQ(img.Dark(x, y), want[static_cast<std::size_t>(x)]) << "device column " << x;
}

// On a printer's dot grid (203 dpi: 18 twips are 2.54 dots), every box of
// the print routine blackens exactly the dots between its edges, each edge
// the dot boundary nearest its twips, so spaces stay open.
TEST(GdiSurface, BoxesOnTheDotGrid) {
  const FormState st = ui::DeriveState(u"4006381333931");
  for (const int dpi : {203, 300, 600}) {
    SCOPED_TRACE(dpi);
    const int width = 2600 * dpi / 1440;
    const Pixels page = Drawn(width, 60, [&](HDC dc) {
      ui::GdiSurface surface(dc, dpi, dpi, 0, 0, width, 60, ui::GdiSurface::Boxes::kOnDotGrid);
      ui::PrintBars(surface, st.ItfBars, 100, 0, 18);
    });
    // Each run of dark modules, from the pattern: its edges in twips.
    int runs = 0;
    for (std::size_t i = 0; i < st.ItfBars.size();) {
      if (st.ItfBars[i] != '1') { ++i; continue; }
      std::size_t j = i;
      while (j < st.ItfBars.size() && st.ItfBars[j] == '1') ++j;
      const bool last = j == st.ItfBars.size();
      const double left = 100 + 18.0 * static_cast<double>(i) + (last ? 0 : 1);
      const double right = 100 + 18.0 * static_cast<double>(j) - (last ? 0 : 1);
      const int l = static_cast<int>(std::lround(left * dpi / 1440));
      const int r = static_cast<int>(std::lround(right * dpi / 1440));
      for (int x = l - 1; x <= r; ++x)
        EXPECT_EQ(page.Dark(x, 30), x >= l && x < r) << "dot " << x << " of the run of modules " << i + 1;
      ++runs;
      i = j;
    }
    EXPECT_EQ(runs, 39);
  }
}

// What Copy copies: the metafile (176.11 x 104.99 mm) played back into a
// bitmap at 300 dpi has every bar where the copied bitmap (2080 x 1240 dots,
// 300 dpi) has it, within a dot; there are as many as the symbology gives:
// ITF-14 39, UPC-A and EAN-13 30, Code 39 five a character and its stars.
// The text, and the bitmap read by both decoders: wine_e2e.sh.
TEST(Clipboard, TheMetafileHasTheBitmapsBars) {
  const auto runs = [](const Pixels& p, int y, int from, int to) {
    std::vector<int> edges;  // left, right, left, ...
    for (int x = from; x <= to; ++x)
      if (p.Dark(x, y) != (edges.size() % 2 == 1)) edges.push_back(x);
    return edges;
  };
  for (const auto& [value, bars] : {std::pair{u"4006381333931", std::array{39, 75, 30, 30}},
                                    std::pair{u"CODE 39", std::array{0, 45, 0, 0}}}) {
    const FormState st = ui::DeriveState(value);
    HENHMETAFILE metafile = ui::CopiedMetafile(st);
    HGLOBAL dib = ui::CopiedDib(st);
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(metafile, sizeof header, &header);
    EXPECT_NEAR(header.rclFrame.right, 17611, 1);
    EXPECT_NEAR(header.rclFrame.bottom, 10499, 1);
    const auto* info = static_cast<const BITMAPINFO*>(GlobalLock(dib));
    ASSERT_TRUE(metafile && info);
    EXPECT_EQ(info->bmiHeader.biWidth, 2080);
    EXPECT_EQ(info->bmiHeader.biHeight, 1240);
    EXPECT_EQ(info->bmiHeader.biXPelsPerMeter, 11811);
    const RECT all{0, 0, 2080, 1240};
    const Pixels played = Drawn(2080, 1240, [&](HDC dc) { PlayEnhMetaFile(dc, metafile, &all); });
    const Pixels bitmap = Drawn(2080, 1240, [&](HDC dc) {
      const auto* bits = reinterpret_cast<const BYTE*>(info) + sizeof(BITMAPINFOHEADER) +
                         2 * sizeof(RGBQUAD);
      SetDIBitsToDevice(dc, 0, 0, 2080, 1240, 0, 0, 0, 1240, bits, info, DIB_RGB_COLORS);
    });
    GlobalUnlock(dib);
    GlobalFree(dib);
    DeleteEnhMetaFile(metafile);
    // The bars' middle rows (a margin of 960 twips, then 770 and 3270), left
    // and right of 5960 twips (1241 dots).
    for (std::size_t symbol = 0; symbol < 4; ++symbol) {
      SCOPED_TRACE(testing::Message() << ui::ToUtf8(value) << ", symbol " << symbol);
      const int y = symbol < 2 ? 360 : 881;
      const int from = symbol % 2 == 0 ? 0 : 1241;
      const std::vector<int> want = runs(bitmap, y, from, from == 0 ? 1240 : 2079);
      const std::vector<int> got = runs(played, y, from, from == 0 ? 1240 : 2079);
      EXPECT_EQ(want.size(), 2U * static_cast<std::size_t>(bars[symbol]));
      ASSERT_EQ(got.size(), want.size());
      for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_LE(std::abs(got[i] - want[i]), 1) << "edge " << i;
    }
  }
}

// The clipboard's text, or "(none)".
std::u16string ClipboardText(HWND owner) {
  std::u16string text = u"(none)";
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
    if (const auto* chars = static_cast<const char16_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  CloseClipboard();
  return text;
}

// While another program holds the clipboard Copy says it failed and the
// clipboard keeps what it had (what Copy puts there: wine_e2e.sh).
TEST(Clipboard, HeldByAnotherIsNoCopy) {
  Form1 w(nullptr);
  Paste(w, u"kept");
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread other([&] {
    const BOOL held = OpenClipboard(nullptr);
    SetEvent(opened);
    WaitForSingleObject(done, 10000);
    if (held) CloseClipboard();
  });
  WaitForSingleObject(opened, 10000);
  const FormState st = ui::DeriveState(u"4006381333931");
  EXPECT_FALSE(ui::CopyToClipboard(w.Handle(), st));
  SetEvent(done);
  other.join();
  CloseHandle(opened);
  CloseHandle(done);
  EXPECT_EQ(ui::ToUtf8(ClipboardText(w.Handle())), "kept");
}

// Copy through calls that fail, as a row of the table below says: the
// clipboard refusing a format (0xFFFF: every one) or not had, global memory
// of the text's size (under 1 KiB) or the bitmap's (315 KiB) not had or not
// locked.
namespace {
struct Failing {
  UINT refused = 0;
  enum { kNone, kAlloc, kLock, kOpen, kEmpty } call = kNone;
  SIZE_T from = 0, to = 0;  // the sizes that fail, [from, to)
  bool Fails(int what, SIZE_T bytes) const { return call == what && bytes >= from && bytes < to; }
} failing;
HANDLE WINAPI Set(UINT format, HANDLE data) {
  const bool refused = failing.refused == format || failing.refused == 0xFFFF;
  return refused ? nullptr : SetClipboardData(format, data);
}
HGLOBAL WINAPI Alloc(UINT flags, SIZE_T bytes) {
  return failing.Fails(Failing::kAlloc, bytes) ? nullptr : GlobalAlloc(flags, bytes);
}
LPVOID WINAPI Lock(HGLOBAL memory) {
  return failing.Fails(Failing::kLock, GlobalSize(memory)) ? nullptr : GlobalLock(memory);
}
BOOL WINAPI Open(HWND owner) { return failing.call != Failing::kOpen && OpenClipboard(owner); }
BOOL WINAPI Empty() { return failing.call != Failing::kEmpty && EmptyClipboard(); }
}  // namespace

// Copy is done with the text and a picture at least, each taken by the
// clipboard; else it says it failed, and the clipboard holds what it had or,
// once it refused a format, nothing: never half a copy.
TEST(Clipboard, AllOrNothing) {
  Form1 w(nullptr);
  const SIZE_T kText = 1024, kAll = ~SIZE_T{0};
  const char* copy = "SCC14: 40063813339314\r\n3 of 9: 4006381333931\r\nUPC-A: 400638133390\r\n"
                     "EAN-13: 4006381333900";
  const struct {
    const char* what;
    Failing failing;
    bool done, metafile, bitmap;
    const char* text;  // "kept": what was there before
  } cases[] = {
      {"nothing fails", {}, true, true, true, copy},
      {"the metafile refused", {CF_ENHMETAFILE}, false, false, false, "(none)"},
      {"the bitmap refused", {CF_DIB}, false, false, false, "(none)"},
      {"the text refused", {CF_UNICODETEXT}, false, false, false, "(none)"},
      {"every format refused", {0xFFFF}, false, false, false, "(none)"},
      {"the text not allocated", {0, Failing::kAlloc, 0, kText}, false, false, false, "kept"},
      {"the text not locked", {0, Failing::kLock, 0, kText}, false, false, false, "kept"},
      {"the bitmap not allocated", {0, Failing::kAlloc, kText, kAll}, true, true, false, copy},
      {"the bitmap not locked", {0, Failing::kLock, kText, kAll}, true, true, false, copy},
      {"nothing locked", {0, Failing::kLock, 0, kAll}, false, false, false, "kept"},
      {"the clipboard not opened", {0, Failing::kOpen}, false, false, false, "kept"},
      {"the clipboard not emptied", {0, Failing::kEmpty}, false, false, false, "kept"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Paste(w, u"kept");
    failing = c.failing;
    EXPECT_EQ(ui::CopyToClipboard(w.Handle(), ui::DeriveState(u"4006381333931"),
                                  {Open, Empty, Set, CloseClipboard, Alloc, Lock}),
              c.done);
    failing = {};
    EXPECT_EQ(IsClipboardFormatAvailable(CF_ENHMETAFILE) != FALSE, c.metafile);
    EXPECT_EQ(IsClipboardFormatAvailable(CF_DIB) != FALSE, c.bitmap);
    EXPECT_EQ(ui::ToUtf8(ClipboardText(w.Handle())), c.text);
    ASSERT_TRUE(OpenClipboard(w.Handle()));
    EXPECT_EQ(EnumClipboardFormats(0) == 0, std::string(c.text) == "(none)") << "left empty";
    CloseClipboard();
  }
}

// With no printer at all (the tests' wine prefix has none): said, and no job.
TEST(SpoolerPrinting, NoPrinterIsSaid) {
  ui::Watch watch;
  ui::SpoolerPrinting printing(watch);
  EXPECT_EQ(ui::ToUtf8(ui::PrintOnDefaultPrinter(printing, ui::DeriveState(u"123"))),
            "No printer is set up. Set up a printer in the system's printer settings, then press "
            "Print again. Nothing was printed.");
  EXPECT_EQ(watch.Job(), 0);
  EXPECT_FALSE(watch.Current()) << "nothing is left waiting";
}

// What the spooler says of a job and its printer (JOB_INFO_2 and
// PRINTER_INFO_2 status bits), as the user is told it: the same words as on
// Linux for the same cause.
TEST(SpoolerJobs, StatusInWords) {
  struct Case {
    const char* what;
    DWORD job, printer;
    const char16_t* jobText;
    bool timeUp;
    bool done, canStillPrint;
    const char* says;  // in the text; "" when nothing is said
  };
  const Case cases[] = {
      {"printed", JOB_STATUS_PRINTED, 0, u"", false, true, false, ""},
      {"printing", JOB_STATUS_PRINTING, PRINTER_STATUS_PRINTING, u"", false, false, false, ""},
      {"out of labels", JOB_STATUS_PRINTING | JOB_STATUS_PAPEROUT, 0, u"", false, true, true,
       "The printer \"Q\" reports that it is out of paper or labels."},
      {"the printer out of paper", JOB_STATUS_PRINTING, PRINTER_STATUS_PAPER_OUT, u"", false, true, true,
       "it is out of paper or labels"},
      {"cover open, ribbon out", 0, PRINTER_STATUS_DOOR_OPEN | PRINTER_STATUS_NO_TONER, u"", false, true,
       true, "its cover or print head is open and it is out of ribbon, ink or toner"},
      {"offline", JOB_STATUS_OFFLINE, 0, u"", false, true, true, "it is offline"},
      {"paused job", JOB_STATUS_PAUSED, 0, u"", false, true, true, "The page waits, held, in the queue"},
      {"a job in error", JOB_STATUS_ERROR, 0, u"Printer error", false, true, true,
       "after an error: Printer error."},
      {"a paused printer", 0, PRINTER_STATUS_PAUSED, u"", false, true, true,
       "The printer \"Q\" is paused. The page waits in its queue"},
      {"deleted", JOB_STATUS_DELETING, 0, u"", false, true, false, "the print service canceled the job"},
      {"not available when the time is up", JOB_STATUS_PRINTING, PRINTER_STATUS_NOT_AVAILABLE, u"", true,
       true, true, "does not answer"},
      {"still printing when the time is up", JOB_STATUS_PRINTING, PRINTER_STATUS_PRINTING, u"", true,
       true, true, "it is still printing it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ui::JobFate fate = ui::JudgeJob(u"Q", 3, ui::ReportOf(c.job, c.jobText, c.printer), c.timeUp, {});
    EXPECT_EQ(fate.done, c.done);
    EXPECT_EQ(fate.canStillPrint, c.canStillPrint);
    const std::string text = ui::ToUtf8(fate.text);
    if (*c.says == '\0') {
      EXPECT_EQ(text, "");
    } else {
      EXPECT_NE(text.find(c.says), std::string::npos) << text;
    }
  }
}

int main(int argc, char** argv) {
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // as the program's window thread
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
