// The program's window on Win32: its controls, the picture box, the three
// handlers, and what it tells screen readers.
#include "ui/windows/win32/form1.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>

#include "ui/core/messages.h"
#include "ui/core/screen_painter.h"
#include "ui/windows/win32/accessible.h"
#include "ui/windows/win32/clipboard.h"
#include "ui/windows/win32/gdi_surface.h"
#include "ui/windows/win32/wide.h"

namespace ui {
namespace {

constexpr wchar_t kFormClass[] = L"BarcodesForm1";
constexpr wchar_t kPictureClass[] = L"BarcodesPicture";
constexpr UINT_PTR kFrameSubclass = 1;
// Control ids, clear of IDOK and IDCANCEL, which the dialog manager sends
// for Return and Escape.
constexpr int kLabel1 = 101, kText1 = 102, kImg = 103, kCommand1 = 104, kFrame1 = 105;

void RegisterClasses(HINSTANCE instance) {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEXW form{};
  form.cbSize = sizeof form;
  form.lpfnWndProc = DefWindowProcW;  // replaced per window
  form.hInstance = instance;
  form.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  form.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
  form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = kFormClass;
  RegisterClassExW(&form);
  WNDCLASSEXW picture{};
  picture.cbSize = sizeof picture;
  picture.lpfnWndProc = DefWindowProcW;
  picture.hInstance = instance;
  picture.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  picture.lpszClassName = kPictureClass;
  RegisterClassExW(&picture);
}

Form1* Owner(HWND hwnd) { return reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

constexpr UINT kCopyCommand = 1;

// Shows the picture's context menu, for WM_CONTEXTMENU at `lParam` (-1 from
// the keyboard: the menu key or Shift+F10); true when "Copy" is chosen.
bool CopyChosen(HWND picture, LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (lParam == -1) {  // from the keyboard: at the picture's middle
    RECT client{};
    GetClientRect(picture, &client);
    at = {client.right / 2, client.bottom / 2};
    ClientToScreen(picture, &at);
  }
  HMENU menu = CreatePopupMenu();
  if (!menu) return false;
  AppendMenuW(menu, MF_STRING, kCopyCommand, L"&Copy\tCtrl+C");
  const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                     at.y, 0, picture, nullptr);
  DestroyMenu(menu);
  return chosen == static_cast<BOOL>(kCopyCommand);
}

// The rectangle of `child` in the client coordinates of `in`.
RECT RectIn(HWND child, HWND in) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, in, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

Form1::Form1(Printer printer, HINSTANCE instance) : printer_(std::move(printer)) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterClasses(instance);
  hwnd_ = CreateWindowExW(0, kFormClass, L"Form1", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                          nullptr, instance, nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
  dpi_ = std::max(96U, GetDpiForWindow(hwnd_));

  // Created in the layout's Tab order (the value box, the picture, then
  // Print): the dialog manager tabs through them in this order.
  const auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle,
                         int id) {
    return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0,
                           0, 0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           instance, nullptr);
  };
  Label1 = child(L"STATIC", L"Enter Value", SS_LEFT | SS_NOPREFIX, 0, kLabel1);
  Text1 = child(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, kText1);
  img = child(kPictureClass, L"Barcodes", WS_TABSTOP, 0, kImg);
  Command1 = child(L"BUTTON", L"Print", WS_TABSTOP | BS_PUSHBUTTON, 0, kCommand1);
  Frame1 = child(L"BUTTON", L"", BS_GROUPBOX, 0, kFrame1);
  SetWindowLongPtrW(img, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(img, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PictureProc));
  SetWindowSubclass(Frame1, FrameProc, kFrameSubclass, reinterpret_cast<DWORD_PTR>(this));
  box_ = std::make_unique<ValueBox>(Text1);

  // To screen readers the picture is a graphic that tells its symbols in words.
  imgAccessible_ = std::make_unique<Accessible>(
      img, AccessibleAnswers{ROLE_SYSTEM_GRAPHIC, u"Barcodes",
                             [this] { return DescribePicture(state_); }});
  command1Accessible_ = std::make_unique<Accessible>(
      Command1,
      AccessibleAnswers{0, {}, [] { return u"Prints the four barcodes on the default printer"; }});

  Layout();
  SetFocus(Text1);
}

Form1::~Form1() {
  imgAccessible_.reset();
  command1Accessible_.reset();
  box_.reset();
  if (hwnd_) {
    RemoveWindowSubclass(Frame1, FrameProc, kFrameSubclass);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    SetWindowLongPtrW(img, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (font_) DeleteObject(font_);
}

void Form1::Layout() {
  const auto px = [this](int twips) { return TwipsToPixels(twips, static_cast<int>(dpi_)); };
  const auto place = [&](HWND w, int x, int y, int width, int height) {
    SetWindowPos(w, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  // The controls' font: the system's message font at this DPI.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  HFONT font = SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_)
                   ? CreateFontIndirectW(&metrics.lfMessageFont)
                   : nullptr;
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (HWND w : {Label1, Text1, Command1, Frame1})
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (font_) DeleteObject(font_);
  font_ = font == GetStockObject(DEFAULT_GUI_FONT) ? nullptr : font;

  // The label's own width is for a narrower system font than most desktops
  // use: let it take what its text needs, up to the value box.
  SIZE text{};
  HDC dc = GetDC(Label1);
  HGDIOBJ old = SelectObject(dc, font);
  GetTextExtentPoint32W(dc, L"Enter Value", 11, &text);
  SelectObject(dc, old);
  ReleaseDC(Label1, dc);
  const int labelWidth =
      std::clamp(static_cast<int>(text.cx), px(855), std::max(px(855), px(1320) - px(240) - px(40)));

  place(Label1, px(240), px(240), labelWidth, px(255));
  place(Text1, px(1320), px(140), px(2800), px(375));
  place(Command1, px(4320), px(120), px(1335), px(375));
  place(Frame1, px(0), px(600), px(9975), px(5655));
  // The picture stands in the frame, at (120, 240) twips of it.
  place(img, px(0) + px(120), px(600) + px(240), px(9735), px(5295));

  RECT outer{0, 0, px(9990), px(6300)};
  AdjustWindowRectExForDpi(&outer, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form1::Text1_Change() {
  const std::u16string described = DescribePicture(state_);
  state_ = DeriveState(box_->Text());
  if (DescribePicture(state_) != described) imgAccessible_->DescriptionChanged();
  // Refresh: drawn at once, from the new state.
  InvalidateRect(img, nullptr, FALSE);
  UpdateWindow(img);
}

void Form1::Command1_Click() {
  if (printer_) {
    printer_(hwnd_, state_);
    return;
  }
  const std::wstring text = Wide(NoPrinterSetUp());
  MessageBoxW(hwnd_, text.c_str(), L"Print", MB_OK | MB_ICONWARNING);
}

void Form1::img_Paint(HDC dc) {
  RECT client{};
  GetClientRect(img, &client);
  // Drawn into a bitmap first and copied whole: no keystroke flickers.
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  // The two corners the panel and its shadow leave free show the background.
  FillRect(memory, &client, GetSysColorBrush(COLOR_BTNFACE));
  {
    GdiSurface surface(memory, static_cast<int>(dpi_), static_cast<int>(dpi_), 0, 0, client.right,
                       client.bottom, GdiSurface::Boxes::kOutlined);
    ui::img_Paint(surface, state_);
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

bool Form1::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  // Return and Enter press Print when it has the focus, as Space does; in
  // the value box and on the picture they do nothing.
  if (msg.hwnd == Command1) SendMessageW(Command1, BM_CLICK, 0, 0);
  return true;
}

void Form1::Deliver(const MSG& msg) {
  MSG m = msg;
  if (PreTranslate(m) || IsDialogMessageW(hwnd_, &m)) return;
  TranslateMessage(&m);
  DispatchMessageW(&m);
}

int Form1::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) Deliver(msg);
  return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK Form1::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Form1* form = Owner(hwnd)) return form->Handle(message, wParam, lParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Form1::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kText1 && HIWORD(wParam) == EN_CHANGE) {
        box_->Changed();
        Text1_Change();
        return 0;
      }
      if (LOWORD(wParam) == kCommand1 && HIWORD(wParam) == BN_CLICKED) {
        Command1_Click();
        return 0;
      }
      return 0;  // Return and Escape from the dialog manager: nothing
    case WM_ACTIVATE:
      // Back where the focus was, as a dialog does.
      if (LOWORD(wParam) == WA_INACTIVE) {
        focused_ = GetFocus();
      } else {
        SetFocus(focused_ && IsChild(hwnd_, focused_) ? focused_ : Text1);
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
      Layout();
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Form1::PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Form1* form = Owner(hwnd);
  if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      form->img_Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:  // drawn into another's DC (PrintWindow, magnifiers)
      form->img_Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // img_Paint covers it all
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;  // arrows on the picture do nothing
    case WM_KEYDOWN:
    case WM_CONTEXTMENU:
      if (message == WM_KEYDOWN ? !CopyKey(wParam) : !CopyChosen(hwnd, lParam)) break;
      if (!CopyToClipboard(hwnd, form->state_)) {
        const std::wstring text = Wide(NotCopied());
        MessageBoxW(form->hwnd_, text.c_str(), L"Copy", MB_OK | MB_ICONWARNING);
      }
      return 0;
    case WM_SETFOCUS:          // the system tells screen readers, as for any control
    case WM_KILLFOCUS:
      InvalidateRect(form->Frame1, nullptr, TRUE);  // the focus frame
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The frame around the picture. While the picture has the keyboard focus it
// draws a focus frame around it, outside it: the frame touches no symbol.
LRESULT CALLBACK Form1::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR self) {
  Form1* form = reinterpret_cast<Form1*>(self);
  if (message == WM_ERASEBKGND) {
    RECT all{};
    GetClientRect(hwnd, &all);
    FillRect(reinterpret_cast<HDC>(wParam), &all, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  if (message != WM_PAINT) return DefSubclassProc(hwnd, message, wParam, lParam);
  const LRESULT done = DefSubclassProc(hwnd, message, wParam, lParam);
  if (GetFocus() == form->img) {
    // Two pixels wide, a pixel clear of the picture on every side.
    const RECT p = RectIn(form->img, hwnd);
    HDC dc = GetDC(hwnd);
    HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
    const RECT sides[] = {{p.left - 3, p.top - 3, p.right + 3, p.top - 1},
                          {p.left - 3, p.bottom + 1, p.right + 3, p.bottom + 3},
                          {p.left - 3, p.top - 1, p.left - 1, p.bottom + 1},
                          {p.right + 1, p.top - 1, p.right + 3, p.bottom + 1}};
    for (const RECT& side : sides) FillRect(dc, &side, brush);
    ReleaseDC(hwnd, dc);
  }
  return done;
}

}  // namespace ui
