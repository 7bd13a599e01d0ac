// The copied picture drawn by the print routine over the GDI surface: on a
// metafile's DC in twips and on a 300 dpi one-bit bitmap; what of it the
// clipboard takes, all or nothing.
#include "ui/windows/win32/clipboard.h"

#include <cstring>
#include <string>

#include "ui/core/copied_picture.h"
#include "ui/core/printer_page.h"
#include "ui/core/screen_painter.h"
#include "ui/windows/win32/gdi_surface.h"

namespace ui {
namespace {

bool Held(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// `bytes` of moveable global memory, filled by `fill` (given it locked);
// null, and nothing left allocated, when it could not be had or locked.
template <class Fill>
HGLOBAL Filled(const ClipboardCalls& calls, SIZE_T bytes, Fill fill) {
  HGLOBAL memory = calls.alloc(GMEM_MOVEABLE, bytes);
  if (!memory) return nullptr;
  void* to = calls.lock(memory);
  if (!to) {
    GlobalFree(memory);
    return nullptr;
  }
  fill(static_cast<BYTE*>(to));
  GlobalUnlock(memory);
  return memory;
}

HGLOBAL CopiedText(const FormState& state, const ClipboardCalls& calls) {
  const std::u16string text = DescribeSymbols(state, u"\r\n");
  return Filled(calls, (text.size() + 1) * sizeof(char16_t), [&text](BYTE* to) {
    std::memcpy(to, text.c_str(), (text.size() + 1) * sizeof(char16_t));
  });
}

// A handle Copy made and the clipboard has not taken.
struct Offer {
  UINT format;
  HANDLE handle;
};

void Free(Offer& offer) {
  if (!offer.handle) return;
  if (offer.format == CF_ENHMETAFILE)
    DeleteEnhMetaFile(static_cast<HENHMETAFILE>(offer.handle));
  else
    GlobalFree(offer.handle);
  offer.handle = nullptr;
}

}  // namespace

HENHMETAFILE CopiedMetafile(const FormState& state) {
  // The frame, in hundredths of a millimetre: the picture's size.
  const RECT frame{0, 0, TwipsToHmm(kCopyWidth), TwipsToHmm(kCopyHeight)};
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, L"Barcodes\0Barcodes\0");
  if (!dc) return nullptr;
  // One logical unit a twip: the reference device's millimetres in twips
  // (kTwipsPerInch / 25.4 a millimetre) onto its pixels.
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, GetDeviceCaps(dc, HORZSIZE) * kTwipsPerInch * 10,
                 GetDeviceCaps(dc, VERTSIZE) * kTwipsPerInch * 10, nullptr);
  SetViewportExtEx(dc, GetDeviceCaps(dc, HORZRES) * 254, GetDeviceCaps(dc, VERTRES) * 254,
                   nullptr);
  bool drawn = false;
  {
    GdiSurface surface(dc, kTwipsPerInch, kTwipsPerInch, 0, 0, kCopyWidth, kCopyHeight,
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

HGLOBAL CopiedDib(const FormState& state, const ClipboardCalls& calls) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } info{};
  const DWORD stride = (kCopyDotsWide + 31) / 32 * 4;
  const DWORD size = stride * kCopyDotsHigh;
  info.header = {sizeof(BITMAPINFOHEADER), kCopyDotsWide, kCopyDotsHigh, 1, 1, BI_RGB, size,
                 kCopyDotsPerMetre, kCopyDotsPerMetre, 2, 2};
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
    if (drawn)
      dib = Filled(calls, sizeof info + size, [&](BYTE* to) {
        std::memcpy(to, &info, sizeof info);
        std::memcpy(to + sizeof info, bits, size);
      });
    SelectObject(dc, old);
    DeleteObject(bitmap);
  }
  if (dc) DeleteDC(dc);
  return dib;
}

bool CopyToClipboard(HWND owner, const FormState& state, const ClipboardCalls& calls) {
  // The richest first: a program that pastes takes the first it knows.
  Offer offers[] = {{CF_ENHMETAFILE, CopiedMetafile(state)},
                    {CF_DIB, CopiedDib(state, calls)},
                    {CF_UNICODETEXT, CopiedText(state, calls)}};
  // The text and a picture at least, or the clipboard is not touched.
  const bool made = offers[2].handle && (offers[0].handle || offers[1].handle);
  // Another program may hold the clipboard for a moment.
  bool open = made && calls.open(owner) != FALSE;
  for (int attempt = 1; made && !open && attempt < 10; ++attempt) {
    Sleep(10);
    open = calls.open(owner) != FALSE;
  }
  const bool emptied = open && calls.empty();
  bool done = emptied;
  for (Offer& offer : offers) {
    if (!done || !offer.handle) continue;
    if (calls.set(offer.format, offer.handle))
      offer.handle = nullptr;  // the clipboard's now
    else
      done = false;
  }
  // Half a copy is none: what the clipboard took goes again.
  if (emptied && !done) calls.empty();
  if (open) calls.close();
  for (Offer& offer : offers) Free(offer);
  return done;
}

bool CopyKey(WPARAM key) {
  return (key == 'C' || key == VK_INSERT) && Held(VK_CONTROL) && !Held(VK_SHIFT) &&
         !Held(VK_MENU);
}

}  // namespace ui
