// The value box: an EDIT control with the core's bounded undo history.
#include "ui/windows/win32/value_box.h"

#include <commctrl.h>

#include "ui/windows/win32/wide.h"

namespace ui {
namespace {

constexpr UINT_PTR kSubclass = 1;

bool Held(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace

ValueBox::ValueBox(HWND edit) : edit_(edit) {
  SendMessageW(edit_, EM_SETLIMITTEXT, kLimit, 0);
  SetWindowSubclass(edit_, Proc, kSubclass, reinterpret_cast<DWORD_PTR>(this));
  current_ = {Text(), Cursor()};
}

ValueBox::~ValueBox() { RemoveWindowSubclass(edit_, Proc, kSubclass); }

std::u16string ValueBox::Text() const {
  const int length = GetWindowTextLengthW(edit_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(edit_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return Std16(text);
}

std::ptrdiff_t ValueBox::Cursor() const {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<std::ptrdiff_t>(end);
}

void ValueBox::Changed() {
  if (ownChange_) return;
  TextSnapshot after{Text(), Cursor()};
  if (after.text == current_.text) return;  // nothing to undo
  history_.Edited(current_, after, typing_);
  current_ = std::move(after);
  // The control's own undo keeps a copy of what an edit replaced: drop it,
  // the history above is the box's.
  SendMessageW(edit_, EM_EMPTYUNDOBUFFER, 0, 0);
}

void ValueBox::Show(const TextSnapshot& snapshot) {
  ownChange_ = true;
  const std::wstring text = Wide(snapshot.text);
  SetWindowTextW(edit_, text.c_str());  // EN_CHANGE for the box's users, as any edit
  SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(snapshot.cursor),
               static_cast<LPARAM>(snapshot.cursor));
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
  SendMessageW(edit_, EM_EMPTYUNDOBUFFER, 0, 0);
  ownChange_ = false;
  current_ = {Text(), Cursor()};
}

void ValueBox::Undo() {
  if (auto previous = history_.Undo(current_)) Show(*previous);
}

void ValueBox::Redo() {
  if (auto next = history_.Redo(current_)) Show(*next);
}

LRESULT CALLBACK ValueBox::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR self) {
  (void)hwnd;
  return reinterpret_cast<ValueBox*>(self)->Handle(message, wParam, lParam);
}

LRESULT ValueBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const bool ctrl = Held(VK_CONTROL) && !Held(VK_MENU);
  switch (message) {
    case WM_KEYDOWN:
      if (ctrl && wParam == 'A') {
        SendMessageW(edit_, EM_SETSEL, 0, -1);
        return 0;
      }
      if (ctrl && wParam == 'Z') {
        Held(VK_SHIFT) ? Redo() : Undo();
        return 0;
      }
      if (ctrl && wParam == 'Y') {
        Redo();
        return 0;
      }
      break;
    case WM_CHAR:
      // The characters Ctrl+A, Ctrl+Y and Ctrl+Z make: handled above.
      if (wParam == 0x01 || wParam == 0x19 || wParam == 0x1A) return 0;
      typing_ = wParam >= 0x20 && wParam != 0x7F && !ctrl;
      {
        const LRESULT done = DefSubclassProc(edit_, message, wParam, lParam);
        typing_ = false;
        return done;
      }
    case WM_UNDO:  // the context menu's Undo
    case EM_UNDO:
      Undo();
      return TRUE;
    case EM_CANUNDO:
      return history_.CanUndo() ? TRUE : FALSE;
    default:
      break;
  }
  return DefSubclassProc(edit_, message, wParam, lParam);
}

}  // namespace ui
