// The Win32 window in its own process under wine, driven through its own
// message loop as a user's keys and mouse drive it: keys, focus, menus and
// Copy, what a screen reader hears, the layout at each DPI, what Print says
// for each answer of the spooler, the value box's limit and undo history,
// the picture's pixels, and the GDI surface's on a printer's dot grid.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>
#include <winspool.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ui/core/job_fate.h"
#include "ui/core/print_routine.h"
#include "ui/core/screen_painter.h"
#include "ui/core/text.h"
#include "ui/windows/spooler/press.h"
#include "ui/windows/spooler/spooler_printing.h"
#include "ui/windows/win32/accessible.h"
#include "ui/windows/win32/clipboard.h"
#include "ui/windows/win32/form1.h"
#include "ui/windows/win32/gdi_surface.h"
#include "ui/windows/win32/wide.h"

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

namespace {

// Keys as a user's keyboard makes them, through the thread's input queue
// (so GetKeyState sees Ctrl and Shift held): chords apart by spaces, the keys
// of a chord by "+", each chord's keys down in order and up the other way
// round. "enter" is the keypad's Return; "rclick" a right click on `w`'s picture.
void Press(Form1& w, std::string_view keys) {
  static const std::map<std::string, WORD> kNames = {
      {"ctrl", VK_CONTROL}, {"shift", VK_SHIFT},   {"tab", VK_TAB},   {"return", VK_RETURN},
      {"enter", VK_RETURN}, {"space", VK_SPACE},   {"menu", VK_APPS}, {"f10", VK_F10},
      {"f24", VK_F24},      {"insert", VK_INSERT}, {"down", VK_DOWN}, {"backspace", VK_BACK},
      {"escape", VK_ESCAPE}};
  std::vector<INPUT> in;
  for (std::size_t at = 0; at < keys.size();) {
    const std::size_t end = std::min(keys.find(' ', at), keys.size());
    const std::string chord(keys.substr(at, end - at));
    at = end + 1;
    if (chord == "rclick") {
      RECT r{};
      GetWindowRect(w.img, &r);
      INPUT mouse{};
      mouse.type = INPUT_MOUSE;
      mouse.mi.dx = (r.left + r.right) / 2 * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
      mouse.mi.dy = (r.top + r.bottom) / 2 * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
      for (const DWORD flags : {MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                                MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_ABSOLUTE,
                                MOUSEEVENTF_RIGHTUP | MOUSEEVENTF_ABSOLUTE}) {
        mouse.mi.dwFlags = flags;
        in.push_back(mouse);
      }
      continue;
    }
    std::vector<INPUT> down;
    for (std::size_t k = 0; k <= chord.size();) {
      const std::size_t plus = std::min(chord.find('+', k), chord.size());
      const std::string name = chord.substr(k, plus - k);
      k = plus + 1;
      INPUT key{};
      key.type = INPUT_KEYBOARD;
      key.ki.wVk = name.size() == 1 ? static_cast<WORD>(std::toupper(name[0])) : kNames.at(name);
      key.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key.ki.wVk, MAPVK_VK_TO_VSC));
      key.ki.dwFlags = name == "enter" ? KEYEVENTF_EXTENDEDKEY : 0;
      down.push_back(key);
    }
    in.insert(in.end(), down.begin(), down.end());
    for (auto key = down.rbegin(); key != down.rend(); ++key) {
      key->ki.dwFlags |= KEYEVENTF_KEYUP;
      in.push_back(*key);
    }
  }
  ASSERT_EQ(SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)), in.size());
}

// The control with the focus, as the tables name it.
std::string Focused(Form1& w) {
  const HWND at = GetFocus();
  return at == w.Text1 ? "value box" : at == w.img ? "picture" : at == w.Command1 ? "Print"
         : at ? "control " + std::to_string(GetDlgCtrlID(at)) : "nothing";
}

// Delivers the thread's messages as the program's own loop does until
// `done`, waiting for more while none is there; fails, saying what it saw,
// if `done` is not so within 20 s (a loaded machine's bound). A menu or box
// still up then, whose own loop would wait on, is sent Escape.
bool keyF24Up = false;
::testing::AssertionResult Pump(Form1& w, const std::function<bool()>& done) {
  const ULONGLONG end = GetTickCount64() + 20000;
  const UINT_PTR unstick = SetTimer(nullptr, 0, 21000, [](HWND, UINT, UINT_PTR, DWORD) {
    INPUT escape[2] = {{INPUT_KEYBOARD, {}}, {INPUT_KEYBOARD, {}}};
    escape[0].ki.wVk = escape[1].ki.wVk = VK_ESCAPE;
    escape[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, escape, sizeof(INPUT));
  });
  MSG msg;
  while (!done()) {
    if (GetTickCount64() > end)
      return KillTimer(nullptr, unstick), ::testing::AssertionFailure()
             << "not so in 20 s; the focus on the " << Focused(w) << ", the value box holding \""
             << ui::ToUtf8(w.Box().Text()) << "\", " << ui::PressesUnderWay() << " presses under way";
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      continue;
    }
    keyF24Up = keyF24Up || (msg.message == WM_KEYUP && msg.wParam == VK_F24);
    w.Deliver(msg);
  }
  KillTimer(nullptr, unstick);
  return ::testing::AssertionSuccess();
}

// Every key sent before has been handled: F24, which nothing uses, sent
// last, has come through the window's loop.
::testing::AssertionResult Settle(Form1& w) {
  keyF24Up = false;
  Press(w, "f24");
  return Pump(w, [] { return keyF24Up; });
}

// The window shown, in front, its value box holding the focus, as a user meets it.
void Shown(Form1& w) {
  ShowWindow(w.Handle(), SW_SHOW);
  SetForegroundWindow(w.Handle());
  SetFocus(w.Text1);
  ASSERT_TRUE(Settle(w));
  ASSERT_EQ(GetFocus(), w.Text1);
  // Painted whole: what is drawn later is drawn for a change.
  RedrawWindow(w.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

// The message boxes the thread shows while this lives: each one's text and
// buttons read as it opens, then answered with the button `answer` (or OK,
// where it has none such), through its own loop as a click would be;
// `opened`, if any, is set then.
class Boxes {
 public:
  explicit Boxes(std::wstring answer = L"OK", HANDLE opened = nullptr)
      : answer_(std::move(answer)), opened_(opened) {
    shown_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, Opening, nullptr, GetCurrentThreadId());
  }
  ~Boxes() {
    UnhookWindowsHookEx(hook_);
    shown_ = nullptr;
  }
  Boxes(const Boxes&) = delete;
  Boxes& operator=(const Boxes&) = delete;
  std::vector<std::string> said;     // each box's text
  std::vector<std::string> buttons;  // each box's buttons: "OK", "Cancel the job|Leave it"

 private:
  static LRESULT CALLBACK Opening(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && shown_) shown_->Read(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  void Read(HWND box) {
    if (ClassOf(box) != L"#32770" || !read_.insert(box).second) return;
    std::string text, names;
    HWND answer = nullptr;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t chars[4096] = {};
      GetWindowTextW(c, chars, 4096);
      std::wstring name = chars;
      std::erase(name, L'&');
      if (name.empty() || !(GetWindowLongPtrW(c, GWL_STYLE) & WS_VISIBLE)) continue;
      const bool button = ClassOf(c) == L"Button";
      std::string& to = button ? names : text;
      to += (to.empty() ? "" : "|") + ui::ToUtf8(ui::Std16(name));
      if (button && (name == answer_ || (!answer && name == L"OK"))) answer = c;
    }
    said.push_back(text);
    buttons.push_back(names);
    if (answer)
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(answer), BN_CLICKED),
                   reinterpret_cast<LPARAM>(answer));
    if (opened_) SetEvent(opened_);
  }
  static inline Boxes* shown_ = nullptr;
  std::wstring answer_;
  HANDLE opened_;
  HHOOK hook_ = nullptr;
  std::set<HWND> read_;
};

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

const char* const kCopied =
    "SCC14: 40063813339314\r\n3 of 9: 4006381333931\r\nUPC-A: 400638133390\r\nEAN-13: 4006381333900";

// Whether the focus frame is drawn around the picture: the frame's pixel
// two to the left of the picture is in the highlight colour.
bool Framed(Form1& w) {
  UpdateWindow(w.Frame1);
  RECT p{};
  GetWindowRect(w.img, &p);
  POINT at{p.left - 2, (p.top + p.bottom) / 2};
  ScreenToClient(w.Frame1, &at);
  HDC dc = GetDC(w.Frame1);
  const COLORREF pixel = GetPixel(dc, at.x, at.y);
  ReleaseDC(w.Frame1, dc);
  return pixel == GetSysColor(COLOR_HIGHLIGHT);
}

}  // namespace

// The window's keys, through its own message loop: Tab and Shift+Tab, the
// focus frame only with the focus, editing and its history, Return and
// Space, and Copy by its keys, its menu and a right click, read back from
// the clipboard. Each row in a new window whose value box has the focus.
TEST(Form1, Keys) {
  const std::string value = "4 0 0 6 3 8 1 3 3 3 9 3 1 ";
  struct Case {
    std::string keys;
    const char* focus;
    const char* text;
    int prints;
    const char* clipboard;  // "kept": what it held before
  };
  const Case cases[] = {
      {"tab", "picture", "", 0, "kept"},
      {"tab tab", "Print", "", 0, "kept"},
      {"tab tab tab", "value box", "", 0, "kept"},
      {"shift+tab", "Print", "", 0, "kept"},
      {"tab tab shift+tab", "picture", "", 0, "kept"},
      {"1 2 3 ctrl+a 4 5", "value box", "45", 0, "kept"},
      {"1 2 3 ctrl+a 4 5 ctrl+z", "value box", "123", 0, "kept"},
      {"1 2 3 ctrl+a 4 5 ctrl+z ctrl+y", "value box", "45", 0, "kept"},
      {"1 2 3 ctrl+a 4 5 ctrl+z ctrl+shift+z", "value box", "45", 0, "kept"},
      {"1 2 3 ctrl+z ctrl+z", "value box", "", 0, "kept"},
      {"1 2 return", "value box", "12", 0, "kept"},
      {"1 2 enter", "value box", "12", 0, "kept"},
      {"1 2 tab return", "picture", "12", 0, "kept"},
      {"1 2 tab tab return", "Print", "12", 1, "kept"},
      {"1 2 tab tab enter", "Print", "12", 1, "kept"},
      {"1 2 tab tab space", "Print", "12", 1, "kept"},
      {value + "tab ctrl+c", "picture", "4006381333931", 0, kCopied},
      {value + "tab ctrl+insert", "picture", "4006381333931", 0, kCopied},
      {value + "tab ctrl+shift+c", "picture", "4006381333931", 0, "kept"},
      {value + "tab menu down return", "picture", "4006381333931", 0, kCopied},
      {value + "tab shift+f10 c", "picture", "4006381333931", 0, kCopied},
      {value + "tab menu escape", "picture", "4006381333931", 0, "kept"},
      {value + "rclick down return", "value box", "4006381333931", 0, kCopied},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    int prints = 0;
    Form1 w([&prints](HWND, const FormState&) { ++prints; });
    Shown(w);
    Paste(w, u"kept");  // on the clipboard; then the box emptied, with nothing to undo
    w.Box().Undo();
    Press(w, c.keys);
    ASSERT_TRUE(Settle(w));
    EXPECT_EQ(Focused(w), c.focus);
    EXPECT_EQ(ui::ToUtf8(w.Box().Text()), c.text);
    EXPECT_EQ(prints, c.prints);
    EXPECT_EQ(ui::ToUtf8(ClipboardText(w.Handle())), c.clipboard);
    EXPECT_EQ(Framed(w), GetFocus() == w.img) << "the focus frame only with the focus";
  }
}

// What a screen reader hears as keys are typed: each keystroke that changes
// what the picture tells raises one description event carrying the new
// text, heard inside the window's thread as it is raised; one that changes
// nothing raises none.
std::vector<std::string> heard;
void CALLBACK Hear(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
  IAccessible* acc = nullptr;
  VARIANT which{};
  BSTR text = nullptr;
  if (FAILED(AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(object), static_cast<DWORD>(child), &acc,
                                       &which)))
    return heard.push_back("no object");
  heard.push_back(acc->get_accDescription(which, &text) == S_OK && text
                      ? ui::ToUtf8(reinterpret_cast<char16_t*>(text))
                      : "no description");
  SysFreeString(text);
  acc->Release();
}

TEST(Form1, EachKeystrokeIsHeard) {
  const std::string d1 = "SCC14: 10000000000007; 3 of 9: 1; UPC-A: 100000000007; EAN-13: 1000000000009";
  const std::string d12 = "SCC14: 12000000000005; 3 of 9: 12; UPC-A: 120000000005; EAN-13: 1200000000003";
  const std::string d123 = "SCC14: 12300000000006; 3 of 9: 123; UPC-A: 123000000006; EAN-13: 1230000000000";
  const std::string none = "SCC14: 00000000000000; 3 of 9: no text; UPC-A: 000000000000; EAN-13: 0000000000000";
  const struct {
    const char* keys;
    std::vector<std::string> heard;
  } cases[] = {
      {"1 2 3", {d1, d12, d123}},
      {"1 2 3 backspace", {d1, d12, d123, d12}},
      {"1 2 space", {d1, d12}},
      {"1 2 ctrl+a shift+tab tab", {d1, d12}},
      {"1 2 a shift+b space 3",
       {d1, d12, "SCC14: no symbol, 12a0000000000; 3 of 9: 12A; UPC-A: no symbol; EAN-13: no symbol",
        "SCC14: no symbol, 12aB000000000; 3 of 9: 12AB; UPC-A: no symbol; EAN-13: no symbol",
        "SCC14: no symbol, 12aB 30000000; 3 of 9: 12AB 3; UPC-A: no symbol; EAN-13: no symbol"}},
      {"1 2 ctrl+z", {d1, d12, none}},
  };
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_DESCRIPTIONCHANGE, EVENT_OBJECT_DESCRIPTIONCHANGE,
                                       GetModuleHandleW(nullptr), Hear, GetCurrentProcessId(),
                                       GetCurrentThreadId(), WINEVENT_INCONTEXT);
  ASSERT_NE(hook, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    Form1 w(nullptr);
    Shown(w);
    heard.clear();
    Press(w, c.keys);
    ASSERT_TRUE(Settle(w));
    EXPECT_EQ(heard, c.heard);
  }
  UnhookWinEvent(hook);
}

// Copy while another program holds the clipboard: one message, the
// clipboard as it was, and the focus back on the picture once it is
// answered; the next Copy, once the clipboard is free, copies.
TEST(Form1, CopyWhileTheClipboardIsHeld) {
  Form1 w(nullptr);
  Shown(w);
  Paste(w, u"kept");
  SetWindowTextW(w.Text1, L"4006381333931");
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread other([&] {
    const BOOL held = OpenClipboard(nullptr);
    SetEvent(opened);
    WaitForSingleObject(done, 60000);
    if (held) CloseClipboard();
  });
  WaitForSingleObject(opened, 10000);
  {
    Boxes boxes;
    Press(w, "tab ctrl+c");
    EXPECT_TRUE(Settle(w));
    EXPECT_EQ(boxes.said, std::vector<std::string>{"The symbols could not be copied to the clipboard; another "
                                                   "program may be using it. Try again in a moment."});
    EXPECT_EQ(boxes.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(Pump(w, [&w] { return GetFocus() == w.img; })) << "the focus back on the picture";
  }
  SetEvent(done);
  other.join();
  CloseHandle(opened);
  CloseHandle(done);
  EXPECT_EQ(ui::ToUtf8(ClipboardText(w.Handle())), "kept");
  Boxes none;
  Press(w, "ctrl+c");
  EXPECT_TRUE(Settle(w));
  EXPECT_EQ(ui::ToUtf8(ClipboardText(w.Handle())), kCopied);
  EXPECT_TRUE(none.said.empty());
}

// The window laid out at 96 and, once its DPI changes, at 144 dots per
// inch: every control at its twips, in pixels.
TEST(Form1, LayoutFollowsTheDpi) {
  Form1 w(nullptr);
  using R = std::array<long, 4>;  // left, top, width, height
  const auto rect = [&w](HWND c) {
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, w.Handle(), reinterpret_cast<POINT*>(&r), 2);
    return R{r.left, r.top, r.right - r.left, r.bottom - r.top};
  };
  struct Case {
    UINT dpi;
    R client, label, text, img, print, frame;
    long labelTo;  // the label widens for its text, up to the value box
  };
  for (const Case& c : {Case{96, {0, 0, 666, 420}, {16, 16, 57, 17}, {88, 9, 187, 25}, {8, 56, 649, 353},
                             {288, 8, 89, 25}, {0, 40, 665, 377}, 69},
                        Case{144, {0, 0, 999, 630}, {24, 24, 86, 26}, {132, 14, 280, 38}, {12, 84, 974, 530},
                             {432, 12, 134, 38}, {0, 60, 998, 566}, 104}}) {
    SCOPED_TRACE(c.dpi);
    RECT client{};
    GetClientRect(w.Handle(), &client);
    if (c.dpi == w.Dpi()) {
      EXPECT_EQ((R{0, 0, client.right, client.bottom}), c.client);
    } else {
      // The client area is not checked here: the program sizes it for a
      // frame at the new DPI, which wine keeps at the old one.
      RECT at{};
      GetWindowRect(w.Handle(), &at);
      SendMessageW(w.Handle(), WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&at));
    }
    R label = rect(w.Label1);
    EXPECT_GE(label[2], c.label[2]);
    EXPECT_LE(label[2], c.labelTo);
    label[2] = c.label[2];
    EXPECT_EQ(label, c.label);
    EXPECT_EQ(rect(w.Text1), c.text);
    EXPECT_EQ(rect(w.img), c.img);
    EXPECT_EQ(rect(w.Command1), c.print);
    EXPECT_EQ(rect(w.Frame1), c.frame);
  }
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
// the dot boundary nearest its twips, so spaces stay open; across and down
// at each direction's own resolution where the dots are not square.
TEST(GdiSurface, BoxesOnTheDotGrid) {
  const FormState st = ui::DeriveState(u"4006381333931");
  for (const auto& [dpi, dpiY] : {std::pair{203, 203}, {300, 300}, {600, 600}, {300, 600}, {600, 300}}) {
    SCOPED_TRACE(testing::Message() << dpi << " x " << dpiY << " dpi");
    const int width = 2600 * dpi / 1440;
    const int height = 1000 * dpiY / 1440;
    int heightTwips = 0;
    const Pixels page = Drawn(width, height, [&](HDC dc) {
      ui::GdiSurface surface(dc, dpi, dpiY, 0, 0, width, height, ui::GdiSurface::Boxes::kOnDotGrid);
      heightTwips = surface.Height();
      ui::PrintBars(surface, st.ItfBars, 100, 0, 18);
    });
    EXPECT_LE(std::abs(heightTwips - 1000), 1440 / dpiY) << "the page's height, within a dot";
    // The bars run down to 900 twips: to the dot boundary nearest it.
    const int bottom = static_cast<int>(std::lround(900.0 * dpiY / 1440));
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
      EXPECT_TRUE(page.Dark(l, bottom - 1) && !page.Dark(l, bottom)) << "the bottom of the run " << i + 1;
      ++runs;
      i = j;
    }
    EXPECT_EQ(runs, 39);
  }
}

// A printer's page from what its DC says: margins each side's own, at each
// direction's own resolution (hundredths of a millimetre, by hand).
TEST(SpoolerPrinting, PageOfTheDc) {
  struct Case {
    const char* what;
    ui::DeviceCaps caps;
    std::array<int, 6> page;  // width, length, left, top, right, bottom
  };
  for (const Case& c : {
           Case{"Letter, 12 pt margins", {300, 300, 2550, 3300, 50, 50, 2450, 3200},
                {21590, 27940, 423, 423, 423, 423}},
           Case{"margins that differ", {300, 300, 2550, 3300, 30, 60, 2430, 3150},
                {21590, 27940, 254, 508, 762, 762}},
           Case{"300 x 600 dpi, 6 x 4 in", {300, 600, 1800, 2400, 0, 60, 1780, 2280},
                {15240, 10160, 0, 254, 169, 254}},
       }) {
    SCOPED_TRACE(c.what);
    const ui::PrinterPage p = ui::PageOf(c.caps);
    EXPECT_EQ((std::array{p.width, p.length, p.left, p.top, p.right, p.bottom}), c.page);
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

// A spooler of the test's own behind the press's calls: the default printer
// "Q", a 6 x 4 in label at 300 dpi, whose one call `step` fails with `error`
// or does not return until `release` is set; a job's status as GetJob
// says it (0: the spooler no longer has it, it printed).
namespace fake {
enum Step { kNone, kDefault, kOpen, kDC, kStartDoc, kEndDoc, kCancel };
struct Spooler {
  Step fails = kNone, hangs = kNone;
  DWORD error = 0;
  DWORD printerStatus = 0, jobStatus = 0;
  int jobs = 0, aborted = 0, cancelled = 0;  // started, dropped, and cancelled by the user
  HANDLE release = nullptr;
} spooler;
bool Fails(Step step) {
  if (spooler.hangs == step) WaitForSingleObject(spooler.release, 60000);
  if (spooler.fails != step) return false;
  SetLastError(spooler.error);
  return true;
}
BOOL WINAPI Default(LPWSTR name, LPDWORD size) {
  if (Fails(kDefault)) return *size = 0, FALSE;
  if (!name || *size < 2) return *size = 2, SetLastError(ERROR_INSUFFICIENT_BUFFER), FALSE;
  return wcscpy(name, L"Q"), *size = 2, TRUE;
}
BOOL WINAPI Enum(DWORD, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD bytes, LPDWORD count) {
  return *bytes = *count = 0, TRUE;
}
BOOL WINAPI Open(LPWSTR, LPHANDLE printer, LPPRINTER_DEFAULTSW) {
  return Fails(kOpen) ? FALSE : (*printer = reinterpret_cast<HANDLE>(1), TRUE);
}
BOOL WINAPI Printer(HANDLE, DWORD, LPBYTE info, DWORD size, LPDWORD needed) {
  *needed = sizeof(PRINTER_INFO_2W);
  if (!info || size < *needed) return SetLastError(ERROR_INSUFFICIENT_BUFFER), FALSE;
  *reinterpret_cast<PRINTER_INFO_2W*>(info) = {};
  reinterpret_cast<PRINTER_INFO_2W*>(info)->Status = spooler.printerStatus;
  return TRUE;
}
LONG WINAPI Properties(HWND, HANDLE, LPWSTR, PDEVMODEW out, PDEVMODEW, DWORD mode) {
  if (!(mode & DM_OUT_BUFFER)) return sizeof(DEVMODEW);
  *out = {};
  out->dmSize = sizeof(DEVMODEW);
  return IDOK;
}
BOOL WINAPI Close(HANDLE) { return TRUE; }
BOOL WINAPI Job(HANDLE, DWORD, DWORD, LPBYTE info, DWORD size, LPDWORD needed) {
  *needed = spooler.jobStatus ? sizeof(JOB_INFO_2W) : 0;
  if (!info || size < *needed || !*needed) return SetLastError(ERROR_INVALID_PARAMETER), FALSE;
  *reinterpret_cast<JOB_INFO_2W*>(info) = {};
  reinterpret_cast<JOB_INFO_2W*>(info)->Status = spooler.jobStatus;
  return TRUE;
}
BOOL WINAPI Cancel(HANDLE, DWORD, DWORD, LPBYTE, DWORD command) {
  if (Fails(kCancel)) return FALSE;
  spooler.cancelled += command == JOB_CONTROL_DELETE;
  return TRUE;
}
HDC WINAPI Info(LPCWSTR, LPCWSTR, LPCWSTR, const DEVMODEW*) { return CreateCompatibleDC(nullptr); }
HDC WINAPI Dc(LPCWSTR, LPCWSTR, LPCWSTR, const DEVMODEW*) {
  return Fails(kDC) ? nullptr : CreateCompatibleDC(nullptr);
}
ui::DeviceCaps Caps(HDC) { return {300, 300, 1800, 1200, 0, 0, 1800, 1200}; }
int WINAPI StartDoc(HDC, const DOCINFOW*) { return Fails(kStartDoc) ? SP_ERROR : (++spooler.jobs, 7); }
int WINAPI Page(HDC) { return 1; }
int WINAPI EndDoc(HDC) { return Fails(kEndDoc) ? SP_ERROR : 1; }
int WINAPI Abort(HDC) { return ++spooler.aborted, 1; }
const ui::SpoolerCalls kCalls{Default, Enum, Open, Printer, Properties, Close, Job, Cancel, Info, Dc, Caps,
                              StartDoc, Page, Page, EndDoc, Abort};

// The system's words for `error`, as the user is told them: "Invalid handle.".
std::string Reason(DWORD error) {
  wchar_t text[512] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 512,
                 nullptr);
  std::string out = ui::ToUtf8(ui::Std16(text));
  while (!out.empty() && std::isspace(static_cast<unsigned char>(out.back()))) out.pop_back();
  return out.ends_with('.') ? out : out + ".";
}
}  // namespace fake

// What a press of Print says for each answer of the spooler: a refusal at
// each step, its error in the system's words; a call that does not return,
// said within the 3 s given to it, before the page is handed over ("Nothing
// was printed") and after it (it may have printed: look at job 7); and what
// became of a job it took, with Cancel the job and Leave it where the page
// may still print. Each message read from the box the user sees and
// answered there, until no press is under way.
TEST(SpoolerPrinting, EachAnswerIsSaid) {
  const std::string q = "The printer \"Q\" ";
  const std::string none = " Nothing was printed.";
  const std::string noAnswer = q + "does not answer: it was given 3 s.";
  const std::string keeps = q + "reports that it is out of paper or labels. The page waits in its queue and "
                                "prints once that is put right. Cancel the job, or leave it to print when the "
                                "printer is ready.";
  struct Case {
    const char* what;
    fake::Spooler spooler;
    std::vector<std::string> said;  // "%": the system's words for the error
    const wchar_t* answer;
    int jobs, aborted, cancelled;
  };
  const Case cases[] = {
      {"printed", {}, {}, L"OK", 1, 0, 0},
      {"no printer", {fake::kDefault, fake::kNone, ERROR_FILE_NOT_FOUND},
       {"No printer is set up. Set up a printer in the system's printer settings, then press Print again." +
        none},
       L"OK", 0, 0, 0},
      {"not opened", {fake::kOpen, fake::kNone, ERROR_INVALID_PRINTER_NAME},
       {q + "could not be opened: %" + none}, L"OK", 0, 0, 0},
      {"paused", {.printerStatus = PRINTER_STATUS_PAUSED},
       {q + "is paused. Resume it in the system's printer settings, then press Print again." + none}, L"OK",
       0, 0, 0},
      {"no page", {fake::kDC, fake::kNone, ERROR_NOT_ENOUGH_MEMORY},
       {"The page for the printer \"Q\" could not be prepared. %" + none}, L"OK", 0, 0, 0},
      {"the job refused", {fake::kStartDoc, fake::kNone, ERROR_ACCESS_DENIED},
       {q + "did not accept the page: %" + none}, L"OK", 0, 0, 0},
      {"the page refused", {fake::kEndDoc, fake::kNone, ERROR_INVALID_HANDLE},
       {q + "did not accept the page: %" + none}, L"OK", 1, 1, 0},
      {"the spooler silent", {fake::kNone, fake::kDefault},
       {"The print spooler does not answer: it was given 3 s." + none}, L"OK", 0, 0, 0},
      {"silent before the hand-over", {fake::kNone, fake::kDC}, {noAnswer + none}, L"OK", 0, 0, 0},
      {"silent after the hand-over", {fake::kNone, fake::kEndDoc},
       {noAnswer + " The page may or may not have been printed: look at the queue of the printer \"Q\" (job 7)."},
       L"OK", 1, 0, 0},
      {"out of labels, cancelled", {.jobStatus = JOB_STATUS_PRINTING | JOB_STATUS_PAPEROUT}, {keeps},
       L"Cancel the job", 1, 0, 1},
      {"out of labels, left", {.jobStatus = JOB_STATUS_PRINTING | JOB_STATUS_PAPEROUT}, {keeps}, L"Leave it", 1,
       0, 0},
      {"out of labels, not cancelled",
       {fake::kCancel, fake::kNone, ERROR_ACCESS_DENIED, 0, JOB_STATUS_PRINTING | JOB_STATUS_PAPEROUT},
       {keeps, "The job for the printer \"Q\" (job 7) could not be cancelled: % Look at the printer's queue."},
       L"Cancel the job", 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake::spooler = c.spooler;
    fake::spooler.release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Form1 w([](HWND window, const FormState& state) { ui::PressPrintThrough(fake::kCalls, window, state); });
    Shown(w);
    Type(w, u"4006381333931");
    Boxes boxes(c.answer, fake::spooler.release);
    SendMessageW(w.Command1, BM_CLICK, 0, 0);
    ASSERT_TRUE(Pump(w, [] { return ui::PressesUnderWay() == 0; }));
    std::vector<std::string> said = c.said;
    for (std::string& text : said)
      if (const auto at = text.find('%'); at != std::string::npos)
        text.replace(at, 1, fake::Reason(c.spooler.error));
    EXPECT_EQ(boxes.said, said);
    if (!said.empty()) {
      EXPECT_EQ(boxes.buttons.front(), c.answer == std::wstring(L"OK") ? "OK" : "Cancel the job|Leave it");
    }
    EXPECT_EQ(fake::spooler.jobs, c.jobs) << "jobs started";
    EXPECT_EQ(fake::spooler.aborted, c.aborted) << "jobs dropped";
    EXPECT_EQ(fake::spooler.cancelled, c.cancelled) << "jobs cancelled";
    SetEvent(fake::spooler.release);
    CloseHandle(fake::spooler.release);
  }
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
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // what was said before a hang is kept
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // as the program's window thread
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
