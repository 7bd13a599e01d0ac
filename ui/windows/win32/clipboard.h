// What Copy puts on the Windows clipboard: the copied picture as an enhanced
// metafile, at the size it prints, and as a bitmap at 300 dpi, and the
// symbols in words. Ctrl+C (or Ctrl+Insert) on the picture, or "Copy" in its
// context menu, asks for it.
#pragma once

#include <windows.h>

#include "ui/core/form_state.h"

namespace ui {

// The copied picture as an enhanced metafile, drawn over the GDI surface in
// twips (1440 logical units an inch), its frame the picture's size. The
// caller owns it; null when it could not be made.
HENHMETAFILE CopiedMetafile(const FormState& state);

// The copied picture at 300 dpi, one bit a dot, every box on the dot grid by
// the same rule as a printer's page, as a packed bottom-up DIB in moveable
// global memory (CF_DIB), its header saying 300 dpi. The caller owns it;
// null when it could not be made.
HGLOBAL CopiedDib(const FormState& state);

// The metafile, the bitmap and the text (one symbol a line) on the clipboard,
// owned by `owner`; false when the clipboard could not be had.
bool CopyToClipboard(HWND owner, const FormState& state);

// Whether a message to the picture `picture` asks for Copy: Ctrl+C or
// Ctrl+Insert, or "Copy" chosen in its context menu, which WM_CONTEXTMENU
// (the right button, the menu key, Shift+F10) shows here.
bool CopyAsked(HWND picture, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace ui
