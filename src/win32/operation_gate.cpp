// OperationGate: one operation at a time, and waits that keep the window
// alive.
#include "win32/operation_gate.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace korvane::win32 {
namespace {

constexpr wchar_t kGateClass[] = L"KorvaneOperationGate";
constexpr UINT kRunNext = WM_APP + 1;
constexpr UINT_PTR kTickTimer = 1;

// While the program waits, the user's input to the window stays in the
// system's queue: a key is given to the control that has the focus when it
// is taken out, with the keyboard's state as it was at that key, so keys
// typed during an exchange act as typed once it has ended. Only the rest
// is taken in: paints, the system's messages, timers and posted messages
// (of which those that are the user's doing are held by the gate).
constexpr UINT kWokenWhileWaiting = QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT | QS_TIMER | QS_HOTKEY;
constexpr UINT kTakenWhileWaiting = PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE | PM_QS_PAINT;

// The gate's own timer that brings the next operation in behind the user's
// input: the system hands a window its timers only once nothing is posted
// and no input waits, whichever message loop runs (the program's, a menu's,
// a dialog's).
constexpr UINT_PTR kResumeTimer = 2;

// Keys and mouse buttons waiting in the system's queue.
bool userInputWaiting() { return HIWORD(::GetQueueStatus(QS_KEY | QS_MOUSEBUTTON)) != 0; }

// A menu, or a window being moved or sized, runs a message loop of the
// system's own, which takes the input itself.
bool inSystemLoop() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(::GetCurrentThreadId(), &info)) return false;
  return (info.flags & (GUI_INMENUMODE | GUI_INMOVESIZE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0;
}

// Not in every SDK's headers: a waitable timer that keeps its own time to
// well under a millisecond (Windows 10, version 1803 on).
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

HANDLE createWaitTimer() {
  HANDLE timer = ::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
  // Older systems know only the timer of the system's tick.
  if (timer == nullptr) timer = ::CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
  return timer;
}

// Arms the timer for the time left until `deadline`, in the 100 ns units of
// a relative due time (negative).
void armTimer(HANDLE timer, OperationGate::Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - OperationGate::Clock::now());
  LARGE_INTEGER due;
  due.QuadPart = -std::max<long long>(1, left.count() / 100);
  ::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
}

void registerGateClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kGateClass;
  ::RegisterClassExW(&windowClass);  // fails harmlessly when already registered
}

}  // namespace

bool isHeldWhileWaiting(const MSG& message) {
  const UINT m = message.message;
  // Moving the mouse changes nothing of the program; a press or a wheel
  // turn does.
  if (m >= WM_KEYFIRST && m <= WM_KEYLAST) return true;
  if (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) return m != WM_MOUSEMOVE;
  if (m >= WM_NCLBUTTONDOWN && m <= WM_NCMBUTTONDBLCLK) return true;
  switch (m) {
    case WM_NCXBUTTONDOWN:
    case WM_NCXBUTTONUP:
    case WM_NCXBUTTONDBLCLK:
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_CLOSE:
    case WM_CONTEXTMENU:
      return true;
    default:
      return false;
  }
}

OperationGate::OperationGate()
    : sequence_({.post = [this] { scheduleNext(); }, .ended = [this] { releaseHeldInput(); }}) {
  registerGateClass();
  window_ =
      ::CreateWindowExW(0, kGateClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  timer_ = createWaitTimer();
  if (window_ == nullptr || timer_ == nullptr) throw std::runtime_error("no window or timer for the waits");
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OperationGate::windowProc));
}

OperationGate::~OperationGate() {
  ::KillTimer(window_, kTickTimer);
  ::DestroyWindow(window_);
  ::CloseHandle(timer_);
}

LRESULT CALLBACK OperationGate::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* gate = reinterpret_cast<OperationGate*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (gate != nullptr && message == kRunNext) {
    gate->sequence_.resume();
    return 0;
  }
  if (gate != nullptr && message == WM_TIMER && wParam == kResumeTimer) {
    ::KillTimer(window, kResumeTimer);
    gate->sequence_.resume();
    return 0;
  }
  if (gate != nullptr && message == WM_TIMER && wParam == kTickTimer) {
    if (gate->onTick_) gate->tick(gate->onTick_);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void OperationGate::run(std::function<void()> operation) { sequence_.run(std::move(operation)); }

void OperationGate::tick(std::function<void()> tick) { sequence_.tick(std::move(tick)); }

void OperationGate::startTimer(unsigned intervalMs, std::function<void()> onTick) {
  onTick_ = std::move(onTick);
  ::SetTimer(window_, kTickTimer, intervalMs, nullptr);
}

void OperationGate::hold(const MSG& message) { heldInput_.push_back(message); }

void OperationGate::releaseHeldInput() {
  // Held input goes back into the queue first, in the order it came, so
  // what the user did during the operation is handled before the held tick
  // or a queued operation runs.
  for (const MSG& message : heldInput_) {
    if (message.hwnd == nullptr) {
      ::PostThreadMessageW(::GetCurrentThreadId(), message.message, message.wParam, message.lParam);
    } else if (::IsWindow(message.hwnd)) {
      ::PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
    }
  }
  heldInput_.clear();
}

void OperationGate::scheduleNext() {
  // A posted message is taken before input. With one operation right after
  // another, as in live polling, the user's keys and clicks would wait for
  // good; handed out here instead, they would miss the loop that should
  // have them (a key typed into an open menu would go to the focused box).
  // So the next operation waits behind them, for the gate's timer.
  if (userInputWaiting() || (inSystemLoop() && HIWORD(::GetQueueStatus(QS_MOUSEMOVE)) != 0)) {
    ::SetTimer(window_, kResumeTimer, USER_TIMER_MINIMUM, nullptr);
    return;
  }
  // Moving the pointer starts nothing, so the moves that came in meanwhile
  // are handled at once, and the pointer takes the look of what lies under
  // it, without holding the polling back.
  MSG move;
  while (::PeekMessageW(&move, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE) ||
         ::PeekMessageW(&move, nullptr, WM_NCMOUSEMOVE, WM_NCMOUSEMOVE, PM_REMOVE)) {
    ::DispatchMessageW(&move);
  }
  ::PostMessageW(window_, kRunNext, 0, 0);
}

void OperationGate::wait(Clock::time_point deadline, HANDLE event) {
  const bool wasWaiting = std::exchange(waiting_, true);
  HANDLE handles[2] = {timer_, event};
  const DWORD count = event != nullptr ? 2 : 1;
  bool armed = false;
  while (Clock::now() < deadline) {
    if (event != nullptr && ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0) break;
    if (!armed) {
      armTimer(timer_, deadline);
      armed = true;
    }
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(count, handles, INFINITE, kWokenWhileWaiting, 0);
    if (woke == WAIT_OBJECT_0) {
      armed = false;  // fired; the loop looks at the clock again
    } else if (woke == WAIT_OBJECT_0 + count) {
      pumpMessages();
    } else if (woke != WAIT_OBJECT_0 + 1) {
      break;  // a failed wait would only spin
    }
  }
  ::CancelWaitableTimer(timer_);
  waiting_ = wasWaiting;
  if (!inOperation()) releaseHeldInput();
}

void OperationGate::pumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | kTakenWhileWaiting)) {
    if (message.message == WM_QUIT) {
      // Left for the main loop, which ends on it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (isHeldWhileWaiting(message)) {
      heldInput_.push_back(message);
      continue;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace korvane::win32
