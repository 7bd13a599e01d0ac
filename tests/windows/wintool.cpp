// Looks at the Windows program from outside, as the wine tests need it: a
// tool run under wine beside the program, in the same wine session.
//   wintool controls   the window "Form1": its client size and DPI, each
//                      control (class, text, place), the Tab order
//                      from the value box, and which control has the focus
//   wintool message [close]  the text of the message box "Print" shown
//                      (close: then closes it, as OK would); else exit 3,
//                      naming the program's windows
//   wintool presses    how many presses of Print are under way, as the
//                      program says (its messages included)
//   wintool version FILE  the version information of a program file
//   wintool caps [turned]  what the default printer's DC says: resolution,
//                      physical size and offsets, printable size (turned:
//                      with the orientation of its DEVMODE turned)
//   wintool msaa       what a screen reader reads of each control (MSAA)
#include <windows.h>
#include <oleacc.h>
#include <winspool.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/windows/spooler/press.h"

namespace {

std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[1024] = {};
  GetWindowTextW(hwnd, text, 1024);
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

int Controls() {
  HWND form = FindWindowW(L"BarcodesForm1", L"Form1");
  if (!form) {
    std::puts("no window Form1");
    return 1;
  }
  RECT client{};
  GetClientRect(form, &client);
  std::printf("window \"%s\" client %ldx%ld dpi %u\n", Utf8(TextOf(form)).c_str(), client.right,
              client.bottom, GetDpiForWindow(form));
  std::vector<HWND> children;
  for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  for (HWND c : children) {
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    const LONG_PTR style = GetWindowLongPtrW(c, GWL_STYLE);
    std::printf("control %d %s \"%s\" at %ld,%ld size %ldx%ld%s%s\n",
                GetDlgCtrlID(c), Utf8(ClassOf(c)).c_str(), Utf8(TextOf(c)).c_str(), r.left, r.top,
                r.right - r.left, r.bottom - r.top, (style & WS_TABSTOP) ? " tabstop" : "",
                (style & WS_VISIBLE) ? " visible" : "");
    if (ClassOf(c) == L"Edit")
      std::printf("limit %lld\n", static_cast<long long>(SendMessageW(c, EM_GETLIMITTEXT, 0, 0)));
  }
  // The Tab order, as the dialog manager goes, from the first control that takes it.
  HWND first = GetNextDlgTabItem(form, nullptr, FALSE);
  std::printf("tab order:");
  HWND at = first;
  for (int i = 0; at && i < 8; ++i) {
    std::printf(" %d", GetDlgCtrlID(at));
    at = GetNextDlgTabItem(form, at, FALSE);
    if (at == first) break;
  }
  std::printf("\n");
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info))
    std::printf("focus %d\n", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
  return 0;
}

// mingw's import library has IID_IAccessible wrong.
constexpr IID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string Read(HWND hwnd) {
  IAccessible* acc = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                        reinterpret_cast<void**>(&acc))))
    return "no object";
  VARIANT self{}, role{};
  self.vt = VT_I4;  // CHILDID_SELF
  BSTR name = nullptr, description = nullptr;
  std::string out =
      "role " + std::to_string(acc->get_accRole(self, &role) == S_OK ? role.lVal : -1);
  if (acc->get_accName(self, &name) == S_OK && name) out += " name \"" + Utf8(name) + "\"";
  if (acc->get_accDescription(self, &description) == S_OK && description)
    out += " description \"" + Utf8(description) + "\"";
  SysFreeString(name);
  SysFreeString(description);
  acc->Release();
  return out;
}

HWND Form() { return FindWindowW(L"BarcodesForm1", L"Form1"); }

int Msaa() {
  for (HWND c = GetWindow(Form(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    std::printf("control %d %s\n", GetDlgCtrlID(c), Read(c).c_str());
  return Form() ? 0 : 1;
}

int Message(bool close) {
  HWND box = FindWindowW(L"#32770", L"Print");
  if (!box) {
    std::printf("no message; the windows of the program:");
    DWORD program = 0;
    GetWindowThreadProcessId(Form(), &program);
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
      DWORD of = 0;
      GetWindowThreadProcessId(w, &of);
      if (program && of == program && IsWindowVisible(w))
        std::printf(" %s \"%s\"", Utf8(ClassOf(w)).c_str(), Utf8(TextOf(w)).c_str());
    }
    std::puts(program ? "" : " (it has none)");
    return 3;
  }
  // A message box's text is its static control 0xFFFF.
  wchar_t text[4096] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 4096);
  std::printf("message: %s\n", Utf8(text).c_str());
  if (close) PostMessageW(box, WM_COMMAND, IDOK, 0);
  return 0;
}

int Presses() {
  HWND presses = FindWindowExW(HWND_MESSAGE, nullptr, ui::kPressesClass, nullptr);
  DWORD_PTR count = 0;
  if (presses && !SendMessageTimeoutW(presses, ui::kPressesUnderWay, 0, 0, SMTO_ABORTIFHUNG, 10000, &count)) {
    std::puts("the program does not answer");
    return 1;
  }
  std::printf("presses %d\n", static_cast<int>(count));  // none made: no such window
  return 0;
}

int Version(const wchar_t* file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  std::vector<BYTE> data(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!size || !GetFileVersionInfoW(file, 0, size, data.data()) ||
      !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) {
    std::puts("no version information");
    return 1;
  }
  wchar_t* product = nullptr;
  VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                 reinterpret_cast<void**>(&product), &length);
  std::printf("version %d.%d.%d.%d product \"%s\"\n", HIWORD(fixed->dwFileVersionMS),
              LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
              LOWORD(fixed->dwFileVersionLS), product ? Utf8(product).c_str() : "");
  return 0;
}

int Caps(bool turned) {
  DWORD size = 0;
  GetDefaultPrinterW(nullptr, &size);
  std::wstring name(size, L'\0');
  if (!size || !GetDefaultPrinterW(name.data(), &size)) {
    std::puts("no default printer");
    return 1;
  }
  name.resize(size - 1);
  HANDLE printer = nullptr;
  if (!OpenPrinterW(name.data(), &printer, nullptr)) return 1;
  const LONG bytes = DocumentPropertiesW(nullptr, printer, name.data(), nullptr, nullptr, 0);
  std::vector<BYTE> mode(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
  auto* dm = reinterpret_cast<DEVMODEW*>(mode.data());
  if (bytes <= 0 || DocumentPropertiesW(nullptr, printer, name.data(), dm, nullptr, DM_OUT_BUFFER) != IDOK)
    return 1;
  ClosePrinter(printer);
  if (turned) {
    dm->dmOrientation = DMORIENT_LANDSCAPE;
    dm->dmFields |= DM_ORIENTATION;
  }
  HDC dc = CreateICW(L"WINSPOOL", name.c_str(), nullptr, dm);
  if (!dc) return 1;
  std::printf("printer \"%s\" form \"%s\" quality %d: %dx%d dpi, physical %dx%d, offset %d,%d, "
              "printable %dx%d\n",
              Utf8(name).c_str(), Utf8(dm->dmFormName).c_str(), dm->dmPrintQuality,
              GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY),
              GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT),
              GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY),
              GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES));
  DeleteDC(dc);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  const std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "controls") return Controls();
  if (verb == "message") return Message(argc > 2 && std::string(argv[2]) == "close");
  if (verb == "version" && argc > 2) {
    const std::string file = argv[2];
    return Version(std::wstring(file.begin(), file.end()).c_str());
  }
  if (verb == "presses") return Presses();
  if (verb == "caps") return Caps(argc > 2 && std::string(argv[2]) == "turned");
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // a screen reader's thread
  if (verb == "msaa") return Msaa();
  std::fputs(
      "usage: wintool controls | message [close] | presses | caps [turned] | version FILE | msaa\n",
      stderr);
  return 2;
}
