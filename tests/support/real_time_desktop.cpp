// The real-time desktop.
#include "support/real_time_desktop.h"

#include "base/precise_wait.h"

namespace korvane::testing {

void RealTimeDesktop::messageBox(const std::string& text, const std::string& caption) {
  clock.advance(nowMs() - clock.now());
  RecordingDesktop::messageBox(text, caption);
}

void RealTimeDesktop::sleep(int milliseconds) {
  // The deadline is taken before anything else, so the bookkeeping below
  // lies within the wait instead of lengthening it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  sleeps.push_back(milliseconds);
  sleepUntil(deadline);
}

long long RealTimeDesktop::nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
}

}  // namespace korvane::testing
