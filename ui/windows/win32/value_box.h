// The value box: a single-line EDIT control whose undo history is the
// core's (the last 100 edits, Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z, and Undo in
// its context menu), with Ctrl+A selecting all and room for 32,767
// characters (the control's own default is 30,000).
#pragma once

#include <windows.h>

#include <string>

#include "ui/core/edit_history.h"

namespace ui {

class ValueBox {
 public:
  static constexpr int kLimit = 32767;

  // Makes `edit` the value box: sets its limit and takes over its keys.
  explicit ValueBox(HWND edit);
  ~ValueBox();
  ValueBox(const ValueBox&) = delete;
  ValueBox& operator=(const ValueBox&) = delete;

  HWND Handle() const { return edit_; }
  std::u16string Text() const;

  // The window calls this first when the box says its text changed
  // (EN_CHANGE), so the history is up to date when the window derives.
  void Changed();

  void Undo();
  void Redo();
  const EditHistory& History() const { return history_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Show(const TextSnapshot& snapshot);
  std::ptrdiff_t Cursor() const;

  HWND edit_;
  EditHistory history_;
  TextSnapshot current_;
  bool typing_ = false;     // the change comes from a printable key
  bool ownChange_ = false;  // the text is being set by this box itself
};

}  // namespace ui
