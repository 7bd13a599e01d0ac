// Presses of Print, each on a thread of its own, watched from the window's.
#include "ui/windows/spooler/press.h"

#include <commctrl.h>
#include <winspool.h>

#include <chrono>
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

constexpr UINT kSaid = WM_APP + 1;  // a press has printed (or not): lParam its Press
constexpr UINT kDone = WM_APP + 2;  // a press's thread has ended: lParam its Press
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchEveryMs = 200;

struct Press {
  HWND window;
  SpoolerCalls calls;
  Watch watch;
  std::u16string said;  // what the press's thread says when it ends
  JobFate fate;         // what became of the job, once it was followed
  bool told = false;    // the user was told (it did not answer in time)
};

// Follows the job the press handed over until its fate is known, asking the
// spooler every half second, for up to kFollowMs.
JobFate FollowJob(Watch& watch, const SpoolerCalls& calls) {
  using Clock = std::chrono::steady_clock;
  const int job = watch.Job();
  const std::u16string printer = watch.Printer();
  if (job <= 0 || watch.GivenUp()) return {true, {}, false};
  std::wstring name = Wide(printer);
  HANDLE handle = nullptr;
  // Asked with the page already handed over: a call that does not answer
  // leaves it unknown whether the page printed.
  watch.Asking(u"The printer " + Quoted(printer), true);
  const bool open = calls.openPrinter(name.data(), &handle, nullptr);
  watch.Answered();
  if (!open) return {true, {}, false};  // nothing more to learn of it
  const auto start = Clock::now();
  JobFate fate;
  for (;;) {
    const bool timeUp = Clock::now() - start >= std::chrono::milliseconds(kFollowMs);
    std::u16string why;
    watch.Asking(u"The printer " + Quoted(printer), true);
    const std::optional<JobReport> report = AskJob(handle, job, why, calls);
    watch.Answered();
    if (watch.GivenUp()) break;
    if (report)
      fate = JudgeJob(printer, job, *report, timeUp, {});
    else if (timeUp)
      fate = {true, JobLostSight(printer, job, why), false};
    if (fate.done) break;
    Sleep(500);
  }
  calls.closePrinter(handle);
  return fate;
}

// "Cancel the job" and "Leave it" (the default), where the system has task
// dialogs (common controls 6); else Yes and No, said in the text.
bool AsksToCancel(HWND owner, const std::wstring& text) {
  using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
  HMODULE controls = GetModuleHandleW(L"comctl32.dll");
  // Through void (*)(), the function type that stands for any: GetProcAddress
  // does not know the type of what it finds.
  using AnyFunction = void (*)();
  const auto dialog = controls ? reinterpret_cast<TaskDialogIndirectFn>(reinterpret_cast<AnyFunction>(
                                     GetProcAddress(controls, "TaskDialogIndirect")))
                               : nullptr;
  if (dialog) {
    constexpr int kCancelJob = 100;
    constexpr int kLeave = 101;
    const TASKDIALOG_BUTTON buttons[] = {{kCancelJob, L"Cancel the job"}, {kLeave, L"Leave it"}};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    // Its text is plain: without TDF_ENABLE_HYPERLINKS an <a> in it (from a
    // printer's name or status) is shown as the characters it is.
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    config.pszWindowTitle = L"Print";
    config.pszMainIcon = TD_WARNING_ICON;
    config.pszContent = text.c_str();
    config.cButtons = 2;
    config.pButtons = buttons;
    config.nDefaultButton = kLeave;
    int pressed = kLeave;
    if (SUCCEEDED(dialog(&config, &pressed, nullptr, nullptr))) return pressed == kCancelJob;
  }
  const std::wstring asked = text + L"\n\nYes cancels the job; No leaves it to print.";
  return MessageBoxW(owner, asked.c_str(), L"Print", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

// The presses under way, and the messages waiting to be shown, on a
// message-only window of the window's thread.
class Presses {
 public:
  static Presses& Get() {
    static Presses presses;
    return presses;
  }

  void Start(HWND window, const FormState& state, const SpoolerCalls& calls) {
    if (!hwnd_) Create();
    auto& press = presses_.emplace_back(std::make_unique<Press>());
    press->window = window;
    press->calls = calls;
    Press* p = press.get();
    HWND to = hwnd_;
    std::thread([p, to, state] {
      SpoolerPrinting printing(p->watch, p->calls);
      p->said = PrintOnDefaultPrinter(printing, state);
      // Said at once; then what became of the job, once it is known.
      PostMessageW(to, kSaid, 0, reinterpret_cast<LPARAM>(p));
      p->fate = FollowJob(p->watch, p->calls);
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
    cls.lpszClassName = kPressesClass;
    RegisterClassW(&cls);
    hwnd_ = CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            cls.hInstance, nullptr);
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Presses& self = Get();
    if (message == kSaid) {
      self.Said(reinterpret_cast<Press*>(lParam));
      return 0;
    }
    if (message == kDone) {
      self.Ended(reinterpret_cast<Press*>(lParam));
      return 0;
    }
    if (message == kPressesUnderWay) return self.UnderWay();
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
      // Queued, and shown after the walk: a message's own loop may end presses.
      waiting_.push_back({press->window,
                          {waiting->handing ? JobMayHavePrinted(why, press->watch.Printer(), press->watch.Job())
                                            : NothingPrinted(why),
                           false, {}, 0, {}}});
    }
    if (presses_.empty()) KillTimer(hwnd_, kWatchTimer);
    ShowWaiting();
  }

  void Said(Press* press) {
    if (!press->told && !press->said.empty()) Tell(press->window, {press->said, false, {}, 0, {}});
  }

  void Ended(Press* ended) {
    for (auto it = presses_.begin(); it != presses_.end(); ++it) {
      if (it->get() != ended) continue;
      std::unique_ptr<Press> press = std::move(*it);
      presses_.erase(it);
      if (!press->told && !press->fate.text.empty())
        Tell(press->window, {press->fate.text, press->fate.canStillPrint, press->watch.Printer(),
                             press->watch.Job(), press->calls});
      break;
    }
    if (presses_.empty()) KillTimer(hwnd_, kWatchTimer);
  }

  // A message; where the job may still print, the user may cancel it.
  struct Message {
    std::u16string text;
    bool canCancel;
    std::u16string printer;
    int job;
    SpoolerCalls calls;  // through which it is cancelled
  };

  // One message at a time: one that comes while another is shown waits for it.
  void Tell(HWND window, Message message) {
    waiting_.push_back({window, std::move(message)});
    ShowWaiting();
  }

  void ShowWaiting() {
    if (showing_) return;
    showing_ = true;
    while (!waiting_.empty()) {
      auto [owner, m] = std::move(waiting_.front());
      waiting_.pop_front();
      HWND to = IsWindow(owner) ? owner : nullptr;
      const std::wstring wide = Wide(m.text);
      if (!m.canCancel) {
        MessageBoxW(to, wide.c_str(), L"Print", MB_OK | MB_ICONWARNING);
        continue;
      }
      if (!AsksToCancel(to, wide)) continue;
      const std::u16string refused = CancelJob(m.calls, m.printer, m.job);
      if (!refused.empty())
        waiting_.push_front({owner, {JobNotCancelled(m.printer, m.job, refused), false, {}, 0, {}}});
    }
    showing_ = false;
  }

  // Cancels the job on the spooler: empty, or why it could not.
  static std::u16string CancelJob(const SpoolerCalls& calls, const std::u16string& printer, int job) {
    std::wstring name = Wide(printer);
    HANDLE handle = nullptr;
    if (!calls.openPrinter(name.data(), &handle, nullptr)) return SystemReason(GetLastError());
    const bool cancelled = calls.setJob(handle, static_cast<DWORD>(job), 0, nullptr, JOB_CONTROL_DELETE);
    const DWORD why = GetLastError();
    calls.closePrinter(handle);
    return cancelled ? std::u16string() : SystemReason(why);
  }

  HWND hwnd_ = nullptr;
  std::list<std::unique_ptr<Press>> presses_;
  std::deque<std::pair<HWND, Message>> waiting_;
  bool showing_ = false;
};

}  // namespace

void PressPrint(HWND window, const FormState& state) { Presses::Get().Start(window, state, {}); }

void PressPrintThrough(const SpoolerCalls& calls, HWND window, const FormState& state) {
  Presses::Get().Start(window, state, calls);
}

int PressesUnderWay() { return Presses::Get().UnderWay(); }

}  // namespace ui
