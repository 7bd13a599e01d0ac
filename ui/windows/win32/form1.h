// The program's window on Win32: the value box, the Print button and the
// picture box in which the four symbols follow every keystroke, laid out in
// twips at the window's DPI and laid out again when the DPI changes.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/core/form_state.h"
#include "ui/windows/win32/value_box.h"

namespace ui {

class Accessible;

class Form1 {
 public:
  // Called when Print is pressed, with the window (to own what it says) and
  // the state as it is at the press.
  using Printer = std::function<void(HWND window, const FormState& state)>;

  // Makes the window (not yet shown); `printer` is what Print prints with.
  explicit Form1(Printer printer, HINSTANCE instance = GetModuleHandleW(nullptr));
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  HWND Handle() const { return hwnd_; }
  const FormState& State() const { return state_; }
  ValueBox& Box() { return *box_; }

  // What the message loop asks before IsDialogMessage: true when the
  // window has handled `msg` itself (Return on Print).
  bool PreTranslate(const MSG& msg);
  // What the message loop does with each message of the thread: the
  // window's own keys, the dialog manager's (Tab, Shift+Tab), then the
  // message translated and dispatched.
  void Deliver(const MSG& msg);
  // Runs the message loop until the window is closed; returns the exit code.
  int Run();

  // The controls.
  HWND Label1 = nullptr;
  HWND Text1 = nullptr;
  HWND Command1 = nullptr;
  HWND Frame1 = nullptr;
  HWND img = nullptr;

  // The window's DPI, as it lays itself out.
  UINT Dpi() const { return dpi_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK PictureProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK FrameProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Layout();
  void Text1_Change();
  void Command1_Click();
  void img_Paint(HDC dc);

  Printer printer_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  HFONT font_ = nullptr;
  HWND focused_ = nullptr;  // where the focus was when the window was left
  FormState state_;
  std::unique_ptr<ValueBox> box_;
  // What screen readers are told of the picture and of Print.
  std::unique_ptr<Accessible> imgAccessible_;
  std::unique_ptr<Accessible> command1Accessible_;
};

}  // namespace ui
