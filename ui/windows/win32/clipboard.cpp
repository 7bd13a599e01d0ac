// The copied picture drawn by the print routine over the GDI surface: on a
// metafile's DC in twips and on a 300 dpi one-bit bitmap.
#include "ui/windows/win32/clipboard.h"

#include <windowsx.h>

#include <cstring>
#include <string>

#include "ui/core/copied_picture.h"
#include "ui/core/printer_page.h"
#include "ui/core/screen_painter.h"
#include "ui/windows/win32/gdi_surface.h"

namespace ui {
namespace {

constexpr UINT kCopyCommand = 1;

bool Held(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Puts `handle` on the open clipboard; frees it when that fails.
void Put(UINT format, HANDLE handle) {
  if (!handle || SetClipboardData(format, handle)) return;
  if (format == CF_ENHMETAFILE)
    DeleteEnhMetaFile(static_cast<HENHMETAFILE>(handle));
  else
    GlobalFree(handle);
}

HGLOBAL Text(const FormState& state) {
  const std::u16string text = DescribeSymbols(state, u"\r\n");
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
  if (!memory) return nullptr;
  auto* to = static_cast<char16_t*>(GlobalLock(memory));
  if (!to) {
    GlobalFree(memory);
    return nullptr;
  }
  text.copy(to, text.size());
  to[text.size()] = u'\0';
  GlobalUnlock(memory);
  return memory;
}

}  // namespace

HENHMETAFILE CopiedMetafile(const FormState& state) {
  // The frame, in hundredths of a millimetre: the picture's size.
  const RECT frame{0, 0, TwipsToHmm(kCopyWidth), TwipsToHmm(kCopyHeight)};
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, L"Barcodes\0Barcodes\0");
  if (!dc) return nullptr;
  // One logical unit a twip: the reference device's millimetres in twips
  // (1440 / 25.4 = 7200 / 127 a millimetre) onto its pixels.
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, GetDeviceCaps(dc, HORZSIZE) * 7200, GetDeviceCaps(dc, VERTSIZE) * 7200,
                 nullptr);
  SetViewportExtEx(dc, GetDeviceCaps(dc, HORZRES) * 127, GetDeviceCaps(dc, VERTRES) * 127,
                   nullptr);
  bool drawn = false;
  {
    GdiSurface surface(dc, 1440, 1440, 0, 0, kCopyWidth, kCopyHeight,
                       GdiSurface::Boxes::kOnDotGrid);
    DrawCopy(surface, state);
    drawn = surface.Ok();
  }
  HENHMETAFILE metafile = CloseEnhMetaFile(dc);
  if (metafile && !drawn) {
    DeleteEnhMetaFile(metafile);
    return nullptr;
  }
  return metafile;
}

HGLOBAL CopiedDib(const FormState& state) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } info{};
  const LONG perMetre = 11811;  // 300 dpi
  const DWORD stride = (kCopyDotsWide + 31) / 32 * 4;
  const DWORD size = stride * kCopyDotsHigh;
  info.header = {sizeof(BITMAPINFOHEADER), kCopyDotsWide, kCopyDotsHigh, 1, 1, BI_RGB, size,
                 perMetre, perMetre, 2, 2};
  info.colours[1] = {255, 255, 255, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = dc ? CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&info),
                                         DIB_RGB_COLORS, &bits, nullptr, 0)
                      : nullptr;
  HGLOBAL dib = nullptr;
  if (bitmap) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    bool drawn = false;
    {
      GdiSurface surface(dc, kCopyDpi, kCopyDpi, 0, 0, kCopyDotsWide, kCopyDotsHigh,
                         GdiSurface::Boxes::kOnDotGrid);
      DrawCopy(surface, state);
      drawn = surface.Ok();
    }
    GdiFlush();
    if (drawn) dib = GlobalAlloc(GMEM_MOVEABLE, sizeof info + size);
    if (auto* to = dib ? static_cast<BYTE*>(GlobalLock(dib)) : nullptr) {
      std::memcpy(to, &info, sizeof info);
      std::memcpy(to + sizeof info, bits, size);
      GlobalUnlock(dib);
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
  }
  if (dc) DeleteDC(dc);
  return dib;
}

bool CopyToClipboard(HWND owner, const FormState& state) {
  HENHMETAFILE metafile = CopiedMetafile(state);
  HGLOBAL dib = CopiedDib(state);
  HGLOBAL text = Text(state);
  // Another program may hold the clipboard for a moment.
  bool open = OpenClipboard(owner) != FALSE;
  for (int attempt = 1; !open && attempt < 10; ++attempt) {
    Sleep(10);
    open = OpenClipboard(owner) != FALSE;
  }
  if (open && EmptyClipboard()) {
    // The richest first: a program that pastes takes the first it knows.
    Put(CF_ENHMETAFILE, metafile);
    Put(CF_DIB, dib);
    Put(CF_UNICODETEXT, text);
    CloseClipboard();
    return true;
  }
  if (open) CloseClipboard();
  if (metafile) DeleteEnhMetaFile(metafile);
  if (dib) GlobalFree(dib);
  if (text) GlobalFree(text);
  return false;
}

bool CopyAsked(HWND picture, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN)
    return (wParam == 'C' || wParam == VK_INSERT) && Held(VK_CONTROL) && !Held(VK_SHIFT) &&
           !Held(VK_MENU);
  if (message != WM_CONTEXTMENU) return false;
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

}  // namespace ui
