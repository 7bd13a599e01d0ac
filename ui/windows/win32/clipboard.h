// What Copy puts on the Windows clipboard: the copied picture as an enhanced
// metafile, at the size it prints, and as a bitmap at 300 dpi, and the
// symbols in words. Ctrl+C (or Ctrl+Insert) on the picture, or "Copy" in its
// context menu (the window's), asks for it.
#pragma once

#include <windows.h>

#include "ui/core/form_state.h"

namespace ui {

// The calls Copy makes to the clipboard and for global memory: the system's
// own, unless a test puts in ones that fail.
struct ClipboardCalls {
  decltype(&::OpenClipboard) open = ::OpenClipboard;
  decltype(&::EmptyClipboard) empty = ::EmptyClipboard;
  decltype(&::SetClipboardData) set = ::SetClipboardData;
  decltype(&::CloseClipboard) close = ::CloseClipboard;
  decltype(&::GlobalAlloc) alloc = ::GlobalAlloc;
  decltype(&::GlobalLock) lock = ::GlobalLock;
};

// The copied picture as an enhanced metafile, drawn over the GDI surface in
// twips (one logical unit a twip), its frame the picture's size. The caller
// owns it; null when it could not be made.
HENHMETAFILE CopiedMetafile(const FormState& state);

// The copied picture at 300 dpi, one bit a dot, every box on the dot grid by
// the same rule as a printer's page, as a packed bottom-up DIB in moveable
// global memory (CF_DIB), its header saying 300 dpi. The caller owns it;
// null when it could not be made and filled.
HGLOBAL CopiedDib(const FormState& state, const ClipboardCalls& calls = {});

// The metafile, the bitmap and the text (one symbol a line) on the clipboard,
// owned by `owner`, all that could be made, or nothing. True when the
// clipboard took them all, and they hold the text and at least one picture.
// Otherwise false: when the text or both pictures could not be made or the
// clipboard could not be had, it keeps what it had; when it refused one of
// them, it is left empty.
bool CopyToClipboard(HWND owner, const FormState& state, const ClipboardCalls& calls = {});

// Whether the key `key`, pressed on the picture with the modifiers now held,
// asks for Copy: Ctrl+C or Ctrl+Insert.
bool CopyKey(WPARAM key);

}  // namespace ui
