// What screen readers are told of a control, through Microsoft Active
// Accessibility (MSAA): the control answers WM_GETOBJECT with an object of
// its own, built on Windows' standard object for it (so its place, parent,
// navigation, state and hit-testing stay Windows' own), that answers the
// role, name and description the control gives, and asks for them each time.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace ui {

// IID_IAccessible spelled out: mingw-w64's import library defines it
// wrongly, and every query for it would fail.
inline constexpr IID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What a control says of itself; what it leaves out, the standard object says.
struct AccessibleAnswers {
  LONG role = 0;        // a ROLE_SYSTEM_ constant; 0: the standard object's
  std::u16string name;  // empty: the standard object's
  // Asked each time a screen reader asks; empty: the standard object's.
  std::function<std::u16string()> description;
};

// Makes `control` answer screen readers (it subclasses the control) until
// the control is destroyed or this is. A client that keeps the object
// longer gets RPC_E_DISCONNECTED from it.
class Accessible {
 public:
  Accessible(HWND control, AccessibleAnswers answers);
  ~Accessible();
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;

  // Tells screen readers that the control's description has changed.
  void DescriptionChanged() const;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void Detach();

  HWND control_;
  // Shared with the objects handed out, which hold it weakly: once the
  // control is gone, they answer nothing.
  std::shared_ptr<const AccessibleAnswers> answers_;
};

}  // namespace ui
