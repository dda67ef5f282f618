// The Win32 operation gate, driven with posted messages to a window of the
// test's own: what a wait holds and hands back, in which order, the one
// held tick, and that no operation starts inside another.
#include "win32/operation_gate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace korvane::win32 {
namespace {

using namespace std::chrono_literals;
using Clock = OperationGate::Clock;

// A message-only window that notes every message it is handed.
class Recorder {
 public:
  Recorder() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Recorder::proc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KorvaneGateTestRecorder";
    ::RegisterClassExW(&windowClass);
    hwnd = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Recorder() { ::DestroyWindow(hwnd); }

  void post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { ::PostMessageW(hwnd, message, wParam, lParam); }

  HWND hwnd = nullptr;
  std::vector<std::string> seen;

 private:
  static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Recorder*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && (message >= WM_USER || isHeldWhileWaiting(MSG{hwnd, message, wParam, lParam, 0, {}}))) {
      self->seen.push_back(std::to_string(message) + ":" + std::to_string(wParam));
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
};

std::string entry(UINT message, WPARAM wParam = 0) { return std::to_string(message) + ":" + std::to_string(wParam); }

// Hands out everything queued, as the program's message loop does, until
// nothing more comes for a moment.
void pumpUntilIdle() {
  const Clock::time_point quietUntil = Clock::now() + 50ms;
  while (Clock::now() < quietUntil) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::Sleep(1);
  }
}

TEST(Win32OperationGate, InputDuringAWaitIsHeldAndHandedBackInOrderAfterTheOperation) {
  OperationGate gate;
  Recorder recorder;
  std::vector<std::string> seenDuringTheWait;
  gate.run([&] {
    recorder.post(WM_KEYDOWN, VK_LEFT);
    recorder.post(WM_LBUTTONDOWN, MK_LBUTTON);
    recorder.post(WM_CHAR, 'a');
    recorder.post(WM_COMMAND, 7);
    recorder.post(WM_USER + 1);  // not input: served during the wait
    recorder.post(WM_LBUTTONUP);
    gate.wait(Clock::now() + 30ms);
    seenDuringTheWait = recorder.seen;
  });
  EXPECT_EQ(seenDuringTheWait, std::vector<std::string>{entry(WM_USER + 1)});
  pumpUntilIdle();
  EXPECT_EQ(recorder.seen,
            (std::vector<std::string>{entry(WM_USER + 1), entry(WM_KEYDOWN, VK_LEFT), entry(WM_LBUTTONDOWN, MK_LBUTTON),
                                      entry(WM_CHAR, 'a'), entry(WM_COMMAND, 7), entry(WM_LBUTTONUP)}));
}

TEST(Win32OperationGate, AnOperationAskedForDuringAnotherRunsAfterItNeverInside) {
  OperationGate gate;
  std::vector<std::string> order;
  gate.run([&] {
    order.push_back("first begins");
    gate.run([&] { order.push_back(gate.inOperation() ? "second runs" : "second outside the gate"); });
    gate.wait(Clock::now() + 20ms);
    order.push_back("first ends");
  });
  pumpUntilIdle();
  EXPECT_EQ(order, (std::vector<std::string>{"first begins", "first ends", "second runs"}));
}

TEST(Win32OperationGate, TicksDueDuringAnOperationRunOnceRightAfterItAndAfterTheHeldInput) {
  OperationGate gate;
  Recorder recorder;
  int ticks = 0;
  gate.run([&] {
    gate.tick([&] { ++ticks; });
    gate.wait(Clock::now() + 10ms);
    recorder.post(WM_KEYDOWN, VK_UP);
    gate.tick([&] {
      ++ticks;
      recorder.seen.push_back("tick");
    });
    gate.wait(Clock::now() + 10ms);
  });
  EXPECT_EQ(ticks, 0) << "no tick inside the operation";
  pumpUntilIdle();
  EXPECT_EQ(ticks, 1) << "at most one tick is held";
  EXPECT_EQ(recorder.seen, (std::vector<std::string>{entry(WM_KEYDOWN, VK_UP), "tick"}));
}

TEST(Win32OperationGate, ATickOutsideAnyOperationRunsFromTheMessageLoop) {
  OperationGate gate;
  int ticks = 0;
  gate.tick([&] { ++ticks; });
  EXPECT_EQ(ticks, 0) << "not inside the timer's own message";
  pumpUntilIdle();
  EXPECT_EQ(ticks, 1);
}

TEST(Win32OperationGate, TheTimerKeepsTickingThroughTheGate) {
  OperationGate gate;
  int ticks = 0;
  bool outsideTheGate = false;
  gate.startTimer(10, [&] {
    outsideTheGate = outsideTheGate || !gate.inOperation();
    ++ticks;
  });
  gate.run([&] { gate.wait(Clock::now() + 120ms); });
  EXPECT_EQ(ticks, 0) << "ticks due during the wait are held";
  pumpUntilIdle();
  EXPECT_GE(ticks, 1);
  EXPECT_FALSE(outsideTheGate) << "each tick runs as an operation of its own";
}

TEST(Win32OperationGate, AWaitEndsAtItsDeadlineOrWhenItsEventIsSignalled) {
  OperationGate gate;
  Clock::time_point start = Clock::now();
  gate.run([&] { gate.wait(start + 40ms); });
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, 40ms);
  EXPECT_LT(waited, 90ms);

  HANDLE event = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);
  start = Clock::now();
  gate.run([&] { gate.wait(start + 2s, event); });
  EXPECT_LT(Clock::now() - start, 500ms) << "the event was signalled from the start";
  ::CloseHandle(event);
}

TEST(Win32OperationGate, ACloseHeldDuringAnOperationComesAfterTheInputBeforeIt) {
  OperationGate gate;
  Recorder recorder;
  gate.run([&] {
    recorder.post(WM_KEYDOWN, VK_RETURN);
    gate.wait(Clock::now() + 10ms);
    gate.hold(MSG{recorder.hwnd, WM_CLOSE, 0, 0, 0, {}});
  });
  pumpUntilIdle();
  EXPECT_EQ(recorder.seen, (std::vector<std::string>{entry(WM_KEYDOWN, VK_RETURN), entry(WM_CLOSE)}));
}

}  // namespace
}  // namespace korvane::win32
