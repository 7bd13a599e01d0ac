// Presses of Print, each on a thread of its own, watched from the window's.
#include "ui/windows/spooler/press.h"

#include <deque>
#include <list>
#include <memory>
#include <thread>

#include "ui/core/messages.h"
#include "ui/core/print_job.h"
#include "ui/windows/spooler/spooler_printing.h"
#include "ui/windows/win32/wide.h"

namespace ui {
namespace {

constexpr UINT kDone = WM_APP + 1;  // a press's thread has ended: lParam its Press
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchEveryMs = 200;

struct Press {
  HWND window;
  Watch watch;
  std::u16string said;  // what the press's thread says when it ends
  bool told = false;    // the user was told (it did not answer in time)
};

// The presses under way, and the messages waiting to be shown, on a
// message-only window of the window's thread.
class Presses {
 public:
  static Presses& Get() {
    static Presses presses;
    return presses;
  }

  void Start(HWND window, const FormState& state) {
    if (!hwnd_) Create();
    auto& press = presses_.emplace_back(std::make_unique<Press>());
    press->window = window;
    Press* p = press.get();
    HWND to = hwnd_;
    std::thread([p, to, state] {
      SpoolerPrinting printing(p->watch);
      p->said = PrintOnDefaultPrinter(printing, state);
      PostMessageW(to, kDone, 0, reinterpret_cast<LPARAM>(p));
    }).detach();
    SetTimer(hwnd_, kWatchTimer, kWatchEveryMs, nullptr);
  }

  int UnderWay() const { return static_cast<int>(presses_.size()) + (showing_ ? 1 : 0) +
                                static_cast<int>(waiting_.size()); }

 private:
  void Create() {
    WNDCLASSW cls{};
    cls.lpfnWndProc = Proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"BarcodesPresses";
    RegisterClassW(&cls);
    hwnd_ = CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            cls.hInstance, nullptr);
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Presses& self = Get();
    if (message == kDone) {
      self.Ended(reinterpret_cast<Press*>(lParam));
      return 0;
    }
    if (message == WM_TIMER && wParam == kWatchTimer) {
      self.Check();
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  // A call that has waited the whole time-out: say so now, and drop what is
  // left of the job.
  void Check() {
    for (const auto& press : presses_) {
      if (press->told) continue;
      const auto waiting = press->watch.Current();
      if (!waiting || waiting->waited < std::chrono::milliseconds(kPrintTimeoutMs)) continue;
      press->told = true;
      press->watch.GiveUp();
      const std::u16string why = NoAnswer(waiting->who, kPrintTimeoutMs);
      Tell(press->window, waiting->handing ? JobMayHavePrinted(why, press->watch.Printer(),
                                                                press->watch.Job())
                                           : NothingPrinted(why));
    }
    if (presses_.empty()) KillTimer(hwnd_, kWatchTimer);
  }

  void Ended(Press* ended) {
    for (auto it = presses_.begin(); it != presses_.end(); ++it) {
      if (it->get() != ended) continue;
      std::unique_ptr<Press> press = std::move(*it);
      presses_.erase(it);
      if (!press->told && !press->said.empty()) Tell(press->window, press->said);
      break;
    }
    if (presses_.empty()) KillTimer(hwnd_, kWatchTimer);
  }

  // One message at a time: one that comes while another is shown waits for it.
  void Tell(HWND window, std::u16string text) {
    waiting_.push_back({window, std::move(text)});
    if (showing_) return;
    showing_ = true;
    while (!waiting_.empty()) {
      const auto [owner, said] = std::move(waiting_.front());
      waiting_.pop_front();
      const std::wstring wide = Wide(said);
      MessageBoxW(IsWindow(owner) ? owner : nullptr, wide.c_str(), L"Print",
                  MB_OK | MB_ICONWARNING);
    }
    showing_ = false;
  }

  HWND hwnd_ = nullptr;
  std::list<std::unique_ptr<Press>> presses_;
  std::deque<std::pair<HWND, std::u16string>> waiting_;
  bool showing_ = false;
};

}  // namespace

void PressPrint(HWND window, const FormState& state) { Presses::Get().Start(window, state); }

int PressesUnderWay() { return Presses::Get().UnderWay(); }

}  // namespace ui
