// The Windows program: the window, which prints on the system's default
// printer through the spooler.
#include <windows.h>
#include <objbase.h>

#include "ui/windows/spooler/press.h"
#include "ui/windows/win32/form1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  // For the accessibility annotations (a single-threaded apartment, as a
  // window's thread has).
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int code = 0;
  {
    ui::Form1 window(ui::PressPrint, instance);
    ShowWindow(window.Handle(), show);
    UpdateWindow(window.Handle());
    SetFocus(window.Text1);  // the value box has the focus from the start
    code = window.Run();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
